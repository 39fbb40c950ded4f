#include "foundation/Bitset.h"

#include "foundation/StringUtils.h"

void TBitSet::SetCapacity(std::int32_t N) {
  FBytes.assign(N > 0 ? (static_cast<std::size_t>(N) + 7) / 8 : 0, 0);
}

bool TBitSet::GetBit(std::int32_t I) const {
  if (I < 0 || I >= Capacity()) return false;
  return (FBytes[static_cast<std::size_t>(I) / 8] >> (I % 8)) & 1u;
}

void TBitSet::SetBit(std::int32_t I, bool Value) {
  if (I < 0 || I >= Capacity()) return;
  std::uint8_t& B = FBytes[static_cast<std::size_t>(I) / 8];
  const std::uint8_t Mask = static_cast<std::uint8_t>(1u << (I % 8));
  B = Value ? static_cast<std::uint8_t>(B | Mask) : static_cast<std::uint8_t>(B & ~Mask);
}

void TBitSet::SetAll(bool Value) {
  for (auto& B : FBytes) B = Value ? 255 : 0;
}

std::string TBitSet::GetAsText() const {
  bool Current = GetBit(0);
  std::string S = Current ? "1" : "0";
  const std::int32_t C = Capacity();
  std::int32_t Run = 0;
  for (std::int32_t I = 0; I < C; ++I) {
    if (GetBit(I) == Current) {
      ++Run;
    } else {
      S += IntToStr(Run);
      S += FDelimiter;
      Current = !Current;
      Run = 1;
    }
  }
  if (Run > 0) {
    S += IntToStr(Run);
    S += FDelimiter;
  }
  return S;
}

void TBitSet::SetAsText(const std::string& S) {
  if (S.empty()) return;
  bool Value = S[0] == '1';
  std::string Rest = S.substr(1);
  const std::string Delim(1, FDelimiter);
  const std::int32_t C = Capacity();
  std::int32_t Bit = 0;
  for (;;) {
    const std::string Token = NextToken(Rest, Delim);
    if (Token.empty()) break;
    const std::int32_t N = StrToIntDef(Token, 0);
    for (std::int32_t K = 0; K < N && Bit < C; ++K) SetBit(Bit++, Value);
    Value = !Value;
  }
}

void TBitSet::Assign(const TBitSet& Source) {
  if (&Source == this) return;
  SetAsText(Source.GetAsText());
}
