// The layers of the source tree and the includes between them. Every layer uses only the layers
// below it: the rules, map, scripts and protocol know nothing of windows or Qt, and what a lower
// layer needs from above it declares as an interface that a higher layer implements. The lobby
// server is a program of its own on foundation and lobby. Each file's includes of "layer/..."
// are read and held against the table; a file that includes what its layer must not see is
// named with the line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

// A layer: its name (the first part of its headers' include names), its folder in the source
// tree, whether it may use Qt, and the layers it may include besides its own. An empty Knows
// means every layer listed before it.
struct TLayer {
  std::string_view Name;
  std::string_view Folder;
  bool Qt;
  std::vector<std::string_view> Knows;
};

// Lowest first.
const std::vector<TLayer> Layers = {
    {"foundation", "src/foundation", false, {}},
    {"sprites", "src/sprites", false, {}},
    {"lobby", "src/lobby", false, {}},
    {"engine", "src/engine", false, {}},
    {"script", "src/script", false, {}},
    {"players", "src/players", false, {}},
    // The map's game layer without Qt: the game's zone sprite, the overlay, the navigator's marks.
    {"gamemap", "src/gamemap", false, {}},
    // The screens' rules without Qt (order entry, panels, set-up, log-in, lobby, the game's
    // start and the online session): above the core and the map, below the windows.
    {"screens", "src/screens", false, {}},
    {"sound", "src/sound", false, {}},
    // ---- Qt from here up.
    {"platform", "src/platform", true, {}},
    {"controls", "src/controls", true, {}},
    {"ui", "src/ui", true, {}},
    {"app", "src/app", true, {}},
    // The lobby server: no Qt and no game.
    {"server", "server", false, {"foundation", "lobby"}},
};

// Headers of a layer that some layers above it must still not see.
struct TLimit {
  std::vector<std::string_view> Layers;
  std::string_view Of;
  std::vector<std::string_view> Except;
  std::string_view Why;
};

const std::vector<TLimit> Limits = {
    // The engine links the zone map (zones, links, the map-set reader) and the storms' kinds;
    // the sprite surface, the sprites and the canvas draw for the windows.
    {{"lobby", "engine", "script", "players"},
     "sprites",
     {"sprites/ZoneMap.h", "sprites/MapSet.h", "sprites/StormType.h"},
     "of the sprites the game's core sees only the zone map; the sprite surface and its drawing belong to the windows"},
};

const TLayer* FindLayer(std::string_view Name) {
  for (const TLayer& L : Layers)
    if (L.Name == Name) return &L;
  return nullptr;
}

std::size_t Rank(const TLayer& Layer) { return static_cast<std::size_t>(&Layer - Layers.data()); }

bool Knows(const TLayer& From, const TLayer& To) {
  if (&From == &To) return true;
  if (From.Knows.empty()) return Rank(To) < Rank(From);
  return std::find(From.Knows.begin(), From.Knows.end(), To.Name) != From.Knows.end();
}

// An #include line: the name and whether it was in angle brackets; false for any other line.
bool ReadInclude(std::string_view Line, std::string& Name, bool& Angle) {
  auto Skip = [&] {
    while (!Line.empty() && (Line.front() == ' ' || Line.front() == '\t')) Line.remove_prefix(1);
  };
  Skip();
  if (Line.empty() || Line.front() != '#') return false;
  Line.remove_prefix(1);
  Skip();
  if (!Line.starts_with("include")) return false;
  Line.remove_prefix(7);
  Skip();
  if (Line.empty() || (Line.front() != '"' && Line.front() != '<')) return false;
  Angle = Line.front() == '<';
  const std::size_t End = Line.find(Angle ? '>' : '"', 1);
  if (End == std::string_view::npos) return false;
  Name = std::string(Line.substr(1, End - 1));
  return true;
}

bool IsQtHeader(const std::string& Name) {
  return Name.size() > 1 && Name[0] == 'Q' && ((Name[1] >= 'A' && Name[1] <= 'Z') || Name[1] == 't');
}

