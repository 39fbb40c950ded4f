#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUtils.h"

namespace {

// A socket that takes at most WriteLimit bytes per write and keeps what it took.
class TFakeTransport : public TLobbyTransport {
public:
  void Connect(const std::string& H, bool IsAddress, int P) override {
    Host = H;
    HostIsAddress = IsAddress;
    Port = P;
    ++Connects;
  }
  std::int64_t Write(std::string_view Bytes) override {
    if (FailWrites) return -1;
    const std::size_t N = std::min(Bytes.size(), WriteLimit);
    Sent.append(Bytes.substr(0, N));
    return static_cast<std::int64_t>(N);
  }
  bool Connected() const override { return IsConnected; }
  void Close() override {
    IsConnected = false;
    ++Closes;
  }

  void Accept() {
    IsConnected = true;
    OnConnected(this);
  }
  void Receive(std::string_view Bytes) { OnBytesReceived(this, Bytes); }
  void DropByServer() {
    IsConnected = false;
    OnDisconnected(this);
  }
  // The plain lines sent so far (framing undone), and forget them.
  std::vector<std::string> TakeLines() {
    std::vector<std::string> Lines;
    std::size_t Start = 0, End;
    while ((End = Sent.find('\n', Start)) != std::string::npos) {
      Lines.push_back(UnescapeLine(std::string_view(Sent).substr(Start, End - Start)).value());
      Start = End + 1;
    }
    Sent.erase(0, Start);
    return Lines;
  }

  std::string Host, Sent;
  bool HostIsAddress = false;
  int Port = 0, Connects = 0, Closes = 0;
  bool IsConnected = false, FailWrites = false;
  std::size_t WriteLimit = SIZE_MAX;
};

const char* kBob = "bob^^^^^^^^^01/01/2000^01/01/2000^2^^0`0`^^";
const char* kAnn = "ann^^^^^^^^^01/01/2000^01/01/2000^1^BRMScore=7`^0`0`^^";

// A connection whose every event writes one line of text into Log.
struct TLoggedConnection {
  TFakeTransport* T = nullptr;
  std::unique_ptr<TVexilConnection> C;
  std::vector<std::string> Log;

  TLoggedConnection() {
    auto Transport = std::make_unique<TFakeTransport>();
    T = Transport.get();
    C = std::make_unique<TVexilConnection>(std::move(Transport));
    C->SetSubjectCode("Brenmoor");
    auto Say = [this](std::string S) { Log.push_back(std::move(S)); };
    C->OnConnected = [Say](auto*) { Say("connected"); };
    C->OnDisconnected = [Say](auto*) { Say("disconnected"); };
    C->OnBeginSubject = [Say](auto*) { Say("begin"); };
    C->OnLoginSuccess = [Say](auto*, const TVexilUserPtr& U) { Say("login " + U->UserId()); };
    C->OnAddUser = [Say](auto*, const TVexilUserPtr& U) { Say("adduser " + U->UserId()); };
    C->OnRemoveUser = [Say](auto*, const TVexilUserPtr& U) { Say("removeuser " + U->UserId()); };
    C->OnUserInfo = [Say](auto*, const TVexilUserPtr& U) { Say("userinfo " + U->City()); };
    C->OnLoginFailed = [Say](auto*, const std::string& S) { Say("loginfailed " + S); };
    C->OnAddSubject = [Say](auto*, const std::string& S) { Say("addsubject " + S); };
    C->OnRemoveSubject = [Say](auto*, const std::string& S) { Say("removesubject " + S); };
    C->OnJoinSubject = [Say](auto*, const std::string& S) { Say("join " + S); };
    C->OnServerError = [Say](auto*, const std::string& S) { Say("error " + S); };
    C->OnShout = [Say](auto*, const std::string& S) { Say("shout " + S); };
    C->OnChatReceived = [Say](auto*, const std::string& S, const std::string& F) {
      Say("chat " + F + ": " + S);
    };
    C->OnDataReceived = [Say](auto*, const std::string& S, const std::string& F) {
      Say("data " + F + ": " + S);
    };
    C->OnCustomMessage = [Say](auto*, const std::string& Type, const std::string& S) {
      Say("custom " + Type + ": " + S);
    };
    C->OnServerStatus = [Say](auto*, const TVexilServerStats& S) {
      Say("stats " + std::to_string(S.TotalConnections()));
    };
  }
  void Open() {
    C->SetActive(true);
    T->Accept();
    Log.clear();
  }
  void LogIn() {
    Open();
    T->Receive(std::string("LOGIN|SUCCESS|") + kBob + "\n");
    Log.clear();
  }
};

struct TParseCase {
  std::string Lines;     // what the server sends, line feeds included
  std::vector<std::string> Events;
};

}  // namespace

