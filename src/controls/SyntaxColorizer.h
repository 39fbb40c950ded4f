#pragma once
// The key engine of the colour memo, without Qt: from a text, its visible range and the memo's
// rules it finds every key (keywords, marked ranges, hot spots, tabs, the selection), merges
// them cell by cell by z-order and returns the coloured runs, each character in exactly one.
// Its lists and buffers are kept and only grow, so colouring after each keystroke allocates
// nothing once warmed up.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "controls/SyntaxRules.h"

// Clickable text between two marker characters: the markers show as blocks of MarkerColor, the
// text between them in Color (underlined by default).
struct THotSpot {
  char BeginChar = '\x1E';
  char EndChar = '\x1F';
  TColor Color = clBlue;
  TColor MarkerColor = clWindow;
  bool Active = false;
  bool Underlined = true;

  friend bool operator==(const THotSpot&, const THotSpot&) = default;
};

// Whether the character at Column of Line lies in a hot spot: the rest of the line from there
// holds an EndChar with no BeginChar before it (or both characters are the same). Its text is
// then the part of the line after the last BeginChar before Column, up to that EndChar.
bool FindHotSpotText(std::string_view Line, int Column, char BeginChar, char EndChar, std::string* Text = nullptr);

// An entry of the table that the draw event fills for a dtEventDraw rule: start and end
// (inclusive) relative to the start of the range; a z-order of 0 takes the rule's own.
struct TDrawKey {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  TColor Color = clBlack;
  std::uint8_t ZOrder = 0;
};

// What the memo tells about itself for one colouring; positions are indexes of the text.
struct TColoringState {
  TColor FontColor = clBlack;  // the text colour
  TColor MemoColor = clWindow;  // the background
  bool WantTabs = false;  // the memo takes tab characters
  std::int32_t CaretLineStart = -1;
  std::int32_t Caret = -1;
  std::int32_t SelStart = 0;
  std::int32_t SelLength = 0;
};

class TSyntaxColorizer {
public:
  TSyntaxColorizer();

  TDrawRules& ColorRules() { return FColorRules; }
  const TDrawRules& ColorRules() const { return FColorRules; }
  const THotSpot& HotSpot() const { return FHotSpot; }
  void SetHotSpot(const THotSpot& Value) { FHotSpot = Value; }
  // The size of the table the draw event fills.
  int ColorLimMax() const { return static_cast<int>(FDrawTable.size()); }
  void SetColorLimMax(int Value);
  // A key in the text colour from the start of the caret's line to the caret.
  bool RedrawAlways() const { return FRedrawAlways; }
  void SetRedrawAlways(bool Value) { FRedrawAlways = Value; }

  // Fills up to Limit entries of Table (Limit is its size) for Rule and sets Count to how many
  // it filled; counts out of 0..Limit are clamped, entries outside the range cut to it.
  using TDrawEvent = std::function<void(TSyntaxColorizer* Sender, TColorRule& Rule, std::int32_t RangeStart,
                                        std::span<TDrawKey> Table, int& Count, int Limit)>;
  TDrawEvent OnDraw;

  // The coloured runs of Text from RangeStart up to RangeEnd (exclusive), in text order: keys of
  // hot spots, tabs, the caret line (with RedrawAlways), every enabled rule in order and the
  // selection, merged so that a higher z-order wins and, among equals, the later key. Runs of
  // z-order zoSelection and zoTab are among them; the memo leaves those to the edit.
  const std::vector<TKeyDescr>& FindRuns(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd,
                                         const TColoringState& State);
  // The keys of the last FindRuns, before merging.
  const TKeyDescrList& Keys() const { return FKeys; }
  const std::vector<TKeyDescr>& Runs() const { return FRuns; }

  // The line from which colouring must start so that keys of every rule reaching into line
  // FirstVisibleLine are found.
  int ScanStartLine(int FirstVisibleLine) const;

private:
  void FindHotSpots(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd);
  void FindTabs(std::string_view Text, std::int32_t RangeStart, std::int32_t RangeEnd, TColor Color);
  void FindEventKeys(TColorRule& Rule, std::int32_t RangeStart, std::int32_t RangeEnd);
  // Adds a key cut to the range; nothing when nothing of it is left.
  void AddClipped(std::int32_t Start, std::int32_t End, std::int32_t RangeStart, std::int32_t RangeEnd, TColor Color,
                  std::uint8_t ZOrder);
  void MergeKeys();

  struct TCell {
    TColor Color = 0;
    std::uint8_t ZOrder = 0;
    std::uint8_t Keyword = 0;
    std::uint8_t Set = 0;
  };

  TDrawRules FColorRules;
  THotSpot FHotSpot;
  bool FRedrawAlways = false;
  std::vector<TDrawKey> FDrawTable;
  TKeyDescrList FKeys;
  std::vector<TCell> FCells;
  std::vector<TKeyDescr> FRuns;
};
