#include "ui/ServerAddress.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "platform/Application.h"
#include "platform/TextCodec.h"

TServerAddressFetch::TServerAddressFetch(QObject* Parent)
    : QObject(Parent), FManager(new QNetworkAccessManager(this)), FTimer(new QTimer(this)) {
  FTimer->setSingleShot(true);
  connect(FTimer, &QTimer::timeout, this, [this] {
    if (!FReply) return;
    FTimedOut = true;
    FReply->abort();
  });
}

TServerAddressFetch::~TServerAddressFetch() { Abort(); }

void TServerAddressFetch::Start(const std::string& Address, int TimeoutMs) {
  Abort();
  FAddress = Address;
  FTimeoutMs = TimeoutMs;
  FTimedOut = false;
  FTooLong = false;
  if (!IsWebAddress(Address)) {
    Fail("\"" + Address + "\" is not an http or https address.");
    return;
  }
  QNetworkRequest Request{QUrl(ToQString(Address))};
  // A redirection may go to another web address, never from https to plain http.
  Request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
  FReply = FManager->get(Request);
  connect(FReply, &QNetworkReply::readyRead, this, [this] {
    if (FReply && FReply->bytesAvailable() > qint64(ServerListMaxBytes)) {
      FTooLong = true;
      FReply->abort();
    }
  });
  connect(FReply, &QNetworkReply::finished, this, [this] { RunGuarded([&] { Finished(); }); });
  FTimer->start(TimeoutMs);
}

void TServerAddressFetch::Abort() {
  FTimer->stop();
  if (!FReply) return;
  QNetworkReply* Reply = FReply;
  FReply = nullptr;
  Reply->disconnect(this);
  Reply->abort();
  Reply->deleteLater();
}

void TServerAddressFetch::Finished() {
  if (!FReply) return;
  QNetworkReply* Reply = FReply;
  FReply = nullptr;
  FTimer->stop();
  Reply->deleteLater();
  if (FTimedOut) {
    Fail("the server list at " + FAddress + " did not answer within " + std::to_string(FTimeoutMs / 1000) +
         (FTimeoutMs == 1000 ? " second." : " seconds."));
    return;
  }
  if (FTooLong) {
    Fail("the answer of " + FAddress + " is too long to be a server list.");
    return;
  }
  const QVariant Status = Reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (Status.isValid() && Status.toInt() != 200) {
    Fail("the server list at " + FAddress + " answered with HTTP status " + std::to_string(Status.toInt()) + ".");
    return;
  }
  if (Reply->error() != QNetworkReply::NoError || !Status.isValid()) {
    Fail("the server list at " + FAddress + " could not be read: " + FromQString(Reply->errorString()) + ".");
    return;
  }
  const QByteArray Body = Reply->readAll();
  if (Body.size() > qsizetype(ServerListMaxBytes)) {
    Fail("the answer of " + FAddress + " is too long to be a server list.");
    return;
  }
  if (OnFetched) OnFetched(this, std::string(Body.constData(), static_cast<std::size_t>(Body.size())));
}

void TServerAddressFetch::Fail(const std::string& Reason) {
  if (OnFailed) OnFailed(this, Reason);
}
