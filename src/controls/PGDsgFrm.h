#pragma once
// The game's own caption bar in place of the window system's title bar. The form becomes a
// frameless window that draws its own frame: edges by its border style and, below the top
// edge, a bar of Height pixels with a row of items (PGCaptionItems.h) over a background colour
// (one while the form is active, another while not) or a tiled picture. The form's contents
// rectangle (its contents margins) is what lies inside frame and bar. Pressing the bar's empty
// area or an item that allows dragging moves the window through the window system, or from the
// mouse where the window system refuses; the edges and corners size it the same way, with the
// matching cursors; a double click on the empty bar maximises the form to the screen's
// available area and restores it. A click on an item that wants double clicks waits 100 ms
// for a second press (CaptionBarRules.h). One bar per form.
#include <QColor>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <memory>
#include <vector>

#include "controls/CaptionBarRules.h"
#include "controls/PGCaptionItems.h"
#include "controls/PGSubCls.h"

enum TPGCaptionBarOption : unsigned {
  cboButtonsSameHeight = 1u << 0,
  cboButtonsSameWidth = 1u << 1,
  cboButtonsAutosize = 1u << 2,
  cboCaptionBarAutosize = 1u << 3,
  cboDesignTimeActive = 1u << 4,
  cboDesignTimeEnhancements = 1u << 5,
  cboDesignTimeTips = 1u << 6,
};
using TPGCaptionBarOptions = unsigned;

// The window commands of the system menu and the system buttons.
enum TSysCommand { scClose, scMaximize, scRestore, scMinimize, scMove, scSize };

// The window system's caption colours.
inline const QColor clActiveCaption = QColor(0, 0, 128);
inline const QColor clInactiveCaption = QColor(128, 128, 128);

class TPGCaptionBar : public TPGFormSubclass {
  Q_OBJECT
public:
  // Owner is the form; a second bar on one form raises ECaptionBar "You only need a single
  // Caption Bar component".
  explicit TPGCaptionBar(QWidget* Owner);
  // Frees the items, last first, and gives the form its own caption back.
  ~TPGCaptionBar() override;

  static TPGCaptionBar* FindCaptionBar(const QWidget* Form);

  int Height() const { return FHeight; }
  void SetHeight(int Value);
  int VertMargin() const { return FVertMargin; }
  void SetVertMargin(int Value);
  QColor ActiveColor() const { return FActiveColor; }
  void SetActiveColor(const QColor& Value);
  QColor InactiveColor() const { return FInactiveColor; }
  void SetInactiveColor(const QColor& Value);
  QColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(const QColor& Value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  const QImage& Picture() const { return FPicture; }
  void SetPicture(const QImage& Value);
  TPGCaptionBarOptions Options() const { return FOptions; }
  void SetOptions(TPGCaptionBarOptions Value);
  bool HasOption(TPGCaptionBarOption Option) const { return (FOptions & Option) != 0; }
  // The form's minimum size.
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int Value);
  TPGCaptionBarGlyph* Title() const { return static_cast<TPGCaptionBarGlyph*>(FTitle.data()); }
  void SetTitle(TPGCaptionBarGlyph* Value) { FTitle = Value; }
  // The form's border: its frame's edges and whether they size it.
  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  bool HasMaximizeBox() const { return FBorderStyle == fbsSingle || FBorderStyle == fbsSizeable; }

  // Measures the frame, sets the form's contents margins and repaints the bar (not while
  // updating).
  virtual void RecalcFrame();
  // Removes (Remove) or gives back the window system's own frame and caption.
  void SetCaptionStyle(bool Remove);
  // Composes the bar (all of it, or only the marked items) and has it drawn on the form.
  void PaintCaptionBar(bool OnlyMarkedItem);
  void InvalidateItem(TPGCaptionBarComponent* Item);