TEST(VexilConnection, ParsesEveryCommandFedWholeBytewiseAndTwoLinesAChunk) {
  const std::string JoinBobAnn = std::string("JOINSUBJECT|Lobby Chat|") + kBob + "|" + kAnn + "\n";
  const TParseCase Cases[] = {
      {"LOGIN|FAIL|Bad password|try again\n", {"loginfailed Bad password|try again"}},
      {"SEND|ann|DATA|ORDERS|3|1;5;~\n", {"data ann: ORDERS|3|1;5;~"}},
      {"SEND|ann|CHAT|hello | there\n", {"chat ann: hello | there"}},
      {"SEND|ann|OTHER|x\n", {}},
      {"ADDSUBJECT|Lobby Chat\n", {"addsubject Lobby Chat"}},
      {"SUBJECTS|Lobby Chat|~War;Standard.brmscen;4\n",
       {"addsubject Lobby Chat", "addsubject ~War;Standard.brmscen;4"}},
      {"REMOVESUBJECT|gone\n", {"removesubject gone"}},
      {JoinBobAnn, {"join Lobby Chat", "adduser bob", "adduser ann"}},
      {JoinBobAnn + "REMOVEGUEST|ann\nREMOVEGUEST|nobody\n",
       {"join Lobby Chat", "adduser bob", "adduser ann", "removeuser ann"}},
      {std::string("ADDGUEST|x|") + kAnn + "\n", {"adduser ann"}},
      {"BEGINSUBJECT\n", {"begin"}},
      {"SERVERSTATS|5`1`77`0`0`1`10`20`\n", {"stats 77"}},
      {"SERVERSTATS|5`1`x`0`0`1`10`20`\n", {}},  // dropped
      {"SHOUT|Server going down\n", {"shout Server going down"}},
      {"ERROR|No such room|really\n", {"error No such room|really"}},
      {"CUSTOM|BRMVERSION|4|2\n", {"custom BRMVERSION: 4|2"}},
      {"NONSENSE|1|2\n\n|\nlogin|fail|x\n", {}},  // unknown and lower-case commands are ignored
      {"LOGIN\n", {"loginfailed "}},
      {JoinBobAnn + std::string("USERINFO|") + "ann^^^^Paris^^^^^01/01/2000^01/01/2000^1^^0`0`^^\n" +
           "USERINFO|zed^^^^Rome^^^^^01/01/2000^01/01/2000^1^^0`0`^^\n",
       {"join Lobby Chat", "adduser bob", "adduser ann", "userinfo Paris"}},
      {"JOINSUBJECT|Room|" + std::string(kBob) + "|broken^^^^^^^^^1/1/2000^1/1/2000^x^^^^\n" +
           "ADDGUEST|x|broken^^^^^^^^^1/1/2000^1/1/2000^x^^^^\n",
       {}},  // an unreadable record drops its whole line
  };
  for (const TParseCase& Case : Cases) {
    const std::string& S = Case.Lines;
    std::vector<std::vector<std::string>> Chunkings;
    Chunkings.push_back({S});
    std::vector<std::string> Bytes;
    for (char Ch : S) Bytes.emplace_back(1, Ch);
    Chunkings.push_back(Bytes);
    // Two lines per chunk: cut after every second line feed.
    std::vector<std::string> Pairs{""};
    int Feeds = 0;
    for (char Ch : S) {
      Pairs.back() += Ch;
      if (Ch == '\n' && ++Feeds % 2 == 0) Pairs.emplace_back();
    }
    Chunkings.push_back(Pairs);
    for (std::size_t K = 0; K < Chunkings.size(); ++K) {
      TLoggedConnection L;
      L.LogIn();
      for (const std::string& Chunk : Chunkings[K]) L.T->Receive(Chunk);
      EXPECT_EQ(L.Log, Case.Events) << S << " chunking " << K;
    }
  }
}

