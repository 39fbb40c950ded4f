#pragma once
// The program's windows beside the main one, made at start-up in the game's order after the
// main window, and the start-up that makes them all. Each window is made here with its name
// and caption; the game's later screens fill them in.
#include <QColor>
#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TdmScript;
class TfrmAIScripts;
class TfrmAssignPlayers;
class TfrmBuildUnit;
class TfrmComms;
class TfrmDebug;
class TfrmDiplomacy;
class TfrmDivideUnit;
class TfrmEvent;
class TfrmFinalScores;
class TfrmFormations;
class TfrmLogin;
class TfrmMain;
class TfrmNews;
class TfrmResearch;
class TfrmScores;
#include "platform/RegistryManager.h"

// The colour of a window-system colour value (red in the low byte, blue in the high byte).
inline QColor QColorOfValue(std::uint32_t Value) {
  return QColor(int(Value & 0xFF), int((Value >> 8) & 0xFF), int((Value >> 16) & 0xFF));
}

// A window of the game beside the main one. Tool windows (navigator, news, scores,
// communications) stay above the main window; closing one tells OnClose, so the main window
// can release the toolbar switch that showed it. A window that asks (the final scores) is shown
// modally.
class TGameWindow : public QDialog {
  Q_OBJECT
public:
  TGameWindow(const char* Name, const QString& Caption, bool ToolWindow, const QSize& Size);
  std::function<void(TGameWindow* Sender)> OnClose;

protected:
  void closeEvent(QCloseEvent* Event) override;
};

class TBrenmoorForms {
public:
  // The windows made after the main window, in the order the program makes them ("dmScript"
  // is the script module, which has no window).
  static const std::vector<std::string>& StartupOrder();

  // Makes the main window (with Settings, nullptr: the user's own store) and then every window
  // of the start-up list, in order.
  explicit TBrenmoorForms(std::unique_ptr<TRegistryManager> Settings = nullptr);
  // Frees them last first: the main window goes last.
  ~TBrenmoorForms();
  TBrenmoorForms(const TBrenmoorForms&) = delete;
  TBrenmoorForms& operator=(const TBrenmoorForms&) = delete;

  TfrmMain& Main() const { return *FMain; }
  TdmScript& dmScript() const { return *FScript; }
  // The windows, each by its own class (the navigator is a plain window the main window fills
  // in). The program reaches them only so; a name is for the settings and the tests.
  TGameWindow& Navigator() const { return *FNavigator; }
  TfrmDivideUnit& DivideUnit() const { return *FDivideUnit; }
  TfrmBuildUnit& BuildUnit() const { return *FBuildUnit; }
  TfrmNews& News() const { return *FNews; }
  TfrmLogin& Login() const { return *FLogin; }
  TfrmAssignPlayers& AssignPlayers() const { return *FAssignPlayers; }
  TfrmFormations& Formations() const { return *FFormations; }
  TfrmScores& Scores() const { return *FScores; }
  TfrmDiplomacy& Diplomacy() const { return *FDiplomacy; }
  TfrmResearch& Research() const { return *FResearch; }
  TfrmEvent& Event() const { return *FEvent; }
  TfrmComms& Comms() const { return *FComms; }
  TfrmFinalScores& FinalScores() const { return *FFinalScores; }
  TfrmAIScripts& AIScripts() const { return *FAIScripts; }
  TfrmDebug& Debug() const { return *FDebug; }
  // The window of that name ("frmNavigator"...), nullptr for another name.
  TGameWindow* Form(const std::string& Name) const;
  // The names of everything made, in the order it was made, the main window first.
  const std::vector<std::string>& CreationOrder() const { return FCreationOrder; }

private:
  // The window of a start-up name, kept in its own slot too; nullptr for a name of no window.
  std::unique_ptr<TGameWindow> MakeWindow(const std::string& Name);

  std::unique_ptr<TfrmMain> FMain;
  std::unique_ptr<TdmScript> FScript;
  std::vector<std::unique_ptr<TGameWindow>> FForms;
  TGameWindow* FNavigator = nullptr;
  TfrmDivideUnit* FDivideUnit = nullptr;
  TfrmBuildUnit* FBuildUnit = nullptr;
  TfrmNews* FNews = nullptr;
  TfrmLogin* FLogin = nullptr;
  TfrmAssignPlayers* FAssignPlayers = nullptr;
  TfrmFormations* FFormations = nullptr;
  TfrmScores* FScores = nullptr;
  TfrmDiplomacy* FDiplomacy = nullptr;
  TfrmResearch* FResearch = nullptr;
  TfrmEvent* FEvent = nullptr;
  TfrmComms* FComms = nullptr;
  TfrmFinalScores* FFinalScores = nullptr;
  TfrmAIScripts* FAIScripts = nullptr;
  TfrmDebug* FDebug = nullptr;
  std::vector<std::string> FCreationOrder;
};
