#include "script/ScriptValue.h"

#include <cmath>
#include <limits>

#include "foundation/NumberText.h"
#include "foundation/Rounding.h"

namespace {

constexpr const char* InvalidOperation = "Invalid variant operation";

[[noreturn]] void CannotConvert(TValueKind From, const char* To) {
  throw EValueError(std::string("Could not convert variant of type (") + TValue::KindName(From) +
                    ") into type (" + To + ")");
}

std::int32_t FloatToInteger(double D) {
  // Anything that does not round into 32 bits (NaN included) is refused.
  if (!(D >= -2147483648.5 && D < 2147483647.5)) CannotConvert(vkFloat, "Integer");
  return static_cast<std::int32_t>(RoundHalfEven(D));
}

bool IsNumber(const TValue& V) { return V.Kind() == vkInteger || V.Kind() == vkFloat; }

// A float result of finite operands must be finite too.
double CheckedFloat(double R) {
  if (std::isnan(R)) throw EValueError("Invalid floating point operation");
  if (std::isinf(R)) throw EValueError("Floating point overflow");
  return R;
}

using ValueDetail::Wrap;

bool EqualsNoCase(const std::string& S, const char* Word) {
  std::size_t I = 0;
  for (; Word[I] != 0; ++I) {
    if (I >= S.size()) return false;
    char C = S[I];
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
    char W = Word[I];
    if (W >= 'a' && W <= 'z') W = static_cast<char>(W - 'a' + 'A');
    if (C != W) return false;
  }
  return I == S.size();
}

template <class IntOp, class FloatOp>
TValue Arithmetic(const TValue& A, const TValue& B, IntOp IntF, FloatOp FloatF) {
  if (!IsNumber(A) || !IsNumber(B)) throw EValueError(InvalidOperation);
  if (A.Kind() == vkInteger && B.Kind() == vkInteger)
    return TValue(Wrap(IntF(static_cast<std::int64_t>(A.AsInteger()), static_cast<std::int64_t>(B.AsInteger()))));
  return TValue(CheckedFloat(FloatF(A.AsFloat(), B.AsFloat())));
}

}  // namespace

void ValueDetail::RefuseIntDivision(std::int32_t A, std::int32_t B) {
  if (B == 0) throw EValueError("Division by zero");
  if (A == std::numeric_limits<std::int32_t>::min() && B == -1) throw EValueError("Integer overflow");
  throw EValueError(InvalidOperation);
}

TValue::TValue(TValueArray V) : FKind(vkArray) { new (&FArray) TValueArray(std::move(V)); }

void TValue::CopyHeld(const TValue& Other) {
  if (Other.FKind == vkString)
    new (&FString) std::string(Other.FString);
  else
    new (&FArray) TValueArray(Other.FArray);
}

void TValue::MoveHeld(TValue&& Other) noexcept {
  if (Other.FKind == vkString)
    new (&FString) std::string(std::move(Other.FString));
  else
    new (&FArray) TValueArray(std::move(Other.FArray));
}

void TValue::DestroyHeld() noexcept {
  if (FKind == vkString)
    FString.~basic_string();
  else if (FKind == vkArray)
    FArray.~TValueArray();
  FKind = vkEmpty;
  FScalar.Float = 0;
}

TValue& TValue::AssignSlow(const TValue& Other) {
  if (this == &Other) return *this;
  if (FKind == vkString && Other.FKind == vkString) {
    FString = Other.FString;  // keeps the buffer
    return *this;
  }
  TValue Copy(Other);  // an element of this array may be what is assigned
  return MoveAssignSlow(std::move(Copy));
}

TValue& TValue::MoveAssignSlow(TValue&& Other) noexcept {
  if (this == &Other) return *this;
  if (!IsScalar()) {
    TValue Taken(std::move(Other));  // Other may live inside what is released here
    DestroyHeld();
    return MoveAssignSlow(std::move(Taken));
  }
  FKind = Other.FKind;
  if (Other.IsScalar())
    FScalar = Other.FScalar;
  else
    MoveHeld(std::move(Other));
  return *this;
}

