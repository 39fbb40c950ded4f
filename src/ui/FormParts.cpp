#include "ui/FormParts.h"

#include <QCoreApplication>
#include <QDir>

#include "controls/CellImage.h"
#include "gamemap/GameArt.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "ui/UnitLists.h"

QLabel* MakeFormLabel(QWidget* Parent, const char* Name, const QString& Text, const QRect& Place) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(Name);
  Label->setGeometry(Place);
  return Label;
}

TBrenmoorOrderButton* MakeFormButton(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Place,
                                     int Tag) {
  auto* Button = new TBrenmoorOrderButton(Parent);
  Button->setObjectName(Name);
  Button->SetCaption(Caption);
  Button->setGeometry(Place);
  SetComponentTag(Button, Tag);
  return Button;
}

QLabel* MakeGreenLabel(QWidget* Parent, const char* Name, const QRect& Place, int Size) {
  auto* Label = new QLabel(Parent);
  Label->setObjectName(Name);
  Label->setGeometry(Place);
  Label->setFont(GameFont("Arial", Size, true));
  Label->setStyleSheet("color: rgb(0,255,0); background: transparent;");
  return Label;
}

QString GamePicturePath(const std::string& Name) {
  return QDir(QCoreApplication::applicationDirPath()).filePath(ToQString(GameArt::PicturePath(Name)));
}

QPixmap LoadGamePicture(const char* Name) { return QPixmap(GamePicturePath(Name)); }

TCellImage* MakeUnitIcons(QWidget* Parent) {
  auto* Icons = new TCellImage(Parent);
  Icons->setObjectName(GameArt::IconSheets[2]);
  Icons->SetPicture(LoadGamePicture(GameArt::IconSheets[2]));
  Icons->SetNumCellsX(UnitTypeCount);
  Icons->SetNumCellsY(TallyRowCount);
  Icons->hide();
  return Icons;
}
