#include "platform/TextCodec.h"

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five bytes that stand for no character, which
// are kept as the same-numbered control characters so that no byte is lost.
const char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Decode(unsigned char B) {
  if (B >= 0x80 && B <= 0x9F) return kHigh[B - 0x80] ? kHigh[B - 0x80] : B;
  return B;
}

}  // namespace

QString ToQString(std::string_view Text) {
  QString S;
  S.reserve(static_cast<qsizetype>(Text.size()));
  for (char C : Text) S.append(QChar(Decode(static_cast<unsigned char>(C))));
  return S;
}

std::string FromQString(const QString& Text) {
  std::string S;
  S.reserve(static_cast<std::size_t>(Text.size()));
  for (QChar Q : Text) {
    const char16_t U = Q.unicode();
    if (U < 0x80 || (U >= 0xA0 && U <= 0xFF)) {
      S += static_cast<char>(U);
      continue;
    }
    char Out = '?';
    for (int I = 0; I < 32; ++I) {
      if (Decode(static_cast<unsigned char>(0x80 + I)) == U) {
        Out = static_cast<char>(0x80 + I);
        break;
      }
    }
    S += Out;
  }
  return S;
}
