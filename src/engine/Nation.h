#pragma once
// One nation of the game: a major power (played here, by a remote human or by a computer
// player) or a minor nation. It holds its diplomatic state (alliance, relations, stability,
// diplomatic actions), its research, its per-type unit factors and costs, who plays it and
// the computer player's private store. The engine keeps every nation in one list; a nation's
// place there is its index, by which files and messages name it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/FieldRanges.h"

class TBrenmoorEngine;
class TBrenmoorZone;

// Name "=" value pairs in insertion order (the influence map and the computer player's store).
class TNameValueList {
public:
  // The value of Name, "" when absent.
  std::string Get(const std::string& Name) const;
  // Sets the pair's value, appending the pair when absent.
  void Set(const std::string& Name, const std::string& Value);
  void Delete(const std::string& Name);
  // Deletes every pair whose name Test accepts.
  template <class TTest>
  void DeleteIf(TTest Test) {
    std::erase_if(FItems, [&Test](const auto& Item) { return Test(Item.first); });
  }
  void Clear() { FItems.clear(); }
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::vector<std::pair<std::string, std::string>>& Items() const { return FItems; }

private:
  std::vector<std::pair<std::string, std::string>> FItems;
};

class TNation {
public:
  // The record with its defaults (relations sized to the engine's scenario "NationCount"),
  // then the scenario "Nation" line's value read into it.
  TNation(TBrenmoorEngine& Engine, const std::string& Line);
  // The same with relations sized to NationCount (a scenario read before it replaces the game).
  TNation(TBrenmoorEngine& Engine, const std::string& Line, int NationCount);
  TNation(const TNation&) = delete;
  TNation& operator=(const TNation&) = delete;

  // Reads a scenario "Nation" value: 15 fields separated by ","; relations are set over the
  // current ones. Raises EBrenmoorEngine for a relation index outside the relation array, a
  // relation outside -100..100 or a colour slot outside 0..7, EConvertError for a relation or
  // type factor that is not a number.
  void ReadScenarioRecord(const std::string& Line);
  // The saved-game field: 21 values each followed by "~".
  std::string SaveToString();
  void LoadFromString(std::string_view Text);
  // After the zones of a saved game are read: the capital from the saved capital index.
  void ResolveCapital();

  TBrenmoorEngine& GetEngine() const { return *FEngine; }
  std::int32_t GetIndex() const { return FIndex; }
  void SetIndex(std::int32_t Value) {
    FIndex = Value;
    TStepCostVersion::Changed();
  }

  // --- Queries ---
  // Answered in the header: the path search, the visibility and the attack tests ask them for
  // every step and every pair of units.
  std::int8_t GetRelation(const TNation* Other) const {
    const int Slot = RelationSlot(Other);
    return Slot < 0 ? std::int8_t{0} : FRelations[static_cast<std::size_t>(Slot)];
  }
  bool IsAlliedWith(const TNation* Other) const {
    if (!Other) return false;
    if (Other == this) return true;
    if (FAllianceKey != 0 && FAllianceKey == Other->FAllianceKey) return true;
    return GetRelation(Other) >= 100;
  }
  bool IsAtWarWith(const TNation* Other) const {
    if (!Other) return false;
    if (FAllianceKey != 0 && Other->FAllianceKey != 0 && FAllianceKey != Other->FAllianceKey) return true;
    return GetRelation(Other) <= -100;
  }
  std::string RelationText(const TNation* Other) const;
  // Index for a major power, 7 (the minors' tally row) for a minor nation.
  int GetMajorIndex() const;
  std::uint16_t GetColorIndex() const;
  std::uint16_t GetUnitCost(int Type) const { return FUnitCosts.at(static_cast<std::size_t>(Type)); }
  void SetUnitCost(int Type, std::uint16_t Value) { FUnitCosts.at(static_cast<std::size_t>(Type)) = Value; }
  double GetTotalResources() const;
  std::int32_t GetTotalIndustry() const;
  std::int32_t GetWorldDomination() const;
  std::int32_t GetScore() const;
  const std::string& GetDisplayName() const { return FComputerPlayer ? FAIScript : FPlayerName; }
  std::uint16_t GetResearchProgress(int G) const { return FResearchProgress.at(static_cast<std::size_t>(G)); }
  std::uint8_t GetResearchSpending(int G) const { return FResearchSpending.at(static_cast<std::size_t>(G)); }
  std::uint16_t GetResearchLevel(int G) const { return FResearchLevel.at(static_cast<std::size_t>(G)); }
  std::int32_t GetInfluence(const TNation* Other) const;
  std::string GetBrainData(const std::string& Name) const { return FBrainData.Get(Name); }
  const TNameValueList& GetInfluenceList() const { return FInfluence; }
  const TNameValueList& GetBrainDataList() const { return FBrainData; }
  TNameValueList& GetBrainDataList() { return FBrainData; }
  // The nation's units of those kinds in the zone, by its tally row.
  std::int32_t TallyOfKinds(const TBrenmoorZone* Zone, TUnitKinds Kinds) const;
  bool CanAttackZone(const TBrenmoorZone* Zone) const;

