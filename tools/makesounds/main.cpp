// brenmoor_makesounds <data folder>: writes the game's sound effects into <data folder>/sounds
// and its music into <data folder>/music, synthesised the same way on every machine.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MidiWriter.h"
#include "Sounds.h"
#include "Tunes.h"

namespace {

void WriteFile(const std::filesystem::path& Path, const std::vector<std::uint8_t>& Bytes) {
  std::ofstream File(Path, std::ios::binary | std::ios::trunc);
  File.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  File.close();
  if (!File) throw std::runtime_error("cannot write " + Path.string());
  std::printf("%s (%zu bytes)\n", Path.string().c_str(), Bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argc > 0 ? argv[0] : "brenmoor_makesounds");
    return 2;
  }
  try {
    const std::filesystem::path Data(argv[1]);
    std::filesystem::create_directories(Data / "sounds");
    std::filesystem::create_directories(Data / "music");
    for (const TSoundEffect& Effect : SoundEffects()) WriteFile(Data / "sounds" / Effect.FileName, WaveImage(Effect.Make()));
    for (const TMidiTune& Tune : Tunes()) WriteFile(Data / "music" / Tune.FileName, MidiFileImage(Tune));
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_makesounds: %s\n", E.what());
    return 1;
  }
  return 0;
}
