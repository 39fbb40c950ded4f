#pragma once
// A prompter for tests: it records every question the program asks and answers from a script
// given beforehand. A question the script does not answer, or answers with the wrong kind of
// answer (which is then spent), fails the test and is answered No / cancelled, so a test never
// waits for a dialog.
// It installs itself as the program's prompter while it lives.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Prompter.h"

enum TPromptKind { pkMessage, pkConfirm, pkInputText, pkOpenFile, pkSaveFile };

struct TPrompt {
  TPromptKind Kind = pkMessage;
  std::string Caption;
  // The message, the confirmation's question or the input's prompt; a file dialog's title.
  std::string Text;
  // For text input: the value offered.
  std::string Value;
  TFileDialogOptions Options;
};

class TScriptedPrompter : public TPrompter {
public:
  TScriptedPrompter();
  // Gives the program back the prompter it had; answers never asked for fail the test.
  ~TScriptedPrompter() override;
  TScriptedPrompter(const TScriptedPrompter&) = delete;
  TScriptedPrompter& operator=(const TScriptedPrompter&) = delete;

  // The answers to the coming questions, in order. Messages need none.
  TScriptedPrompter& AnswerYes();
  TScriptedPrompter& AnswerNo();
  TScriptedPrompter& AnswerText(const std::string& Text);
  TScriptedPrompter& CancelText();
  // For an open or save dialog.
  TScriptedPrompter& ChooseFile(const std::string& FileName);
  TScriptedPrompter& CancelFile();

  // Every question asked, messages included, in order.
  const std::vector<TPrompt>& Prompts() const { return FPrompts; }
  // The texts of the messages shown, in order.
  std::vector<std::string> Messages() const;
  // Called with each question as it is asked, while the program waits for the answer.
  std::function<void(const TPrompt& Prompt)> OnPrompt;

  void ShowMessage(const std::string& Text) override;
  bool Confirm(const std::string& Text) override;
  std::optional<std::string> InputText(const std::string& Caption, const std::string& Prompt,
                                       const std::string& Value) override;
  std::optional<std::string> OpenFile(const TFileDialogOptions& Options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& Options) override;

private:
  enum TAnswerKind { akYesNo, akText, akFile };
  struct TAnswer {
    TAnswerKind Kind;
    bool Yes = false;
    std::optional<std::string> Value;
  };
  void Asked(const TPrompt& Prompt);
  // The next answer when it is of kind Kind; else the test fails and nothing is answered.
  std::optional<TAnswer> Take(TAnswerKind Kind, const TPrompt& Prompt);

  std::deque<TAnswer> FAnswers;
  std::vector<TPrompt> FPrompts;
  TPrompter* FPrevious = nullptr;
};
