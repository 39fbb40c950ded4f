// The replay of the host's change records on every other machine: one record at a time, in
// the order the host wrote them. A record names zones and nations by index and units by
// identifier; a unit-addressed record whose unit does not exist is skipped, so is a record of
// an unknown code or cut short before its fields, and an index outside its list raises the
// list's index error. A record that no host writes, and that would break the game here (a
// unit carried by itself, a fleet of more than submarines under water, a zone or a conquest
// going to a dead nation), is dropped whole with a note on OnDebugNote.
#include <algorithm>
#include <array>

#include "engine/BrenmoorEngine.h"
#include "engine/OrderRecord.h"
#include "foundation/NumberText.h"

namespace {

using OrderRecord::TRecordFields;

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

// The number of fields each change code needs after the code (a unit-addressed record's unit
// included). Fields that older hosts do not send (a storm's lifetime, a build's total) and a
// strike record's kind, which an invasion leaves out, are not counted.
constexpr std::array<std::int8_t, 59> RequiredFields = {
    2, 1, 2, 5, 3, 3, 1, 1, 2, 3,  // 0..9
    3, 2, 4, 4, 2, 1, 1, 1, 4, 4,  // 10..19
    2, 1, 2, 3, 1, 1, 3, 1, 2, 3,  // 20..29
    3, 3, 2, 5, 2, 1, 1, 2, 2, 1,  // 30..39
    2, 1, 1, 3, 6, 2, 2, 2, 2, 2,  // 40..49
    1, 2, 3, 2, 1, 2, 1, 4, 0};    // 50..58

}  // namespace

