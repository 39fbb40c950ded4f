// The lobby's dialogs and the log-in: the server statistics with and without refreshing, the
// user information dialog for a new user and for a known one, the log-in window's checks and
// server choice, the server list served by a small web server of the test's own (found, slow,
// missing, not a server, a bad address) and the main window logging in to the real lobby
// server on a loopback port with a fresh database.
#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/ModalSteps.h"
#include "foundation/StringEncryptor.h"
#include "screens/LoginRules.h"
#include "lobby/ServerTrust.h"
#include "lobby/VexilConnection.h"
#include "platform/LobbyTransport.h"
#include "platform/RegistryManager.h"
#include "platform/TextCodec.h"
#include "server/LoopbackRelay.h"
#include "server/ServerProcess.h"
#include "support/GuiTest.h"
#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"
#include "ui/LoginForm.h"
#include "ui/LobbyLogin.h"
#include "ui/LobbyScreen.h"
#include "ui/MainForm.h"
#include "ui/TitleLogIn.h"

namespace {

constexpr const char* Key = "MorqTeln";

template <class T>
T* Child(QWidget& Parent, const char* Name) {
  T* Found = Parent.findChild<T*>(Name);
  EXPECT_NE(Found, nullptr) << Name;
  return Found;
}
QString LabelText(QWidget& Parent, const char* Name) { return Child<QLabel>(Parent, Name)->text(); }
void Click(QWidget& Parent, const char* Name) { QTest::mouseClick(Child<QWidget>(Parent, Name), Qt::LeftButton); }
void Type(QWidget& Parent, const char* Name, const QString& Text) {
  auto* Edit = Child<QLineEdit>(Parent, Name);
  Edit->setFocus();
  Edit->selectAll();
  QTest::keyClicks(Edit, Text);
}
bool Shown(QWidget& Parent, const char* Name) { return Child<QWidget>(Parent, Name)->isVisibleTo(&Parent); }
// A web server that answers every GET with one prepared answer and closes; a silent one reads
// the request and never answers.
class TOneFileServer {
public:
  TOneFileServer() {
    EXPECT_TRUE(FServer.listen(QHostAddress::LocalHost));
    QObject::connect(&FServer, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* Client = FServer.nextPendingConnection()) {
        ++Connections;
        QObject::connect(Client, &QTcpSocket::readyRead, Client, [this, Client] {
          FRequest += Client->readAll();
          if (!FRequest.contains("\r\n\r\n")) return;
          Requests.push_back(FRequest.left(FRequest.indexOf("\r\n")).toStdString());
          FRequest.clear();
          if (Silent) return;
          Client->write(Answer);
          Client->disconnectFromHost();
        });
        QObject::connect(Client, &QTcpSocket::disconnected, Client, &QObject::deleteLater);
      }
    });
  }
  void Serve(int Status, const QByteArray& Body) {
    Answer = "HTTP/1.1 " + QByteArray::number(Status) + " X\r\nContent-Length: " + QByteArray::number(Body.size()) +
             "\r\nConnection: close\r\n\r\n" + Body;
  }
  std::string Address(const std::string& Path = "/ip.adr") const {
    return "http://127.0.0.1:" + std::to_string(FServer.serverPort()) + Path;
  }
  int Port() const { return FServer.serverPort(); }

  QByteArray Answer;
  bool Silent = false;
  int Connections = 0;
  std::vector<std::string> Requests;

private:
  QTcpServer FServer;
  QByteArray FRequest;
};

QByteArray Scrambled(std::string Text) {
  TStringEncryptor(Key).EncryptString(Text);
  return QByteArray(Text.data(), qsizetype(Text.size()));
}

// A loopback port on which nothing listens.
int ClosedPort() {
  // Port 1 is served on no test machine. A free port taken from a probe and closed again could
  // go to another test's lobby server started at the same time, and the probe's socket left the
  // sanitizer build's leak check unsteady at exit.
  return 1;
}

struct LoginWindowsTest : TGuiTest {
  QTemporaryDir Pictures;
  std::string Picture(int Width, int Height) {
    QImage Image(Width, Height, QImage::Format_RGB32);
    for (int Y = 0; Y < Height; ++Y)
      for (int X = 0; X < Width; ++X) Image.setPixel(X, Y, qRgb(X * 4 % 256, Y * 4 % 256, 90));
    const QString File = Pictures.filePath(QString("glyph%1x%2.bmp").arg(Width).arg(Height));
    EXPECT_TRUE(Image.save(File, "BMP"));
    return FromQString(File);
  }
};

// --- Server statistics ----------------------------------------------------------------------

TVexilServerStats SampleStats() {
  TVexilServerStats S;
  S.SetTimeActive(90061);
  S.SetCurrentConnections(12);
  S.SetCurrentSubjects(3);
  S.SetTotalConnections(1234567);
  S.SetTotalSubjects(1000);
  S.SetPeakConnections(999);
  S.SetBytesRead(9876543210.0L);
  S.SetBytesWritten(0);
  return S;
}

