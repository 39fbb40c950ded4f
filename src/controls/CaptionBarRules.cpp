#include "controls/CaptionBarRules.h"

#include <algorithm>

TPGGlyphState SettleReleasedState(TPGCaptionBarComponentButtonType ButtonType, TPGGlyphState Current,
                                  TPGGlyphState BeforePress, bool Inside) {
  switch (ButtonType) {
    case cctPushButton:
      return gsUp;
    case cctToggleButton:
      if (!Inside) return BeforePress;
      return BeforePress != gsDown ? gsDown : gsUp;
    case cctStaticButton:
      break;
  }
  return Current;
}

void TCaptionClickRules::Fire(TCaptionMouseAction Action) {
  if (OnAction) OnAction(this, Action);
}

void TCaptionClickRules::Press() {
  FCaptured = true;
  FInside = true;
}

void TCaptionClickRules::Move(bool Inside) {
  if (!FCaptured || Inside == FInside) return;
  FInside = Inside;
  Fire(Inside ? cmaMouseEnter : cmaMouseLeave);
}

void TCaptionClickRules::Release(bool Inside, bool WantsDblClick) {
  if (!FCaptured) return;
  FCaptured = false;
  FInside = false;
  if (!Inside) return;
  if (!WantsDblClick) {
    Fire(cmaClick);
    return;
  }
  FDblClick = false;
  FTimer.Start(ClickInterval);
}

void TCaptionClickRules::DoubleClick() {
  FDblClick = true;
  TimerFired();
}

void TCaptionClickRules::Cancel() {
  FCaptured = false;
  FInside = false;
}

void TCaptionClickRules::TimerFired() {
  FTimer.Stop();
  const bool Double = FDblClick;
  FDblClick = false;
  Fire(Double ? cmaDblClick : cmaClick);
}

std::vector<std::optional<int>> LayoutCaptionItems(const TRect& Bar, const std::vector<TCaptionItemPlace>& Items) {
  std::vector<std::optional<int>> Lefts;
  Lefts.reserve(Items.size());
  int Left = Bar.Left;
  int Right = Bar.Right;
  for (const TCaptionItemPlace& Item : Items) {
    if (!Item.Visible) {
      Lefts.emplace_back();
    } else if (Item.Align == lrRightJustify) {
      Right -= Item.Width + Item.HorzGap;
      Lefts.emplace_back(Right);
    } else {
      Left += Item.HorzGap;
      Lefts.emplace_back(Left);
      Left += Item.Width;
    }
  }
  return Lefts;
}

int DefaultItemHeight(int BarHeight, int VertMargin) {
  int Height = std::max(0, BarHeight - 2 * VertMargin);
  if ((BarHeight - Height) % 2 != 0) Height -= 1;
  return std::max(0, Height);
}

int FrameThickness(TFormBorderStyle Style) {
  switch (Style) {
    case fbsNone:
      return 0;
    case fbsSingle:
    case fbsToolWindow:
      return 1;
    case fbsDialog:
      return 3;
    case fbsSizeable:
    case fbsSizeToolWin:
      return 4;
  }
  return 0;
}

bool IsSizeable(TFormBorderStyle Style) { return Style == fbsSizeable || Style == fbsSizeToolWin; }

THitCode DefaultHitTest(const TRect& Window, TFormBorderStyle Style, TPoint Point) {
  if (!Window.Contains(Point)) return htNowhere;
  const int T = FrameThickness(Style);
  const bool Left = Point.X < Window.Left + T;
  const bool Right = Point.X >= Window.Right - T;
  const bool Top = Point.Y < Window.Top + T;
  const bool Bottom = Point.Y >= Window.Bottom - T;
  if (!Left && !Right && !Top && !Bottom) return htClient;
  if (!IsSizeable(Style)) return htBorder;
  const bool NearLeft = Point.X < Window.Left + CornerGrip;
  const bool NearRight = Point.X >= Window.Right - CornerGrip;
  const bool NearTop = Point.Y < Window.Top + CornerGrip;
  const bool NearBottom = Point.Y >= Window.Bottom - CornerGrip;
  if (Top) return NearLeft ? htTopLeft : NearRight ? htTopRight : htTop;
  if (Bottom) return NearLeft ? htBottomLeft : NearRight ? htBottomRight : htBottom;
  if (Left) return NearTop ? htTopLeft : NearBottom ? htBottomLeft : htLeft;
  return NearTop ? htTopRight : NearBottom ? htBottomRight : htRight;
}

TRect CaptionBarRect(const TRect& Window, const TCaptionFrame& Frame) {
  const int CaptionWidth = Window.Width() - Frame.Left - Frame.Right;
  return TRect{Frame.Left, Frame.Top, Frame.Left + CaptionWidth, Frame.Top + Frame.BarHeight};
}

