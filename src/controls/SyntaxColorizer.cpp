#include "controls/SyntaxColorizer.h"

#include <algorithm>

bool FindHotSpotText(std::string_view Line, int Column, char BeginChar, char EndChar, std::string* Text) {
  if (Column < 0 || static_cast<std::size_t>(Column) >= Line.size()) return false;
  const std::string_view Rest = Line.substr(static_cast<std::size_t>(Column));
  const std::size_t End = Rest.find(EndChar);
  if (End == std::string_view::npos) return false;
  const std::size_t Begin = Rest.find(BeginChar);
  if (BeginChar != EndChar && Begin != std::string_view::npos && Begin < End) return false;
  if (Text) {
    const std::size_t Last = Line.substr(0, static_cast<std::size_t>(Column)).rfind(BeginChar);
    const std::size_t From = Last == std::string_view::npos ? 0 : Last + 1;
    *Text = std::string(Line.substr(From, static_cast<std::size_t>(Column) + End - From));
  }
  return true;
}

TSyntaxColorizer::TSyntaxColorizer() {
  FDrawTable.resize(100);
  FRuns.reserve(100);
}

void TSyntaxColorizer::SetColorLimMax(int Value) {
  FDrawTable.assign(static_cast<std::size_t>(std::max(0, Value)), TDrawKey{});
}

int TSyntaxColorizer::ScanStartLine(int FirstVisibleLine) const {
  return std::max(0, FirstVisibleLine - (FColorRules.KeyMaxHeight() - 1));
}

void TSyntaxColorizer::AddClipped(std::int32_t Start, std::int32_t End, std::int32_t RangeStart, std::int32_t RangeEnd,
                                  TColor Color, std::uint8_t ZOrder) {
  Start = std::max(Start, RangeStart);
  End = std::min(End, RangeEnd - 1);
  if (End >= Start) FKeys.Add(Start, End, Color, ZOrder, false);
}

void TSyntaxColorizer::FindHotSpots(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd) {
  if (!FHotSpot.Active || FHotSpot.BeginChar == '\0') return;
  const std::string_view Range = Text.substr(0, static_cast<std::size_t>(RangeEnd));
  std::size_t Pos = static_cast<std::size_t>(RangeStart);
  for (;;) {
    const std::size_t Begin = Range.find(FHotSpot.BeginChar, Pos);
    if (Begin == std::string_view::npos) return;
    const std::size_t End = Range.find(FHotSpot.EndChar, Begin + 1);
    if (End == std::string_view::npos) return;  // an unpaired begin ends the search
    const auto B = static_cast<std::int32_t>(Begin), E = static_cast<std::int32_t>(End);
    FKeys.Add(B, B, FHotSpot.MarkerColor, zoHotSpotMarker, false);
    if (E > B + 1) FKeys.Add(B + 1, E - 1, FHotSpot.Color, zoHotSpotText, false);
    FKeys.Add(E, E, FHotSpot.MarkerColor, zoHotSpotMarker, false);
    Pos = End + 1;
  }
}

void TSyntaxColorizer::FindTabs(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, TColor Color) {
  const std::string_view Range = Text.substr(0, static_cast<std::size_t>(RangeEnd));
  for (std::size_t Pos = Range.find('\t', static_cast<std::size_t>(RangeStart)); Pos != std::string_view::npos;
       Pos = Range.find('\t', Pos + 1)) {
    const auto P = static_cast<std::int32_t>(Pos);
    FKeys.Add(P, P, Color, zoTab, false);
  }
}

