#pragma once
// The values a script computes with: empty, Boolean, 32-bit integer, double, string (bytes),
// or a one-dimensional array of values indexed from 0. Conversions are checked, integer
// "+ - *" wrap at 32 bits, and every failure (a division by zero, an integer overflow of
// "div" or "mod", a float beyond the integer range, an operation on kinds that do not mix)
// is an EValueError, never a signal.
#include <cstdint>
#include <string>
#include <variant>
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

  TValue() = default;
  TValue(bool V) : FData(V) {}
  TValue(std::int32_t V) : FData(V) {}
  TValue(double V) : FData(V) {}
  TValue(std::string V) : FData(std::move(V)) {}
  TValue(const char* V) : FData(std::string(V)) {}
  TValue(TValueArray V) : FData(std::move(V)) {}
  // An array of Count empty elements (0 <= Count <= MaxArrayLength).
  static TValue MakeArray(std::int32_t Count);

  TValueKind Kind() const { return static_cast<TValueKind>(FData.index()); }
  bool IsEmpty() const { return Kind() == vkEmpty; }
  bool IsArray() const { return Kind() == vkArray; }
  // Text of the kind for messages: "Empty", "Boolean", "Integer", "Double", "String", "Array".
  static const char* KindName(TValueKind Kind);

  // Conversions; each raises EValueError when the value cannot be had as that kind.
  // Empty reads as false, 0, 0.0 or ""; a float becomes an integer rounded half to even
  // and only within 32 bits; a string must spell the number or "True"/"False" (any case).
  bool AsBoolean() const;
  std::int32_t AsInteger() const;
  double AsFloat() const;
  // A float is written with 15 significant digits, a Boolean as "True" or "False".
  std::string AsString() const;

  // The elements of an array; raises EValueError when the value is no array.
  TValueArray& ArrayItems();
  const TValueArray& ArrayItems() const;
  // Highest index of an array (-1 when it has no element).
  std::int32_t ArrayHighBound() const;
  // Resizes an array so its highest index is HighBound, keeping the leading elements.
  void SetArrayHighBound(std::int32_t HighBound);

  bool operator==(const TValue& Other) const { return FData == Other.FData; }

private:
  std::variant<std::monostate, bool, std::int32_t, double, std::string, TValueArray> FData;
};

// Arithmetic on values. Two integers give an integer (wrapping at 32 bits for + - *); an
// integer and a float or two floats give a float; Add joins two strings. Other mixes fail.
TValue ValueAdd(const TValue& A, const TValue& B);
TValue ValueSubtract(const TValue& A, const TValue& B);
TValue ValueMultiply(const TValue& A, const TValue& B);
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
int ValueCompare(const TValue& A, const TValue& B);
