#include "players/ScriptModule.h"

#include "foundation/FileText.h"
#include "foundation/NumberText.h"
#include "script/Script.h"
#include "script/ScriptExceptions.h"

namespace {

// A message as a sentence: a full stop unless it ends with one (or with "!" or "?").
std::string Sentence(std::string Text) {
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\n' || Text.back() == '\r')) Text.pop_back();
  if (Text.empty() || (Text.back() != '.' && Text.back() != '!' && Text.back() != '?')) Text += '.';
  return Text;
}

// The message of an error as the player reads it: a script error's own message without the
// class word and position around it.
std::string MessageOf(const std::exception& Error) {
  const auto* S = dynamic_cast<const EScriptError*>(&Error);
  return S ? S->Detail() : std::string(Error.what());
}

// What makes two failures of a power the same error: the place and the message with its
// numbers left out (an index out of bounds is one error whatever the index was).
std::string FailureKey(const std::exception& Error) {
  const auto* S = dynamic_cast<const EScriptError*>(&Error);
  std::string Key = IntToStr(S ? S->Position() : -1) + ":";
  for (char C : MessageOf(Error))
    if (C < '0' || C > '9') Key += C;
  return Key;
}

// Raises the errors of a brain's run or compile to the caller while it lives.
class TRaisingBrain {
public:
  explicit TRaisingBrain(TBrenmoorBrain& Brain) : FBrain(Brain), FWas(Brain.Exceptions()) { Brain.SetExceptions(true); }
  ~TRaisingBrain() { FBrain.SetExceptions(FWas); }
  TRaisingBrain(const TRaisingBrain&) = delete;
  TRaisingBrain& operator=(const TRaisingBrain&) = delete;

private:
  TBrenmoorBrain& FBrain;
  bool FWas;
};

// The text the script component shows for an error.
std::string ShownText(const std::exception& Error) {
  const auto* S = dynamic_cast<const EScriptError*>(&Error);
  return S ? ScriptErrorText(Error.what(), S->Position()) : std::string(Error.what());
}

}  // namespace

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
  FFuncs.SetStepBudget(TurnStepBudget);
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
  for (auto& Told : FReported) Told.clear();
}

std::string TdmScript::PlaceText(const TBrenmoorBrain& Brain, std::int32_t Position) const {
  const std::string& Source = FScriptSource[static_cast<std::size_t>(Brain.GetPlayerIndex() % BrainCount)];
  std::string Text = Source.empty() ? std::string("the script") : Source;
  if (Position < 1) return Text;
  const TScriptPlace Place = ScriptPlace(Brain.Text(), Position);
  return Text + ", line " + IntToStr(Place.Line) + ", column " + IntToStr(Place.Column);
}

void TdmScript::ReportRunFailure(const TNation& Nation, const TBrenmoorBrain& Brain, const std::exception& Error) {
  // A stop is the game ending or the window closing, not the script's fault.
  if (FFuncs.Stopped()) return;
  const bool Steps = dynamic_cast<const EStepsSpent*>(&Error) != nullptr;
  // Every turn that spends the budget is the same failure, wherever the loop stood.
  const std::string Key = Steps ? std::string("steps") : FailureKey(Error);
  if (!FReported[static_cast<std::size_t>(Brain.GetPlayerIndex() % BrainCount)].insert(Key).second) return;
  const auto* S = dynamic_cast<const EScriptError*>(&Error);
  const std::string Where = PlaceText(Brain, S ? S->Position() : -1);
  const std::string& Name = Nation.GetName();
  TBrainReport R;
  R.Nation = &Nation;
  if (Steps) {
    R.Kind = TBrainReport::brSteps;
    R.Text = "The script of " + Name + " ran too long: its turn took more than " + IntToStr(static_cast<std::int64_t>(FFuncs.StepBudget())) +
             " steps and was ended in " + Where + ". The orders it gave before stand; " + Name +
             " stands idle for the rest of this turn.";
  } else {
    R.Kind = TBrainReport::brRun;
    R.Text = "The script of " + Name + " failed in " + Where + ": " + Sentence(MessageOf(Error)) + " " + Name +
             " stands idle for the rest of this turn.";
  }
  if (OnReport) OnReport(R);
}

void TdmScript::LoadBrainScript(TNation& Nation, TBrenmoorBrain& Brain) {
  if (Nation.GetAIScript().empty()) Nation.SetAIScript("Default.brmai");
  std::string Text;
  const std::size_t Slot = static_cast<std::size_t>(Brain.GetPlayerIndex() % BrainCount);
  if (ReadFileText(Nation.GetAIScript(), Text) == ftRead) {
    FScriptSource[Slot] = Nation.GetAIScript();
  } else {
    Text = DefaultScript();
    FScriptSource[Slot] = "the built-in default script";
  }
  FReported[Slot].clear();
  Brain.SetText(std::move(Text));
  // Compiled with errors raised, so that a failure is seen here (the brain itself only shows
  // its errors): the player hears of it once, and the nation plays an empty script.
  {
    const TRaisingBrain Raising(Brain);
    try {
      Brain.Compile();
    } catch (const std::exception& E) {
      const auto* Error = dynamic_cast<const EScriptError*>(&E);
      ShowMessage(ShownText(E));
      const std::string Refusal = "Could not compile Brain Script for " + Nation.GetName();
      ShowMessage(Refusal);
      TBrainReport R;
      R.Kind = TBrainReport::brCompile;
      R.Nation = &Nation;
      R.Text = Refusal + "\n\n" + (dynamic_cast<const ESyntaxError*>(&E) ? "Syntax error" : "Error") + " in " +
               PlaceText(Brain, Error ? Error->Position() : -1) + ": " + Sentence(MessageOf(E)) + "\n\n" + Nation.GetName() +
               " stands idle for the rest of the game.";
      Brain.SetText("");
      Brain.Compile();
      if (OnReport) OnReport(R);
    }
  }
  Nation.SetScriptLoaded(true);
}

bool TdmScript::RunTurn(std::int32_t Impulse, bool Host) {
  FLastTurnSteps = 0;
  FLastTurnOverBudget = false;
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
  // The run's errors are caught here: shown as the brain shows them, and told to the player.
  const TRaisingBrain Raising(B);
  try {
    const bool Ran = B.Execute();
    FLastTurnSteps = B.LastSteps();
    return Ran;
  } catch (const std::exception& E) {
    FLastTurnSteps = B.LastSteps();
    FLastTurnOverBudget = dynamic_cast<const EStepsSpent*>(&E) != nullptr;
    ShowMessage(ShownText(E));
    ReportRunFailure(*Nation, B, E);
    return false;
  }
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
