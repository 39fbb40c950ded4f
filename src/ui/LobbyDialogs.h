#pragma once
// The lobby's two dialogs. The server statistics dialog shows the lobby server's counters and,
// with AutoUpdate, asks for fresh ones every UpdateInterval milliseconds while it is open. The
// user information dialog shows a lobby user's record and, when allowed, lets the player edit
// it: a new user (one without identifier) opens ready to be filled in.
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lobby/VexilConnection.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TBrenmoorOrderButton;

// The group boxes and line edits of the lobby's forms, by component name, at fixed places.
QGroupBox* MakeGroup(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Place);
QLineEdit* MakeEdit(QWidget* Parent, const char* Name, int MaxLength, const QRect& Place);
// A line edit's length when nothing limits it.
constexpr int UnlimitedEditLength = 32767;

// The statistics form: each counter's label by its component name (lblTimeActive,
// lblCurrentConnections, lblCurrentSubjects, lblTotalConnections, lblTotalSubjects,
// lblPeakConnections, lblBytesRead, lblBytesWritten).
class TfrmVexilServerStats : public QDialog {
  Q_OBJECT
public:
  TfrmVexilServerStats();
  // The time active as its text, every other counter in "#,##0".
  void ShowStats(const TVexilServerStats& Stats);

private:
  QLabel* FTimeActive = nullptr;
  QLabel* FCurrentConnections = nullptr;
  QLabel* FCurrentSubjects = nullptr;
  QLabel* FTotalConnections = nullptr;
  QLabel* FTotalSubjects = nullptr;
  QLabel* FPeakConnections = nullptr;
  QLabel* FBytesRead = nullptr;
  QLabel* FBytesWritten = nullptr;
};

class TdlgServerStats {
public:
  TdlgServerStats();
  ~TdlgServerStats();

  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string Value) { FTitle = std::move(Value); }
  TVexilConnection* VexilConnection() const { return FConnection; }
  void SetVexilConnection(TVexilConnection* Value) { FConnection = Value; }
  bool AutoUpdate() const { return FAutoUpdate; }
  void SetAutoUpdate(bool Value) { FAutoUpdate = Value; }
  int UpdateInterval() const { return FUpdateInterval; }
  void SetUpdateInterval(int Value) { FUpdateInterval = Value; }

  // Shows Stats modally (nothing without a connection). With AutoUpdate the connection's
  // statistics replies refill the open form and a timer asks for them; the connection's own
  // handler is put back when the form closes.
  void Execute(const TVexilServerStats& Stats);
  // The form while it is shown, nullptr otherwise.
  TfrmVexilServerStats* Form() const { return FForm; }
  const QTimer& Timer() const { return *FTimer; }

private:
  std::string FTitle = "Server Statistics";
  TVexilConnection* FConnection = nullptr;
  bool FAutoUpdate = false;
  int FUpdateInterval = 5000;
  std::unique_ptr<QTimer> FTimer;
  TfrmVexilServerStats* FForm = nullptr;
};

// The user information form. Its edits and buttons carry their component names (edtUserId,
// edtPassword1, edtPassword2, edtFirstName, edtLastName, edtCity, edtCountry, edtEMail,
// edtHomePage, edtIcq, memoComments, memoProperties, imGlyph, btnGlyph, btnOk, btnCancel,
// btnEdit).
class TfrmUserInfo : public QDialog {
  Q_OBJECT
public:
  TfrmUserInfo();
  // Fills the form from User (kept, not owned); the properties list only the tokens in
  // ValidTokens when that is not empty.
  void ShowUser(TVexilUser& User, const std::vector<std::string>& ValidTokens);
  bool Editable() const { return FEditable; }
  void SetEditable(bool Value);
  void SetMayEdit(bool Value);
  // True once OK took the edits into the user.
  bool Accepted() const { return FAccepted; }
  // The glyph as the form holds it.
  const QImage& Glyph() const { return FGlyph; }
  // How a home page is opened (the desktop's browser unless a test says otherwise).
  std::function<bool(const std::string& Address)> OnOpenPage;

  void btnOkClick();
  void btnEditClick();
  void btnGlyphClick();
  // A click on the read-only home page: the page opens only when it is a web address.
  void edtHomePageClick();

protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void SetGlyph(const QImage& Picture);

  TVexilUser* FUser = nullptr;
  bool FEditable = false;
  bool FMayEdit = false;
  bool FAccepted = false;
  QImage FGlyph;
  QLineEdit *FUserId = nullptr, *FPassword1 = nullptr, *FPassword2 = nullptr, *FFirstName = nullptr,
            *FLastName = nullptr, *FCity = nullptr, *FCountry = nullptr, *FEMail = nullptr,
            *FHomePage = nullptr, *FIcq = nullptr;
  QPlainTextEdit* FComments = nullptr;
  QPlainTextEdit* FProperties = nullptr;
  QLabel* FGlyphImage = nullptr;
  QLabel* FPassword1Label = nullptr;
  QLabel* FPassword2Label = nullptr;
  TBrenmoorOrderButton* FGlyphButton = nullptr;
  TBrenmoorOrderButton* FCancel = nullptr;
  TBrenmoorOrderButton* FEdit = nullptr;
};

// The user information dialog that the main window and the log-in window call:
// Execute(User, Editable) shows User and returns true exactly when an edit was confirmed with
// OK (User then holds the edits); a new user (empty UserId) always opens editable.
class TdlgUserInfo {
public:
  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string Value) { FTitle = std::move(Value); }
  const std::vector<std::string>& ValidInfoTokens() const { return FTokens; }
  void SetValidInfoTokens(const std::vector<std::string>& Value) { FTokens = Value; }
  // How a home page is opened; nullptr: the desktop's browser.
  std::function<bool(const std::string& Address)> OnOpenPage;
  // Called with the form once it is filled, before it is shown (tests drive it from here).
  std::function<void(TfrmUserInfo& Form)> OnFormReady;

  bool Execute(TVexilUser& User, bool Editable);

private:
  std::string FTitle = "User Info";
  std::vector<std::string> FTokens;
};

// A picture as a user's glyph and back (colour values 0x00BBGGRR, at most 32 x 32).
TUserGlyph GlyphFromImage(const QImage& Picture);
QImage ImageFromGlyph(const TUserGlyph& Glyph);
