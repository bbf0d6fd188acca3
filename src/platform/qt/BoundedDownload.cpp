// The bounded download: Qt follows the redirects and watches the silence; the size is counted
// here, as the body arrives, so that an endless answer never fills the memory or the disk.
#include "platform/qt/BoundedDownload.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace zelvo {

BoundedDownload::BoundedDownload(QNetworkAccessManager& network, DownloadTerms terms, BodySink body,
                                 std::function<void(const DownloadEnd&)> done)
    : terms_(std::move(terms)), body_(std::move(body)), done_(std::move(done)) {
  QNetworkRequest request(QUrl(QString::fromStdString(terms_.address)));
  request.setTransferTimeout(terms_.stallTimeoutMs);
  request.setMaximumRedirectsAllowed(terms_.maxRedirects);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  for (const auto& [name, value] : terms_.headers) {
    if (!value.empty())
      request.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
  }
  reply_ = network.get(request);
  QObject::connect(reply_, &QNetworkReply::readyRead, reply_, [this] { received(); });
  QObject::connect(reply_, &QNetworkReply::finished, reply_, [this] { ended(); });
}

BoundedDownload::~BoundedDownload() {
  if (!reply_) return;
  reply_->disconnect();
  reply_->abort();
  reply_->deleteLater();
}

void BoundedDownload::received() {
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  const QByteArray data = reply_->readAll();
  // A redirect's or a failure's body is not what was asked for.
  if (status != 200 || !problem_.empty() || data.isEmpty()) return;
  bytes_ += data.size();
  if (bytes_ > terms_.maxBytes) {
    problem_ = "is larger than " + std::to_string(terms_.maxBytes) + " bytes";
    reply_->abort();
    return;
  }
  if (std::string problem = body_ ? body_(data) : std::string(); !problem.empty()) {
    problem_ = std::move(problem);
    reply_->abort();
  }
}

void BoundedDownload::ended() {
  QNetworkReply* reply = reply_;
  DownloadEnd end;
  end.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (problem_.empty() && reply->bytesAvailable() > 0) received();
  reply_ = nullptr;
  reply->deleteLater();
  if (problem_.empty() && reply->error() == QNetworkReply::NoError) {
    if (end.status == 304) {
      end.kind = DownloadEnd::Kind::NotModified;
    } else if (end.status == 200) {
      end.kind = DownloadEnd::Kind::Complete;
    } else {
      problem_ = "answered HTTP " + std::to_string(end.status);
    }
  }
  if (end.kind == DownloadEnd::Kind::Failed && problem_.empty()) {
    switch (reply->error()) {
      case QNetworkReply::OperationCanceledError:
      case QNetworkReply::TimeoutError:
        problem_ = "sent nothing for " + std::to_string(terms_.stallTimeoutMs) + " ms; given up";
        break;
      case QNetworkReply::TooManyRedirectsError:
        problem_ = "redirects too often (a loop?)";
        break;
      default:
        problem_ = end.status >= 400 ? "answered HTTP " + std::to_string(end.status)
                                     : reply->errorString().toStdString();
        break;
    }
  }
  end.bytes = bytes_;
  end.problem = problem_;
  end.address = reply->url().toString(QUrl::FullyEncoded).toStdString();
  end.etag = reply->rawHeader("ETag").toStdString();
  end.lastModified = reply->rawHeader("Last-Modified").toStdString();
  auto done = std::move(done_);
  if (done) done(end);
}

}  // namespace zelvo
