// The description of every change code's record, and the check of a record against it.
#include "engine/ChangeCodes.h"

#include <array>
#include <limits>
#include <stdexcept>

#include "engine/EngineTypes.h"
#include "engine/FieldRanges.h"
#include "foundation/StringUtils.h"

namespace {

using K = TChangeFieldKind;

constexpr std::int32_t Least = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Most = std::numeric_limits<std::int32_t>::max();

bool IsIndexKind(K Kind) {
  return Kind == K::Unit || Kind == K::Zone || Kind == K::Nation || Kind == K::Storm || Kind == K::RandomEvent || Kind == K::Reinforcement;
}

// A field of its kind: an identifier or index is 0 or more, an integer any, a float (resources,
// build amounts) within what a saved game holds.
TChangeField Of(const char* Name, K Kind) {
  if (Kind == K::Float) return {Name, Kind, static_cast<std::int32_t>(FieldRange::BuildAmount.Min), static_cast<std::int32_t>(FieldRange::BuildAmount.Max)};
  return {Name, Kind, IsIndexKind(Kind) ? 0 : Least, Most};
}
// A unit, zone or nation field where -1 names none.
TChangeField OrNone(const char* Name, K Kind) { return {Name, Kind, -1, Most}; }
// An integer the replay reads within Min .. Max.
TChangeField Ranged(const char* Name, std::int32_t Min, std::int32_t Max) { return {Name, K::Int, Min, Max}; }
// An integer the replay sets where a saved game holds it within Range.
TChangeField Held(const char* Name, TValueRange Range) {
  return Ranged(Name, static_cast<std::int32_t>(Range.Min), static_cast<std::int32_t>(Range.Max));
}
// A field that may be left out at the end of the record.
TChangeField LeftOut(TChangeField Field) {
  Field.LeftOut = true;
  return Field;
}

// The code and its enumerator's text.
#define CHANGE(Code) Code, #Code

const std::vector<TChangeShape>& Shapes() {
  static const std::vector<TChangeShape> Table{
      {CHANGE(chUnitMove), true, {Of("unit", K::Unit), Of("zone", K::Zone)}},
      {CHANGE(chUnitOrganization), false, {Of("organisations", K::ZoneUnitValues)}},
      // An invasion's record leaves the kind out.
      {CHANGE(chZoneStrike), false, {OrNone("nation", K::Nation), Of("zone", K::Zone), LeftOut(Of("kind", K::Int))}},
      {CHANGE(chUnitOrder), true,
       {Of("unit", K::Unit), Ranged("order", 0, OrderTypeCount - 1), OrNone("destination zone", K::Zone),
        OrNone("destination unit", K::Unit), Of("attacking", K::Flag)}},
      {CHANGE(chUnitBase), true, {Of("unit", K::Unit), Of("zone", K::Zone), OrNone("carrier", K::Unit)}},
      {CHANGE(chUnitPatrol), true, {Of("unit", K::Unit), Of("patrol zones", K::ZoneList), Ranged("order", 0, OrderTypeCount - 1)}},
      {CHANGE(chEmbattledZones), false, {Of("embattled zones", K::ZoneList)}},
      {CHANGE(chCombatEnded), false, {Of("zone", K::Zone)}},
      {CHANGE(chFactoryBuilt), false, {Of("zone", K::Zone), Of("resources", K::Float)}},
      {CHANGE(chBorderDefenceBuilt), false, {Of("zone", K::Zone), Of("neighbour", K::Zone), Of("resources", K::Float)}},
      {CHANGE(chRoutingCreated), false, {Of("source zone", K::Zone), Of("target zone", K::Zone), Held("amount", FieldRange::Amount)}},
      {CHANGE(chSupplySource), false, {Of("zone", K::Zone), Of("source zone", K::Zone)}},
      // An older host sends no total.
      {CHANGE(chBuildStarted), false,
       {Of("zone", K::Zone), Ranged("kind", 0, 2), Of("counts", K::Counts), Of("resources", K::Float), LeftOut(Of("total", K::Float))}},
      {CHANGE(chUnitDivided), true, {Of("unit", K::Unit), Of("counts", K::Counts), OrNone("carrier zone", K::Zone), OrNone("carrier", K::Unit)}},
      {CHANGE(chUnitsMerged), false, {Of("zone", K::Zone), Of("units", K::UnitList)}},
      {CHANGE(chConvoyDelivered), true, {Of("unit", K::Unit)}},
      {CHANGE(chUnitEmbarked), true, {Of("unit", K::Unit)}},
      {CHANGE(chUnitDisembarked), true, {Of("unit", K::Unit)}},
      {CHANGE(chPatrolPosition), true,
       {Of("unit", K::Unit), Held("patrol position", FieldRange::PatrolPlace), Ranged("patrol step", -1, 1), OrNone("destination zone", K::Zone)}},
      {CHANGE(chZoneBombed), false, {OrNone("nation", K::Nation), Of("zone", K::Zone), Held("bombings", FieldRange::StrikeCount), Of("resources", K::Float)}},
      {CHANGE(chZoneBombarded), false, {Of("zone", K::Zone), Of("bombardments", K::Int)}},
      {CHANGE(chUnitsBuilt), false, {Of("zone", K::Zone)}},
      {CHANGE(chBuildProgress), false, {Of("zone", K::Zone), Of("progress", K::Float)}},
      {CHANGE(chUnitStrength), true, {Of("unit", K::Unit), Of("counts", K::Counts), Of("score deduction", K::Int)}},
      {CHANGE(chUnitRemoved), true, {Of("unit", K::Unit)}},
      {CHANGE(chStormRemoved), false, {Of("storm", K::Storm)}},
      // An older host sends no lifetime.
      {CHANGE(chStormMoved), false, {Of("storm", K::Storm), Held("x", FieldRange::MapPlace), Held("y", FieldRange::MapPlace), LeftOut(Held("lifetime", FieldRange::Impulses))}},
      {CHANGE(chStormCreated), false, {Of("storm", K::Text)}},
      {CHANGE(chUnitCosts), false, {Of("nation", K::Nation), Of("costs", K::Costs)}},
      {CHANGE(chStability), false, {OrNone("acting nation", K::Nation), Of("target nation", K::Nation), Held("stability", FieldRange::NationNumber)}},
      {CHANGE(chRelation), false, {Of("nation", K::Nation), Of("other nation", K::Nation), Of("relation", K::Int)}},
      {CHANGE(chInfluence), false, {Of("nation", K::Nation), Of("other nation", K::Nation), Of("influence", K::Int)}},
      {CHANGE(chCountdown), false, {Of("nation", K::Nation), Held("countdown", FieldRange::NationNumber)}},
      {CHANGE(chNationConquered), false,
       {Of("conqueror", K::Nation), Of("conquered", K::Nation), OrNone("exile host", K::Nation), Of("annex", K::Flag),
        Of("units caught", K::UnitList)}},
      {CHANGE(chCoup), false, {Of("nation", K::Nation), Of("strength", K::Int)}},
      {CHANGE(chDiplomaticActionUsed), false, {Of("nation", K::Nation)}},
      {CHANGE(chUnitExperience), false, {Of("experiences", K::ZoneUnitValues)}},
      {CHANGE(chUnitSubmerged), true, {Of("unit", K::Unit), Of("submerged", K::Flag)}},
      {CHANGE(chRandomEvent), false, {Of("random event", K::RandomEvent), Of("active event", K::Text)}},
      {CHANGE(chResourceEffects), false, {Of("resources", K::ZoneValues)}},
      {CHANGE(chResearchAllocation), false, {Of("nation", K::Nation), Of("allocation", K::IntList)}},
      {CHANGE(chResearchProgress), false, {Of("progress", K::NationGroups)}},
      {CHANGE(chResearchLevel), false, {Of("levels", K::NationGroupPicks)}},
      {CHANGE(chZoneConquered), false, {Of("zone", K::Zone), Of("conqueror", K::Nation), Of("new owner", K::Nation)}},
      {CHANGE(chAtomicBomb), false,
       {Of("nation", K::Nation), Of("zone", K::Zone), Of("bomber", K::Unit), Held("industry", FieldRange::Industry), Of("resources", K::Float),
        Held("factories", FieldRange::Factories)}},
      {CHANGE(chRocketTarget), false, {Of("target zone", K::Zone), Of("rocket zone", K::Zone)}},
      {CHANGE(chRocketHit), false, {Of("rocket zone", K::Zone), Of("damage", K::Int)}},
      {CHANGE(chAirfieldBuilt), false, {Of("zone", K::Zone), Of("resources", K::Float)}},
      {CHANGE(chPortBuilt), false, {Of("zone", K::Zone), Of("resources", K::Float)}},
      {CHANGE(chRocketSiteBuilt), false, {Of("zone", K::Zone), Of("resources", K::Float)}},
      {CHANGE(chReinforcement), false, {Of("reinforcement", K::Reinforcement)}},
      {CHANGE(chUnitRenamed), true, {Of("unit", K::Unit), Of("name", K::Text)}},
      {CHANGE(chDiplomacy), false, {Of("nation", K::Nation), Of("target nation", K::Nation), Of("action", K::Int)}},
      {CHANGE(chSupplyWalk), false, {Of("zone", K::Zone), Of("depth", K::Int)}},
      {CHANGE(chSupplyReset), false, {Of("nation", K::Nation)}},
      {CHANGE(chPortZone), false, {Of("zone", K::Zone), Of("sea zone", K::Zone)}},
      {CHANGE(chPlayerRemoved), false, {Of("player", K::Text)}},
      {CHANGE(chConvoyLaunched), false, {Of("zone", K::Zone), Of("ships", K::Int), Of("resources", K::Float), Of("port zone", K::Zone)}},
      {CHANGE(chFreeForAll), false, {}},
  };
  return Table;
}

#undef CHANGE

bool IsInt(const std::string& Text, std::int32_t Min = Least, std::int32_t Max = Most) {
  const auto Value = TryStrToInt(Text);
  return Value && *Value >= Min && *Value <= Max;
}

bool IsNumber(const std::string& Text) { return TryStrToSingle(Text).has_value(); }

// The items of a "#"-list, each followed by "#"; false when the last one is not.
bool ListItems(std::string List, std::vector<std::string>& Items) {
  if (!List.empty() && List.back() != '#') return false;
  while (!List.empty()) Items.push_back(NextToken(List, "#"));
  return true;
}

// "" when the items are groups of Parts, each item passing its part's check.
template <std::size_t N>
std::string CheckGroups(const std::vector<std::string>& Items, const std::array<const char*, N>& Parts,
                        const std::array<bool (*)(const std::string&), N>& Checks) {
  if (Items.size() % N != 0) return "holds " + std::to_string(Items.size()) + " items, not groups of " + std::to_string(N);
  for (std::size_t I = 0; I < Items.size(); ++I)
    if (!Checks[I % N](Items[I])) return "item " + std::to_string(I + 1) + " \"" + Items[I] + "\" is no " + Parts[I % N];
  return "";
}

bool IsZoneOrNone(const std::string& T) { return IsInt(T, -1); }
bool IsIndex(const std::string& T) { return IsInt(T, 0); }
bool IsGroup(const std::string& T) { return IsInt(T, 0, ResearchGroupCount - 1); }
bool IsPick(const std::string& T) { return IsInt(T, 0, 99); }

// "" when a list field's items fit its kind.
std::string CheckList(K Kind, const std::vector<std::string>& Items) {
  switch (Kind) {
    case K::ZoneList: return CheckGroups<1>(Items, {"zone"}, {IsIndex});
    case K::UnitList: return CheckGroups<1>(Items, {"unit"}, {IsIndex});
    case K::IntList: return CheckGroups<1>(Items, {"integer"}, {[](const std::string& T) { return IsInt(T); }});
    case K::Counts:
      if (Items.size() != UnitTypeCount) return "holds " + std::to_string(Items.size()) + " counts, not one per unit type";
      return CheckGroups<1>(Items, {"count"}, {[](const std::string& T) { return IsInt(T, 0, 65535); }});
    case K::Costs:
      if (Items.size() > UnitTypeCount) return "holds " + std::to_string(Items.size()) + " costs, more than one per unit type";
      return CheckGroups<1>(Items, {"cost"}, {[](const std::string& T) { return T == "-" || IsInt(T); }});
    // A unit that stands in no zone is written with zone -1.
    case K::ZoneUnitValues: return CheckGroups<3>(Items, {"zone", "unit", "number"}, {IsZoneOrNone, IsIndex, IsNumber});
    case K::ZoneValues: return CheckGroups<2>(Items, {"zone", "number"}, {IsIndex, IsNumber});
    case K::NationGroups: return CheckGroups<2>(Items, {"nation", "research group"}, {IsIndex, IsGroup});
    case K::NationGroupPicks: return CheckGroups<3>(Items, {"nation", "research group", "pick"}, {IsIndex, IsGroup, IsPick});
    default: return "";
  }
}

// "" when one field fits its description.
std::string CheckField(const TChangeField& Field, const std::string& Text) {
  switch (Field.Kind) {
    case K::Unit: case K::Zone: case K::Nation: case K::Storm: case K::RandomEvent: case K::Reinforcement: case K::Int:
      if (!IsInt(Text)) return "\"" + Text + "\" is no integer";
      if (!IsInt(Text, Field.Min, Field.Max)) return "\"" + Text + "\" is out of its range";
      return "";
    case K::Float:
      if (!IsNumber(Text)) return "\"" + Text + "\" is no number";
      if (const float V = *TryStrToSingle(Text); !(V >= static_cast<float>(Field.Min) && V <= static_cast<float>(Field.Max)))
        return "\"" + Text + "\" is out of its range";
      return "";
    case K::Flag: return Text == "0" || Text == "1" ? "" : "\"" + Text + "\" is no flag";
    case K::Text: return "";
    default: {
      std::vector<std::string> Items;
      if (!ListItems(Text, Items)) return "\"" + Text + "\" does not end its last item with \"#\"";
      return CheckList(Field.Kind, Items);
    }
  }
}

}  // namespace