void TSyntaxColorizer::FindEventKeys(TColorRule& Rule, std::int32_t RangeStart, std::int32_t RangeEnd) {
  if (FDrawTable.empty() || !OnDraw) return;
  std::fill(FDrawTable.begin(), FDrawTable.end(), TDrawKey{});
  const int Limit = static_cast<int>(FDrawTable.size());
  int Count = 0;
  OnDraw(this, Rule, RangeStart, std::span<TDrawKey>(FDrawTable), Count, Limit);
  Count = std::clamp(Count, 0, Limit);
  for (int I = 0; I < Count; ++I) {
    const TDrawKey& K = FDrawTable[static_cast<std::size_t>(I)];
    // Relative positions far out would overflow: such an entry is simply out of the range.
    const std::int64_t Start = std::int64_t(RangeStart) + K.Start, End = std::int64_t(RangeStart) + K.End;
    if (End < RangeStart || Start >= RangeEnd || End < Start) continue;
    AddClipped(static_cast<std::int32_t>(std::max<std::int64_t>(Start, RangeStart)),
               static_cast<std::int32_t>(std::min<std::int64_t>(End, RangeEnd - 1)), RangeStart, RangeEnd, K.Color,
               K.ZOrder ? K.ZOrder : Rule.ZOrder());
  }
}

const std::vector<TKeyDescr>& TSyntaxColorizer::FindRuns(std::string_view Text, std::int32_t RangeStart,
                                                         std::int32_t RangeEnd, const TColoringState& State) {
  FColorRules.ValidateRules();
  FKeys.Clear();
  FRuns.clear();
  RangeStart = std::max<std::int32_t>(0, RangeStart);
  RangeEnd = std::min<std::int32_t>(static_cast<std::int32_t>(Text.size()), RangeEnd);
  if (RangeStart >= RangeEnd) return FRuns;

  FindHotSpots(Text, RangeStart, RangeEnd);
  if (State.WantTabs) FindTabs(Text, RangeStart, RangeEnd, State.MemoColor);
  if (FRedrawAlways && State.CaretLineStart >= 0 && State.Caret > State.CaretLineStart)
    AddClipped(State.CaretLineStart, State.Caret - 1, RangeStart, RangeEnd, State.FontColor, 0);
  for (int I = 0; I < FColorRules.Count(); ++I) {
    TColorRule& Rule = FColorRules.Items(I);
    if (!Rule.Enabled()) continue;
    if (Rule.KeyDrawingType() == dtEventDraw)
      FindEventKeys(Rule, RangeStart, RangeEnd);
    else
      Rule.FindKeys(Text, RangeStart, RangeEnd, FKeys);
  }
  if (State.SelLength > 0)
    AddClipped(State.SelStart, State.SelStart + State.SelLength - 1, RangeStart, RangeEnd, State.FontColor,
               zoSelection);
  MergeKeys();
  return FRuns;
}

void TSyntaxColorizer::MergeKeys() {
  if (FKeys.Count() == 0) return;
  const std::int32_t Base = FKeys.MinStart();
  const std::size_t Size = static_cast<std::size_t>(FKeys.MaxEnd() - Base + 1);
  if (FCells.size() < Size) FCells.resize(Size + 1);
  std::fill(FCells.begin(), FCells.begin() + static_cast<std::ptrdiff_t>(Size), TCell{});
  for (const TKeyDescr& K : FKeys.Items()) {
    for (std::int32_t P = K.Start; P <= K.End; ++P) {
      TCell& C = FCells[static_cast<std::size_t>(P - Base)];
      if (C.ZOrder <= K.ZOrder) C = {K.Color, K.ZOrder, K.Keyword, 1};
    }
  }
  std::size_t I = 0;
  while (I < Size) {
    const TCell& C = FCells[I];
    if (!C.Set) {
      ++I;
      continue;
    }
    std::size_t J = I + 1;
    while (J < Size) {
      const TCell& N = FCells[J];
      if (!N.Set || N.Color != C.Color || N.ZOrder != C.ZOrder || N.Keyword != C.Keyword) break;
      ++J;
    }
    FRuns.push_back({Base + static_cast<std::int32_t>(I), Base + static_cast<std::int32_t>(J) - 1, C.Color, C.ZOrder,
                     C.Keyword});
    I = J;
  }
}
