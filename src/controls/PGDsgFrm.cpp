#include "controls/PGDsgFrm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "controls/Bevel.h"
#include "platform/Application.h"

// The bar's click timer on a window-system timer.
class TPGCaptionBar::TClickTimer : public TCaptionClickTimer {
public:
  explicit TClickTimer(std::function<void()> OnFire) {
    FTimer.setSingleShot(true);
    QObject::connect(&FTimer, &QTimer::timeout, [Fire = std::move(OnFire)] { RunGuarded(Fire); });
  }
  void Start(int IntervalMs) override { FTimer.start(IntervalMs); }
  void Stop() override { FTimer.stop(); }
  bool Running() const override { return FTimer.isActive(); }

private:
  QTimer FTimer;
};

namespace {
TRect ToRect(const QRect& R) { return TRect{R.left(), R.top(), R.left() + R.width(), R.top() + R.height()}; }
QRect ToQRect(const TRect& R) { return QRect(R.Left, R.Top, R.Width(), R.Height()); }
TPoint ToPoint(const QPoint& P) { return TPoint{P.x(), P.y()}; }

bool IsSizingCode(THitCode Code) { return Code >= htLeft && Code <= htBottomRight; }

Qt::Edges EdgesOf(THitCode Code) {
  switch (Code) {
    case htLeft:
      return Qt::LeftEdge;
    case htRight:
      return Qt::RightEdge;
    case htTop:
      return Qt::TopEdge;
    case htTopLeft:
      return Qt::TopEdge | Qt::LeftEdge;
    case htTopRight:
      return Qt::TopEdge | Qt::RightEdge;
    case htBottom:
      return Qt::BottomEdge;
    case htBottomLeft:
      return Qt::BottomEdge | Qt::LeftEdge;
    case htBottomRight:
      return Qt::BottomEdge | Qt::RightEdge;
    default:
      return {};
  }
}
}  // namespace

QWidget* TPGCaptionBar::CheckSingleBar(QWidget* Owner) {
  if (FindCaptionBar(Owner)) throw ECaptionBar("You only need a single Caption Bar component");
  return Owner;
}

TPGCaptionBar::TPGCaptionBar(QWidget* Owner) : TPGFormSubclass(CheckSingleBar(Owner)) {
  setObjectName("CaptionBar");
  FClickTimer = std::make_unique<TClickTimer>([this] { FClickRules->TimerFired(); });
  FClickRules = std::make_unique<TCaptionClickRules>(*FClickTimer);
  FClickRules->OnAction = [this](TCaptionClickRules*, TCaptionMouseAction Action) { ClickAction(Action); };
  FItems.reserve(5);
  if (Owner) {
    // Moves without a button held give the edges' cursors.
    Owner->setMouseTracking(true);
    SetCaptionStyle(true);
  }
  SetActive(true);
  RecalcFrame();
}

TPGCaptionBar::~TPGCaptionBar() {
  FBarDestroying = true;
  // Off the chain first: nothing of the bar handles the form's messages from here on.
  SetActive(false);
  while (!FItems.empty()) std::unique_ptr<TPGCaptionBarComponent> Last(FItems.back());
  if (Form() && !Destroying()) {
    Form()->setContentsMargins(0, 0, 0, 0);
    if (FCursorSet) Form()->unsetCursor();
    SetCaptionStyle(false);
  }
}

bool TPGCaptionBar::ClickTimerRunning() const { return FClickTimer->Running(); }

TPGCaptionBar* TPGCaptionBar::FindCaptionBar(const QWidget* Form) {
  if (!Form) return nullptr;
  for (QObject* Child : Form->children())
    if (auto* Bar = qobject_cast<TPGCaptionBar*>(Child)) return Bar;
  return nullptr;
}

void TPGCaptionBar::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = std::max(0, Value);
  RecalcFrame();
}

void TPGCaptionBar::SetVertMargin(int Value) {
  if (Value == FVertMargin) return;
  FVertMargin = Value;
  if (HasOption(cboCaptionBarAutosize)) AutosizeBar();
  RecalcFrame();
}

void TPGCaptionBar::SetActiveColor(const QColor& Value) {
  if (Value == FActiveColor) return;
  FActiveColor = Value;
  RecalcFrame();
}

void TPGCaptionBar::SetInactiveColor(const QColor& Value) {
  if (Value == FInactiveColor) return;
  FInactiveColor = Value;
  RecalcFrame();
}

