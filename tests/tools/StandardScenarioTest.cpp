#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ScenarioCheck.h"
#include "StandardScenario.h"
#include "foundation/CurrentFolder.h"
#include "foundation/DateUtils.h"
#include "support/GeneratedData.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

using generated_data::ReadAll;

const fs::path Data = fs::path(BRENMOOR_SOURCE_DIR) / "data";

// A copy of the scenario and its flags in a folder of its own, with the map set beside it.
class TScenarioCopy {
public:
  explicit TScenarioCopy(const std::string& Text) {
    fs::create_directories(Folder.Path() / "maps");
    fs::copy_file(Data / "Standard.brmmap", Folder.Path() / "Standard.brmmap");
    for (const auto& Entry : fs::directory_iterator(Data / "maps"))
      fs::copy_file(Entry.path(), Folder.Path() / "maps" / Entry.path().filename());
    fs::copy_file(Data / "StandardFlags.bmp", Folder.Path() / "StandardFlags.bmp");
    Folder.Write("Standard.brmscen", Text);
  }
  TScratchFolder Folder{"brenmoor-scenario-check"};
};

std::string Joined(const std::vector<std::string>& Lines) {
  std::string S;
  for (const std::string& L : Lines) S += L + "\n";
  return S;
}

// The scenario's lines, each changed by Edit (an empty result drops the line).
std::string EditedScenario(const std::function<std::string(const std::string&)>& Edit, const std::string& Extra = {}) {
  std::string Text = ReadAll(Data / "Standard.brmscen"), Out;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    std::size_t End = Text.find("\r\n", Start);
    if (End == std::string::npos) End = Text.size();
    const std::string Line = Edit(Text.substr(Start, End - Start));
    if (!Line.empty()) Out += Line + "\r\n";
    Start = End + 2;
  }
  return Out + Extra;
}

std::string Replaced(std::string Line, const std::string& From, const std::string& To) {
  const std::size_t P = Line.find(From);
  if (P != std::string::npos) Line.replace(P, From.size(), To);
  return Line;
}

bool StartsWith(const std::string& Line, const std::string& Prefix) { return Line.rfind(Prefix, 0) == 0; }

}  // namespace

TEST(StandardScenario, RegeneratingTheScenarioAndItsFlagsChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKESCENARIO, {"Standard.brmscen", "StandardFlags.bmp"}, {Data.string()});
}

TEST(StandardScenario, LoadsIntoTheEngineWithTheMapAndPassesEveryCheck) {
  const TScenarioCheckResult R = CheckScenario(Data.string(), "Standard.brmscen");
  for (const std::string& P : R.Problems) ADD_FAILURE() << P;
  EXPECT_EQ(R.Nations, 48);
  EXPECT_EQ(R.Majors, 7);
  EXPECT_EQ(R.ZoneLines, 239);
  EXPECT_GT(R.Units, 200);
  EXPECT_GE(R.Reinforcements, 7);
}

TEST(StandardScenario, TheGameShowsItsOpeningAsWritten) {
  TCurrentFolder In(Data);
  TLoadedScenario S("Standard.brmscen");
  TBrenmoorEngine& E = S.Engine;
  EXPECT_TRUE(S.Messages.empty());
  EXPECT_EQ(DateToStr(E.GetDate()), "9/1/1939");
  // The two alliances are at war; the others stand aside.
  TNation* Germany = E.FindNation("Germany");
  TNation* France = E.FindNation("France");
  TNation* Italy = E.FindNation("Italy");
  ASSERT_TRUE(Germany && France && Italy);
  EXPECT_TRUE(Germany->IsAtWarWith(France));
  EXPECT_TRUE(E.FindNation("Poland")->IsAlliedWith(E.FindNation("United Kingdom")));
  EXPECT_EQ(Germany->RelationText(Italy), "Friendly");
  EXPECT_TRUE(E.FindNation("Japan")->IsAtWarWith(E.FindNation("China")));
  // The Maginot line faces Germany; the West Wall faces France.
  TBrenmoorZone* Lorraine = E.FindZoneByName("Lorraine");
  TBrenmoorZone* Ruhr = E.FindZoneByName("Ruhr");
  EXPECT_EQ(Lorraine->GetBorderDefense(Ruhr), 3);
  EXPECT_EQ(Ruhr->GetBorderDefense(Lorraine), 2);
  EXPECT_EQ(Germany->GetCapital(), E.FindZoneByName("Berlin"));
  // The British Expeditionary Force crosses the Channel aboard its transports.
  const TBrenmoorZone* Channel = E.FindZoneByName("English Channel");
  const TUnit* Fleet = nullptr;
  for (int I = 0; I < Channel->GetUnitCount(); ++I)
    if (Channel->GetUnit(I)->GetKind() == ukNavy) Fleet = Channel->GetUnit(I);
  ASSERT_TRUE(Fleet);
  ASSERT_EQ(Fleet->GetBoardedCount(), 1);
  EXPECT_EQ(Fleet->GetBoarded(0)->GetCount(utInfantry), 4);
  // The events and conditions read as the event and set-up windows show them.
  std::vector<std::string> Descriptions;
  for (int I = 0; I < E.GetRandomEventCount(); ++I) Descriptions.push_back(E.GetRandomEvent(I)->GetDescription());
  EXPECT_NE(std::find(Descriptions.begin(), Descriptions.end(),
                      "+20% to Organizational Level of All Units of Allies in Zones Originally Owned by France for 60 days"),
            Descriptions.end())
      << Joined(Descriptions);
  std::vector<std::string> Conditions;
  for (int I = 0; I < E.GetVictoryConditionCount(); ++I) Conditions.push_back(E.GetVictoryCondition(I)->GetDescription());
  EXPECT_NE(std::find(Conditions.begin(), Conditions.end(), "United Kingdom:Survive until 9/2/1945"), Conditions.end())
      << Joined(Conditions);
}

