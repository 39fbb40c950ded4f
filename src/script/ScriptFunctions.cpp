#include "script/ScriptFunctions.h"

#include <algorithm>

#include "foundation/ProcessMessages.h"
#include "script/ScriptTokenizer.h"

namespace {

// Walks one pattern against the actual types. True when it fits (Narrowed then holds the
// narrowed actuals); otherwise, when Error is given, it receives the reason.
bool WalkPattern(const std::string& Name, const TTypes& Pattern, const TTypes& Actuals,
                 std::vector<TTypeBits>& Narrowed, std::string* Error) {
  const std::int32_t Formals = Pattern.Count();
  std::int32_t F = 0;
  for (std::int32_t A = 0; A < Actuals.Count(); ++A) {
    if (F >= Formals) {
      if (Error) *Error = ScriptMessage(smTooManyArguments, Name);
      return false;
    }
    const TTypeBits Actual = Actuals.GetType(A);
    TTypeBits Formal = Pattern.GetType(F);
    bool Fits = TypeFits(Formal & ~tbOpen, Actual);
    if (!Fits && (Formal & tbOpen)) {
      // The open formal has had its arguments; this one must fit the next formal.
      ++F;
      Formal = Pattern.GetType(F);
      Fits = TypeFits(Formal & ~tbOpen, Actual);
    }
    if (!Fits) {
      if (Error) *Error = ScriptMessage(smArgumentTypeMismatch, Name, TypeToText(Formal), TypeToText(Actual), A + 1);
      return false;
    }
    Narrowed[static_cast<std::size_t>(A)] = Actual & ((Formal & tbModifierMask) | tbBaseMask);
    if (!(Formal & tbOpen)) ++F;
  }
  if (F >= Formals) return true;
  const TTypeBits Formal = Pattern.GetType(F);
  if ((Formal & tbOpen) && F == Formals - 1) return true;
  if (Error) *Error = ScriptMessage(smNotEnoughArguments, Name, (Formal & tbOpen) ? F + 1 : F, Formals);
  return false;
}

}  // namespace

// ---- TFunction ----

TFunction::TFunction(std::string Name, TTypeBits ResultType)
    : FName(UpperCaseName(std::move(Name))), FResultType(ResultType) {}

TFunction::TFunction(std::string Name, std::vector<TTypeBits> ParamTypes, TTypeBits ResultType)
    : TFunction(std::move(Name), ResultType) {
  FPatterns.emplace_back(std::move(ParamTypes));
}

std::int32_t TFunction::MatchPattern(const TTypes& Actuals, std::vector<TTypeBits>& Narrowed) const {
  Narrowed.assign(static_cast<std::size_t>(Actuals.Count()), 0);
  if (FPatterns.size() == 1) {
    std::string Error;
    if (!WalkPattern(FName, FPatterns[0], Actuals, Narrowed, &Error)) throw ERTE(Error);
    return 0;
  }
  for (std::size_t P = 0; P < FPatterns.size(); ++P)
    if (WalkPattern(FName, FPatterns[P], Actuals, Narrowed, nullptr)) return static_cast<std::int32_t>(P);
  std::string Patterns;
  for (std::size_t P = 0; P < FPatterns.size(); ++P) {
    if (P > 0) Patterns += "\n\r";
    Patterns += FPatterns[P].ToText();
  }
  throw ERTE(ScriptMessage(smNoPatternFits, Actuals.ToText(), Patterns, FName));
}

void TFunction::CheckArguments(TFuncs* Registry, const std::vector<std::unique_ptr<TExpr>>& Args, TValue& Result) {
  if (Registry && Registry->Stopped()) throw EStop();

  const std::size_t N = Args.size();
  TTypes Actuals(static_cast<std::int32_t>(N));
  for (std::size_t I = 0; I < N; ++I) Actuals.SetType(static_cast<std::int32_t>(I), Args[I]->ActualType());
  std::vector<TTypeBits> Narrowed;
  const std::int32_t Pat = MatchPattern(Actuals, Narrowed);

  // Plain formals get their value, evaluated once now, in a constant node of the call's own;
  // VAR and FUNC formals get the node itself.
  std::vector<TExpr*> List(N);
  std::vector<std::unique_ptr<TConstExpr>> Values;
  for (std::size_t I = 0; I < N; ++I) {
    TExpr* Arg = Args[I].get();
    const bool Unevaluated = (Narrowed[I] & (tbVar | tbFunc)) != 0 ||
                             KeepsArgumentUnevaluated(static_cast<std::int32_t>(I)) || Arg->IsConstant();
    if (Unevaluated) {
      List[I] = Arg;
    } else {
      Values.push_back(std::make_unique<TConstExpr>(Arg->Evaluate(), Arg->Position()));
      List[I] = Values.back().get();
    }
  }

  Result = TValue();
  Eval(Pat, TArgList(List), Result);
  CheckResult(Result);

  ProcessMessages();
}