void TPGCaptionBar::SetTransparentColor(const QColor& Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  RecalcFrame();
}

void TPGCaptionBar::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  RecalcFrame();
}

void TPGCaptionBar::SetPicture(const QImage& Value) {
  FPicture = Value.isNull() ? QImage() : Value.convertToFormat(QImage::Format_RGB32);
  if (!FBarDestroying) RecalcFrame();
}

void TPGCaptionBar::SetOptions(TPGCaptionBarOptions Value) {
  FOptions = Value;
  SetPicture(FPicture);
  BeginUpdate();
  for (TPGCaptionBarComponent* Item : FItems) Item->UpdateSize();
  EndUpdate();
  RecalcFrame();
}

void TPGCaptionBar::SetMinWidth(int Value) {
  FMinWidth = std::max(0, Value);
  if (Form()) Form()->setMinimumWidth(FMinWidth);
}

void TPGCaptionBar::SetMinHeight(int Value) {
  FMinHeight = std::max(0, Value);
  if (Form()) Form()->setMinimumHeight(FMinHeight);
}

void TPGCaptionBar::SetBorderStyle(TFormBorderStyle Value) {
  FBorderStyle = Value;
  RecalcFrame();
}

void TPGCaptionBar::SetFormActive(bool Value) {
  if (Value == FFormActive) return;
  FFormActive = Value;
  PaintCaptionBar(false);
}

void TPGCaptionBar::RecalcFrame() {
  QWidget* F = Form();
  if (IsUpdating() || !F || FBarDestroying) return;
  if (!F->isMinimized()) {
    FFrame = MeasureFrame(TRect{0, 0, F->width(), F->height()}, FBorderStyle, FHeight);
    F->setContentsMargins(FFrame.Left, FFrame.Top + FFrame.BarHeight, FFrame.Right, FFrame.Left);
  }
  PaintCaptionBar(false);
}

void TPGCaptionBar::SetCaptionStyle(bool Remove) {
  QWidget* F = Form();
  if (!F || !F->isWindow()) return;
  const Qt::WindowFlags Flags = F->windowFlags();
  Qt::WindowFlags New = Flags;
  if (Remove)
    New |= Qt::FramelessWindowHint;
  else if (FBorderStyle != fbsNone)
    New &= ~Qt::FramelessWindowHint;
  if (New == Flags) return;
  const bool Visible = F->isVisible();
  F->setWindowFlags(New);
  if (Visible) F->show();
}

QRect TPGCaptionBar::BarRect() const {
  const QWidget* F = Form();
  if (!F) return {};
  return ToQRect(CaptionBarRect(TRect{0, 0, F->width(), F->height()}, FFrame));
}

QRect TPGCaptionBar::BarScreenRect() const {
  const QWidget* F = Form();
  if (!F) return {};
  return BarRect().translated(F->mapToGlobal(QPoint(0, 0)));
}

THitCode TPGCaptionBar::HitTest(const QPoint& Global) const {
  const QWidget* F = Form();
  if (!F) return htNowhere;
  const TRect Window = ToRect(QRect(F->mapToGlobal(QPoint(0, 0)), F->size()));
  const THitCode Default = DefaultHitTest(Window, FBorderStyle, ToPoint(Global));
  if (F->isMinimized()) return Default;
  return CaptionHitTest(Window, FFrame, IsSizeable(FBorderStyle), ToPoint(Global), Default);
}

TPGCaptionBarComponent* TPGCaptionBar::ItemAt(const QPoint& Global) const {
  for (TPGCaptionBarComponent* Item : FItems)
    if (Item->Visible() && Item->ScreenRect().contains(Global)) return Item;
  return nullptr;
}

void TPGCaptionBar::AddItem(TPGCaptionBarComponent* Item) {
  if (std::find(FItems.begin(), FItems.end(), Item) == FItems.end()) FItems.push_back(Item);
}

void TPGCaptionBar::RemoveItem(TPGCaptionBarComponent* Item) {
  const auto Found = std::find(FItems.begin(), FItems.end(), Item);
  if (Found == FItems.end()) return;
  FItems.erase(Found);
  if (FCaptureItem == Item) FCaptureItem = nullptr;
  if (FTitle.data() == static_cast<QObject*>(Item)) FTitle = nullptr;
  if (FBarDestroying) return;
  BeginUpdate();
  for (TPGCaptionBarComponent* Other : FItems) Other->UpdateSize();
  EndUpdate();
  RecalcFrame();
}

