#pragma once
// The plain sound player: one sound at a time from a RIFF WAVE image in memory, at its own
// rate, full volume and centred, through the program's sound output; a new sound replaces the
// one playing. The sound buffers fall back on it when they cannot have a mixer buffer.
#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t SND_SYNC = 0x0000;
inline constexpr std::uint32_t SND_ASYNC = 0x0001;
inline constexpr std::uint32_t SND_NODEFAULT = 0x0002;
inline constexpr std::uint32_t SND_MEMORY = 0x0004;
inline constexpr std::uint32_t SND_LOOP = 0x0008;

// Plays the image (copied: the caller may free it at once). Without SND_ASYNC it returns when
// the sound has ended (or, should the output stall, a little after it should have). A null
// image stops the sound playing. False, in silence, when there is no output or the image is
// not a wave the mixer can play.
bool PlaySoundMemory(const std::uint8_t* Image, std::size_t Size, std::uint32_t Flags);
bool PlainSoundPlaying();
