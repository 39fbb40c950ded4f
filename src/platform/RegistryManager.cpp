#include "platform/RegistryManager.h"

#include <QSettings>
#include <QWidget>

#include "foundation/NumberText.h"
#include "platform/TextCodec.h"

TRegistryManager::TRegistryManager()
    : FSettings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Quillfen", "Brenmoor")) {}

TRegistryManager::TRegistryManager(const QString& FileName)
    : FSettings(std::make_unique<QSettings>(FileName, QSettings::IniFormat)) {}

TRegistryManager::~TRegistryManager() = default;

QString TRegistryManager::FileName() const { return FSettings->fileName(); }

QString TRegistryManager::Key(const std::string& Name) const {
  QString Path = ToQString(FSubKey);
  Path.replace('\\', '/');
  while (Path.startsWith('/')) Path.remove(0, 1);
  while (Path.endsWith('/')) Path.chop(1);
  return Path.isEmpty() ? ToQString(Name) : Path + '/' + ToQString(Name);
}

std::string TRegistryManager::ReadString(const std::string& Name) const {
  return FromQString(FSettings->value(Key(Name)).toString());
}

std::int32_t TRegistryManager::ReadInteger(const std::string& Name) const {
  return StrToIntDef(ReadString(Name), 0);
}

void TRegistryManager::WriteString(const std::string& Name, const std::string& Value) {
  FSettings->setValue(Key(Name), ToQString(Value));
  FSettings->sync();
  if (FSettings->status() != QSettings::NoError)
    throw ERegistryException("Failed to set data for '" + Name + "'");
}

void TRegistryManager::WriteInteger(const std::string& Name, std::int32_t Value) {
  WriteString(Name, IntToStr(Value));
}

void TRegistryManager::RestoreBounds(QWidget& Control, const std::string& Prefix) const {
  if (ReadInteger(Prefix + "Left") <= 0) return;
  const int Left = ReadInteger(Prefix + "Left");
  const int Top = ReadInteger(Prefix + "Top");
  const int Width = ReadInteger(Prefix + "Width");
  const int Height = ReadInteger(Prefix + "Height");
  // move() and x()/y() both speak of the frame's corner, so saving and restoring do not drift.
  Control.move(Left, Top);
  Control.resize(Width, Height);
}

void TRegistryManager::SaveBounds(const QWidget& Control, const std::string& Prefix) {
  WriteInteger(Prefix + "Left", Control.x());
  WriteInteger(Prefix + "Top", Control.y());
  WriteInteger(Prefix + "Width", Control.width());
  WriteInteger(Prefix + "Height", Control.height());
}