void TBrenmoorEngine::ApplyStateChange(const std::string& Record) {
  const auto Drop = [this, &Record](const char* Why) { Fire(OnDebugNote, "Change record " + Record + " dropped: " + Why); };
  TRecordFields F(Record);
  const auto Code = TryStrToInt(F.Text());
  if (!Code || *Code < 0 || *Code > 58) return;
  // A record cut short is none: its missing fields would name zone 0, unit 0 or nation 0.
  if (std::count(Record.begin(), Record.end(), ';') - 1 < RequiredFields[static_cast<std::size_t>(*Code)]) return;
  const auto ZoneAt = [this](std::int32_t I) { return GetZone(I); };
  const auto ZoneOrNone = [this](std::int32_t I) { return I < 0 ? nullptr : GetZone(I); };
  const auto NationAt = [this](std::int32_t I) { return GetNation(I); };
  const auto NationOrNone = [this](std::int32_t I) { return I == -1 ? nullptr : GetNation(I); };

  switch (*Code) {
    // --- Unit-addressed records ---
    case 0: case 3: case 4: case 5: case 13: case 15: case 16: case 17: case 18: case 23: case 24: case 37: case 51: {
      TUnit* Unit = GetUnitByID(F.Int());
      if (!Unit) return;
      switch (*Code) {
        case 0: Unit->MoveToZone(ZoneAt(F.Int()), mmReplay); break;
        case 3: {
          const std::int32_t Order = F.Int();
          if (Order >= 0 && Order < OrderTypeCount) Unit->SetOrder(static_cast<TOrderType>(Order));
          // -1 is the host's unit without a destination: the host may have just cleared it.
          Unit->SetDestinationZone(ZoneOrNone(F.Int()));
          Unit->SetDestinationUnit(GetUnitByID(StrToIntDef(F.Text(), -1)));
          Unit->SetAttacking(F.Bool());
          break;
        }
        case 4: {
          TBrenmoorZone* Zone = ZoneAt(F.Int());
          TUnit* Carrier = GetUnitByID(F.Int());
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
          break;
        }
        case 5: {
          std::vector<TBrenmoorZone*> Zones;
          for (const std::string& Item : ListItems(F.Text())) Zones.push_back(ZoneAt(StrToIntDef(Item, -1)));
          Unit->SetPatrolZones(Zones);
          const std::int32_t Order = F.Int();
          if (Order >= 0 && Order < OrderTypeCount) Unit->SetOrder(static_cast<TOrderType>(Order));
          Unit->SetPatrolStep(1);
          Unit->SetPatrolIndex(0);
          Unit->SetDestinationZone(Zones.size() > 1 ? Zones[1] : nullptr);
          break;
        }
        case 13: {
          const std::string Counts = F.Text();
          const std::int32_t Zone = F.Int();
          TUnit* Carrier = Zone >= 0 ? GetUnitByID(F.Int()) : nullptr;
          DivideUnit(Unit, Counts, Carrier);
          break;
        }
        case 15: Unit->UnloadMerchants(); break;
        case 16: Unit->Embark(mmReplay); break;
        case 17: Unit->Disembark(mmReplay); break;
        case 18:
          Unit->SetPatrolIndex(F.Int());
          Unit->SetPatrolStep(F.Int());
          Unit->SetDestinationZone(ZoneOrNone(F.Int()));
          break;
        case 23: {
          const auto Counts = ListItems(F.Text());
          for (int T = 0; T < UnitTypeCount; ++T) {
            const std::int32_t N = std::clamp(T < static_cast<int>(Counts.size()) ? StrToIntDef(Counts[static_cast<std::size_t>(T)], 0) : 0, 0, 65535);
            if (N == Unit->GetCount(T)) continue;
            if (Unit->IsTallied() && Unit->GetZone()) Unit->GetZone()->ChangeTally(Unit->GetOwner()->GetMajorIndex(), T, N - Unit->GetCount(T));
            Unit->SetCount(T, static_cast<std::uint16_t>(N));
          }
          if (Unit->GetOwner()) Unit->GetOwner()->SetScoreDeduction(F.Int());
          break;
        }
        case 24:
          // The host's unit left with whatever it held: so do its counts here.
          UntallyUnit(Unit);
          Unit->Remove(false);
          FreeUnit(Unit);
          break;
        case 37: {
          const bool Submerge = F.Bool();
          // Only a fleet of submarines alone dives; anything else would leave the tallies.
          if (Submerge && (Unit->GetKind() != ukNavy || !Unit->IsSubsOnly())) return Drop("only a fleet of submarines submerges");
          Unit->SetSubmerged(Submerge);
          break;
        }
        case 51: RenameUnit(Unit, F.Text()); break;
        default: break;
      }
      return;
    }

    // --- Lists of units ---
    case 1: case 36: {
      const auto Items = ListItems(F.Text());
      for (std::size_t I = 0; I + 2 < Items.size(); I += 3) {
        TUnit* Unit = GetUnitByID(StrToIntDef(Items[I + 1], -1));
        if (!Unit) continue;
        const auto Value = TryStrToSingle(Items[I + 2]);
        if (!Value) continue;
        if (*Code == 1)
          Unit->SetOrganizationDirect(*Value);
        else
          Unit->SetExperience(*Value);
      }
      return;
    }

    // --- Zones ---
    case 2: {
      // A strike by a unit without owner names none.
      TNation* Nation = NationOrNone(F.Int());
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      switch (F.Int()) {
        case 0: Fire(OnInvadeZone, Nation, Zone); break;
        case 1: Fire(OnAirStrikeZone, Nation, Zone); break;
        case 2: Fire(OnBombardZone, Nation, Zone); break;
        default: break;
      }
      return;
    }
    case 6: {
      const auto Items = ListItems(F.Text());
      for (int I = 0; I < GetZoneCount(); ++I) GetZone(I)->SetEmbattled(false);
      for (const std::string& Item : Items) ZoneAt(StrToIntDef(Item, -1))->SetEmbattled(true);
      return;
    }
    case 7: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      for (int I = 0; I < Zone->GetUnitCount(); ++I) Zone->GetUnit(I)->SetAttacking(false);
      return;
    }
    case 8: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      const float Resources = F.Float();
      Zone->SetFactories(Zone->GetFactories() + 1);
      Zone->SetResources(Resources);
      return;
    }
    case 9: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      TBrenmoorZone* Neighbour = ZoneAt(F.Int());
      const float Resources = F.Float();
      Zone->SetBorderDefense(Neighbour, Zone->GetBorderDefense(Neighbour) + 1);
      Zone->SetResources(Resources);
      return;
    }
    case 10: {
      TBrenmoorZone* From = ZoneAt(F.Int());
      TBrenmoorZone* To = ZoneAt(F.Int());
      CreateRouting(From, To, F.Int());
      return;
    }
    case 11: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      Zone->SetSupplySource(ZoneAt(F.Int()));
      return;
    }
    case 12: {
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
      return;
    }
    case 14: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      MergeUnits(Zone, F.Text());
      return;
    }
    case 19: {
      TNation* Nation = NationOrNone(F.Int());
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      const std::int32_t Count = F.Int();
      const float Resources = F.Float();
      Zone->SetBombCount(Count);
      Zone->SetResources(Resources);
      Fire(OnBombZone, Nation, Zone);
      return;
    }
    case 20: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      Zone->SetStrikeCount(F.Int());
      return;
    }
    case 21: BuildUnitInZone(ZoneAt(F.Int())); return;
    case 34: {
      TNation* Nation = NationAt(F.Int());
      Coup(Nation, F.Int());
      return;
    }
    case 22: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      Zone->SetBuildProgressPoints(F.Float());
      return;
    }
    case 39: {
      const auto Items = ListItems(F.Text());
      for (std::size_t I = 0; I + 1 < Items.size(); I += 2) {
        TBrenmoorZone* Zone = ZoneAt(StrToIntDef(Items[I], -1));
        if (const auto Value = TryStrToSingle(Items[I + 1])) Zone->SetResources(*Value);
      }
      return;
    }
    case 43: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      TNation* Conqueror = NationAt(F.Int());
      TNation* Owner = NationAt(F.Int());
      if (!Owner->GetAlive()) return Drop("a dead nation owns no zone");
      Zone->SetOwner(Owner);
      Fire(OnConquerZone, Conqueror, Zone);
      return;
    }
    case 45: {
      TBrenmoorZone* Target = ZoneAt(F.Int());
      TBrenmoorZone* Rocket = ZoneAt(F.Int());
      Rocket->SetRocketTarget(Target->GetOwner() == Rocket->GetOwner() ? nullptr : Target);
      return;
    }
    case 46: {
      TBrenmoorZone* Rocket = ZoneAt(F.Int());
      const std::int32_t Damage = F.Int();
      Rocket->SetResources(Rocket->GetResources() - 3.0f);
      if (TBrenmoorZone* Target = Rocket->GetRocketTarget()) {
        Target->SetResources(static_cast<float>(Target->GetResources() - static_cast<double>(Damage)));
        Fire(OnRocketAttack, Rocket->GetOwner(), Target);
      }
      return;
    }
    case 47: case 48: case 49: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      const float Resources = F.Float();
      if (*Code == 47) Zone->SetAirfield(true);
      if (*Code == 48) Zone->SetPort(true);
      if (*Code == 49) Zone->SetRocketSite(true);
      Zone->SetResources(Resources);
      return;
    }
    case 53: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      ComputeSupply(Zone, F.Int());
      return;
    }
    case 54: ResetSupplySources(NationAt(F.Int())); return;
    case 55: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      Zone->SetPortZone(ZoneAt(F.Int()));
      return;
    }

    // --- Storms ---
    case 25: {
      TStorm* Storm = GetStorm(F.Int());
      // The host's storm has just aged out.
      Storm->Lifetime -= 1;
      Fire(OnRemoveStorm, Storm);
      DeleteStorm(Storm);
      return;
    }
    case 26: {
      TStorm* Storm = GetStorm(F.Int());
      const std::int32_t X = F.Int();
      const std::int32_t Y = F.Int();
      const bool Moved = X != Storm->X || Y != Storm->Y;
      Storm->X = X;
      Storm->Y = Y;
      // The host's storm stage sends the lifetime left; an older host sends none.
      if (const std::string Lifetime = F.Text(); !Lifetime.empty()) Storm->Lifetime = StrToIntDef(Lifetime, Storm->Lifetime);
      if (Moved) Fire(OnMoveStorm, Storm);
      return;
    }
    case 27: {
      auto Storm = std::make_unique<TStorm>(*this);
      Storm->LoadFromString(F.Text());
      Fire(OnCreateStorm, AddStorm(std::move(Storm)));
      return;
    }

    // --- Nations ---
    case 28: {
      TNation* Nation = NationAt(F.Int());
      SetFormations(Nation, F.Text());
      return;
    }
    case 29: {
      const std::int32_t Acting = F.Int();
      if (Acting >= 0) {
        TNation* Nation = NationAt(Acting);
        UseDiplomaticAction(Nation);
      }
      TNation* Target = NationAt(F.Int());
      Target->SetStability(F.Int());
      return;
    }
    case 30: {
      TNation* Nation = NationAt(F.Int());
      TNation* Other = NationAt(F.Int());
      // The host's annexation, if this brought one, comes as its own conquest record.
      Nation->ReplayRelation(Other, F.Int());
      return;
    }
    case 31: {
      TNation* Nation = NationAt(F.Int());
      TNation* Other = NationAt(F.Int());
      Nation->SetInfluence(Other, F.Int());
      return;
    }
    case 32: {
      TNation* Nation = NationAt(F.Int());
      Nation->SetCountdown(F.Int());
      return;
    }
    case 35: {
      TNation* Nation = NationAt(F.Int());
      UseDiplomaticAction(Nation);
      return;
    }
    case 52: {
      TNation* Nation = NationAt(F.Int());
      TNation* Target = NationAt(F.Int());
      Fire(OnDiplomacy, Nation, Target, F.Int());
      return;
    }

    // --- Research and the atomic bomb ---
    case 40: {
      TNation* Nation = NationAt(F.Int());
      SetResearchAllocation(Nation, F.Text());
      return;
    }
    case 41: {
      const auto Items = ListItems(F.Text());
      for (std::size_t I = 0; I + 1 < Items.size(); I += 2) {
        TNation* Nation = NationAt(StrToIntDef(Items[I], -1));
        const std::int32_t Group = StrToIntDef(Items[I + 1], -1);
        if (Group >= 0 && Group < ResearchGroupCount)
          Nation->SetResearchProgress(Group, static_cast<std::uint16_t>(Nation->GetResearchProgress(Group) + 1));
      }
      return;
    }
    case 42: ApplyResearchLevels(F.Text()); return;
    case 44: {
      TNation* Nation = NationAt(F.Int());
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      TUnit* Unit = GetUnitByID(F.Int());
      const std::int32_t Industry = F.Int();
      const float Resources = F.Float();
      // The host's bomber drops its bomb on the zone it stands in, its owner's row counted.
      if (Unit && (Unit->GetZone() != Zone || Unit->GetOwner() != Nation)) return Drop("the bomber is not the nation's unit in the zone");
      ApplyAtomicBomb(Nation, Zone, Unit, Industry, Resources, F.Int());
      return;
    }
    case 33: {
      TNation* Conqueror = NationAt(F.Int());
      TNation* Conquered = NationAt(F.Int());
      const std::int32_t Host = F.Int();
      TNation* Exile = Host < 0 ? nullptr : NationAt(Host);
      const bool Annex = F.Bool();
      // The zones and units go to the conqueror or the host of the exiles: a living nation
      // that is not the conquered one.
      if (Conqueror == Conquered || !Conqueror->GetAlive() || (!Annex && Exile && (Exile == Conquered || !Exile->GetAlive())))
        return Drop("the conquest hands the nation to itself or to a dead nation");
      ApplyConquest(Conqueror, Conquered, Exile, Annex, F.Text());
      return;
    }
    case 38: {
      const std::int32_t Index = F.Int();
      if (Index < 0 || Index >= GetRandomEventCount()) throw EBrenmoorEngine("Invalid Random Event");
      TRandomEvent* Event = GetRandomEvent(Index);
      auto Active = std::make_unique<TActiveEvent>(*this);
      Active->LoadFromString(F.Text());
      SetLastRandomEventDate(GetDate());
      Event->Fired = true;
      AddActiveEvent(std::move(Active));
      Fire(OnRandomEvent, Event);
      return;
    }
    case 50: {
      const std::int32_t Index = F.Int();
      if (Index < 0 || Index >= GetReinforcementCount()) throw EBrenmoorEngine("Invalid Reinforcement");
      ArriveReinforcement(GetReinforcement(Index));
      return;
    }
    case 56: RemovePlayer(F.Text()); return;
    case 57: {
      TBrenmoorZone* Zone = ZoneAt(F.Int());
      const std::int32_t Ships = F.Int();
      const float Resources = F.Float();
      ReplayConvoy(Zone, Ships, Resources, ZoneAt(F.Int()));
      return;
    }
    case 58: ApplyFreeForAll(); return;

    // The records of building, conquest, coups, research, atomic bombs, reinforcements,
    // random events, players leaving and convoys come with the rules that write them.
    default: return;
  }
}
