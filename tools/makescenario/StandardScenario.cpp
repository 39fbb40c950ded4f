#include "StandardScenario.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "engine/EngineTypes.h"
#include "foundation/DateUtils.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------
// The world of 1 September 1939.

constexpr const char* Description =
    "September 1, 1939. German armies cross the Polish border; two days later the United Kingdom "
    "and France declare war. Italy, Japan, the USSR and the United States stand aside for now, "
    "and the neutral nations watch. The Second World War begins.";
constexpr int StartYear = 1939, StartMonth = 9, StartDay = 1;
// Days per impulse.
constexpr int ImpulseDays = 3;

// One nation. Majors come first, in the slot order of the hall of fame.
struct TNationEntry {
  const char* Name;
  const char* Adjective;
  const char* Alliance;
  bool Major;
  // The nation may attack any nation it is not allied with without a declaration of war.
  bool AttackWithoutWar;
  // Percent: how much the nation resists the relations others push on it.
  int Resistance;
  // Percent chance that the nation notices what is done to it.
  int Countdown;
  int Stability;
  // Impulses between two new diplomatic actions (majors).
  int DiplomaticInterval;
  // Per unit type factors in type order, each followed by ";" (the rest are 1).
  const char* TypeFactors;
  // The colour of a major power's zones.
  int ColorSlot;
  bool Kamikaze;
};

// Colour slots: 0 red, 1 orange, 2 magenta, 3 ochre, 4 cyan, 5 green, 6 blue, 7 pink.
const TNationEntry Nations[] = {
    {"Germany", "German", "Axis", true, true, 40, 50, 100, 10, "1;1.1;1;1;1.2;1;1.1;", 3, false},
    {"Italy", "Italian", "", true, false, 30, 50, 100, 10, "1;1;1;0.9;0.9;", 5, false},
    {"Japan", "Japanese", "", true, true, 40, 50, 100, 10, "1;1;1;1.1;1;1.1;1.1;1;1;1;1;1;1;1.1;", 1, true},
    {"United Kingdom", "British", "Allies", true, false, 40, 50, 100, 10, "1;1;1.1;1;1;1.1;1;1;1;1;1;1;1;1;1.1;", 7, false},
    {"France", "French", "Allies", true, false, 30, 50, 100, 10, "1;1.1;", 6, false},
    {"USSR", "Soviet", "", true, true, 50, 50, 100, 10, "1;1.1;1;0.9;", 0, false},
    {"United States", "American", "", true, false, 50, 50, 100, 10, "1;1;1;1;1;1;1;1.1;", 4, false},
    // Minor nations at war beside the two alliances.
    {"Poland", "Polish", "Allies", false, false, 20, 40, 90, 0, "", 0, false},
    {"Canada", "Canadian", "Allies", false, false, 20, 30, 100, 0, "", 0, false},
    {"Australia", "Australian", "Allies", false, false, 20, 30, 100, 0, "", 0, false},
    {"New Zealand", "New Zealand", "Allies", false, false, 20, 30, 100, 0, "", 0, false},
    {"South Africa", "South African", "Allies", false, false, 20, 30, 90, 0, "", 0, false},
    {"Slovakia", "Slovak", "Axis", false, false, 10, 30, 80, 0, "", 0, false},
    // Asia.
    {"China", "Chinese", "", false, false, 30, 40, 70, 0, "", 0, false},
    {"Manchukuo", "Manchurian", "", false, false, 10, 20, 75, 0, "", 0, false},
    {"Mongolia", "Mongolian", "", false, false, 10, 20, 85, 0, "", 0, false},
    {"Thailand", "Thai", "", false, false, 20, 30, 70, 0, "", 0, false},
    // Europe.
    {"Ireland", "Irish", "", false, false, 60, 30, 95, 0, "", 0, false},
    {"Norway", "Norwegian", "", false, false, 40, 30, 95, 0, "", 0, false},
    {"Sweden", "Swedish", "", false, false, 60, 40, 100, 0, "", 0, false},
    {"Finland", "Finnish", "", false, false, 40, 40, 95, 0, "", 0, false},
    {"Denmark", "Danish", "", false, false, 30, 30, 95, 0, "", 0, false},
    {"Netherlands", "Dutch", "", false, false, 40, 30, 95, 0, "", 0, false},
    {"Belgium", "Belgian", "", false, false, 40, 30, 90, 0, "", 0, false},
    {"Switzerland", "Swiss", "", false, false, 90, 50, 100, 0, "", 0, false},
    {"Spain", "Spanish", "", false, false, 40, 40, 75, 0, "", 0, false},
    {"Portugal", "Portuguese", "", false, false, 40, 30, 85, 0, "", 0, false},
    {"Lithuania", "Lithuanian", "", false, false, 20, 20, 80, 0, "", 0, false},
    {"Latvia", "Latvian", "", false, false, 20, 20, 80, 0, "", 0, false},
    {"Estonia", "Estonian", "", false, false, 20, 20, 80, 0, "", 0, false},
    {"Yugoslavia", "Yugoslav", "", false, false, 20, 30, 60, 0, "", 0, false},
    {"Hungary", "Hungarian", "", false, false, 20, 30, 80, 0, "", 0, false},
    {"Romania", "Romanian", "", false, false, 20, 30, 65, 0, "", 0, false},
    {"Bulgaria", "Bulgarian", "", false, false, 20, 30, 75, 0, "", 0, false},
    {"Greece", "Greek", "", false, false, 30, 30, 80, 0, "", 0, false},
    {"Turkey", "Turkish", "", false, false, 60, 40, 90, 0, "", 0, false},
    // The Middle East.
    {"Iraq", "Iraqi", "", false, false, 20, 20, 55, 0, "", 0, false},
    {"Iran", "Iranian", "", false, false, 30, 20, 75, 0, "", 0, false},
    {"Afghanistan", "Afghan", "", false, false, 50, 20, 70, 0, "", 0, false},
    {"Saudi Arabia", "Saudi", "", false, false, 50, 20, 85, 0, "", 0, false},
    {"Egypt", "Egyptian", "", false, false, 20, 30, 70, 0, "", 0, false},
    // The Americas.
    {"Mexico", "Mexican", "", false, false, 40, 30, 80, 0, "", 0, false},
    {"Colombia", "Colombian", "", false, false, 40, 20, 80, 0, "", 0, false},
    {"Venezuela", "Venezuelan", "", false, false, 40, 20, 80, 0, "", 0, false},
    {"Peru", "Peruvian", "", false, false, 40, 20, 80, 0, "", 0, false},
    {"Chile", "Chilean", "", false, false, 40, 20, 85, 0, "", 0, false},
    {"Argentina", "Argentine", "", false, false, 50, 30, 75, 0, "", 0, false},
    {"Brazil", "Brazilian", "", false, false, 40, 30, 80, 0, "", 0, false},
};

