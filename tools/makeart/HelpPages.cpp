// The help book: a few plain HTML pages, written for this game, that the game opens in the
// system's browser. The main topic is the one the title screen's help button opens.
#include <utility>

#include "GameArtDraw.h"

namespace {

std::string Page(const std::string& Title, const std::string& Body) {
  std::string Links;
  const std::pair<const char*, const char*> Topics[] = {
      {"Dezavuvi10", "Contents"}, {"Screens", "Screens"}, {"Orders", "Orders"},   {"Units", "Units"},
      {"Diplomacy", "Diplomacy"}, {"Research", "Research"}, {"Online", "Online games"}};
  for (const auto& [Topic, Label] : Topics) Links += "<a href=\"" + std::string(Topic) + ".html\">" + Label + "</a> ";
  return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>Brenmoor help: " + Title +
         "</title>\n<style>\nbody { font-family: sans-serif; max-width: 46em; margin: 1em auto; color: #102030; "
         "background: #f4f1e8; }\nh1 { color: #000080; }\nh2 { color: #3a4a20; }\nnav { border-bottom: 1px solid "
         "#888; padding-bottom: 0.4em; }\ntable { border-collapse: collapse; }\ntd, th { border: 1px solid #aaa; "
         "padding: 0.2em 0.5em; text-align: left; }\n</style>\n</head>\n<body>\n<nav>" +
         Links + "</nav>\n<h1>" + Title + "</h1>\n" + Body + "\n</body>\n</html>\n";
}

}  // namespace

