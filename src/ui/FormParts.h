#pragma once
// What the game's order and policy windows are built from: their modal results, labels and
// order buttons at fixed places, and the pictures they load by name from the program folder.
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <string>

class TBrenmoorOrderButton;
class TCellImage;

// The results a game window closes with: Cancel is also what closing it any other way gives.
enum TModalResult { mrCancel = QDialog::Rejected, mrOk = QDialog::Accepted, mrYes = 6 };

QLabel* MakeFormLabel(QWidget* Parent, const char* Name, const QString& Text, const QRect& Place);
// A label of the game screen: bold Arial of Size in green on a clear background.
QLabel* MakeGreenLabel(QWidget* Parent, const char* Name, const QRect& Place, int Size);
// A push button whose Tag is Tag.
TBrenmoorOrderButton* MakeFormButton(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Place,
                                     int Tag = 0);
// The full path of a picture of the game's artwork by its name ("imGreenBullet"...), in the
// program folder; the main window and the game's windows all load their pictures from here.
QString GamePicturePath(const std::string& Name);
// The picture of that name from the game's artwork in the program folder (null when missing).
QPixmap LoadGamePicture(const char* Name);
// A hidden grid of the unit-type icons (16 types across, 8 colour slots down) owned by Parent.
TCellImage* MakeUnitIcons(QWidget* Parent);