TEST_F(LoginWindowsTest, ServerStatisticsAreASnapshotWithoutAutoUpdate) {
  TVexilConnection Connection(std::make_unique<TTcpLobbyTransport>());
  int OwnReplies = 0;
  Connection.OnServerStatus = [&](TVexilConnection*, const TVexilServerStats&) { ++OwnReplies; };
  TdlgServerStats Dialog;
  EXPECT_EQ(Dialog.Title(), "Server Statistics");
  Dialog.SetTitle("Vexil Server Statistics");
  // Without a connection there is nothing to show.
  bool Opened = false;
  {
    auto Armed = WhenModal([&](QDialog&) { Opened = true; });
    Dialog.Execute(SampleStats());
    QCoreApplication::processEvents();
  }
  EXPECT_FALSE(Opened);

  Dialog.SetVexilConnection(&Connection);
  auto Armed = WhenModal([&](QDialog& Window) {
    Opened = true;
    EXPECT_EQ(Window.windowTitle(), "Vexil Server Statistics");
    EXPECT_EQ(LabelText(Window, "lblTimeActive"), "1 day 1 hr 1 min 1 sec");
    EXPECT_EQ(LabelText(Window, "lblCurrentConnections"), "12");
    EXPECT_EQ(LabelText(Window, "lblCurrentSubjects"), "3");
    EXPECT_EQ(LabelText(Window, "lblTotalConnections"), "1,234,567");
    EXPECT_EQ(LabelText(Window, "lblTotalSubjects"), "1,000");
    EXPECT_EQ(LabelText(Window, "lblPeakConnections"), "999");
    EXPECT_EQ(LabelText(Window, "lblBytesRead"), "9,876,543,210");
    EXPECT_EQ(LabelText(Window, "lblBytesWritten"), "0");
    EXPECT_EQ(Child<QGroupBox>(Window, "grpCurrent")->title(), "Current Information");
    EXPECT_EQ(Child<QGroupBox>(Window, "grpHistorical")->title(), "Historical Information");
    EXPECT_FALSE(Dialog.Timer().isActive());
    // A reply now goes to the connection's own handler.
    Connection.OnServerStatus(&Connection, TVexilServerStats());
    EXPECT_EQ(LabelText(Window, "lblTotalConnections"), "1,234,567");
    GrabToPng(Window);
  });
  Dialog.Execute(SampleStats());
  EXPECT_TRUE(Opened);
  EXPECT_EQ(OwnReplies, 1);
}

TEST_F(LoginWindowsTest, AutoUpdateRefreshesTheOpenFormAndGivesTheHandlerBack) {
  TVexilConnection Connection(std::make_unique<TTcpLobbyTransport>());
  int OwnReplies = 0;
  Connection.OnServerStatus = [&](TVexilConnection*, const TVexilServerStats&) { ++OwnReplies; };
  TdlgServerStats Dialog;
  Dialog.SetVexilConnection(&Connection);
  Dialog.SetAutoUpdate(true);
  Dialog.SetUpdateInterval(5000);
  bool Opened = false;
  auto Armed = WhenModal([&](QDialog& Window) {
    Opened = true;
    EXPECT_EQ(Dialog.Form(), &Window);
    EXPECT_TRUE(Dialog.Timer().isActive());
    EXPECT_EQ(Dialog.Timer().interval(), 5000);
    TVexilServerStats Fresh = SampleStats();
    Fresh.SetTotalConnections(2000000);
    Connection.OnServerStatus(&Connection, Fresh);
    EXPECT_EQ(LabelText(Window, "lblTotalConnections"), "2,000,000");
  });
  Dialog.Execute(SampleStats());
  EXPECT_TRUE(Opened);
  EXPECT_EQ(OwnReplies, 0);
  EXPECT_EQ(Dialog.Form(), nullptr);
  EXPECT_FALSE(Dialog.Timer().isActive());
  Connection.OnServerStatus(&Connection, TVexilServerStats());
  EXPECT_EQ(OwnReplies, 1);
}

// --- User information -----------------------------------------------------------------------

TEST_F(LoginWindowsTest, ANewUserIsFilledInAndChecked) {
  TdlgUserInfo Dialog;
  Dialog.SetTitle("New User");
  TVexilUser User;
  const std::string Big = Picture(64, 48);
  Prompter.ChooseFile(Big);
  auto Armed = WhenModal([&](QDialog& Form) {
    EXPECT_EQ(Form.windowTitle(), "New User");
    EXPECT_FALSE(Child<QLineEdit>(Form, "edtUserId")->isReadOnly());
    EXPECT_TRUE(Shown(Form, "btnCancel"));
    EXPECT_FALSE(Shown(Form, "btnEdit"));
    EXPECT_TRUE(Shown(Form, "btnGlyph"));
    EXPECT_TRUE(Shown(Form, "edtPassword2"));
    EXPECT_EQ(Child<QLineEdit>(Form, "edtPassword1")->echoMode(), QLineEdit::Password);
    Click(Form, "btnOk");
    EXPECT_EQ(Prompter.Messages().back(), "Please provide a User ID.");
    EXPECT_EQ(Form.focusWidget(), Child<QLineEdit>(Form, "edtUserId"));
    Type(Form, "edtUserId", "newbie");
    Type(Form, "edtPassword1", "abc");
    Type(Form, "edtPassword2", "abd");
    Click(Form, "btnOk");
    EXPECT_EQ(Prompter.Messages().back(), "Please make sure the Password fields match.");
    EXPECT_EQ(Form.focusWidget(), Child<QLineEdit>(Form, "edtPassword1"));
    Type(Form, "edtPassword2", "abc");
    Type(Form, "edtCity", "Leeds");
    Type(Form, "edtEMail", "new^bie@example.org");
    Click(Form, "btnOk");
    EXPECT_EQ(Prompter.Messages().back(), "The E-Mail cannot hold \"|\" or \"^\".");
    Type(Form, "edtEMail", "newbie@example.org");
    Type(Form, "edtHomePage", "https://example.org/newbie");
    auto* Comments = Child<QPlainTextEdit>(Form, "memoComments");
    Comments->setPlainText("Plays the Allies\nEvenings");
    Click(Form, "btnGlyph");
    EXPECT_EQ(Prompter.Prompts().back().Options.Filter, "Bitmaps (*.bmp)|*.bmp");
    EXPECT_EQ(static_cast<TfrmUserInfo&>(Form).Glyph().size(), QSize(32, 32));
    EXPECT_TRUE(Form.isVisible());
    GrabToPng(Form);
    Click(Form, "btnOk");
    EXPECT_FALSE(Form.isVisible());
  });
  ASSERT_TRUE(Dialog.Execute(User, true));
  EXPECT_EQ(User.UserId(), "newbie");
  EXPECT_EQ(User.Password(), "abc");
  EXPECT_EQ(User.City(), "Leeds");
  EXPECT_EQ(User.EMail(), "newbie@example.org");
  EXPECT_EQ(User.HomePage(), "https://example.org/newbie");
  EXPECT_EQ(User.Comments(), "Plays the Allies Evenings ");
  EXPECT_EQ(User.Glyph().Width(), 32);
  EXPECT_EQ(User.Glyph().Height(), 32);
  // The record reads back as the same user.
  TVexilUser Back;
  Back.LoadFromString(User.SaveToString());
  EXPECT_EQ(Back.Glyph(), User.Glyph());
  EXPECT_EQ(Back.Comments(), User.Comments());
}

