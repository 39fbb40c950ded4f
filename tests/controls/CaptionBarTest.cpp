// The caption bar on a form set up as the main window's: its items' places, the mouse on the
// items, the system buttons and menu, moving and sizing the frameless window, its frame and
// colours, and a picture of it.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "controls/CaptionBarArt.h"
#include "controls/PGDsgFrm.h"
#include "support/GuiTest.h"

namespace {

struct CaptionBarTest : TGuiTest {
  QWidget Form;
  TPGCaptionBar* Bar = nullptr;
  TPGCaptionBarSystemButton* SysMenu = nullptr;
  TPGCaptionBarGlyph* Title = nullptr;
  TPGCaptionBarSystemButton* Close = nullptr;
  TPGCaptionBarSystemButton* Maximize = nullptr;
  TPGCaptionBarSystemButton* Minimize = nullptr;
  TPGCaptionBarButton* Sound = nullptr;
  TPGCaptionBarButton* Midi = nullptr;
  std::vector<std::string> Log;

  CaptionBarTest() {
    Form.setObjectName("frmMain");
    Form.setWindowTitle("Brenmoor 4.0");
    Form.resize(400, 300);
    Form.move(100, 80);
    // As the main window has it: the bar first, then its items in their order.
    Bar = new TPGCaptionBar(&Form);
    Bar->SetOptions(cboButtonsSameHeight | cboCaptionBarAutosize | cboDesignTimeEnhancements | cboDesignTimeTips);
    Bar->SetHeight(23);
    Bar->SetActiveColor(Qt::black);
    Bar->SetInactiveColor(QColor(64, 64, 64));
    SysMenu = new TPGCaptionBarSystemButton(&Form);
    SysMenu->SetKind(sbkSystemMenu);
    Title = new TPGCaptionBarGlyph(&Form);
    Title->SetCaption("Brenmoor 4.0");
    Bar->SetTitle(Title);
    Close = new TPGCaptionBarSystemButton(&Form);
    Close->SetKind(sbkSystemClose);
    Maximize = new TPGCaptionBarSystemButton(&Form);
    Maximize->SetKind(sbkMaximize);
    Minimize = new TPGCaptionBarSystemButton(&Form);
    Minimize->SetKind(sbkMinimize);
    Sound = MakeSwitch("SOUND");
    Midi = MakeSwitch("MUSIC");
    Form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form));
  }
  ~CaptionBarTest() override {
    for (QWidget* Popup : QApplication::topLevelWidgets())
      if (qobject_cast<QMenu*>(Popup)) Popup->hide();
  }

  TPGCaptionBarButton* MakeSwitch(const char* Glyph) {
    auto* Switch = new TPGCaptionBarButton(&Form);
    Switch->SetButtonType(cctToggleButton);
    Switch->SetAlign(lrRightJustify);
    Switch->SetGlyph(LoadCaptionArt(Glyph));
    Switch->SetDown(true);
    return Switch;
  }
  void NoteClicks(TPGCaptionBarComponent* Item, const std::string& Name) {
    Item->OnClick = [this, Name](TPGCaptionBarComponent*) { Log.push_back(Name + " click"); };
  }

  void Send(QEvent::Type Type, const QPoint& Global, Qt::MouseButton Button, Qt::MouseButtons Buttons) {
    const QPoint Local = Form.mapFromGlobal(Global);
    QMouseEvent Event(Type, QPointF(Local), QPointF(Global), Button, Buttons, Qt::NoModifier);
    QApplication::sendEvent(&Form, &Event);
  }
  void Press(const QPoint& Global) { Send(QEvent::MouseButtonPress, Global, Qt::LeftButton, Qt::LeftButton); }
  void MoveTo(const QPoint& Global, bool Held = true) {
    Send(QEvent::MouseMove, Global, Qt::NoButton, Held ? Qt::LeftButton : Qt::NoButton);
  }
  void Release(const QPoint& Global) { Send(QEvent::MouseButtonRelease, Global, Qt::LeftButton, Qt::NoButton); }
  void Click(const QPoint& Global) {
    Press(Global);
    Release(Global);
  }
  void DoubleClick(const QPoint& Global) {
    Click(Global);
    Send(QEvent::MouseButtonDblClick, Global, Qt::LeftButton, Qt::LeftButton);
    Release(Global);
  }
  static QPoint On(const TPGCaptionBarComponent* Item) { return Item->ScreenRect().center(); }
  QPoint Global(int X, int Y) const { return Form.mapToGlobal(QPoint(X, Y)); }

  QMenu* VisibleSystemMenu() const {
    QMenu* Menu = SysMenu->SystemMenu();
    return Menu && Menu->isVisible() ? Menu : nullptr;
  }
};

