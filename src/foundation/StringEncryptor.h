#pragma once
// The keyed per-byte scrambler of lobby lines, saved games and the server address file.
// Byte i (from 1) is shifted by the key's character at (i mod L) + 1, so the first byte pairs
// with the key's second character and the pairing repeats every L bytes.
#include <string>

#include "foundation/Exception.h"

class EStringEncryptor : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

class TStringEncryptor {
public:
  TStringEncryptor() = default;
  explicit TStringEncryptor(std::string Key) { SetKey(std::move(Key)); }

  const std::string& Key() const { return FKey; }
  void SetKey(std::string Key) { FKey = std::move(Key); }

  // Both raise EStringEncryptor "The scrambling key is empty" when no key is set.
  void EncryptString(std::string& S) const;
  void DecryptString(std::string& S) const;

private:
  std::string FKey;
};
