#pragma once
// Lobby passwords are kept only as yescrypt hashes; a log-in is checked by hashing the given
// password with the stored setting and comparing in constant time.
#include <string>
#include <string_view>

#include "foundation/Exception.h"

class EPasswordHash : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// Cost 0 is the library's default; lower costs only for tests and load measurements.
std::string HashPassword(std::string_view Password, int Cost = 0);
bool VerifyPassword(std::string_view Password, const std::string& Hash);
// Compares without stopping at the first difference.
bool ConstantTimeEquals(std::string_view A, std::string_view B);
