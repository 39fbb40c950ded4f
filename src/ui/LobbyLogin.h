#pragma once
// The main window's log-in to the lobby: the log-in window and the server it names, the
// connection's log-in events and the phase with the lobby from one log-in to the next, the server
// statistics ("Vexil Server Statistics", refreshed every 5000 ms) and user information ("User
// Information", with the game's info tokens) dialogs, the server's errors and leaving the lobby.
#include <QTimer>
#include <memory>
#include <string>

#include "lobby/VexilConnection.h"
#include "screens/LobbyRules.h"

class TColorButton;
class TdlgServerStats;
class TdlgUserInfo;
class TfrmLogin;
class TfrmMain;

class TLobbyLogin {
public:
  // The setting that holds the web address of the Quillfen's server list ("ip.adr").
  static constexpr const char* ServerListSetting = "ServerListAddress";

  // Main: the window whose connection, settings and screens the log-in uses. Makes the two
  // dialogs and takes the connection's log-in events.
  explicit TLobbyLogin(TfrmMain& Main);
  ~TLobbyLogin();
  TLobbyLogin(const TLobbyLogin&) = delete;
  TLobbyLogin& operator=(const TLobbyLogin&) = delete;

  // The title screen's online game button: its click opens the log-in, and it shows while no
  // log-in is under way.
  void UseLoginButton(TColorButton& Button);

  // The log-in window (the program's, or one of its own for a window made alone).
  TfrmLogin& frmLogin();
  TdlgServerStats& dlgServerStats() { return *FServerStats; }
  TdlgUserInfo& dlgUserInfo() { return *FUserInfo; }
  // The record of a new user to be made at the log-in that the log-in window handed over
  // (empty for a known user).
  const std::string& NewUserRecord() const { return FNewUserRecord; }
  // The phase with the lobby; the lobby screen asks and takes a user's information through it.
  TLobbyPresence& Presence() { return FPresence; }
  const TLobbyPresence& Presence() const { return FPresence; }

  // The title screen's online game: the log-in window, then the connection to the server.
  void btnLoginClick();
  void vexilConnected();
  void vexilLoginFailed(const std::string& Reason);
  void vexilLoginSuccess();
  void vexilDisconnected();
  void btnVexilDisconnectClick();
  void btnServerStatsClick();
  void vexilServerStatus(const TVexilServerStats& Stats);

private:
  void ShowLoginButton(bool Visible);

  TfrmMain& FMain;
  TColorButton* FLoginButton = nullptr;
  std::unique_ptr<TdlgServerStats> FServerStats;
  std::unique_ptr<TdlgUserInfo> FUserInfo;
  std::unique_ptr<TfrmLogin> FOwnLogin;
  std::string FLoginUserName;
  std::string FLoginPassword;
  std::string FNewUserRecord;
  TLobbyPresence FPresence;
  // The statistics dialog opens from this shot once the connection has finished reading;
  // while it is due, further replies open no second one.
  QTimer FStatsOpening;
  TVexilServerStats FDueStats;
};
