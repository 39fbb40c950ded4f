#include "ui/LoginForm.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "foundation/StringEncryptor.h"
#include "screens/LoginRules.h"
#include "lobby/ServerTrust.h"
#include "platform/Application.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "ui/FormParts.h"
#include "ui/ServerAddress.h"
#include "ui/UnitLists.h"

namespace {
const QString QuillfenCaption = "Quillfen's";
const QString NoListCaption = "Quillfen's (no server list address is set)";
}  // namespace

TfrmLogin::TfrmLogin()
    : TGameWindow("frmLogin", "VexilServer Login", false, {400, 356}),
      FFetch(std::make_unique<TServerAddressFetch>()),
      FTimeoutMs(ServerListTimeoutMs) {
  setFixedSize(400, 356);
  auto* Intro = MakeFormLabel(this, "lblIntro",
                              "When you Log into VexilServer you can meet and chat with other Brenmoor players, and "
                              "set up and play games on-line.  You must be connected to the Internet in order to "
                              "proceed.",
                              {8, 8, 384, 56});
  Intro->setWordWrap(true);

  auto* Server = MakeGroup(this, "grpServer", "Select a Server", {8, 70, 384, 100});
  FQuillfen = new QRadioButton(QuillfenCaption, Server);
  FQuillfen->setObjectName("rbQuillfen");
  FQuillfen->setGeometry(10, 20, 360, 22);
  FQuillfen->setChecked(true);
  FAnother = new QRadioButton("Another VexilServer:", Server);
  FAnother->setObjectName("rbAnother");
  FAnother->setGeometry(10, 44, 200, 22);
  auto* HostLabel = MakeFormLabel(Server, "lblHostAddress", "Host Address:", {28, 72, 86, 18});
  FHostAddress = MakeEdit(Server, "edtHostAddress", UnlimitedEditLength, {114, 70, 150, 22});
  FHostAddress->setText("localhost");
  auto* PortLabel = MakeFormLabel(Server, "lblPort", "Port:", {274, 72, 34, 18});
  FPortSpin = new QSpinBox(Server);
  FPortSpin->setObjectName("spinPort");
  FPortSpin->setGeometry(306, 70, 68, 22);
  FPortSpin->setRange(1, 65535);
  FPortSpin->setValue(QuillfenServerPort);
  for (QWidget* W : std::initializer_list<QWidget*>{HostLabel, FHostAddress, PortLabel, FPortSpin}) {
    SetComponentTag(W, 1);
    W->hide();
  }
  for (QRadioButton* Choice : {FQuillfen, FAnother})
    connect(Choice, &QRadioButton::toggled, this, [this] { RunGuarded([&] { rbServerClick(); }); });

  auto* User = MakeGroup(this, "grpUser", "User Information", {8, 176, 384, 112});
  MakeFormLabel(User, "lblUserName", "User Name:", {12, 24, 90, 18});
  FUserName = MakeEdit(User, "edtUserName", 24, {104, 22, 180, 22});
  MakeFormLabel(User, "lblPassword", "Password:", {12, 52, 90, 18});
  FPassword = MakeEdit(User, "edtPassword", UnlimitedEditLength, {104, 50, 180, 22});
  FPassword->setEchoMode(QLineEdit::Password);
  FCreateNewUser = MakeFormButton(User, "btnCreateNewUser", "Create a New User", {104, 80, 180, 25});
  FCreateNewUser->OnClick = [this](TGraphicControl*) { btnCreateNewUserClick(); };

  FStatus = MakeFormLabel(this, "lblStatus", "", {8, 296, 384, 20});
  FStatus->hide();
  FConnection = MakeFormLabel(this, "lblConnection", "Connection: encrypted (TLS)", {8, 292, 222, 60});
  FConnection->setWordWrap(true);
  connect(FHostAddress, &QLineEdit::textChanged, this, [this] { ShowConnectionKind(); });
  connect(FPortSpin, &QSpinBox::valueChanged, this, [this] { ShowConnectionKind(); });
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {236, 324, 75, 25});
  FProceed = MakeFormButton(this, "btnProceed", "Proceed", {317, 324, 75, 25});
  Cancel->OnClick = [this](TGraphicControl*) { btnCancelClick(); };
  FProceed->OnClick = [this](TGraphicControl*) { btnProceedClick(); };

  FNewUser.SetTitle("New User");
  FFetch->OnFetched = [this](TServerAddressFetch*, const std::string& Body) { ServerListFetched(Body); };
  FFetch->OnFailed = [this](TServerAddressFetch*, const std::string& Reason) { ServerListFailed(Reason); };
}

TfrmLogin::~TfrmLogin() = default;

