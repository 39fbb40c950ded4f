#include "ui/FinalScoresForm.h"

#include <QLabel>
#include <QPainter>

#include "controls/CellImage.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "foundation/NumberText.h"
#include "screens/WarNews.h"
#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/GameScreenRules.h"
#include "ui/UnitLists.h"

std::array<std::string, 3> FinalScoreTexts(const TNation& Nation) {
  const TFinalScore Score = FinalScoreOf(Nation);
  return {IntToStr(Score.Value), IntToStr(Score.Casualties), FormatThousands(static_cast<double>(Score.Score))};
}

namespace {
struct TColumn {
  const char* Name;
  const char* Caption;
  int Left;
  int Width;
};
constexpr TColumn Columns[] = {{"hdrNation", "Nation", 0, 180},
                               {"hdrValue", "Value x 20", 180, 100},
                               {"hdrCasualties", "Casualties", 280, 100},
                               {"hdrFinalScore", "Final Score", 380, 100}};
constexpr int ListLeft = 8;
}  // namespace

TfrmFinalScores::TfrmFinalScores() : TGameWindow("frmFinalScores", "Final Scores", false, {500, 300}) {
  setFixedSize(500, 300);
  auto* Header = new QWidget(this);
  Header->setObjectName("hdrScores");
  Header->setGeometry(ListLeft, 8, 480, 20);
  for (const TColumn& C : Columns) {
    QLabel* Label = MakeFormLabel(Header, C.Name, C.Caption, {C.Left, 0, C.Width, 20});
    Label->setFrameShape(QFrame::Panel);
    Label->setFrameShadow(QFrame::Raised);
  }
  FNations = new TOwnerDrawListBox(this);
  FNations->setObjectName("lbNations");
  FNations->setGeometry(ListLeft, 28, 484, 226);
  FNations->SetItemHeight(20);
  FNations->SetDefaultDrawing(false);
  FNations->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect,
                                  TOwnerDrawState) { DrawNation(Canvas, Index, Rect); };
  auto* Close = MakeFormButton(this, "btnCancel", "Close", {417, 264, 75, 25});
  Close->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

void TfrmFinalScores::SetCellFlags(TCellImage* Value) { FFlags = Value; }

void TfrmFinalScores::Fill(const TBrenmoorEngine& Engine) {
  FNations->clear();
  for (int I = 0; I < Engine.GetMajorCount() && I < Engine.GetNationCount(); ++I) {
    auto* Row = new QListWidgetItem(QString());
    Row->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(Engine.GetNation(I))));
    FNations->addItem(Row);
  }
}

TNation* TfrmFinalScores::NationOf(int Row) const {
  const QListWidgetItem* Item = FNations->item(Row);
  return Item ? static_cast<TNation*>(Item->data(Qt::UserRole).value<void*>()) : nullptr;
}

void TfrmFinalScores::DrawNation(QPainter& Canvas, int Index, const QRect& Rect) {
  const TNation* Nation = NationOf(Index);
  if (!Nation) return;
  if (FFlags)
    if (const QPixmap* Flag = FFlags->GetCell(Nation->GetIndex(), 0)) Canvas.drawPixmap(Rect.topLeft(), *Flag);
  const int Baseline = Rect.top() + (Rect.height() + Canvas.fontMetrics().ascent()) / 2 - 1;
  Canvas.drawText(Rect.left() + 35, Baseline, ToQString(Nation->GetName()));
  const std::array<std::string, 3> Texts = FinalScoreTexts(*Nation);
  for (std::size_t I = 0; I < Texts.size(); ++I)
    Canvas.drawText(Rect.left() + Columns[I + 1].Left, Baseline, ToQString(Texts[I]));
}
