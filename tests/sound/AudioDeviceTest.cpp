#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "SoundTestSupport.h"
#include "platform/AudioDevice.h"
#include "sound/WaveMixer.h"

namespace {

class AudioDevice : public ::testing::Test {
protected:
  void SetUp() override {
    // The tests mean the library's dummy driver (no sound card here); one already chosen stays.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    SetSoundLogHook([this](const std::string& Line) { Log.push_back(Line); });
  }
  void TearDown() override {
    CloseGameAudio();
    SetSoundLogHook(nullptr);
  }
  std::vector<std::string> Log;
};

}  // namespace

TEST_F(AudioDevice, PlaysThroughTheSystemDevice) {
  // The tests run with the library's dummy driver, which pulls frames in real time.
  ASSERT_TRUE(OpenGameAudio()) << (Log.empty() ? "" : Log[0]);
  EXPECT_TRUE(TAudioOutput::Instance().IsOpen());
  TWaveMixer Mixer;
  Mixer.Loaded();
  ASSERT_TRUE(Mixer.DirectSoundLoaded());
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Constant16(2205, 1000), 1, 22050));  // a tenth of a second
  Buffer.SetWaveMixer(&Mixer);
  Buffer.SetSynchronous(true);
  const auto Start = std::chrono::steady_clock::now();
  Buffer.Play();
  const auto Took = std::chrono::steady_clock::now() - Start;
  EXPECT_FALSE(Buffer.IsPlaying());
  EXPECT_GE(Took, std::chrono::milliseconds(60));
  EXPECT_LT(Took, std::chrono::milliseconds(1100));
  CloseGameAudio();
  EXPECT_FALSE(TAudioOutput::Instance().IsOpen());
  EXPECT_TRUE(Log.empty());
}

TEST_F(AudioDevice, NoDeviceLeavesTheGameSilentAndLogsIt) {
  const char* Before = std::getenv("SDL_AUDIODRIVER");
  const std::string Saved = Before ? Before : "";
  setenv("SDL_AUDIODRIVER", "no-such-sound-card", 1);
  const bool Opened = OpenGameAudio();
  if (Before) {
    setenv("SDL_AUDIODRIVER", Saved.c_str(), 1);
  } else {
    unsetenv("SDL_AUDIODRIVER");
  }
  EXPECT_FALSE(Opened);
  EXPECT_FALSE(TAudioOutput::Instance().IsOpen());
  ASSERT_EQ(Log.size(), 1u);
  EXPECT_EQ(Log[0].rfind("Failed to Load DirectSound Library", 0), 0u) << Log[0];
  // The mixer then has no sound object and the buffers play nothing, without a box.
  TWaveMixer Mixer;
  Mixer.Loaded();
  EXPECT_FALSE(Mixer.DirectSoundLoaded());
  TSoundBuffer Buffer;
  Buffer.LoadFromImage(WaveFile(Constant16(100, 1000)));
  Buffer.SetWaveMixer(&Mixer);
  EXPECT_NO_THROW(Buffer.Play());
  EXPECT_EQ(Log.size(), 2u);
}