std::vector<std::string> MenuItems(const QMenu& Menu) {
  std::vector<std::string> Items;
  for (const QAction* Action : Menu.actions())
    Items.push_back(Action->isSeparator() ? "-" : Action->text().toStdString() + (Action->isEnabled() ? "" : " (off)"));
  return Items;
}

QAction* MenuAction(const QMenu& Menu, const QString& Text) {
  for (QAction* Action : Menu.actions())
    if (Action->text() == Text) return Action;
  return nullptr;
}

}  // namespace

TEST_F(CaptionBarTest, ItemsArePlacedFromBothEdgesWithTheirGaps) {
  EXPECT_EQ(Form.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
  EXPECT_EQ(Bar->Height(), 23);
  EXPECT_EQ(Bar->BarRect(), QRect(4, 4, 392, 23));
  EXPECT_EQ(Form.contentsMargins(), QMargins(4, 27, 4, 4));
  EXPECT_EQ(Bar->ItemCount(), 7);
  EXPECT_EQ(Sound->Index(), 5);

  // Left items from the left edge with the gap before them; right items from the right edge
  // in list order with the gap after them: close is the rightmost.
  struct Case {
    TPGCaptionBarComponent* Item;
    int Left;
  };
  const std::vector<Case> Cases = {
      {SysMenu, 6},  {Title, 28}, {Close, 396 - 2 - 20}, {Maximize, 374 - 1 - 20},
      {Minimize, 353 - 20}, {Sound, 333 - 2 - 20}, {Midi, 311 - 2 - 20},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Item->metaObject()->className());
    EXPECT_EQ(C.Item->Left(), C.Left);
  }
  // The buttons are 20 x 19, centred in the bar: 3 pixels below its top.
  EXPECT_EQ(Close->WindowRect(), QRect(374, 7, 20, 19));
  EXPECT_EQ(Title->VertGap(), (23 - Title->Height()) / 2 + 1);
  EXPECT_GT(Title->Width(), 40) << "the title sizes itself to its caption";
  EXPECT_TRUE(Title->Font().bold());
  EXPECT_EQ(Title->FontColor(), QColor(255, 255, 255));
  EXPECT_FALSE(Sound->Font().bold());
  EXPECT_TRUE(Title->AllowDragging());
  EXPECT_FALSE(Sound->AllowDragging());

  // A hidden item takes no room; moving an item in the list moves it in the bar.
  Sound->SetVisible(false);
  EXPECT_EQ(Midi->Left(), 311);
  Sound->SetVisible(true);
  Midi->SetIndex(2);
  EXPECT_EQ(Midi->Index(), 2);
  EXPECT_EQ(Midi->Left(), 374) << "the first right item now";

  // An item that goes leaves the bar; the title is forgotten with it.
  EXPECT_EQ(Bar->Title(), Title);
  std::unique_ptr<TPGCaptionBarComponent>(Title).reset();
  EXPECT_EQ(Bar->Title(), nullptr);
  EXPECT_EQ(Bar->ItemCount(), 6);
  EXPECT_EQ(Close->Left(), 374 - 20 - 2) << "Midi still before it";
}

