#include "sound/DSound.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

namespace {

std::atomic<std::uint64_t> NextSerial{1};

// The gain of an attenuation in hundredths of a decibel; -10000 and below is silence.
float Gain(std::int32_t Hundredths) {
  if (Hundredths <= DSBVOLUME_MIN) return 0.0f;
  if (Hundredths >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, Hundredths / 2000.0));
}

inline float Sample8(const std::uint8_t* P) { return (static_cast<int>(*P) - 128) * (1.0f / 128.0f); }

inline float Sample16(const std::uint8_t* P) {
  const auto V = static_cast<std::int16_t>(static_cast<std::uint16_t>(P[0] | (P[1] << 8)));
  return V * (1.0f / 32768.0f);
}

template <int Bits>
inline float SampleAt(const std::uint8_t* P) {
  if constexpr (Bits == 8) {
    return Sample8(P);
  } else {
    return Sample16(P);
  }
}

struct TVoiceState {
  const std::uint8_t* Data;
  std::int64_t Frames;
  double Frame;
  double Step;
  bool Looping;
  bool Playing;
};

// Adds the voice into Out with linear interpolation between neighbouring sample frames.
template <int Bits, int Channels>
void MixVoice(TVoiceState& V, float* Out, int FrameCount, float GainLeft, float GainRight) {
  constexpr int Bytes = Bits / 8;
  constexpr int Block = Bytes * Channels;
  const double FrameLimit = static_cast<double>(V.Frames);
  for (int I = 0; I < FrameCount; ++I) {
    if (V.Frame >= FrameLimit) {
      if (!V.Looping) {
        V.Playing = false;
        V.Frame = 0.0;
        return;
      }
      V.Frame = std::fmod(V.Frame, FrameLimit);
    }
    const auto I0 = static_cast<std::int64_t>(V.Frame);
    const auto Frac = static_cast<float>(V.Frame - static_cast<double>(I0));
    std::int64_t I1 = I0 + 1;
    if (I1 >= V.Frames) I1 = V.Looping ? 0 : I0;
    const std::uint8_t* P0 = V.Data + I0 * Block;
    const std::uint8_t* P1 = V.Data + I1 * Block;
    const float L0 = SampleAt<Bits>(P0);
    const float L1 = SampleAt<Bits>(P1);
    const float Left = L0 + (L1 - L0) * Frac;
    float Right = Left;
    if constexpr (Channels == 2) {
      const float R0 = SampleAt<Bits>(P0 + Bytes);
      const float R1 = SampleAt<Bits>(P1 + Bytes);
      Right = R0 + (R1 - R0) * Frac;
    }
    Out[2 * I] += Left * GainLeft;
    Out[2 * I + 1] += Right * GainRight;
    V.Frame += V.Step;
  }
}

// Moves the voice on by FrameCount output frames without sound (a muted buffer keeps time).
void SkipVoice(TVoiceState& V, int FrameCount) {
  V.Frame += V.Step * FrameCount;
  const double FrameLimit = static_cast<double>(V.Frames);
  if (V.Frame < FrameLimit) return;
  if (V.Looping) {
    V.Frame = std::fmod(V.Frame, FrameLimit);
  } else {
    V.Playing = false;
    V.Frame = 0.0;
  }
}

}  // namespace

std::string DSErrorText(TDSResult Code) {
  switch (Code) {
    case DS_OK: return "The request completed successfully.";
    case DSERR_ALLOCATED:
      return "The request failed because resources, such as a priority level, were already in use by another caller.";
    case DSERR_CONTROLUNAVAIL: return "The control (volume, pan, and so forth) requested by the caller is not available.";
    case DSERR_INVALIDPARAM: return "An invalid parameter was passed to the returning function.";
    case DSERR_INVALIDCALL: return "This function is not valid for the current state of this object.";
    case DSERR_GENERIC: return "An undetermined error occurred inside the DirectSound subsystem.";
    case DSERR_PRIOLEVELNEEDED: return "The caller does not have the priority level required for the function to succeed.";
    case DSERR_OUTOFMEMORY:
      return "The DirectSound subsystem could not allocate sufficient memory to complete the caller\xB4s request.";
    case DSERR_BADFORMAT: return "The specified wave format is not supported.";
    case DSERR_UNSUPPORTED: return "The function called is not supported at this time.";
    case DSERR_NODRIVER: return "No sound driver is available for use.";
    case DSERR_ALREADYINITIALIZED: return "The object is already initialized.";
    case DSERR_NOAGGREGATION: return "The object does not support aggregation.";
    case DSERR_BUFFERLOST: return "The buffer memory has been lost and must be restored.";
    case DSERR_OTHERAPPHASPRIO: return "Another application has a higher priority level, preventing this call from succeeding.";
    case DSERR_UNINITIALIZED:
      return "The IDirectSound::Initialize method has not been called or has not been called successfully before other "
             "methods were called.";
    case DSERR_NOINTERFACE: return "The requested COM interface is not available.";
    default: return "Unrecognized Error";
  }
}

