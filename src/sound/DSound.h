#pragma once
// Our own stand-in for the sound library the game was written against: a sound object that
// makes static sound buffers and mixes every playing buffer into the program's sound output
// (sound/AudioOutput.h), with per-buffer volume, pan and playback rate, and the result codes
// and texts of that library. A sound object can only be had while the output is open.
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sound/AudioOutput.h"

using TDSResult = std::int32_t;

inline constexpr TDSResult DS_OK = 0;
inline constexpr TDSResult DSERR_ALLOCATED = static_cast<TDSResult>(0x8878000AU);
inline constexpr TDSResult DSERR_CONTROLUNAVAIL = static_cast<TDSResult>(0x8878001EU);
inline constexpr TDSResult DSERR_INVALIDPARAM = static_cast<TDSResult>(0x80070057U);
inline constexpr TDSResult DSERR_INVALIDCALL = static_cast<TDSResult>(0x88780032U);
inline constexpr TDSResult DSERR_GENERIC = static_cast<TDSResult>(0x80004005U);
inline constexpr TDSResult DSERR_PRIOLEVELNEEDED = static_cast<TDSResult>(0x88780046U);
inline constexpr TDSResult DSERR_OUTOFMEMORY = static_cast<TDSResult>(0x8007000EU);
inline constexpr TDSResult DSERR_BADFORMAT = static_cast<TDSResult>(0x88780064U);
inline constexpr TDSResult DSERR_UNSUPPORTED = static_cast<TDSResult>(0x80004001U);
inline constexpr TDSResult DSERR_NODRIVER = static_cast<TDSResult>(0x88780078U);
inline constexpr TDSResult DSERR_ALREADYINITIALIZED = static_cast<TDSResult>(0x88780082U);
inline constexpr TDSResult DSERR_NOAGGREGATION = static_cast<TDSResult>(0x80040110U);
inline constexpr TDSResult DSERR_BUFFERLOST = static_cast<TDSResult>(0x88780096U);
inline constexpr TDSResult DSERR_OTHERAPPHASPRIO = static_cast<TDSResult>(0x887800A0U);
inline constexpr TDSResult DSERR_UNINITIALIZED = static_cast<TDSResult>(0x887800AAU);
inline constexpr TDSResult DSERR_NOINTERFACE = static_cast<TDSResult>(0x80004002U);

// The text for a result code; "Unrecognized Error" for any other code.
std::string DSErrorText(TDSResult Code);

// Sharing levels.
inline constexpr std::uint32_t DSSCL_NORMAL = 1;
inline constexpr std::uint32_t DSSCL_PRIORITY = 2;
inline constexpr std::uint32_t DSSCL_EXCLUSIVE = 3;
inline constexpr std::uint32_t DSSCL_WRITEPRIMARY = 4;

// Speaker configurations.
inline constexpr std::uint32_t DSSPEAKER_HEADPHONE = 1;
inline constexpr std::uint32_t DSSPEAKER_MONO = 2;
inline constexpr std::uint32_t DSSPEAKER_QUAD = 3;
inline constexpr std::uint32_t DSSPEAKER_STEREO = 4;
inline constexpr std::uint32_t DSSPEAKER_SURROUND = 5;

// Buffer description flags.
inline constexpr std::uint32_t DSBCAPS_PRIMARYBUFFER = 0x0001;
inline constexpr std::uint32_t DSBCAPS_STATIC = 0x0002;
inline constexpr std::uint32_t DSBCAPS_CTRLFREQUENCY = 0x0020;
inline constexpr std::uint32_t DSBCAPS_CTRLPAN = 0x0040;
inline constexpr std::uint32_t DSBCAPS_CTRLVOLUME = 0x0080;
inline constexpr std::uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

// Buffer status bits and play flags.
inline constexpr std::uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr std::uint32_t DSBSTATUS_BUFFERLOST = 0x2;
inline constexpr std::uint32_t DSBSTATUS_LOOPING = 0x4;
inline constexpr std::uint32_t DSBPLAY_LOOPING = 0x1;

