// The colour memo while a script is edited: after every keystroke it colours the lines in view
// of a 5000-line computer-player script with the script editor's five rules. Figures: the key
// engine alone on the lines in view, and a whole keystroke in the memo (the edit's own work,
// the colouring and putting the runs on the lines' layouts).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTest>
#include <string>
#include <vector>

#include "controls/ColMemo.h"
#include "controls/SyntaxColorizer.h"
#include "platform/TextCodec.h"

namespace {

// About as many game function names as the script module registers.
std::vector<std::string> FunctionNames() {
  std::vector<std::string> Names = {"print", "Version", "Random", "Distance", "TrueDistance", "ClearPatrolZones",
                                    "AddPatrolZone"};
  for (const char* Verb : {"Get", "Set", "Is", "Has", "Count", "Find", "Order", "Move"})
    for (const char* Noun : {"Zone", "Unit", "Nation", "Supply", "Army", "Fleet", "Air", "Research", "Relation",
                             "Storm", "Route", "Impulse", "Enemy", "Ally", "Front", "Target"})
      Names.push_back(std::string(Verb) + Noun);
  return Names;
}

template <class TRules>
void AddScriptRules(TRules& Rules) {
  auto Add = [&](TKeyDrawingType Type, TColor Color) -> TColorRule& {
    TColorRule& R = Rules.Add();
    R.SetKeyDrawingType(Type);
    R.SetDefKeyColor(Color);
    return R;
  };
  Add(dtKeyShow, clNavy)
      .SetKeywords({"if", "then", "endif", "for", "while", "begin", "end", "mod", "div", "array", "round", "trunc",
                    "int", "frac", "insert", "delete", "copy", "pos", "strtoint", "inttostr", "const", "else", "do"});
  Add(dtKeyShow, clBlue).SetKeywords(FunctionNames());
  Add(dtBeginEnd, clPurple).SetKeyBegEndLst({"';';"});
  Add(dtBeginEnd, clGreen).SetKeyBegEndLst({"{;};"});
  Add(dtKeyShow, clRed).SetKeywords({"LAND", "AIR", "SEA"});
}

// Line I of the script.
std::string ScriptLine(int I) {
  switch (I % 6) {
    case 0: return "{ front " + std::to_string(I) + ": look for the weakest enemy zone }";
    case 1: return "for z := 1 to CountZone(" + std::to_string(I) + ") do";
    case 2: return "  if (GetZoneOwner(z) <> me) and HasEnemy(z) then begin";
    case 3: return "    print('attacking zone ' + inttostr(z) + ' with LAND units');";
    case 4: return "    OrderMove(GetArmy(z), TrueDistance(z, target) div 2, AIR);";
    default: return "  end else x := Random(10) mod 3;";
  }
}

std::string Script(int Lines, const char* Break) {
  std::string S;
  for (int I = 0; I < Lines; ++I) {
    if (I) S += Break;
    S += ScriptLine(I);
  }
  return S;
}

}  // namespace

// The key engine on 40 lines in view of a 5000-line script.
static void BM_ColourLinesInView(benchmark::State& State) {
  TSyntaxColorizer C;
  AddScriptRules(C.ColorRules());
  const std::string Text = Script(5000, "\n");
  std::int32_t Start = 0;
  for (int I = 0; I < 2500; ++I) Start += static_cast<std::int32_t>(ScriptLine(I).size()) + 1;
  std::int32_t End = Start;
  for (int I = 2500; I < 2540; ++I) End += static_cast<std::int32_t>(ScriptLine(I).size()) + 1;
  for (auto _ : State) benchmark::DoNotOptimize(C.FindRuns(Text, Start, End - 1, {}).size());
  State.counters["runs"] = static_cast<double>(C.Runs().size());
}
BENCHMARK(BM_ColourLinesInView)->Unit(benchmark::kMicrosecond);

// One keystroke in the middle of a 5000-line script in a memo of 40 lines: typing a character
// and, in the next iteration, erasing it again, so every keystroke changes the text.
static void BM_MemoKeystroke(benchmark::State& State) {
  TColorMemo Memo;
  AddScriptRules(Memo.ColorRules());
  Memo.resize(700, 40 * Memo.fontMetrics().lineSpacing() + 8);
  Memo.setPlainText(ToQString(Script(5000, "\n")));
  Memo.show();
  QCoreApplication::processEvents();
  QTextCursor Caret(Memo.document()->findBlockByNumber(2520));
  Caret.movePosition(QTextCursor::EndOfBlock);
  Memo.setTextCursor(Caret);
  Memo.centerCursor();
  QCoreApplication::processEvents();
  bool Typed = false;
  for (auto _ : State) {
    if (Typed)
      QTest::keyClick(&Memo, Qt::Key_Backspace);
    else
      QTest::keyClick(&Memo, Qt::Key_BraceLeft, Qt::NoModifier);
    Typed = !Typed;
  }
  State.counters["runs"] = static_cast<double>(Memo.Runs().size());
}
BENCHMARK(BM_MemoKeystroke)->Unit(benchmark::kMicrosecond);

// Colouring the lines in view again when nothing changed (after a caret move, a click...).
static void BM_MemoRecolourUnchanged(benchmark::State& State) {
  TColorMemo Memo;
  AddScriptRules(Memo.ColorRules());
  Memo.resize(700, 40 * Memo.fontMetrics().lineSpacing() + 8);
  Memo.setPlainText(ToQString(Script(5000, "\n")));
  Memo.show();
  QCoreApplication::processEvents();
  Memo.verticalScrollBar()->setValue(2500);
  QCoreApplication::processEvents();
  for (auto _ : State) Memo.DrawColoredLines();
}
BENCHMARK(BM_MemoRecolourUnchanged)->Unit(benchmark::kMicrosecond);

// The memo needs a Qt application, which must go before Qt's own statics: so this program has
// its own main (the one of the benchmark library is then not linked in).
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
