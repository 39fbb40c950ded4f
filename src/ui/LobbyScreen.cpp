#include "ui/LobbyScreen.h"

#include <QDir>
#include <QLoggingCategory>
#include <QFileInfo>
#include <QHeaderView>
#include <QSpinBox>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <algorithm>
#include <set>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "foundation/NumberText.h"
#include "screens/GameSession.h"
#include "screens/GameSetupRules.h"
#include "screens/GameStart.h"
#include "screens/LobbyRules.h"
#include "screens/WarNews.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUser.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "sprites/SpriteEngine.h"
#include "ui/AssignPlayersForm.h"
#include "ui/CommsForm.h"
#include "ui/FormParts.h"
#include "ui/GameScreenRules.h"
#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"
#include "ui/LobbyLogin.h"
#include "ui/MainForm.h"

namespace {

// The maker's web address named in the server's version notices.
constexpr const char* MakerWebAddress = "http://www.quillfen.example";
Q_LOGGING_CATEGORY(DataLog, "brenmoor.data")

// The research group whose levels decide whether an enemy's allied chat is read.
constexpr int CodeBreakingGroup = 5;

const char* const ListStyle =
    "color: rgb(0,255,0); background: black; border: 1px solid rgb(0,128,0);"
    "selection-background-color: rgb(0,96,0); selection-color: rgb(255,255,0);";

// A window-system colour value (0x00BBGGRR) as a colour.
QColor ColorOfValue(std::uint32_t Value) { return QColor(Value & 0xFF, (Value >> 8) & 0xFF, (Value >> 16) & 0xFF); }

// The rooms' glyphs: a little flag on its pole for a game, a speech bubble for a chat.
QPixmap RoomGlyph(bool Game) {
  QPixmap Glyph(32, 32);
  Glyph.fill(Qt::black);
  QPainter P(&Glyph);
  P.setRenderHint(QPainter::Antialiasing);
  if (Game) {
    P.setPen(QPen(QColor(192, 192, 192), 2));
    P.drawLine(8, 4, 8, 29);
    P.setPen(Qt::NoPen);
    P.setBrush(QColor(220, 0, 0));
    P.drawPolygon(QPolygon({{9, 5}, {27, 8}, {9, 15}}));
    P.setBrush(QColor(0, 160, 0));
    P.drawRect(3, 28, 12, 3);
  } else {
    P.setPen(QPen(QColor(0, 255, 0), 2));
    P.setBrush(QColor(0, 64, 0));
    P.drawRoundedRect(3, 5, 26, 16, 5, 5);
    P.drawPolygon(QPolygon({{9, 21}, {8, 28}, {15, 21}}));
    P.setPen(QColor(0, 255, 0));
    for (int X : {10, 16, 22}) P.drawPoint(X, 13);
  }
  return Glyph;
}

TGraphicPanel* MakeInfoPanel(QWidget* Parent, const char* Name, const QRect& Place) {
  auto* Panel = new TGraphicPanel(Parent);
  Panel->setObjectName(Name);
  Panel->setGeometry(Place);
  Panel->SetColor(Qt::black);
  Panel->SetColorHighlight(QColor(0, 128, 0));
  Panel->SetColorShadow(QColor(0, 64, 0));
  Panel->SetBevelOuter(bvLowered);
  Panel->SetAlignment(taLeftJustify);
  Panel->SetFontColor(QColor(0, 255, 0));
  Panel->setFont(GameFont("Arial", 12, true));
  return Panel;
}

TOwnerDrawListBox* MakeRoomList(QWidget* Parent, const char* Name, const QRect& Place, int ItemHeight) {
  auto* List = new TOwnerDrawListBox(Parent);
  List->setObjectName(Name);
  List->setGeometry(Place);
  List->SetColor(Qt::black);
  List->SetSelectColor(QColor(0, 64, 0));
  List->SetFontColor(QColor(0, 255, 0));
  List->SetItemHeight(ItemHeight);
  List->SetDefaultDrawing(false);
  List->setFont(GameFont("Arial", 12, true));
  List->setStyleSheet("QListWidget { border: 1px solid rgb(0,128,0); background: black; }");
  return List;
}

QTreeWidget* MakeReport(QWidget* Parent, const char* Name, const QRect& Place, const QStringList& Columns,
                        const std::vector<int>& Widths) {
  auto* View = new QTreeWidget(Parent);
  View->setObjectName(Name);
  View->setGeometry(Place);
  View->setColumnCount(static_cast<int>(Columns.size()));
  View->setHeaderLabels(Columns);
  View->setRootIsDecorated(false);
  View->setFont(GameFont("Arial", 11));
  View->setStyleSheet(QString("QTreeWidget {") + ListStyle +
                      "} QHeaderView::section { color: rgb(0,255,0); background: rgb(0,64,0); border: 0px; }");
  for (std::size_t C = 0; C < Widths.size(); ++C) View->header()->resizeSection(static_cast<int>(C), Widths[C]);
  return View;
}

}  // namespace

