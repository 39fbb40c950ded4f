// The immediate effects of a random event that has just fired: units destroyed, organisation
// and resources, over the event's area. The other effects are modifiers that the rules apply
// later (TActiveEvent::ApplyModifier).
#include <cmath>

#include "engine/RandomEventRules.h"
#include "foundation/NumberText.h"

bool TRandomEventRules::EventHitsUnit(const TActiveEvent& E, const TUnit* Unit) const {
  if (!Unit) return false;
  const TBrenmoorZone* Zone = Unit->GetZone();
  const TNation* Owner = Unit->GetOwner();
  switch (E.AreaKind) {
    case eaEverywhere: return true;
    case eaZone: return Zone && Zone == E.AreaZone;
    case eaOwnedBy: return Owner && Owner == E.AreaNation;
    case eaOriginallyOwnedBy: return Zone && E.AreaNation && Zone->GetOriginalOwner() == E.AreaNation;
    case eaAlliance: return Owner && !Owner->GetAlliance().empty() && E.AreaAlliance >= 0 && FEngine.IndexOfAlliance(Owner->GetAlliance()) == E.AreaAlliance;
    case eaRectangle: return Zone && E.Area.Contains(TPoint{Zone->GetCenterX(), Zone->GetCenterY()});
    default: return false;
  }
}

bool TRandomEventRules::EventHitsZone(const TActiveEvent& E, const TBrenmoorZone* Zone) const {
  if (!Zone || !Zone->GetOwner()) return false;
  const TNation* Owner = Zone->GetOwner();
  switch (E.AreaKind) {
    case eaEverywhere: return true;
    case eaZone: return Zone == E.AreaZone;
    case eaOwnedBy: return Owner == E.AreaNation;
    case eaOriginallyOwnedBy: return E.AreaNation && Zone->GetOriginalOwner() == E.AreaNation;
    case eaAlliance: return !Owner->GetAlliance().empty() && E.AreaAlliance >= 0 && FEngine.IndexOfAlliance(Owner->GetAlliance()) == E.AreaAlliance;
    default: return false;  // A rectangle touches units only.
  }
}

void TRandomEventRules::ApplyRandomEventEffect(const TActiveEvent& E) {
  switch (E.Effect) {
    case efDestroyUnits: {
      // The percent the event was given: the factor is a float (1.3 reads 1.2999999), so a
      // hair is added before the fraction is cut off.
      const auto P = static_cast<std::int32_t>(std::trunc((static_cast<double>(E.Factor) - 1.0) * 100.0 + 1e-4));
      if (P <= 0) return;
      for (TUnit* Unit : FEngine.GetUnits()) {
        if (!EventHitsUnit(E, Unit)) continue;
        for (int T = 0; T < UnitTypeCount; ++T) {
          const int Undamaged = Unit->GetCount(T) - Unit->GetDamaged(T);
          for (int K = 0; K < Undamaged; ++K)
            if (P > FEngine.GetRandom().Random(100)) Unit->SetDamaged(T, static_cast<std::uint16_t>(Unit->GetDamaged(T) + 1));
        }
      }
      return;
    }
    case efOrganization:
      for (TUnit* Unit : FEngine.GetUnits())
        if (EventHitsUnit(E, Unit)) Unit->SetOrganization(static_cast<float>(Unit->GetOrganization() * static_cast<double>(E.Factor)));
      return;
    case efResources: {
      std::string List;
      for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
        TBrenmoorZone* Zone = FEngine.GetZone(I);
        if (!EventHitsZone(E, Zone)) continue;
        // The zone keeps exactly the value the record carries, so every machine holds the same.
        const std::string Text = FormatTwoDecimals(Zone->GetResources() + (static_cast<double>(E.Factor) - 1.0) * 100.0);
        List += IntToStr(I) + "#" + Text + "#";
        Zone->SetResources(static_cast<float>(StrToFloat(Text)));
      }
      if (!List.empty()) FEngine.AddChange(chResourceEffects, List);
      return;
    }
    default: return;
  }
}
