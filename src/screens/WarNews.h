#pragma once
// What the player reads and hears of the war, decided without windows: the texts of the rules'
// happenings with their panel and colour, the news items with their standing actions (an
// invasion or a bombardment that goes on for many impulses is told once), the score history's
// points and labels, the final score figures and the pace of the battle sounds.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"
#include "foundation/DateUtils.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TRandomGenerator;

// --- Happenings: what the message and notice panels show ---

// Window-system colour values (blue in the high byte) of the panels' texts.
inline constexpr std::uint32_t NoticeRed = 255;
inline constexpr std::uint32_t NoticeGreen = 65280;
inline constexpr std::uint32_t NoticeYellow = 65535;
inline constexpr std::uint32_t NoticeCyan = 16776960;

// Where a happening is shown: nowhere, the message panel at the top or the notice panel at the
// bottom of the game screen.
enum TNoticePanel : std::uint8_t { npNone, npMessage, npNotify };

struct TWarNotice {
  std::string Text;
  TNoticePanel Panel = npNone;
  std::uint32_t Color = 0;
  // The text is also a news item, centred on the first nation's capital.
  bool News = false;
  friend bool operator==(const TWarNotice&, const TWarNotice&) = default;
};

TWarNotice ReinforcementNotice(const std::string& ZoneName);
// Told only on the machine that plays the nation; shown nowhere elsewhere.
TWarNotice UnitTypeUpgradeNotice(const TNation& Nation, TUnitType Type);
TWarNotice TechUpgradeNotice(const TNation& Nation, int Group);
// A news item always; in the message panel in cyan when either nation is a major power.
TWarNotice AlliesNotice(const TNation& A, const TNation& B);
TWarNotice WarNotice(const TNation& A, const TNation& B);
// The nation joined its alliance: news and the message panel in yellow.
TWarNotice AllianceNotice(const TNation& Nation);
// News only.
TWarNotice ExileNotice(const TNation& Nation, const TNation& Host);
TWarNotice CoupNotice(const TNation& Nation);
// The atomic bomb's news is centred on the zone it fell on.
TWarNotice AtomicBombNotice(const TNation& Nation, const std::string& ZoneName);
// The news of a diplomatic or espionage outcome (a TDiplomacyOutcome) of Actor against Target;
// nothing for another outcome.
TWarNotice DiplomacyNotice(const TNation& Actor, int Outcome, const TNation& Target);
// A conquered nation: news and the message panel in red, unless it was an annexation (the
// conquered nation's relation to the conqueror 100 or more), which is told nowhere.
TWarNotice ConquestNotice(const TNation& Conquered, const TNation& Conqueror);

// --- News items and standing actions ---

// A news item: letter, day number, then the letter's own fields, each followed by ";"; Zone
// is the zone index a double click centres on (-1: none).
struct TNewsItem {
  std::string Text;
  std::int32_t Zone = -1;
};

// The text of a free message item: "M", the day and the text up to its first ";" (what the line
// shows), so that no part of the text can become a field of its own.
std::string NewsMessageItem(std::int32_t Day, const std::string& Text);
// The line drawn for an item: the date "m/d/yyyy", "- " and the letter's sentence, nations and
// zones by name ("?" for an index of none); "" for an item of no known letter.
std::string NewsLine(const TBrenmoorEngine& Engine, const std::string& Item);

enum TStandingKind : std::uint8_t { skInvasion, skAirStrike, skBombardment, skRocketAttack, skBombingRaid, StandingKindCount };

// An action that goes on over many impulses: the acting nation, the zone, the impulse it began
// (or was last renewed) and the zone's owner then (indexes; -1 for none).
struct TStandingAction {
  std::int32_t Nation = -1;
  std::int32_t Impulse = 0;
  std::int32_t Zone = -1;
  std::int32_t ZoneOwner = -1;
};

// The news window's record: items newest first and the five lists of standing actions.
class TWarNews {
public:
  explicit TWarNews(const TBrenmoorEngine& Engine) : FEngine(Engine) {}

  void AddConquest(const TNation* Nation, const TBrenmoorZone* Zone);
  void AddInvasion(const TNation* Nation, const TBrenmoorZone* Zone);
  void AddLiberation(const TBrenmoorZone* Zone);
  void AddMessage(const std::string& Text, const TBrenmoorZone* Zone);
  void AddAirStrike(const TNation* Nation, const TBrenmoorZone* Zone);
  void AddBombardment(const TNation* Nation, const TBrenmoorZone* Zone);
  void AddRocketAttack(const TNation* Nation, const TBrenmoorZone* Zone);
  void AddBombingRaid(const TNation* Nation, const TBrenmoorZone* Zone);
  // Once per impulse: ended actions leave their lists, a repulsed invasion with a line "R".
  void ExpireStandingActions();
  // Items and standing actions (a new game).
  void ClearNews();
  // The items only (the window's Clear).
  void ClearItems();
  // The index of the first standing action of that kind, nation and zone; -1 when none.
  int FindStandingAction(TStandingKind Kind, const TNation* Nation, const TBrenmoorZone* Zone) const;

  const std::deque<TNewsItem>& Items() const { return FItems; }
  const std::vector<TStandingAction>& Standing(TStandingKind Kind) const { return FStanding[Kind]; }
  // A new item went in at the top; the items were emptied.
  std::function<void(const TNewsItem& Item)> OnInsert;
  std::function<void()> OnClear;

private:
  void Insert(std::string Text, std::int32_t Zone);
  void InsertNationZone(char Letter, const TNation* Nation, const TBrenmoorZone* Zone);
  void Begin(TStandingKind Kind, const TNation* Nation, const TBrenmoorZone* Zone);
  bool Has(TStandingKind Kind, const TNation* Nation, const TBrenmoorZone* Zone) const {
    return FindStandingAction(Kind, Nation, Zone) >= 0;
  }
  std::int32_t Today() const;

  const TBrenmoorEngine& FEngine;
  std::deque<TNewsItem> FItems;
  std::vector<TStandingAction> FStanding[StandingKindCount];
};

// --- The score history ---

// The charts' seven series: the first seven powers or alliances are charted, the rest left out.
inline constexpr int ChartSeriesCount = 7;
// A point's label: the game date as "mmm-yyyy" ("Nov-1940").
std::string ScoreDateLabel(TDateTime Date);
// The note that says how many were left out ("" when none): "(2 more powers not charted)".
std::string LeftOutNote(int Count, const char* What);

struct TScorePoint {
  std::string Label;
  // Each major power's share of world industry, in nation order (all of them).
  std::vector<std::int32_t> Nations;
  // Each alliance's name and share, in the engine's order (all of them).
  std::vector<std::pair<std::string, std::int32_t>> Alliances;
};
TScorePoint TakeScorePoint(const TBrenmoorEngine& Engine);

// --- Final scores ---

struct TFinalScore {
  // The industry total stored at the game's end times 20.
  std::int64_t Value = 0;
  // The negative of the score deduction.
  std::int64_t Casualties = 0;
  std::int64_t Score = 0;
  friend bool operator==(const TFinalScore&, const TFinalScore&) = default;
};
TFinalScore FinalScoreOf(const TNation& Nation);

// --- Battle sounds ---

// The explosion timer's next interval while ZonesUnderAttack (above 0) zones are embattled:
// 5000 div (zones div 4 + 1) ms, replaced by Random(300) + 200 below 500, plus Random(100).
std::int32_t ExplosionInterval(std::int32_t ZonesUnderAttack, TRandomGenerator& Random);
