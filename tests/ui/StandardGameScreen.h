#pragma once
// The program's windows with the main window on the Standard scenario's game screen: the map
// set loaded and a new game of the Standard scenario started as the program starts one (its
// zones and units placed, the powers handed to their players, the rules taking orders from the
// game's users), the nations of Played (Germany unless told) played here by "Ann" and the first
// of them current, every other major power played by the computer, no start-up tip.
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/UpkeepRules.h"
#include "foundation/CurrentFolder.h"
#include "platform/RegistryManager.h"
#include "screens/GameStart.h"
#include "support/GuiTest.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"

inline constexpr const char* StandardGamePlayer = "Ann";

inline std::unique_ptr<TBrenmoorForms> StartStandardGameScreen(TTemporarySettings& Settings,
                                                               const std::vector<std::string>& Played = {"Germany"}) {
  Settings.Store().WriteString("ShowTip", "1");
  auto Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
  TfrmMain& Main = Forms->Main();
  Main.show();
  EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main));
  TGameStart Start;
  {
    const TCurrentFolder In(std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin");
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    // The game of a host whose clock has no other users yet: "Ann" plays the powers of Played.
    TGameSetUp SetUp;
    SetUp.Mode = smHost;
    SetUp.OwnPlayer = StandardGamePlayer;
    for (int I = 0; I < Main.brm().GetNationCount(); ++I) {
      const TNation* Nation = Main.brm().GetNation(I);
      if (!Nation->GetMajorPower()) continue;
      const bool Here = std::find(Played.begin(), Played.end(), Nation->GetName()) != Played.end();
      SetUp.Powers.push_back({Here ? std::string(StandardGamePlayer) : std::string()});
    }
    Start = StartGameRules(Main.brm(), Main.rte(), SetUp);
  }
  EXPECT_TRUE(Start.Started()) << Start.Refusal;
  // The played nations in the order of Played, the first one current.
  std::vector<TNation*> Local;
  for (const std::string& Name : Played) Local.push_back(Main.brm().FindNation(Name));
  Main.brm().Upkeep().UpdateVisibility(0);
  Main.SetLocalNations(Local);
  Main.cmbCurrentNationClick(0);
  Main.ShowScreen(Main.pnlGame());
  return Forms;
}