// --- The screens ---

TLobbyScreen::TLobbyScreen(TfrmMain& Main) : FMain(Main) {
  WireLobbyEvents();
  WireSessionEvents();
}

void TLobbyScreen::CreateLobby(TElasticPanel& Lobby) {
  FSubjectName = MakeInfoPanel(&Lobby, "gpnlSubjectName", {8, 6, 616, 24});
  MakeFormLabel(&Lobby, "lblSubjects", "Rooms", {8, 34, 200, 16})->setStyleSheet("color: rgb(0,255,0);");
  FSubjects = MakeRoomList(&Lobby, "lbVexilSubjects", {8, 52, 200, 252}, 40);
  FSubjects->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState) {
    lbVexilSubjectsCustomDraw(Canvas, Index, Rect);
  };
  QObject::connect(FSubjects, &QListWidget::itemClicked, &FMain, [this] { RunGuarded([this] { lbVexilSubjectsClick(); }); });
  QObject::connect(FSubjects, &QListWidget::itemDoubleClicked, &FMain,
                   [this] { RunGuarded([this] { lbVexilSubjectsDblClick(); }); });
  MakeFormLabel(&Lobby, "lblUsers", "Players", {216, 34, 180, 16})->setStyleSheet("color: rgb(0,255,0);");
  FUsersList = MakeRoomList(&Lobby, "lbVexilUsers", {216, 52, 180, 224}, 40);
  FUsersList->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState) {
    lbVexilUsersCustomDraw(Canvas, Index, Rect);
  };
  QObject::connect(FUsersList, &QListWidget::itemClicked, &FMain, [this] { RunGuarded([this] { lbVexilUsersClick(); }); });
  QObject::connect(FUsersList, &QListWidget::itemDoubleClicked, &FMain,
                   [this] { RunGuarded([this] { lbVexilUsersDblClick(); }); });
  FUserInfo = MakeInfoPanel(&Lobby, "gpnlUserInfo", {216, 280, 180, 24});
  FUserInfo->setFont(GameFont("Arial", 10));
  FMemoChat = new QPlainTextEdit(&Lobby);
  FMemoChat->setObjectName("memoChat");
  FMemoChat->setGeometry(404, 34, 220, 242);
  FMemoChat->setReadOnly(true);
  FMemoChat->setFont(GameFont("Arial", 11));
  FMemoChat->setStyleSheet(ListStyle);
  FEdtChat = MakeEdit(&Lobby, "edtChat", UnlimitedEditLength, {404, 282, 220, 22});
  FEdtChat->setFont(GameFont("Arial", 11));
  FEdtChat->setStyleSheet(ListStyle);
  QObject::connect(FEdtChat, &QLineEdit::returnPressed, &FMain, [this] { RunGuarded([this] { edtChatKeyUp(); }); });
  FServerMessage = MakeInfoPanel(&Lobby, "gpnlServerMessage", {8, 312, 616, 24});

  // Each button with its place and what its click does.
  const auto Button = [&](const char* Name, const char* Caption, const QRect& Place, void (TLobbyScreen::*Click)()) {
    TColorButton* Made = FMain.MakeButton(&Lobby, Name, Caption, Place);
    Made->OnClick = [this, Click](TGraphicControl*) { (this->*Click)(); };
    return Made;
  };
  FNewGame = Button("btnVexilNewGame", "New Game", {8, 344, 98, 28}, &TLobbyScreen::btnVexilNewGameClick);
  Button("btnVexilOpenGame", "Restore Game", {110, 344, 98, 28}, &TLobbyScreen::btnVexilOpenGameClick);
  FNewChat = Button("btnVexilNewChat", "New Chat", {8, 378, 98, 28}, &TLobbyScreen::btnVexilNewChatClick);
  FJoinGame = Button("btnVexilJoinGame", "Join Game", {216, 344, 98, 28}, &TLobbyScreen::lbVexilSubjectsDblClick);
  FJoinChat = Button("btnVexilJoinChat", "Join Chat", {216, 344, 98, 28}, &TLobbyScreen::lbVexilSubjectsDblClick);
  Button("btnSchedule", "Hall of Fame", {8, 416, 110, 25}, &TLobbyScreen::btnScheduleClick);
  TColorButton* Stats = FMain.MakeButton(&Lobby, "btnServerStats", "Statistics", {124, 416, 100, 25});
  Stats->OnClick = [this](TGraphicControl*) { FMain.FLobbyLogin->btnServerStatsClick(); };
  TColorButton* Leave = FMain.MakeButton(&Lobby, "btnVexilDisconnect", "Disconnect", {434, 416, 100, 25});
  Leave->OnClick = [this](TGraphicControl*) { FMain.FLobbyLogin->btnVexilDisconnectClick(); };
  FNewGame->SetGlyph(RoomGlyph(true));
  FNewChat->SetGlyph(RoomGlyph(false));
  FJoinGame->hide();
  FJoinChat->hide();
  FBuzzer = FMain.MakeButton(&Lobby, "btnBuzzer", "Buzzer", {540, 416, 84, 25}, true);
  FBuzzer->SetDown(true);

  // The set-up screen's controls that a new online game uses; that screen is made first.
  FOnlineOptions = FMain.findChild<QWidget*>("pnlMultiPlayerGameOptions");
  FSoloOptions = FMain.findChild<QWidget*>("pnlSoloGameOptions");
  FPlayers = FMain.findChild<QSpinBox*>("spinPlayers");
}

