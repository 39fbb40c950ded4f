#pragma once
// The map of land and sea zones without pixels: the zones (polygons in map coordinates, name,
// sea flag, neighbours, grid slots), the links between them, the hit test, the grid and the
// cheapest path of zones between two zones. The rules engine's zone class derives from TZone
// and is made through OnCreateZone, so the rules, the computer players and the map's windows
// share one set of zone objects. The zone map surface draws these zones; a zone only keeps a
// pointer to its zone sprite, which the surface's zone engine owns.
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"
#include "foundation/PointList.h"

// Raised for a zone or a zone map that cannot be made as asked.
class EZoneMap : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

class TZoneMap;
class TZoneSprite;

// One edge of a zone's outline: from corner (X1, Y1) to corner (X2, Y2).
struct TZoneEdge {
  std::int32_t X1 = 0;
  std::int32_t Y1 = 0;
  std::int32_t X2 = 0;
  std::int32_t Y2 = 0;
  friend bool operator==(const TZoneEdge&, const TZoneEdge&) = default;
};

// The size of the map in map coordinates: the right and bottom edges of its farthest
// background elements. Both are 0 for a map without elements.
struct TMapExtent {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  friend bool operator==(const TMapExtent&, const TMapExtent&) = default;
};

class TZone {
public:
  // Reads a zone line's value "x1,y1,x2,y2,...;name;sea;n1#n2#...#": the corners X then Y
  // (a lone last number is not used; a number that cannot be read counts as 0), the name,
  // the sea value (0 land, 1 sea; stored as a byte as read) and the neighbour text, kept
  // unchanged until the map set's loader resolves it. Raises EZoneMap "A zone needs at least
  // 3 corners (N given)" for fewer than three corners.
  TZone(TZoneMap& Map, const std::string& Text);
  virtual ~TZone();
  TZone(const TZone&) = delete;
  TZone& operator=(const TZone&) = delete;

  // The palette index of the zone's outline: the map's ColorIndexSea when Sea is nonzero,
  // else its ColorIndexLand.
  virtual std::uint16_t GetColorIndex() const;

  TZoneMap& GetMap() const { return *FMap; }
  // The zone's position in its map's zone list, -1 when it is not in it.
  int GetIndex() const;

  int PointCount() const { return static_cast<int>(FPoints.size()); }
  // Corner I; an index outside the corners raises EListError.
  void GetPoint(int I, TPoint& P) const { P = Point(I); }
  TPoint Point(int I) const;
  const std::vector<TPoint>& GetPoints() const { return FPoints; }
  // Edge I: corner I to corner I + 1, the last edge closing to corner 0.
  TZoneEdge GetEdge(int I) const;
  // The two edges have the same end points, in the same or the opposite order.
  static bool SameEdge(const TZoneEdge& E1, const TZoneEdge& E2);

  // Left, Top: the smallest X, Y of the corners; Right, Bottom: the largest (the corner
  // itself, so TRect::Contains leaves the right and bottom edges out, as the hit test does).
  const TRect& GetBounds() const { return FBounds; }
  std::int32_t GetCenterX() const { return FCenterX; }
  std::int32_t GetCenterY() const { return FCenterY; }
  // The point (X, Y) lies inside the polygon by the even-odd rule. A point stands for the
  // pixel whose top left corner it is: it is inside when the middle of that pixel is, so a
  // zone covers the pixels on its left and top edges and none on its right and bottom ones,
  // and two zones sharing an edge never both hold a point of it.
  bool ContainsPoint(TPoint P) const;

  const std::string& GetName() const { return FName; }
  std::uint8_t GetSea() const { return FSea; }
  // Also counts as a change of the map's links (the built-in step costs read the sea value).
  void SetSea(std::uint8_t Value);
  const std::string& GetNeighbourText() const { return FNeighbourText; }

  // The neighbours in the order they were added; a zone may stand twice (a Link line and the
  // neighbour text both naming it), and then counts twice.
  int NeighbourCount() const { return static_cast<int>(FNeighbours.size()); }
  // Neighbour I; an index outside the list raises EListError.
  TZone* GetNeighbour(int I) const;
  const std::vector<TZone*>& GetNeighbours() const { return FNeighbours; }
  bool IsNeighbour(const TZone* Zone) const;
  // A land zone with a sea neighbour: false when Sea is 1, else true when a neighbour's Sea is 1.
  bool IsCoastal() const;

