#pragma once
// The items of a caption bar (PGDsgFrm.h): the title, push, toggle and static buttons, and the
// window's system buttons (close, maximise or restore, minimise, system menu). An item is made
// for a form; it joins the form's caption bar (made for it when the form has none), which owns
// it from then on and places, paints and feeds it the mouse. Items that show a picture and a
// caption draw them through a glyph engine (PGGlyph.h).
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>
#include <memory>

#include "controls/CaptionBarRules.h"
#include "controls/PGGlyph.h"

class TPGCaptionBar;
class QPainter;

// An item made for something that is not a form.
class EInvalidOwner : public ECaptionBar {
public:
  using ECaptionBar::ECaptionBar;
};

class TPGCaptionBarComponent : public QObject {
  Q_OBJECT
public:
  ~TPGCaptionBarComponent() override;

  using TNotifyEvent = std::function<void(TPGCaptionBarComponent* Sender)>;
  using TMouseEvent = std::function<void(TPGCaptionBarComponent* Sender, Qt::MouseButton Button,
                                         Qt::KeyboardModifiers Shift, int X, int Y)>;
  using TMouseMoveEvent = std::function<void(TPGCaptionBarComponent* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  TLeftRight Align() const { return FAlign; }
  void SetAlign(TLeftRight Value);
  // The position in the bar's list.
  int Index() const;
  void SetIndex(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // The gap before a left item, after a right one.
  int HorzGap() const { return FHorzGap; }
  void SetHorzGap(int Value);
  // The item's top in the bar (set by the bar while Center is on).
  int VertGap() const { return FVertGap; }
  void SetVertGap(int Value);
  bool Autosize() const { return FAutosize; }
  void SetAutosize(bool Value);
  // A press on the item drags the window instead of pressing it.
  bool AllowDragging() const { return FAllowDragging; }
  void SetAllowDragging(bool Value) { FAllowDragging = Value; }
  TPGCaptionBarComponentButtonType ButtonType() const { return FButtonType; }
  void SetButtonType(TPGCaptionBarComponentButtonType Value);
  bool Center() const { return FCenter; }
  void SetCenter(bool Value);
  TPGGlyphState State() const { return FState; }
  // Changes the state unless the item is a static button.
  virtual void SetState(TPGGlyphState Value);
  bool Enabled() const { return FState != gsDisabled; }
  void SetEnabled(bool Value);
  bool Down() const { return FState == gsDown; }
  void SetDown(bool Value);
  QMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(QMenu* Value) { FPopupMenu = Value; }

  TPGCaptionBar* Bar() const { return FBar; }
  QWidget* Form() const { return FForm; }
  // The item's left edge in the window, as the bar last placed it.
  int Left() const { return FLeft; }
  void SetLeft(int Value) { FLeft = Value; }
  // The item's rectangle in the window and on the screen.
  QRect WindowRect() const;
  QRect ScreenRect() const;
  // Marked for the next repaint of only the marked items.
  bool Marked() const { return FMarked; }
  void SetMarked(bool Value) { FMarked = Value; }

  // The mouse, from the bar. X and Y are relative to the item.
  virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool WantsDblClick() const { return static_cast<bool>(OnDblClick); }
  virtual void Click();
  virtual void DblClick();
  // Settles the state after a release inside or outside the item.
  void SettleRelease(TPGGlyphState BeforePress, bool Inside);
  // Paints the item into Rect (the item's own coordinates) of Canvas.
  virtual void Paint(QPainter& Canvas, const QRect& Rect);
  // Takes the preferred size (buttons of the bar share the largest one when the bar says so).
  virtual void UpdateSize();
  virtual bool IsTransparent() const { return true; }
  // The item sizes itself.
  virtual bool NeedsAutosize() const;
  virtual void GetPreferredSize(int& W, int& H);
  virtual bool HasPopup() const;
  virtual void ShowPopup();
  // Repaints the item in the bar.
  void Invalidate();

protected:
  // Owner must be a form (a window), else EInvalidOwner.
  explicit TPGCaptionBarComponent(QWidget* Owner);
  void SetDefaultHeight();

private:
  TPGCaptionBar* FBar = nullptr;
  QPointer<QWidget> FForm;
  TLeftRight FAlign = lrLeftJustify;
  bool FVisible = true;
  int FWidth = 0;
  int FHeight = 0;
  int FHorzGap = 2;
  int FVertGap = 2;
  bool FAutosize = true;
  bool FAllowDragging = true;
  TPGCaptionBarComponentButtonType FButtonType = cctPushButton;
  bool FCenter = true;
  TPGGlyphState FState = gsUp;
  QPointer<QMenu> FPopupMenu;
  int FLeft = 0;
  bool FMarked = false;
};

// An item with a glyph engine.
class TPGCaptionBarGlyphBase : public TPGCaptionBarComponent {
  Q_OBJECT
public:
  TPGGlyphEngine& Engine() { return *FEngine; }
  const TPGGlyphEngine& Engine() const { return *FEngine; }
  QString Caption() const { return FEngine->Caption(); }
  void SetCaption(const QString& Value) { FEngine->SetCaption(Value); }
  const QImage& Glyph() const { return FEngine->Picture(); }
  void SetGlyph(const QImage& Value) { FEngine->SetPicture(Value); }
  QFont Font() const { return FEngine->Font(); }
  void SetFont(const QFont& Value) { FEngine->SetFont(Value); }
  QColor FontColor() const { return FEngine->FontColor(); }
  void SetFontColor(const QColor& Value) { FEngine->SetFontColor(Value); }
  TPGGlyphLayout Layout() const { return FEngine->Layout(); }
  void SetLayout(TPGGlyphLayout Value) { FEngine->SetLayout(Value); }
  int Margin() const { return FEngine->Margin(); }
  void SetMargin(int Value) { FEngine->SetMargin(Value); }
  int Spacing() const { return FEngine->Spacing(); }
  void SetSpacing(int Value) { FEngine->SetSpacing(Value); }
  int NumGlyphs() const { return FEngine->NumGlyphs(); }
  void SetNumGlyphs(int Value) { FEngine->SetNumGlyphs(Value); }
  bool Transparent() const { return FEngine->Transparent(); }
  void SetTransparent(bool Value) { FEngine->SetTransparent(Value); }
  QColor TransparentColor() const { return FEngine->TransparentColor(); }
  void SetTransparentColor(const QColor& Value) { FEngine->SetTransparentColor(Value); }

  void SetState(TPGGlyphState Value) override;
  void Paint(QPainter& Canvas, const QRect& Rect) override;
  bool IsTransparent() const override { return FEngine->Transparent(); }
  void GetPreferredSize(int& W, int& H) override;

protected:
  explicit TPGCaptionBarGlyphBase(QWidget* Owner);

private:
  std::unique_ptr<TPGGlyphEngine> FEngine;
};

class TPGCaptionBarButtonBase : public TPGCaptionBarGlyphBase {
  Q_OBJECT
public:
  int BevelWidth() const { return Engine().BevelWidth(); }
  void SetBevelWidth(int Value) { Engine().SetBevelWidth(Value); }

protected:
  explicit TPGCaptionBarButtonBase(QWidget* Owner) : TPGCaptionBarGlyphBase(Owner) {}
};

// A push, toggle or static button on a button face.
class TPGCaptionBarButton : public TPGCaptionBarButtonBase {
  Q_OBJECT
public:
  explicit TPGCaptionBarButton(QWidget* Owner);
};

// The title: a static glyph and caption without a face; a press on it drags the window.
class TPGCaptionBarGlyph : public TPGCaptionBarButtonBase {
  Q_OBJECT
public:
  explicit TPGCaptionBarGlyph(QWidget* Owner);
  bool NeedsAutosize() const override { return Autosize(); }
};

// One of the window's own buttons. A new one takes the kind after the last system button of
// the bar (close, maximise, minimise, system menu) and the window system's bitmap for it.
class TPGCaptionBarSystemButton : public TPGCaptionBarButton {
  Q_OBJECT
public:
  explicit TPGCaptionBarSystemButton(QWidget* Owner);

  TPGSystemButtonKind Kind() const { return FKind; }
  void SetKind(TPGSystemButtonKind Value);
  TPGSystemButtonStyle Style() const { return FStyle; }
  // In the old style a close button is hidden (the system-menu button closes the window).
  void SetStyle(TPGSystemButtonStyle Value);
  bool IsNewStyle() const { return IsNewStyleSystemButton(FStyle); }

  // The gap and side of the kind.
  void LoadSystemPreferences();
  // The kind's bitmap (for a new-style system-menu button the form's icon, or MAINICON,
  // reduced to 16 x 16); nothing for an own glyph.
  void LoadSystemGlyph();
  // The name of the bitmap last loaded ("SBK_RESTORE_95", "MAINICON"...).
  QString GlyphName() const { return FGlyphName; }

  // Close, maximise or restore, minimise; the system-menu button opens the system menu.
  void Click() override;
  // Only the system-menu button wants double clicks; its double click closes the window, the
  // others click again.
  bool WantsDblClick() const override { return FKind == sbkSystemMenu; }
  void DblClick() override;
  // The system-menu button opens its popup menu or else the system menu, below itself.
  void ShowPopup() override;
  // The system menu as it stands now: Restore, Move, Size, Minimize, Maximize, Close (a dialog
  // frame: Move and Close). The menu belongs to the button.
  QMenu* BuildSystemMenu();
  QMenu* SystemMenu() const { return FSystemMenu.get(); }

private:
  TPGSystemButtonKind FKind = sbkSystemClose;
  TPGSystemButtonStyle FStyle = sbsAutoDetect;
  QString FGlyphName;
  std::unique_ptr<QMenu> FSystemMenu;
};
