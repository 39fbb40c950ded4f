#include <gtest/gtest.h>

#include <cmath>

#include "SoundTestSupport.h"
#include "sound/PlainSound.h"
#include "sound/WaveMixer.h"

namespace {

constexpr std::int16_t Half = 16384;  // 0.5 of full scale

class SoundBuffer : public TSoundOutputTest {
protected:
  void SetUp() override {
    TSoundOutputTest::SetUp();
    Mixer.Loaded();
    ASSERT_TRUE(Mixer.DirectSoundLoaded());
  }
  // A sound buffer on the mixer holding Frames of a steady level.
  std::unique_ptr<TSoundBuffer> Steady(int Frames, std::uint32_t Rate = 11025, std::int16_t Level = Half) {
    auto Buffer = std::make_unique<TSoundBuffer>();
    Buffer->LoadFromImage(WaveFile(Constant16(Frames, Level), 1, Rate));
    Buffer->SetWaveMixer(&Mixer);
    return Buffer;
  }

  TWaveMixer Mixer;
};

}  // namespace

TEST_F(SoundBuffer, VolumeAttenuatesInHundredthsOfADecibel) {
  const struct {
    std::int16_t Volume;
    float Level;
  } Cases[] = {{0, 0.5f}, {-600, 0.5f * 0.501187f}, {-1000, 0.5f * 0.316228f}, {-2000, 0.05f}, {-10000, 0.0f},
               {-20000, 0.0f}, {500, 0.5f}};
  auto Buffer = Steady(20000);
  EXPECT_EQ(Buffer->Volume(), -1000);
  for (const auto& Case : Cases) {
    Buffer->SetVolume(Case.Volume);
    Buffer->Play();
    const std::vector<float> Out = Render(64);
    EXPECT_NEAR(Out[10], Case.Level, 1e-4) << Case.Volume;
    EXPECT_NEAR(Out[11], Case.Level, 1e-4) << Case.Volume;
  }
  // Values beyond the range are taken to its ends.
  Buffer->SetVolume(-20000);
  EXPECT_EQ(Buffer->Volume(), -10000);
  Buffer->SetVolume(500);
  EXPECT_EQ(Buffer->Volume(), 0);
}

TEST_F(SoundBuffer, PanningAttenuatesTheOtherSide) {
  const struct {
    std::int16_t Pan;
    float Left;
    float Right;
  } Cases[] = {{0, 0.5f, 0.5f},
               {10000, 0.0f, 0.5f},
               {-10000, 0.5f, 0.0f},
               {2000, 0.05f, 0.5f},
               {-600, 0.5f, 0.5f * 0.501187f}};
  auto Buffer = Steady(20000);
  Buffer->SetVolume(0);
  for (const auto& Case : Cases) {
    Buffer->SetPanning(Case.Pan);
    EXPECT_EQ(Buffer->Panning(), Case.Pan);
    Buffer->Play();
    const std::vector<float> Out = Render(64);
    EXPECT_NEAR(Out[20], Case.Left, 1e-4) << Case.Pan;
    EXPECT_NEAR(Out[21], Case.Right, 1e-4) << Case.Pan;
  }
}

TEST_F(SoundBuffer, FrequencyPercentSetsTheRateAndTheStoredPercentage) {
  const struct {
    std::int32_t Pct;
    std::int32_t Stored;
    int Frames;  // output frames that 1000 wave frames at 11025 Hz last
  } Cases[] = {
      {100, 100, 4000},
      {50, 49, 8001},    // 5512 Hz
      {200, 200, 2000},  // 22050 Hz
      {0, 0, 441000},    // 100 Hz, the lowest rate
      {-30, 0, 441000},
      {2000, 907, 441},  // 100000 Hz, the highest
  };
  auto Buffer = Steady(1000);
  for (const auto& Case : Cases) {
    Buffer->SetFrequencyPct(Case.Pct);
    EXPECT_EQ(Buffer->FrequencyPct(), Case.Stored) << Case.Pct;
    Buffer->Play();
    const int Sounding = SoundingFrames(Case.Frames + 2048);
    EXPECT_NEAR(Sounding, Case.Frames, 1) << Case.Pct;
    EXPECT_FALSE(Buffer->IsPlaying());
  }
}

