#include "sound/WaveMixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "foundation/ProcessMessages.h"
#include "sound/SoundLog.h"

// ---- TWaveMixer ----

TWaveMixer::TWaveMixer() : FSoundCaps(std::make_unique<TSoundCaps>()) { SetSpeakerConfiguration(spkStereo); }

TWaveMixer::~TWaveMixer() { ReleaseDirectSound(); }

void TWaveMixer::ReleaseDirectSound() {
  FPrimaryBuffer.reset();
  FDirectSound.reset();
}

void TWaveMixer::Loaded() { LoadDirectSound(); }

void TWaveMixer::LoadDirectSound() {
  ReleaseDirectSound();
  const TDSResult Created = DirectSoundCreate(FDirectSound);
  if (Created != DS_OK) {
    // No audio device (no sound card, as on a build machine): the game runs silent.
    SoundLog(DSErrorText(Created));
    FDirectSound.reset();
    return;
  }
  const TDSResult Level = FDirectSound->SetCooperativeLevel(static_cast<std::uint32_t>(FCooperativeLevel) + 1);
  if (Level != DS_OK) throw EWaveMixer(Level);
  FDirectSound->SetSpeakerConfig(static_cast<std::uint32_t>(FSpeakerConfiguration) + 1);
  if (FPrimaryBufferCharacteristics) {
    TDSBufferDesc Desc;
    Desc.Flags = DSBCAPS_PRIMARYBUFFER;
    TDSResult Result = FDirectSound->CreateSoundBuffer(Desc, FPrimaryBuffer);
    if (Result == DS_OK) Result = FPrimaryBuffer->SetFormat(FPrimaryBufferCharacteristics->GetWaveFormat());
    if (Result != DS_OK) {
      FPrimaryBuffer.reset();
      throw EWaveMixer(Result);
    }
  }
}

void TWaveMixer::SetCooperativeLevel(TCooperativeLevel Value) {
  FCooperativeLevel = Value;
  if (Value == clNormal) SetPrimaryBufferCharacteristics(nullptr);
}

void TWaveMixer::SetLoadDirectSoundAtDesignTime(bool Value) {
  FLoadDirectSoundAtDesignTime = Value;
  if (Value) {
    LoadDirectSound();
  } else {
    ReleaseDirectSound();
  }
}

void TWaveMixer::SetPrimaryBufferCharacteristics(TWave* Value) {
  if (Value && FCooperativeLevel == clNormal) {
    SoundMessage("Cannot assign Primary Sound Buffer with CooperationLevel of clNormal");
    return;
  }
  if (FPrimaryBufferCharacteristics) FPrimaryBufferCharacteristics->RemoveFreeNotification(this);
  FPrimaryBufferCharacteristics = Value;
  if (Value) Value->FreeNotification(this);
}

const TSoundCaps& TWaveMixer::SoundCaps() {
  TDSCaps Caps;
  if (FDirectSound) FDirectSound->GetCaps(Caps);
  TSoundCaps& S = *FSoundCaps;
  S.ContinuousRate = (Caps.Flags & DSCAPS_CONTINUOUSRATE) != 0;
  S.EmulDriver = (Caps.Flags & DSCAPS_EMULDRIVER) != 0;
  S.Certified = (Caps.Flags & DSCAPS_CERTIFIED) != 0;
  S.Primary16Bit = (Caps.Flags & DSCAPS_PRIMARY16BIT) != 0;
  S.Primary8Bit = (Caps.Flags & DSCAPS_PRIMARY8BIT) != 0;
  S.PrimaryMono = (Caps.Flags & DSCAPS_PRIMARYMONO) != 0;
  S.PrimaryStereo = (Caps.Flags & DSCAPS_PRIMARYSTEREO) != 0;
  S.Secondary16Bit = (Caps.Flags & DSCAPS_SECONDARY16BIT) != 0;
  S.Secondary8Bit = (Caps.Flags & DSCAPS_SECONDARY8BIT) != 0;
  S.SecondaryMono = (Caps.Flags & DSCAPS_SECONDARYMONO) != 0;
  S.SecondaryStereo = (Caps.Flags & DSCAPS_SECONDARYSTEREO) != 0;
  S.MinSecondarySampleRate = Caps.MinSecondarySampleRate;
  S.MaxSecondarySampleRate = Caps.MaxSecondarySampleRate;
  S.PrimaryBuffers = Caps.PrimaryBuffers;
  S.MaxHWMixingAllBuffers = Caps.MaxHwMixingAllBuffers;
  S.MaxHWMixingStaticBuffers = Caps.MaxHwMixingStaticBuffers;
  S.MaxHWMixingStreamingBuffers = Caps.MaxHwMixingStreamingBuffers;
  S.FreeHWMixingAllBuffers = Caps.FreeHwMixingAllBuffers;
  S.FreeHWMixingStaticBuffers = Caps.FreeHwMixingStaticBuffers;
  S.FreeHWMixingStreamingBuffers = Caps.FreeHwMixingStreamingBuffers;
  S.MaxHW3DAllBuffers = Caps.MaxHw3DAllBuffers;
  S.MaxHW3DStaticBuffers = Caps.MaxHw3DStaticBuffers;
  S.MaxHW3DStreamingBuffers = Caps.MaxHw3DStreamingBuffers;
  S.FreeHW3DAllBuffers = Caps.FreeHw3DAllBuffers;
  S.FreeHW3DStaticBuffers = Caps.FreeHw3DStaticBuffers;
  S.FreeHW3DStreamingBuffers = Caps.FreeHw3DStreamingBuffers;
  S.TotalHWMemBytes = Caps.TotalHwMemBytes;
  S.FreeHWMemBytes = Caps.FreeHwMemBytes;
  S.MaxContigFreeHWMemBytes = Caps.MaxContigFreeHwMemBytes;
  S.UnlockTransferRateHWBuffers = Caps.UnlockTransferRateHwBuffers;
  S.PlayCPUOverheadSWBuffers = Caps.PlayCpuOverheadSwBuffers;
  return S;
}

