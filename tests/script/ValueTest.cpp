#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "script/ScriptTypes.h"
#include "script/ScriptValue.h"

namespace {

constexpr std::int32_t MinInt = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t MaxInt = std::numeric_limits<std::int32_t>::max();

using TBinary = std::function<TValue(const TValue&, const TValue&)>;

// "kind:text" of a value, so a case shows both.
std::string Show(const TValue& V) {
  if (V.IsArray()) return "Array:" + std::to_string(V.ArrayItems().size());
  return std::string(TValue::KindName(V.Kind())) + ":" + V.AsString();
}

}  // namespace

TEST(ValueArithmetic, ResultsAndRunTimeErrorsTable) {
  const TBinary Add = ValueAdd, Sub = ValueSubtract, Mul = ValueMultiply, Divide = ValueDivide,
                IntDiv = ValueIntDiv, Mod = ValueMod;
  const struct {
    const char* Name;
    TBinary Op;
    TValue A, B;
    const char* Expected;  // "kind:text" or the error message
  } Cases[] = {
      {"int sum", Add, 2, 3, "Integer:5"},
      {"int sum wraps", Add, MaxInt, 1, "Integer:-2147483648"},
      {"int difference wraps", Sub, MinInt, 1, "Integer:2147483647"},
      {"int product wraps", Mul, 65536, 65536, "Integer:0"},
      {"int product wraps to negative", Mul, MaxInt, 2, "Integer:-2"},
      {"smallest times -1", Mul, MinInt, -1, "Integer:-2147483648"},
      {"int and float", Add, 1, 0.5, "Double:1.5"},
      {"float difference", Sub, 0.5, 2, "Double:-1.5"},
      {"strings join", Add, "ab", "cd", "String:abcd"},
      {"string and int", Add, "1", 2, "Invalid variant operation"},
      {"Booleans", Add, true, true, "Invalid variant operation"},
      {"empty", Add, TValue(), 1, "Invalid variant operation"},
      {"strings do not subtract", Sub, "a", "b", "Invalid variant operation"},
      {"float overflow", Mul, 1e308, 10.0, "Floating point overflow"},
      {"real division", Divide, 7, 2, "Double:3.5"},
      {"real division of ints stays float", Divide, 8, 4, "Double:2"},
      {"real division by zero", Divide, 1, 0, "Division by zero"},
      {"real division by float zero", Divide, 1.5, 0.0, "Division by zero"},
      {"zero by zero", Divide, 0.0, 0, "Division by zero"},
      {"div truncates", IntDiv, 7, 2, "Integer:3"},
      {"div truncates toward zero", IntDiv, -7, 2, "Integer:-3"},
      {"mod has the dividend's sign", Mod, -7, 2, "Integer:-1"},
      {"mod", Mod, 7, -2, "Integer:1"},
      {"div by zero", IntDiv, 1, 0, "Division by zero"},
      {"mod by zero", Mod, 1, 0, "Division by zero"},
      {"smallest div -1", IntDiv, MinInt, -1, "Integer overflow"},
      {"smallest mod -1", Mod, MinInt, -1, "Integer overflow"},
      {"smallest div 1", IntDiv, MinInt, 1, "Integer:-2147483648"},
      {"div of floats rounds them first", IntDiv, 7.5, 2.0, "Integer:4"},
      {"div of a float beyond 32 bits", IntDiv, 3e9, 2, "Could not convert variant of type (Double) into type (Integer)"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    try {
      EXPECT_EQ(Show(C.Op(C.A, C.B)), C.Expected);
    } catch (const EValueError& E) {
      EXPECT_STREQ(E.what(), C.Expected);
    }
  }
}

TEST(ValueArithmetic, NegateNotAndCompare) {
  EXPECT_EQ(Show(ValueNegate(5)), "Integer:-5");
  EXPECT_EQ(Show(ValueNegate(MinInt)), "Integer:-2147483648");
  EXPECT_EQ(Show(ValueNegate(2.5)), "Double:-2.5");
  EXPECT_THROW(ValueNegate("x"), EValueError);
  EXPECT_EQ(Show(ValueNot(true)), "Boolean:False");
  EXPECT_EQ(Show(ValueNot(5)), "Integer:-6");
  EXPECT_THROW(ValueNot(1.0), EValueError);

  EXPECT_LT(ValueCompare(1, 2), 0);
  EXPECT_EQ(ValueCompare(2, 2.0), 0);
  EXPECT_GT(ValueCompare(2.5, 2), 0);
  EXPECT_EQ(ValueCompare(MaxInt, MaxInt), 0);
  EXPECT_LT(ValueCompare("B", "a"), 0);  // byte order: upper case first
  EXPECT_LT(ValueCompare("abc", "abd"), 0);
  EXPECT_LT(ValueCompare("a", "\xe9"), 0);  // bytes from 128 sort after ASCII
  EXPECT_LT(ValueCompare(false, true), 0);
  EXPECT_EQ(ValueCompare(true, true), 0);
  EXPECT_THROW(ValueCompare("1", 1), EValueError);
  EXPECT_THROW(ValueCompare(true, 1), EValueError);
}

TEST(ValueConversion, CheckedConversionsTable) {
  const struct {
    TValue V;
    const char* AsInteger;  // the text of the result, or the error
    const char* AsFloat;
    const char* AsString;
    const char* AsBoolean;
  } Cases[] = {
      {TValue(), "0", "0", "", "False"},
      {true, "Could not convert variant of type (Boolean) into type (Integer)",
       "Could not convert variant of type (Boolean) into type (Double)", "True", "True"},
      {-7, "-7", "-7", "-7", "True"},
      {2.5, "2", "2.5", "2.5", "True"},
      {3.5, "4", "3.5", "3.5", "True"},
      {-2.5, "-2", "-2.5", "-2.5", "True"},
      {2147483647.4, "2147483647", "2147483647.4", "2147483647.4", "True"},
      {2147483647.5, "Could not convert variant of type (Double) into type (Integer)", "2147483647.5",
       "2147483647.5", "True"},
      {-2147483648.5, "-2147483648", "-2147483648.5", "-2147483648.5", "True"},
      {-2147483649.0, "Could not convert variant of type (Double) into type (Integer)", "-2147483649",
       "-2147483649", "True"},
      {1e300, "Could not convert variant of type (Double) into type (Integer)", "1E300", "1E300", "True"},
      {std::nan(""), "Could not convert variant of type (Double) into type (Integer)", "NAN", "NAN", "True"},
      {"42", "42", "42", "42", "True"},
      {"1.5", "2", "1.5", "1.5", "True"},
      {"tRUE", "Could not convert variant of type (String) into type (Integer)",
       "Could not convert variant of type (String) into type (Double)", "tRUE", "True"},
      {"9999999999", "Could not convert variant of type (String) into type (Integer)", "9999999999",
       "9999999999", "True"},
      {"1e999", "Could not convert variant of type (String) into type (Integer)",
       "Could not convert variant of type (String) into type (Double)", "1e999", "True"},
      {"x", "Could not convert variant of type (String) into type (Integer)",
       "Could not convert variant of type (String) into type (Double)", "x",
       "Could not convert variant of type (String) into type (Boolean)"},
      {TValue::MakeArray(2), "Could not convert variant of type (Array) into type (Integer)",
       "Could not convert variant of type (Array) into type (Double)",
       "Could not convert variant of type (Array) into type (String)",
       "Could not convert variant of type (Array) into type (Boolean)"},
  };
  auto Try = [](auto F) -> std::string {
    try {
      return F();
    } catch (const EValueError& E) {
      return E.what();
    }
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.V.IsArray() ? std::string("array") : Try([&] { return Show(C.V); }));
    EXPECT_EQ(Try([&] { return std::to_string(C.V.AsInteger()); }), C.AsInteger);
    EXPECT_EQ(Try([&] { return TValue(C.V.AsFloat()).AsString(); }), C.AsFloat);
    EXPECT_EQ(Try([&] { return C.V.AsString(); }), C.AsString);
    EXPECT_EQ(Try([&] { return TValue(C.V.AsBoolean()).AsString(); }), C.AsBoolean);
  }
}

