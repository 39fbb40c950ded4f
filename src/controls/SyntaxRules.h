#pragma once
// The colouring rules of the colour memo, without Qt: which parts of a text a rule claims and in
// which colour. A rule colours its keywords (whole words, or parts of words), ranges between a
// begin and an end marker (strings, comments), or ranges from a marker to the end of the line;
// or it asks its owner's draw event for the keys. The keys of all rules are merged into coloured
// runs by TSyntaxColorizer.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NumberText.h"
#include "sprites/Colors.h"

// The window's background colour (a system colour): the memo shows it in its own base colour.
constexpr TColor clWindow = 0x80000005;

// The colour a colour name stands for: one of the sixteen standard names (BLACK, MAROON, GREEN,
// OLIVE, NAVY, PURPLE, TEAL, GRAY, SILVER, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE, in any
// case), else a hexadecimal RRGGBB number with an optional "#" or "$" in front. The text is
// trimmed and cut to 10 characters first. Raises EConvertError when it is no number.
TColor ParseColorName(std::string_view Name);

// One claimed span of the text: Start and End (inclusive) are character indexes of the text
// being coloured.
struct TKeyDescr {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  TColor Color = clBlack;
  std::uint8_t ZOrder = 0;
  std::uint8_t Keyword = 0;

  friend bool operator==(const TKeyDescr&, const TKeyDescr&) = default;
};

// Reserved z-orders: keys of these never come from a rule's own ZOrder in practice.
constexpr std::uint8_t zoTab = 255;
constexpr std::uint8_t zoSelection = 254;
constexpr std::uint8_t zoHotSpotMarker = 253;
constexpr std::uint8_t zoHotSpotText = 252;

// The keys found for one colouring, with the smallest start and largest end among them (-1
// while empty). Its records are kept from one colouring to the next.
class TKeyDescrList {
public:
  TKeyDescrList() { FItems.reserve(100); }
  void Clear();
  void Add(std::int32_t Start, std::int32_t End, TColor Color, std::uint8_t ZOrder, bool Keyword);
  int Count() const { return static_cast<int>(FItems.size()); }
  const TKeyDescr& operator[](int Index) const { return FItems[static_cast<std::size_t>(Index)]; }
  const std::vector<TKeyDescr>& Items() const { return FItems; }
  std::int32_t MinStart() const { return FMinStart; }
  std::int32_t MaxEnd() const { return FMaxEnd; }

private:
  std::vector<TKeyDescr> FItems;
  std::int32_t FMinStart = -1;
  std::int32_t FMaxEnd = -1;
};

enum TKeyDrawingType { dtKeyShow, dtEventDraw, dtBeginEnd, dtBeginLineEnd };

class TDrawRules;

class TColorRule {
public:
  // The most markers a rule holds, and the most keyword colours.
  static constexpr int MaxMarkers = 40;
  static constexpr int MaxColors = 41;
  // The longest begin or end marker.
  static constexpr std::size_t MaxMarkerLength = 6;

  struct TMarker {
    std::string BeginMarker;
    std::string EndMarker;
    TColor Color = clRed;
  };

  explicit TColorRule(TDrawRules* Collection = nullptr) : FCollection(Collection) {}

