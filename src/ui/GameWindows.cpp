#include "ui/GameWindows.h"

#include <QCloseEvent>

#include "platform/Application.h"
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
struct TWindowDesign {
  const char* Name;
  const char* Caption;
  bool ToolWindow;
  QSize Size;
};
// Every window of the start-up list but the script module.
const TWindowDesign WindowDesigns[] = {
    {"frmNavigator", "Global Navigator", true, {200, 150}},
    {"frmDivideUnit", "Divide Unit", false, {400, 300}},
    {"frmBuildUnit", "Build Forces", false, {420, 330}},
    {"frmNews", "News Events", true, {420, 200}},
    {"frmLogin", "VexilServer Login", false, {400, 356}},
    {"frmAssignPlayers", "Assign Players", false, {480, 330}},
    {"frmFormations", "Formations", false, {360, 260}},
    {"frmScores", "Score History", true, {480, 320}},
    {"frmDiplomacy", "Diplomacy", false, {420, 320}},
    {"frmResearch", "Research Options", false, {420, 320}},
    {"frmEvent", "Event", false, {440, 330}},
    {"frmComms", "Communcations", true, {420, 260}},
    {"frmFinalScores", "Final Scores", false, {500, 300}},
    {"frmAIScripts", "Specify AI Scripts", false, {400, 328}},
    {"frmDebug", "Debug", false, {420, 260}},
};

// The window of a design: the windows built so far are their own classes.
std::unique_ptr<TGameWindow> MakeWindow(const TWindowDesign& D) {
  const std::string Name = D.Name;
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
  return std::make_unique<TGameWindow>(D.Name, D.Caption, D.ToolWindow, D.Size);
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
    for (const TWindowDesign& D : WindowDesigns) {
      if (Name != D.Name) continue;
      FForms.push_back(MakeWindow(D));
      FCreationOrder.push_back(FForms.back()->objectName().toStdString());
    }
  }
  // The scripts' Print fills the script output window.
  if (auto* Debug = dynamic_cast<TfrmDebug*>(Form("frmDebug"))) FScript->SetChatSink(&Debug->OutputSink());
  FMain->SetForms(this);
}

TBrenmoorForms::~TBrenmoorForms() {
  // The main window's handlers may still reach for the windows while it closes.
  if (FMain) FMain->SetForms(nullptr);
  // The scripts' output window goes before the module.
  if (FScript) FScript->SetChatSink(nullptr);
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
