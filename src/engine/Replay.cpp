// The replay of the host's change records on every other machine: one record at a time, in
// the order the host wrote them. A record names zones and nations by index and units by
// identifier; a unit-addressed record whose unit does not exist is skipped, so is a record of
// an unknown code or cut short before its fields, and an index outside its list raises the
// list's index error. A record that no host writes, and that would break the game here (a
// unit carried by itself, a fleet of more than submarines under water, a zone or a conquest
// going to a dead nation), is dropped whole with a note on OnDebugNote.
#include "engine/AtomicRules.h"
#include "engine/DiplomacyRules.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/ReinforcementRules.h"
#include "engine/ResearchRules.h"
#include "engine/SupplyRules.h"
#include "engine/UnitRules.h"
#include "engine/Replay.h"

#include <algorithm>
#include <stdexcept>

#include "foundation/NumberText.h"

namespace {

// The items of a "#"-list field.
std::vector<std::string> ListItems(std::string List) {
  std::vector<std::string> Items;
  while (!List.empty()) Items.push_back(NextToken(List, "#"));
  return Items;
}

// One diplomatic action fewer; none left stays none (the count is a byte).
void UseDiplomaticAction(TNation* Nation) {
  if (Nation->GetDiplomaticActions() > 0) Nation->SetDiplomaticActions(static_cast<std::uint8_t>(Nation->GetDiplomaticActions() - 1));
}

}  // namespace

void TBrenmoorEngine::ApplyStateChange(const std::string& Record) { TReplayRules(*this, Record).Apply(); }

TReplayRules::TReplayRules(TBrenmoorEngine& Engine, const std::string& Record) : FEngine(Engine), FRecord(Record) {}

const std::array<TReplayRules::TRule, ChangeCodeCount>& TReplayRules::Rules() {
  static const std::array<TRule, ChangeCodeCount> Table = [] {
    std::array<TRule, ChangeCodeCount> T{};
    const auto OfUnit = [&T](TChangeCode Code, TUnitRule Rule) { T[static_cast<std::size_t>(Code)].OfUnit = Rule; };
    const auto OfRecord = [&T](TChangeCode Code, TRecordRule Rule) { T[static_cast<std::size_t>(Code)].OfRecord = Rule; };
    OfUnit(chUnitMove, &TReplayRules::UnitMove);
    OfRecord(chUnitOrganization, &TReplayRules::UnitOrganization);
    OfRecord(chZoneStrike, &TReplayRules::ZoneStrike);
    OfUnit(chUnitOrder, &TReplayRules::UnitOrder);
    OfUnit(chUnitBase, &TReplayRules::UnitBase);
    OfUnit(chUnitPatrol, &TReplayRules::UnitPatrol);
    OfRecord(chEmbattledZones, &TReplayRules::EmbattledZones);
    OfRecord(chCombatEnded, &TReplayRules::CombatEnded);
    OfRecord(chFactoryBuilt, &TReplayRules::FactoryBuilt);
    OfRecord(chBorderDefenceBuilt, &TReplayRules::BorderDefenceBuilt);
    OfRecord(chRoutingCreated, &TReplayRules::RoutingCreated);
    OfRecord(chSupplySource, &TReplayRules::SupplySource);
    OfRecord(chBuildStarted, &TReplayRules::BuildStarted);
    OfUnit(chUnitDivided, &TReplayRules::UnitDivided);
    OfRecord(chUnitsMerged, &TReplayRules::UnitsMerged);
    OfUnit(chConvoyDelivered, &TReplayRules::ConvoyDelivered);
    OfUnit(chUnitEmbarked, &TReplayRules::UnitEmbarked);
    OfUnit(chUnitDisembarked, &TReplayRules::UnitDisembarked);
    OfUnit(chPatrolPosition, &TReplayRules::PatrolPosition);
    OfRecord(chZoneBombed, &TReplayRules::ZoneBombed);
    OfRecord(chZoneBombarded, &TReplayRules::ZoneBombarded);
    OfRecord(chUnitsBuilt, &TReplayRules::UnitsBuilt);
    OfRecord(chBuildProgress, &TReplayRules::BuildProgress);
    OfUnit(chUnitStrength, &TReplayRules::UnitStrength);
    OfUnit(chUnitRemoved, &TReplayRules::UnitRemoved);
    OfRecord(chStormRemoved, &TReplayRules::StormRemoved);
    OfRecord(chStormMoved, &TReplayRules::StormMoved);
    OfRecord(chStormCreated, &TReplayRules::StormCreated);
    OfRecord(chUnitCosts, &TReplayRules::UnitCosts);
    OfRecord(chStability, &TReplayRules::Stability);
    OfRecord(chRelation, &TReplayRules::Relation);
    OfRecord(chInfluence, &TReplayRules::Influence);
    OfRecord(chCountdown, &TReplayRules::Countdown);
    OfRecord(chNationConquered, &TReplayRules::NationConquered);
    OfRecord(chCoup, &TReplayRules::Coup);
    OfRecord(chDiplomaticActionUsed, &TReplayRules::DiplomaticActionUsed);
    OfRecord(chUnitExperience, &TReplayRules::UnitExperience);
    OfUnit(chUnitSubmerged, &TReplayRules::UnitSubmerged);
    OfRecord(chRandomEvent, &TReplayRules::RandomEvent);
    OfRecord(chResourceEffects, &TReplayRules::ResourceEffects);
    OfRecord(chResearchAllocation, &TReplayRules::ResearchAllocation);
    OfRecord(chResearchProgress, &TReplayRules::ResearchProgress);
    OfRecord(chResearchLevel, &TReplayRules::ResearchLevel);
    OfRecord(chZoneConquered, &TReplayRules::ZoneConquered);
    OfRecord(chAtomicBomb, &TReplayRules::AtomicBomb);
    OfRecord(chRocketTarget, &TReplayRules::RocketTarget);
    OfRecord(chRocketHit, &TReplayRules::RocketHit);
    OfRecord(chAirfieldBuilt, &TReplayRules::AirfieldBuilt);
    OfRecord(chPortBuilt, &TReplayRules::PortBuilt);
    OfRecord(chRocketSiteBuilt, &TReplayRules::RocketSiteBuilt);
    OfRecord(chReinforcement, &TReplayRules::Reinforcement);
    OfUnit(chUnitRenamed, &TReplayRules::UnitRenamed);
    OfRecord(chDiplomacy, &TReplayRules::Diplomacy);
    OfRecord(chSupplyWalk, &TReplayRules::SupplyWalk);
    OfRecord(chSupplyReset, &TReplayRules::SupplyReset);
    OfRecord(chPortZone, &TReplayRules::PortZone);
    OfRecord(chPlayerRemoved, &TReplayRules::PlayerRemoved);
    OfRecord(chConvoyLaunched, &TReplayRules::ConvoyLaunched);
    OfRecord(chFreeForAll, &TReplayRules::FreeForAll);
    for (const TRule& Rule : T)
      if (!Rule.OfUnit == !Rule.OfRecord) throw std::logic_error("every change code needs one replay rule");
    return T;
  }();
  return Table;
}

