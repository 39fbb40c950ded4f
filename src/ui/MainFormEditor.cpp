// The script editor screen: the script in the colour memo, new, load, save and save as through
// the prompter (the two dialogs share the file name), the caret position and the way back to
// it, and the test compile against the script module's registry. Also the set-up's choice of
// each major power's script file, and the navigator window's marks on the small map.
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSaveFile>
#include <QTextBlock>

#include "controls/ColMemo.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "engine/BrenmoorEngine.h"
#include "gamemap/NavigatorMarks.h"
#include "screens/ScriptEditorRules.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "players/Brain.h"
#include "players/ScriptModule.h"
#include "players/ScriptTestCompile.h"
#include "sprites/ColorPalette.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/AIScriptsForm.h"
#include "ui/FormParts.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/NavigatorView.h"

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

void TfrmMain::CreateEditorScreen() {
  FScriptDesc = new TGraphicPanel(FEditor);
  FScriptDesc->setObjectName("gpnlScriptDesc");
  FScriptDesc->setGeometry(8, 8, 616, 26);
  FScriptDesc->SetColor(QColor(0, 64, 0));
  FScriptDesc->SetFontColor(QColor(0, 255, 0));
  FScriptDesc->setFont(GameFont("Arial", 14, true));

  FMemoScript = new TColorMemo(FEditor);
  FMemoScript->setObjectName("memoScript");
  FMemoScript->setGeometry(8, 38, 616, 360);
  FMemoScript->setFont(GameFont("System", 13, true));
  FMemoScript->setLineWrapMode(QPlainTextEdit::NoWrap);
  QPalette MemoColors = FMemoScript->palette();
  MemoColors.setColor(QPalette::Text, Qt::black);
  MemoColors.setColor(QPalette::Base, Qt::white);
  FMemoScript->setPalette(MemoColors);
  // One rule whose keys come from the script colouring: each of the five rules then claims
  // only its own kind of text (no word inside a comment, no string opened by a comment's "'").
  TDrawRules Rules;
  Rules.Add().SetKeyDrawingType(dtEventDraw);
  FMemoScript->SetColorLimMax(MemoKeyLimit);
  FMemoScript->SetColorRules(Rules);
  // Until the script module is known, every rule but the game functions' names.
  FScriptColorizer = std::make_unique<TScriptColorizer>(ScriptColorRules(ScriptFunctionWords({})));
  FMemoScript->OnDraw = [this](TColorMemo* Sender, TColorRule&, int RangeStart, std::span<TDrawKey> Table,
                               int& Count, int Limit) {
    FScriptColorizer->FindKeys(FromQString(Sender->toPlainText()), RangeStart, static_cast<std::size_t>(Limit),
                               FScriptKeys);
    Count = 0;
    for (const TScriptColorKey& Key : FScriptKeys)
      Table[static_cast<std::size_t>(Count++)] = {Key.Start - RangeStart, Key.End - RangeStart, Key.Color, 0};
  };
  FMemoScript->OnChange = [this](TColorMemo*) { memoScriptChange(); };
  FMemoScript->OnClick = [this](TColorMemo*) { memoScriptClick(); };
  FMemoScript->OnKeyUp = [this](TColorMemo*, int&, Qt::KeyboardModifiers) { memoScriptKeyUp(); };

  auto* PositionLabel = new QLabel("Position:", FEditor);
  PositionLabel->setObjectName("lblPosition");
  PositionLabel->setGeometry(8, 410, 64, 22);
  PositionLabel->setFont(GameFont("Arial", 12, true));
  FPosition = new QLineEdit(FEditor);
  FPosition->setObjectName("edtPosition");
  FPosition->setGeometry(72, 408, 56, 25);
  FPosition->setText("0");
  FPosition->setFont(GameFont("Arial", 12));
  MakeButton(FEditor, "edtGotoPos", "Go To", {132, 408, 56, 25});
  BindClick("edtGotoPos", &TfrmMain::edtGotoPosClick);

  struct TEditorButton {
    const char* Name;
    const char* Caption;
    void (TfrmMain::*Handler)();
  };
  const TEditorButton Buttons[] = {{"btnNewScript", "New", &TfrmMain::btnNewScriptClick},
                                   {"btnLoadBrainScript", "Load", &TfrmMain::btnLoadBrainScriptClick},
                                   {"btnTestScript", "Test", &TfrmMain::btnTestScriptClick},
                                   {"btnSaveScript", "Save", &TfrmMain::btnSaveScriptClick},
                                   {"btnSaveScriptAs", "Save As", &TfrmMain::btnSaveScriptAsClick},
                                   {"btnEditorClose", "Close", &TfrmMain::btnEditorCloseClick}};
  int Left = 200;
  for (const TEditorButton& B : Buttons) {
    MakeButton(FEditor, B.Name, B.Caption, {Left, 408, 66, 25});
    BindClick(B.Name, B.Handler);
    Left += 71;
  }
  ShowEditorState();
}