bool IsPlayableFormat(const TWaveFormat& Format) {
  if (Format.FormatTag != WAVE_FORMAT_PCM) return false;
  if (Format.Channels != 1 && Format.Channels != 2) return false;
  if (Format.BitsPerSample != 8 && Format.BitsPerSample != 16) return false;
  if (Format.BlockAlign != Format.Channels * Format.BitsPerSample / 8) return false;
  return Format.SamplesPerSec >= DSBFREQUENCY_MIN && Format.SamplesPerSec <= DSBFREQUENCY_MAX;
}

// ---- TDirectSoundBuffer ----

TDirectSoundBuffer::~TDirectSoundBuffer() {
  if (!FOwner) return;
  std::lock_guard Lock(FOwner->FMutex);
  auto& List = FOwner->FBuffers;
  List.erase(std::remove(List.begin(), List.end(), this), List.end());
}

std::unique_lock<std::mutex> TDirectSoundBuffer::LockOwner() const {
  return FOwner ? std::unique_lock<std::mutex>(FOwner->FMutex) : std::unique_lock<std::mutex>();
}

void TDirectSoundBuffer::UpdateGains() {
  const float Volume = Gain(FVolume);
  FGainLeft = Volume * (FPan > 0 ? Gain(-FPan) : 1.0f);
  FGainRight = Volume * (FPan < 0 ? Gain(FPan) : 1.0f);
}

TDSResult TDirectSoundBuffer::GetStatus(std::uint32_t& Status) const {
  const auto Lock = LockOwner();
  Status = 0;
  if (FPlaying) Status |= DSBSTATUS_PLAYING | (FLooping ? DSBSTATUS_LOOPING : 0);
  return DS_OK;
}

TDSResult TDirectSoundBuffer::Restore() { return DS_OK; }