TPGCaptionBarComponent* TPGCaptionBar::GetItem(int Index) const {
  if (Index < 0 || Index >= ItemCount()) return nullptr;
  return FItems[static_cast<std::size_t>(Index)];
}

int TPGCaptionBar::IndexOf(const TPGCaptionBarComponent* Item) const {
  const auto Found = std::find(FItems.begin(), FItems.end(), Item);
  return Found == FItems.end() ? -1 : static_cast<int>(Found - FItems.begin());
}

void TPGCaptionBar::MoveItem(TPGCaptionBarComponent* Item, int Index) {
  const int From = IndexOf(Item);
  if (From < 0) return;
  FItems.erase(FItems.begin() + From);
  const int To = std::clamp(Index, 0, ItemCount());
  FItems.insert(FItems.begin() + To, Item);
  RecalcFrame();
}

void TPGCaptionBar::AutosizeBar() {
  if (FItems.empty()) return;
  int Tallest = 0;
  for (TPGCaptionBarComponent* Item : FItems) Tallest = std::max(Tallest, Item->Height());
  SetHeight(2 * FVertMargin + Tallest);
}

bool TPGCaptionBar::CanPaint() const {
  const QWidget* F = Form();
  return F && !IsUpdating() && !FBarDestroying && !F->isMinimized() && FBorderStyle != fbsNone;
}

void TPGCaptionBar::PaintCaptionBar(bool OnlyMarkedItem) {
  if (!CanPaint()) return;
  ComposeBar(OnlyMarkedItem);
  Form()->update(BarRect());
}

void TPGCaptionBar::InvalidateItem(TPGCaptionBarComponent* Item) {
  if (!Item) return;
  Item->SetMarked(true);
  PaintCaptionBar(true);
  Item->SetMarked(false);
}

void TPGCaptionBar::PaintBackground(QPainter& Canvas, const QRect& Area) {
  const QColor Back = FFormActive ? FActiveColor : FInactiveColor;
  Canvas.fillRect(Area, Back);
  if (FPicture.isNull()) return;
  QImage Tile = FPicture;
  if (FTransparent) {
    // The background shows through the picture's transparent colour.
    const QRgb Key = FTransparentColor.rgb();
    const QRgb Fill = Back.rgb();
    for (int Y = 0; Y < Tile.height(); ++Y) {
      auto* Line = reinterpret_cast<QRgb*>(Tile.scanLine(Y));
      for (int X = 0; X < Tile.width(); ++X)
        if (Line[X] == Key) Line[X] = Fill;
    }
  }
  const QRect Bar = BarRect();
  const int Columns = FBarImage.width() / Tile.width() + 1;
  const int Rows = FBarImage.height() / Tile.height() + 1;
  Canvas.save();
  Canvas.setClipRect(Area.intersected(Bar));
  for (int Row = 0; Row < Rows; ++Row)
    for (int Column = 0; Column < Columns; ++Column)
      Canvas.drawImage(Bar.left() + Column * Tile.width(), Bar.top() + Row * Tile.height(), Tile);
  Canvas.restore();
}

void TPGCaptionBar::ComposeBar(bool OnlyMarkedItem) {
  const QRect Bar = BarRect();
  const QSize Size(std::max(1, Bar.left() + Bar.width()), std::max(1, Bar.top() + Bar.height()));
  if (FBarImage.size() != Size) {
    FBarImage = QImage(Size, QImage::Format_RGB32);
    FBarImage.fill(Qt::black);
    OnlyMarkedItem = false;
  }
  QPainter Canvas(&FBarImage);
  if (!OnlyMarkedItem) PaintBackground(Canvas, Bar);

  std::vector<TCaptionItemPlace> Places;
  Places.reserve(FItems.size());
  for (const TPGCaptionBarComponent* Item : FItems)
    Places.push_back(TCaptionItemPlace{Item->Visible(), Item->Align(), Item->Width(), Item->HorzGap()});
  const std::vector<std::optional<int>> Lefts = LayoutCaptionItems(ToRect(Bar), Places);
  // The items paint themselves; a copy of the list, as a painting item may not change it.
  const std::vector<TPGCaptionBarComponent*> Items = FItems;
  for (std::size_t I = 0; I < Items.size(); ++I) {
    TPGCaptionBarComponent* Item = Items[I];
    if (!Lefts[I]) continue;
    Item->SetLeft(*Lefts[I]);
    if (OnlyMarkedItem && !Item->Marked()) continue;
    if (Item->Center()) Item->SetVertGap(CentredVertGap(FHeight, Item->Height()));
    const QRect Place(*Lefts[I], Bar.top() + Item->VertGap(), Item->Width(), Item->Height());
    if (Place.isEmpty()) continue;
    if (OnlyMarkedItem) PaintBackground(Canvas, Place);
    Canvas.save();
    Canvas.translate(Place.topLeft());
    Canvas.setClipRect(QRect(QPoint(0, 0), Place.size()));
    if (!Item->IsTransparent()) Canvas.fillRect(QRect(QPoint(0, 0), Place.size()), FFormActive ? FActiveColor : FInactiveColor);
    Item->Paint(Canvas, QRect(QPoint(0, 0), Place.size()));
    Canvas.restore();
  }
}

