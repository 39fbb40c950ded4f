// The script editor screen, the computer-player scripts window, the script output window and
// the navigator's marks, driven on the real windows with a scripted prompter; each is grabbed
// to a picture for a person to look at.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <cstring>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "controls/ButtonEdit.h"
#include "controls/ColMemo.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "controls/ModalSteps.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "foundation/CurrentFolder.h"
#include "screens/ScriptEditorRules.h"
#include "platform/WidgetUtils.h"
#include "players/ScriptModule.h"
#include "sprites/ColorPalette.h"
#include "sprites/ZoneSpriteSurface.h"
#include "support/GuiTest.h"
#include "ui/AIScriptsForm.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/NavigatorView.h"
#include "ui/ScriptOutputForm.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

QByteArray FileBytes(const QString& Name) {
  QFile File(Name);
  return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray("<missing>");
}
void WriteFile(const QString& Name, const QByteArray& Bytes) {
  QFile File(Name);
  ASSERT_TRUE(File.open(QIODevice::WriteOnly));
  File.write(Bytes);
}

struct ScriptEditorTest : TGuiTest {
  std::unique_ptr<TBrenmoorForms> Forms;
  QTemporaryDir Folder;

  TfrmMain& Start() {
    Settings.Store().WriteString("ShowTip", "1");
    Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
    TfrmMain& Main = Forms->Main();
    Main.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main));
    return Main;
  }
  TfrmMain& StartEditor() {
    TfrmMain& Main = Start();
    ClickControl(Main.findChild<TColorButton*>("btnEditor"));
    EXPECT_EQ(Main.FrontScreen(), Main.pnlEditor());
    return Main;
  }
  static TColorButton* Button(TfrmMain& Main, const char* Name) {
    auto* B = Main.findChild<TColorButton*>(Name);
    EXPECT_NE(B, nullptr) << Name;
    return B;
  }
  static bool Shows(TfrmMain& Main, const char* Name) { return Button(Main, Name)->isVisibleTo(Main.pnlEditor()); }
  static QString Caption(TfrmMain& Main) { return Main.findChild<TGraphicPanel*>("gpnlScriptDesc")->Caption(); }
  static QLineEdit* PositionBox(TfrmMain& Main) { return Main.findChild<QLineEdit*>("edtPosition"); }
  // The last file dialog asked for (messages come after it).
  const TPrompt& LastFileDialog() const {
    for (auto It = Prompter.Prompts().rbegin(); It != Prompter.Prompts().rend(); ++It)
      if (It->Kind == pkOpenFile || It->Kind == pkSaveFile) return *It;
    static const TPrompt None;
    ADD_FAILURE() << "no file dialog";
    return None;
  }
  std::string Path(const char* Name) const { return Folder.filePath(Name).toStdString(); }
  // The colour of the run that holds the character at Position.
  static TColor ColorAt(TColorMemo& Memo, int Position) {
    for (const TKeyDescr& Run : Memo.Runs())
      if (Run.Start <= Position && Position <= Run.End) return Run.Color;
    return clWindow;
  }
};

