#pragma once
// The caption bar's rules that need no window: the click and double-click rules of its items
// with their 100 ms click timer, how a released toggle button settles, where the items go in
// the bar, which part of the window a point hits, how far a drag from an edge resizes the
// window, and the system buttons' kinds, gaps and bitmap names. The bar (PGDsgFrm.h) feeds
// them the window's mouse events and carries out what they decide.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"

// Raised for misuse of the caption bar and its items, with fixed English messages.
class ECaptionBar : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// The state of an item, also the index of its drawing and of its glyph cell.
enum TPGGlyphState { gsUp = 0, gsDisabled = 1, gsDown = 2 };

enum TPGCaptionBarComponentButtonType { cctPushButton, cctToggleButton, cctStaticButton };

// Which edge of the bar an item is placed from (the lr prefix keeps the names apart from the
// graphic panel's alignment).
enum TLeftRight { lrLeftJustify, lrRightJustify };

enum TPGSystemButtonKind { sbkSystemClose, sbkMaximize, sbkMinimize, sbkSystemMenu };
enum TPGSystemButtonStyle { sbsOwnerGlyph, sbsAutoDetect, sbsWin31, sbsNew };

// The border of a form: none, a thin line, a sizing frame, a dialog frame, and the two tool
// window frames (thin and sizing). The fbs prefix keeps them apart from the graphic panel's
// border styles.
enum TFormBorderStyle { fbsNone, fbsSingle, fbsSizeable, fbsDialog, fbsToolWindow, fbsSizeToolWin };

// What a point of a window is: the codes the window system answers a hit test with.
enum THitCode {
  htNowhere = 0,
  htClient = 1,
  htCaption = 2,
  htLeft = 10,
  htRight = 11,
  htTop = 12,
  htTopLeft = 13,
  htTopRight = 14,
  htBottom = 15,
  htBottomLeft = 16,
  htBottomRight = 17,
  htBorder = 18,
};

// A released item's state: a push button comes up; a toggle released inside flips from the
// state it had before the press (down unless it was down), released outside it goes back to
// that state; a static item keeps Current.
TPGGlyphState SettleReleasedState(TPGCaptionBarComponentButtonType ButtonType, TPGGlyphState Current,
                                  TPGGlyphState BeforePress, bool Inside);

// The click timer of the bar: started for 100 ms after a release on an item that wants double
// clicks. The bar gives a window-system timer; tests give a fake clock.
class TCaptionClickTimer {
public:
  virtual ~TCaptionClickTimer() = default;
  virtual void Start(int IntervalMs) = 0;
  virtual void Stop() = 0;
  virtual bool Running() const = 0;
};

enum TCaptionMouseAction { cmaMouseEnter, cmaMouseLeave, cmaClick, cmaDblClick };

// The mouse on a pressed item that does not allow dragging. Press captures the mouse; while
// captured, the pointer leaving the item and coming back gives one MouseLeave and one
// MouseEnter per crossing; a release inside gives Click at once when the item wants no double
// clicks, else starts the click timer. When the timer fires it gives DblClick when a double
// click came meanwhile, else Click. A double-click press gives DblClick at once and stops the
// timer, so a second press within 100 ms of the release gives one DblClick and no Click, and a
// slower one gives Click (when the timer fires) and then DblClick.
class TCaptionClickRules {
public:
  static constexpr int ClickInterval = 100;

  explicit TCaptionClickRules(TCaptionClickTimer& Timer) : FTimer(Timer) {}

  using TActionEvent = std::function<void(TCaptionClickRules* Sender, TCaptionMouseAction Action)>;
  TActionEvent OnAction;

  void Press();
  void Move(bool Inside);
  // Ends the capture (nothing happens when the mouse was not captured). Inside: the release
  // lies in the pressed item.
  void Release(bool Inside, bool WantsDblClick);
  void DoubleClick();
  void TimerFired();
  // The capture ends without a release (the window was hidden or blocked meanwhile).
  void Cancel();

  bool Captured() const { return FCaptured; }
  bool Inside() const { return FInside; }
  bool DblClickPending() const { return FDblClick; }
  bool TimerRunning() const { return FTimer.Running(); }

private:
  void Fire(TCaptionMouseAction Action);
  TCaptionClickTimer& FTimer;
  bool FCaptured = false;
  bool FInside = false;
  bool FDblClick = false;
};