  // How many places the grid tests inside the zone's bounds for these steps (rows times
  // columns, 0 for a step below 1, held at the 64-bit limit): the grid's cost.
  std::int64_t GridPlaces(std::int32_t MarginTop, std::int32_t Width, std::int32_t Height) const;

  // The grid slots, row by row, top to bottom, left to right; 0 until the grid is built.
  int GridPointCount() const { return FGridPoints ? FGridPoints->Count() : 0; }
  // Slot I; an index outside the slots raises EListError.
  void GetGridPoint(int I, TPoint& P) const;
  // The slot list, or nullptr until the grid is first built.
  const TPointList* GetGridPoints() const { return FGridPoints.get(); }

  // The path search's state (the last search's values stay until the next one): the best
  // cost found from the start zone, 0 not seen / 1 queued / 2 taken from the queue, and the
  // zone from which the best cost was reached.
  std::int32_t GetPathCost() const { return FPathCost; }
  void SetPathCost(std::int32_t Value) { FPathCost = Value; }
  std::uint8_t GetPathState() const { return FPathState; }
  void SetPathState(std::uint8_t Value) { FPathState = Value; }
  TZone* GetPathPrev() const { return FPathPrev; }
  void SetPathPrev(TZone* Value) { FPathPrev = Value; }

  // The zone's sprite (owned by the map surface's zone engine, not by the zone), or nullptr.
  TZoneSprite* GetZoneSprite() const { return FZoneSprite; }
  void SetZoneSprite(TZoneSprite* Value) { FZoneSprite = Value; }

private:
  friend class TZoneMap;
  void AddNeighbour(TZone* Zone) { FNeighbours.push_back(Zone); }
  void BuildGrid(std::int32_t MarginTop, std::int32_t Width, std::int32_t Height);

  std::vector<TPoint> FPoints;
  TZoneMap* FMap;
  std::vector<TZone*> FNeighbours;
  TRect FBounds;
  std::int32_t FCenterX = 0;
  std::int32_t FCenterY = 0;
  std::int32_t FPathCost = 0;
  std::uint8_t FPathState = 0;
  TZone* FPathPrev = nullptr;
  // The cost-only search's state: the best cost found, valid while FCostSearch is the map's
  // search number (so a search need not clear every zone first).
  std::int64_t FCostFound = 0;
  std::uint32_t FCostSearch = 0;
  // FindPath's step costs into the neighbours (in their order), asked once per search when
  // the zone is first taken from the queue: valid while FStepSearch is the map's path search.
  std::vector<std::int32_t> FStepCosts;
  std::uint32_t FStepSearch = 0;
  // The zone's last known position in its map's zone list (GetIndex checks it before use).
  std::size_t FListIndex = 0;
  std::unique_ptr<TPointList> FGridPoints;
  std::string FName;
  std::uint8_t FSea = 0;
  std::string FNeighbourText;
  TZoneSprite* FZoneSprite = nullptr;
};

// One Link line of a map set: the two zones it joined.
class TLink {
public:
  TLink(TZone* ZoneA, TZone* ZoneB) : FZoneA(ZoneA), FZoneB(ZoneB) {}
  TZone* GetZoneA() const { return FZoneA; }
  TZone* GetZoneB() const { return FZoneB; }

private:
  TZone* FZoneA;
  TZone* FZoneB;
};

// Sender is the map; S the Zone line's value. The handler makes a TZone, or a descendant
// constructed through TZone(*Sender, S), and hands it over in AZone (empty on entry).
using TCreateZoneEvent = std::function<void(TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S)>;
// A zone has joined the map's zone list (the map surface gives it its zone sprite here).
using TZoneEvent = std::function<void(TZoneMap* Sender, TZone* AZone)>;
// The map is about to free its zones (Clear, ReplaceWith, the destructor).
using TZoneMapEvent = std::function<void(TZoneMap* Sender)>;
// The cost of one step of a path, from Zone1 (being left) into the adjacent Zone2 (being
// entered). Cost holds the built-in step cost on entry; the handler sets the step's cost.
using TPathEvent = std::function<void(TZoneMap* Sender, TZone* Zone1, TZone* Zone2, std::int32_t& Cost)>;
// The same step cost as a plain function with its context: the rules ask it for every step of
// every search, where a call through TPathEvent costs more than the answer.
using TPathCostFunction = void (*)(void* Context, TZone* Zone1, TZone* Zone2, std::int32_t& Cost);

