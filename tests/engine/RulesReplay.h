#pragma once
// Helpers of the diplomacy, reinforcement and random-event tests: the host's after-rules
// stages that report losses and organisation (so that a guest can follow), and a log of the
// engine events of these rules on host and guest.
#include <string>
#include <vector>

#include "engine/kit/RulesKit.h"
#include "foundation/NumberText.h"

namespace rules {

// The losses and the organisation report of the end of an impulse, as the host runs them:
// damage off the counts (strength records), empty units out, and every changed organisation
// in change 1 (the host keeping exactly the value written).
inline void ReportLossesAndOrganization(TBrenmoorEngine& E) {
  for (int I = E.GetUnitCount() - 1; I >= 0; --I) E.GetUnit(I)->ApplyLosses();
  for (int I = E.GetUnitCount() - 1; I >= 0; --I)
    if (I < E.GetUnitCount()) E.GetUnit(I)->RemoveIfEmpty();
  std::string List;
  for (TUnit* U : E.GetUnits()) {
    if (!U->GetOrganizationChanged()) continue;
    const std::string Text = FormatTwoDecimals(U->GetOrganization());
    List += std::to_string(U->GetZone()->GetIndex()) + "#" + std::to_string(U->ID) + "#" + Text + "#";
    U->SetOrganizationDirect(static_cast<float>(StrToFloat(Text)));
  }
  if (!List.empty()) E.AddChange(chUnitOrganization, List);
  for (TUnit* U : E.GetUnits()) U->ResetImpulseState();
}

// The events of conquest, exile, diplomacy and surrender, as text (a reinforcement is news
// only where its nation is played, so it is not among them).
inline void HookRulesEvents(TBrenmoorEngine& E, std::vector<std::string>& Log) {
  const auto N = [](const TNation* Nation) { return Nation ? std::to_string(Nation->GetIndex()) : std::string("-"); };
  E.OnConquerNation = [&Log, N](TBrenmoorEngine*, TNation* A, TNation* B) { Log.push_back("ConquerNation " + N(A) + " " + N(B)); };
  E.OnExileGovt = [&Log, N](TBrenmoorEngine*, TNation* A, TNation* B) { Log.push_back("ExileGovt " + N(A) + " " + N(B)); };
  E.OnDiplomacy = [&Log, N](TBrenmoorEngine*, TNation* A, TNation* B, int Code) {
    Log.push_back("Diplomacy " + N(A) + " " + N(B) + " " + std::to_string(Code));
  };
  E.OnPlayerSurrender = [&Log](TBrenmoorEngine*, const std::string& Name) { Log.push_back("Surrender " + Name); };
}

}  // namespace rules
