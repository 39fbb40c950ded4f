// The description of each change code's record: its name, its fields and the check of a
// record against them, and that every record the host writes in the kept seeded games fits.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "KeptGame.h"
#include "engine/ChangeCodes.h"

namespace {

TEST(ChangeShapeTest, EachCodeHasItsEnumeratorsNameAndTheFieldsTheReplayNeeds) {
  // The replay's count of the fields each code cannot do without, as it has always been: a
  // storm's lifetime and a build's total, which older hosts do not send, and the kind of an
  // invasion's strike record are not counted.
  constexpr std::array<std::int32_t, ChangeCodeCount> Required = {
      2, 1, 2, 5, 3, 3, 1, 1, 2, 3,  // 0..9
      3, 2, 4, 4, 2, 1, 1, 1, 4, 4,  // 10..19
      2, 1, 2, 3, 1, 1, 3, 1, 2, 3,  // 20..29
      3, 3, 2, 5, 2, 1, 1, 2, 2, 1,  // 30..39
      2, 1, 1, 3, 6, 2, 2, 2, 2, 2,  // 40..49
      1, 2, 3, 2, 1, 2, 1, 4, 0};    // 50..58
  std::set<std::string> Names;
  for (std::int32_t C = 0; C < ChangeCodeCount; ++C) {
    const auto Code = static_cast<TChangeCode>(C);
    const TChangeShape& Shape = ChangeShape(Code);
    EXPECT_EQ(Shape.Code, Code);
    EXPECT_EQ(RequiredChangeFields(Code), Required[static_cast<std::size_t>(C)]) << Shape.Name;
    EXPECT_TRUE(Names.insert(Shape.Name).second) << Shape.Name;
    // Only fields at the end may be left out.
    bool LeftOut = false;
    for (const TChangeField& Field : Shape.Fields) {
      EXPECT_TRUE(!LeftOut || Field.LeftOut) << Shape.Name << " " << Field.Name;
      LeftOut = LeftOut || Field.LeftOut;
    }
    // A unit-addressed record starts with the unit.
    if (Shape.UnitAddressed) {
      EXPECT_EQ(Shape.Fields.front().Kind, TChangeFieldKind::Unit) << Shape.Name;
    }
  }
  EXPECT_STREQ(ChangeShape(chUnitMove).Name, "chUnitMove");
  EXPECT_STREQ(ChangeShape(chRocketSiteBuilt).Name, "chRocketSiteBuilt");
  EXPECT_STREQ(ChangeShape(chFreeForAll).Name, "chFreeForAll");
  EXPECT_THROW(ChangeShape(static_cast<TChangeCode>(ChangeCodeCount)), std::out_of_range);
}

TEST(ChangeShapeTest, ARecordIsCheckedAgainstItsCodesFields) {
  const std::string Counts = "0#0#0#2#0#0#0#0#0#0#0#0#0#0#0#0#";
  struct Case {
    std::string Record;
    std::string Fault;  // "" for a record that fits
  };
  const Case Cases[] = {
      {"0;17;42;", ""},
      {"58;", ""},
      {"6;;", ""},
      {"3;4;10;-1;-1;1;", ""},
      {"2;-1;5;", ""},       // an invasion without its kind
      {"2;0;5;1;", ""},
      {"26;0;3;4;", ""},     // an older host's storm without its lifetime
      {"12;1;0;" + Counts + ";2;1.2;", ""},
      {"28;1;-#-#-#-#-#-#-#12#;", ""},
      {"1;-1#3#91.13#0#4#98.5#;", ""},
      {"42;0#3#99#;", ""},
      {"51;3;Old Faithful 27;", ""},
      {"", "the record does not end its last field with \";\""},
      {"0;17;42", "the record does not end its last field with \";\""},
      {"59;", "\"59\" is no change code"},
      {"x;1;", "\"x\" is no change code"},
      {"0;17;", "chUnitMove has 1 fields, fewer than the 2 it needs"},
      {"58;1;", "chFreeForAll has 1 fields, more than its 0"},
      {"0;17;Alba;", "chUnitMove field 2 (zone): \"Alba\" is no integer"},
      {"0;-1;4;", "chUnitMove field 1 (unit): \"-1\" is out of its range"},
      {"3;4;44;-1;-1;0;", "chUnitOrder field 2 (order): \"44\" is out of its range"},
      {"3;4;10;-1;-1;yes;", "chUnitOrder field 5 (attacking): \"yes\" is no flag"},
      {"8;0;1e39;", "chFactoryBuilt field 2 (resources): \"1e39\" is no number"},
      // Numbers a saved game could not hold again.
      {"8;0;2e9;", "chFactoryBuilt field 2 (resources): \"2e9\" is out of its range"},
      {"26;0;2147483647;0;", "chStormMoved field 2 (x): \"2147483647\" is out of its range"},
      {"6;1#4;", "chEmbattledZones field 1 (embattled zones): \"1#4\" does not end its last item with \"#\""},
      {"6;1#x#;", "chEmbattledZones field 1 (embattled zones): item 2 \"x\" is no zone"},
      {"12;1;0;0#0#0#2#;2;", "chBuildStarted field 3 (counts): holds 4 counts, not one per unit type"},
      {"23;3;" + std::string("70000#") + Counts.substr(2) + ";1;", "chUnitStrength field 2 (counts): item 1 \"70000\" is no count"},
      {"1;0#3#;", "chUnitOrganization field 1 (organisations): holds 2 items, not groups of 3"},
      {"42;0#8#5#;", "chResearchLevel field 1 (levels): item 2 \"8\" is no research group"},
      {"42;0#3#100#;", "chResearchLevel field 1 (levels): item 3 \"100\" is no pick"},
  };
  for (const Case& C : Cases) EXPECT_EQ(CheckChangeShape(C.Record), C.Fault) << C.Record;
}

// Every record the host wrote in the kept seeded games (every line of their logs but the
// impulse marks and the host's verdicts on order records) fits its code's description.
TEST(ChangeShapeTest, EveryRecordTheHostWritesFitsItsCodesDescription) {
  for (const char* Name : {"standard", "kit-3", "kit-1942"}) {
    std::ifstream In(kept::KeptFile(std::string(Name) + "-records.txt"), std::ios::binary);
    ASSERT_TRUE(In.good()) << Name;
    std::map<std::string, std::string> Faults;  // the first record of each fault
    std::set<std::int32_t> Codes;
    std::string Line;
    while (std::getline(In, Line)) {
      if (Line.starts_with("impulse ") || Line.starts_with("taken ") || Line.starts_with("refused ")) continue;
      Codes.insert(StrToIntDef(Line.substr(0, Line.find(';')), -1));
      if (const std::string Fault = CheckChangeShape(Line); !Fault.empty()) Faults.emplace(Fault, Line);
    }
    for (const auto& [Fault, Record] : Faults) ADD_FAILURE() << Name << ": " << Record << ": " << Fault;
    EXPECT_FALSE(Codes.empty()) << Name;
  }
}

}  // namespace
