#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sound/MidiFile.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TBytes Bytes(const std::string& Text) { return TBytes(Text.begin(), Text.end()); }

// A format 1 file of two tracks at 96 ticks a quarter: a tempo, then a note that uses
// running status for its release, a program change and a system exclusive message.
TBytes Tune() {
  const std::string Head("MThd\0\0\0\6\0\1\0\2\0\x60", 14);
  const std::string First("\0\xFF\x51\3\7\xA1\x20\0\xFF\x2F\0", 11);
  const std::string Second("\0\xC0\5\0\x90\x3C\x64\x60\x3C\0\x10\xF0\2\x7E\xF7\0\xFF\x2F\0", 19);
  const auto Chunk = [](const std::string& Events) {
    return std::string("MTrk\0\0\0", 7) + static_cast<char>(Events.size()) + Events;
  };
  return Bytes(Head + Chunk(First) + Chunk(Second));
}

std::string Problem(const TBytes& File) {
  try {
    ReadMidiFile(File.data(), File.size());
  } catch (const EMidiFile& E) {
    return E.what();
  }
  return {};
}

}  // namespace

TEST(MidiFile, ReadsTheShippedMusicAndATuneOfEveryKindOfEvent) {
  for (const char* Name : {"march", "anthem", "lament"}) {
    std::ifstream In(std::string(BRENMOOR_SOURCE_DIR "/data/music/") + Name + ".mid", std::ios::binary);
    const TBytes File{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(File.empty()) << Name;
    EXPECT_EQ(Problem(File), "") << Name;
  }
  const TBytes File = Tune();
  const TMidiFileInfo Info = ReadMidiFile(File.data(), File.size());
  EXPECT_EQ(Info.Format, 1);
  EXPECT_EQ(Info.TrackCount, 2);
  EXPECT_EQ(Info.Division, 96);
  EXPECT_EQ(Info.EventCount, 7u);
  EXPECT_EQ(Info.LengthTicks, 0x70u);
}

// Each damage is named with its track and the byte where it shows.
TEST(MidiFile, ADamagedFileSaysWhereItIsDamaged) {
  const TBytes Good = Tune();
  const std::size_t Second = 14 + 8 + 11 + 8;  // the first event of the second track
  const auto With = [&Good](std::size_t At, std::uint8_t Value) {
    TBytes File = Good;
    File[At] = Value;
    return File;
  };
  struct TCase {
    const char* Name;
    TBytes File;
    std::string Problem;
  };
  const std::vector<TCase> Cases{
      {"a wave file", Bytes("RIFF....WAVEfmt "), "This is no standard MIDI file"},
      {"no tracks", With(11, 0), "The header, byte 14: format 1 with 0 tracks"},
      {"format 3", With(9, 3), "The header, byte 14: the format 3"},
      {"no ticks", With(13, 0), "The header, byte 14: no ticks per quarter note"},
      {"a track too few", TBytes(Good.begin(), Good.begin() + Second - 8), "The file holds 1 of its 2 tracks"},
      {"a chunk beyond the end", TBytes(Good.begin(), Good.end() - 1),
       "Track 2, byte " + std::to_string(Second) + ": a chunk of 19 bytes, beyond the end of the file"},
      {"running status at the start", With(Second + 1, 0x05), "Track 2, byte " + std::to_string(Second + 2) + ": a data byte without a status"},
      {"a status inside a note", With(Second + 5, 0x80), "Track 2, byte " + std::to_string(Second + 6) + ": a status byte inside a channel message"},
      {"a time of five bytes", [&] {
         TBytes File = Good;
         for (std::size_t I = 0; I < 4; ++I) File[Second + 3 + I] = 0x81;
         return File;
       }(),
       "Track 2, byte " + std::to_string(Second + 7) + ": the time of an event runs past four bytes"},
      {"a long tempo", With(14 + 8 + 3, 4), "Track 1, byte " + std::to_string(14 + 8 + 4) + ": a tempo of 4 bytes"},
      {"a message past its track", With(Second + 12, 0x7F),
       "Track 2, byte " + std::to_string(Second + 13) + ": ends inside a system exclusive message"},
      {"a system message", With(Second + 4, 0xF2), "Track 2, byte " + std::to_string(Second + 5) + ": the status 242, which no MIDI file holds"},
  };
  for (const TCase& Case : Cases) EXPECT_EQ(Problem(Case.File), Case.Problem) << Case.Name;
}
