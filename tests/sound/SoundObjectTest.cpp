#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/DSound.h"

namespace {

const TWaveFormat Mono16{WAVE_FORMAT_PCM, 1, 11025, 22050, 2, 16, 0};

TDSBufferDesc Desc(std::uint32_t Flags, std::uint32_t Bytes, const TWaveFormat* Format) {
  TDSBufferDesc D;
  D.Flags = Flags;
  D.BufferBytes = Bytes;
  D.Format = Format;
  return D;
}

}  // namespace

TEST(SoundObject, RefusesBadBuffersAndBadCalls) {
  TDirectSound Sound;
  std::unique_ptr<TDirectSoundBuffer> Buffer;
  const TWaveFormat Mono24{WAVE_FORMAT_PCM, 1, 11025, 33075, 3, 24, 0};
  const TWaveFormat BadAlign{WAVE_FORMAT_PCM, 2, 11025, 22050, 2, 16, 0};
  const TWaveFormat TooSlow{WAVE_FORMAT_PCM, 1, 50, 100, 2, 16, 0};
  const struct {
    const char* Name;
    TDSBufferDesc D;
    TDSResult Result;
  } Cases[] = {
      {"no format", Desc(DSBCAPS_STATIC, 100, nullptr), DSERR_INVALIDPARAM},
      {"24 bits", Desc(DSBCAPS_STATIC, 99, &Mono24), DSERR_BADFORMAT},
      {"block that does not fit the channels", Desc(DSBCAPS_STATIC, 100, &BadAlign), DSERR_BADFORMAT},
      {"rate under 100 Hz", Desc(DSBCAPS_STATIC, 100, &TooSlow), DSERR_BADFORMAT},
      {"smaller than one frame", Desc(DSBCAPS_STATIC, 1, &Mono16), DSERR_INVALIDPARAM},
      {"primary with a size", Desc(DSBCAPS_PRIMARYBUFFER, 100, nullptr), DSERR_INVALIDPARAM},
      {"fine", Desc(DSBCAPS_STATIC, 100, &Mono16), DS_OK},
  };
  for (const auto& Case : Cases) {
    EXPECT_EQ(Sound.CreateSoundBuffer(Case.D, Buffer), Case.Result) << Case.Name;
    EXPECT_EQ(Buffer != nullptr, Case.Result == DS_OK) << Case.Name;
  }

  // Writes stay inside the buffer; positions inside its size.
  const std::uint8_t Bytes[8] = {};
  EXPECT_EQ(Buffer->Write(96, Bytes, 4), DS_OK);
  EXPECT_EQ(Buffer->Write(97, Bytes, 4), DSERR_INVALIDPARAM);
  EXPECT_EQ(Buffer->Write(0xFFFFFFFFU, Bytes, 2), DSERR_INVALIDPARAM);
  EXPECT_EQ(Buffer->SetCurrentPosition(100), DS_OK);
  EXPECT_EQ(Buffer->SetCurrentPosition(101), DSERR_INVALIDPARAM);
  // Controls that the buffer was not made with, and values out of range.
  EXPECT_EQ(Buffer->SetVolume(-100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(Buffer->SetPan(100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(Buffer->SetFrequency(8000), DSERR_CONTROLUNAVAIL);
  std::unique_ptr<TDirectSoundBuffer> Controlled;
  ASSERT_EQ(Sound.CreateSoundBuffer(Desc(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY, 100, &Mono16),
                                    Controlled),
            DS_OK);
  EXPECT_EQ(Controlled->SetVolume(1), DSERR_INVALIDPARAM);
  EXPECT_EQ(Controlled->SetPan(10001), DSERR_INVALIDPARAM);
  EXPECT_EQ(Controlled->SetFrequency(99), DSERR_INVALIDPARAM);
  EXPECT_EQ(Controlled->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
  std::uint32_t Hz = 0;
  Controlled->GetFrequency(Hz);
  EXPECT_EQ(Hz, 11025u);
  // Only the primary buffer takes a format, and only above the normal sharing level.
  EXPECT_EQ(Controlled->SetFormat(Mono16), DSERR_INVALIDCALL);
  std::unique_ptr<TDirectSoundBuffer> Primary;
  ASSERT_EQ(Sound.CreateSoundBuffer(Desc(DSBCAPS_PRIMARYBUFFER, 0, nullptr), Primary), DS_OK);
  ASSERT_EQ(Sound.SetCooperativeLevel(DSSCL_NORMAL), DS_OK);
  EXPECT_EQ(Primary->SetFormat(Mono16), DSERR_PRIOLEVELNEEDED);
  ASSERT_EQ(Sound.SetCooperativeLevel(DSSCL_PRIORITY), DS_OK);
  EXPECT_EQ(Primary->SetFormat(Mono24), DSERR_BADFORMAT);
  EXPECT_EQ(Primary->SetFormat(Mono16), DS_OK);
  EXPECT_EQ(Sound.SetCooperativeLevel(7), DSERR_INVALIDPARAM);
  // A buffer is duplicated only by the sound object that made it.
  TDirectSound Other;
  std::unique_ptr<TDirectSoundBuffer> Copy;
  EXPECT_EQ(Other.DuplicateSoundBuffer(Buffer.get(), Copy), DSERR_INVALIDPARAM);
  EXPECT_EQ(Sound.DuplicateSoundBuffer(Primary.get(), Copy), DSERR_INVALIDCALL);
  EXPECT_EQ(Sound.DuplicateSoundBuffer(Buffer.get(), Copy), DS_OK);
  EXPECT_EQ(Copy->BufferBytes(), 100u);
}

TEST(SoundObject, NoneWithoutAnOpenOutput) {
  TAudioOutput::Instance().Close();
  std::unique_ptr<TDirectSound> Sound;
  EXPECT_EQ(DirectSoundCreate(Sound), DSERR_NODRIVER);
  EXPECT_EQ(Sound, nullptr);
}

TEST(SoundObject, BuffersOutliveTheirSoundObjectSilently) {
  auto Sound = std::make_unique<TDirectSound>();
  std::unique_ptr<TDirectSoundBuffer> Buffer;
  ASSERT_EQ(Sound->CreateSoundBuffer(Desc(DSBCAPS_STATIC, 100, &Mono16), Buffer), DS_OK);
  const std::uint64_t Serial = Sound->Serial();
  EXPECT_EQ(Buffer->DeviceSerial(), Serial);
  Buffer->Play(DSBPLAY_LOOPING);
  Sound.reset();
  EXPECT_EQ(Buffer->DeviceSerial(), 0u);
  std::uint32_t Status = 1;
  Buffer->GetStatus(Status);
  EXPECT_EQ(Status, 0u);
  EXPECT_EQ(Buffer->Play(0), DS_OK);
}
