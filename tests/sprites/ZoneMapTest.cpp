#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "foundation/ListError.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

namespace {

// Six zones: two land squares and a concave (L-shaped) land zone between them, two sea zones
// (the second overlapping the first and lying in the L's notch), and an island that nothing
// links to. Zone 0 names zone 1 in its neighbour text and a Link line joins them too, so each
// stands twice in the other's neighbours; the Link 3,0 joins two zones neither text names.
const char* const FixtureText =
    "Zone=0,0,100,0,100,100,0,100;Alba;0;1#2#\n"
    "Zone=100,0,200,0,200,40,140,40,140,100,100,100;Brae;0;0#4#\n"
    "Zone=0,100,200,100,200,160,0,160;North Sea;1;0#3#\n"
    "Zone=150,200,150,60,260,60,260,200;Channel;1;2#4\n"
    "Zone=260,0,360,0,360,100,260,100;Dunmore;0;1#3#\n"
    "Zone=400,300,450,300,450,350;Isle;0;\n"
    "Link=0,1\n"
    "Link=3,0\n";

class ZoneMapFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Map.SetColorIndexLand(62);
    Map.SetColorIndexSea(156);
    Map.SetGridMarginTop(16);
    Map.SetGridWidth(20);
    Map.SetGridHeight(26);
    LoadZoneMap(Map, TMapSet::Parse(FixtureText, "fixture.map"));
    ASSERT_EQ(Map.ZoneCount(), 6);
  }
  TZone* Z(int I) { return Map.GetZone(I); }
  std::vector<int> Indexes(const std::vector<TZone*>& Zones) {
    std::vector<int> Result;
    for (TZone* Zone : Zones) Result.push_back(Zone->GetIndex());
    return Result;
  }
  std::vector<TPoint> Grid(int I) {
    std::vector<TPoint> Points;
    for (int J = 0; J < Z(I)->GridPointCount(); ++J) {
      TPoint P;
      Z(I)->GetGridPoint(J, P);
      Points.push_back(P);
    }
    return Points;
  }
  TZoneMap Map;
};

// A zone made by code: the value of a Zone line.
std::unique_ptr<TZone> MakeZone(TZoneMap& Map, const std::string& Text) { return std::make_unique<TZone>(Map, Text); }

}  // namespace

TEST(ZoneText, CornersNameSeaAndNeighbourText) {
  TZoneMap Map;
  // Seven numbers are three corners; the lone last number is not used.
  TZone A(Map, "0,0,10,0,10,10,5;Tri;1;3#7#12#");
  ASSERT_EQ(A.PointCount(), 3);
  EXPECT_EQ(A.Point(2), (TPoint{10, 10}));
  EXPECT_EQ(A.GetName(), "Tri");
  EXPECT_EQ(A.GetSea(), 1);
  EXPECT_EQ(A.GetNeighbourText(), "3#7#12#");
  EXPECT_EQ(A.GetBounds(), (TRect{0, 0, 10, 10}));
  EXPECT_EQ(A.GetGridPoints(), nullptr);
  EXPECT_EQ(A.GridPointCount(), 0);
  // Numbers that cannot be read count as 0; the centre divides by two, truncating.
  TZone B(Map, "1,1,x,1,4,6;Odd;sea");
  EXPECT_EQ(B.Point(1), (TPoint{0, 1}));
  EXPECT_EQ(B.GetSea(), 0);
  EXPECT_EQ(B.GetNeighbourText(), "");
  EXPECT_EQ(B.GetBounds(), (TRect{0, 1, 4, 6}));
  EXPECT_EQ(B.GetCenterX(), 2);
  EXPECT_EQ(B.GetCenterY(), 3);
  EXPECT_THROW(B.Point(3), EListError);
  EXPECT_THROW(B.GetNeighbour(0), EListError);
  TPoint P;
  EXPECT_THROW(B.GetGridPoint(0, P), EListError);
}

