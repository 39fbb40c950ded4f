#include "ui/LobbyDialogs.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QUrl>

#include "screens/LoginRules.h"
#include "platform/Application.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/GameScreenRules.h"
#include "ui/UnitLists.h"

namespace {

// A caption on the left and its value label on the right, one row of a group.
QLabel* MakeCounterRow(QWidget* Group, const char* Name, const QString& Caption, int Row) {
  const int Top = 22 + Row * 22;
  MakeFormLabel(Group, "", Caption, {10, Top, 150, 18});
  auto* Value = MakeFormLabel(Group, Name, "0", {160, Top, 140, 18});
  Value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return Value;
}

bool DesktopOpen(const std::string& Address) { return QDesktopServices::openUrl(QUrl(ToQString(Address))); }

constexpr int CommentsMaxLength = 200;

}  // namespace

QGroupBox* MakeGroup(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Place) {
  auto* Group = new QGroupBox(Caption, Parent);
  Group->setObjectName(Name);
  Group->setGeometry(Place);
  return Group;
}

QLineEdit* MakeEdit(QWidget* Parent, const char* Name, int MaxLength, const QRect& Place) {
  auto* Edit = new QLineEdit(Parent);
  Edit->setObjectName(Name);
  Edit->setMaxLength(MaxLength);
  Edit->setGeometry(Place);
  return Edit;
}

// --- Server statistics --------------------------------------------------------------------------

TfrmVexilServerStats::TfrmVexilServerStats() {
  setObjectName("frmVexilServerStats");
  setFixedSize(340, 276);
  auto* Current = MakeGroup(this, "grpCurrent", "Current Information", {8, 8, 324, 92});
  FTimeActive = MakeCounterRow(Current, "lblTimeActive", "Time Active:", 0);
  FCurrentConnections = MakeCounterRow(Current, "lblCurrentConnections", "Clients Connected:", 1);
  FCurrentSubjects = MakeCounterRow(Current, "lblCurrentSubjects", "Client-Created Subjects:", 2);
  auto* History = MakeGroup(this, "grpHistorical", "Historical Information", {8, 106, 324, 134});
  FTotalConnections = MakeCounterRow(History, "lblTotalConnections", "Total Connections:", 0);
  FTotalSubjects = MakeCounterRow(History, "lblTotalSubjects", "Subjects Created:", 1);
  FPeakConnections = MakeCounterRow(History, "lblPeakConnections", "Peak Connections:", 2);
  FBytesRead = MakeCounterRow(History, "lblBytesRead", "Total Bytes Read:", 3);
  FBytesWritten = MakeCounterRow(History, "lblBytesWritten", "Total Bytes Written:", 4);
  auto* Ok = MakeFormButton(this, "btnOk", "OK", {257, 246, 75, 25});
  Ok->OnClick = [this](TGraphicControl*) { accept(); };
}

void TfrmVexilServerStats::ShowStats(const TVexilServerStats& Stats) {
  const auto Count = [](double Value) { return ToQString(FormatThousands(Value)); };
  FTimeActive->setText(ToQString(Stats.TimeActiveText()));
  FCurrentConnections->setText(Count(Stats.CurrentConnections()));
  FCurrentSubjects->setText(Count(Stats.CurrentSubjects()));
  FTotalConnections->setText(Count(Stats.TotalConnections()));
  FTotalSubjects->setText(Count(Stats.TotalSubjects()));
  FPeakConnections->setText(Count(Stats.PeakConnections()));
  FBytesRead->setText(Count(static_cast<double>(Stats.BytesRead())));
  FBytesWritten->setText(Count(static_cast<double>(Stats.BytesWritten())));
}

TdlgServerStats::TdlgServerStats() : FTimer(std::make_unique<QTimer>()) {
  FTimer->setObjectName("timerServerStats");
  QObject::connect(FTimer.get(), &QTimer::timeout, [this] {
    if (FConnection) RunGuarded([&] { FConnection->RequestServerStats(); });
  });
}

TdlgServerStats::~TdlgServerStats() = default;

void TdlgServerStats::Execute(const TVexilServerStats& Stats) {
  if (!FConnection) return;
  TfrmVexilServerStats Form;
  Form.setWindowTitle(ToQString(FTitle));
  Form.ShowStats(Stats);
  TStatusEvent Saved;
  if (FAutoUpdate) {
    Saved = FConnection->OnServerStatus;
    FConnection->OnServerStatus = [&Form](TVexilConnection*, const TVexilServerStats& Fresh) { Form.ShowStats(Fresh); };
    FTimer->start(FUpdateInterval);
  }
  FForm = &Form;
  Form.exec();
  FForm = nullptr;
  if (FAutoUpdate) {
    FTimer->stop();
    FConnection->OnServerStatus = std::move(Saved);
  }
}