void TfrmMain::UseScriptModuleInEditor() {
  if (!FForms) return;
  TdmScript& Module = FForms->dmScript();
  std::vector<std::string> Names;
  for (std::int32_t I = 0; I < Module.GameFunctionCount(); ++I) Names.push_back(Module.GameFunction(I).Name());
  FScriptColorizer = std::make_unique<TScriptColorizer>(ScriptColorRules(ScriptFunctionWords(Names)));
  FMemoScript->DrawColoredLines();
  if (!FScriptTest) FScriptTest = std::make_unique<TBrenmoorBrain>();
  FScriptTest->SetFunctions(&Module.GetFuncs());
}

void TfrmMain::ShowEditorState() {
  FScriptDesc->SetCaption(ToQString(FEditorState.Caption()));
  findChild<TColorButton*>("btnTestScript")->setVisible(FEditorState.TestVisible());
  findChild<TColorButton*>("btnSaveScript")->setVisible(FEditorState.SaveVisible());
  findChild<TColorButton*>("btnSaveScriptAs")->setVisible(FEditorState.SaveAsVisible());
}

void TfrmMain::btnEditorClick() { ShowScreen(FEditor); }
void TfrmMain::btnEditorCloseClick() { ShowScreen(FTitle); }

void TfrmMain::btnNewScriptClick() {
  TFileDialogOptions Options{"Save AI Script File", AIScriptFilter, AIScriptExtension, "", FScriptSaveName};
  const auto Chosen = Prompter().SaveFile(Options);
  if (!Chosen) return;
  FMemoScript->clear();
  FScriptSaveName = *Chosen;
  FScriptOpenName = FileNamePart(*Chosen);
  FEditorState.NewScript(*Chosen);
  ShowEditorState();
}

void TfrmMain::btnLoadBrainScriptClick() {
  TFileDialogOptions Options{"Open AI Script File", AIScriptFilter, AIScriptExtension, EditorProgramFolder(),
                             FScriptOpenName};
  const auto Chosen = Prompter().OpenFile(Options);
  if (!Chosen) return;
  std::string Error;
  const auto Bytes = ReadScriptFile(*Chosen, Error);
  if (!Bytes) {
    Prompter().ShowMessage(Error);
    return;
  }
  FScriptSaveName = *Chosen;
  FScriptOpenName = *Chosen;
  // Lines broken by CR LF or CR alone are lines too; the memo counts one character per break,
  // as the compiler does on the memo's text.
  QString Text = ToQString(std::string_view(Bytes->constData(), static_cast<std::size_t>(Bytes->size())));
  Text.replace("\r\n", "\n").replace('\r', '\n');
  FMemoScript->setPlainText(Text);
  FEditorState.Loaded(*Chosen);
  ShowEditorState();
}

