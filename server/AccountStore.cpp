#include "server/AccountStore.h"

#include <sqlite3.h>

namespace {

// One prepared statement, finalised when it goes out of scope.
class TStatement {
public:
  TStatement(sqlite3* Db, const char* Sql) : FDb(Db) {
    if (sqlite3_prepare_v2(Db, Sql, -1, &FStmt, nullptr) != SQLITE_OK)
      throw EAccountStore(std::string("The lobby database refused a query: ") + sqlite3_errmsg(Db));
  }
  ~TStatement() { sqlite3_finalize(FStmt); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;

  TStatement& Bind(int I, const std::string& V) {
    Check(sqlite3_bind_text(FStmt, I, V.data(), static_cast<int>(V.size()), SQLITE_TRANSIENT));
    return *this;
  }
  TStatement& Bind(int I, std::int64_t V) {
    Check(sqlite3_bind_int64(FStmt, I, V));
    return *this;
  }
  TStatement& Bind(int I, double V) {
    Check(sqlite3_bind_double(FStmt, I, V));
    return *this;
  }
  // True while a row is there.
  bool Step() {
    const int R = sqlite3_step(FStmt);
    if (R == SQLITE_ROW) return true;
    if (R == SQLITE_DONE) return false;
    throw EAccountStore(std::string("The lobby database failed: ") + sqlite3_errmsg(FDb));
  }
  int StepResult() { return sqlite3_step(FStmt); }
  std::string Text(int I) {
    const unsigned char* T = sqlite3_column_text(FStmt, I);
    return T ? std::string(reinterpret_cast<const char*>(T),
                           static_cast<std::size_t>(sqlite3_column_bytes(FStmt, I)))
             : std::string();
  }
  std::int64_t Int(int I) { return sqlite3_column_int64(FStmt, I); }
  double Real(int I) { return sqlite3_column_double(FStmt, I); }

private:
  void Check(int R) {
    if (R != SQLITE_OK)
      throw EAccountStore(std::string("The lobby database failed: ") + sqlite3_errmsg(FDb));
  }

  sqlite3* FDb;
  sqlite3_stmt* FStmt = nullptr;
};

}  // namespace

TAccountStore::TAccountStore(const std::string& Path) {
  if (sqlite3_open_v2(Path.c_str(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::string Message = FDb ? sqlite3_errmsg(FDb) : "out of memory";
    sqlite3_close(FDb);
    FDb = nullptr;
    throw EAccountStore("Cannot open the lobby database " + Path + ": " + Message);
  }
  try {
    sqlite3_busy_timeout(FDb, 2000);
    Exec("PRAGMA journal_mode=WAL");
    // Each commit reaches the write-ahead log at once, so a stopped or killed server loses
    // none; the log is flushed to the disk at checkpoints, not at every log-in, which would
    // hold up every guest's lines for the disk's time.
    Exec("PRAGMA synchronous=NORMAL");
    Exec("PRAGMA foreign_keys=ON");
    int Version = 0;
    {
      TStatement S(FDb, "PRAGMA user_version");
      if (S.Step()) Version = static_cast<int>(S.Int(0));
    }
    if (Version > SchemaVersion)
      throw EAccountStore("The lobby database " + Path + " was written by a newer server");
    if (Version < 1) {
      Exec("BEGIN IMMEDIATE");
      Exec("CREATE TABLE IF NOT EXISTS users("
           " id INTEGER PRIMARY KEY,"
           " name TEXT NOT NULL UNIQUE COLLATE NOCASE,"
           " hash TEXT NOT NULL,"
           " profile TEXT NOT NULL,"
           " created REAL NOT NULL,"
           " last_login REAL NOT NULL,"
           " wins INTEGER NOT NULL DEFAULT 0,"
           " losses INTEGER NOT NULL DEFAULT 0,"
           " score INTEGER NOT NULL DEFAULT 0)");
      Exec("CREATE TABLE IF NOT EXISTS hall_of_fame("
           " id INTEGER PRIMARY KEY, slot INTEGER NOT NULL, score INTEGER NOT NULL,"
           " name TEXT NOT NULL, date TEXT NOT NULL)");
      Exec("CREATE INDEX IF NOT EXISTS hall_of_fame_slot ON hall_of_fame(slot, score)");
      Exec("CREATE TABLE IF NOT EXISTS game_log("
           " id INTEGER PRIMARY KEY, date TEXT NOT NULL, scenario TEXT NOT NULL,"
           " winner TEXT NOT NULL, victors TEXT NOT NULL, defeated TEXT NOT NULL)");
      Exec("CREATE TABLE IF NOT EXISTS schedule("
           " name TEXT PRIMARY KEY COLLATE NOCASE, times TEXT NOT NULL)");
      Exec("PRAGMA user_version=1");
      Exec("COMMIT");
    }
  } catch (...) {
    sqlite3_close(FDb);
    FDb = nullptr;
    throw;
  }
}

TAccountStore::~TAccountStore() { sqlite3_close(FDb); }

void TAccountStore::Exec(const char* Sql) {
  char* Error = nullptr;
  if (sqlite3_exec(FDb, Sql, nullptr, nullptr, &Error) != SQLITE_OK) {
    const std::string Message = Error ? Error : "unknown error";
    sqlite3_free(Error);
    throw EAccountStore("The lobby database failed: " + Message);
  }
}

void TAccountStore::Fail(const char* What) {
  throw EAccountStore(std::string(What) + ": " + sqlite3_errmsg(FDb));
}

std::optional<TAccount> TAccountStore::Find(const std::string& Name) {
  TStatement S(FDb,
               "SELECT id, name, hash, profile, created, last_login, wins, losses, score"
               " FROM users WHERE name = ?1");
  S.Bind(1, Name);
  if (!S.Step()) return std::nullopt;
  TAccount A;
  A.Id = S.Int(0);
  A.Name = S.Text(1);
  A.Hash = S.Text(2);
  A.Profile = S.Text(3);
  A.Created = S.Real(4);
  A.LastLogin = S.Real(5);
  A.Wins = S.Int(6);
  A.Losses = S.Int(7);
  A.Score = S.Int(8);
  return A;
}

bool TAccountStore::Create(TAccount& A) {
  TStatement S(FDb,
               "INSERT INTO users(name, hash, profile, created, last_login, wins, losses, score)"
               " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
  S.Bind(1, A.Name).Bind(2, A.Hash).Bind(3, A.Profile).Bind(4, A.Created).Bind(5, A.LastLogin);
  S.Bind(6, A.Wins).Bind(7, A.Losses).Bind(8, A.Score);
  const int R = S.StepResult();
  if (R == SQLITE_CONSTRAINT) return false;
  if (R != SQLITE_DONE) Fail("Cannot create the account");
  A.Id = sqlite3_last_insert_rowid(FDb);
  return true;
}

void TAccountStore::UpdateProfile(std::int64_t Id, const std::string& Profile) {
  TStatement S(FDb, "UPDATE users SET profile = ?2 WHERE id = ?1");
  S.Bind(1, Id).Bind(2, Profile).Step();
}

void TAccountStore::UpdateHash(std::int64_t Id, const std::string& Hash) {
  TStatement S(FDb, "UPDATE users SET hash = ?2 WHERE id = ?1");
  S.Bind(1, Id).Bind(2, Hash).Step();
}

void TAccountStore::UpdateLastLogin(std::int64_t Id, double Date) {
  TStatement S(FDb, "UPDATE users SET last_login = ?2 WHERE id = ?1");
  S.Bind(1, Id).Bind(2, Date).Step();
}

void TAccountStore::AddResult(std::int64_t Id, std::int64_t Wins, std::int64_t Losses,
                              std::int64_t Score) {
  TStatement S(FDb,
               "UPDATE users SET wins = wins + ?2, losses = losses + ?3, score = score + ?4"
               " WHERE id = ?1");
  S.Bind(1, Id).Bind(2, Wins).Bind(3, Losses).Bind(4, Score).Step();
}

void TAccountStore::AddHallOfFame(const THallOfFameEntry& E) {
  TStatement S(FDb, "INSERT INTO hall_of_fame(slot, score, name, date) VALUES(?1, ?2, ?3, ?4)");
  S.Bind(1, static_cast<std::int64_t>(E.Slot)).Bind(2, E.Score).Bind(3, E.Name).Bind(4, E.Date);
  S.Step();
}

std::vector<THallOfFameEntry> TAccountStore::HallOfFame(int Slot, int Limit) {
  TStatement S(FDb,
               "SELECT score, name, date FROM hall_of_fame WHERE slot = ?1"
               " ORDER BY score DESC, id ASC LIMIT ?2");
  S.Bind(1, static_cast<std::int64_t>(Slot)).Bind(2, static_cast<std::int64_t>(Limit));
  std::vector<THallOfFameEntry> Entries;
  while (S.Step()) Entries.push_back({Slot, S.Int(0), S.Text(1), S.Text(2)});
  return Entries;
}

void TAccountStore::AddGameLog(const TGameLogEntry& E) {
  TStatement S(FDb,
               "INSERT INTO game_log(date, scenario, winner, victors, defeated)"
               " VALUES(?1, ?2, ?3, ?4, ?5)");
  S.Bind(1, E.Date).Bind(2, E.Scenario).Bind(3, E.Winner).Bind(4, E.Victors).Bind(5, E.Defeated);
  S.Step();
}

std::vector<TGameLogEntry> TAccountStore::GameLog(int Limit) {
  TStatement S(FDb,
               "SELECT date, scenario, winner, victors, defeated FROM"
               " (SELECT * FROM game_log ORDER BY id DESC LIMIT ?1) ORDER BY id ASC");
  S.Bind(1, static_cast<std::int64_t>(Limit));
  std::vector<TGameLogEntry> Entries;
  while (S.Step()) Entries.push_back({S.Text(0), S.Text(1), S.Text(2), S.Text(3), S.Text(4)});
  return Entries;
}

void TAccountStore::SetSchedule(const std::string& Name, const std::string& Times) {
  if (Times.empty()) {
    TStatement S(FDb, "DELETE FROM schedule WHERE name = ?1");
    S.Bind(1, Name).Step();
    return;
  }
  TStatement S(FDb,
               "INSERT INTO schedule(name, times) VALUES(?1, ?2)"
               " ON CONFLICT(name) DO UPDATE SET times = excluded.times");
  S.Bind(1, Name).Bind(2, Times).Step();
}

std::vector<TScheduleEntry> TAccountStore::Schedule() {
  TStatement S(FDb, "SELECT name, times FROM schedule ORDER BY name COLLATE NOCASE");
  std::vector<TScheduleEntry> Entries;
  while (S.Step()) Entries.push_back({S.Text(0), S.Text(1)});
  return Entries;
}

void TAccountStore::Begin() { Exec("BEGIN IMMEDIATE"); }
void TAccountStore::Commit() { Exec("COMMIT"); }
void TAccountStore::Rollback() { Exec("ROLLBACK"); }