TEST(ValueArray, ResizesKeepingLeadingElementsWithinTheLimit) {
  TValue A = TValue::MakeArray(3);
  EXPECT_EQ(A.ArrayHighBound(), 2);
  A.ArrayItems()[0] = TValue("x");
  A.SetArrayHighBound(0);
  ASSERT_EQ(A.ArrayItems().size(), 1u);
  EXPECT_EQ(A.ArrayItems()[0].AsString(), "x");
  A.SetArrayHighBound(-1);
  EXPECT_EQ(A.ArrayHighBound(), -1);
  EXPECT_THROW(A.SetArrayHighBound(-2), EValueError);
  EXPECT_THROW(A.SetArrayHighBound(TValue::MaxArrayLength), EValueError);
  EXPECT_THROW(TValue::MakeArray(-1), EValueError);
  EXPECT_THROW(TValue(1).ArrayItems(), EValueError);
}

TEST(VariantTypeBits, OfEveryKind) {
  EXPECT_EQ(VariantTypeBits(TValue()), tbVoid);
  EXPECT_EQ(VariantTypeBits(false), tbBoolean);
  EXPECT_EQ(VariantTypeBits(1), tbInteger);
  EXPECT_EQ(VariantTypeBits(1.0), tbFloat);
  EXPECT_EQ(VariantTypeBits("s"), tbString);
  EXPECT_EQ(VariantTypeBits(TValue::MakeArray(0)), tbArray | tbVoid);
  EXPECT_TRUE(SameVariantType(1, 2));
  EXPECT_FALSE(SameVariantType(1, 2.0));
}

TEST(ValueCopies, TextsAndArraysAreOwnedAndMayBeReplacedByTheirOwnElements) {
  TValue Text("a text longer than the short-string buffer");
  TValue Copy = Text;
  Copy = TValue(std::int32_t{5});
  EXPECT_EQ(Text.AsString(), "a text longer than the short-string buffer");
  EXPECT_EQ(Copy, TValue(std::int32_t{5}));
  Copy = Text;
  EXPECT_EQ(Copy, Text);
  TValue Moved = std::move(Copy);
  EXPECT_EQ(Moved, Text);

  TValue Array = TValue::MakeArray(2);
  Array.ArrayItems()[0] = Text;
  Array.ArrayItems()[1] = TValue(1.5);
  TValue Nested = Array;
  Array = Array.ArrayItems()[0];  // the element outlives the array it leaves
  EXPECT_EQ(Array, Text);
  Nested = std::move(Nested.ArrayItems()[1]);
  EXPECT_EQ(Nested, TValue(1.5));
  Nested = Nested;
  EXPECT_EQ(Nested, TValue(1.5));
}
