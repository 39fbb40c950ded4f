// The game screen's status bar, built in code, and the artwork's pictures it and the toolbar
// show.
#include "ui/GameBars.h"

#include <QComboBox>
#include <QLabel>

#include "controls/CellImage.h"
#include "controls/ElasticPanel.h"
#include "controls/TransparentGlyph.h"
#include "platform/Fonts.h"
#include "ui/FormParts.h"

namespace {

QLabel* StatusLabel(QWidget* Parent, const char* Name, const QRect& Bounds) {
  return MakeGreenLabel(Parent, Name, Bounds, 12);
}

QLabel* StatusImage(QWidget* Parent, const char* Name, const QRect& Bounds) {
  auto* Image = new QLabel(Parent);
  Image->setObjectName(Name);
  Image->setGeometry(Bounds);
  Image->setScaledContents(true);
  return Image;
}

}  // namespace

void TGameBars::MakeStatusBar(TElasticPanel& Game, const std::function<QImage(const QString&)>& LoadArt) {
  auto* Bar = new TElasticPanel(&Game);
  StatusBar = Bar;
  Bar->setObjectName("pnlStatusBar");
  Bar->setGeometry(0, 425, 632, 24);
  Bar->setAutoFillBackground(true);
  QPalette Colors = Bar->palette();
  Colors.setColor(QPalette::Window, Qt::black);
  Bar->setPalette(Colors);
  PlayerFlag = StatusImage(Bar, "imPlayerFlag", {3, 3, 24, 18});
  Nations = new QComboBox(Bar);
  Nations->setObjectName("cmbCurrentNation");
  Nations->setGeometry(30, 1, 120, 22);
  Nations->setFont(GameFont("Arial", 11, true));
  Nations->setStyleSheet("QComboBox { color: rgb(0,255,0); background: rgb(0,64,0); border: 1px solid rgb(0,255,0); }"
                         "QComboBox QAbstractItemView { color: rgb(0,255,0); background: black; }");
  ResourcesPicture = StatusImage(Bar, "imNationResources", {156, 4, 16, 16});
  ResourcesPicture->setToolTip("Resources");
  Resources = StatusLabel(Bar, "lblNationResources", {172, 2, 84, 20});
  QLabel* ValuePicture = StatusImage(Bar, "imNationValue", {258, 4, 16, 16});
  ValuePicture->setToolTip("World domination");
  Score = StatusLabel(Bar, "lblNationScore", {274, 2, 50, 20});
  Date = StatusLabel(Bar, "lblDate", {326, 2, 128, 20});
  ZoneFlag = StatusImage(Bar, "imZoneFlag", {456, 3, 24, 18});
  ZoneName = StatusLabel(Bar, "lblZoneName", {484, 2, 146, 20});
  for (QLabel* Image : {ResourcesPicture, ValuePicture})
    Image->setPixmap(MakeGlyphTransparent(QPixmap::fromImage(LoadArt(Image->objectName()))));
  Bar->Loaded();
}

void TGameBars::TakeArtwork(const QWidget& Artwork) {
  Flags = Artwork.findChild<TCellImage*>("cellFlags");
  for (std::size_t I = 0; I < DiplomacyPictures.size(); ++I)
    DiplomacyPictures[I] = Artwork.findChild<QLabel*>("imDiplomacy" + QString::number(I));
  GreenBullet = Artwork.findChild<QLabel*>("imGreenBullet");
}
