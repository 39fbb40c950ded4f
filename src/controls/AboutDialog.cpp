#include "controls/AboutDialog.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "controls/StringHolder.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"

namespace {

// The box the credits are painted in.
class TCreditsBox : public QWidget {
public:
  TCreditsBox(QWidget* Parent, TfrmAboutBox* Form) : QWidget(Parent), FForm(Form) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter Canvas(this);
    RunGuarded([&] { FForm->pbCreditsPaint(Canvas); });
  }

private:
  TfrmAboutBox* FForm;
};

}  // namespace

TfrmAboutBox::TfrmAboutBox(QWidget* Parent)
    : QDialog(Parent),
      FIcon(new QLabel(this)),
      FProgramName(new QLabel(this)),
      FVersion(new QLabel(this)),
      FCreditsPanel(new QFrame(this)),
      FCredits(new TCreditsBox(FCreditsPanel, this)),
      FOK(new QPushButton(this)),
      FTimerScroll(new QTimer(this)),
      FStrCredits(new TStringHolder(this)) {
  setObjectName("frmAboutBox");
  setFixedSize(304, 263);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  QPalette Face = palette();
  Face.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
  setPalette(Face);
  setAutoFillBackground(true);

  FIcon->setObjectName("imIcon");
  FIcon->setGeometry(8, 8, 32, 32);
  FProgramName->setObjectName("lblProgramName");
  FProgramName->setGeometry(52, 8, 244, 20);
  FProgramName->setTextFormat(Qt::PlainText);
  FProgramName->setFont(GameFont("MS Sans Serif", 16, true));
  QPalette Navy = FProgramName->palette();
  Navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
  FProgramName->setPalette(Navy);
  FVersion->setObjectName("lblVersion");
  FVersion->setGeometry(52, 30, 244, 16);
  FVersion->setTextFormat(Qt::PlainText);

  FCreditsPanel->setObjectName("pnlCredits");
  FCreditsPanel->setGeometry(8, 52, 288, 168);
  QPalette Black = FCreditsPanel->palette();
  Black.setColor(QPalette::Window, QColor(0, 0, 0));
  FCreditsPanel->setPalette(Black);
  FCreditsPanel->setAutoFillBackground(true);
  FCredits->setObjectName("pbCredits");
  FCredits->setGeometry(4, 4, 280, 160);

  FOK->setObjectName("btnOK");
  FOK->setGeometry(114, 230, 75, 25);
  FOK->setText("OK");
  FOK->setDefault(true);
  connect(FOK, &QPushButton::clicked, this, &QDialog::accept);

  FStrCredits->setObjectName("strCredits");
  FTimerScroll->setObjectName("timerScroll");
  FTimerScroll->setInterval(45);
  connect(FTimerScroll, &QTimer::timeout, this, [this] { RunGuarded([this] { timerScrollTimer(); }); });
  FTimerScroll->start();

  // The first line starts below the box.
  FScrollOffset = -FCredits->height();
}

int TfrmAboutBox::LineHeight() const { return QFontMetrics(FCredits->font()).height() + 1; }

void TfrmAboutBox::timerScrollTimer() { FCredits->update(); }

void TfrmAboutBox::pbCreditsPaint(QPainter& Canvas) {
  Canvas.fillRect(FCredits->rect(), QColor(0, 0, 0));
  const std::vector<std::string>& Lines = FStrCredits->Strings();
  const int Step = LineHeight();
  ++FScrollOffset;
  if (FScrollOffset > Step * static_cast<int>(Lines.size())) FScrollOffset = -FCredits->height();
  Canvas.setFont(FCredits->font());
  Canvas.setPen(QColor(0, 255, 255));
  const int Ascent = QFontMetrics(FCredits->font()).ascent();
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    const int Top = Step * static_cast<int>(I) - FScrollOffset;
    if (Top + Step < 0 || Top > FCredits->height()) continue;
    Canvas.drawText(10, Top + Ascent, ToQString(Lines[I]));
  }
}

TAboutDialog::TAboutDialog(QObject* Owner) : QObject(Owner) {}

void TAboutDialog::Execute() {
  TfrmAboutBox Box;
  const QString Title = QGuiApplication::applicationDisplayName();
  Box.setWindowTitle("About " + Title);
  Box.lblProgramName()->setText(Title);
  const QIcon Icon = QApplication::windowIcon();
  if (!Icon.isNull()) Box.imIcon()->setPixmap(Icon.pixmap(32, 32));
  Box.lblVersion()->setText("Version " + ToQString(FVersion));
  Box.strCredits()->SetStrings(FCredits);
  FForm = &Box;
  Box.exec();
  FForm = nullptr;
}