struct TScan {
  std::vector<std::string> Problems;  // "file:line: what", in file order
  std::map<std::string, int> LayerIncludes;  // per layer, the includes of layers read
};

// What one include of a file of Layer breaks ("" when nothing).
std::string Judge(const TLayer& Layer, const std::string& Name, bool Angle) {
  const std::string Shown = Angle ? "<" + Name + ">" : "\"" + Name + "\"";
  if (Angle && IsQtHeader(Name))
    return Layer.Qt ? "" : std::string(Layer.Name) + " includes " + Shown + ": Qt is for the windows' layers alone";
  const std::size_t Slash = Name.find('/');
  if (Slash == std::string::npos) return "";
  const TLayer* To = FindLayer(std::string_view(Name).substr(0, Slash));
  if (!To) return Angle ? "" : std::string(Layer.Name) + " includes " + Shown + ", which names no layer";
  if (!Knows(Layer, *To))
    return std::string(Layer.Name) + " includes " + Shown + " of " + std::string(To->Name) +
           (Rank(*To) > Rank(Layer) ? ", a layer above it" : ", a layer it must not know");
  for (const TLimit& Limit : Limits)
    if (To->Name == Limit.Of && std::find(Limit.Layers.begin(), Limit.Layers.end(), Layer.Name) != Limit.Layers.end() &&
        std::find(Limit.Except.begin(), Limit.Except.end(), Name) == Limit.Except.end())
      return std::string(Layer.Name) + " includes " + Shown + ": " + std::string(Limit.Why);
  return "";
}

// Reads every source file of the tree under Root (every folder of src/ must be a layer).
TScan ScanTree(const fs::path& Root) {
  TScan Scan;
  for (const auto& Entry : fs::directory_iterator(Root / "src")) {
    if (!Entry.is_directory()) continue;
    const std::string Folder = "src/" + Entry.path().filename().string();
    if (std::none_of(Layers.begin(), Layers.end(), [&](const TLayer& L) { return L.Folder == Folder; }))
      Scan.Problems.push_back(Folder + ": a folder that has no place in the layer order");
  }
  for (const TLayer& Layer : Layers) {
    const fs::path Folder = Root / Layer.Folder;
    if (!fs::is_directory(Folder)) continue;
    std::vector<fs::path> Files;
    for (const auto& Entry : fs::recursive_directory_iterator(Folder)) {
      const std::string Ext = Entry.path().extension().string();
      if (Entry.is_regular_file() && (Ext == ".h" || Ext == ".cpp" || Ext == ".in")) Files.push_back(Entry.path());
    }
    std::sort(Files.begin(), Files.end());
    for (const fs::path& File : Files) {
      std::ifstream In(File, std::ios::binary);
      std::string Line, Name;
      bool Angle = false;
      for (int Number = 1; std::getline(In, Line); ++Number) {
        if (!ReadInclude(Line, Name, Angle)) continue;
        if (Name.find('/') != std::string::npos && FindLayer(Name.substr(0, Name.find('/'))))
          ++Scan.LayerIncludes[std::string(Layer.Name)];
        const std::string Problem = Judge(Layer, Name, Angle);
        if (!Problem.empty())
          Scan.Problems.push_back(fs::relative(File, Root).generic_string() + ":" + std::to_string(Number) + ": " + Problem);
      }
    }
  }
  return Scan;
}

std::string Joined(const std::vector<std::string>& Lines) {
  std::string S;
  for (const std::string& L : Lines) S += L + "\n";
  return S;
}

TEST(LayerIncludes, EveryIncludeOfTheGameAndTheServerKeepsTheLayerOrder) {
  const TScan Scan = ScanTree(BRENMOOR_SOURCE_DIR);
  EXPECT_EQ(Joined(Scan.Problems), "");
  // Every layer's files were found and read: a wrong root or a moved folder reads nothing.
  for (const TLayer& Layer : Layers) EXPECT_GT(Scan.LayerIncludes.count(std::string(Layer.Name)), 0u) << Layer.Name;
}