// --- User information ---------------------------------------------------------------------------

TUserGlyph GlyphFromImage(const QImage& Picture) {
  TUserGlyph Glyph;
  if (Picture.isNull()) return Glyph;
  const QImage Rgb = Picture.convertToFormat(QImage::Format_RGB32);
  Glyph.SetSize(std::min(Rgb.width(), MaxGlyphSize), std::min(Rgb.height(), MaxGlyphSize));
  for (int X = 0; X < Glyph.Width(); ++X)
    for (int Y = 0; Y < Glyph.Height(); ++Y) {
      const QRgb C = Rgb.pixel(X, Y);
      Glyph.SetPixel(X, Y, static_cast<std::int32_t>(qRed(C) | (qGreen(C) << 8) | (qBlue(C) << 16)));
    }
  return Glyph;
}

QImage ImageFromGlyph(const TUserGlyph& Glyph) {
  if (Glyph.Empty()) return {};
  QImage Picture(Glyph.Width(), Glyph.Height(), QImage::Format_RGB32);
  for (int X = 0; X < Glyph.Width(); ++X)
    for (int Y = 0; Y < Glyph.Height(); ++Y) {
      const auto C = static_cast<std::uint32_t>(Glyph.Pixel(X, Y));
      Picture.setPixel(X, Y, qRgb(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)));
    }
  return Picture;
}

namespace {

QPlainTextEdit* MakeMemo(QWidget* Parent, const char* Name, const QRect& Bounds) {
  auto* Memo = new QPlainTextEdit(Parent);
  Memo->setObjectName(Name);
  Memo->setGeometry(Bounds);
  return Memo;
}

}  // namespace

TfrmUserInfo::TfrmUserInfo() {
  setObjectName("frmUserInfo");
  setWindowTitle("User Info");
  setFixedSize(430, 486);
  auto* User = MakeGroup(this, "grpUser", "User Information", {8, 8, 414, 112});
  MakeFormLabel(User, "lblUserId", "User ID:", {10, 24, 90, 18});
  FUserId = MakeEdit(User, "edtUserId", 24, {100, 22, 200, 22});
  FPassword1Label = MakeFormLabel(User, "lblPassword1", "Password:", {10, 52, 90, 18});
  FPassword1 = MakeEdit(User, "edtPassword1", 12, {100, 50, 200, 22});
  FPassword2Label = MakeFormLabel(User, "lblPassword2", "Confirm:", {10, 80, 90, 18});
  FPassword2 = MakeEdit(User, "edtPassword2", 12, {100, 78, 200, 22});
  for (QLineEdit* Edit : {FPassword1, FPassword2}) Edit->setEchoMode(QLineEdit::Password);
  FGlyphImage = MakeFormLabel(User, "imGlyph", "", {330, 22, 36, 36});
  FGlyphImage->setFrameShape(QFrame::Box);
  FGlyphImage->setAlignment(Qt::AlignCenter);
  FGlyphButton = MakeFormButton(User, "btnGlyph", "Glyph", {318, 66, 60, 25});
  FGlyphButton->OnClick = [this](TGraphicControl*) { btnGlyphClick(); };

  auto* Personal = MakeGroup(this, "grpPersonal", "Personal Information", {8, 126, 414, 192});
  struct TRow {
    QLineEdit*& Edit;
    const char* Name;
    const char* Caption;
    int MaxLength;
  };
  const TRow Rows[] = {{FFirstName, "edtFirstName", "First Name:", 24}, {FLastName, "edtLastName", "Last Name:", 24},
                       {FCity, "edtCity", "City:", 24},                 {FCountry, "edtCountry", "Country:", 24},
                       {FEMail, "edtEMail", "E-Mail:", 48},             {FHomePage, "edtHomePage", "Home Page:", 48},
                       {FIcq, "edtIcq", "ICQ:", 20}};
  int Top = 22;
  for (const TRow& R : Rows) {
    MakeFormLabel(Personal, "", R.Caption, {10, Top + 2, 90, 18});
    R.Edit = MakeEdit(Personal, R.Name, R.MaxLength, {100, Top, 300, 22});
    Top += 24;
  }
  FHomePage->installEventFilter(this);

  auto* Additional = MakeGroup(this, "grpAdditional", "Additional Information", {8, 324, 414, 122});
  MakeFormLabel(Additional, "lblComments", "Comments:", {10, 20, 190, 18});
  FComments = MakeMemo(Additional, "memoComments", {10, 38, 192, 76});
  QObject::connect(FComments, &QPlainTextEdit::textChanged, this, [this] {
    const QString Text = FComments->toPlainText();
    if (Text.size() > CommentsMaxLength) FComments->setPlainText(Text.left(CommentsMaxLength));
  });
  MakeFormLabel(Additional, "lblProperties", "Properties:", {212, 20, 190, 18});
  FProperties = MakeMemo(Additional, "memoProperties", {212, 38, 192, 76});
  FProperties->setReadOnly(true);

  FEdit = MakeFormButton(this, "btnEdit", "Edit", {185, 454, 75, 25});
  FCancel = MakeFormButton(this, "btnCancel", "Cancel", {266, 454, 75, 25});
  auto* Ok = MakeFormButton(this, "btnOk", "OK", {347, 454, 75, 25});
  FEdit->OnClick = [this](TGraphicControl*) { btnEditClick(); };
  FCancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  Ok->OnClick = [this](TGraphicControl*) { btnOkClick(); };
  SetEditable(false);
  SetMayEdit(false);
}