// The alliances at the start; a major power joins one when its relation with every member
// reaches 100.
const char* const Alliances[] = {"Axis", "Allies"};

// Relations between nations of which at most one is in an alliance (members of two
// alliances are at war, members of one allied, whatever is written). Both sides get the value.
struct TRelationEntry {
  const char* A;
  const char* B;
  int Value;
};
const TRelationEntry Relations[] = {
    {"Italy", "Germany", 80},         {"Italy", "Japan", 40},          {"Italy", "United Kingdom", -30},
    {"Italy", "France", -40},         {"Italy", "Greece", -30},        {"Italy", "Yugoslavia", -20},
    {"Italy", "Spain", 60},           {"Italy", "Hungary", 50},
    {"Japan", "Germany", 60},         {"Japan", "United Kingdom", -30}, {"Japan", "France", -20},
    {"Japan", "China", -100},         {"Japan", "Manchukuo", 90},      {"Japan", "Thailand", 40},
    {"Japan", "United States", -40},  {"Japan", "USSR", -60},          {"Japan", "Mongolia", -60},
    {"USSR", "Germany", 30},          {"USSR", "Poland", -60},         {"USSR", "Finland", -70},
    {"USSR", "United Kingdom", -10},  {"USSR", "France", -10},         {"USSR", "Mongolia", 90},
    {"USSR", "Estonia", -30},         {"USSR", "Latvia", -30},         {"USSR", "Lithuania", -30},
    {"USSR", "Romania", -40},         {"USSR", "China", 30},           {"USSR", "United States", 0},
    {"United States", "United Kingdom", 60}, {"United States", "France", 50}, {"United States", "Germany", -30},
    {"United States", "China", 40},   {"United States", "Mexico", 50}, {"United States", "Brazil", 50},
    {"United States", "Canada", 70},  {"United States", "Colombia", 40}, {"United States", "Venezuela", 30},
    {"United States", "Peru", 30},    {"United States", "Chile", 30},  {"United States", "Argentina", 10},
    {"Germany", "Hungary", 60},       {"Germany", "Romania", 20},      {"Germany", "Bulgaria", 40},
    {"Germany", "Spain", 50},         {"Germany", "Sweden", 20},       {"Germany", "Finland", 10},
    {"Germany", "Iran", 30},          {"Germany", "Argentina", 30},    {"Germany", "Turkey", 10},
    {"Germany", "Iraq", 20},          {"United Kingdom", "Egypt", 80}, {"United Kingdom", "Iraq", 70},
    {"United Kingdom", "Portugal", 70}, {"United Kingdom", "Ireland", 10}, {"United Kingdom", "Turkey", 40},
    {"United Kingdom", "Greece", 50}, {"United Kingdom", "Norway", 50}, {"United Kingdom", "Netherlands", 40},
    {"United Kingdom", "Belgium", 40}, {"United Kingdom", "China", 30}, {"United Kingdom", "Saudi Arabia", 40},
    {"France", "Turkey", 30},         {"France", "Belgium", 50},       {"France", "Yugoslavia", 40},
    {"France", "Romania", 40},        {"France", "Greece", 30},        {"Poland", "Romania", 50},
    {"China", "Manchukuo", -60},      {"Finland", "Sweden", 60},       {"Hungary", "Romania", -40},
    {"Bulgaria", "Greece", -30},      {"Spain", "Portugal", 50},
};

// ---------------------------------------------------------------------------------------------
// Zones. Every land zone not named here gets the values of its owner's class; capitals of
// major powers are all named.

