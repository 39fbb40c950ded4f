#include "screens/ForcesRules.h"

#include <algorithm>
#include <cmath>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/Rounding.h"
#include "foundation/StringUtils.h"

TForcesLine ParseForcesLine(const std::string& Text) {
  std::string Rest = Text;
  TForcesLine Line;
  Line.Owner = NextTokenInt(Rest, ";");
  Line.Type = NextTokenInt(Rest, ";");
  Line.Quantity = NextTokenInt(Rest, ";");
  Line.Strength = NextToken(Rest, ";");
  return Line;
}

std::string UnitForcesLineText(std::int32_t Owner, std::int32_t Type, std::int32_t Quantity, float Strength) {
  return Tokenize(";", Owner, Type, Quantity, SingleToStr(Strength));
}

std::string QuantityLineText(std::int32_t Owner, std::int32_t Type, std::int32_t Quantity) {
  return IntToStr(Owner) + ";" + IntToStr(Type) + ";" + IntToStr(Quantity);
}

std::string ForcesCountText(std::int32_t Type, std::int32_t Quantity) {
  std::string Text = IntToStr(Quantity) + " ";
  if (Type < 0 || Type >= UnitTypeCount) return Text;
  Text += UnitTypes[static_cast<std::size_t>(Type)].Name;
  if (Quantity != 1 && Type != utArtillery && Type != utInfantry && Type != utArmor) Text += "s";
  return Text;
}

std::int32_t VeteranLevel(const std::string& Strength) {
  const auto Value = TryStrToFloat(Strength);
  if (!Value) return 0;
  double S = static_cast<double>(*Value) - 1;
  std::int32_t Level = 0;
  while (S > 1) {
    S -= 1;
    Level += 10;
  }
  // A factor is a float grown by tenths: 1.2 may be held as 1.19999..., which is still two tenths.
  if (S > 0) Level += static_cast<std::int32_t>(std::floor(S * 10 + 1e-6));
  return Level;
}

std::string VeteranLevelText(const std::string& Strength) {
  const std::int32_t Level = VeteranLevel(Strength);
  return Level > 0 ? "v" + IntToStr(Level + 1) : std::string();
}

std::int32_t ForcesColorRow(const TBrenmoorEngine& Engine, std::int32_t Owner) {
  if (Owner >= 0 && Owner < Engine.GetMajorCount() && Owner < Engine.GetNationCount())
    return Engine.GetNation(Owner)->GetColorSlot();
  return MinorTallyRow;
}

bool IsLastForcesLineOfUnit(const TUnit& Unit, std::int32_t Type) {
  for (std::int32_t T = Type + 1; T < UnitTypeCount; ++T)
    if (Unit.GetCount(T) > 0) return false;
  return true;
}

std::int32_t FindForcesLine(const std::vector<std::string>& Lines, std::int32_t Type, std::int32_t Owner) {
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    const TForcesLine Line = ParseForcesLine(Lines[I]);
    if (Line.Owner == Owner && Line.Type == Type) return static_cast<std::int32_t>(I);
  }
  return -1;
}

TSetQuantityStep SetQuantityStep(bool Found, std::int32_t Quantity, bool KeepZeroForces) {
  if (Found) return Quantity == 0 && !KeepZeroForces ? sqDelete : sqRewrite;
  return Quantity < 1 && !KeepZeroForces ? sqNothing : sqAppend;
}

std::int32_t UnitInsertPosition(const std::vector<bool>& Local, bool NewIsLocal) {
  const auto End = static_cast<std::int32_t>(Local.size());
  if (!NewIsLocal) return End;
  const auto Other = std::find(Local.begin(), Local.end(), false);
  return static_cast<std::int32_t>(Other - Local.begin());
}

bool MoveOneForce(std::int32_t& From, std::int32_t& To) {
  if (From <= 0) return false;
  --From;
  ++To;
  return true;
}

void MoveAllForces(std::int32_t& From, std::int32_t& To) {
  if (From <= 0) return;
  To += From;
  From = 0;
}

