// The script editor's decisions: the function words beside the module's names, the buttons as
// a script is named, loaded and typed, the typed caret position, and the computer-player script
// rows and settings on the Standard scenario and a scenario of four major powers.
#include "screens/ScriptEditorRules.h"

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

// The colouring of a script, each key written as its text and colour letter: N navy, B blue,
// P purple, G green, T the text colour.
std::string Coloured(std::string_view Text, std::int32_t From = 0, std::size_t Limit = 1000) {
  static const TScriptColorizer Colorizer(ScriptColorRules(ScriptFunctionWords({"GETZONECOUNT", "LAND"}), clMaroon));
  std::vector<TScriptColorKey> Keys;
  Colorizer.FindKeys(Text, From, Limit, Keys);
  std::string Out;
  for (const TScriptColorKey& K : Keys) {
    const char Letter = K.Color == clNavy     ? 'N'
                        : K.Color == clBlue   ? 'B'
                        : K.Color == clPurple ? 'P'
                        : K.Color == clGreen  ? 'G'
                        : K.Color == clMaroon ? 'T'
                                              : '?';
    Out += "[" + std::string(Text.substr(std::size_t(K.Start), std::size_t(K.End - K.Start + 1))) + "]" + Letter;
  }
  return Out;
}

TEST(ScriptEditorRulesTest, EachRuleClaimsOnlyItsOwnKindOfText) {
  const std::pair<const char*, const char*> Cases[] = {
      {"if x then y := 1 else y := 2;", "[if]N[then]N[else]N"},
      {"BEGIN End wHiLe", "[BEGIN]N[End]N[wHiLe]N"},
      {"n := GetZoneCount; Print(n); Random(1, 2);", "[GetZoneCount]B[Print]B[Random]B"},
      // The unit kinds in the text colour, even where a function of that name is registered.
      {"CONST LAND = 0; x := AIR + SEA;", "[CONST]N[LAND]T[AIR]T[SEA]T"},
      // Whole names only.
      {"ORDER_LAND := Landing + endif2 + _if + if_;", ""},
      {"x := 1E5 + 2end;", ""},
      {"s := 'if {not} a comment';", "['if {not} a comment']P"},
      {"s := 'it''s';", "['it''s']P"},
      {"{ the nation's store: if then }\nx := 'a';", "[{ the nation's store: if then }]G['a']P"},
      {"{ over\ntwo lines } end", "[{ over\ntwo lines }]G[end]N"},
      // An open string ends with its line, an open comment with the script.
      {"s := 'open\nif", "['open]P[if]N"},
      {"x := 1; { open\nif", "[{ open\nif]G"},
      {"// if it's a note\nif", "[if]N"},
      {"a / b div c mod d", "[div]N[mod]N"},
  };
  for (const auto& [Text, Expected] : Cases) EXPECT_EQ(Coloured(Text), Expected) << Text;
  // Keys that end before From are left out; Limit stops the list.
  EXPECT_EQ(Coloured("if x then { c } end", 3), "[then]N[{ c }]G[end]N");
  EXPECT_EQ(Coloured("if x then { c } end", 6), "[then]N[{ c }]G[end]N");
  EXPECT_EQ(Coloured("if x then { c } end", 9), "[{ c }]G[end]N");
  EXPECT_EQ(Coloured("if x then { c } end", 0, 2), "[if]N[then]N");
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