TEST_F(CaptionBarTest, ToggleSwitchesSettleOnTheRelease) {
  EXPECT_TRUE(Sound->Down());
  Click(On(Sound));
  EXPECT_FALSE(Sound->Down()) << "released inside: flipped";
  Click(On(Sound));
  EXPECT_TRUE(Sound->Down());
  Press(On(Sound));
  MoveTo(Global(200, 150));
  Release(Global(200, 150));
  EXPECT_TRUE(Sound->Down()) << "released outside: as before the press";
  Sound->SetDown(false);
  Press(On(Sound));
  EXPECT_TRUE(Sound->Down()) << "down while pressed";
  Release(Global(200, 150));
  EXPECT_FALSE(Sound->Down());

  // A disabled switch is not pressed; setting Down false on it makes it up.
  Sound->SetEnabled(false);
  Click(On(Sound));
  EXPECT_EQ(Sound->State(), gsDisabled);
  Sound->SetDown(false);
  EXPECT_EQ(Sound->State(), gsUp);
  EXPECT_TRUE(Sound->Enabled());
}

TEST_F(CaptionBarTest, APushButtonFollowsTheMouseWhilePressed) {
  auto* Push = new TPGCaptionBarButton(&Form);
  Push->SetAlign(lrRightJustify);
  NoteClicks(Push, "push");
  int Leaves = 0, Enters = 0;
  Press(On(Push));
  EXPECT_EQ(Push->State(), gsDown);
  for (int I = 0; I < 2; ++I) {
    MoveTo(Global(200, 150));
    if (Push->State() == gsUp) ++Leaves;
    MoveTo(Global(201, 151));
    MoveTo(On(Push));
    if (Push->State() == gsDown) ++Enters;
  }
  EXPECT_EQ(Leaves, 2);
  EXPECT_EQ(Enters, 2);
  MoveTo(Global(200, 150));
  Release(Global(200, 150));
  EXPECT_EQ(Push->State(), gsUp);
  EXPECT_TRUE(Log.empty()) << "released outside: no click";

  // Without a double-click handler the click comes at the release.
  Click(On(Push));
  EXPECT_EQ(Log, std::vector<std::string>{"push click"});
  EXPECT_FALSE(Bar->ClickTimerRunning());
}

TEST_F(CaptionBarTest, AnItemWithADoubleClickHandlerWaitsForTheSecondPress) {
  auto* Push = new TPGCaptionBarButton(&Form);
  NoteClicks(Push, "push");
  Push->OnDblClick = [this](TPGCaptionBarComponent*) { Log.push_back("push dblclick"); };
  Click(On(Push));
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Bar->ClickTimerRunning());
  QTRY_COMPARE_WITH_TIMEOUT(Log, std::vector<std::string>{"push click"}, 2000);

  Log.clear();
  DoubleClick(On(Push));
  EXPECT_EQ(Log, std::vector<std::string>{"push dblclick"});
  QTest::qWait(150);
  EXPECT_EQ(Log, std::vector<std::string>{"push dblclick"}) << "and no click after it";
}

