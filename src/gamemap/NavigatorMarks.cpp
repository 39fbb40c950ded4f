#include "gamemap/NavigatorMarks.h"

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"

std::vector<TNavigatorMark> NavigatorMarks(const TBrenmoorEngine& Engine, std::int32_t NavWidth,
                                           std::int32_t NavHeight, std::int32_t MapWidth, std::int32_t MapHeight) {
  std::vector<TNavigatorMark> Marks;
  if (MapWidth <= 0 || MapHeight <= 0) return Marks;
  const double SX = double(NavWidth) / double(MapWidth);
  const double SY = double(NavHeight) / double(MapHeight);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    const TBrenmoorZone& Zone = *Engine.GetZone(I);
    if (Zone.GetSea() != 0) continue;
    TNavigatorMark Mark;
    // Truncated, as the rules say.
    Mark.X = static_cast<std::int32_t>(Zone.GetCenterX() * SX);
    Mark.Y = static_cast<std::int32_t>(Zone.GetCenterY() * SY);
    const TNation* Owner = Zone.GetOwner();
    if (Owner && Owner->GetIndex() >= 0 && Owner->GetIndex() < Engine.GetMajorCount())
      Mark.OwnerColorIndex = Owner->GetColorIndex();
    Mark.Embattled = Zone.GetEmbattled();
    if (Mark.OwnerColorIndex >= 0 || Mark.Embattled) Marks.push_back(Mark);
  }
  return Marks;
}
