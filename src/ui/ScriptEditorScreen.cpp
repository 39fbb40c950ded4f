// The script editor screen: see ScriptEditorScreen.h.
#include "ui/ScriptEditorScreen.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSaveFile>
#include <QTextBlock>
#include <algorithm>

#include "controls/ColMemo.h"
#include "controls/ColorButton.h"
#include "controls/GraphicPanel.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "players/Brain.h"
#include "players/ScriptModule.h"
#include "players/ScriptTestCompile.h"

namespace {
std::string EditorProgramFolder() { return FromQString(QCoreApplication::applicationDirPath()); }

// The most keys the memo takes for the lines in view.
constexpr int MemoKeyLimit = 4096;

// The script file's bytes; an error the user must see when it cannot be read.
std::optional<QByteArray> ReadScriptFile(const std::string& FileName, std::string& Error) {
  QFile File(ToQString(FileName));
  if (!File.open(QIODevice::ReadOnly)) {
    Error = "Cannot read the script file " + FileName + ": " + FromQString(File.errorString());
    return std::nullopt;
  }
  QByteArray Bytes = File.readAll();
  if (File.error() != QFileDevice::NoError) {
    Error = "Cannot read the script file " + FileName + ": " + FromQString(File.errorString());
    return std::nullopt;
  }
  return Bytes;
}

// Writes the lines through a temporary file renamed over the old one, so that a failed save
// leaves the old script whole; false with Error when it failed.
bool WriteScriptFile(const std::string& FileName, const QByteArray& Bytes, std::string& Error) {
  QSaveFile File(ToQString(FileName));
  if (!File.open(QIODevice::WriteOnly) || File.write(Bytes) != Bytes.size() || !File.commit()) {
    Error = "Cannot write the script file " + FileName + ": " + FromQString(File.errorString());
    File.cancelWriting();
    return false;
  }
  return true;
}
}  // namespace


TScriptEditorScreen::TScriptEditorScreen(QWidget& Screen, const TButtonMaker& MakeButton, std::function<void()> OnClose)
    : FOnClose(std::move(OnClose)) {
  FDescription = new TGraphicPanel(&Screen);
  FDescription->setObjectName("gpnlScriptDesc");
  FDescription->setGeometry(8, 8, 616, 26);
  FDescription->SetColor(QColor(0, 64, 0));
  FDescription->SetFontColor(QColor(0, 255, 0));
  FDescription->setFont(GameFont("Arial", 14, true));
  CreateMemo(Screen);
  CreateButtons(Screen, MakeButton);
  ShowState();
}

TScriptEditorScreen::~TScriptEditorScreen() {
  // The screen's widgets outlive this object (their panel frees them): the memo calls nothing
  // here any more.
  FMemo->OnDraw = nullptr;
  FMemo->OnChange = nullptr;
  FMemo->OnClick = nullptr;
  FMemo->OnKeyUp = nullptr;
}

// The script memo: black on white, its text coloured by the script colouring.
void TScriptEditorScreen::CreateMemo(QWidget& Screen) {
  FMemo = new TColorMemo(&Screen);
  FMemo->setObjectName("memoScript");
  FMemo->setGeometry(8, 38, 616, 360);
  FMemo->setFont(GameFont("System", 13, true));
  FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette MemoColors = FMemo->palette();
  MemoColors.setColor(QPalette::Text, Qt::black);
  MemoColors.setColor(QPalette::Base, Qt::white);
  FMemo->setPalette(MemoColors);
  // One rule whose keys come from the script colouring: each of the five rules then claims
  // only its own kind of text (no word inside a comment, no string opened by a comment's "'").
  TDrawRules Rules;
  Rules.Add().SetKeyDrawingType(dtEventDraw);
  FMemo->SetColorLimMax(MemoKeyLimit);
  FMemo->SetColorRules(Rules);
  // Until the script module is known, every rule but the game functions' names.
  FColorizer = std::make_unique<TScriptColorizer>(ScriptColorRules(ScriptFunctionWords({})));
  FMemo->OnDraw = [this](TColorMemo* Sender, TColorRule&, int RangeStart, std::span<TDrawKey> Table, int& Count,
                         int Limit) {
    FColorizer->FindKeys(FromQString(Sender->toPlainText()), RangeStart, static_cast<std::size_t>(Limit), FKeys);
    Count = 0;
    for (const TScriptColorKey& Key : FKeys)
      Table[static_cast<std::size_t>(Count++)] = {Key.Start - RangeStart, Key.End - RangeStart, Key.Color, 0};
  };
  FMemo->OnChange = [this](TColorMemo*) {
    FState.Changed();
    ShowState();
  };
  FMemo->OnClick = [this](TColorMemo*) { ShowCaret(); };
  FMemo->OnKeyUp = [this](TColorMemo*, int&, Qt::KeyboardModifiers) {
    ShowCaret();
    FState.KeyUp();
    ShowState();
  };
}

