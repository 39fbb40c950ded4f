// The main window's part in the orders: the game's steps and the computer players reach the
// orders panel beside the map through these.
#include "engine/RealTimeEngine.h"
#include "ui/MainForm.h"
#include "ui/OrdersPanel.h"

void TfrmMain::IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values) { FOrders->IssueOrder(Code, Values); }

void TfrmMain::IssueOrderRecord(const std::string& Record) { FOrders->IssueOrderRecord(Record); }

void TfrmMain::EnterOrderMode(int Mode) { FOrders->EnterOrderMode(Mode); }

void TfrmMain::UpdateInfoPanels() { FOrders->UpdateInfoPanels(); }

TUnit* TfrmMain::SelectedUnit(int Index) const { return FOrders->SelectedUnit(Index); }

void TfrmMain::surfaceZoneClick(TBrenmoorZone* Zone) { FOrders->surfaceZoneClick(Zone); }

void TfrmMain::brmRemoveUnit(TUnit* Unit) {
  // The window is closing: its clock is gone and the game is being freed.
  if (!FClock) return;
  FOrders->brmRemoveUnit(Unit);
}
