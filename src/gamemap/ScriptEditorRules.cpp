#include "gamemap/ScriptEditorRules.h"

#include <algorithm>
#include <cctype>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "foundation/NumberText.h"

namespace {
bool SameWord(std::string_view A, std::string_view B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
           return std::toupper(static_cast<unsigned char>(X)) == std::toupper(static_cast<unsigned char>(Y));
         });
}
}  // namespace

const std::vector<std::string>& ScriptKeywords() {
  static const std::vector<std::string> Words = {
      "if",   "then",  "endif", "for",   "while",  "begin",    "end",      "mod",   "div",  "array", "round", "trunc",
      "int",  "frac",  "insert", "delete", "copy", "pos",      "strtoint", "inttostr", "const", "else", "do"};
  return Words;
}

const std::vector<std::string>& ScriptLibraryWords() {
  static const std::vector<std::string> Words = {"print",        "Version",          "Random",       "Distance",
                                                 "TrueDistance", "ClearPatrolZones", "AddPatrolZone"};
  return Words;
}

const std::vector<std::string>& ScriptKindWords() {
  static const std::vector<std::string> Words = {"LAND", "AIR", "SEA"};
  return Words;
}

std::vector<std::string> ScriptFunctionWords(const std::vector<std::string>& RegisteredNames) {
  std::vector<std::string> Words = RegisteredNames;
  for (const std::string& Word : ScriptLibraryWords())
    if (std::none_of(Words.begin(), Words.end(), [&](const std::string& W) { return SameWord(W, Word); }))
      Words.push_back(Word);
  return Words;
}

std::vector<TScriptColorRuleDesign> ScriptColorRules(const std::vector<std::string>& FunctionWords,
                                                     TColor TextColor) {
  return {{srkWords, ScriptKeywords(), {}, {}, clNavy},
          {srkWords, FunctionWords, {}, {}, clBlue},
          {srkRange, {}, "'", "'", clPurple},
          {srkRange, {}, "{", "}", clGreen},
          {srkWords, ScriptKindWords(), {}, {}, TextColor}};
}

// --- The editor's state ---

void TScriptEditorState::NewScript(const std::string& FileName) {
  FCaption = NewScriptCaption(FileName);
  FTest = true;
  FSaveAs = true;
  FSave = false;
}

void TScriptEditorState::Loaded(const std::string& FileName) {
  FCaption = FileNamePart(FileName);
  FTest = true;
}

void TScriptEditorState::SavedAs(const std::string& FileName) { FCaption = FileNamePart(FileName); }

void TScriptEditorState::Changed() {
  if (!FCaption.empty()) FSave = true;
}

void TScriptEditorState::KeyUp() { FTest = true; }

std::string NewScriptCaption(const std::string& FileName) { return "Scenario Script: " + FileNamePart(FileName); }

std::string ScriptSavedMessage(const std::string& FileName) { return "Script " + FileName + " saved."; }

std::int32_t TypedScriptPosition(std::string_view Text) { return TryStrToInt(Text).value_or(0); }

// --- The computer-player scripts ---

std::string FileNamePart(std::string_view Path) {
  const std::size_t Slash = Path.find_last_of("/\\");
  return std::string(Slash == std::string_view::npos ? Path : Path.substr(Slash + 1));
}

std::array<TAIScriptRow, AIScriptRowCount> AIScriptRows(const TBrenmoorEngine& Engine) {
  std::array<TAIScriptRow, AIScriptRowCount> Rows;
  const int Majors = std::min({Engine.GetMajorCount(), Engine.GetNationCount(), AIScriptRowCount});
  for (int I = 0; I < AIScriptRowCount; ++I) {
    TAIScriptRow& Row = Rows[static_cast<std::size_t>(I)];
    if (I < Majors) {
      const TNation& Nation = *Engine.GetNation(I);
      Row.Visible = true;
      Row.Nation = Nation.GetName();
      Row.File = FileNamePart(Nation.GetAIScript());
    }
    if (Row.File.empty()) Row.File = DefaultAIScriptFile;
  }
  return Rows;
}

void StoreAIScripts(TBrenmoorEngine& Engine, const std::array<std::string, AIScriptRowCount>& Files) {
  const int Majors = std::min({Engine.GetMajorCount(), Engine.GetNationCount(), AIScriptRowCount});
  for (int I = 0; I < Majors; ++I) Engine.GetNation(I)->SetAIScript(FileNamePart(Files[static_cast<std::size_t>(I)]));
}

std::string AIScriptSettingName(const std::string& ScenarioFile, int Index) {
  const std::string Name = FileNamePart(ScenarioFile);
  return Name.substr(0, Name.find('.')) + IntToStr(Index);
}

std::vector<std::pair<std::string, std::string>> AIScriptSettings(const TBrenmoorEngine& Engine) {
  std::vector<std::pair<std::string, std::string>> Settings;
  const int Majors = std::min({Engine.GetMajorCount(), Engine.GetNationCount(), AIScriptRowCount});
  for (int I = 0; I < Majors; ++I)
    Settings.emplace_back(AIScriptSettingName(Engine.GetScenarioFile(), I), Engine.GetNation(I)->GetAIScript());
  return Settings;
}
