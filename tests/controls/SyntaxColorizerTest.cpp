// The colour memo's key engine without a window: text and rules in, coloured runs out.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "controls/SyntaxColorizer.h"

namespace {

std::string ColorText(TColor C) {
  static const std::map<TColor, std::string> Names = {
      {clBlack, "black"}, {clNavy, "navy"},   {clBlue, "blue"},   {clPurple, "purple"}, {clGreen, "green"},
      {clRed, "red"},     {clWhite, "white"}, {clYellow, "yellow"}, {clWindow, "window"}, {clTeal, "teal"}};
  if (const auto It = Names.find(C); It != Names.end()) return It->second;
  char Buffer[16];
  std::snprintf(Buffer, sizeof Buffer, "%06X", C);
  return Buffer;
}

// Each run as "text=colour", with "/k" for a keyword run and "@z" for a z-order other than 0.
std::vector<std::string> Describe(std::string_view Text, const std::vector<TKeyDescr>& Runs) {
  std::vector<std::string> Out;
  for (const TKeyDescr& R : Runs) {
    std::string S(Text.substr(static_cast<std::size_t>(R.Start), static_cast<std::size_t>(R.End - R.Start + 1)));
    S += "=" + ColorText(R.Color);
    if (R.Keyword) S += "/k";
    if (R.ZOrder) S += "@" + std::to_string(R.ZOrder);
    Out.push_back(S);
  }
  return Out;
}

using TLines = std::vector<std::string>;

TColorRule& AddKeywords(TSyntaxColorizer& C, const TLines& Words, TColor Color) {
  TColorRule& R = C.ColorRules().Add();
  R.SetKeyDrawingType(dtKeyShow);
  R.SetDefKeyColor(Color);
  R.SetKeywords(Words);
  return R;
}

TColorRule& AddMarkers(TSyntaxColorizer& C, const TLines& Lines, TColor Color) {
  TColorRule& R = C.ColorRules().Add();
  R.SetKeyDrawingType(dtBeginEnd);
  R.SetDefKeyColor(Color);
  R.SetKeyBegEndLst(Lines);
  return R;
}

// The script editor's five rules.
void AddScriptRules(TSyntaxColorizer& C) {
  AddKeywords(C, {"if", "then", "endif", "for", "while", "begin", "end", "else", "do"}, clNavy);
  AddKeywords(C, {"print", "Random", "Distance"}, clBlue);
  AddMarkers(C, {"';';"}, clPurple);
  AddMarkers(C, {"{;};"}, clGreen);
  AddKeywords(C, {"LAND", "AIR", "SEA"}, clRed);
}

std::vector<std::string> Colour(TSyntaxColorizer& C, std::string_view Text, const TColoringState& State = {}) {
  return Describe(Text, C.FindRuns(Text, 0, static_cast<std::int32_t>(Text.size()), State));
}

using TRuns = std::vector<std::string>;

}  // namespace

TEST(SyntaxColorizer, KeywordsAreWholeWordsUnlessPartWord) {
  struct Case {
    std::string Text;
    bool PartWord;
    TRuns Runs;
  };
  const std::vector<Case> Cases = {
      {"if iffy then", false, {"if=navy/k", "then=navy/k"}},
      // Digits, "_" and other signs are no letters; "@" is one.
      {"if1 _if (if) @if if@ [if]", false, {"if=navy/k", "if=navy/k", "if=navy/k", "if=navy/k"}},
      {"xif ifx Aif ifZ", false, {}},
      {"iffy", true, {"if=navy/k"}},
      // Adjacent keys of one colour make one run.
      {"ifthen", true, {"ifthen=navy/k"}},
      {"if", false, {"if=navy/k"}},
  };
  for (const Case& Test : Cases) {
    TSyntaxColorizer C;
    AddKeywords(C, {"if", "then"}, clNavy).SetPartWord(Test.PartWord);
    EXPECT_EQ(Colour(C, Test.Text), Test.Runs) << Test.Text;
  }
}

TEST(SyntaxColorizer, KeyCaseDecidesWhetherCaseMatters) {
  TSyntaxColorizer C;
  TColorRule& Rule = AddKeywords(C, {"if"}, clNavy);
  EXPECT_EQ(Colour(C, "IF If if iF"), (TRuns{"IF=navy/k", "If=navy/k", "if=navy/k", "iF=navy/k"}));
  Rule.SetKeyCase(true);
  Rule.SetKeywords({"if", "Then"});
  EXPECT_EQ(Colour(C, "IF if then Then"), (TRuns{"if=navy/k", "Then=navy/k"}));
}

