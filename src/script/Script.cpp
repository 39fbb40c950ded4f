#include "script/Script.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "foundation/NumberText.h"
#include "script/ScriptTokenizer.h"

namespace {

const char* const NestingTooDeep = "Script nested too deeply (more than 500 levels)";
static_assert(TScript::MaxNesting == 500, "the message names the limit");

// The recursive-descent parser of one compile. It reads the tokens from the front; every
// node stands at the last token position at the moment it is made unless said otherwise.
class TParser {
public:
  TParser(TScript& Script, TFuncs& Funcs, TTokenList& Tokens) : FScript(Script), FFuncs(Funcs), FTokens(Tokens) {}

  std::unique_ptr<TFuncExpr> Program() {
    FTokens.Accept(ttScript);
    auto Root = MakeCall("SCRIPT", -1);
    while (FTokens.Accept(ttConst)) ConstantDeclaration();
    while (!FTokens.Empty()) {
      Root->AddArg(Statement());
      if (!FTokens.Accept(ttSemicolon) && !FTokens.Empty()) Error(smSemicolonExpected);
    }
    Finish(*Root);
    return Root;
  }

private:
  // Counts the parser's own recursion, which nested brackets and blocks drive.
  class TLevel {
  public:
    explicit TLevel(TParser& P) : FParser(P) {
      if (++FParser.FLevel > TScript::MaxNesting) FParser.FTokens.RaiseSyntaxError(NestingTooDeep);
    }
    ~TLevel() { --FParser.FLevel; }
    TLevel(const TLevel&) = delete;
    TLevel& operator=(const TLevel&) = delete;

  private:
    TParser& FParser;
  };

  [[noreturn]] void Error(TScriptMessage Id) const { FTokens.RaiseSyntaxError(ScriptMessageText(Id)); }

  std::unique_ptr<TFuncExpr> MakeCall(const char* Name, std::int32_t Position) {
    return std::make_unique<TFuncExpr>(&FFuncs, Position, Name);
  }
  std::unique_ptr<TFuncExpr> MakeCall(const char* Name) { return MakeCall(Name, FTokens.LastTokenPosition()); }

  // The depth of the tree below a node: evaluation recurses once per level.
  std::int32_t Depth(const TExpr& E) const {
    if (E.Kind() == ekConst || E.Kind() == ekVariable) return 1;
    const auto It = FDepths.find(&E);
    return It == FDepths.end() ? 1 : It->second;
  }
  void SetDepth(const TExpr& E, std::int32_t D) {
    if (D > TScript::MaxNesting) throw ESyntaxError(NestingTooDeep, E.Position());
    FDepths[&E] = D;
  }
  // Records the depth of a call node whose arguments are all added.
  void Finish(const TFuncExpr& Node) {
    std::int32_t D = 0;
    for (const auto& A : Node.Args()) D = std::max(D, Depth(*A));
    SetDepth(Node, D + 1);
  }
  std::unique_ptr<TExpr> Finished(std::unique_ptr<TFuncExpr> Node) {
    Finish(*Node);
    return Node;
  }

  // The first of Types that comes next, or 0.
  std::uint8_t NextOf(std::initializer_list<std::uint8_t> Types) {
    for (std::uint8_t T : Types)
      if (FTokens.IsNext(T)) return T;
    return 0;
  }

  // CONST name = expression ;
  void ConstantDeclaration() {
    std::string Name;
    if (FTokens.IsNext(ttIdentifier)) {
      Name = FTokens.FirstToken().Text;
      FTokens.RemoveFirst();
    }
    if (!FTokens.Accept(ttEqual)) Error(smEqualExpected);
    FTokens.IsNext(0);  // drops the blanks
    if (FTokens.Empty()) Error(smNameExpected);
    TValue Value = Expression()->Evaluate();
    FScript.AddDataItem(std::make_unique<TConstant>(std::move(Name), std::move(Value)));
    if (!FTokens.Accept(ttSemicolon)) Error(smSemicolonExpected);
  }

  std::unique_ptr<TExpr> Statement() {
    TLevel Level(*this);
    if (FTokens.Accept(ttBegin)) {
      auto Node = MakeCall("BEGIN");
      while (!FTokens.Accept(ttEnd)) {
        Node->AddArg(Statement());
        if (!FTokens.Accept(ttSemicolon) && !FTokens.IsNext(ttEnd)) Error(smSemicolonExpected);
      }
      return Finished(std::move(Node));
    }
    if (FTokens.Accept(ttSemicolon)) return Finished(MakeCall("BEGIN"));
    return SimpleStatement();
  }

