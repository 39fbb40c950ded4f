#include "screens/PanelRules.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "engine/UnitRules.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "screens/ForcesRules.h"

namespace {

bool PlayedHere(const TNation* Nation) { return Nation && Nation->GetLocalPlayer(); }

TOrderSet Intersection(const TOrderSet& A, const TOrderSet& B) {
  TOrderSet Both;
  for (int O = 0; O < OrderTypeCount; ++O)
    if (A.Contains(TOrderType(O)) && B.Contains(TOrderType(O))) Both.Include(TOrderType(O));
  return Both;
}

} // namespace

std::string IndustryText(std::int32_t Industry) {
  const char* Word = Industry <= 0 ? "No" : Industry <= 2 ? "Light" : Industry <= 4 ? "Moderate" : "Heavy";
  return std::string(Word) + " Industry [" + IntToStr(Industry) + "]";
}

TZonePanel ZonePanelState(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, const TNation* Current) {
  TZonePanel P;
  const float Resources = Zone.GetResources();
  P.QuantityMax = static_cast<std::int32_t>(std::trunc(Resources));
  P.Land = Zone.GetSea() == 0;
  if (P.Land) {
    P.Name = Zone.GetName();
    P.IndustryText = IndustryText(Zone.GetIndustry());
    P.ResourceBonus = Zone.GetRichResources() >= 1;
    if (P.ResourceBonus) P.ResourceBonusText = "Rich Resources [+" + IntToStr(Zone.GetRichResources()) + "]";
    P.TerrainDefense = Zone.GetTerrainDefense() != 0;
    if (P.TerrainDefense) P.TerrainDefenseText = IntToStr(Zone.GetTerrainDefense()) + "% Terrain Defense";
    P.FactoriesText = IntToStr(Zone.GetFactories()) + " Factories";
    P.Owned = PlayedHere(Zone.GetOwner());
    if (P.Owned) {
      const bool B = Engine.HasEngineOption(7);
      const bool F = Resources >= 1.0f && Zone.GetFactories() >= 1;
      const bool N = !Zone.GetBuilding();
      const bool R25 = Resources >= ImprovementResources;
      const TBrenmoorZone* Source = Zone.GetSupplySource();
      const bool Routed = Source && Source != &Zone;
      P.ResourcesText = Routed ? "[AR to " + Source->GetName() + "]" : IntToStr(P.QuantityMax) + " Resources";
      P.RouteResources = !Routed;
      const bool Coastal = Zone.IsCoastal();
      P.BuildFactory = B && N && Zone.GetFactories() < Zone.GetIndustry() && R25;
      P.BuildBorderDefense = B && N && R25;
      P.BuildRockets = B && N && R25 && !Zone.GetRocketSite() && Current && ResearchComplete(*Current, 7);
      P.BuildAirfield = B && N && R25 && !Zone.IsAirfield();
      P.BuildPort = B && N && R25 && !Zone.IsPort() && Coastal;
      P.PortZone = Coastal && N;
      P.BuildConvoys = Coastal && Resources >= 5.0f && N;
      P.BuildLand = B && N && F;
      P.BuildAir = B && N && F;
      P.BuildSea = N && Resources >= 1.0f && Coastal;
      P.Building = Zone.GetBuilding();
      if (P.Building) P.BuildProgress = Zone.GetBuildProgress();
    }
  }
  if (const TNation* Owner = Zone.GetOwner()) {
    P.Flag = true;
    P.FlagNation = Owner->GetIndex();
    P.FlagHint = "Controlled by " + Owner->GetName();
  }
  return P;
}

std::vector<TUnit*> ListedUnits(const TBrenmoorZone& Zone) {
  std::vector<TUnit*> Units;
  for (int I = 0; I < Zone.GetUnitCount(); ++I) {
    TUnit* Unit = Zone.GetUnit(I);
    if (Unit->GetSubmerged() && !PlayedHere(Unit->GetOwner())) continue;
    Units.push_back(Unit);
  }
  return Units;
}

