#pragma once
// The lobby's lasting records in one SQLite file (write-ahead log, schema version in
// user_version): accounts with their hashed passwords, profiles and results, the hall of
// fame, the game log and the players' schedules. Every change is its own committed
// transaction, so stopping or killing the server never loses one (a power cut may lose the
// latest, never the file).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Exception.h"

struct sqlite3;

class EAccountStore : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

struct TAccount {
  std::int64_t Id = 0;
  std::string Name;
  std::string Hash;
  std::string Profile;  // the user record without identifier, password, dates and results
  double Created = 0;   // dates as days since 30 December 1899
  double LastLogin = 0;
  std::int64_t Wins = 0;
  std::int64_t Losses = 0;
  std::int64_t Score = 0;
};

struct THallOfFameEntry {
  int Slot = 0;
  std::int64_t Score = 0;
  std::string Name;
  std::string Date;
};

struct TGameLogEntry {
  std::string Date, Scenario, Winner, Victors, Defeated;
};

struct TScheduleEntry {
  std::string Name, Times;
};

class TAccountStore {
public:
  static constexpr int SchemaVersion = 1;

  // Opens or creates the file; raises EAccountStore when it cannot, or when the file was
  // written by a newer server.
  explicit TAccountStore(const std::string& Path);
  ~TAccountStore();
  TAccountStore(const TAccountStore&) = delete;
  TAccountStore& operator=(const TAccountStore&) = delete;

  // Names are unique without regard to ASCII case.
  std::optional<TAccount> Find(const std::string& Name);
  // Fills in Id; false when the name is taken.
  bool Create(TAccount& Account);
  void UpdateProfile(std::int64_t Id, const std::string& Profile);
  void UpdateHash(std::int64_t Id, const std::string& Hash);
  void UpdateLastLogin(std::int64_t Id, double Date);
  void AddResult(std::int64_t Id, std::int64_t Wins, std::int64_t Losses, std::int64_t Score);

  void AddHallOfFame(const THallOfFameEntry& Entry);
  // The best Limit entries of a slot, best first.
  std::vector<THallOfFameEntry> HallOfFame(int Slot, int Limit);
  void AddGameLog(const TGameLogEntry& Entry);
  // The latest Limit records, oldest first.
  std::vector<TGameLogEntry> GameLog(int Limit);
  // An empty text removes the player's entry.
  void SetSchedule(const std::string& Name, const std::string& Times);
  std::vector<TScheduleEntry> Schedule();

  // Several changes as one transaction.
  void Begin();
  void Commit();
  void Rollback();

private:
  void Exec(const char* Sql);
  [[noreturn]] void Fail(const char* What);

  sqlite3* FDb = nullptr;
};
