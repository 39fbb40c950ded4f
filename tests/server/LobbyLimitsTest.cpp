// The lobby's limits under load and attack, on the core driven line by line: password checks
// that wait off the loop, the log-in paces per address and per user, the allowance of
// connections not yet logged in, and the data pace that holds a sender's lines back.
#include <gtest/gtest.h>

#include <deque>

#include "ServerTestSupport.h"

namespace {

// Slow work held back until the test lets it finish, as a worker pool would.
struct THeldWork {
  std::deque<TLobbyServer::TSlowJob> Jobs;
  explicit THeldWork(TLobbyServer& Core) {
    Core.OnSlowWork = [this](TLobbyServer::TSlowJob Job) { Jobs.push_back(std::move(Job)); };
  }
  void FinishOne() {
    TLobbyServer::TSlowJob Job = std::move(Jobs.front());
    Jobs.pop_front();
    Job()();
  }
};

std::string Login(const std::string& Name, const std::string& Password) {
  return "LOGIN|" + Name + "|Brenmoor|" + Password;
}

}  // namespace

TEST(LobbyLimits, APasswordCheckHoldsOnlyItsOwnConnection) {
  TCoreFixture F;
  const TSessionId Bob = F.NewUser("bob"), Cid = F.NewUser("cid");
  F.Core->Closed(F.NewUser("ann"), F.Now);
  F.Quiet({Bob, Cid});
  THeldWork Work(*F.Core);

  // Ann's log-in waits for its check; what she sends meanwhile waits behind it, in order.
  const TSessionId Ann = F.Connect("10.0.0.2");
  F.Say(Ann, Login("ann", "pw-ann"));
  F.Say(Ann, "SEND|CHAT|first");
  F.Say(Ann, "SEND|DATA|second");
  EXPECT_FALSE(F.Core->WantsInput(Ann));
  EXPECT_EQ(F.Lines(Ann), TLines{});
  ASSERT_EQ(Work.Jobs.size(), 1u);

  // The others go on meanwhile.
  F.Say(Bob, "SEND|CHAT|not held up");
  EXPECT_EQ(F.Lines(Cid), (TLines{"SEND|bob|CHAT|not held up"}));

  Work.FinishOne();
  EXPECT_TRUE(F.Core->WantsInput(Ann));
  EXPECT_EQ(F.Lines(Ann).front(), "LOGIN|SUCCESS|ann");
  EXPECT_EQ(F.Lines(Cid), (TLines{"ADDGUEST|Lobby Chat|ann", "SEND|ann|CHAT|first", "SEND|ann|DATA|second"}));

  // A connection that goes while its check runs: the answer finds nobody, and nothing breaks.
  const TSessionId Gone = F.Connect("10.0.0.3");
  F.Say(Gone, Login("bob", "wrong"));
  F.Core->Closed(Gone, F.Now);
  Work.FinishOne();
  // A password change waits too, and is kept.
  F.Quiet({Bob});
  F.Say(Bob, "USERUPDATE|bob|bob^changed^B^^^^^^^01/01/2000^01/01/2000^0^^0`0`^^|");
  EXPECT_EQ(F.Lines(Bob), TLines{});
  Work.FinishOne();
  EXPECT_EQ(F.Lines(Bob), (TLines{"USERINFO|bob"}));
  F.Core->OnSlowWork = nullptr;
  const TSessionId Again = F.Connect("10.0.0.4");
  F.Say(Again, Login("bob", "changed"));
  EXPECT_EQ(F.Lines(Again).front(), "LOGIN|SUCCESS|bob");
}

TEST(LobbyLimits, TooManyWaitingPasswordChecksAreRefusedNotQueued) {
  TServerConfig C = TCoreFixture::TestConfig();
  C.MaxHashJobs = 2;
  TCoreFixture F(C);
  THeldWork Work(*F.Core);
  std::vector<TSessionId> Ids;
  for (int I = 0; I < 3; ++I) {
    Ids.push_back(F.Connect("10.0.1." + std::to_string(I)));
    F.Say(Ids.back(), "LOGINNEW|u" + std::to_string(I) + "|Brenmoor|u" + TCoreFixture::NewRecord("pw"));
  }
  EXPECT_EQ(Work.Jobs.size(), 2u);
  EXPECT_EQ(F.Lines(Ids[2]), (TLines{"LOGIN|FAIL|The lobby is busy; please try again in a moment"}));
  Work.FinishOne();
  F.Say(Ids[2], "LOGINNEW|u2|Brenmoor|u2" + TCoreFixture::NewRecord("pw"));
  EXPECT_EQ(Work.Jobs.size(), 2u);
}