// Value limits.
inline constexpr std::int32_t DSBVOLUME_MIN = -10000;
inline constexpr std::int32_t DSBVOLUME_MAX = 0;
inline constexpr std::int32_t DSBPAN_LEFT = -10000;
inline constexpr std::int32_t DSBPAN_RIGHT = 10000;
inline constexpr std::uint32_t DSBFREQUENCY_ORIGINAL = 0;
inline constexpr std::uint32_t DSBFREQUENCY_MIN = 100;
inline constexpr std::uint32_t DSBFREQUENCY_MAX = 100000;

// Capability flags.
inline constexpr std::uint32_t DSCAPS_PRIMARYMONO = 0x0001;
inline constexpr std::uint32_t DSCAPS_PRIMARYSTEREO = 0x0002;
inline constexpr std::uint32_t DSCAPS_PRIMARY8BIT = 0x0004;
inline constexpr std::uint32_t DSCAPS_PRIMARY16BIT = 0x0008;
inline constexpr std::uint32_t DSCAPS_CONTINUOUSRATE = 0x0010;
inline constexpr std::uint32_t DSCAPS_EMULDRIVER = 0x0020;
inline constexpr std::uint32_t DSCAPS_CERTIFIED = 0x0040;
inline constexpr std::uint32_t DSCAPS_SECONDARYMONO = 0x0100;
inline constexpr std::uint32_t DSCAPS_SECONDARYSTEREO = 0x0200;
inline constexpr std::uint32_t DSCAPS_SECONDARY8BIT = 0x0400;
inline constexpr std::uint32_t DSCAPS_SECONDARY16BIT = 0x0800;

inline constexpr std::uint16_t WAVE_FORMAT_PCM = 1;

struct TWaveFormat {
  std::uint16_t FormatTag = 0;
  std::uint16_t Channels = 0;
  std::uint32_t SamplesPerSec = 0;
  std::uint32_t AvgBytesPerSec = 0;
  std::uint16_t BlockAlign = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint16_t ExtraSize = 0;
};

// Whether the mixer can play the format: PCM, 1 or 2 channels of 8 or 16 bits, a block of
// one sample per channel, 100..100000 samples per second.
bool IsPlayableFormat(const TWaveFormat& Format);

struct TDSBufferDesc {
  std::uint32_t Size = 20;
  std::uint32_t Flags = 0;
  std::uint32_t BufferBytes = 0;
  const TWaveFormat* Format = nullptr;  // none for the primary buffer
};

struct TDSCaps {
  std::uint32_t Flags = 0;
  std::uint32_t MinSecondarySampleRate = 0;
  std::uint32_t MaxSecondarySampleRate = 0;
  std::uint32_t PrimaryBuffers = 0;
  std::uint32_t MaxHwMixingAllBuffers = 0;
  std::uint32_t MaxHwMixingStaticBuffers = 0;
  std::uint32_t MaxHwMixingStreamingBuffers = 0;
  std::uint32_t FreeHwMixingAllBuffers = 0;
  std::uint32_t FreeHwMixingStaticBuffers = 0;
  std::uint32_t FreeHwMixingStreamingBuffers = 0;
  std::uint32_t MaxHw3DAllBuffers = 0;
  std::uint32_t MaxHw3DStaticBuffers = 0;
  std::uint32_t MaxHw3DStreamingBuffers = 0;
  std::uint32_t FreeHw3DAllBuffers = 0;
  std::uint32_t FreeHw3DStaticBuffers = 0;
  std::uint32_t FreeHw3DStreamingBuffers = 0;
  std::uint32_t TotalHwMemBytes = 0;
  std::uint32_t FreeHwMemBytes = 0;
  std::uint32_t MaxContigFreeHwMemBytes = 0;
  std::uint32_t UnlockTransferRateHwBuffers = 0;
  std::uint32_t PlayCpuOverheadSwBuffers = 0;
};

class TDirectSound;

// One buffer of a sound object. A secondary buffer holds sample bytes (shared with its
// duplicates) and plays them from a position in sample frames; the primary buffer only keeps
// a format. Every call is safe while the output renders.
class TDirectSoundBuffer {
public:
  TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
  TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;
  ~TDirectSoundBuffer();

