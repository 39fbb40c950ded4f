#include "gamemap/MapOverlay.h"

#include <algorithm>
#include <cstdlib>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "gamemap/MapNavigation.h"
#include "sprites/LineWalk.h"

namespace {

bool PlayedHere(const TNation* Nation) { return Nation && Nation->GetLocalPlayer(); }

struct TOrderStyle {
  TOrderType Order;
  const char* Label;
  TColor Color;
};

constexpr TOrderStyle OrderStyles[] = {
    {ordMove, "Move", clSilver},       {ordLaunch, "Launch", clAqua},       {ordRetreat, "Retreat", clYellow},
    {ordDock, "Dock", clOlive},        {ordEmbark, "Embark", clBlue},       {ordDisembark, "Disembark", clOlive},
    {ordIntercept, "Intercept", clRed}, {ordInvade, "Invade", clRed},       {ordPatrol, "Patrol", clSilver},
    {ordRecon, "Recon", clSilver},     {ordBombard, "Bombard", clRed},
};

} // namespace

TPoint TMapOverlay::ZonePoint(const TBrenmoorZone* Zone, const TOverlayView& View) {
  return {Zone->GetCenterX() - View.OffsetX, Zone->GetCenterY() - View.OffsetY};
}

TPoint TMapOverlay::WrappedTarget(const TBrenmoorZone* Origin, const TBrenmoorZone* Target, const TOverlayView& View) const {
  TPoint To = ZonePoint(Target, View);
  const std::int32_t OX = Origin->GetCenterX();
  const std::int32_t OY = Origin->GetCenterY();
  const std::int32_t TX = Target->GetCenterX();
  const std::int32_t TY = Target->GetCenterY();
  const std::int32_t Direct = std::abs(TX - OX) + std::abs(TY - OY);
  if (FEngine->GetWrapHorizontal()) {
    const std::int32_t Shift = TX > OX ? -View.VirtualWidth : View.VirtualWidth;
    if (std::abs(TX + Shift - OX) + std::abs(TY - OY) < Direct) To.X += Shift;
  }
  if (FEngine->GetWrapVertical()) {
    const std::int32_t Shift = TY > OY ? -View.VirtualHeight : View.VirtualHeight;
    if (std::abs(TX - OX) + std::abs(TY + Shift - OY) < Direct) To.Y += Shift;
  }
  return To;
}

const TBrenmoorZone* TMapOverlay::OrderTarget(const TUnit& Unit) {
  if (Unit.GetOrder() == ordEmbark) return Unit.GetDestinationUnit() ? Unit.GetDestinationUnit()->GetZone() : nullptr;
  if (Unit.GetOrder() == ordIntercept) {
    const TUnit* Target = Unit.GetDestinationUnit();
    if (Target && Target->GetZone() && Target->GetZone()->IsVisibleTo(Unit.GetOwner()) && !Target->GetSubmerged())
      return Target->GetZone();
    return nullptr;
  }
  return Unit.GetDestinationZone();
}

void TMapOverlay::AddOrderLine(TOverlayShapes& Shapes, const TBrenmoorZone* Origin, const TBrenmoorZone* Target,
                               bool Selected, TColor Color, const char* Label, const TOverlayView& View) const {
  if (!Target || !Origin) return;
  const TPoint To = WrappedTarget(Origin, Target, View);
  Shapes.Lines.push_back({ZonePoint(Origin, View), To, Selected ? clWhite : Color, opDot});
  Shapes.Marks.push_back({To, Color, Selected ? Label : "", true});
}

