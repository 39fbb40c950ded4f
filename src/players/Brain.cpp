#include "players/Brain.h"

#include "foundation/ListError.h"
#include "foundation/NumberText.h"

bool TBrenmoorBrain::Execute() {
  Prepare();
  return TScript::Execute();
}

void TBrenmoorBrain::Prepare() {
  FSeenUnits.clear();
  FPlayer = nullptr;
  if (FEngine && FPlayerIndex >= 0 && FPlayerIndex < FEngine->GetNationCount()) {
    FPlayer = FEngine->GetNation(FPlayerIndex);
    ForgetGoneUnits();
    for (int I = 0; I < FEngine->GetUnitCount(); ++I) {
      TUnit* Unit = FEngine->GetUnit(I);
      if (Unit->IsVisibleTo(FPlayer)) FSeenUnits.push_back(Unit);
    }
  }
}

TUnit* TBrenmoorBrain::GetUnit(std::int32_t I) const {
  if (I < 0 || I >= UnitCount()) throw EListError::IndexOutOfBounds(I);
  return FSeenUnits[static_cast<std::size_t>(I)];
}

std::int32_t TBrenmoorBrain::IndexOfUnit(const TUnit* Unit) const {
  if (!Unit) return -1;
  for (std::size_t I = 0; I < FSeenUnits.size(); ++I)
    if (FSeenUnits[I] == Unit) return static_cast<std::int32_t>(I);
  return -1;
}

void TBrenmoorBrain::ForgetGoneUnits() {
  const TBrenmoorEngine& Engine = *FEngine;
  FPlayer->GetBrainDataList().DeleteIf([&Engine](const std::string& Name) {
    const auto ID = TryStrToInt(Name);
    // Only a name that is a unit's identifier as the scripts write it (IntToStr) is that unit's.
    return ID && *ID >= 0 && *ID < Engine.GetUnits().NextID() && IntToStr(*ID) == Name && !Engine.GetUnitByID(*ID);
  });
}