TEST_F(ScriptEditorTest, SaveShowsOnlyAfterANewScriptIsNamedAndTheDialogsShareTheName) {
  TfrmMain& Main = StartEditor();
  TColorMemo& Memo = *Main.memoScript();
  EXPECT_FALSE(Shows(Main, "btnSaveScript"));
  Memo.setFocus();
  QTest::keyClicks(&Memo, "x := 1;");
  EXPECT_FALSE(Shows(Main, "btnSaveScript"));
  EXPECT_TRUE(Shows(Main, "btnTestScript"));

  const std::string New = Path("Fresh.brmai");
  Prompter.ChooseFile(New);
  ClickControl(Button(Main, "btnNewScript"));
  ASSERT_EQ(Prompter.Prompts().size(), 1u);
  EXPECT_EQ(Prompter.Prompts()[0].Kind, pkSaveFile);
  EXPECT_EQ(Prompter.Prompts()[0].Text, "Save AI Script File");
  EXPECT_EQ(Prompter.Prompts()[0].Options.Filter, "Brenmoor AI Scripts (*.brmai)|*.brmai");
  EXPECT_EQ(Prompter.Prompts()[0].Options.DefaultExt, "brmai");
  EXPECT_EQ(Memo.toPlainText(), "");
  EXPECT_EQ(Caption(Main), "Scenario Script: Fresh.brmai");
  EXPECT_FALSE(Shows(Main, "btnSaveScript"));
  EXPECT_TRUE(Shows(Main, "btnSaveScriptAs"));
  // Naming a new script writes nothing yet.
  EXPECT_FALSE(QFile::exists(QString::fromStdString(New)));

  QTest::keyClicks(&Memo, "y := 2;");
  EXPECT_TRUE(Shows(Main, "btnSaveScript"));
  ClickControl(Button(Main, "btnSaveScript"));
  EXPECT_EQ(Prompter.Messages().back(), "Script " + New + " saved.");
  EXPECT_EQ(FileBytes(QString::fromStdString(New)), "y := 2;\n");

  // The open dialog proposes the name the new script was given.
  Prompter.CancelFile();
  ClickControl(Button(Main, "btnLoadBrainScript"));
  EXPECT_EQ(Prompter.Prompts().back().Text, "Open AI Script File");
  EXPECT_EQ(Prompter.Prompts().back().Options.FileName, "Fresh.brmai");
  EXPECT_EQ(Prompter.Prompts().back().Options.InitialDir, QCoreApplication::applicationDirPath().toStdString());
  // Save as names another file: the save dialog proposed the current one, the caption follows.
  const std::string Other = Path("Other.brmai");
  Prompter.ChooseFile(Other);
  ClickControl(Button(Main, "btnSaveScriptAs"));
  EXPECT_EQ(LastFileDialog().Kind, pkSaveFile);
  EXPECT_EQ(LastFileDialog().Options.FileName, New);
  EXPECT_EQ(LastFileDialog().Options.InitialDir, QCoreApplication::applicationDirPath().toStdString());
  EXPECT_EQ(Caption(Main), "Other.brmai");
  EXPECT_EQ(FileBytes(QString::fromStdString(Other)), "y := 2;\n");
  Prompter.CancelFile();
  ClickControl(Button(Main, "btnLoadBrainScript"));
  EXPECT_EQ(Prompter.Prompts().back().Options.FileName, Other);
}

TEST_F(ScriptEditorTest, ScriptFilesThatCannotBeReadOrWrittenChangeNothing) {
  TfrmMain& Main = StartEditor();
  TColorMemo& Memo = *Main.memoScript();
  const std::string Good = Path("Good.brmai");
  WriteFile(QString::fromStdString(Good), "CONST LAND = 0;\nx := LAND;\n");
  Prompter.ChooseFile(Good);
  ClickControl(Button(Main, "btnLoadBrainScript"));
  ASSERT_EQ(Memo.toPlainText(), "CONST LAND = 0;\nx := LAND;\n");
  ASSERT_EQ(Caption(Main), "Good.brmai");
  EXPECT_TRUE(Shows(Main, "btnTestScript"));

  // A file written elsewhere with CR LF (or CR) line breaks reads as the same lines.
  const std::string Crlf = Path("Crlf.brmai");
  WriteFile(QString::fromStdString(Crlf), "CONST LAND = 0;\r\nx := LAND;\ry := 1;\r\n");
  Prompter.ChooseFile(Crlf);
  ClickControl(Button(Main, "btnLoadBrainScript"));
  EXPECT_EQ(Memo.toPlainText(), "CONST LAND = 0;\nx := LAND;\ny := 1;\n");
  Prompter.ChooseFile(Good);
  ClickControl(Button(Main, "btnLoadBrainScript"));

  // A missing file and a folder: the error is said, the memo and the names stay.
  ASSERT_TRUE(QDir(Folder.path()).mkdir("Folder.brmai"));
  for (const std::string& Bad : {Path("Missing.brmai"), Path("Folder.brmai")}) {
    Prompter.ChooseFile(Bad);
    ClickControl(Button(Main, "btnLoadBrainScript"));
    EXPECT_EQ(Prompter.Messages().back().rfind("Cannot read the script file " + Bad + ": ", 0), 0u)
        << Prompter.Messages().back();
    EXPECT_EQ(Memo.toPlainText(), "CONST LAND = 0;\nx := LAND;\n");
    EXPECT_EQ(Caption(Main), "Good.brmai");
  }

  // A save that cannot be written leaves the old script whole and the caption as it was.
  Memo.setPlainText("changed");
  for (const std::string& Bad : {Path("Folder.brmai"), Path("Good.brmai/inside.brmai")}) {
    Prompter.ChooseFile(Bad);
    ClickControl(Button(Main, "btnSaveScriptAs"));
    EXPECT_EQ(Prompter.Messages().back().rfind("Cannot write the script file " + Bad + ": ", 0), 0u)
        << Prompter.Messages().back();
    EXPECT_EQ(Caption(Main), "Good.brmai");
  }
  EXPECT_EQ(FileBytes(QString::fromStdString(Good)), "CONST LAND = 0;\nx := LAND;\n");
  // The save goes on to the loaded file.
  ClickControl(Button(Main, "btnSaveScript"));
  EXPECT_EQ(Prompter.Messages().back(), "Script " + Good + " saved.");
  EXPECT_EQ(FileBytes(QString::fromStdString(Good)), "changed\n");
  // No temporary file is left beside it.
  EXPECT_EQ(QDir(Folder.path()).entryList(QDir::Files), (QStringList{"Crlf.brmai", "Good.brmai"}));
}

