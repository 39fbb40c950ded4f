// The script editor's decisions: the function words beside the module's names, the buttons as
// a script is named, loaded and typed, the typed caret position, and the computer-player script
// rows and settings on the Standard scenario and a scenario of four major powers.
#include "gamemap/ScriptEditorRules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "gamemap/NavigatorMarks.h"
#include "gamemap/StandardGameFixture.h"

namespace {

TEST(ScriptEditorRulesTest, FunctionWordsAreTheRegisteredNamesThenTheMissingLibraryWords) {
  const std::vector<std::string> None = ScriptFunctionWords({});
  EXPECT_EQ(None, ScriptLibraryWords());
  // Registered names stay first and in their order; a library word registered in another case
  // is not added again.
  const std::vector<std::string> Words = ScriptFunctionWords({"GETZONECOUNT", "PRINT", "RANDOM", "Foo"});
  EXPECT_EQ(Words, (std::vector<std::string>{"GETZONECOUNT", "PRINT", "RANDOM", "Foo", "Version", "Distance",
                                             "TrueDistance", "ClearPatrolZones", "AddPatrolZone"}));
}

TEST(ScriptEditorRulesTest, TheFiveRulesInTheirOrderAndColours) {
  const auto Rules = ScriptColorRules({"GETZONECOUNT"}, clMaroon);
  ASSERT_EQ(Rules.size(), 5u);
  EXPECT_EQ(Rules[0].Words, ScriptKeywords());
  EXPECT_EQ(Rules[0].Color, clNavy);
  EXPECT_EQ(Rules[1].Words, std::vector<std::string>{"GETZONECOUNT"});
  EXPECT_EQ(Rules[1].Color, clBlue);
  EXPECT_EQ(Rules[2].Kind, srkRange);
  EXPECT_EQ(Rules[2].Begin + Rules[2].End, "''");
  EXPECT_EQ(Rules[2].Color, clPurple);
  EXPECT_EQ(Rules[3].Begin + Rules[3].End, "{}");
  EXPECT_EQ(Rules[3].Color, clGreen);
  EXPECT_EQ(Rules[4].Words, (std::vector<std::string>{"LAND", "AIR", "SEA"}));
  EXPECT_EQ(Rules[4].Color, clMaroon);
}

TEST(ScriptEditorRulesTest, ButtonsFollowNamingLoadingAndTyping) {
  enum TStep { stNew, stLoad, stSaveAs, stChange, stKeyUp };
  struct TCase {
    const char* What;
    std::vector<TStep> Steps;
    bool Test, Save, SaveAs;
    const char* Caption;
  };
  const TCase Cases[] = {
      {"nothing yet", {}, false, false, true, ""},
      {"typing before a file is named", {stChange, stChange}, false, false, true, ""},
      {"a key shows the test", {stKeyUp}, true, false, true, ""},
      {"a new script named", {stNew}, true, false, true, "Scenario Script: new.brmai"},
      {"typing after naming", {stNew, stChange}, true, true, true, "Scenario Script: new.brmai"},
      {"a second new script hides save again", {stNew, stChange, stNew}, true, false, true,
       "Scenario Script: new.brmai"},
      {"a loaded script, then typing", {stLoad, stChange}, true, true, true, "old.brmai"},
      {"saved under another name", {stNew, stSaveAs}, true, false, true, "other.brmai"},
  };
  for (const TCase& C : Cases) {
    TScriptEditorState State;
    for (TStep S : C.Steps) switch (S) {
        case stNew: State.NewScript("/tmp/x/new.brmai"); break;
        case stLoad: State.Loaded("C:\\games\\old.brmai"); break;
        case stSaveAs: State.SavedAs("/home/u/other.brmai"); break;
        case stChange: State.Changed(); break;
        case stKeyUp: State.KeyUp(); break;
      }
    EXPECT_EQ(State.TestVisible(), C.Test) << C.What;
    EXPECT_EQ(State.SaveVisible(), C.Save) << C.What;
    EXPECT_EQ(State.SaveAsVisible(), C.SaveAs) << C.What;
    EXPECT_EQ(State.Caption(), C.Caption) << C.What;
  }
}

TEST(ScriptEditorRulesTest, TextsAndNames) {
  EXPECT_EQ(ScriptSavedMessage("/a/b.brmai"), "Script /a/b.brmai saved.");
  const std::pair<const char*, std::int32_t> Positions[] = {{"12", 12}, {"0", 0}, {"", 0}, {"abc", 0}, {"12x", 0}};
  for (const auto& [Text, Position] : Positions) EXPECT_EQ(TypedScriptPosition(Text), Position) << Text;
  const std::pair<const char*, const char*> Names[] = {
      {"Default.brmai", "Default.brmai"}, {"/home/u/ai/Mine.brmai", "Mine.brmai"},
      {"C:\\Games\\Brenmoor\\Mine.brmai", "Mine.brmai"}, {"folder/", ""}, {"", ""}};
  for (const auto& [Path, Name] : Names) EXPECT_EQ(FileNamePart(Path), Name) << Path;
  const std::tuple<const char*, int, const char*> Settings[] = {{"Standard.brmscen", 2, "Standard2"},
                                                               {"/x/y/My.War.brmscen", 0, "My0"},
                                                               {"C:\\s\\Pacific.brmscen", 6, "Pacific6"},
                                                               {"NoExtension", 3, "NoExtension3"}};
  for (const auto& [File, Index, Name] : Settings) EXPECT_EQ(AIScriptSettingName(File, Index), Name) << File;
}

TEST(ScriptEditorRulesTest, StandardRowsStoreAndSettings) {
  TStandardGame Game;
  TBrenmoorEngine& Engine = Game.Engine;
  ASSERT_EQ(Engine.GetMajorCount(), 7);
  Engine.GetNation(1)->SetAIScript("/elsewhere/Italy.brmai");
  Engine.GetNation(3)->SetAIScript("");
  auto Rows = AIScriptRows(Engine);
  for (int I = 0; I < AIScriptRowCount; ++I) {
    EXPECT_TRUE(Rows[std::size_t(I)].Visible);
    EXPECT_EQ(Rows[std::size_t(I)].Nation, Engine.GetNation(I)->GetName());
  }
  EXPECT_EQ(Rows[1].File, "Italy.brmai");
  EXPECT_EQ(Rows[3].File, "Default.brmai");

  std::array<std::string, AIScriptRowCount> Files;
  for (int I = 0; I < AIScriptRowCount; ++I) Files[std::size_t(I)] = Rows[std::size_t(I)].File;
  Files[2] = "/other/folder/Aggressive.brmai";
  StoreAIScripts(Engine, Files);
  EXPECT_EQ(Engine.GetNation(2)->GetAIScript(), "Aggressive.brmai");
  EXPECT_EQ(Engine.GetNation(1)->GetAIScript(), "Italy.brmai");
  const auto Settings = AIScriptSettings(Engine);
  ASSERT_EQ(Settings.size(), 7u);
  EXPECT_EQ(Settings[2], (std::pair<std::string, std::string>{"Standard2", "Aggressive.brmai"}));
  EXPECT_EQ(Settings[0].first, "Standard0");
  EXPECT_EQ(Settings[6].first, "Standard6");
}

TEST(ScriptEditorRulesTest, FourPowersShowFourRowsAndStoreFourNations) {
  const std::filesystem::path Folder = std::filesystem::path(testing::TempDir()) / "four-powers";
  std::filesystem::create_directories(Folder);
  const std::filesystem::path File = Folder / "Four.brmscen";
  std::ofstream(File) << "NationCount=6\nNation=A,,1,A,0,\nNation=B,,1,B,0,\nNation=C,,1,C,0,\n"
                         "Nation=D,,1,D,0,\nNation=E,,0,E,0,\nNation=F,,0,F,0,\nImpulseRate=1\n";
  TBrenmoorEngine Engine;
  Engine.SetScenarioFile(File.string());
  ASSERT_EQ(Engine.GetMajorCount(), 4);
  const auto Rows = AIScriptRows(Engine);
  for (int I = 0; I < AIScriptRowCount; ++I) {
    EXPECT_EQ(Rows[std::size_t(I)].Visible, I < 4) << I;
    EXPECT_EQ(Rows[std::size_t(I)].File, "Default.brmai") << I;
  }
  EXPECT_EQ(Rows[3].Nation, "D");
  StoreAIScripts(Engine, {"a", "b", "c", "d", "e", "f", "g"});
  EXPECT_EQ(Engine.GetNation(3)->GetAIScript(), "d");
  // The minor nations keep what they had.
  EXPECT_EQ(Engine.GetNation(4)->GetAIScript(), "");
  const auto Settings = AIScriptSettings(Engine);
  ASSERT_EQ(Settings.size(), 4u);
  EXPECT_EQ(Settings[3], (std::pair<std::string, std::string>{"Four3", "d"}));
}

TEST(NavigatorMarksTest, OwnedLandZonesAndBattlesAtTheirScaledCentres) {
  TStandardGame Game;
  TBrenmoorEngine& Engine = Game.Engine;
  TBrenmoorZone* Berlin = nullptr;
  TBrenmoorZone* Sea = nullptr;
  TBrenmoorZone* Minor = nullptr;
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    TBrenmoorZone* Z = Engine.GetZone(I);
    if (Z->GetSea() != 0) {
      if (!Sea) Sea = Z;
    } else if (Z->GetOwner() && Z->GetOwner()->GetIndex() >= Engine.GetMajorCount()) {
      if (!Minor) Minor = Z;
    }
  }
  Berlin = Game.Zone("Berlin");
  ASSERT_TRUE(Berlin && Sea && Minor);
  Sea->SetEmbattled(true);
  Minor->SetEmbattled(true);
  const int MapW = 2000, MapH = 1000;
  const auto Marks = NavigatorMarks(Engine, 200, 150, MapW, MapH);
  auto Find = [&](const TBrenmoorZone* Z) -> const TNavigatorMark* {
    const TNavigatorMark Where{static_cast<std::int32_t>(Z->GetCenterX() * (200.0 / MapW)),
                               static_cast<std::int32_t>(Z->GetCenterY() * (150.0 / MapH)), -1, false};
    for (const TNavigatorMark& M : Marks)
      if (M.X == Where.X && M.Y == Where.Y && (M.Embattled || M.OwnerColorIndex >= 0)) return &M;
    return nullptr;
  };
  const TNavigatorMark* OfBerlin = Find(Berlin);
  ASSERT_NE(OfBerlin, nullptr);
  EXPECT_EQ(OfBerlin->OwnerColorIndex, Game.Nation("Germany")->GetColorIndex());
  EXPECT_FALSE(OfBerlin->Embattled);
  // A minor nation's zone has no square of its own, but its battle shows.
  const TNavigatorMark* OfMinor = Find(Minor);
  ASSERT_NE(OfMinor, nullptr);
  EXPECT_EQ(OfMinor->OwnerColorIndex, -1);
  EXPECT_TRUE(OfMinor->Embattled);
  // Sea zones are never marked, embattled or not.
  int Land = 0;
  for (int I = 0; I < Engine.GetZoneCount(); ++I)
    if (Engine.GetZone(I)->GetSea() == 0) ++Land;
  EXPECT_LE(Marks.size(), std::size_t(Land));
  EXPECT_TRUE(NavigatorMarks(Engine, 200, 150, 0, 1000).empty());
}

}  // namespace
