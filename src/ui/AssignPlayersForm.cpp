#include "ui/AssignPlayersForm.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "screens/GameSetupRules.h"
#include "screens/LobbyRules.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
constexpr int PlayerColumn = 2;
const char* const ComputerText = "(Computer)";
}  // namespace

TfrmAssignPlayers::TfrmAssignPlayers() : TGameWindow("frmAssignPlayers", "Assign Players", false, {480, 330}) {
  setFixedSize(480, 330);
  MakeFormLabel(this, "lblAssign", "Assign each Player in the Game to at least one Nation", {8, 8, 464, 18});
  FPowers = new QTreeWidget(this);
  FPowers->setObjectName("lvMajorPowers");
  FPowers->setGeometry(8, 30, 306, 220);
  FPowers->setColumnCount(3);
  FPowers->setHeaderLabels({"Nation", "Alliance", "Player"});
  FPowers->setRootIsDecorated(false);
  for (int C = 0; C < 3; ++C) FPowers->header()->resizeSection(C, 100);
  FPlayers = new QListWidget(this);
  FPlayers->setObjectName("lbPlayers");
  FPlayers->setGeometry(362, 30, 110, 220);
  auto* Left = MakeFormButton(this, "btnLeftArrow", "<", {322, 90, 32, 25});
  auto* Computer = MakeFormButton(this, "btnComputer", "CPU", {322, 130, 32, 25});
  Computer->setToolTip("Played by the Computer");
  Left->setToolTip("Assign the Player to the Nation");
  Left->OnClick = [this](TGraphicControl*) { btnLeftArrowClick(); };
  Computer->OnClick = [this](TGraphicControl*) { btnComputerClick(); };
  connect(FPowers, &QTreeWidget::itemDoubleClicked, this, [this] { RunGuarded([this] { btnLeftArrowClick(); }); });
  connect(FPlayers, &QListWidget::itemDoubleClicked, this, [this] { RunGuarded([this] { btnLeftArrowClick(); }); });
  MakeFormLabel(this, "lblChat", "Chat:", {8, 262, 40, 20});
  FChat = new QLineEdit(this);
  FChat->setObjectName("edtChat");
  FChat->setGeometry(50, 260, 422, 22);
  connect(FChat, &QLineEdit::returnPressed, this, [this] { RunGuarded([this] { edtChatReturn(); }); });
  auto* Proceed = MakeFormButton(this, "btnProceed", "Proceed", {316, 296, 75, 25});
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {397, 296, 75, 25});
  Proceed->OnClick = [this](TGraphicControl*) { btnProceedClick(); };
  Cancel->OnClick = [this](TGraphicControl*) { btnCancelClick(); };
}

void TfrmAssignPlayers::Fill(const TBrenmoorEngine& Engine, const std::vector<std::string>& RoomUsers) {
  FCancelling = false;
  FPowers->clear();
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    const TNation* Nation = Engine.GetNation(I);
    if (!Nation->GetMajorPower()) continue;
    auto* Item = new QTreeWidgetItem(
        FPowers, {ToQString(Nation->GetName()), ToQString(AllianceColumnText(Nation->GetName(), Nation->GetAlliance())),
                  ComputerText});
    Item->setData(PlayerColumn, Qt::UserRole, QString());
  }
  FPlayers->clear();
  for (const std::string& User : RoomUsers) FPlayers->addItem(ToQString(User));
}

void TfrmAssignPlayers::btnLeftArrowClick() {
  QTreeWidgetItem* Power = FPowers->currentItem();
  if (!Power) return Prompter().ShowMessage("First Select a Major Power");
  QListWidgetItem* Player = FPlayers->currentItem();
  if (!Player) return Prompter().ShowMessage("First Select a Player");
  Power->setData(PlayerColumn, Qt::UserRole, Player->text());
  Power->setText(PlayerColumn, "(" + Player->text() + ")");
}

void TfrmAssignPlayers::btnComputerClick() {
  QTreeWidgetItem* Power = FPowers->currentItem();
  if (!Power) return Prompter().ShowMessage("First Select a Major Power");
  Power->setData(PlayerColumn, Qt::UserRole, QString());
  Power->setText(PlayerColumn, ComputerText);
}

std::string TfrmAssignPlayers::PlayerList() const {
  std::vector<TPowerAssignment> Powers;
  for (int I = 0; I < FPowers->topLevelItemCount(); ++I)
    Powers.push_back({FromQString(FPowers->topLevelItem(I)->data(PlayerColumn, Qt::UserRole).toString())});
  return PlayerListText(Powers);
}

bool TfrmAssignPlayers::ValidateAssignments() {
  if (FCancelling) return true;
  std::vector<TAssignRow> Rows;
  for (int I = 0; I < FPowers->topLevelItemCount(); ++I) {
    const QTreeWidgetItem* Item = FPowers->topLevelItem(I);
    Rows.push_back({FromQString(Item->text(1)), FromQString(Item->data(PlayerColumn, Qt::UserRole).toString())});
  }
  const std::string Refusal = ::ValidateAssignments(Rows, FPlayers->count());
  if (Refusal.empty()) return true;
  Prompter().ShowMessage(Refusal);
  return false;
}

void TfrmAssignPlayers::btnProceedClick() {
  if (ValidateAssignments()) done(mrOk);
}

void TfrmAssignPlayers::btnCancelClick() {
  FCancelling = true;
  done(mrCancel);
}

void TfrmAssignPlayers::reject() {
  if (!ValidateAssignments()) return;
  QDialog::reject();
}

void TfrmAssignPlayers::edtChatReturn() {
  const std::string Text = FromQString(FChat->text());
  if (Text.empty()) return;
  if (OnChat) OnChat(Text);
  FChat->clear();
}