TEST(SyntaxColorizer, KeywordsCarryTheirOwnColours) {
  TSyntaxColorizer C;
  TColorRule& Rule = AddKeywords(C, {"if", " then ; RED ", "else;#00FF00", "; ", "", "do;"}, clNavy);
  EXPECT_EQ(Rule.PackedKeywords(), std::string("*IF*+\x01*THEN*+\x02*ELSE*+\x03*DO*+\x01*"));
  EXPECT_EQ(Colour(C, "if x then y else do"), (TRuns{"if=navy/k", "then=red/k", "else=00FF00/k", "do=navy/k"}));
}

TEST(SyntaxColorizer, AWordWithoutRoomForItsColourTakesThePreviousWordsColour) {
  TSyntaxColorizer C;
  TLines Words;
  for (int I = 0; I < 42; ++I) {
    char Line[32];
    std::snprintf(Line, sizeof Line, "w%02d;%06X", I, static_cast<unsigned>(I + 1));
    Words.push_back(Line);
  }
  AddKeywords(C, Words, clNavy);
  const TRuns Runs = Colour(C, "w39 w40 w41");
  // Colours are written RRGGBB and held as BBGGRR.
  EXPECT_EQ(Runs, (TRuns{"w39=280000/k", "w40=290000/k", "w41=290000/k"}));
}

TEST(SyntaxColorizer, ABadColourNameIsRefusedAndTheRuleKeepsItsLists) {
  TSyntaxColorizer C;
  TColorRule& Rule = AddKeywords(C, {"if"}, clNavy);
  try {
    Rule.SetKeywords({"then", "else;bluish"});
    FAIL() << "no error";
  } catch (const EConvertError& E) {
    EXPECT_STREQ(E.what(), "'$BLUISH' is not a valid integer value");
  }
  EXPECT_EQ(Rule.Keywords(), TLines{"if"});
  EXPECT_THROW(Rule.SetKeyBegEndLst({"{;};nocolour"}), EConvertError);
  EXPECT_THROW(Rule.SetKeyLineEndLst({"//;#"}), EConvertError);
  EXPECT_EQ(Colour(C, "if then"), TRuns{"if=navy/k"});
}

TEST(SyntaxColorizer, ColourNames) {
  const std::vector<std::pair<std::string, TColor>> Cases = {
      {"navy", clNavy},       {" Purple ", clPurple},  {"GRAY", clGray},          {"#FF0000", clRed},
      {"0000FF", clBlue},     {"$00ff00", clLime},     {"FF8000", 0x0080FF},      {"#1", 0x010000},
      {"white", clWhite},     {"aqua", clAqua},        {"#12345678", 0x785634},  {"  fuchsia", clFuchsia},
  };
  for (const auto& [Name, Color] : Cases) EXPECT_EQ(ParseColorName(Name), Color) << Name;
  for (const char* Bad : {"", "#", "grey", "12$34", "#GG0000", "1FFFFFFFF"})
    EXPECT_THROW(ParseColorName(Bad), EConvertError) << Bad;
}

TEST(SyntaxColorizer, StringsAndCommentsBetweenMarkers) {
  struct Case {
    std::string Text;
    TRuns Runs;
  };
  const std::vector<Case> Cases = {
      {"print('abc');", {"print=blue/k", "'abc'=purple"}},
      {"x := 'a' + 'b'", {"'a'=purple", "'b'=purple"}},
      {"{ note } if", {"{ note }=green", "if=navy/k"}},
      // A keyword inside a string or comment takes the later rule's colour.
      {"'if then'", {"'if then'=purple"}},
      {"{if 'x' then}", {"{if 'x' then}=green"}},
      // Each rule searches on its own: braces inside strings open a comment.
      {"'{' if '}'", {"'=purple", "{' if '}=green", "'=purple"}},
      // An unclosed comment colours nothing and ends that rule.
      {"if { open\r\nthen", {"if=navy/k", "then=navy/k"}},
      {"'open", {}},
      {"''", {"''=purple"}},
      {"LAND AIR SEA land", {"LAND=red/k", "AIR=red/k", "SEA=red/k", "land=red/k"}},
  };
  for (const Case& Test : Cases) {
    TSyntaxColorizer C;
    AddScriptRules(C);
    EXPECT_EQ(Colour(C, Test.Text), Test.Runs) << Test.Text;
  }
}