void TfrmUserInfo::ShowUser(TVexilUser& User, const std::vector<std::string>& ValidTokens) {
  FUser = &User;
  FUserId->setText(ToQString(User.UserId()));
  FPassword1->setText(ToQString(User.Password()));
  FPassword2->setText(ToQString(User.Password()));
  FFirstName->setText(ToQString(User.FirstName()));
  FLastName->setText(ToQString(User.LastName()));
  FCity->setText(ToQString(User.City()));
  FCountry->setText(ToQString(User.Country()));
  FEMail->setText(ToQString(User.EMail()));
  FHomePage->setText(ToQString(User.HomePage()));
  FIcq->setText(ToQString(User.Icq()));
  FComments->setPlainText(ToQString(User.Comments()));
  SetGlyph(ImageFromGlyph(User.Glyph()));
  QStringList Lines;
  for (int I = 0; I < User.InfoCount(); ++I) {
    const std::string Name = User.InfoName(I);
    if (!ValidTokens.empty() && std::find(ValidTokens.begin(), ValidTokens.end(), Name) == ValidTokens.end())
      continue;
    Lines << ToQString(Name + ": " + User.InfoValue(I));
  }
  FProperties->setPlainText(Lines.join('\n'));
  SetEditable(FEditable);
}

void TfrmUserInfo::SetEditable(bool Value) {
  FEditable = Value;
  for (QLineEdit* Edit : {FPassword1, FPassword2, FFirstName, FLastName, FCity, FCountry, FEMail, FHomePage, FIcq})
    Edit->setReadOnly(!Value);
  FComments->setReadOnly(!Value);
  // A user's identifier is never changed once it has one.
  FUserId->setReadOnly(!Value || !FUserId->text().isEmpty());
  for (QWidget* W : std::initializer_list<QWidget*>{FGlyphButton, FPassword1, FPassword2, FPassword1Label,
                                                     FPassword2Label})
    W->setVisible(Value);
  FHomePage->setCursor(Value ? Qt::IBeamCursor : Qt::PointingHandCursor);
}

void TfrmUserInfo::SetMayEdit(bool Value) {
  FMayEdit = Value;
  FEdit->setVisible(Value && !FEditable);
  FCancel->setVisible(FEditable);
}

void TfrmUserInfo::btnEditClick() {
  SetEditable(true);
  FCancel->setVisible(true);
  FEdit->setVisible(false);
  FFirstName->setFocus();
}

