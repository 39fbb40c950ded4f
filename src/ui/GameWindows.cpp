#include "ui/GameWindows.h"

#include <QCloseEvent>

#include "platform/Application.h"
#include "platform/Prompter.h"
#include "platform/RegistryManager.h"
#include "players/ScriptModule.h"
#include "ui/AIScriptsForm.h"
#include "ui/AssignPlayersForm.h"
#include "ui/CommsForm.h"
#include "ui/BuildUnitForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/DivideUnitForm.h"
#include "ui/EventForm.h"
#include "ui/FinalScoresForm.h"
#include "ui/FormationsForm.h"
#include "ui/LoginForm.h"
#include "ui/MainForm.h"
#include "ui/NewsForm.h"
#include "ui/ResearchForm.h"
#include "ui/ScoresForm.h"
#include "ui/ScriptOutputForm.h"

TGameWindow::TGameWindow(const char* Name, const QString& Caption, bool ToolWindow, const QSize& Size)
    : QDialog(nullptr, ToolWindow ? Qt::Tool : Qt::Window) {
  setObjectName(Name);
  setWindowTitle(Caption);
  resize(Size);
}

void TGameWindow::closeEvent(QCloseEvent* Event) {
  QDialog::closeEvent(Event);
  if (OnClose) RunGuarded([&] { OnClose(this); });
}

namespace {
// The window of a start-up name: each is its own class but the navigator's, which the main
// window fills in; nullptr for a name of no window.
std::unique_ptr<TGameWindow> MakeWindow(const std::string& Name) {
  if (Name == "frmNavigator")
    return std::make_unique<TGameWindow>("frmNavigator", "Global Navigator", true, QSize(200, 150));
  if (Name == "frmDivideUnit") return std::make_unique<TfrmDivideUnit>();
  if (Name == "frmBuildUnit") return std::make_unique<TfrmBuildUnit>();
  if (Name == "frmFormations") return std::make_unique<TfrmFormations>();
  if (Name == "frmDiplomacy") return std::make_unique<TfrmDiplomacy>();
  if (Name == "frmResearch") return std::make_unique<TfrmResearch>();
  if (Name == "frmNews") return std::make_unique<TfrmNews>();
  if (Name == "frmScores") return std::make_unique<TfrmScores>();
  if (Name == "frmFinalScores") return std::make_unique<TfrmFinalScores>();
  if (Name == "frmEvent") return std::make_unique<TfrmEvent>();
  if (Name == "frmLogin") return std::make_unique<TfrmLogin>();
  if (Name == "frmAIScripts") return std::make_unique<TfrmAIScripts>();
  if (Name == "frmDebug") return std::make_unique<TfrmDebug>();
  if (Name == "frmAssignPlayers") return std::make_unique<TfrmAssignPlayers>();
  if (Name == "frmComms") return std::make_unique<TfrmComms>();
  return nullptr;
}
}  // namespace

const std::vector<std::string>& TBrenmoorForms::StartupOrder() {
  static const std::vector<std::string> Order = {
      "frmNavigator", "frmDivideUnit", "frmBuildUnit", "frmNews",     "frmLogin",       "frmAssignPlayers",
      "frmFormations", "frmScores",    "frmDiplomacy", "frmResearch", "frmEvent",       "frmComms",
      "dmScript",      "frmFinalScores", "frmAIScripts", "frmDebug"};
  return Order;
}

TBrenmoorForms::TBrenmoorForms(std::unique_ptr<TRegistryManager> Settings) {
  FMain = std::make_unique<TfrmMain>(std::move(Settings));
  FCreationOrder.push_back(FMain->objectName().toStdString());
  for (const std::string& Name : StartupOrder()) {
    if (Name == "dmScript") {
      FScript = std::make_unique<TdmScript>();
      FCreationOrder.push_back(Name);
      continue;
    }
    if (std::unique_ptr<TGameWindow> Window = MakeWindow(Name)) {
      FForms.push_back(std::move(Window));
      FCreationOrder.push_back(FForms.back()->objectName().toStdString());
    }
  }
  // The scripts' Print fills the script output window; there the player also reads what went
  // wrong in a computer player's turn. A script that does not compile is told in a message box.
  auto* Debug = dynamic_cast<TfrmDebug*>(Form("frmDebug"));
  if (Debug) FScript->SetChatSink(&Debug->OutputSink());
  FScript->OnReport = [Debug](const TBrainReport& Report) {
    if (Report.Kind == TBrainReport::brCompile)
      Prompter().ShowMessage(Report.Text);
    else if (Debug)
      Debug->Print(Report.Text);
  };
  FMain->SetForms(this);
}

TBrenmoorForms::~TBrenmoorForms() {
  // The main window's handlers may still reach for the windows while it closes.
  if (FMain) FMain->SetForms(nullptr);
  // The scripts' output window goes before the module.
  if (FScript) {
    FScript->SetChatSink(nullptr);
    FScript->OnReport = nullptr;
  }
  while (!FForms.empty()) FForms.pop_back();
  // The script module plays on the main window's engine.
  FScript.reset();
  FMain.reset();
}

TGameWindow* TBrenmoorForms::Form(const std::string& Name) const {
  for (const auto& F : FForms)
    if (F->objectName().toStdString() == Name) return F.get();
  return nullptr;
}
