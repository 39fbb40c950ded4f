#include "lobby/ServerTrust.h"

#include <cctype>

namespace {

std::string Where(const std::string& Host, int Port) { return Host + ":" + std::to_string(Port); }

}  // namespace

std::string TServerTrust::SettingName(const std::string& Host, int Port, const std::string& Item) {
  std::string Lower = Host;
  for (char& C : Lower) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return "LobbyServers\\" + Lower + ":" + std::to_string(Port) + "\\" + Item;
}

std::string TServerTrust::FormatFingerprint(std::string_view Digest) {
  static const char* Hex = "0123456789ABCDEF";
  std::string Out;
  for (std::size_t I = 0; I < Digest.size(); ++I) {
    const auto B = static_cast<unsigned char>(Digest[I]);
    if (I) Out += ':';
    Out += Hex[B >> 4];
    Out += Hex[B & 15];
  }
  return Out;
}

std::optional<std::string> TServerTrust::Known(const std::string& Host, int Port) const {
  std::string F = FStore.Read(SettingName(Host, Port, "Fingerprint"));
  if (F.empty()) return std::nullopt;
  return F;
}

TTrustDecision TServerTrust::Decide(const std::string& Host, int Port, const std::string& Fingerprint,
                                    bool SystemTrusted) const {
  if (SystemTrusted) return {tvAccept, ""};
  const std::optional<std::string> Kept = Known(Host, Port);
  if (Kept && *Kept == Fingerprint) return {tvAccept, ""};
  if (Kept)
    return {tvRefuse, "WARNING: the certificate of the VexilServer at " + Where(Host, Port) +
                          " has changed, so the connection was refused: someone may be listening in.\n\n"
                          "Trusted SHA-256 fingerprint:\n" + *Kept + "\n\nFingerprint shown now:\n" + Fingerprint +
                          "\n\nIf the server's operator says the certificate was replaced, and gives you the new "
                          "fingerprint, remove the server's entry under \"LobbyServers\" from the game's settings "
                          "and connect again."};
  return {tvAsk, "The VexilServer at " + Where(Host, Port) +
                     " is not known yet, and no authority this system trusts vouches for its certificate. Its "
                     "SHA-256 fingerprint is:\n\n" + Fingerprint +
                     "\n\nCompare it with the fingerprint the server's operator gives. Trust this server from now on?"};
}

void TServerTrust::Trust(const std::string& Host, int Port, const std::string& Fingerprint) {
  FStore.Write(SettingName(Host, Port, "Fingerprint"), Fingerprint);
}

std::string TServerTrust::PlainQuestion(const std::string& Host, int Port) {
  return "The VexilServer at " + Where(Host, Port) +
         " does not speak TLS. If you go on, your password and everything you send will cross the network "
         "unprotected: anyone on the way can read them, and log in as you. Connect without encryption?";
}

TLobbyLink TServerTrust::LastLink(const std::string& Host, int Port) const {
  const std::string L = FStore.Read(SettingName(Host, Port, "Link"));
  if (L == "tls") return llTls;
  if (L == "plain") return llPlain;
  return llNone;
}

void TServerTrust::NoteLink(const std::string& Host, int Port, TLobbyLink Link) {
  if (Link == llNone || LastLink(Host, Port) == Link) return;
  FStore.Write(SettingName(Host, Port, "Link"), Link == llTls ? "tls" : "plain");
}

std::string TServerTrust::LinkText(const std::string& Host, int Port) const {
  if (Host.empty()) return "Connection: encrypted (TLS)";
  if (LastLink(Host, Port) == llPlain)
    return "Connection: NOT encrypted last time (the server does not speak TLS): the password crosses the "
           "network unprotected";
  if (const auto F = Known(Host, Port)) return "Connection: encrypted (TLS), certificate " + F->substr(0, 23) + "...";
  if (LastLink(Host, Port) == llTls) return "Connection: encrypted (TLS), certificate signed by an authority";
  return "Connection: encrypted (TLS); a new server's certificate is shown for you to trust";
}