  // --- Fields ---
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  const std::string& GetAdjective() const { return FAdjective; }
  const std::string& GetAlliance() const { return FAlliance; }
  // Every change of the alliance goes through here, so that its number stays in step.
  void SetAlliance(const std::string& Value);
  bool GetMajorPower() const { return FMajorPower; }
  void SetMajorPower(bool Value) { FMajorPower = Value; }
  const std::string& GetText2() const { return FText2; }
  bool GetAttackWithoutWar() const { return FAttackWithoutWar; }
  void SetAttackWithoutWar(bool Value) { FAttackWithoutWar = Value; }
  bool GetLocalPlayer() const { return FLocalPlayer; }
  // Also keeps the tallies: a submerged fleet is counted only by the machine that plays it.
  void SetLocalPlayer(bool Value);
  float GetTypeFactor(int Type) const { return FTypeFactors.at(static_cast<std::size_t>(Type)); }
  const std::array<float, UnitTypeCount>& GetTypeFactors() const { return FTypeFactors; }
  // A research advance improves a type for the units made from now on.
  void SetTypeFactor(int Type, float Value) { FTypeFactors.at(static_cast<std::size_t>(Type)) = Value; }
  bool GetComputerPlayer() const { return FComputerPlayer; }
  void SetComputerPlayer(bool Value) { FComputerPlayer = Value; }
  TBrenmoorZone* GetCapital() const { return FCapital; }
  void SetCapital(TBrenmoorZone* Value) { FCapital = Value; }
  std::int32_t GetStability() const { return FStability; }
  void SetStability(std::int32_t Value);
  std::uint8_t GetDiplomaticActions() const { return FDiplomaticActions; }
  void SetDiplomaticActions(std::uint8_t Value) { FDiplomaticActions = Value; }
  void SetInfluence(const TNation* Other, std::int32_t Value);
  std::int32_t GetCountdown() const { return FCountdown; }
  // Held within what a saved game holds, whatever a change record or the rules make of it.
  void SetCountdown(std::int32_t Value) {
    FCountdown = static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, FieldRange::NationNumber.Min, FieldRange::NationNumber.Max));
  }
  bool GetAlive() const { return FAlive; }
  void SetAlive(bool Value) { FAlive = Value; }
  std::int32_t GetDiplomaticActionInterval() const { return FDiplomaticActionInterval; }
  // Both sides change, with change record 30 and the events of war and alliance; nothing
  // happens unless both are alive and the value is new. Values are held to -100..100.
  void SetRelation(TNation* Other, std::int32_t Value);
  // One side only, no record or event (the scenario's alliance relations).
  void SetRelationDirect(const TNation* Other, std::int32_t Value);
  // The replay of the host's relation record: both sides and the events of war and alliance,
  // but no annexation (the host's conquest record follows) (Diplomacy.cpp).
  void ReplayRelation(TNation* Other, std::int32_t Value);
  std::int32_t GetCapitalIndex() const { return FCapitalIndex; }
  const std::string& GetPlayerName() const { return FPlayerName; }
  void SetPlayerName(const std::string& Value) { FPlayerName = Value; }
  std::int32_t GetValue5() const { return FValue5; }
  std::int32_t GetResearchSpendingTotal() const { return FResearchSpendingTotal; }
  void SetResearchSpendingTotal(std::int32_t Value);
  float GetResearchSpendingFraction() const { return FResearchSpendingFraction; }
  void SetResearchProgress(int G, std::uint16_t Value) { FResearchProgress.at(static_cast<std::size_t>(G)) = Value; }
  void SetResearchSpending(int G, std::uint8_t Value) { FResearchSpending.at(static_cast<std::size_t>(G)) = Value; }
  void SetResearchLevel(int G, std::uint16_t Value) { FResearchLevel.at(static_cast<std::size_t>(G)) = Value; }
  std::uint8_t GetColorSlot() const { return FColorSlot; }
  bool GetScriptLoaded() const { return FScriptLoaded; }
  void SetScriptLoaded(bool Value) { FScriptLoaded = Value; }
  const std::string& GetAIScript() const { return FAIScript; }
  void SetAIScript(const std::string& Value) { FAIScript = Value; }
  void SetBrainData(const std::string& Name, const std::string& Value) { FBrainData.Set(Name, Value); }
  bool GetKamakazeAllowed() const { return FKamakazeAllowed; }
  std::int32_t GetScoreDeduction() const { return FScoreDeduction; }
  // Held within what a saved game holds, however many units a nation loses.
  void SetScoreDeduction(std::int32_t Value) {
    FScoreDeduction = static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, FieldRange::ScoreDeduction.Min, FieldRange::ScoreDeduction.Max));
  }
  std::int32_t GetTag() const { return FTag; }
  void SetTag(std::int32_t Value) { FTag = Value; }
  // A new unit of the kind raises the kind's counter and takes it as its ordinal.
  std::uint16_t NextKindOrdinal(TUnitKind Kind) { return ++FKindCounters.at(Kind); }
  std::uint16_t GetKindCounter(TUnitKind Kind) const { return FKindCounters.at(Kind); }

  // Research points of this upkeep (SupplyUpkeep resets and adds them; the research stage
  // spends them). Not saved: every upkeep makes them anew.
  float GetResearchPoints() const { return FResearchPoints; }
  void SetResearchPoints(float Value) { FResearchPoints = Value; }
  // One impulse off every influence line: a line that would reach 0 goes.
  void CountDownInfluence();

