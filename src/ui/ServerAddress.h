#pragma once
// The Quillfen's server list: one small file, "ip.adr", fetched with one HTTP GET from the web
// address the settings keep. Its body is the lobby server's host, scrambled. The fetch runs
// while the window goes on; it ends with OnFetched (the body as it came) or OnFailed (a
// sentence saying what went wrong), never both, and after TimeoutMs it gives up.
#include <QObject>
#include <functional>
#include <string>

#include "screens/LoginRules.h"

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

class TServerAddressFetch : public QObject {
  Q_OBJECT
public:
  explicit TServerAddressFetch(QObject* Parent = nullptr);
  ~TServerAddressFetch() override;

  // Starts fetching Address (an http or https address; anything else fails at once, from
  // inside Start). A fetch still running is abandoned without its events.
  void Start(const std::string& Address, int TimeoutMs = ServerListTimeoutMs);
  // Abandons the running fetch without its events.
  void Abort();
  bool Busy() const { return FReply != nullptr; }

  std::function<void(TServerAddressFetch* Sender, const std::string& Body)> OnFetched;
  std::function<void(TServerAddressFetch* Sender, const std::string& Reason)> OnFailed;

private:
  void Finished();
  void Fail(const std::string& Reason);

  QNetworkAccessManager* FManager = nullptr;
  QNetworkReply* FReply = nullptr;
  QTimer* FTimer = nullptr;
  std::string FAddress;
  int FTimeoutMs = ServerListTimeoutMs;
  bool FTimedOut = false;
  bool FTooLong = false;
};
