#include "server/PasswordHash.h"

#include <crypt.h>

#include <memory>

std::string HashPassword(std::string_view Password, int Cost) {
  char Setting[CRYPT_GENSALT_OUTPUT_SIZE];
  if (!crypt_gensalt_rn("$y$", static_cast<unsigned long>(Cost), nullptr, 0, Setting,
                        sizeof Setting))
    throw EPasswordHash("Could not make a password salt");
  auto Data = std::make_unique<crypt_data>();
  const std::string Pw(Password);
  const char* Hash = crypt_rn(Pw.c_str(), Setting, Data.get(), sizeof(crypt_data));
  if (!Hash || Hash[0] == '*') throw EPasswordHash("Could not hash a password");
  return Hash;
}

bool VerifyPassword(std::string_view Password, const std::string& Hash) {
  auto Data = std::make_unique<crypt_data>();
  const std::string Pw(Password);
  const char* Result = crypt_rn(Pw.c_str(), Hash.c_str(), Data.get(), sizeof(crypt_data));
  if (!Result || Result[0] == '*') return false;
  return ConstantTimeEquals(Result, Hash);
}

bool ConstantTimeEquals(std::string_view A, std::string_view B) {
  const std::size_t N = A.size() > B.size() ? A.size() : B.size();
  unsigned char Diff = A.size() == B.size() ? 0 : 1;
  for (std::size_t I = 0; I < N; ++I) {
    const unsigned char X = I < A.size() ? static_cast<unsigned char>(A[I]) : 0;
    const unsigned char Y = I < B.size() ? static_cast<unsigned char>(B[I]) : 0;
    Diff |= static_cast<unsigned char>(X ^ Y);
  }
  return Diff == 0;
}