// What one FindPath search from a start zone leaves for every zone of the map, by the zones'
// list positions: the zone it was reached from (-1 for none, and for the start) and its cost
// (UnreachablePathCost when it was never reached). The search does not depend on the target,
// so one tree answers the path to every target for as long as the step costs stay the same.
struct TPathTree {
  std::int32_t Start = -1;
  std::vector<std::int32_t> Prev;
  std::vector<std::int32_t> Cost;
};

// The step cost of every neighbour step of a map as StepCost answered it: zone I's steps (in
// its neighbour order) from Cost[Start[I]] on. Good for the map's links of LinkVersion and for
// as long as what the step cost reads stays the same; empty when a zone has a neighbour
// outside the map.
struct TStepCostTable {
  std::uint64_t LinkVersion = 0;
  std::vector<std::int32_t> Start;
  std::vector<std::int32_t> Cost;
  // The zone each step enters.
  std::vector<std::int32_t> Target;
};

class TZoneMap {
public:
  // What PathCost answers when the path list is empty: the last FindPath found no way to its
  // target zone (or no search has run). It is the largest 32-bit cost, so every "cheaper
  // than" test of the rules reads it as unreachable; FindPath(A, A) is the path [A], cost 0.
  static constexpr std::int32_t UnreachablePathCost = std::numeric_limits<std::int32_t>::max();
  // The built-in step costs: into a zone of the other terrain, sea to sea, land to land.
  static constexpr std::int32_t TerrainChangeStepCost = 1000;
  static constexpr std::int32_t SeaStepCost = 1;
  static constexpr std::int32_t LandStepCost = 10;
  // The most places the grid may test in one zone. A zone far larger than any map (a stray
  // corner of a hand-edited line) would otherwise keep the grid busy for hours and fill the
  // memory with slots; at the game's steps of 20 x 26 this allows zones of 20000 x 27000.
  static constexpr std::int64_t MaxGridPlaces = std::int64_t(1) << 20;

  TZoneMap();
  ~TZoneMap();
  TZoneMap(const TZoneMap&) = delete;
  TZoneMap& operator=(const TZoneMap&) = delete;

  // Palette indexes of land and sea outlines (the game's map uses 62 and 156).
  std::uint16_t GetColorIndexLand() const { return FColorIndexLand; }
  void SetColorIndexLand(std::uint16_t Value) { FColorIndexLand = Value; }
  std::uint16_t GetColorIndexSea() const { return FColorIndexSea; }
  void SetColorIndexSea(std::uint16_t Value) { FColorIndexSea = Value; }
  // The grid: the first row's distance below a zone's first corner, the horizontal and the
  // vertical step (the game's map uses 16, 20 and 26). They take effect at the next BuildGrid.
  std::int32_t GetGridMarginTop() const { return FGridMarginTop; }
  void SetGridMarginTop(std::int32_t Value) { FGridMarginTop = Value; }
  std::int32_t GetGridWidth() const { return FGridWidth; }
  void SetGridWidth(std::int32_t Value) { FGridWidth = Value; }
  std::int32_t GetGridHeight() const { return FGridHeight; }
  void SetGridHeight(std::int32_t Value) { FGridHeight = Value; }

  // The map's extent as its last load computed it (0 x 0 for a map without elements, so
  // anything that divides by it must check it first).
  TMapExtent GetExtent() const { return FExtent; }
  void SetExtent(TMapExtent Value) { FExtent = Value; }

  TCreateZoneEvent OnCreateZone;
  TZoneEvent OnZoneAdded;
  TPathEvent OnPathCost;
  // A step cost function that takes OnPathCost's place while it is set (nullptr clears it).
  void SetPathCostFunction(TPathCostFunction Function, void* Context) {
    FPathCostFunction = Function;
    FPathCostContext = Context;
  }
  TPathCostFunction GetPathCostFunction() const { return FPathCostFunction; }
  void* GetPathCostContext() const { return FPathCostContext; }
  // Fired by Clear (and so by ReplaceWith and the destructor) while the zones are still
  // whole, before they are freed: whatever points to them (the map surface's zone sprites)
  // lets go of them here.
  TZoneMapEvent OnClear;
  // More parties than the surface need to let go of the zones before they are freed: the
  // rules engine holds units in them and nations' capitals on them. Each listener is told by
  // Clear (and so by ReplaceWith and the destructor) while the zones are still whole, before
  // OnClear, in the order they were added. AddClearListener gives the listener's number for
  // RemoveClearListener (a number of no listener is ignored).
  int AddClearListener(TZoneMapEvent Listener);
  void RemoveClearListener(int Id);

