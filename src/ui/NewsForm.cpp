#include "ui/NewsForm.h"

#include <QMenu>
#include <QPainter>
#include <QVBoxLayout>

#include "controls/ColorButton.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/TextCodec.h"

namespace {
// The zone a row is about, in the item's data.
constexpr int ZoneRole = Qt::UserRole;

QListWidgetItem* NewsRow(const TNewsItem& Item) {
  auto* Row = new QListWidgetItem(ToQString(Item.Text));
  Row->setData(ZoneRole, Item.Zone);
  return Row;
}
}  // namespace

TfrmNews::TfrmNews() : TGameWindow("frmNews", "News Events", true, {420, 200}) {
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(4, 4, 4, 4);
  Layout->setSpacing(4);
  FList = new TOwnerDrawListBox(this);
  FList->setObjectName("lbNews");
  FList->SetColor(Qt::black);
  FList->SetFontColor(QColor(0, 255, 0));
  FList->SetItemHeight(16);
  FList->SetDefaultDrawing(false);
  FList->setFont(GameFont("Arial", 9));
  FList->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState) {
    Canvas.drawText(Rect.left() + 2, Rect.top() + Canvas.fontMetrics().ascent(), LineText(Index));
  };
  connect(FList, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* Item) { RunGuarded([&] { lbNewsDblClick(FList->row(Item)); }); });
  FMenu = new QMenu(this);
  FMenu->setObjectName("pmNews");
  QAction* Clear = FMenu->addAction("Clear");
  Clear->setObjectName("mniClear");
  connect(Clear, &QAction::triggered, this, [this] { RunGuarded([this] { mniClearClick(); }); });
  FList->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(FList, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& At) { FMenu->popup(FList->viewport()->mapToGlobal(At)); });
  Layout->addWidget(FList, 1);
  FClose = new TColorButton(this);
  FClose->setObjectName("btnClose");
  FClose->SetCaption("Close");
  FClose->setFixedSize(75, 25);
  FClose->OnClick = [this](TGraphicControl*) { close(); };
  Layout->addWidget(FClose, 0, Qt::AlignRight);
}

TfrmNews::~TfrmNews() = default;

void TfrmNews::SetEngine(const TBrenmoorEngine* Engine) {
  FEngine = Engine;
  FNews = Engine ? std::make_unique<TWarNews>(*Engine) : nullptr;
  Mirror();
  if (!FNews) return;
  FNews->OnInsert = [this](const TNewsItem& Item) { FList->insertItem(0, NewsRow(Item)); };
  FNews->OnClear = [this] { FList->clear(); };
}

void TfrmNews::Mirror() {
  FList->clear();
  if (!FNews) return;
  for (const TNewsItem& Item : FNews->Items()) FList->addItem(NewsRow(Item));
}

QString TfrmNews::LineText(int Row) const {
  const QListWidgetItem* Item = FList->item(Row);
  if (!Item || !FEngine) return {};
  return ToQString(NewsLine(*FEngine, FromQString(Item->text())));
}

void TfrmNews::lbNewsDblClick(int Row) {
  const QListWidgetItem* Item = FList->item(Row);
  if (!Item) return;
  const int Zone = Item->data(ZoneRole).toInt();
  if (Zone >= 0 && OnCenterZone) OnCenterZone(Zone);
}

void TfrmNews::mniClearClick() {
  if (FNews) FNews->ClearItems();
}
