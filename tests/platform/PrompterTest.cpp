#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/Prompter.h"
#include "support/ScriptedPrompter.h"

namespace {
// Runs Act on the modal dialog of class T as soon as it is up.
template <class T, class F>
void WhenShown(F Act) {
  auto* Poll = new QTimer;
  QObject::connect(Poll, &QTimer::timeout, [Poll, Act] {
    if (auto* Dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
      Poll->stop();
      Poll->deleteLater();
      Act(Dialog);
    }
  });
  Poll->start(5);
}
}  // namespace

TEST(Prompter, TurnsTheGameFiltersIntoQtNameFilters) {
  EXPECT_EQ(QtNameFilters("Brenmoor Files (*.brm)|*.brm"), QStringList{"Brenmoor Files (*.brm)"});
  EXPECT_EQ(QtNameFilters("Brenmoor AI Scripts (*.brmai)|*.brmai|Bitmaps|*.bmp;*.dib"),
            (QStringList{"Brenmoor AI Scripts (*.brmai)", "Bitmaps (*.bmp *.dib)"}));
  EXPECT_EQ(QtNameFilters("Pictures (*.bmp)|*.bmp;*.jpg"), QStringList{"Pictures (*.bmp *.jpg)"});
  EXPECT_EQ(QtNameFilters("All files"), QStringList{"All files (*)"});
  EXPECT_EQ(QtNameFilters(""), QStringList{});
}

TEST(Prompter, TheInstalledPrompterAnswersUntilItIsRemoved) {
  TPrompter* Before = &Prompter();
  {
    TScriptedPrompter Scripted;
    EXPECT_EQ(&Prompter(), &Scripted);
    Scripted.AnswerNo().AnswerText("Afrika Korps").ChooseFile("/tmp/a.brm").CancelFile().AnswerYes();
    EXPECT_FALSE(Prompter().Confirm("Are you sure you want to Surrender?"));
    EXPECT_EQ(Prompter().InputText("Rename", "Unit name:", "1st Army"), "Afrika Korps");
    EXPECT_EQ(Prompter().OpenFile({"Select Saved Game File", "Brenmoor Files (*.brm)|*.brm", "brm", "", ""}),
              "/tmp/a.brm");
    EXPECT_EQ(Prompter().SaveFile({"Select Save Game File", "", "", "", ""}), std::nullopt);
    Prompter().ShowMessage("       Game Saved       ");
    EXPECT_TRUE(Prompter().Confirm("Invade Poland?"));
    ASSERT_EQ(Scripted.Prompts().size(), 6u);
    EXPECT_EQ(Scripted.Prompts()[1].Kind, pkInputText);
    EXPECT_EQ(Scripted.Prompts()[1].Value, "1st Army");
    EXPECT_EQ(Scripted.Prompts()[2].Options.DefaultExt, "brm");
    EXPECT_EQ(Scripted.Messages(), std::vector<std::string>{"       Game Saved       "});
  }
  EXPECT_EQ(&Prompter(), Before);
}

TEST(Prompter, AnUnscriptedQuestionFailsTheTestInsteadOfWaiting) {
  EXPECT_NONFATAL_FAILURE(
      {
        TScriptedPrompter Scripted;
        EXPECT_FALSE(Scripted.Confirm("Do you want to Save this Game?"));
      },
      "unscripted confirmation: \"Do you want to Save this Game?\"");
  EXPECT_NONFATAL_FAILURE(
      {
        TScriptedPrompter Scripted;
        Scripted.AnswerYes();
        EXPECT_EQ(Scripted.OpenFile({"Open AI Script File", "", "", "", ""}), std::nullopt);
      },
      "unscripted open dialog");
  EXPECT_NONFATAL_FAILURE({ TScriptedPrompter().AnswerYes(); }, "1 scripted answer(s) were never asked for");
}

TEST(Prompter, QtDialogsShowTheGameText) {
  TQtPrompter Dialogs;
  QString Shown;
  WhenShown<QMessageBox>([&](QMessageBox* Box) {
    Shown = Box->text();
    Box->button(QMessageBox::No)->click();
  });
  EXPECT_FALSE(Dialogs.Confirm("Declare War on Fran\xe7"
                               "e?"));
  EXPECT_EQ(Shown, QString::fromLatin1("Declare War on Fran\xe7" "e?"));

  WhenShown<QMessageBox>([&](QMessageBox* Box) {
    Shown = Box->text();
    Box->button(QMessageBox::Ok)->click();
  });
  Dialogs.ShowMessage("       Game Saved       ");
  EXPECT_EQ(Shown, "       Game Saved       ");

  WhenShown<QInputDialog>([](QInputDialog* Input) {
    Input->setTextValue("Desert Rats");
    Input->accept();
  });
  EXPECT_EQ(Dialogs.InputText("Rename Unit", "Name:", "8th Army"), "Desert Rats");

  QTemporaryDir Dir;
  QString Title;
  WhenShown<QFileDialog>([&](QFileDialog* Dialog) {
    Title = Dialog->windowTitle();
    Dialog->findChild<QLineEdit*>("fileNameEdit")->setText("campaign");
    QMetaObject::invokeMethod(Dialog, "accept");
  });
  const auto Saved = Dialogs.SaveFile(
      {"Select Save Game File", "Brenmoor Files (*.brm)|*.brm", "brm", Dir.path().toStdString(), ""});
  EXPECT_EQ(Title, "Select Save Game File");
  EXPECT_EQ(Saved, Dir.filePath("campaign.brm").toStdString());
}
