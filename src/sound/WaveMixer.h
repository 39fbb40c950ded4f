#pragma once
// The sound mixer component and its sound buffers. The mixer holds the program's sound object
// (sound/DSound.h); each sound buffer is a wave that plays through one static buffer of that
// object, with volume, panning and playback rate, and falls back on the plain sound player
// when it has no mixer or the mixer has no sound object (no audio device).
#include <cstdint>
#include <memory>
#include <string>

#include "foundation/Exception.h"
#include "sound/DSound.h"
#include "sound/Wave.h"

// A failure of the sound object, carrying the text of its result code.
class EWaveMixer : public EBrenmoor {
public:
  explicit EWaveMixer(TDSResult Code) : EBrenmoor(DSErrorText(Code)), FCode(Code) {}
  // A refused setting, with its own text.
  explicit EWaveMixer(const std::string& Message) : EBrenmoor(Message), FCode(DSERR_INVALIDPARAM) {}
  TDSResult Code() const { return FCode; }

private:
  TDSResult FCode;
};

enum TCooperativeLevel { clNormal, clPriority, clExclusive, clWritePrimary };
enum TSpeakerConfig { spkHeadphone, spkMono, spkQuad, spkStereo, spkSurround };

// The capabilities of the sound object, as they were when last read.
struct TSoundCaps {
  bool ContinuousRate = false;
  bool EmulDriver = false;
  bool Certified = false;
  bool Primary16Bit = false;
  bool Primary8Bit = false;
  bool PrimaryMono = false;
  bool PrimaryStereo = false;
  bool Secondary16Bit = false;
  bool Secondary8Bit = false;
  bool SecondaryMono = false;
  bool SecondaryStereo = false;
  std::uint32_t MinSecondarySampleRate = 0;
  std::uint32_t MaxSecondarySampleRate = 0;
  std::uint32_t PrimaryBuffers = 0;
  std::uint32_t MaxHWMixingAllBuffers = 0;
  std::uint32_t MaxHWMixingStaticBuffers = 0;
  std::uint32_t MaxHWMixingStreamingBuffers = 0;
  std::uint32_t FreeHWMixingAllBuffers = 0;
  std::uint32_t FreeHWMixingStaticBuffers = 0;
  std::uint32_t FreeHWMixingStreamingBuffers = 0;
  std::uint32_t MaxHW3DAllBuffers = 0;
  std::uint32_t MaxHW3DStaticBuffers = 0;
  std::uint32_t MaxHW3DStreamingBuffers = 0;
  std::uint32_t FreeHW3DAllBuffers = 0;
  std::uint32_t FreeHW3DStaticBuffers = 0;
  std::uint32_t FreeHW3DStreamingBuffers = 0;
  std::uint32_t TotalHWMemBytes = 0;
  std::uint32_t FreeHWMemBytes = 0;
  std::uint32_t MaxContigFreeHWMemBytes = 0;
  std::uint32_t UnlockTransferRateHWBuffers = 0;
  std::uint32_t PlayCPUOverheadSWBuffers = 0;
};

class TWaveMixer : public TSoundComponent {
public:
  TWaveMixer();
  ~TWaveMixer() override;

  // Once its properties are set: makes the sound object.
  void Loaded();
  // Makes a new sound object on the program's sound output. Without an audio device the mixer
  // stays without one and says so in the log (never a message box); a refused sharing level or
  // primary format raises EWaveMixer.
  void LoadDirectSound();

  bool DirectSoundLoaded() const { return FDirectSound != nullptr; }
  // The sound object; nullptr without one.
  TDirectSound* DirectSound() const { return FDirectSound.get(); }