namespace {
bool HoldsForces(const TForceCounts& Counts) {
  return std::any_of(Counts.begin(), Counts.end(), [](std::int32_t N) { return N > 0; });
}
}  // namespace

bool DivideCanProceed(const TDivideForces& Forces) { return HoldsForces(Forces.Parent) && HoldsForces(Forces.New); }

void FitDivideToUnit(TDivideForces& Forces, const TUnit& Unit) {
  for (std::size_t T = 0; T < UnitTypeCount; ++T) {
    std::int32_t& Parent = Forces.Parent[T];
    std::int32_t& New = Forces.New[T];
    const std::int32_t Count = Unit.GetCount(static_cast<int>(T));
    const std::int32_t Sum = Parent + New;
    if (Sum > Count) {
      std::int32_t Excess = Sum - Count;
      const std::int32_t FromNew = std::min(Excess, std::max(New, 0));
      New -= FromNew;
      Excess -= FromNew;
      Parent = std::max(Parent - Excess, 0);
    } else if (Sum < Count) {
      Parent += Count - Sum;
    }
  }
}

std::string ForceCountsText(const TForceCounts& Counts) {
  std::string Text;
  for (const std::int32_t N : Counts) Text += IntToStr(N) + "#";
  return Text;
}

bool DivideStaysOpen(const TUnit* Unit, const TDivideForces& Forces) {
  if (!Unit || !Unit->GetZone() || Unit->GetZone()->GetEmbattled()) return false;
  return HoldsForces(Forces.Parent) || HoldsForces(Forces.New);
}

bool ResearchComplete(const TNation& Nation, std::int32_t Group) {
  return Nation.GetResearchProgress(Group) >= Nation.GetEngine().GetResearchCost(Group);
}

std::vector<std::int32_t> BuildableTypes(const TBrenmoorEngine& Engine, const TNation& Nation,
                                         const TBrenmoorZone& Zone, TUnitKind Kind) {
  if (!Engine.HasEngineOption(7) || Zone.GetFactories() <= 0) return {utMerchantShip};
  std::vector<std::int32_t> Types;
  for (std::int32_t T = 0; T < UnitTypeCount; ++T) {
    if (UnitTypes[static_cast<std::size_t>(T)].Kind != Kind) continue;
    if (T == utAtomicBomber && !ResearchComplete(Nation, 3)) continue;
    if (T == utJetFighter && !ResearchComplete(Nation, 6)) continue;
    Types.push_back(T);
  }
  return Types;
}

TBuildEstimate EstimateBuild(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, TUnitKind Kind,
                             const TForceCounts& Counts) {
  TBuildEstimate E;
  double Weight = 0;
  for (std::size_t T = 0; T < UnitTypeCount; ++T) {
    E.Cost += static_cast<double>(Counts[T]) * UnitTypes[T].Resources;
    Weight += static_cast<double>(Counts[T]) * UnitTypes[T].Production;
  }
  Engine.ApplyModifiers(efUnitCost, E.Cost, &Zone, Kind);
  const double Resources = Zone.GetResources();
  E.CostShown = static_cast<std::int64_t>(std::ceil(E.Cost));
  E.Available = static_cast<std::int64_t>(std::trunc(Resources));
  E.CanProceed = E.Cost <= Resources;
  const std::int32_t Factories = Zone.GetFactories() > 0 ? Zone.GetFactories() : 1;
  E.Turns = RoundHalfEven32(Weight / Factories);
  return E;
}

std::int32_t MostAffordableQuantity(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, TUnitKind Kind,
                                    TForceCounts Counts, std::int32_t Type) {
  if (Type < 0 || Type >= UnitTypeCount) return 0;
  std::int32_t& Quantity = Counts[static_cast<std::size_t>(Type)];
  const auto Affordable = [&](std::int32_t Q) {
    Quantity = Q;
    return EstimateBuild(Engine, Zone, Kind, Counts).CanProceed;
  };
  std::int32_t Best = 0;
  while (Best < MaxBuildQuantity && Affordable(Best + 1)) ++Best;
  return Best;
}
