#pragma once
// One script of the script language: its text, the function registry it is compiled
// against, its constants and variables, and the expression tree that compiling makes. A
// computer player's brain is a script.
//
// Compiling reads the text with a recursive-descent parser in which every statement and
// every operator becomes a call of a registered function ("BEGIN", "SET", "+", ...);
// operators of one level group to the left, and an operator whose operands are constants
// is evaluated at once. Running evaluates the tree. Both refuse to start again (they return
// false) while the same script compiles or runs, which is what happens when the window
// system's message processing during a call asks for the script once more.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "script/ScriptFunctions.h"

class TScript : private TFuncs::TListener {
public:
  // The deepest nesting of expressions and statements a script may have: evaluation goes
  // one call deeper per level, and a script beyond this is refused as a syntax error
  // instead of exhausting the stack.
  static constexpr std::int32_t MaxNesting = 500;

  // Sender is this script; Text is the message the user is to see.
  using TShowMessageEvent = std::function<void(TScript* Sender, const std::string& Text)>;

  TScript() = default;
  virtual ~TScript();
  TScript(const TScript&) = delete;
  TScript& operator=(const TScript&) = delete;

  // The registry names are looked up in; required for compiling. It must outlive the tree:
  // when the registry is destroyed first, the script forgets it and its tree.
  TFuncs* Functions() const { return FFunctions; }
  void SetFunctions(TFuncs* Funcs);

  const std::string& Text() const { return FText; }
  // Marks the script not compiled.
  void SetText(std::string Text);

  // True (the default): errors of Compile and Execute reach the caller as exceptions.
  // False: they are shown through OnShowMessage and the operation returns false.
  bool Exceptions() const { return FExceptions; }
  void SetExceptions(bool Value) { FExceptions = Value; }

  bool Compiled() const { return FCompiled; }
  bool Running() const { return FRunning; }
  bool Compiling() const { return FCompiling; }
  // The call node of the whole program; nullptr before a successful compile.
  TFuncExpr* Root() const { return FRoot.get(); }

  // True when the text was compiled. False at once while the script compiles or runs.
  bool Compile();
  // True when the whole program ran without an error. Compiles first when the text is not
  // compiled. False at once while the script compiles or runs.
  bool Execute();

  // The steps (calls, passes of loops without one) that the last compile or run took,
  // counted against the registry's step budget (TFuncs::SetStepBudget).
  std::uint64_t LastSteps() const { return FLastSteps; }

  // The named values, in order of creation. Lookup is by upper-cased name; the first item
  // of a name wins.
  void AddDataItem(std::unique_ptr<TDataItem> Item);
  TDataItem* FindDataItem(std::string_view Name) const;
  // The variable of that name, made when no item has the name; nullptr when the name
  // belongs to a constant.
  TVariable* GetVariable(std::string_view Name);
  TConstant* FindConstant(std::string_view Name) const;
  std::int32_t DataItemCount() const { return static_cast<std::int32_t>(FItems.size()); }
  TDataItem* DataItems(std::int32_t I) const { return FItems[static_cast<std::size_t>(I)].get(); }

  // Where errors go when Exceptions is false (a message box in the program).
  TShowMessageEvent OnShowMessage;

private:
  void FuncsDestroying(TFuncs& Funcs) override;
  void ClearItems();
  // Shows or re-raises the error being handled, as Exceptions says.
  void HandleError();

  TFuncs* FFunctions = nullptr;
  std::string FText;
  bool FExceptions = true;
  bool FCompiled = false;
  bool FRunning = false;
  bool FCompiling = false;
  std::uint64_t FLastSteps = 0;
  std::unique_ptr<TFuncExpr> FRoot;
  std::vector<std::unique_ptr<TDataItem>> FItems;
  std::unordered_map<std::string, TDataItem*> FItemsByName;
};

// The line and column (both from 1) of a script error's position (the 1-based character
// position in the text); a position past the end is the place after the last character.
struct TScriptPlace {
  std::int32_t Line = 1;
  std::int32_t Column = 1;
};
TScriptPlace ScriptPlace(std::string_view Text, std::int32_t Position);

// "Script Error: <message> Position: <position>", as a script error is shown to the user.
std::string ScriptErrorText(const std::string& Message, std::int32_t Position);
