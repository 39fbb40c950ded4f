// The main of a fuzz target in the ordinary build: every file named, and every file in every
// folder named, goes once through the target's entry point, as libFuzzer would run it. A
// crash or a failed check ends the program, so a test that runs the seed corpus and the
// inputs that once found a fault fails when one of them fails again.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace {

int RunFile(const std::filesystem::path& File) {
  std::ifstream In(File, std::ios::binary);
  if (!In) {
    std::cerr << "cannot read " << File << "\n";
    return 1;
  }
  const std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  std::cerr << "running " << File.filename().string() << "\n";
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(Bytes.data()), Bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> Files;
  // Absolute: the engine's targets make a folder of their own the current folder.
  for (int I = 1; I < argc; ++I) {
    const std::filesystem::path Path = std::filesystem::absolute(argv[I]);
    if (std::filesystem::is_directory(Path)) {
      for (const auto& Entry : std::filesystem::directory_iterator(Path))
        if (Entry.is_regular_file()) Files.push_back(Entry.path());
    } else if (std::filesystem::exists(Path)) {
      Files.push_back(Path);
    }
  }
  std::sort(Files.begin(), Files.end());
  int Failed = 0;
  for (const auto& File : Files) Failed += RunFile(File);
  std::cout << Files.size() - static_cast<std::size_t>(Failed) << " passed, " << Failed << " failed\n";
  return Failed == 0 ? 0 : 1;
}
