#pragma once
// The fixture of the game windows' tests: the Standard scenario in a rules engine (no map
// picture), the scripted prompter and a settings file of the test's own, and the flags of the
// scenario as the main window shows them.
#include <QDialog>
#include <QListWidget>
#include <QTest>
#include <functional>
#include <memory>

#include "controls/CellImage.h"
#include "controls/ModalSteps.h"
#include "gamemap/StandardGameFixture.h"
#include "support/GuiTest.h"

class StandardWindowsTest : public TGuiTest {
protected:
  StandardWindowsTest() {
    Flags.SetPicture(QPixmap(QString::fromStdString((TStandardGame::ProgramFolder() / "StandardFlags.bmp").string())));
    Flags.SetNumCellsX(Game.Engine.GetNationCount());
    Flags.SetNumCellsY(1);
  }

  // Runs Window modally with Steps done as soon as it is up; the modal result.
  static int RunModal(QDialog& Window, std::function<void(QDialog&)> Steps) {
    auto Armed = WhenModal(std::move(Steps));
    return Window.exec();
  }
  // A click (or a double click) on row Row of a list, as a person does it.
  static void ClickRow(QListWidget& List, int Row) {
    QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, List.visualItemRect(List.item(Row)).center());
  }
  static void DoubleClickRow(QListWidget& List, int Row) {
    const QPoint At = List.visualItemRect(List.item(Row)).center();
    QTest::mouseClick(List.viewport(), Qt::LeftButton, {}, At);
    QTest::mouseDClick(List.viewport(), Qt::LeftButton, {}, At);
  }

  TStandardGame Game;
  TCellImage Flags;
};
