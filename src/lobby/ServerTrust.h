#pragma once
// Which lobby servers the game trusts, decided without Qt. The lobby connection runs over TLS:
// a certificate that an authority of the system signed for the host is accepted; any other is
// trusted on first use: the player is shown its SHA-256 fingerprint and asked, and the
// fingerprint is kept for that host and port. A known server whose certificate has changed is
// refused with a warning that names both fingerprints. A server that does not speak TLS is
// reached only after the player accepted that the password crosses the network unprotected.
#include <optional>
#include <string>
#include <string_view>

// What the kept settings hold for the trust decisions: text values by name.
class TServerTrustStore {
public:
  virtual ~TServerTrustStore() = default;
  // "" when nothing is kept under Name.
  virtual std::string Read(const std::string& Name) const = 0;
  virtual void Write(const std::string& Name, const std::string& Value) = 0;
};

// How the lobby connection runs.
enum TLobbyLink : unsigned char {
  llNone,   // not connected
  llTls,    // encrypted
  llPlain,  // the lines cross the network as they are
};

enum TTrustVerdict : unsigned char {
  tvAccept,  // go on with the connection
  tvAsk,     // ask the player (Message); a Yes is kept with Trust
  tvRefuse,  // refuse the connection and show Message
};

struct TTrustDecision {
  TTrustVerdict Verdict = tvRefuse;
  std::string Message;
  bool operator==(const TTrustDecision&) const = default;
};

class TServerTrust {
public:
  explicit TServerTrust(TServerTrustStore& Store) : FStore(Store) {}

  // The certificate of Host:Port, with fingerprint Fingerprint ("AB:CD:..."), was presented;
  // SystemTrusted when the system's authorities vouch for it under that host name.
  TTrustDecision Decide(const std::string& Host, int Port, const std::string& Fingerprint,
                        bool SystemTrusted) const;
  // The player trusts this fingerprint for Host:Port from now on.
  void Trust(const std::string& Host, int Port, const std::string& Fingerprint);
  // The fingerprint kept for Host:Port, if any.
  std::optional<std::string> Known(const std::string& Host, int Port) const;

  // The question before a connection to a server that does not speak TLS.
  static std::string PlainQuestion(const std::string& Host, int Port);
  // The last kind of connection made to Host:Port (llNone: none yet), as the log-in window
  // shows it, and its record once a connection is made.
  TLobbyLink LastLink(const std::string& Host, int Port) const;
  void NoteLink(const std::string& Host, int Port, TLobbyLink Link);
  // The log-in window's line on the connection to Host:Port ("" for a host not known yet,
  // such as the Quillfen's before its server list is read).
  std::string LinkText(const std::string& Host, int Port) const;

  // Digest bytes as "AB:CD:..." (upper-case hexadecimal pairs separated by ":").
  static std::string FormatFingerprint(std::string_view Digest);
  // The settings name of Host:Port's entry: "LobbyServers\<host>:<port>\" + Item; the host
  // in lower case, as names of hosts are.
  static std::string SettingName(const std::string& Host, int Port, const std::string& Item);

private:
  TServerTrustStore& FStore;
};
