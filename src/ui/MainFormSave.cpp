// Saved games: saving the running game as its scrambled state text, leaving a game with the
// offer to save it, opening a saved solo game from the title screen, and the loading that the
// lobby's restored games use too.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "foundation/StringEncryptor.h"
#include "screens/GameStart.h"
#include "platform/Prompter.h"
#include "platform/RegistryManager.h"
#include "platform/TextCodec.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/MainForm.h"
#include "ui/SurfaceMapSetLoader.h"

namespace {

// A file name as the prompter gives it (bytes of the file system's encoding) for Qt.
QString FileNameOf(const std::string& Name) { return QFile::decodeName(QByteArray::fromStdString(Name)); }
std::string NameOfFile(const QString& Name) { return QFile::encodeName(Name).toStdString(); }

// The setting that keeps the folder a game was last saved to or opened from.
constexpr const char* SavedGamesFolderSetting = "SavedGamesFolder";

// The folder the saved-game dialogs start in: the one last used while it is there, else the
// player's own "Saved Games" in the user's data folder, made on first use. Never the program's
// folder, which an installed game cannot write.
std::string SavedGamesFolder(const TRegistryManager& Settings) {
  const QString Last = FileNameOf(Settings.ReadString(SavedGamesFolderSetting));
  if (!Last.isEmpty() && QFileInfo(Last).isDir()) return NameOfFile(Last);
  const QString Own = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                          .filePath("Brenmoor/Saved Games");
  QDir().mkpath(Own);
  return NameOfFile(Own);
}

void RememberSavedGamesFolder(TRegistryManager& Settings, const std::string& File) {
  Settings.WriteString(SavedGamesFolderSetting, NameOfFile(QFileInfo(FileNameOf(File)).absolutePath()));
}

TFileDialogOptions SavedGameDialog(const char* Title, const TRegistryManager& Settings) {
  TFileDialogOptions Options;
  Options.Title = Title;
  Options.Filter = "Brenmoor Files (*.brm)|*.brm";
  Options.DefaultExt = "brm";
  Options.InitialDir = SavedGamesFolder(Settings);
  return Options;
}

constexpr const char* SaveErrorText = "An Error occured saving the Game: ";

}  // namespace

void TfrmMain::SaveGame() {
  const std::optional<std::string> File = Prompter().SaveFile(SavedGameDialog("Select Save Game File", *FSettings));
  if (!File) return;
  RememberSavedGamesFolder(*FSettings, *File);
  std::string Text;
  try {
    Text = FEngine->SaveToString();
  } catch (const std::exception& E) {
    Prompter().ShowMessage(SaveErrorText + std::string(E.what()));
    return;
  }
  FEncrypt->EncryptString(Text);
  // The new file replaces the old one only once it is whole: a failure keeps the old save.
  QSaveFile Out(FileNameOf(*File));
  const bool Written = Out.open(QIODevice::WriteOnly) &&
                       Out.write(Text.data(), static_cast<qint64>(Text.size())) == static_cast<qint64>(Text.size()) &&
                       Out.commit();
  if (!Written) {
    const QString Reason = Out.errorString();
    Out.cancelWriting();
    Prompter().ShowMessage(SaveErrorText + FromQString(Reason));
    return;
  }
  Prompter().ShowMessage("       Game Saved       ");
}

void TfrmMain::btnSaveClick() { SaveGame(); }

bool TfrmMain::ConfirmLeavingGame() {
  if (!FClock->GetActive() || FPhase == TGamePhase::Over) return true;
  if (!Prompter().Confirm("Are you sure you want to Exit the Game now?")) return false;
  if (Prompter().Confirm("Do you want to Save this Game?")) SaveGame();
  return true;
}

void TfrmMain::btnExitGameClick() {
  if (ConfirmLeavingGame()) CloseGame();
}

bool TfrmMain::LoadGameFile() {
  const std::optional<std::string> File = Prompter().OpenFile(SavedGameDialog("Select Saved Game File", *FSettings));
  if (!File) return false;
  RememberSavedGamesFolder(*FSettings, *File);
  const QCursor Busy = ScreenCursor(2);
  setCursor(Busy);
  std::string Text;
  {
    QFile In(FileNameOf(*File));
    if (!In.open(QIODevice::ReadOnly)) {
      unsetCursor();
      Prompter().ShowMessage("The saved game " + *File + " cannot be read: " + FromQString(In.errorString()));
      return false;
    }
    const QByteArray Bytes = In.readAll();
    Text.assign(Bytes.constData(), static_cast<std::size_t>(Bytes.size()));
  }
  FEncrypt->DecryptString(Text);
  const bool Loaded = LoadGameText(Text);
  unsetCursor();
  if (Loaded) FSavedGameFile = *File;
  return Loaded;
}

bool TfrmMain::LoadGameText(const std::string& Text) {
  if (!FMapSetLoader) {
    FMapSetLoader = std::make_shared<TSurfaceMapSetLoader>(*FSurface);
    FEngine->SetMapSetLoader(FMapSetLoader.get());
  }
  try {
    // A text the engine refuses leaves the game that was there as it was.
    FEngine->LoadFromString(Text);
  } catch (const std::exception& E) {
    Prompter().ShowMessage(E.what());
    return false;
  }
  return true;
}

void TfrmMain::btnOpenSavedGameClick() {
  if (!LoadGameFile()) return;
  TGameSetUp SetUp;
  SetUp.Mode = FEngine->GetAllComputer() ? smDuel : smSolo;
  SetUp.NewGame = false;
  if (!FEngine->IsSoloGame()) {
    Prompter().ShowMessage(MultiPlayerInSoloMessage);
    return;
  }
  FSoloSetup = true;
  FClock->SetConnection(nullptr);
  StartGame(SetUp);
}
