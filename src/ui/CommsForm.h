#pragma once
// "Communcations": the in-game chat with three channels, General (every player), Allied and
// Enemy, each with its own memo. Send writes the line in the chosen channel's memo and hands
// the chat line on to the other players; lines from them are added by the main window. A line
// holds at most 500 characters, as the edit says: the other players take no longer one.
#include <functional>
#include <string>

#include "ui/GameWindows.h"

class QLineEdit;
class QPlainTextEdit;
class QStackedWidget;
class TBrenmoorOrderButton;
class TNation;

class TfrmComms : public TGameWindow {
  Q_OBJECT
public:
  TfrmComms();

  // The nation this machine's player speaks for (nullptr: Send does nothing).
  std::function<TNation*()> CurrentNation;
  // A "GAMECHAT|" line to the room.
  std::function<void(const std::string& Line)> OnSendData;

  // The channel whose button is down: 0 General, 1 Allied, 2 Enemy.
  int Channel() const;
  void SetChannel(int Channel);
  // Adds a line to a channel's memo (0, 1 or 2).
  void AddLine(int Channel, const std::string& Line);
  std::string Lines(int Channel) const;
  void btnSendClick();
  void mniClearClick();

protected:
  void showEvent(QShowEvent* Event) override;

private:
  QPlainTextEdit* FMemos[3];
  TBrenmoorOrderButton* FButtons[3];
  QStackedWidget* FPages;
  QLineEdit* FChat;
};
