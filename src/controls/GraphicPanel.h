#pragma once
// A windowless bevelled panel with a caption, lighter than a windowed panel: the information
// panels of the map screen and the build window.
#include <QColor>
#include <QString>

#include "controls/GraphicControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
enum TBorderStyle { bsNone, bsSingle };

class TGraphicPanel : public TGraphicControl {
  Q_OBJECT
public:
  // 185 x 41, a raised bevel one pixel wide.
  explicit TGraphicPanel(QWidget* Parent = nullptr);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TPanelBevel BevelInner() const { return FBevelInner; }
  void SetBevelInner(TPanelBevel Value);
  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  // A single border is a ring of the window frame and window colours outside the bevels.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  // Rings in Color between the outer and the inner bevel.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  QColor ColorHighlight() const { return FColorHighlight; }
  void SetColorHighlight(const QColor& Value);
  QColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(const QColor& Value);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  QColor Color() const { return FColor; }
  void SetColor(const QColor& Value);
  // The caption's colour (its face is the widget's font).
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& Value);

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  TAlignment FAlignment = taLeftJustify;
  TPanelBevel FBevelInner = bvNone;
  TPanelBevel FBevelOuter = bvRaised;
  TBorderStyle FBorderStyle = bsNone;
  int FBorderWidth = 0;
  int FBevelWidth = 1;
  QColor FColorHighlight;
  QColor FColorShadow;
  QString FCaption;
  QColor FColor;
  QColor FFontColor;
};