void TLobbyScreen::CreateHallOfFame(TElasticPanel& Hall) {
  MakeFormLabel(&Hall, "lblHallOfFame", "Hall of Fame", {8, 6, 300, 24})
      ->setStyleSheet("color: rgb(0,255,0); font-weight: bold;");
  FHallOfFameList = MakeRoomList(&Hall, "lbHallOfFame", {8, 32, 260, 376}, 20);
  FHallOfFameList->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect,
                                         TOwnerDrawState) { lbHallOfFameCustomDraw(Canvas, Index, Rect); };
  FHallOfFameList->SetColor(QColor(192, 192, 192));
  FHallOfFameList->SetSelectColor(QColor(192, 192, 192));
  FHallOfFameList->setStyleSheet("QListWidget { border: 1px solid rgb(0,128,0); background: rgb(192,192,192); }");
  MakeFormLabel(&Hall, "lblGameLog", "Game Log", {276, 12, 200, 18})->setStyleSheet("color: rgb(0,255,0);");
  FGameLog = MakeReport(&Hall, "lvGameLog", {276, 32, 348, 200}, {"Date", "Scenario", "Winner", "Victors", "Defeated"},
                        {70, 70, 60, 74, 74});
  MakeFormLabel(&Hall, "lblSchedule", "Schedule", {276, 238, 200, 18})->setStyleSheet("color: rgb(0,255,0);");
  FSchedule = MakeReport(&Hall, "lvSchedule", {276, 258, 348, 150}, {"Player", "Usually Logged in ..."}, {100, 240});
  FMain.MakeButton(&Hall, "btnSubmitSchedule", "Submit Schedule", {374, 416, 140, 25})->OnClick =
      [this](TGraphicControl*) { btnSubmitScheduleClick(); };
  FMain.MakeButton(&Hall, "btnReturn", "Return", {524, 416, 100, 25})->OnClick = [this](TGraphicControl*) {
    btnReturnClick();
  };
  // The nations' flags among the game's pictures, made before the screens.
  FFlags = FMain.FArtwork->findChild<TCellImage*>("cellFlags");
}

void TLobbyScreen::WireLobbyEvents() {
  TVexilConnection& V = *FMain.FVexil;
  V.OnAddSubject = [this](TVexilConnection*, const std::string& Room) { vexilAddSubject(Room); };
  V.OnRemoveSubject = [this](TVexilConnection*, const std::string& Room) { vexilRemoveSubject(Room); };
  V.OnAddUser = [this](TVexilConnection*, const TVexilUserPtr& User) { vexilAddUser(User); };
  V.OnRemoveUser = [this](TVexilConnection*, const TVexilUserPtr& User) { vexilRemoveUser(User); };
  V.OnJoinSubject = [this](TVexilConnection*, const std::string& Room) { vexilJoinSubject(Room); };
  V.OnChatReceived = [this](TVexilConnection*, const std::string& Text, const std::string& From) {
    vexilChatReceived(Text, From);
  };
  V.OnShout = [this](TVexilConnection*, const std::string& Text) { vexilShout(Text); };
  V.OnServerError = [this](TVexilConnection*, const std::string& Text) { vexilServerError(Text); };
  V.OnBeginSubject = [this](TVexilConnection*) { vexilBeginSubject(); };
  V.OnDataReceived = [this](TVexilConnection*, const std::string& Text, const std::string& From) {
    vexilDataReceived(Text, From);
  };
  V.OnUserInfo = [this](TVexilConnection*, const TVexilUserPtr& User) { vexilUserInfo(User); };
  V.OnCustomMessage = [this](TVexilConnection*, const std::string& Type, const std::string& Text) {
    vexilCustomMessage(Type, Text);
  };
}

