#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/SavedFields.h"

namespace {

// A record of three shapes: two fields from the start, a pair added together later, and a
// last field after that; a step checks the first two once both are read.
struct TDepot {
  std::int32_t Stock = 0;
  std::int32_t Limit = 0;
  bool Guarded = false;
  bool Lit = false;
  std::string Keeper = "scenario's";
  std::vector<std::string> Steps;
};

using TDepotFields = TSavedFields<TDepot>;

const TDepotFields& DepotFields() {
  using F = TDepotFields;
  static const TDepotFields Table('~', {
      F::Field("stock", [](const TDepot& D) { return IntToStr(D.Stock); }, [](TDepot& D, TSavedValues& V) { D.Stock = SavedValue::Int(V); }),
      F::Field("limit", [](const TDepot& D) { return IntToStr(D.Limit); },
               [](TDepot& D, TSavedValues& V) { D.Limit = SavedValue::Int(V, 0, 100); }),
      F::Step("stock within the limit",
              [](TDepot& D) { D.Steps.push_back(D.Stock <= D.Limit ? "within" : "over"); }),
      F::Later(1, "guarded", [](const TDepot& D) { return TokenText(D.Guarded); },
               [](TDepot& D, TSavedValues& V) { D.Guarded = V.NextFlag(); }, [](TDepot& D) { D.Guarded = true; }),
      F::Later(1, "lit", [](const TDepot& D) { return TokenText(D.Lit); }, [](TDepot& D, TSavedValues& V) { D.Lit = V.NextFlag(); },
               nullptr),
      F::Later(2, "keeper", [](const TDepot& D) { return D.Keeper; }, [](TDepot& D, TSavedValues& V) { D.Keeper = std::string(V.Next()); },
               [](TDepot& D) { D.Keeper = "nobody"; }),
  });
  return Table;
}

}  // namespace

TEST(SavedFieldsTest, OneTableWritesTheRecordAndReadsEveryShapeOfIt) {
  TDepot Saved;
  Saved.Stock = 7;
  Saved.Limit = 9;
  Saved.Lit = true;
  Saved.Keeper = "Hale";
  EXPECT_EQ(DepotFields().Write(Saved), "7~9~0~1~Hale~") << "each field once, in order, steps writing nothing";

  struct TCase {
    std::string Text;
    bool Guarded, Lit;
    std::string Keeper;
  };
  const TCase Cases[] = {
      {"7~9~0~1~Hale~", false, true, "Hale"},
      // Without the keeper: the default the table names for older texts.
      {"7~9~0~1~", false, true, "nobody"},
      // Without the pair: one has a default, the other keeps what it had; the keeper of the
      // shape after them takes its default too.
      {"7~9~", true, true, "nobody"},
      // A pair comes and goes together: a text holding the first of it reads the second as
      // an empty value, not as an older shape.
      {"7~9~0~", false, false, "nobody"},
      // The last value needs no delimiter.
      {"7~9~0~1~Hale", false, true, "Hale"},
  };
  for (const TCase& Case : Cases) {
    TDepot Read;
    Read.Lit = true;  // As the scenario had it.
    DepotFields().Read(Read, Case.Text);
    EXPECT_EQ(Read.Stock, 7) << Case.Text;
    EXPECT_EQ(Read.Limit, 9) << Case.Text;
    EXPECT_EQ(Read.Guarded, Case.Guarded) << Case.Text;
    EXPECT_EQ(Read.Lit, Case.Lit) << Case.Text;
    EXPECT_EQ(Read.Keeper, Case.Keeper) << Case.Text;
    EXPECT_EQ(Read.Steps, std::vector<std::string>{"within"}) << Case.Text;
  }
}

TEST(SavedFieldsTest, AValueThatCannotBeReadNamesItsFieldByNumberAndName) {
  const auto Error = [](const std::string& Text) {
    TDepot Read;
    try {
      DepotFields().Read(Read, Text);
    } catch (const EBrenmoorEngine& E) {
      return std::string(E.what());
    }
    return std::string();
  };
  EXPECT_EQ(Error("x~9~"), "field 1 (stock): 'x' is not a valid integer value");
  // The step between the limit and the pair is not counted as a field.
  EXPECT_EQ(Error("7~101~"), "field 2 (limit): the value 101 is outside 0..100");
  // An empty value reads as 0 when 0 is allowed; beyond the end the values are empty.
  EXPECT_EQ(Error("~"), "");
}

TEST(SavedFieldsTest, SplitValuesAreReadByPlaceAndRunsOfThemPassedOver) {
  TSavedValues Values("4;2;a;b;c;end", ';', TSavedValues::Split);
  EXPECT_EQ(Values.Size(), 6u);
  EXPECT_EQ(Values.Next(), "4");
  EXPECT_EQ(Values.NextInt(), 2);
  EXPECT_EQ(Values.Skip(3), 2u);
  EXPECT_EQ(Values.Next(), "end");
  EXPECT_TRUE(Values.AtEnd());
  EXPECT_EQ(Values.Next(), "");
  EXPECT_EQ(Values.At(3), "b");
  EXPECT_EQ(Values.At(9), "");
  // Cut off the front, the same values.
  TSavedValues Stream("4;2;a;b;c;end", ';');
  EXPECT_EQ(Stream.Skip(5), 0u);
  EXPECT_EQ(Stream.Next(), "end");
  EXPECT_TRUE(Stream.AtEnd());
}
