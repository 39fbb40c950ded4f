#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace {
const char* KindName(TPromptKind Kind) {
  switch (Kind) {
    case pkMessage: return "message";
    case pkConfirm: return "confirmation";
    case pkInputText: return "text input";
    case pkOpenFile: return "open dialog";
    case pkSaveFile: return "save dialog";
  }
  return "question";
}
}  // namespace

TScriptedPrompter::TScriptedPrompter() : FPrevious(SetPrompter(this)) {}

TScriptedPrompter::~TScriptedPrompter() {
  SetPrompter(FPrevious);
  if (!FAnswers.empty()) ADD_FAILURE() << FAnswers.size() << " scripted answer(s) were never asked for";
}

TScriptedPrompter& TScriptedPrompter::AnswerYes() {
  FAnswers.push_back({akYesNo, true, std::nullopt});
  return *this;
}
TScriptedPrompter& TScriptedPrompter::AnswerNo() {
  FAnswers.push_back({akYesNo, false, std::nullopt});
  return *this;
}
TScriptedPrompter& TScriptedPrompter::AnswerText(const std::string& Text) {
  FAnswers.push_back({akText, false, Text});
  return *this;
}
TScriptedPrompter& TScriptedPrompter::CancelText() {
  FAnswers.push_back({akText, false, std::nullopt});
  return *this;
}
TScriptedPrompter& TScriptedPrompter::ChooseFile(const std::string& FileName) {
  FAnswers.push_back({akFile, false, FileName});
  return *this;
}
TScriptedPrompter& TScriptedPrompter::CancelFile() {
  FAnswers.push_back({akFile, false, std::nullopt});
  return *this;
}

std::vector<std::string> TScriptedPrompter::Messages() const {
  std::vector<std::string> Texts;
  for (const TPrompt& P : FPrompts)
    if (P.Kind == pkMessage) Texts.push_back(P.Text);
  return Texts;
}

void TScriptedPrompter::Asked(const TPrompt& Prompt) {
  FPrompts.push_back(Prompt);
  if (OnPrompt) OnPrompt(Prompt);
}

std::optional<TScriptedPrompter::TAnswer> TScriptedPrompter::Take(TAnswerKind Kind, const TPrompt& Prompt) {
  if (FAnswers.empty()) {
    ADD_FAILURE() << "unscripted " << KindName(Prompt.Kind) << ": \"" << Prompt.Text << "\"";
    return std::nullopt;
  }
  if (FAnswers.front().Kind != Kind) {
    // The script is out of step: its answer is spent on this question.
    FAnswers.pop_front();
    ADD_FAILURE() << "unscripted " << KindName(Prompt.Kind) << ": \"" << Prompt.Text
                  << "\" (the next scripted answer is for another kind of question)";
    return std::nullopt;
  }
  TAnswer Answer = FAnswers.front();
  FAnswers.pop_front();
  return Answer;
}

void TScriptedPrompter::ShowMessage(const std::string& Text) { Asked({pkMessage, {}, Text, {}, {}}); }

bool TScriptedPrompter::Confirm(const std::string& Text) {
  const TPrompt Prompt{pkConfirm, {}, Text, {}, {}};
  Asked(Prompt);
  const auto Answer = Take(akYesNo, Prompt);
  return Answer && Answer->Yes;
}

std::optional<std::string> TScriptedPrompter::InputText(const std::string& Caption, const std::string& Prompt,
                                                        const std::string& Value) {
  const TPrompt Asking{pkInputText, Caption, Prompt, Value, {}};
  Asked(Asking);
  const auto Answer = Take(akText, Asking);
  return Answer ? Answer->Value : std::nullopt;
}

std::optional<std::string> TScriptedPrompter::OpenFile(const TFileDialogOptions& Options) {
  const TPrompt Asking{pkOpenFile, {}, Options.Title, {}, Options};
  Asked(Asking);
  const auto Answer = Take(akFile, Asking);
  return Answer ? Answer->Value : std::nullopt;
}

std::optional<std::string> TScriptedPrompter::SaveFile(const TFileDialogOptions& Options) {
  const TPrompt Asking{pkSaveFile, {}, Options.Title, {}, Options};
  Asked(Asking);
  const auto Answer = Take(akFile, Asking);
  return Answer ? Answer->Value : std::nullopt;
}