void TLobbyScreen::ConnectCommsWindow(TfrmComms& Comms) {
  Comms.CurrentNation = [this] { return FMain.FCurrentNation; };
  Comms.OnSendData = [this](const std::string& Line) { FMain.FVexil->SendData(Line); };
}

void TLobbyScreen::ClearLists() {
  if (FSubjects) FSubjects->clear();
  if (FUsersList) FUsersList->clear();
}

void TLobbyScreen::ClearRooms() {
  if (FSubjects) FSubjects->clear();
}

void TLobbyScreen::FocusChat() {
  if (FEdtChat) FEdtChat->setFocus();
}

bool TLobbyScreen::BuzzerOn() const { return FBuzzer && FBuzzer->Down(); }

std::string TLobbyScreen::OwnUserId() const { return FMain.FVexil->OwnUser() ? FMain.FVexil->OwnUser()->UserId() : ""; }

// --- Rooms and users ---

void TLobbyScreen::vexilAddSubject(const std::string& Room) { FSubjects->addItem(ToQString(Room)); }

void TLobbyScreen::vexilRemoveSubject(const std::string& Room) {
  const QList<QListWidgetItem*> Found = FSubjects->findItems(ToQString(Room), Qt::MatchExactly);
  for (QListWidgetItem* Item : Found) delete FSubjects->takeItem(FSubjects->row(Item));
}

void TLobbyScreen::vexilAddUser(const TVexilUserPtr& User) {
  auto* Item = new QListWidgetItem(ToQString(User->UserId()), FUsersList);
  Item->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(User.get())));
  UpdateSubjectCaption();
}

void TLobbyScreen::vexilRemoveUser(const TVexilUserPtr& User) {
  const std::string Id = User->UserId();
  for (int I = FUsersList->count() - 1; I >= 0; --I)
    if (FUsersList->item(I)->data(Qt::UserRole).value<void*>() == User.get()) {
      delete FUsersList->takeItem(I);
      break;
    }
  UpdateSubjectCaption();
  if (FMain.FClock->GetActive() && FMain.FClock->DropUser(Id)) {
    FMain.ShowMessagePanel(Id + " has Dropped", NoticeYellow);
    Prompter().ShowMessage(Id + " has dropped from the Game!");
    return;
  }
  // The host left a begun room before handing out the powers: that game will not start.
  if (FMain.FSession->UserLeft(Id)) {
    FMain.FVexil->JoinSubject(LobbyChatRoom);
    FMain.ShowScreen(FMain.FLobby);
    Prompter().ShowMessage("The host " + Id + " has left the Game before it started.");
  }
}

void TLobbyScreen::vexilJoinSubject(const std::string& Room) {
  FMemoChat->clear();
  const QList<QListWidgetItem*> Found = FSubjects->findItems(ToQString(Room), Qt::MatchExactly);
  if (!Found.isEmpty()) FSubjects->setCurrentItem(Found.front());
  FUsersList->clear();
  UpdateSubjectCaption();
  SetServerMessage("You just joined Subject \"" + RoomDisplayName(Room) + "\"", NoticeCyan);
  FJoinGame->hide();
  FJoinChat->hide();
  // No game waits in a room just joined: it begins when the last player is in. Joining any
  // room but the one made here ends this machine's hosting.
  FMain.FSession->JoinedRoom(Room);
}

void TLobbyScreen::UpdateSubjectCaption() {
  FSubjectName->SetCaption(ToQString(SubjectCaption(FUsersList->count(), RoomDisplayName(FMain.FVexil->CurrentSubject()))));
}

void TLobbyScreen::SetServerMessage(const std::string& Text, std::uint32_t Color) {
  FServerMessage->SetCaption(ToQString(Text));
  FServerMessage->SetFontColor(ColorOfValue(Color));
}

void TLobbyScreen::vexilChatReceived(const std::string& Text, const std::string& Sender) {
  FMemoChat->appendPlainText(ToQString(Sender + ": " + Text));
}

