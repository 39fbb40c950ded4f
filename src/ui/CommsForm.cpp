#include "ui/CommsForm.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>

#include "engine/Nation.h"
#include "screens/GameSession.h"
#include "screens/LobbyRules.h"
#include "platform/Application.h"
#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

TfrmComms::TfrmComms() : TGameWindow("frmComms", "Communcations", true, {420, 260}) {
  FPages = new QStackedWidget(this);
  FPages->setObjectName("pnlMemos");
  FPages->setGeometry(4, 4, 412, 190);
  const char* MemoNames[] = {"memoGeneral", "memoAllied", "memoEnemy"};
  auto* Menu = new QMenu(this);
  Menu->setObjectName("popupComms");
  QAction* Clear = Menu->addAction("Clear");
  Clear->setObjectName("mniClear");
  connect(Clear, &QAction::triggered, this, [this] { mniClearClick(); });
  for (int C = 0; C < 3; ++C) {
    FMemos[C] = new QPlainTextEdit(FPages);
    FMemos[C]->setObjectName(MemoNames[C]);
    FMemos[C]->setReadOnly(true);
    FMemos[C]->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FMemos[C], &QWidget::customContextMenuRequested, this,
            [this, Menu, C](const QPoint& At) { Menu->popup(FMemos[C]->mapToGlobal(At)); });
    FPages->addWidget(FMemos[C]);
  }
  auto* Control = new QWidget(this);
  Control->setObjectName("pnlControl");
  Control->setGeometry(4, 198, 412, 26);
  const char* ButtonNames[] = {"btnGeneral", "btnAllied", "btnEnemy"};
  const char* Captions[] = {"General", "Allied", "Enemy"};
  for (int C = 0; C < 3; ++C) {
    FButtons[C] = MakeFormButton(Control, ButtonNames[C], Captions[C], {C * 80, 0, 75, 25});
    FButtons[C]->SetStayDown(true);
    FButtons[C]->OnClick = [this, C](TGraphicControl*) { SetChannel(C); };
  }
  auto* Chat = new QWidget(this);
  Chat->setObjectName("pnlChat");
  Chat->setGeometry(4, 230, 412, 26);
  FChat = new QLineEdit(Chat);
  FChat->setObjectName("edtChat");
  FChat->setGeometry(0, 1, 252, 22);
  // The other players take no longer line: the edit holds no more, and says so.
  FChat->setMaxLength(static_cast<int>(MaxChatText));
  FChat->setPlaceholderText(QString("Up to %1 characters").arg(MaxChatText));
  FChat->setToolTip(FChat->placeholderText());
  connect(FChat, &QLineEdit::returnPressed, this, [this] { RunGuarded([this] { btnSendClick(); }); });
  auto* Send = MakeFormButton(Chat, "btnSend", "Send", {257, 0, 75, 25});
  Send->OnClick = [this](TGraphicControl*) { btnSendClick(); };
  auto* Close = MakeFormButton(Chat, "btnClose", "Close", {337, 0, 75, 25});
  Close->OnClick = [this](TGraphicControl*) { close(); };
}

int TfrmComms::Channel() const {
  if (FButtons[0]->Down()) return 0;
  if (FButtons[1]->Down()) return 1;
  return 2;
}

void TfrmComms::SetChannel(int Channel) {
  for (int C = 0; C < 3; ++C) FButtons[C]->SetDown(C == Channel);
  FPages->setCurrentIndex(Channel);
}

void TfrmComms::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  if (!FButtons[0]->Down() && !FButtons[1]->Down() && !FButtons[2]->Down()) SetChannel(0);
}

void TfrmComms::AddLine(int Channel, const std::string& Line) {
  if (Channel >= 0 && Channel < 3) FMemos[Channel]->appendPlainText(ToQString(Line));
}

std::string TfrmComms::Lines(int Channel) const { return FromQString(FMemos[Channel]->toPlainText()); }

void TfrmComms::btnSendClick() {
  TNation* Nation = CurrentNation ? CurrentNation() : nullptr;
  if (!Nation) return;
  const std::string Text = FromQString(FChat->text()).substr(0, MaxChatText);
  const int C = Channel();
  AddLine(C, Nation->GetName() + ": " + Text);
  if (OnSendData) OnSendData(GameChatMessage(Nation->GetName(), C, Text));
  FChat->clear();
}

void TfrmComms::mniClearClick() {
  for (QPlainTextEdit* Memo : FMemos) Memo->clear();
}
