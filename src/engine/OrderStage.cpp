// One impulse on the machine that runs the rules, and its order stage: every queued order
// record, checked against the user who sent it, becomes the units' orders, the zones' builds
// and the nations' choices (the rules of each order are in OrderRules.cpp), each effect going
// out as a change record for the other machines. The order stage draws no random number: the
// draws of an impulse come in the units' steps and the end-of-impulse stages.
#include <algorithm>

#include "engine/BrenmoorEngine.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/OrderRecord.h"
#include "engine/OrderRules.h"
#include "engine/UnitRules.h"
#include "foundation/NumberText.h"

void TBrenmoorEngine::OrderStage() {
  FPendingRandomEvent = nullptr;
  for (TUnit* Unit : FUnits) Unit->ResetImpulseState();
  // The records are taken first: a handler that runs at a pending-message point and queues
  // more orders queues them for the next impulse.
  for (const TQueuedOrder& Order : TakeOrders()) {
    ProcessPendingMessages();
    TOrderRefusal Why = CheckOrder(Order.Record, Order.Sender);
    if (Why == TOrderRefusal::None) Why = ApplyOrder(Order.Record);
    if (Why != TOrderRefusal::None && FLogRefusals)
      FRefusalLog.push_back(Order.Record + " refused: " + std::string(OrderRefusalText(Why)));
  }
}

void TBrenmoorEngine::ProcessImpulse() {
  TImpulseRun Run(*this);
  const std::int32_t Impulse = GetImpulse();
  OrderStage();
  Execution().ExecuteUnits(Impulse);
  const TMapExtent Extent = FZoneMap ? FZoneMap->GetExtent() : TMapExtent{};
  EndOfImpulse().EndOfImpulseStages(Impulse, Extent.Width, Extent.Height);
}

TOrderRefusal TBrenmoorEngine::ApplyOrder(const std::string& Record) { return OrderRules::Apply(*this, Record); }

void TBrenmoorEngine::SetRefusalLog(bool Value) {
  FLogRefusals = Value;
  FRefusalLog.clear();
}

void TBrenmoorEngine::LoadShip(bool Transport, TBrenmoorZone* At, TUnit* Ship, const std::string& IDs) {
  std::int32_t Room = Transport ? Ship->GetTransportRoom() : Ship->GetCarrierRoom();
  std::string List = IDs;
  while (!List.empty() && Room > 0) {
    TUnit* U = GetUnitByID(StrToIntDef(NextToken(List, "#"), -1));
    if (!U || U == Ship) continue;
    const std::int32_t Size = Transport ? U->GetTransportWeight() : U->GetTotalCount();
    if (Size <= Room) {
      if (Transport) {
        U->SetDestinationZone(Ship->GetZone());
        U->SetDestinationUnit(Ship);
        U->SetOrder(ordEmbark);
        SendUnitOrder(U);
      } else {
        U->SetOrder(ordNone);
        SendUnitOrder(U);
        U->JoinBase(Ship);
        U->MoveToZone(At, mmReplay);
      }
      Room -= Size;
      continue;
    }
    // Too big for what is left: as much of it as fits is split off and goes aboard.
    std::string Counts;
    bool Any = false;
    for (int T = 0; T < UnitTypeCount; ++T) {
      std::int32_t N = 0;
      const std::int32_t Weight = UnitTypes[static_cast<std::size_t>(T)].Weight;
      for (int Piece = 0; Piece < U->GetCount(T); ++Piece) {
        if (Transport) {
          if (Weight > 0 && Weight <= Room) {
            Room -= Weight;
            ++N;
          }
        } else if (Room > 0) {
          Room -= 1;
          ++N;
        }
      }
      Any = Any || N > 0;
      Counts += IntToStr(N) + "#";
    }
    if (!Any) continue;
    AddUnitChange(U, chUnitDivided, Counts, ZoneIndexOrNone(Ship->GetZone()), Ship->ID);
    UnitRules().DivideUnit(U, Counts, Ship);
  }
}

void TBrenmoorEngine::RenameUnit(TUnit* Unit, const std::string& Name) {
  Unit->SetCustomName(Name);
  for (TUnit* Other : FUnits)
    if (Other->GetDestinationUnit() == Unit) Other->RefreshDestinationUnitName();
}