TEST_F(LoginWindowsTest, AGlyphUpTo32By32IsTakenAsItIsAndALargerOneIsScaled) {
  const struct {
    int Width, Height, TakenWidth, TakenHeight;
  } Cases[] = {{20, 10, 20, 10}, {32, 32, 32, 32}, {33, 8, 32, 32}, {64, 48, 32, 32}};
  for (const auto& C : Cases) {
    TdlgUserInfo Dialog;
    TVexilUser User;
    Prompter.ChooseFile(Picture(C.Width, C.Height));
    auto Armed = WhenModal([&](QDialog& Form) {
      Type(Form, "edtUserId", "g");
      Type(Form, "edtPassword1", "p");
      Type(Form, "edtPassword2", "p");
      Click(Form, "btnGlyph");
      Click(Form, "btnOk");
    });
    ASSERT_TRUE(Dialog.Execute(User, true)) << C.Width << "x" << C.Height;
    EXPECT_EQ(User.Glyph().Width(), C.TakenWidth) << C.Width << "x" << C.Height;
    EXPECT_EQ(User.Glyph().Height(), C.TakenHeight) << C.Width << "x" << C.Height;
    if (C.Width == C.TakenWidth && C.Height == C.TakenHeight) {
      // Unchanged, pixel for pixel: (x * 4, y * 4, 90) as 0x00BBGGRR.
      EXPECT_EQ(User.Glyph().Pixel(3, 2), (90 << 16) | (8 << 8) | 12);
    }
  }
}

TEST_F(LoginWindowsTest, AKnownUserIsReadOnlyUntilEditAndKeepsItsIdentifier) {
  TdlgUserInfo Dialog;
  Dialog.SetValidInfoTokens({"BRMWins", "BRMLosses", "BRMScore", "BRMRank"});
  TVexilUser User;
  User.SetUserId("ann");
  User.SetPassword("pw");
  User.SetCity("York");
  User.SetInfo({"BRMWins=3", "Secret=1", "BRMScore=120"});
  // Looked at without the right to edit: everything read-only, no Edit.
  {
    auto Look = WhenModal([&](QDialog& Form) {
      EXPECT_FALSE(Shown(Form, "btnEdit"));
      EXPECT_FALSE(Shown(Form, "btnCancel"));
      EXPECT_FALSE(Shown(Form, "edtPassword1"));
      EXPECT_FALSE(Shown(Form, "btnGlyph"));
      EXPECT_TRUE(Child<QLineEdit>(Form, "edtCity")->isReadOnly());
      EXPECT_EQ(Child<QPlainTextEdit>(Form, "memoProperties")->toPlainText(), "BRMWins: 3\nBRMScore: 120");
      GrabToPng(Form, "view");
      Click(Form, "btnOk");
    });
    EXPECT_FALSE(Dialog.Execute(User, false));
  }

  {
    auto Edit = WhenModal([&](QDialog& Form) {
      EXPECT_TRUE(Shown(Form, "btnEdit"));
      Click(Form, "btnEdit");
      EXPECT_FALSE(Shown(Form, "btnEdit"));
      EXPECT_TRUE(Shown(Form, "btnCancel"));
      EXPECT_TRUE(Shown(Form, "edtPassword1"));
      EXPECT_EQ(Form.focusWidget(), Child<QLineEdit>(Form, "edtFirstName"));
      EXPECT_TRUE(Child<QLineEdit>(Form, "edtUserId")->isReadOnly());
      QTest::keyClicks(Child<QLineEdit>(Form, "edtUserId"), "bob");
      Type(Form, "edtCity", "Hull");
      Click(Form, "btnOk");
    });
    ASSERT_TRUE(Dialog.Execute(User, true));
  }
  EXPECT_EQ(User.UserId(), "ann");
  EXPECT_EQ(User.City(), "Hull");

  // Cancel after editing keeps the user as it was.
  {
    auto Cancel = WhenModal([&](QDialog& Form) {
      Click(Form, "btnEdit");
      Type(Form, "edtCity", "Ripon");
      Click(Form, "btnCancel");
    });
    EXPECT_FALSE(Dialog.Execute(User, true));
  }
  EXPECT_EQ(User.City(), "Hull");
}