bool TfrmMain::SaveScriptTo(const std::string& FileName) {
  // Each line followed by a line break, as the game's script files are written.
  std::string Text;
  for (QTextBlock Block = FMemoScript->document()->begin(); Block.isValid(); Block = Block.next())
    Text += FromQString(Block.text()) + "\n";
  std::string Error;
  if (!WriteScriptFile(FileName, QByteArray(Text.data(), static_cast<qsizetype>(Text.size())), Error)) {
    Prompter().ShowMessage(Error);
    return false;
  }
  Prompter().ShowMessage(ScriptSavedMessage(FileName));
  return true;
}

void TfrmMain::btnSaveScriptClick() {
  if (FScriptSaveName.empty()) {
    btnSaveScriptAsClick();
    return;
  }
  SaveScriptTo(FScriptSaveName);
}

void TfrmMain::btnSaveScriptAsClick() {
  TFileDialogOptions Options{"Save AI Script File", AIScriptFilter, AIScriptExtension, EditorProgramFolder(),
                             FScriptSaveName};
  const auto Chosen = Prompter().SaveFile(Options);
  if (!Chosen || !SaveScriptTo(*Chosen)) return;
  FScriptSaveName = *Chosen;
  FScriptOpenName = *Chosen;
  FEditorState.SavedAs(*Chosen);
  ShowEditorState();
}

void TfrmMain::memoScriptChange() {
  FEditorState.Changed();
  ShowEditorState();
}

void TfrmMain::memoScriptClick() { FPosition->setText(QString::number(FMemoScript->textCursor().position())); }

void TfrmMain::memoScriptKeyUp() {
  memoScriptClick();
  FEditorState.KeyUp();
  ShowEditorState();
}

void TfrmMain::edtGotoPosClick() {
  const int Length = FMemoScript->document()->characterCount() - 1;
  const int Position = std::clamp(TypedScriptPosition(FromQString(FPosition->text())), 0, std::max(0, Length));
  QTextCursor Caret = FMemoScript->textCursor();
  Caret.setPosition(Position);
  Caret.setPosition(std::min(Position + 1, Length), QTextCursor::KeepAnchor);
  FMemoScript->setTextCursor(Caret);
  FMemoScript->setFocus();
}

void TfrmMain::btnTestScriptClick() {
  if (!FForms || !FScriptTest) return;
  const TTestCompileResult Result =
      TestCompileScript(FForms->dmScript(), *FScriptTest, FromQString(FMemoScript->toPlainText()));
  if (!Result.Ok) {
    // The position box leads to the error: "Go To" puts the caret on the character it names.
    if (Result.Position > 0) FPosition->setText(QString::number(Result.Position - 1));
    Prompter().ShowMessage(Result.Message);
    return;
  }
  Prompter().ShowMessage("No Errors were detected in this Script");
}

// --- The set-up's computer-player scripts ---

void TfrmMain::SpecifyAIScripts() {
  TfrmAIScripts* Window = FForms ? &FForms->AIScripts() : nullptr;
  if (!Window) return;
  Window->ShowNations(*FEngine);
  if (Window->exec() != mrOk) return;
  Window->StoreScripts(*FEngine);
  for (const auto& [Name, File] : AIScriptSettings(*FEngine)) FSettings->WriteString(Name, File);
}

// --- The navigator window ---

void TfrmMain::navigatorCustomPaint(TSpriteSurfaceNavigator& Sender, QPainter& Canvas) {
  const auto Marks = NavigatorMarks(*FEngine, Sender.width(), Sender.height(), FSurface->GetVirtualWidth(),
                                    FSurface->GetVirtualHeight());
  Canvas.save();
  for (const TNavigatorMark& Mark : Marks) {
    if (Mark.OwnerColorIndex >= 0) {
      const TPaletteEntry C = FPalette->ColorOf(Mark.OwnerColorIndex);
      Canvas.fillRect(Mark.X - 2, Mark.Y - 2, 4, 4, QColor(C.Red, C.Green, C.Blue));
    }
    if (Mark.Embattled) {
      Canvas.setPen(Qt::white);
      Canvas.setBrush(Qt::NoBrush);
      Canvas.drawRect(Mark.X - 3, Mark.Y - 3, 5, 5);
    }
  }
  Canvas.restore();
}
