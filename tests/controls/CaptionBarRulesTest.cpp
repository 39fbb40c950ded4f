// The caption bar's rules without a window: the click timer on a fake clock, the settling of
// released buttons, the placing of items, hit codes, frame probes and edge drags, and the
// system buttons' kinds and bitmaps.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/CaptionBarRules.h"

namespace {

// A click timer on a clock that only moves when the test says so.
class TFakeClock : public TCaptionClickTimer {
public:
  std::function<void()> OnFire;
  void Start(int IntervalMs) override { FDue = FNow + IntervalMs; }
  void Stop() override { FDue.reset(); }
  bool Running() const override { return FDue.has_value(); }
  // Moves the clock to At (milliseconds), firing the timer when it falls due on the way.
  void AdvanceTo(int At) {
    if (FDue && At >= *FDue) {
      FNow = *FDue;
      FDue.reset();
      OnFire();
    }
    FNow = At;
  }
  int Now() const { return FNow; }

private:
  int FNow = 0;
  std::optional<int> FDue;
};

struct ClickRulesTest : ::testing::Test {
  TFakeClock Clock;
  TCaptionClickRules Rules{Clock};
  std::vector<std::string> Log;

  ClickRulesTest() {
    Clock.OnFire = [this] { Rules.TimerFired(); };
    Rules.OnAction = [this](TCaptionClickRules*, TCaptionMouseAction Action) {
      static const char* Names[] = {"enter", "leave", "click", "dblclick"};
      Log.push_back(std::string(Names[Action]) + "@" + std::to_string(Clock.Now()));
    };
  }
};

}  // namespace

TEST_F(ClickRulesTest, AnItemWithoutDoubleClicksIsClickedAtTheRelease) {
  Rules.Press();
  Clock.AdvanceTo(40);
  Rules.Release(true, false);
  EXPECT_EQ(Log, std::vector<std::string>{"click@40"});
  EXPECT_FALSE(Rules.TimerRunning());
  EXPECT_FALSE(Rules.Captured());
}

TEST_F(ClickRulesTest, ASingleClickOnADoubleClickItemComesWhenTheTimerFires) {
  Rules.Press();
  Clock.AdvanceTo(30);
  Rules.Release(true, true);
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Rules.TimerRunning());
  Clock.AdvanceTo(129);
  EXPECT_TRUE(Log.empty());
  Clock.AdvanceTo(130);
  EXPECT_EQ(Log, std::vector<std::string>{"click@130"});
  EXPECT_FALSE(Rules.TimerRunning());
}

TEST_F(ClickRulesTest, AFastDoubleClickGivesOneDblClickAndNoClick) {
  Rules.Press();
  Clock.AdvanceTo(30);
  Rules.Release(true, true);
  Clock.AdvanceTo(90);  // the second press within 100 ms of the release
  Rules.DoubleClick();
  Clock.AdvanceTo(1000);
  EXPECT_EQ(Log, std::vector<std::string>{"dblclick@90"});
  EXPECT_FALSE(Rules.DblClickPending());
}

TEST_F(ClickRulesTest, ASlowDoubleClickGivesClickThenDblClick) {
  Rules.Press();
  Clock.AdvanceTo(30);
  Rules.Release(true, true);
  Clock.AdvanceTo(250);
  Rules.DoubleClick();
  EXPECT_EQ(Log, (std::vector<std::string>{"click@130", "dblclick@250"}));
}

TEST_F(ClickRulesTest, AReleaseOutsideIsNoClickAndCrossingsAreReportedOnce) {
  Rules.Press();
  Rules.Move(true);
  Rules.Move(false);
  Rules.Move(false);
  Rules.Move(true);
  Rules.Move(true);
  Rules.Move(false);
  Rules.Release(false, true);
  Clock.AdvanceTo(500);
  EXPECT_EQ(Log, (std::vector<std::string>{"leave@0", "enter@0", "leave@0"}));
  // Without a press nothing is captured: moves and releases do nothing.
  Log.clear();
  Rules.Move(true);
  Rules.Release(true, false);
  EXPECT_TRUE(Log.empty());
}

TEST(CaptionBarRules, AReleasedButtonSettlesByItsType) {
  struct Case {
    TPGCaptionBarComponentButtonType Type;
    TPGGlyphState Current, Before;
    bool Inside;
    TPGGlyphState Expected;
  };
  const std::vector<Case> Cases = {
      {cctPushButton, gsDown, gsUp, true, gsUp},        {cctPushButton, gsDown, gsUp, false, gsUp},
      {cctToggleButton, gsDown, gsUp, true, gsDown},    {cctToggleButton, gsDown, gsDown, true, gsUp},
      {cctToggleButton, gsDown, gsUp, false, gsUp},     {cctToggleButton, gsDown, gsDown, false, gsDown},
      {cctStaticButton, gsUp, gsUp, true, gsUp},        {cctStaticButton, gsDisabled, gsUp, true, gsDisabled},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "type " << C.Type << " before " << C.Before << " inside " << C.Inside);
    EXPECT_EQ(SettleReleasedState(C.Type, C.Current, C.Before, C.Inside), C.Expected);
  }
}