bool TReplayRules::AddressesUnit(TChangeCode Code) { return Rules().at(static_cast<std::size_t>(Code)).OfUnit != nullptr; }

void TReplayRules::Apply() {
  TFields F(FRecord);
  const auto Code = TryStrToInt(F.Text());
  if (!Code || *Code < 0 || *Code >= ChangeCodeCount) return;
  // A record cut short is none: its missing fields would name zone 0, unit 0 or nation 0.
  if (std::count(FRecord.begin(), FRecord.end(), ';') - 1 < RequiredChangeFields(static_cast<TChangeCode>(*Code))) return;
  const TRule& Rule = Rules()[static_cast<std::size_t>(*Code)];
  if (!Rule.OfUnit) return (this->*Rule.OfRecord)(F);
  TUnit* Unit = FEngine.GetUnitByID(F.Int());
  if (!Unit) return;
  (this->*Rule.OfUnit)(Unit, F);
}

void TReplayRules::Drop(const char* Why) { FEngine.Fire(FEngine.OnDebugNote, "Change record " + FRecord + " dropped: " + Why); }

// --- Unit-addressed records ---

void TReplayRules::UnitMove(TUnit* Unit, TFields& F) { Unit->MoveToZone(ZoneAt(F.Int()), mmReplay); }

void TReplayRules::UnitOrder(TUnit* Unit, TFields& F) {
  const std::int32_t Order = F.Int();
  if (Order >= 0 && Order < OrderTypeCount) Unit->SetOrder(static_cast<TOrderType>(Order));
  // -1 is the host's unit without a destination: the host may have just cleared it.
  Unit->SetDestinationZone(ZoneOrNone(F.Int()));
  Unit->SetDestinationUnit(FEngine.GetUnitByID(StrToIntDef(F.Text(), -1)));
  Unit->SetAttacking(F.Bool());
}