TEST_F(ScriptEditorTest, ACompileErrorLeadsToItsPlaceAndAGoodScriptPasses) {
  TfrmMain& Main = StartEditor();
  TColorMemo& Memo = *Main.memoScript();
  Memo.setPlainText("x := GetZoneCount;\ny := NoSuchThing(x);\n");
  ClickControl(Button(Main, "btnTestScript"));
  const std::string Error = Prompter.Messages().back();
  EXPECT_EQ(Error.rfind("Script Error: ", 0), 0u) << Error;
  EXPECT_NE(Error.find("NOSUCHTHING"), std::string::npos) << Error;
  EXPECT_NE(Error.find("Position: 25"), std::string::npos) << Error;
  EXPECT_EQ(Memo.toPlainText(), "x := GetZoneCount;\ny := NoSuchThing(x);\n");
  // "Go To" puts the caret on the error's first character.
  ClickControl(Button(Main, "edtGotoPos"));
  EXPECT_EQ(Memo.textCursor().selectionStart(), 24);
  EXPECT_EQ(Memo.textCursor().selectedText(), "N");
  EXPECT_TRUE(Memo.hasFocus());
  // A click in the memo shows the caret's position; a position typed by hand leads there too,
  // and one that is no number to the start.
  QTextCursor Third(Memo.document());
  Third.setPosition(2);
  QTest::mouseClick(Memo.viewport(), Qt::LeftButton, {}, Memo.cursorRect(Third).center());
  EXPECT_NE(Memo.textCursor().position(), 24);
  EXPECT_EQ(PositionBox(Main)->text(), QString::number(Memo.textCursor().position()));
  for (const auto& [Typed, Start] : {std::pair{"5", 5}, std::pair{"abc", 0}, std::pair{"9999", 40}}) {
    PositionBox(Main)->setText(Typed);
    ClickControl(Button(Main, "edtGotoPos"));
    EXPECT_EQ(Memo.textCursor().selectionStart(), Start) << Typed;
  }

  Memo.setPlainText("CONST LAND = 0;\n{ the zones }\nif GetZoneCount > LAND then Print('many');\n");
  ClickControl(Button(Main, "btnTestScript"));
  EXPECT_EQ(Prompter.Messages().back(), "No Errors were detected in this Script");
}

