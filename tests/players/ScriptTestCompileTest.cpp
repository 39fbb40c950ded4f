// The editor's test compile: judged against the module's game functions, errors at their
// positions, and a game in the middle of a computer player's turn left exactly as it was.
#include "players/ScriptTestCompile.h"

#include <gtest/gtest.h>

#include "engine/kit/RulesKit.h"
#include "players/ScriptModule.h"

namespace {

struct TRecordingSink : TOrderSink, TScriptChatSink {
  std::vector<std::string> Lines;
  void IssueOrder(const std::string& Record) override { Lines.push_back("order " + Record); }
  void SendGameChat(const std::string& Line) override { Lines.push_back("chat " + Line); }
  void ShowChat(std::int32_t, const std::string& Text) override { Lines.push_back("show " + Text); }
  void Print(const std::string& Line) override { Lines.push_back("print " + Line); }
};

TEST(ScriptTestCompile, ScriptsAreJudgedByTheModulesFunctionsWithErrorsAtTheirPositions) {
  TdmScript Module;
  TBrenmoorBrain Brain;
  struct TCase {
    const char* Text;
    bool Ok;
    std::int32_t Position;  // of the error; 0 when it compiles
  };
  const TCase Cases[] = {
      {"CONST LAND = 0;\nx := GetZoneCount;\nif x > LAND then Print('zones');", true, 0},
      {"", true, 0},
      // The unknown name's first character, and the line break where ";" was due.
      {"x := 1;\ny := NoSuchFunction(x);", false, 14},
      {"x := 1\ny := 2;", false, 8},
  };
  for (const TCase& C : Cases) {
    const TTestCompileResult R = TestCompileScript(Module, Brain, C.Text);
    EXPECT_EQ(R.Ok, C.Ok) << C.Text << " -> " << R.Message;
    EXPECT_EQ(R.Position, C.Position) << C.Text << " -> " << R.Message;
    if (C.Ok) {
      EXPECT_EQ(R.Message, "") << C.Text;
    } else {
      EXPECT_EQ(R.Message.rfind("Script Error: ", 0), 0u) << R.Message;
      EXPECT_NE(R.Message.find(" Position: " + std::to_string(C.Position)), std::string::npos) << R.Message;
    }
  }
  // The test brain was compiled against the module's registry and has not run.
  EXPECT_EQ(Brain.Functions(), &Module.GetFuncs());
  EXPECT_FALSE(Brain.Running());
}

TEST(ScriptTestCompile, ConstantsThatCallGameFunctionsTouchNothingOfARunningGame) {
  kit::TKitWorld World;
  TdmScript Module;
  Module.SetBrenmoorEngine(&World.Engine());
  TRecordingSink Sink;
  Module.SetOrderSink(&Sink);
  Module.SetChatSink(&Sink);
  // A computer player's turn under way: its brain, engine, patrol route and random numbers.
  TBrenmoorBrain& Playing = Module.GetBrain(0);
  Playing.SetBrenmoorEngine(&World.Engine());
  Playing.Prepare();
  Module.CurrentBrain = &Playing;
  Module.CurrentEngine = &World.Engine();
  Module.CurrentZone = World.Z(1);
  Module.PatrolZones = {1, 2};
  Module.PatrolStart = 0;
  Module.GetRandom().SetSeed(77);
  TRandomGenerator Expected = Module.GetRandom();
  Module.StopScripts();

  TBrenmoorBrain Test;
  for (const char* Text : {"CONST R = Random(1, 100);", "CONST P = Print('hello');", "CONST C = ClearPatrolZones(3);",
                           "CONST A = AddPatrolZone(3);", "CONST V = Version(9);", "CONST Z = GetZoneCount;"}) {
    const TTestCompileResult R = TestCompileScript(Module, Test, Text);
    // No computer player and no game in a test compile: the call is refused with its reason.
    EXPECT_FALSE(R.Ok) << Text;
    EXPECT_TRUE(R.Message.find("No computer player is running") != std::string::npos ||
                R.Message.find("No game is running") != std::string::npos)
        << Text << " -> " << R.Message;
    EXPECT_GT(R.Position, 0) << Text;
  }
  EXPECT_TRUE(Sink.Lines.empty());
  EXPECT_EQ(Module.CurrentBrain, &Playing);
  EXPECT_EQ(Module.CurrentEngine, &World.Engine());
  EXPECT_EQ(Module.CurrentZone, World.Z(1));
  EXPECT_EQ(Module.PatrolZones, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(Module.PatrolStart, 0);
  EXPECT_EQ(Module.GetRandom().Next(), Expected.Next());
  EXPECT_EQ(Module.GetOrderSink(), &Sink);
  EXPECT_EQ(Module.GetChatSink(), &Sink);
  // The stop of the game's scripts still stands.
  EXPECT_TRUE(Module.GetFuncs().Stopped());
  EXPECT_FALSE(Playing.Compiled());
}

}  // namespace