TOverlayShapes TMapOverlay::Compute(const TBrenmoorZone* Selected, const std::vector<TUnit*>& SelectedUnits,
                                    const std::vector<TBrenmoorZone*>& RoutePoints, bool ShowOrders,
                                    const TOverlayView& View, std::int32_t Phase) const {
  TOverlayShapes Shapes;
  const bool OwnSelected = Selected && PlayedHere(Selected->GetOwner());
  if (OwnSelected && Selected->GetPortZone()) {
    Shapes.Lines.push_back({ZonePoint(Selected, View), ZonePoint(Selected->GetPortZone(), View), clAqua, opDot});
    const TPoint Port = ZonePoint(Selected->GetPortZone(), View);
    Shapes.HasPort = true;
    Shapes.PortIcon = {Port.X - 6, Port.Y - 6};
  }
  if (ShowOrders) {
    if (OwnSelected && Selected->GetRocketSite() && Selected->GetRocketTarget()) {
      const TPoint Target = ZonePoint(Selected->GetRocketTarget(), View);
      Shapes.Lines.push_back({ZonePoint(Selected, View), Target, clMaroon, opDash});
      Shapes.Marks.push_back({Target, clMaroon, "", false});
    }
    for (int I = 0; I < FEngine->GetUnitCount(); ++I) {
      const TUnit* Unit = FEngine->GetUnit(I);
      if (!Unit || !PlayedHere(Unit->GetOwner()) || !Unit->GetZone()) continue;
      const bool IsSelected = std::find(SelectedUnits.begin(), SelectedUnits.end(), Unit) != SelectedUnits.end();
      const auto Style = std::find_if(std::begin(OrderStyles), std::end(OrderStyles),
                                      [&](const TOrderStyle& S) { return S.Order == Unit->GetOrder(); });
      if (Style != std::end(OrderStyles)) {
        if ((Unit->GetOrder() == ordPatrol || Unit->GetOrder() == ordRecon) && Unit->GetPatrolZoneCount() > 0) {
          const TColor Path = Unit->GetOrder() == ordPatrol ? clOlive : clLime;
          for (int P = 1; P < Unit->GetPatrolZoneCount(); ++P)
            Shapes.Lines.push_back(
                {ZonePoint(Unit->GetPatrolZone(P - 1), View), ZonePoint(Unit->GetPatrolZone(P), View), Path, opDot});
        }
        AddOrderLine(Shapes, Unit->GetZone(), OrderTarget(*Unit), IsSelected, Style->Color, Style->Label, View);
      }
      // A selected air force away from its base shows the way back.
      if (Unit->GetKind() == ukAirForce && IsSelected && Unit->GetBaseZone() != Unit->GetZone()) {
        const TBrenmoorZone* Base = Unit->GetBaseUnit() ? Unit->GetBaseUnit()->GetZone() : Unit->GetBaseZone();
        AddOrderLine(Shapes, Unit->GetZone(), Base, true, clGray, "[Base]", View);
      }
    }
  }
  for (std::size_t P = 1; P < RoutePoints.size(); ++P)
    Shapes.Lines.push_back({ZonePoint(RoutePoints[P - 1], View), ZonePoint(RoutePoints[P], View), clYellow, opDash});

  for (int I = 0; I < FEngine->GetZoneCount(); ++I) {
    const TBrenmoorZone* Zone = FEngine->GetZone(I);
    if (!FEngine->GetAllComputer() && !PlayedHere(Zone->GetOwner())) continue;
    const TBrenmoorZone* Source = Zone->GetSupplySource();
    if (!Source || Source == Zone || !Source->IsNeighbour(Zone)) continue;
    TPoint A = ZonePoint(Zone, View);
    TPoint B = ZonePoint(Source, View);
    const TCompassDirection D = TDirectionPointer::Direction(A.X, A.Y, B.X, B.Y);
    if (D == cdUp || D == cdUpRight || D == cdUpLeft) A.Y -= SupplyRouteInset, B.Y += SupplyRouteInset;
    if (D == cdDownRight || D == cdDown || D == cdDownLeft) A.Y += SupplyRouteInset, B.Y -= SupplyRouteInset;
    if (D == cdUpRight || D == cdRight || D == cdDownRight) A.X += SupplyRouteInset, B.X -= SupplyRouteInset;
    if (D == cdDownLeft || D == cdLeft || D == cdUpLeft) A.X -= SupplyRouteInset, B.X += SupplyRouteInset;
    TSupplyRoute Route{A, B, {}};
    std::int32_t Counter = Phase;
    LineDDA(A.X, A.Y, B.X, B.Y, [&](std::int32_t X, std::int32_t Y) {
      ++Counter;
      if (Counter % SupplyDotSpacing == 0) Route.Dots.push_back({X, Y});
    });
    Shapes.SupplyRoutes.push_back(std::move(Route));
  }
  return Shapes;
}

TPoint TMapOverlay::BannerPoint(std::int32_t SurfaceWidth, std::int32_t SurfaceHeight, std::int32_t TextWidth,
                                std::int32_t TextHeight) {
  // Integer division in C++ rounds toward zero, as the banner's halves do.
  return {(SurfaceWidth - TextWidth) / 2, (SurfaceHeight - TextHeight) / 2};
}