TSpeakerConfig TWaveMixer::SpeakerConfiguration() const {
  if (!FDirectSound) return FSpeakerConfiguration;
  std::uint32_t Config = DSSPEAKER_STEREO;
  FDirectSound->GetSpeakerConfig(Config);
  return static_cast<TSpeakerConfig>(std::clamp<std::uint32_t>(Config, DSSPEAKER_HEADPHONE, DSSPEAKER_SURROUND) - 1);
}

void TWaveMixer::SetSpeakerConfiguration(TSpeakerConfig Value) {
  if (Value == FSpeakerConfiguration) return;
  FSpeakerConfiguration = Value;
  if (FDirectSound) FDirectSound->SetSpeakerConfig(static_cast<std::uint32_t>(Value) + 1);
}

void TWaveMixer::Notification(TSoundComponent* Removed) {
  if (Removed == FPrimaryBufferCharacteristics) FPrimaryBufferCharacteristics = nullptr;
}

// ---- TSoundBuffer ----

TSoundBuffer::~TSoundBuffer() { ReleaseBuffer(); }

void TSoundBuffer::ReleaseBuffer() { FBuffer.reset(); }

void TSoundBuffer::WaveDataChanging() { ReleaseBuffer(); }

void TSoundBuffer::EnsureBuffer() {
  TDirectSound* Sound = FWaveMixer ? FWaveMixer->DirectSound() : nullptr;
  if (FBuffer) {
    // A buffer of a sound object that has gone (or of another mixer's) is let go.
    if (!Sound || FBuffer->DeviceSerial() != Sound->Serial()) {
      ReleaseBuffer();
    } else {
      std::uint32_t Status = 0;
      FBuffer->GetStatus(Status);
      if (Status & DSBSTATUS_BUFFERLOST) FBuffer->Restore();
    }
  }
  if (FBuffer || !Sound) return;

  if (FCloneBuffer) {
    FCloneBuffer->EnsureBuffer();
    if (!FCloneBuffer->FBuffer) return;
    const TDSResult Result = Sound->DuplicateSoundBuffer(FCloneBuffer->FBuffer.get(), FBuffer);
    if (Result != DS_OK) {
      ReleaseBuffer();
      throw EWaveMixer(Result);
    }
  } else {
    // Without samples there is nothing to put in a buffer.
    if (!HasWaveData()) return;
    FBufferFormat = GetWaveFormat();
    FBufferDesc = TDSBufferDesc();
    FBufferDesc.Flags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    if (!FMuteOnDeactivate) FBufferDesc.Flags |= DSBCAPS_GLOBALFOCUS;
    FBufferDesc.BufferBytes = WaveSize();
    FBufferDesc.Format = &FBufferFormat;
    TDSResult Result = Sound->CreateSoundBuffer(FBufferDesc, FBuffer);
    if (Result == DS_OK) Result = FBuffer->Write(0, WaveData(), WaveSize());
    if (Result != DS_OK) {
      ReleaseBuffer();
      throw EWaveMixer(Result);
    }
  }
  FBuffer->SetVolume(FVolume);
  FBuffer->SetPan(FPanning);
}