TEST_F(SoundBuffer, ResamplesLinearlyBetweenFrames) {
  // Two frames, 0 and 0.5, at 22050 Hz: the output steps through the half-way point.
  TBytes Samples;
  PutLE(Samples, 0, 2);
  PutLE(Samples, static_cast<std::uint16_t>(Half), 2);
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Samples, 1, 22050));
  Buffer.SetWaveMixer(&Mixer);
  Buffer.SetVolume(0);
  Buffer.Play();
  const std::vector<float> Out = Render(6);
  EXPECT_FLOAT_EQ(Out[0], 0.0f);
  EXPECT_FLOAT_EQ(Out[2], 0.25f);
  EXPECT_FLOAT_EQ(Out[4], 0.5f);
  EXPECT_FLOAT_EQ(Out[6], 0.5f);  // the last frame is held, not faded to the first
  EXPECT_FLOAT_EQ(Out[8], 0.0f);  // and then it has ended
}

TEST_F(SoundBuffer, EightBitStereoKeepsItsChannels) {
  TBytes Samples;
  for (int I = 0; I < 100; ++I) {
    Samples.push_back(192);  // left +0.5
    Samples.push_back(64);   // right -0.5
  }
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Samples, 2, 44100, 8));
  Buffer.SetWaveMixer(&Mixer);
  Buffer.SetVolume(0);
  Buffer.Play();
  const std::vector<float> Out = Render(200);
  EXPECT_FLOAT_EQ(Out[0], 0.5f);
  EXPECT_FLOAT_EQ(Out[1], -0.5f);
  EXPECT_FLOAT_EQ(Out[2 * 99], 0.5f);
  EXPECT_FLOAT_EQ(Out[2 * 100], 0.0f);
}

TEST_F(SoundBuffer, VoicesAddUpAndAreClipped) {
  auto A = Steady(5000);
  auto B = Steady(5000);
  auto C = Steady(5000);
  for (auto* Buffer : {A.get(), B.get(), C.get()}) {
    Buffer->SetVolume(0);
    Buffer->Play();
  }
  EXPECT_FLOAT_EQ(Render(4)[0], 1.0f);
  C->Stop();
  A->SetVolume(-2000);
  EXPECT_NEAR(Render(4)[0], 0.55f, 1e-4);
}

TEST_F(SoundBuffer, PositionRules) {
  auto Buffer = Steady(1000);  // 2000 bytes
  EXPECT_EQ(Buffer->Position(), 0u);
  Buffer->SetPosition(5000);
  EXPECT_EQ(Buffer->Position(), 2000u);  // no further than WaveSize
  Buffer->SetPosition(801);
  EXPECT_EQ(Buffer->Position(), 800u);  // a whole frame
  // Play starts from the beginning whatever the position.
  Buffer->Play();
  EXPECT_EQ(Buffer->Position(), 0u);
  Render(400);  // 100 frames of the wave at a quarter of the output rate
  EXPECT_EQ(Buffer->Position(), 200u);
  // Stop keeps the position; PlayLoop goes on from it and wraps round.
  Buffer->Stop();
  Render(400);
  EXPECT_EQ(Buffer->Position(), 200u);
  EXPECT_FALSE(Buffer->IsPlaying());
  Buffer->PlayLoop();
  EXPECT_TRUE(Buffer->IsPlaying());
  Render(4000 + 400);
  EXPECT_TRUE(Buffer->IsPlaying());
  EXPECT_EQ(Buffer->Position(), 400u);
  Buffer->Stop();
  // Without a mixer buffer the position is 0.
  TSoundBuffer Lone;
  Lone.LoadFromImage(WaveFile(Constant16(10, 1)));
  Lone.SetPosition(6);
  EXPECT_EQ(Lone.Position(), 0u);
}