void TFunction::RefuseResult(const TValue& Result) const {
  throw ERTE(ScriptMessage(smResultTypeMismatch, FName, TypeToText(VariantTypeBits(Result)), TypeToText(FResultType)));
}

// ---- TFuncs ----

TFuncs::TFuncs() { AddBuiltinFunctions(*this); }

TFuncs::~TFuncs() {
  // A listener may remove itself while it hears the news.
  while (!FListeners.empty()) {
    TListener* L = FListeners.back();
    FListeners.pop_back();
    L->FuncsDestroying(*this);
  }
  for (auto& F : FFunctions) F->RegistryGone();
}

void TFuncs::StepsSpent() {
  // Every step after the last one raises as well, until the next run starts its count.
  FStepsLeft = 1;
  throw EStepBudget("The run took more than " + IntToStr(static_cast<std::int64_t>(FStepBudget)) + " steps");
}

void TFuncs::AddListener(TListener* L) {
  if (L && std::find(FListeners.begin(), FListeners.end(), L) == FListeners.end()) FListeners.push_back(L);
}

void TFuncs::RemoveListener(TListener* L) { std::erase(FListeners, L); }

void TFuncs::CheckUnique(const std::string& Name) const {
  if (FindFunction(Name)) throw EScriptUsage(ScriptMessage(smFunctionExists, Name));
}

void TFuncs::Insert(std::unique_ptr<TFunction> F) {
  FByName.emplace(F->Name(), F.get());
  FFunctions.push_back(std::move(F));
}

void TFuncs::AddFunction(std::unique_ptr<TFunction> F) {
  if (!F) return;
  CheckUnique(F->Name());
  F->FFuncs = this;
  Insert(std::move(F));
}

void TFuncs::AddBuiltin(std::unique_ptr<TFunction> F) {
  if (!F) return;
  CheckUnique(F->Name());
  Insert(std::move(F));
}

std::unique_ptr<TFunction> TFuncs::RemoveFunction(TFunction* F) {
  auto It = std::find_if(FFunctions.begin(), FFunctions.end(), [F](const auto& P) { return P.get() == F; });
  if (It == FFunctions.end()) return nullptr;
  std::unique_ptr<TFunction> Removed = std::move(*It);
  FFunctions.erase(It);
  FByName.erase(Removed->Name());
  Removed->FFuncs = nullptr;
  ++FRevision;
  TCallChecks::Changed();
  return Removed;
}

TFunction* TFuncs::FindFunction(std::string_view Name) const {
  const auto It = FByName.find(std::string(Name));
  return It == FByName.end() ? nullptr : It->second;
}

// ---- TFuncExpr ----

TFuncExpr::TFuncExpr(TFuncs* Funcs, std::int32_t Position, std::string Name)
    : TExpr(std::move(Name), Position, ekCall), FFuncs(Funcs), FFunc(nullptr), FRevision(Funcs ? Funcs->Revision() : 0) {
  if (FFuncs) FFunc = FFuncs->FindFunction(this->Name());
  if (!FFunc) throw ESyntaxError(ScriptMessage(smFunctionNotDefined, this->Name()), Position);
  FResultType = FFunc->ResultType();
}

namespace {

// Reading the node changes nothing and runs no call (so no pump either).
bool ReadsOnly(const TExpr& E) {
  if (E.Kind() == ekConst || E.Kind() == ekVariable) return true;
  return E.Kind() == ekElement && ReadsOnly(static_cast<const TArrayExpr&>(E).Index());
}

}  // namespace