void TLobbyScreen::vexilShout(const std::string& Text) { FMemoChat->appendPlainText(ToQString("Quillfen: " + Text)); }

void TLobbyScreen::vexilServerError(const std::string& Text) {
  if (FMain.FVexil->LoggedIn())
    SetServerMessage("VexilServer Error: " + Text, NoticeRed);
  else
    Prompter().ShowMessage("VexilServer Error: " + Text);
}

void TLobbyScreen::edtChatKeyUp() {
  const std::string Text = FromQString(FEdtChat->text());
  if (Text.empty()) return;
  if (const auto Refusal = DelimiterRefusal(Text, "Chat text", "")) return Prompter().ShowMessage(*Refusal);
  FMemoChat->appendPlainText(ToQString(OwnUserId() + "> " + Text));
  FMain.FVexil->SendChat(Text);
  FEdtChat->clear();
}

void TLobbyScreen::lbVexilSubjectsClick() {
  FJoinGame->hide();
  FJoinChat->hide();
  const QListWidgetItem* Item = FSubjects->currentItem();
  if (!Item) return;
  const TRoomChoice Choice = RoomChoice(FromQString(Item->text()), FMain.FVexil->CurrentSubject());
  FJoinGame->setVisible(Choice.JoinGame);
  FJoinChat->setVisible(Choice.JoinChat);
  if (!Choice.Message.empty()) SetServerMessage(Choice.Message, NoticeGreen);
}

void TLobbyScreen::lbVexilSubjectsDblClick() {
  FMain.FSoloSetup = false;
  const QListWidgetItem* Item = FSubjects->currentItem();
  if (!Item) return;
  const std::string Room = FromQString(Item->text());
  const std::string Scenario = RoomScenarioFile(Room);
  const bool ScenarioThere = !Scenario.empty() && QFileInfo(ToQString(Scenario)).isFile();
  if (const auto Refusal = JoinRefusal(Room, OwnUserId(), ScenarioThere)) return Prompter().ShowMessage(*Refusal);
  if (RoomKindOf(Room) == rkNewGame) FMain.FEngine->SetScenarioFile(Scenario);
  FMain.FVexil->JoinSubject(Room);
}

void TLobbyScreen::btnVexilNewChatClick() {
  const std::optional<std::string> Name = Prompter().InputText("New Chat Room", "Enter a Name for this Room:", "");
  if (!Name || Name->empty()) return;
  // A chat room named like a game room would be taken for one.
  if (const auto Refusal = DelimiterRefusal(*Name, "Room name")) return Prompter().ShowMessage(*Refusal);
  FMain.FVexil->CreateChatSubject(*Name);
}

void TLobbyScreen::btnVexilNewGameClick() {
  FMain.FSoloSetup = false;
  FOnlineOptions->show();
  FSoloOptions->hide();
  FMain.ShowSetupPanel();
}

void TLobbyScreen::CreateNewGameRoom(const std::string& GameName) {
  if (GameName.empty()) return;
  if (const auto Refusal = DelimiterRefusal(GameName, "Game name")) return Prompter().ShowMessage(*Refusal);
  const std::string Scenario = FromQString(QFileInfo(ToQString(FMain.FEngine->GetScenarioFile())).fileName());
  const int Players = FPlayers->value();
  // This machine makes the room and so hosts its game: only the host starts a new game.
  const std::string Room = NewGameRoomName(GameName, Scenario);
  FMain.FSession->MadeRoom(Room, false);
  FMain.FVexil->CreateSubject(Room, Players);
  FMain.ShowScreen(FMain.FLobby);
}

void TLobbyScreen::btnVexilOpenGameClick() {
  FMain.FSoloSetup = false;
  if (!FMain.LoadGameFile()) return;
  if (FMain.FEngine->IsSoloGame()) return Prompter().ShowMessage(SoloInNetworkMessage);
  if (!ClaimSavedGameNations()) return;
  const std::string Base = FromQString(QFileInfo(ToQString(FMain.FSavedGameFile)).fileName());
  const std::string Shown = Base.substr(0, Base.find('.'));
  if (const auto Refusal = DelimiterRefusal(Shown, "saved game's file name")) return Prompter().ShowMessage(*Refusal);
  const std::vector<std::string> Players = RestoredGamePlayers(*FMain.FEngine);
  const std::string Room = RestoredGameRoomName(Shown, Players);
  FMain.FSession->MadeRoom(Room, true);
  FMain.FVexil->CreateSubject(Room, static_cast<int>(Players.size()));
}