TEST(VexilConnection, LoginSetsTheOwnUserAndABadRecordIsAFailedLogin) {
  TLoggedConnection L;
  L.Open();
  L.T->Receive("LOGIN|SUCCESS|bob^^^^^^^^^01/01/2000^01/01/2000^nine^^0`0`^^\n");
  EXPECT_FALSE(L.C->LoggedIn());
  EXPECT_EQ(L.C->OwnUser(), nullptr);
  ASSERT_EQ(L.Log.size(), 1u);
  EXPECT_EQ(L.Log[0].rfind("loginfailed ", 0), 0u);
  L.T->Receive(std::string("LOGIN|SUCCESS|") + kBob + "\n");
  EXPECT_TRUE(L.C->LoggedIn());
  EXPECT_EQ(L.C->OwnUser()->UserId(), "bob");
}

TEST(VexilConnection, JoinGivesTheListTheOwnUserObject) {
  TLoggedConnection L;
  L.LogIn();
  L.T->Receive(std::string("JOINSUBJECT|Lobby Chat|") + kAnn + "|" + kBob + "\n");
  EXPECT_EQ(L.C->CurrentSubject(), "Lobby Chat");
  ASSERT_EQ(L.C->UserCount(), 2);
  EXPECT_EQ(L.C->Users(1), L.C->OwnUser());
  EXPECT_EQ(L.C->FindUser("ann")->InfoByName("BRMScore"), "7");
  EXPECT_EQ(L.C->FindUser("zed"), nullptr);
}

TEST(VexilConnection, RemovedUsersLiveWhileSomethingHoldsThem) {
  TLoggedConnection L;
  L.LogIn();
  L.T->Receive(std::string("JOINSUBJECT|Room|") + kBob + "|" + kAnn + "\n");
  TVexilUserPtr Held = L.C->FindUser("ann");  // as the window's user list holds it
  TVexilUserPtr Own = L.C->OwnUser();
  L.T->Receive("REMOVEGUEST|ann\nREMOVEGUEST|bob\n");
  EXPECT_EQ(L.C->UserCount(), 0);
  EXPECT_EQ(Held->UserId(), "ann");
  EXPECT_EQ(L.C->OwnUser()->UserId(), "bob");
  L.T->Receive(std::string("JOINSUBJECT|Room|") + kAnn + "\n");
  L.T->DropByServer();
  EXPECT_EQ(Held->InfoByName("BRMScore"), "7");
  EXPECT_EQ(Own->UserId(), "bob");
}

TEST(VexilConnection, PingAnswersFirstAndAddsSamplesOfListedUsers) {
  TLoggedConnection L;
  L.LogIn();
  L.T->Receive(std::string("JOINSUBJECT|Room|") + kBob + "|" + kAnn + "\n");
  L.T->TakeLines();
  L.T->Receive("PING|ann|40|zed|10|bob|20\nPING|ann|x|bob|30\n");
  EXPECT_EQ(L.T->TakeLines(), (std::vector<std::string>{"PING|", "PING|"}));
  EXPECT_EQ(L.C->FindUser("ann")->AveragePing(), 40);
  EXPECT_EQ(L.C->FindUser("bob")->AveragePing(), 20);  // the bad pair stopped its line
}

