// Computer players that fail, in the game's windows: a script that does not compile is told in
// a message box naming the nation; a script that loops without end has its turn ended by the
// step budget while the windows stay alive, is told once in the script output window, and the
// game goes on.
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "foundation/CurrentFolder.h"
#include "foundation/ProcessMessages.h"
#include "platform/MessagePump.h"
#include "platform/RegistryManager.h"
#include "platform/WidgetUtils.h"
#include "players/ScriptModule.h"
#include "support/GuiTest.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/ScriptOutputForm.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

// The sanitizers make every script step many times slower: there a turn gets a tenth of the
// budget, so that the looping turns do not hold the test up for minutes.
#ifdef BRENMOOR_SANITIZED_BUILD
constexpr std::uint64_t Budget = TdmScript::TurnStepBudget / 10;
#else
constexpr std::uint64_t Budget = TdmScript::TurnStepBudget;
#endif

// The program folder's Standard scenario in a folder of its own, beside two scripts that fail.
class TFailingScripts {
public:
  TFailingScripts() {
    namespace fs = std::filesystem;
    for (const char* Name : {"Standard.brmmap", "Standard.brmscen", "StandardFlags.bmp", "maps", "Default.brmai", "art", "sounds"})
      if (fs::exists(ProgramFolder / Name)) fs::create_symlink(ProgramFolder / Name, Folder() / Name);
    std::ofstream(Folder() / "Loop.brmai", std::ios::binary) << "x := 0;\nwhile true do x := x + 1;\n";
    std::ofstream(Folder() / "Broken.brmai", std::ios::binary) << "x := 1;\nif x then y := ;\n";
  }
  std::filesystem::path Folder() const { return FDir.path().toStdString(); }

private:
  QTemporaryDir FDir;
};

struct ComputerPlayerWindowsTest : TGuiTest {
  ~ComputerPlayerWindowsTest() override { SetProcessMessagesHook(nullptr); }
  std::unique_ptr<TBrenmoorForms> Forms;
};

TEST_F(ComputerPlayerWindowsTest, AScriptThatDoesNotEndOrDoesNotCompileIsToldAndTheGameGoesOn) {
  const TFailingScripts Scripts;
  const TCurrentFolder In(Scripts.Folder());
  // Germany loops, Italy does not compile, the others play the default script.
  Settings.Store().WriteString("ShowTip", "1");
  Settings.Store().WriteString("Standard0", "Loop.brmai");
  Settings.Store().WriteString("Standard1", "Broken.brmai");
  // The program's own pump: pending events are processed during a long script turn.
  InstallMessagePump();
  Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
  TfrmMain& Main = Forms->Main();
  Main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Main));
  auto* Debug = dynamic_cast<TfrmDebug*>(Forms->Form("frmDebug"));
  ASSERT_NE(Debug, nullptr);
  Forms->dmScript().GetFuncs().SetStepBudget(Budget);

  // A timer of the window ticks while the turns run; the ticks within Germany's turns count.
  int Ticks = 0;
  QTimer Ticker;
  Ticker.setInterval(1);
  QObject::connect(&Ticker, &QTimer::timeout, [&] { ++Ticks; });
  Ticker.start();
  TRealTimeEngine& Clock = Main.rte();
  int TicksInLoopingTurns = 0;
  Clock.BeforeProcess = [&, Step = Clock.BeforeProcess](TClockRun* Run) {
    const int Before = Ticks;
    Step(Run);
    if (Clock.GetImpulse() % 7 == 0) TicksInLoopingTurns += Ticks - Before;
  };
  int Impulses = 0;
  Clock.AfterProcess = [&, Step = Clock.AfterProcess](TClockRun* Run) {
    Step(Run);
    if (++Impulses == 9) Clock.SetPaused(true);
  };

  // An AI duel of the Standard scenario.
  ClickControl(Main.findChild<QWidget*>("btnNewGame"));
  Prompter.AnswerYes();
  ClickControl(Main.findChild<QWidget*>("btnOkNewGame"));
  ASSERT_TRUE(Clock.GetActive());
  TBrenmoorEngine& E = Main.brm();
  ASSERT_EQ(E.GetNation(0)->GetAIScript(), "Loop.brmai");
  Clock.SetInterval(0);
  ASSERT_TRUE(RunUntil([&] { return Impulses >= 9; }, 120000)) << Impulses;

  // Italy's script was refused once, in a message box.
  const std::string Refusal = "Could not compile Brain Script for Italy\n\nSyntax error in Broken.brmai, line 2, column 16: "
                              "Expression expected.\n\nItaly stands idle for the rest of the game.";
  std::vector<std::string> Messages = Prompter.Messages();
  EXPECT_EQ(std::count(Messages.begin(), Messages.end(), Refusal), 1) << (Messages.empty() ? "" : Messages.back());
  // Germany's turns at impulses 0 and 7 ran into the budget; the output window told it once.
  const std::string Output = Debug->memoDebug()->toPlainText().toStdString();
  EXPECT_TRUE(Debug->isVisible());
  const std::string Told = "The script of Germany ran too long: its turn took more than " + std::to_string(Budget) +
                           " steps and was ended in Loop.brmai, line 2";
  EXPECT_NE(Output.find(Told), std::string::npos) << Output;
  EXPECT_EQ(Output.find(Told), Output.rfind(Told)) << Output;
  EXPECT_NE(Output.find("Germany stands idle for the rest of this turn."), std::string::npos) << Output;
  // The window lived through the looping turns, and the other powers played on.
  EXPECT_GT(TicksInLoopingTurns, 10);
  EXPECT_GE(Clock.GetImpulse(), 9);
  for (int N = 2; N < 7; ++N) EXPECT_TRUE(E.GetNation(N)->GetScriptLoaded()) << N;
  Main.CloseGame();
}

}  // namespace
