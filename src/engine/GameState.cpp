#include "engine/GameState.h"

#include <algorithm>

#include "foundation/ListError.h"

// --- Nations ---

TNation* TGameState::GetNation(int I) const {
  if (I < 0 || I >= GetNationCount()) throw EListError::IndexOutOfBounds(I);
  return FNations[static_cast<std::size_t>(I)].get();
}

TNation* TGameState::FindNation(const std::string& Name) const {
  for (const auto& Nation : FNations)
    if (Nation->GetName() == Name) return Nation.get();
  return nullptr;
}

TNation* TGameState::AddNation(std::unique_ptr<TNation> Nation) {
  Nation->SetIndex(GetNationCount());
  if (Nation->GetMajorPower()) ++FMajorCount;
  FNations.push_back(std::move(Nation));
  return FNations.back().get();
}

bool TGameState::IsSoloGame() const {
  for (const auto& Nation : FNations)
    if (Nation->GetMajorPower() && !Nation->GetComputerPlayer() && Nation->GetPlayerName() != SoloPlayerName) return false;
  return true;
}

// --- Alliances ---

const std::string& TGameState::GetAlliance(int I) const {
  if (I < 0 || I >= GetAllianceCount()) throw EListError::IndexOutOfBounds(I);
  return FAlliances[static_cast<std::size_t>(I)];
}

int TGameState::IndexOfAlliance(const std::string& Name) const {
  const auto It = std::find(FAlliances.begin(), FAlliances.end(), Name);
  return It == FAlliances.end() ? -1 : static_cast<int>(It - FAlliances.begin());
}

// --- Storms, routings, events, victory conditions, reinforcements ---

namespace {

template <class T>
T* ItemAt(const std::vector<std::unique_ptr<T>>& List, int I) {
  if (I < 0 || I >= static_cast<int>(List.size())) throw EListError::IndexOutOfBounds(I);
  return List[static_cast<std::size_t>(I)].get();
}

template <class T>
T* Append(std::vector<std::unique_ptr<T>>& List, std::unique_ptr<T> Item) {
  if (!Item) throw EBrenmoorEngine("Nothing to add to the game");
  List.push_back(std::move(Item));
  return List.back().get();
}

template <class T>
void Remove(std::vector<std::unique_ptr<T>>& List, const T* Item) {
  std::erase_if(List, [Item](const auto& P) { return P.get() == Item; });
}

}  // namespace

TStorm* TGameState::GetStorm(int I) const { return ItemAt(FStorms, I); }
TStorm* TGameState::AddStorm(std::unique_ptr<TStorm> Storm) { return Append(FStorms, std::move(Storm)); }
void TGameState::DeleteStorm(TStorm* Storm) { Remove(FStorms, Storm); }
TRouting* TGameState::GetRouting(int I) const { return ItemAt(FRoutings, I); }
TRouting* TGameState::AddRouting(std::unique_ptr<TRouting> Routing) { return Append(FRoutings, std::move(Routing)); }
void TGameState::DeleteRouting(TRouting* Routing) { Remove(FRoutings, Routing); }
TActiveEvent* TGameState::GetActiveEvent(int I) const { return ItemAt(FActiveEvents, I); }
TActiveEvent* TGameState::AddActiveEvent(std::unique_ptr<TActiveEvent> Event) { return Append(FActiveEvents, std::move(Event)); }
void TGameState::DeleteActiveEvent(TActiveEvent* Event) { Remove(FActiveEvents, Event); }
TRandomEvent* TGameState::GetRandomEvent(int I) const { return ItemAt(FRandomEvents, I); }
TVictoryCondition* TGameState::GetVictoryCondition(int I) const { return ItemAt(FVictoryConditions, I); }
TReinforcement* TGameState::GetReinforcement(int I) const { return ItemAt(FReinforcements, I); }

void TGameState::ApplyModifiers(int Effect, double& Value, const TBrenmoorZone* Zone, TUnitKind Kind) const {
  for (const auto& Event : FActiveEvents) Event->ApplyModifier(Effect, Value, Zone, Kind);
}

void TGameState::ApplyModifiers(int Effect, double& Value, const TUnit* Unit) const {
  for (const auto& Event : FActiveEvents) Event->ApplyModifier(Effect, Value, Unit);
}

// --- Players, winner and dominations ---

std::int32_t TGameState::GetAllianceDomination(int I) const {
  if (I < 0 || I >= static_cast<int>(FAllianceDomination.size())) return 0;
  return FAllianceDomination[static_cast<std::size_t>(I)];
}