void TScriptEditorScreen::CreateButtons(QWidget& Screen, const TButtonMaker& MakeButton) {
  auto* PositionLabel = new QLabel("Position:", &Screen);
  PositionLabel->setObjectName("lblPosition");
  PositionLabel->setGeometry(8, 410, 64, 22);
  PositionLabel->setFont(GameFont("Arial", 12, true));
  FPosition = new QLineEdit(&Screen);
  FPosition->setObjectName("edtPosition");
  FPosition->setGeometry(72, 408, 56, 25);
  FPosition->setText("0");
  FPosition->setFont(GameFont("Arial", 12));
  MakeButton(&Screen, "edtGotoPos", "Go To", {132, 408, 56, 25})->OnClick = [this](TGraphicControl*) { GoToPosition(); };

  struct TEditorButton {
    const char* Name;
    const char* Caption;
    void (TScriptEditorScreen::*Handler)();
  };
  const TEditorButton Buttons[] = {{"btnNewScript", "New", &TScriptEditorScreen::NewScript},
                                   {"btnLoadBrainScript", "Load", &TScriptEditorScreen::LoadScript},
                                   {"btnTestScript", "Test", &TScriptEditorScreen::TestScript},
                                   {"btnSaveScript", "Save", &TScriptEditorScreen::SaveScript},
                                   {"btnSaveScriptAs", "Save As", &TScriptEditorScreen::SaveScriptAs},
                                   {"btnEditorClose", "Close", nullptr}};
  int Left = 200;
  for (const TEditorButton& B : Buttons) {
    TColorButton* Button = MakeButton(&Screen, B.Name, B.Caption, {Left, 408, 66, 25});
    const auto Handler = B.Handler;
    Button->OnClick = [this, Handler](TGraphicControl*) {
      if (Handler) (this->*Handler)();
      else if (FOnClose) FOnClose();
    };
    Left += 71;
  }
  FTest = Screen.findChild<TColorButton*>("btnTestScript");
  FSave = Screen.findChild<TColorButton*>("btnSaveScript");
  FSaveAs = Screen.findChild<TColorButton*>("btnSaveScriptAs");
}

void TScriptEditorScreen::UseScriptModule(TdmScript& Module) {
  FModule = &Module;
  std::vector<std::string> Names;
  for (std::int32_t I = 0; I < Module.GameFunctionCount(); ++I) Names.push_back(Module.GameFunction(I).Name());
  FColorizer = std::make_unique<TScriptColorizer>(ScriptColorRules(ScriptFunctionWords(Names)));
  FMemo->DrawColoredLines();
  if (!FTestBrain) FTestBrain = std::make_unique<TBrenmoorBrain>();
  FTestBrain->SetFunctions(&Module.GetFuncs());
}

void TScriptEditorScreen::ShowState() {
  FDescription->SetCaption(ToQString(FState.Caption()));
  FTest->setVisible(FState.TestVisible());
  FSave->setVisible(FState.SaveVisible());
  FSaveAs->setVisible(FState.SaveAsVisible());
}