TEST(VexilConnection, OutgoingLinesAndTheirConditions) {
  TLoggedConnection L;
  L.C->SendChat("nobody hears this");
  EXPECT_EQ(L.C->QueuedLines(), 0u);
  L.C->SetHost("10.1.2.3");
  L.C->SetPort(4000);
  L.Open();
  EXPECT_TRUE(L.T->HostIsAddress);
  L.C->SetPort(5000);  // ignored while active
  EXPECT_EQ(L.C->Port(), 4000);
  L.C->Login("bob", "secret");
  L.C->LoginNew("ann", "rec");
  L.C->CreateSubject("~War;Standard.brmscen;4", 3);
  L.C->CreateChatSubject("Talk");
  L.C->JoinSubject("Talk");
  L.C->RequestServerStats();
  L.C->RequestUserInfo("ann");
  L.C->SendChat("hi");
  L.C->SendData("ORDERS|1|");
  L.C->SendCustom("BRMHOF", "");
  L.C->UpdateUser();  // not logged in: nothing
  EXPECT_EQ(L.T->TakeLines(),
            (std::vector<std::string>{"LOGIN|bob|Brenmoor|secret", "LOGINNEW|ann|Brenmoor|rec",
                                      "CREATESUBJECT|~War;Standard.brmscen;4|3|",
                                      "CREATESUBJECT|Talk|0|", "JOINSUBJECT|Talk",
                                      "SERVERSTATS|", "USERINFO|ann|", "SEND|CHAT|hi",
                                      "SEND|DATA|ORDERS|1|", "CUSTOM|BRMHOF|"}));
  L.T->Receive("LOGIN|SUCCESS|" + std::string(kBob) + "\nJOINSUBJECT|Talk\n");
  L.C->JoinSubject("Talk");  // the current subject: nothing
  L.C->UpdateUser();
  EXPECT_EQ(L.T->TakeLines(),
            (std::vector<std::string>{"USERUPDATE|bob|" + std::string(kBob) + "|"}));
}

TEST(VexilConnection, ShortWritesKeepTheRestOfTheLineFirst) {
  TLoggedConnection L;
  L.Open();
  L.T->WriteLimit = 3;
  L.C->SendChat("first line");
  L.C->SendChat("second");
  EXPECT_EQ(L.T->Sent, "SEND|C");  // the rest of the first line goes before the second
  while (L.C->QueuedLines() > 0) L.T->OnReadyWrite(L.T);
  EXPECT_EQ(L.T->TakeLines(), (std::vector<std::string>{"SEND|CHAT|first line", "SEND|CHAT|second"}));
  L.T->WriteLimit = SIZE_MAX;
  L.T->FailWrites = true;
  L.C->SendChat("later");
  EXPECT_EQ(L.C->QueuedLines(), 1u);
  L.T->FailWrites = false;
  L.C->SetActive(false);  // flushed before the close
  EXPECT_EQ(L.T->TakeLines(), (std::vector<std::string>{"SEND|CHAT|later"}));
}

TEST(VexilConnection, ScrambledLinesOfAnyByteSurviveTheFraming) {
  TStringEncryptor Scrambler("MorqTeln");
  TLoggedConnection Sender, Receiver;
  for (TLoggedConnection* L : {&Sender, &Receiver}) {
    L->C->OnEncryptString = [&](auto*, std::string& S) { Scrambler.EncryptString(S); };
    L->C->OnDecryptString = [&](auto*, std::string& S) { Scrambler.DecryptString(S); };
  }
  Sender.Open();
  Receiver.Open();
  std::string All;  // every byte value at every position of the key
  for (int C = 0; C < 256; ++C) All += std::string(8, static_cast<char>(C));
  std::string Line = "SEND|ann|DATA|" + All + All;
  std::string Wire = Line;
  Scrambler.EncryptString(Wire);
  ASSERT_NE(Wire.find('\n'), std::string::npos);  // the fault the framing mends
  Sender.C->SendLine(Line);
  EXPECT_EQ(std::count(Sender.T->Sent.begin(), Sender.T->Sent.end(), '\n'), 1);
  Receiver.T->Receive(Sender.T->Sent);
  ASSERT_EQ(Receiver.Log.size(), 1u);
  EXPECT_EQ(Receiver.Log[0], "data ann: " + All + All);

  Sender.T->Sent.clear();
  Sender.C->SendChat("plain text");
  std::string Plain = "SEND|CHAT|plain text";
  Scrambler.EncryptString(Plain);
  EXPECT_EQ(Sender.T->Sent, Plain + "\n");  // ASCII lines are unchanged on the wire
}

