#include "controls/PGCaptionItems.h"

#include <QAction>
#include <QApplication>
#include <QPainter>

#include "controls/CaptionBarArt.h"
#include "controls/PGDsgFrm.h"
#include "platform/Application.h"
#include "platform/Fonts.h"

namespace {
QWidget* CheckOwner(QWidget* Owner) {
  if (!Owner || !Owner->isWindow()) {
    if (TPGCaptionBar* Bar = TPGCaptionBar::FindCaptionBar(Owner)) Bar->ResetUpdate();
    throw EInvalidOwner("This component must be owned by a form !!!");
  }
  return Owner;
}
}  // namespace

// ---- TPGCaptionBarComponent ----

TPGCaptionBarComponent::TPGCaptionBarComponent(QWidget* Owner) : QObject(nullptr) {
  CheckOwner(Owner);
  FForm = Owner;
  FBar = TPGCaptionBar::FindCaptionBar(Owner);
  if (!FBar) FBar = new TPGCaptionBar(Owner);
  // The bar owns its items and frees them with itself.
  setParent(FBar);
  FBar->AddItem(this);
  SetDefaultHeight();
  FBar->RecalcFrame();
}

TPGCaptionBarComponent::~TPGCaptionBarComponent() {
  if (FBar) FBar->RemoveItem(this);
}

void TPGCaptionBarComponent::SetDefaultHeight() {
  FHeight = DefaultItemHeight(FBar->Height(), FBar->VertMargin());
  FWidth = FHeight + 1;
}

void TPGCaptionBarComponent::SetAlign(TLeftRight Value) {
  FAlign = Value;
  FBar->RecalcFrame();
}

int TPGCaptionBarComponent::Index() const { return FBar->IndexOf(this); }

void TPGCaptionBarComponent::SetIndex(int Value) { FBar->MoveItem(this, Value); }

void TPGCaptionBarComponent::SetVisible(bool Value) {
  FVisible = Value;
  FBar->RecalcFrame();
}

void TPGCaptionBarComponent::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  FBar->RecalcFrame();
}

void TPGCaptionBarComponent::SetHeight(int Value) {
  FHeight = std::max(0, Value);
  if (FBar->HasOption(cboCaptionBarAutosize)) FBar->AutosizeBar();
  FBar->RecalcFrame();
}

void TPGCaptionBarComponent::SetHorzGap(int Value) {
  FHorzGap = Value;
  FBar->RecalcFrame();
}

void TPGCaptionBarComponent::SetVertGap(int Value) { FVertGap = Value; }

void TPGCaptionBarComponent::SetAutosize(bool Value) {
  FAutosize = Value;
  UpdateSize();
}

void TPGCaptionBarComponent::SetButtonType(TPGCaptionBarComponentButtonType Value) { FButtonType = Value; }

void TPGCaptionBarComponent::SetCenter(bool Value) {
  FCenter = Value;
  FBar->RecalcFrame();
}

void TPGCaptionBarComponent::SetState(TPGGlyphState Value) {
  if (FButtonType == cctStaticButton) return;
  FState = Value;
}

void TPGCaptionBarComponent::SetEnabled(bool Value) {
  SetState(Value ? gsUp : gsDisabled);
  Invalidate();
}

void TPGCaptionBarComponent::SetDown(bool Value) {
  if (Value) {
    if (FState != gsDown) SetState(gsDown);
  } else if (FState != gsUp) {
    SetState(gsUp);
  }
  Invalidate();
}

QRect TPGCaptionBarComponent::WindowRect() const {
  return QRect(FLeft, FBar->Frame().Top + FVertGap, FWidth, FHeight);
}

QRect TPGCaptionBarComponent::ScreenRect() const {
  if (!FForm) return {};
  return WindowRect().translated(FForm->mapToGlobal(QPoint(0, 0)));
}

