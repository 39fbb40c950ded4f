#pragma once
// The game's small list controls and its order button: the list of units (the local player's
// units on top, each with its nation's flag and, for a submerged fleet, the submerged glyph),
// the list of unit-type counts (each with its unit-type icon in its nation's colour, the
// veteran level and a line under each unit's last type), and the colour button that carries
// an order code.
#include <QPixmap>
#include <QPointer>
#include <cstdint>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/EngineTypes.h"

class TBrenmoorEngine;
class TUnit;

// The units of a list: each row reads "~" + the unit's name and carries the unit.
class TBrenmoorUnitListBox : public TOwnerDrawListBox {
  Q_OBJECT
public:
  explicit TBrenmoorUnitListBox(QWidget* Parent = nullptr);

  // The nations' flags: cell (nation index, 0). Not owned; forgotten when the image goes.
  TCellImage* CellFlags() const { return FCellFlags; }
  void SetCellFlags(TCellImage* Value);
  // The glyph of a submerged unit; a copy is kept.
  const QPixmap& SubmergedGlyph() const { return FSubmergedGlyph; }
  void SetSubmergedGlyph(const QPixmap& Value);
  TBrenmoorEngine* BrenmoorEngine() const { return FEngine; }
  void SetBrenmoorEngine(TBrenmoorEngine* Value) { FEngine = Value; }

  // A unit of a nation played here goes before the first unit that is not; any other unit
  // goes at the end.
  void AddUnit(TUnit* Unit);
  // The unit of row I (nullptr outside the list).
  TUnit* Units(int I) const;

  void DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State) override;

private:
  QPointer<TCellImage> FCellFlags;
  QPixmap FSubmergedGlyph;
  QPixmap FTransparentSubmerged;
  TBrenmoorEngine* FEngine = nullptr;
};

// Counts of unit types: each row is a forces line (owner ";" type ";" quantity, and the
// strength for a row made from a unit) and may carry the unit it comes from.
class TBrenmoorForcesListBox : public TOwnerDrawListBox {
  Q_OBJECT
public:
  explicit TBrenmoorForcesListBox(QWidget* Parent = nullptr);

  // The unit-type icons: column = unit type, row = colour slot. Not owned; forgotten when the
  // image goes.
  TCellImage* CellForces() const { return FCellForces; }
  void SetCellForces(TCellImage* Value);
  // Keep a row whose quantity falls to 0.
  bool KeepZeroForces() const { return FKeepZeroForces; }
  void SetKeepZeroForces(bool Value) { FKeepZeroForces = Value; }
  TBrenmoorEngine* BrenmoorEngine() const { return FEngine; }
  void SetBrenmoorEngine(TBrenmoorEngine* Value) { FEngine = Value; }

  // One row per type the unit holds, in type order, carrying the unit.
  void AddForcesOf(TUnit* Unit);
  // The quantity of the first row of that type and owner; 0 when none.
  std::int32_t GetQty(int Type, int Owner) const;
  // The first row of that type and owner takes the quantity (a quantity of 0 removes it unless
  // KeepZeroForces); without one a row is added, unless the quantity is below 1 and zero rows
  // are not kept.
  void SetQty(int Type, int Owner, std::int32_t Quantity);
  // The type of the selected row; Infantry when none is selected.
  int SelectedType() const;
  // The type and owner of row I.
  int TypeOf(int I) const;
  int OwnerOf(int I) const;
  // The unit row I comes from (nullptr for none).
  TUnit* UnitOf(int I) const;

  void DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State) override;

private:
  QPointer<TCellImage> FCellForces;
  bool FKeepZeroForces = false;
  TBrenmoorEngine* FEngine = nullptr;
};

// A colour button standing for an order (Order) or a choice (its Tag).
class TBrenmoorOrderButton : public TColorButton {
  Q_OBJECT
public:
  explicit TBrenmoorOrderButton(QWidget* Parent = nullptr) : TColorButton(Parent) {}
  TOrderType Order() const { return FOrder; }
  void SetOrder(TOrderType Value) { FOrder = Value; }

private:
  TOrderType FOrder = ordNone;
};
