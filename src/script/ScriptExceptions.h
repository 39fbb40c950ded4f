#pragma once
// Failures of the script language: the message table (fixed English texts under fixed numbers)
// and the exception classes that carry them. Syntax and run-time errors carry the 1-based
// character position in the script text at which they were found.
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "foundation/Exception.h"
#include "foundation/NumberText.h"

enum TScriptMessage : int {
  smNumberPointOrExponentExpected = 65248,
  smNumberOrExponentExpected = 65249,
  smNumberOrMinusExpected = 65250,
  smStringExpected = 65251,
  smGreaterOrEqualExpected = 65252,
  smInvalidHexConstant = 65253,
  smInvalidCharConstant = 65254,
  smFunctionExists = 65255,
  smFunctionsNotDefined = 65256,
  smScriptNotCompiled = 65257,
  smSyntaxError = 65258,
  smRuntimeError = 65259,
  smScriptStopped = 65260,
  smInvalidDeclaration = 65261,
  smNameExists = 65264,
  smNameExpected = 65265,
  smAssignmentExpected = 65266,
  smVariableExpected = 65267,
  smEqualExpected = 65268,
  smExpressionExpected = 65269,
  smAssignToConstant = 65270,
  smTypeNameExpected = 65271,
  smHexNumberExpected = 65272,
  smEndOfStringNotFound = 65273,
  smArrayIndexExpected = 65274,
  smClosingBracketExpected = 65275,
  smFunctionNotFound = 65276,
  smInvalidCharacter = 65277,
  smNumberExpected = 65278,
  smCharacterOrNumberExpected = 65279,
  smVariableNotDefined = 65280,
  smVariableTypeMismatch = 65281,
  smFunctionNotDefined = 65282,
  smTooManyArguments = 65283,
  smArgumentTypeMismatch = 65284,
  smNotEnoughArguments = 65285,
  smResultTypeMismatch = 65286,
  smNoEvalHandler = 65287,
  smIndexOutOfBounds = 65288,
  smNoPatternFits = 65289,
  smSemicolonExpected = 65290,
  smThenExpected = 65291,
  smToExpected = 65292,
  smDoExpected = 65293,
  smOpenParenExpected = 65294,
  smCloseParenExpected = 65295,
};

// The text of a message; empty for a number that is not in the table.
const char* ScriptMessageText(TScriptMessage Id);

// Fills "%s" and "%d" of Pattern with the arguments in order ("%%" is one "%"); a
// placeholder without an argument stays as written, arguments beyond the last are ignored.
std::string FormatPieces(std::string_view Pattern, std::initializer_list<std::string_view> Args);

inline std::string FormatArgText(std::string_view V) { return std::string(V); }
inline std::string FormatArgText(const std::string& V) { return V; }
inline std::string FormatArgText(const char* V) { return V ? std::string(V) : std::string(); }
inline std::string FormatArgText(char V) { return std::string(1, V); }
template <std::integral T>
  requires(!std::same_as<T, char> && !std::same_as<T, bool>)
std::string FormatArgText(T V) {
  return IntToStr(static_cast<std::int64_t>(V));
}

template <class... Ts>
std::string FormatText(std::string_view Pattern, const Ts&... Args) {
  // The argument texts live until the end of this full expression, past the call.
  return FormatPieces(Pattern, {std::string_view(FormatArgText(Args))...});
}

// The message Id filled in with the arguments.
template <class... Ts>
std::string ScriptMessage(TScriptMessage Id, const Ts&... Args) {
  static_assert(sizeof...(Ts) <= 5, "no message has more than five placeholders");
  return FormatText(ScriptMessageText(Id), Args...);
}

// A script error found at a place in the script text. what() is the full text the user sees;
// Detail() the message inside it.
class EScriptError : public EBrenmoor {
public:
  std::int32_t Position() const { return FPosition; }
  const std::string& Detail() const { return FDetail; }

protected:
  EScriptError(const std::string& FullText, std::string Detail, std::int32_t Position)
      : EBrenmoor(FullText), FDetail(std::move(Detail)), FPosition(Position) {}

private:
  std::string FDetail;
  std::int32_t FPosition;
};

// "Syntaxerror: <message> [Position <n>]": the text could not be read.
class ESyntaxError : public EScriptError {
public:
  ESyntaxError(const std::string& Message, std::int32_t Position)
      : EScriptError(ScriptMessage(smSyntaxError, Message, Position), Message, Position) {}
};

// "Runtimeerror: <message> [Position <n>]": a call failed while the script ran.
class ERuntimeError : public EScriptError {
public:
  ERuntimeError(const std::string& Message, std::int32_t Position)
      : EScriptError(ScriptMessage(smRuntimeError, Message, Position), Message, Position) {}
};

// A failed run-time check inside a call; the call node turns it into an ERuntimeError at
// its own position.
class ERTE : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// A run spent its steps (see TFuncs::SetStepBudget); the call node turns it into EStepsSpent at
// its position.
class EStepBudget : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// The run-time error of a run that spent its steps: a kind of its own, so that the host can
// tell a script that does not end from one that fails.
class EStepsSpent : public ERuntimeError {
public:
  using ERuntimeError::ERuntimeError;
};

// A stop was requested; the call node turns it into "Script stopped." at its position.
class EStop : public EBrenmoor {
public:
  EStop() : EBrenmoor("") {}
};

// The registry or a script component was used wrongly: a duplicate function name, an empty
// declaration, no registry to compile against, running what was never compiled.
class EScriptUsage : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};
