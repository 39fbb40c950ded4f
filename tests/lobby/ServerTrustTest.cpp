#include <gtest/gtest.h>

#include <map>
#include <string>

#include "lobby/ServerTrust.h"

namespace {

class TMapStore : public TServerTrustStore {
public:
  std::string Read(const std::string& Name) const override {
    const auto It = Values.find(Name);
    return It == Values.end() ? "" : It->second;
  }
  void Write(const std::string& Name, const std::string& Value) override { Values[Name] = Value; }
  std::map<std::string, std::string> Values;
};

const std::string A = "AA:11:22:33";
const std::string B = "BB:44:55:66";

}  // namespace

TEST(ServerTrust, AKnownServerIsTrustedByItsFingerprintPerHostAndPort) {
  struct TCase {
    const char* What;
    const char* Kept;  // the fingerprint kept for lobby.example:4000, "" none
    const char* Host;
    int Port;
    std::string Shown;
    bool SystemTrusted;
    TTrustVerdict Verdict;
  };
  const TCase Cases[] = {
      {"a new server is asked about", "", "lobby.example", 4000, A, false, tvAsk},
      {"an authority's certificate needs no question", "", "lobby.example", 4000, A, true, tvAccept},
      {"the kept fingerprint goes through", "AA:11:22:33", "lobby.example", 4000, A, false, tvAccept},
      {"host names are kept in lower case", "AA:11:22:33", "Lobby.EXAMPLE", 4000, A, false, tvAccept},
      {"a changed certificate is refused", "AA:11:22:33", "lobby.example", 4000, B, false, tvRefuse},
      {"an authority vouches for a new certificate", "AA:11:22:33", "lobby.example", 4000, B, true, tvAccept},
      {"another port is another server", "AA:11:22:33", "lobby.example", 4001, A, false, tvAsk},
      {"another host is another server", "AA:11:22:33", "other.example", 4000, A, false, tvAsk},
  };
  for (const TCase& C : Cases) {
    TMapStore Store;
    TServerTrust Trust(Store);
    if (*C.Kept) Trust.Trust("lobby.example", 4000, C.Kept);
    const TTrustDecision D = Trust.Decide(C.Host, C.Port, C.Shown, C.SystemTrusted);
    EXPECT_EQ(D.Verdict, C.Verdict) << C.What;
    if (D.Verdict == tvAsk) {
      EXPECT_NE(D.Message.find(C.Shown), std::string::npos) << C.What;
      EXPECT_NE(D.Message.find(std::string(C.Host) + ":" + std::to_string(C.Port)), std::string::npos) << C.What;
    }
    if (D.Verdict == tvRefuse) {
      // The warning names both fingerprints, the trusted one first.
      const std::size_t Old = D.Message.find(A), New = D.Message.find(B);
      EXPECT_NE(Old, std::string::npos);
      EXPECT_NE(New, std::string::npos);
      EXPECT_LT(Old, New);
      EXPECT_EQ(D.Message.rfind("WARNING: the certificate of the VexilServer at lobby.example:4000 has changed", 0), 0u);
    }
    if (D.Verdict == tvAccept) {
      EXPECT_EQ(D.Message, "") << C.What;
    }
  }
}

TEST(ServerTrust, WhatIsKeptAndWhatTheLogInWindowSays) {
  TMapStore Store;
  TServerTrust Trust(Store);
  EXPECT_EQ(Trust.LinkText("", 4000), "Connection: encrypted (TLS)");
  EXPECT_EQ(Trust.LinkText("lobby.example", 4000),
            "Connection: encrypted (TLS); a new server's certificate is shown for you to trust");
  const std::string Long = "AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89:AB:CD:EF:01:23:45:67:89";
  Trust.Trust("lobby.example", 4000, Long);
  Trust.NoteLink("lobby.example", 4000, llTls);
  EXPECT_EQ(Store.Values.at("LobbyServers\\lobby.example:4000\\Fingerprint"), Long);
  EXPECT_EQ(Store.Values.at("LobbyServers\\lobby.example:4000\\Link"), "tls");
  EXPECT_EQ(Trust.Known("LOBBY.example", 4000), Long);
  EXPECT_EQ(Trust.Known("lobby.example", 4001), std::nullopt);
  EXPECT_EQ(Trust.LinkText("lobby.example", 4000), "Connection: encrypted (TLS), certificate AB:CD:EF:01:23:45:67:89...");
  // A server without TLS, reached after the warning, is said to be unprotected; its kept
  // fingerprint stays, so a certificate that then turns up is still checked against it.
  Trust.NoteLink("lobby.example", 4000, llPlain);
  EXPECT_EQ(Trust.LastLink("lobby.example", 4000), llPlain);
  EXPECT_EQ(Trust.LinkText("lobby.example", 4000).rfind("Connection: NOT encrypted", 0), 0u);
  EXPECT_EQ(Trust.Decide("lobby.example", 4000, B, false).Verdict, tvRefuse);
  Trust.NoteLink("other.example", 4000, llTls);
  EXPECT_EQ(Trust.LinkText("other.example", 4000), "Connection: encrypted (TLS), certificate signed by an authority");

  EXPECT_NE(TServerTrust::PlainQuestion("old.example", 4000).find("old.example:4000 does not speak TLS"),
            std::string::npos);
  EXPECT_EQ(TServerTrust::FormatFingerprint(std::string("\x00\x0f\xa0\xff", 4)), "00:0F:A0:FF");
  EXPECT_EQ(TServerTrust::FormatFingerprint(""), "");
}