TEST_F(SoundBuffer, ClonesShareSamplesButNotControls) {
  auto Original = Steady(4000);
  TSoundBuffer Clone;
  Clone.SetWaveMixer(&Mixer);
  Clone.SetCloneBuffer(Original.get());
  EXPECT_FALSE(Clone.HasWaveData());
  Original->SetVolume(-10000);
  Clone.SetVolume(0);
  Clone.SetPanning(10000);
  Clone.Play();
  ASSERT_TRUE(Clone.HasBuffer());
  EXPECT_FALSE(Original->IsPlaying());
  std::vector<float> Out = Render(16);
  EXPECT_FLOAT_EQ(Out[0], 0.0f);
  EXPECT_FLOAT_EQ(Out[1], 0.5f);
  // The clone's rate and position work from the shared buffer's format and size.
  Clone.SetFrequencyPct(50);
  EXPECT_EQ(Clone.FrequencyPct(), 49);
  Clone.SetPosition(100000);
  EXPECT_EQ(Clone.Position(), 8000u);
  // Both play at once, each at its own volume.
  Original->SetVolume(0);
  Original->SetPanning(0);
  Original->Play();
  Clone.Play();
  Out = Render(16);
  EXPECT_FLOAT_EQ(Out[0], 0.5f);
  EXPECT_FLOAT_EQ(Out[1], 1.0f);
  // Clearing the link lets the clone's buffer go; it then has nothing to play.
  Clone.SetCloneBuffer(nullptr);
  EXPECT_FALSE(Clone.HasBuffer());
  Clone.Play();
  EXPECT_FALSE(Clone.IsPlaying());
}

TEST_F(SoundBuffer, CloneOfABufferWithoutSamplesStaysWithoutBuffer) {
  TSoundBuffer Empty;
  Empty.SetWaveMixer(&Mixer);
  TSoundBuffer Clone;
  Clone.SetWaveMixer(&Mixer);
  Clone.SetCloneBuffer(&Empty);
  EXPECT_NO_THROW(Clone.Play());
  EXPECT_FALSE(Clone.HasBuffer());
  EXPECT_FALSE(Empty.HasBuffer());
}

TEST_F(SoundBuffer, CloneCyclesAreRefused) {
  TSoundBuffer A;
  TSoundBuffer B;
  TSoundBuffer C;
  const auto Refusal = [](TSoundBuffer& Buffer, TSoundBuffer* Value) -> std::string {
    try {
      Buffer.SetCloneBuffer(Value);
    } catch (const EWaveMixer& E) {
      return E.what();
    }
    return "";
  };
  EXPECT_EQ(Refusal(A, &A), "Cannot assign self as parameter value");
  EXPECT_EQ(Refusal(B, &A), "");
  EXPECT_EQ(Refusal(A, &B), "Circular reference in assignment of CloneBuffer");
  EXPECT_EQ(Refusal(C, &B), "");
  // A three-buffer ring: A -> C -> B -> A.
  EXPECT_EQ(Refusal(A, &C), "Circular reference in assignment of CloneBuffer");
  EXPECT_EQ(A.CloneBuffer(), nullptr);
  // A chain that does not come back is fine.
  TSoundBuffer D;
  EXPECT_EQ(Refusal(D, &C), "");
  EXPECT_EQ(D.CloneBuffer(), &C);
}

TEST_F(SoundBuffer, ChangingTheCloneLetsTheOldSamplesGo) {
  auto First = Steady(4000, 11025, Half);
  auto Second = Steady(4000, 11025, -Half);
  TSoundBuffer Clone;
  Clone.SetWaveMixer(&Mixer);
  Clone.SetVolume(0);
  Clone.SetCloneBuffer(First.get());
  Clone.Play();
  EXPECT_FLOAT_EQ(Render(4)[0], 0.5f);
  Clone.SetCloneBuffer(Second.get());
  Clone.Play();
  EXPECT_FLOAT_EQ(Render(4)[0], -0.5f);
}

