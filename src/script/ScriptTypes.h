#pragma once
// Type bits of the script language, parameter patterns, the named values of a script
// (constants and variables) and the expression-tree nodes that read and store them.
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "script/ScriptExceptions.h"
#include "script/ScriptValue.h"

using TTypeBits = std::int32_t;

// One set of these flags describes a value, a formal parameter or an actual argument.
enum : TTypeBits {
  tbVoid = 1,      // no value yet / no result
  tbBoolean = 2,
  tbInteger = 4,
  tbFloat = 8,
  tbString = 16,
  tbVar = 32,      // a variable or an array element: passed unevaluated, assignable
  tbArray = 64,    // an array variable or element
  tbFunc = 128,    // a call node, passed unevaluated
  tbOpen = 256,    // in a pattern: this formal may match any number of further arguments
  tbMult = tbInteger | tbFloat,
  tbAdd = tbInteger | tbFloat | tbString,
  tbAll = 31,
  tbBaseMask = 31,
  tbModifierMask = tbVar | tbArray | tbFunc,
};

// "VOID" when VOID is set; otherwise the base names joined by "/" (INTEGER, FLOAT, STRING,
// BOOLEAN), prefixed by "FUNC ", then "VAR ", then "ARRAY ", and followed by " OPEN".
std::string TypeToText(TTypeBits Bits);
// The formal accepts the actual: they share a base bit and the actual has every modifier of
// the formal (OPEN plays no part).
bool TypeFits(TTypeBits Formal, TTypeBits Actual);
// The bits of a value: empty 1, Boolean 2, integer 4, float 8, string 16, array 65.
inline TTypeBits VariantTypeBits(const TValue& V) {
  static constexpr TTypeBits Bits[] = {tbVoid, tbBoolean, tbInteger, tbFloat, tbString, tbArray | tbVoid};
  return Bits[V.Kind()];
}
inline bool SameVariantType(const TValue& A, const TValue& B) { return VariantTypeBits(A) == VariantTypeBits(B); }

// One parameter pattern, or the types of the actual arguments of one call.
class TTypes {
public:
  TTypes() { FTypes.reserve(3); }
  explicit TTypes(std::int32_t Count) : FTypes(static_cast<std::size_t>(Count < 0 ? 0 : Count), 0) {}
  TTypes(std::initializer_list<TTypeBits> Types) : FTypes(Types) {}
  explicit TTypes(std::vector<TTypeBits> Types) : FTypes(std::move(Types)) {}

  std::int32_t Count() const { return static_cast<std::int32_t>(FTypes.size()); }
  // VOID outside 0..Count-1.
  TTypeBits GetType(std::int32_t I) const {
    return I >= 0 && I < Count() ? FTypes[static_cast<std::size_t>(I)] : tbVoid;
  }
  // Ignored outside 0..Count-1.
  void SetType(std::int32_t I, TTypeBits Bits) {
    if (I >= 0 && I < Count()) FTypes[static_cast<std::size_t>(I)] = Bits;
  }
  void Add(TTypeBits Bits) { FTypes.push_back(Bits); }
  // "(" each TypeToText separated by ", " ")"; "()" when empty.
  std::string ToText() const;

  bool operator==(const TTypes& Other) const { return FTypes == Other.FTypes; }

private:
  std::vector<TTypeBits> FTypes;
};

// Grows whenever something changes that a call site's last full check relies on: the type of
// a named value, the functions of a registry, a registry's stop flag. A call site that finds
// it unchanged since that check knows the check would pass again.
class TCallChecks {
public:
  static std::uint64_t Generation() { return FGeneration.load(std::memory_order_relaxed); }
  static void Changed() { FGeneration.fetch_add(1, std::memory_order_relaxed); }

private:
  static inline std::atomic<std::uint64_t> FGeneration{0};
};

// A named value of a script. The name is stored upper-cased.
class TDataItem {
public:
  virtual ~TDataItem() = default;
  const std::string& Name() const { return FName; }
  const TValue& Value() const { return FValue; }
  TValue& Value() { return FValue; }
  void SetValue(TValue V) { FValue = std::move(V); }
  TTypeBits Type() const { return FType; }
  void SetType(TTypeBits T) {
    if (T == FType) return;
    FType = T;
    TCallChecks::Changed();
  }
  virtual bool IsConstant() const { return false; }

protected:
  explicit TDataItem(std::string Name);

private:
  std::string FName;
  TValue FValue;
  TTypeBits FType = tbVoid;
};

// A named constant: its type is that of its value.
class TConstant : public TDataItem {
public:
  TConstant(std::string Name, TValue Value);
  bool IsConstant() const override { return true; }
};

// A variable: VOID and VAR, and empty, until its first assignment fixes its type.
class TVariable : public TDataItem {
public:
  explicit TVariable(std::string Name);
};

class TVarExpr;

// What a node is, so the evaluator tells nodes apart without casts.
enum TExprKind : std::uint8_t { ekConst, ekVariable, ekElement, ekCall, ekOther };

// A node of the expression tree. Each node owns its children; Position is the 1-based
// character position in the script text (-1 for none).
class TExpr {
public:
  TExpr(std::string Name, std::int32_t Position, TExprKind Kind = ekOther);
  virtual ~TExpr() = default;
  TExpr(const TExpr&) = delete;
  TExpr& operator=(const TExpr&) = delete;

