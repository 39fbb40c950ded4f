#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <set>

#include "ModalSteps.h"
#include "controls/TipDialog.h"
#include "support/GuiTest.h"

namespace {

struct TipDialogTest : TGuiTest {
  TOSKTipDlg Dialog;
  TipDialogTest() { Dialog.SetTips({"First tip", "Second tip", "Third tip"}); }

  // Runs the dialog with Steps on its window; returns what Execute returned.
  bool Run(const std::function<void(TTipsForm& Form)>& Steps) {
    auto Armed = WhenModal([&](QDialog& Window) {
      auto* Form = qobject_cast<TTipsForm*>(&Window);
      ASSERT_NE(Form, nullptr);
      EXPECT_EQ(Form, Dialog.Form());
      Steps(*Form);
    });
    return Dialog.Execute();
  }
  static std::string Shown(const TTipsForm& Form) { return Form.TipLbl()->text().toStdString(); }
};

}  // namespace

TEST_F(TipDialogTest, StartsWithTheTipAfterTheLastOneShown) {
  struct Case {
    int TipNumber;
    std::string Shown;
    int Stored;
  };
  const std::vector<Case> Cases = {
      {1, "Second tip", 2},
      {2, "Third tip", 3},
      {3, "First tip", 1},  // the last tip wraps to the first
      {0, "First tip", 1},  // a first run: nothing stored yet
      // Out of range (the list got shorter, a damaged setting): the first tip.
      {4, "First tip", 1},
      {25, "First tip", 1},
      {-1, "First tip", 1},
      {-7, "First tip", 1},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.TipNumber);
    Dialog.SetTipNumber(C.TipNumber);
    std::string Text;
    Run([&](TTipsForm& Form) {
      Text = Shown(Form);
      Form.OKBtn()->click();
    });
    EXPECT_EQ(Text, C.Shown);
    EXPECT_EQ(Dialog.TipNumber(), C.Stored);
  }
}

TEST_F(TipDialogTest, NextAndPreviousWrapAroundTheList) {
  Dialog.SetTipNumber(1);
  std::vector<std::string> Seen;
  Run([&](TTipsForm& Form) {
    EXPECT_TRUE(Form.PrevBtn()->isVisibleTo(&Form));
    for (QPushButton* Button : {Form.NextBtn(), Form.NextBtn(), Form.PrevBtn(), Form.PrevBtn(), Form.PrevBtn()}) {
      QTest::mouseClick(Button, Qt::LeftButton);
      Seen.push_back(Shown(Form));
    }
    Form.OKBtn()->click();
  });
  EXPECT_EQ(Seen, (std::vector<std::string>{"Third tip", "First tip", "Third tip", "Second tip", "First tip"}));
  EXPECT_EQ(Dialog.TipNumber(), 1);
}

TEST_F(TipDialogTest, TheCheckBoxIsTheStartupSwitch) {
  for (const bool Start : {true, false}) {
    Dialog.SetShowAtStartup(Start);
    bool Ticked = !Start;
    const bool Result = Run([&](TTipsForm& Form) {
      Ticked = Form.ShowChk()->isChecked();
      Form.ShowChk()->click();
      Form.OKBtn()->click();
    });
    EXPECT_EQ(Ticked, Start);
    EXPECT_EQ(Result, !Start);
    EXPECT_EQ(Dialog.ShowAtStartup(), !Start);
  }
  // Closed without OK, the box counts all the same.
  Dialog.SetShowAtStartup(true);
  EXPECT_FALSE(Run([](TTipsForm& Form) { Form.ShowChk()->setChecked(false); }));
}

TEST_F(TipDialogTest, ASubstituteBreaksTheTipIntoLines) {
  Dialog.SetTips({"Attack||by land||and by sea"});
  Dialog.SetCRLFSubstitute("||");
  std::string Text, Label;
  Run([&](TTipsForm& Form) {
    Text = Form.TipText();
    Label = Shown(Form);
  });
  EXPECT_EQ(Text, "Attack\r\nby land\r\nand by sea");
  EXPECT_EQ(Label, "Attack\nby land\nand by sea");

  Dialog.SetCRLFSubstitute("");
  Run([&](TTipsForm& Form) { Text = Form.TipText(); });
  EXPECT_EQ(Text, "Attack||by land||and by sea");
}