  void AddItem(TPGCaptionBarComponent* Item);
  void RemoveItem(TPGCaptionBarComponent* Item);
  TPGCaptionBarComponent* GetItem(int Index) const;
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  int IndexOf(const TPGCaptionBarComponent* Item) const;
  void MoveItem(TPGCaptionBarComponent* Item, int Index);
  // Every item of class T, in list order.
  template <class T>
  std::vector<T*> ItemsOf() const {
    std::vector<T*> Out;
    for (TPGCaptionBarComponent* Item : FItems)
      if (T* Typed = qobject_cast<T*>(Item)) Out.push_back(Typed);
    return Out;
  }
  // Height := 2 x VertMargin + the tallest item.
  void AutosizeBar();
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
  }
  bool IsUpdating() const { return FUpdateCount > 0; }
  void ResetUpdate() { FUpdateCount = 0; }

  // The measured frame, the bar's rectangle in window and screen coordinates.
  const TCaptionFrame& Frame() const { return FFrame; }
  QRect BarRect() const;
  QRect BarScreenRect() const;
  // What a point on the screen hits: the bar, an edge or corner, the client area.
  THitCode HitTest(const QPoint& Global) const;
  // The first visible item whose rectangle holds Global.
  TPGCaptionBarComponent* ItemAt(const QPoint& Global) const;
  // The bar's colours follow the form's activation.
  bool FormActive() const { return FFormActive; }
  void SetFormActive(bool Value);
  // The bar as last composed (as large as the bar rectangle's right and bottom).
  const QImage& BarImage() const { return FBarImage; }
  bool ClickTimerRunning() const;

  // Carries out a window command.
  void SysCommand(TSysCommand Command);
  // The place the form takes when maximised: the available area of its screen.
  QRect MaximizedGeometry() const;

protected:
  void Dispatch(TMessage& Message) override;
  void RehookTimer() override;

private:
  class TClickTimer;
  static QWidget* CheckSingleBar(QWidget* Owner);
  void ComposeBar(bool OnlyMarkedItem);
  void PaintBackground(QPainter& Canvas, const QRect& Area);
  void DrawFrame(QPainter& Canvas) const;
  void ClickAction(TCaptionMouseAction Action);
  bool MousePress(QMouseEvent* Event);
  bool MouseMove(QMouseEvent* Event);
  bool MouseRelease(QMouseEvent* Event);
  bool MouseDoubleClick(QMouseEvent* Event);
  void StartMove(const QPoint& Global);
  void StartResize(THitCode Code, const QPoint& Global);
  void UpdateCursor(THitCode Code);
  void CancelMode();
  void ReloadMaximizeGlyphs();
  bool CanPaint() const;

  int FHeight = 18;
  int FVertMargin = 2;
  QColor FActiveColor = clActiveCaption;
  QColor FInactiveColor = clInactiveCaption;
  QColor FTransparentColor = clActiveCaption;
  bool FTransparent = true;
  QImage FPicture;
  TPGCaptionBarOptions FOptions = cboButtonsSameHeight | cboButtonsAutosize | cboCaptionBarAutosize |
                                  cboDesignTimeEnhancements | cboDesignTimeTips;
  int FMinWidth = 0;
  int FMinHeight = 0;
  // Held as an object: the title is cleared while it is being destroyed, no longer a glyph.
  QPointer<QObject> FTitle;
  TFormBorderStyle FBorderStyle = fbsSizeable;

  std::vector<TPGCaptionBarComponent*> FItems;
  TCaptionFrame FFrame;
  int FUpdateCount = 0;
  bool FFormActive = true;
  bool FSkipNcPaint = false;
  bool FBarDestroying = false;
  QPointer<TPGCaptionBarComponent> FCaptureItem;
  TPGGlyphState FStateBeforePress = gsUp;
  std::unique_ptr<TClickTimer> FClickTimer;
  std::unique_ptr<TCaptionClickRules> FClickRules;
  QImage FBarImage;

  // Moving or sizing the window from the mouse where the window system does not.
  enum TDragMode { dmNone, dmMove, dmSize };
  TDragMode FDragMode = dmNone;
  THitCode FDragCode = htNowhere;
  QPoint FDragStart;
  QRect FDragGeometry;
  bool FCursorSet = false;
  // The form's place before it was maximised.
  QRect FNormalGeometry;
};
