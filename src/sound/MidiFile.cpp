#include "sound/MidiFile.h"

#include <algorithm>
#include <cstring>

namespace {

// Reads the bytes of one chunk, or of the header, and names the place of a fault.
class TMidiReader {
public:
  TMidiReader(const std::uint8_t* Data, std::size_t Size, std::size_t Base, std::string Where)
      : FData(Data), FSize(Size), FBase(Base), FWhere(std::move(Where)) {}

  bool AtEnd() const { return FPos >= FSize; }
  std::size_t Position() const { return FPos; }

  std::uint8_t Byte(const char* What) {
    if (FPos >= FSize) Fail(std::string("ends inside ") + What);
    return FData[FPos++];
  }
  std::uint32_t Big(int Bytes, const char* What) {
    std::uint32_t Value = 0;
    for (int I = 0; I < Bytes; ++I) Value = (Value << 8) | Byte(What);
    return Value;
  }
  // A variable-length quantity: at most four bytes of seven bits each.
  std::uint32_t Quantity(const char* What) {
    std::uint32_t Value = 0;
    for (int I = 0; I < 4; ++I) {
      const std::uint8_t B = Byte(What);
      Value = (Value << 7) | (B & 0x7Fu);
      if (!(B & 0x80u)) return Value;
    }
    Fail(std::string(What) + " runs past four bytes");
  }
  void Skip(std::uint32_t Count, const char* What) {
    if (Count > FSize - FPos) Fail(std::string("ends inside ") + What);
    FPos += Count;
  }
  [[noreturn]] void Fail(const std::string& What) const {
    throw EMidiFile(FWhere + ", byte " + std::to_string(FBase + std::min(FPos, FSize)) + ": " + What);
  }

private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FBase;  // the place of the first byte in the file
  std::size_t FPos = 0;
  std::string FWhere;
};

// The events of one track chunk; returns its length in ticks.
std::uint64_t ReadTrack(TMidiReader& R, std::size_t& Events) {
  std::uint64_t Ticks = 0;
  std::uint8_t Running = 0;
  bool Ended = false;
  while (!R.AtEnd()) {
    if (Ended) R.Fail("an event after the end of the track");
    Ticks += R.Quantity("the time of an event");
    std::uint8_t Status = R.Byte("an event");
    int DataBytes = 0;
    if (Status < 0x80) {
      // Running status: the byte is the first data byte of a message like the one before.
      if (Running == 0) R.Fail("a data byte without a status");
      Status = Running;
      DataBytes = -1;
    }
    if (Status < 0xF0) {
      Running = Status;
      const int Count = (Status & 0xF0) == 0xC0 || (Status & 0xF0) == 0xD0 ? 1 : 2;
      for (int I = DataBytes < 0 ? 1 : 0; I < Count; ++I)
        if (R.Byte("a channel message") & 0x80) R.Fail("a status byte inside a channel message");
    } else if (Status == 0xF0 || Status == 0xF7) {
      Running = 0;
      R.Skip(R.Quantity("the length of a system exclusive message"), "a system exclusive message");
    } else if (Status == 0xFF) {
      Running = 0;
      const std::uint8_t Type = R.Byte("a meta event");
      if (Type & 0x80) R.Fail("a meta event of type " + std::to_string(Type));
      const std::uint32_t Length = R.Quantity("the length of a meta event");
      if (Type == 0x2F) {
        if (Length != 0) R.Fail("an end of track that holds data");
        Ended = true;
      } else if (Type == 0x51 && Length != 3) {
        R.Fail("a tempo of " + std::to_string(Length) + " bytes");
      }
      R.Skip(Length, "a meta event");
    } else {
      R.Fail("the status " + std::to_string(Status) + ", which no MIDI file holds");
    }
    ++Events;
  }
  return Ticks;
}

}  // namespace

TMidiFileInfo ReadMidiFile(const std::uint8_t* Data, std::size_t Size) {
  if (Size < 14 || std::memcmp(Data, "MThd", 4) != 0) throw EMidiFile("This is no standard MIDI file");
  TMidiReader Head(Data, Size, 0, "The header");
  Head.Skip(4, "the header");
  const std::uint32_t HeadLength = Head.Big(4, "the header");
  if (HeadLength < 6) Head.Fail("a header of " + std::to_string(HeadLength) + " bytes");
  TMidiFileInfo Info;
  Info.Format = static_cast<int>(Head.Big(2, "the header"));
  Info.TrackCount = static_cast<int>(Head.Big(2, "the header"));
  const std::uint32_t Division = Head.Big(2, "the header");
  if (Info.Format > 2) Head.Fail("the format " + std::to_string(Info.Format));
  if (Info.TrackCount == 0 || (Info.Format == 0 && Info.TrackCount != 1))
    Head.Fail("format " + std::to_string(Info.Format) + " with " + std::to_string(Info.TrackCount) + " tracks");
  if (Division & 0x8000u) {
    // Frames per second (as a negative byte) and ticks per frame.
    const int Frames = -static_cast<int>(static_cast<std::int8_t>(Division >> 8));
    if ((Frames != 24 && Frames != 25 && Frames != 29 && Frames != 30) || (Division & 0xFFu) == 0)
      Head.Fail("the time division " + std::to_string(Division));
    Info.Division = -static_cast<int>(Division);
  } else {
    if (Division == 0) Head.Fail("no ticks per quarter note");
    Info.Division = static_cast<int>(Division);
  }
  Head.Skip(HeadLength - 6, "the header");

  // The track chunks, with chunks of other kinds passed over; what follows the last track is
  // not looked at.
  std::size_t Pos = Head.Position();
  int Tracks = 0;
  while (Tracks < Info.TrackCount) {
    if (Size - Pos < 8) throw EMidiFile("The file holds " + std::to_string(Tracks) + " of its " + std::to_string(Info.TrackCount) + " tracks");
    const bool Track = std::memcmp(Data + Pos, "MTrk", 4) == 0;
    TMidiReader Chunk(Data + Pos, Size - Pos, Pos, Track ? "Track " + std::to_string(Tracks + 1) : std::string("A chunk"));
    Chunk.Skip(4, "the chunk's head");
    const std::uint32_t Length = Chunk.Big(4, "the chunk's head");
    if (Length > Size - Pos - 8) Chunk.Fail("a chunk of " + std::to_string(Length) + " bytes, beyond the end of the file");
    if (Track) {
      TMidiReader Events(Data + Pos + 8, Length, Pos + 8, "Track " + std::to_string(Tracks + 1));
      Info.LengthTicks = std::max(Info.LengthTicks, ReadTrack(Events, Info.EventCount));
      ++Tracks;
    }
    Pos += 8 + static_cast<std::size_t>(Length);
  }
  return Info;
}