TEST_F(TipDialogTest, NoTipsShowsAnEmptyTipAndNoButtons) {
  Dialog.SetTips({});
  Dialog.SetTipNumber(5);
  const bool Result = Run([&](TTipsForm& Form) {
    EXPECT_EQ(Shown(Form), "");
    EXPECT_FALSE(Form.NextBtn()->isEnabled());
    EXPECT_FALSE(Form.PrevBtn()->isEnabled());
    Form.ShowChk()->setChecked(false);
    Form.OKBtn()->click();
  });
  EXPECT_FALSE(Result);
  EXPECT_EQ(Dialog.TipNumber(), 1);
}

TEST_F(TipDialogTest, RandomOrderNeverShowsTheSameTipTwiceInARow) {
  Dialog.SetRandomTips(true);
  std::set<std::string> Seen;
  Run([&](TTipsForm& Form) {
    EXPECT_FALSE(Form.PrevBtn()->isVisibleTo(&Form));
    std::string Last = Shown(Form);
    Seen.insert(Last);
    for (int I = 0; I < 60; ++I) {
      Form.NextBtn()->click();
      const std::string Now = Shown(Form);
      EXPECT_NE(Now, Last);
      Seen.insert(Now);
      Last = Now;
    }
  });
  EXPECT_EQ(Seen, (std::set<std::string>{"First tip", "Second tip", "Third tip"}));
  EXPECT_GE(Dialog.TipNumber(), 1);
  EXPECT_LE(Dialog.TipNumber(), 3);

  // A single tip shows again and again.
  Dialog.SetTips({"Only tip"});
  Run([&](TTipsForm& Form) {
    Form.NextBtn()->click();
    EXPECT_EQ(Shown(Form), "Only tip");
  });
}

TEST_F(TipDialogTest, CaptionAndTitleHaveDefaults) {
  std::string Caption, Title;
  auto Read = [&](TTipsForm& Form) {
    Caption = Form.windowTitle().toStdString();
    Title = Form.TipTitleLbl()->text().toStdString();
  };
  Run(Read);
  EXPECT_EQ(Caption, "Tip of the day");
  EXPECT_EQ(Title, "Did you know...");
  Dialog.SetDlgCaption("Field Manual");
  Dialog.SetTipTitle("Remember:");
  Run(Read);
  EXPECT_EQ(Caption, "Field Manual");
  EXPECT_EQ(Title, "Remember:");
}

