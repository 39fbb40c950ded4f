// The lobby server's lines as the client's connection receives them, in chunks cut where the
// input says: every command is parsed and its event fired, or the line is ignored; the
// connection never fails on what a server sends.
#include <algorithm>
#include <memory>

#include "FuzzTarget.h"
#include "lobby/VexilConnection.h"

namespace {

// A socket that takes everything written and lets the target hand it bytes.
class TFuzzTransport : public TLobbyTransport {
public:
  void Connect(const std::string&, bool, int) override {}
  std::int64_t Write(std::string_view Bytes) override { return static_cast<std::int64_t>(Bytes.size()); }
  bool Connected() const override { return Open; }
  void Close() override { Open = false; }
  bool Open = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  auto Owned = std::make_unique<TFuzzTransport>();
  TFuzzTransport* T = Owned.get();
  TVexilConnection C(std::move(Owned));
  C.SetSubjectCode("Brenmoor");
  // Every event assigned, reading what it is given, so that each parse path runs to its end.
  int Seen = 0;
  C.OnLoginSuccess = [&](auto*, const TVexilUserPtr& U) { Seen += U ? static_cast<int>(U->UserId().size()) : 0; };
  C.OnAddUser = [&](auto*, const TVexilUserPtr& U) { Seen += U ? U->InfoCount() : 0; };
  C.OnChatReceived = [&](auto*, const std::string& S, const std::string& F) { Seen += static_cast<int>(S.size() + F.size()); };
  C.OnDataReceived = [&](auto*, const std::string& S, const std::string& F) { Seen += static_cast<int>(S.size() + F.size()); };
  C.OnLoginFailed = [&](auto*, const std::string& S) { Seen += static_cast<int>(S.size()); };
  C.SetActive(true);
  T->Open = true;
  if (T->OnConnected) T->OnConnected(T);
  // The first byte sets the chunk size, so that lines arrive whole, split and joined.
  const std::size_t Chunk = 1 + Data[0] % 64;
  const std::string_view Bytes(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  for (std::size_t At = 0; At < Bytes.size() && T->Open; At += Chunk)
    if (T->OnBytesReceived) T->OnBytesReceived(T, Bytes.substr(At, std::min(Chunk, Bytes.size() - At)));
  for (int I = 0; I < C.UserCount(); ++I)
    if (C.Users(I)) Seen += static_cast<int>(C.Users(I)->SaveToString().size());
  return Seen < 0;
}
