#pragma once
// What the script editor and the computer-player scripts window decide, without Qt: the five
// colour rules of the script memo, the editor's buttons and caption as its file is named,
// loaded and saved, the caret position typed by hand, and the seven rows of script files with
// the settings that remember them per scenario and major power.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sprites/Colors.h"

class TBrenmoorEngine;

// --- The colour rules of the script memo ---

// The language's own words, shown as keywords in navy.
const std::vector<std::string>& ScriptKeywords();
// The functions every script may call beside the game's, shown in blue with them.
const std::vector<std::string>& ScriptLibraryWords();
// The unit kinds a script names, shown as keywords in the memo's text colour.
const std::vector<std::string>& ScriptKindWords();
// The blue words: the game functions' names as the script module registers them, in their
// order, then each library word that none of them already is (names compare without case).
std::vector<std::string> ScriptFunctionWords(const std::vector<std::string>& RegisteredNames);

enum TScriptRuleKind : std::uint8_t { srkWords, srkRange };
struct TScriptColorRuleDesign {
  TScriptRuleKind Kind = srkWords;
  // srkWords: whole words, matched without case.
  std::vector<std::string> Words;
  // srkRange: the text from Begin to End, both included.
  std::string Begin;
  std::string End;
  TColor Color = clBlack;
};
// The five rules in the order the memo merges them: the language's words in navy, the
// function words in blue, text between "'" in purple, text between "{" and "}" in green, and
// the unit kinds in TextColor.
std::vector<TScriptColorRuleDesign> ScriptColorRules(const std::vector<std::string>& FunctionWords,
                                                     TColor TextColor = clBlack);

// One coloured piece of a script: Start and End (inclusive) are character indexes of the text.
struct TScriptColorKey {
  std::int32_t Start = 0;
  std::int32_t End = 0;
  TColor Color = clBlack;
  friend bool operator==(const TScriptColorKey&, const TScriptColorKey&) = default;
};

// The colour rules applied as the script language reads a script, so that each rule claims
// only its own kind of text: a word is a whole name (letters, digits and "_"), and is coloured
// outside strings and comments only; a "'" inside a comment opens no string, a "{" inside a
// string no comment. A string ends at its closing "'" ("''" stands for a quote inside it) or at
// the end of its line; a comment at its "}" or at the end of the script; a "//" comment runs to
// the end of its line and claims no colour. A name in several word rules takes the last one's.
class TScriptColorizer {
public:
  explicit TScriptColorizer(const std::vector<TScriptColorRuleDesign>& Rules);
  // The keys of the whole script Text that reach From or beyond, in text order, at most Limit.
  void FindKeys(std::string_view Text, std::int32_t From, std::size_t Limit, std::vector<TScriptColorKey>& Keys) const;

private:
  struct TRange {
    char Begin = 0;
    char End = 0;
    TColor Color = clBlack;
  };
  std::vector<std::pair<std::string, TColor>> FWords;  // upper-cased, sorted
  std::vector<TRange> FRanges;
};

// --- The editor's state ---

// Which of the editor's buttons show and what its caption says, as the user names, loads,
// saves and types.
class TScriptEditorState {
public:
  // A new script to be saved as FileName: the caption names it, the test and save-as buttons
  // show, the save button hides until the first change.
  void NewScript(const std::string& FileName);
  // A script read from FileName: the caption names it, the test button shows.
  void Loaded(const std::string& FileName);
  // Saved under FileName (save as): the caption names it.
  void SavedAs(const std::string& FileName);
  // The text changed: the save button shows once a file is named.
  void Changed();
  // A key came up in the memo: the test button shows.
  void KeyUp();

  const std::string& Caption() const { return FCaption; }
  bool TestVisible() const { return FTest; }
  bool SaveVisible() const { return FSave; }
  bool SaveAsVisible() const { return FSaveAs; }

private:
  std::string FCaption;
  bool FTest = false;
  bool FSave = false;
  bool FSaveAs = true;
};

// The caption of a named new script.
std::string NewScriptCaption(const std::string& FileName);
// The message after a save.
std::string ScriptSavedMessage(const std::string& FileName);
// The position typed into the position box: a whole number, else 0.
std::int32_t TypedScriptPosition(std::string_view Text);

// --- The computer-player scripts ---

constexpr int AIScriptRowCount = 7;
constexpr const char* DefaultAIScriptFile = "Default.brmai";
// The file dialogs' filter and extension of a computer-player script.
constexpr const char* AIScriptFilter = "Brenmoor AI Scripts (*.brmai)|*.brmai";
constexpr const char* AIScriptExtension = "brmai";

// The file-name part of Path: what follows the last "/" or "\".
std::string FileNamePart(std::string_view Path);

struct TAIScriptRow {
  bool Visible = false;
  std::string Nation;
  // Without folder; DefaultAIScriptFile when the nation names none.
  std::string File;
};
// Row i for major power i of the engine's scenario; the rows beyond the major powers are hidden
// and name the default file too, as every empty row does.
std::array<TAIScriptRow, AIScriptRowCount> AIScriptRows(const TBrenmoorEngine& Engine);
// The file names chosen for the rows into the major powers' script fields, without folder.
void StoreAIScripts(TBrenmoorEngine& Engine, const std::array<std::string, AIScriptRowCount>& Files);

// The setting that remembers power Index's script for ScenarioFile: the scenario file's name
// (without folder) up to its first ".", followed by the index ("Standard2").
std::string AIScriptSettingName(const std::string& ScenarioFile, int Index);
// The scenario's base name: its file name without folder up to its first "." ("Standard"), which
// names its settings and its flags picture.
std::string ScenarioBaseName(const std::string& ScenarioFile);
// The settings to write after the scripts were stored: one per major power, its name and the
// nation's script file.
std::vector<std::pair<std::string, std::string>> AIScriptSettings(const TBrenmoorEngine& Engine);
