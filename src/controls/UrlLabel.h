#pragma once
// A label that is a web link (on the title screen): blue, underlined, with the hand cursor; a
// click opens its caption with the desktop's web browser. Only "http" and "https" addresses
// are opened: any other caption, or one the desktop cannot open, is reported in a message and
// nothing else happens.
#include <QLabel>
#include <functional>

class TUrlLabel : public QLabel {
  Q_OBJECT
public:
  explicit TUrlLabel(QWidget* Parent = nullptr);

  using TNotifyEvent = std::function<void(TUrlLabel* Sender)>;
  // Fired by a click before the link is opened.
  TNotifyEvent OnClick;

  // What a click does: OnClick, then the caption opened.
  virtual void Click();

  // The message shown when Caption cannot be opened.
  static std::string CannotOpenText(const std::string& Caption);

protected:
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  // The left button went down here; releasing it over the label clicks.
  bool FClicked = false;
};
