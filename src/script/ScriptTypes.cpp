#include "script/ScriptTypes.h"

std::string UpperCaseName(std::string Name) {
  for (char& C : Name)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Name;
}

std::string TypeToText(TTypeBits Bits) {
  std::string S;
  if (Bits & tbVoid) {
    S = "VOID";
  } else {
    if (Bits & tbInteger) S += "/INTEGER";
    if (Bits & tbFloat) S += "/FLOAT";
    if (Bits & tbString) S += "/STRING";
    if (Bits & tbBoolean) S += "/BOOLEAN";
    if (!S.empty()) S.erase(0, 1);
    if (Bits & tbFunc) S = "FUNC " + S;
    if (Bits & tbVar) S = "VAR " + S;
    if (Bits & tbArray) S = "ARRAY " + S;
    if (Bits & tbOpen) S += " OPEN";
  }
  return S;
}

bool TypeFits(TTypeBits Formal, TTypeBits Actual) {
  const TTypeBits Modifiers = Formal & tbModifierMask;
  return (Formal & Actual & tbBaseMask) != 0 && (Actual & Modifiers) == Modifiers;
}

std::string TTypes::ToText() const {
  std::string S = "(";
  for (std::size_t I = 0; I < FTypes.size(); ++I) {
    if (I > 0) S += ", ";
    S += TypeToText(FTypes[I]);
  }
  return S + ")";
}

TDataItem::TDataItem(std::string Name) : FName(UpperCaseName(std::move(Name))) {}

TConstant::TConstant(std::string Name, TValue Value) : TDataItem(std::move(Name)) {
  SetType(VariantTypeBits(Value));
  SetValue(std::move(Value));
}

TVariable::TVariable(std::string Name) : TDataItem(std::move(Name)) { SetType(tbVoid | tbVar); }

TExpr::TExpr(std::string Name, std::int32_t Position, TExprKind Kind)
    : FName(UpperCaseName(std::move(Name))), FPosition(Position), FKind(Kind) {}

TConstExpr::TConstExpr(TValue Value, std::int32_t Position) : TExpr("", Position, ekConst), FValue(std::move(Value)) {}

TVarExpr::TVarExpr(TVariable& Item, std::int32_t Position) : TVarExpr(Item, Position, ekVariable) {}

TVarExpr::TVarExpr(TVariable& Item, std::int32_t Position, TExprKind Kind)
    : TExpr(Item.Name(), Position, Kind), FItem(&Item) {}

void TVarExpr::NotDefined() const {
  throw ERuntimeError(ScriptMessage(smVariableNotDefined, FItem->Name()), Position());
}

void TVarExpr::Eval(TValue& Result) { Result = Read(); }

template <class V>
void TVarExpr::Store(V&& Value) {
  TVariable& Item = *FItem;
  if ((Item.Type() & tbVoid) && !(Item.Type() & tbArray)) {
    const TTypeBits Bits = VariantTypeBits(Value);
    Item.Value() = std::forward<V>(Value);
    Item.SetType(Bits | tbVar);
  } else if (SameVariantType(Value, Item.Value())) {
    Item.Value() = std::forward<V>(Value);
  } else {
    throw ERTE(ScriptMessage(smVariableTypeMismatch, Item.Name(), TypeToText(Item.Type()),
                             TypeToText(VariantTypeBits(Value))));
  }
}
template void TVarExpr::Store(TValue&&);

void TVarExpr::Assign(const TValue& Value) { Store(Value); }

void TVarExpr::ResizeArray(std::int32_t HighBound) {
  if (FItem->Type() & tbVoid) throw ERTE(ScriptMessage(smVariableNotDefined, FItem->Name()));
  FItem->Value().SetArrayHighBound(HighBound);
}

TArrayExpr::TArrayExpr(TVariable& Item, std::int32_t Position, std::unique_ptr<TExpr> Index)
    : TVarExpr(Item, Position, ekElement), FIndex(std::move(Index)) {}

std::int32_t TArrayExpr::IndexValue() { return FIndex->Evaluate().AsInteger(); }

void TArrayExpr::Eval(TValue& Result) { Result = Element(); }

const TValue& TArrayExpr::Element() {
  const std::int32_t I = IndexValue();
  TVariable& V = Item();
  if (V.Type() & tbVoid) throw ERTE(ScriptMessage(smVariableNotDefined, V.Name()));
  if (!V.Value().IsArray()) throw ERTE(ScriptMessage(smVariableNotDefined, V.Name()));
  const TValueArray& Items = V.Value().ArrayItems();
  if (I < 0 || I >= static_cast<std::int32_t>(Items.size()))
    throw ERTE(ScriptMessage(smIndexOutOfBounds, V.Name(), I));
  const TValue& Element = Items[static_cast<std::size_t>(I)];
  if (Element.IsEmpty())
    throw ERTE(ScriptMessage(smVariableNotDefined, FormatText("%s[%d]", V.Name(), I)));
  return Element;
}

void TArrayExpr::Assign(const TValue& Value) { Store(Value); }

void TArrayExpr::AssignTaken(TValue&& Value) { Store(std::move(Value)); }

template <class T>
void TArrayExpr::Store(T&& Value) {
  const std::int32_t I = IndexValue();
  TVariable& V = Item();
  if (!(V.Type() & tbArray) || !V.Value().IsArray()) throw ERTE(ScriptMessage(smVariableNotDefined, V.Name()));
  TValueArray& Items = V.Value().ArrayItems();
  if (I < 0 || I >= static_cast<std::int32_t>(Items.size()))
    throw ERTE(ScriptMessage(smIndexOutOfBounds, V.Name(), I));
  TValue& Element = Items[static_cast<std::size_t>(I)];
  if (V.Type() & tbVoid) {
    V.SetType(VariantTypeBits(Value) | tbVar | tbArray);
  } else if ((VariantTypeBits(Value) & V.Type() & tbBaseMask) == 0) {
    throw ERTE(ScriptMessage(smVariableTypeMismatch, V.Name(), TypeToText(VariantTypeBits(Element)),
                             TypeToText(VariantTypeBits(Value))));
  }
  Element = std::forward<T>(Value);
}