TEST(LobbyLimits, OthersFailuresFromAnAddressDoNotRefuseTheRightPassword) {
  TCoreFixture F;
  F.Core->Closed(F.NewUser("ann", "10.9.9.9"), F.Now);
  F.Core->Closed(F.NewUser("bob", "10.9.9.9"), F.Now);
  // Someone behind the same address guesses at bob and at names that do not exist.
  const TSessionId Guesser = F.Connect("10.0.0.7");
  for (int I = 0; I < 5; ++I) F.Say(Guesser, Login("bob", "guess" + std::to_string(I)));
  for (int I = 0; I < 4; ++I) F.Say(Guesser, Login("nobody" + std::to_string(I), "x"));
  F.Quiet({Guesser});
  F.Say(Guesser, Login("bob", "pw-bob"));
  EXPECT_EQ(F.Lines(Guesser), (TLines{"LOGIN|FAIL|Too many failed log-ins from your address; please wait a minute"}));

  const TSessionId Ann = F.Connect("10.0.0.7");
  F.Say(Ann, Login("ann", "pw-ann"));
  EXPECT_EQ(F.Lines(Ann).front(), "LOGIN|SUCCESS|ann");
}

TEST(LobbyLimits, FailuresAsOneUserFromManyAddressesBackOffExponentially) {
  TCoreFixture F;
  F.Core->Closed(F.NewUser("ann", "10.9.9.9"), F.Now);
  int Address = 0;
  auto Try = [&](const std::string& Password) {
    const TSessionId S = F.Connect("10.1.0." + std::to_string(++Address));
    F.Say(S, Login("ann", Password));
    const TLines L = F.Lines(S);
    F.Core->Closed(S, F.Now);
    return L.empty() ? std::string() : L.front();
  };
  const std::string Wrong = "LOGIN|FAIL|Unknown user name or wrong password";
  for (int I = 0; I < 9; ++I) ASSERT_EQ(Try("guess"), Wrong) << I;
  EXPECT_EQ(Try("guess"), Wrong);  // the tenth failure: one second until the next try
  EXPECT_EQ(Try("pw-ann"), "LOGIN|FAIL|Too many failed log-ins as ann; please wait 1 second");
  F.Now += 1000;
  EXPECT_EQ(Try("guess"), Wrong);  // each further failure doubles the wait
  EXPECT_EQ(Try("pw-ann"), "LOGIN|FAIL|Too many failed log-ins as ann; please wait 2 seconds");
  F.Now += 2000;
  EXPECT_EQ(Try("guess"), Wrong);
  F.Now += 3999;
  EXPECT_EQ(Try("pw-ann"), "LOGIN|FAIL|Too many failed log-ins as ann; please wait 1 second");
  F.Now += 1;
  EXPECT_EQ(Try("pw-ann").rfind("LOGIN|SUCCESS|ann", 0), 0u);
  EXPECT_EQ(Try("guess"), Wrong);  // a success starts the count again
  EXPECT_EQ(Try("pw-ann").rfind("LOGIN|SUCCESS|ann", 0), 0u);
}

TEST(LobbyLimits, LogInsAndRecordChangesArePacedPerAddressAndPerUser) {
  TCoreFixture F;
  // One address: ten password checks at once, then one every two seconds.
  for (int I = 0; I < 10; ++I) {
    const TSessionId S = F.Connect("10.2.0.1");
    F.Say(S, "LOGINNEW|n" + std::to_string(I) + "|Brenmoor|x" + TCoreFixture::NewRecord("pw"));
    ASSERT_EQ(F.Lines(S).front(), "LOGIN|SUCCESS|n" + std::to_string(I));
    F.Core->Closed(S, F.Now);
  }
  const TSessionId More = F.Connect("10.2.0.1");
  F.Say(More, Login("n0", "pw"));
  EXPECT_EQ(F.Lines(More), (TLines{"LOGIN|FAIL|Too many log-ins from your address; please wait a moment"}));
  F.Now += 2000;
  F.Say(More, Login("n0", "pw"));
  EXPECT_EQ(F.Lines(More).front(), "LOGIN|SUCCESS|n0");
  // A new password is hashed too, so it waits for the address's pace as well.
  F.Quiet({More});
  F.Say(More, "USERUPDATE|n0|n0^new^B^^^^^^^01/01/2000^01/01/2000^0^^0`0`^^|");
  EXPECT_EQ(F.Lines(More), (TLines{"ERROR|You are changing your record too often; please wait a minute"}));

  // One user: five successful log-ins at once, from anywhere, then one every twenty seconds;
  // record changes count with them.
  for (int I = 1; I < 5; ++I) {
    const TSessionId S = F.Connect("10.2.1." + std::to_string(I));
    F.Say(S, Login("n1", "pw"));
    ASSERT_EQ(F.Lines(S).front(), "LOGIN|SUCCESS|n1") << I;
  }
  const TSessionId Last = F.Connect("10.2.1.9");
  F.Say(Last, Login("n1", "pw"));
  EXPECT_EQ(F.Lines(Last), (TLines{"LOGIN|FAIL|Too many log-ins as n1; please wait a minute"}));
  F.Now += 20'000;
  F.Say(Last, Login("n1", "pw"));
  EXPECT_EQ(F.Lines(Last).front(), "LOGIN|SUCCESS|n1");
  F.Say(Last, "USERUPDATE|n1|n1^^B^^Rome^^^^^01/01/2000^01/01/2000^0^^0`0`^^|");
  EXPECT_EQ(F.Lines(Last), (TLines{"ERROR|You are changing your record too often; please wait a minute"}));
}

