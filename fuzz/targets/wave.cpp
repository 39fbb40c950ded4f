// A wave file and the stored "WaveData" form: parsed or refused with the wave's error; the
// samples found lie inside the image, and stored data read is written back the same.
#include <vector>

#include "FuzzTarget.h"
#include "sound/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  try {
    const TWaveImageInfo Info = ParseWaveImage(Data, Size);
    fuzz::Require(Info.DataOffset <= Size && Info.DataSize <= Size - Info.DataOffset, "the samples lie outside the image");
  } catch (const EBrenmoor&) {
  }
  try {
    TWave Wave;
    Wave.ReadWaveData(std::vector<std::uint8_t>(Data, Data + Size));
    const std::vector<std::uint8_t> Stored = Wave.WriteWaveData();
    TWave Again;
    Again.ReadWaveData(Stored);
    fuzz::Require(Again.WriteWaveData() == Stored, "the wave data is not read back as written");
  } catch (const EBrenmoor&) {
  }
  return 0;
}