TEST(ZoneText, FewerThanThreeCornersAreRefused) {
  TZoneMap Map;
  for (const char* Text : {"0,0,10,0,10;Two;0;", ";Nothing;0;", "", "0,0,10,10"}) {
    SCOPED_TRACE(Text);
    EXPECT_THROW(TZone(Map, Text), EZoneMap);
  }
  try {
    TZone(Map, "0,0,10,0,10;Two;0;");
    FAIL();
  } catch (const EZoneMap& E) {
    EXPECT_STREQ(E.what(), "A zone needs at least 3 corners (2 given)");
  }
}

TEST_F(ZoneMapFixture, NeighboursKeepDuplicatesAndLinksGoBothWays) {
  EXPECT_EQ(Indexes(Z(0)->GetNeighbours()), (std::vector<int>{1, 3, 1, 2}));
  EXPECT_EQ(Z(0)->NeighbourCount(), 4);
  EXPECT_EQ(Indexes(Z(1)->GetNeighbours()), (std::vector<int>{0, 0, 4}));
  EXPECT_EQ(Indexes(Z(3)->GetNeighbours()), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(Z(5)->NeighbourCount(), 0);
  EXPECT_TRUE(Z(3)->IsNeighbour(Z(0)));
  EXPECT_TRUE(Z(0)->IsNeighbour(Z(3)));
  EXPECT_FALSE(Z(0)->IsNeighbour(Z(4)));
  ASSERT_EQ(Map.LinkCount(), 2);
  EXPECT_EQ(Map.GetLink(1)->GetZoneA(), Z(3));
  EXPECT_EQ(Map.GetLink(1)->GetZoneB(), Z(0));

  EXPECT_TRUE(Z(0)->IsCoastal());
  EXPECT_FALSE(Z(1)->IsCoastal());
  EXPECT_TRUE(Z(4)->IsCoastal());
  EXPECT_FALSE(Z(2)->IsCoastal());
  EXPECT_EQ(Z(0)->GetColorIndex(), 62);
  EXPECT_EQ(Z(2)->GetColorIndex(), 156);
  EXPECT_EQ(Z(5)->GetIndex(), 5);
  TZone Stray(Map, "0,0,1,0,1,1;Stray;0;");
  EXPECT_EQ(Stray.GetIndex(), -1);
}

TEST_F(ZoneMapFixture, EdgesCloseTheOutlineAndSharedEdgesMatch) {
  EXPECT_EQ(Z(0)->GetEdge(3), (TZoneEdge{0, 100, 0, 0}));
  // Alba's right edge is Brae's left edge, walked the other way.
  EXPECT_TRUE(TZone::SameEdge(Z(0)->GetEdge(1), Z(1)->GetEdge(5)));
  EXPECT_TRUE(TZone::SameEdge(Z(0)->GetEdge(1), Z(0)->GetEdge(1)));
  EXPECT_FALSE(TZone::SameEdge(Z(0)->GetEdge(0), Z(0)->GetEdge(1)));
  EXPECT_FALSE(TZone::SameEdge({0, 0, 5, 5}, {0, 5, 5, 0}));
  EXPECT_THROW(Z(0)->GetEdge(4), EListError);
}

TEST_F(ZoneMapFixture, HitTestTakesTheFirstZoneInListOrder) {
  struct Case {
    TPoint P;
    int Zone;
  };
  const Case Cases[] = {
      {{50, 50}, 0},    {{0, 0}, 0},      // the top left corner belongs to the zone
      {{99, 99}, 0},    {{100, 50}, 1},   // the right edge belongs to the zone beside it
      {{0, 100}, 2},                      // and so does the bottom edge
      {{170, 20}, 1},   {{170, 80}, 3},   // in Brae's bounds but in its notch: the sea below
      {{170, 120}, 2},                    // North Sea and Channel overlap: the earlier zone
      {{230, 120}, 3},  {{200, 50}, -1},  {{360, 50}, -1}, {{0, 160}, -1}, {{-1, 0}, -1},
      {{420, 310}, 5},  {{410, 330}, -1},  // the island is a triangle: in bounds, beside its slope
      {{420, 320}, 5},                     // on the slope, its left-hand edge
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.P.X << "," << C.P.Y);
    TZone* Hit = Map.FindZoneAt(C.P);
    EXPECT_EQ(Hit ? Hit->GetIndex() : -1, C.Zone);
  }
}

