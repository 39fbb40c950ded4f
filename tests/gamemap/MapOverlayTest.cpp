// What the map draws over the zones each frame, on the Standard scenario: order lines with
// labels for the selected units and squares for the others, the targets of embarkations and
// interceptions, the base line, the port link and rocket target, the route being entered,
// wrapping across the map's edge, the supply routes and their dots, and a frame that leaves
// the game as it was.
#include <gtest/gtest.h>

#include "gamemap/MapOverlay.h"
#include "gamemap/StandardGameFixture.h"

namespace {

class MapOverlayTest : public ::testing::Test {
protected:
  MapOverlayTest() {
    G.Nation("Germany")->SetLocalPlayer(true);
    View.OffsetX = 10;
    View.OffsetY = 20;
  }
  TPoint P(const char* Zone) const { return TMapOverlay::ZonePoint(G.Zone(Zone), View); }
  TOverlayShapes Frame(std::vector<TUnit*> Selected = {}, bool ShowOrders = true,
                       const TBrenmoorZone* Zone = nullptr, std::vector<TBrenmoorZone*> Route = {}) const {
    return TMapOverlay(G.Engine).Compute(Zone, Selected, Route, ShowOrders, View, 0);
  }
  TStandardGame G;
  TOverlayView View;
};

TEST_F(MapOverlayTest, OrdersOfUnitsPlayedHereShowAsLinesWithALabelForTheSelectedOnes) {
  TUnit* Army = G.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 2}});
  Army->SetOrder(ordMove);
  Army->SetDestinationZone(G.Zone("Ruhr"));
  TUnit* Foreign = G.MakeUnit("Poland", ukArmy, "Poznan", {{utInfantry, 2}});
  Foreign->SetOrder(ordMove);
  Foreign->SetDestinationZone(G.Zone("Berlin"));

  TOverlayShapes Shapes = Frame();
  ASSERT_EQ(Shapes.Lines.size(), 1u);
  EXPECT_EQ(Shapes.Lines[0], (TOverlayLine{P("Berlin"), P("Ruhr"), clSilver, opDot}));
  ASSERT_EQ(Shapes.Marks.size(), 1u);
  EXPECT_EQ(Shapes.Marks[0], (TOverlayMark{P("Ruhr"), clSilver, "", true}));

  Shapes = Frame({Army});
  EXPECT_EQ(Shapes.Lines[0].Color, clWhite);
  EXPECT_EQ(Shapes.Marks[0], (TOverlayMark{P("Ruhr"), clSilver, "Move", true}));
  // With the orders switch up nothing of the orders is drawn.
  EXPECT_TRUE(Frame({Army}, false).Lines.empty());

  // An embarkation points at its fleet's zone, an interception only at a fleet it sees.
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utTransport, 8}});
  Army->SetOrder(ordEmbark);
  Army->SetDestinationZone(nullptr);
  Army->SetDestinationUnit(Fleet);
  Shapes = Frame({Army});
  EXPECT_EQ(Shapes.Marks[0], (TOverlayMark{P("Baltic Sea"), clBlue, "Embark", true}));
  TUnit* Enemy = G.MakeUnit("United Kingdom", ukNavy, "North Sea", {{utCruiser, 1}});
  TUnit* Hunter = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utCruiser, 1}});
  Hunter->SetOrder(ordIntercept);
  Hunter->SetDestinationUnit(Enemy);
  Hunter->SetDestinationZone(G.Zone("Berlin"));
  G.Zone("North Sea")->SetVisibleTo(G.Nation("Germany"), true);
  EXPECT_EQ(Frame({Hunter}).Marks.back(), (TOverlayMark{P("North Sea"), clRed, "Intercept", true}));
  G.Zone("North Sea")->SetVisibleTo(G.Nation("Germany"), false);
  // Only the army's square is left.
  EXPECT_EQ(Frame({Hunter}).Marks.size(), 1u);
}