void TPGCaptionBar::DrawFrame(QPainter& Canvas) const {
  const QWidget* F = Form();
  if (!F || FBorderStyle == fbsNone) return;
  const QPalette Colours = QApplication::palette();
  const int W = F->width();
  const int H = F->height();
  const QRect Client = F->contentsRect();
  // The frame's face around the bar and the client area, then its edges.
  const QColor Face = Colours.color(QPalette::Button);
  Canvas.fillRect(QRect(0, 0, W, FFrame.Top), Face);
  Canvas.fillRect(QRect(0, 0, FFrame.Left, H), Face);
  Canvas.fillRect(QRect(W - FFrame.Right, 0, FFrame.Right, H), Face);
  Canvas.fillRect(QRect(0, Client.bottom() + 1, W, H - Client.bottom() - 1), Face);
  if (FBorderStyle == fbsSingle || FBorderStyle == fbsToolWindow) {
    DrawBevelRing(Canvas, W, H, 0, Colours.color(QPalette::Shadow), Colours.color(QPalette::Shadow));
    return;
  }
  DrawBevelRing(Canvas, W, H, 0, Face, Colours.color(QPalette::Shadow));
  DrawBevelRing(Canvas, W, H, 1, Colours.color(QPalette::Light), Colours.color(QPalette::Dark));
}

void TPGCaptionBar::Dispatch(TMessage& Message) {
  QWidget* F = Form();
  if (!Message.Event || FBarDestroying || !F) {
    TPGFormSubclass::Dispatch(Message);
    return;
  }
  QEvent* Event = Message.Event;
  switch (Event->type()) {
    case QEvent::Paint: {
      TPGFormSubclass::Dispatch(Message);
      if (FBorderStyle == fbsNone || F->isMinimized()) return;
      // Once after a size command the bar keeps what it last composed.
      if (FSkipNcPaint)
        FSkipNcPaint = false;
      else if (CanPaint())
        ComposeBar(false);
      QPainter Canvas(F);
      DrawFrame(Canvas);
      const QRect Bar = BarRect();
      if (!FBarImage.isNull()) Canvas.drawImage(Bar.topLeft(), FBarImage, Bar);
      return;
    }
    case QEvent::MouseButtonPress:
      if (MousePress(static_cast<QMouseEvent*>(Event))) return;
      break;
    case QEvent::MouseMove:
      if (MouseMove(static_cast<QMouseEvent*>(Event))) return;
      break;
    case QEvent::MouseButtonRelease:
      if (MouseRelease(static_cast<QMouseEvent*>(Event))) return;
      break;
    case QEvent::MouseButtonDblClick:
      if (MouseDoubleClick(static_cast<QMouseEvent*>(Event))) return;
      break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      TPGFormSubclass::Dispatch(Message);
      SetFormActive(Event->type() == QEvent::WindowActivate);
      return;
    case QEvent::Resize:
      TPGFormSubclass::Dispatch(Message);
      RecalcFrame();
      return;
    case QEvent::WindowStateChange:
      TPGFormSubclass::Dispatch(Message);
      ReloadMaximizeGlyphs();
      RecalcFrame();
      return;
    case QEvent::KeyPress: {
      auto* Key = static_cast<QKeyEvent*>(Event);
      if (Key->key() == Qt::Key_Space && (Key->modifiers() & Qt::AltModifier)) {
        for (TPGCaptionBarSystemButton* Button : ItemsOf<TPGCaptionBarSystemButton>())
          if (Button->Kind() == sbkSystemMenu && Button->Visible()) {
            Key->accept();
            Button->ShowPopup();
            Message.Result = 1;
            return;
          }
      }
      break;
    }
    case QEvent::Hide:
    case QEvent::WindowBlocked:
      TPGFormSubclass::Dispatch(Message);
      CancelMode();
      return;
    case QEvent::Leave:
      if (FCursorSet && FDragMode == dmNone) {
        F->unsetCursor();
        FCursorSet = false;
      }
      break;
    default:
      break;
  }
  TPGFormSubclass::Dispatch(Message);
}

