#include "controls/TipDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/Fonts.h"
#include "platform/RegistryManager.h"
#include "platform/TextCodec.h"

namespace {

std::uint64_t FreshSeed() {
  std::random_device Device;
  return (std::uint64_t(Device()) << 32) ^ Device();
}

std::string Trimmed(const std::string& Text) {
  const std::size_t First = Text.find_first_not_of(" \t\r\n");
  if (First == std::string::npos) return {};
  return Text.substr(First, Text.find_last_not_of(" \t\r\n") - First + 1);
}

std::string Lower(std::string Text) {
  for (char& C : Text)
    if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
  return Text;
}

// The first visible main window of the program.
QWidget* MainWindow() {
  for (QWidget* Window : QApplication::topLevelWidgets())
    if (qobject_cast<QMainWindow*>(Window) && Window->isVisible()) return Window;
  return nullptr;
}

}  // namespace

TOSKTipDlg::TOSKTipDlg(QObject* Owner)
    : QObject(Owner),
      FTipTitleFont{GameFont("Times New Roman", 16, true), QColor(0, 0, 0)},
      FTipFont{GameFont("MS Sans Serif", 11), QColor(0, 0, 0)},
      FRandom(FreshSeed()) {}

TOSKTipDlg::~TOSKTipDlg() = default;

void TOSKTipDlg::LoadTips() {
  if (FTipsLocation == locRegistry) {
    FTips = ReadRegistryKeyValues(FRegistryRoot, FRegistryKey);
  } else if (FTipsLocation == locINIFile) {
    FTips.clear();
    if (!FINIFile.empty() && !FINISection.empty()) FTips = ReadIniSectionValues(FINIFile, FINISection);
  }
}

void TOSKTipDlg::Prepare(TTipsForm& Form) {
  Form.SetPanelColor(FPanelColor);

  // The picture, on the panel's colour, without its own background colour (its bottom-left
  // pixel's). A missing picture leaves the place empty rather than losing the tip.
  const QImage Bitmap = LoadTipBitmap();
  if (!Bitmap.isNull()) {
    QPixmap Picture(Bitmap.size());
    Picture.fill(FPanelColor);
    QPainter Canvas(&Picture);
    DrawTransparentBitmap(Canvas, 0, 0, Bitmap.pixelColor(0, Bitmap.height() - 1), Bitmap);
    Canvas.end();
    Form.Image1()->setPixmap(Picture);
    Form.Image1()->resize(Picture.size());
  }

  Form.setWindowTitle(ToQString(FDlgCaption.empty() ? std::string("Tip of the day") : FDlgCaption));
  LoadTips();

  Form.TipTitleLbl()->setText(ToQString(FTipTitle.empty() ? std::string("Did you know...") : FTipTitle));
  Form.ShowChk()->setChecked(FShowAtStartup);
  Form.SetSubstitute(FCRLFSubstitute);
  Form.SetTipTitleFont(FTipTitleFont);
  Form.SetTipFont(FTipFont);
  Form.SetTips(FTips);
  Form.SetRandom(FRandomTips ? &FRandom : nullptr);
  Form.PrevBtn()->setVisible(!FRandomTips);

  if (FTips.empty()) {
    Form.TipLbl()->setText(QString());
    Form.NextBtn()->setEnabled(false);
    Form.PrevBtn()->setEnabled(false);
  } else {
    // The window shows the tip after the last one shown.
    Form.SetCurrentIndex(FRandomTips ? FRandom.Random(static_cast<int>(FTips.size()) - 1) : FTipNumber - 1);
    Form.NextBtnClick();
  }

  const QWidget* Centre = FPosition == posFormCenter ? MainWindow() : nullptr;
  QRect Area;
  if (Centre)
    Area = Centre->frameGeometry();
  else if (const QScreen* Screen = QGuiApplication::primaryScreen())
    Area = Screen->availableGeometry();
  if (Area.isValid()) Form.move(Area.center() - QPoint(Form.width() / 2, Form.height() / 2));
}

bool TOSKTipDlg::Execute() {
  TTipsForm Form;
  Prepare(Form);
  FForm = &Form;
  Form.exec();
  FForm = nullptr;
  FShowAtStartup = Form.ShowChk()->isChecked();
  FTipNumber = Form.CurrentIndex() + 1;
  return FShowAtStartup;
}

std::vector<std::string> ReadIniSectionValues(const std::string& FileName, const std::string& Section) {
  std::vector<std::string> Values;
  std::error_code Error;
  if (!std::filesystem::is_regular_file(FileName, Error)) return Values;
  std::ifstream File(FileName, std::ios::binary);
  const std::string Wanted = Lower(Trimmed(Section));
  std::vector<std::string> Keys;
  bool InSection = false;
  bool SectionSeen = false;
  std::string Line;
  while (std::getline(File, Line)) {
    Line = Trimmed(Line);
    if (Line.empty() || Line[0] == ';') continue;
    if (Line[0] == '[') {
      // Only the first section of that name counts.
      if (SectionSeen && InSection) break;
      const std::size_t Close = Line.find(']');
      InSection = Close != std::string::npos && Lower(Trimmed(Line.substr(1, Close - 1))) == Wanted;
      SectionSeen = SectionSeen || InSection;
      continue;
    }
    if (!InSection) continue;
    const std::size_t Equals = Line.find('=');
    if (Equals == std::string::npos) continue;
    const std::string Key = Lower(Trimmed(Line.substr(0, Equals)));
    if (Key.empty() || std::find(Keys.begin(), Keys.end(), Key) != Keys.end()) continue;
    Keys.push_back(Key);
    std::string Value = Trimmed(Line.substr(Equals + 1));
    if (Value.size() >= 2 && (Value.front() == '"' || Value.front() == '\'') && Value.back() == Value.front())
      Value = Value.substr(1, Value.size() - 2);
    Values.push_back(Value);
  }
  return Values;
}