void TLobbyScreen::lbVexilUsersClick() {
  const QListWidgetItem* Item = FUsersList->currentItem();
  if (!Item) return;
  const TVexilUserPtr User = FMain.FVexil->FindUser(FromQString(Item->text()));
  if (!User) return;
  FUserInfo->SetCaption(ToQString(LatencyText(User->AveragePing())));
  FUserInfo->show();
}

void TLobbyScreen::lbVexilUsersDblClick() {
  const QListWidgetItem* Item = FUsersList->currentItem();
  if (!Item) return;
  FMain.FLobbyLogin->Presence().Fire(TLobbyEvent::leUserInfoAsked);
  FMain.FVexil->RequestUserInfo(FromQString(Item->text()));
}

void TLobbyScreen::vexilUserInfo(const TVexilUserPtr& User) {
  // The answer is taken before the dialog runs its own loop: another answer that comes while
  // it is open opens no second dialog.
  if (!FMain.FLobbyLogin->Presence().Fire(TLobbyEvent::leUserInfoAnswered)) return;
  ShowUserInfo(*User, User->UserId() == OwnUserId());
  FSubjects->viewport()->update();
  FUsersList->viewport()->update();
}

void TLobbyScreen::ShowUserInfo(TVexilUser& User, bool Editable) {
  if (!FMain.FLobbyLogin->dlgUserInfo().Execute(User, Editable) || !Editable) return;
  if (const TVexilUserPtr& Own = FMain.FVexil->OwnUser()) *Own = User;
  FMain.FVexil->UpdateUser();
}

void TLobbyScreen::lbVexilSubjectsCustomDraw(QPainter& Canvas, int Index, const QRect& Rect) {
  const std::string Room = FromQString(FSubjects->item(Index)->text());
  const bool Game = RoomKindOf(Room) != rkChat;
  const QPixmap& Glyph = (Game ? FNewGame : FNewChat)->Glyph();
  Canvas.drawPixmap(Rect.left() + 2, Rect.top() + (Rect.height() - Glyph.height()) / 2, Glyph);
  Canvas.setPen(QColor(0, 255, 0));
  Canvas.drawText(QRect(Rect.left() + 36, Rect.top() + 4, Rect.width() - 38, Rect.height() - 4), Qt::AlignLeft | Qt::AlignTop,
                  ToQString(RoomDisplayName(Room)));
}

void TLobbyScreen::lbVexilUsersCustomDraw(QPainter& Canvas, int Index, const QRect& Rect) {
  const TVexilUserPtr User = FMain.FVexil->FindUser(FromQString(FUsersList->item(Index)->text()));
  if (!User) return;
  const QPixmap Glyph = QPixmap::fromImage(ImageFromGlyph(User->Glyph()));
  if (!Glyph.isNull()) Canvas.drawPixmap(Rect.left() + 2, Rect.top() + 4, Glyph);
  const std::string Text =
      UserListText(User->UserId(), User->InfoByName(LobbyScoreInfo), User->InfoByName(LobbyRankInfo));
  Canvas.setFont(GameFont("Arial", 10, true));
  Canvas.setPen(QColor(0, 255, 0));
  Canvas.drawText(QRect(Rect.left() + 36, Rect.top() + 4, Rect.width() - 38, Rect.height() - 4), Qt::AlignLeft | Qt::AlignTop,
                  ToQString(Text));
  Canvas.setFont(GameFont("Arial", 12, true));
}

// --- An online game from its room ---

bool TLobbyScreen::Hosting() const { return FMain.FSession->GetHosting(); }

bool TLobbyScreen::RestoringSavedGame() const { return FMain.FSession->GetRestoring(); }