void TReplayRules::UnitBase(TUnit* Unit, TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  TUnit* Carrier = FEngine.GetUnitByID(F.Int());
  // Moving a unit moves what it carries: a unit carried by itself would move forever.
  if (Carrier && (Carrier == Unit || Carrier->RidesOn(Unit))) return Drop("the unit would carry itself");
  if (!Carrier) {
    if (Unit->GetBaseUnit()) Unit->GetBaseUnit()->RemoveBased(Unit);
    Unit->SetBaseUnit(nullptr);
    Unit->SetBaseZone(Zone);
    Unit->MoveToZone(Zone, mmReplay);
  } else {
    if (Unit->GetBaseUnit()) Unit->GetBaseUnit()->RemoveBased(Unit);
    Carrier->AddBased(Unit);
    Unit->SetBaseUnit(Carrier);
    Unit->MoveToZone(Unit->GetZone(), mmReplay);
  }
}

void TReplayRules::UnitPatrol(TUnit* Unit, TFields& F) {
  std::vector<TBrenmoorZone*> Zones;
  for (const std::string& Item : ListItems(F.Text())) Zones.push_back(ZoneAt(StrToIntDef(Item, -1)));
  Unit->SetPatrolZones(Zones);
  const std::int32_t Order = F.Int();
  if (Order >= 0 && Order < OrderTypeCount) Unit->SetOrder(static_cast<TOrderType>(Order));
  Unit->SetPatrolStep(1);
  Unit->SetPatrolIndex(0);
  Unit->SetDestinationZone(Zones.size() > 1 ? Zones[1] : nullptr);
}

void TReplayRules::UnitDivided(TUnit* Unit, TFields& F) {
  const std::string Counts = F.Text();
  const std::int32_t Zone = F.Int();
  TUnit* Carrier = Zone >= 0 ? FEngine.GetUnitByID(F.Int()) : nullptr;
  FEngine.UnitRules().DivideUnit(Unit, Counts, Carrier);
}

void TReplayRules::ConvoyDelivered(TUnit* Unit, TFields&) { Unit->UnloadMerchants(); }

void TReplayRules::UnitEmbarked(TUnit* Unit, TFields&) { Unit->Embark(mmReplay); }

void TReplayRules::UnitDisembarked(TUnit* Unit, TFields&) { Unit->Disembark(mmReplay); }

void TReplayRules::PatrolPosition(TUnit* Unit, TFields& F) {
  Unit->SetPatrolIndex(F.Int());
  Unit->SetPatrolStep(F.Int());
  Unit->SetDestinationZone(ZoneOrNone(F.Int()));
}

void TReplayRules::UnitStrength(TUnit* Unit, TFields& F) {
  const auto Counts = ListItems(F.Text());
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::int32_t N = std::clamp(T < static_cast<int>(Counts.size()) ? StrToIntDef(Counts[static_cast<std::size_t>(T)], 0) : 0, 0, 65535);
    if (N == Unit->GetCount(T)) continue;
    if (Unit->IsTallied() && Unit->GetZone()) Unit->GetZone()->ChangeTally(Unit->GetOwner()->GetMajorIndex(), T, N - Unit->GetCount(T));
    Unit->SetCount(T, static_cast<std::uint16_t>(N));
  }
  if (Unit->GetOwner()) Unit->GetOwner()->SetScoreDeduction(F.Int());
}

void TReplayRules::UnitRemoved(TUnit* Unit, TFields&) {
  // The host's unit left with whatever it held: so do its counts here.
  TUnitRules::UntallyUnit(Unit);
  Unit->Remove(false);
  FEngine.FreeUnit(Unit);
}

void TReplayRules::UnitSubmerged(TUnit* Unit, TFields& F) {
  const bool Submerge = F.Bool();
  // Only a fleet of submarines alone dives; anything else would leave the tallies.
  if (Submerge && (Unit->GetKind() != ukNavy || !Unit->IsSubsOnly())) return Drop("only a fleet of submarines submerges");
  Unit->SetSubmerged(Submerge);
}

void TReplayRules::UnitRenamed(TUnit* Unit, TFields& F) { FEngine.RenameUnit(Unit, F.Text()); }

// --- Lists of units ---

