#include "players/ScriptTestCompile.h"

#include "players/ScriptModule.h"
#include "script/ScriptExceptions.h"

namespace {
// The module's state that a constant's game function could change, kept while the test brain
// compiles and given back afterwards.
class TModuleSnapshot {
public:
  explicit TModuleSnapshot(TdmScript& Module)
      : FModule(Module),
        FBrain(Module.CurrentBrain),
        FEngine(Module.CurrentEngine),
        FUnit(Module.CurrentUnit),
        FZone(Module.CurrentZone),
        FPatrolZones(Module.PatrolZones),
        FPatrolStart(Module.PatrolStart),
        FMergeList(Module.MergeList),
        FRandom(Module.GetRandom()),
        FOrderSink(Module.GetOrderSink()),
        FChatSink(Module.GetChatSink()),
        FStopped(Module.GetFuncs().Stopped()) {
    Module.CurrentBrain = nullptr;
    Module.CurrentEngine = nullptr;
    Module.CurrentUnit = nullptr;
    Module.CurrentZone = nullptr;
    Module.SetOrderSink(nullptr);
    Module.SetChatSink(nullptr);
  }
  ~TModuleSnapshot() {
    FModule.CurrentBrain = FBrain;
    FModule.CurrentEngine = FEngine;
    FModule.CurrentUnit = FUnit;
    FModule.CurrentZone = FZone;
    FModule.PatrolZones = std::move(FPatrolZones);
    FModule.PatrolStart = FPatrolStart;
    FModule.MergeList = std::move(FMergeList);
    FModule.GetRandom() = FRandom;
    FModule.SetOrderSink(FOrderSink);
    FModule.SetChatSink(FChatSink);
    FModule.GetFuncs().SetStopped(FStopped);
  }
  TModuleSnapshot(const TModuleSnapshot&) = delete;
  TModuleSnapshot& operator=(const TModuleSnapshot&) = delete;

private:
  TdmScript& FModule;
  TBrenmoorBrain* FBrain;
  TBrenmoorEngine* FEngine;
  TUnit* FUnit;
  TBrenmoorZone* FZone;
  std::vector<std::int32_t> FPatrolZones;
  std::int32_t FPatrolStart;
  std::vector<TUnit*> FMergeList;
  TRandomGenerator FRandom;
  TOrderSink* FOrderSink;
  TScriptChatSink* FChatSink;
  bool FStopped;
};
}  // namespace

TTestCompileResult TestCompileScript(TdmScript& Module, TBrenmoorBrain& Brain, const std::string& Text) {
  TTestCompileResult Result;
  const TModuleSnapshot Kept(Module);
  Brain.SetFunctions(&Module.GetFuncs());
  Brain.SetBrenmoorEngine(nullptr);
  Brain.SetExceptions(true);
  Brain.SetText(Text);
  try {
    Result.Ok = Brain.Compile();
    if (!Result.Ok) Result.Message = "The script is busy and was not compiled";
  } catch (const EScriptError& E) {
    Result.Position = E.Position();
    Result.Message = ScriptErrorText(E.what(), E.Position());
  } catch (const std::exception& E) {
    Result.Message = E.what();
  }
  return Result;
}