TEST_F(LoginWindowsTest, OnlyAWebHomePageIsOpened) {
  const struct {
    const char* Page;
    bool Opened;
  } Cases[] = {{"https://example.org/ann", true},
               {"http://example.org", true},
               {"file:///etc/passwd", false},
               {"/usr/bin/xterm", false},
               {"C:\\Windows\\notepad.exe", false}};
  for (const auto& C : Cases) {
    TdlgUserInfo Dialog;
    std::vector<std::string> Opened;
    Dialog.OnOpenPage = [&](const std::string& Page) {
      Opened.push_back(Page);
      return true;
    };
    TVexilUser User;
    User.SetUserId("ann");
    User.SetHomePage(C.Page);
    const std::size_t Messages = Prompter.Messages().size();
    auto Armed = WhenModal([&](QDialog& Form) { Click(Form, "edtHomePage"); });
    Dialog.Execute(User, false);
    EXPECT_EQ(Opened, C.Opened ? std::vector<std::string>{C.Page} : std::vector<std::string>{}) << C.Page;
    EXPECT_EQ(Prompter.Messages().size(), Messages + (C.Opened ? 0 : 1)) << C.Page;
  }
}

// --- The log-in window ----------------------------------------------------------------------

TEST_F(LoginWindowsTest, TheLoginWindowChecksTheEntryAndTakesAnotherServer) {
  TfrmLogin Login;
  Login.SetServerList("http://lobby.example/ip.adr", nullptr);
  EXPECT_EQ(Login.windowTitle(), "VexilServer Login");
  auto Armed = WhenModal([&](QDialog& W) {
    auto* Quillfen = Child<QRadioButton>(W, "rbQuillfen");
    auto* Another = Child<QRadioButton>(W, "rbAnother");
    EXPECT_TRUE(Quillfen->isChecked());
    EXPECT_EQ(Quillfen->text(), "Quillfen's");
    for (const char* Name : {"edtHostAddress", "spinPort", "lblHostAddress", "lblPort"}) EXPECT_FALSE(Shown(W, Name));
    Click(W, "btnProceed");
    EXPECT_EQ(Prompter.Messages().back(), "Please enter a User Name.");
    EXPECT_EQ(W.focusWidget(), Child<QLineEdit>(W, "edtUserName"));
    Type(W, "edtUserName", "ann");
    // Enter in an edit is Proceed.
    QTest::keyClick(Child<QLineEdit>(W, "edtUserName"), Qt::Key_Return);
    EXPECT_EQ(Prompter.Messages().back(), "Please enter a Password.");
    EXPECT_EQ(W.focusWidget(), Child<QLineEdit>(W, "edtPassword"));
    Type(W, "edtPassword", "pw");
    QTest::mouseClick(Another, Qt::LeftButton);
    EXPECT_TRUE(Another->isChecked());
    for (const char* Name : {"edtHostAddress", "spinPort", "lblHostAddress", "lblPort"}) EXPECT_TRUE(Shown(W, Name));
    EXPECT_EQ(Child<QLineEdit>(W, "edtHostAddress")->text(), "localhost");
    Child<QLineEdit>(W, "edtHostAddress")->clear();
    Click(W, "btnProceed");
    EXPECT_EQ(Prompter.Messages().back(), "Please enter a Host Address.");
    EXPECT_EQ(W.focusWidget(), Child<QLineEdit>(W, "edtHostAddress"));
    Type(W, "edtHostAddress", "10.1.2.3");
    Child<QSpinBox>(W, "spinPort")->setValue(4123);
    GrabToPng(W);
    Click(W, "btnProceed");
  });
  ASSERT_EQ(Login.exec(), QDialog::Accepted);
  EXPECT_EQ(Prompter.Messages().size(), 3u);
  EXPECT_EQ(Login.UserName(), "ann");
  EXPECT_EQ(Login.Password(), "pw");
  EXPECT_EQ(Login.Host(), "10.1.2.3");
  EXPECT_EQ(Login.Port(), 4123);
  EXPECT_EQ(Login.NewUserRecord(), "");
}

TEST_F(LoginWindowsTest, WithoutAServerListAddressTheQuillfensChoiceSaysSo) {
  TfrmLogin Login;
  Login.SetServerList("", nullptr);
  auto* Quillfen = Child<QRadioButton>(Login, "rbQuillfen");
  EXPECT_FALSE(Quillfen->isEnabled());
  EXPECT_EQ(Quillfen->text(), "Quillfen's (no server list address is set)");
  EXPECT_TRUE(Child<QRadioButton>(Login, "rbAnother")->isChecked());
  EXPECT_TRUE(Shown(Login, "edtHostAddress"));
}

TEST_F(LoginWindowsTest, ANewUserIsMadeFromTheLoginWindow) {
  TfrmLogin Login;
  Login.SetServerList("", nullptr);
  {
    auto Armed = WhenModal([&](QDialog& W) {
      WhenUserForm(Login.dlgNewUser(), [&](QDialog& Form) {
        EXPECT_EQ(Form.windowTitle(), "New User");
        Type(Form, "edtUserId", "newbie");
        Type(Form, "edtPassword1", "secret");
        Type(Form, "edtPassword2", "secret");
        Click(Form, "btnOk");
      });
      Click(W, "btnCreateNewUser");
    });
    ASSERT_EQ(Login.exec(), QDialog::Accepted);
  }
  EXPECT_EQ(Login.UserName(), "newbie");
  EXPECT_EQ(Login.Host(), "localhost");
  EXPECT_EQ(Login.Port(), QuillfenServerPort);
  TVexilUser User;
  User.LoadFromString(Login.NewUserRecord());
  EXPECT_EQ(User.UserId(), "newbie");
  EXPECT_EQ(User.Password(), "secret");
  // A cancelled new user changes nothing; the record is forgotten when the window shows again.
  auto Again = WhenModal([&](QDialog& W) {
    EXPECT_EQ(Login.NewUserRecord(), "");
    WhenUserForm(Login.dlgNewUser(), [&](QDialog& Form) { Click(Form, "btnCancel"); });
    Click(W, "btnCreateNewUser");
    EXPECT_TRUE(W.isVisible());
    Click(W, "btnCancel");
  });
  EXPECT_EQ(Login.exec(), QDialog::Rejected);
}

