#include "controls/UrlLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

#include "platform/Application.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"

TUrlLabel::TUrlLabel(QWidget* Parent) : QLabel(Parent) {
  QPalette Colors = palette();
  Colors.setColor(QPalette::WindowText, QColor(0, 0, 255));
  setPalette(Colors);
  QFont Underlined = font();
  Underlined.setUnderline(true);
  setFont(Underlined);
  setCursor(Qt::PointingHandCursor);
  setTextFormat(Qt::PlainText);
}

std::string TUrlLabel::CannotOpenText(const std::string& Caption) {
  return "Cannot open \"" + Caption + "\".";
}

void TUrlLabel::Click() {
  if (OnClick) OnClick(this);
  // The caption is handed to the browser only when it is a web address: never a file, a
  // program or another kind of link.
  const QUrl Link(text().trimmed(), QUrl::StrictMode);
  const QString Scheme = Link.scheme().toLower();
  const bool Web = Link.isValid() && (Scheme == "http" || Scheme == "https") && !Link.host().isEmpty();
  if (!Web || !QDesktopServices::openUrl(Link)) Prompter().ShowMessage(CannotOpenText(FromQString(text())));
}

void TUrlLabel::mousePressEvent(QMouseEvent* Event) {
  QLabel::mousePressEvent(Event);
  if (Event->button() != Qt::LeftButton) return;
  // The press is the link's: the window behind it does not see it.
  Event->accept();
  FClicked = true;
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* Event) {
  QLabel::mouseReleaseEvent(Event);
  if (Event->button() != Qt::LeftButton || !FClicked) return;
  FClicked = false;
  Event->accept();
  if (rect().contains(Event->position().toPoint())) RunGuarded([this] { Click(); });
}
