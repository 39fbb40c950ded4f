#pragma once
// A folder of its own under the system's temporary folder for a test or a benchmark, removed with
// everything in it when the object goes. Asked for, it is also the current folder while it lives
// (scenarios, map sets and scripts name their files relative to the current folder, as the game
// reads them), and the folder that was current before is current again when it goes.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <system_error>

#include "foundation/CurrentFolder.h"

enum TScratchUse { scApart, scCurrent };

class TScratchFolder {
public:
  // A fresh, empty folder whose name begins with Stem; never one that another scratch folder,
  // test program or earlier run still holds.
  explicit TScratchFolder(const std::string& Stem, TScratchUse Use = scApart) {
    static std::atomic<unsigned> Made{0};
    const std::filesystem::path Temp = std::filesystem::temp_directory_path();
    do {
      FPath = Temp / (Stem + "-" + std::to_string(::getpid()) + "-" + std::to_string(Made++) + "-" +
                      std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    } while (!std::filesystem::create_directory(FPath));
    if (Use == scCurrent) FCurrent.emplace(FPath);
  }
  ~TScratchFolder() {
    FCurrent.reset();
    std::error_code Ignored;
    std::filesystem::remove_all(FPath, Ignored);
  }
  TScratchFolder(const TScratchFolder&) = delete;
  TScratchFolder& operator=(const TScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // Writes Text as the file Name (relative to the folder; its folders are made) byte for byte,
  // and returns the file's full name.
  std::string Write(const std::filesystem::path& Name, const std::string& Text) const {
    const std::filesystem::path File = FPath / Name;
    std::filesystem::create_directories(File.parent_path());
    std::ofstream(File, std::ios::binary) << Text;
    return File.string();
  }

private:
  std::filesystem::path FPath;
  std::optional<TCurrentFolder> FCurrent;
};