void TFuncExpr::Prepare() {
  FCachedPat = -1;
  FRunner = nullptr;
  const std::size_t N = FArgs.size();
  TTypes Actuals(static_cast<std::int32_t>(N));
  for (std::size_t I = 0; I < N; ++I) Actuals.SetType(static_cast<std::int32_t>(I), FArgs[I]->ActualType());
  std::vector<TTypeBits> Narrowed;
  const std::int32_t Pat = FFunc->MatchPattern(Actuals, Narrowed);

  FWatched.clear();
  FEvaluated.clear();
  FSlots.resize(N);
  FList.resize(N);
  for (std::size_t I = 0; I < N; ++I) {
    TExpr* Arg = FArgs[I].get();
    if (TVarExpr* V = Arg->AsVariable()) FWatched.push_back({&V->Item(), V->Item().Type()});
    const bool PassNode = (Narrowed[I] & (tbVar | tbFunc)) != 0 ||
                          FFunc->KeepsArgumentUnevaluated(static_cast<std::int32_t>(I)) || Arg->IsConstant();
    if (PassNode) {
      FSlots[I].reset();
      FList[I] = Arg;
    } else {
      if (!FSlots[I]) FSlots[I] = std::make_unique<TConstExpr>(TValue(), Arg->Position());
      FList[I] = FSlots[I].get();
      FEvaluated.push_back({Arg, FSlots[I].get()});
    }
  }
  FSnapshotLeft = N >= 2 && !ReadsOnly(*FArgs[1]);
  FRunner = RunnerOf(FFunc->Builtin());
  FCheckedAt = TCallChecks::Generation();
  FCachedPat = Pat;
}

bool TFuncExpr::RecheckWatched() {
  for (const TWatched& W : FWatched)
    if (W.Item->Type() != W.Type) return false;
  FCheckedAt = TCallChecks::Generation();
  return true;
}

void TFuncExpr::Call(TValue& Result) {
  if (FFuncs->Stopped()) throw EStop();
  FFuncs->Step();
  if (FBusy) {
    // The same call site again while its call runs (a host handler that evaluates nodes
    // of its own): its slots are in use, so this call takes the general road.
    FFunc->CheckArguments(FFuncs, FArgs, Result);
    return;
  }
  if (!Matched()) Prepare();
  if (FRunner) {
    FRunner(*this, Result);
    ProcessMessages();
    return;
  }

  struct TBusy {
    bool& Flag;
    explicit TBusy(bool& F) : Flag(F) { Flag = true; }
    ~TBusy() { Flag = false; }
  } Busy(FBusy);
  for (const TEvaluated& E : FEvaluated) E.Arg->Eval(E.Slot->MutableValue());

  Result = TValue();
  FFunc->Eval(FCachedPat, TArgList(FList), Result);
  FFunc->CheckResult(Result);
  // A copied array is not kept until the next call (a text is, so its buffer is reused).
  for (const TEvaluated& E : FEvaluated)
    if (E.Slot->Value().IsArray()) E.Slot->MutableValue() = TValue();

  ProcessMessages();
}

void TFuncExpr::Eval(TValue& Result) {
  // The common case of a built-in whose checks all passed and would pass again (nothing they
  // rely on has changed since), without the detour through Call.
  if (FRunner && FCheckedAt == TCallChecks::Generation()) [[likely]] {
    try {
      FFuncs->Step();
      FRunner(*this, Result);
      ProcessMessages();
    } catch (...) {
      RaiseHere();
    }
    return;
  }
  EvalChecked(Result);
}

void TFuncExpr::EvalChecked(TValue& Result) {
  try {
    if (!FFunc || FFuncs->Revision() != FRevision) {
      // A function left the registry since this node last looked: look the name up again,
      // so a call never reaches a function that is gone.
      FFunc = FFuncs->FindFunction(Name());
      FRevision = FFuncs->Revision();
      FCachedPat = -1;
      FRunner = nullptr;
      if (!FFunc) throw ERTE(ScriptMessage(smFunctionNotDefined, Name()));
    }
    Call(Result);
  } catch (...) {
    RaiseHere();
  }
}

void TFuncExpr::RaiseHere() const {
  // A run-time error from inside passes unchanged (the innermost call's position wins).
  try {
    throw;
  } catch (const ERuntimeError&) {
    throw;
  } catch (const EStop&) {
    throw ERuntimeError(ScriptMessageText(smScriptStopped), Position());
  } catch (const EStepBudget& E) {
    throw EStepsSpent(E.what(), Position());
  } catch (const std::exception& E) {
    throw ERuntimeError(E.what(), Position());
  }
}

// ---- TCompFunction ----

TCompFunction::TCompFunction(TFunc& Owner, std::string Name, TTypeBits ResultType)
    : TFunction(std::move(Name), ResultType), FOwner(&Owner) {}

