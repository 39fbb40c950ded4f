#pragma once
// The tip-of-the-day window: a panel with a picture, a title and one tip at a time, the Next
// and Previous buttons, OK, and the check box that says whether tips show at start-up. It is
// shown by TOSKTipDlg (TipDialog.h), which fills it before it is shown.
#include <QColor>
#include <QDialog>
#include <QFont>
#include <QImage>
#include <string>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class TRandomGenerator;

// A font and the colour its text is drawn in.
struct TTextFont {
  QFont Font;
  QColor Color;
};

// Draws Bitmap onto Canvas with its top-left corner at (X, Y), leaving out every pixel of
// TransparentColor so that what lies below shows through.
void DrawTransparentBitmap(QPainter& Canvas, int X, int Y, const QColor& TransparentColor, const QImage& Bitmap);

// The tip picture "TIPBMP" from the program folder's "art/controls/TIPBMP.bmp" (a null image
// when that file is missing or unreadable).
QImage LoadTipBitmap();

class TTipsForm : public QDialog {
  Q_OBJECT
public:
  // 432 x 222, with the window system's default title font (bold 16-pixel Times New Roman).
  explicit TTipsForm(QWidget* Parent = nullptr);

  QFrame* TipPanel() const { return FTipPanel; }
  QLabel* Image1() const { return FImage1; }
  QLabel* TipTitleLbl() const { return FTipTitleLbl; }
  QLabel* TipLbl() const { return FTipLbl; }
  QCheckBox* ShowChk() const { return FShowChk; }
  QPushButton* OKBtn() const { return FOKBtn; }
  QPushButton* NextBtn() const { return FNextBtn; }
  QPushButton* PrevBtn() const { return FPrevBtn; }

  // The background of the panel.
  void SetPanelColor(const QColor& Value);
  void SetTipTitleFont(const TTextFont& Value);
  void SetTipFont(const TTextFont& Value);
  // The tips, one text each (game text); copied.
  const std::vector<std::string>& Tips() const { return FTips; }
  void SetTips(const std::vector<std::string>& Value) { FTips = Value; }
  // Text that stands for a line break inside a tip; empty: none.
  void SetSubstitute(const std::string& Value) { FSubstitute = Value; }
  // Random order, drawing from Random (not owned; it must outlive the form); nullptr: in turn.
  void SetRandom(TRandomGenerator* Random) { FRandom = Random; }
  bool RandomTips() const { return FRandom != nullptr; }

  // The index of the tip shown (0-based).
  int CurrentIndex() const { return FCurrentIndex; }
  void SetCurrentIndex(int Value) { FCurrentIndex = Value; }
  // The tip shown, with its line breaks as CR LF.
  const std::string& TipText() const { return FTipText; }

  // Next: another tip at random in random order, else the following one, from the last back to
  // the first. Previous: the one before, from the first on to the last.
  void NextBtnClick();
  void PrevBtnClick();
  void OKBtnClick();

private:
  void ShowTip();

  QFrame* FTipPanel;
  QLabel* FImage1;
  QLabel* FTipTitleLbl;
  QLabel* FTipLbl;
  QCheckBox* FShowChk;
  QPushButton* FOKBtn;
  QPushButton* FNextBtn;
  QPushButton* FPrevBtn;

  std::vector<std::string> FTips;
  int FCurrentIndex = 0;
  std::string FSubstitute;
  TRandomGenerator* FRandom = nullptr;
  std::string FTipText;
};