TEST(ZonePolygon, EvenOddRuleAndExtremeCoordinates) {
  TZoneMap Map;
  // A star drawn in one stroke: its middle is crossed twice, so it lies outside.
  TZone Star(Map, "50,0,80,100,0,35,100,35,20,100;Star;0;");
  EXPECT_FALSE(Star.ContainsPoint({50, 55}));
  EXPECT_TRUE(Star.ContainsPoint({50, 10}));
  EXPECT_TRUE(Star.ContainsPoint({10, 37}));
  // Two triangles that halve a square along slopes through pixel middles: every pixel of the
  // square belongs to exactly one of them, as with two zones along a shared coast.
  for (const char* Cut : {"0,0,50,50", "0,50,50,0"}) {
    std::string C = Cut;
    TZone Upper(Map, C + (C == "0,0,50,50" ? ",50,0" : ",0,0") + ";U;0;");
    TZone Lower(Map, C + (C == "0,0,50,50" ? ",0,50" : ",50,50") + ";L;0;");
    int Both = 0, Neither = 0;
    for (std::int32_t Y = 0; Y < 50; ++Y)
      for (std::int32_t X = 0; X < 50; ++X) {
        const int In = int(Upper.ContainsPoint({X, Y})) + int(Lower.ContainsPoint({X, Y}));
        Both += In == 2;
        Neither += In == 0;
      }
    EXPECT_EQ(Both, 0) << Cut;
    EXPECT_EQ(Neither, 0) << Cut;
  }
  // Corners at the ends of the 32-bit range neither overflow nor lose the answer.
  TZone Huge(Map, "-2147483648,-2147483648,2147483647,-2147483648,2147483647,2147483647;Huge;0;");
  EXPECT_TRUE(Huge.ContainsPoint({2147483646, 0}));
  EXPECT_FALSE(Huge.ContainsPoint({0, 2147483646}));
  EXPECT_TRUE(Huge.ContainsPoint({0, -1}));
  EXPECT_FALSE(Huge.ContainsPoint({-1, 0}));
  EXPECT_EQ(Huge.GetCenterX(), -1);
}

TEST_F(ZoneMapFixture, GridRunsRowByRowInsideTheZone) {
  // Brae's rows at 16, 42 and 68; below its arm (y >= 40) only the columns left of 140.
  EXPECT_EQ(Grid(1), (std::vector<TPoint>{{100, 16}, {120, 16}, {140, 16}, {160, 16}, {100, 42}, {120, 42}, {100, 68}, {120, 68}}));
  EXPECT_EQ(Z(0)->GridPointCount(), 12);
  EXPECT_EQ(Grid(5), (std::vector<TPoint>{{420, 316}}));
  // Channel's first corner is its bottom left one: no row fits below it.
  ASSERT_NE(Z(3)->GetGridPoints(), nullptr);
  EXPECT_EQ(Z(3)->GridPointCount(), 0);

  // A new build starts afresh with the new steps; a step below 1 leaves the slots as they are.
  Map.SetGridWidth(50);
  Map.BuildGrid();
  EXPECT_EQ(Grid(1), (std::vector<TPoint>{{100, 16}, {100, 42}, {100, 68}}));
  Map.SetGridHeight(0);
  Map.BuildGrid();
  EXPECT_EQ(Z(1)->GridPointCount(), 3);
}

