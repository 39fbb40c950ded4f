#include "EngineFuzz.h"

#include <filesystem>
#include <fstream>

#include "sprites/MapSet.h"

namespace fuzz {

namespace {
// One folder for the whole run: made at the first world, gone when the program ends. The
// Standard scenario and its map set are there too, for saved games of the Standard world.
void UseScenarioFolder() {
  static kit::TScenarioFolder Folder(ScenarioFile, kit::KitScenarioText);
  static const bool Copied = [] {
    const std::filesystem::path Data = std::filesystem::path(BRENMOOR_SOURCE_DIR) / "data";
    std::error_code Error;
    for (const char* Name : {StandardScenarioFile, "Standard.brmmap"})
      std::filesystem::copy_file(Data / Name, Name, std::filesystem::copy_options::overwrite_existing, Error);
    // The map set's pictures.
    std::filesystem::copy(Data / "maps", "maps", std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing,
                          Error);
    return true;
  }();
  (void)Copied;
}
}  // namespace

void TFolderMapSetLoader::SetMapSetFile(const std::string& FileName) {
  if (MapSetFileNamePart(FileName) == MapSetFileNamePart(FName)) return;
  LoadZoneMapFromFile(*FMap, MapSetFileNamePart(FileName));
  FName = FileName;
}

TFuzzWorld::TFuzzWorld()
    : FWorld((UseScenarioFolder(), std::make_unique<kit::TKitWorld>(kit::KitScenarioText, kit::KitMapText, ScenarioFile))),
      FLoader(&FWorld->Map, "kit.map") {
  FWorld->Engine().SetMapSetLoader(&FLoader);
  SetPlayers(*FWorld, Users);
}

void SetPlayers(kit::TKitWorld& World, kit::TKitUsers& Users) {
  World.N(0)->SetPlayerName("Ann");
  World.N(2)->SetPlayerName("Bob");
  World.N(1)->SetComputerPlayer(true);
  Users.Names = {"Host", "Ann", "Bob"};
  World.Engine().SetImpulseUsers(&Users);
}

std::string LoadedGameFault(const TBrenmoorEngine& Engine) {
  const std::string Fault = kit::CheckInvariants(Engine);
  return Fault.find(" the dead ") == std::string::npos ? Fault : Engine.CheckTallies();
}

std::string CheckSavesAndLoads(TBrenmoorEngine& Engine, const std::string& ScenarioText) {
  const std::string Text = Engine.SaveToString();
  if (!ScenarioText.empty()) std::ofstream(Engine.GetScenarioFile(), std::ios::binary | std::ios::trunc) << ScenarioText;
  TFuzzWorld Other;
  // A fuzzed scenario was played on the kit's map whatever map set it names: so is its game.
  if (!ScenarioText.empty()) Other.Engine().SetMapSetLoader(nullptr);
  try {
    Other.Engine().LoadFromString(Text);
  } catch (const EBrenmoor& E) {
    return std::string("the game saved cannot be loaded again: ") + E.what() + "\n" + Text;
  }
  if (std::string Fault = LoadedGameFault(Other.Engine()); !Fault.empty()) return "the game loaded again: " + Fault;
  const std::string Again = Other.Engine().SaveToString();
  if (Again != Text) return "the game loaded again saves otherwise:\n" + Text + "\n" + Again;
  return {};
}

}  // namespace fuzz
