#pragma once
// The function registry of the script language. Everything a script does is a call of a
// registered function: statements, operators, the built-ins and the host functions the game
// declares by a line of text (TFunc). Every call is checked against the function's parameter
// patterns before it runs, and after it the window system may process pending messages.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/ScriptExceptions.h"
#include "script/ScriptTypes.h"

class TFuncs;

// The built-in statements and operators that a call node runs itself, reading its argument
// nodes in place, once the call has been checked like any other (boNone: everything else).
enum TBuiltinOp : std::uint8_t {
  boNone, boBegin, boSet, boIf, boElse, boWhile, boRepeat, boFor,
  boGreater, boLess, boEqual, boUnequal, boGreaterEqual, boLessEqual, boAnd, boOr, boXor,
  boAdd, boSubtract, boMultiply, boDivide, boDiv, boMod, boNot, boNegate,
};

// What a built-in operator of two operands gives (boGreater .. boMod), or of one (boNot,
// boNegate: B is not read); raises EValueError as the value operations do.
TValue ApplyOperator(TBuiltinOp Op, const TValue& A, const TValue& B);

// Base of every callable.
class TFunction {
public:
  // Without a pattern, or with one pattern of ParamTypes.
  TFunction(std::string Name, TTypeBits ResultType);
  TFunction(std::string Name, std::vector<TTypeBits> ParamTypes, TTypeBits ResultType);
  virtual ~TFunction() = default;
  TFunction(const TFunction&) = delete;
  TFunction& operator=(const TFunction&) = delete;

  const std::string& Name() const { return FName; }
  TTypeBits ResultType() const { return FResultType; }
  // The registry it was added to by AddFunction (nullptr for a built-in).
  TFuncs* Funcs() const { return FFuncs; }

  std::int32_t PatternCount() const { return static_cast<std::int32_t>(FPatterns.size()); }
  const TTypes& Pattern(std::int32_t I) const { return FPatterns[static_cast<std::size_t>(I)]; }
  void AddPattern(TTypes Pattern) { FPatterns.push_back(std::move(Pattern)); }

  // Runs the function: Pat is the index of the matched pattern; Result arrives empty.
  virtual void Eval(std::int32_t Pat, const TArgList& Args, TValue& Result) = 0;

  // Which built-in statement or operator this is; a call node runs those itself.
  TBuiltinOp Builtin() const { return FBuiltin; }

  // Argument ArgIndex is handed over unevaluated even where its formal is plain (the
  // condition of the loops, read afresh in every pass).
  virtual bool KeepsArgumentUnevaluated(std::int32_t ArgIndex) const {
    (void)ArgIndex;
    return false;
  }

  // The index of the pattern that the actual types fit, with each actual narrowed to its
  // base bits and the modifiers of the formal it matched. With one pattern its walk reports
  // why it does not fit; with several the first fitting one is taken, and when none fits the
  // error lists the actuals and every pattern. Raises ERTE.
  std::int32_t MatchPattern(const TTypes& Actuals, std::vector<TTypeBits>& Narrowed) const;

  // One checked call: the stop flag of Registry, the pattern, the arguments of plain formals
  // evaluated once, Eval, the result's type, then the "process pending messages" hook.
  void CheckArguments(TFuncs* Registry, const std::vector<std::unique_ptr<TExpr>>& Args, TValue& Result);

  // Raises ERTE "Function X returns type .. instead of .." unless Result fits the result type.
  void CheckResult(const TValue& Result) const {
    if ((VariantTypeBits(Result) & FResultType & tbBaseMask) == 0) [[unlikely]]
      RefuseResult(Result);
  }

protected:
  // Called when the registry that holds this function is being destroyed.
  virtual void RegistryGone() {}
  void SetBuiltin(TBuiltinOp Op) { FBuiltin = Op; }

private:
  friend class TFuncs;
  [[noreturn]] void RefuseResult(const TValue& Result) const;

  std::string FName;
  TTypeBits FResultType;
  std::vector<TTypes> FPatterns;
  TFuncs* FFuncs = nullptr;
  TBuiltinOp FBuiltin = boNone;
};

// The registry: the functions a script may call, owned here, the built-ins first.
class TFuncs {
public:
  TFuncs();
  ~TFuncs();
  TFuncs(const TFuncs&) = delete;
  TFuncs& operator=(const TFuncs&) = delete;

  // Refuses a name already registered (built-ins included) with EScriptUsage; otherwise the
  // function belongs to this registry.
  void AddFunction(std::unique_ptr<TFunction> F);
  // A built-in: registered like AddFunction but belonging to no registry.
  void AddBuiltin(std::unique_ptr<TFunction> F);
  // Takes F out of the list and hands it back (nullptr when it is not here).
  std::unique_ptr<TFunction> RemoveFunction(TFunction* F);
  // The first function whose name is exactly Name (names are stored upper-cased).
  TFunction* FindFunction(std::string_view Name) const;