const TChangeShape& ChangeShape(TChangeCode Code) {
  if (Code < 0 || Code >= ChangeCodeCount) throw std::out_of_range("no change code " + std::to_string(Code));
  return Shapes()[static_cast<std::size_t>(Code)];
}

std::int32_t RequiredChangeFields(TChangeCode Code) {
  std::int32_t Count = 0;
  for (const TChangeField& Field : ChangeShape(Code).Fields) {
    if (Field.LeftOut) break;
    ++Count;
  }
  return Count;
}

std::string CheckChangeShape(const std::string& Record) {
  if (Record.empty() || Record.back() != ';') return "the record does not end its last field with \";\"";
  std::string Rest = Record;
  const std::string CodeText = NextToken(Rest, ";");
  const auto Code = TryStrToInt(CodeText);
  if (!Code || *Code < 0 || *Code >= ChangeCodeCount) return "\"" + CodeText + "\" is no change code";
  const TChangeShape& Shape = ChangeShape(static_cast<TChangeCode>(*Code));
  std::vector<std::string> Fields;
  while (!Rest.empty()) Fields.push_back(NextToken(Rest, ";"));
  const std::string Name = Shape.Name;
  const auto Required = static_cast<std::size_t>(RequiredChangeFields(Shape.Code));
  if (Fields.size() < Required)
    return Name + " has " + std::to_string(Fields.size()) + " fields, fewer than the " + std::to_string(Required) + " it needs";
  if (Fields.size() > Shape.Fields.size())
    return Name + " has " + std::to_string(Fields.size()) + " fields, more than its " + std::to_string(Shape.Fields.size());
  for (std::size_t I = 0; I < Fields.size(); ++I)
    if (const std::string Fault = CheckField(Shape.Fields[I], Fields[I]); !Fault.empty())
      return Name + " field " + std::to_string(I + 1) + " (" + Shape.Fields[I].Name + "): " + Fault;
  return "";
}
