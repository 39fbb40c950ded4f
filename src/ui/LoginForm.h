#pragma once
// "VexilServer Login": the user name, the password and the server before the main window
// connects to the lobby, and the making of a new user. With the Quillfen's server chosen,
// Proceed first fetches the server list (the window shows that it is waiting and stays usable;
// Cancel abandons the fetch); a failure is said and the window stays open. The window closes
// with OK once the host and port are known.
#include <memory>
#include <string>

#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class TBrenmoorOrderButton;
class TServerAddressFetch;
class TStringEncryptor;
class TServerTrust;

class TfrmLogin : public TGameWindow {
  Q_OBJECT
public:
  TfrmLogin();
  ~TfrmLogin() override;

  // The web address of the Quillfen's server list ("": none set, the choice says so) and the
  // scrambler that descrambles its body (not owned).
  void SetServerList(const std::string& Address, const TStringEncryptor* Scrambler);
  // What is known of the servers' connections (not owned; nullptr: nothing), for the line that
  // says which kind of connection the chosen server gets.
  void SetServerTrust(const TServerTrust* Trust);
  // How long Proceed waits for the server list, in milliseconds.
  void SetServerListTimeout(int Ms) { FTimeoutMs = Ms; }

  // What the main window takes after OK.
  std::string UserName() const;
  std::string Password() const;
  const std::string& Host() const { return FHost; }
  int Port() const { return FPort; }
  // The new user's record, empty unless a user was made in this showing of the window.
  const std::string& NewUserRecord() const { return FNewUserRecord; }
  // True while the server list is being fetched.
  bool Waiting() const;

  TdlgUserInfo& dlgNewUser() { return FNewUser; }

  void btnProceedClick();
  void btnCancelClick();
  void btnCreateNewUserClick();
  // Either radio button: the host and port show exactly when "Another VexilServer:" is chosen.
  void rbServerClick();

protected:
  void showEvent(QShowEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void reject() override;

private:
  // Checks the entry and goes on: at once to OK for another server, through the server list
  // for the Quillfen's.
  void GoOn(bool NewUser);
  void ServerListFetched(const std::string& Body);
  void ServerListFailed(const std::string& Reason);
  void SetWaiting(bool Value);
  void ShowConnectionKind();

  QRadioButton* FQuillfen = nullptr;
  QRadioButton* FAnother = nullptr;
  QLineEdit* FHostAddress = nullptr;
  QSpinBox* FPortSpin = nullptr;
  QLineEdit* FUserName = nullptr;
  QLineEdit* FPassword = nullptr;
  QLabel* FStatus = nullptr;
  QLabel* FConnection = nullptr;
  const TServerTrust* FTrust = nullptr;
  TBrenmoorOrderButton* FProceed = nullptr;
  TBrenmoorOrderButton* FCreateNewUser = nullptr;
  TdlgUserInfo FNewUser;
  std::unique_ptr<TServerAddressFetch> FFetch;
  std::string FListAddress;
  const TStringEncryptor* FScrambler = nullptr;
  int FTimeoutMs;
  std::string FHost;
  int FPort = 0;
  std::string FNewUserRecord;
};