  TCooperativeLevel CooperativeLevel() const { return FCooperativeLevel; }
  // clNormal also drops PrimaryBufferCharacteristics.
  void SetCooperativeLevel(TCooperativeLevel Value);
  bool LoadDirectSoundAtDesignTime() const { return FLoadDirectSoundAtDesignTime; }
  // False lets the sound object go; True makes a new one.
  void SetLoadDirectSoundAtDesignTime(bool Value);
  TWave* PrimaryBufferCharacteristics() const { return FPrimaryBufferCharacteristics; }
  // A wave is refused, with a message, while CooperativeLevel is clNormal.
  void SetPrimaryBufferCharacteristics(TWave* Value);
  // Filled from the sound object on every read; all zero without one.
  const TSoundCaps& SoundCaps();
  TSpeakerConfig SpeakerConfiguration() const;
  void SetSpeakerConfiguration(TSpeakerConfig Value);

protected:
  void Notification(TSoundComponent* Removed) override;

private:
  void ReleaseDirectSound();

  std::unique_ptr<TDirectSound> FDirectSound;
  std::unique_ptr<TDirectSoundBuffer> FPrimaryBuffer;
  std::unique_ptr<TSoundCaps> FSoundCaps;
  TCooperativeLevel FCooperativeLevel = clNormal;
  bool FLoadDirectSoundAtDesignTime = false;
  TWave* FPrimaryBufferCharacteristics = nullptr;
  TSpeakerConfig FSpeakerConfiguration = spkStereo;
};

class TSoundBuffer : public TWave {
public:
  TSoundBuffer() = default;
  ~TSoundBuffer() override;

  // From the start, once; without a mixer buffer through the plain sound player. With
  // Synchronous it waits for the end, letting the window system process its messages.
  void Play() override;
  // Over and over from the current position.
  void PlayLoop() override;
  void Stop();
  bool IsPlaying();

  // Makes the mixer buffer when the wave data (or the clone's buffer) and the mixer's sound
  // object are there, and lets it go when they are not; every operation calls it first.
  void EnsureBuffer();
  bool HasBuffer() const { return FBuffer != nullptr; }

  TSoundBuffer* CloneBuffer() const { return FCloneBuffer; }
  // Another buffer whose mixer buffer this one duplicates (same samples, own controls).
  // Refuses itself and any chain of clones that would lead back to this one; a change lets
  // this buffer's mixer buffer go.
  void SetCloneBuffer(TSoundBuffer* Value);
  std::int32_t FrequencyPct() const { return FFrequencyPct; }
  // The rate in percent of the wave's own: 100..100000 Hz, the stored percentage being the
  // one that rate gives (truncated).
  void SetFrequencyPct(std::int32_t Value);
  bool MuteOnDeactivate() const { return FMuteOnDeactivate; }
  // Taken when the mixer buffer is made.
  void SetMuteOnDeactivate(bool Value) { FMuteOnDeactivate = Value; }
  std::int16_t Panning() const { return FPanning; }
  // -10000 (left) .. 10000 (right); values beyond are taken to the nearest end.
  void SetPanning(std::int16_t Value);
  // The play position in bytes; 0 without a mixer buffer.
  std::uint32_t Position();
  // At most the size of the samples.
  void SetPosition(std::uint32_t Value);
  std::int16_t Volume() const { return FVolume; }
  // -10000 .. 0 in hundredths of a decibel; values beyond are taken to the nearest end.
  void SetVolume(std::int16_t Value);
  TWaveMixer* WaveMixer() const { return FWaveMixer; }
  void SetWaveMixer(TWaveMixer* Value);

protected:
  void WaveDataChanging() override;
  void Notification(TSoundComponent* Removed) override;

private:
  void ReleaseBuffer();

  std::unique_ptr<TDirectSoundBuffer> FBuffer;
  TDSBufferDesc FBufferDesc;
  TWaveFormat FBufferFormat;
  TSoundBuffer* FCloneBuffer = nullptr;
  TWaveMixer* FWaveMixer = nullptr;
  std::int32_t FFrequencyPct = 100;
  bool FMuteOnDeactivate = true;
  std::int16_t FPanning = 0;
  std::int16_t FVolume = -1000;
};
