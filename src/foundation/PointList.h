#pragma once
// A list of points (the zone map's grid).
#include <vector>

#include "foundation/Geometry.h"
#include "foundation/ListError.h"

class TPointList {
public:
  int Add(TPoint P) {
    FPoints.push_back(P);
    return Count() - 1;
  }
  void GetPoint(int Index, TPoint& P) const { P = Point(Index); }
  TPoint Point(int Index) const {
    CheckIndex(Index);
    return FPoints[static_cast<std::size_t>(Index)];
  }
  void Delete(int Index) {
    CheckIndex(Index);
    FPoints.erase(FPoints.begin() + Index);
  }
  void Clear() { FPoints.clear(); }
  int Count() const { return static_cast<int>(FPoints.size()); }

  auto begin() const { return FPoints.begin(); }
  auto end() const { return FPoints.end(); }

private:
  void CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError::IndexOutOfBounds(Index);
  }
  std::vector<TPoint> FPoints;
};