TEST(SyntaxColorizer, InOneRuleTheEarliestMarkerWins) {
  TSyntaxColorizer C;
  AddMarkers(C, {"{;};green", "';';purple"}, clBlack);
  EXPECT_EQ(Colour(C, "'{' x {'} y"), (TRuns{"'{'=purple", "{'}=green"}));
}

TEST(SyntaxColorizer, MarkerLists) {
  TSyntaxColorizer C;
  TColorRule& Rule = AddMarkers(C, {}, clTeal);
  TLines Lines = {";x;", "nosemicolon", "(*;*);red", "abcdefgh;12345678;", "<;>;  #0000FF  ", "[;]"};
  for (int I = 0; I < 40; ++I) {
    char Line[16];
    std::snprintf(Line, sizeof Line, "#%02d;!;", I);
    Lines.push_back(Line);
  }
  Rule.SetKeyBegEndLst(Lines);
  const auto& M = Rule.Markers();
  ASSERT_EQ(M.size(), 40u);
  EXPECT_EQ(M[0].BeginMarker, "(*");
  EXPECT_EQ(M[0].EndMarker, "*)");
  EXPECT_EQ(M[0].Color, clRed);
  EXPECT_EQ(M[1].BeginMarker, "abcdef");
  EXPECT_EQ(M[1].EndMarker, "123456");
  EXPECT_EQ(M[1].Color, clTeal);
  EXPECT_EQ(M[2].Color, clBlue);
  EXPECT_EQ(M[3].BeginMarker, "[");
  EXPECT_EQ(M[3].EndMarker, "]");
  EXPECT_EQ(M[39].BeginMarker, "#35");  // the lines after the 40th marker are ignored
  EXPECT_EQ(Colour(C, "a (* b *) <c> [d] #36x!"), (TRuns{"(* b *)=red", "<c>=blue", "[d]=teal"}));

  TColorRule& Line = C.ColorRules().Add();
  Line.SetDefKeyColor(clGreen);
  Line.SetKeyLineEndLst({"//", ";;", "--;navy", "", ";x"});
  ASSERT_EQ(Line.Markers().size(), 3u);
  EXPECT_EQ(Line.Markers()[1].BeginMarker, ";");
  EXPECT_EQ(Line.Markers()[2].Color, clNavy);
}

TEST(SyntaxColorizer, LineEndRulesColourToTheEndOfTheLine) {
  TSyntaxColorizer C;
  AddKeywords(C, {"if"}, clNavy);
  TColorRule& Rule = C.ColorRules().Add();
  Rule.SetKeyDrawingType(dtBeginLineEnd);
  Rule.SetDefKeyColor(clGreen);
  Rule.SetKeyLineEndLst({"//", "--;red"});
  EXPECT_EQ(Colour(C, "if x // if y\r\nif -- z // w\r\n//"),
            (TRuns{"if=navy/k", "// if y=green", "if=navy/k", "-- z // w=red", "//=green"}));
  // Unix line breaks end a key as well.
  EXPECT_EQ(Colour(C, "// a\nif"), (TRuns{"// a=green", "if=navy/k"}));
}

TEST(SyntaxColorizer, HigherZOrdersWinAndAmongEqualsTheLaterKey) {
  TSyntaxColorizer C;
  TColorRule& Keys = AddKeywords(C, {"if"}, clNavy);
  AddMarkers(C, {"';';"}, clPurple);
  EXPECT_EQ(Colour(C, "'a if b'"), TRuns{"'a if b'=purple"});
  Keys.SetZOrder(5);
  EXPECT_EQ(Colour(C, "'a if b'"), (TRuns{"'a =purple", "if=navy/k@5", " b'=purple"}));
}