void TLobbyScreen::vexilBeginSubject() {
  FMain.FClock->SetConnection(FMain.FVexilImpulses.get());
  FMain.FSoloSetup = false;
  const std::string Host = FMain.FVexil->UserCount() > 0 ? FMain.FVexil->Users(0)->UserId() : "";
  // A guest now waits for the host's player list or saved game.
  if (FMain.FSession->RoomBegun(Host) != ssStarting) return;
  if (FMain.FSession->GetRestoring()) {
    TGameSetUp SetUp;
    SetUp.Mode = smHost;
    SetUp.NewGame = false;
    SetUp.OwnPlayer = OwnUserId();
    if (!FMain.StartGame(SetUp)) return;
    FMain.FVexil->SendData("SAVED|" + FMain.FEngine->SaveToString());
    return;
  }
  const std::string Scenario = RoomScenarioFile(FMain.FVexil->CurrentSubject());
  FMain.FEngine->SetScenarioFile(FromQString(QFileInfo(ToQString(Scenario)).fileName()));
  TfrmAssignPlayers* Assign = FMain.FForms ? &FMain.FForms->AssignPlayers() : nullptr;
  if (!Assign) return;
  std::vector<std::string> Users;
  for (int I = 0; I < FMain.FVexil->UserCount(); ++I) Users.push_back(FMain.FVexil->Users(I)->UserId());
  Assign->Fill(*FMain.FEngine, Users);
  Assign->OnChat = [this](const std::string& Text) {
    FEdtChat->setText(ToQString(Text));
    edtChatKeyUp();
  };
  if (Assign->exec() != mrOk) {
    // No game starts with powers given to nobody: the host leaves, and the others go back.
    FMain.FSession->StopHosting();
    FMain.FSession->Fire(seStartFailed);
    FMain.FVexil->JoinSubject(LobbyChatRoom);
    FMain.ShowScreen(FMain.FLobby);
    return;
  }
  const std::string List = Assign->PlayerList();
  if (!StartAssignedGame(List)) return;
  FMain.FVexil->SendData("BRMPLAYERS|" + List);
}

bool TLobbyScreen::StartAssignedGame(const std::string& List) {
  std::string Error;
  const auto Powers = ParsePlayerList(List, FMain.FEngine->GetMajorCount(), &Error);
  if (!Powers) {
    FMain.FSession->Fire(seStartFailed);
    Prompter().ShowMessage("The players of this Game cannot be read: " + Error);
    return false;
  }
  TGameSetUp SetUp;
  SetUp.Mode = FMain.FSession->GetHosting() ? smHost : smGuest;
  SetUp.Powers = *Powers;
  SetUp.OwnPlayer = OwnUserId();
  return FMain.StartGame(SetUp);
}

bool TLobbyScreen::ClaimSavedGameNations() {
  const std::vector<TNation*> Mine = ClaimedNations(*FMain.FEngine, OwnUserId());
  for (int I = 0; I < FMain.FEngine->GetNationCount(); ++I) {
    TNation* Nation = FMain.FEngine->GetNation(I);
    if (Nation->GetMajorPower()) Nation->SetLocalPlayer(std::find(Mine.begin(), Mine.end(), Nation) != Mine.end());
  }
  if (Mine.empty()) Prompter().ShowMessage(NotInThisGameMessage);
  return !Mine.empty();
}

void TLobbyScreen::WireSessionEvents() {
  TGameSession& S = *FMain.FSession;
  S.OnPlayers = [this](const std::string&, const std::string& List) { StartAssignedGame(List); };
  S.OnSaved = [this](const std::string&, const std::string& Text) {
    TGameSetUp SetUp;
    SetUp.Mode = smGuest;
    SetUp.NewGame = false;
    SetUp.OwnPlayer = OwnUserId();
    if (!FMain.LoadGameText(Text)) {
      FMain.FSession->Fire(seStartFailed);
      return;
    }
    FMain.StartGame(SetUp);
  };
  S.OnChat = [this](const std::string&, const TChatLine& Chat) {
    if (!FMain.FCurrentNation) return;
    TfrmComms* Comms = FMain.FForms ? &FMain.FForms->Comms() : nullptr;
    if (!Comms) return;
    const auto Shown = ChatDelivery(Chat.Channel, Chat.Nation->IsAlliedWith(FMain.FCurrentNation),
                                    Chat.Nation->IsAtWarWith(FMain.FCurrentNation),
                                    [&] { return CanDecodeEnemyChat(*Chat.Nation); });
    if (!Shown) return;
    const std::string Line = Chat.Nation->GetName() + ": " + Chat.Text;
    Comms->AddLine(Shown->Page, Shown->Decoded ? "[Decoded] " + Line : Line);
  };
  S.OnRefused = [](const std::string& Sender, const std::string& Line, TDataRefusal Why) {
    qCInfo(DataLog, "a data message from %.30s refused (%s): %.80s", Sender.c_str(),
             std::string(DataRefusalText(Why)).c_str(), Line.c_str());
  };
}

void TLobbyScreen::vexilDataReceived(const std::string& Text, const std::string& Sender) {
  FMain.FSession->Receive(Text, Sender);
}

