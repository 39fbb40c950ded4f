// Writes the fuzz targets' seed corpus: fuzz_seeds <folder> makes <folder>/<target>/<seed>
// from the game's own files (scenario, map set, bitmaps, sounds, the default computer-player
// script) and from short games of the test kit's world (saved games, the players' order
// messages, the host's change messages), with a few lines of the lobby's protocol.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "EngineFuzz.h"
#include "engine/kit/RandomOrders.h"
#include "players/ScriptModule.h"
#include "sprites/Bitmap.h"
#include "sprites/CompressedBitmapSprite.h"

namespace {

namespace fs = std::filesystem;

fs::path Out;

void Seed(const std::string& Target, const std::string& Name, const std::string& Bytes) {
  fs::create_directories(Out / Target);
  std::ofstream(Out / Target / Name, std::ios::binary | std::ios::trunc) << Bytes;
}

std::string ReadFile(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

// The game's own file, from the data folder.
void SeedFile(const std::string& Target, const std::string& File) {
  const fs::path Path = fs::path(BRENMOOR_SOURCE_DIR) / "data" / File;
  Seed(Target, Path.filename().string(), ReadFile(Path));
}

// Games of the kit's world from Seed: the host's saved games after each third impulse, the
// players' order messages (one a line) and the host's change messages (one a line).
void SeedGames(std::uint64_t GameSeed, int Impulses) {
  kit::TTwoEngineHarness Game(GameSeed, kit::KitScenarioText, fuzz::ScenarioFile);
  kit::TKitUsers HostUsers, GuestUsers;
  fuzz::SetPlayers(Game.Host(), HostUsers);
  fuzz::SetPlayers(Game.Guest(), GuestUsers);
  kit::TRandomOrders Orders(GameSeed);
  Orders.Users = HostUsers.Names;
  Orders.HostilePercent = 10;
  for (int Code = 0; Code < OrderTypeCount; ++Code) Orders.Weights[static_cast<std::size_t>(Code)] = Code == ordSurrender ? 0 : 1;
  std::string OrderLines, ChangeLines;
  const std::string Name = "game-" + std::to_string(GameSeed);
  Seed("saved_game", Name + "-start", Game.Host().Engine().SaveToString());
  for (int Impulse = 0; Impulse < Impulses; ++Impulse) {
    const std::string Fault = Game.RunImpulse([&](kit::TKitWorld& Host, std::int32_t I) {
      std::map<std::string, std::string> Messages;
      for (const kit::TGeneratedOrder& O : Orders.Generate(Host.Engine(), 6)) Messages[O.Sender] += O.Record + "~";
      for (const auto& [User, Records] : Messages) {
        OrderLines += "ORDERS|" + User + "|" + std::to_string(I) + "|" + Records + "\n";
        std::string Rest = Records;
        while (!Rest.empty()) Host.Engine().QueueOrder(NextToken(Rest, "~"), User);
      }
      Host.Engine().ProcessImpulse();
    });
    if (!Fault.empty()) std::cerr << Name << ": " << Fault << "\n";
    ChangeLines += kit::FrameChanges(Impulse, Game.LastRecords()) + "\n";
    if (Impulse % 3 == 2) Seed("saved_game", Name + "-" + std::to_string(Impulse + 1), Game.Host().Engine().SaveToString());
  }
  Seed("host_orders", Name, OrderLines);
  Seed("guest_changes", Name, ChangeLines);
}

TBitmap SampleBitmap(int Bits, bool TopDown) {
  TBitmap B(7, 5, Bits, TopDown);
  for (int Y = 0; Y < B.GetHeight(); ++Y)
    for (int X = 0; X < B.GetRowBytes(); ++X) B.ScanLine(Y)[X] = static_cast<std::uint8_t>(X * 3 + Y * 5);
  if (Bits == 16 && TopDown) B.SetBitFields(0xF800, 0x7E0, 0x1F);
  return B;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds <folder>\n";
    return 2;
  }
  Out = argv[1];

  // The engine: the kit's world and the game's Standard files.
  Seed("scenario", "kit", kit::KitScenarioText);
  SeedFile("scenario", "Standard.brmscen");
  Seed("map_set", "kit", kit::KitMapText);
  SeedFile("map_set", "Standard.brmmap");
  SeedGames(1, 6);
  SeedGames(7, 9);
  // A game of the Standard world, 75 impulses on (the saved-game target has its scenario and
  // map set in reach).
  Seed("saved_game", "standard-75", ReadFile(fs::path(BRENMOOR_SOURCE_DIR) / "tests/engine/kept/standard-saved-75.txt"));
  Seed("guest_changes", "hostile", "CHANGES|0|4;0;2;0;~37;0;1;~43;0;0;3;~33;1;1;-1;1;;~36;0#0#1e39#;~\n");

  // Bitmaps: every depth and both row orders, the game's small pictures, and their
  // compressed form.
  for (const int Bits : {8, 16, 24})
    for (const bool TopDown : {false, true}) {
      const TBitmap B = SampleBitmap(Bits, TopDown);
      const std::string Name = std::to_string(Bits) + (TopDown ? "-topdown" : "-bottomup");
      Seed("bitmap", Name, B.SaveToBytes());
      if (Bits == 8) Seed("compressed_bitmap", Name, TCompressedBitmap(&B).WriteBitmapData());
    }
  for (const char* File : {"art/caption/SOUND.bmp", "art/caption/MUSIC.bmp", "art/controls/ButtonEditGlyph.bmp"}) {
    SeedFile("bitmap", File);
    const TBitmap B = TBitmap::LoadFromFile((fs::path(BRENMOOR_SOURCE_DIR) / "data" / File).string());
    if (B.GetBitsPerPixel() == 8) Seed("compressed_bitmap", fs::path(File).stem().string(), TCompressedBitmap(&B).WriteBitmapData());
  }

  // Cursors: the game's own.
  for (const char* File : {"art/Busy.cur", "art/Target.cur"}) SeedFile("cursor_file", File);

  // Sounds: the two short ones, and one in the stored "WaveData" form.
  SeedFile("wave", "sounds/click.wav");
  SeedFile("wave", "sounds/button.wav");
  {
    const std::string Click = ReadFile(fs::path(BRENMOOR_SOURCE_DIR) / "data/sounds/click.wav");
    const std::uint32_t N = static_cast<std::uint32_t>(Click.size());
    Seed("wave", "click-wavedata", std::string{char(N & 0xFF), char((N >> 8) & 0xFF), char((N >> 16) & 0xFF), char(N >> 24)} + Click);
  }

  // Music: the game's three pieces.
  for (const char* File : {"music/march.mid", "music/anthem.mid", "music/lament.mid"}) SeedFile("midi_file", File);

  // Scripts: the computer players' default script and a few of the language's forms.
  Seed("ai_script", "default", TdmScript::DefaultScript());
  Seed("ai_turns", "default", TdmScript::DefaultScript());
  Seed("script", "default", TdmScript::DefaultScript());
  Seed("script", "forms",
       "const Limit = 10;\nvar I, S: integer; T: string; A: array;\nbegin\n  S := 0;\n  for I := 1 to Limit do S := S + I * 2 - 1;\n"
       "  if (S > 50) and not (S = 3) then T := 'big' else T := 'small';\n  while S > 0 do begin S := S div 2; end;\n"
       "  repeat I := I - 1 until I <= 0;\n  A := [1, 2.5, 'x'];\nend.\n");

  // The lobby: what a server sends a client (the first byte cuts the chunks), what clients
  // send a server, user records and statistics.
  const std::string Bob = "bob^^^^^^^^^01/01/2000^01/01/2000^2^^0`0`^^";
  const std::string Ann = "ann^^^^^^^^^01/01/2000^01/01/2000^1^BRMScore=7`^0`0`^^";
  Seed("lobby_client", "session",
       "\x07LOGIN|SUCCESS|" + Bob + "\nSUBJECTS|Lobby Chat|~War;Standard.brmscen;4\nJOINSUBJECT|Lobby Chat|" + Bob + "|" + Ann +
           "\nSEND|ann|CHAT|hello | there\nSEND|ann|DATA|ORDERS|3|1;5;~\nADDGUEST|x|" + Ann +
           "\nREMOVEGUEST|ann\nUSERINFO|ann^^^^Paris^^^^^01/01/2000^01/01/2000^1^^0`0`^^\nSERVERSTATS|5`1`77`0`0`1`10`20`\n"
           "CUSTOM|BRMVERSION|4|2\nSHOUT|Server going down\nERROR|No such room|really\nBEGINSUBJECT\nPING|\nREMOVESUBJECT|gone\n");
  Seed("lobby_client", "refused", std::string("\x01LOGIN|FAIL|Bad password|try again\n"));
  const std::string NewRecord = "^pw^First^Last^Paris^^^^^01/01/2000^01/01/2000^0^^0`0`^^";
  Seed("lobby_server", "session",
       "LOGINNEW|ann|Brenmoor|ann" + NewRecord + "\nB>LOGINNEW|bob|Brenmoor|bob" + NewRecord +
           "\nJOINSUBJECT|Lobby Chat\nB>JOINSUBJECT|Lobby Chat\nSEND|CHAT|hello | all\nB>SEND|DATA|GAMECHAT|Germany;0;hi\n"
           "CREATESUBJECT|Talk|0|\nB>JOINSUBJECT|Talk\nCUSTOM|BRMSCORE|ann;120;Default.brmai;50;x;0;bob;-3;cid;500;\n"
           "CUSTOM|BRMLOGIT|Standard;Axis;ann,;bob,;\nCUSTOM|BRMHOF|\nSERVERSTATS|\nUSERINFO|ann|\nUSERUPDATE|ann" + NewRecord +
           "\nPING|\nB>SEND|OTHER|x\n");
  Seed("lobby_server", "login-again", "LOGIN|bob|Brenmoor|newpw\nLOGIN|ann|Brenmoor|pw\nB>LOGINNEW|a,b|Brenmoor|x" + NewRecord + "\n");
  // One connection's stream, after the 8 bytes that choose where it is cut: a log-in, a
  // command line, a line with escapes, a line beyond the limit of a command line.
  Seed("lobby_framing", "session",
       std::string("\x03\x00\x3F\x07\x01\x10\x05\x20", 8) + "LOGINNEW|ann|Brenmoor|ann" + NewRecord +
           "\nPING|\nSEND|CHAT|a\x1b\x1b" "b\x1b" "nc\nJOINSUBJECT|Lobby Chat\nSEND|DATA|" + std::string(300, 'x') + "\nCHAT|" +
           std::string(140, 'y') + "\n");
  Seed("lobby_framing", "unframed", std::string(8, '\0') + "PING|\x1b" "q\nPING|\n" + std::string(300, 'z'));
  Seed("user_record", "bob", Bob);
  Seed("user_record", "ann", Ann);
  Seed("user_record", "stats", "5`1`77`0`0`1`10`20`");

  // Text: a record of every delimiter, numbers and dates.
  Seed("text_helpers", "record", "12;-3;1;0;x#y#z#;a=b~c=d|e^f`g%h;");
  Seed("text_helpers", "float", "-1.25E-7");
  Seed("text_helpers", "date", "11/1/1940");
  Seed("text_helpers", "line", "SEND|ann|CHAT|\\nhello\\\\ there");
  return 0;
}