TEST(SyntaxColorizer, OnlyTheRangeIsSearched) {
  TSyntaxColorizer C;
  AddScriptRules(C);
  const std::string Text = "if {a\r\nthen} 'x'\r\nend";
  const std::int32_t Second = 7, Third = 18;
  // A comment opened above the range is not seen from inside it.
  EXPECT_EQ(Describe(Text, C.FindRuns(Text, Second, Third - 2, {})), (TRuns{"then=navy/k", "'x'=purple"}));
  EXPECT_EQ(Describe(Text, C.FindRuns(Text, 0, Third - 2, {})), (TRuns{"if=navy/k", "{a\r\nthen}=green", "'x'=purple"}));
  // The range's end cuts a key that would go on.
  EXPECT_EQ(Describe(Text, C.FindRuns(Text, 0, 9, {})), TRuns{"if=navy/k"});
}

TEST(SyntaxColorizer, TheScanStartsAsManyLinesEarlierAsAKeyMaySpan) {
  TSyntaxColorizer C;
  EXPECT_EQ(C.ScanStartLine(10), 10);
  AddScriptRules(C);
  EXPECT_EQ(C.ScanStartLine(10), 10);
  C.ColorRules().Items(3).SetKeyMaxHeight(4);
  EXPECT_EQ(C.ScanStartLine(10), 7);
  EXPECT_EQ(C.ScanStartLine(2), 0);
  C.ColorRules().Items(3).SetEnabled(false);
  EXPECT_EQ(C.ScanStartLine(10), 10);
}

TEST(SyntaxColorizer, DisabledRulesColourNothing) {
  TSyntaxColorizer C;
  AddScriptRules(C);
  C.ColorRules().Items(0).SetEnabled(false);
  EXPECT_EQ(Colour(C, "if {x}"), TRuns{"{x}=green"});
}

TEST(SyntaxColorizer, RulesFollowTheirDefaultColourAtTheNextColouring) {
  TSyntaxColorizer C;
  TColorRule& Rule = C.ColorRules().Add();
  Rule.SetKeyDrawingType(dtKeyShow);
  Rule.SetKeywords({"if", "then;navy"});
  Rule.SetKeyBegEndLst({"{;};"});
  EXPECT_EQ(Colour(C, "if then"), (TRuns{"if=red/k", "then=navy/k"}));
  Rule.SetDefKeyColor(clGreen);
  EXPECT_TRUE(C.ColorRules().NeedsValidation());
  EXPECT_EQ(Colour(C, "if then"), (TRuns{"if=green/k", "then=navy/k"}));
  EXPECT_FALSE(C.ColorRules().NeedsValidation());
  // The same rule as a begin-end rule uses its markers.
  Rule.SetKeyDrawingType(dtBeginEnd);
  EXPECT_EQ(Colour(C, "if {then}"), TRuns{"{then}=green"});
}

TEST(SyntaxColorizer, HotSpotsShowMarkersAndText) {
  TSyntaxColorizer C;
  AddKeywords(C, {"to"}, clNavy);
  THotSpot Spot;
  Spot.Active = true;
  C.SetHotSpot(Spot);
  EXPECT_EQ(Colour(C, "go to \x1E" "Berlin to\x1F or \x1E\x1F \x1Eopen"),
            (TRuns{"to=navy/k", "\x1E=window@253", "Berlin to=blue@252", "\x1F=window@253", "\x1E\x1F=window@253"}));
  Spot.Active = false;
  C.SetHotSpot(Spot);
  EXPECT_EQ(Colour(C, "\x1Eto\x1F"), TRuns{"to=navy/k"});
}

TEST(SyntaxColorizer, SelectionTabsAndTheCaretLine) {
  TSyntaxColorizer C;
  AddScriptRules(C);
  const std::string Text = "if\tx then\r\nend";
  TColoringState State;
  State.FontColor = clBlack;
  State.WantTabs = true;
  State.SelStart = 5;
  State.SelLength = 2;
  EXPECT_EQ(Colour(C, Text, State), (TRuns{"if=navy/k", "\t=window@255", "th=black@254", "en=navy/k", "end=navy/k"}));
  // With RedrawAlways the caret's line up to the caret is in the text colour under the rules.
  C.SetRedrawAlways(true);
  State = {};
  State.CaretLineStart = 11;
  State.Caret = 13;
  EXPECT_EQ(Colour(C, Text + " x", State), (TRuns{"if=navy/k", "then=navy/k", "end=navy/k"}));
  State.Caret = 16;
  EXPECT_EQ(Colour(C, Text + " x", State), (TRuns{"if=navy/k", "then=navy/k", "end=navy/k", " x=black"}));
}

