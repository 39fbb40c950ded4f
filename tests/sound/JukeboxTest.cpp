#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "sound/FakeMediaPlayer.h"
#include "sound/MediaPlayerEx.h"
#include "sound/SoundLog.h"
#include "support/ScratchFolder.h"

namespace {

class Jukebox : public ::testing::Test {
protected:
  void SetUp() override {
    Player = std::make_unique<TMediaPlayerEx>(std::make_unique<TFakePlayer>(State));
    Player->SetRandomGenerator(&Random);
    Player->SetDirectory(Folder.string());
    SetSoundLogHook([this](const std::string& Line) { Log.push_back(Line); });
  }
  void TearDown() override {
    SetSoundLogHook(nullptr);
  }
  void Touch(const std::string& Name) { std::ofstream(Folder / Name) << "MThd"; }

  const TScratchFolder Scratch{"brenmoor-jukebox"};
  const std::filesystem::path Folder = Scratch.Path();
  TFakePlayer::TState State;
  TRandomGenerator Random{42};
  std::unique_ptr<TMediaPlayerEx> Player;
  std::vector<std::string> Log;
};

}  // namespace

TEST_F(Jukebox, DirectoryLosesOneTrailingSeparator) {
  const struct {
    const char* Written;
    const char* Stored;
  } Cases[] = {{"/music/", "/music"}, {"/music//", "/music/"}, {"C:\\Games\\", "C:\\Games"},
               {"C:\\Games\\\\", "C:\\Games\\"}, {"/music", "/music"}, {"", ""}};
  for (const auto& Case : Cases) {
    Player->SetDirectory(Case.Written);
    EXPECT_EQ(Player->Directory(), Case.Stored) << Case.Written;
  }
}

TEST_F(Jukebox, PlaysEveryFileOnceInACycleInRandomOrder) {
  for (const char* Name : {"march.mid", "ANTHEM.MID", "Lament.Mid", "notes.txt", "mid"}) Touch(Name);
  std::filesystem::create_directories(Folder / "folder.mid");
  std::set<std::string> FirstCycle;
  for (int I = 0; I < 3; ++I) {
    Player->PlayRandomMidi();
    FirstCycle.insert(State.Played.back());
  }
  EXPECT_EQ(FirstCycle, (std::set<std::string>{(Folder / "ANTHEM.MID").string(), (Folder / "Lament.Mid").string(),
                                                (Folder / "march.mid").string()}));
  EXPECT_TRUE(Player->FileList().empty());
  // The fourth call starts a new cycle: the list is filled again and one file leaves it.
  Player->PlayRandomMidi();
  EXPECT_EQ(State.Played.size(), 4u);
  EXPECT_EQ(Player->FileList().size(), 2u);
  EXPECT_TRUE(FirstCycle.count(State.Played.back()));

  // The order is the generator's: the same seed plays the same order.
  TFakePlayer::TState Again;
  TMediaPlayerEx Other(std::make_unique<TFakePlayer>(Again));
  TRandomGenerator Same{42};
  Other.SetRandomGenerator(&Same);
  Other.SetDirectory(Folder.string() + "/");
  for (int I = 0; I < 4; ++I) Other.PlayRandomMidi();
  EXPECT_EQ(Again.Played, State.Played);
}

TEST_F(Jukebox, PlayFileStopsAndClosesThePieceThatPlays) {
  Touch("a.mid");
  Touch("b.mid");
  Player->PlayFile((Folder / "a.mid").string());
  EXPECT_EQ(State.Calls, (std::vector<std::string>{"open a.mid", "play"}));
  Player->PlayFile((Folder / "b.mid").string());
  EXPECT_EQ(State.Calls, (std::vector<std::string>{"open a.mid", "play", "stop", "close", "open b.mid", "play"}));
}

TEST_F(Jukebox, NextIfIdleWaitsForThePieceToEnd) {
  Touch("a.mid");
  Touch("b.mid");
  // Before the first call it always starts a piece, even when the player says it plays.
  State.Playing = true;
  Player->PlayNextIfIdle();
  EXPECT_EQ(State.Played.size(), 1u);
  Player->PlayNextIfIdle();
  Player->PlayNextIfIdle();
  EXPECT_EQ(State.Played.size(), 1u);
  State.Playing = false;  // the piece has ended
  Player->PlayNextIfIdle();
  ASSERT_EQ(State.Played.size(), 2u);
  EXPECT_NE(State.Played[0], State.Played[1]);
}

TEST_F(Jukebox, AFileThatCannotBeOpenedIsSkipped) {
  Touch("broken.mid");
  Player->PlayRandomMidi();
  EXPECT_TRUE(State.Played.empty());
  EXPECT_TRUE(Player->FileList().empty());
  Touch("good.mid");
  Player->PlayRandomMidi();
  Player->PlayRandomMidi();
  EXPECT_EQ(State.Played, (std::vector<std::string>{(Folder / "good.mid").string()}));
  EXPECT_TRUE(Log.empty());
}

TEST_F(Jukebox, AFolderWithoutMusicPlaysNothingAndSaysSoOnce) {
  Touch("readme.txt");
  for (int I = 0; I < 3; ++I) Player->PlayNextIfIdle();
  EXPECT_TRUE(State.Calls.empty());
  ASSERT_EQ(Log.size(), 1u);
  EXPECT_NE(Log[0].find("*.MID"), std::string::npos);
  // Files added later are found by the next call.
  Touch("late.mid");
  Player->PlayNextIfIdle();
  EXPECT_EQ(State.Played.size(), 1u);
  EXPECT_EQ(Log.size(), 1u);
}