void TfrmLogin::SetServerList(const std::string& Address, const TStringEncryptor* Scrambler) {
  FListAddress = Address;
  FScrambler = Scrambler;
  // Without an address the Quillfen's server cannot be found: the choice says so.
  const bool HasList = !Address.empty();
  FQuillfen->setText(HasList ? QuillfenCaption : NoListCaption);
  FQuillfen->setEnabled(HasList);
  if (!HasList) FAnother->setChecked(true);
  rbServerClick();
}

std::string TfrmLogin::UserName() const { return FromQString(FUserName->text()); }
std::string TfrmLogin::Password() const { return FromQString(FPassword->text()); }
bool TfrmLogin::Waiting() const { return FFetch->Busy(); }

void TfrmLogin::SetServerTrust(const TServerTrust* Trust) {
  FTrust = Trust;
  ShowConnectionKind();
}

void TfrmLogin::rbServerClick() {
  const bool Another = FAnother->isChecked();
  for (QObject* Child : findChildren<QWidget*>())
    if (ComponentTag(Child) == 1) static_cast<QWidget*>(Child)->setVisible(Another);
  ShowConnectionKind();
}

// The Quillfen's server is known only once its list is read: its line speaks of TLS alone.
void TfrmLogin::ShowConnectionKind() {
  if (!FTrust) return;  // it keeps what it said
  const bool Another = FAnother->isChecked();
  const std::string Host = Another ? FromQString(FHostAddress->text().trimmed()) : std::string();
  FConnection->setText(ToQString(FTrust->LinkText(Host, FPortSpin->value())));
}

void TfrmLogin::btnProceedClick() {
  if (Waiting()) return;
  // After a new user was made but its server could not be found, Proceed tries that again.
  GoOn(!FNewUserRecord.empty());
}

void TfrmLogin::btnCancelClick() { reject(); }

void TfrmLogin::reject() {
  FFetch->Abort();
  SetWaiting(false);
  TGameWindow::reject();
}

void TfrmLogin::btnCreateNewUserClick() {
  if (Waiting()) return;
  TVexilUser User;
  if (!FNewUser.Execute(User, true)) return;
  FUserName->setText(ToQString(User.UserId()));
  FNewUserRecord = User.SaveToString();
  GoOn(true);
}

void TfrmLogin::GoOn(bool NewUser) {
  const TLoginEntry Entry{UserName(), Password(), FAnother->isChecked(), FromQString(FHostAddress->text()),
                          FListAddress, NewUser};
  if (const auto Refusal = LoginRefusal(Entry)) {
    Prompter().ShowMessage(Refusal->Message);
    if (Refusal->Focus == lfUserName) FUserName->setFocus();
    if (Refusal->Focus == lfPassword) FPassword->setFocus();
    if (Refusal->Focus == lfHostAddress) FHostAddress->setFocus();
    if (Refusal->Focus == lfServerChoice) FAnother->setFocus();
    return;
  }
  if (Entry.AnotherServer) {
    FHost = FromQString(FHostAddress->text().trimmed());
    FPort = FPortSpin->value();
    done(mrOk);
    return;
  }
  SetWaiting(true);
  FFetch->Start(FListAddress, FTimeoutMs);
}

void TfrmLogin::ServerListFetched(const std::string& Body) {
  SetWaiting(false);
  std::string Text = Body;
  if (FScrambler) FScrambler->DecryptString(Text);
  const auto Host = ServerHostFromList(Text);
  if (!Host) {
    Prompter().ShowMessage("The Quillfen's server could not be found: the server list at " + FListAddress +
                           " does not name a server.");
    return;
  }
  FHost = *Host;
  FPort = QuillfenServerPort;
  done(mrOk);
}

void TfrmLogin::ServerListFailed(const std::string& Reason) {
  SetWaiting(false);
  Prompter().ShowMessage("The Quillfen's server could not be found: " + Reason);
}

void TfrmLogin::SetWaiting(bool Value) {
  FStatus->setText(Value ? "Looking up the Quillfen's server..." : "");
  FStatus->setVisible(Value);
  FConnection->setVisible(!Value);
  FProceed->setEnabled(!Value);
  FCreateNewUser->setEnabled(!Value);
  if (Value)
    setCursor(Qt::BusyCursor);
  else
    unsetCursor();
}

void TfrmLogin::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  FNewUserRecord.clear();
  SetWaiting(false);
  rbServerClick();
  FUserName->setFocus();
}

void TfrmLogin::keyPressEvent(QKeyEvent* Event) {
  if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
    RunGuarded([&] { btnProceedClick(); });
    return;
  }
  TGameWindow::keyPressEvent(Event);
}
