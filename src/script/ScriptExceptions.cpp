#include "script/ScriptExceptions.h"

namespace {

struct TMessageEntry {
  TScriptMessage Id;
  const char* Text;
};

constexpr TMessageEntry Messages[] = {
    {smNumberPointOrExponentExpected, "Number, point or exponent expected"},
    {smNumberOrExponentExpected, "Number or exponent expected"},
    {smNumberOrMinusExpected, "Number or minus expected"},
    {smStringExpected, "String expected"},
    {smGreaterOrEqualExpected, "\">\" or \"=\" expected"},
    {smInvalidHexConstant, "Invalid hexadezimal constant \"%s\""},
    {smInvalidCharConstant, "Invalid char constant \"%s\""},
    {smFunctionExists, "A function with this name (\"%s\") is already existing"},
    {smFunctionsNotDefined, "Property \"Functions\" is not defined"},
    {smScriptNotCompiled, "Script isn't compiled!"},
    {smSyntaxError, "Syntaxerror: %s [Position %d]"},
    {smRuntimeError, "Runtimeerror: %s [Position %d]"},
    {smScriptStopped, "Script stopped."},
    {smInvalidDeclaration, "Invalid expression for declaration \"%s\""},
    {smNameExists, "Name \"%s\" is already existing"},
    {smNameExpected, "Name expected"},
    {smAssignmentExpected, "Assignment\":=\" expected."},
    {smVariableExpected, "Variable expected."},
    {smEqualExpected, "\"=\" expected."},
    {smExpressionExpected, "Expression expected."},
    {smAssignToConstant, "Can't assign value to a constant"},
    {smTypeNameExpected, "Name of a type or \")\" expected"},
    {smHexNumberExpected, "Hexadezimal number expected"},
    {smEndOfStringNotFound, "End of string not found."},
    {smArrayIndexExpected, "Array index expected"},
    {smClosingBracketExpected, "Closing bracket \"]\" expected"},
    {smFunctionNotFound, "Function %s not found"},
    {smInvalidCharacter, "Invalid character"},
    {smNumberExpected, "Number expected"},
    {smCharacterOrNumberExpected, "Character or number expected"},
    {smVariableNotDefined, "Variable %s is not defined."},
    {smVariableTypeMismatch, "Variable %s expects type %s instead of type %s."},
    {smFunctionNotDefined, "Function %s is not defined"},
    {smTooManyArguments, "Too many arguments for function %s!"},
    {smArgumentTypeMismatch, "Funktion %s expects type %s instead of type %s at argument %d"},
    {smNotEnoughArguments, "Not enough arguments for function %s (%d instead of %d)."},
    {smResultTypeMismatch, "Function %s returns type %s instead of %s"},
    {smNoEvalHandler, "Can't evaluate function %s. Event OnEval/OnExEval not definied!"},
    {smIndexOutOfBounds, "Array index out of bounds (%s[%d])"},
    {smNoPatternFits,
     "The arguments don't fit to a parameter pattern:\n\rArguments: %s\n\rParameter patterns:\n\r"
     "%s\n\rFunction: %s"},
    {smSemicolonExpected, "\";\" expected."},
    {smThenExpected, "THEN expected."},
    {smToExpected, "TO expected."},
    {smDoExpected, "DO expected."},
    {smOpenParenExpected, "\"(\" expected."},
    {smCloseParenExpected, "\")\" expected."},
};

}  // namespace

const char* ScriptMessageText(TScriptMessage Id) {
  for (const TMessageEntry& M : Messages)
    if (M.Id == Id) return M.Text;
  return "";
}

std::string FormatPieces(std::string_view Pattern, std::initializer_list<std::string_view> Args) {
  std::string Result;
  Result.reserve(Pattern.size() + 32);
  auto Next = Args.begin();
  for (std::size_t I = 0; I < Pattern.size(); ++I) {
    const char C = Pattern[I];
    if (C == '%' && I + 1 < Pattern.size()) {
      const char K = Pattern[I + 1];
      if (K == '%') {
        Result += '%';
        ++I;
        continue;
      }
      if ((K == 's' || K == 'd') && Next != Args.end()) {
        Result += *Next++;
        ++I;
        continue;
      }
    }
    Result += C;
  }
  return Result;
}