TEST_F(ScriptEditorTest, TheMemoColoursTheDefaultScriptByItsFiveRules) {
  TfrmMain& Main = StartEditor();
  Main.resize(800, 600);
  TColorMemo& Memo = *Main.memoScript();
  const QByteArray Script = FileBytes(QString::fromStdString((ProgramFolder / "Default.brmai").string()));
  const QString Text = QString::fromLatin1(Script);
  Memo.setPlainText(Text);
  Memo.DrawColoredLines();
  // The first screen of the default script: each rule's kind of text in its colour.
  const int Comment = Text.indexOf('{');
  const int Const = Text.indexOf("CONST LAND");
  ASSERT_GE(Comment, 0);
  ASSERT_GE(Const, 0);
  QTextCursor At(Memo.document());
  At.setPosition(Const);
  Memo.setTextCursor(At);
  Memo.centerCursor();
  Memo.DrawColoredLines();
  EXPECT_EQ(ColorAt(Memo, Const), clNavy);  // CONST
  EXPECT_EQ(ColorAt(Memo, Const + 6), clBlack);  // LAND
  // A small script with one of each.
  Memo.setPlainText("CONST SEA = 2;\n{ a note on land and if }\nif GetZoneCount > SEA then Print('zones of Print');\n");
  Memo.DrawColoredLines();
  const QString Small = Memo.toPlainText();
  struct TCase {
    const char* Context;  // where in the script, from the word on
    const char* Word;     // the part that takes Color
    TColor Color;
  };
  for (const TCase& C : {TCase{"CONST SEA", "CONST", clNavy}, TCase{"SEA =", "SEA", clBlack},
                         TCase{"{ a", "{ a note on land and if }", clGreen}, TCase{"if G", "if", clNavy},
                         TCase{"GetZoneCount", "GetZoneCount", clBlue}, TCase{"then", "then", clNavy},
                         TCase{"Print(", "Print", clBlue}, TCase{"'zones of Print'", "'zones of Print'", clPurple}}) {
    const int Start = Small.indexOf(C.Context);
    ASSERT_GE(Small.indexOf(C.Context), 0) << C.Context;
    for (int I = 0; I < int(std::strlen(C.Word)); ++I)
      EXPECT_EQ(ColorAt(Memo, Start + I), C.Color) << C.Word << " " << I;
  }
  // Every name the script module registers is a blue word.
  TdmScript& Module = Forms->dmScript();
  Memo.setPlainText(QString::fromStdString(Module.GameFunction(Module.GameFunctionCount() - 1).Name()));
  Memo.DrawColoredLines();
  EXPECT_EQ(ColorAt(Memo, 0), clBlue) << Module.GameFunction(Module.GameFunctionCount() - 1).Name();

  // The default script loaded as a player loads it, for the picture.
  Prompter.ChooseFile((ProgramFolder / "Default.brmai").string());
  ClickControl(Button(Main, "btnLoadBrainScript"));
  EXPECT_EQ(Memo.toPlainText(), Text);
  EXPECT_EQ(Caption(Main), "Default.brmai");
  // The picture shows the script's first statements: calls, strings and comments.
  At = QTextCursor(Memo.document());
  At.setPosition(Text.indexOf("s := GetBrainData"));
  Memo.setTextCursor(At);
  Memo.centerCursor();
  QApplication::processEvents();
  GrabToPng(*Main.pnlEditor());
}

