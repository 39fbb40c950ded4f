// The in-game data lines the main window takes from the other players ("BRMPLAYERS|",
// "SAVED|", "GAMECHAT|"), one a line, each with the sender the server stamped, through the
// online game's table; and the server's answers to "BRMHOF" and "BRMVERSION", read as the
// hall-of-fame screen and the version notice read them. The input's first byte picks the
// moment (awaiting the host's start, or in the game); each line's first byte its sender ('@' the host, 'A' Ann, 'B' Bob, 'C' somebody not in the game, 'D' nobody). What
// must hold: a line goes to its handler only when its sender may send it then (the start only
// from the begun room's host, once; chat only for a power its sender plays, at most 500
// characters, on a channel of the three), and nothing fails.
#include <array>

#include "EngineFuzz.h"
#include "FuzzTarget.h"
#include "engine/Nation.h"
#include "foundation/StringUtils.h"
#include "screens/GameSession.h"
#include "screens/LobbyRules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  static fuzz::TFuzzWorld Game;
  const std::array<std::string, 5> Senders{"Host", "Ann", "Bob", "Zed", ""};
  TGameSession Session(Game.Engine());
  const bool AtStart = Data[0] % 2 == 0;
  if (AtStart) {
    Session.JoinedRoom("~War;kit.brmscen;4");
    Session.RoomBegun("Host");
  } else {
    Session.Fire(seStarted);
  }
  int Starts = 0;
  std::size_t Seen = 0;
  Session.OnPlayers = [&](const std::string& From, const std::string& List) {
    fuzz::Require(AtStart && From == "Host", "a player list from " + From + " was taken");
    ++Starts;
    std::string Error;
    if (const auto Powers = ParsePlayerList(List, Game.Engine().GetMajorCount(), &Error)) Seen += Powers->size();
  };
  Session.OnSaved = [&](const std::string& From, const std::string& Text) {
    fuzz::Require(AtStart && From == "Host", "a saved game from " + From + " was taken");
    ++Starts;
    Seen += Text.size();
  };
  Session.OnChat = [&](const std::string& From, const TChatLine& Chat) {
    fuzz::Require(!AtStart, "chat was taken before the game");
    fuzz::Require(Chat.Text.size() <= MaxChatText, "a chat text of " + std::to_string(Chat.Text.size()) + " characters");
    fuzz::Require(Chat.Channel >= 0 && Chat.Channel <= 2, "a chat channel " + std::to_string(Chat.Channel));
    fuzz::Require(Chat.Nation && Chat.Nation->GetMajorPower() && Game.Engine().SenderPlays(From, Chat.Nation),
                  "chat from " + From + " for a power he does not play");
    Seen += Chat.Text.size();
  };
  std::string Rest = fuzz::Text(Data + 1, Size - 1);
  while (!Rest.empty()) {
    std::string Line = NextToken(Rest, "\n");
    if (Line.empty()) continue;
    const std::string& Sender = Senders[(static_cast<unsigned char>(Line[0]) + 1u) % Senders.size()];
    Line.erase(0, 1);
    if (Line.rfind("BRMHOF|", 0) == 0) {
      const THallOfFame Hall = ParseHallOfFame(std::string_view(Line).substr(7));
      for (const std::string& Shown : Hall.Lines) Seen += ReadHallOfFameLine(Shown).Entry.Name.size();
      Seen += Hall.GameLog.size() + Hall.Schedule.size();
    } else if (Line.rfind("BRMVERSION|", 0) == 0) {
      Seen += VersionNotice(std::string_view(Line).substr(11), "http://www.quillfen.example").size();
    } else {
      Session.Receive(Line, Sender);
    }
  }
  fuzz::Require(Starts <= 1, "the game started " + std::to_string(Starts) + " times");
  return Seen == static_cast<std::size_t>(-1);
}