struct TZoneEntry {
  const char* Zone;
  int Industry;
  int Factories;
  // Oil, ore and rubber: the rich-resources bonus to the zone's industry.
  int Rich;
  // Terrain defence in percent: mountains, forests and swamps.
  int Terrain;
  bool Airfield;
};
const TZoneEntry Zones[] = {
    // Germany
    {"Berlin", 10, 3, 0, 0, true},       {"Ruhr", 14, 4, 2, 0, true},        {"Hamburg", 6, 2, 0, 0, true},
    {"Bavaria", 5, 1, 0, 10, true},      {"Bohemia", 5, 2, 0, 10, false},    {"Austria", 3, 1, 0, 20, false},
    {"East Prussia", 2, 0, 0, 0, true},
    // Italy
    {"Rome", 5, 1, 0, 10, true},         {"Milan", 7, 2, 0, 10, true},       {"Naples", 3, 1, 0, 10, false},
    {"Sicily", 1, 0, 0, 10, true},       {"Albania", 1, 0, 0, 30, false},    {"Tripoli", 1, 0, 0, 0, true},
    {"Ethiopia", 1, 0, 0, 30, false},
    // Japan
    {"Tokyo", 8, 3, 0, 10, true},        {"Osaka", 7, 2, 0, 10, true},       {"Korea", 2, 0, 1, 10, true},
    {"Shanghai", 3, 1, 0, 0, true},      {"Peking", 2, 0, 0, 0, true},       {"Hokkaido", 1, 0, 0, 20, false},
    // United Kingdom
    {"London", 10, 3, 0, 0, true},       {"Midlands", 10, 3, 1, 0, true},    {"Scotland", 4, 1, 0, 20, true},
    {"Palestine", 1, 0, 0, 0, true},     {"Aden", 1, 0, 0, 0, true},         {"Delhi", 3, 1, 0, 0, true},
    {"Bombay", 3, 1, 0, 0, false},       {"Calcutta", 3, 1, 0, 0, false},    {"Punjab", 2, 0, 0, 10, false},
    {"Malaya", 2, 0, 2, 30, true},       {"Burma", 1, 0, 1, 40, false},      {"Rhodesia", 1, 0, 1, 0, false},
    {"East Africa", 1, 0, 0, 0, true},   {"Nigeria", 1, 0, 1, 10, false},    {"Sudan", 1, 0, 0, 0, false},
    {"Guiana", 1, 0, 1, 30, false},
    // France
    {"Paris", 10, 3, 0, 0, true},        {"Lorraine", 6, 2, 1, 10, true},    {"Provence", 3, 1, 0, 10, true},
    {"Bordeaux", 3, 1, 0, 0, false},     {"Brittany", 2, 1, 0, 0, true},     {"Algiers", 2, 0, 0, 0, true},
    {"Morocco", 1, 0, 0, 20, false},     {"Tunisia", 1, 0, 0, 0, true},      {"Syria", 1, 0, 0, 0, true},
    {"Hanoi", 1, 0, 1, 30, false},       {"Saigon", 1, 0, 1, 20, true},      {"Dakar", 1, 0, 0, 0, true},
    // USSR
    {"Moscow", 10, 3, 0, 10, true},      {"Leningrad", 6, 2, 0, 20, true},   {"Kharkov", 6, 2, 1, 0, true},
    {"Gorky", 5, 2, 0, 10, false},       {"Kiev", 4, 1, 0, 0, true},         {"Urals", 5, 2, 2, 20, false},
    {"Caucasus", 2, 0, 4, 30, true},     {"Stalingrad", 4, 1, 0, 0, false},  {"Kuibyshev", 3, 1, 0, 0, false},
    {"Rostov", 3, 1, 1, 0, false},       {"Odessa", 2, 0, 0, 0, true},       {"Minsk", 2, 0, 0, 20, true},
    {"Novosibirsk", 2, 1, 1, 10, false}, {"Omsk", 1, 0, 0, 0, false},        {"Khabarovsk", 1, 0, 0, 20, true},
    {"Murmansk", 1, 0, 0, 20, true},     {"Archangel", 1, 0, 0, 30, false},  {"Irkutsk", 1, 0, 1, 20, false},
    {"Magadan", 0, 0, 1, 40, false},     {"Yakutsk", 0, 0, 0, 40, false},    {"Krasnoyarsk", 1, 0, 1, 30, false},
    {"Kazakhstan", 1, 0, 1, 0, false},   {"Turkestan", 1, 0, 0, 20, false},
    // United States
    {"Washington", 12, 4, 0, 0, true},   {"Chicago", 14, 4, 1, 0, true},     {"California", 8, 3, 1, 10, true},
    {"Atlanta", 5, 1, 0, 0, true},       {"Texas", 5, 1, 3, 0, true},        {"Seattle", 4, 2, 0, 20, true},
    {"Denver", 2, 0, 1, 30, false},      {"Hawaii", 1, 0, 0, 10, true},      {"Philippines", 1, 0, 1, 30, true},
    {"Alaska", 0, 0, 1, 30, true},       {"Central America", 1, 0, 0, 30, true},
    // Minor nations
    {"Warsaw", 3, 1, 0, 0, true},        {"Krakow", 2, 1, 1, 20, false},     {"Chungking", 2, 1, 0, 40, true},
    {"Sian", 1, 0, 0, 20, false},        {"Yunnan", 1, 0, 1, 40, false},     {"Tibet", 0, 0, 0, 60, false},
    {"Sinkiang", 0, 0, 1, 30, false},    {"Mukden", 3, 1, 1, 0, true},       {"Harbin", 2, 0, 1, 10, false},
    {"Ottawa", 4, 2, 0, 10, true},       {"Quebec", 3, 1, 1, 20, false},     {"Winnipeg", 2, 0, 1, 0, false},
    {"New South Wales", 3, 1, 1, 0, true}, {"New Guinea", 0, 0, 1, 40, false}, {"South Africa", 3, 1, 2, 10, true},
    {"Stockholm", 3, 1, 0, 20, true},    {"Norrland", 1, 0, 3, 30, false},   {"Narvik", 1, 0, 2, 40, false},
    {"Oslo", 2, 0, 0, 30, true},         {"Helsinki", 2, 0, 0, 30, true},    {"Lapland", 0, 0, 1, 40, false},
    {"Netherlands", 4, 1, 0, 10, true},  {"Belgium", 4, 1, 1, 0, true},      {"Switzerland", 3, 1, 0, 60, true},
    {"Madrid", 2, 1, 0, 20, true},       {"Catalonia", 2, 1, 0, 20, false},  {"Bucharest", 2, 0, 4, 0, true},
    {"Transylvania", 1, 0, 1, 30, false}, {"Belgrade", 2, 0, 1, 20, false},  {"Croatia", 1, 0, 0, 30, false},
    {"Greece", 1, 0, 0, 30, true},       {"Ankara", 2, 0, 0, 20, true},      {"Erzurum", 0, 0, 0, 40, false},
    {"Istanbul", 2, 1, 0, 10, true},     {"Iraq", 1, 0, 3, 0, true},         {"Persia", 1, 0, 4, 20, false},
    {"Tehran", 1, 0, 1, 20, false},      {"Afghanistan", 0, 0, 0, 50, false}, {"Riyadh", 0, 0, 2, 10, false},
    {"Egypt", 2, 0, 0, 0, true},         {"Congo", 1, 0, 2, 30, false},      {"Sumatra", 1, 0, 3, 30, false},
    {"Borneo", 1, 0, 3, 40, false},      {"Java", 2, 0, 1, 20, true},        {"Venezuela", 1, 0, 3, 10, false},
    {"Rio de Janeiro", 3, 1, 0, 10, true}, {"Buenos Aires", 3, 1, 0, 0, true}, {"Mexico", 2, 0, 2, 20, true},
    {"Chile", 1, 0, 2, 30, false},       {"Peru", 1, 0, 1, 30, false},       {"Amazonas", 0, 0, 1, 50, false},
    {"Thailand", 1, 0, 1, 20, false},    {"Hungary", 2, 1, 0, 0, true},      {"Mongolia", 0, 0, 0, 20, false},
};

// Seas where storms of the southern latitudes and the Arctic make every passage costly.
const std::pair<const char*, int> HazardousSeas[] = {{"Southern Ocean", 20}, {"Denmark Strait", 15}};

// Coastal land zones without a harbour the fleets could use.
const char* const NoPort[] = {"Greenland", "Yakutsk", "Rio de Oro", "Lapland", "Sahara", "Magadan"};

// Border defences: the zone, the neighbour it is fortified against, the level.
struct TBorderEntry {
  const char* Zone;
  const char* Towards;
  int Level;
};
const TBorderEntry Borders[] = {
    // The Maginot line and the Alpine line.
    {"Lorraine", "Ruhr", 3}, {"Lorraine", "Bavaria", 3}, {"Provence", "Milan", 2},
    // The West Wall.
    {"Ruhr", "Lorraine", 2}, {"Bavaria", "Lorraine", 2},
    // The Belgian forts on the Albert canal, the Mannerheim line, the Metaxas line.
    {"Belgium", "Ruhr", 1}, {"Helsinki", "Leningrad", 2}, {"Greece", "Bulgaria", 2},
};

// The zone where the nation's rockets are developed and launched.
const char* const RocketSites[] = {"Berlin"};

// ---------------------------------------------------------------------------------------------
// Armies, air forces and fleets on 1 September 1939: the nation's units in a zone, as
// "count type" items. At sea the fleet carries the armies and the carrier planes.