void TfrmUserInfo::btnOkClick() {
  if (!FEditable || !FUser) {
    done(mrOk);
    return;
  }
  const QString Comments = FComments->toPlainText();
  TUserInfoEntry Entry{FromQString(FUserId->text()), FromQString(FPassword1->text()),
                       FromQString(FPassword2->text()),
                       {{"First Name", FromQString(FFirstName->text())},
                        {"Last Name", FromQString(FLastName->text())},
                        {"City", FromQString(FCity->text())},
                        {"Country", FromQString(FCountry->text())},
                        {"E-Mail", FromQString(FEMail->text())},
                        {"Home Page", FromQString(FHomePage->text())},
                        {"ICQ", FromQString(FIcq->text())}}};
  if (const auto Refusal = UserInfoRefusal(Entry)) {
    Prompter().ShowMessage(Refusal->Message);
    if (Refusal->Focus == lfUserId) FUserId->setFocus();
    if (Refusal->Focus == lfPassword1) FPassword1->setFocus();
    return;
  }
  // The comments' lines become one line, each followed by one blank.
  std::string Joined;
  for (const QString& Line : Comments.split('\n')) Joined += FromQString(Line) + " ";
  if (Comments.isEmpty()) Joined.clear();
  if (HoldsRecordMark(Joined)) {
    Prompter().ShowMessage("The Comments cannot hold \"|\" or \"^\".");
    FComments->setFocus();
    return;
  }
  FUser->SetUserId(Entry.UserId);
  FUser->SetPassword(Entry.Password1);
  FUser->SetFirstName(Entry.Fields[0].second);
  FUser->SetLastName(Entry.Fields[1].second);
  FUser->SetCity(Entry.Fields[2].second);
  FUser->SetCountry(Entry.Fields[3].second);
  FUser->SetEMail(Entry.Fields[4].second);
  FUser->SetHomePage(Entry.Fields[5].second);
  FUser->SetIcq(Entry.Fields[6].second);
  FUser->SetComments(Joined);
  FUser->SetGlyph(GlyphFromImage(FGlyph));
  FAccepted = true;
  done(mrOk);
}

void TfrmUserInfo::btnGlyphClick() {
  TFileDialogOptions Options;
  Options.Title = "Glyph";
  Options.Filter = "Bitmaps (*.bmp)|*.bmp";
  Options.DefaultExt = "bmp";
  const auto File = Prompter().OpenFile(Options);
  if (!File) return;
  QImage Picture(ToQString(*File));
  if (Picture.isNull()) {
    Prompter().ShowMessage("The picture \"" + *File + "\" cannot be read.");
    return;
  }
  if (GlyphNeedsScaling(Picture.width(), Picture.height())) {
    // A larger picture is drawn scaled into a new 32 x 32 bitmap.
    QImage Scaled(MaxGlyphSize, MaxGlyphSize, QImage::Format_RGB32);
    Scaled.fill(Qt::black);
    QPainter Painter(&Scaled);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform);
    Painter.drawImage(QRect(0, 0, MaxGlyphSize, MaxGlyphSize), Picture);
    Painter.end();
    Picture = Scaled;
  }
  SetGlyph(Picture);
}

void TfrmUserInfo::edtHomePageClick() {
  if (!FHomePage->isReadOnly()) return;
  const std::string Page = FromQString(FHomePage->text().trimmed());
  if (Page.empty()) return;
  if (!IsWebAddress(Page)) {
    Prompter().ShowMessage("The home page \"" + Page + "\" is not a web address (http or https), so it is not opened.");
    return;
  }
  const bool Opened = OnOpenPage ? OnOpenPage(Page) : DesktopOpen(Page);
  if (!Opened) Prompter().ShowMessage("The home page \"" + Page + "\" cannot be opened.");
}

void TfrmUserInfo::SetGlyph(const QImage& Picture) {
  FGlyph = Picture.isNull() ? QImage() : Picture.convertToFormat(QImage::Format_RGB32);
  FGlyphImage->setPixmap(FGlyph.isNull() ? QPixmap() : QPixmap::fromImage(FGlyph));
}

void TfrmUserInfo::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  FUserId->setFocus();
}

bool TfrmUserInfo::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched == FHomePage && Event->type() == QEvent::MouseButtonRelease && FHomePage->isReadOnly())
    RunGuarded([&] { edtHomePageClick(); });
  return QDialog::eventFilter(Watched, Event);
}

bool TdlgUserInfo::Execute(TVexilUser& User, bool Editable) {
  TfrmUserInfo Form;
  Form.setWindowTitle(ToQString(FTitle));
  Form.OnOpenPage = OnOpenPage;
  Form.ShowUser(User, FTokens);
  // A new user is filled in at once; there is nothing to look at first.
  Form.SetEditable(User.UserId().empty());
  Form.SetMayEdit(Editable);
  if (OnFormReady) OnFormReady(Form);
  Form.exec();
  return Form.Accepted();
}