// --- The server list ------------------------------------------------------------------------

TEST_F(LoginWindowsTest, TheServerListIsFetchedWhileTheWindowWaits) {
  TOneFileServer Web;
  Web.Serve(200, Scrambled("127.0.0.1\r\n"));
  const TStringEncryptor Scrambler(Key);
  TfrmLogin Login;
  Login.SetServerList(Web.Address(), &Scrambler);
  bool Waited = false;
  auto Armed = WhenModal([&](QDialog& W) {
    Type(W, "edtUserName", "ann");
    Type(W, "edtPassword", "pw");
    Click(W, "btnProceed");
    // Proceed returns at once: the window shows that it waits and stays usable.
    Waited = Login.Waiting();
    EXPECT_TRUE(Shown(W, "lblStatus"));
    EXPECT_EQ(LabelText(W, "lblStatus"), "Looking up the Quillfen's server...");
    EXPECT_FALSE(Child<QWidget>(W, "btnProceed")->isEnabled());
    GrabToPng(W);
    EXPECT_TRUE(RunUntil([&] { return !W.isVisible(); }));
  });
  ASSERT_EQ(Login.exec(), QDialog::Accepted);
  EXPECT_TRUE(Waited);
  EXPECT_EQ(Login.Host(), "127.0.0.1");
  EXPECT_EQ(Login.Port(), 4000);
  EXPECT_EQ(Web.Requests, std::vector<std::string>{"GET /ip.adr HTTP/1.1"});
  EXPECT_TRUE(Prompter.Messages().empty());
}

TEST_F(LoginWindowsTest, AFailedFetchIsSaidAndTheWindowStays) {
  const TStringEncryptor Scrambler(Key);
  const struct {
    const char* What;
    int Status;
    std::string Body;
    bool Silent;
    bool Closed;
    std::string Message;
  } Cases[] = {
      {"slow", 200, "", true, false, "did not answer within 1 second."},
      {"missing", 404, "", false, false, "answered with HTTP status 404."},
      {"not a server", 200, "two hosts; or none", false, false, "does not name a server."},
      {"too long", 200, std::string(ServerListMaxBytes + 10, 'a'), false, false, "too long to be a server list."},
      {"nobody there", 200, "", false, true, "could not be read:"},
  };
  for (const auto& C : Cases) {
    TOneFileServer Web;
    Web.Serve(C.Status, Scrambled(C.Body));
    Web.Silent = C.Silent;
    TfrmLogin Login;
    Login.SetServerListTimeout(1000);
    Login.SetServerList(C.Closed ? "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/ip.adr" : Web.Address(),
                        &Scrambler);
    const std::size_t Before = Prompter.Messages().size();
    auto Armed = WhenModal([&](QDialog& W) {
      Type(W, "edtUserName", "ann");
      Type(W, "edtPassword", "pw");
      Click(W, "btnProceed");
      EXPECT_TRUE(RunUntil([&] { return Prompter.Messages().size() > Before; }, 8000)) << C.What;
      EXPECT_TRUE(W.isVisible()) << C.What;
      EXPECT_FALSE(Login.Waiting()) << C.What;
      EXPECT_FALSE(Shown(W, "lblStatus")) << C.What;
      EXPECT_TRUE(Child<QWidget>(W, "btnProceed")->isEnabled()) << C.What;
      Click(W, "btnCancel");
    });
    EXPECT_EQ(Login.exec(), QDialog::Rejected) << C.What;
    ASSERT_GT(Prompter.Messages().size(), Before) << C.What;
    const std::string Said = Prompter.Messages().back();
    EXPECT_TRUE(Said.starts_with("The Quillfen's server could not be found: ")) << Said;
    EXPECT_NE(Said.find(C.Message), std::string::npos) << C.What << ": " << Said;
  }
}

TEST_F(LoginWindowsTest, AServerListAddressThatIsNotAWebAddressIsNeverFetched) {
  TOneFileServer Web;
  Web.Serve(200, Scrambled("127.0.0.1"));
  const std::string Port = std::to_string(Web.Port());
  for (const std::string& Address : {std::string("file:///etc/passwd"), "ftp://127.0.0.1:" + Port + "/ip.adr",
                                     "127.0.0.1:" + Port + "/ip.adr"}) {
    TfrmLogin Login;
    Login.SetServerList(Address, nullptr);
    auto Armed = WhenModal([&](QDialog& W) {
      Type(W, "edtUserName", "ann");
      Type(W, "edtPassword", "pw");
      Click(W, "btnProceed");
      EXPECT_FALSE(Login.Waiting());
      QTest::qWait(50);
      EXPECT_TRUE(W.isVisible());
    });
    EXPECT_EQ(Login.exec(), QDialog::Rejected);
    EXPECT_EQ(Prompter.Messages().back(), "The Quillfen's server list address \"" + Address +
                                              "\" is not an http or https address: please choose another "
                                              "VexilServer.");
  }
  EXPECT_EQ(Web.Connections, 0);
}

