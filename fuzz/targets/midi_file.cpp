// A standard MIDI file as the music player reads it before the synthesiser plays it: read or
// refused with the place of its damage, the same every time, and what is read lies within
// the file (a track of tracks that are not there, or an event for bytes it does not hold,
// would be the reader running past its input).
#include "FuzzTarget.h"
#include "sound/MidiFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::string Refused;
  TMidiFileInfo Info;
  try {
    Info = ReadMidiFile(Data, Size);
  } catch (const EMidiFile& E) {
    Refused = E.what();
    fuzz::Require(!Refused.empty(), "a refusal without a reason");
  }
  std::string Again;
  try {
    const TMidiFileInfo Second = ReadMidiFile(Data, Size);
    fuzz::Require(Refused.empty() && Second.EventCount == Info.EventCount && Second.LengthTicks == Info.LengthTicks,
                  "the same file read twice reads differently");
  } catch (const EMidiFile& E) {
    fuzz::Require(E.what() == Refused, "the same file is refused differently: " + Refused + " / " + E.what());
  }
  if (!Refused.empty()) return 0;
  fuzz::Require(Info.Format >= 0 && Info.Format <= 2, "a format beyond 2");
  fuzz::Require(Info.TrackCount >= 1 && (Info.Format != 0 || Info.TrackCount == 1), "a track count the format does not allow");
  // Every track's head takes 8 bytes, every event at least 2 (its time and its status).
  fuzz::Require(14 + 8 * static_cast<std::size_t>(Info.TrackCount) + 2 * Info.EventCount <= Size,
                "more tracks or events than the file holds bytes for");
  fuzz::Require(Info.LengthTicks <= static_cast<std::uint64_t>(Info.EventCount) * 0x0FFFFFFFu, "a length beyond the events' times");
  fuzz::Require(Info.Division != 0, "a time division of nothing");
  return 0;
}