void TReplayRules::SetUnitValues(TFields& F, void (TUnit::*Set)(float), TFloatRange Range) {
  const auto Items = ListItems(F.Text());
  for (std::size_t I = 0; I + 2 < Items.size(); I += 3) {
    TUnit* Unit = FEngine.GetUnitByID(StrToIntDef(Items[I + 1], -1));
    if (!Unit) continue;
    // A value a saved game could not hold is passed over, as one that is no number.
    const auto Value = TryStrToSingle(Items[I + 2]);
    if (!Value || !Range.Holds(static_cast<double>(*Value))) continue;
    (Unit->*Set)(*Value);
  }
}

void TReplayRules::UnitOrganization(TFields& F) { SetUnitValues(F, &TUnit::SetOrganizationDirect, FieldRange::Organization); }

void TReplayRules::UnitExperience(TFields& F) { SetUnitValues(F, &TUnit::SetExperience, FieldRange::Experience); }

void TReplayRules::UnitsMerged(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  FEngine.UnitRules().MergeUnits(Zone, F.Text());
}

// --- Zones ---

void TReplayRules::ZoneStrike(TFields& F) {
  // A strike by a unit without owner names none.
  TNation* Nation = NationOrNone(F.Int());
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  switch (F.Int()) {
    case 0: FEngine.Fire(FEngine.OnInvadeZone, Nation, Zone); break;
    case 1: FEngine.Fire(FEngine.OnAirStrikeZone, Nation, Zone); break;
    case 2: FEngine.Fire(FEngine.OnBombardZone, Nation, Zone); break;
    default: break;
  }
}

void TReplayRules::EmbattledZones(TFields& F) {
  const auto Items = ListItems(F.Text());
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) FEngine.GetZone(I)->SetEmbattled(false);
  for (const std::string& Item : Items) ZoneAt(StrToIntDef(Item, -1))->SetEmbattled(true);
}

void TReplayRules::CombatEnded(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  for (int I = 0; I < Zone->GetUnitCount(); ++I) Zone->GetUnit(I)->SetAttacking(false);
}

void TReplayRules::FactoryBuilt(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  const float Resources = F.Float();
  Zone->SetFactories(Zone->GetFactories() + 1);
  Zone->SetResources(Resources);
}

void TReplayRules::BorderDefenceBuilt(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  TBrenmoorZone* Neighbour = ZoneAt(F.Int());
  const float Resources = F.Float();
  Zone->SetBorderDefense(Neighbour, Zone->GetBorderDefense(Neighbour) + 1);
  Zone->SetResources(Resources);
}

void TReplayRules::RoutingCreated(TFields& F) {
  TBrenmoorZone* From = ZoneAt(F.Int());
  TBrenmoorZone* To = ZoneAt(F.Int());
  FEngine.Supply().CreateRouting(From, To, F.Int());
}

void TReplayRules::SupplySource(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  Zone->SetSupplySource(ZoneAt(F.Int()));
}

void TReplayRules::BuildStarted(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  const std::int32_t Kind = F.Int();
  const OrderRecord::TBuildFigures Build = OrderRecord::ReadBuild(F.Text());
  const float Resources = F.Float();
  // The host sends the total it computed (a conquered zone builds at 0.6 of it); an older
  // host sends none, and the total is the plain sum of the production points.
  const std::string TotalText = F.Text();
  const auto Total = TryStrToFloat(TotalText) ? std::optional<float>(StrToSingle(TotalText)) : std::nullopt;
  Zone->SetBuildKind(Kind);
  for (int T = 0; T < UnitTypeCount; ++T) Zone->SetBuildQueue(T, Build.Counts[static_cast<std::size_t>(T)]);
  Zone->SetBuildTotal(Total ? *Total : Build.Total);
  Zone->SetResources(Resources);
  Zone->SetBuildProgressPoints(0.0f);
  Zone->SetBuilding(true);
}

void TReplayRules::ZoneBombed(TFields& F) {
  TNation* Nation = NationOrNone(F.Int());
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  const std::int32_t Count = F.Int();
  const float Resources = F.Float();
  Zone->SetBombCount(Count);
  Zone->SetResources(Resources);
  FEngine.Fire(FEngine.OnBombZone, Nation, Zone);
}

void TReplayRules::ZoneBombarded(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  Zone->SetStrikeCount(F.Int());
}

void TReplayRules::UnitsBuilt(TFields& F) { FEngine.EndOfImpulse().BuildUnitInZone(ZoneAt(F.Int())); }

void TReplayRules::BuildProgress(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  Zone->SetBuildProgressPoints(F.Float());
}