private:
  // The table of the saved field, which writes and reads it (Nation.cpp).
  struct TSavedRecord;
  int RelationSlot(const TNation* Other) const {
    if (!Other || Other->FIndex < 0 || Other->FIndex >= static_cast<int>(FRelations.size())) return -1;
    return Other->FIndex;
  }

  TBrenmoorEngine* FEngine;
  std::int32_t FIndex = -1;
  std::string FName;
  std::array<std::uint16_t, UnitKindCount> FKindCounters{};
  std::string FAdjective;
  std::string FAlliance;
  // The alliance's number, the same for every nation of the process that names the same
  // alliance and 0 for none: the relation tests compare it instead of the names.
  std::uint32_t FAllianceKey = 0;
  bool FMajorPower = false;
  std::string FText2;
  bool FAttackWithoutWar = false;
  bool FLocalPlayer = false;
  std::array<float, UnitTypeCount> FTypeFactors;
  bool FComputerPlayer = false;
  std::array<std::uint16_t, UnitTypeCount> FUnitCosts{};
  TBrenmoorZone* FCapital = nullptr;
  std::int32_t FStability = 100;
  std::uint8_t FDiplomaticActions = 1;
  TNameValueList FInfluence;
  std::int32_t FCountdown = 0;
  bool FAlive = true;
  std::int32_t FDiplomaticActionInterval = 0;
  std::vector<std::int8_t> FRelations;
  std::int32_t FCapitalIndex = -1;
  std::string FPlayerName;
  std::int32_t FValue5 = 0;
  std::int32_t FResearchSpendingTotal = 0;
  std::array<std::uint16_t, ResearchGroupCount> FResearchProgress{};
  std::array<std::uint8_t, ResearchGroupCount> FResearchSpending{};
  float FResearchSpendingFraction = 0.0f;
  std::array<std::uint16_t, ResearchGroupCount> FResearchLevel{};
  std::uint8_t FColorSlot = 0;
  bool FScriptLoaded = false;
  std::string FAIScript;
  TNameValueList FBrainData;
  bool FKamakazeAllowed = false;
  std::int32_t FScoreDeduction = 0;
  std::int32_t FTag = 0;
  float FResearchPoints = 0.0f;
};