// An https address: the list is fetched over TLS from a web server whose certificate the test
// program trusts (the one a lobby server made in the test's folder, for 127.0.0.1).
TEST_F(LoginWindowsTest, AnHttpsServerListIsFetchedToo) {
  QTemporaryDir Dir;
  TServerProcess Lobby(FromQString(Dir.filePath("lobby.db")));
  ASSERT_NO_FATAL_FAILURE(Lobby.Start());
  QFile KeyFile(Dir.filePath("lobby.key"));
  ASSERT_TRUE(KeyFile.open(QIODevice::ReadOnly));
  QSslConfiguration Config = QSslConfiguration::defaultConfiguration();
  Config.setLocalCertificate(QSslCertificate::fromPath(QString::fromStdString(Lobby.CertificateFile())).value(0));
  Config.setPrivateKey(QSslKey(KeyFile.readAll(), QSsl::Ec));
  QSslServer Web;
  Web.setSslConfiguration(Config);
  ASSERT_TRUE(Web.listen(QHostAddress::LocalHost));
  const QByteArray Body = Scrambled("lobby.example\r\n");
  QObject::connect(&Web, &QTcpServer::pendingConnectionAvailable, [&] {
    while (QTcpSocket* Client = Web.nextPendingConnection()) {
      QObject::connect(Client, &QTcpSocket::readyRead, Client, [Client, Body] {
        if (!Client->readAll().contains("\r\n\r\n")) return;
        Client->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(Body.size()) +
                      "\r\nConnection: close\r\n\r\n" + Body);
        Client->disconnectFromHost();
      });
      QObject::connect(Client, &QTcpSocket::disconnected, Client, &QObject::deleteLater);
    }
  });
  const TStringEncryptor Scrambler(Key);
  TfrmLogin Login;
  Login.SetServerList("https://127.0.0.1:" + std::to_string(Web.serverPort()) + "/ip.adr", &Scrambler);
  auto Armed = WhenModal([&](QDialog& W) {
    Type(W, "edtUserName", "ann");
    Type(W, "edtPassword", "pw");
    Click(W, "btnProceed");
    EXPECT_TRUE(RunUntil([&] { return !W.isVisible(); }, 10000));
  });
  Prompter.OnPrompt = [](const TPrompt& P) { ADD_FAILURE() << P.Text; };
  ASSERT_EQ(Login.exec(), QDialog::Accepted);
  EXPECT_EQ(Login.Host(), "lobby.example");
  EXPECT_EQ(Login.Port(), QuillfenServerPort);
}

// --- The main window and the real lobby server ----------------------------------------------

struct LoginToLobbyTest : LoginWindowsTest {
  QTemporaryDir Db;
  std::unique_ptr<TServerProcess> Server;
  std::unique_ptr<TBrenmoorForms> Forms;
  // How the test's server is started.
  TServerOptions Options;

  void SetUp() override {
    Server = std::make_unique<TServerProcess>(FromQString(Db.filePath("lobby.db")), Options);
    ASSERT_NO_FATAL_FAILURE(Server->Start());
    Settings.Store().WriteString("ShowTip", "1");
    Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
    Main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main()));
  }
  void TearDown() override {
    Forms.reset();
    Server.reset();
  }
  TfrmMain& Main() { return Forms->Main(); }
  bool LoginShown() { return Main().pnlTitle()->findChild<TColorButton*>("btnLogin")->isVisible(); }

  // The title screen's online game, through the log-in window, to another server at Port; a
  // new user is made through the user information dialog.
  void LogIn(const std::string& Name, const std::string& Password, bool NewUser, int Port = 0) {
    LogInFromTitle(Main(), {Name, Password, Port == 0 ? Server->Port() : Port, NewUser, "Ann", "England",
                            [](QDialog& Info) { GrabToPng(Info, "new-user"); }});
  }
};

TEST_F(LoginToLobbyTest, ANewUserLogsInDisconnectsAndLogsInAgain) {
  LogIn("ann", "pw-ann", true);
  EXPECT_FALSE(LoginShown());
  EXPECT_EQ(Main().vexil().Host(), "127.0.0.1");
  EXPECT_EQ(Main().vexil().Port(), Server->Port());
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  EXPECT_TRUE(Main().vexil().LoggedIn());
  ASSERT_NE(Main().vexil().OwnUser(), nullptr);
  EXPECT_EQ(Main().vexil().OwnUser()->UserId(), "ann");
  EXPECT_EQ(Main().vexil().OwnUser()->Country(), "England");
  EXPECT_EQ(Main().login().NewUserRecord(), "");

  // The server's statistics, refreshed while they are shown: a second connection shows.
  {
    bool Shown = false;
    EXPECT_EQ(Main().login().dlgServerStats().UpdateInterval(), 5000);
    Main().login().dlgServerStats().SetUpdateInterval(100);
    auto Stats = WhenModal([&](QDialog& W) {
      Shown = true;
      EXPECT_EQ(W.windowTitle(), "Vexil Server Statistics");
      EXPECT_EQ(LabelText(W, "lblCurrentConnections"), "1");
      TVexilConnection Other(std::make_unique<TTcpLobbyTransport>());
      Other.SetHost("127.0.0.1");
      Other.SetPort(Server->Port());
      Other.SetActive(true);
      EXPECT_TRUE(RunUntil([&] { return LabelText(W, "lblCurrentConnections") == "2"; }, 10000));
      GrabToPng(W);
    });
    Main().login().btnServerStatsClick();
    ASSERT_TRUE(RunUntil([&] { return Shown; }, 15000));
  }

  // Leaving asks first; No stays.
  Prompter.AnswerNo();
  Main().login().btnVexilDisconnectClick();
  EXPECT_TRUE(Main().vexil().Active());
  Prompter.AnswerYes();
  Main().login().btnVexilDisconnectClick();
  EXPECT_FALSE(Main().vexil().Active());
  EXPECT_EQ(Main().FrontScreen(), Main().pnlTitle());
  EXPECT_TRUE(LoginShown());

  // The user now exists: a plain log-in.
  LogIn("ann", "pw-ann", false);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  EXPECT_EQ(Main().vexil().OwnUser()->UserId(), "ann");
  EXPECT_TRUE(Prompter.Messages().empty());
  GrabToPng(*Forms->Form("frmLogin"), "login");
}

