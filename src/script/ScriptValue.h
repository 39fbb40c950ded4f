#pragma once
// The values a script computes with: empty, Boolean, 32-bit integer, double, string (bytes),
// or a one-dimensional array of values indexed from 0. Conversions are checked, integer
// "+ - *" wrap at 32 bits, and every failure (a division by zero, an integer overflow of
// "div" or "mod", a float beyond the integer range, an operation on kinds that do not mix)
// is an EValueError, never a signal.
#include <bit>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "foundation/Exception.h"

class EValueError : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

enum TValueKind : std::uint8_t { vkEmpty, vkBoolean, vkInteger, vkFloat, vkString, vkArray };

class TValue;
using TValueArray = std::vector<TValue>;

class TValue {
public:
  // The most elements one array may hold: a script that asks for more gets an error
  // instead of exhausting the machine's memory.
  static constexpr std::int32_t MaxArrayLength = 1 << 20;
  // The longest text a script may build (16 MiB), for the same reason.
  static constexpr std::size_t MaxStringLength = std::size_t{1} << 24;

  // A scalar is written with one store of all its bytes (zero above a Boolean or an integer),
  // so that copying it at once reads back exactly what was written.
  TValue() noexcept : FKind(vkEmpty) { FScalar.Bits = 0; }
  TValue(bool V) noexcept : FKind(vkBoolean) { FScalar.Bits = V ? 1 : 0; }
  TValue(std::int32_t V) noexcept : FKind(vkInteger) { FScalar.Bits = static_cast<std::uint32_t>(V); }
  TValue(double V) noexcept : FKind(vkFloat) { FScalar.Float = V; }
  TValue(std::string V) : FKind(vkString) { new (&FString) std::string(std::move(V)); }
  TValue(const char* V) : TValue(std::string(V)) {}
  TValue(TValueArray V);
  // An array of Count empty elements (0 <= Count <= MaxArrayLength).
  static TValue MakeArray(std::int32_t Count);

  // Numbers and Booleans are copied as plain bytes; only texts and arrays take the long way.
  TValue(const TValue& Other) : FKind(Other.FKind) {
    if (Other.IsScalar())
      FScalar = Other.FScalar;
    else
      CopyHeld(Other);
  }
  TValue(TValue&& Other) noexcept : FKind(Other.FKind) {
    if (Other.IsScalar())
      FScalar = Other.FScalar;
    else
      MoveHeld(std::move(Other));
  }
  TValue& operator=(const TValue& Other) {
    if (IsScalar() && Other.IsScalar()) {
      FKind = Other.FKind;
      FScalar = Other.FScalar;
      return *this;
    }
    return AssignSlow(Other);
  }
  TValue& operator=(TValue&& Other) noexcept {
    if (IsScalar() && Other.IsScalar()) {
      FKind = Other.FKind;
      FScalar = Other.FScalar;
      return *this;
    }
    return MoveAssignSlow(std::move(Other));
  }
  ~TValue() {
    if (!IsScalar()) DestroyHeld();
  }

  TValueKind Kind() const { return FKind; }
  bool IsEmpty() const { return FKind == vkEmpty; }
  bool IsArray() const { return FKind == vkArray; }
  // Text of the kind for messages: "Empty", "Boolean", "Integer", "Double", "String", "Array".
  static const char* KindName(TValueKind Kind);

  // Conversions; each raises EValueError when the value cannot be had as that kind.
  // Empty reads as false, 0, 0.0 or ""; a float becomes an integer rounded half to even
  // and only within 32 bits; a string must spell the number or "True"/"False" (any case).
  bool AsBoolean() const { return FKind == vkBoolean ? FScalar.Boolean : AsBooleanSlow(); }
  std::int32_t AsInteger() const { return FKind == vkInteger ? FScalar.Integer : AsIntegerSlow(); }
  double AsFloat() const {
    return FKind == vkFloat ? FScalar.Float : FKind == vkInteger ? FScalar.Integer : AsFloatSlow();
  }
  // A float is written with 15 significant digits, a Boolean as "True" or "False".
  std::string AsString() const;
  // The text of a string value without a copy; nullptr for any other kind.
  const std::string* IfString() const { return FKind == vkString ? &FString : nullptr; }

  // The elements of an array; raises EValueError when the value is no array.
  TValueArray& ArrayItems();
  const TValueArray& ArrayItems() const;
  // Highest index of an array (-1 when it has no element).
  std::int32_t ArrayHighBound() const;
  // Resizes an array so its highest index is HighBound, keeping the leading elements.
  void SetArrayHighBound(std::int32_t HighBound);