TEST_F(ScriptEditorTest, AScriptForPowerTwoOfTheStandardScenarioIsKeptByNameInTheSettings) {
  TfrmMain& Main = Start();
  {
    const TCurrentFolder In(ProgramFolder);
    Main.brm().SetScenarioFile("Standard.brmscen");
  }
  auto* Window = dynamic_cast<TfrmAIScripts*>(Forms->Form("frmAIScripts"));
  ASSERT_NE(Window, nullptr);
  const std::string Chosen = Path("Aggressive.brmai");
  Prompter.ChooseFile(Chosen);
  {
    auto Armed = WhenModal([&](QDialog& W) {
      auto* Edit = W.findChild<TButtonEdit*>("edtScript2");
      ASSERT_NE(Edit, nullptr);
      for (int I = 0; I < AIScriptRowCount; ++I)
        EXPECT_EQ(W.findChild<TButtonEdit*>(QString("edtScript%1").arg(I))->text(), "Default.brmai") << I;
      Edit->Button()->Click();
      // A script chosen in another folder is kept by its name only.
      EXPECT_EQ(Edit->text(), "Aggressive.brmai");
      GrabToPng(W);
      ClickControl(W.findChild<TColorButton*>("btnProceed"));
    });
    Main.SpecifyAIScripts();
  }
  EXPECT_EQ(Prompter.Prompts().back().Text, "Select AI Script File");
  EXPECT_EQ(Prompter.Prompts().back().Options.Filter, "Brenmoor AI Scripts (*.brmai)|*.brmai");
  EXPECT_EQ(Main.brm().GetNation(2)->GetAIScript(), "Aggressive.brmai");
  EXPECT_EQ(Main.brm().GetNation(1)->GetAIScript(), "Default.brmai");
  EXPECT_EQ(Settings.Store().ReadString("Standard2"), "Aggressive.brmai");
  EXPECT_EQ(Settings.Store().ReadString("Standard0"), "Default.brmai");

  // The next set-up of the scenario reads the settings into its nations, and the window shows
  // the file; cancelling it changes nothing.
  Forms.reset();
  TfrmMain& Next = Start();
  {
    const TCurrentFolder In(ProgramFolder);
    Next.brm().SetScenarioFile("Standard.brmscen");
  }
  for (int I = 0; I < Next.brm().GetNationCount(); ++I)
    if (const std::string File = Settings.Store().ReadString(AIScriptSettingName("Standard.brmscen", I)); !File.empty())
      Next.brm().GetNation(I)->SetAIScript(File);
  {
    auto Armed = WhenModal([&](QDialog& W) {
      EXPECT_EQ(W.findChild<TButtonEdit*>("edtScript2")->text(), "Aggressive.brmai");
      W.findChild<TButtonEdit*>("edtScript2")->setText("Other.brmai");
      ClickControl(W.findChild<TColorButton*>("btnCancel"));
    });
    Next.SpecifyAIScripts();
  }
  EXPECT_EQ(Next.brm().GetNation(2)->GetAIScript(), "Aggressive.brmai");
  EXPECT_EQ(Settings.Store().ReadString("Standard2"), "Aggressive.brmai");
}

TEST_F(ScriptEditorTest, AFourPowerScenarioShowsFourRows) {
  TfrmMain& Main = Start();
  const QString Scenario = Folder.filePath("Four.brmscen");
  WriteFile(Scenario, "NationCount=5\nNation=Ard,,1,A,0,\nNation=Bel,,1,B,0,\nNation=Cor,,1,C,0,\n"
                      "Nation=Dun,,1,D,0,\nNation=Eth,,0,E,0,\nImpulseRate=1\n");
  Main.brm().SetScenarioFile(Scenario.toStdString());
  ASSERT_EQ(Main.brm().GetMajorCount(), 4);
  {
    auto Armed = WhenModal([&](QDialog& W) {
      for (int I = 0; I < AIScriptRowCount; ++I) {
        auto* Edit = W.findChild<TButtonEdit*>(QString("edtScript%1").arg(I));
        auto* Label = W.findChild<QLabel*>(QString("lblNation%1").arg(I));
        EXPECT_EQ(Edit->isVisible(), I < 4) << I;
        EXPECT_EQ(Label->isVisible(), I < 4) << I;
        EXPECT_EQ(ComponentTag(Edit), I);
      }
      EXPECT_EQ(W.findChild<QLabel*>("lblNation3")->text(), "Dun");
      GrabToPng(W);
      ClickControl(W.findChild<TColorButton*>("btnProceed"));
    });
    Main.SpecifyAIScripts();
  }
  EXPECT_EQ(Settings.Store().ReadString("Four3"), "Default.brmai");
  EXPECT_EQ(Settings.Store().ReadString("Four4"), "");
}

