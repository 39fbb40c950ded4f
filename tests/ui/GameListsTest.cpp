// The game's unit list and forces list on the Standard scenario: the local player's units on
// top, the rows' objects, quantities set with and without zero rows kept, the selected type,
// and a picture of each with flags, unit icons, levels and separators for a person to look at.
#include "ui/UnitLists.h"

#include "engine/Nation.h"
#include "engine/Unit.h"
#include "gamemap/GameArt.h"
#include "ui/FormParts.h"
#include "ui/StandardWindowsFixture.h"

namespace {

using GameListsTest = StandardWindowsTest;

TEST_F(GameListsTest, TheLocalPlayersUnitsStayOnTopInTheOrderTheyCame) {
  Game.Nation("Germany")->SetLocalPlayer(true);
  TUnit* Italian1 = Game.MakeUnit("Italy", ukArmy, "Rome", {{utInfantry, 3}});
  TUnit* German1 = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 4}, {utArmor, 2}});
  TUnit* Italian2 = Game.MakeUnit("Italy", ukNavy, "Rome", {{utCruiser, 1}});
  TUnit* German2 = Game.MakeUnit("Germany", ukNavy, "Berlin", {{utSubmarine, 3}});
  German2->SetSubmerged(true);
  TBrenmoorUnitListBox List;
  List.resize(240, 100);
  List.SetCellFlags(&Flags);
  List.SetSubmergedGlyph(LoadGamePicture(GameArt::SubmergedGlyph));
  for (TUnit* U : {Italian1, German1, Italian2, German2}) List.AddUnit(U);
  ASSERT_EQ(List.count(), 4);
  const TUnit* Expected[] = {German1, German2, Italian1, Italian2};
  for (int I = 0; I < 4; ++I) {
    EXPECT_EQ(List.Units(I), Expected[I]) << I;
    EXPECT_EQ(List.item(I)->text().toStdString(), "~" + Expected[I]->GetName());
  }
  EXPECT_EQ(List.Units(4), nullptr);
  List.setCurrentRow(2);
  List.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&List));
  const QImage Picture = GrabToPng(List);
  // The flag of the first row stands at its left edge, one pixel down.
  const QImage Flag = Flags.GetCell(Game.Nation("Germany")->GetIndex(), 0)->toImage().convertToFormat(QImage::Format_RGB32);
  const QRect Row = List.visualItemRect(List.item(0)).translated(List.viewport()->pos());
  EXPECT_EQ(Picture.pixel(Row.left() + 10, Row.top() + 1 + 5), Flag.pixel(10, 5));
  // The submerged glyph stands at the right end of the submerged fleet's row only.
  const auto Marked = [&](int I) {
    const QRect R = List.visualItemRect(List.item(I)).translated(List.viewport()->pos());
    int N = 0;
    for (int Y = R.top(); Y <= R.bottom(); ++Y)
      for (int X = R.right() - 24; X <= R.right(); ++X) N += QColor(Picture.pixel(X, Y)).lightness() < 128;
    return N;
  };
  EXPECT_GT(Marked(1), 0);
  EXPECT_EQ(Marked(0), 0);
  EXPECT_EQ(Marked(3), 0);
}

TEST_F(GameListsTest, AUnitsForcesReadTheirCountsAndQuantitiesFollowKeepZeroForces) {
  TUnit* Unit = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utArtillery, 1}, {utInfantry, 2}, {utArmor, 3}});
  Unit->SetTypeFactor(utArmor, 2.0f);
  TBrenmoorForcesListBox List;
  List.SetBrenmoorEngine(&Game.Engine);
  const int Germany = Game.Nation("Germany")->GetIndex();
  List.AddForcesOf(Unit);
  ASSERT_EQ(List.count(), 3);
  EXPECT_EQ(List.item(2)->text().toStdString(), std::to_string(Germany) + ";4;3;2;");
  EXPECT_EQ(List.UnitOf(0), Unit);
  EXPECT_EQ(List.GetQty(utInfantry, Germany), 2);
  EXPECT_EQ(List.GetQty(utInfantry, Germany + 1), 0);
  EXPECT_EQ(List.SelectedType(), utInfantry);
  List.setCurrentRow(0);
  EXPECT_EQ(List.SelectedType(), utArtillery);

  List.SetQty(utInfantry, Germany, 0);
  EXPECT_EQ(List.count(), 2);
  List.SetQty(utBomber, Germany, 0);
  EXPECT_EQ(List.count(), 2);
  List.SetQty(utBomber, Germany, 2);
  EXPECT_EQ(List.item(2)->text().toStdString(), std::to_string(Germany) + ";7;2");
  EXPECT_EQ(List.UnitOf(2), nullptr);

  List.SetKeepZeroForces(true);
  List.SetQty(utBomber, Germany, 0);
  EXPECT_EQ(List.GetQty(utBomber, Germany), 0);
  EXPECT_EQ(List.count(), 3);
  List.SetQty(utFighter, Germany, 0);
  EXPECT_EQ(List.count(), 4);
}

TEST_F(GameListsTest, ForcesRowsShowIconsInTheOwnersColourLevelsAndALineUnderEachUnit) {
  TCellImage* Icons = MakeUnitIcons(nullptr);
  std::unique_ptr<TCellImage> Owned(Icons);
  TUnit* Army = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 1}, {utArmor, 3}});
  Army->SetTypeFactor(utArmor, 2.0f);
  TUnit* Fleet = Game.MakeUnit("United Kingdom", ukNavy, "London", {{utDestroyer, 3}, {utBattleship, 1}});
  Fleet->SetTypeFactor(utDestroyer, 1.3f);
  TBrenmoorForcesListBox List;
  List.resize(200, 110);
  List.SetBrenmoorEngine(&Game.Engine);
  List.SetCellForces(Icons);
  List.AddForcesOf(Army);
  List.AddForcesOf(Fleet);
  List.SetQty(utMerchantShip, Game.Nation("Poland")->GetIndex(), 2);
  List.setCurrentRow(1);
  List.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&List));
  const QImage Picture = GrabToPng(List);
  // The separator under the army's last row, none under its first.
  const QRect Last = List.visualItemRect(List.item(1)).translated(List.viewport()->pos());
  const QRect First = List.visualItemRect(List.item(0)).translated(List.viewport()->pos());
  EXPECT_EQ(QColor(Picture.pixel(Last.center().x(), Last.bottom())), QColor(Qt::black));
  EXPECT_NE(QColor(Picture.pixel(First.center().x(), First.bottom())), QColor(Qt::black));
  // The British destroyers' icon is in the British colour slot's row.
  const int Slot = Game.Nation("United Kingdom")->GetColorSlot();
  const QImage Icon = Icons->GetCell(utDestroyer, Slot)->toImage().convertToFormat(QImage::Format_RGB32);
  const QRect Destroyers = List.visualItemRect(List.item(2)).translated(List.viewport()->pos());
  int Same = 0;
  for (int Y = 0; Y < Icon.height(); ++Y)
    for (int X = 0; X < Icon.width(); ++X) Same += Picture.pixel(Destroyers.left() + X, Destroyers.top() + Y) == Icon.pixel(X, Y);
  EXPECT_EQ(Same, Icon.width() * Icon.height());
}

}  // namespace
