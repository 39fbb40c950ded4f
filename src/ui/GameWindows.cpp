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
template <class T>
std::unique_ptr<TGameWindow> Made(T*& Slot) {
  auto Window = std::make_unique<T>();
  Slot = Window.get();
  return Window;
}
}  // namespace

std::unique_ptr<TGameWindow> TBrenmoorForms::MakeWindow(const std::string& Name) {
  if (Name == "frmNavigator") {
    auto Window = std::make_unique<TGameWindow>("frmNavigator", "Global Navigator", true, QSize(200, 150));
    FNavigator = Window.get();
    return Window;
  }
  if (Name == "frmDivideUnit") return Made(FDivideUnit);
  if (Name == "frmBuildUnit") return Made(FBuildUnit);
  if (Name == "frmFormations") return Made(FFormations);
  if (Name == "frmDiplomacy") return Made(FDiplomacy);
  if (Name == "frmResearch") return Made(FResearch);
  if (Name == "frmNews") return Made(FNews);
  if (Name == "frmScores") return Made(FScores);
  if (Name == "frmFinalScores") return Made(FFinalScores);
  if (Name == "frmEvent") return Made(FEvent);
  if (Name == "frmLogin") return Made(FLogin);
  if (Name == "frmAIScripts") return Made(FAIScripts);
  if (Name == "frmDebug") return Made(FDebug);
  if (Name == "frmAssignPlayers") return Made(FAssignPlayers);
  if (Name == "frmComms") return Made(FComms);
  return nullptr;
}

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
  FScript->SetChatSink(&FDebug->OutputSink());
  FScript->OnReport = [Debug = FDebug](const TBrainReport& Report) {
    if (Report.Kind == TBrainReport::brCompile)
      Prompter().ShowMessage(Report.Text);
    else
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