TEST_F(MapOverlayTest, APatrolDrawsItsRouteAndASelectedAirForceItsWayToTheBase) {
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 2}});
  Fleet->SetOrder(ordPatrol);
  Fleet->SetPatrolZones({G.Zone("Baltic Sea"), G.Zone("North Sea"), G.Zone("Norwegian Sea")});
  Fleet->SetDestinationZone(G.Zone("North Sea"));
  TOverlayShapes Shapes = Frame();
  ASSERT_EQ(Shapes.Lines.size(), 3u);
  EXPECT_EQ(Shapes.Lines[0], (TOverlayLine{P("Baltic Sea"), P("North Sea"), clOlive, opDot}));
  EXPECT_EQ(Shapes.Lines[1], (TOverlayLine{P("North Sea"), P("Norwegian Sea"), clOlive, opDot}));
  EXPECT_EQ(Shapes.Lines[2], (TOverlayLine{P("Baltic Sea"), P("North Sea"), clSilver, opDot}));

  TUnit* Air = G.MakeUnit("Germany", ukAirForce, "Poznan", {{utFighter, 2}});
  Air->SetBaseZone(G.Zone("Berlin"));
  EXPECT_TRUE(Frame().Marks.size() == 1u);  // not selected: no base line
  Shapes = Frame({Air});
  EXPECT_EQ(Shapes.Marks.back(), (TOverlayMark{P("Berlin"), clGray, "[Base]", true}));
  EXPECT_EQ(Air->GetDestinationZone(), nullptr);
}

TEST_F(MapOverlayTest, ThePortLinkRocketTargetAndRouteBeingEnteredFollowTheSelection) {
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  Berlin->SetPortZone(G.Zone("Baltic Sea"));
  Berlin->SetRocketSite(true);
  Berlin->SetRocketTarget(G.Zone("Warsaw"));
  TOverlayShapes Shapes = Frame({}, true, Berlin, {Berlin, G.Zone("Poznan"), G.Zone("Warsaw")});
  EXPECT_TRUE(Shapes.HasPort);
  EXPECT_EQ(Shapes.PortIcon, (TPoint{P("Baltic Sea").X - 6, P("Baltic Sea").Y - 6}));
  ASSERT_EQ(Shapes.Lines.size(), 4u);
  EXPECT_EQ(Shapes.Lines[0], (TOverlayLine{P("Berlin"), P("Baltic Sea"), clAqua, opDot}));
  EXPECT_EQ(Shapes.Lines[1], (TOverlayLine{P("Berlin"), P("Warsaw"), clMaroon, opDash}));
  EXPECT_EQ(Shapes.Marks[0], (TOverlayMark{P("Warsaw"), clMaroon, "", false}));
  EXPECT_EQ(Shapes.Lines[2], (TOverlayLine{P("Berlin"), P("Poznan"), clYellow, opDash}));
  EXPECT_EQ(Shapes.Lines[3], (TOverlayLine{P("Poznan"), P("Warsaw"), clYellow, opDash}));
  // A zone of a nation played elsewhere shows neither its port nor its rockets.
  G.Nation("Germany")->SetLocalPlayer(false);
  Shapes = Frame({}, true, Berlin);
  EXPECT_FALSE(Shapes.HasPort);
  EXPECT_TRUE(Shapes.Lines.empty());
}

TEST_F(MapOverlayTest, AnOrderLineCrossesTheWrappingEdgeWhenThatWayIsShorter) {
  ASSERT_TRUE(G.Engine.GetWrapHorizontal());
  // The zones nearest the left and the right edge of the map.
  TBrenmoorZone* West = nullptr;
  TBrenmoorZone* East = nullptr;
  for (int I = 0; I < G.Engine.GetZoneCount(); ++I) {
    TBrenmoorZone* Z = G.Engine.GetZone(I);
    if (!West || Z->GetCenterX() < West->GetCenterX()) West = Z;
    if (!East || Z->GetCenterX() > East->GetCenterX()) East = Z;
  }
  // The map is a little wider than the span of its zones' centres.
  View.VirtualWidth = East->GetCenterX() - West->GetCenterX() + 60;
  View.VirtualHeight = 2000;
  const TMapOverlay Overlay(G.Engine);
  const TPoint Across = Overlay.WrappedTarget(West, East, View);
  EXPECT_EQ(Across.X, TMapOverlay::ZonePoint(East, View).X - View.VirtualWidth);
  EXPECT_EQ(Across.Y, TMapOverlay::ZonePoint(East, View).Y);
  EXPECT_EQ(Overlay.WrappedTarget(East, West, View).X, TMapOverlay::ZonePoint(West, View).X + View.VirtualWidth);
  // Zones close together are joined directly; the map does not wrap vertically.
  EXPECT_EQ(Overlay.WrappedTarget(G.Zone("Berlin"), G.Zone("Ruhr"), View), P("Ruhr"));
}

