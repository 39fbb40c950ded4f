// A lobby user record and the server's statistics line: each is read (fields past the end read
// empty) and written back; what is written reads back to the same text.
#include "FuzzTarget.h"
#include "lobby/VexilServerStats.h"
#include "lobby/VexilUser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  try {
    TVexilUser User;
    User.LoadFromString(Text);
    const std::string Saved = User.SaveToString();
    TVexilUser Again;
    Again.LoadFromString(Saved);
    fuzz::Require(Again.SaveToString() == Saved, "the user record does not read back as written");
    for (int I = 0; I < User.InfoCount(); ++I) User.InfoByName(User.InfoName(I));
  } catch (const EBrenmoor&) {
  }
  try {
    TVexilServerStats Stats;
    Stats.LoadFromString(Text);
    const std::string Saved = Stats.SaveToString();
    TVexilServerStats Again;
    Again.LoadFromString(Saved);
    fuzz::Require(Again.SaveToString() == Saved, "the statistics do not read back as written");
    Stats.TimeActiveText();
  } catch (const EBrenmoor&) {
  }
  return 0;
}