TEST(LayerIncludes, AnIncludeOutOfOrderIsNamedWithItsFileAndLine) {
  struct TFile {
    std::string Name;
    std::string Text;
  };
  const std::vector<TFile> Files = {
      {"src/foundation/Base.h", "#pragma once\n#include <string>\n#include \"foundation/Other.h\"\n#include \"sprites/Bitmap.h\"\n"},
      {"src/engine/Rules.cpp",
       "// includes the zone map and the lobby, which it may\n"
       "#include \"engine/Rules.h\"\n"
       "#include \"sprites/ZoneMap.h\"\n"
       "#include \"sprites/MapSet.h\"\n"
       "#include \"lobby/VexilUser.h\"\n"
       "  #  include \"sprites/ZoneSpriteSurface.h\"\n"
       "#include \"ui/MainForm.h\"\n"
       "#include \"../ui/MainForm.h\"\n"
       "#include <QString>\n"
       "#include <queue>\n"},
      {"src/sprites/Canvas.cpp", "#include \"sprites/Canvas.h\"\n#include \"engine/Unit.h\"\n#include <QtGui/QImage>\n"},
      {"src/players/Brain.h", "#include \"script/Script.h\"\n#include \"sprites/SpriteEngine.h\"\n"},
      {"src/gamemap/Overlay.cpp", "#include \"sprites/ZoneSprite.h\"\n#include \"engine/Unit.h\"\n#include \"platform/Fonts.h\"\n"},
      {"src/platform/View.cpp", "#include <QWidget>\n#include \"engine/ImpulseScheduler.h\"\n#include \"controls/Bevel.h\"\n"},
      {"src/ui/MainForm.cpp", "#include <QMainWindow>\n#include \"sprites/ZoneSpriteSurface.h\"\n#include \"app/Main.h\"\n"},
      {"server/Core.cpp",
       "#include \"server/Core.h\"\n#include \"lobby/VexilUtils.h\"\n#include \"foundation/Base.h\"\n"
       "#include <asio/ip/tcp.hpp>\n#include \"engine/Unit.h\"\n#include <QString>\n"},
      {"src/extras/Thing.h", "#include \"foundation/Base.h\"\n"},
  };
  const TScratchFolder Tree("brenmoor-layers");
  for (const TFile& F : Files) Tree.Write(F.Name, F.Text);

  EXPECT_EQ(Joined(ScanTree(Tree.Path()).Problems),
            Joined({
                "src/extras: a folder that has no place in the layer order",
                "src/foundation/Base.h:4: foundation includes \"sprites/Bitmap.h\" of sprites, a layer above it",
                "src/sprites/Canvas.cpp:2: sprites includes \"engine/Unit.h\" of engine, a layer above it",
                "src/sprites/Canvas.cpp:3: sprites includes <QtGui/QImage>: Qt is for the windows' layers alone",
                "src/engine/Rules.cpp:6: engine includes \"sprites/ZoneSpriteSurface.h\": of the sprites the game's core "
                "sees only the zone map; the sprite surface and its drawing belong to the windows",
                "src/engine/Rules.cpp:7: engine includes \"ui/MainForm.h\" of ui, a layer above it",
                "src/engine/Rules.cpp:8: engine includes \"../ui/MainForm.h\", which names no layer",
                "src/engine/Rules.cpp:9: engine includes <QString>: Qt is for the windows' layers alone",
                "src/players/Brain.h:2: players includes \"sprites/SpriteEngine.h\": of the sprites the game's core "
                "sees only the zone map; the sprite surface and its drawing belong to the windows",
                "src/gamemap/Overlay.cpp:3: gamemap includes \"platform/Fonts.h\" of platform, a layer above it",
                "src/platform/View.cpp:3: platform includes \"controls/Bevel.h\" of controls, a layer above it",
                "src/ui/MainForm.cpp:3: ui includes \"app/Main.h\" of app, a layer above it",
                "server/Core.cpp:5: server includes \"engine/Unit.h\" of engine, a layer it must not know",
                "server/Core.cpp:6: server includes <QString>: Qt is for the windows' layers alone",
            }));
}

}  // namespace
