// The main window's log-in to the lobby: the log-in window and the server it names, the
// connection's log-in events, the server's errors, the statistics and leaving the lobby.
#include <QListWidget>
#include <QTimer>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "engine/RealTimeEngine.h"
#include "foundation/StringEncryptor.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/VexilConnection.h"
#include "lobby/ServerTrust.h"
#include "platform/Application.h"
#include "platform/LobbyTransport.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"
#include "ui/LoginForm.h"
#include "ui/MainForm.h"

void TfrmMain::WireLoginEvents() {
  FServerStats = std::make_unique<TdlgServerStats>();
  FServerStats->SetVexilConnection(FVexil.get());
  FServerStats->SetAutoUpdate(true);
  FServerStats->SetUpdateInterval(5000);
  FServerStats->SetTitle("Vexil Server Statistics");
  FUserInfo = std::make_unique<TdlgUserInfo>();
  FUserInfo->SetTitle("User Information");
  FUserInfo->SetValidInfoTokens({LobbyWinsInfo, LobbyLossesInfo, LobbyScoreInfo, LobbyRankInfo});

  TVexilConnection& V = *FVexil;
  V.OnConnected = [this](TVexilConnection*) { vexilConnected(); };
  V.OnLoginFailed = [this](TVexilConnection*, const std::string& Reason) { vexilLoginFailed(Reason); };
  V.OnLoginSuccess = [this](TVexilConnection*, const TVexilUserPtr&) { vexilLoginSuccess(); };
  V.OnDisconnected = [this](TVexilConnection*) { vexilDisconnected(); };
  V.OnServerStatus = [this](TVexilConnection*, const TVexilServerStats& Stats) { vexilServerStatus(Stats); };
}

TfrmLogin& TfrmMain::frmLogin() {
  if (FForms) return FForms->Login();
  // Without the program's windows (a window made on its own) it is made on first use.
  if (!FOwnLogin) FOwnLogin = std::make_unique<TfrmLogin>();
  return *FOwnLogin;
}

void TfrmMain::ClearLobbyLists() {
  for (const char* Name : {"lbVexilSubjects", "lbVexilUsers"})
    if (auto* List = FLobby->findChild<QListWidget*>(Name)) List->clear();
  // A user's information asked for on the last connection is not shown on the next one.
  FUserInfoPending = false;
}

void TfrmMain::ShowLoginButton(bool Visible) {
  if (auto* Login = FTitle->findChild<TColorButton*>("btnLogin")) Login->setVisible(Visible);
}

void TfrmMain::btnLoginClick() {
  TfrmLogin& Login = frmLogin();
  Login.SetServerList(FSettings->ReadString(ServerListSetting), FEncrypt.get());
  TRegistryTrustStore TrustStore(*FSettings);
  const TServerTrust Trust(TrustStore);
  Login.SetServerTrust(&Trust);
  const int Result = Login.exec();
  Login.SetServerTrust(nullptr);
  if (Result != QDialog::Accepted) return;
  FLoginUserName = Login.UserName();
  FLoginPassword = Login.Password();
  FNewUserRecord = Login.NewUserRecord();
  FVexil->SetHost(Login.Host());
  FVexil->SetPort(Login.Port());
  ShowLoginButton(false);
  FLobbyConnected = false;
  FVexil->SetActive(true);
}

void TfrmMain::vexilConnected() {
  FLobbyConnected = true;
  ClearLobbyLists();
  if (!FNewUserRecord.empty())
    FVexil->LoginNew(FLoginUserName, FNewUserRecord);
  else
    FVexil->Login(FLoginUserName, FLoginPassword);
}

void TfrmMain::vexilLoginFailed(const std::string& Reason) {
  FVexil->SetActive(false);
  ShowLoginButton(true);
  // A new user that was refused is not tried again with the next log-in.
  FNewUserRecord.clear();
  Prompter().ShowMessage("Login Failure: " + Reason);
}

void TfrmMain::vexilLoginSuccess() {
  // The new user now exists: the next log-in is a plain one.
  FNewUserRecord.clear();
  ShowScreen(FLobby);
  if (auto* Chat = FLobby->findChild<QWidget*>("edtChat")) Chat->setFocus();
}

void TfrmMain::vexilDisconnected() {
  ShowLoginButton(true);
  ClearLobbyLists();
  const bool WasConnected = FLobbyConnected;
  FLobbyConnected = false;
  // An online game cannot go on without the lobby: it ends here first, so that no question of
  // the game (a victory's free-for-all...) comes up behind the message or after it.
  if (FClock->GetActive() && FClock->GetConnection()) CloseGame();
  ShowScreen(FTitle);
  // An attempt that never reached the server says where it tried.
  Prompter().ShowMessage(WasConnected ? std::string("You have been disconnected from VexilServer")
                                      : "Could not connect to VexilServer at " + FVexil->Host() + ":" +
                                            std::to_string(FVexil->Port()) + ".");
}

void TfrmMain::btnVexilDisconnectClick() {
  if (!Prompter().Confirm("Are you sure you want to Disconnect?")) return;
  FVexil->SetActive(false);
  FLobbyConnected = false;
  if (auto* Rooms = FLobby->findChild<QListWidget*>("lbVexilSubjects")) Rooms->clear();
  FUserInfoPending = false;
  ShowLoginButton(true);
  ShowScreen(FTitle);
}

void TfrmMain::btnServerStatsClick() { FVexil->RequestServerStats(); }

void TfrmMain::vexilServerStatus(const TVexilServerStats& Stats) {
  // The dialog runs its own loop: it opens once the connection has finished reading, so that
  // the fresh statistics it asks for can arrive while it is open.
  if (FServerStatsDue) return;
  FServerStatsDue = true;
  QTimer::singleShot(0, this, [this, Stats] {
    RunGuarded([&] {
      FServerStatsDue = false;
      FServerStats->Execute(Stats);
    });
  });
}
