#include "foundation/StringEncryptor.h"

namespace {

template <class Op>
void Scramble(const std::string& Key, std::string& S, Op Shift) {
  if (Key.empty()) throw EStringEncryptor("The scrambling key is empty");
  const std::size_t L = Key.size();
  for (std::size_t I = 1; I <= S.size(); ++I) {
    const unsigned char K = static_cast<unsigned char>(Key[I % L]);
    const unsigned char C = static_cast<unsigned char>(S[I - 1]);
    S[I - 1] = static_cast<char>(static_cast<unsigned char>(Shift(C, K)));
  }
}

}  // namespace

void TStringEncryptor::EncryptString(std::string& S) const {
  Scramble(FKey, S, [](unsigned C, unsigned K) { return (C + K) & 0xFFu; });
}

void TStringEncryptor::DecryptString(std::string& S) const {
  Scramble(FKey, S, [](unsigned C, unsigned K) { return (C - K) & 0xFFu; });
}