void TPGCaptionBarComponent::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  SetState(gsDown);
  if (FForm) FForm->activateWindow();
  FBar->SetFormActive(true);
  Invalidate();
  if (OnMouseDown) RunGuarded([&] { OnMouseDown(this, Button, Shift, X, Y); });
  if (HasPopup()) {
    ShowPopup();
    SetState(gsUp);
    Invalidate();
  }
}

void TPGCaptionBarComponent::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseMove) RunGuarded([&] { OnMouseMove(this, Shift, X, Y); });
}

void TPGCaptionBarComponent::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (FButtonType == cctPushButton) SetState(gsUp);
  if (OnMouseUp) RunGuarded([&] { OnMouseUp(this, Button, Shift, X, Y); });
}

void TPGCaptionBarComponent::MouseEnter() {
  if (FButtonType != cctPushButton) return;
  SetState(gsDown);
  Invalidate();
}

void TPGCaptionBarComponent::MouseLeave() {
  if (FButtonType != cctPushButton) return;
  SetState(gsUp);
  Invalidate();
}

void TPGCaptionBarComponent::Click() {
  if (HasPopup()) return;
  if (OnClick) RunGuarded([&] { OnClick(this); });
}

void TPGCaptionBarComponent::DblClick() {
  if (OnDblClick) RunGuarded([&] { OnDblClick(this); });
}

void TPGCaptionBarComponent::SettleRelease(TPGGlyphState BeforePress, bool Inside) {
  SetState(SettleReleasedState(FButtonType, FState, BeforePress, Inside));
  Invalidate();
}

void TPGCaptionBarComponent::Paint(QPainter&, const QRect&) {}

bool TPGCaptionBarComponent::NeedsAutosize() const { return FAutosize && FBar->HasOption(cboButtonsAutosize); }

void TPGCaptionBarComponent::GetPreferredSize(int& W, int& H) {
  W = FWidth;
  H = FHeight;
}

void TPGCaptionBarComponent::UpdateSize() {
  FBar->BeginUpdate();
  int W = 0;
  int H = 0;
  GetPreferredSize(W, H);
  const bool SameWidth = FBar->HasOption(cboButtonsSameWidth);
  const bool SameHeight = FBar->HasOption(cboButtonsSameHeight);
  const std::vector<TPGCaptionBarButton*> Buttons = FBar->ItemsOf<TPGCaptionBarButton>();
  const bool IsButton = qobject_cast<TPGCaptionBarButton*>(this) != nullptr;
  if (IsButton && (SameWidth || SameHeight)) {
    for (TPGCaptionBarButton* Other : Buttons) {
      int OW = 0;
      int OH = 0;
      Other->GetPreferredSize(OW, OH);
      if (SameWidth) W = std::max(W, OW);
      if (SameHeight) H = std::max(H, OH);
    }
    for (TPGCaptionBarButton* Other : Buttons) {
      if (Other == this) continue;
      if (SameWidth) Other->FWidth = W;
      if (SameHeight) Other->FHeight = H;
    }
  }
  FWidth = W;
  FHeight = H;
  FBar->EndUpdate();
  if (FBar->HasOption(cboCaptionBarAutosize)) FBar->AutosizeBar();
  FBar->RecalcFrame();
}

bool TPGCaptionBarComponent::HasPopup() const { return FPopupMenu != nullptr; }

void TPGCaptionBarComponent::ShowPopup() {
  if (!FPopupMenu || !FForm) return;
  const QRect R = ScreenRect();
  FPopupMenu->popup(QPoint(R.left(), R.bottom() + 1));
}

void TPGCaptionBarComponent::Invalidate() { FBar->InvalidateItem(this); }

// ---- TPGCaptionBarGlyphBase ----

