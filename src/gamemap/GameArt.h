#pragma once
// The names of the game screens' artwork: every picture, cursor and help page that the windows
// load by name from the program folder. The art generator writes exactly these files; the
// windows and the zone sprites look them up through the same names.
#include <array>
#include <cstdint>
#include <string>

namespace GameArt {

// Pictures (8-bit BMP files in the map's palette; the colour of each picture's bottom-left
// pixel is the one left out when it is drawn transparently) lie in this folder of the program
// folder, each named after the image that carries it plus ".bmp".
inline constexpr const char* PictureFolder = "art/game";
// The cursors, the title picture and the help book.
inline constexpr const char* TargetCursor = "art/Target.cur";
inline constexpr const char* BusyCursor = "art/Busy.cur";
inline constexpr const char* TitlePicture = "art/boat_landing.jpg";
inline constexpr const char* HelpFolder = "help";
// The help topic the game opens from its title screen.
inline constexpr const char* MainHelpTopic = "Dezavuvi10";

// The relative path of a picture: PictureFolder + "/" + Name + ".bmp".
inline std::string PicturePath(const std::string& Name) { return std::string(PictureFolder) + "/" + Name + ".bmp"; }
// The relative path of a help topic's page.
inline std::string HelpPath(const std::string& Topic) { return std::string(HelpFolder) + "/" + Topic + ".html"; }

// An icon cell of the map: 20 x 16 pixels.
inline constexpr std::int32_t IconWidth = 20;
inline constexpr std::int32_t IconHeight = 16;

// The seven icon sheets of the zone sprites, in the order LoadIconCanvases takes them:
// factories, rich resources, unit tallies (16 unit types across, 8 colour-slot rows down),
// capital, port, airfield, rocket site.
inline constexpr std::array<const char*, 7> IconSheets{"imFactory", "imResource", "cellUnits", "imCapital",
                                                       "imPort",    "imAirStrip", "imRockets"};

// The other pictures of the game screens.
inline constexpr std::array<const char*, 4> DiplomacyGlyphs{"imDiplomacy0", "imDiplomacy1", "imDiplomacy2",
                                                            "imDiplomacy3"};
inline constexpr const char* GreenBullet = "imGreenBullet";
// Eight cells of 32 x 16 across: gradients from black to each colour slot's colour.
inline constexpr const char* Gradient = "cellGradient1";
inline constexpr const char* SubmergedGlyph = "imSubmerged";
// The scroller's compass, 57 x 57.
inline constexpr const char* CompassGlyph = "imCompass";
inline constexpr const char* NationResources = "imNationResources";
inline constexpr const char* NationValue = "imNationValue";
inline constexpr const char* ZoneResourceBonus = "imZoneResourceBonus";

// The order buttons' glyphs (16 x 16), each named after its button.
inline constexpr std::array<const char*, 37> OrderGlyphs{
    "btnMove",         "btnRetreat",      "btnDock",          "btnEmbark",       "btnDisembark",
    "btnIntercept",    "btnInvade",       "btnPatrol",        "btnRecon",        "btnBombard",
    "btnAirStrike",    "btnBomb",         "btnAtomic",        "btnKamakaze",     "btnBaseHere",
    "btnRebase",       "btnReturnToBase", "btnSubmerge",      "btnSurface",      "btnLaunch",
    "btnDivide",       "btnMerge",        "btnConsolidate",   "btnAimRockets",   "btnClearOrders",
    "btnAutoRoute",    "btnRouteResources", "btnBuildFactory", "btnBuildBorderDefense", "btnBuildRockets",
    "btnBuildAirfield", "btnBuildPort",   "btnPortZone",      "btnBuildConvoys", "btnBuildLand",
    "btnBuildAir",     "btnBuildSea"};
inline constexpr std::int32_t OrderGlyphSize = 16;

// The toolbar buttons' glyphs (24 x 24), each named after its button (the diplomacy button
// takes the DiplomacyGlyphs, also 24 x 24).
inline constexpr std::array<const char*, 16> ToolbarGlyphs{
    "btnNavigator", "btnNews",      "btnScores",      "btnCommunicate", "btnShowOrders", "btnPause",
    "btnFastAIDuel", "btnResearch", "btnFormations",  "btnSurrender",   "btnFinalScore", "btnRandomEvent",
    "btnSave",      "btnExitGame",  "btnGlobalRoute", "btnGlobalClear"};
inline constexpr std::int32_t ToolbarGlyphSize = 24;

// The help topics, the main one first.
inline constexpr std::array<const char*, 7> HelpTopics{"Dezavuvi10", "Screens", "Orders",  "Diplomacy",
                                                       "Research",   "Online",  "Units"};

}  // namespace GameArt