bool TLobbyScreen::CanDecodeEnemyChat(const TNation& Sender) const {
  if (!FMain.FCurrentNation) return false;
  return ::CanDecodeEnemyChat(FMain.FCurrentNation->GetResearchLevel(CodeBreakingGroup),
                              Sender.GetResearchLevel(CodeBreakingGroup), EffectsRandom().Random(100));
}

void TLobbyScreen::SendGameResult() {
  if (!FMain.FSession->GetHosting() || !FMain.FVexil->LoggedIn()) return;
  const std::vector<TPowerResult> Powers = PowerResults(*FMain.FEngine);
  const TVictoryState State = VictoryStateOf(*FMain.FEngine);
  const std::string Scenario = FromQString(QFileInfo(ToQString(FMain.FEngine->GetScenarioFile())).fileName());
  if (const auto Log =
          GameLogText(Scenario, Powers, State.WinnerAlliance, State.WinnerNation, FMain.FEngine->GetAllianceCount()))
    FMain.FVexil->SendCustom(LobbyGameResultMessage, *Log);
  if (Scenario == "Standard.brmscen") FMain.FVexil->SendCustom(LobbyGameScoreMessage, ScoreText(Powers));
}

// --- The hall of fame and the server's messages ---

void TLobbyScreen::btnScheduleClick() {
  FMain.FVexil->SendCustom(LobbyHallOfFameMessage, "");
  FMain.ShowScreen(FMain.FHallOfFame);
  FFlags->SetPicture(QPixmap(QDir::current().filePath("StandardFlags.bmp")));
  FFlags->SetNumCellsX(48);
  FFlags->SetNumCellsY(1);
  FHallOfFameList->viewport()->update();
}

void TLobbyScreen::btnReturnClick() { FMain.ShowScreen(FMain.FLobby); }

void TLobbyScreen::btnSubmitScheduleClick() {
  const std::optional<std::string> Times =
      Prompter().InputText("Submit Schedule", "When do you usually log into VexilServer?", "");
  if (!Times || Times->empty()) return;
  if (const auto Refusal = DelimiterRefusal(*Times, "Schedule")) return Prompter().ShowMessage(*Refusal);
  FMain.FVexil->SendCustom(LobbyScheduleMessage, *Times);
}

void TLobbyScreen::vexilCustomMessage(const std::string& Type, const std::string& Text) {
  if (Type == LobbyVersionMessage) {
    if (const std::string Notice = VersionNotice(Text, MakerWebAddress); !Notice.empty()) Prompter().ShowMessage(Notice);
    return;
  }
  if (Type != LobbyHallOfFameMessage) return;
  const THallOfFame Hall = ParseHallOfFame(Text);
  FHallOfFameList->clear();
  for (const std::string& Line : Hall.Lines) FHallOfFameList->addItem(ToQString(Line));
  FGameLog->clear();
  for (const TGameLogRecord& R : Hall.GameLog)
    FGameLog->insertTopLevelItem(0, new QTreeWidgetItem({ToQString(R.Date), ToQString(R.Scenario), ToQString(R.Winner),
                                                    ToQString(R.Victors), ToQString(R.Defeated)}));
  FSchedule->clear();
  for (const TScheduleRecord& R : Hall.Schedule)
    FSchedule->insertTopLevelItem(0, new QTreeWidgetItem({ToQString(R.Player), ToQString(R.Times)}));
}

void TLobbyScreen::lbHallOfFameCustomDraw(QPainter& Canvas, int Index, const QRect& Rect) {
  const THallOfFameLine Line = ReadHallOfFameLine(FromQString(FHallOfFameList->item(Index)->text()));
  if (Line.Heading) {
    if (const QPixmap* Flag = FFlags->GetCell(Line.Slot, 0))
      Canvas.drawPixmap(QRect(Rect.left() + 2, Rect.top() + 1, 30, Rect.height() - 2), *Flag);
    Canvas.setFont(GameFont("Arial", 12, true));
    Canvas.setPen(Qt::black);
    Canvas.drawText(QRect(Rect.left() + 35, Rect.top(), Rect.width() - 35, Rect.height()), Qt::AlignVCenter,
                    ToQString(HallOfFameNation(Line.Slot)));
    return;
  }
  Canvas.setFont(GameFont("Arial", 11));
  Canvas.setPen(ColorOfValue(16384));
  Canvas.drawText(QRect(Rect.left() + 8, Rect.top(), Rect.width() - 8, Rect.height()), Qt::AlignVCenter,
                  ToQString(FormatThousands(Line.Entry.Score) + ": " + Line.Entry.Name + " (" + Line.Entry.Third + ")"));
}
