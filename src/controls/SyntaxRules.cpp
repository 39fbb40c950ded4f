#include "controls/SyntaxRules.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

std::string_view Trim(std::string_view S) {
  std::size_t B = 0, E = S.size();
  while (B < E && static_cast<unsigned char>(S[B]) <= ' ') ++B;
  while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ') --E;
  return S.substr(B, E - B);
}

char Upper(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C; }

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R) C = Upper(C);
  return R;
}

// A keyword's neighbour that makes it part of a longer word: the at sign, the capitals and the
// small letters. Digits and "_" are no letters.
bool IsWordLetter(char C) {
  const auto U = static_cast<unsigned char>(C);
  return (U >= 64 && U <= 90) || (U >= 97 && U <= 122);
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

// A "$"-prefixed hexadecimal number of at most 32 bits, as the integer parser reads it.
std::uint32_t HexToInt(const std::string& Text) {
  const auto Fail = [&] { return EConvertError("'" + Text + "' is not a valid integer value"); };
  if (Text.size() < 2 || Text[0] != '$') throw Fail();
  std::uint64_t V = 0;
  for (std::size_t I = 1; I < Text.size(); ++I) {
    const int D = HexDigit(Text[I]);
    if (D < 0) throw Fail();
    V = V * 16 + static_cast<unsigned>(D);
    if (V > 0xFFFFFFFFu) throw Fail();
  }
  return static_cast<std::uint32_t>(V);
}

TColor ColorOf(std::string_view Rest, TColor Default) {
  const std::string_view Name = Trim(Rest);
  return Name.empty() ? Default : ParseColorName(Name);
}

std::string Cut(std::string_view S, std::size_t Length) { return std::string(S.substr(0, Length)); }

}  // namespace

TColor ParseColorName(std::string_view Name) {
  static const std::array<std::pair<std::string_view, TColor>, 16> Named = {{
      {"BLACK", clBlack},   {"MAROON", clMaroon}, {"GREEN", clGreen},   {"OLIVE", clOlive},
      {"NAVY", clNavy},     {"PURPLE", clPurple}, {"TEAL", clTeal},     {"GRAY", clGray},
      {"SILVER", clSilver}, {"RED", clRed},       {"LIME", clLime},     {"YELLOW", clYellow},
      {"BLUE", clBlue},     {"FUCHSIA", clFuchsia}, {"AQUA", clAqua},   {"WHITE", clWhite},
  }};
  std::string S = UpperCase(Trim(Name)).substr(0, 10);
  for (const auto& [Text, Color] : Named)
    if (S == Text) return Color;
  if (const auto Hash = S.find('#'); Hash != std::string::npos) S.erase(Hash, 1);
  if (S.find('$') == std::string::npos) S.insert(0, "$");
  const std::uint32_t V = HexToInt(S);
  // Written RRGGBB; a colour holds red in its low byte.
  return ((V >> 16) & 0xFF) | (V & 0xFF00) | ((V & 0xFF) << 16);
}

// --- TKeyDescrList ---

void TKeyDescrList::Clear() {
  FItems.clear();
  FMinStart = -1;
  FMaxEnd = -1;
}

void TKeyDescrList::Add(std::int32_t Start, std::int32_t End, TColor Color, std::uint8_t ZOrder, bool Keyword) {
  FItems.push_back({Start, End, Color, ZOrder, static_cast<std::uint8_t>(Keyword ? 1 : 0)});
  if (FMinStart < 0 || Start < FMinStart) FMinStart = Start;
  if (End > FMaxEnd) FMaxEnd = End;
}

// --- TColorRule ---

void TColorRule::Changed() {
  if (FCollection) FCollection->Changed();
}

void TColorRule::SetKeyDrawingType(TKeyDrawingType Value) {
  FKeyDrawingType = Value;
  Changed();
}

void TColorRule::SetKeywords(const std::vector<std::string>& Value) {
  ParseKeywords(Value);
  if (&Value != &FKeywords) FKeywords = Value;
  Changed();
}

