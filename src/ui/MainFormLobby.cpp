// The main window's forwards to online play, for the steps of the game that reach it: the own
// lobby identifier, the set-up screen's new game room and the result of a victory.
#include "ui/LobbyScreen.h"
#include "ui/MainForm.h"

std::string TfrmMain::OwnUserId() const { return FLobbyScreen->OwnUserId(); }

void TfrmMain::CreateNewGameRoom(const std::string& GameName) { FLobbyScreen->CreateNewGameRoom(GameName); }

void TfrmMain::SendGameResult() { FLobbyScreen->SendGameResult(); }