TEST_F(ZoneMapFixture, PathsWithTheBuiltInStepCosts) {
  struct Case {
    int From, To;
    std::vector<int> Path;
    std::int32_t Cost;
  };
  const Case Cases[] = {
      {0, 0, {0}, 0},
      {0, 1, {0, 1}, 10},           // twice a neighbour, found once
      {0, 4, {0, 1, 4}, 20},        // over land rather than through the sea (2000)
      {2, 3, {2, 3}, 1},            // sea to sea
      {0, 2, {0, 2}, 1000},         // land into sea
      {2, 4, {2, 3, 4}, 1001},      // through the sea, then ashore
      {1, 2, {1, 0, 2}, 1010},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.From << " to " << C.To);
    Map.FindPath(Z(C.From), Z(C.To));
    EXPECT_EQ(Indexes(Map.GetPath()), C.Path);
    EXPECT_EQ(Map.PathCost(), C.Cost);
  }
  // The search's state stays in the zones until the next search.
  Map.FindPath(Z(0), Z(4));
  EXPECT_EQ(Z(4)->GetPathCost(), 20);
  EXPECT_EQ(Z(4)->GetPathPrev(), Z(1));
  EXPECT_EQ(Z(4)->GetPathState(), 2);
  EXPECT_EQ(Z(5)->GetPathState(), 0);
  EXPECT_EQ(Map.GetPathZone(2), Z(4));
  EXPECT_THROW(Map.GetPathZone(3), EListError);
}

TEST_F(ZoneMapFixture, AnUnreachableZoneGivesAnEmptyPathNeverACheapOne) {
  Map.FindPath(Z(0), Z(5));
  EXPECT_EQ(Map.PathCount(), 0);
  EXPECT_EQ(Map.PathCost(), TZoneMap::UnreachablePathCost);
  EXPECT_EQ(Z(5)->GetPathPrev(), nullptr);
  Map.FindPath(Z(5), Z(0));
  EXPECT_EQ(Map.PathCount(), 0);
  EXPECT_EQ(Map.PathCost(), TZoneMap::UnreachablePathCost);
  // Every step costing 1 (the rules' way of counting steps): still unreachable, not 0.
  Map.OnPathCost = [](TZoneMap*, TZone*, TZone*, std::int32_t& Cost) { Cost = 1; };
  Map.FindPath(Z(0), Z(5));
  EXPECT_EQ(Map.PathCost(), TZoneMap::UnreachablePathCost);
  EXPECT_THROW(Map.FindPath(Z(0), nullptr), EZoneMap);
}

namespace {

// A small graph whose step costs come from a table, through OnPathCost.
class CostedGraph {
public:
  explicit CostedGraph(int Zones) {
    for (int I = 0; I < Zones; ++I) Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;" + std::string(1, char('A' + I)) + ";0;"));
    Map.OnPathCost = [this](TZoneMap* Sender, TZone* From, TZone* To, std::int32_t& Cost) {
      EXPECT_EQ(Sender, &Map);
      EXPECT_EQ(Cost, TZoneMap::LandStepCost);  // the built-in cost is given on entry
      Calls.push_back(Name(From) + Name(To));
      Cost = Costs.at(Name(From) + Name(To));
    };
  }
  // One way: From's neighbour list gets To; the cost of the step.
  void Step(const std::string& Edge, std::int32_t Cost) {
    TZoneMap::AddNeighbour(Z(Edge[0]), Z(Edge[1]));
    Costs[Edge] = Cost;
  }
  std::string Path(char From, char To) {
    Map.FindPath(Z(From), Z(To));
    std::string S;
    for (TZone* Zone : Map.GetPath()) S += Zone->GetName();
    return S;
  }
  TZone* Z(char C) { return Map.GetZone(C - 'A'); }
  static std::string Name(TZone* Zone) { return Zone->GetName(); }
  TZoneMap Map;
  std::map<std::string, std::int32_t> Costs;
  std::vector<std::string> Calls;
};

}  // namespace