  std::unique_ptr<TExpr> SimpleStatement() {
    if (FTokens.Accept(ttIf)) {
      const std::int32_t Position = FTokens.LastTokenPosition();
      auto Condition = Expression();
      if (!FTokens.Accept(ttThen)) Error(smThenExpected);
      auto Then = Statement();
      std::unique_ptr<TFuncExpr> Node;
      if (FTokens.Accept(ttElse)) {
        auto Else = Statement();
        Node = MakeCall("ELSE", Position);
        Node->AddArg(std::move(Condition));
        Node->AddArg(std::move(Then));
        Node->AddArg(std::move(Else));
      } else {
        Node = MakeCall("IF", Position);
        Node->AddArg(std::move(Condition));
        Node->AddArg(std::move(Then));
      }
      return Finished(std::move(Node));
    }
    if (FTokens.Accept(ttWhile)) {
      auto Node = MakeCall("WHILE");
      Node->AddArg(Expression());
      if (!FTokens.Accept(ttDo)) Error(smDoExpected);
      Node->AddArg(Statement());
      return Finished(std::move(Node));
    }
    if (FTokens.Accept(ttRepeat)) {
      const std::int32_t Position = FTokens.LastTokenPosition();
      std::vector<std::unique_ptr<TExpr>> Body;
      while (!FTokens.Accept(ttUntil)) {
        Body.push_back(Statement());
        if (!FTokens.Accept(ttSemicolon) && !FTokens.IsNext(ttUntil)) Error(smSemicolonExpected);
      }
      auto Condition = Expression();
      auto Node = MakeCall("REPEAT", Position);
      Node->AddArg(std::move(Condition));
      for (auto& S : Body) Node->AddArg(std::move(S));
      return Finished(std::move(Node));
    }
    if (FTokens.Accept(ttFor)) {
      auto Node = MakeCall("FOR");
      Node->AddArg(VariableReference());
      if (!FTokens.Accept(ttAssign)) Error(smAssignmentExpected);
      Node->AddArg(Expression());
      std::int32_t Step = 0;
      if (FTokens.Accept(ttTo)) {
        Step = 1;
      } else if (FTokens.Accept(ttDownto)) {
        Step = -1;
      } else {
        Error(smToExpected);
      }
      Node->AddArg(Expression());
      Node->AddArg(std::make_unique<TConstExpr>(TValue(Step), FTokens.LastTokenPosition()));
      if (!FTokens.Accept(ttDo)) Error(smDoExpected);
      Node->AddArg(Statement());
      return Finished(std::move(Node));
    }
    FTokens.IsNext(0);  // drops the blanks
    if (!FTokens.Empty() && (FTokens.IsNextButOne(ttAssign) || FTokens.IsNextButOne(ttOpenBracket))) {
      if (!FTokens.IsNext(ttIdentifier)) Error(smVariableExpected);
      auto Node = MakeCall("SET");
      Node->AddArg(VariableReference());
      if (!FTokens.Accept(ttAssign)) Error(smAssignmentExpected);
      Node->AddArg(Expression());
      return Finished(std::move(Node));
    }
    if (FTokens.Empty()) return Finished(MakeCall("BEGIN"));
    if (!FTokens.IsNext(ttIdentifier)) Error(smNameExpected);
    return Call();
  }

  // name [ "(" [ expression { "," expression } ] ")" ], the name next.
  std::unique_ptr<TExpr> Call() {
    auto Node = MakeCall(FTokens.FirstToken().Text.c_str());
    FTokens.RemoveFirst();
    if (FTokens.Accept(ttOpenParen) && !FTokens.Accept(ttCloseParen)) {
      do {
        Node->AddArg(Expression());
      } while (FTokens.Accept(ttComma));
      if (!FTokens.Accept(ttCloseParen)) Error(smCloseParenExpected);
    }
    return Finished(std::move(Node));
  }

  // A two-operand operator node; evaluated at once when both operands are constants.
  std::unique_ptr<TExpr> Operator(const char* Name, std::int32_t Position, std::unique_ptr<TExpr> Left,
                                  std::unique_ptr<TExpr> Right) {
    const bool Constant = Left->IsConstant() && Right->IsConstant();
    auto Node = MakeCall(Name, Position);
    Node->AddArg(std::move(Left));
    Node->AddArg(std::move(Right));
    Finish(*Node);
    if (!Constant) return Node;
    return std::make_unique<TConstExpr>(Node->Evaluate(), Position);
  }