TPGCaptionBarGlyphBase::TPGCaptionBarGlyphBase(QWidget* Owner)
    : TPGCaptionBarComponent(Owner), FEngine(std::make_unique<TPGGlyphEngine>()) {
  FEngine->SetFont(GameFont("MS Sans Serif", 11, true));
  FEngine->SetFontColor(QColor(255, 255, 255));
  FEngine->SetTransparentColor(QColor(0, 255, 255));
  SetAllowDragging(false);
  // A new picture or font sizes the item again.
  FEngine->OnRefreshDrawings = [this](TPGGlyphEngine*) {
    if (NeedsAutosize()) UpdateSize();
    Invalidate();
  };
}

void TPGCaptionBarGlyphBase::SetState(TPGGlyphState Value) {
  TPGCaptionBarComponent::SetState(Value);
  FEngine->SetState(State());
  Bar()->PaintCaptionBar(false);
}

void TPGCaptionBarGlyphBase::Paint(QPainter& Canvas, const QRect& Rect) { FEngine->Draw(Canvas, Rect); }

void TPGCaptionBarGlyphBase::GetPreferredSize(int& W, int& H) {
  if (!NeedsAutosize()) {
    TPGCaptionBarComponent::GetPreferredSize(W, H);
    return;
  }
  const TGlyphDrawingLayout Layout = FEngine->CalcLayout();
  W = Layout.Width + 2 * FEngine->BevelWidth();
  H = Layout.Height + 2 * FEngine->BevelWidth();
}

// ---- TPGCaptionBarButton ----

TPGCaptionBarButton::TPGCaptionBarButton(QWidget* Owner) : TPGCaptionBarButtonBase(Owner) {
  Bar()->BeginUpdate();
  SetFont(GameFont("MS Sans Serif", 11, false));
  SetFontColor(QApplication::palette().color(QPalette::ButtonText));
  SetState(gsUp);
  SetTransparent(true);
  Engine().SetButton(true);
  Bar()->EndUpdate();
  UpdateSize();
}

// ---- TPGCaptionBarGlyph ----

TPGCaptionBarGlyph::TPGCaptionBarGlyph(QWidget* Owner) : TPGCaptionBarButtonBase(Owner) {
  Bar()->BeginUpdate();
  SetState(gsUp);
  SetTransparent(true);
  Engine().SetButton(false);
  SetButtonType(cctStaticButton);
  SetBevelWidth(0);
  // The title is part of the caption: pressing it drags the window.
  SetAllowDragging(true);
  Bar()->EndUpdate();
  UpdateSize();
}

// ---- TPGCaptionBarSystemButton ----

TPGCaptionBarSystemButton::TPGCaptionBarSystemButton(QWidget* Owner) : TPGCaptionBarButton(Owner) {
  Bar()->BeginUpdate();
  SetSpacing(0);
  SetLayout(glGlyphBottom);
  SetAlign(lrRightJustify);
  FStyle = sbsAutoDetect;
  SetHorzGap(1);
  std::optional<TPGSystemButtonKind> Last;
  for (TPGCaptionBarSystemButton* Other : Bar()->ItemsOf<TPGCaptionBarSystemButton>())
    if (Other != this) Last = Other->Kind();
  FKind = NextSystemButtonKind(Last);
  Bar()->EndUpdate();
  LoadSystemGlyph();
  LoadSystemPreferences();
}

void TPGCaptionBarSystemButton::SetKind(TPGSystemButtonKind Value) {
  FKind = Value;
  LoadSystemPreferences();
  LoadSystemGlyph();
}

void TPGCaptionBarSystemButton::SetStyle(TPGSystemButtonStyle Value) {
  FStyle = Value;
  if (!IsNewStyle() && FKind == sbkSystemClose) SetVisible(false);
  LoadSystemPreferences();
  LoadSystemGlyph();
}

void TPGCaptionBarSystemButton::LoadSystemPreferences() {
  SetHorzGap(SystemButtonHorzGap(FKind, IsNewStyle()));
  SetAlign(FKind == sbkSystemMenu ? lrLeftJustify : lrRightJustify);
}

