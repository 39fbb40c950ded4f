#include "players/ScriptModule.h"

#include "foundation/FileText.h"
#include "script/Script.h"
#include "script/ScriptExceptions.h"

TdmScript::TdmScript() {
  for (int I = 0; I < BrainCount; ++I) {
    FBrains[static_cast<std::size_t>(I)] = std::make_unique<TBrenmoorBrain>();
    TBrenmoorBrain& B = *FBrains[static_cast<std::size_t>(I)];
    B.SetPlayerIndex(I);
    B.SetExceptions(false);
    B.SetFunctions(&FFuncs);
    B.OnShowMessage = [this](TScript*, const std::string& Text) { ShowMessage(Text); };
  }
  RegisterQueryFunctions();
  RegisterOrderFunctions();
}

TdmScript::~TdmScript() {
  // The brains let go of the registry before the game functions and the registry go.
  for (auto& B : FBrains) B.reset();
  FGameFunctions.clear();
}

TBrenmoorBrain& TdmScript::BrainForPlayer(const TNation* Nation) {
  int I = Nation ? Nation->GetIndex() : BrainCount - 1;
  if (I < 0 || I >= BrainCount - 1) I = BrainCount - 1;
  return GetBrain(I);
}

void TdmScript::SetBrenmoorEngine(TBrenmoorEngine* Engine) {
  FEngine = Engine;
  for (auto& B : FBrains) B->SetBrenmoorEngine(Engine);
}

void TdmScript::AddGameFunction(const std::string& Declaration, TFunc::TOnEvalEvent Handler) {
  auto F = std::make_unique<TFunc>();
  F->SetDeclaration(Declaration);
  F->SetOnEval(std::move(Handler));
  F->SetFuncs(&FFuncs);
  FGameFunctions.push_back(std::move(F));
}

TBrenmoorBrain& TdmScript::Brain() const {
  if (!CurrentBrain) throw ERTE("No computer player is running");
  return *CurrentBrain;
}

TBrenmoorEngine& TdmScript::Engine() const {
  if (!CurrentEngine) throw ERTE("No game is running");
  return *CurrentEngine;
}

TNation* TdmScript::Player() const {
  TNation* P = Brain().GetPlayer();
  if (!P) throw ERTE("The computer player has no nation");
  return P;
}

std::int32_t TdmScript::IntArg(const TArgList& Args, std::int32_t I) { return Args.Value(I).AsInteger(); }
bool TdmScript::BoolArg(const TArgList& Args, std::int32_t I) { return Args.Value(I).AsBoolean(); }
std::string TdmScript::StringArg(const TArgList& Args, std::int32_t I) { return Args.Value(I).AsString(); }

TUnit* TdmScript::UnitArgument(const TArgList& Args, std::int32_t I) const {
  return Brain().GetUnit(IntArg(Args, I));
}

bool TdmScript::OwnUnitArgument(const TArgList& Args, std::int32_t I) {
  CurrentUnit = UnitArgument(Args, I);
  return CurrentUnit->GetOwner() == Player();
}

TBrenmoorZone* TdmScript::ZoneArgument(const TArgList& Args, std::int32_t I) const {
  std::int32_t Index = IntArg(Args, I);
  return Index == -1 ? nullptr : Engine().GetZone(Index);
}

TBrenmoorZone* TdmScript::ValidZoneArgument(const TArgList& Args, std::int32_t I) const {
  TBrenmoorZone* Zone = ZoneArgument(Args, I);
  if (!Zone) throw ERTE("Invalid zone -1");
  return Zone;
}

bool TdmScript::VisibleZoneArgument(const TArgList& Args, std::int32_t I) {
  CurrentZone = ValidZoneArgument(Args, I);
  return CurrentZone->IsVisibleTo(Player());
}

bool TdmScript::OwnZoneArgument(const TArgList& Args, std::int32_t I) {
  CurrentZone = ZoneArgument(Args, I);
  return CurrentZone && CurrentZone->GetOwner() == Player();
}

TNation* TdmScript::NationArgument(const TArgList& Args, std::int32_t I) const {
  return Engine().GetNation(IntArg(Args, I));
}

void TdmScript::NewGame() {
  CurrentUnit = nullptr;
  CurrentZone = nullptr;
  PatrolZones.clear();
  PatrolStart = -1;
  SearchRing.clear();
  NextRing.clear();
  MergeList.clear();
  ZoneCountCache = 0;
  Bits.SetCapacity(0);
}

void TdmScript::LoadBrainScript(TNation& Nation, TBrenmoorBrain& Brain) {
  if (Nation.GetAIScript().empty()) Nation.SetAIScript("Default.brmai");
  std::string Text;
  if (ReadFileText(Nation.GetAIScript(), Text) != ftRead) Text = DefaultScript();
  Brain.SetText(std::move(Text));
  // Compiled with errors raised, so that a failure is seen here (the brain itself only shows
  // its errors): the player hears of it once, and the nation plays an empty script.
  Brain.SetExceptions(true);
  try {
    Brain.Compile();
  } catch (const std::exception& E) {
    const auto* Error = dynamic_cast<const EScriptError*>(&E);
    ShowMessage(Error ? ScriptErrorText(E.what(), Error->Position()) : std::string(E.what()));
    ShowMessage("Could not compile Brain Script for " + Nation.GetName());
    Brain.SetText("");
    Brain.Compile();
  }
  Brain.SetExceptions(false);
  Nation.SetScriptLoaded(true);
}

bool TdmScript::RunTurn(std::int32_t Impulse, bool Host) {
  if (!Host || !FEngine || Impulse < 0) return false;
  const std::int32_t Slot = Impulse % 7;
  if (Slot >= FEngine->GetMajorCount() || Slot >= FEngine->GetNationCount()) return false;
  TNation* Nation = FEngine->GetNation(Slot);
  if (!Nation->GetComputerPlayer() || !Nation->GetAlive()) return false;
  TBrenmoorBrain& B = BrainForPlayer(Nation);
  FCurrentImpulse = Impulse;
  // The brain and the engine of the run are set before anything of the script runs: the
  // constants of a script call game functions while it compiles.
  CurrentBrain = &B;
  CurrentEngine = FEngine;
  CurrentUnit = nullptr;
  CurrentZone = nullptr;
  B.SetBrenmoorEngine(FEngine);
  if (!Nation->GetScriptLoaded()) {
    B.Prepare();
    LoadBrainScript(*Nation, B);
  }
  return B.Execute();
}

TImpulseHooks::TImpulseEvent TdmScript::TurnHook() {
  return [this](TBrenmoorEngine*, std::int32_t Impulse) { RunTurn(Impulse, true); };
}

std::string TdmScript::BeforeProcess(std::int32_t Impulse, bool Host) {
  if (!FEngine) return {};
  TImpulseHooks Hooks;
  Hooks.OnComputerTurn = TurnHook();
  return LongDateToStr(BeforeImpulse(*FEngine, Impulse, Host, Hooks));
}