TEST_F(LoginToLobbyTest, AWrongPasswordIsALoginFailure) {
  LogIn("nobody", "wrong", false);
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }, 15000));
  EXPECT_EQ(Prompter.Messages().back(), "Login Failure: Unknown user name or wrong password");
  // The connection is closed from this side: no word of a disconnection follows.
  QTest::qWait(300);
  EXPECT_EQ(Prompter.Messages().size(), 1u);
  EXPECT_FALSE(Main().vexil().Active());
  EXPECT_TRUE(LoginShown());
  EXPECT_EQ(Main().FrontScreen(), Main().pnlTitle());
}

TEST_F(LoginToLobbyTest, TheServerGoingAwayReturnsToTheTitleScreen) {
  LogIn("bob", "pw-bob", true);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  Server->Stop();
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }, 15000));
  EXPECT_EQ(Prompter.Messages().back(), "You have been disconnected from VexilServer");
  EXPECT_EQ(Main().FrontScreen(), Main().pnlTitle());
  EXPECT_TRUE(LoginShown());
  EXPECT_FALSE(Main().vexil().Active());
}

TEST_F(LoginToLobbyTest, AUserInformationAskedForBeforeLeavingIsNotShownOnTheNextConnection) {
  LogIn("ann", "pw-ann", true);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  auto* Users = Main().pnlLobby()->findChild<QListWidget*>("lbVexilUsers");
  ASSERT_TRUE(RunUntil([&] { return Users->count() == 1; }, 15000));
  Users->setCurrentRow(0);
  // The question goes out; the player leaves before the answer is read.
  Main().lobby().lbVexilUsersDblClick();
  EXPECT_TRUE(Main().login().Presence().UserInfoAsked());
  Prompter.AnswerYes();
  Main().login().btnVexilDisconnectClick();
  EXPECT_FALSE(Main().login().Presence().UserInfoAsked());

  // On the next connection an answer nobody asked for opens no dialog.
  LogIn("ann", "pw-ann", false);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  ASSERT_NE(Main().vexil().OwnUser(), nullptr);
  bool Opened = false;
  auto Armed = WhenModal([&](QDialog& W) {
    Opened = true;
    W.reject();
  });
  Main().lobby().vexilUserInfo(Main().vexil().OwnUser());
  QTest::qWait(100);
  EXPECT_FALSE(Opened);
}

TEST_F(LoginToLobbyTest, AServerThatIsNotThereIsSaid) {
  const int Port = ClosedPort();
  LogIn("ann", "pw", false, Port);
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }, 15000));
  EXPECT_EQ(Prompter.Messages().back(), "Could not connect to VexilServer at 127.0.0.1:" + std::to_string(Port) + ".");
  EXPECT_TRUE(LoginShown());
  EXPECT_EQ(Main().FrontScreen(), Main().pnlTitle());
}

TEST_F(LoginToLobbyTest, AServerErrorIsAMessageBeforeTheLogin) {
  Main().lobby().vexilServerError("Room is full");
  EXPECT_EQ(Prompter.Messages().back(), "VexilServer Error: Room is full");
}

TEST_F(LoginToLobbyTest, StatisticsThatComeTwiceBeforeTheirDialogIsUpOpenItOnce) {
  // Every modal window that comes up is counted and closed, however many there are.
  int Opened = 0;
  QTimer Closer;
  Closer.setInterval(0);
  QObject::connect(&Closer, &QTimer::timeout, [&] {
    if (auto* Window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ++Opened;
      EXPECT_EQ(Window->windowTitle(), "Vexil Server Statistics");
      Window->reject();
    }
  });
  Closer.start();
  const TVexilServerStats Stats;
  Main().login().vexilServerStatus(Stats);
  Main().login().vexilServerStatus(Stats);
  ASSERT_TRUE(RunUntil([&] { return Opened == 1; }, 5000));
  QTest::qWait(200);
  EXPECT_EQ(Opened, 1);
  // Once it has been shown, the next reply opens it again.
  Main().login().vexilServerStatus(Stats);
  ASSERT_TRUE(RunUntil([&] { return Opened == 2; }, 5000));
  QTest::qWait(200);
  EXPECT_EQ(Opened, 2);
}

// --- Which servers the game trusts -----------------------------------------------------------

// A server whose certificate no authority of the test program vouches for.
struct TrustOnFirstUseTest : LoginToLobbyTest {
  TrustOnFirstUseTest() { Options.Trusted = false; }
  std::string Kept(const char* Item) { return Main().reg().ReadString(TServerTrust::SettingName("127.0.0.1", Server->Port(), Item)); }
  std::string ConnectionLine() { return FromQString(LabelText(*Forms->Form("frmLogin"), "lblConnection")); }
  void LeaveLobby() {
    Prompter.AnswerYes();
    Main().login().btnVexilDisconnectClick();
    ASSERT_FALSE(Main().vexil().Active());
  }
};