TEST(VexilConnection, AHandlerThatClosesStopsTheRestOfTheChunk) {
  TLoggedConnection L;
  L.Open();
  L.C->OnShout = [&](auto*, const std::string& S) {
    L.Log.push_back("shout " + S);
    L.C->SetActive(false);
  };
  L.T->Receive("SHOUT|bye\nSHOUT|never\nERROR|never\n");
  EXPECT_EQ(L.Log, (std::vector<std::string>{"shout bye"}));  // closed by us: no OnDisconnected
  EXPECT_FALSE(L.C->Active());
  L.T->Receive("SHOUT|stale\n");
  EXPECT_EQ(L.Log.size(), 1u);
}

TEST(VexilConnection, NestedReadsInsideAHandlerKeepTheOrder) {
  TLoggedConnection L;
  L.Open();
  bool Pumped = false;
  L.C->OnShout = [&](auto*, const std::string& S) {
    L.Log.push_back("shout " + S);
    if (!Pumped) {  // as a modal window pumping messages would: more bytes arrive inside
      Pumped = true;
      L.T->Receive("SHOUT|three\nSHO");
    }
  };
  L.T->Receive("SHOUT|one\nSHOUT|two\n");
  L.T->Receive("UT|four\n");
  EXPECT_EQ(L.Log, (std::vector<std::string>{"shout one", "shout two", "shout three", "shout four"}));
}

TEST(VexilConnection, LifecycleOfConnectAndClose) {
  TLoggedConnection L;
  L.C->SetActive(true);
  EXPECT_FALSE(L.C->Active());
  EXPECT_EQ(L.T->Host, "localhost");
  EXPECT_FALSE(L.T->HostIsAddress);
  L.C->SetActive(true);  // still connecting: no second attempt
  EXPECT_EQ(L.T->Connects, 1);
  L.T->Accept();
  EXPECT_TRUE(L.C->Active());
  L.T->Receive(std::string("LOGIN|SUCCESS|") + kBob + "\nJOINSUBJECT|Lobby Chat|" + kBob + "\n");
  L.T->DropByServer();
  EXPECT_EQ(L.Log.back(), "disconnected");
  EXPECT_FALSE(L.C->Active());
  EXPECT_EQ(L.C->UserCount(), 0);
  EXPECT_FALSE(L.C->LoggedIn());
  EXPECT_EQ(L.C->CurrentSubject(), "");  // so rejoining it after a reconnect sends the join
  L.C->SendChat("dropped");
  EXPECT_EQ(L.C->QueuedLines(), 0u);

  L.Log.clear();
  L.C->SetActive(true);
  L.T->OnError(L.T, 10061);  // refused while connecting
  EXPECT_EQ(L.Log, (std::vector<std::string>{"disconnected"}));
  EXPECT_FALSE(L.C->Connecting());

  int ErrorCode = 0;
  L.C->OnSocketError = [&](auto*, int Code) { ErrorCode = Code; };
  L.Open();
  L.T->OnError(L.T, 10054);
  EXPECT_EQ(ErrorCode, 10054);
  EXPECT_EQ(L.Log, (std::vector<std::string>{"disconnected"}));
  EXPECT_FALSE(L.C->Active());
}