bool TValue::operator==(const TValue& Other) const {
  if (FKind != Other.FKind) return false;
  switch (FKind) {
    case vkEmpty: return true;
    case vkBoolean: return FScalar.Boolean == Other.FScalar.Boolean;
    case vkInteger: return FScalar.Integer == Other.FScalar.Integer;
    case vkFloat: return FScalar.Float == Other.FScalar.Float;
    case vkString: return FString == Other.FString;
    case vkArray: return FArray == Other.FArray;
  }
  return false;
}

TValue TValue::MakeArray(std::int32_t Count) {
  if (Count < 0 || Count > MaxArrayLength) throw EValueError("Array length out of range");
  return TValue(TValueArray(static_cast<std::size_t>(Count)));
}

const char* TValue::KindName(TValueKind Kind) {
  switch (Kind) {
    case vkEmpty: return "Empty";
    case vkBoolean: return "Boolean";
    case vkInteger: return "Integer";
    case vkFloat: return "Double";
    case vkString: return "String";
    case vkArray: return "Array";
  }
  return "Unknown";
}

bool TValue::AsBooleanSlow() const {
  switch (Kind()) {
    case vkEmpty: return false;
    case vkBoolean: return FScalar.Boolean;
    case vkInteger: return FScalar.Integer != 0;
    case vkFloat: return FScalar.Float != 0;
    case vkString: {
      const std::string& S = FString;
      if (EqualsNoCase(S, "true")) return true;
      if (EqualsNoCase(S, "false")) return false;
      if (auto N = TryStrToFloat(S)) return *N != 0;
      break;
    }
    case vkArray: break;
  }
  CannotConvert(Kind(), "Boolean");
}

std::int32_t TValue::AsIntegerSlow() const {
  switch (Kind()) {
    case vkEmpty: return 0;
    case vkInteger: return FScalar.Integer;
    case vkFloat: return FloatToInteger(FScalar.Float);
    case vkString: {
      const std::string& S = FString;
      if (auto I = TryStrToInt(S)) return *I;
      if (auto F = TryStrToFloat(S)) {
        const double D = static_cast<double>(*F);
        if (D >= -2147483648.5 && D < 2147483647.5) return static_cast<std::int32_t>(RoundHalfEven(D));
      }
      break;
    }
    case vkBoolean:
    case vkArray: break;
  }
  CannotConvert(Kind(), "Integer");
}

double TValue::AsFloatSlow() const {
  switch (Kind()) {
    case vkEmpty: return 0;
    case vkInteger: return FScalar.Integer;
    case vkFloat: return FScalar.Float;
    case vkString: {
      if (auto F = TryStrToFloat(FString)) {
        const double D = static_cast<double>(*F);
        if (std::isfinite(D)) return D;
      }
      break;
    }
    case vkBoolean:
    case vkArray: break;
  }
  CannotConvert(Kind(), "Double");
}

std::string TValue::AsString() const {
  switch (Kind()) {
    case vkEmpty: return std::string();
    case vkBoolean: return FScalar.Boolean ? "True" : "False";
    case vkInteger: return IntToStr(FScalar.Integer);
    case vkFloat: return FloatToStr(FScalar.Float);
    case vkString: return FString;
    case vkArray: break;
  }
  CannotConvert(Kind(), "String");
}

TValueArray& TValue::ArrayItems() {
  if (!IsArray()) throw EValueError("Variant is not an array");
  return FArray;
}

const TValueArray& TValue::ArrayItems() const {
  if (!IsArray()) throw EValueError("Variant is not an array");
  return FArray;
}

std::int32_t TValue::ArrayHighBound() const { return static_cast<std::int32_t>(ArrayItems().size()) - 1; }

