#include "lobby/VexilServerStats.h"

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

namespace {

constexpr std::string_view kItem = "`";

std::string Part(std::int64_t N, const char* Unit) {
  return IntToStr(N) + " " + Unit + (N == 1 ? "" : "s");
}

}  // namespace

void TVexilServerStats::LoadFromString(std::string_view Text) {
  std::string S(Text);
  TVexilServerStats N;
  N.FTimeActive = StrToInt(NextToken(S, kItem));
  N.FCurrentConnections = StrToInt(NextToken(S, kItem));
  N.FTotalConnections = StrToInt(NextToken(S, kItem));
  N.FCurrentSubjects = StrToInt(NextToken(S, kItem));
  N.FTotalSubjects = StrToInt(NextToken(S, kItem));
  N.FPeakConnections = StrToInt(NextToken(S, kItem));
  N.FBytesRead = StrToFloat(NextToken(S, kItem));
  N.FBytesWritten = StrToFloat(NextToken(S, kItem));
  *this = N;
}

std::string TVexilServerStats::SaveToString() const {
  return Tokenize(kItem, FTimeActive, FCurrentConnections, FTotalConnections, FCurrentSubjects,
                  FTotalSubjects, FPeakConnections, FBytesRead, FBytesWritten);
}

std::string TVexilServerStats::TimeActiveText() const {
  const std::int64_t S = FTimeActive;
  const std::int64_t D = S / 86400;
  const std::int64_t H = (S - D * 86400) / 3600;
  const std::int64_t Rest = S - D * 86400 - H * 3600;
  const std::int64_t M = Rest / 60;
  const std::int64_t Sec = Rest - M * 60;
  std::string Text;
  if (D > 0) Text += Part(D, "day") + " ";
  if (H > 0) Text += Part(H, "hr") + " ";
  if (M > 0) Text += Part(M, "min") + " ";
  return Text + Part(Sec, "sec");
}