TEST(LobbyLimits, IdleConnectionsCannotKeepAUserOut) {
  TServerConfig C = TCoreFixture::TestConfig();
  C.MaxConnections = 100;  // sixteen connections not yet logged in at once
  TCoreFixture F(C);
  std::vector<TSessionId> Idle;
  for (int I = 0; I < 16; ++I) Idle.push_back(F.Connect("10.3.0." + std::to_string(I)));
  const TSessionId TooSoon = F.Connect("10.3.1.1");
  EXPECT_EQ(F.Lines(TooSoon), (TLines{"ERROR|The lobby is full; please try again later"}));
  F.Core->Closed(TooSoon, F.Now);

  // Once they have idled a while, each newcomer takes the place of the oldest of them.
  for (int Round = 0; Round < 3; ++Round) {
    F.Now += 2000;
    const TSessionId User = F.Connect("10.3.2." + std::to_string(Round));
    EXPECT_TRUE(F.Core->WantsClose(Idle[Round]));
    EXPECT_EQ(F.Lines(Idle[Round]),
              (TLines{"ERROR|Others are waiting to log in; please log in as soon as you connect"}));
    F.Core->Closed(Idle[Round], F.Now);
    F.Say(User, "LOGINNEW|user" + std::to_string(Round) + "|Brenmoor|x" + TCoreFixture::NewRecord("pw"));
    EXPECT_EQ(F.Lines(User).front(), "LOGIN|SUCCESS|user" + std::to_string(Round));
    Idle.push_back(F.Connect("10.3.3." + std::to_string(Round)));  // the attacker comes back
  }
  // Users who logged in no longer count against that allowance.
  EXPECT_FALSE(F.Core->WantsClose(Idle.back()));
}

TEST(LobbyLimits, BeforeLogInEveryLineHasTheCommandCap) {
  TCoreFixture F;
  const TSessionId S = F.Connect();
  F.Say(S, "SEND|DATA|" + std::string(100 << 10, 'd'));
  EXPECT_EQ(F.Lines(S), (TLines{"ERROR|Line too long"}));
  const TSessionId Piecewise = F.Connect("10.0.0.2");
  const std::string Wire = F.Core->EncodeLine("SEND|DATA|" + std::string(300 << 10, 'd'));
  for (std::size_t I = 0; I < Wire.size() && !F.Core->WantsClose(Piecewise); I += 16 << 10)
    F.Core->Receive(Piecewise, std::string_view(Wire).substr(I, 16 << 10), F.Now);
  EXPECT_TRUE(F.Core->WantsClose(Piecewise));
}

TEST(LobbyLimits, TheDataPaceHoldsASendersLinesBackWithoutLosingOne) {
  TServerConfig C = TCoreFixture::TestConfig();
  C.DataBurst = 5;
  C.DataPerSecond = 10;
  TCoreFixture F(C);
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob");
  F.Quiet({Ann, Bob});
  for (int I = 0; I < 8; ++I) F.Say(Ann, "SEND|DATA|" + std::to_string(I));
  F.Say(Ann, "SEND|CHAT|after the data");
  EXPECT_EQ(F.Lines(Bob).size(), 5u);
  EXPECT_FALSE(F.Core->WantsInput(Ann));
  F.Now += 100;  // one more line's worth
  F.Core->Tick(F.Now);
  EXPECT_EQ(F.Lines(Bob), (TLines{"SEND|ann|DATA|5"}));
  F.Now += 300;
  F.Core->Tick(F.Now);
  EXPECT_EQ(F.Lines(Bob), (TLines{"SEND|ann|DATA|6", "SEND|ann|DATA|7", "SEND|ann|CHAT|after the data"}));
  EXPECT_TRUE(F.Core->WantsInput(Ann));
  EXPECT_EQ(F.Lines(Ann), TLines{});
}

TEST(LobbyLimits, ARelayedLineIsOneBufferForAllItsGuests) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob"), Cid = F.NewUser("cid");
  F.Quiet({Ann, Bob, Cid});
  F.Say(Ann, "SEND|DATA|ORDERS|1|");
  std::vector<TWireLine> ToBob, ToCid;
  F.Core->TakeLines(Bob, ToBob);
  F.Core->TakeLines(Cid, ToCid);
  ASSERT_EQ(ToBob.size(), 1u);
  ASSERT_EQ(ToCid.size(), 1u);
  EXPECT_EQ(ToBob[0].get(), ToCid[0].get());
  EXPECT_EQ(F.Core->DecodeLine(std::string_view(*ToBob[0]).substr(0, ToBob[0]->size() - 1)),
            "SEND|ann|DATA|ORDERS|1|");
}
