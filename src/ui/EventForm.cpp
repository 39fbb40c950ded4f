#include "ui/EventForm.h"

#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "engine/GameRecords.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

TfrmEvent::TfrmEvent() : TGameWindow("frmEvent", "Event", false, {440, 330}) {
  setFixedSize(440, 330);
  FImage = MakeFormLabel(this, "imImage", "", {8, 8, 160, 120});
  FImage->setScaledContents(true);
  FImage->setFrameShape(QFrame::Box);
  FDescription = MakeFormLabel(this, "lblDescription", "", {176, 8, 256, 24});
  FDescription->setFont(GameFont("Arial", 16, true));
  FDescription->setWordWrap(true);
  FEffects = MakeFormLabel(this, "lblEffects", "", {176, 36, 256, 92});
  FEffects->setWordWrap(true);
  FEffects->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  FHistorical = new QPlainTextEdit(this);
  FHistorical->setObjectName("memoHistorical");
  FHistorical->setGeometry(8, 136, 424, 150);
  FHistorical->setReadOnly(true);
  // The button that takes the focus, so the memo shows no caret.
  FFocus = MakeFormButton(this, "btnFocus", "", {0, 0, 0, 0});
  FFocus->setFocusPolicy(Qt::StrongFocus);
  auto* Close = MakeFormButton(this, "btnClose", "Close", {357, 296, 75, 25});
  Close->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

void TfrmEvent::ShowRandomEvent(const TRandomEvent& Event, const QString& PictureFile) {
  const QPixmap Picture = !PictureFile.isEmpty() && QFileInfo(PictureFile).isFile() ? QPixmap(PictureFile) : QPixmap();
  FImage->setPixmap(Picture);
  FDescription->setText(ToQString(Event.Title));
  FEffects->setText(ToQString(Event.GetDescription()));
  FHistorical->setPlainText(ToQString(Event.History));
  FHistorical->verticalScrollBar()->setValue(0);
  FFocus->setFocus();
}
