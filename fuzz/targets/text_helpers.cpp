// The foundation's readers of text from outside: tokens at every delimiter the game uses,
// numbers, dates and the scrambler. Numbers and dates written read back to themselves, and
// scrambling then unscrambling gives the text back.
#include <cmath>

#include "FuzzTarget.h"
#include "foundation/DateUtils.h"
#include "foundation/MyUtils.h"
#include "foundation/NumberText.h"
#include "foundation/StringEncryptor.h"
#include "foundation/StringUtils.h"
#include "lobby/VexilUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  for (const char* Delim : {";", "#", "~", "|", "^", "`", "%", "="}) {
    std::string Rest = Text;
    for (int I = 0; I < 64 && !Rest.empty(); ++I) {
      std::string Copy = Rest;
      NextTokenInt(Copy, Delim);
      Copy = Rest;
      NextTokenBool(Copy, Delim);
      Copy = Rest;
      try {
        NextTokenFloat(Copy, Delim);
      } catch (const EBrenmoor&) {
      }
      NextToken(Rest, Delim);
    }
  }
  if (const auto I = TryStrToInt(Text)) fuzz::Require(StrToInt(IntToStr(*I)) == *I, "an integer does not read back");
  if (const auto F = TryStrToFloat(Text); F && std::isfinite(*F)) {
    const std::string Written = FloatToStr(*F);
    fuzz::Require(TryStrToFloat(Written).has_value(), "the number " + Text + " is written as " + Written + ", which does not read");
  }
  if (const auto D = TryStrToDate(Text)) {
    const std::string Written = DateToStr(*D);
    fuzz::Require(TryStrToDate(Written) == D, "the date " + Text + " is written as " + Written + ", which reads otherwise");
  }
  try {
    StrToDateMDY(Text);
  } catch (const EBrenmoor&) {
  }
  for (const char* Key : {"MorqTeln", "k"}) {
    const TStringEncryptor Scrambler(Key);
    std::string S = Text;
    Scrambler.EncryptString(S);
    Scrambler.DecryptString(S);
    fuzz::Require(S == Text, "scrambling and unscrambling changes the text");
  }
  if (const auto Line = UnescapeLine(Text)) fuzz::Require(UnescapeLine(EscapeLine(*Line)) == Line, "a line does not unescape as escaped");
  return 0;
}