void TColorRule::SetKeyBegEndLst(const std::vector<std::string>& Value) {
  ParseBegEnd(Value);
  if (&Value != &FKeyBegEndLst) FKeyBegEndLst = Value;
  Changed();
}

void TColorRule::SetKeyLineEndLst(const std::vector<std::string>& Value) {
  ParseLineEnd(Value);
  if (&Value != &FKeyLineEndLst) FKeyLineEndLst = Value;
  Changed();
}

void TColorRule::SetKeyCase(bool Value) {
  FKeyCase = Value;
  Changed();
}

void TColorRule::SetEnabled(bool Value) {
  FEnabled = Value;
  Changed();
}

void TColorRule::SetPartWord(bool Value) {
  FPartWord = Value;
  Changed();
}

void TColorRule::SetDefKeyColor(TColor Value) {
  FDefKeyColor = Value;
  Changed();
}

void TColorRule::SetKeySelColor(TColor Value) {
  FKeySelColor = Value;
  Changed();
}

void TColorRule::SetKeyBrushColor(TColor Value) {
  FKeyBrushColor = Value;
  Changed();
}

void TColorRule::SetZOrder(std::uint8_t Value) {
  FZOrder = Value;
  Changed();
}

void TColorRule::SetKeyMaxHeight(int Value) {
  FKeyMaxHeight = std::max(1, Value);
  Changed();
}

void TColorRule::SetIntChar(const std::string& Value) {
  FIntChar = Value;
  Changed();
}

void TColorRule::Assign(const TColorRule& Source) {
  if (&Source == this) return;
  FKeyDrawingType = Source.FKeyDrawingType;
  FZOrder = Source.FZOrder;
  FKeyMaxHeight = Source.FKeyMaxHeight;
  FKeyCase = Source.FKeyCase;
  FEnabled = Source.FEnabled;
  FPartWord = Source.FPartWord;
  FDefKeyColor = Source.FDefKeyColor;
  FKeyBrushColor = Source.FKeyBrushColor;
  SetKeywords(Source.FKeywords);
  SetKeyBegEndLst(Source.FKeyBegEndLst);
  SetKeyLineEndLst(Source.FKeyLineEndLst);
}

void TColorRule::ParseKeywords(const std::vector<std::string>& Lines) {
  // Parsed aside, so that a bad colour leaves the rule as it was.
  std::string Packed = "*";
  std::vector<TWord> Words;
  std::vector<TColor> Colors;
  int Previous = 0;
  for (const std::string& Line : Lines) {
    const std::string_view L = Trim(Line);
    if (L.empty()) continue;
    const std::size_t Semi = L.find(';');
    const std::string_view Word = Trim(L.substr(0, Semi));
    if (Word.empty()) continue;
    const TColor Color = Semi == std::string_view::npos ? FDefKeyColor : ColorOf(L.substr(Semi + 1), FDefKeyColor);
    int Index = 0;
    if (const auto It = std::find(Colors.begin(), Colors.end(), Color); It != Colors.end()) {
      Index = static_cast<int>(It - Colors.begin()) + 1;
    } else if (static_cast<int>(Colors.size()) < MaxColors) {
      Colors.push_back(Color);
      Index = static_cast<int>(Colors.size());
    } else {
      Index = Previous;  // no room for another colour
    }
    Previous = Index;
    TWord W{FKeyCase ? std::string(Word) : UpperCase(Word), Index};
    Packed += W.Text;
    Packed += "*+";
    Packed += static_cast<char>(Index);
    Packed += "*";
    Words.push_back(std::move(W));
  }
  FPacked = std::move(Packed);
  FWords = std::move(Words);
  FColors = std::move(Colors);
}

