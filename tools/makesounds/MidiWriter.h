#pragma once
// A small Standard MIDI File writer (format 1, 480 ticks a quarter note) and the note text the
// tunes are written in.
//
// Note text: items separated by spaces, each a pitch and a length in sixteenth notes after a
// "/": "C4/4" is a quarter-note middle C, "F#5/2" an eighth, "Bb3/8" a half note; "R/4" is a
// quarter rest; "C4+E4+G4/16" a chord of a whole note; a plain number is a MIDI key (drums:
// "36/2"); "|" marks a bar and is skipped.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

inline constexpr int TicksPerQuarter = 480;
inline constexpr int TicksPerSixteenth = TicksPerQuarter / 4;

struct TMidiTrack {
  std::string Name;
  int Channel = 0;   // 0..15; 9 is the drums
  int Program = 0;   // General MIDI instrument 0..127
  int Volume = 100;  // controller 7
  int Pan = 64;      // controller 10
  int Velocity = 90;
  int GatePercent = 90;  // how much of its length a note sounds
  std::string Notes;
};

struct TMidiTune {
  std::string FileName;
  std::string Title;
  int BeatsPerMinute = 120;
  int BeatsPerBar = 4;
  std::vector<TMidiTrack> Tracks;
};

class EMidiText : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The whole file; raises EMidiText naming the item that is not note text.
std::vector<std::uint8_t> MidiFileImage(const TMidiTune& Tune);