  std::unique_ptr<TExpr> Expression() {
    TLevel Level(*this);
    auto Left = SimpleExpression();
    static constexpr struct {
      std::uint8_t Type;
      const char* Name;
    } Relations[] = {{ttEqual, "="},         {ttUnequal, "<>"}, {ttGreater, ">"},
                     {ttGreaterEqual, ">="}, {ttLess, "<"},     {ttLessEqual, "<="}};
    for (const auto& R : Relations)
      if (FTokens.Accept(R.Type)) {
        const std::int32_t Position = FTokens.LastTokenPosition();
        return Operator(R.Name, Position, std::move(Left), SimpleExpression());
      }
    return Left;
  }

  std::unique_ptr<TExpr> SimpleExpression() {
    auto Left = Term();
    for (;;) {
      const std::uint8_t Op = NextOf({ttPlus, ttMinus, ttOr, ttXor});
      if (Op == 0) return Left;
      FTokens.Accept(Op);
      const std::int32_t Position = FTokens.LastTokenPosition();
      const char* Name = Op == ttPlus ? "+" : Op == ttMinus ? "-" : Op == ttOr ? "OR" : "XOR";
      Left = Operator(Name, Position, std::move(Left), Term());
    }
  }

  std::unique_ptr<TExpr> Term() {
    auto Left = Factor();
    for (;;) {
      const std::uint8_t Op = NextOf({ttTimes, ttSlash, ttDiv, ttMod, ttAnd});
      if (Op == 0) return Left;
      FTokens.Accept(Op);
      const std::int32_t Position = FTokens.LastTokenPosition();
      const char* Name = Op == ttTimes ? "*" : Op == ttSlash ? "/" : Op == ttDiv ? "DIV" : Op == ttMod ? "MOD" : "AND";
      Left = Operator(Name, Position, std::move(Left), Factor());
    }
  }

  // "-" and NOT: applied at once to a constant operand.
  std::unique_ptr<TExpr> Unary(const char* Name, TValue (*Fold)(const TValue&)) {
    const std::int32_t Position = FTokens.LastTokenPosition();
    auto Operand = Factor();
    if (Operand->IsConstant()) {
      try {
        return std::make_unique<TConstExpr>(Fold(static_cast<TConstExpr&>(*Operand).Value()), Position);
      } catch (const EValueError& E) {
        throw ERuntimeError(E.what(), Position);
      }
    }
    auto Node = MakeCall(Name, Position);
    Node->AddArg(std::move(Operand));
    return Finished(std::move(Node));
  }

  std::unique_ptr<TExpr> Factor() {
    TLevel Level(*this);
    if (FTokens.Accept(ttPlus)) return Factor();
    if (FTokens.Accept(ttMinus)) return Unary("~", ValueNegate);
    if (FTokens.Accept(ttNot)) return Unary("NOT", ValueNot);
    if (FTokens.Accept(ttOpenParen)) {
      auto E = Expression();
      if (!FTokens.Accept(ttCloseParen)) Error(smCloseParenExpected);
      return E;
    }
    if (FTokens.IsNext(ttIdentifier)) {
      const std::string& Name = FTokens.FirstToken().Text;
      if (FFuncs.FindFunction(Name)) return Call();
      if (FTokens.IsNextButOne(ttOpenParen)) FTokens.RaiseSyntaxError(ScriptMessage(smFunctionNotFound, Name));
      if (TConstant* C = FScript.FindConstant(Name)) {
        const std::int32_t Position = FTokens.LastTokenPosition();
        FTokens.RemoveFirst();
        return std::make_unique<TConstExpr>(C->Value(), Position);
      }
      return VariableReference();
    }
    return Literal();
  }