TEST(CaptionBarRules, ItemsFillFromBothEdgesWithTheirGaps) {
  const TRect Bar{4, 4, 204, 27};
  const std::vector<TCaptionItemPlace> Items = {
      {true, lrLeftJustify, 20, 2},   // 4 + 2
      {true, lrRightJustify, 20, 2},  // the first right item is the rightmost: 204 - 22
      {false, lrLeftJustify, 50, 2},  // hidden: takes no room
      {true, lrLeftJustify, 60, 3},   // 26 + 3
      {true, lrRightJustify, 20, 1},  // 182 - 21
      {true, lrRightJustify, 20, 0},  // right against the one before
  };
  const std::vector<std::optional<int>> Expected = {6, 182, std::nullopt, 29, 161, 141};
  EXPECT_EQ(LayoutCaptionItems(Bar, Items), Expected);

  EXPECT_EQ(CentredVertGap(23, 19), 3);
  EXPECT_EQ(CentredVertGap(18, 14), 3);
  EXPECT_EQ(DefaultItemHeight(23, 2), 19);
  EXPECT_EQ(DefaultItemHeight(18, 2), 14);
  EXPECT_EQ(DefaultItemHeight(3, 2), 0) << "never below zero";
}

TEST(CaptionBarRules, HitCodesOfASizeableWindowWithItsBar) {
  const TRect Window{100, 50, 500, 350};  // 400 x 300 at (100, 50)
  const TCaptionFrame Frame = MeasureFrame(TRect{0, 0, 400, 300}, fbsSizeable, 23);
  ASSERT_EQ(Frame.Top, 4);
  ASSERT_EQ(Frame.Left, 4);
  struct Case {
    int X, Y;
    THitCode Expected;
  };
  const std::vector<Case> Cases = {
      {300, 60, htCaption},       // in the bar
      {104, 54, htCaption},       // the bar's top-left pixel
      {300, 51, htTop},           // the top frame above the bar
      {101, 51, htTopLeft},       {498, 52, htTopRight},
      {101, 200, htLeft},         {499, 200, htRight},
      {300, 349, htBottom},       // the bottom strip, as high as the top frame
      {300, 346, htBottom},       {300, 345, htClient},
      {113, 348, htBottomLeft},   // 13 pixels from the left edge
      {114, 348, htBottom},       {486, 348, htBottom},
      {487, 348, htBottomRight},  // 13 pixels from the right edge
      {300, 200, htClient},       {99, 200, htNowhere},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "point " << C.X << "," << C.Y);
    const TPoint P{C.X, C.Y};
    EXPECT_EQ(CaptionHitTest(Window, Frame, true, P, DefaultHitTest(Window, fbsSizeable, P)), C.Expected);
  }
  // A form that cannot be sized keeps a plain border at the bottom.
  const TCaptionFrame Dialog = MeasureFrame(TRect{0, 0, 400, 300}, fbsDialog, 23);
  EXPECT_EQ(Dialog.Top, 3);
  EXPECT_EQ(Dialog.Left, 3);
  const TPoint Bottom{300, 349};
  EXPECT_EQ(CaptionHitTest(Window, Dialog, false, Bottom, DefaultHitTest(Window, fbsDialog, Bottom)), htBorder);
}

TEST(CaptionBarRules, FramesByBorderStyle) {
  const TRect Window{0, 0, 300, 200};
  struct Case {
    TFormBorderStyle Style;
    int Left, Top, Bar;
  };
  const std::vector<Case> Cases = {
      {fbsNone, 0, 0, 0},  {fbsSingle, 1, 1, 18},     {fbsSizeable, 4, 4, 18},
      {fbsDialog, 3, 3, 18}, {fbsToolWindow, 1, 1, 18}, {fbsSizeToolWin, 4, 4, 18},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "style " << C.Style);
    const TCaptionFrame Frame = MeasureFrame(Window, C.Style, 18);
    EXPECT_EQ(Frame.Left, C.Left);
    EXPECT_EQ(Frame.Right, C.Left);
    EXPECT_EQ(Frame.Top, C.Top);
    EXPECT_EQ(Frame.BarHeight, C.Bar);
  }
}

