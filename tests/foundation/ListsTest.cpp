#include <gtest/gtest.h>

#include <memory>

#include "foundation/ObjectList.h"
#include "foundation/PointList.h"
#include "foundation/RandomAccessList.h"

namespace {
struct TItem : TRandomAccessListItem {
  explicit TItem(std::int32_t Id = 0) { ID = Id; }
};
}  // namespace

TEST(RandomAccessList, GivesStableIdentifiersThatAreNeverReused) {
  TRandomAccessList<TItem> List;
  TItem A, B, C;
  EXPECT_EQ(List.Add(&A), 0);
  EXPECT_EQ(List.Add(&B), 1);
  List.Delete(0);
  EXPECT_EQ(List.ItemByID(0), nullptr);
  EXPECT_EQ(List.ItemByID(1), &B);
  EXPECT_EQ(List.Add(&C), 2);
  EXPECT_EQ(List.Count(), 2);
  EXPECT_EQ(List[0], &B);
  EXPECT_EQ(List[1], &C);
  EXPECT_EQ(List.ItemByID(-1), nullptr);
  EXPECT_EQ(List.ItemByID(1000), nullptr);
  EXPECT_THROW(List.Delete(2), EListError);
}

TEST(RandomAccessList, InsertWithIDFilesItemsUnderTheirOwnIdentifiers) {
  TRandomAccessList<TItem> List;
  TItem Five(5);
  EXPECT_EQ(List.InsertWithID(&Five), 5);
  for (int Id = 0; Id < 5; ++Id) EXPECT_EQ(List.ItemByID(Id), nullptr);
  EXPECT_EQ(List.ItemByID(5), &Five);
  EXPECT_EQ(List.ItemByID(9), nullptr);
  TItem Next;
  EXPECT_EQ(List.Add(&Next), 6);
  TItem Two(2);
  EXPECT_EQ(List.InsertWithID(&Two), 2);
  TItem After;
  EXPECT_EQ(List.Add(&After), 7);
}

TEST(RandomAccessList, RefusesNegativeAndTakesHugeIdentifiersWithoutPadding) {
  TRandomAccessList<TItem> List;
  TItem Negative(-3);
  EXPECT_THROW(List.InsertWithID(&Negative), EListError);
  EXPECT_EQ(List.Count(), 0);
  TItem Huge(2000000000);
  EXPECT_EQ(List.InsertWithID(&Huge), 2000000000);
  EXPECT_EQ(List.ItemByID(2000000000), &Huge);
  TItem Max(INT32_MAX);
  EXPECT_THROW(List.InsertWithID(&Max), EListError);
}

TEST(RandomAccessList, DeletingADuplicateKeepsTheOtherFiled) {
  TRandomAccessList<TItem> List;
  TItem First(4), Second(4);
  List.InsertWithID(&First);
  List.InsertWithID(&Second);  // replaces First in the index
  List.Delete(List.IndexOf(&First));
  EXPECT_EQ(List.ItemByID(4), &Second);
  List.Delete(List.IndexOf(&Second));
  EXPECT_EQ(List.ItemByID(4), nullptr);
}

TEST(RandomAccessList, ClearFreesNothingAndStartsIdentifiersAgain) {
  auto A = std::make_unique<TItem>();
  TRandomAccessList<TItem> List;
  List.Add(A.get());
  List.Clear();
  EXPECT_EQ(List.Count(), 0);
  EXPECT_EQ(List.ItemByID(0), nullptr);
  EXPECT_EQ(A->ID, 0);  // still alive: the list never owned it
  EXPECT_EQ(List.Add(A.get()), 0);
}

namespace {
struct TCounted {
  explicit TCounted(int& Live) : FLive(Live) { ++FLive; }
  ~TCounted() { --FLive; }
  int& FLive;
};
}  // namespace

TEST(ObjectList, OwnsAndFreesItsObjects) {
  int Live = 0;
  {
    TObjectList<TCounted> List;
    for (int I = 0; I < 3; ++I) List.Add(std::make_unique<TCounted>(Live));
    EXPECT_EQ(Live, 3);
    List.Delete(1);
    EXPECT_EQ(Live, 2);
    auto Taken = List.Extract(0);
    EXPECT_EQ(List.Count(), 1);
    EXPECT_EQ(Live, 2);
    List.Clear();
    EXPECT_EQ(Live, 1);
    List.Add(std::make_unique<TCounted>(Live));
    EXPECT_THROW(List.Delete(5), EListError);
  }
  EXPECT_EQ(Live, 0);
}

TEST(PointList, CopiesPointsInAndOut) {
  TPointList List;
  List.Add({1, 2});
  List.Add({-3, 4});
  TPoint P;
  List.GetPoint(1, P);
  EXPECT_EQ(P, (TPoint{-3, 4}));
  List.Delete(0);
  EXPECT_EQ(List.Point(0), (TPoint{-3, 4}));
  EXPECT_THROW(List.Point(1), EListError);
  List.Clear();
  EXPECT_EQ(List.Count(), 0);
}
