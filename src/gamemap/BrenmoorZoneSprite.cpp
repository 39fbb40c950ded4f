#include "gamemap/BrenmoorZoneSprite.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "foundation/NumberText.h"
#include "gamemap/GameArt.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"
#include "sprites/LineWalk.h"

namespace {

// The sheets every game zone sprite draws from.
std::array<std::unique_ptr<TDIBCanvas>, IconSheetCount>& Sheets() {
  static std::array<std::unique_ptr<TDIBCanvas>, IconSheetCount> Canvases;
  return Canvases;
}

constexpr TColor TerrainColor = clYellow;
constexpr TColor ResourceColor = clOlive;
constexpr TColor DebtColor = clRed;
constexpr TColor CarriedArmyColor = clAqua;
constexpr TColor IconPenColor = clSilver;
constexpr TColor MoreColor = clYellow;
// Border-defence blocks: 4 x 4 pixels about each chosen point.
constexpr std::int32_t BlockHalf = 2;


// A corner moved 2 pixels toward the zone's centre on each axis (a coordinate on the centre
// moves back), as the outline and the bands lie inside the zone.
std::int64_t Inset(std::int32_t V, std::int32_t Centre) {
  return std::int64_t(V) + (V < Centre ? TZoneSprite::OutlineInset : -TZoneSprite::OutlineInset);
}

// The whole part of a zone's resources, toward zero, held within 32 bits.
std::int64_t WholeResources(float Resources) {
  if (!std::isfinite(Resources)) return 0;
  const double T = std::trunc(double(Resources));
  return std::int64_t(std::clamp(T, -2147483648.0, 2147483647.0));
}

}  // namespace

TBrenmoorZoneSprite::TBrenmoorZoneSprite(TBrenmoorZone& Zone) : TZoneSprite(Zone), FGameZone(&Zone) {}

void TBrenmoorZoneSprite::LoadIconCanvases(const std::array<const TBitmap*, IconSheetCount>& Images) {
  std::array<std::unique_ptr<TDIBCanvas>, IconSheetCount> Loaded;
  for (std::size_t I = 0; I < Images.size(); ++I) {
    if (!Images[I]) throw EDIBCanvas("An icon sheet needs a picture");
    if (Images[I]->GetBitsPerPixel() != 8) throw EDIBCanvas("An icon sheet must have 8 bits per pixel");
    Loaded[I] = TDIBCanvas::CreateFromBitmap(std::make_unique<TBitmap>(*Images[I]));
  }
  Sheets() = std::move(Loaded);
}

void TBrenmoorZoneSprite::LoadIconCanvasesFromFolder(const std::string& Folder) {
  std::array<TBitmap, IconSheetCount> Pictures;
  std::array<const TBitmap*, IconSheetCount> Images{};
  for (std::size_t I = 0; I < Pictures.size(); ++I) {
    Pictures[I] = TBitmap::LoadFromFile(Folder + "/" + GameArt::PicturePath(GameArt::IconSheets[I]));
    Images[I] = &Pictures[I];
  }
  LoadIconCanvases(Images);
}

void TBrenmoorZoneSprite::ClearIconCanvases() {
  for (auto& Sheet : Sheets()) Sheet.reset();
}

const TDIBCanvas* TBrenmoorZoneSprite::IconCanvas(TIconSheet Sheet) {
  return Sheet < IconSheetCount ? Sheets()[Sheet].get() : nullptr;
}

std::int32_t TBrenmoorZoneSprite::BandStep(std::int32_t Level) { return (5 - std::clamp(Level, 1, 4)) * 5; }

void TBrenmoorZoneSprite::DrawOutline(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  const float KeepX = GetX(), KeepY = GetY();
  const TPoint At = GetPosition();
  const std::uint16_t Color = FGameZone->GetColorIndex();
  DIBCanvas.SetPenColor(Color);
  DIBCanvas.SetBrushColor(Color);
  if (FGameZone->GetEmbattled()) {
    // The visual effects' generator: a shaking outline must not change the game.
    const std::int32_t DX = EffectsRandom().Random(3) - 1;
    const std::int32_t DY = EffectsRandom().Random(3) - 1;
    SetPosition({At.X + DX, At.Y + DY});
  }
  TZoneSprite::DrawOutline(Canvas, DIBCanvas);
  SetX(KeepX);
  SetY(KeepY);
  DrawBands(DIBCanvas);
}