TEST_F(SoundBuffer, DestroyedLinksAreForgotten) {
  auto Original = Steady(4000);
  TSoundBuffer Clone;
  Clone.SetWaveMixer(&Mixer);
  Clone.SetCloneBuffer(Original.get());
  Clone.Play();
  Original.reset();
  EXPECT_EQ(Clone.CloneBuffer(), nullptr);
  EXPECT_NO_THROW(Render(64));

  auto Buffer = std::make_unique<TSoundBuffer>();
  {
    TWaveMixer Local;
    Local.Loaded();
    Buffer->LoadFromImage(WaveFile(Constant16(100, Half)));
    Buffer->SetWaveMixer(&Local);
    Buffer->Play();
    EXPECT_TRUE(Buffer->HasBuffer());
  }
  EXPECT_EQ(Buffer->WaveMixer(), nullptr);
  EXPECT_FALSE(Buffer->HasBuffer());
  EXPECT_NO_THROW(Render(64));
}

TEST_F(SoundBuffer, ANewSoundObjectOrNewDataRemakesTheBuffer) {
  auto Buffer = Steady(4000);
  Buffer->SetVolume(0);
  Buffer->Play();
  Mixer.LoadDirectSound();  // the old sound object goes with its buffers
  EXPECT_FLOAT_EQ(Render(4)[0], 0.0f);
  EXPECT_FALSE(Buffer->IsPlaying());
  Buffer->Play();
  EXPECT_FLOAT_EQ(Render(4)[0], 0.5f);
  Buffer->LoadFromImage(WaveFile(Constant16(4000, -Half)));
  EXPECT_FALSE(Buffer->HasBuffer());
  Buffer->Play();
  EXPECT_FLOAT_EQ(Render(4)[0], -0.5f);
}

TEST_F(SoundBuffer, MutedWhileTheProgramIsInactiveUnlessToldOtherwise) {
  auto Muted = Steady(20000, 11025, Half);
  auto Heard = std::make_unique<TSoundBuffer>();
  Heard->SetMuteOnDeactivate(false);
  Heard->LoadFromImage(WaveFile(Constant16(20000, Half / 2)));
  Heard->SetWaveMixer(&Mixer);
  for (auto* B : {Muted.get(), Heard.get()}) {
    B->SetVolume(0);
    B->Play();
  }
  EXPECT_FLOAT_EQ(Render(4)[0], 0.75f);
  TAudioOutput::Instance().SetApplicationActive(false);
  EXPECT_FLOAT_EQ(Render(400)[0], 0.25f);
  EXPECT_EQ(Muted->Position(), 2 * 101u);  // it keeps time while silent
  TAudioOutput::Instance().SetApplicationActive(true);
  EXPECT_FLOAT_EQ(Render(4)[0], 0.75f);
}

TEST_F(SoundBuffer, WithoutAMixerThePlainPlayerPlaysItAsItIs) {
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Constant16(1000, Half)));
  Buffer.SetVolume(-3000);
  Buffer.SetPanning(10000);
  Buffer.SetFrequencyPct(50);
  Buffer.Play();
  EXPECT_FALSE(Buffer.HasBuffer());
  EXPECT_TRUE(PlainSoundPlaying());
  const std::vector<float> Out = Render(16);
  EXPECT_FLOAT_EQ(Out[0], 0.5f);  // full volume, centred
  EXPECT_FLOAT_EQ(Out[1], 0.5f);
  EXPECT_NEAR(SoundingFrames(8000), 4000 - 16, 1);  // its own rate
  // A new sound replaces the one playing; PlayLoop keeps going.
  Buffer.PlayLoop();
  TSoundBuffer Other;
  Other.LoadFromImage(WaveFile(Constant16(10, -Half)));
  Other.Play();
  EXPECT_FLOAT_EQ(Render(4)[0], -0.5f);
  EXPECT_EQ(SoundingFrames(4096), 36);
  EXPECT_FALSE(PlainSoundPlaying());
}

