#pragma once
// The tip of the day: a component that shows TTipsForm (TipFrm.h) with one tip at a time and
// reports whether the player wants tips at start-up. Tips come from its own list, from a key of
// the settings store or from a section of an INI file. The main window shows it after start-up
// and keeps the switch and the last tip's number in its settings (RunTipOfTheDay below).
#include <QColor>
#include <QObject>
#include <memory>
#include <string>
#include <vector>

#include "controls/TipFrm.h"
#include "foundation/Random.h"

class TRegistryManager;

// The settings store a registry key is looked up in: the user's own, or the machine-wide one
// (shared by the local-machine and current-configuration roots).
enum TRegRoot { rrCurrentUser, rrLocalMachine, rrCurrentConfig };
// Where the tips come from.
enum TTipLocation { locEmbeded, locRegistry, locINIFile };
// Where the window shows: in the middle of the screen or of the program's main window.
enum TOSKShowPos { posScreenCenter, posFormCenter };

class TOSKTipDlg : public QObject {
  Q_OBJECT
public:
  explicit TOSKTipDlg(QObject* Owner = nullptr);
  ~TOSKTipDlg() override;

  // The window's caption; "Tip of the day" when empty.
  const std::string& DlgCaption() const { return FDlgCaption; }
  void SetDlgCaption(const std::string& Value) { FDlgCaption = Value; }
  // The title above the tip; "Did you know..." when empty.
  const std::string& TipTitle() const { return FTipTitle; }
  void SetTipTitle(const std::string& Value) { FTipTitle = Value; }
  // The tips, one text each (game text). Copied. Filled anew by Execute from the settings store
  // or the INI file when TipsLocation says so.
  const std::vector<std::string>& Tips() const { return FTips; }
  void SetTips(const std::vector<std::string>& Value) { FTips = Value; }
  // The fonts (and colours) of the title and the tip; copied.
  const TTextFont& TipTitleFont() const { return FTipTitleFont; }
  void SetTipTitleFont(const TTextFont& Value) { FTipTitleFont = Value; }
  const TTextFont& TipFont() const { return FTipFont; }
  void SetTipFont(const TTextFont& Value) { FTipFont = Value; }
  TRegRoot RegistryRoot() const { return FRegistryRoot; }
  void SetRegistryRoot(TRegRoot Value) { FRegistryRoot = Value; }
  // The key whose values are the tips, as a backslash path ("Software\Quillfen\Brenmoor\Tips").
  const std::string& RegistryKey() const { return FRegistryKey; }
  void SetRegistryKey(const std::string& Value) { FRegistryKey = Value; }
  // The file and section whose values are the tips. A relative file name is taken from the
  // current folder.
  const std::string& INIFile() const { return FINIFile; }
  void SetINIFile(const std::string& Value) { FINIFile = Value; }
  const std::string& INISection() const { return FINISection; }
  void SetINISection(const std::string& Value) { FINISection = Value; }
  TTipLocation TipsLocation() const { return FTipsLocation; }
  void SetTipsLocation(TTipLocation Value) { FTipsLocation = Value; }
  // The background of the tip panel and the picture.
  QColor PanelColor() const { return FPanelColor; }
  void SetPanelColor(const QColor& Value) { FPanelColor = Value; }
  // Text that stands for a line break inside a tip; empty: none.
  const std::string& CRLFSubstitute() const { return FCRLFSubstitute; }
  void SetCRLFSubstitute(const std::string& Value) { FCRLFSubstitute = Value; }
  // Tips in random order (the window then has no Previous button).
  bool RandomTips() const { return FRandomTips; }
  void SetRandomTips(bool Value) { FRandomTips = Value; }
  // The check box's state: show tips at start-up.
  bool ShowAtStartup() const { return FShowAtStartup; }
  void SetShowAtStartup(bool Value) { FShowAtStartup = Value; }
  TOSKShowPos Position() const { return FPosition; }
  void SetPosition(TOSKShowPos Value) { FPosition = Value; }
  // The 1-based number of the last tip shown; the window starts at the tip after it. A number
  // outside the list (the list got shorter, a damaged setting) starts at the first tip.
  int TipNumber() const { return FTipNumber; }
  void SetTipNumber(int Value) { FTipNumber = Value; }

  // Shows the window modally; afterwards ShowAtStartup is the check box's state and TipNumber
  // the number of the tip last shown. Returns ShowAtStartup.
  bool Execute();

  // While Execute runs: its window (else nullptr), for the window system and for tests.
  TTipsForm* Form() const { return FForm; }

private:
  // Fills the form as Execute shows it: picture, caption, tips, fonts, buttons and the first tip.
  void Prepare(TTipsForm& Form);
  void LoadTips();

  std::string FDlgCaption;
  std::string FTipTitle;
  std::vector<std::string> FTips;
  TTextFont FTipTitleFont;
  TTextFont FTipFont;
  TRegRoot FRegistryRoot = rrCurrentUser;
  std::string FRegistryKey;
  std::string FINIFile;
  std::string FINISection;
  TTipLocation FTipsLocation = locEmbeded;
  QColor FPanelColor = QColor(0xFF, 0xFF, 0xE1);
  std::string FCRLFSubstitute;
  bool FRandomTips = false;
  bool FShowAtStartup = true;
  TOSKShowPos FPosition = posScreenCenter;
  int FTipNumber = 0;
  // The random order's own generator, so that showing tips leaves the game's draws alone.
  TRandomGenerator FRandom;
  TTipsForm* FForm = nullptr;
};

// The values of section Section of the INI file FileName, in the order of their keys; a key
// given twice counts once, with its first value. Section and key names are matched without
// regard to case; values lose the blanks around them and one pair of enclosing quotes. Empty
// when the file cannot be read or has no such section.
std::vector<std::string> ReadIniSectionValues(const std::string& FileName, const std::string& Section);
// The string values under Key (a backslash path) of the settings store of Root, in the order of
// their names. Empty when the key does not exist.
std::vector<std::string> ReadRegistryKeyValues(TRegRoot Root, const std::string& Key);

// The main window's tips, in their order.
const std::vector<std::string>& BrenmoorTipTexts();
// Sets Dialog up as the main window's: caption "Brenmoor Tips", title "Here's a tip ...", tip
// number 1, yellow text on black (title in "Imprint MT Shadow" 13 pixels, tip in Arial 11
// pixels), in the middle of the screen, with the game's own tips.
void SetUpBrenmoorTips(TOSKTipDlg& Dialog);
// The main window's tip of the day, with Store its settings: unless AtStartup and "ShowTip"
// says not to (any value but 0), starts the dialog at "TipNum", shows it, then writes "ShowTip"
// (0 when the player keeps tips at start-up, else 1) and "TipNum". Returns whether it showed.
bool RunTipOfTheDay(TOSKTipDlg& Dialog, TRegistryManager& Store, bool AtStartup);