TEST_F(CaptionBarTest, TheSystemMenuButtonOpensTheMenuAndItsDoubleClickCloses) {
  EXPECT_EQ(SysMenu->GlyphName(), "MAINICON");
  EXPECT_EQ(SysMenu->Glyph().size(), QSize(16, 16)) << "the icon reduced to a glyph";
  EXPECT_EQ(SysMenu->Align(), lrLeftJustify);

  Click(On(SysMenu));
  EXPECT_EQ(VisibleSystemMenu(), nullptr) << "the click waits for a second press";
  QTRY_VERIFY_WITH_TIMEOUT(VisibleSystemMenu() != nullptr, 2000);
  QMenu* Menu = VisibleSystemMenu();
  EXPECT_EQ(MenuItems(*Menu), (std::vector<std::string>{"&Restore (off)", "&Move", "&Size", "Mi&nimize", "Ma&ximize",
                                                        "-", "&Close"}));
  EXPECT_EQ(Menu->defaultAction(), MenuAction(*Menu, "&Close"));
  EXPECT_EQ(Menu->defaultAction()->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
  EXPECT_EQ(Menu->pos(), Global(SysMenu->Left(), 4 + 23)) << "just below the bar";
  Menu->hide();

  // Alt+Space opens it as well.
  QKeyEvent Key(QEvent::KeyPress, Qt::Key_Space, Qt::AltModifier, " ");
  QApplication::sendEvent(&Form, &Key);
  ASSERT_NE(VisibleSystemMenu(), nullptr);
  VisibleSystemMenu()->hide();

  DoubleClick(On(SysMenu));
  EXPECT_FALSE(Form.isVisible()) << "closed";
  QTest::qWait(150);
  EXPECT_EQ(VisibleSystemMenu(), nullptr);
}

TEST_F(CaptionBarTest, MaximisingFillsTheAvailableScreenAndShowsTheRestoreGlyph) {
  const QRect Normal = Form.geometry();
  EXPECT_EQ(Maximize->GlyphName(), "SBK_MAXIMIZE_95");
  EXPECT_EQ(Maximize->Glyph(), LoadCaptionArt("SBK_MAXIMIZE_95"));
  Click(On(Maximize));
  EXPECT_TRUE(Form.isMaximized());
  EXPECT_EQ(Form.geometry(), Form.screen()->availableGeometry());
  EXPECT_EQ(Maximize->GlyphName(), "SBK_RESTORE_95");
  EXPECT_EQ(Maximize->Glyph(), LoadCaptionArt("SBK_RESTORE_95"));
  EXPECT_EQ(Bar->BarRect().width(), Form.width() - 8) << "the bar spans the wider window";
  EXPECT_EQ(MenuItems(*SysMenu->BuildSystemMenu()),
            (std::vector<std::string>{"&Restore", "&Move (off)", "&Size (off)", "Mi&nimize", "Ma&ximize (off)", "-",
                                      "&Close"}));
  // A maximised window is not dragged.
  const QPoint Empty = Global(Form.width() / 2, 15);
  Press(Empty);
  MoveTo(Empty + QPoint(30, 30));
  Release(Empty + QPoint(30, 30));
  EXPECT_EQ(Form.geometry(), Form.screen()->availableGeometry());

  Click(On(Maximize));
  EXPECT_FALSE(Form.isMaximized());
  EXPECT_EQ(Form.geometry(), Normal);
  EXPECT_EQ(Maximize->GlyphName(), "SBK_MAXIMIZE_95");

  // A double click on the empty bar maximises and restores too; so does the system menu.
  DoubleClick(Global(200, 15));
  EXPECT_TRUE(Form.isMaximized());
  DoubleClick(Global(200, 15));
  EXPECT_EQ(Form.geometry(), Normal);
  MenuAction(*SysMenu->BuildSystemMenu(), "Ma&ximize")->trigger();
  EXPECT_TRUE(Form.isMaximized());
}

TEST_F(CaptionBarTest, TheMouseMovesTheWindowWhereTheWindowSystemDoesNot) {
  // The offscreen platform has no window manager to move windows.
  const QPoint Start = Form.pos();
  QPoint Mouse = Global(200, 15);
  Press(Mouse);
  Mouse += QPoint(30, 20);
  MoveTo(Mouse);
  EXPECT_EQ(Form.pos(), Start + QPoint(30, 20));
  Mouse += QPoint(-50, 5);
  MoveTo(Mouse);
  Release(Mouse);
  EXPECT_EQ(Form.pos(), Start + QPoint(-20, 25));
  MoveTo(Mouse + QPoint(40, 40), false);
  EXPECT_EQ(Form.pos(), Start + QPoint(-20, 25)) << "no button held: no move";

  // The title drags the window as well; a disabled button does not.
  const QPoint Before = Form.pos();
  Press(On(Title));
  MoveTo(On(Title) + QPoint(10, 0));
  Release(On(Title));
  EXPECT_EQ(Form.pos(), Before + QPoint(10, 0));
  Minimize->SetEnabled(false);
  Press(On(Minimize));
  MoveTo(On(Minimize) + QPoint(10, 10));
  Release(On(Minimize) + QPoint(10, 10));
  EXPECT_EQ(Form.pos(), Before + QPoint(10, 0));
  EXPECT_EQ(Minimize->State(), gsDisabled);
}

TEST_F(CaptionBarTest, EdgesGiveTheirHitCodesAndCursors) {
  const int W = Form.width(), H = Form.height();
  struct Case {
    int X, Y;
    THitCode Code;
    Qt::CursorShape Cursor;
  };
  const std::vector<Case> Cases = {
      {200, 15, htCaption, Qt::ArrowCursor},          {200, 150, htClient, Qt::ArrowCursor},
      {1, 150, htLeft, Qt::SizeHorCursor},            {W - 2, 150, htRight, Qt::SizeHorCursor},
      {200, 1, htTop, Qt::SizeVerCursor},             {1, 1, htTopLeft, Qt::SizeFDiagCursor},
      {W - 1, 0, htTopRight, Qt::SizeBDiagCursor},    {200, H - 2, htBottom, Qt::SizeVerCursor},
      {5, H - 1, htBottomLeft, Qt::SizeBDiagCursor},  {W - 5, H - 3, htBottomRight, Qt::SizeFDiagCursor},
      {200, H - 4, htBottom, Qt::SizeVerCursor},      {200, H - 5, htClient, Qt::ArrowCursor},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "point " << C.X << "," << C.Y);
    EXPECT_EQ(Bar->HitTest(Global(C.X, C.Y)), C.Code);
    MoveTo(Global(C.X, C.Y), false);
    EXPECT_EQ(Form.cursor().shape(), C.Cursor);
  }
}