  bool operator==(const TValue& Other) const;

private:
  bool IsScalar() const { return FKind <= vkFloat; }
  bool AsBooleanSlow() const;
  std::int32_t AsIntegerSlow() const;
  double AsFloatSlow() const;
  void CopyHeld(const TValue& Other);
  void MoveHeld(TValue&& Other) noexcept;
  void DestroyHeld() noexcept;
  TValue& AssignSlow(const TValue& Other);
  TValue& MoveAssignSlow(TValue&& Other) noexcept;

  struct TScalar {
    union {
      bool Boolean;
      std::int32_t Integer;
      double Float;
      std::uint64_t Bits;  // the low bytes are those of Boolean and Integer
    };
  };
  static_assert(std::endian::native == std::endian::little, "a Boolean or an integer is the low bytes of Bits");
  union {
    TScalar FScalar;
    std::string FString;
    TValueArray FArray;
  };
  TValueKind FKind;
};

namespace ValueDetail {
inline std::int32_t Wrap(std::int64_t V) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(V)); }
// Raises "Division by zero" or "Integer overflow" for a divisor of 0 or the smallest integer by -1.
[[noreturn]] void RefuseIntDivision(std::int32_t A, std::int32_t B);
inline bool IntDivisionFails(std::int32_t A, std::int32_t B) { return B == 0 || (B == -1 && A == INT32_MIN); }
// "div" and "mod" of two integers.
inline std::int32_t IntDiv(std::int32_t A, std::int32_t B) {
  if (IntDivisionFails(A, B)) [[unlikely]]
    RefuseIntDivision(A, B);
  return A / B;
}
inline std::int32_t IntMod(std::int32_t A, std::int32_t B) {
  if (IntDivisionFails(A, B)) [[unlikely]]
    RefuseIntDivision(A, B);
  return A % B;
}
}  // namespace ValueDetail

// Arithmetic on values. Two integers give an integer (wrapping at 32 bits for + - *); an
// integer and a float or two floats give a float; Add joins two strings. Other mixes fail.
TValue ValueAddSlow(const TValue& A, const TValue& B);
TValue ValueSubtractSlow(const TValue& A, const TValue& B);
TValue ValueMultiplySlow(const TValue& A, const TValue& B);
inline TValue ValueAdd(const TValue& A, const TValue& B) {
  if (A.Kind() == vkInteger && B.Kind() == vkInteger)
    return TValue(ValueDetail::Wrap(std::int64_t{A.AsInteger()} + B.AsInteger()));
  return ValueAddSlow(A, B);
}
inline TValue ValueSubtract(const TValue& A, const TValue& B) {
  if (A.Kind() == vkInteger && B.Kind() == vkInteger)
    return TValue(ValueDetail::Wrap(std::int64_t{A.AsInteger()} - B.AsInteger()));
  return ValueSubtractSlow(A, B);
}
inline TValue ValueMultiply(const TValue& A, const TValue& B) {
  // The 64-bit product of two 32-bit values cannot overflow; its low 32 bits are the result.
  if (A.Kind() == vkInteger && B.Kind() == vkInteger)
    return TValue(ValueDetail::Wrap(std::int64_t{A.AsInteger()} * B.AsInteger()));
  return ValueMultiplySlow(A, B);
}
// Real division: always a float; dividing by zero fails.
TValue ValueDivide(const TValue& A, const TValue& B);
// Integer division truncating toward zero and its remainder (sign of the dividend); both
// operands are converted to integers. Division by zero and the smallest integer by -1 fail.
TValue ValueIntDiv(const TValue& A, const TValue& B);
TValue ValueMod(const TValue& A, const TValue& B);
// Negation (an integer wraps: the smallest integer stays itself).
TValue ValueNegate(const TValue& A);
// Logical not of a Boolean, bitwise not of an integer.
TValue ValueNot(const TValue& A);
// Below 0, 0 or above 0 as A is less than, equal to or greater than B: numbers by value,
// strings byte by byte, Booleans with false before true. Other mixes fail.
int ValueCompareSlow(const TValue& A, const TValue& B);
inline int ValueCompare(const TValue& A, const TValue& B) {
  if (A.Kind() == vkInteger && B.Kind() == vkInteger) {
    const std::int32_t X = A.AsInteger(), Y = B.AsInteger();
    return X < Y ? -1 : (X > Y ? 1 : 0);
  }
  return ValueCompareSlow(A, B);
}