  const std::string& Name() const { return FName; }
  std::int32_t Position() const { return FPosition; }
  TExprKind Kind() const { return FKind; }

  virtual TTypeBits GetType() const = 0;
  virtual void Eval(TValue& Result) = 0;
  TValue Evaluate() {
    TValue R;
    Eval(R);
    return R;
  }
  // The node's type as an actual argument: GetType plus ARRAY for an element, plus VAR for
  // a variable or element, plus FUNC for a call.
  inline TTypeBits ActualType() const;
  bool IsConstant() const { return FKind == ekConst; }
  // This node as a variable or element node, or nullptr.
  inline TVarExpr* AsVariable();

private:
  std::string FName;
  std::int32_t FPosition;
  TExprKind FKind;
};

// A value fixed when the node was made.
class TConstExpr : public TExpr {
public:
  TConstExpr(TValue Value, std::int32_t Position);
  TTypeBits GetType() const override { return VariantTypeBits(FValue); }
  void Eval(TValue& Result) override { Result = FValue; }
  const TValue& Value() const { return FValue; }
  // The value an evaluated argument is stored in (the call's own argument nodes only).
  TValue& MutableValue() { return FValue; }

private:
  TValue FValue;
};

// A script variable; the variable belongs to the script, not to the node.
class TVarExpr : public TExpr {
public:
  TVarExpr(TVariable& Item, std::int32_t Position);
  TVariable& Item() const { return *FItem; }

  TTypeBits GetType() const override { return FItem->Type(); }
  // Reading a variable that was never assigned raises "Variable X is not defined." as an
  // ERuntimeError at this node's position.
  void Eval(TValue& Result) override;
  // The variable's value itself, checked as Eval checks it (a plain variable node only).
  const TValue& Read() const {
    if (FItem->Type() & tbVoid) [[unlikely]]
      NotDefined();
    return FItem->Value();
  }
  // The first assignment fixes the variable's type; later values must have the same type.
  virtual void Assign(const TValue& Value);
  // Assign of a value that is no longer needed, so a text or an array is moved, not copied.
  inline void AssignTaken(TValue&& Value);
  // Sets the highest index of the variable's array to HighBound, keeping what remains.
  void ResizeArray(std::int32_t HighBound);

protected:
  TVarExpr(TVariable& Item, std::int32_t Position, TExprKind Kind);

private:
  [[noreturn]] void NotDefined() const;
  template <class V>
  void Store(V&& Value);

  TVariable* FItem;
};

// An element of an array variable: Variable[Index].
class TArrayExpr : public TVarExpr {
public:
  TArrayExpr(TVariable& Item, std::int32_t Position, std::unique_ptr<TExpr> Index);
  TExpr& Index() const { return *FIndex; }

  void Eval(TValue& Result) override;
  // The element itself, checked as Eval checks it; the failures are ERTE.
  const TValue& Element();
  void Assign(const TValue& Value) override;
  void AssignTaken(TValue&& Value);

private:
  std::int32_t IndexValue();
  template <class V>
  void Store(V&& Value);

  std::unique_ptr<TExpr> FIndex;
};

inline void TVarExpr::AssignTaken(TValue&& Value) {
  if (Kind() == ekElement) {
    static_cast<TArrayExpr*>(this)->AssignTaken(std::move(Value));
    return;
  }
  // A variable with its type fixed takes a value of its own kind (the kinds stand for the types).
  if (!(FItem->Type() & tbVoid) && Value.Kind() == FItem->Value().Kind()) [[likely]] {
    FItem->Value() = std::move(Value);
    return;
  }
  Store(std::move(Value));
}

inline TTypeBits TExpr::ActualType() const {
  switch (FKind) {
    case ekVariable: return static_cast<const TVarExpr*>(this)->Item().Type() | tbVar;
    case ekElement: return static_cast<const TVarExpr*>(this)->Item().Type() | tbVar | tbArray;
    case ekCall: return GetType() | tbFunc;
    default: return GetType();
  }
}

inline TVarExpr* TExpr::AsVariable() {
  return FKind == ekVariable || FKind == ekElement ? static_cast<TVarExpr*>(this) : nullptr;
}

// The argument nodes of one call as a function receives them: for a plain formal a constant
// node with the value already evaluated, for a VAR formal the variable or element node, for
// a FUNC formal the unevaluated call node.
class TArgList {
public:
  explicit TArgList(const std::vector<TExpr*>& Args) : FArgs(Args) {}
  std::int32_t Count() const { return static_cast<std::int32_t>(FArgs.size()); }
  // Node I, or nullptr outside 0..Count-1.
  TExpr* GetArg(std::int32_t I) const {
    return I >= 0 && I < Count() ? FArgs[static_cast<std::size_t>(I)] : nullptr;
  }
  // The value of node I (empty outside 0..Count-1).
  TValue Value(std::int32_t I) const {
    TExpr* E = GetArg(I);
    if (E && E->Kind() == ekConst) return static_cast<const TConstExpr*>(E)->Value();
    return E ? E->Evaluate() : TValue();
  }
  // Node I as a variable or element node, or nullptr.
  TVarExpr* Variable(std::int32_t I) const {
    TExpr* E = GetArg(I);
    return E ? E->AsVariable() : nullptr;
  }

private:
  const std::vector<TExpr*>& FArgs;
};

// ASCII upper case, as names are stored.
std::string UpperCaseName(std::string Name);
