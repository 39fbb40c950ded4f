#include "ui/MainForm.h"

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent) {
  setObjectName("frmMain");
  setWindowTitle("Brenmoor");
  resize(1024, 768);
}