TEST_F(ScriptEditorTest, PrintFillsTheScriptOutputWindow) {
  Start();
  auto* Debug = dynamic_cast<TfrmDebug*>(Forms->Form("frmDebug"));
  ASSERT_NE(Debug, nullptr);
  EXPECT_EQ(Debug->windowTitle(), "Debug");
  TScriptChatSink* Sink = Forms->dmScript().GetChatSink();
  ASSERT_NE(Sink, nullptr);
  EXPECT_FALSE(Debug->isVisible());
  Sink->Print("0:12:attacking Warsaw");
  Sink->Print("0:19:holding the line at the Vistula with every unit that is left in the east");
  EXPECT_TRUE(Debug->isVisible());
  EXPECT_EQ(Debug->memoDebug()->toPlainText(),
            "0:12:attacking Warsaw\n0:19:holding the line at the Vistula with every unit that is left in the east");
  EXPECT_TRUE(Debug->memoDebug()->isReadOnly());
  // Chat goes on elsewhere, not into this window.
  Sink->ShowChat(0, "Germany> hello");
  EXPECT_EQ(Debug->memoDebug()->document()->blockCount(), 2);
  GrabToPng(*Debug);
  ClickControl(Debug->findChild<TColorButton*>("btnClear"));
  EXPECT_EQ(Debug->memoDebug()->toPlainText(), "");
  ClickControl(Debug->findChild<TColorButton*>("btnClose"));
  EXPECT_FALSE(Debug->isVisible());
}

TEST_F(ScriptEditorTest, TheNavigatorDrawsOwnersSquaresAndEmbattledOutlines) {
  TfrmMain& Main = Start();
  {
    const TCurrentFolder In(ProgramFolder);
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
  }
  TGameWindow* Window = Forms->Form("frmNavigator");
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(Window->windowTitle(), "Global Navigator");
  Window->resize(400, 260);
  Window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Window));
  TSpriteSurfaceNavigator& Nav = *Main.navigator();
  EXPECT_EQ(Nav.BoxColor(), QColor(0, 255, 255));
  TBrenmoorZone* Berlin = Main.brm().FindZoneByName("Berlin");
  ASSERT_NE(Berlin, nullptr);
  Berlin->SetEmbattled(true);
  const double SX = double(Nav.width()) / Main.surface().GetVirtualWidth();
  const double SY = double(Nav.height()) / Main.surface().GetVirtualHeight();
  const int X = int(Berlin->GetCenterX() * SX);
  const int Y = int(Berlin->GetCenterY() * SY);
  const QImage Shot = Nav.grab().toImage();
  const TPaletteEntry C = Main.palMain().ColorOf(Main.brm().FindNation("Germany")->GetColorIndex());
  EXPECT_EQ(Shot.pixelColor(X, Y), QColor(C.Red, C.Green, C.Blue));
  EXPECT_EQ(Shot.pixelColor(X - 2, Y - 2), QColor(C.Red, C.Green, C.Blue));
  EXPECT_EQ(Shot.pixelColor(X - 3, Y - 3), QColor(Qt::white));
  EXPECT_EQ(Shot.pixelColor(X + 2, Y + 2), QColor(Qt::white));
  GrabToPng(*Window);
  // A drag on the small map centres the big one there.
  Main.surface().CenterOn(0, 0);
  QTest::mousePress(&Nav, Qt::LeftButton, {}, QPoint(X, Y));
  QTest::mouseMove(&Nav, QPoint(X + 1, Y));
  QTest::mouseRelease(&Nav, Qt::LeftButton, {}, QPoint(X + 1, Y));
  EXPECT_NEAR(Main.surface().GetOffsetX() + Main.surface().GetWidth() / 2, (X + 1) / SX, 1 / SX + 1);
  EXPECT_NEAR(Main.surface().GetOffsetY() + Main.surface().GetHeight() / 2, Y / SY, 1 / SY + 1);
  // Close closes the window and releases the toolbar's switch.
  auto* Switch = Main.findChild<TColorButton*>("btnNavigator");
  Switch->SetDown(true);
  ClickControl(Window->findChild<TColorButton*>("btnClose"));
  EXPECT_FALSE(Window->isVisible());
  EXPECT_FALSE(Switch->Down());
}

}  // namespace