TEST_F(CaptionBarTest, TheBottomEdgeSizesTheWindowDownToItsMinimum) {
  Bar->SetMinWidth(250);
  Bar->SetMinHeight(200);
  EXPECT_EQ(Form.minimumSize(), QSize(250, 200));
  const QPoint Start = Form.pos();
  QPoint Mouse = Global(Form.width() - 3, Form.height() - 2);
  Press(Mouse);
  Mouse += QPoint(50, 40);
  MoveTo(Mouse);
  EXPECT_EQ(Form.size(), QSize(450, 340));
  Mouse += QPoint(-400, -400);
  MoveTo(Mouse);
  Release(Mouse);
  EXPECT_EQ(Form.size(), QSize(250, 200));
  EXPECT_EQ(Form.pos(), Start);

  // The bottom-left corner moves the left edge.
  Mouse = Global(2, Form.height() - 1);
  Press(Mouse);
  MoveTo(Mouse + QPoint(-20, 10));
  Release(Mouse + QPoint(-20, 10));
  EXPECT_EQ(Form.geometry(), QRect(Start + QPoint(-20, 0), QSize(270, 210)));
  EXPECT_EQ(Bar->BarRect().width(), 270 - 8);
}

TEST_F(CaptionBarTest, APictureOfTheBarInItsActiveAndInactiveColours) {
  const QImage Active = GrabToPng(Form, "active");
  Active.copy(Bar->BarRect()).save(TestOutputFile("bar"));
  const QPalette Colours = QApplication::palette();
  EXPECT_EQ(Active.pixelColor(200, 15), QColor(0, 0, 0)) << "the bar's background";
  EXPECT_EQ(Active.pixelColor(2, 150), Colours.color(QPalette::Button)) << "the frame's face";
  EXPECT_EQ(Active.pixelColor(1, 150), Colours.color(QPalette::Light)) << "the frame's lit edge";
  EXPECT_EQ(Active.pixelColor(374, 10), Colours.color(QPalette::Light)) << "the close button's raised face";
  // The close button's cross in black in the middle of its face.
  const QRect CloseRect = Close->WindowRect();
  bool Cross = false;
  for (int Y = CloseRect.top() + 3; Y < CloseRect.bottom() - 2; ++Y)
    for (int X = CloseRect.left() + 3; X < CloseRect.right() - 2; ++X)
      Cross = Cross || Active.pixelColor(X, Y) == QColor(0, 0, 0);
  EXPECT_TRUE(Cross);
  // The title in white.
  bool Text = false;
  const QRect TitleRect = Title->WindowRect();
  for (int Y = TitleRect.top(); Y <= TitleRect.bottom(); ++Y)
    for (int X = TitleRect.left(); X <= TitleRect.right(); ++X)
      Text = Text || Active.pixelColor(X, Y) == QColor(255, 255, 255);
  EXPECT_TRUE(Text);

  QEvent Deactivate(QEvent::WindowDeactivate);
  QApplication::sendEvent(&Form, &Deactivate);
  EXPECT_FALSE(Bar->FormActive());
  EXPECT_EQ(GrabToPng(Form, "inactive").pixelColor(200, 15), QColor(64, 64, 64));
  QEvent Activate(QEvent::WindowActivate);
  QApplication::sendEvent(&Form, &Activate);
  EXPECT_EQ(Form.grab().toImage().pixelColor(200, 15), QColor(0, 0, 0));

  // A tiled picture whose transparent colour shows the background.
  QImage Tile(8, 8, QImage::Format_RGB32);
  Tile.fill(QColor(0, 0, 128));
  Tile.setPixelColor(0, 0, QColor(120, 0, 0));
  Bar->SetPicture(Tile);
  Bar->SetTransparentColor(QColor(0, 0, 128));
  const QImage Tiled = GrabToPng(Form, "tiled");
  EXPECT_EQ(Tiled.pixelColor(4 + 8 * 20, 4), QColor(120, 0, 0));
  EXPECT_EQ(Tiled.pixelColor(4 + 8 * 20 + 1, 5), QColor(0, 0, 0));
}

