#include "platform/qt/QtAddressCheck.h"

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>
#include <QUrl>

#include "formats/StationAddress.h"

namespace zelvo {

namespace {
constexpr int kGiveUpMs = 3000;

QByteArray bytes(const std::string& text) { return QByteArray::fromStdString(text); }
}  // namespace

QtAddressCheck::QtAddressCheck() = default;

QtAddressCheck::~QtAddressCheck() { cancel(); }

void QtAddressCheck::start(const std::string& address) {
  cancel();
  const StationAddress station = splitStationAddress(address);
  QNetworkRequest request(QUrl(QString::fromStdString(station.url)));
  request.setTransferTimeout(kGiveUpMs);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  // Only whether the server answers matters, not what it serves.
  request.setRawHeader("Range", "bytes=0-1023");
  if (!station.headers.userAgent.empty())
    request.setHeader(QNetworkRequest::UserAgentHeader, bytes(station.headers.userAgent));
  if (!station.headers.referrer.empty())
    request.setRawHeader("Referer", bytes(station.headers.referrer));
  if (!station.headers.origin.empty())
    request.setRawHeader("Origin", bytes(station.headers.origin));
  if (!station.headers.cookie.empty())
    request.setRawHeader("Cookie", bytes(station.headers.cookie));
  QNetworkReply* reply = network_.get(request);
  reply_ = reply;
  QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this, reply] { settle(reply); });
  QObject::connect(reply, &QNetworkReply::finished, reply, [this, reply] { settle(reply); });
}

// The status line of the reply, or its end: either tells the outcome, once.
void QtAddressCheck::settle(QNetworkReply* reply) {
  if (reply != reply_.data()) return;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const bool done = reply->isFinished();
  if (status == 0 && !done) return;  // no status line yet
  const bool ok = status >= 200 && status < 300 && reply->error() == QNetworkReply::NoError;
  cancel();
  if (ok) answered.raise();
}

void QtAddressCheck::cancel() {
  QNetworkReply* reply = reply_.data();
  if (!reply) return;
  reply_.clear();
  reply->disconnect();
  reply->abort();
  reply->deleteLater();
}

}  // namespace zelvo