void TPGCaptionBarSystemButton::LoadSystemGlyph() {
  if (FStyle == sbsOwnerGlyph) return;
  const bool NewStyle = IsNewStyle();
  if (FKind == sbkSystemMenu && NewStyle) {
    const QIcon Icon = Form() ? Form()->windowIcon() : QIcon();
    const QImage Picture = Icon.isNull() ? LoadCaptionArt("MAINICON") : Icon.pixmap(32, 32).toImage();
    FGlyphName = Icon.isNull() ? "MAINICON" : "icon";
    SetGlyph(Picture.isNull() ? QImage() : ShrinkIconToGlyph(Picture));
    return;
  }
  const bool Maximized = Form() && Form()->isMaximized();
  FGlyphName = QString::fromStdString(SystemGlyphResourceName(FKind, Maximized, NewStyle));
  SetGlyph(LoadCaptionArt(FGlyphName));
}

void TPGCaptionBarSystemButton::Click() {
  switch (FKind) {
    case sbkSystemClose:
      Bar()->SysCommand(scClose);
      return;
    case sbkMaximize:
      Bar()->SysCommand(Form() && Form()->isMaximized() ? scRestore : scMaximize);
      return;
    case sbkMinimize:
      Bar()->SysCommand(scMinimize);
      return;
    case sbkSystemMenu:
      ShowPopup();
      return;
  }
  throw ECaptionBar("Undefined system button kind in \"Click\".");
}

void TPGCaptionBarSystemButton::DblClick() {
  if (FKind == sbkSystemMenu)
    Bar()->SysCommand(scClose);
  else
    Click();
}

void TPGCaptionBarSystemButton::ShowPopup() {
  if (FKind != sbkSystemMenu) {
    TPGCaptionBarButton::ShowPopup();
    return;
  }
  if (!Form()) return;
  const QPoint At = Form()->mapToGlobal(QPoint(Left(), Bar()->Frame().Top + Bar()->Height()));
  if (PopupMenu())
    PopupMenu()->popup(At);
  else
    BuildSystemMenu()->popup(At);
}

QMenu* TPGCaptionBarSystemButton::BuildSystemMenu() {
  FSystemMenu = std::make_unique<QMenu>();
  FSystemMenu->setObjectName("SystemMenu");
  QMenu* Menu = FSystemMenu.get();
  TPGCaptionBar* TheBar = Bar();
  auto Add = [&](const QString& Caption, TSysCommand Command, bool Enabled) {
    QAction* Action = Menu->addAction(Caption);
    Action->setEnabled(Enabled);
    QObject::connect(Action, &QAction::triggered, TheBar,
                     [TheBar, Command] { RunGuarded([&] { TheBar->SysCommand(Command); }); });
    return Action;
  };
  QWidget* F = Form();
  const TFormBorderStyle Border = TheBar->BorderStyle();
  QAction* Close = nullptr;
  if (Border == fbsDialog) {
    Add("&Move", scMove, true);
    Close = Add("&Close", scClose, true);
  } else {
    const bool Maximized = F && F->isMaximized();
    const bool Minimized = F && F->isMinimized();
    const bool MaxBox = TheBar->HasMaximizeBox();
    bool HasMinimize = false;
    for (TPGCaptionBarSystemButton* Button : TheBar->ItemsOf<TPGCaptionBarSystemButton>())
      if (Button->Kind() == sbkMinimize) HasMinimize = true;
    Add("&Restore", scRestore, MaxBox && Maximized);
    Add("&Move", scMove, Border != fbsNone && !Minimized && !Maximized);
    Add("&Size", scSize, IsSizeable(Border) && !Minimized && !Maximized);
    Add("Mi&nimize", scMinimize, HasMinimize);
    Add("Ma&ximize", scMaximize, MaxBox && !Maximized);
    Menu->addSeparator();
    Close = Add("&Close", scClose, true);
  }
  Close->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));
  Menu->setDefaultAction(Close);
  return Menu;
}
