#pragma once
// The main window's side of online play once logged in: the lobby screen with its rooms, users,
// chat and server messages; new game, restored game and chat rooms; joining with the scenario
// and version checks; the start of an online game when its room begins (the host's player
// assignments or saved game); the game data messages and the in-game chat; players who drop;
// the hall-of-fame screen and the server's custom messages.
#include <QRect>
#include <cstdint>
#include <memory>
#include <string>

class QLineEdit;
class QPainter;
class QPlainTextEdit;
class QSpinBox;
class QTreeWidget;
class QWidget;
class TCellImage;
class TColorButton;
class TElasticPanel;
class TfrmComms;
class TfrmMain;
class TGraphicPanel;
class TNation;
class TOwnerDrawListBox;
class TVexilUser;

class TLobbyScreen {
public:
  // Main: the window whose connection, engine, clock and session online play uses. Takes the
  // connection's lobby events and the session's data messages.
  explicit TLobbyScreen(TfrmMain& Main);
  TLobbyScreen(const TLobbyScreen&) = delete;
  TLobbyScreen& operator=(const TLobbyScreen&) = delete;

  // The lobby's and the hall of fame's controls on their screens (made after the set-up screen
  // and the artwork, whose online options and flags they use).
  void CreateLobby(TElasticPanel& Lobby);
  void CreateHallOfFame(TElasticPanel& Hall);
  // The in-game chat speaks for the current nation over the lobby connection.
  void ConnectCommsWindow(TfrmComms& Comms);

  // The rooms and the users emptied (a connection made or lost); the rooms alone (the player
  // left the lobby).
  void ClearLists();
  void ClearRooms();
  // The chat line takes the keyboard (the lobby just came to the front).
  void FocusChat();
  // The buzzer switch is down: the lobby buzzes while players wait in a room.
  bool BuzzerOn() const;

  // The room this machine created: the host starts its game when it begins.
  bool Hosting() const;
  bool RestoringSavedGame() const;
  // The own lobby identifier ("" before the log-in).
  std::string OwnUserId() const;

  // --- Rooms, users and chat ---
  void vexilAddSubject(const std::string& Room);
  void vexilRemoveSubject(const std::string& Room);
  void vexilAddUser(const std::shared_ptr<TVexilUser>& User);
  void vexilRemoveUser(const std::shared_ptr<TVexilUser>& User);
  void vexilJoinSubject(const std::string& Room);
  void vexilChatReceived(const std::string& Text, const std::string& Sender);
  void vexilShout(const std::string& Text);
  void vexilServerError(const std::string& Text);
  // Enter in the chat edit: the line to the room.
  void edtChatKeyUp();
  void lbVexilSubjectsClick();
  // Joins the chosen room after the scenario and version checks (also both join buttons).
  void lbVexilSubjectsDblClick();
  void btnVexilNewChatClick();
  void btnVexilNewGameClick();
  void btnVexilOpenGameClick();
  void lbVexilUsersClick();
  void lbVexilUsersDblClick();
  void vexilUserInfo(const std::shared_ptr<TVexilUser>& User);
  // The user information dialog for User (editable for the own record); a confirmed edit of
  // the own record goes to the server.
  void ShowUserInfo(TVexilUser& User, bool Editable);

  // --- An online game from its room ---
  // The online options of the set-up screen asked for a game name: the new game's room.
  void CreateNewGameRoom(const std::string& GameName);
  void vexilBeginSubject();
  // The game of a player list ("#COMP#" or a player's name for each major power in nation
  // order) started on this machine: false, with the refusal said, when it does not read.
  bool StartAssignedGame(const std::string& List);
  // The powers of the loaded game played here: false, said, when this player has none.
  bool ClaimSavedGameNations();
  void vexilDataReceived(const std::string& Text, const std::string& Sender);
  bool CanDecodeEnemyChat(const TNation& Sender) const;
  // A victory hosted here goes to the server's game log and, in the Standard scenario, its
  // hall of fame.
  void SendGameResult();

  // --- The hall of fame and the server's messages ---
  void btnScheduleClick();
  void btnReturnClick();
  void btnSubmitScheduleClick();
  void vexilCustomMessage(const std::string& Type, const std::string& Text);

private:
  void WireLobbyEvents();
  void WireSessionEvents();
  void UpdateSubjectCaption();
  void SetServerMessage(const std::string& Text, std::uint32_t Color);
  void lbVexilSubjectsCustomDraw(QPainter& Canvas, int Index, const QRect& Rect);
  void lbVexilUsersCustomDraw(QPainter& Canvas, int Index, const QRect& Rect);
  void lbHallOfFameCustomDraw(QPainter& Canvas, int Index, const QRect& Rect);

  TfrmMain& FMain;
  // The lobby screen.
  TGraphicPanel* FSubjectName = nullptr;
  TOwnerDrawListBox* FSubjects = nullptr;
  TOwnerDrawListBox* FUsersList = nullptr;
  TGraphicPanel* FUserInfo = nullptr;
  QPlainTextEdit* FMemoChat = nullptr;
  QLineEdit* FEdtChat = nullptr;
  TGraphicPanel* FServerMessage = nullptr;
  TColorButton* FNewGame = nullptr;
  TColorButton* FNewChat = nullptr;
  TColorButton* FJoinGame = nullptr;
  TColorButton* FJoinChat = nullptr;
  TColorButton* FBuzzer = nullptr;
  // The set-up screen's online and solo options and its number of players.
  QWidget* FOnlineOptions = nullptr;
  QWidget* FSoloOptions = nullptr;
  QSpinBox* FPlayers = nullptr;
  // The hall-of-fame screen and the nations' flags it draws.
  TOwnerDrawListBox* FHallOfFameList = nullptr;
  QTreeWidget* FGameLog = nullptr;
  QTreeWidget* FSchedule = nullptr;
  TCellImage* FFlags = nullptr;
};