TEST_F(MapOverlayTest, SupplyRoutesRunToANeighbouringSourceWithDotsThatMoveEachFrame) {
  TBrenmoorZone* Ruhr = G.Zone("Ruhr");
  for (int I = 0; I < G.Engine.GetZoneCount(); ++I) G.Engine.GetZone(I)->SetSupplySource(G.Engine.GetZone(I));
  Ruhr->SetSupplySource(G.Zone("Berlin"));
  G.Zone("Bavaria")->SetSupplySource(G.Zone("East Prussia"));  // no neighbour: no route
  const TMapOverlay Overlay(G.Engine);
  const TOverlayShapes A = Overlay.Compute(nullptr, {}, {}, true, View, 0);
  ASSERT_EQ(A.SupplyRoutes.size(), 1u);
  const TSupplyRoute& Route = A.SupplyRoutes[0];
  // The ends are pulled 20 points toward each other.
  const TPoint From = P("Ruhr");
  const TPoint To = P("Berlin");
  EXPECT_LE(std::abs(Route.From.X - Route.To.X), std::abs(From.X - To.X));
  EXPECT_NE(Route.From, From);
  ASSERT_FALSE(Route.Dots.empty());
  // One frame later every dot lies one point further along.
  const TOverlayShapes B = Overlay.Compute(nullptr, {}, {}, true, View, -1);
  ASSERT_FALSE(B.SupplyRoutes[0].Dots.empty());
  EXPECT_NE(B.SupplyRoutes[0].Dots.front(), Route.Dots.front());
  // Zones played elsewhere show their routes only in a game of computer players.
  G.Nation("Germany")->SetLocalPlayer(false);
  EXPECT_TRUE(Overlay.Compute(nullptr, {}, {}, true, View, 0).SupplyRoutes.empty());
  G.Engine.SetAllComputer(true);
  EXPECT_EQ(Overlay.Compute(nullptr, {}, {}, true, View, 0).SupplyRoutes.size(), 1u);
}

TEST_F(MapOverlayTest, DrawingAFrameLeavesTheGameAsItWas) {
  TUnit* Army = G.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 2}});
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utTransport, 8}});
  Army->SetOrder(ordEmbark);
  Army->SetDestinationUnit(Fleet);
  TUnit* Air = G.MakeUnit("Germany", ukAirForce, "Poznan", {{utFighter, 2}});
  Air->SetBaseZone(G.Zone("Berlin"));
  Air->SetOrder(ordMove);
  Air->SetDestinationZone(G.Zone("Warsaw"));
  const std::string Before = G.Engine.SaveToString();
  Frame({Army, Air}, true, G.Zone("Berlin"));
  EXPECT_EQ(G.Engine.SaveToString(), Before);
}


TEST(MapOverlayBannerTest, TheBannerIsCentredWithHalvesRoundedTowardZero) {
  const struct {
    std::int32_t Width, Height, TextWidth, TextHeight;
    TPoint At;
  } Cases[] = {
      {452, 397, 200, 30, {126, 183}},
      {451, 396, 200, 31, {125, 182}},
      // Wider than the map: starts left of it, the half rounded toward zero.
      {100, 50, 203, 31, {-51, 9}},
  };
  for (const auto& C : Cases) {
    const TPoint At = TMapOverlay::BannerPoint(C.Width, C.Height, C.TextWidth, C.TextHeight);
    EXPECT_EQ(At.X, C.At.X) << C.Width;
    EXPECT_EQ(At.Y, C.At.Y) << C.Width;
  }
}

} // namespace