  std::unique_ptr<TExpr> Literal() {
    if (FTokens.IsNext(ttStringLit)) {
      const std::int32_t Position = FTokens.LastTokenPosition();
      std::string Text = FTokens.FirstToken().Text;
      FTokens.RemoveFirst();
      // Literals written one against the other ('abc'#13#10) are one text.
      while (!FTokens.Empty() && FTokens.Token(0).Type == ttStringLit) {
        Text += FTokens.Token(0).Text;
        FTokens.RemoveFirst();
      }
      return std::make_unique<TConstExpr>(TValue(std::move(Text)), Position);
    }
    if (FTokens.IsNext(ttIntegerLit)) {
      const std::int32_t Position = FTokens.LastTokenPosition();
      const std::string Text = FTokens.FirstToken().Text;
      const auto V = TryStrToInt(Text);
      if (!V) throw ESyntaxError("'" + Text + "' is not a valid integer value", Position);
      FTokens.RemoveFirst();
      return std::make_unique<TConstExpr>(TValue(*V), Position);
    }
    if (FTokens.IsNext(ttFloatLit)) {
      const std::int32_t Position = FTokens.LastTokenPosition();
      const std::string Text = FTokens.FirstToken().Text;
      const auto V = TryStrToFloat(Text);
      if (!V || !std::isfinite(static_cast<double>(*V)))
        throw ESyntaxError("'" + Text + "' is not a valid floating point value", Position);
      FTokens.RemoveFirst();
      return std::make_unique<TConstExpr>(TValue(static_cast<double>(*V)), Position);
    }
    Error(smExpressionExpected);
  }

  // A variable or an element as the target of an assignment or of FOR, or read in an
  // expression.
  std::unique_ptr<TExpr> VariableReference() {
    if (!FTokens.IsNext(ttIdentifier)) Error(smVariableExpected);
    const std::int32_t Position = FTokens.LastTokenPosition();
    const std::string Name = FTokens.FirstToken().Text;
    TVariable* V = FScript.GetVariable(Name);
    FTokens.RemoveFirst();
    if (!V) Error(smAssignToConstant);
    if (FFuncs.FindFunction(Name)) FTokens.RaiseSyntaxError(ScriptMessage(smNameExists, Name));
    if (FTokens.Accept(ttOpenBracket)) {
      FTokens.IsNext(0);  // drops the blanks
      if (FTokens.Empty() || FTokens.IsNext(ttCloseBracket)) Error(smArrayIndexExpected);
      auto Index = Expression();
      if (!FTokens.Accept(ttCloseBracket)) Error(smClosingBracketExpected);
      auto Element = std::make_unique<TArrayExpr>(*V, Position, std::move(Index));
      SetDepth(*Element, Depth(Element->Index()) + 1);
      return Element;
    }
    return std::make_unique<TVarExpr>(*V, Position);
  }

  TScript& FScript;
  TFuncs& FFuncs;
  TTokenList& FTokens;
  std::int32_t FLevel = 0;
  std::unordered_map<const TExpr*, std::int32_t> FDepths;
};

// Sets a flag for the lifetime of the guard.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& FFlag;
};

// Counts the steps of one compile or run of a script against the registry's budget, afresh, and
// hands the count of a run that this one interrupted back at its end.
class TStepGuard {
public:
  TStepGuard(TFuncs* Funcs, std::uint64_t& Taken) : FFuncs(Funcs), FTaken(Taken) {
    if (FFuncs) FWas = FFuncs->StartSteps();
  }
  ~TStepGuard() {
    if (!FFuncs) return;
    FTaken = FFuncs->StepsTaken();
    FFuncs->ResumeSteps(FWas);
  }
  TStepGuard(const TStepGuard&) = delete;
  TStepGuard& operator=(const TStepGuard&) = delete;

private:
  TFuncs* FFuncs;
  std::uint64_t& FTaken;
  TFuncs::TStepCount FWas{};
};

}  // namespace

TScriptPlace ScriptPlace(std::string_view Text, std::int32_t Position) {
  TScriptPlace Place;
  const std::size_t End = Position < 1 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(Position) - 1, Text.size());
  std::size_t LineStart = 0;
  for (std::size_t I = 0; I < End; ++I) {
    // A line ends with a line feed, a carriage return, or both in that order (one end).
    if (Text[I] == '\n' || (Text[I] == '\r' && (I + 1 >= Text.size() || Text[I + 1] != '\n'))) {
      ++Place.Line;
      LineStart = I + 1;
    }
  }
  Place.Column = static_cast<std::int32_t>(End - LineStart) + 1;
  return Place;
}

std::string ScriptErrorText(const std::string& Message, std::int32_t Position) {
  return "Script Error: " + Message + " Position: " + IntToStr(Position);
}