void TColorRule::ParseBegEnd(const std::vector<std::string>& Lines) {
  std::vector<TMarker> Markers;
  for (const std::string& Line : Lines) {
    if (static_cast<int>(Markers.size()) >= MaxMarkers) break;
    const std::string_view L = Line;
    const std::size_t First = L.find(';');
    if (First == std::string_view::npos || First == 0) continue;
    const std::size_t Second = L.find(';', First + 1);
    TMarker M;
    M.BeginMarker = Cut(L.substr(0, First), MaxMarkerLength);
    M.EndMarker = Cut(L.substr(First + 1, Second == std::string_view::npos ? std::string_view::npos : Second - First - 1),
                      MaxMarkerLength);
    M.Color = Second == std::string_view::npos ? FDefKeyColor : ColorOf(L.substr(Second + 1), FDefKeyColor);
    Markers.push_back(std::move(M));
  }
  FMarkers = std::move(Markers);
}

void TColorRule::ParseLineEnd(const std::vector<std::string>& Lines) {
  std::vector<TMarker> Markers;
  for (const std::string& Line : Lines) {
    if (static_cast<int>(Markers.size()) >= MaxMarkers) break;
    const std::string_view L = Line;
    std::string_view Marker, Rest;
    if (L.starts_with(";;")) {
      Marker = L.substr(0, 1);
      Rest = L.substr(2);
    } else if (const std::size_t Semi = L.find(';'); Semi != std::string_view::npos) {
      Marker = L.substr(0, Semi);
      Rest = L.substr(Semi + 1);
    } else {
      Marker = L;
    }
    // An empty begin marker would end the table.
    if (Marker.empty()) continue;
    TMarker M;
    M.BeginMarker = Cut(Marker, MaxMarkerLength);
    M.Color = ColorOf(Rest, FDefKeyColor);
    Markers.push_back(std::move(M));
  }
  FMarkers = std::move(Markers);
}

void TColorRule::Validate() {
  ParseBegEnd(FKeyBegEndLst);
  if (FKeyDrawingType == dtKeyShow) ParseKeywords(FKeywords);
  if (FKeyDrawingType == dtBeginLineEnd) ParseLineEnd(FKeyLineEndLst);
}

void TColorRule::FindKeys(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, TKeyDescrList& Keys) {
  RangeStart = std::max<std::int32_t>(0, RangeStart);
  RangeEnd = std::min<std::int32_t>(static_cast<std::int32_t>(Text.size()), RangeEnd);
  if (RangeStart >= RangeEnd) return;
  switch (FKeyDrawingType) {
    case dtKeyShow: FindKeywords(Text, RangeStart, RangeEnd, Keys); break;
    case dtBeginEnd: FindMarkedRanges(Text, RangeStart, RangeEnd, false, Keys); break;
    case dtBeginLineEnd: FindMarkedRanges(Text, RangeStart, RangeEnd, true, Keys); break;
    case dtEventDraw: break;
  }
}

void TColorRule::FindKeywords(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd,
                              TKeyDescrList& Keys) {
  if (FWords.empty()) return;
  const std::string_view Range = Text.substr(static_cast<std::size_t>(RangeStart),
                                             static_cast<std::size_t>(RangeEnd - RangeStart));
  std::string_view Search = Range;
  if (!FKeyCase) {
    FUpper.assign(Range);
    for (char& C : FUpper) C = Upper(C);
    Search = FUpper;
  }
  for (const TWord& W : FWords) {
    const TColor Color = (W.ColorIndex >= 1 && W.ColorIndex <= static_cast<int>(FColors.size()))
                             ? FColors[static_cast<std::size_t>(W.ColorIndex - 1)]
                             : FDefKeyColor;
    const auto Length = static_cast<std::int32_t>(W.Text.size());
    std::size_t From = 0;
    for (;;) {
      const std::size_t Found = Search.find(W.Text, From);
      if (Found == std::string_view::npos) break;
      const std::int32_t Start = RangeStart + static_cast<std::int32_t>(Found);
      const std::int32_t After = Start + Length;
      bool Counts = true;
      if (!FPartWord) {
        const bool LetterBefore = Start > 0 && IsWordLetter(Text[static_cast<std::size_t>(Start - 1)]);
        const bool LetterAfter =
            After < static_cast<std::int32_t>(Text.size()) && IsWordLetter(Text[static_cast<std::size_t>(After)]);
        Counts = !LetterBefore && !LetterAfter;
      }
      if (Counts) {
        Keys.Add(Start, After - 1, Color, FZOrder, true);
        From = Found + W.Text.size();
      } else {
        From = Found + 1;
      }
    }
  }
}