  // A zone made from a Zone line's value: through OnCreateZone when it is assigned (raises
  // EZoneMap when the handler gives none), else a plain TZone. It is not added to the map.
  std::unique_ptr<TZone> CreateZone(const std::string& Text);
  // Appends the zone to the zone list, then fires OnZoneAdded. Raises EZoneMap for nullptr.
  TZone* AddZone(std::unique_ptr<TZone> Zone);
  // ZoneB joins ZoneA's neighbours and ZoneA joins ZoneB's, whether or not they are already
  // there, and the link is recorded.
  void AddLink(TZone* ZoneA, TZone* ZoneB);
  // Neighbour joins Zone's neighbours, one way and whether or not it is there already (what a
  // zone's neighbour text does).
  static void AddNeighbour(TZone* Zone, TZone* Neighbour);
  // ZoneB joins ZoneA's neighbours unless it is there, then ZoneA joins ZoneB's unless it is.
  static void MakeMutual(TZone* ZoneA, TZone* ZoneB);
  // Fills every zone's grid slots afresh (nothing when GridWidth or GridHeight is below 1):
  // rows from the first corner's Y + GridMarginTop while y < Bottom - GridHeight, columns
  // from Left while x < Right - GridWidth, keeping the points inside the zone. A zone with
  // more than MaxGridPlaces places raises EZoneMap (CheckGrid) before any zone changes.
  void BuildGrid();
  // Raises EZoneMap "A zone of W x H pixels is too large for grid slots of GW x GH (more
  // than N places to test)" when the zone's grid would test more than MaxGridPlaces places.
  void CheckGrid(const TZone& Zone) const;
  // Frees every link and every zone and empties the path list; the extent becomes 0 x 0.
  void Clear();
  // Replaces this map's zones, links and extent by those of Loaded, which is left empty (the
  // map set loader reads into a map of its own and hands it over only when the whole file
  // has loaded). The zones are this map's from then on; OnZoneAdded fires for each in order.
  void ReplaceWith(TZoneMap& Loaded);

  int ZoneCount() const { return static_cast<int>(FZones.size()); }
  // Zone I; an index outside the list raises EListError.
  TZone* GetZone(int I) const;
  int IndexOfZone(const TZone* Zone) const;
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  // Link I; an index outside the list raises EListError.
  TLink* GetLink(int I) const;

  // The first zone in list order whose Bounds (right and bottom edges excluded) and polygon
  // hold the point; nullptr when none does.
  TZone* FindZoneAt(TPoint P) const;

