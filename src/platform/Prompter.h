#pragma once
// Every modal question the game asks (a message, a yes/no confirmation, a line of text, a file
// to open or to save) goes through one prompter: the program's own uses Qt's dialogs, a test
// installs a scripted one, so windows can be driven without anyone at the screen.
//
// Messages, captions and filters are game text (bytes, Windows-1252); file and folder names are
// bytes in the file system's own encoding, as the program opens them.
#include <QStringList>
#include <optional>
#include <string>

struct TFileDialogOptions {
  // The dialog's title, e.g. "Select Saved Game File".
  std::string Title;
  // Pairs of a description and its patterns, each followed by "|" except the last:
  // "Brenmoor Files (*.brm)|*.brm". Several patterns of one entry are separated by ";".
  std::string Filter;
  // Added (after a ".") to a name chosen without an extension, e.g. "brm".
  std::string DefaultExt;
  // The folder the dialog starts in; empty: the current folder.
  std::string InitialDir;
  // The name the dialog proposes.
  std::string FileName;
};

class TPrompter {
public:
  virtual ~TPrompter() = default;
  // A message with an OK button.
  virtual void ShowMessage(const std::string& Text) = 0;
  // A confirmation with the buttons Yes and No: true for Yes.
  virtual bool Confirm(const std::string& Text) = 0;
  // A line of text under Prompt, starting from Value: the text entered, nothing when cancelled.
  virtual std::optional<std::string> InputText(const std::string& Caption, const std::string& Prompt,
                                               const std::string& Value) = 0;
  // An existing file chosen to open; nothing when cancelled.
  virtual std::optional<std::string> OpenFile(const TFileDialogOptions& Options) = 0;
  // A file chosen to save into, overwriting only after the user agreed; nothing when cancelled.
  virtual std::optional<std::string> SaveFile(const TFileDialogOptions& Options) = 0;
};

// The prompter that shows Qt's dialogs, parented to the active window and captioned with the
// application's name.
class TQtPrompter : public TPrompter {
public:
  void ShowMessage(const std::string& Text) override;
  bool Confirm(const std::string& Text) override;
  std::optional<std::string> InputText(const std::string& Caption, const std::string& Prompt,
                                       const std::string& Value) override;
  std::optional<std::string> OpenFile(const TFileDialogOptions& Options) override;
  std::optional<std::string> SaveFile(const TFileDialogOptions& Options) override;
};

// The program's prompter: the one installed last, else Qt's dialogs.
TPrompter& Prompter();
// Installs Prompter (not owned; nullptr: Qt's dialogs again) and returns the one it replaces.
TPrompter* SetPrompter(TPrompter* Prompter);

// The game's filter "Text (*.a)|*.a|Other|*.b;*.c" as Qt's name filters:
// "Text (*.a)", "Other (*.b *.c)". A description that already names its patterns keeps its words.
// An entry without patterns matches every file.
QStringList QtNameFilters(const std::string& Filter);
