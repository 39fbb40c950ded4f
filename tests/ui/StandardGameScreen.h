#pragma once
// The program's windows with the main window on the Standard scenario's game screen: the map
// set and the scenario's zones and units loaded, Germany played here by "Ann" and current, no
// start-up tip.
#include <QTest>
#include <filesystem>
#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/UpkeepRules.h"
#include "foundation/CurrentFolder.h"
#include "platform/RegistryManager.h"
#include "support/GuiTest.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"

inline std::unique_ptr<TBrenmoorForms> StartStandardGameScreen(TTemporarySettings& Settings) {
  Settings.Store().WriteString("ShowTip", "1");
  auto Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
  TfrmMain& Main = Forms->Main();
  Main.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main));
  {
    const TCurrentFolder In(std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin");
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
    Main.brm().PlaceInitialUnits();
  }
  TNation* Germany = Main.brm().FindNation("Germany");
  Germany->SetComputerPlayer(false);
  Germany->SetPlayerName("Ann");
  Germany->SetLocalPlayer(true);
  Main.brm().Upkeep().UpdateVisibility(0);
  Main.SetLocalNations({Germany});
  Main.cmbCurrentNationClick(0);
  Main.ShowScreen(Main.pnlGame());
  return Forms;
}
