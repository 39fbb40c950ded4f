#pragma once
// A panel that rescales its direct children in proportion to its own size, measured against
// the size it was designed at, so the game's windows can be resized and keep their layout.
// The window that builds it places the children at their designed bounds and then calls
// Loaded; from then on every change of the panel's size moves and sizes them.
#include <QFrame>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class TElasticPanel : public QFrame {
  Q_OBJECT
public:
  // A raised panel.
  explicit TElasticPanel(QWidget* Parent = nullptr);

  bool ElasticHorizontal() const { return FElasticHorizontal; }
  void SetElasticHorizontal(bool Value) { FElasticHorizontal = Value; }
  bool ElasticVertical() const { return FElasticVertical; }
  void SetElasticVertical(bool Value) { FElasticVertical = Value; }
  // The size the panel was designed at. Loaded takes the panel's size for one left at 0.
  int DTWidth() const { return FDTWidth; }
  void SetDTWidth(int Value) { FDTWidth = Value; }
  int DTHeight() const { return FDTHeight; }
  void SetDTHeight(int Value) { FDTHeight = Value; }
  // Edits (single-line edits and spin boxes) keep their heights unless this is set.
  bool ResizeEditHeights() const { return FResizeEditHeights; }
  void SetResizeEditHeights(bool Value) { FResizeEditHeights = Value; }

  // Records the bounds of every direct child as designed and the designed size; children
  // added later are left alone.
  void Loaded();
  bool Ready() const { return FReady; }
  // Sets every recorded child's bounds from its designed ones scaled by the panel's size over
  // the designed size (halves rounding to even). A child whose Tag is -1 keeps its height, as
  // does an edit unless ResizeEditHeights. An axis whose designed extent is 0 is not scaled.
  void Rescale();

protected:
  void resizeEvent(QResizeEvent* Event) override;

private:
  struct TRectHolder {
    QPointer<QWidget> Child;
    QRect Bounds;
  };
  std::vector<TRectHolder> FRects;
  QSize FReference;
  int FDTWidth = 0;
  int FDTHeight = 0;
  bool FElasticHorizontal = true;
  bool FElasticVertical = true;
  bool FResizeEditHeights = false;
  bool FReady = false;
};
