#pragma once
// The game's fonts on every machine: the free faces bundled in the program folder's "fonts"
// folder stand in for the font names the game's windows ask for ("MS Sans Serif", "Arial",
// "Imprint MT Shadow"...), as listed in its "fonts.txt":
//   game font name=family of the bundled face;regular file;bold file;
// Blank lines and lines starting with "#" are notes.
#include <QFont>
#include <QString>
#include <string>
#include <vector>

struct TFontSubstitution {
  std::string GameName;
  std::string Family;
  std::string RegularFile;
  std::string BoldFile;
  friend bool operator==(const TFontSubstitution&, const TFontSubstitution&) = default;
};

struct TFontList {
  std::vector<TFontSubstitution> Substitutions;
  // One text per line that could not be read, naming the line: "fonts.txt line 3: ...".
  std::vector<std::string> Problems;
};

// Reads the text of a "fonts.txt". A line needs a game name, "=", a family and a regular file;
// a missing bold file means the regular one.
TFontList ParseFontList(const std::string& Text);

// Registers with the application the font files named in Folder's "fonts.txt" and their
// substitutions; a file registered before is not added twice. Returns what went wrong (a
// missing list or file, a file that holds no font, a face of another family than listed):
// the game then draws with what it has.
std::vector<std::string> RegisterBundledFonts(const QString& Folder);

// The family that stands for the game's font name GameName: the bundled one when registered,
// else GameName itself.
QString GameFontFamily(const QString& GameName);
// The game's font GameName at PixelSize pixels, in the bundled face that stands for it whatever
// else the machine has installed.
QFont GameFont(const QString& GameName, int PixelSize, bool Bold = false);