void TBrenmoorZoneSprite::DrawBands(TDIBCanvas& DIBCanvas) {
  const TBrenmoorZone& Zone = *FGameZone;
  const int Count = Zone.GetBorderDefenseCount();
  if (Count == 0) return;
  const std::int64_t OX = SurfaceOffsetX(), OY = SurfaceOffsetY();
  const int Edges = Zone.PointCount();
  for (int I = 0; I < Count; ++I) {
    const TBrenmoorZone* Other = Zone.GetBorderDefenseZone(I);
    if (!Other) continue;
    const std::int32_t Step = BandStep(Zone.GetBorderDefenseValue(I));
    for (int E = 0; E < Edges; ++E) {
      const TZoneEdge Edge = Zone.GetEdge(E);
      for (int F = 0; F < Other->PointCount(); ++F) {
        if (!TZone::SameEdge(Edge, Other->GetEdge(F))) continue;
        const std::int32_t X1 = Clamp32(Inset(Edge.X1, Zone.GetCenterX()) - OX);
        const std::int32_t Y1 = Clamp32(Inset(Edge.Y1, Zone.GetCenterY()) - OY);
        const std::int32_t X2 = Clamp32(Inset(Edge.X2, Zone.GetCenterX()) - OX);
        const std::int32_t Y2 = Clamp32(Inset(Edge.Y2, Zone.GetCenterY()) - OY);
        std::int32_t Counter = 0;
        LineDDA(X1, Y1, X2, Y2, [&](std::int32_t X, std::int32_t Y) {
          ++Counter;
          if (Counter % Step == 0)
            DIBCanvas.FillRect({X - BlockHalf, Y - BlockHalf, X + BlockHalf, Y + BlockHalf});
        });
      }
    }
  }
}

void TBrenmoorZoneSprite::DrawLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  const TBrenmoorZone& Zone = *FGameZone;
  const bool Visible = Zone.IsVisibleToLocalPlayer() || Zone.GetEngine().GetAllComputer();
  if (Zone.GetSea() == 0) DrawZoneLabel(Canvas, DIBCanvas, Visible);
  DrawIcons(Canvas, DIBCanvas, Visible);
}

void TBrenmoorZoneSprite::DrawZoneLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas, bool Visible) {
  const TBrenmoorZone& Zone = *FGameZone;
  const TPoint Corner = Zone.Point(0);
  std::int32_t X = Clamp32(std::int64_t(Corner.X) - SurfaceOffsetX());
  const std::int32_t Y = Clamp32(std::int64_t(Corner.Y) - SurfaceOffsetY());
  const TNation* Owner = Zone.GetOwner();
  TFont& Font = Canvas.Font();
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(clBlack);
  Font.SetName(FontName);
  Font.SetSize(FontSize);
  Font.SetStyle(Owner && Owner->GetCapital() == &Zone ? fsUnderline : 0);
  Font.SetColor(Zone.GetTerrainDefense() > 0 ? TerrainColor : clWhite);

  if (Zone.GetCapital() && Owner && Owner == Zone.GetOriginalOwner() && Owner->GetMajorPower()) {
    if (const TDIBCanvas* Capital = IconCanvas(isCapital)) {
      DIBCanvas.Draw(X, Y, *Capital, false);
      X = Clamp32(std::int64_t(X) + Capital->GetWidth());
    }
  }
  if (Zone.GetIndustry() > 0) {
    const std::string Name = " " + Zone.GetName() + " ";
    Canvas.TextOut(X, Y, Name);
    X = Clamp32(std::int64_t(X) + Canvas.TextWidth(Name));
  }
  Font.SetStyle(0);
  Font.SetColor(clBlack);
  if (Zone.GetIndustry() > 0) {
    Canvas.Brush().SetColor(clWhite);
    const std::string Industry = " " + IntToStr(Zone.GetIndustry()) + " ";
    Canvas.TextOut(X, Y, Industry);
    X = Clamp32(std::int64_t(X) + Canvas.TextWidth(Industry));
  }
  const TBrenmoorZone* Source = Zone.GetSupplySource();
  const std::int64_t Whole = WholeResources(Zone.GetResources());
  if (Visible && (Source == &Zone || !Zone.IsNeighbour(Source)) && Whole != 0) {
    Canvas.Brush().SetColor(Zone.GetResources() < 0 ? DebtColor : ResourceColor);
    Canvas.TextOut(X, Y, " R" + IntToStr(std::int32_t(Whole)) + " ");
  }
}