TEST_F(CaptionBarTest, TheFrameFollowsTheBorderStyle) {
  struct Case {
    TFormBorderStyle Style;
    QMargins Margins;
  };
  const std::vector<Case> Cases = {
      {fbsSizeable, {4, 27, 4, 4}}, {fbsDialog, {3, 26, 3, 3}},  {fbsSingle, {1, 24, 1, 1}},
      {fbsToolWindow, {1, 24, 1, 1}}, {fbsNone, {0, 0, 0, 0}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "style " << C.Style);
    Bar->SetBorderStyle(C.Style);
    EXPECT_EQ(Form.contentsMargins(), C.Margins);
  }
  // Without a border there is no bar: its place is client area and nothing is drawn there.
  EXPECT_EQ(Bar->HitTest(Global(200, 10)), htClient);
  EXPECT_EQ(GrabToPng(Form, "no-border").pixelColor(200, 10), Form.palette().color(QPalette::Window));
  // A single border is not sized from its bottom edge.
  Bar->SetBorderStyle(fbsSingle);
  EXPECT_EQ(Bar->HitTest(Global(200, Form.height() - 1)), htBorder);
}

TEST_F(CaptionBarTest, OldStyleButtonsAndOwnGlyphs) {
  Maximize->SetStyle(sbsWin31);
  EXPECT_EQ(Maximize->GlyphName(), "SBK_MAXIMIZE_31");
  Minimize->SetStyle(sbsWin31);
  EXPECT_EQ(Minimize->HorzGap(), -1);
  Close->SetStyle(sbsWin31);
  EXPECT_FALSE(Close->Visible()) << "the old style has no close button";
  SysMenu->SetStyle(sbsWin31);
  EXPECT_EQ(SysMenu->GlyphName(), "SBK_SYSTEMMENU_31");
  // A form with its own icon shows it on the system-menu button.
  QPixmap Icon(32, 32);
  Icon.fill(QColor(0, 0, 128));
  Form.setWindowIcon(QIcon(Icon));
  SysMenu->SetStyle(sbsNew);
  EXPECT_EQ(SysMenu->GlyphName(), "icon");
  EXPECT_EQ(SysMenu->Glyph().pixelColor(8, 8), QColor(0, 0, 128));
  // An own glyph stays.
  QImage Own(10, 10, QImage::Format_RGB32);
  Own.fill(Qt::red);
  Minimize->SetStyle(sbsOwnerGlyph);
  Minimize->SetGlyph(Own);
  Minimize->LoadSystemGlyph();
  EXPECT_EQ(Minimize->Glyph(), Own);
}