TEST_F(SoundBuffer, AFormatTheMixerCannotPlayRaises) {
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Constant16(10, 1), 1, 11025, 32));
  Buffer.SetWaveMixer(&Mixer);
  try {
    Buffer.Play();
    FAIL() << "a 32-bit wave was played";
  } catch (const EWaveMixer& E) {
    EXPECT_EQ(E.Code(), DSERR_BADFORMAT);
    EXPECT_STREQ(E.what(), "The specified wave format is not supported.");
  }
  EXPECT_FALSE(Buffer.HasBuffer());
}

TEST_F(SoundBuffer, WithoutAnAudioDeviceTheMixerIsSilentAndSaysSoOnce) {
  TAudioOutput::Instance().Close();
  TWaveMixer Silent;
  Silent.Loaded();
  EXPECT_FALSE(Silent.DirectSoundLoaded());
  ASSERT_EQ(Log.size(), 1u);
  EXPECT_EQ(Log[0], "No sound driver is available for use.");
  EXPECT_TRUE(Messages.empty());
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Constant16(100, Half)));
  Buffer.SetWaveMixer(&Silent);
  Buffer.SetSynchronous(true);
  EXPECT_NO_THROW(Buffer.Play());
  EXPECT_FALSE(Buffer.IsPlaying());
  EXPECT_EQ(Log.size(), 1u);
}

TEST_F(SoundBuffer, MixerSettings) {
  EXPECT_EQ(Mixer.SpeakerConfiguration(), spkStereo);
  Mixer.SetSpeakerConfiguration(spkQuad);
  EXPECT_EQ(Mixer.SpeakerConfiguration(), spkQuad);
  std::uint32_t Config = 0;
  Mixer.DirectSound()->GetSpeakerConfig(Config);
  EXPECT_EQ(Config, DSSPEAKER_QUAD);

  const TSoundCaps& Caps = Mixer.SoundCaps();
  EXPECT_TRUE(Caps.ContinuousRate);
  EXPECT_TRUE(Caps.Secondary16Bit);
  EXPECT_EQ(Caps.MinSecondarySampleRate, 100u);
  EXPECT_EQ(Caps.MaxSecondarySampleRate, 100000u);
  TWaveMixer Unloaded;
  EXPECT_FALSE(Unloaded.SoundCaps().ContinuousRate);
  EXPECT_EQ(Unloaded.SoundCaps().MaxSecondarySampleRate, 0u);

  // A primary format needs a sharing level above normal.
  auto Shape = std::make_unique<TWave>();
  Shape->LoadFromImage(WaveFile(Constant16(2, 0), 2, 22050));
  Mixer.SetPrimaryBufferCharacteristics(Shape.get());
  EXPECT_EQ(Mixer.PrimaryBufferCharacteristics(), nullptr);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], "Cannot assign Primary Sound Buffer with CooperationLevel of clNormal");
  Mixer.SetCooperativeLevel(clPriority);
  Mixer.SetPrimaryBufferCharacteristics(Shape.get());
  EXPECT_EQ(Mixer.PrimaryBufferCharacteristics(), Shape.get());
  EXPECT_NO_THROW(Mixer.LoadDirectSound());
  EXPECT_EQ(Mixer.DirectSound()->CooperativeLevel(), DSSCL_PRIORITY);
  Shape.reset();
  EXPECT_EQ(Mixer.PrimaryBufferCharacteristics(), nullptr);
  // Back to normal drops it.
  Shape = std::make_unique<TWave>();
  Mixer.SetPrimaryBufferCharacteristics(Shape.get());
  Mixer.SetCooperativeLevel(clNormal);
  EXPECT_EQ(Mixer.PrimaryBufferCharacteristics(), nullptr);

  Mixer.SetLoadDirectSoundAtDesignTime(false);
  EXPECT_FALSE(Mixer.DirectSoundLoaded());
  Mixer.SetLoadDirectSoundAtDesignTime(true);
  EXPECT_TRUE(Mixer.DirectSoundLoaded());
}