TDSResult TDirectSoundBuffer::Play(std::uint32_t Flags) {
  const auto Lock = LockOwner();
  if (FPrimary) return DS_OK;
  FLooping = (Flags & DSBPLAY_LOOPING) != 0;
  FPlaying = true;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::Stop() {
  const auto Lock = LockOwner();
  FPlaying = false;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::GetCurrentPosition(std::uint32_t& Position) const {
  const auto Lock = LockOwner();
  if (FPrimary || FFormat.BlockAlign == 0) {
    Position = 0;
    return DS_OK;
  }
  Position = static_cast<std::uint32_t>(static_cast<std::uint64_t>(FFrame) * FFormat.BlockAlign);
  return DS_OK;
}

TDSResult TDirectSoundBuffer::SetCurrentPosition(std::uint32_t Position) {
  const auto Lock = LockOwner();
  if (FPrimary) return DSERR_INVALIDCALL;
  if (!FData || Position > FData->size()) return DSERR_INVALIDPARAM;
  FFrame = static_cast<double>(Position / FFormat.BlockAlign);
  return DS_OK;
}

TDSResult TDirectSoundBuffer::GetVolume(std::int32_t& Volume) const {
  const auto Lock = LockOwner();
  Volume = FVolume;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::SetVolume(std::int32_t Volume) {
  const auto Lock = LockOwner();
  if ((FFlags & DSBCAPS_CTRLVOLUME) == 0) return DSERR_CONTROLUNAVAIL;
  if (Volume < DSBVOLUME_MIN || Volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
  FVolume = Volume;
  UpdateGains();
  return DS_OK;
}

TDSResult TDirectSoundBuffer::GetPan(std::int32_t& Pan) const {
  const auto Lock = LockOwner();
  Pan = FPan;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::SetPan(std::int32_t Pan) {
  const auto Lock = LockOwner();
  if ((FFlags & DSBCAPS_CTRLPAN) == 0) return DSERR_CONTROLUNAVAIL;
  if (Pan < DSBPAN_LEFT || Pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
  FPan = Pan;
  UpdateGains();
  return DS_OK;
}

TDSResult TDirectSoundBuffer::GetFrequency(std::uint32_t& Hz) const {
  const auto Lock = LockOwner();
  Hz = FFrequency;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::SetFrequency(std::uint32_t Hz) {
  const auto Lock = LockOwner();
  if ((FFlags & DSBCAPS_CTRLFREQUENCY) == 0) return DSERR_CONTROLUNAVAIL;
  if (Hz == DSBFREQUENCY_ORIGINAL) Hz = FFormat.SamplesPerSec;
  if (Hz < DSBFREQUENCY_MIN || Hz > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  FFrequency = Hz;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::GetFormat(TWaveFormat& Format) const {
  const auto Lock = LockOwner();
  Format = FFormat;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::SetFormat(const TWaveFormat& Format) {
  const auto Lock = LockOwner();
  if (!FPrimary) return DSERR_INVALIDCALL;
  if (!FOwner) return DSERR_UNINITIALIZED;
  if (FOwner->FLevel < DSSCL_PRIORITY) return DSERR_PRIOLEVELNEEDED;
  if (!IsPlayableFormat(Format)) return DSERR_BADFORMAT;
  // The output itself stays at 44100 Hz stereo floats; the mixer converts every buffer.
  FFormat = Format;
  return DS_OK;
}

TDSResult TDirectSoundBuffer::Write(std::uint32_t Offset, const std::uint8_t* Data, std::uint32_t Bytes) {
  const auto Lock = LockOwner();
  if (FPrimary) return DSERR_INVALIDCALL;
  if (!FData || (Bytes > 0 && !Data)) return DSERR_INVALIDPARAM;
  if (static_cast<std::uint64_t>(Offset) + Bytes > FData->size()) return DSERR_INVALIDPARAM;
  if (Bytes > 0) std::memcpy(FData->data() + Offset, Data, Bytes);
  return DS_OK;
}

std::uint32_t TDirectSoundBuffer::BufferBytes() const {
  const auto Lock = LockOwner();
  return FData ? static_cast<std::uint32_t>(FData->size()) : 0;
}

std::uint64_t TDirectSoundBuffer::DeviceSerial() const { return FOwner ? FSerial : 0; }

// ---- TDirectSound ----

TDirectSound::TDirectSound() : FSerial(NextSerial.fetch_add(1)) { TAudioOutput::Instance().AddSource(this); }

TDirectSound::~TDirectSound() {
  TAudioOutput::Instance().RemoveSource(this);
  std::lock_guard Lock(FMutex);
  for (TDirectSoundBuffer* Buffer : FBuffers) {
    Buffer->FOwner = nullptr;
    Buffer->FPlaying = false;
  }
  FBuffers.clear();
}

TDSResult TDirectSound::SetCooperativeLevel(std::uint32_t Level) {
  if (Level < DSSCL_NORMAL || Level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  std::lock_guard Lock(FMutex);
  FLevel = Level;
  return DS_OK;
}

TDSResult TDirectSound::GetSpeakerConfig(std::uint32_t& Config) const {
  std::lock_guard Lock(FMutex);
  Config = FSpeakerConfig;
  return DS_OK;
}

TDSResult TDirectSound::SetSpeakerConfig(std::uint32_t Config) {
  if (Config < DSSPEAKER_HEADPHONE || Config > DSSPEAKER_SURROUND) return DSERR_INVALIDPARAM;
  std::lock_guard Lock(FMutex);
  FSpeakerConfig = Config;
  return DS_OK;
}

TDSResult TDirectSound::GetCaps(TDSCaps& Caps) const {
  Caps = TDSCaps();
  // A software mixer: every format, any rate in the range, no hardware buffers.
  Caps.Flags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
               DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
               DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
  Caps.MinSecondarySampleRate = DSBFREQUENCY_MIN;
  Caps.MaxSecondarySampleRate = DSBFREQUENCY_MAX;
  Caps.PrimaryBuffers = 1;
  return DS_OK;
}

std::unique_ptr<TDirectSoundBuffer> TDirectSound::NewBuffer() {
  std::unique_ptr<TDirectSoundBuffer> Buffer(new TDirectSoundBuffer());
  Buffer->FOwner = this;
  Buffer->FSerial = FSerial;
  return Buffer;
}

TDSResult TDirectSound::CreateSoundBuffer(const TDSBufferDesc& Desc, std::unique_ptr<TDirectSoundBuffer>& Buffer) {
  Buffer.reset();
  if (Desc.Size != 20) return DSERR_INVALIDPARAM;
  std::unique_ptr<TDirectSoundBuffer> New = NewBuffer();
  New->FFlags = Desc.Flags;
  if (Desc.Flags & DSBCAPS_PRIMARYBUFFER) {
    if (Desc.BufferBytes != 0 || Desc.Format) return DSERR_INVALIDPARAM;
    New->FPrimary = true;
    New->FFormat = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0};
  } else {
    if (!Desc.Format) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(*Desc.Format)) return DSERR_BADFORMAT;
    if (Desc.BufferBytes < Desc.Format->BlockAlign) return DSERR_INVALIDPARAM;
    New->FFormat = *Desc.Format;
    New->FFormat.ExtraSize = 0;
    New->FFrequency = New->FFormat.SamplesPerSec;
    try {
      New->FData = std::make_shared<std::vector<std::uint8_t>>(Desc.BufferBytes, std::uint8_t{0});
    } catch (const std::bad_alloc&) {
      return DSERR_OUTOFMEMORY;
    }
    if (New->FFormat.BitsPerSample == 8) std::fill(New->FData->begin(), New->FData->end(), std::uint8_t{128});
  }
  New->UpdateGains();
  {
    std::lock_guard Lock(FMutex);
    FBuffers.push_back(New.get());
  }
  Buffer = std::move(New);
  return DS_OK;
}

TDSResult TDirectSound::DuplicateSoundBuffer(const TDirectSoundBuffer* Original,
                                             std::unique_ptr<TDirectSoundBuffer>& Duplicate) {
  Duplicate.reset();
  if (!Original || Original->FOwner != this) return DSERR_INVALIDPARAM;
  if (Original->FPrimary) return DSERR_INVALIDCALL;
  std::unique_ptr<TDirectSoundBuffer> New = NewBuffer();
  {
    std::lock_guard Lock(FMutex);
    New->FFlags = Original->FFlags;
    New->FFormat = Original->FFormat;
    New->FData = Original->FData;
    New->FFrequency = Original->FFrequency;
    New->FVolume = Original->FVolume;
    New->FPan = Original->FPan;
    New->UpdateGains();
    FBuffers.push_back(New.get());
  }
  Duplicate = std::move(New);
  return DS_OK;
}

void TDirectSound::MixInto(float* Frames, int FrameCount) {
  const bool Active = TAudioOutput::Instance().ApplicationActive();
  std::lock_guard Lock(FMutex);
  for (TDirectSoundBuffer* B : FBuffers) {
    if (!B->FPlaying || B->FPrimary || !B->FData) continue;
    TVoiceState V{B->FData->data(), static_cast<std::int64_t>(B->FData->size() / B->FFormat.BlockAlign), B->FFrame,
                  static_cast<double>(B->FFrequency) / AudioSampleRate, B->FLooping, true};
    if (V.Frames == 0) {
      B->FPlaying = false;
      continue;
    }
    const bool Muted = !Active && (B->FFlags & DSBCAPS_GLOBALFOCUS) == 0;
    if (Muted || (B->FGainLeft == 0.0f && B->FGainRight == 0.0f)) {
      SkipVoice(V, FrameCount);
    } else {
      const int Kind = B->FFormat.BitsPerSample * 10 + B->FFormat.Channels;
      switch (Kind) {
        case 81: MixVoice<8, 1>(V, Frames, FrameCount, B->FGainLeft, B->FGainRight); break;
        case 82: MixVoice<8, 2>(V, Frames, FrameCount, B->FGainLeft, B->FGainRight); break;
        case 161: MixVoice<16, 1>(V, Frames, FrameCount, B->FGainLeft, B->FGainRight); break;
        default: MixVoice<16, 2>(V, Frames, FrameCount, B->FGainLeft, B->FGainRight); break;
      }
    }
    B->FFrame = V.Frame;
    B->FPlaying = V.Playing;
  }
}

TDSResult DirectSoundCreate(std::unique_ptr<TDirectSound>& Sound) {
  Sound.reset();
  if (!TAudioOutput::Instance().IsOpen()) return DSERR_NODRIVER;
  Sound = std::make_unique<TDirectSound>();
  return DS_OK;
}
