#pragma once
// The set-up screen of a new game on its panel of the main window: the scenario list with the
// chosen scenario's description, starting date, victory conditions and flags, the major powers
// to tick (a solo game) or the number of players (an online one), the "Loading Scenario..."
// label, and the Computer Players, Start and Cancel buttons. What a choice comes to is judged by
// JudgeSetup (screens/GameSetupRules.h); a set-up that may start goes to the owner's OnStart.
#include <QCursor>
#include <QString>
#include <functional>
#include <string>

class QLabel;
class QListWidget;
class QPainter;
class QPlainTextEdit;
class QRect;
class QSpinBox;
class QTreeWidget;
class QWidget;
class TBrenmoorEngine;
class TCellImage;
class TColorButton;
class TElasticPanel;
class TOwnerDrawListBox;
class TRegistryManager;
struct TGameSetUp;

// The busy cursor on a window while a scenario or a game is read; the default one again when
// it goes.
class TBusyCursor {
public:
  TBusyCursor(QWidget& Window, const QCursor& Busy);
  ~TBusyCursor();
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
  QWidget& FWindow;
};

// Shows the label while it lives and hides it when it goes (also when a step on the way throws).
class TShownLabel {
public:
  explicit TShownLabel(QLabel& Label);
  ~TShownLabel();
  TShownLabel(const TShownLabel&) = delete;
  TShownLabel& operator=(const TShownLabel&) = delete;

private:
  QLabel& FLabel;
};

class TSetupScreen {
public:
  // What the screen needs of the main window.
  struct THooks {
    // A button of the main window's look, with its click sound.
    std::function<TColorButton*(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds)>
        MakeButton;
    // One line of the victory conditions list.
    std::function<void(TOwnerDrawListBox* Control, QPainter& Canvas, int Index, const QRect& Rect, unsigned State)>
        DrawVictoryLine;
    // The cursor shown while a scenario is read.
    std::function<QCursor()> BusyCursor;
    // Whether the set-up is one of this machine alone (else an online one).
    std::function<bool()> IsSolo;
    // Cancel: back to the lobby or the title screen.
    std::function<void()> OnCancel;
    // The computer players' scripts of the chosen scenario.
    std::function<void()> OnSpecifyAI;
    // An online set-up that may start: the game's room under the name the player gave.
    std::function<void(const std::string& GameName)> OnNewGameRoom;
    // A solo game or a duel of computer players that may start.
    std::function<void(const TGameSetUp& SetUp)> OnStart;
  };

  // Builds the screen's controls on Panel; Window takes the busy cursor, Flags the scenario's
  // flags (a cell per nation).
  TSetupScreen(QWidget& Window, TElasticPanel& Panel, TBrenmoorEngine& Engine, TRegistryManager& Settings,
               TCellImage& Flags, THooks Hooks);
  TSetupScreen(const TSetupScreen&) = delete;
  TSetupScreen& operator=(const TSetupScreen&) = delete;

  // The solo options (the powers to tick) or the online ones (the number of players).
  void ShowOptions(bool Solo);
  // The scenario files of the current folder listed, the chosen one kept (else the first
  // chosen).
  void ListScenarios();
  // The chosen scenario read: its description, starting date, flags, scripts, major powers and
  // victory conditions shown.
  void ScenarioChosen();
  // Start: the choice judged and, as it comes out, refused, a game name asked for (online),
  // the duel confirmed or the game handed to OnStart.
  void Proceed();
  // The scenario's flags (its base name + "Flags.bmp") as one row of a cell per nation.
  void LoadFlags();
  // The computer-player script each nation of the scenario was last given (a setting per
  // scenario and nation index), of the major powers only when MajorsOnly.
  void ApplyScriptSettings(bool MajorsOnly);
  // The "Loading Scenario..." label (also shown while a game starts).
  QLabel& LoadingLabel() const { return *FLoading; }

private:
  void CreateControls(TElasticPanel& Panel);

  QWidget& FWindow;
  TBrenmoorEngine& FEngine;
  TRegistryManager& FSettings;
  TCellImage& FFlags;
  THooks FHooks;
  QListWidget* FScenarios = nullptr;
  QPlainTextEdit* FDescription = nullptr;
  QLabel* FStartingDate = nullptr;
  QWidget* FSoloOptions = nullptr;
  QTreeWidget* FPowers = nullptr;
  QWidget* FOnlineOptions = nullptr;
  QSpinBox* FPlayers = nullptr;
  TOwnerDrawListBox* FVictory = nullptr;
  QLabel* FLoading = nullptr;
  TColorButton* FSpecifyAI = nullptr;
};