struct TForceEntry {
  const char* Nation;
  const char* Zone;
  const char* Units;
};
const TForceEntry Forces[] = {
    // Germany: the armies on the Polish border, the West Wall, the fleet and the U-boats.
    {"Germany", "Berlin", "5 Infantry, 3 Armor, 2 Artillery, 1 AA Gun, 3 Fighter, 3 Dive Bomber, 2 Bomber"},
    {"Germany", "East Prussia", "4 Infantry, 1 Armor, 1 Artillery, 1 Fighter, 1 Dive Bomber"},
    {"Germany", "Bohemia", "4 Infantry, 2 Armor, 1 Artillery, 1 Dive Bomber"},
    {"Germany", "Ruhr", "5 Infantry, 2 Artillery, 2 AA Gun, 2 Fighter"},
    {"Germany", "Bavaria", "3 Infantry, 1 Artillery"},
    {"Germany", "Hamburg", "2 Infantry, 1 AA Gun, 1 Fighter, 1 Bomber"},
    {"Germany", "Austria", "2 Infantry"},
    {"Germany", "North Sea", "2 Battleship, 3 Cruiser, 5 Destroyer"},
    {"Germany", "North Atlantic", "6 Submarine"},
    {"Germany", "Baltic Sea", "2 Transport, 1 Destroyer, 3 Infantry, 1 Artillery"},
    // Italy
    {"Italy", "Rome", "4 Infantry, 1 Artillery, 1 AA Gun, 2 Fighter, 1 Bomber"},
    {"Italy", "Milan", "4 Infantry, 1 Armor, 1 Artillery, 1 Fighter"},
    {"Italy", "Naples", "2 Infantry"},
    {"Italy", "Sicily", "2 Infantry, 1 Fighter, 1 Bomber"},
    {"Italy", "Albania", "3 Infantry"},
    {"Italy", "Tripoli", "4 Infantry, 1 Artillery, 1 Fighter"},
    {"Italy", "Benghazi", "2 Infantry"},
    {"Italy", "Ethiopia", "5 Infantry"},
    {"Italy", "Somaliland", "1 Infantry"},
    {"Italy", "Central Mediterranean", "2 Battleship, 4 Cruiser, 6 Destroyer"},
    {"Italy", "Tyrrhenian Sea", "5 Submarine, 2 Destroyer"},
    {"Italy", "Adriatic Sea", "2 Transport, 3 Infantry"},
    // Japan: the China war, the Kwantung army in Korea and the Combined Fleet.
    {"Japan", "Tokyo", "3 Infantry, 1 AA Gun, 2 Fighter, 1 Bomber"},
    {"Japan", "Osaka", "2 Infantry, 1 Fighter"},
    {"Japan", "Korea", "6 Infantry, 1 Armor, 2 Artillery, 1 Fighter"},
    {"Japan", "Peking", "5 Infantry, 1 Armor, 2 Artillery, 1 Fighter, 1 Dive Bomber"},
    {"Japan", "Shanghai", "5 Infantry, 1 Artillery, 1 Bomber"},
    {"Japan", "Hokkaido", "1 Infantry"},
    {"Japan", "Northwest Pacific", "3 Carrier, 4 Fighter, 5 Dive Bomber, 1 Battleship, 2 Cruiser, 4 Destroyer"},
    {"Japan", "East China Sea", "4 Battleship, 4 Cruiser, 6 Destroyer"},
    {"Japan", "Philippine Sea", "4 Submarine"},
    {"Japan", "Yellow Sea", "3 Transport, 1 Destroyer, 4 Infantry, 1 Artillery"},
    // The United Kingdom: the home islands, the empire, the Home Fleet, the convoys.
    {"United Kingdom", "London", "4 Infantry, 1 Artillery, 3 AA Gun, 4 Fighter, 2 Bomber"},
    {"United Kingdom", "Midlands", "3 Infantry, 1 Armor, 2 Fighter, 1 Bomber"},
    {"United Kingdom", "Scotland", "2 Infantry, 1 Fighter"},
    {"United Kingdom", "Palestine", "2 Infantry, 1 Armor"},
    {"United Kingdom", "Sudan", "1 Infantry"},
    {"United Kingdom", "Aden", "1 Infantry, 1 Fighter"},
    {"United Kingdom", "Delhi", "4 Infantry, 1 Artillery"},
    {"United Kingdom", "Punjab", "2 Infantry"},
    {"United Kingdom", "Bombay", "1 Infantry"},
    {"United Kingdom", "Calcutta", "1 Infantry"},
    {"United Kingdom", "Burma", "1 Infantry"},
    {"United Kingdom", "Malaya", "2 Infantry, 1 Fighter"},
    {"United Kingdom", "East Africa", "1 Infantry"},
    {"United Kingdom", "Nigeria", "1 Infantry"},
    {"United Kingdom", "Rhodesia", "1 Infantry"},
    {"United Kingdom", "Norwegian Sea", "5 Battleship, 6 Cruiser, 8 Destroyer"},
    {"United Kingdom", "Western Approaches", "2 Carrier, 3 Fighter, 3 Dive Bomber, 3 Destroyer"},
    {"United Kingdom", "English Channel", "4 Transport, 2 Destroyer, 4 Infantry, 1 Artillery, 1 Armor"},
    {"United Kingdom", "Azores", "6 Merchant Ship, 2 Destroyer"},
    {"United Kingdom", "Irish Sea", "3 Submarine"},
    {"United Kingdom", "Eastern Mediterranean", "3 Battleship, 1 Carrier, 1 Fighter, 2 Dive Bomber, 4 Cruiser, 6 Destroyer"},
    {"United Kingdom", "Indian Ocean", "2 Cruiser, 2 Destroyer"},
    // France: the armies behind the Maginot line and the fleet.
    {"France", "Paris", "4 Infantry, 2 Armor, 2 Artillery, 1 AA Gun, 3 Fighter, 1 Bomber"},
    {"France", "Lorraine", "8 Infantry, 1 Armor, 4 Artillery, 1 Fighter"},
    {"France", "Provence", "3 Infantry, 1 Artillery"},
    {"France", "Brittany", "1 Infantry"},
    {"France", "Bordeaux", "1 Infantry"},
    {"France", "Algiers", "2 Infantry"},
    {"France", "Morocco", "2 Infantry"},
    {"France", "Tunisia", "2 Infantry, 1 Fighter"},
    {"France", "Syria", "2 Infantry"},
    {"France", "Hanoi", "1 Infantry"},
    {"France", "Saigon", "1 Infantry"},
    {"France", "Dakar", "1 Infantry"},
    {"France", "Western Mediterranean", "3 Battleship, 5 Cruiser, 8 Destroyer, 3 Submarine"},
    {"France", "Bay of Biscay", "2 Battleship, 1 Carrier, 1 Fighter, 2 Dive Bomber, 2 Cruiser, 4 Destroyer"},
    // The USSR
    {"USSR", "Moscow", "6 Infantry, 3 Armor, 2 Artillery, 2 AA Gun, 3 Fighter, 2 Bomber"},
    {"USSR", "Leningrad", "5 Infantry, 1 Armor, 2 Artillery, 1 Fighter"},
    {"USSR", "Minsk", "5 Infantry, 2 Armor, 1 Fighter"},
    {"USSR", "Kiev", "5 Infantry, 2 Armor, 1 Artillery, 1 Fighter"},
    {"USSR", "Odessa", "2 Infantry"},
    {"USSR", "Caucasus", "2 Infantry"},
    {"USSR", "Murmansk", "1 Infantry"},
    {"USSR", "Khabarovsk", "4 Infantry, 1 Armor, 1 Fighter"},
    {"USSR", "Irkutsk", "2 Infantry"},
    {"USSR", "Turkestan", "1 Infantry"},
    {"USSR", "Baltic Sea", "1 Battleship, 2 Cruiser, 4 Destroyer, 3 Submarine"},
    {"USSR", "Black Sea", "1 Battleship, 2 Cruiser, 4 Destroyer, 4 Submarine"},
    {"USSR", "Sea of Okhotsk", "2 Destroyer, 3 Submarine"},
    // The United States
    {"United States", "Washington", "3 Infantry, 1 AA Gun, 2 Fighter, 1 Bomber"},
    {"United States", "Chicago", "2 Infantry, 1 Armor"},
    {"United States", "California", "2 Infantry, 1 Fighter, 1 Bomber"},
    {"United States", "Texas", "2 Infantry"},
    {"United States", "Atlanta", "1 Infantry"},
    {"United States", "Seattle", "1 Infantry"},
    {"United States", "Hawaii", "2 Infantry, 2 Fighter, 1 Bomber"},
    {"United States", "Philippines", "2 Infantry, 1 Fighter"},
    {"United States", "Central America", "1 Infantry"},
    {"United States", "Alaska", "1 Infantry"},
    {"United States", "Hawaiian Waters", "6 Battleship, 2 Carrier, 3 Fighter, 3 Dive Bomber, 6 Cruiser, 10 Destroyer"},
    {"United States", "Eastern Seaboard", "3 Battleship, 1 Carrier, 1 Fighter, 2 Dive Bomber, 4 Cruiser, 6 Destroyer"},
    {"United States", "California Current", "4 Submarine, 2 Destroyer"},
    {"United States", "Caribbean Sea", "4 Merchant Ship, 1 Destroyer"},
    {"United States", "Gulf of Mexico", "2 Transport, 2 Infantry"},
    // Minor nations whose armies are larger than their class gives.
    {"Poland", "Warsaw", "6 Infantry, 1 Armor, 2 Artillery, 2 Fighter"},
    {"Poland", "Poznan", "4 Infantry, 1 Artillery"},
    {"Poland", "Krakow", "3 Infantry, 1 Artillery"},
    {"Poland", "Lwow", "2 Infantry"},
    {"Poland", "Vilna", "2 Infantry"},
    {"China", "Chungking", "6 Infantry, 1 Artillery, 1 Fighter"},
    {"China", "Sian", "4 Infantry"},
    {"China", "Canton", "3 Infantry"},
    {"China", "Yunnan", "2 Infantry"},
    {"Switzerland", "Switzerland", "4 Infantry, 1 Artillery"},
    {"Finland", "Helsinki", "4 Infantry, 1 Artillery"},
    {"Turkey", "Ankara", "4 Infantry, 1 Artillery"},
    {"Spain", "Madrid", "4 Infantry, 1 Artillery, 1 Fighter"},
    {"Manchukuo", "Mukden", "3 Infantry"},
};