  // The cheapest path of zones from ZoneA to ZoneB into the path list (ZoneA first, ZoneB
  // last), by a label-correcting search with a first-in first-out queue: neighbours in list
  // order (twice when listed twice), a zone's cost replaced only by a strictly lower one, and
  // a zone already taken from the queue queued again when a cheaper way to it turns up. Of
  // two equally cheap paths the one found first stays. Each step's cost is asked once per
  // search (OnPathCost must answer alike while the search runs). A zone that cannot be reached leaves
  // the path list empty. Raises EZoneMap for a missing zone.
  void FindPath(TZone* ZoneA, TZone* ZoneB);
  // The cost of the cheapest path from ZoneA to ZoneB, the same cost that FindPath and then
  // PathCost give, by a cheapest-first search that stops as soon as ZoneB is taken (or, when
  // the cheapest zone left costs Limit or more, answers UnreachablePathCost: for the callers
  // that only ask whether a path cheaper than Limit exists). It leaves the path list and the
  // zones' path state alone. Raises EZoneMap for a missing zone.
  std::int32_t FindPathCost(TZone* ZoneA, TZone* ZoneB, std::int64_t Limit = UnreachablePathCost);
  // FindPath's search from ZoneA, kept as a tree (ZoneA must be in the zone list; raises
  // EZoneMap otherwise). Without Costs the zones' path state is left as FindPath leaves it.
  // With Costs (a table of this map's present links; see FillStepCostTable) the search reads
  // the step costs there instead of asking them and leaves the zones' path state alone.
  void FindPathTree(TZone* ZoneA, TPathTree& Tree, const TStepCostTable* Costs = nullptr);
  // Asks StepCost for every neighbour step of the map, in zone and neighbour order.
  void FillStepCostTable(TStepCostTable& Table);
  // The path list that FindPath(ZoneA, ZoneB) gives, with the step costs of the table (of the
  // map's present links): the cheapest cost first, then the search only until ZoneB holds it.
  // Raises EZoneMap for a zone outside the map or a table of other links.
  void FindPath(TZone* ZoneA, TZone* ZoneB, const TStepCostTable& Costs);
  // Into the path list the path that FindPath(start, ZoneB) gives, read from a tree that the
  // map's present links and step costs would search alike (ZoneB must be in the zone list).
  void SetPathFromTree(const TPathTree& Tree, TZone* ZoneB);
  // Counts every change of the zones, their links and their sea values: a kept tree is good
  // only while this number (and what the step cost reads) stays the same.
  std::uint64_t GetLinkVersion() const { return FLinkVersion; }
  int PathCount() const { return static_cast<int>(FPath.size()); }
  // Zone I of the path list; an index outside the list raises EListError.
  TZone* GetPathZone(int I) const;
  const std::vector<TZone*>& GetPath() const { return FPath; }
  // The summed step costs along the path list: 0 for a path of one zone, UnreachablePathCost
  // for an empty path list; a sum beyond 32 bits is held at UnreachablePathCost.
  std::int32_t PathCost();
  // The cost of the step from Zone1 into Zone2: OnPathCost's when assigned (a negative cost
  // counts as 0, so that no search can run in circles; the step cost function's when that is
  // set, in the same way), else the built-in cost: 1000 when the
  // Sea values differ, 1 between sea zones, 10 between land zones.
  std::int32_t StepCost(TZone* Zone1, TZone* Zone2);

private:
  std::uint16_t FColorIndexLand = 0;
  std::uint16_t FColorIndexSea = 0;
  std::int32_t FGridMarginTop = 0;
  std::int32_t FGridWidth = 0;
  std::int32_t FGridHeight = 0;
  TMapExtent FExtent;
  std::vector<std::pair<int, TZoneMapEvent>> FClearListeners;
  int FNextClearListener = 1;
  std::vector<std::unique_ptr<TZone>> FZones;
  std::vector<std::unique_ptr<TLink>> FLinks;
  std::vector<TZone*> FPath;
  // The search queues and the tree search's queue states. Kept between searches so that a
  // search allocates nothing once they have grown.
  std::vector<TZone*> FQueue;
  std::vector<std::int32_t> FTreeQueue;
  std::vector<std::uint8_t> FTreeState;
  std::vector<std::int32_t> FTreeCost;
  std::vector<std::int32_t> FTreePrev;
  std::vector<std::int64_t> FTreeBest;
  std::vector<std::pair<std::int64_t, std::int32_t>> FTreeHeap;
  // FindPath's search on the zones' numbers with a table's step costs into Cost and Prev; with
  // a Target (not -1) it ends once the target holds TargetCost, its cheapest cost.
  void TableSearch(std::int32_t Start, std::int32_t Target, std::int32_t TargetCost, const TStepCostTable& Costs,
                   std::vector<std::int32_t>& Cost, std::vector<std::int32_t>& Prev);
  // The cheapest cost from Start to Target under the table (UnreachablePathCost for none).
  std::int32_t TableCost(std::int32_t Start, std::int32_t Target, const TStepCostTable& Costs);
  // The cost-only search's heap of (cost, zone) and its search number.
  std::vector<std::pair<std::int64_t, TZone*>> FHeap;
  std::uint32_t FCostSearch = 0;
  TPathCostFunction FPathCostFunction = nullptr;
  void* FPathCostContext = nullptr;
  // FindPath's search number (for the zones' stored step costs).
  std::uint32_t FPathSearch = 0;
  std::uint64_t FLinkVersion = 0;
  friend class TZone;
  // FindPath's search from ZoneA into the zones' path state.
  void SearchPaths(TZone* ZoneA, TZone* ZoneB);
  // The path list back from ZoneB to ZoneA by PrevOf (empty when the way breaks off or runs
  // longer than the zone list).
  template <typename TPrevOf> void WalkBack(TZone* ZoneA, TZone* ZoneB, TPrevOf PrevOf);
};