TScript::~TScript() {
  if (FFunctions) FFunctions->RemoveListener(this);
  FRoot.reset();
}

void TScript::SetFunctions(TFuncs* Funcs) {
  if (Funcs == FFunctions) return;
  if (FFunctions) FFunctions->RemoveListener(this);
  FFunctions = Funcs;
  if (FFunctions) FFunctions->AddListener(this);
  FCompiled = false;
  // A tree that is being evaluated stays until its run ends; it is never run again.
  if (!FRunning && !FCompiling) FRoot.reset();
}

void TScript::FuncsDestroying(TFuncs& Funcs) {
  if (&Funcs != FFunctions) return;
  FFunctions = nullptr;
  FCompiled = false;
  if (!FRunning && !FCompiling) FRoot.reset();
}

void TScript::SetText(std::string Text) {
  FText = std::move(Text);
  FCompiled = false;
}

void TScript::AddDataItem(std::unique_ptr<TDataItem> Item) {
  if (!Item) return;
  FItemsByName.emplace(Item->Name(), Item.get());  // an earlier item of the name stays first
  FItems.push_back(std::move(Item));
}

TDataItem* TScript::FindDataItem(std::string_view Name) const {
  const auto It = FItemsByName.find(UpperCaseName(std::string(Name)));
  return It == FItemsByName.end() ? nullptr : It->second;
}

TVariable* TScript::GetVariable(std::string_view Name) {
  if (TDataItem* Item = FindDataItem(Name)) return Item->IsConstant() ? nullptr : dynamic_cast<TVariable*>(Item);
  auto V = std::make_unique<TVariable>(std::string(Name));
  TVariable* Raw = V.get();
  AddDataItem(std::move(V));
  return Raw;
}

TConstant* TScript::FindConstant(std::string_view Name) const {
  TDataItem* Item = FindDataItem(Name);
  return Item && Item->IsConstant() ? static_cast<TConstant*>(Item) : nullptr;
}

void TScript::ClearItems() {
  FItemsByName.clear();
  FItems.clear();
}

void TScript::HandleError() {
  try {
    throw;
  } catch (const EScriptError& E) {
    if (FExceptions) throw;
    if (OnShowMessage) OnShowMessage(this, ScriptErrorText(E.what(), E.Position()));
  } catch (const std::exception& E) {
    if (FExceptions) throw;
    if (OnShowMessage) OnShowMessage(this, E.what());
  }
}

bool TScript::Compile() {
  if (FRunning || FCompiling) return false;
  if (FFunctions) FFunctions->SetStopped(false);
  TFlagGuard Compiling(FCompiling);
  const TStepGuard Steps(FFunctions, FLastSteps);
  FCompiled = false;
  try {
    if (!FFunctions) throw EScriptUsage(ScriptMessageText(smFunctionsNotDefined));
    FRoot.reset();
    ClearItems();
    AddDataItem(std::make_unique<TConstant>("TRUE", TValue(true)));
    AddDataItem(std::make_unique<TConstant>("FALSE", TValue(false)));
    AddDataItem(std::make_unique<TConstant>("tSTRING", TValue(std::int32_t{tbString})));
    AddDataItem(std::make_unique<TConstant>("tINTEGER", TValue(std::int32_t{tbInteger})));
    AddDataItem(std::make_unique<TConstant>("tFLOAT", TValue(std::int32_t{tbFloat})));
    AddDataItem(std::make_unique<TConstant>("tBOOLEAN", TValue(std::int32_t{tbBoolean})));

    TTokenList Tokens;
    TokenizeScript(FText, Tokens);
    TToken Start;
    Start.Type = ttScript;
    Tokens.InsertFirst(std::move(Start));
    FRoot = TParser(*this, *FFunctions, Tokens).Program();
    FCompiled = true;
    return true;
  } catch (...) {
    FRoot.reset();
    HandleError();
    return false;
  }
}

bool TScript::Execute() {
  if (FRunning || FCompiling) return false;
  if (!FCompiled) Compile();
  if (FFunctions) FFunctions->SetStopped(false);
  TFlagGuard Running(FRunning);
  const TStepGuard Steps(FFunctions, FLastSteps);
  try {
    if (!FRoot) throw EScriptUsage(ScriptMessageText(smScriptNotCompiled));
    TValue Dropped;
    FRoot->Eval(Dropped);
    return true;
  } catch (...) {
    HandleError();
    return false;
  }
}
