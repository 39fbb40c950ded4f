#pragma once
// The about box: the program's title, icon and version, and the credits scrolling up through a
// black box in aqua. TAboutDialog is the component a window holds; Execute shows the box
// TfrmAboutBox modally.
#include <QDialog>
#include <QObject>
#include <string>
#include <vector>

class QFrame;
class QLabel;
class QPainter;
class QPushButton;
class QTimer;
class TStringHolder;

class TfrmAboutBox : public QDialog {
  Q_OBJECT
public:
  // 304 x 263; the credits start below the bottom of their box.
  explicit TfrmAboutBox(QWidget* Parent = nullptr);

  QLabel* imIcon() const { return FIcon; }
  QLabel* lblProgramName() const { return FProgramName; }
  QLabel* lblVersion() const { return FVersion; }
  QWidget* pbCredits() const { return FCredits; }
  QPushButton* btnOK() const { return FOK; }
  QTimer* timerScroll() const { return FTimerScroll; }
  TStringHolder* strCredits() const { return FStrCredits; }

  // How far the credits have scrolled up: the first line is drawn this many pixels above the
  // top of the box.
  int ScrollOffset() const { return FScrollOffset; }
  // The height of one line of credits: the text height of "W" and one pixel.
  int LineHeight() const;

  // Every 45 ms: the credits are painted again, one pixel further up.
  void timerScrollTimer();
  // Paints the credits onto Canvas and moves them one pixel up; when the last line has gone,
  // they start again from below.
  void pbCreditsPaint(QPainter& Canvas);

private:
  QLabel* FIcon;
  QLabel* FProgramName;
  QLabel* FVersion;
  QFrame* FCreditsPanel;
  QWidget* FCredits;
  QPushButton* FOK;
  QTimer* FTimerScroll;
  TStringHolder* FStrCredits;
  int FScrollOffset = 0;
};

class TAboutDialog : public QObject {
  Q_OBJECT
public:
  explicit TAboutDialog(QObject* Owner = nullptr);

  // Shown as "Version " + Version.
  const std::string& Version() const { return FVersion; }
  void SetVersion(const std::string& Value) { FVersion = Value; }
  // The credits, one line each (game text); copied.
  const std::vector<std::string>& Credits() const { return FCredits; }
  void SetCredits(const std::vector<std::string>& Value) { FCredits = Value; }

  // Shows the about box modally, captioned "About " + the application's name, with its icon.
  void Execute();

  // While Execute runs: its box (else nullptr), for the window system and for tests.
  TfrmAboutBox* Form() const { return FForm; }

private:
  std::string FVersion;
  std::vector<std::string> FCredits;
  TfrmAboutBox* FForm = nullptr;
};
