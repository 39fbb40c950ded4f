#include "screens/GameStart.h"

#include <algorithm>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "foundation/NumberText.h"

namespace {

std::vector<TNation*> Majors(const TBrenmoorEngine& Engine) {
  std::vector<TNation*> Found;
  for (int I = 0; I < Engine.GetNationCount(); ++I)
    if (TNation* N = Engine.GetNation(I); N->GetMajorPower()) Found.push_back(N);
  return Found;
}

bool OnOneMachine(TStartMode Mode) { return Mode == smSolo || Mode == smDuel; }

// Why the powers of a new game cannot start in Mode, "" when they can.
std::string PowersRefusal(const std::vector<TPowerAssignment>& Powers, std::size_t MajorCount, TStartMode Mode,
                          const std::string& OwnPlayer) {
  if (Powers.size() != MajorCount)
    return "The players of this Game cannot be read: The list of players names " +
           IntToStr(static_cast<std::int64_t>(Powers.size())) + " powers, and the game has " +
           IntToStr(static_cast<std::int64_t>(MajorCount));
  for (const TPowerAssignment& P : Powers) {
    if (Mode == smDuel && !P.Computer()) return "A duel of computer players has no player of its own";
    if (Mode == smSolo && !P.Computer() && P.Player != OwnPlayer)
      return "A solo game has no player but " + OwnPlayer;
  }
  return "";
}

}  // namespace

std::vector<TPowerAssignment> SoloPowers(const TBrenmoorEngine& Engine, const std::vector<int>& Ticked) {
  std::vector<TPowerAssignment> Powers;
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    if (!Engine.GetNation(I)->GetMajorPower()) continue;
    const bool Here = std::find(Ticked.begin(), Ticked.end(), I) != Ticked.end();
    Powers.push_back({Here ? std::string(SoloPlayerName) : std::string()});
  }
  return Powers;
}

std::vector<TNation*> ClaimedNations(const TBrenmoorEngine& Engine, const std::string& OwnPlayer) {
  std::vector<TNation*> Mine;
  for (TNation* N : Majors(Engine))
    if (N->GetAlive() && !N->GetComputerPlayer() && N->GetPlayerName() == OwnPlayer) Mine.push_back(N);
  return Mine;
}

TGameStart StartGameRules(TBrenmoorEngine& Engine, TImpulseUsers& Users, const TGameSetUp& SetUp) {
  TGameStart Start;
  const auto Refuse = [&](std::string Why) {
    Start.Refusal = std::move(Why);
    return Start;
  };
  if (SetUp.NewGame) {
    const std::vector<TNation*> Powers = Majors(Engine);
    if (SetUp.SavedText) return Refuse("A new game starts from its scenario, not from a saved game");
    if (std::string Why = PowersRefusal(SetUp.Powers, Powers.size(), SetUp.Mode, SetUp.OwnPlayer); !Why.empty())
      return Refuse(std::move(Why));
    // The players first: the zone data's pass tells from them whether the computer plays alone.
    for (std::size_t I = 0; I < Powers.size(); ++I) {
      const TPowerAssignment& P = SetUp.Powers[I];
      Powers[I]->SetComputerPlayer(P.Computer());
      if (!P.Computer()) Powers[I]->SetPlayerName(P.Player);
    }
    Engine.LoadZoneData();
    Engine.PlaceInitialUnits();
    Engine.SetImpulse(0);
  } else {
    if (SetUp.SavedText) {
      // A text the engine refuses leaves the game that was there as it was.
      try {
        Engine.LoadFromString(*SetUp.SavedText);
      } catch (const std::exception& E) {
        return Refuse(E.what());
      }
    }
    // A game saved on one machine goes on on one machine, an online one online.
    if (OnOneMachine(SetUp.Mode) && !Engine.IsSoloGame()) return Refuse(MultiPlayerInSoloMessage);
    if (!OnOneMachine(SetUp.Mode) && Engine.IsSoloGame()) return Refuse(SoloInNetworkMessage);
    if (!OnOneMachine(SetUp.Mode) && ClaimedNations(Engine, SetUp.OwnPlayer).empty()) return Refuse(NotInThisGameMessage);
  }
  // A loaded game has nations of its own: they are looked up after the load.
  const std::vector<TNation*> Mine = ClaimedNations(Engine, SetUp.OwnPlayer);
  for (TNation* N : Majors(Engine)) N->SetLocalPlayer(std::find(Mine.begin(), Mine.end(), N) != Mine.end());
  if (SetUp.Seed) Engine.SetRandomSeed(*SetUp.Seed);
  // Every order from now on is checked against who sent it, and a refused one is kept.
  Engine.SetImpulseUsers(&Users);
  Engine.SetRefusalLog(true);
  Start.LocalNations = Mine;
  Start.AllComputer = Engine.GetAllComputer();
  Start.Impulse = Engine.GetImpulse();
  return Start;
}
