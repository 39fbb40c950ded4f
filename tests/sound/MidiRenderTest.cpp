#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "SoundTestSupport.h"
#include "sound/MidiPlayer.h"
#include "support/ScratchFolder.h"

namespace {

double Energy(const std::vector<float>& Frames) {
  double Sum = 0.0;
  for (float F : Frames) Sum += static_cast<double>(F) * F;
  return Sum / static_cast<double>(Frames.size());
}

class MidiPlayer : public TSoundOutputTest {};

}  // namespace

TEST_F(MidiPlayer, RendersAGeneratedTuneIntoTheOutput) {
  const std::string SoundFont = FindSoundFont();
  if (SoundFont.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
  TMidiPlayer Player(SoundFont);
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/music/march.mid");
  Player.Open();
  EXPECT_LT(Energy(Render(4410)), 1e-10);  // opened, not yet playing: silence
  Player.Play();
  EXPECT_TRUE(Player.IsPlaying());
  std::vector<float> Music;
  for (int Block = 0; Block < 86; ++Block) {  // two seconds
    const std::vector<float> Out = Render(1024);
    Music.insert(Music.end(), Out.begin(), Out.end());
  }
  EXPECT_GT(Energy(Music), 1e-4);
  for (float F : Music) ASSERT_TRUE(std::isfinite(F) && F >= -1.0f && F <= 1.0f);
  EXPECT_TRUE(Player.IsPlaying());
  // Stopping silences every note at once; only the hall's echo dies away.
  Player.Stop();
  EXPECT_FALSE(Player.IsPlaying());
  const double Tail = Energy(Render(4410));
  for (int I = 0; I < 10; ++I) Render(4410);
  EXPECT_LT(Tail, Energy(Music) / 10);
  EXPECT_LT(Energy(Render(4410)), Energy(Music) / 1000);
  Player.Close();
  EXPECT_TRUE(Log.empty());
}

TEST_F(MidiPlayer, RefusesWhatIsNotAMidiFile) {
  const std::string SoundFont = FindSoundFont();
  if (SoundFont.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
  TMidiPlayer Player(SoundFont);
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/sounds/click.wav");
  EXPECT_THROW(Player.Open(), EMediaPlayer);
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/music/no-such-tune.mid");
  EXPECT_THROW(Player.Open(), EMediaPlayer);
  EXPECT_FALSE(Player.IsPlaying());
}

TEST_F(MidiPlayer, WithoutASoundFontTheMusicIsSilentAndSaysSoOnce) {
  TMidiPlayer Player("/nonexistent/General.sf2");
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/music/march.mid");
  EXPECT_THROW(Player.Open(), EMediaPlayer);
  EXPECT_THROW(Player.Open(), EMediaPlayer);
  ASSERT_EQ(Log.size(), 1u);
  EXPECT_NE(Log[0].find("sound font"), std::string::npos);
  // The jukebox swallows it: no piece, no box, the same single line.
  TMediaPlayerEx Jukebox(std::make_unique<TMidiPlayer>("/nonexistent/General.sf2"));
  Jukebox.SetDirectory(BRENMOOR_SOURCE_DIR "/data/music");
  for (int I = 0; I < 4; ++I) EXPECT_NO_THROW(Jukebox.PlayNextIfIdle());
  EXPECT_FALSE(Jukebox.IsPlaying());
  EXPECT_EQ(Log.size(), 2u);
}

TEST_F(MidiPlayer, WithoutAnAudioDeviceNothingIsOpened) {
  TAudioOutput::Instance().Close();
  TMidiPlayer Player;
  Player.SetFileName(BRENMOOR_SOURCE_DIR "/data/music/march.mid");
  EXPECT_THROW(Player.Open(), EMediaPlayer);
  EXPECT_FALSE(Player.IsPlaying());
}

TEST_F(MidiPlayer, ABrokenTuneEndsAtOnce) {
  const std::string SoundFont = FindSoundFont();
  if (SoundFont.empty()) GTEST_SKIP() << "no General MIDI sound font installed";
  // The first 40 bytes of a tune: a header that promises tracks which are not there.
  const TScratchFolder Folder("brenmoor-midi");
  std::string Head(40, '\0');
  std::ifstream(BRENMOOR_SOURCE_DIR "/data/music/march.mid", std::ios::binary).read(Head.data(), 40);
  const std::string Cut = Folder.Write("broken.mid", Head);
  TMidiPlayer Player(SoundFont);
  Player.SetFileName(Cut);
  Player.Open();
  Player.Play();
  Render(2048);
  EXPECT_FALSE(Player.IsPlaying());
  EXPECT_LT(Energy(Render(2048)), 1e-10);
}
