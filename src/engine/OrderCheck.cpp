// Reading and writing the fields of order records, and the host's check of every order record
// against the user who sent it, before the order stage carries it out (the rules of each
// order are in OrderRules.cpp). A record that fails is skipped, as a computer player's order
// that the rules refuse.
#include <algorithm>
#include <array>
#include <cassert>

#include "engine/BrenmoorEngine.h"
#include "engine/OrderRecord.h"
#include "engine/OrderRules.h"
#include "foundation/NumberText.h"

namespace OrderRecord {

std::string OrderFieldsText(TOrderType Code, const std::vector<std::string>& Fields) {
  assert(Fields.size() == OrderCodeOf(Code).FieldCount && "an order record holds the fields its code describes");
  std::string S = IntToStr(static_cast<int>(Code)) + ";";
  for (const std::string& Field : Fields) S += Field + ";";
  return S;
}

bool ReadIntList(std::string List, std::vector<std::int32_t>& Values) {
  Values.clear();
  while (!List.empty()) {
    const auto Value = TryStrToInt(NextToken(List, "#"));
    if (!Value) return false;
    Values.push_back(*Value);
  }
  return true;
}

bool ReadZoneList(const TBrenmoorEngine& Engine, std::string List, std::vector<TBrenmoorZone*>& Zones) {
  Zones.clear();
  std::vector<std::int32_t> Indices;
  if (!ReadIntList(std::move(List), Indices)) return false;
  for (const std::int32_t I : Indices) {
    if (I < 0 || I >= Engine.GetZoneCount()) return false;
    Zones.push_back(Engine.GetZone(I));
  }
  return true;
}

TBuildFigures ReadBuild(std::string List) {
  TBuildFigures B;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const auto& Type = UnitTypes[static_cast<std::size_t>(T)];
    const std::uint16_t Count = static_cast<std::uint16_t>(std::clamp<std::int32_t>(NextTokenInt(List, "#"), 0, 65535));
    B.Counts[static_cast<std::size_t>(T)] = Count;
    if (Count > 0) B.EventKind = Type.Kind;
    B.Total += static_cast<float>(Count) * Type.Production;
    B.Cost += static_cast<double>(Count) * Type.Resources;
  }
  return B;
}

std::string CountsText(const std::array<std::uint16_t, UnitTypeCount>& Counts) {
  std::string S;
  for (const std::uint16_t N : Counts) S += IntToStr(N) + "#";
  return S;
}

bool IsFormationText(std::string Text) {
  for (int T = 0; T < UnitTypeCount; ++T) {
    // A missing field is one that SetFormations cannot read either.
    const std::string Field = NextToken(Text, "#");
    if (Field != "-" && !TryStrToInt(Field)) return false;
  }
  return true;
}

bool IsFormationChoice(std::string Text) {
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::string Field = NextToken(Text, "#");
    if (Field == "-") continue;
    const auto Weight = TryStrToInt(Field);
    if (!Weight || *Weight < FormationWeightLowest || *Weight > FormationWeightHighest || *Weight % FormationWeightStep != 0)
      return false;
  }
  return true;
}

}  // namespace OrderRecord

bool TBrenmoorEngine::SenderPlays(const std::string& Sender, const TNation* Nation) const {
  if (!Nation) return false;
  if (Nation->GetMajorPower() && !Nation->GetComputerPlayer()) return Nation->GetPlayerName() == Sender;
  // The computer's powers and the minor nations obey the machine that runs the rules.
  if (!FImpulseUsers || FImpulseUsers->GetUserCount() == 0) return true;
  return FImpulseUsers->GetUserName(0) == Sender;
}

TOrderRefusal TBrenmoorEngine::CheckOrder(const std::string& Record, const std::string& Sender) const {
  return OrderRules::Check(*this, Record, Sender);
}