void TCompFunction::Eval(std::int32_t Pat, const TArgList& Args, TValue& Result) {
  if (FOwner->FOnEval) {
    FOwner->FOnEval(FOwner, Args, Result);
  } else if (FOwner->FOnExEval) {
    FOwner->FOnExEval(FOwner, Pat, Args, Result);
  } else {
    throw ERTE(ScriptMessage(smNoEvalHandler, Name()));
  }
}

void TCompFunction::RegistryGone() { FOwner->ForgetRegistry(); }

// ---- TFunc ----

TFunc::~TFunc() { SetFuncs(nullptr); }

void TFunc::SetDeclaration(const std::string& Text) {
  if (Text.empty()) throw EScriptUsage(ScriptMessage(smInvalidDeclaration, Text));
  FDeclaration = Text;
  FName.clear();
  FPatterns.clear();
  FResultType = tbVoid;

  TTokenList Tokens;
  TokenizeScript(Text, Tokens);

  auto ReadType = [&Tokens]() -> TTypeBits {
    TTypeBits Bits = 0;
    if (Tokens.Accept(ttVar)) {
      Bits |= tbVar;
      if (Tokens.Accept(ttArrayWord)) Bits |= tbArray;
    } else if (Tokens.Accept(ttArrayWord)) {
      Bits |= tbArray;
    } else if (Tokens.Accept(ttFunc)) {
      Bits |= tbFunc;
    }
    static constexpr struct {
      std::uint8_t Word;
      TTypeBits Bits;
    } Bases[] = {{ttIntegerWord, tbInteger}, {ttFloatWord, tbFloat}, {ttStringWord, tbString},
                 {ttBooleanWord, tbBoolean}, {ttMultWord, tbMult},   {ttAddWord, tbAdd},
                 {ttAllWord, tbAll},         {ttVoidWord, tbVoid}};
    bool Found = false;
    for (const auto& B : Bases)
      if (Tokens.Accept(B.Word)) {
        Bits |= B.Bits;
        Found = true;
        break;
      }
    if (!Found) Tokens.RaiseSyntaxError(ScriptMessageText(smTypeNameExpected));
    if (Tokens.Accept(ttOpen)) Bits |= tbOpen;
    return Bits;
  };

  if (!Tokens.IsNext(ttIdentifier)) Tokens.RaiseSyntaxError(ScriptMessageText(smNameExpected));
  std::string Name = Tokens.FirstToken().Text;
  Tokens.RemoveFirst();

  std::vector<TTypes> Patterns;
  do {
    if (!Tokens.Accept(ttOpenParen)) Tokens.RaiseSyntaxError(ScriptMessageText(smOpenParenExpected));
    TTypes Pattern;
    if (!Tokens.Accept(ttCloseParen)) {
      for (;;) {
        Pattern.Add(ReadType());
        if (Tokens.Accept(ttComma)) continue;
        if (Tokens.Accept(ttCloseParen)) break;
        Tokens.RaiseSyntaxError(ScriptMessageText(smCloseParenExpected));
      }
    }
    Patterns.push_back(std::move(Pattern));
  } while (Tokens.Accept(ttComma));

  TTypeBits Result = tbVoid;
  if (Tokens.Accept(ttColon)) Result = ReadType();

  FName = std::move(Name);
  FPatterns = std::move(Patterns);
  FResultType = Result;
}

void TFunc::SetFuncs(TFuncs* Funcs) {
  if (Funcs == FFuncs && (Funcs == nullptr || FRegistered)) return;
  if (FFuncs && FRegistered) FFuncs->RemoveFunction(FRegistered);  // freed here
  FFuncs = nullptr;
  FRegistered = nullptr;
  if (!Funcs) return;
  auto F = std::make_unique<TCompFunction>(*this, FName, FResultType);
  for (const TTypes& P : FPatterns) F->AddPattern(P);
  TCompFunction* Raw = F.get();
  Funcs->AddFunction(std::move(F));  // a refused name leaves the component unregistered
  FFuncs = Funcs;
  FRegistered = Raw;
}

void TFunc::SetOnEval(TOnEvalEvent Handler) {
  FOnEval = std::move(Handler);
  FOnExEval = nullptr;
}

void TFunc::SetOnExEval(TOnExEvalEvent Handler) {
  FOnExEval = std::move(Handler);
  FOnEval = nullptr;
}

void TFunc::ForgetRegistry() {
  FFuncs = nullptr;
  FRegistered = nullptr;
}
