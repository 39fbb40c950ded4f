#pragma once
// The computer players' test fixture: the kit's world with the script module playing it, a
// recording order sink (its records compared with the record builders') and chat sink, and a
// way to run a small script as one nation's brain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/UpkeepRules.h"
#include "engine/kit/Records.h"
#include "engine/kit/RulesKit.h"
#include "foundation/NumberText.h"
#include "players/ScriptModule.h"
#include "script/ScriptTypes.h"

namespace players_test {

class TRecordingOrders : public TOrderSink {
public:
  void IssueOrder(const std::string& Record) override { Records.push_back(Record); }
  std::vector<std::string> Records;
};

class TRecordingChat : public TScriptChatSink {
public:
  void SendGameChat(const std::string& Line) override { Sent.push_back(Line); }
  void ShowChat(std::int32_t Channel, const std::string& Text) override { Shown.push_back(IntToStr(Channel) + ":" + Text); }
  void Print(const std::string& Line) override { Printed.push_back(Line); }
  std::vector<std::string> Sent;
  std::vector<std::string> Shown;
  std::vector<std::string> Printed;
};

// The kit's world played by the script module; the brains' Random is seeded.
class TPlayersFixture : public ::testing::Test {
public:
  TPlayersFixture() {
    Module.SetBrenmoorEngine(&World.Engine());
    Module.SetOrderSink(&Orders);
    Module.SetChatSink(&Chat);
    Module.OnShowMessage = [this](const std::string& Text) { Messages.push_back(Text); };
    Module.GetRandom().SetSeed(7);
    World.Engine().Upkeep().UpdateVisibility(0);
  }

  TBrenmoorEngine& Engine() { return World.Engine(); }

  // Nation's brain made ready for a run (the current brain, its player and seen units).
  TBrenmoorBrain& Ready(int Nation) {
    TBrenmoorBrain& B = Module.GetBrain(Nation);
    Module.CurrentBrain = &B;
    Module.CurrentEngine = &Engine();
    B.Prepare();
    return B;
  }
  // The unit's script index for the nation (Ready first): its text for a script.
  std::string I(const TUnit* Unit, int Nation = 0) { return IntToStr(Ready(Nation).IndexOfUnit(Unit)); }

  // Runs Text as the nation's brain with errors raised; the records it issued.
  std::vector<std::string> Run(const std::string& Text, int Nation = 0) {
    Orders.Records.clear();
    TBrenmoorBrain& B = Ready(Nation);
    B.SetExceptions(true);
    B.SetText(Text);
    B.Execute();
    B.SetExceptions(false);
    return Orders.Records;
  }
  // The same with errors shown: the message, or "" when the run succeeded.
  std::string RunError(const std::string& Text, int Nation = 0) {
    try {
      Run(Text, Nation);
    } catch (const std::exception& E) {
      Module.GetBrain(Nation).SetExceptions(false);
      return E.what();
    }
    return {};
  }

  kit::TKitWorld World;
  TRecordingOrders Orders;
  TRecordingChat Chat;
  std::vector<std::string> Messages;
  TdmScript Module;
};

inline std::string Id(const TUnit* Unit) { return IntToStr(Unit->ID); }

}  // namespace players_test