TEST(ZonePathSearch, TiesGoToThePathTheQueueFindsFirst) {
  // A-C-D and A-B-D both cost 2. The queue takes A's neighbours in list order and a cost is
  // replaced only by a strictly lower one, so the neighbour listed first decides, even where
  // B is the cheaper first step (a cheapest-first search would always go by B).
  struct Case {
    std::vector<std::pair<std::string, std::int32_t>> Steps;
    std::string Path;
  };
  const Case Cases[] = {
      {{{"AC", 2}, {"AB", 1}, {"CD", 0}, {"BD", 1}}, "ACD"},
      {{{"AB", 1}, {"AC", 2}, {"CD", 0}, {"BD", 1}}, "ABD"},
  };
  for (const Case& C : Cases) {
    CostedGraph G(4);
    for (const auto& [Edge, Cost] : C.Steps) G.Step(Edge, Cost);
    EXPECT_EQ(G.Path('A', 'D'), C.Path);
    EXPECT_EQ(G.Map.PathCost(), 2);
  }
}

TEST(ZonePathSearch, AZoneTakenFromTheQueueIsQueuedAgainWhenACheaperWayTurnsUp) {
  CostedGraph G(5);
  G.Step("AB", 100);
  G.Step("AC", 1);
  G.Step("CD", 1);
  G.Step("DB", 1);
  G.Step("BE", 1);
  EXPECT_EQ(G.Path('A', 'E'), "ACDBE");
  EXPECT_EQ(G.Map.PathCost(), 4);
  EXPECT_EQ(G.Z('E')->GetPathCost(), 4);
  // B left the queue at cost 100, came back at 3 and was left again: its step to E was
  // costed once (a search keeps the costs of the steps it has asked), then once more by
  // PathCost.
  const std::vector<std::string> Expected = {"AB", "AC", "BE", "CD", "DB", "AC", "CD", "DB", "BE"};
  EXPECT_EQ(G.Calls, Expected);
}

TEST(ZonePathSearch, NegativeStepCostsCountAsNothing) {
  // A circle of negative steps would lower its costs for ever; it ends as a circle of free steps.
  CostedGraph G(3);
  G.Step("AB", 5);
  G.Step("BC", -10);
  G.Step("CB", -10);
  EXPECT_EQ(G.Path('A', 'C'), "ABC");
  EXPECT_EQ(G.Map.PathCost(), 5);
}