void TSoundBuffer::Play() {
  EnsureBuffer();
  if (!FBuffer) {
    TWave::Play();
    return;
  }
  FBuffer->Stop();
  FBuffer->SetCurrentPosition(0);
  FBuffer->Play(0);
  if (!Synchronous()) return;
  // Waits for the end (with the window alive), no longer than the sound lasts and a second.
  TWaveFormat Format;
  FBuffer->GetFormat(Format);
  std::uint32_t Hz = 0;
  FBuffer->GetFrequency(Hz);
  const std::uint64_t Frames = FBuffer->BufferBytes() / std::max<std::uint16_t>(Format.BlockAlign, 1);
  const auto Deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(1000 + 1000 * Frames / std::max<std::uint32_t>(Hz, 1));
  while (IsPlaying() && std::chrono::steady_clock::now() < Deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ProcessMessages();
  }
}

void TSoundBuffer::PlayLoop() {
  EnsureBuffer();
  if (!FBuffer) {
    TWave::PlayLoop();
    return;
  }
  FBuffer->Play(DSBPLAY_LOOPING);
}

void TSoundBuffer::Stop() {
  EnsureBuffer();
  if (FBuffer) FBuffer->Stop();
}

bool TSoundBuffer::IsPlaying() {
  EnsureBuffer();
  if (!FBuffer) return false;
  std::uint32_t Status = 0;
  FBuffer->GetStatus(Status);
  return (Status & DSBSTATUS_PLAYING) != 0;
}

void TSoundBuffer::SetCloneBuffer(TSoundBuffer* Value) {
  if (Value == this) throw EWaveMixer(std::string("Cannot assign self as parameter value"));
  for (const TSoundBuffer* Link = Value; Link; Link = Link->FCloneBuffer) {
    if (Link == this) throw EWaveMixer(std::string("Circular reference in assignment of CloneBuffer"));
  }
  if (Value == FCloneBuffer) return;
  if (FCloneBuffer) FCloneBuffer->RemoveFreeNotification(this);
  FCloneBuffer = Value;
  if (Value) Value->FreeNotification(this);
  // The buffer duplicated the old clone's samples: the next operation makes the new one.
  ReleaseBuffer();
}

void TSoundBuffer::SetFrequencyPct(std::int32_t Value) {
  FFrequencyPct = Value;
  EnsureBuffer();
  if (!FBuffer) return;
  // The rate of the buffer's own format: a clone has no wave format of its own.
  TWaveFormat Format;
  FBuffer->GetFormat(Format);
  const double Rate = Format.SamplesPerSec;
  const double Wanted = std::trunc(Rate * (Value / 100.0));
  const auto Hz = static_cast<std::uint32_t>(
      std::clamp(Wanted, static_cast<double>(DSBFREQUENCY_MIN), static_cast<double>(DSBFREQUENCY_MAX)));
  FFrequencyPct = static_cast<std::int32_t>(static_cast<std::uint64_t>(Hz) * 100 / Format.SamplesPerSec);
  FBuffer->SetFrequency(Hz);
}

void TSoundBuffer::SetPanning(std::int16_t Value) {
  FPanning = static_cast<std::int16_t>(std::clamp<std::int32_t>(Value, DSBPAN_LEFT, DSBPAN_RIGHT));
  EnsureBuffer();
  if (FBuffer) FBuffer->SetPan(FPanning);
}

std::uint32_t TSoundBuffer::Position() {
  EnsureBuffer();
  if (!FBuffer) return 0;
  std::uint32_t Value = 0;
  FBuffer->GetCurrentPosition(Value);
  return Value;
}

void TSoundBuffer::SetPosition(std::uint32_t Value) {
  EnsureBuffer();
  if (FBuffer) FBuffer->SetCurrentPosition(std::min(Value, FBuffer->BufferBytes()));
}

void TSoundBuffer::SetVolume(std::int16_t Value) {
  FVolume = static_cast<std::int16_t>(std::clamp<std::int32_t>(Value, DSBVOLUME_MIN, DSBVOLUME_MAX));
  EnsureBuffer();
  if (FBuffer) FBuffer->SetVolume(FVolume);
}

void TSoundBuffer::SetWaveMixer(TWaveMixer* Value) {
  if (Value == FWaveMixer) return;
  if (FWaveMixer) FWaveMixer->RemoveFreeNotification(this);
  FWaveMixer = Value;
  if (Value) Value->FreeNotification(this);
}

void TSoundBuffer::Notification(TSoundComponent* Removed) {
  if (Removed == FCloneBuffer) FCloneBuffer = nullptr;
  if (Removed == FWaveMixer) {
    FWaveMixer = nullptr;
    ReleaseBuffer();
  }
}
