#include "controls/TipFrm.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "foundation/Random.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"

void DrawTransparentBitmap(QPainter& Canvas, int X, int Y, const QColor& TransparentColor, const QImage& Bitmap) {
  if (Bitmap.isNull()) return;
  // The pixels of the transparent colour are cut out of the picture (made fully transparent),
  // and the rest goes onto the canvas in one transfer.
  QImage Picture = Bitmap.convertToFormat(QImage::Format_ARGB32);
  const QRgb Transparent = TransparentColor.rgb() & RGB_MASK;
  for (int Row = 0; Row < Picture.height(); ++Row) {
    auto* Line = reinterpret_cast<QRgb*>(Picture.scanLine(Row));
    for (int Column = 0; Column < Picture.width(); ++Column)
      if ((Line[Column] & RGB_MASK) == Transparent) Line[Column] = 0;
  }
  Canvas.drawImage(X, Y, Picture);
}

QImage LoadTipBitmap() {
  return QImage(QDir(QCoreApplication::applicationDirPath()).filePath("art/controls/TIPBMP.bmp"));
}

TTipsForm::TTipsForm(QWidget* Parent)
    : QDialog(Parent),
      FTipPanel(new QFrame(this)),
      FImage1(new QLabel(FTipPanel)),
      FTipTitleLbl(new QLabel(FTipPanel)),
      FTipLbl(new QLabel(FTipPanel)),
      FShowChk(new QCheckBox(this)),
      FOKBtn(new QPushButton(this)),
      FNextBtn(new QPushButton(this)),
      FPrevBtn(new QPushButton(this)) {
  setObjectName("TipsForm");
  setFixedSize(432, 222);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  FTipPanel->setObjectName("TipPanel");
  FTipPanel->setGeometry(8, 8, 416, 168);
  FTipPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  FTipPanel->setAutoFillBackground(true);
  FImage1->setObjectName("Image1");
  FImage1->move(12, 12);
  FTipTitleLbl->setObjectName("TipTitleLbl");
  FTipTitleLbl->setGeometry(84, 12, 320, 26);
  FTipTitleLbl->setTextFormat(Qt::PlainText);
  FTipLbl->setObjectName("TipLbl");
  FTipLbl->setGeometry(84, 44, 320, 112);
  FTipLbl->setTextFormat(Qt::PlainText);
  FTipLbl->setWordWrap(true);
  FTipLbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SetTipTitleFont({GameFont("Times New Roman", 16, true), QColor(0, 0, 0)});

  FShowChk->setObjectName("ShowChk");
  FShowChk->setGeometry(8, 188, 150, 17);
  FShowChk->setText(" &Show tips at startup");
  FPrevBtn->setObjectName("PrevBtn");
  FPrevBtn->setGeometry(164, 184, 90, 25);
  FPrevBtn->setText("&Previous Tip");
  FNextBtn->setObjectName("NextBtn");
  FNextBtn->setGeometry(260, 184, 80, 25);
  FNextBtn->setText("&Next Tip");
  FOKBtn->setObjectName("OKBtn");
  FOKBtn->setGeometry(346, 184, 78, 25);
  FOKBtn->setText("&OK");
  FOKBtn->setDefault(true);

  connect(FNextBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { NextBtnClick(); }); });
  connect(FPrevBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { PrevBtnClick(); }); });
  connect(FOKBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { OKBtnClick(); }); });
}

void TTipsForm::SetPanelColor(const QColor& Value) {
  QPalette Colors = FTipPanel->palette();
  Colors.setColor(QPalette::Window, Value);
  FTipPanel->setPalette(Colors);
}

namespace {
void ApplyFont(QLabel& Label, const TTextFont& Value) {
  Label.setFont(Value.Font);
  QPalette Colors = Label.palette();
  Colors.setColor(QPalette::WindowText, Value.Color);
  Label.setPalette(Colors);
}
}  // namespace

void TTipsForm::SetTipTitleFont(const TTextFont& Value) { ApplyFont(*FTipTitleLbl, Value); }

void TTipsForm::SetTipFont(const TTextFont& Value) { ApplyFont(*FTipLbl, Value); }

void TTipsForm::NextBtnClick() {
  const int Count = static_cast<int>(FTips.size());
  if (Count == 0) return;
  if (FRandom) {
    int R = FRandom->Random(Count - 1);
    if (R == FCurrentIndex && Count > 1) ++R;
    FCurrentIndex = R;
  } else {
    // An index outside the list (a stored tip number that no longer fits) starts again at the
    // first tip.
    FCurrentIndex = FCurrentIndex < 0 || FCurrentIndex >= Count - 1 ? 0 : FCurrentIndex + 1;
  }
  ShowTip();
}

void TTipsForm::PrevBtnClick() {
  const int Count = static_cast<int>(FTips.size());
  if (Count == 0) return;
  FCurrentIndex = FCurrentIndex <= 0 || FCurrentIndex >= Count ? Count - 1 : FCurrentIndex - 1;
  ShowTip();
}

void TTipsForm::OKBtnClick() { accept(); }

void TTipsForm::ShowTip() {
  std::string Text = FTips[static_cast<std::size_t>(FCurrentIndex)];
  if (!FSubstitute.empty()) {
    std::string Broken;
    for (std::size_t At = 0;;) {
      const std::size_t Found = Text.find(FSubstitute, At);
      Broken.append(Text, At, Found == std::string::npos ? std::string::npos : Found - At);
      if (Found == std::string::npos) break;
      Broken += "\r\n";
      At = Found + FSubstitute.size();
    }
    Text = std::move(Broken);
  }
  FTipText = Text;
  QString Shown = ToQString(Text);
  Shown.replace("\r\n", "\n");
  FTipLbl->setText(Shown);
}