// Every zone a minor nation owns that is not named above: at the capital an army of its
// class, elsewhere one division.
constexpr const char* MinorCapitalArmy = "3 Infantry, 1 Artillery";
constexpr const char* MinorZoneArmy = "1 Infantry";

// ---------------------------------------------------------------------------------------------
// Reinforcements: units that arrive for a major power on a historical date. Armies and planes
// arriving at sea board the nation's first fleet in the zone, so they arrive where the nation
// has no fleet at the start.

struct TReinforcementEntry {
  int Year, Month, Day;
  const char* Nation;
  const char* Zone;
  const char* Units;
};
const TReinforcementEntry Reinforcements[] = {
    {1939, 10, 1, "France", "Lorraine", "4 Infantry, 2 Artillery"},
    {1940, 5, 10, "Germany", "Ruhr", "4 Infantry, 4 Armor, 3 Dive Bomber"},
    {1941, 6, 22, "Germany", "East Prussia", "6 Infantry, 4 Armor, 2 Fighter"},
    {1940, 6, 10, "Italy", "Milan", "3 Infantry, 1 Fighter"},
    {1940, 9, 13, "Italy", "Tripoli", "3 Infantry, 1 Armor"},
    {1941, 12, 7, "Japan", "Sea of Japan", "2 Carrier, 3 Fighter, 3 Dive Bomber, 2 Destroyer"},
    {1941, 12, 8, "Japan", "Shanghai", "4 Infantry, 1 Armor, 1 Bomber"},
    {1940, 8, 1, "United Kingdom", "London", "4 Fighter, 2 AA Gun"},
    {1941, 11, 18, "United Kingdom", "Palestine", "3 Infantry, 3 Armor, 1 Artillery"},
    {1941, 7, 1, "USSR", "Urals", "4 Infantry, 2 Armor"},
    {1941, 12, 5, "USSR", "Moscow", "8 Infantry, 2 Armor, 2 Fighter"},
    {1942, 11, 19, "USSR", "Stalingrad", "4 Infantry, 4 Armor, 3 Artillery"},
    {1941, 12, 8, "United States", "Washington", "4 Infantry, 2 Fighter, 2 Bomber"},
    {1942, 6, 1, "United States", "Sargasso Sea", "4 Transport, 2 Destroyer, 6 Infantry, 1 Armor"},
    {1942, 6, 4, "United States", "East Pacific", "2 Carrier, 3 Fighter, 3 Dive Bomber, 2 Cruiser"},
};

// ---------------------------------------------------------------------------------------------
// Random events. Trigger 0 by chance, 1 a coup in the nation, 2 the conquest and 3 the
// liberation of the zone; effects 0 units destroyed, 1 organisation, 2 combat, 3 bombing
// damage, 4 bombardment, 5 resources, 6 unit cost; filters 0 every nation, 1 a nation, 2 an
// alliance; areas 0 everywhere, 1 a zone, 2 owned by, 3 originally owned by, 4 controlled by
// an alliance, 5 a rectangle "left,top,right,bottom" of the map named by the trigger name.