bool TPGCaptionBar::MousePress(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return false;
  const QPoint Global = Event->globalPosition().toPoint();
  const THitCode Code = HitTest(Global);
  if (Code == htCaption) {
    Event->accept();
    TPGCaptionBarComponent* Item = ItemAt(Global);
    FCaptureItem = Item;
    if (Item && Item->Enabled() && !Item->AllowDragging()) {
      SetMouseCapture(true);
      FStateBeforePress = Item->State();
      FClickRules->Press();
      const QPoint At = Global - Item->ScreenRect().topLeft();
      Item->MouseDown(Event->button(), Event->modifiers(), At.x(), At.y());
    } else if (!Item || Item->Enabled()) {
      StartMove(Global);
    }
    return true;
  }
  if (IsSizingCode(Code) && IsSizeable(FBorderStyle)) {
    Event->accept();
    StartResize(Code, Global);
    return true;
  }
  return false;
}

bool TPGCaptionBar::MouseMove(QMouseEvent* Event) {
  const QPoint Global = Event->globalPosition().toPoint();
  QWidget* F = Form();
  if (FClickRules->Captured()) {
    FClickRules->Move(FCaptureItem && FCaptureItem->ScreenRect().contains(Global));
    return true;
  }
  if (FDragMode != dmNone) {
    if (!(Event->buttons() & Qt::LeftButton)) {
      FDragMode = dmNone;
      return false;
    }
    const QPoint Delta = Global - FDragStart;
    if (FDragMode == dmMove) {
      F->move(FDragGeometry.topLeft() + Delta);
    } else {
      const TRect R = ResizeFromEdge(FDragCode, ToRect(FDragGeometry), Delta.x(), Delta.y(), F->minimumWidth(),
                                     F->minimumHeight());
      F->setGeometry(ToQRect(R));
    }
    return true;
  }
  const THitCode Code = HitTest(Global);
  UpdateCursor(Code);
  if (Code == htCaption && !FClickTimer->Running()) {
    if (TPGCaptionBarComponent* Item = ItemAt(Global)) {
      const QPoint At = Global - Item->ScreenRect().topLeft();
      Item->MouseMove(Event->modifiers(), At.x(), At.y());
      return true;
    }
  }
  return false;
}

bool TPGCaptionBar::MouseRelease(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return false;
  if (FDragMode != dmNone) {
    FDragMode = dmNone;
    return true;
  }
  if (!FClickRules->Captured()) return false;
  const QPoint Global = Event->globalPosition().toPoint();
  SetMouseCapture(false);
  const QPointer<TPGCaptionBarComponent> Item = FCaptureItem;
  const bool Inside = Item && Item->ScreenRect().contains(Global);
  if (Item) {
    const QPoint At = Global - Item->ScreenRect().topLeft();
    Item->MouseUp(Event->button(), Event->modifiers(), At.x(), At.y());
  }
  if (Item) Item->SettleRelease(FStateBeforePress, Inside);
  FClickRules->Release(Inside && Item && !Item->AllowDragging(), Item && Item->WantsDblClick());
  return true;
}

bool TPGCaptionBar::MouseDoubleClick(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return false;
  const QPoint Global = Event->globalPosition().toPoint();
  if (HitTest(Global) != htCaption) return false;
  Event->accept();
  TPGCaptionBarComponent* Item = ItemAt(Global);
  if (Item && !Item->AllowDragging()) {
    if (Item->Enabled()) {
      FCaptureItem = Item;
      FClickRules->DoubleClick();
    }
  } else if ((!Item || Item->Enabled()) && HasMaximizeBox()) {
    SysCommand(Form()->isMaximized() ? scRestore : scMaximize);
  }
  return true;
}

void TPGCaptionBar::ClickAction(TCaptionMouseAction Action) {
  const QPointer<TPGCaptionBarComponent> Item = FCaptureItem;
  if (!Item) return;
  switch (Action) {
    case cmaMouseEnter:
      Item->MouseEnter();
      break;
    case cmaMouseLeave:
      Item->MouseLeave();
      break;
    case cmaClick:
      Item->Click();
      break;
    case cmaDblClick:
      Item->DblClick();
      break;
  }
}