  TDSResult GetStatus(std::uint32_t& Status) const;
  // Our buffers live in ordinary memory and are never lost: nothing to restore.
  TDSResult Restore();
  TDSResult Play(std::uint32_t Flags);
  TDSResult Stop();
  // The play position in bytes (whole sample frames); 0 again once a sound played once has ended.
  TDSResult GetCurrentPosition(std::uint32_t& Position) const;
  // A position in bytes, 0..the buffer's size; it is taken down to a whole frame.
  TDSResult SetCurrentPosition(std::uint32_t Position);
  TDSResult GetVolume(std::int32_t& Volume) const;
  TDSResult SetVolume(std::int32_t Volume);
  TDSResult GetPan(std::int32_t& Pan) const;
  TDSResult SetPan(std::int32_t Pan);
  TDSResult GetFrequency(std::uint32_t& Hz) const;
  // 100..100000 Hz, or DSBFREQUENCY_ORIGINAL for the format's own rate.
  TDSResult SetFrequency(std::uint32_t Hz);
  TDSResult GetFormat(TWaveFormat& Format) const;
  // The primary buffer's format; it needs a sharing level of priority or above.
  TDSResult SetFormat(const TWaveFormat& Format);
  // Copies Bytes bytes into the buffer from Offset on (locking, copying and unlocking).
  TDSResult Write(std::uint32_t Offset, const std::uint8_t* Data, std::uint32_t Bytes);

  std::uint32_t BufferBytes() const;
  // The serial number of the sound object that made it; 0 once that object is gone.
  std::uint64_t DeviceSerial() const;

private:
  friend class TDirectSound;
  TDirectSoundBuffer() = default;
  void UpdateGains();
  std::unique_lock<std::mutex> LockOwner() const;

  TDirectSound* FOwner = nullptr;
  std::uint64_t FSerial = 0;
  bool FPrimary = false;
  std::uint32_t FFlags = 0;
  TWaveFormat FFormat;
  std::shared_ptr<std::vector<std::uint8_t>> FData;
  bool FPlaying = false;
  bool FLooping = false;
  double FFrame = 0.0;  // play position in sample frames
  std::uint32_t FFrequency = 0;
  std::int32_t FVolume = 0;
  std::int32_t FPan = 0;
  float FGainLeft = 1.0f;
  float FGainRight = 1.0f;
};

// The sound object: makes buffers and, as a source of the sound output, mixes the playing
// ones. It may be destroyed before its buffers, which then stay silent.
class TDirectSound : public TAudioSource {
public:
  TDirectSound();
  TDirectSound(const TDirectSound&) = delete;
  TDirectSound& operator=(const TDirectSound&) = delete;
  ~TDirectSound() override;

  TDSResult SetCooperativeLevel(std::uint32_t Level);
  std::uint32_t CooperativeLevel() const { return FLevel; }
  TDSResult GetSpeakerConfig(std::uint32_t& Config) const;
  TDSResult SetSpeakerConfig(std::uint32_t Config);
  TDSResult GetCaps(TDSCaps& Caps) const;
  TDSResult CreateSoundBuffer(const TDSBufferDesc& Desc, std::unique_ptr<TDirectSoundBuffer>& Buffer);
  // A new buffer playing the same sample bytes, with its own position, volume, pan and rate.
  TDSResult DuplicateSoundBuffer(const TDirectSoundBuffer* Original, std::unique_ptr<TDirectSoundBuffer>& Duplicate);

  std::uint64_t Serial() const { return FSerial; }

  void MixInto(float* Frames, int FrameCount) override;

private:
  friend class TDirectSoundBuffer;
  std::unique_ptr<TDirectSoundBuffer> NewBuffer();

  mutable std::mutex FMutex;  // guards FBuffers and every buffer's state
  std::vector<TDirectSoundBuffer*> FBuffers;
  std::uint64_t FSerial;
  std::uint32_t FLevel = 0;
  std::uint32_t FSpeakerConfig = DSSPEAKER_STEREO;
};

// Makes a sound object on the program's sound output: DSERR_NODRIVER while no audio device
// is open.
TDSResult DirectSoundCreate(std::unique_ptr<TDirectSound>& Sound);
