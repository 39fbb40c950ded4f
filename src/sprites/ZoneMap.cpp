#include "sprites/ZoneMap.h"

#include <algorithm>

#include "foundation/ListError.h"
#include "foundation/StringUtils.h"

namespace {

// The exact products of the point-in-zone test: corner differences of doubled 32-bit
// coordinates need 34 bits, so their products need more than 64.
using TWide = __int128;


}  // namespace

// ---------------------------------------------------------------------------------------------
// TZone

TZone::TZone(TZoneMap& Map, const std::string& Text) : FMap(&Map) {
  std::string Rest = Text;
  std::string Polygon = NextToken(Rest, ";");

  // The numbers of the polygon text; a lone last one is not used.
  int Numbers = 0;
  for (std::string Count = Polygon; !Count.empty(); NextToken(Count, ",")) ++Numbers;
  const int Corners = Numbers / 2;
  if (Corners < 3) throw EZoneMap("A zone needs at least 3 corners (" + std::to_string(Corners) + " given)");
  FPoints.resize(static_cast<std::size_t>(Corners));
  for (TPoint& P : FPoints) {
    P.X = NextTokenInt(Polygon, ",");
    P.Y = NextTokenInt(Polygon, ",");
  }

  FName = NextToken(Rest, ";");
  FSea = static_cast<std::uint8_t>(NextTokenInt(Rest, ";"));
  FNeighbourText = NextToken(Rest, ";");

  FBounds = {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
             std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
  for (const TPoint& P : FPoints) {
    FBounds.Left = std::min(FBounds.Left, P.X);
    FBounds.Top = std::min(FBounds.Top, P.Y);
    FBounds.Right = std::max(FBounds.Right, P.X);
    FBounds.Bottom = std::max(FBounds.Bottom, P.Y);
  }
  FCenterX = Clamp32(std::int64_t(FBounds.Left) + (std::int64_t(FBounds.Right) - FBounds.Left) / 2);
  FCenterY = Clamp32(std::int64_t(FBounds.Top) + (std::int64_t(FBounds.Bottom) - FBounds.Top) / 2);
}

TZone::~TZone() = default;

std::uint16_t TZone::GetColorIndex() const {
  return FSea != 0 ? FMap->GetColorIndexSea() : FMap->GetColorIndexLand();
}

int TZone::GetIndex() const {
  if (FListIndex < FMap->FZones.size() && FMap->FZones[FListIndex].get() == this) return static_cast<int>(FListIndex);
  return FMap->IndexOfZone(this);
}

void TZone::SetSea(std::uint8_t Value) {
  if (FSea == Value) return;
  FSea = Value;
  ++FMap->FLinkVersion;
}

TPoint TZone::Point(int I) const {
  if (I < 0 || I >= PointCount()) throw EListError::IndexOutOfBounds(I);
  return FPoints[static_cast<std::size_t>(I)];
}

TZoneEdge TZone::GetEdge(int I) const {
  const TPoint A = Point(I);
  const TPoint B = FPoints[static_cast<std::size_t>((I + 1) % PointCount())];
  return {A.X, A.Y, B.X, B.Y};
}

bool TZone::SameEdge(const TZoneEdge& E1, const TZoneEdge& E2) {
  return E1 == E2 || (E1.X1 == E2.X2 && E1.Y1 == E2.Y2 && E1.X2 == E2.X1 && E1.Y2 == E2.Y1);
}

bool TZone::ContainsPoint(TPoint P) const {
  // Everything doubled, so that the middle of the pixel, (2X + 1, 2Y + 1), has odd
  // coordinates and the corners even ones: no corner lies on the horizontal ray from the
  // point, and a crossing is counted only strictly to the right of the point.
  const std::int64_t PX = 2 * std::int64_t(P.X) + 1;
  const std::int64_t PY = 2 * std::int64_t(P.Y) + 1;
  bool Inside = false;
  const std::size_t N = FPoints.size();
  for (std::size_t I = 0, J = N - 1; I < N; J = I++) {
    const std::int64_t AX = 2 * std::int64_t(FPoints[J].X), AY = 2 * std::int64_t(FPoints[J].Y);
    const std::int64_t BX = 2 * std::int64_t(FPoints[I].X), BY = 2 * std::int64_t(FPoints[I].Y);
    if ((AY > PY) == (BY > PY)) continue;
    // The edge crosses the ray's line at X = AX + (PY - AY) * (BX - AX) / (BY - AY).
    const TWide Left = TWide(PX - AX) * TWide(BY - AY);
    const TWide Right = TWide(PY - AY) * TWide(BX - AX);
    if (BY > AY ? Left < Right : Left > Right) Inside = !Inside;
  }
  return Inside;
}

TZone* TZone::GetNeighbour(int I) const {
  if (I < 0 || I >= NeighbourCount()) throw EListError::IndexOutOfBounds(I);
  return FNeighbours[static_cast<std::size_t>(I)];
}

bool TZone::IsNeighbour(const TZone* Zone) const {
  return std::find(FNeighbours.begin(), FNeighbours.end(), Zone) != FNeighbours.end();
}

bool TZone::IsCoastal() const {
  if (FSea == 1) return false;
  return std::any_of(FNeighbours.begin(), FNeighbours.end(), [](const TZone* N) { return N->FSea == 1; });
}

void TZone::GetGridPoint(int I, TPoint& P) const {
  if (!FGridPoints) throw EListError::IndexOutOfBounds(I);
  FGridPoints->GetPoint(I, P);
}

std::int64_t TZone::GridPlaces(std::int32_t MarginTop, std::int32_t Width, std::int32_t Height) const {
  if (Width < 1 || Height < 1) return 0;
  // The same rows and columns as BuildGrid walks.
  std::int64_t Y = std::int64_t(FPoints[0].Y) + MarginTop;
  if (Y < FBounds.Top) Y += (std::int64_t(FBounds.Top) - Y + Height - 1) / Height * Height;
  const std::int64_t RowEnd = std::int64_t(FBounds.Bottom) - Height, ColumnEnd = std::int64_t(FBounds.Right) - Width;
  const std::int64_t Rows = Y < RowEnd ? (RowEnd - Y + Height - 1) / Height : 0;
  const std::int64_t Columns = FBounds.Left < ColumnEnd ? (ColumnEnd - FBounds.Left + Width - 1) / Width : 0;
  if (Rows == 0 || Columns == 0) return 0;
  if (Rows > std::numeric_limits<std::int64_t>::max() / Columns) return std::numeric_limits<std::int64_t>::max();
  return Rows * Columns;
}

void TZone::BuildGrid(std::int32_t MarginTop, std::int32_t Width, std::int32_t Height) {
  if (FGridPoints)
    FGridPoints->Clear();
  else
    FGridPoints = std::make_unique<TPointList>();
  std::int64_t Y = std::int64_t(FPoints[0].Y) + MarginTop;
  // Rows above the top corner hold no point of the zone: step past them at once.
  if (Y < FBounds.Top) Y += (std::int64_t(FBounds.Top) - Y + Height - 1) / Height * Height;
  for (; Y < std::int64_t(FBounds.Bottom) - Height; Y += Height)
    for (std::int64_t X = FBounds.Left; X < std::int64_t(FBounds.Right) - Width; X += Width) {
      const TPoint P{std::int32_t(X), std::int32_t(Y)};
      if (ContainsPoint(P)) FGridPoints->Add(P);
    }
}

// ---------------------------------------------------------------------------------------------
// TZoneMap

TZoneMap::TZoneMap() = default;

TZoneMap::~TZoneMap() { Clear(); }

std::unique_ptr<TZone> TZoneMap::CreateZone(const std::string& Text) {
  if (!OnCreateZone) return std::make_unique<TZone>(*this, Text);
  std::unique_ptr<TZone> Zone;
  OnCreateZone(this, Zone, Text);
  if (!Zone) throw EZoneMap("The zone creation handler gave no zone");
  return Zone;
}

TZone* TZoneMap::AddZone(std::unique_ptr<TZone> Zone) {
  if (!Zone) throw EZoneMap("No zone to add to the map");
  TZone* Added = Zone.get();
  Added->FListIndex = FZones.size();
  FZones.push_back(std::move(Zone));
  ++FLinkVersion;
  if (OnZoneAdded) OnZoneAdded(this, Added);
  return Added;
}

void TZoneMap::AddLink(TZone* ZoneA, TZone* ZoneB) {
  if (!ZoneA || !ZoneB) throw EZoneMap("A link needs two zones");
  ZoneA->AddNeighbour(ZoneB);
  ZoneB->AddNeighbour(ZoneA);
  ++FLinkVersion;
  FLinks.push_back(std::make_unique<TLink>(ZoneA, ZoneB));
}

void TZoneMap::AddNeighbour(TZone* Zone, TZone* Neighbour) {
  if (!Zone || !Neighbour) throw EZoneMap("A link needs two zones");
  Zone->AddNeighbour(Neighbour);
  ++Zone->FMap->FLinkVersion;
}

void TZoneMap::MakeMutual(TZone* ZoneA, TZone* ZoneB) {
  if (!ZoneA || !ZoneB) throw EZoneMap("A link needs two zones");
  if (!ZoneA->IsNeighbour(ZoneB)) ZoneA->AddNeighbour(ZoneB);
  if (!ZoneB->IsNeighbour(ZoneA)) ZoneB->AddNeighbour(ZoneA);
  ++ZoneA->FMap->FLinkVersion;
  ++ZoneB->FMap->FLinkVersion;
}

void TZoneMap::CheckGrid(const TZone& Zone) const {
  if (Zone.GridPlaces(FGridMarginTop, FGridWidth, FGridHeight) <= MaxGridPlaces) return;
  const TRect& B = Zone.GetBounds();
  throw EZoneMap("A zone of " + std::to_string(std::int64_t(B.Right) - B.Left) + " x " +
                 std::to_string(std::int64_t(B.Bottom) - B.Top) + " pixels is too large for grid slots of " +
                 std::to_string(FGridWidth) + " x " + std::to_string(FGridHeight) + " (more than " +
                 std::to_string(MaxGridPlaces) + " places to test)");
}

void TZoneMap::BuildGrid() {
  if (FGridWidth < 1 || FGridHeight < 1) return;
  for (const auto& Zone : FZones) CheckGrid(*Zone);
  for (const auto& Zone : FZones) Zone->BuildGrid(FGridMarginTop, FGridWidth, FGridHeight);
}

int TZoneMap::AddClearListener(TZoneMapEvent Listener) {
  const int Id = FNextClearListener++;
  FClearListeners.emplace_back(Id, std::move(Listener));
  return Id;
}

void TZoneMap::RemoveClearListener(int Id) {
  std::erase_if(FClearListeners, [Id](const auto& L) { return L.first == Id; });
}

void TZoneMap::Clear() {
  // A copy: a listener may remove itself (or another) while it is told.
  const auto Listeners = FClearListeners;
  for (const auto& L : Listeners)
    if (L.second) L.second(this);
  if (OnClear) OnClear(this);
  FPath.clear();
  FQueue.clear();
  FLinks.clear();
  // First to last, as the zones were made.
  for (auto& Zone : FZones) Zone.reset();
  FZones.clear();
  FExtent = {};
  ++FLinkVersion;
}

void TZoneMap::ReplaceWith(TZoneMap& Loaded) {
  if (&Loaded == this) return;
  Clear();
  FZones = std::move(Loaded.FZones);
  FLinks = std::move(Loaded.FLinks);
  FExtent = Loaded.FExtent;
  Loaded.FZones.clear();
  Loaded.FLinks.clear();
  Loaded.FPath.clear();
  Loaded.FQueue.clear();
  Loaded.FExtent = {};
  ++FLinkVersion;
  for (std::size_t I = 0; I < FZones.size(); ++I) FZones[I]->FListIndex = I;
  for (const auto& Zone : FZones) {
    Zone->FMap = this;
    Zone->FCostSearch = 0;
    Zone->FStepSearch = 0;
  }
  if (OnZoneAdded)
    for (std::size_t I = 0; I < FZones.size(); ++I) OnZoneAdded(this, FZones[I].get());
}

TZone* TZoneMap::GetZone(int I) const {
  if (I < 0 || I >= ZoneCount()) throw EListError::IndexOutOfBounds(I);
  return FZones[static_cast<std::size_t>(I)].get();
}

int TZoneMap::IndexOfZone(const TZone* Zone) const {
  for (std::size_t I = 0; I < FZones.size(); ++I)
    if (FZones[I].get() == Zone) return static_cast<int>(I);
  return -1;
}

TLink* TZoneMap::GetLink(int I) const {
  if (I < 0 || I >= LinkCount()) throw EListError::IndexOutOfBounds(I);
  return FLinks[static_cast<std::size_t>(I)].get();
}

TZone* TZoneMap::FindZoneAt(TPoint P) const {
  for (const auto& Zone : FZones)
    if (Zone->GetBounds().Contains(P) && Zone->ContainsPoint(P)) return Zone.get();
  return nullptr;
}

std::int32_t TZoneMap::StepCost(TZone* Zone1, TZone* Zone2) {
  std::int32_t Cost = Zone1->GetSea() != Zone2->GetSea() ? TerrainChangeStepCost
                      : Zone1->GetSea() != 0             ? SeaStepCost
                                                         : LandStepCost;
  if (FPathCostFunction) {
    FPathCostFunction(FPathCostContext, Zone1, Zone2, Cost);
    if (Cost < 0) Cost = 0;
  } else if (OnPathCost) {
    OnPathCost(this, Zone1, Zone2, Cost);
    if (Cost < 0) Cost = 0;
  }
  return Cost;
}

namespace {

// FindPath's search: a label-correcting search with a first-in first-out queue from A, over
// nodes whose best cost, queue state (0 not seen, 1 queued, 2 taken) and way in are CostOf,
// StateOf and PrevOf; Steps(Z, Step) calls Step(N, cost) for each of Z's steps in order. A
// node's cost is replaced only by a strictly lower one, and a node already taken is queued
// again when a cheaper way to it turns up. Every node starts unseen at the largest cost. The
// search ends early when Done() says so after a node's steps.
template <typename TNode, typename TCostOf, typename TStateOf, typename TPrevOf, typename TSteps, typename TDone>
void FirstInFirstOutSearch(TNode A, std::vector<TNode>& Queue, TCostOf CostOf, TStateOf StateOf, TPrevOf PrevOf, TSteps Steps,
                           TDone Done) {
  Queue.clear();
  std::size_t Head = 0;
  Queue.push_back(A);
  CostOf(A) = 0;
  StateOf(A) = 1;
  while (Head < Queue.size()) {
    const TNode Z = Queue[Head++];
    if (Head == Queue.size()) {
      Queue.clear();
      Head = 0;
    } else if (Head >= 256 && Head * 2 >= Queue.size()) {
      Queue.erase(Queue.begin(), Queue.begin() + std::ptrdiff_t(Head));
      Head = 0;
    }
    StateOf(Z) = 2;
    Steps(Z, [&](TNode N, std::int32_t Step) {
      const std::int64_t Cost = std::int64_t(CostOf(Z)) + Step;
      if (Cost < CostOf(N)) {
        CostOf(N) = std::int32_t(Cost);
        PrevOf(N) = Z;
        if (StateOf(N) != 1) {
          Queue.push_back(N);
          StateOf(N) = 1;
        }
      }
    });
    if (Done()) return;
  }
}

// FindPathCost's search: cheapest first from A, over nodes whose best cost so far is BestOf
// (the largest cost for a node not seen); Steps(Z, Step) calls Step(N, cost) for each of Z's
// steps in order. A node's cost is final when it leaves the heap; later entries for it cost
// more and are passed over. Costs of UnreachablePathCost and more are never kept, as in
// FindPath; the search gives up at the first node that costs Bound or more.
template <typename TNode, typename TBestOf, typename TSteps>
std::int32_t CheapestFirstCost(TNode A, TNode B, std::int64_t Bound, std::vector<std::pair<std::int64_t, TNode>>& Heap, TBestOf BestOf,
                               TSteps Steps) {
  const auto Later = [](const std::pair<std::int64_t, TNode>& X, const std::pair<std::int64_t, TNode>& Y) { return X.first > Y.first; };
  Heap.clear();
  Heap.emplace_back(0, A);
  BestOf(A) = 0;
  while (!Heap.empty()) {
    std::pop_heap(Heap.begin(), Heap.end(), Later);
    // Plain locals, not a structured binding: the step's lambda below captures them.
    const std::int64_t Cost = Heap.back().first;
    const TNode Z = Heap.back().second;
    Heap.pop_back();
    if (Cost != BestOf(Z)) continue;
    if (Cost >= Bound) break;
    if (Z == B) return std::int32_t(Cost);
    Steps(Z, [&](TNode N, std::int32_t Step) {
      const std::int64_t Next = Cost + Step;
      if (Next >= TZoneMap::UnreachablePathCost) return;
      std::int64_t& Best = BestOf(N);
      if (Next < Best) {
        Best = Next;
        Heap.emplace_back(Next, N);
        std::push_heap(Heap.begin(), Heap.end(), Later);
      }
    });
  }
  return TZoneMap::UnreachablePathCost;
}

}  // namespace

void TZoneMap::FindPath(TZone* ZoneA, TZone* ZoneB) {
  FPath.clear();
  if (!ZoneA || !ZoneB) throw EZoneMap("A path needs a start zone and a target zone");
  if (ZoneA == ZoneB) {
    FPath.push_back(ZoneA);
    return;
  }
  SearchPaths(ZoneA, ZoneB);
  WalkBack(ZoneA, ZoneB, [](TZone* Z) { return Z->FPathPrev; });
}

void TZoneMap::SearchPaths(TZone* ZoneA, TZone* ZoneB) {
  auto Reset = [](TZone* Z) {
    Z->FPathPrev = nullptr;
    Z->FPathCost = std::numeric_limits<std::int32_t>::max();
    Z->FPathState = 0;
  };
  for (const auto& Zone : FZones) Reset(Zone.get());
  Reset(ZoneA);
  Reset(ZoneB);

  if (++FPathSearch == 0) {
    // The numbers went round: no zone may keep a number that looks current.
    for (const auto& Zone : FZones) Zone->FStepSearch = 0;
    FPathSearch = 1;
  }
  const std::uint32_t Search = FPathSearch;
  FirstInFirstOutSearch(
      ZoneA, FQueue, [](TZone* Z) -> std::int32_t& { return Z->FPathCost; }, [](TZone* Z) -> std::uint8_t& { return Z->FPathState; },
      [](TZone* Z) -> TZone*& { return Z->FPathPrev; },
      [this, Search](TZone* Z, const auto& Step) {
        // Each step's cost is asked once per search, when the zone is first taken.
        if (Z->FStepSearch != Search || Z->FStepCosts.size() != Z->FNeighbours.size()) {
          Z->FStepSearch = Search;
          Z->FStepCosts.resize(Z->FNeighbours.size());
          for (std::size_t I = 0; I < Z->FNeighbours.size(); ++I) Z->FStepCosts[I] = StepCost(Z, Z->FNeighbours[I]);
        }
        for (std::size_t I = 0; I < Z->FNeighbours.size(); ++I) Step(Z->FNeighbours[I], Z->FStepCosts[I]);
      },
      [] { return false; });
}

template <typename TPrevOf> void TZoneMap::WalkBack(TZone* ZoneA, TZone* ZoneB, TPrevOf PrevOf) {
  // Back from ZoneB to ZoneA. No way to ZoneB leaves the path empty; the walk is bounded so
  // that it ends even if the search's links were changed under it.
  FPath.clear();
  FPath.push_back(ZoneB);
  const std::size_t Limit = FZones.size() + 2;
  for (TZone* Z = ZoneB; Z != ZoneA;) {
    Z = PrevOf(Z);
    if (!Z || FPath.size() > Limit) {
      FPath.clear();
      return;
    }
    FPath.push_back(Z);
  }
  std::reverse(FPath.begin(), FPath.end());
}

void TZoneMap::FillStepCostTable(TStepCostTable& Table) {
  Table.LinkVersion = FLinkVersion;
  Table.Start.clear();
  Table.Cost.clear();
  Table.Target.clear();
  for (const auto& Zone : FZones)
    for (const TZone* N : Zone->FNeighbours)
      if (N->FMap != this || N->GetIndex() < 0) return;
  Table.Start.reserve(FZones.size() + 1);
  for (const auto& Zone : FZones) {
    Table.Start.push_back(static_cast<std::int32_t>(Table.Cost.size()));
    for (TZone* N : Zone->FNeighbours) {
      Table.Cost.push_back(StepCost(Zone.get(), N));
      Table.Target.push_back(N->GetIndex());
    }
  }
  Table.Start.push_back(static_cast<std::int32_t>(Table.Cost.size()));
}

void TZoneMap::FindPathTree(TZone* ZoneA, TPathTree& Tree, const TStepCostTable* Costs) {
  const int Start = ZoneA && ZoneA->FMap == this ? ZoneA->GetIndex() : -1;
  if (Start < 0) throw EZoneMap("A path tree needs a start zone of the map");
  if (Costs && (Costs->LinkVersion != FLinkVersion || Costs->Start.size() != FZones.size() + 1))
    throw EZoneMap("A step cost table must be of the map's present links");
  Tree.Start = Start;
  if (Costs) {
    TableSearch(Start, -1, 0, *Costs, Tree.Cost, Tree.Prev);
    return;
  }
  Tree.Prev.resize(FZones.size());
  Tree.Cost.resize(FZones.size());
  SearchPaths(ZoneA, ZoneA);
  for (std::size_t I = 0; I < FZones.size(); ++I) {
    const TZone* Z = FZones[I].get();
    Tree.Prev[I] = Z->FPathPrev ? Z->FPathPrev->GetIndex() : -1;
    Tree.Cost[I] = Z->FPathCost;
  }
}

void TZoneMap::SetPathFromTree(const TPathTree& Tree, TZone* ZoneB) {
  const int Target = ZoneB && ZoneB->FMap == this ? ZoneB->GetIndex() : -1;
  if (Tree.Start < 0 || std::size_t(Tree.Start) >= FZones.size() || Tree.Prev.size() != FZones.size() || Target < 0)
    throw EZoneMap("A path from a tree needs the tree's map and a target zone of it");
  TZone* ZoneA = FZones[std::size_t(Tree.Start)].get();
  if (ZoneA == ZoneB) {
    FPath.assign(1, ZoneA);
    return;
  }
  WalkBack(ZoneA, ZoneB, [this, &Tree](TZone* Z) {
    const std::int32_t P = Tree.Prev[std::size_t(Z->GetIndex())];
    return P < 0 ? nullptr : FZones[std::size_t(P)].get();
  });
}

void TZoneMap::TableSearch(std::int32_t Start, std::int32_t Target, std::int32_t TargetCost, const TStepCostTable& Costs,
                           std::vector<std::int32_t>& Cost, std::vector<std::int32_t>& Prev) {
  // FindPath's search on the zones' numbers: the table holds every step, so no zone is visited.
  Cost.assign(FZones.size(), UnreachablePathCost);
  Prev.assign(FZones.size(), -1);
  FTreeState.assign(FZones.size(), 0);
  FirstInFirstOutSearch(
      Start, FTreeQueue, [&Cost](std::int32_t Z) -> std::int32_t& { return Cost[std::size_t(Z)]; },
      [this](std::int32_t Z) -> std::uint8_t& { return FTreeState[std::size_t(Z)]; },
      [&Prev](std::int32_t Z) -> std::int32_t& { return Prev[std::size_t(Z)]; },
      [&Costs](std::int32_t Z, const auto& Step) {
        for (std::int32_t I = Costs.Start[std::size_t(Z)]; I < Costs.Start[std::size_t(Z) + 1]; ++I)
          Step(Costs.Target[std::size_t(I)], Costs.Cost[std::size_t(I)]);
      },
      // A zone's way in changes only for a strictly cheaper one: once the target holds the
      // cheapest cost, it and every zone of its way back hold theirs, and the way is the one
      // the whole search would leave.
      [&] { return Target >= 0 && Cost[std::size_t(Target)] == TargetCost; });
}

std::int32_t TZoneMap::TableCost(std::int32_t Start, std::int32_t Target, const TStepCostTable& Costs) {
  // Cheapest first, stopping at the target, as FindPathCost.
  FTreeBest.assign(FZones.size(), std::numeric_limits<std::int64_t>::max());
  return CheapestFirstCost(
      Start, Target, UnreachablePathCost, FTreeHeap, [this](std::int32_t Z) -> std::int64_t& { return FTreeBest[std::size_t(Z)]; },
      [&Costs](std::int32_t Z, const auto& Step) {
        for (std::int32_t I = Costs.Start[std::size_t(Z)]; I < Costs.Start[std::size_t(Z) + 1]; ++I)
          Step(Costs.Target[std::size_t(I)], Costs.Cost[std::size_t(I)]);
      });
}

void TZoneMap::FindPath(TZone* ZoneA, TZone* ZoneB, const TStepCostTable& Costs) {
  const int Start = ZoneA && ZoneA->FMap == this ? ZoneA->GetIndex() : -1;
  const int Target = ZoneB && ZoneB->FMap == this ? ZoneB->GetIndex() : -1;
  if (Start < 0 || Target < 0) throw EZoneMap("A path by a step cost table needs a start zone and a target zone of the map");
  if (Costs.LinkVersion != FLinkVersion || Costs.Start.size() != FZones.size() + 1)
    throw EZoneMap("A step cost table must be of the map's present links");
  FPath.clear();
  if (ZoneA == ZoneB) {
    FPath.push_back(ZoneA);
    return;
  }
  const std::int32_t Best = TableCost(Start, Target, Costs);
  if (Best == UnreachablePathCost) return;
  TableSearch(Start, Target, Best, Costs, FTreeCost, FTreePrev);
  WalkBack(ZoneA, ZoneB, [this](TZone* Z) {
    const std::int32_t P = FTreePrev[std::size_t(Z->GetIndex())];
    return P < 0 ? nullptr : FZones[std::size_t(P)].get();
  });
}

std::int32_t TZoneMap::FindPathCost(TZone* ZoneA, TZone* ZoneB, std::int64_t Limit) {
  if (!ZoneA || !ZoneB) throw EZoneMap("A path needs a start zone and a target zone");
  if (ZoneA == ZoneB) return 0;
  if (++FCostSearch == 0) {
    // The numbers went round: no zone may keep a number that looks current.
    for (const auto& Zone : FZones) Zone->FCostSearch = 0;
    FCostSearch = 1;
  }
  const std::uint32_t Search = FCostSearch;
  return CheapestFirstCost(
      ZoneA, ZoneB, std::min<std::int64_t>(Limit, UnreachablePathCost), FHeap,
      [Search](TZone* Z) -> std::int64_t& {
        // A zone's cost found is good only for the search that numbered it.
        if (Z->FCostSearch != Search) {
          Z->FCostSearch = Search;
          Z->FCostFound = std::numeric_limits<std::int64_t>::max();
        }
        return Z->FCostFound;
      },
      [this](TZone* Z, const auto& Step) {
        for (TZone* N : Z->FNeighbours) Step(N, StepCost(Z, N));
      });
}

TZone* TZoneMap::GetPathZone(int I) const {
  if (I < 0 || I >= PathCount()) throw EListError::IndexOutOfBounds(I);
  return FPath[static_cast<std::size_t>(I)];
}

std::int32_t TZoneMap::PathCost() {
  if (FPath.empty()) return UnreachablePathCost;
  std::int64_t Sum = 0;
  for (std::size_t I = 1; I < FPath.size(); ++I) {
    Sum += StepCost(FPath[I - 1], FPath[I]);
    if (Sum >= UnreachablePathCost) return UnreachablePathCost;
  }
  return std::int32_t(Sum);
}
