#include <gtest/gtest.h>

#include "gamemap/MapNavigation.h"

TEST(DirectionPointer, ClassifiesTheEightCompassPoints) {
  struct TCase {
    int X2, Y2;
    TCompassDirection Expected;
  };
  const TCase Cases[] = {
      {0, 0, cdUp},       {0, -5, cdUp},       {0, 5, cdDown},     {-5, 0, cdLeft},   {5, 0, cdRight},
      {10, -10, cdUpRight}, {10, -5, cdRight}, {3, -10, cdUp},     {-10, -10, cdUpLeft}, {-15, -10, cdUpLeft},
      {-16, -10, cdLeft}, {-7, -10, cdUp},     {-8, -10, cdUpLeft}, {8, 10, cdDownRight}, {7, 10, cdDown}, {-10, 10, cdDownLeft},
      {-20, 10, cdLeft},  {2, 10, cdDown},     {20, 10, cdRight}};
  for (const TCase& C : Cases) {
    TDirectionPointer P;
    P.SetX2(C.X2);
    P.SetY2(C.Y2);
    EXPECT_EQ(P.GetDirection(), C.Expected) << "to (" << C.X2 << ", " << C.Y2 << ")";
  }
  // The ratio's edges: 0.75 and 1.5 are diagonal, just beyond them is not.
  EXPECT_EQ(TDirectionPointer::Direction(0, 0, 3, 4), cdDownRight);
  EXPECT_EQ(TDirectionPointer::Direction(0, 0, 74, 100), cdDown);
  EXPECT_EQ(TDirectionPointer::Direction(0, 0, 151, 100), cdRight);
}

TEST(Scroller, StepsTowardThePointedSideFasterAtTheRim) {
  struct TCase {
    int X, Y;
    TScrollDelta Expected;
  };
  // A 57 x 57 compass: centre (28, 28).
  const TCase Cases[] = {{28, 28, {0, 0}},      {56, 28, {100, 0}},  {0, 28, {-100, 0}},  {28, 0, {0, -100}},
                         {42, 28, {50, 0}},     {14, 42, {-50, 50}}, {57, 57, {100, 100}}, {200, -50, {100, -100}},
                         {29, 27, {4, -4}}};
  for (const TCase& C : Cases)
    EXPECT_EQ(ScrollerStep(57, 57, C.X, C.Y, 100), C.Expected) << "at (" << C.X << ", " << C.Y << ")";
  EXPECT_EQ(ScrollerStep(1, 0, 5, 5, 100), (TScrollDelta{0, 0})) << "a scroller without size does not scroll";
}

TEST(Scroller, OffsetsStayWithinTheVirtualArea) {
  EXPECT_EQ(ClampOffset(10, -30, 2000, 600), 0);
  EXPECT_EQ(ClampOffset(1350, 100, 2000, 600), 1400);
  EXPECT_EQ(ClampOffset(500, 100, 2000, 600), 600);
  EXPECT_EQ(ClampOffset(0, 50, 400, 600), 0) << "a map smaller than the window does not scroll";
  EXPECT_EQ(ClampOffset(2147483600, 100, 2147483647, 0), 2147483647);
}

TEST(Scroller, DoubleClickNearAnEdgeJumpsThereElsewhereCentres) {
  struct TCase {
    int X, Y;
    TScrollerJump Expected;
  };
  // Quarters of 57 are 14: the edges are x < 14, x > 43, y < 14, y > 43.
  const TCase Cases[] = {{2, 2, {false, true, false, true}},   {28, 28, {}},
                         {55, 28, {true, false, false, false}}, {28, 50, {false, false, true, false}},
                         {14, 14, {}},                          {44, 13, {true, false, false, true}},
                         {43, 43, {}}};
  for (const TCase& C : Cases) {
    const TScrollerJump J = ScrollerDoubleClick(57, 57, C.X, C.Y);
    EXPECT_EQ(J, C.Expected) << "at (" << C.X << ", " << C.Y << ")";
    EXPECT_EQ(J.Centre(), C.Expected.Centre());
  }
}

TEST(Navigator, BoxAndCentreFollowTheScale) {
  // A 185 x 41 navigator over a 3700 x 820 map (scale 1/20): the window 800 x 600 at (400, 100).
  EXPECT_EQ(NavigatorBox(185, 41, 3700, 820, 400, 100, 800, 600), (TRect{20, 5, 60, 35}));
  EXPECT_EQ(NavigatorBox(185, 41, 3700, 820, 0, 0, 3700, 820), (TRect{0, 0, 185, 41}));
  // Halves round to even: 30 / 20 = 1.5 -> 2, 50 / 20 = 2.5 -> 2.
  EXPECT_EQ(NavigatorBox(185, 41, 3700, 820, 30, 50, 20, 20), (TRect{2, 2, 3, 3}));
  EXPECT_EQ(NavigatorBox(185, 41, 0, 0, 5, 5, 5, 5), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(NavigatorCentre(185, 41, 3700, 820, 20, 5), (TPoint{400, 100}));
  // Past the edges the point lies outside the map; CenterOn keeps the surface within it.
  EXPECT_EQ(NavigatorCentre(185, 41, 3700, 820, -10, 50), (TPoint{-200, 1000}));
  EXPECT_EQ(NavigatorCentre(0, 41, 3700, 820, 10, 10), (TPoint{0, 0}));
}