void TValue::SetArrayHighBound(std::int32_t HighBound) {
  TValueArray& Items = ArrayItems();
  if (HighBound < -1 || HighBound >= MaxArrayLength) throw EValueError("Array length out of range");
  Items.resize(static_cast<std::size_t>(HighBound + 1));
}

TValue ValueAddSlow(const TValue& A, const TValue& B) {
  if (A.Kind() == vkString && B.Kind() == vkString) {
    const std::string& X = *A.IfString();
    const std::string& Y = *B.IfString();
    if (X.size() + Y.size() > TValue::MaxStringLength) throw EValueError("String too long");
    std::string R;
    R.reserve(X.size() + Y.size());
    R.append(X).append(Y);
    return TValue(std::move(R));
  }
  return Arithmetic(
      A, B, [](std::int64_t X, std::int64_t Y) { return X + Y; }, [](double X, double Y) { return X + Y; });
}

TValue ValueSubtractSlow(const TValue& A, const TValue& B) {
  return Arithmetic(
      A, B, [](std::int64_t X, std::int64_t Y) { return X - Y; }, [](double X, double Y) { return X - Y; });
}

TValue ValueMultiplySlow(const TValue& A, const TValue& B) {
  return Arithmetic(
      A, B, [](std::int64_t X, std::int64_t Y) { return X * Y; }, [](double X, double Y) { return X * Y; });
}

TValue ValueDivide(const TValue& A, const TValue& B) {
  if (!IsNumber(A) || !IsNumber(B)) throw EValueError(InvalidOperation);
  const double Divisor = B.AsFloat();
  if (Divisor == 0) throw EValueError("Division by zero");
  return TValue(CheckedFloat(A.AsFloat() / Divisor));
}

TValue ValueIntDiv(const TValue& A, const TValue& B) {
  if (!IsNumber(A) || !IsNumber(B)) throw EValueError(InvalidOperation);
  const std::int32_t X = A.AsInteger();
  const std::int32_t Y = B.AsInteger();
  return TValue(ValueDetail::IntDiv(X, Y));
}

TValue ValueMod(const TValue& A, const TValue& B) {
  if (!IsNumber(A) || !IsNumber(B)) throw EValueError(InvalidOperation);
  const std::int32_t X = A.AsInteger();
  const std::int32_t Y = B.AsInteger();
  return TValue(ValueDetail::IntMod(X, Y));
}

TValue ValueNegate(const TValue& A) {
  switch (A.Kind()) {
    case vkInteger: return TValue(Wrap(-static_cast<std::int64_t>(A.AsInteger())));
    case vkFloat: return TValue(-A.AsFloat());
    default: throw EValueError(InvalidOperation);
  }
}

TValue ValueNot(const TValue& A) {
  switch (A.Kind()) {
    case vkBoolean: return TValue(!A.AsBoolean());
    case vkInteger: return TValue(static_cast<std::int32_t>(~A.AsInteger()));
    default: throw EValueError(InvalidOperation);
  }
}

int ValueCompareSlow(const TValue& A, const TValue& B) {
  if (A.Kind() == vkInteger && B.Kind() == vkInteger) {
    const std::int32_t X = A.AsInteger(), Y = B.AsInteger();
    return X < Y ? -1 : (X > Y ? 1 : 0);
  }
  if (IsNumber(A) && IsNumber(B)) {
    const double X = A.AsFloat(), Y = B.AsFloat();
    return X < Y ? -1 : (X > Y ? 1 : 0);
  }
  if (A.Kind() == vkString && B.Kind() == vkString) {
    const int C = A.AsString().compare(B.AsString());
    return C < 0 ? -1 : (C > 0 ? 1 : 0);
  }
  if (A.Kind() == vkBoolean && B.Kind() == vkBoolean) return int(A.AsBoolean()) - int(B.AsBoolean());
  throw EValueError(InvalidOperation);
}
