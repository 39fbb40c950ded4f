// The notice line at the bottom of the game screen: what the player's own actions came to.
#include <QLabel>

#include "controls/ElasticPanel.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"
#include "ui/MainForm.h"

void TfrmMain::ShowNotify(const std::string& Text, std::uint32_t Color) {
  auto* Notify = FGame->findChild<QLabel*>("pnlNotify");
  if (!Notify) {
    Notify = new QLabel(FGame);
    Notify->setObjectName("pnlNotify");
    Notify->setGeometry(4, FGame->height() - 66, 440, 22);
    Notify->setFont(GameFont("Arial", 11, true));
  }
  // Window-system colour values are $00BBGGRR.
  const QColor Colour(Color & 0xFF, (Color >> 8) & 0xFF, (Color >> 16) & 0xFF);
  Notify->setStyleSheet(QString("color: %1; background: black;").arg(Colour.name()));
  Notify->setText(ToQString(Text));
  Notify->show();
  Notify->raise();
}