// An item's place in the bar.
struct TCaptionItemPlace {
  bool Visible = true;
  TLeftRight Align = lrLeftJustify;
  int Width = 0;
  int HorzGap = 0;
};

// The left edge of every item in Bar (nothing for a hidden one), in list order: a left item
// goes HorzGap after the items left of it, a right item HorzGap before the items right of it,
// so the first right item is the rightmost.
std::vector<std::optional<int>> LayoutCaptionItems(const TRect& Bar, const std::vector<TCaptionItemPlace>& Items);

// An item's top offset in the bar when it is centred.
inline int CentredVertGap(int BarHeight, int ItemHeight) { return (BarHeight - ItemHeight) / 2 + 1; }

// An item's default height in a bar of BarHeight with VertMargin (never below 0); its default
// width is one more.
int DefaultItemHeight(int BarHeight, int VertMargin);

// The frame that the window system would draw around a form of Style: its thickness, and
// whether its edges size the window.
int FrameThickness(TFormBorderStyle Style);
bool IsSizeable(TFormBorderStyle Style);
// How far from a corner an edge still sizes the window at that corner.
constexpr int CornerGrip = 16;

// What the window system answers for Point (screen coordinates) of a frameless window at
// Window whose frame of Style it draws itself: the sizing edges and corners, a plain border,
// or the client area. Outside the window: htNowhere.
THitCode DefaultHitTest(const TRect& Window, TFormBorderStyle Style, TPoint Point);

// The measured frame of a caption bar's form and the bar's height.
struct TCaptionFrame {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int BarHeight = 0;
};

// The bar's rectangle in window coordinates: right of the left frame, below the top frame.
TRect CaptionBarRect(const TRect& Window, const TCaptionFrame& Frame);

// The bar's hit test for Point (screen coordinates): the bar is the caption; on a sizeable
// form the bottom strip as high as the top frame sizes it (the corners 13 pixels wide);
// anything else is Default.
THitCode CaptionHitTest(const TRect& Window, const TCaptionFrame& Frame, bool Sizeable, TPoint Point,
                        THitCode Default);

// Probes HitTest from Start one pixel at a time by (DX, DY) while the answer is one of Codes:
// the number of steps to the first pixel that answers otherwise, or 0 after more than 50 steps.
int ProbeHitTest(TPoint Start, int DX, int DY, const std::vector<THitCode>& Codes,
                 const std::function<THitCode(TPoint)>& HitTest);
// The frame of a form of Style at Window as the probes measure it (one pixel for a thin or no
// border, without probing).
TCaptionFrame MeasureFrame(const TRect& Window, TFormBorderStyle Style, int BarHeight);

// The window rectangle after dragging edge Code of Start by (DX, DY), never smaller than
// MinWidth x MinHeight (the dragged edge stops, the opposite one stays). Codes that are no
// edge leave Start.
TRect ResizeFromEdge(THitCode Code, const TRect& Start, int DX, int DY, int MinWidth, int MinHeight);

// System buttons. The kind a new system button takes after the last one in the bar: close,
// maximise, minimise, system menu, then close again; close when there is none.
TPGSystemButtonKind NextSystemButtonKind(std::optional<TPGSystemButtonKind> Last);
// The gap of a system button of Kind (the old style puts minimise against maximise); raises
// ECaptionBar for an unknown kind.
int SystemButtonHorzGap(TPGSystemButtonKind Kind, bool NewStyle);
// Whether a system button of Style draws the new look; WindowVersion is major + minor / 100 of
// the window system (ours answers 4.0). Raises ECaptionBar for an unknown style.
bool IsNewStyleSystemButton(TPGSystemButtonStyle Style, double WindowVersion = 4.0);
// The name of the bitmap of a system button: "SBK_SYSTEMCLOSE", "SBK_RESTORE" while the form
// is maximised or else "SBK_MAXIMIZE", "SBK_MINIMIZE", "SBK_SYSTEMMENU", then "_95" (new
// style) or "_31". Raises ECaptionBar for an unknown kind.
std::string SystemGlyphResourceName(TPGSystemButtonKind Kind, bool Maximized, bool NewStyle);