void TColorRule::FindMarkedRanges(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, bool ToLineEnd,
                                  TKeyDescrList& Keys) {
  // Only the range is searched: a range that does not close inside it colours nothing.
  const std::string_view Range = Text.substr(0, static_cast<std::size_t>(RangeEnd));
  std::size_t Count = 0;
  while (Count < FMarkers.size() && !FMarkers[Count].BeginMarker.empty()) ++Count;
  if (Count == 0) return;
  // -2: not searched yet; -1: found no more.
  FLastMatch.assign(Count, -2);
  std::int32_t Pos = RangeStart;
  while (Pos < RangeEnd) {
    std::int32_t Best = -1;
    std::size_t BestIndex = 0;
    for (std::size_t I = 0; I < Count; ++I) {
      std::int32_t& Match = FLastMatch[I];
      if (Match == -1) continue;
      if (Match < Pos) {
        const std::size_t Found = Range.find(FMarkers[I].BeginMarker, static_cast<std::size_t>(Pos));
        Match = Found == std::string_view::npos ? -1 : static_cast<std::int32_t>(Found);
        if (Match == -1) continue;
      }
      if (Best < 0 || Match < Best) {
        Best = Match;
        BestIndex = I;
      }
    }
    if (Best < 0) return;
    const TMarker& M = FMarkers[BestIndex];
    std::int32_t End;
    if (ToLineEnd) {
      const std::size_t Break = Range.find_first_of("\r\n", static_cast<std::size_t>(Best));
      End = (Break == std::string_view::npos ? RangeEnd : static_cast<std::int32_t>(Break)) - 1;
      End = std::max(End, Best);
    } else {
      const std::size_t Found = Range.find(M.EndMarker, static_cast<std::size_t>(Best) + 1);
      if (Found == std::string_view::npos) return;  // unclosed: the rule stops here
      End = std::max<std::int32_t>(Best, static_cast<std::int32_t>(Found + M.EndMarker.size()) - 1);
    }
    Keys.Add(Best, End, M.Color, FZOrder, false);
    Pos = End + 1;
  }
}

// --- TDrawRules ---

TColorRule& TDrawRules::Add() {
  FItems.push_back(std::make_unique<TColorRule>(this));
  Changed();
  return *FItems.back();
}

void TDrawRules::Delete(int Index) {
  Items(Index);  // raises std::out_of_range for a bad index
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TDrawRules::Clear() {
  FItems.clear();
  Changed();
}

void TDrawRules::Assign(const TDrawRules& Source) {
  if (&Source == this) return;
  {
    // One change for the whole copy.
    FQuiet = true;
    struct TGuard {
      bool& Flag;
      ~TGuard() { Flag = false; }
    } Guard{FQuiet};
    FItems.clear();
    for (const auto& Rule : Source.FItems) {
      FItems.push_back(std::make_unique<TColorRule>(this));
      FItems.back()->Assign(*Rule);
    }
  }
  Changed();
}

void TDrawRules::Changed() {
  FNeedsValidation = true;
  if (!FQuiet && OnChange) OnChange(this);
}

void TDrawRules::ValidateRules() {
  if (!FNeedsValidation) return;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } Guard{FQuiet};
  FQuiet = true;
  for (auto& Rule : FItems) Rule->Validate();
  FNeedsValidation = false;
}

int TDrawRules::KeyMaxHeight() const {
  int Height = 1;
  for (const auto& Rule : FItems)
    if (Rule->Enabled()) Height = std::max(Height, Rule->KeyMaxHeight());
  return Height;
}
