#pragma once
// "Assign Players": the host of a new online game gives each major power of the scenario to
// one of the game room's users or to the computer, and chats meanwhile. Proceed closes only
// when every user holds at least one power and nobody holds powers of different alliances;
// Cancel always closes (and the main window then ends that game before it starts).
#include <functional>
#include <string>
#include <vector>

#include "ui/GameWindows.h"

class QLineEdit;
class QListWidget;
class QTreeWidget;
class TBrenmoorEngine;

class TfrmAssignPlayers : public TGameWindow {
  Q_OBJECT
public:
  TfrmAssignPlayers();

  // The powers of the engine's scenario, each played by the computer, and the room's users.
  void Fill(const TBrenmoorEngine& Engine, const std::vector<std::string>& RoomUsers);
  // For each power in list order its user's name + ",", or "#COMP#," for the computer.
  std::string PlayerList() const;
  // True when the assignments may go; else the refusal is shown.
  bool ValidateAssignments();
  bool Cancelling() const { return FCancelling; }

  void btnLeftArrowClick();
  void btnComputerClick();
  void btnProceedClick();
  void btnCancelClick();
  // A line of chat typed here goes to the room as the lobby's own chat.
  std::function<void(const std::string& Text)> OnChat;

public slots:
  // Closing the window any way but Cancel asks the validation first.
  void reject() override;

private:
  void edtChatReturn();

  QTreeWidget* FPowers;
  QListWidget* FPlayers;
  QLineEdit* FChat;
  bool FCancelling = false;
};
