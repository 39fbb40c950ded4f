#pragma once
// A one-line edit with a small button at its right edge, for a value that is typed or chosen
// through a dialog (the computer-player script file of each nation in the set-up window). The
// button shows one of two pictures of its glyph strip: the left half while the edit is enabled,
// the right half while it is disabled.
//
// The button lies in the edit's client area, which starts inside the edit's 2-pixel border:
// Left, Top, Width and Height below are client coordinates, so the widget geometry of the
// button is moved by kButtonEditBorder in both directions.
#include <QLineEdit>
#include <QPixmap>
#include <functional>

class TButtonEdit;

constexpr int kButtonEditBorder = 2;

class TButtonEditButton : public QWidget {
  Q_OBJECT
public:
  // A button of Edit, parented to it.
  explicit TButtonEditButton(TButtonEdit* Edit);

  // The left button is held down over the button: it is drawn pushed in.
  bool Pressed() const { return FPressed; }
  // The left button is held down after it left the button: pressed again when the mouse
  // comes back.
  bool MouseHeld() const { return FMouseHeld; }

  // A click of the button: unless the edit is read-only, the edit takes the focus and fires
  // OnButtonClick.
  virtual void Click();

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;

private:
  void MouseLeft();
  void MouseCameBack();

  TButtonEdit* FEdit;
  bool FPressed = false;
  bool FMouseHeld = false;
  // The mouse is over the button while the left button is held.
  bool FInside = false;
};

class TButtonEdit : public QLineEdit {
  Q_OBJECT
public:
  explicit TButtonEdit(QWidget* Parent = nullptr);

  using TNotifyEvent = std::function<void(TButtonEdit* Sender)>;
  // The button was clicked while the edit is not read-only.
  TNotifyEvent OnButtonClick;
  // Kept for the windows that assign it; the edit raises no notification of its own.
  TNotifyEvent OnReceivedNotify;

  // The strip of two images (wider than high); its bottom-left pixel's colour is transparent.
  // A glyph not wider than high is not drawn.
  const QPixmap& Glyph() const { return FGlyph; }
  // Copies the picture.
  void SetGlyph(const QPixmap& Value);
  // The glyph with its transparent colour left out.
  const QPixmap& TransparentGlyph() const { return FTransparentGlyph; }

  bool ButtonVisible() const { return FButtonVisible; }
  void SetButtonVisible(bool Value);

  TButtonEditButton* Button() const { return FButton; }

protected:
  void changeEvent(QEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  TButtonEditButton* FButton;  // a child widget, owned by the edit
  QPixmap FGlyph;
  QPixmap FTransparentGlyph;
  bool FButtonVisible = true;
};

// The game's own glyph for a button edit that opens a file dialog: three dots, from the program
// folder's "art/controls/ButtonEditGlyph.bmp" (a null picture when that file is missing).
QPixmap ButtonEditGlyph();