std::vector<std::string> ReadRegistryKeyValues(TRegRoot Root, const std::string& Key) {
  std::vector<std::string> Values;
  QString Group = ToQString(Key);
  Group.replace('\\', '/');
  while (Group.startsWith('/')) Group.remove(0, 1);
  while (Group.endsWith('/')) Group.chop(1);
  if (Group.isEmpty()) return Values;
  const QSettings::Scope Scope = Root == rrCurrentUser ? QSettings::UserScope : QSettings::SystemScope;
  QSettings Store(QSettings::IniFormat, Scope, "Quillfen", "Brenmoor");
  Store.beginGroup(Group);
  QStringList Names = Store.childKeys();
  std::sort(Names.begin(), Names.end());
  for (const QString& Name : Names) {
    const QVariant Value = Store.value(Name);
    // Only text counts. A value the file holds unquoted with commas in it reads as a list of
    // its parts: it is one text still.
    if (Value.typeId() == QMetaType::QString)
      Values.push_back(FromQString(Value.toString()));
    else if (Value.typeId() == QMetaType::QStringList)
      Values.push_back(FromQString(Value.toStringList().join(", ")));
  }
  return Values;
}

const std::vector<std::string>& BrenmoorTipTexts() {
  static const std::vector<std::string> Tips = {
      "Brenmoor looks best in high-color mode and above.",
      "You can turn the sound and music off from 2 icons on the caption bar.",
      "Go to the Scheduling system from the Game Lobby to coordinate Multi-Player games with other World Leaders.",
      "If you double-click near one of the edges of the compass scroller, you'll be taken to that edge of the map.",
      "When Building Forces, double-click on the units in the Build List (or in the Quantity field) to build the "
      "maximum number of forces with your available Resources.",
      "You can merge Units of the same Class (Land, Air or Sea) by multi-selecting them in the Unit List and the "
      "clicking the Merge order.",
      "When you click on an Air Unit, you can see its Base Zone drawn on the game map, if the View Orders option is "
      "enabled.",
      "When you Bombard enemy Zones, each Battleship in your Fleet reduces the Organization level of enemy Land Units "
      "by up to 20% per Bombardment.",
      "If your Air Unit is based on a Fleet (with a Carrier), any orders it has are cancelled whenever the Fleet "
      "moves out of range.",
      "Double click on the center of the Compass, or press the spacebar, to center yourself on your Capital.",
      "If you don't have a sound card, disable to Sound option in the System Menu (upper left corner of the Caption "
      "Bar.)  This may improve performance.",
      "Ait Units automatically rebase to the closest base (if available) if the Fleet they were based on is "
      "destroyed.",
      "If you are transporting Land Units aboard your Fleet, and some Transports are destroyed, you may lose some of "
      "the forces they were carrying.",
      "Use the F5 key to quickly toggle between Zone information and Unit information.",
      "All-Submarine Sea Units get a free attack whenever they Surface in a Zone containing enemy Fleets.",
      "Moving Land forces through a Border Defense reduces their Organization by 20% per Border Defense Level.",
      "Double Click on one of your Units in the Unit List to rename it.",
      "Bombing an enemy Zone reduces Resources in that Zone.  Don't over-Bomb a Zone that you hope to occupy.",
      "Fanatical Nations can launch a Kamakaze attack with Air Units performing an Air Strike.",
  };
  return Tips;
}

void SetUpBrenmoorTips(TOSKTipDlg& Dialog) {
  const QColor Yellow(255, 255, 0);
  Dialog.SetDlgCaption("Brenmoor Tips");
  Dialog.SetTipTitle("Here's a tip ...");
  Dialog.SetTipNumber(1);
  Dialog.SetTipTitleFont({GameFont("Imprint MT Shadow", 13), Yellow});
  Dialog.SetTipFont({GameFont("Arial", 11), Yellow});
  Dialog.SetPanelColor(QColor(0, 0, 0));
  Dialog.SetPosition(posScreenCenter);
  Dialog.SetTipsLocation(locEmbeded);
  Dialog.SetTips(BrenmoorTipTexts());
}

bool RunTipOfTheDay(TOSKTipDlg& Dialog, TRegistryManager& Store, bool AtStartup) {
  if (AtStartup && Store.ReadInteger("ShowTip") != 0) return false;
  Dialog.SetTipNumber(Store.ReadInteger("TipNum"));
  const bool KeepShowing = Dialog.Execute();
  Store.WriteInteger("ShowTip", KeepShowing ? 0 : 1);
  Store.WriteInteger("TipNum", Dialog.TipNumber());
  return true;
}