TEST(CaptionBarRules, AFrameProbeGivesUpAfterFiftySteps) {
  int Calls = 0;
  auto Always = [&](TPoint) {
    ++Calls;
    return htBorder;
  };
  EXPECT_EQ(ProbeHitTest(TPoint{0, 0}, 1, 0, {htBorder}, Always), 0);
  EXPECT_EQ(Calls, 51);
  auto ThreeWide = [](TPoint P) { return P.X < 3 ? htLeft : htClient; };
  EXPECT_EQ(ProbeHitTest(TPoint{0, 5}, 1, 0, {htLeft}, ThreeWide), 3);
  EXPECT_EQ(ProbeHitTest(TPoint{7, 5}, 1, 0, {htLeft}, ThreeWide), 0);
}

TEST(CaptionBarRules, DraggingAnEdgeResizesDownToTheMinimum) {
  const TRect Start{100, 100, 500, 400};
  struct Case {
    THitCode Code;
    int DX, DY;
    TRect Expected;
  };
  const std::vector<Case> Cases = {
      {htBottom, 10, 30, {100, 100, 500, 430}},
      {htBottomRight, 20, 30, {100, 100, 520, 430}},
      {htBottomLeft, -20, 30, {80, 100, 500, 430}},
      {htLeft, 350, 0, {200, 100, 500, 400}},  // stops at the minimum width 300
      {htTop, 0, 250, {100, 200, 500, 400}},   // stops at the minimum height 200
      {htTopRight, -150, -10, {100, 90, 400, 400}},
      {htBottomRight, -300, -300, {100, 100, 400, 300}},
      {htCaption, 50, 50, Start},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "code " << C.Code);
    EXPECT_EQ(ResizeFromEdge(C.Code, Start, C.DX, C.DY, 300, 200), C.Expected);
  }
}

TEST(CaptionBarRules, SystemButtonKindsGapsAndBitmaps) {
  EXPECT_EQ(NextSystemButtonKind(std::nullopt), sbkSystemClose);
  EXPECT_EQ(NextSystemButtonKind(sbkSystemClose), sbkMaximize);
  EXPECT_EQ(NextSystemButtonKind(sbkMaximize), sbkMinimize);
  EXPECT_EQ(NextSystemButtonKind(sbkMinimize), sbkSystemMenu);
  EXPECT_EQ(NextSystemButtonKind(sbkSystemMenu), sbkSystemClose);

  EXPECT_EQ(SystemButtonHorzGap(sbkSystemClose, true), 2);
  EXPECT_EQ(SystemButtonHorzGap(sbkMaximize, true), 1);
  EXPECT_EQ(SystemButtonHorzGap(sbkMinimize, true), 0);
  EXPECT_EQ(SystemButtonHorzGap(sbkMinimize, false), -1);
  EXPECT_EQ(SystemButtonHorzGap(sbkSystemMenu, false), 2);

  EXPECT_FALSE(IsNewStyleSystemButton(sbsWin31));
  EXPECT_TRUE(IsNewStyleSystemButton(sbsNew, 3.1));
  EXPECT_TRUE(IsNewStyleSystemButton(sbsAutoDetect));
  EXPECT_FALSE(IsNewStyleSystemButton(sbsAutoDetect, 3.1));
  EXPECT_FALSE(IsNewStyleSystemButton(sbsOwnerGlyph, 3.2));
  EXPECT_TRUE(IsNewStyleSystemButton(sbsOwnerGlyph, 3.95));

  EXPECT_EQ(SystemGlyphResourceName(sbkSystemClose, false, true), "SBK_SYSTEMCLOSE_95");
  EXPECT_EQ(SystemGlyphResourceName(sbkMaximize, false, true), "SBK_MAXIMIZE_95");
  EXPECT_EQ(SystemGlyphResourceName(sbkMaximize, true, true), "SBK_RESTORE_95");
  EXPECT_EQ(SystemGlyphResourceName(sbkMinimize, true, false), "SBK_MINIMIZE_31");
  EXPECT_EQ(SystemGlyphResourceName(sbkSystemMenu, false, false), "SBK_SYSTEMMENU_31");

  const auto Bad = static_cast<TPGSystemButtonKind>(9);
  auto Message = [](auto&& Call) {
    try {
      Call();
    } catch (const ECaptionBar& Error) {
      return std::string(Error.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(Message([&] { SystemButtonHorzGap(Bad, true); }), "Undefined system button kind in \"LoadSystemPreferences\".");
  EXPECT_EQ(Message([&] { SystemGlyphResourceName(Bad, false, true); }),
            "Undefined system button kind in \"GetSystemGlyphResourceName\".");
  EXPECT_EQ(Message([] { IsNewStyleSystemButton(static_cast<TPGSystemButtonStyle>(7)); }), "Bad system button type");
}
