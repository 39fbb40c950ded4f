#include "ui/LobbyLogin.h"

#include "controls/ColorButton.h"
#include "engine/RealTimeEngine.h"
#include "foundation/StringEncryptor.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/ServerTrust.h"
#include "platform/Application.h"
#include "platform/LobbyTransport.h"
#include "platform/Prompter.h"
#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"
#include "ui/LobbyScreen.h"
#include "ui/LoginForm.h"
#include "ui/MainForm.h"

using enum TLobbyEvent;

TLobbyLogin::TLobbyLogin(TfrmMain& Main) : FMain(Main) {
  FServerStats = std::make_unique<TdlgServerStats>();
  FServerStats->SetVexilConnection(FMain.FVexil.get());
  FServerStats->SetAutoUpdate(true);
  FServerStats->SetUpdateInterval(5000);
  FServerStats->SetTitle("Vexil Server Statistics");
  FUserInfo = std::make_unique<TdlgUserInfo>();
  FUserInfo->SetTitle("User Information");
  FUserInfo->SetValidInfoTokens({LobbyWinsInfo, LobbyLossesInfo, LobbyScoreInfo, LobbyRankInfo});
  FStatsOpening.setSingleShot(true);
  FStatsOpening.setInterval(0);
  QObject::connect(&FStatsOpening, &QTimer::timeout, [this] { RunGuarded([this] { FServerStats->Execute(FDueStats); }); });

  TVexilConnection& V = *FMain.FVexil;
  V.OnConnected = [this](TVexilConnection*) { vexilConnected(); };
  V.OnLoginFailed = [this](TVexilConnection*, const std::string& Reason) { vexilLoginFailed(Reason); };
  V.OnLoginSuccess = [this](TVexilConnection*, const TVexilUserPtr&) { vexilLoginSuccess(); };
  V.OnDisconnected = [this](TVexilConnection*) { vexilDisconnected(); };
  V.OnServerStatus = [this](TVexilConnection*, const TVexilServerStats& Stats) { vexilServerStatus(Stats); };
}

TLobbyLogin::~TLobbyLogin() = default;

void TLobbyLogin::UseLoginButton(TColorButton& Button) {
  FLoginButton = &Button;
  Button.OnClick = [this](TGraphicControl*) { btnLoginClick(); };
}

TfrmLogin& TLobbyLogin::frmLogin() {
  if (FMain.FForms) return FMain.FForms->Login();
  // Without the program's windows (a window made on its own) it is made on first use.
  if (!FOwnLogin) FOwnLogin = std::make_unique<TfrmLogin>();
  return *FOwnLogin;
}

void TLobbyLogin::ShowLoginButton(bool Visible) {
  if (FLoginButton) FLoginButton->setVisible(Visible);
}

void TLobbyLogin::btnLoginClick() {
  TfrmLogin& Login = frmLogin();
  Login.SetServerList(FMain.FSettings->ReadString(ServerListSetting), FMain.FEncrypt.get());
  TRegistryTrustStore TrustStore(*FMain.FSettings);
  const TServerTrust Trust(TrustStore);
  Login.SetServerTrust(&Trust);
  const int Result = Login.exec();
  Login.SetServerTrust(nullptr);
  if (Result != QDialog::Accepted) return;
  FLoginUserName = Login.UserName();
  FLoginPassword = Login.Password();
  FNewUserRecord = Login.NewUserRecord();
  FMain.FVexil->SetHost(Login.Host());
  FMain.FVexil->SetPort(Login.Port());
  ShowLoginButton(false);
  FPresence.Fire(leLoginStarted);
  FMain.FVexil->SetActive(true);
}

void TLobbyLogin::vexilConnected() {
  // A user's information asked for on the last connection is not shown on this one.
  FPresence.Fire(leConnected);
  FMain.FLobbyScreen->ClearLists();
  if (!FNewUserRecord.empty())
    FMain.FVexil->LoginNew(FLoginUserName, FNewUserRecord);
  else
    FMain.FVexil->Login(FLoginUserName, FLoginPassword);
}

void TLobbyLogin::vexilLoginFailed(const std::string& Reason) {
  FMain.FVexil->SetActive(false);
  ShowLoginButton(true);
  // A new user that was refused is not tried again with the next log-in.
  FNewUserRecord.clear();
  Prompter().ShowMessage("Login Failure: " + Reason);
}

void TLobbyLogin::vexilLoginSuccess() {
  // The new user now exists: the next log-in is a plain one.
  FNewUserRecord.clear();
  FMain.ShowScreen(FMain.FLobby);
  FMain.FLobbyScreen->FocusChat();
}

void TLobbyLogin::vexilDisconnected() {
  ShowLoginButton(true);
  FMain.FLobbyScreen->ClearLists();
  const bool WasConnected = FPresence.Reached();
  FPresence.Fire(leDisconnected);
  // An online game cannot go on without the lobby: it ends here first, so that no question of
  // the game (a victory's free-for-all...) comes up behind the message or after it.
  if (FMain.FClock->GetActive() && FMain.FClock->GetConnection()) FMain.CloseGame();
  FMain.ShowScreen(FMain.FTitle);
  // An attempt that never reached the server says where it tried.
  const TVexilConnection& V = *FMain.FVexil;
  Prompter().ShowMessage(WasConnected ? std::string("You have been disconnected from VexilServer")
                                      : "Could not connect to VexilServer at " + V.Host() + ":" +
                                            std::to_string(V.Port()) + ".");
}

void TLobbyLogin::btnVexilDisconnectClick() {
  if (!Prompter().Confirm("Are you sure you want to Disconnect?")) return;
  FMain.FVexil->SetActive(false);
  FPresence.Fire(leDisconnected);
  FMain.FLobbyScreen->ClearRooms();
  ShowLoginButton(true);
  FMain.ShowScreen(FMain.FTitle);
}

void TLobbyLogin::btnServerStatsClick() { FMain.FVexil->RequestServerStats(); }

void TLobbyLogin::vexilServerStatus(const TVexilServerStats& Stats) {
  // The dialog runs its own loop: it opens once the connection has finished reading, so that
  // the fresh statistics it asks for can arrive while it is open.
  if (FStatsOpening.isActive()) return;
  FDueStats = Stats;
  FStatsOpening.start();
}