void TScriptEditorScreen::NewScript() {
  TFileDialogOptions Options{"Save AI Script File", AIScriptFilter, AIScriptExtension, "", FSaveName};
  const auto Chosen = Prompter().SaveFile(Options);
  if (!Chosen) return;
  FMemo->clear();
  FSaveName = *Chosen;
  FOpenName = FileNamePart(*Chosen);
  FState.NewScript(*Chosen);
  ShowState();
}

void TScriptEditorScreen::LoadScript() {
  TFileDialogOptions Options{"Open AI Script File", AIScriptFilter, AIScriptExtension, EditorProgramFolder(),
                             FOpenName};
  const auto Chosen = Prompter().OpenFile(Options);
  if (!Chosen) return;
  std::string Error;
  const auto Bytes = ReadScriptFile(*Chosen, Error);
  if (!Bytes) {
    Prompter().ShowMessage(Error);
    return;
  }
  FSaveName = *Chosen;
  FOpenName = *Chosen;
  // Lines broken by CR LF or CR alone are lines too; the memo counts one character per break,
  // as the compiler does on the memo's text.
  QString Text = ToQString(std::string_view(Bytes->constData(), static_cast<std::size_t>(Bytes->size())));
  Text.replace("\r\n", "\n").replace('\r', '\n');
  FMemo->setPlainText(Text);
  FState.Loaded(*Chosen);
  ShowState();
}

bool TScriptEditorScreen::SaveTo(const std::string& FileName) {
  // Each line followed by a line break, as the game's script files are written.
  std::string Text;
  for (QTextBlock Block = FMemo->document()->begin(); Block.isValid(); Block = Block.next())
    Text += FromQString(Block.text()) + "\n";
  std::string Error;
  if (!WriteScriptFile(FileName, QByteArray(Text.data(), static_cast<qsizetype>(Text.size())), Error)) {
    Prompter().ShowMessage(Error);
    return false;
  }
  Prompter().ShowMessage(ScriptSavedMessage(FileName));
  return true;
}

void TScriptEditorScreen::SaveScript() {
  if (FSaveName.empty()) {
    SaveScriptAs();
    return;
  }
  SaveTo(FSaveName);
}

void TScriptEditorScreen::SaveScriptAs() {
  TFileDialogOptions Options{"Save AI Script File", AIScriptFilter, AIScriptExtension, EditorProgramFolder(),
                             FSaveName};
  const auto Chosen = Prompter().SaveFile(Options);
  if (!Chosen || !SaveTo(*Chosen)) return;
  FSaveName = *Chosen;
  FOpenName = *Chosen;
  FState.SavedAs(*Chosen);
  ShowState();
}


void TScriptEditorScreen::ShowCaret() { FPosition->setText(QString::number(FMemo->textCursor().position())); }


void TScriptEditorScreen::GoToPosition() {
  const int Length = FMemo->document()->characterCount() - 1;
  const int Position = std::clamp(TypedScriptPosition(FromQString(FPosition->text())), 0, std::max(0, Length));
  QTextCursor Caret = FMemo->textCursor();
  Caret.setPosition(Position);
  Caret.setPosition(std::min(Position + 1, Length), QTextCursor::KeepAnchor);
  FMemo->setTextCursor(Caret);
  FMemo->setFocus();
}

void TScriptEditorScreen::TestScript() {
  if (!FModule || !FTestBrain) return;
  const TTestCompileResult Result =
      TestCompileScript(*FModule, *FTestBrain, FromQString(FMemo->toPlainText()));
  if (!Result.Ok) {
    // The position box leads to the error: "Go To" puts the caret on the character it names.
    if (Result.Position > 0) FPosition->setText(QString::number(Result.Position - 1));
    Prompter().ShowMessage(Result.Message);
    return;
  }
  Prompter().ShowMessage("No Errors were detected in this Script");
}