void TReplayRules::ResourceEffects(TFields& F) {
  const auto Items = ListItems(F.Text());
  for (std::size_t I = 0; I + 1 < Items.size(); I += 2) {
    TBrenmoorZone* Zone = ZoneAt(StrToIntDef(Items[I], -1));
    if (const auto Value = TryStrToSingle(Items[I + 1])) Zone->SetResources(*Value);
  }
}

void TReplayRules::ZoneConquered(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  TNation* Conqueror = NationAt(F.Int());
  TNation* Owner = NationAt(F.Int());
  if (!Owner->GetAlive()) return Drop("a dead nation owns no zone");
  Zone->SetOwner(Owner);
  FEngine.Fire(FEngine.OnConquerZone, Conqueror, Zone);
}

void TReplayRules::RocketTarget(TFields& F) {
  TBrenmoorZone* Target = ZoneAt(F.Int());
  TBrenmoorZone* Rocket = ZoneAt(F.Int());
  Rocket->SetRocketTarget(Target->GetOwner() == Rocket->GetOwner() ? nullptr : Target);
}

void TReplayRules::RocketHit(TFields& F) {
  TBrenmoorZone* Rocket = ZoneAt(F.Int());
  const std::int32_t Damage = F.Int();
  Rocket->SetResources(Rocket->GetResources() - 3.0f);
  if (TBrenmoorZone* Target = Rocket->GetRocketTarget()) {
    Target->SetResources(static_cast<float>(Target->GetResources() - static_cast<double>(Damage)));
    FEngine.Fire(FEngine.OnRocketAttack, Rocket->GetOwner(), Target);
  }
}

void TReplayRules::ZoneBuilt(TFields& F, void (TBrenmoorZone::*Set)(bool)) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  const float Resources = F.Float();
  (Zone->*Set)(true);
  Zone->SetResources(Resources);
}

void TReplayRules::AirfieldBuilt(TFields& F) { ZoneBuilt(F, &TBrenmoorZone::SetAirfield); }

void TReplayRules::PortBuilt(TFields& F) { ZoneBuilt(F, &TBrenmoorZone::SetPort); }

void TReplayRules::RocketSiteBuilt(TFields& F) { ZoneBuilt(F, &TBrenmoorZone::SetRocketSite); }

void TReplayRules::SupplyWalk(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  FEngine.Supply().ComputeSupply(Zone, F.Int());
}

void TReplayRules::SupplyReset(TFields& F) { FEngine.Supply().ResetSupplySources(NationAt(F.Int())); }

void TReplayRules::PortZone(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  Zone->SetPortZone(ZoneAt(F.Int()));
}

void TReplayRules::ConvoyLaunched(TFields& F) {
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  const std::int32_t Ships = F.Int();
  const float Resources = F.Float();
  FEngine.Diplomacy().ReplayConvoy(Zone, Ships, Resources, ZoneAt(F.Int()));
}

// --- Storms ---

void TReplayRules::StormRemoved(TFields& F) {
  TStorm* Storm = FEngine.GetStorm(F.Int());
  // The host's storm has just aged out.
  Storm->Lifetime -= 1;
  FEngine.Fire(FEngine.OnRemoveStorm, Storm);
  FEngine.DeleteStorm(Storm);
}

void TReplayRules::StormMoved(TFields& F) {
  TStorm* Storm = FEngine.GetStorm(F.Int());
  const std::int32_t X = F.Int();
  const std::int32_t Y = F.Int();
  const bool Moved = X != Storm->X || Y != Storm->Y;
  Storm->X = X;
  Storm->Y = Y;
  // The host's storm stage sends the lifetime left; an older host sends none.
  if (const std::string Lifetime = F.Text(); !Lifetime.empty()) Storm->Lifetime = StrToIntDef(Lifetime, Storm->Lifetime);
  if (Moved) FEngine.Fire(FEngine.OnMoveStorm, Storm);
}

void TReplayRules::StormCreated(TFields& F) {
  auto Storm = std::make_unique<TStorm>(FEngine);
  Storm->LoadFromString(F.Text());
  FEngine.Fire(FEngine.OnCreateStorm, FEngine.AddStorm(std::move(Storm)));
}

// --- Nations ---

void TReplayRules::UnitCosts(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  FEngine.UnitRules().SetFormations(Nation, F.Text());
}

void TReplayRules::Stability(TFields& F) {
  const std::int32_t Acting = F.Int();
  if (Acting >= 0) {
    TNation* Nation = NationAt(Acting);
    UseDiplomaticAction(Nation);
  }
  TNation* Target = NationAt(F.Int());
  Target->SetStability(F.Int());
}