  TKeyDrawingType KeyDrawingType() const { return FKeyDrawingType; }
  void SetKeyDrawingType(TKeyDrawingType Value);
  // Lines "word" or "word;colour name". Raises EConvertError (and keeps the old words) when a
  // colour is no colour.
  const std::vector<std::string>& Keywords() const { return FKeywords; }
  void SetKeywords(const std::vector<std::string>& Value);
  // Lines "begin;end;" or "begin;end;colour name".
  const std::vector<std::string>& KeyBegEndLst() const { return FKeyBegEndLst; }
  void SetKeyBegEndLst(const std::vector<std::string>& Value);
  // Lines "marker", "marker;" or "marker;colour name" (";;" for the marker ";").
  const std::vector<std::string>& KeyLineEndLst() const { return FKeyLineEndLst; }
  void SetKeyLineEndLst(const std::vector<std::string>& Value);
  // Keywords match only in their own case.
  bool KeyCase() const { return FKeyCase; }
  void SetKeyCase(bool Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Keywords match inside longer words too.
  bool PartWord() const { return FPartWord; }
  void SetPartWord(bool Value);
  // The colour of a keyword or marker line that names none.
  TColor DefKeyColor() const { return FDefKeyColor; }
  void SetDefKeyColor(TColor Value);
  TColor KeySelColor() const { return FKeySelColor; }
  void SetKeySelColor(TColor Value);
  TColor KeyBrushColor() const { return FKeyBrushColor; }
  void SetKeyBrushColor(TColor Value);
  // Where several keys claim a character, the higher z-order wins.
  std::uint8_t ZOrder() const { return FZOrder; }
  void SetZOrder(std::uint8_t Value);
  // How many lines a key of this rule may span: colouring starts that many lines minus one
  // above the first visible line, so that a range opened above the window is found.
  int KeyMaxHeight() const { return FKeyMaxHeight; }
  void SetKeyMaxHeight(int Value);
  const std::string& IntChar() const { return FIntChar; }
  void SetIntChar(const std::string& Value);

  // Copies the drawing type, z-order, key height, case, enabled and part-word switches, the
  // default and brush colours and the three lists.
  void Assign(const TColorRule& Source);

  // The keywords as "*" WORD "*+" colour position "*" ... (for a look at what was parsed).
  const std::string& PackedKeywords() const { return FPacked; }
  // The marker table the rule searches (its line-end markers for dtBeginLineEnd).
  const std::vector<TMarker>& Markers() const { return FMarkers; }

  // Appends the rule's keys in Text from RangeStart up to RangeEnd (exclusive) to Keys: its
  // keywords (dtKeyShow), begin-end ranges (dtBeginEnd) or marker-to-line-end ranges
  // (dtBeginLineEnd). dtEventDraw keys come from the owner's draw event, not from here.
  void FindKeys(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, TKeyDescrList& Keys);

  // Re-parses the lists the drawing type uses, so that colours follow DefKeyColor and KeyCase
  // whatever order they were set in.
  void Validate();

private:
  friend class TDrawRules;
  struct TWord {
    std::string Text;
    int ColorIndex = 0;  // 1-based position in FColors; 0: DefKeyColor
  };

  void Changed();
  void ParseKeywords(const std::vector<std::string>& Lines);
  void ParseBegEnd(const std::vector<std::string>& Lines);
  void ParseLineEnd(const std::vector<std::string>& Lines);
  void FindKeywords(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, TKeyDescrList& Keys);
  void FindMarkedRanges(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, bool ToLineEnd,
                        TKeyDescrList& Keys);

  TDrawRules* FCollection;
  TKeyDrawingType FKeyDrawingType = dtBeginEnd;
  std::vector<std::string> FKeywords;
  std::vector<std::string> FKeyBegEndLst;
  std::vector<std::string> FKeyLineEndLst;
  bool FKeyCase = false;
  bool FEnabled = true;
  bool FPartWord = false;
  TColor FDefKeyColor = clRed;
  TColor FKeySelColor = clYellow;
  TColor FKeyBrushColor = clWindow;
  std::uint8_t FZOrder = 0;
  int FKeyMaxHeight = 1;
  std::string FIntChar;

  std::string FPacked = "*";
  std::vector<TWord> FWords;
  std::vector<TColor> FColors;
  std::vector<TMarker> FMarkers;
  // The searched range in capitals, kept between colourings.
  std::string FUpper;
  // Per marker, where its begin marker was last found in this search (-1: no more).
  std::vector<std::int32_t> FLastMatch;
};

// The memo's rules, in the order their keys are merged. Any change to a rule marks the rules for
// validation before the next colouring and tells OnChange.
class TDrawRules {
public:
  TDrawRules() = default;
  TDrawRules(const TDrawRules& Source) { Assign(Source); }
  TDrawRules& operator=(const TDrawRules& Source) {
    if (this != &Source) Assign(Source);
    return *this;
  }

  int Count() const { return static_cast<int>(FItems.size()); }
  TColorRule& Items(int Index) { return *FItems.at(static_cast<std::size_t>(Index)); }
  const TColorRule& Items(int Index) const { return *FItems.at(static_cast<std::size_t>(Index)); }
  TColorRule& Add();
  void Delete(int Index);
  void Clear();
  // The rules become copies of Source's.
  void Assign(const TDrawRules& Source);

  bool NeedsValidation() const { return FNeedsValidation; }
  // Validates every rule while marked; then clears the mark.
  void ValidateRules();
  // The most lines a key of an enabled rule may span (1 without rules).
  int KeyMaxHeight() const;

  std::function<void(TDrawRules* Sender)> OnChange;

private:
  friend class TColorRule;
  void Changed();

  std::vector<std::unique_ptr<TColorRule>> FItems;
  bool FNeedsValidation = true;
  // While validating (the rules re-parse their own lists) or copying, OnChange is not told.
  bool FQuiet = false;
};