struct TEventEntry {
  const char* Title;
  int Trigger;
  const char* TriggerName;
  int Effect;
  int Percent;
  // Impulses; negative for ever, 0 at once only.
  int Duration;
  // "1"/"0" for Army, Air Force, Navy.
  const char* Kinds;
  int Filter;
  const char* FilterName;
  int Area;
  const char* AreaValue;
  const char* History;
};
const TEventEntry Events[] = {
    {"General Winter", 0, "", 1, -25, 20, "100", 0, "", 3, "USSR",
     "The Russian winter comes early and hard. Frozen engines, frostbite and snowed-in roads "
     "grind every army on Soviet soil to a halt."},
    {"Typhoon", 0, "the Western Pacific", 0, 10, 0, "001", 0, "", 5, "2230,830,2440,1090",
     "A typhoon sweeps across the Western Pacific; ships caught at sea founder in the storm."},
    {"Chain Home Radar", 0, "", 3, -30, 60, "010", 0, "", 2, "United Kingdom",
     "A chain of radar stations along the coast gives the fighters warning of every raid."},
    {"Atlantic Gales", 0, "the North Atlantic", 4, -50, 10, "001", 0, "", 5, "650,300,900,900",
     "Winter gales in the North Atlantic make naval gunfire all but useless."},
    {"Ploesti Oil Boom", 0, "", 5, 50, 0, "111", 0, "", 1, "Bucharest",
     "New wells come in at the Romanian oil fields."},
    {"Lend-Lease", 0, "", 6, -20, 90, "111", 2, "Allies", 4, "Allies",
     "American factories deliver arms to the nations fighting the Axis at a fraction of their price."},
    {"Sabotage in the Ruhr", 0, "", 0, 5, 0, "010", 0, "", 1, "Ruhr",
     "Saboteurs set fire to the hangars of the Ruhr's airfields."},
    {"Coup in Belgrade", 1, "Yugoslavia", 2, -10, 15, "100", 1, "Yugoslavia", 2, "Yugoslavia",
     "Officers overthrow the regency; the army is divided and in disarray."},
    {"Golden Square Coup", 1, "Iraq", 5, -50, 0, "111", 0, "", 1, "Iraq",
     "Nationalist officers seize power in Baghdad; the oil fields stop pumping during the unrest."},
    {"Fall of Paris", 2, "Paris", 2, -15, 30, "100", 1, "France", 0, "",
     "Paris has fallen. The French armies fight on without hope."},
    {"Liberation of Paris", 3, "Paris", 1, 20, 20, "111", 2, "Allies", 3, "France",
     "Paris is free again! The Allied armies in France march on with new heart."},
    {"Fall of Moscow", 2, "Moscow", 1, -30, 30, "111", 1, "USSR", 0, "",
     "The capital is lost; the Soviet command is scattered and its armies waver."},
    {"Day of Infamy", 2, "Hawaii", 2, 10, -1, "111", 1, "United States", 0, "",
     "The attack on Hawaii unites the American nation as nothing before."},
};

// ---------------------------------------------------------------------------------------------
// Victory conditions, tested after every impulse in this order. Kinds: 0 the nation's world
// domination reaches the target percent, 1 the alliance's, 2 the nation's falls to it, 3 the
// alliance's, 4 the nation still exists at the target (a date, turned into an impulse).

struct TVictoryEntry {
  const char* Winner;
  bool WinnerIsNation;
  int Kind;
  const char* Subject;
  int Target;
  // For kind 4: the date the subject must live to see.
  int Year = 0, Month = 0, Day = 0;
};
const TVictoryEntry Victories[] = {
    {"Axis", false, 1, "Axis", 55},
    {"Allies", false, 3, "Axis", 2},
    {"Germany", true, 0, "Germany", 40},
    {"USSR", true, 2, "Germany", 3},
    {"Japan", true, 0, "Japan", 30},
    {"United States", true, 2, "Japan", 1},
    {"United Kingdom", true, 4, "United Kingdom", 0, 1945, 9, 2},
};

// ---------------------------------------------------------------------------------------------
// Making the file.

std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw EScenarioSource("Cannot read " + Path.string());
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

using TCounts = std::array<int, UnitTypeCount>;

std::string Trim(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(' ');
  if (First == std::string::npos) return {};
  return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

std::string Join(const std::vector<std::string>& Fields, const std::string& Delim) {
  std::string S;
  for (std::size_t I = 0; I < Fields.size(); ++I) S += (I ? Delim : "") + Fields[I];
  return S;
}

TZone* FindZone(const TZoneMap& Map, const std::string& Name) {
  for (int I = 0; I < Map.ZoneCount(); ++I)
    if (Map.GetZone(I)->GetName() == Name) return Map.GetZone(I);
  return nullptr;
}

// "4 Infantry, 1 Armor" as counts per unit type.
TCounts ParseUnits(const std::string& Text, const std::string& Where) {
  TCounts Counts{};
  std::string Rest = Text;
  while (!Rest.empty()) {
    std::string Item = Trim(NextToken(Rest, ","));
    const std::size_t Space = Item.find(' ');
    const auto Count = TryStrToInt(Item.substr(0, Space));
    const std::string Type = Space == std::string::npos ? "" : Item.substr(Space + 1);
    int Found = -1;
    for (int T = 0; T < UnitTypeCount; ++T)
      if (Type == UnitTypes[std::size_t(T)].Name) Found = T;
    if (!Count || *Count <= 0 || Found < 0) throw EScenarioSource(Where + ": \"" + Item + "\" is no count of a unit type");
    Counts[std::size_t(Found)] += *Count;
  }
  return Counts;
}

// The zone's units are what the game places: one unit per kind, an army at sea carried by
// the fleet and carrier planes based on it. Refuses what the fleet cannot carry.
void CheckPlacement(const TCounts& C, bool Sea, const std::string& Where) {
  int Army = 0, Weight = 0, Air = 0, CarrierPlanes = 0, Navy = 0;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const auto& Info = UnitTypes[std::size_t(T)];
    if (Info.Kind == ukArmy) Army += C[std::size_t(T)], Weight += C[std::size_t(T)] * Info.Weight;
    if (Info.Kind == ukAirForce) Air += C[std::size_t(T)], CarrierPlanes += Info.Carrier ? C[std::size_t(T)] : 0;
    if (Info.Kind == ukNavy) Navy += C[std::size_t(T)];
  }
  if (Sea) {
    if (Army && Weight > 2 * C[utTransport]) throw EScenarioSource(Where + ": the transports cannot carry the army");
    if (Air && (Air != CarrierPlanes || Air > 3 * C[utCarrier])) throw EScenarioSource(Where + ": the carriers cannot take the planes");
    if (!Navy) throw EScenarioSource(Where + ": units at sea without a fleet");
  } else if (Navy) {
    throw EScenarioSource(Where + ": a fleet on land");
  }
}

