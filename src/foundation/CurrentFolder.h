#pragma once
// Makes a folder the current one for as long as it lives: map sets and scenarios name their files
// relative to the current folder, as the game reads them.
#include <filesystem>
#include <string>
#include <system_error>

class TCurrentFolder {
public:
  explicit TCurrentFolder(const std::filesystem::path& Folder) : FOld(std::filesystem::current_path()) {
    std::filesystem::current_path(Folder);
  }
  ~TCurrentFolder() {
    std::error_code Ec;
    std::filesystem::current_path(FOld, Ec);
  }
  TCurrentFolder(const TCurrentFolder&) = delete;
  TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
  std::filesystem::path FOld;
};