void TBrenmoorZoneSprite::DrawIcons(TCanvas& Canvas, TDIBCanvas& DIBCanvas, bool Visible) {
  const TBrenmoorZone& Zone = *FGameZone;
  const TBrenmoorEngine& Engine = Zone.GetEngine();
  TFont& Font = Canvas.Font();
  Font.SetName(FontName);
  Font.SetSize(FontSize);
  Font.SetStyle(0);
  Font.SetColor(clWhite);
  Canvas.Pen().SetColor(IconPenColor);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(clBlack);

  const int Slots = Zone.GridPointCount();
  const std::int64_t OX = SurfaceOffsetX(), OY = SurfaceOffsetY();
  int Slot = 0;
  bool Overflow = false;
  // One entry: cell (Column, Row) of a sheet in the next slot, its text below. A cell that
  // does not lie wholly inside its sheet (a damaged colour slot or type) draws nothing and
  // takes no slot.
  auto Entry = [&](TIconSheet Sheet, std::int32_t Column, std::int32_t Row, const std::string& Text,
                   bool CarriedArmy) {
    const TDIBCanvas* Icons = IconCanvas(Sheet);
    const TRect Cell{Column * CellWidth, Row * CellHeight, Column * CellWidth + CellWidth,
                     Row * CellHeight + CellHeight};
    if (Icons && (Column < 0 || Row < 0 || Cell.Right > Icons->GetWidth() || Cell.Bottom > Icons->GetHeight()))
      return;
    if (Slot >= Slots) {
      Overflow = true;
      return;
    }
    TPoint P;
    Zone.GetGridPoint(Slot, P);
    const std::int32_t X = Clamp32(P.X - OX), Y = Clamp32(P.Y - OY);
    if (Icons) DIBCanvas.CopyFrom(X, Y, Cell, *Icons, false);
    if (!Text.empty()) {
      Font.SetColor(CarriedArmy ? CarriedArmyColor : clWhite);
      Canvas.TextOut(X, Clamp32(std::int64_t(Y) + CountDrop), " " + Text + "  ");
    }
    ++Slot;
  };

  Entry(isFactories, 0, 0, IntToStr(Zone.GetFactories()), false);
  if (Zone.GetRichResources() > 1) Entry(isRichResources, 0, 0, IntToStr(Zone.GetRichResources()), false);
  if (!Engine.HasEngineOption(6) && Zone.IsPort()) Entry(isPort, 0, 0, "", false);
  if (!Engine.HasEngineOption(5) && Zone.IsAirfield()) Entry(isAirfield, 0, 0, "", false);
  if (Visible) {
    if (Zone.GetRocketSite()) Entry(isRocketSite, 0, 0, "", false);
    const int Majors = Engine.GetMajorCount();
    for (int Row = 0; Row < TallyRowCount; ++Row) {
      std::int32_t SheetRow = MinorTallyRow;
      if (Row < Majors && Row < Engine.GetNationCount()) {
        SheetRow = Engine.GetNation(Row)->GetColorSlot();
      } else if (Row != MinorTallyRow) {
        continue;
      }
      if (SheetRow >= TallyRowCount) continue;
      for (int Type = 0; Type < UnitTypeCount; ++Type) {
        const std::uint16_t Tally = Zone.GetTally(Row, Type);
        if (Tally == 0) continue;
        const bool Carried = UnitTypes[std::size_t(Type)].Kind == ukArmy && Zone.GetSea() != 0;
        Entry(isTallies, Type, SheetRow, IntToStr(Tally), Carried);
      }
    }
  }
  if (Overflow && Slots > 0) {
    TPoint Last;
    Zone.GetGridPoint(Slots - 1, Last);
    Font.SetColor(clBlack);
    Canvas.Brush().SetColor(MoreColor);
    Canvas.TextOut(Clamp32(Last.X - OX), Clamp32(Last.Y - OY + MoreDrop), "[more]");
  }
}