std::string CountsText(const TCounts& C) {
  std::string S;
  for (int V : C) S += IntToStr(V) + "#";
  return S;
}

int ImpulseOf(int Year, int Month, int Day) {
  const double Days = EncodeDate(Year, Month, Day) - EncodeDate(StartYear, StartMonth, StartDay);
  return static_cast<int>(std::lround(Days / ImpulseDays));
}

struct TOwner {
  std::string Nation;
  bool Capital = false;
};

}  // namespace

TScenarioFiles MakeStandardScenario(const std::string& DataFolder) {
  const fs::path Data(DataFolder);
  const std::string MapSetName = "Standard.brmmap";
  TZoneMap Map;
  // The zones only: the tiles are the map compiler's.
  LoadZoneMap(Map, TMapSet::Parse(ReadAll(Data / MapSetName), MapSetName));

  std::map<std::string, int> NationIndex;
  for (const TNationEntry& N : Nations) {
    const int I = static_cast<int>(NationIndex.size());
    if (!NationIndex.emplace(N.Name, I).second) throw EScenarioSource(std::string("Nation ") + N.Name + " twice");
  }
  const auto IndexOf = [&](const std::string& Name, const std::string& Where) {
    const auto It = NationIndex.find(Name);
    if (It == NationIndex.end()) throw EScenarioSource(Where + ": " + Name + " is no nation");
    return It->second;
  };
  const auto ZoneOf = [&](const std::string& Name, const std::string& Where) {
    TZone* Z = FindZone(Map, Name);
    if (!Z) throw EScenarioSource(Where + ": " + Name + " is no zone of the map");
    return Z;
  };

  // The owners of 1939, from the map's side file.
  std::map<std::string, TOwner> Owners;
  std::set<std::string> OwnerNations;
  {
    std::istringstream In(ReadAll(Data / "maps" / "Standard.owners.txt"));
    std::string Line;
    while (std::getline(In, Line)) {
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      if (Line.empty() || Line[0] == '#') continue;
      std::string Rest = Line;
      const std::string Zone = NextToken(Rest, ";");
      TOwner Owner;
      Owner.Nation = NextToken(Rest, ";");
      Owner.Capital = Rest == "1";
      IndexOf(Owner.Nation, "Owner of " + Zone);
      ZoneOf(Zone, "The owners' file");
      Owners[Zone] = Owner;
      OwnerNations.insert(Owner.Nation);
    }
  }
  for (const TNationEntry& N : Nations)
    if (!OwnerNations.count(N.Name)) throw EScenarioSource(std::string(N.Name) + " owns no zone of the map");

  // Relations per nation.
  std::vector<std::map<int, int>> NationRelations(std::size(Nations));
  for (const TRelationEntry& R : Relations) {
    const int A = IndexOf(R.A, "Relation"), B = IndexOf(R.B, "Relation");
    if (*Nations[A].Alliance && *Nations[B].Alliance)
      throw EScenarioSource(std::string("Relation ") + R.A + " - " + R.B + ": both are in alliances");
    if (NationRelations[std::size_t(A)].count(B)) throw EScenarioSource(std::string("Relation ") + R.A + " - " + R.B + " twice");
    NationRelations[std::size_t(A)][B] = R.Value;
    NationRelations[std::size_t(B)][A] = R.Value;
  }

  std::ostringstream S;
  const auto Line = [&S](const std::string& Key, const std::string& Value) { S << Key << "=" << Value << "\r\n"; };
  Line("Description", Description);
  Line("Date", IntToStr(StartMonth) + "/" + IntToStr(StartDay) + "/" + IntToStr(StartYear));
  Line("ImpulseRate", IntToStr(ImpulseDays));
  Line("MapSet", MapSetName);
  // The map wraps east to west across the Pacific.
  Line("Wrapping", "1,0");
  // Diplomacy, snow and rain storms, news of diplomacy, research, the build window; ports and
  // airfields as the zones say.
  Line("EngineOptions", "11111001");
  Line("ResearchGroups", "25#20#20#200#15#10#60#60#");
  for (const char* A : Alliances) Line("Alliance", A);
  Line("NationCount", IntToStr(static_cast<std::int64_t>(std::size(Nations))));
  for (std::size_t I = 0; I < std::size(Nations); ++I) {
    const TNationEntry& N = Nations[I];
    std::string Rel;
    for (const auto& [Other, Value] : NationRelations[I]) Rel += IntToStr(Other) + "=" + IntToStr(Value) + ";";
    Line("Nation", Join({N.Name, N.Alliance, N.Major ? "1" : "0", N.Adjective, IntToStr(N.Resistance), Rel, "",
                                     N.AttackWithoutWar ? "1" : "0", IntToStr(N.Countdown), IntToStr(N.Stability),
                                     IntToStr(N.DiplomaticInterval), N.TypeFactors, IntToStr(N.ColorSlot),
                                     N.Kamikaze ? "1" : "0", ""}, ","));
  }

  // Zone facts.
  std::map<std::string, const TZoneEntry*> Facts;
  for (const TZoneEntry& Z : Zones) {
    TZone* Zone = ZoneOf(Z.Zone, "Zone facts");
    if (Zone->GetSea()) throw EScenarioSource(std::string("Zone facts: ") + Z.Zone + " is a sea zone");
    if (!Facts.emplace(Z.Zone, &Z).second) throw EScenarioSource(std::string("Zone facts: ") + Z.Zone + " twice");
  }
  std::map<std::string, int> Hazards;
  for (const auto& [Zone, Level] : HazardousSeas) {
    if (!ZoneOf(Zone, "Hazardous seas")->GetSea()) throw EScenarioSource(std::string(Zone) + " is no sea zone");
    Hazards[Zone] = Level;
  }
  std::set<std::string> NoPorts(std::begin(NoPort), std::end(NoPort));
  for (const std::string& Z : NoPorts) ZoneOf(Z, "Zones without port");
  std::map<std::string, std::vector<std::pair<int, int>>> BorderLists;
  for (const TBorderEntry& B : Borders) {
    TZone* Zone = ZoneOf(B.Zone, "Border defence");
    TZone* Towards = ZoneOf(B.Towards, "Border defence");
    if (!Zone->IsNeighbour(Towards)) throw EScenarioSource(std::string("Border defence: ") + B.Zone + " and " + B.Towards + " are no neighbours");
    BorderLists[B.Zone].push_back({B.Level, Map.IndexOfZone(Towards)});
  }
  std::set<std::string> Rockets(std::begin(RocketSites), std::end(RocketSites));
  for (const std::string& Z : Rockets) ZoneOf(Z, "Rocket site");

  // The forces, per zone and tally row.
  std::map<std::string, std::map<int, TCounts>> Tallies;
  for (const TForceEntry& F : Forces) {
    const std::string Where = std::string("Forces of ") + F.Nation + " in " + F.Zone;
    const int N = IndexOf(F.Nation, Where);
    TZone* Zone = ZoneOf(F.Zone, Where);
    if (!Zone->GetSea() && Owners[F.Zone].Nation != F.Nation)
      throw EScenarioSource(Where + ": a nation's armies start in its own land zones");
    if (Zone->GetSea() && !Nations[N].Major) throw EScenarioSource(Where + ": only major powers have fleets");
    const int Row = Nations[N].Major ? N : MinorTallyRow;
    if (Tallies[F.Zone].count(Row)) throw EScenarioSource(Where + ": twice");
    const TCounts Counts = ParseUnits(F.Units, Where);
    CheckPlacement(Counts, Zone->GetSea(), Where);
    Tallies[F.Zone][Row] = Counts;
  }

  for (int I = 0; I < Map.ZoneCount(); ++I) {
    const TZone& Zone = *Map.GetZone(I);
    const std::string& Name = Zone.GetName();
    int Industry = 0, Factories = 0, Rich = 0, Terrain = 0, Owner = -1;
    bool Capital = false, Airfield = false, Port = false;
    if (Zone.GetSea()) {
      Terrain = Hazards.count(Name) ? Hazards[Name] : 0;
    } else {
      const auto O = Owners.find(Name);
      if (O == Owners.end()) throw EScenarioSource("Land zone " + Name + " has no owner in the owners' file");
      Owner = NationIndex[O->second.Nation];
      Capital = O->second.Capital;
      const bool Major = Nations[Owner].Major;
      if (const auto F = Facts.find(Name); F != Facts.end()) {
        Industry = F->second->Industry;
        Factories = F->second->Factories;
        Rich = F->second->Rich;
        Terrain = F->second->Terrain;
        Airfield = F->second->Airfield;
      } else {
        if (Capital && Major) throw EScenarioSource("The capital " + Name + " of a major power needs its facts");
        Industry = Capital ? 2 : 1;
        Airfield = Capital;
      }
      Airfield = Airfield || Capital;
      Port = Zone.IsCoastal() && !NoPorts.count(Name);
      // A minor nation's armies of its class where the forces table names none.
      if (!Major && !Tallies[Name].count(MinorTallyRow))
        Tallies[Name][MinorTallyRow] = ParseUnits(Capital ? MinorCapitalArmy : MinorZoneArmy, Name);
    }
    std::string TallyText;
    for (const auto& [Row, Counts] : Tallies[Name])
      for (int T = 0; T < UnitTypeCount; ++T)
        if (Counts[std::size_t(T)]) TallyText += IntToStr(Row) + "#" + IntToStr(T) + "#" + IntToStr(Counts[std::size_t(T)]) + "#";
    std::string BorderText;
    const auto& BorderList = BorderLists[Name];
    for (const auto& [Level, Towards] : BorderList) BorderText += IntToStr(Level) + "#" + IntToStr(Towards) + "#";
    // The stock of resources at the start: two impulses of the zone's income.
    const int Resources = 2 * (Industry + Rich);
    std::string Record = Name + ";";
    for (const std::string& Field :
         {IntToStr(Industry), IntToStr(Factories), std::string("0"), IntToStr(Rich), std::string(), IntToStr(Owner), TallyText,
          std::string(), std::string(Capital ? "1" : "0"), IntToStr(Resources), IntToStr(static_cast<std::int64_t>(BorderList.size())),
          BorderText, std::string(Port ? "1" : "0"), std::string(Airfield ? "1" : "0"), IntToStr(Terrain),
          std::string(Rockets.count(Name) ? "1" : "0")})
      Record += Field + ";";
    Line("Zone", Record);
  }
  for (const auto& [Zone, Rows] : Tallies)
    if (!FindZone(Map, Zone)) throw EScenarioSource("Forces in " + Zone + ", no zone of the map");

  for (const TEventEntry& E : Events) {
    const std::string Where = std::string("Random event ") + E.Title;
    if ((E.Trigger == 2 || E.Trigger == 3) && ZoneOf(E.TriggerName, Where)->GetSea()) throw EScenarioSource(Where + ": a sea zone");
    if (E.Trigger == 1) IndexOf(E.TriggerName, Where);
    if (E.Filter == 1) IndexOf(E.FilterName, Where);
    if (E.Area == 1) ZoneOf(E.AreaValue, Where);
    if (E.Area == 2 || E.Area == 3) IndexOf(E.AreaValue, Where);
    std::string V;
    for (const std::string& Field : {IntToStr(E.Filter), std::string(E.Kinds), std::string(E.History), IntToStr(E.Area),
                                     IntToStr(E.Effect), IntToStr(E.Duration), IntToStr(E.Percent), std::string(),
                                     std::string(E.TriggerName), std::string(), std::string(E.FilterName),
                                     std::string(E.AreaValue), std::string(E.Title), IntToStr(E.Trigger)})
      V += Field + "~";
    Line("RandomEvent", V);
  }
  for (const TVictoryEntry& C : Victories) {
    const int Target = C.Kind == 4 ? ImpulseOf(C.Year, C.Month, C.Day) : C.Target;
    Line("VictoryCondition", std::string(C.Winner) + "~" + (C.WinnerIsNation ? "1" : "0") + "~" + IntToStr(C.Kind) + "~" +
                                 C.Subject + "~" + IntToStr(Target) + "~");
  }
  for (const TReinforcementEntry& R : Reinforcements) {
    const std::string Where = std::string("Reinforcement of ") + R.Nation + " in " + R.Zone;
    const int N = IndexOf(R.Nation, Where);
    const TCounts Counts = ParseUnits(R.Units, Where);
    CheckPlacement(Counts, ZoneOf(R.Zone, Where)->GetSea(), Where);
    Line("Reinforcement", CountsText(Counts) + "," + IntToStr(ImpulseOf(R.Year, R.Month, R.Day)) + "," + IntToStr(N) + "," + R.Zone);
  }

  TScenarioFiles Files;
  Files.Scenario = S.str();
  std::vector<std::string> Names;
  for (const TNationEntry& N : Nations) Names.push_back(N.Name);
  Files.Flags = DrawFlags(Names);
  return Files;
}
