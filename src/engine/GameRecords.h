#pragma once
// The small records of the game model: storms on the map, standing routings of resources
// between zones, the scenario's random events and the events in effect (active events), the
// scenario's victory conditions and its scheduled reinforcements. Each knows its engine; when
// and how they act is the impulse rules' business. Here are their fields, their scenario lines,
// their saved-game fields and the texts the game shows for them.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/EngineTypes.h"
#include "foundation/Geometry.h"
#include "sprites/StormType.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TUnit;

// Kind sets as text: "1"/"0" for Army, Air Force and Navy in that order.
std::string KindSetToText(TUnitKinds Kinds);
// A kind for each "1" among the first three characters.
TUnitKinds TextToKindSet(const std::string& Text);


class TStorm {
public:
  explicit TStorm(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // The saved field: Height, Lifetime, X, Y, StormType, Width, the chances down, left, right
  // and up, each followed by "%".
  std::string SaveToString() const;
  // Raises EBrenmoorEngine naming the value that is no integer.
  void LoadFromString(std::string_view Text);

  std::int32_t Height = 0;
  std::int32_t Width = 0;
  // Impulses left.
  std::int32_t Lifetime = 0;
  // Map pixels.
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t StormType = stSnow;
  // Move chances in percent.
  std::int32_t ChanceUp = 0;
  std::int32_t ChanceDown = 0;
  std::int32_t ChanceLeft = 0;
  std::int32_t ChanceRight = 0;

private:
  TBrenmoorEngine* FEngine;
};

// A standing routing: Amount resources a impulse from one zone to another.
class TRouting {
public:
  explicit TRouting(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TRouting(TBrenmoorEngine& Engine, TBrenmoorZone* From, std::int32_t Amount, TBrenmoorZone* To)
      : FromZone(From), Amount(Amount), ToZone(To), FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // From-zone index, amount, to-zone index, each followed by "~" (-1 for no zone).
  std::string SaveToString() const;
  // Raises EBrenmoorEngine for a zone index of no zone or a value that is no integer.
  void LoadFromString(std::string_view Text);

  TBrenmoorZone* FromZone = nullptr;
  std::int32_t Amount = 0;
  TBrenmoorZone* ToZone = nullptr;

private:
  TBrenmoorEngine* FEngine;
};

// What an event does: the Effect values of random and active events.
enum TEventEffect : std::uint8_t {
  efDestroyUnits, efOrganization, efCombat, efBombingDamage, efBombardment, efResources, efUnitCost
};
// Where it does it.
enum TEventArea : std::uint8_t {
  eaEverywhere, eaZone, eaOwnedBy, eaOriginallyOwnedBy, eaAlliance, eaRectangle
};
// Whom it touches.
enum TEventFilter : std::uint8_t { efEveryNation, efNation, efAlliance };

// A random event in effect: made by TRandomEvent::Execute when the event fires.
class TActiveEvent {
public:
  explicit TActiveEvent(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // Value := Value x Factor when Effect is the event's, Kind is among its kinds, the nation
  // filter holds for the zone's owner and the area holds for the zone; else Value stays.
  void ApplyModifier(int Effect, double& Value, const TBrenmoorZone* Zone, TUnitKind Kind) const;
  // The same for a unit: its kind, its owner, its zone.
  void ApplyModifier(int Effect, double& Value, const TUnit* Unit) const;
  // Whether the event touches a zone's owner (Owner) in Zone for units of Kind.
  bool Applies(int Effect, const TNation* Owner, const TBrenmoorZone* Zone, TUnitKind Kind) const;

  // 15 values each followed by "#": NationFilter, area alliance, filter alliance, area nation
  // index, filter nation index, area zone index (-1 for none), Effect, AreaKind, Duration,
  // Kinds as text, Factor, Area left, top, right, bottom.
  std::string SaveToString() const;
  // Raises EBrenmoorEngine for a nation or zone index of no nation or zone, EConvertError
  // for a Factor that is no number.
  void LoadFromString(std::string_view Text);

  std::uint8_t NationFilter = efEveryNation;
  // Indexes among the engine's alliance names (-1 for none).
  std::int32_t AreaAlliance = -1;
  std::int32_t FilterAlliance = -1;
  std::uint8_t Effect = efDestroyUnits;
  std::uint8_t AreaKind = eaEverywhere;
  // Impulses left; negative for ever.
  std::int32_t Duration = 0;
  TNation* AreaNation = nullptr;
  TBrenmoorZone* AreaZone = nullptr;
  TNation* FilterNation = nullptr;
  TUnitKinds Kinds = 0;
  float Factor = 1.0f;
  TRect Area;

private:
  TBrenmoorEngine* FEngine;
};

// A random event of the scenario. It happens at most once in a game.
class TRandomEvent {
public:
  explicit TRandomEvent(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // The value of a scenario "RandomEvent" line: 14 fields each followed by "~". Raises
  // EBrenmoorEngine naming the field for a number that is not one or a value outside its
  // range (a filter outside 0..2, an area outside 0..5, a trigger outside 0..3, a rectangle
  // area that is not four integers).
  void ReadScenarioRecord(const std::string& Line);
  // The event in effect: its filter and area found among the engine's nations, alliances and
  // zones, Factor 1 + Percent / 100. The caller lists, applies and reports it.
  std::unique_ptr<TActiveEvent> Execute() const;
  // The text of the event window: what the event does, to whom, where and for how long.
  std::string GetDescription() const;

  std::int32_t Index = 0;
  std::uint8_t NationFilter = efEveryNation;
  std::string History;
  std::uint8_t Effect = efDestroyUnits;
  std::uint8_t AreaKind = eaEverywhere;
  std::int32_t Percent = 0;
  // Impulses; negative for ever, 0 at once only.
  std::int32_t Duration = 0;
  std::string Picture;
  std::string FilterName;
  std::string AreaValue;
  std::string Title;
  TUnitKinds Kinds = 0;
  bool Fired = false;
  std::string TriggerName;
  // 0 chance; 1 a coup in the nation TriggerName; 2 the conquest, 3 the liberation of the
  // zone TriggerName.
  std::int32_t Trigger = 0;

private:
  TBrenmoorEngine* FEngine;
};

// A way to win of the scenario.
class TVictoryCondition {
public:
  explicit TVictoryCondition(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // The value of a scenario "VictoryCondition" line: 5 fields each followed by "~". Raises
  // EBrenmoorEngine naming the field for a kind outside 0..4 or a number that is not one.
  void ReadScenarioRecord(const std::string& Line);
  // Kinds 0, 2 and 4 measure a nation, kinds 1 and 3 an alliance.
  bool SubjectIsNation() const { return Kind == 0 || Kind == 2 || Kind == 4; }
  std::string GetDescription() const;

  bool WinnerIsNation = false;
  std::string Winner;
  // 0 the subject nation's domination reaches Target; 1 the subject alliance's; 2 the subject
  // nation's falls to it; 3 the alliance's; 4 the subject nation exists at impulse Target.
  std::uint8_t Kind = 0;
  std::string Subject;
  std::int32_t Target = 0;

private:
  TBrenmoorEngine* FEngine;
};

// Units that arrive for a nation in a zone at an impulse.
class TReinforcement {
public:
  explicit TReinforcement(TBrenmoorEngine& Engine) : FEngine(&Engine) {}
  TBrenmoorEngine& GetEngine() const { return *FEngine; }

  // The value of a scenario "Reinforcement" line: the 16 counts each followed by "#", then
  // "," the arrival impulse "," the nation index "," the zone name. Raises EBrenmoorEngine
  // naming the field for a count outside 0..65535 or a number that is not one. The nation is
  // found by the engine once every nation is read (NationIndex until then).
  void ReadScenarioRecord(const std::string& Line);
  std::uint16_t GetCount(int Type) const { return Counts.at(static_cast<std::size_t>(Type)); }
  // The zone named, from the engine's zones (nullptr when there is none of that name).
  TBrenmoorZone* GetZone() const;

  std::int32_t ArrivalImpulse = 0;
  std::int32_t NationIndex = -1;
  TNation* Nation = nullptr;
  std::array<std::uint16_t, UnitTypeCount> Counts{};
  std::string ZoneName;

private:
  TBrenmoorEngine* FEngine;
};