std::vector<TArtFile> HelpPages() {
  std::vector<TArtFile> Out;
  auto Add = [&](const char* Topic, const std::string& Title, const std::string& Body) {
    Out.push_back({GameArt::HelpPath(Topic), Page(Title, Body)});
  };
  Add("Dezavuvi10", "Brenmoor",
      "<p>Brenmoor is a game of the Second World War played on a map of the world. You lead one "
      "or more of the seven major powers; the others are led by other players, on this machine or "
      "online, or by computer players. Time runs in impulses of four seconds: in every impulse the "
      "orders given so far are carried out at once for every nation.</p>\n"
      "<h2>Getting started</h2>\n<ol>\n<li>On the title screen choose <b>Solo Game</b>, pick a "
      "scenario and say which nations you play.</li>\n<li>Click one of your zones on the map: the "
      "zone tab shows what it holds and what it can build.</li>\n<li>Select units in the unit list "
      "and give them an order with the order buttons, then click the target zone.</li>\n<li>Watch "
      "the news and the messages at the top and bottom of the map, and use the pause button while "
      "you think.</li>\n</ol>\n<h2>Topics</h2>\n<ul>\n<li><a href=\"Screens.html\">The screens</a>: "
      "the map, the panels, the toolbar and the status bar.</li>\n<li><a href=\"Orders.html\">Orders"
      "</a>: moving, fighting, building.</li>\n<li><a href=\"Units.html\">Units</a>: the sixteen kinds "
      "of forces.</li>\n<li><a href=\"Diplomacy.html\">Diplomacy</a>: alliances, peace and war.</li>\n"
      "<li><a href=\"Research.html\">Research</a>: new weapons.</li>\n<li><a href=\"Online.html\">Online "
      "games</a>: the lobby and games against other people.</li>\n</ul>\n"
      "<p>You win by meeting the scenario's victory conditions, shown on the set-up screen, or by "
      "holding the largest share of the world when the game ends.</p>");
  Add("Screens", "The screens",
      "<h2>The map</h2>\n<p>Each zone is outlined in its owner's colour. A land zone's label gives its "
      "name and industry; its resources show on olive, or on red when they are negative. A capital "
      "has a gold star and an underlined name; a yellow name means terrain that helps the defender. "
      "The icons inside a zone show its factories, rich resources, port, airfield and rocket site, "
      "and the forces of every nation you can see there, with their numbers below. Army counts "
      "shown in cyan are troops carried by ships. <b>[more]</b> means the zone holds more than it "
      "has room to show: select it to see the rest. An outline that shakes marks a battle; a "
      "dotted band along a border is a border defence, denser for higher levels.</p>\n"
      "<h2>Moving around</h2>\n<p>Hold the mouse on the compass in the corner of the map to scroll "
      "toward the side you point at, faster the farther from its middle. Double-click near an edge "
      "of the compass to jump to that edge of the map, or on its middle (or press the space bar) to "
      "centre on your capital. The navigator window shows the whole map with a box around the part "
      "you see; drag in it to move there.</p>\n<h2>The panels</h2>\n<p>The zone tab tells what the "
      "selected zone is and offers the build buttons that apply; the units tab lists its units and "
      "the orders every selected unit can take. F5 switches between the two.</p>\n<h2>The toolbar and "
      "status bar</h2>\n<p>The toolbar opens the navigator, news, scores and communications windows, "
      "shows or hides the order lines, pauses the game and opens diplomacy, research and formations. "
      "The status bar shows the nation you are playing, its resources, its share of the world and "
      "the date.</p>");
  Add("Orders", "Orders",
      "<p>Select one or more units in the unit list, press an order button and click the target on "
      "the map. The order prompt says what is expected; <b>Cancel</b> leaves the order unentered. "
      "With the order lines shown, each of your units draws a dotted line to its destination.</p>\n"
      "<table>\n<tr><th>Order</th><th>What it does</th></tr>\n"
      "<tr><td>Move</td><td>Marches, flies or sails to the target zone along the cheapest path.</td></tr>\n"
      "<tr><td>Retreat</td><td>Leaves a battle for a friendly neighbouring zone.</td></tr>\n"
      "<tr><td>Embark, Disembark</td><td>Armies board a fleet with transports, and land again.</td></tr>\n"
      "<tr><td>Invade</td><td>Armies carried by a fleet land in an enemy coastal zone.</td></tr>\n"
      "<tr><td>Intercept</td><td>Follows an enemy unit and attacks it.</td></tr>\n"
      "<tr><td>Patrol, Recon</td><td>Flies a route of zones, fighting or looking.</td></tr>\n"
      "<tr><td>Bombard</td><td>Battleships shell a coastal zone, lowering the defenders' organisation.</td></tr>\n"
      "<tr><td>Bomb, Air strike, Atomic</td><td>Bombers hit a zone's resources, its units, or everything.</td></tr>\n"
      "<tr><td>Submerge, Surface</td><td>Submarines hide under water and come up to attack.</td></tr>\n"
      "<tr><td>Divide, Merge, Consolidate</td><td>Split a unit, join units of one class, or join every "
      "unit of a zone by class.</td></tr>\n<tr><td>Base here, Rebase, Return to base</td><td>Choose "
      "where an air unit lands between missions.</td></tr>\n"
      "<tr><td>Route resources</td><td>Sends a zone's resources to another zone every impulse.</td></tr>\n"
      "</table>\n<h2>Building</h2>\n<p>A zone you own with resources can build factories, border "
      "defences, airfields, ports, rocket sites and convoys, and land, air and sea forces. Building "
      "takes several impulses; the progress bar on the zone tab shows how far it has come.</p>");
  Add("Units", "Units",
      "<p>Every unit is a group of forces of one class: army, air force or navy. Its organisation "
      "falls in battle and on long marches and rises again at rest; its experience grows with every "
      "fight.</p>\n<table>\n<tr><th>Class</th><th>Forces</th></tr>\n"
      "<tr><td>Army</td><td>Infantry, Armor, Artillery, AA Gun</td></tr>\n"
      "<tr><td>Air force</td><td>Fighter, Jet Fighter, Dive Bomber, Bomber, Atomic Bomber</td></tr>\n"
      "<tr><td>Navy</td><td>Merchant Ship, Transport, Destroyer, Submarine, Cruiser, Carrier, "
      "Battleship</td></tr>\n</table>\n<p>Transports carry armies; carriers carry air units; merchant "
      "ships form the convoys that move resources across the sea. A submerged fleet is hidden from "
      "other nations until it surfaces.</p>");
  Add("Diplomacy", "Diplomacy",
      "<p>Every nation stands with every other somewhere between war and alliance. The diplomacy "
      "window lists the nations and your relation with each; a nation has a few diplomatic actions "
      "each turn, shown by the seals on the toolbar's diplomacy button. Offer peace, propose an "
      "alliance, declare war or send aid. Relations drift by themselves with what nations do to one "
      "another. A nation whose capital falls may go into exile or surrender, and its lands pass to "
      "the conqueror.</p>");
  Add("Research", "Research",
      "<p>Part of a nation's resources goes to research. The research window shows the groups of "
      "research (among them jet aircraft, atomic weapons and rocket technology), how far each has "
      "come and what each costs. Spread your research or put it into one group; a finished group "
      "makes its forces or buildings available, such as rocket sites once rocket technology is "
      "complete.</p>");
  Add("Online", "Online games",
      "<p>Choose <b>Online Game</b> on the title screen and log in to the lobby with your user name "
      "and password (a new user can register there). The lobby lists the rooms: game rooms waiting "
      "for players and chat rooms. Host a game with <b>New Game</b>, or join one with <b>Join "
      "Game</b>; the host assigns the nations and starts. During the game the host's machine runs the rules and every other machine replays "
      "what happens, so everyone sees the same war. Use the communications window to talk to the "
      "other players, and the scheduling pages to arrange a time to play.</p>");
  return Out;
}