TEST(ZoneMapHooks, ZonesAreMadeByTheHookAndJoinTheMapInOrder) {
  struct TGameZone : TZone {
    TGameZone(TZoneMap& Map, const std::string& S, int& Alive) : TZone(Map, S), Alive(Alive) { ++Alive; }
    ~TGameZone() override { --Alive; }
    std::uint16_t GetColorIndex() const override { return 7; }
    int& Alive;
  };
  int Alive = 0;
  TZoneMap Map;
  std::vector<std::string> Texts;
  Map.OnCreateZone = [&](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
    EXPECT_EQ(Sender, &Map);
    EXPECT_EQ(AZone, nullptr);
    Texts.push_back(S);
    AZone = std::make_unique<TGameZone>(*Sender, S, Alive);
  };
  std::vector<int> Added;
  Map.OnZoneAdded = [&](TZoneMap* Sender, TZone* AZone) {
    EXPECT_EQ(Sender, &Map);
    EXPECT_EQ(&AZone->GetMap(), &Map);
    Added.push_back(AZone->GetIndex());
  };
  LoadZoneMap(Map, TMapSet::Parse(FixtureText, "fixture.map"));
  EXPECT_EQ(Alive, 6);
  EXPECT_EQ(Texts.front(), "0,0,100,0,100,100,0,100;Alba;0;1#2#");
  EXPECT_EQ(Added, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(Map.GetZone(2)->GetColorIndex(), 7);

  // A failing load makes its zones through the hook and frees them again; the map and its
  // zones stay as they were, and no zone joins it.
  TZone* First = Map.GetZone(0);
  Added.clear();
  const std::string Broken = std::string(FixtureText) + "Zone=1,1,2,2;Sliver;0;\n";
  try {
    LoadZoneMap(Map, TMapSet::Parse(Broken, "broken.map"));
    FAIL();
  } catch (const EMapSet& E) {
    EXPECT_STREQ(E.what(), "Map set \"broken.map\", line 9: A zone needs at least 3 corners (2 given)");
  }
  EXPECT_EQ(Alive, 6);
  EXPECT_EQ(Map.ZoneCount(), 6);
  EXPECT_EQ(Map.GetZone(0), First);
  EXPECT_EQ(Map.LinkCount(), 2);
  EXPECT_TRUE(Added.empty());

  // A hook that makes no zone is refused.
  Map.OnCreateZone = [](TZoneMap*, std::unique_ptr<TZone>&, const std::string&) {};
  EXPECT_THROW(LoadZoneMap(Map, TMapSet::Parse(FixtureText, "fixture.map")), EMapSet);
  EXPECT_EQ(Map.ZoneCount(), 6);

  Map.Clear();
  EXPECT_EQ(Alive, 0);
  EXPECT_EQ(Map.ZoneCount(), 0);
  EXPECT_EQ(Map.LinkCount(), 0);
}

TEST(ZoneMapLoad, LinesThatNameNoZoneStopTheLoadAndNameTheLine) {
  struct Case {
    std::string Text;
    std::string Message;
  };
  const std::string Z0 = "Zone=0,0,10,0,10,10;A;0;\n";
  const Case Cases[] = {
      {Z0 + "Link=0,1\nZone=0,0,10,0,10,10;B;0;\n",
       "Map set \"t.map\", line 2: the link names zone 1, which no earlier Zone line gives"},
      {Z0 + "Link=-1,0\n", "Map set \"t.map\", line 2: the link names zone -1, which no earlier Zone line gives"},
      {Z0 + "Zone=0,0,10,0,10,10;B;0;0#x#\n", "Map set \"t.map\", line 2: the neighbour \"x\" is not a zone number"},
      {Z0 + "Zone=0,0,10,0,10,10;B;0;0##\n", "Map set \"t.map\", line 2: the neighbour \"\" is not a zone number"},
      {"Zone=0,0,10,0,10,10;A;0;2#\n" + Z0, "Map set \"t.map\", line 1: the neighbour 2 is not a zone of the map (it has 2 zones)"},
      {"Bitmap=a.bmp\nElement=b.bmp:0,0\n", "Map set \"t.map\", line 2: no earlier Bitmap line gives \"b.bmp\""},
      {"Element=a.bmp:0,0\nBitmap=a.bmp\n", "Map set \"t.map\", line 1: no earlier Bitmap line gives \"a.bmp\""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    TZoneMap Map;
    Map.AddZone(MakeZone(Map, "0,0,5,0,5,5;Old;0;"));
    try {
      LoadZoneMap(Map, TMapSet::Parse(C.Text, "t.map"));
      ADD_FAILURE() << "loaded";
    } catch (const EMapSet& E) {
      EXPECT_EQ(E.what(), C.Message);
    }
    ASSERT_EQ(Map.ZoneCount(), 1);
    EXPECT_EQ(Map.GetZone(0)->GetName(), "Old");
  }
}

TEST(ZoneMapLoad, NeighbourTextMayNameLaterZonesAndLosesItsLastHash) {
  TZoneMap Map;
  LoadZoneMap(Map, TMapSet::Parse("Zone=0,0,1,0,1,1;A;0;2#1\n"
                                  "Zone=0,0,1,0,1,1;B;0;\n"
                                  "Zone=0,0,1,0,1,1;C;0;0#\n",
                                  "t.map"));
  EXPECT_EQ(Map.GetZone(0)->GetNeighbours(), (std::vector<TZone*>{Map.GetZone(2), Map.GetZone(1)}));
  // The neighbour text is one way: B does not get A back.
  EXPECT_EQ(Map.GetZone(1)->NeighbourCount(), 0);
  EXPECT_EQ(Map.GetExtent(), (TMapExtent{0, 0}));
  // No grid steps were given, so no grid was built.
  EXPECT_EQ(Map.GetZone(0)->GetGridPoints(), nullptr);
}

TEST(ZoneMapEdits, AddLinkAlwaysAddsAndMakeMutualOnlyWhatIsMissing) {
  TZoneMap Map;
  TZone* A = Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;A;0;"));
  TZone* B = Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;B;1;"));
  Map.AddLink(A, B);
  Map.AddLink(A, B);
  EXPECT_EQ(A->NeighbourCount(), 2);
  EXPECT_EQ(Map.LinkCount(), 2);
  TZone* C = Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;C;2;"));
  TZoneMap::AddNeighbour(C, A);
  TZoneMap::MakeMutual(A, C);
  TZoneMap::MakeMutual(A, C);
  EXPECT_EQ(A->GetNeighbours(), (std::vector<TZone*>{B, B, C}));
  EXPECT_EQ(C->GetNeighbours(), (std::vector<TZone*>{A}));
  // Sea 2 is a sea for the outline colour but not for the coast, and its step to sea 1
  // changes terrain.
  Map.SetColorIndexSea(156);
  EXPECT_EQ(C->GetColorIndex(), 156);
  TZone* D = Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;D;0;"));
  TZoneMap::AddNeighbour(D, C);
  EXPECT_FALSE(D->IsCoastal());
  EXPECT_TRUE(A->IsCoastal());
  EXPECT_EQ(Map.StepCost(C, B), TZoneMap::TerrainChangeStepCost);
  EXPECT_THROW(Map.AddZone(nullptr), EZoneMap);
  EXPECT_THROW(Map.AddLink(A, nullptr), EZoneMap);
  EXPECT_THROW(Map.GetZone(4), EListError);
  EXPECT_THROW(Map.GetLink(2), EListError);
}

TEST(ZoneMapEdits, ClearListenersHearOfEveryClearWhileTheZonesAreWholeAndBeforeOnClear) {
  std::vector<std::string> Heard;
  {
    TZoneMap Map;
    Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;A;0;"));
    Map.OnClear = [&](TZoneMap* Sender) { Heard.push_back("surface " + std::to_string(Sender->ZoneCount())); };
    const int First = Map.AddClearListener([&](TZoneMap* Sender) { Heard.push_back("first " + Sender->GetZone(0)->GetName()); });
    int Second = 0;
    Second = Map.AddClearListener([&](TZoneMap* Sender) {
      Heard.push_back("second " + std::to_string(Sender->ZoneCount()));
      Sender->RemoveClearListener(Second);  // Told once, then gone.
    });
    EXPECT_NE(First, Second);
    Map.Clear();
    EXPECT_EQ(Heard, (std::vector<std::string>{"first A", "second 1", "surface 1"}));

    // A reload (ReplaceWith) clears the old zones first.
    Heard.clear();
    Map.AddZone(MakeZone(Map, "0,0,1,0,1,1;B;0;"));
    TZoneMap Loaded;
    Loaded.AddZone(MakeZone(Loaded, "0,0,1,0,1,1;C;0;"));
    Map.ReplaceWith(Loaded);
    EXPECT_EQ(Heard, (std::vector<std::string>{"first B", "surface 1"}));
    EXPECT_EQ(Map.GetZone(0)->GetName(), "C");

    Map.RemoveClearListener(First);
    Map.RemoveClearListener(12345);
    Heard.clear();
    Map.OnClear = nullptr;
    Map.AddClearListener([&](TZoneMap* Sender) { Heard.push_back("last " + Sender->GetZone(0)->GetName()); });
  }
  // The destructor clears too.
  EXPECT_EQ(Heard, (std::vector<std::string>{"last C"}));
}
