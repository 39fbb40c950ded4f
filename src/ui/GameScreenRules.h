#pragma once
// What the game screen's small controls show, decided without windows so that it is tested
// on its own: the status bar's texts, the diplomacy button's picture, the lines of the
// victory-condition list and the main window's saved settings.
#include <cstdint>
#include <optional>
#include <string>

class TNation;

// A whole number in the pattern "#,##0": rounded half to even, thousands separated by ",",
// "0" for zero, a leading "-" for a negative number.
std::string FormatThousands(double Value);

// The status bar's texts for a nation.
struct TStatusBarTexts {
  // " " + the nation's total resources in "#,##0".
  std::string Resources;
  // " " + the nation's world domination percentage + "%".
  std::string Score;
};
TStatusBarTexts StatusBarTexts(const TNation& Nation);

// The diplomacy button keeps in its Tag the number of actions it last showed. When a nation's
// actions left differ from it, the Tag takes the new number; the glyph changes only for 0 to 3
// actions (the pictures imDiplomacy0 to imDiplomacy3).
struct TDiplomacyGlyphChange {
  // The button's new Tag, nothing when the number is the one shown.
  std::optional<int> Tag;
  // The picture to show (0..3), nothing to keep the glyph.
  std::optional<int> Picture;
};
TDiplomacyGlyphChange DiplomacyGlyphChange(int ActionsLeft, int ShownTag);

// One line of the victory-condition list: a line starting with "*" is a heading, drawn without
// the "*"; every other line is a condition with a bullet before it.
struct TVictoryLine {
  bool Heading = false;
  std::string Text;
};
TVictoryLine VictoryLine(const std::string& Line);

// The window placements the main window keeps, in the order they are saved and restored.
inline constexpr const char* PlacementPrefixes[] = {"Main", "frmNavigator", "frmNews", "frmScores", "frmComms"};
// A switch saved as "Sound" or "Music": "0" while it is on (down), "1" while it is off; it
// reads as on for "0" and for a value never written.
inline std::int32_t SwitchSetting(bool Down) { return Down ? 0 : 1; }
inline bool SwitchFromSetting(std::int32_t Value) { return Value == 0; }