TEST_F(TrustOnFirstUseTest, ANewServersFingerprintIsAskedAboutOnceAndAChangedOneIsRefused) {
  const std::string Where = "127.0.0.1:" + std::to_string(Server->Port());
  const std::string Failed = "Could not connect to VexilServer at " + Where + ".";
  // First sight: the fingerprint is shown and asked about; No connects nowhere and keeps nothing.
  Prompter.AnswerNo();
  LogIn("ann", "pw-ann", true);
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }, 15000));
  ASSERT_EQ(Prompter.Prompts().size(), 2u);
  EXPECT_EQ(Prompter.Prompts()[0].Kind, pkConfirm);
  EXPECT_NE(Prompter.Prompts()[0].Text.find("The VexilServer at " + Where + " is not known yet"), std::string::npos);
  EXPECT_NE(Prompter.Prompts()[0].Text.find(Server->Fingerprint()), std::string::npos);
  EXPECT_EQ(Prompter.Messages().back(), Failed);
  EXPECT_EQ(Kept("Fingerprint"), "");
  EXPECT_TRUE(LoginShown());

  // Yes: the fingerprint is kept for this host and port, and the log-in goes on encrypted.
  Prompter.AnswerYes();
  LogIn("ann", "pw-ann", true);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  EXPECT_EQ(Kept("Fingerprint"), Server->Fingerprint());
  EXPECT_EQ(Main().vexil().Link(), llTls);
  const std::size_t Asked = Prompter.Prompts().size();
  ASSERT_NO_FATAL_FAILURE(LeaveLobby());

  // Known now: no question, and the log-in window names the certificate.
  LogIn("ann", "pw-ann", false);
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  EXPECT_EQ(Prompter.Prompts().size(), Asked + 1);  // the question before leaving only
  EXPECT_EQ(ConnectionLine(), "Connection: encrypted (TLS), certificate " + Server->Fingerprint().substr(0, 23) + "...");
  GrabToPng(*Forms->Form("frmLogin"), "known-server");
  ASSERT_NO_FATAL_FAILURE(LeaveLobby());

  // The server shows another certificate than the one kept: refused with both fingerprints.
  const std::string Other = "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF";
  Main().reg().WriteString(TServerTrust::SettingName("127.0.0.1", Server->Port(), "Fingerprint"), Other);
  const std::size_t Before = Prompter.Messages().size();
  LogIn("ann", "pw-ann", false);
  ASSERT_TRUE(RunUntil([&] { return Prompter.Messages().size() == Before + 2; }, 15000));
  const std::string Warning = Prompter.Messages()[Before];
  EXPECT_EQ(Warning.rfind("WARNING: the certificate of the VexilServer at " + Where + " has changed", 0), 0u) << Warning;
  EXPECT_NE(Warning.find(Other), std::string::npos);
  EXPECT_NE(Warning.find(Server->Fingerprint()), std::string::npos);
  EXPECT_EQ(Prompter.Messages().back(), Failed);
  EXPECT_FALSE(Main().vexil().LoggedIn());
  EXPECT_EQ(Kept("Fingerprint"), Other);  // the kept one is not replaced behind the player's back
  EXPECT_EQ(Main().FrontScreen(), Main().pnlTitle());
}

// A server of the old protocol (a relay that drops TLS, to a lobby that lets plain clients in).
struct PlainServerTest : LoginToLobbyTest {
  PlainServerTest() { Options.AllowPlain = true; }
};

TEST_F(PlainServerTest, AServerWithoutTlsIsReachedOnlyAfterTheWarning) {
  TLoopbackRelay Old(Server->Port(), true);
  const std::string Where = "127.0.0.1:" + std::to_string(Old.Port());
  Prompter.AnswerNo();
  LogIn("ann", "pw-ann", true, Old.Port());
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }, 15000));
  ASSERT_GE(Prompter.Prompts().size(), 1u);
  EXPECT_EQ(Prompter.Prompts()[0].Kind, pkConfirm);
  EXPECT_EQ(Prompter.Prompts()[0].Text, TServerTrust::PlainQuestion("127.0.0.1", Old.Port()));
  EXPECT_EQ(Prompter.Messages().back(), "Could not connect to VexilServer at " + Where + ".");
  EXPECT_EQ(Old.Refused(), 1);
  for (const auto& C : Old.Captures()) EXPECT_TRUE(C->Up.isEmpty());  // nothing passed on to the server

  Prompter.AnswerYes();
  LogIn("ann", "pw-ann", true, Old.Port());
  ASSERT_TRUE(RunUntil([&] { return Main().FrontScreen() == Main().pnlLobby(); }, 15000));
  EXPECT_EQ(Main().vexil().Link(), llPlain);
  EXPECT_EQ(Old.Refused(), 2);
  Prompter.AnswerYes();
  Main().login().btnVexilDisconnectClick();
  // The log-in window says the connection to that server was not encrypted.
  auto Armed = WhenModal([&](QDialog& W) {
    Click(W, "rbAnother");
    Type(W, "edtHostAddress", "127.0.0.1");
    Child<QSpinBox>(W, "spinPort")->setValue(Old.Port());
    EXPECT_EQ(LabelText(W, "lblConnection").toStdString().rfind("Connection: NOT encrypted", 0), 0u);
    GrabToPng(W, "plain-server");
    Child<QSpinBox>(W, "spinPort")->setValue(Server->Port());
    EXPECT_EQ(LabelText(W, "lblConnection").toStdString(),
              "Connection: encrypted (TLS); a new server's certificate is shown for you to trust");
    Click(W, "btnCancel");
  });
  Click(*Main().pnlTitle(), "btnLogin");
}

}  // namespace
