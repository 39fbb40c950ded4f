// A lobby user record and the server's statistics line: each is read (fields past the end read
// empty) and written back; what is written reads back to the same text.
#include "FuzzTarget.h"
#include "lobby/VexilServerStats.h"
#include "lobby/VexilUser.h"

namespace {

// Reads Text into a T, writes it and reads that again; the second writing is the first.
template <class T>
void ReadsBack(const std::string& Text, const char* What) {
  try {
    T Record;
    Record.LoadFromString(Text);
    const std::string Saved = Record.SaveToString();
    T Again;
    Again.LoadFromString(Saved);
    fuzz::Require(Again.SaveToString() == Saved, std::string("the ") + What + " does not read back as written");
  } catch (const EBrenmoor&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  ReadsBack<TVexilUser>(Text, "user record");
  ReadsBack<TVexilServerStats>(Text, "statistics line");
  return 0;
}
