// What the game's windows cost while a game is only looked at: the real main window and its
// windows, on the display Qt is given (Xvfb for a measurement), put into one state and then left
// alone; it prints the share of one core the program used over that time and the map frames
// shown. For pidstat, perf or callgrind from outside, the program prints its pid and waits.
//   bench_gamescreen_load STATE [SECONDS] [WIDTHxHEIGHT]
// STATE: title (the title screen), paused (a solo game of the Standard world, Germany played
// here, paused), running (the same running), fast (a duel of computer players at full speed),
// ended (a duel of computer players won and over). With BRENMOOR_LOAD_SILENT set, the music and
// the sounds are off. Not part of the test suite.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QScreen>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>

#include "controls/ColorButton.h"
#include "engine/BrenmoorEngine.h"
#include "engine/RealTimeEngine.h"
#include "platform/Application.h"
#include "platform/AudioDevice.h"
#include "platform/MessagePump.h"
#include "platform/Prompter.h"
#include "platform/RegistryManager.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/WidgetUtils.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/Startup.h"

namespace {

// Says yes to every question (the duel is wanted) and prints the messages.
class TYesPrompter : public TPrompter {
public:
  void ShowMessage(const std::string& Text) override { std::fprintf(stderr, "message: %s\n", Text.c_str()); }
  bool Confirm(const std::string& Text) override {
    std::fprintf(stderr, "question: %s (yes)\n", Text.c_str());
    return true;
  }
  std::optional<std::string> InputText(const std::string&, const std::string&, const std::string&) override { return {}; }
  std::optional<std::string> OpenFile(const TFileDialogOptions&) override { return {}; }
  std::optional<std::string> SaveFile(const TFileDialogOptions&) override { return {}; }
};

double CpuSeconds() {
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  return double(U.ru_utime.tv_sec + U.ru_stime.tv_sec) + double(U.ru_utime.tv_usec + U.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop for Ms, waking for nothing of its own.
void Wait(int Ms) {
  QEventLoop Loop;
  QTimer::singleShot(Ms, &Loop, &QEventLoop::quit);
  Loop.exec();
}

bool WaitFor(const std::function<bool()>& Done, int Ms) {
  QElapsedTimer T;
  T.start();
  while (!Done()) {
    if (T.elapsed() > Ms) return false;
    Wait(100);
  }
  return true;
}

void Click(TfrmMain& Main, const char* Name) {
  auto* Button = Main.findChild<TColorButton*>(Name);
  if (!Button) {
    std::fprintf(stderr, "no %s\n", Name);
    std::exit(2);
  }
  ClickControl(Button);
}

void Tick(TfrmMain& Main, const char* Nation) {
  auto* Powers = Main.findChild<QTreeWidget*>("lvMajorPowers");
  const QList<QTreeWidgetItem*> Found = Powers->findItems(Nation, Qt::MatchExactly, 0);
  if (Found.size() != 1) std::exit(2);
  QStyleOptionViewItem Option;
  Option.initFrom(Powers);
  Option.rect = Powers->visualRect(Powers->indexFromItem(Found.front(), 0));
  Option.features =
      QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
  Option.decorationSize = Powers->iconSize();
  const QRect Box = Powers->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &Option, Powers);
  QTest::mouseClick(Powers->viewport(), Qt::LeftButton, {}, Box.center());
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s title|paused|running|fast|ended [seconds] [WxH]\n", argv[0]);
    return 1;
  }
  const std::string State = argv[1];
  const int Seconds = argc > 2 ? std::atoi(argv[2]) : 30;
  int W = 1280, H = 1024;
  if (argc > 3) std::sscanf(argv[3], "%dx%d", &W, &H);
  TApplication App(argc, argv);
  const QString Program = QString::fromUtf8(BRENMOOR_BINARY_DIR "/bin");
  QDir::setCurrent(Program);
  SetUpApplication();
  InstallMessagePump();
  qputenv("SDL_NO_SIGNAL_HANDLERS", "1");
  OpenGameAudio();
  TYesPrompter Yes;
  SetPrompter(&Yes);
  QTemporaryDir Config;
  // The ended duel plays the Standard world won by Germany at impulse 8, from a folder of its own.
  QTemporaryDir Quick;
  if (State == "ended") {
    namespace fs = std::filesystem;
    const fs::path From = Program.toStdString(), Dir = Quick.path().toStdString();
    for (const char* Name : {"Standard.brmmap", "maps", "Default.brmai", "art", "sounds", "StandardFlags.bmp"})
      if (fs::exists(From / Name)) fs::create_symlink(From / Name, Dir / (std::string(Name) == "StandardFlags.bmp" ? "QuickFlags.bmp" : Name));
    std::ifstream In(From / "Standard.brmscen", std::ios::binary);
    std::ofstream Out(Dir / "Quick.brmscen", std::ios::binary);
    std::string Line;
    while (std::getline(In, Line))
      if (Line.rfind("VictoryCondition=", 0) != 0) Out << Line << "\n";
    Out << "VictoryCondition=Germany~1~4~Germany~8~\n";
    Out.close();
    QDir::setCurrent(Quick.path());
  }
  {
    auto Settings = std::make_unique<TRegistryManager>(Config.filePath("settings.ini"));
    Settings->SetSubKey("Software\\Quillfen\\Brenmoor\\");
    Settings->WriteString("ShowTip", "1");
    // BRENMOOR_LOAD_SILENT: music and sounds off, so that only the windows are measured.
    if (qEnvironmentVariableIsSet("BRENMOOR_LOAD_SILENT")) {
      Settings->WriteInteger("Music", 1);
      Settings->WriteInteger("Sound", 1);
    }
    TBrenmoorForms Forms(std::move(Settings));
    TfrmMain& Main = Forms.Main();
    Main.setGeometry(0, 0, W, H);
    Main.show();
    Wait(1500);
    if (State != "title") {
      Click(Main, "btnNewGame");
      Wait(300);
      if (State == "paused" || State == "running") Tick(Main, "Germany");
      Click(Main, "btnOkNewGame");
      if (!WaitFor([&] { return Main.rte().GetActive(); }, 30000)) {
        std::fprintf(stderr, "the game did not start\n");
        return 2;
      }
      if (State == "paused") Click(Main, "btnPause");
      if (State == "fast" || State == "ended") Click(Main, "btnFastAIDuel");
      if (State == "ended") {
        if (!WaitFor([&] { return !Main.rte().GetActive(); }, 30 * 60 * 1000)) {
          std::fprintf(stderr, "the duel did not end\n");
          return 2;
        }
      }
    }
    Wait(2000);
    std::printf("pid %d state %s window %dx%d map %dx%d\n", int(getpid()), State.c_str(), Main.width(), Main.height(),
                Main.surfaceView().width(), Main.surfaceView().height());
    std::fflush(stdout);
    const int Frames0 = Main.surfaceView().FramesShown();
    const double Cpu0 = CpuSeconds();
    QElapsedTimer Clock;
    Clock.start();
    Wait(Seconds * 1000);
    const double Cpu = CpuSeconds() - Cpu0;
    const double Wall = double(Clock.elapsed()) / 1000.0;
    std::printf("state %s: %.1f %% of one core over %.1f s, %.1f map frames/s\n", State.c_str(), 100.0 * Cpu / Wall, Wall,
                double(Main.surfaceView().FramesShown() - Frames0) / Wall);
    std::fflush(stdout);
    Main.rte().SetActive(false);
  }
  SetPrompter(nullptr);
  CloseGameAudio();
  return 0;
}