void TPGCaptionBar::CancelMode() {
  FDragMode = dmNone;
  if (!FClickRules->Captured()) return;
  SetMouseCapture(false);
  FClickRules->Cancel();
  // The pressed item settles as if released outside it.
  if (FCaptureItem) FCaptureItem->SettleRelease(FStateBeforePress, false);
  RecalcFrame();
}

void TPGCaptionBar::StartMove(const QPoint& Global) {
  QWidget* F = Form();
  if (!F || F->isMaximized() || F->isMinimized()) return;
  if (F->isWindow() && F->windowHandle() && F->windowHandle()->startSystemMove()) return;
  // The window system does not move the window (no window manager): the mouse does.
  FDragMode = dmMove;
  FDragStart = Global;
  FDragGeometry = QRect(F->pos(), F->size());
}

void TPGCaptionBar::StartResize(THitCode Code, const QPoint& Global) {
  QWidget* F = Form();
  if (!F || F->isMaximized() || F->isMinimized()) return;
  if (F->isWindow() && F->windowHandle() && F->windowHandle()->startSystemResize(EdgesOf(Code))) return;
  FDragMode = dmSize;
  FDragCode = Code;
  FDragStart = Global;
  FDragGeometry = F->geometry();
}

void TPGCaptionBar::UpdateCursor(THitCode Code) {
  QWidget* F = Form();
  Qt::CursorShape Shape = Qt::ArrowCursor;
  bool Sizing = IsSizeable(FBorderStyle) && !F->isMaximized();
  switch (Code) {
    case htLeft:
    case htRight:
      Shape = Qt::SizeHorCursor;
      break;
    case htTop:
    case htBottom:
      Shape = Qt::SizeVerCursor;
      break;
    case htTopLeft:
    case htBottomRight:
      Shape = Qt::SizeFDiagCursor;
      break;
    case htTopRight:
    case htBottomLeft:
      Shape = Qt::SizeBDiagCursor;
      break;
    default:
      Sizing = false;
      break;
  }
  if (Sizing) {
    F->setCursor(Shape);
    FCursorSet = true;
  } else if (FCursorSet) {
    F->unsetCursor();
    FCursorSet = false;
  }
}

QRect TPGCaptionBar::MaximizedGeometry() const {
  const QWidget* F = Form();
  const QScreen* Screen = F && F->screen() ? F->screen() : QGuiApplication::primaryScreen();
  return Screen ? Screen->availableGeometry() : QRect();
}

void TPGCaptionBar::SysCommand(TSysCommand Command) {
  const QPointer<TPGCaptionBar> Guard(this);
  QWidget* F = Form();
  if (!F) return;
  BeginUpdate();
  switch (Command) {
    case scClose:
      EndUpdate();
      F->close();
      return;
    case scMaximize:
      if (!F->isMaximized()) FNormalGeometry = F->geometry();
      // Maximised beside the task bar: the screen's available area, also where no window
      // manager places maximised windows. The place first: a new place ends the maximised state.
      if (F->isWindow()) F->setGeometry(MaximizedGeometry());
      if (Guard) F->setWindowState((F->windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
      break;
    case scRestore:
      F->setWindowState(F->windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized));
      if (Guard && FNormalGeometry.isValid()) F->setGeometry(FNormalGeometry);
      break;
    case scMinimize:
      F->showMinimized();
      break;
    case scMove:
      StartMove(QCursor::pos());
      break;
    case scSize:
      FSkipNcPaint = true;
      StartResize(htBottomRight, QCursor::pos());
      break;
  }
  if (!Guard) return;
  EndUpdate();
  if (Command == scMaximize || Command == scRestore) ReloadMaximizeGlyphs();
  RecalcFrame();
}

void TPGCaptionBar::ReloadMaximizeGlyphs() {
  for (TPGCaptionBarSystemButton* Button : ItemsOf<TPGCaptionBarSystemButton>())
    if (Button->Kind() == sbkMaximize) Button->LoadSystemGlyph();
}

void TPGCaptionBar::RehookTimer() {
  TPGFormSubclass::RehookTimer();
  if (RehookPending() || !Form()) return;
  // The new native window needs the frame removed again.
  SetCaptionStyle(Active());
  FFormActive = Form()->isActiveWindow() || !Form()->isVisible();
  RecalcFrame();
}