THitCode CaptionHitTest(const TRect& Window, const TCaptionFrame& Frame, bool Sizeable, TPoint Point,
                        THitCode Default) {
  if (!Window.Contains(Point)) return Default;
  TRect Bar = CaptionBarRect(Window, Frame);
  Bar = TRect{Bar.Left + Window.Left, Bar.Top + Window.Top, Bar.Right + Window.Left, Bar.Bottom + Window.Top};
  if (Bar.Contains(Point)) return htCaption;
  if (Sizeable && Point.Y >= Window.Bottom - Frame.Top) {
    if (Point.X - 13 <= Window.Left) return htBottomLeft;
    if (Point.X + 13 < Window.Right) return htBottom;
    return htBottomRight;
  }
  return Default;
}

int ProbeHitTest(TPoint Start, int DX, int DY, const std::vector<THitCode>& Codes,
                 const std::function<THitCode(TPoint)>& HitTest) {
  TPoint Point = Start;
  int Steps = 0;
  while (std::find(Codes.begin(), Codes.end(), HitTest(Point)) != Codes.end()) {
    Point.X += DX;
    Point.Y += DY;
    if (++Steps > 50) return 0;
  }
  return Steps;
}

TCaptionFrame MeasureFrame(const TRect& Window, TFormBorderStyle Style, int BarHeight) {
  TCaptionFrame Frame;
  // A borderless form has neither frame nor bar.
  if (Style == fbsNone) return Frame;
  Frame.BarHeight = BarHeight;
  if (Style == fbsSingle) {
    Frame.Left = Frame.Right = Frame.Top = 1;
    return Frame;
  }
  auto HitTest = [&](TPoint P) { return DefaultHitTest(Window, Style, P); };
  Frame.Top = ProbeHitTest(TPoint{Window.Left + Window.Width() / 2, Window.Top}, 0, 1, {htTop, htBorder}, HitTest);
  Frame.Left = ProbeHitTest(TPoint{Window.Left, Window.Top + Frame.Top + 1}, 1, 0, {htLeft, htTopLeft, htBorder},
                            HitTest);
  Frame.Right = Frame.Left;
  return Frame;
}

TRect ResizeFromEdge(THitCode Code, const TRect& Start, int DX, int DY, int MinWidth, int MinHeight) {
  const int MinW = std::max(MinWidth, 1);
  const int MinH = std::max(MinHeight, 1);
  const bool Left = Code == htLeft || Code == htTopLeft || Code == htBottomLeft;
  const bool Right = Code == htRight || Code == htTopRight || Code == htBottomRight;
  const bool Top = Code == htTop || Code == htTopLeft || Code == htTopRight;
  const bool Bottom = Code == htBottom || Code == htBottomLeft || Code == htBottomRight;
  TRect R = Start;
  if (Left) R.Left = std::min(Start.Left + DX, Start.Right - MinW);
  if (Right) R.Right = std::max(Start.Right + DX, Start.Left + MinW);
  if (Top) R.Top = std::min(Start.Top + DY, Start.Bottom - MinH);
  if (Bottom) R.Bottom = std::max(Start.Bottom + DY, Start.Top + MinH);
  return R;
}

TPGSystemButtonKind NextSystemButtonKind(std::optional<TPGSystemButtonKind> Last) {
  if (!Last) return sbkSystemClose;
  switch (*Last) {
    case sbkSystemClose:
      return sbkMaximize;
    case sbkMaximize:
      return sbkMinimize;
    case sbkMinimize:
      return sbkSystemMenu;
    case sbkSystemMenu:
      break;
  }
  return sbkSystemClose;
}

int SystemButtonHorzGap(TPGSystemButtonKind Kind, bool NewStyle) {
  switch (Kind) {
    case sbkSystemClose:
      return 2;
    case sbkMaximize:
      return 1;
    case sbkMinimize:
      return NewStyle ? 0 : -1;
    case sbkSystemMenu:
      return 2;
  }
  throw ECaptionBar("Undefined system button kind in \"LoadSystemPreferences\".");
}

bool IsNewStyleSystemButton(TPGSystemButtonStyle Style, double WindowVersion) {
  switch (Style) {
    case sbsWin31:
      return false;
    case sbsNew:
      return true;
    case sbsOwnerGlyph:
    case sbsAutoDetect:
      return WindowVersion > 3.2;
  }
  throw ECaptionBar("Bad system button type");
}

std::string SystemGlyphResourceName(TPGSystemButtonKind Kind, bool Maximized, bool NewStyle) {
  std::string Name;
  switch (Kind) {
    case sbkSystemClose:
      Name = "SBK_SYSTEMCLOSE";
      break;
    case sbkMaximize:
      Name = Maximized ? "SBK_RESTORE" : "SBK_MAXIMIZE";
      break;
    case sbkMinimize:
      Name = "SBK_MINIMIZE";
      break;
    case sbkSystemMenu:
      Name = "SBK_SYSTEMMENU";
      break;
    default:
      throw ECaptionBar("Undefined system button kind in \"GetSystemGlyphResourceName\".");
  }
  return Name + (NewStyle ? "_95" : "_31");
}