TEST_F(TipDialogTest, TheMainWindowsTipsAreYellowOnBlackWithTheBulb) {
  SetUpBrenmoorTips(Dialog);
  ASSERT_EQ(Dialog.Tips().size(), 19u);
  EXPECT_EQ(Dialog.Tips().front(), "Brenmoor looks best in high-color mode and above.");
  EXPECT_EQ(Dialog.Tips()[11],
            "Ait Units automatically rebase to the closest base (if available) if the Fleet they were based on is "
            "destroyed.");
  EXPECT_EQ(Dialog.Tips().back(), "Fanatical Nations can launch a Kamakaze attack with Air Units performing an Air Strike.");
  EXPECT_EQ(Dialog.TipNumber(), 1);
  EXPECT_EQ(Dialog.TipFont().Font.pixelSize(), 11);
  EXPECT_EQ(Dialog.TipTitleFont().Font.pixelSize(), 13);

  QImage Picture, Whole;
  std::string Caption, Title, Tip;
  Run([&](TTipsForm& Form) {
    Caption = Form.windowTitle().toStdString();
    Title = Form.TipTitleLbl()->text().toStdString();
    Tip = Shown(Form);
    Picture = Form.Image1()->pixmap().toImage();
    EXPECT_EQ(Form.TipLbl()->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(Form.TipPanel()->palette().color(QPalette::Window), QColor(0, 0, 0));
    Whole = GrabToPng(Form);
  });
  EXPECT_EQ(Caption, "Brenmoor Tips");
  EXPECT_EQ(Title, "Here's a tip ...");
  EXPECT_EQ(Tip, "You can turn the sound and music off from 2 icons on the caption bar.");

  // The bulb stands on the panel's black: its own background is left out.
  ASSERT_EQ(Picture.size(), QSize(56, 60));
  EXPECT_EQ(Picture.pixelColor(0, 59), QColor(0, 0, 0));
  EXPECT_EQ(Picture.pixelColor(0, 0), QColor(0, 0, 0));
  const QColor Glass = Picture.pixelColor(28, 24);
  EXPECT_GT(Glass.red(), 200);
  EXPECT_GT(Glass.green(), 150);
  EXPECT_LT(Glass.blue(), Glass.red());
  EXPECT_EQ(Whole.size(), QSize(432, 222));
}

TEST_F(TipDialogTest, TheWindowIsCentredOnTheScreenOrTheMainWindow) {
  const QRect Screen = QGuiApplication::primaryScreen()->availableGeometry();
  QPoint Centre;
  auto Read = [&](TTipsForm& Form) { Centre = Form.pos() + QPoint(Form.width() / 2, Form.height() / 2); };
  Run(Read);
  EXPECT_LE((Centre - Screen.center()).manhattanLength(), 2);

  QMainWindow Main;
  Main.setGeometry(Screen.left() + 10, Screen.top() + 20, 700, 500);
  Main.show();
  Dialog.SetPosition(posFormCenter);
  Run(Read);
  EXPECT_LE((Centre - Main.frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(TipDialogTest, TheStoredSwitchAndNumberRoundTrip) {
  SetUpBrenmoorTips(Dialog);
  TRegistryManager& Store = Settings.Store();

  // A first run: nothing stored, so the tip shows from the first one. The player reads two
  // more and switches the tips off.
  std::vector<std::string> Seen;
  {
    auto Armed = WhenModal([&](QDialog& Window) {
      auto& Form = static_cast<TTipsForm&>(Window);
      Seen.push_back(Shown(Form));
      Form.NextBtn()->click();
      Form.NextBtn()->click();
      Seen.push_back(Shown(Form));
      Form.ShowChk()->setChecked(false);
      Form.OKBtn()->click();
    });
    EXPECT_TRUE(RunTipOfTheDay(Dialog, Store, true));
  }
  EXPECT_EQ(Seen.front(), BrenmoorTipTexts()[0]);
  EXPECT_EQ(Seen.back(), BrenmoorTipTexts()[2]);
  EXPECT_EQ(Store.ReadString("ShowTip"), "1");
  EXPECT_EQ(Store.ReadString("TipNum"), "3");

  // At the next start-up it stays away.
  {
    bool Shown = false;
    auto Armed = WhenModal([&](QDialog&) { Shown = true; });
    EXPECT_FALSE(RunTipOfTheDay(Dialog, Store, true));
    EXPECT_FALSE(Shown);
  }

  // The title screen's tip picture shows it anyway, at the tip after the stored one; the
  // player switches tips back on.
  Seen.clear();
  {
    auto Armed = WhenModal([&](QDialog& Window) {
      auto& Form = static_cast<TTipsForm&>(Window);
      Seen.push_back(Shown(Form));
      EXPECT_FALSE(Form.ShowChk()->isChecked());
      Form.ShowChk()->setChecked(true);
      Form.OKBtn()->click();
    });
    EXPECT_TRUE(RunTipOfTheDay(Dialog, Store, false));
  }
  EXPECT_EQ(Seen, std::vector<std::string>{BrenmoorTipTexts()[3]});
  EXPECT_EQ(Store.ReadString("ShowTip"), "0");
  EXPECT_EQ(Store.ReadString("TipNum"), "4");

  // A stored number beyond the list starts at the first tip and stores a number inside it.
  Store.WriteInteger("TipNum", 250);
  Seen.clear();
  {
    auto Armed = WhenModal([&](QDialog& Window) {
      Seen.push_back(Shown(static_cast<TTipsForm&>(Window)));
      static_cast<TTipsForm&>(Window).OKBtn()->click();
    });
    EXPECT_TRUE(RunTipOfTheDay(Dialog, Store, true));
  }
  EXPECT_EQ(Seen, std::vector<std::string>{BrenmoorTipTexts()[0]});
  EXPECT_EQ(Store.ReadString("TipNum"), "1");
}

TEST_F(TipDialogTest, TipsFromASectionOfAnIniFile) {
  QTemporaryDir Dir;
  const std::string File = Dir.filePath("tips.ini").toStdString();
  std::ofstream(File, std::ios::binary) << "; the game's tips\r\n"
                                           "[Other]\r\nTip1=Not this one\r\n"
                                           "[tips]\r\n"
                                           "Tip1 = Dig in, then attack.\r\n"
                                           "Tip2=\"  Quoted, with commas  \"\r\n"
                                           "no equals sign here\r\n"
                                           "; Tip3=a note\r\n"
                                           "TIP1=a second Tip1 is ignored\r\n"
                                           "Tip3=Caf\xe9 au lait\r\n"
                                           "[Tips]\r\nTip4=a second section is ignored\r\n";
  EXPECT_EQ(ReadIniSectionValues(File, "TIPS"),
            (std::vector<std::string>{"Dig in, then attack.", "  Quoted, with commas  ", "Caf\xe9 au lait"}));
  EXPECT_EQ(ReadIniSectionValues(File, "Missing"), std::vector<std::string>{});
  EXPECT_EQ(ReadIniSectionValues(Dir.filePath("absent.ini").toStdString(), "Tips"), std::vector<std::string>{});

  Dialog.SetTipsLocation(locINIFile);
  Dialog.SetINIFile(File);
  Dialog.SetINISection("Tips");
  Dialog.SetTipNumber(3);
  std::string First;
  Run([&](TTipsForm& Form) { First = Shown(Form); });
  EXPECT_EQ(First, "Dig in, then attack.");
  EXPECT_EQ(Dialog.Tips().size(), 3u);

  // A file that is not there leaves no tips, not the old ones.
  Dialog.SetINIFile(Dir.filePath("absent.ini").toStdString());
  Run([&](TTipsForm& Form) { EXPECT_FALSE(Form.NextBtn()->isEnabled()); });
  EXPECT_TRUE(Dialog.Tips().empty());
}

TEST_F(TipDialogTest, TipsFromAKeyOfTheSettingsStore) {
  QTemporaryDir Dir;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Dir.filePath("user"));
  QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, Dir.filePath("system"));
  {
    QSettings User(QSettings::IniFormat, QSettings::UserScope, "Quillfen", "Brenmoor");
    User.setValue("Software/Quillfen/Brenmoor/Tips/B", "Second by name");
    User.setValue("Software/Quillfen/Brenmoor/Tips/A", "First by name, with a comma");
    User.setValue("Software/Quillfen/Brenmoor/Tips/C", QVariant(QByteArray("\x01\x02", 2)));
    User.setValue("Software/Quillfen/Brenmoor/Other", "not under the key");
    QSettings Machine(QSettings::IniFormat, QSettings::SystemScope, "Quillfen", "Brenmoor");
    Machine.setValue("Software/Quillfen/Brenmoor/Tips/A", "The machine's tip");
  }
  EXPECT_EQ(ReadRegistryKeyValues(rrCurrentUser, "Software\\Quillfen\\Brenmoor\\Tips\\"),
            (std::vector<std::string>{"First by name, with a comma", "Second by name"}));
  EXPECT_EQ(ReadRegistryKeyValues(rrLocalMachine, "Software\\Quillfen\\Brenmoor\\Tips"),
            std::vector<std::string>{"The machine's tip"});
  EXPECT_EQ(ReadRegistryKeyValues(rrCurrentUser, "Software\\Nowhere"), std::vector<std::string>{});

  Dialog.SetTipsLocation(locRegistry);
  Dialog.SetRegistryKey("Software\\Quillfen\\Brenmoor\\Tips");
  Dialog.SetTipNumber(1);
  std::string Text;
  Run([&](TTipsForm& Form) { Text = Shown(Form); });
  EXPECT_EQ(Text, "Second by name");
  EXPECT_EQ(Dialog.Tips().size(), 2u);

  Dialog.SetRegistryKey("Software\\Nowhere");
  Run([](TTipsForm&) {});
  EXPECT_TRUE(Dialog.Tips().empty());
}

TEST(DrawTransparentBitmap, LeavesOutThePixelsOfTheTransparentColour) {
  QImage Bitmap(3, 2, QImage::Format_RGB32);
  const QColor Key(255, 0, 255), Ink(10, 20, 30), Canvas(200, 0, 0);
  Bitmap.fill(Key);
  Bitmap.setPixelColor(1, 0, Ink);
  Bitmap.setPixelColor(2, 1, Ink);
  QImage Target(5, 4, QImage::Format_RGB32);
  Target.fill(Canvas);
  {
    QPainter Painter(&Target);
    DrawTransparentBitmap(Painter, 1, 1, Key, Bitmap);
  }
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 5; ++X) {
      const bool Inked = (X == 2 && Y == 1) || (X == 3 && Y == 2);
      EXPECT_EQ(Target.pixelColor(X, Y), Inked ? Ink : Canvas) << X << "," << Y;
    }
}