void TReplayRules::Relation(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  TNation* Other = NationAt(F.Int());
  // The host's annexation, if this brought one, comes as its own conquest record.
  Nation->ReplayRelation(Other, F.Int());
}

void TReplayRules::Influence(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  TNation* Other = NationAt(F.Int());
  Nation->SetInfluence(Other, F.Int());
}

void TReplayRules::Countdown(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  Nation->SetCountdown(F.Int());
}

void TReplayRules::NationConquered(TFields& F) {
  TNation* Conqueror = NationAt(F.Int());
  TNation* Conquered = NationAt(F.Int());
  const std::int32_t Host = F.Int();
  TNation* Exile = Host < 0 ? nullptr : NationAt(Host);
  const bool Annex = F.Bool();
  // The zones and units go to the conqueror or the host of the exiles: a living nation
  // that is not the conquered one.
  if (Conqueror == Conquered || !Conqueror->GetAlive() || (!Annex && Exile && (Exile == Conquered || !Exile->GetAlive())))
    return Drop("the conquest hands the nation to itself or to a dead nation");
  FEngine.Diplomacy().ApplyConquest(Conqueror, Conquered, Exile, Annex, F.Text());
}

void TReplayRules::Coup(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  FEngine.EndOfImpulse().Coup(Nation, F.Int());
}

void TReplayRules::DiplomaticActionUsed(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  UseDiplomaticAction(Nation);
}

void TReplayRules::Diplomacy(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  TNation* Target = NationAt(F.Int());
  FEngine.Fire(FEngine.OnDiplomacy, Nation, Target, F.Int());
}

void TReplayRules::PlayerRemoved(TFields& F) { FEngine.Diplomacy().RemovePlayer(F.Text()); }

void TReplayRules::FreeForAll(TFields&) { FEngine.Diplomacy().ApplyFreeForAll(); }

// --- Research, the atomic bomb, random events and reinforcements ---

void TReplayRules::ResearchAllocation(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  FEngine.Research().SetResearchAllocation(Nation, F.Text());
}

void TReplayRules::ResearchProgress(TFields& F) {
  const auto Items = ListItems(F.Text());
  for (std::size_t I = 0; I + 1 < Items.size(); I += 2) {
    TNation* Nation = NationAt(StrToIntDef(Items[I], -1));
    const std::int32_t Group = StrToIntDef(Items[I + 1], -1);
    if (Group >= 0 && Group < ResearchGroupCount)
      Nation->SetResearchProgress(Group, static_cast<std::uint16_t>(Nation->GetResearchProgress(Group) + 1));
  }
}

void TReplayRules::ResearchLevel(TFields& F) { FEngine.Research().ApplyResearchLevels(F.Text()); }

void TReplayRules::AtomicBomb(TFields& F) {
  TNation* Nation = NationAt(F.Int());
  TBrenmoorZone* Zone = ZoneAt(F.Int());
  TUnit* Unit = FEngine.GetUnitByID(F.Int());
  const std::int32_t Industry = F.Int();
  const float Resources = F.Float();
  // The host's bomber drops its bomb on the zone it stands in, its owner's row counted.
  if (Unit && (Unit->GetZone() != Zone || Unit->GetOwner() != Nation)) return Drop("the bomber is not the nation's unit in the zone");
  FEngine.Atomic().ApplyAtomicBomb(Nation, Zone, Unit, Industry, Resources, F.Int());
}

void TReplayRules::RandomEvent(TFields& F) {
  const std::int32_t Index = F.Int();
  if (Index < 0 || Index >= FEngine.GetRandomEventCount()) throw EBrenmoorEngine("Invalid Random Event");
  TRandomEvent* Event = FEngine.GetRandomEvent(Index);
  auto Active = std::make_unique<TActiveEvent>(FEngine);
  Active->LoadFromString(F.Text());
  FEngine.SetLastRandomEventDate(FEngine.GetDate());
  Event->Fired = true;
  FEngine.AddActiveEvent(std::move(Active));
  FEngine.Fire(FEngine.OnRandomEvent, Event);
}

void TReplayRules::Reinforcement(TFields& F) {
  const std::int32_t Index = F.Int();
  if (Index < 0 || Index >= FEngine.GetReinforcementCount()) throw EBrenmoorEngine("Invalid Reinforcement");
  FEngine.Reinforcements().ArriveReinforcement(FEngine.GetReinforcement(Index));
}
