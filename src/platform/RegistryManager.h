#pragma once
// The settings store: every value a string, kept under one key path. On this system it is an
// INI file of the user's configuration folder (organisation "Quillfen", application
// "Brenmoor"), the key path being the group; tests give a file of their own.
#include <QString>
#include <memory>
#include <string>

#include "foundation/Exception.h"

class QSettings;
class QWidget;

class ERegistryException : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

class TRegistryManager {
public:
  // The user's own settings file.
  TRegistryManager();
  // A settings file at FileName.
  explicit TRegistryManager(const QString& FileName);
  ~TRegistryManager();

  // The key path under the root, with a trailing backslash: "Software\Quillfen\Brenmoor\".
  const std::string& SubKey() const { return FSubKey; }
  void SetSubKey(const std::string& SubKey) { FSubKey = SubKey; }
  // Kept and not otherwise used.
  bool LazyWrite() const { return FLazyWrite; }
  void SetLazyWrite(bool Value) { FLazyWrite = Value; }

  // An absent value reads as empty.
  std::string ReadString(const std::string& Name) const;
  // The value as an integer, 0 when it is not one.
  std::int32_t ReadInteger(const std::string& Name) const;
  // Raises ERegistryException "Failed to set data for 'Name'" when the store cannot be written.
  void WriteString(const std::string& Name, const std::string& Value);
  void WriteInteger(const std::string& Name, std::int32_t Value);

  // Left, Top, Width and Height from Prefix + "Left" ... when the stored Left is above 0.
  void RestoreBounds(QWidget& Control, const std::string& Prefix) const;
  void SaveBounds(const QWidget& Control, const std::string& Prefix);

  QString FileName() const;

private:
  QString Key(const std::string& Name) const;

  std::unique_ptr<QSettings> FSettings;
  std::string FSubKey;
  bool FLazyWrite = false;
};
