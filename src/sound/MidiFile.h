#pragma once
// The structure of a standard MIDI file, read before the synthesiser plays it: the header, the
// track chunks and every event in them. A file that cannot be read says where it is damaged
// (which track, which byte), which the music log shows; the synthesiser still gets to try it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/Exception.h"

class EMidiFile : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

struct TMidiFileInfo {
  int Format = 0;       // 0: one track; 1: tracks played together; 2: tracks played in turn
  int TrackCount = 0;   // as the header says, and as many track chunks found
  int Division = 0;     // ticks per quarter note, or (negative) the SMPTE frame form
  std::size_t EventCount = 0;
  std::uint64_t LengthTicks = 0;  // of the longest track
};

// Raises EMidiFile with the reason ("Track 2, byte 310: a data byte without a status").
TMidiFileInfo ReadMidiFile(const std::uint8_t* Data, std::size_t Size);