  std::int32_t Count() const { return static_cast<std::int32_t>(FFunctions.size()); }
  TFunction* Functions(std::int32_t I) const { return FFunctions[static_cast<std::size_t>(I)].get(); }

  // The stop flag: while set, every call ends the run with "Script stopped.". Compiling and
  // running a script clear it; ending or closing a game sets it.
  bool Stopped() const { return FStopped; }
  void SetStopped(bool Value) {
    FStopped = Value;
    TCallChecks::Changed();
  }

  // The step budget of a run. Every call a script makes is one step, and so is every pass of a
  // loop that makes none; a run (a compile or an execution of a script, each counted afresh)
  // may take Steps of them, 0 for no limit. The step beyond the budget raises EStepBudget,
  // which ends the run as the run-time error EStepsSpent. Steps, not time: a run ends at the
  // same place on every machine and in every replay of a game, however fast the machine.
  std::uint64_t StepBudget() const { return FStepBudget; }
  void SetStepBudget(std::uint64_t Steps) { FStepBudget = Steps; }
  // The count of a run: Start begins it (the script does at the start of a compile and an
  // execution), Taken is the steps since.
  struct TStepCount {
    std::uint64_t Start;
    std::uint64_t Left;
  };
  TStepCount StartSteps() {
    const TStepCount Was{FStepsStart, FStepsLeft};
    FStepsStart = FStepsLeft = FStepBudget ? FStepBudget + 1 : ~std::uint64_t{0};
    return Was;
  }
  // Carries on the count that StartSteps interrupted (a run that another run's message
  // processing started has ended).
  void ResumeSteps(const TStepCount& Count) {
    FStepsStart = Count.Start;
    FStepsLeft = Count.Left;
  }
  std::uint64_t StepsTaken() const { return FStepsStart - FStepsLeft; }
  void Step() {
    if (--FStepsLeft == 0) [[unlikely]]
      StepsSpent();
  }

  // Changes whenever a function leaves the registry, so call nodes know to look again.
  std::uint32_t Revision() const { return FRevision; }

  // Who must hear that the registry is going away (a script compiled against it drops its
  // tree then). A listener removes itself before it is destroyed.
  class TListener {
  public:
    virtual void FuncsDestroying(TFuncs& Funcs) = 0;

  protected:
    ~TListener() = default;
  };
  void AddListener(TListener* L);
  void RemoveListener(TListener* L);

private:
  void CheckUnique(const std::string& Name) const;
  void Insert(std::unique_ptr<TFunction> F);
  [[noreturn]] void StepsSpent();

  std::vector<std::unique_ptr<TFunction>> FFunctions;
  std::unordered_map<std::string, TFunction*> FByName;
  std::vector<TListener*> FListeners;
  bool FStopped = false;
  std::uint32_t FRevision = 0;
  std::uint64_t FStepBudget = 0;
  // Counted down by Step; at 0 the budget is spent. Without a budget it starts too high to
  // reach 0.
  std::uint64_t FStepsStart = ~std::uint64_t{0};
  std::uint64_t FStepsLeft = ~std::uint64_t{0};
};

// Registers the built-in functions of the language (statements, operators, the library) in
// their fixed order.
void AddBuiltinFunctions(TFuncs& Funcs);

// A call of a registered function with its argument nodes. The registry must outlive the
// node; a function that leaves the registry is looked up again by name at the next call.
//
// Each call site keeps what its last call matched: the actual types, the pattern and which
// arguments are evaluated, and a constant node per evaluated argument that receives its
// value. While the actual types stay the same (they change only when a variable gets its
// first value), a call neither walks the patterns nor allocates.
class TFuncExpr : public TExpr {
public:
  // Looks Name up in Funcs; an unregistered name raises ESyntaxError "Function X is not
  // defined" at Position.
  TFuncExpr(TFuncs* Funcs, std::int32_t Position, std::string Name);

  // Appends an argument; nullptr is ignored.
  void AddArg(std::unique_ptr<TExpr> Arg) {
    if (Arg) {
      FArgs.push_back(std::move(Arg));
      FCachedPat = -1;
      FRunner = nullptr;
    }
  }
  const std::vector<std::unique_ptr<TExpr>>& Args() const { return FArgs; }
  TFunction* Func() const { return FFunc; }
  TFuncs* Funcs() const { return FFuncs; }
  TTypeBits ResultType() const { return FResultType; }

