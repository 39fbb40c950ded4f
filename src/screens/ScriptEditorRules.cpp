#include "screens/ScriptEditorRules.h"

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

// --- Colouring a script ---

namespace {
std::string Upper(std::string_view Text) {
  std::string U(Text);
  for (char& C : U) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  return U;
}
bool IsNameStart(char C) { return std::isalpha(static_cast<unsigned char>(C)) || C == '_'; }
bool IsNameChar(char C) { return IsNameStart(C) || std::isdigit(static_cast<unsigned char>(C)); }
}  // namespace

TScriptColorizer::TScriptColorizer(const std::vector<TScriptColorRuleDesign>& Rules) {
  for (const TScriptColorRuleDesign& Rule : Rules) {
    if (Rule.Kind == srkRange) {
      if (Rule.Begin.size() == 1 && Rule.End.size() == 1) FRanges.push_back({Rule.Begin[0], Rule.End[0], Rule.Color});
      continue;
    }
    for (const std::string& Word : Rule.Words) {
      const std::string Key = Upper(Word);
      const auto It = std::find_if(FWords.begin(), FWords.end(), [&](const auto& W) { return W.first == Key; });
      if (It != FWords.end())
        It->second = Rule.Color;
      else
        FWords.emplace_back(Key, Rule.Color);
    }
  }
  std::sort(FWords.begin(), FWords.end());
}

void TScriptColorizer::FindKeys(std::string_view Text, std::int32_t From, std::size_t Limit,
                                std::vector<TScriptColorKey>& Keys) const {
  Keys.clear();
  const std::size_t Size = Text.size();
  std::size_t I = 0;
  std::string Name;
  auto Add = [&](std::size_t Start, std::size_t End, TColor Color) {
    if (static_cast<std::int64_t>(End) >= From && Keys.size() < Limit)
      Keys.push_back({static_cast<std::int32_t>(Start), static_cast<std::int32_t>(End), Color});
  };
  while (I < Size && Keys.size() < Limit) {
    const char C = Text[I];
    if (C == '/' && I + 1 < Size && Text[I + 1] == '/') {
      while (I < Size && Text[I] != '\n' && Text[I] != '\r') ++I;
      continue;
    }
    const auto Range = std::find_if(FRanges.begin(), FRanges.end(), [C](const TRange& R) { return R.Begin == C; });
    if (Range != FRanges.end()) {
      std::size_t End = I + 1;
      if (Range->Begin == Range->End) {
        // A quoted text: a doubled quote stays inside; it cannot run past its line.
        for (;;) {
          while (End < Size && Text[End] != Range->End && Text[End] != '\n' && Text[End] != '\r') ++End;
          if (End + 1 < Size && Text[End] == Range->End && Text[End + 1] == Range->End) {
            End += 2;
            continue;
          }
          break;
        }
        if (End >= Size || Text[End] != Range->End) --End;  // open to the line's end
      } else {
        while (End < Size && Text[End] != Range->End) ++End;
        End = std::min(End, Size - 1);
      }
      Add(I, End, Range->Color);
      I = End + 1;
      continue;
    }
    if (IsNameStart(C)) {
      std::size_t End = I;
      while (End < Size && IsNameChar(Text[End])) ++End;
      Name = Upper(Text.substr(I, End - I));
      const auto It = std::lower_bound(FWords.begin(), FWords.end(), Name,
                                       [](const auto& W, const std::string& N) { return W.first < N; });
      if (It != FWords.end() && It->first == Name) Add(I, End - 1, It->second);
      I = End;
      continue;
    }
    if (std::isdigit(static_cast<unsigned char>(C))) {
      // A number with its exponent, so that "1E5" names nothing.
      while (I < Size && IsNameChar(Text[I])) ++I;
      continue;
    }
    ++I;
  }
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

std::string ScenarioBaseName(const std::string& ScenarioFile) {
  const std::string Name = FileNamePart(ScenarioFile);
  return Name.substr(0, Name.find('.'));
}

std::string AIScriptSettingName(const std::string& ScenarioFile, int Index) {
  return ScenarioBaseName(ScenarioFile) + IntToStr(Index);
}

std::vector<std::pair<std::string, std::string>> AIScriptSettings(const TBrenmoorEngine& Engine) {
  std::vector<std::pair<std::string, std::string>> Settings;
  const int Majors = std::min({Engine.GetMajorCount(), Engine.GetNationCount(), AIScriptRowCount});
  for (int I = 0; I < Majors; ++I)
    Settings.emplace_back(AIScriptSettingName(Engine.GetScenarioFile(), I), Engine.GetNation(I)->GetAIScript());
  return Settings;
}