TEST(SyntaxColorizer, TheDrawEventFillsUpToTheTablesSize) {
  TSyntaxColorizer C;
  C.SetColorLimMax(3);
  TColorRule& Rule = C.ColorRules().Add();
  Rule.SetKeyDrawingType(dtEventDraw);
  Rule.SetZOrder(7);
  int SeenLimit = -1;
  std::size_t SeenSize = 0;
  int Reported = 3;
  C.OnDraw = [&](TSyntaxColorizer* Sender, TColorRule& R, std::int32_t RangeStart, std::span<TDrawKey> Table, int& Count,
                 int Limit) {
    EXPECT_EQ(Sender, &C);
    EXPECT_EQ(&R, &Rule);
    EXPECT_EQ(RangeStart, 2);
    SeenLimit = Limit;
    SeenSize = Table.size();
    Table[0] = {0, 1, clRed, 0};
    Table[1] = {3, 100, clBlue, 9};  // cut at the range's end
    Table[2] = {-50, -40, clGreen, 0};  // before the range: dropped
    Count = Reported;
  };
  const std::string Text = "..abcdefgh";
  EXPECT_EQ(Describe(Text, C.FindRuns(Text, 2, 8, {})), (TRuns{"ab=red@7", "def=blue@9"}));
  EXPECT_EQ(SeenLimit, 3);
  EXPECT_EQ(SeenSize, 3u);
  Reported = 1000;  // more than the table holds
  EXPECT_EQ(Describe(Text, C.FindRuns(Text, 2, 8, {})), (TRuns{"ab=red@7", "def=blue@9"}));
  Reported = -5;
  EXPECT_TRUE(C.FindRuns(Text, 2, 8, {}).empty());
  C.SetColorLimMax(0);  // no table: the event is not asked
  SeenLimit = -1;
  Reported = 1;
  EXPECT_TRUE(C.FindRuns(Text, 2, 8, {}).empty());
  EXPECT_EQ(SeenLimit, -1);
}

TEST(SyntaxColorizer, HotSpotTextUnderAColumn) {
  struct Case {
    std::string Line;
    int Column;
    bool Inside;
    std::string Text;
  };
  const std::string L = "go \x1E" "Berlin\x1F and \x1E" "Paris\x1F";
  const std::vector<Case> Cases = {
      {L, 5, true, "Berlin"},   // on the "e" of Berlin
      {L, 3, false, ""},        // on the begin marker: a begin comes before the end
      {L, 10, true, "Berlin"},  // on the end marker
      {L, 0, false, ""},        // before the hot spot
      {L, 12, false, ""},       // between the two
      {L, 17, true, "Paris"},
      {L, 23, false, ""},       // past the end of the line
      {"no begin\x1F", 2, true, "no begin"},
      {"\x1E open", 2, false, ""},
  };
  for (const Case& Test : Cases) {
    std::string Text;
    EXPECT_EQ(FindHotSpotText(Test.Line, Test.Column, '\x1E', '\x1F', &Text), Test.Inside) << Test.Column;
    if (Test.Inside) {
      EXPECT_EQ(Text, Test.Text) << Test.Column;
    }
  }
  // With one character for both ends, any later marker closes the spot.
  std::string Text;
  EXPECT_TRUE(FindHotSpotText("a |link| b", 4, '|', '|', &Text));
  EXPECT_EQ(Text, "link");
}

TEST(SyntaxColorizer, RulesAreCopiedByAssign) {
  TSyntaxColorizer C;
  AddScriptRules(C);
  C.ColorRules().Items(0).SetZOrder(3);
  TSyntaxColorizer D;
  D.ColorRules() = C.ColorRules();
  ASSERT_EQ(D.ColorRules().Count(), 5);
  EXPECT_EQ(D.ColorRules().Items(0).ZOrder(), 3);
  EXPECT_EQ(D.ColorRules().Items(2).KeyBegEndLst(), TLines{"';';"});
  EXPECT_EQ(Colour(D, "if 'x' {y}"), Colour(C, "if 'x' {y}"));
  C.ColorRules().Delete(0);
  EXPECT_EQ(C.ColorRules().Count(), 4);
  EXPECT_THROW(C.ColorRules().Delete(4), std::out_of_range);
}