TEST_F(CaptionBarTest, ANewSystemButtonTakesTheNextKind) {
  auto* Next = new TPGCaptionBarSystemButton(&Form);
  EXPECT_EQ(Next->Kind(), sbkSystemMenu) << "after the minimise button";
  EXPECT_EQ(Next->HorzGap(), 2);
  EXPECT_EQ(Next->Align(), lrLeftJustify);
  auto* AfterThat = new TPGCaptionBarSystemButton(&Form);
  EXPECT_EQ(AfterThat->Kind(), sbkSystemClose);
  EXPECT_EQ(AfterThat->Align(), lrRightJustify);
  auto* Third = new TPGCaptionBarSystemButton(&Form);
  EXPECT_EQ(Third->Kind(), sbkMaximize);
  EXPECT_EQ(Third->HorzGap(), 1);
}

TEST_F(CaptionBarTest, MisuseIsRefused) {
  try {
    new TPGCaptionBar(&Form);
    ADD_FAILURE() << "a second bar";
  } catch (const ECaptionBar& Error) {
    EXPECT_STREQ(Error.what(), "You only need a single Caption Bar component");
  }
  QWidget Child(&Form);
  try {
    new TPGCaptionBarButton(&Child);
    ADD_FAILURE() << "a button on a child";
  } catch (const EInvalidOwner& Error) {
    EXPECT_STREQ(Error.what(), "This component must be owned by a form !!!");
  }
  EXPECT_EQ(Bar->ItemCount(), 7);
  EXPECT_FALSE(Bar->IsUpdating());
}

TEST_F(CaptionBarTest, NewWindowFlagsGetTheFrameRemovedAgain) {
  Form.setWindowFlags(Qt::Window);
  Form.show();
  QTRY_VERIFY_WITH_TIMEOUT(!Bar->RehookPending() && (Form.windowFlags() & Qt::FramelessWindowHint), 2000);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Form));
  // The bar still handles the window's messages.
  Click(On(Sound));
  EXPECT_FALSE(Sound->Down());
  EXPECT_EQ(Form.contentsMargins(), QMargins(4, 27, 4, 4));
}

TEST_F(CaptionBarTest, RemovingTheBarGivesTheFormItsFrameBack) {
  const QPointer<TPGCaptionBarComponent> Item = Sound;
  std::unique_ptr<TPGCaptionBar> Owned(Bar);
  Owned.reset();
  EXPECT_TRUE(Item.isNull()) << "the bar frees its items";
  EXPECT_FALSE(Form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(Form.contentsMargins(), QMargins(0, 0, 0, 0));
  EXPECT_EQ(TPGCaptionBar::FindCaptionBar(&Form), nullptr);
}

TEST_F(CaptionBarTest, HidingTheFormWhilePressedEndsThePress) {
  NoteClicks(Sound, "sound");
  Sound->SetDown(false);
  Press(On(Sound));
  EXPECT_TRUE(Sound->Down());
  Form.hide();
  EXPECT_FALSE(Sound->Down()) << "as if released outside";
  Form.show();
  Release(On(Sound));
  EXPECT_FALSE(Sound->Down());
  EXPECT_TRUE(Log.empty());
}

TEST(CaptionBarForm, AFormThatDeletesItselfOnCloseIsClosedByItsButton) {
  QPointer<QWidget> Form = new QWidget;
  Form->setAttribute(Qt::WA_DeleteOnClose);
  Form->resize(300, 200);
  new TPGCaptionBar(Form);
  auto* Close = new TPGCaptionBarSystemButton(Form);
  Form->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
  const QPoint At = Close->ScreenRect().center();
  for (QEvent::Type Type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent Event(Type, QPointF(Form->mapFromGlobal(At)), QPointF(At), Qt::LeftButton,
                      Type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Form, &Event);
  }
  QTRY_VERIFY_WITH_TIMEOUT(Form.isNull(), 2000);
}
