#pragma once
// "News Events": the game's happenings, newest first, as the news record keeps them. A double
// click on a line centres the map on its zone; the list's menu empties it (Clear); Close closes
// the window and releases the main window's news button.
#include <functional>
#include <memory>

#include "screens/WarNews.h"
#include "ui/GameWindows.h"

class QMenu;
class TBrenmoorEngine;
class TColorButton;
class TOwnerDrawListBox;

class TfrmNews : public TGameWindow {
  Q_OBJECT
public:
  TfrmNews();
  ~TfrmNews() override;

  // The record's items are about this engine's nations and zones; a new engine starts an
  // empty record.
  void SetEngine(const TBrenmoorEngine* Engine);
  // The record (nullptr before an engine is set).
  TWarNews* News() const { return FNews.get(); }
  // The line drawn for row Row.
  QString LineText(int Row) const;
  // A double click on a line about a zone: the zone's index.
  std::function<void(std::int32_t Zone)> OnCenterZone;

  void lbNewsDblClick(int Row);
  void mniClearClick();

private:
  void Mirror();

  const TBrenmoorEngine* FEngine = nullptr;
  std::unique_ptr<TWarNews> FNews;
  TOwnerDrawListBox* FList;
  TColorButton* FClose;
  QMenu* FMenu;
};
