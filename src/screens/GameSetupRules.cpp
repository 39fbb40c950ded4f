#include "screens/GameSetupRules.h"

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/DiplomacyRules.h"
#include "engine/DiplomacyTypes.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"

std::string AllianceColumnText(const std::string& NationName, const std::string& Alliance) {
  return Alliance.empty() ? "[" + NationName + "]" : Alliance;
}

std::vector<std::string> VictoryConditionLines(const std::string& Description) {
  const std::size_t Colon = Description.find(':');
  if (Colon == std::string::npos) return {"*" + Description + ":", ""};
  return {"*" + Description.substr(0, Colon + 1), Description.substr(Colon + 1)};
}

TSetupDecision JudgeSetup(const TSetupChoice& Choice) {
  if (!Choice.ScenarioSelected) return {svRefuse, NoScenarioMessage, false};
  if (!Choice.Solo) {
    if (Choice.Players < 2) return {svRefuse, TooFewPlayersMessage, true};
    return {svAskGameName, {}, false};
  }
  // Every ticked nation against the first: one that differs is enough to refuse.
  for (const std::string& Alliance : Choice.TickedAlliances)
    if (Alliance != Choice.TickedAlliances.front()) return {svRefuse, MixedAlliancesMessage, false};
  if (Choice.TickedAlliances.empty()) return {svAskAIDuel, AIDuelQuestion, false};
  return {svStart, {}, false};
}

TGameControls GameControlsShown(std::uint8_t EngineOptions, bool AllComputer, bool LoggedIn) {
  const auto Option = [EngineOptions](int Bit) { return ((EngineOptions >> Bit) & 1u) != 0; };
  TGameControls C;
  C.News = Option(3);
  C.Research = Option(4) && !AllComputer;
  C.Diplomacy = Option(0) && !AllComputer;
  C.Formations = !AllComputer;
  C.Communicate = LoggedIn;
  C.Pause = !LoggedIn;
  C.Surrender = LoggedIn && !AllComputer;
  C.FastAIDuel = AllComputer;
  C.NationControls = !AllComputer;
  return C;
}

std::int32_t ImpulseInterval(bool AllComputer, bool FastDuelDown) {
  return AllComputer && FastDuelDown ? TRealTimeEngine::FastDuelInterval : TRealTimeEngine::DefaultInterval;
}

TScorePointStep ScorePointAfterImpulse(int Counter) {
  const int Next = Counter + 1;
  if (Next >= ScorePointImpulses) return {0, true};
  return {Next, false};
}

TBrenmoorZone* StartingZone(const TBrenmoorEngine& Engine, const TNation* CurrentNation) {
  if (CurrentNation && CurrentNation->GetCapital()) return CurrentNation->GetCapital();
  if (Engine.GetZoneCount() == 0) return nullptr;
  TBrenmoorZone* Best = Engine.GetZone(0);
  bool Found = false;
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = Engine.GetZone(I);
    const TNation* Owner = Zone->GetOwner();
    if (!Owner || !Owner->GetLocalPlayer()) continue;
    if (!Found || Zone->GetIndustry() > Best->GetIndustry()) {
      Best = Zone;
      Found = true;
    }
  }
  return Best;
}

TVictoryState VictoryStateOf(const TBrenmoorEngine& Engine) {
  TVictoryState S;
  S.FreeForAll = Engine.GetFreeForAll();
  if (const TNation* Winner = Engine.GetWinnerNation())
    S.WinnerNation = Winner->GetName();
  else
    S.WinnerAlliance = Engine.GetWinnerName();
  S.CanContinueFreeForAll = Engine.Diplomacy().CanContinueFreeForAll();
  S.LivingMajors = Engine.Diplomacy().GetLivingNationCount();
  for (int I = 0; I < Engine.GetNationCount() && S.FirstLivingMajor.empty(); ++I) {
    const TNation* N = Engine.GetNation(I);
    if (N->GetMajorPower() && N->GetAlive()) S.FirstLivingMajor = N->GetName();
  }
  return S;
}

std::optional<TGameEnd> VictoryAfterImpulse(const TVictoryState& State) {
  if (State.FreeForAll) {
    if (State.LivingMajors >= 2 || State.FirstLivingMajor.empty()) return std::nullopt;
    return TGameEnd{State.FirstLivingMajor + " has won the FFA!", false, true};
  }
  const bool Stop = !State.CanContinueFreeForAll;
  if (!State.WinnerNation.empty()) return TGameEnd{State.WinnerNation + " is VICTORIOUS!", true, Stop};
  if (!State.WinnerAlliance.empty()) return TGameEnd{State.WinnerAlliance + " are VICTORIOUS!", true, Stop};
  return std::nullopt;
}

TFreeForAllState FreeForAllStateOf(const TBrenmoorEngine& Engine) {
  TFreeForAllState S;
  S.LivingMajors = Engine.Diplomacy().GetLivingNationCount();
  S.AllComputer = Engine.GetAllComputer();
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    const TNation* N = Engine.GetNation(I);
    if (N->GetMajorPower() && N->GetAlive() && N->GetTotalIndustry() > 0) ++S.LivingMajorsWithIndustry;
  }
  return S;
}

bool OffersFreeForAll(const TFreeForAllState& State) {
  return FreeForAllMayGoOn(State.LivingMajors, State.AllComputer) && State.LivingMajorsWithIndustry > 1;
}
