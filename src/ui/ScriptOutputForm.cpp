#include "ui/ScriptOutputForm.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

TfrmDebug::TfrmDebug() : TGameWindow("frmDebug", "Debug", false, {420, 260}) {
  setMinimumSize(240, 140);
  FMemo = new QPlainTextEdit(this);
  FMemo->setObjectName("memoDebug");
  FMemo->setReadOnly(true);
  // Both scroll bars: long lines stay whole.
  FMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  FMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  FMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  auto* Clear = MakeFormButton(this, "btnClear", "Clear", {0, 0, 75, 25});
  auto* Close = MakeFormButton(this, "btnClose", "Close", {0, 0, 75, 25});
  for (QWidget* Button : {static_cast<QWidget*>(Clear), static_cast<QWidget*>(Close)}) Button->setFixedSize(75, 25);
  // The memo takes the window; the buttons stay at its bottom right.
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(8, 8, 8, 8);
  Layout->addWidget(FMemo, 1);
  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch(1);
  Buttons->addWidget(Clear);
  Buttons->addWidget(Close);
  Layout->addLayout(Buttons);
  Clear->OnClick = [this](TGraphicControl*) { btnClearClick(); };
  Close->OnClick = [this](TGraphicControl*) { close(); };
}

void TfrmDebug::Print(const std::string& Line) {
  show();
  FMemo->appendPlainText(ToQString(Line));
}

void TfrmDebug::btnClearClick() { FMemo->clear(); }
