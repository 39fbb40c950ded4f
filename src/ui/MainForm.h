#pragma once
// The main window: the composition root that owns the game's components and screens.
#include <QMainWindow>

class TfrmMain : public QMainWindow {
  Q_OBJECT
public:
  explicit TfrmMain(QWidget* Parent = nullptr);
};
