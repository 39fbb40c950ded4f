#include <gtest/gtest.h>
#include <sqlite3.h>

#include "server/AccountStore.h"
#include "server/PasswordHash.h"
#include "ServerTestSupport.h"

TEST(PasswordHash, YescryptHashesVerifyOnlyTheirPassword) {
  const std::string H = HashPassword("secret", 1);
  EXPECT_EQ(H.rfind("$y$", 0), 0u);
  EXPECT_EQ(H.find("secret"), std::string::npos);
  EXPECT_NE(HashPassword("secret", 1), H);  // salted
  EXPECT_TRUE(VerifyPassword("secret", H));
  EXPECT_FALSE(VerifyPassword("Secret", H));
  EXPECT_FALSE(VerifyPassword("", H));
  EXPECT_FALSE(VerifyPassword("secret", "not a hash"));
  EXPECT_TRUE(ConstantTimeEquals("abc", "abc"));
  EXPECT_FALSE(ConstantTimeEquals("abc", "abd"));
  EXPECT_FALSE(ConstantTimeEquals("abc", "abcd"));
  EXPECT_FALSE(ConstantTimeEquals("", "a"));
}

TEST(AccountStore, KeepsAccountsResultsAndListsAcrossReopening) {
  TTempDir Dir;
  const std::string Path = Dir.File("lobby.db");
  {
    TAccountStore S(Path);
    TAccount A;
    A.Name = "Ann";
    A.Hash = "h";
    A.Profile = "p";
    ASSERT_TRUE(S.Create(A));
    TAccount Again = A;
    Again.Name = "ANN";
    EXPECT_FALSE(S.Create(Again));
    S.AddResult(A.Id, 1, 2, 30);
    S.UpdateProfile(A.Id, "p2");
    for (int I = 0; I < 12; ++I) S.AddHallOfFame({3, I * 10, "n" + std::to_string(I), "d"});
    for (int I = 0; I < 60; ++I) S.AddGameLog({"d", "s" + std::to_string(I), "w", "v", "x"});
    S.SetSchedule("bob", "evenings");
    S.SetSchedule("ann", "mornings");
    S.SetSchedule("ann", "nights");
    S.SetSchedule("bob", "");
  }
  TAccountStore S(Path);
  const std::optional<TAccount> A = S.Find("aNN");
  ASSERT_TRUE(A);
  EXPECT_EQ(A->Name, "Ann");
  EXPECT_EQ(A->Profile, "p2");
  EXPECT_EQ(A->Wins, 1);
  EXPECT_EQ(A->Losses, 2);
  EXPECT_EQ(A->Score, 30);
  const auto Hof = S.HallOfFame(3, 10);
  ASSERT_EQ(Hof.size(), 10u);
  EXPECT_EQ(Hof.front().Score, 110);
  EXPECT_EQ(Hof.back().Score, 20);
  EXPECT_TRUE(S.HallOfFame(0, 10).empty());
  const auto Log = S.GameLog(50);
  ASSERT_EQ(Log.size(), 50u);
  EXPECT_EQ(Log.front().Scenario, "s10");  // the latest fifty, oldest first
  EXPECT_EQ(Log.back().Scenario, "s59");
  const auto Sched = S.Schedule();
  ASSERT_EQ(Sched.size(), 1u);
  EXPECT_EQ(Sched[0].Times, "nights");
}

TEST(AccountStore, RefusesAFileOfANewerServerAndOneThatIsNoDatabase) {
  TTempDir Dir;
  const std::string Path = Dir.File("newer.db");
  { TAccountStore S(Path); }
  sqlite3* Db = nullptr;
  ASSERT_EQ(sqlite3_open(Path.c_str(), &Db), SQLITE_OK);
  sqlite3_exec(Db, "PRAGMA user_version=2", nullptr, nullptr, nullptr);
  sqlite3_close(Db);
  EXPECT_THROW(TAccountStore S(Path), EAccountStore);

  const std::string Junk = Dir.File("junk.db");
  FILE* F = fopen(Junk.c_str(), "wb");
  fputs("this is not a database file, not at all, no indeed.............................", F);
  fclose(F);
  EXPECT_THROW(TAccountStore S(Junk), EAccountStore);
  EXPECT_THROW(TAccountStore S(Dir.File("no/such/folder/x.db")), EAccountStore);
}