  TTypeBits GetType() const override { return FResultType; }
  // Runs the call. A run-time error from inside passes unchanged (the innermost call's
  // position wins); a stop becomes "Script stopped." and any other failure a run-time error
  // with its message, both at this node's position.
  void Eval(TValue& Result) override;

private:
  void Call(TValue& Result);
  // Matches the current actual types and sets up the argument slots; raises ERTE.
  void Prepare();
  // The last match still holds: no variable among the arguments has changed its type.
  bool Matched() {
    if (FCachedPat < 0) return false;
    return TCallChecks::Generation() == FCheckedAt || RecheckWatched();
  }
  bool RecheckWatched();
  // Runs the built-in statement or operator with the arguments read in place, once the
  // checks of the call are done (the pump follows).
  using TRunner = void (*)(TFuncExpr& Node, TValue& Result);
  static TRunner RunnerOf(TBuiltinOp Op);
  template <TBuiltinOp Op>
  static void RunBinary(TFuncExpr& Node, TValue& Result);
  template <TBuiltinOp Op>
  static void RunUnary(TFuncExpr& Node, TValue& Result);
  static void RunSet(TFuncExpr& Node, TValue& Result);
  static void RunFor(TFuncExpr& Node, TValue& Result);
  // The general road of Eval: the lookup after a change of the registry, the checks, the call.
  void EvalChecked(TValue& Result);
  // Raises the failure being handled as this node's run-time error.
  [[noreturn]] void RaiseHere() const;

  TFuncs* FFuncs;
  TFunction* FFunc;
  std::uint32_t FRevision;
  TTypeBits FResultType = tbVoid;
  std::vector<std::unique_ptr<TExpr>> FArgs;

  // The call-site cache (FCachedPat -1: nothing matched yet). Only the type of a variable
  // can change between calls (with its first value); constants and calls keep theirs.
  struct TWatched {
    const TVariable* Item;
    TTypeBits Type;
  };
  struct TEvaluated {
    TExpr* Arg;
    TConstExpr* Slot;
  };
  std::int32_t FCachedPat = -1;
  std::uint64_t FCheckedAt = 0;  // TCallChecks::Generation at the last full check that passed
  bool FBusy = false;
  TRunner FRunner = nullptr;   // of the matched function, when it is such a built-in
  bool FSnapshotLeft = false;  // evaluating the second operand may change what the first reads
  std::vector<TWatched> FWatched;
  std::vector<TEvaluated> FEvaluated;               // the arguments evaluated before the call
  std::vector<std::unique_ptr<TConstExpr>> FSlots;  // per argument: its value's node, or none
  std::vector<TExpr*> FList;                        // what the function receives
};

class TFunc;

// The registered function of a TFunc: its calls go to the component's handler.
class TCompFunction : public TFunction {
public:
  TCompFunction(TFunc& Owner, std::string Name, TTypeBits ResultType);
  TFunc& Owner() const { return *FOwner; }
  void Eval(std::int32_t Pat, const TArgList& Args, TValue& Result) override;

protected:
  void RegistryGone() override;

private:
  TFunc* FOwner;
};

// A host function: declared by a line of text such as "Random( mult, mult ): integer",
// registered by setting Funcs, and run by its OnEval or OnExEval handler.
class TFunc {
public:
  // Sender is this component; each argument node gives its value by Eval (plain formals),
  // or is the variable node (VAR) or the call node (FUNC); Result arrives empty and must
  // receive a value of the declared result type (none for a VOID function).
  using TOnEvalEvent = std::function<void(TFunc* Sender, const TArgList& Args, TValue& Result)>;
  // The same with the 0-based index of the parameter pattern that matched.
  using TOnExEvalEvent = std::function<void(TFunc* Sender, std::int32_t Pat, const TArgList& Args, TValue& Result)>;

  TFunc() = default;
  ~TFunc();
  TFunc(const TFunc&) = delete;
  TFunc& operator=(const TFunc&) = delete;

  const std::string& Declaration() const { return FDeclaration; }
  // Reads the name, the patterns and the result type. An empty text raises EScriptUsage;
  // a text that is no declaration raises ESyntaxError (and leaves no name and no pattern).
  // An existing registration keeps what it was registered with.
  void SetDeclaration(const std::string& Text);

  TFuncs* Funcs() const { return FFuncs; }
  // Registers the function in Funcs with the name, patterns and result type it has now
  // (releasing any earlier registration); nullptr only releases it.
  void SetFuncs(TFuncs* Funcs);

  const TOnEvalEvent& OnEval() const { return FOnEval; }
  const TOnExEvalEvent& OnExEval() const { return FOnExEval; }
  // Setting one handler clears the other.
  void SetOnEval(TOnEvalEvent Handler);
  void SetOnExEval(TOnExEvalEvent Handler);

  const std::string& Name() const { return FName; }
  TTypeBits ResultType() const { return FResultType; }
  const std::vector<TTypes>& Patterns() const { return FPatterns; }
  TCompFunction* Registered() const { return FRegistered; }

private:
  friend class TCompFunction;
  void ForgetRegistry();

  std::string FDeclaration;
  std::string FName;
  TTypeBits FResultType = tbVoid;
  std::vector<TTypes> FPatterns;
  TFuncs* FFuncs = nullptr;
  TCompFunction* FRegistered = nullptr;
  TOnEvalEvent FOnEval;
  TOnExEvalEvent FOnExEval;
};