TEST(StandardScenario, TheCheckFindsWhatWouldSpoilTheStart) {
  struct TCase {
    const char* What;
    std::function<std::string(const std::string&)> Edit;
    std::string Extra;
    const char* Problem;
  };
  const auto Keep = [](const std::string& L) { return L; };
  const std::vector<TCase> Cases = {
      {"Berlin loses its capital", [](const std::string& L) {
         return StartsWith(L, "Zone=Berlin;") ? Replaced(L, ";;1;", ";;0;") : L;
       }, "", "Germany has 0 capitals"},
      {"Italy listed before Germany", [](const std::string& L) {
         if (StartsWith(L, "Nation=Germany,")) return Replaced(L, "Germany,Axis,1,German,", "Italy,,1,Italian,");
         if (StartsWith(L, "Nation=Italy,")) return Replaced(L, "Italy,,1,Italian,", "Germany,Axis,1,German,");
         return L;
       }, "", "Nation 0 is Italy, not the major power Germany"},
      {"a victory already won", Keep, "VictoryCondition=Germany~1~0~Germany~5~\r\n", "is met at the start"},
      {"no liberation event", [](const std::string& L) {
         return StartsWith(L, "RandomEvent=") && L.size() > 3 && L.substr(L.size() - 3) == "~3~" ? std::string() : L;
       }, "", "No random event has the trigger 3"},
      {"a zone of no map", Keep, "Zone=Atlantis;1;0;0;0;;-1;;;0;\r\n", "Zone Atlantis not found"},
      {"no research costs", [](const std::string& L) { return StartsWith(L, "ResearchGroups=") ? std::string() : L; }, "",
       "no ResearchGroups line"},
      {"a German army in Warsaw", [](const std::string& L) {
         return StartsWith(L, "Zone=Warsaw;") ? Replaced(L, ";7;7#", ";7;0#3#2#7#") : L;
       }, "", "starts in a zone with an enemy"},
      {"an army arriving where its fleet already is", Keep,
       "Reinforcement=0#0#0#2#0#0#0#0#0#1#0#0#0#0#0#0#,100,6,Hawaiian Waters\r\n",
       "would board the fleet that is there at the start"},
      {"no storms", [](const std::string& L) { return StartsWith(L, "EngineOptions=") ? "EngineOptions=10011001" : L; }, "",
       "Storms are not enabled"},
  };
  for (const TCase& C : Cases) {
    TScenarioCopy Copy(EditedScenario(C.Edit, C.Extra));
    const TScenarioCheckResult R = CheckScenario(Copy.Folder.Path().string(), "Standard.brmscen");
    const std::string All = Joined(R.Problems);
    EXPECT_NE(All.find(C.Problem), std::string::npos) << C.What << ":\n" << All;
  }
}

TEST(StandardScenario, EveryNationHasItsOwnFlagInTheMapsColours) {
  // A nation without a design is refused rather than drawn blank.
  EXPECT_THROW(DrawFlags({"Germany", "Ruritania"}), EScenarioSource);
  const TBitmap Flags = TBitmap::LoadFromFile((Data / "StandardFlags.bmp").string());
  EXPECT_EQ(Flags.GetBitsPerPixel(), 8);
  EXPECT_EQ(Flags.GetWidth(), 48 * FlagCellWidth);
  EXPECT_EQ(Flags.GetHeight(), FlagCellHeight);
  // The hall of fame's slots 0..6 are the first seven cells: Germany's black, white and red
  // bands, Italy's green, white and red upright bands.
  const auto Pixel = [&](int Cell, int X, int Y) { return Flags.GetColor(Flags.ScanLine(Y)[Cell * FlagCellWidth + X]); };
  const TRGBQuad Black{0, 0, 0, 0}, White{255, 255, 255, 0}, Red{0, 0, 255, 0};
  EXPECT_EQ(Pixel(0, 16, 2), Black);
  EXPECT_EQ(Pixel(0, 16, 8), White);
  EXPECT_EQ(Pixel(0, 16, 13), Red);
  EXPECT_EQ(Pixel(1, 16, 8), White);
  EXPECT_EQ(Pixel(1, 28, 8), Red);
}