TUnitPanel UnitPanelState(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, const std::vector<TUnit*>& Selected,
                          const TNation* Current) {
  TUnitPanel P;
  if (!Zone.IsVisibleToLocalPlayer() && !Engine.GetAllComputer()) {
    P.Hidden = true;
    return P;
  }
  P.One = Selected.size() == 1 && PlayedHere(Selected.front()->GetOwner());
  if (P.One) {
    const TUnit* Unit = Selected.front();
    P.Organization = RoundHalfEven32(Unit->GetOrganization());
    P.Experience = Unit->ExperienceText();
    P.OrderText = Unit->OrderText();
  }
  bool Local = false;
  for (const TUnit* Unit : Selected) {
    if (PlayedHere(Unit->GetOwner())) {
      P.Allowed = Local ? Intersection(P.Allowed, Unit->CanTakeOrder()) : Unit->CanTakeOrder();
      Local = true;
    } else {
      P.Allowed = TOrderSet();
    }
  }
  P.AimRockets = Zone.GetRocketSite() && PlayedHere(Zone.GetOwner());
  if (!Selected.empty()) {
    P.Divide = Selected.size() == 1 && Local && Selected.front()->CanTakeOrder().Contains(ordDivide);
    P.Merge = Selected.size() > 1 && Engine.UnitRules().CanMergeUnits(Selected);
  }
  // Consolidating joins the current nation's units of one kind; units carrying or basing
  // others, or submerged, keep the zone from it.
  std::array<int, UnitKindCount> Kinds{};
  bool Blocked = Zone.GetEmbattled();
  for (int I = 0; I < Zone.GetUnitCount(); ++I) {
    const TUnit* Unit = Zone.GetUnit(I);
    if (Unit->GetBasedCount() > 0 || Unit->GetBoardedCount() > 0 || Unit->GetSubmerged()) Blocked = true;
    if (Current && Unit->GetOwner() == Current) ++Kinds[Unit->GetKind()];
  }
  P.Consolidate = !Blocked && (Kinds[0] >= 2 || Kinds[1] >= 2 || Kinds[2] >= 2);
  return P;
}

std::vector<TUnit*> KeptSelection(const std::vector<TUnit*>& Listed, const std::vector<TUnit*>& Selected) {
  std::vector<TUnit*> Kept;
  for (TUnit* Unit : Selected)
    if (std::find(Listed.begin(), Listed.end(), Unit) != Listed.end() &&
        std::find(Kept.begin(), Kept.end(), Unit) == Kept.end())
      Kept.push_back(Unit);
  return Kept;
}

TNation* NationOfSelection(const std::vector<TUnit*>& Selected, TNation* Current, const std::vector<TNation*>& Local) {
  for (const TUnit* Unit : Selected) {
    TNation* Owner = Unit ? Unit->GetOwner() : nullptr;
    if (Owner && Owner != Current && std::find(Local.begin(), Local.end(), Owner) != Local.end()) Current = Owner;
  }
  return Current;
}

bool ZoneButtonShown(TZoneButtonKind Button, const TZonePanel& Zone) {
  switch (Button) {
    case zbRouteResources: return Zone.RouteResources;
    case zbBorderDefense: return Zone.BuildBorderDefense;
    case zbPortZone: return Zone.PortZone;
    case zbBuildFactory: return Zone.BuildFactory;
    case zbBuildRockets: return Zone.BuildRockets;
    case zbBuildAirfield: return Zone.BuildAirfield;
    case zbBuildPort: return Zone.BuildPort;
    case zbBuildConvoys: return Zone.BuildConvoys;
    case zbBuildLand: return Zone.BuildLand;
    case zbBuildAir: return Zone.BuildAir;
    case zbBuildSea: return Zone.BuildSea;
    case zbAutoRoute:
    case zbGlobalRoute:
    case zbGlobalClear: return true;
  }
  return true;
}

std::optional<TZoneButtonKind> ZoneButtonOfKey(char Upper) {
  switch (Upper) {
    case 'R': return zbRouteResources;
    case 'A': return zbAutoRoute;
    case 'G': return zbGlobalRoute;
    case 'C': return zbGlobalClear;
    default: return std::nullopt;
  }
}
