#include "platform/xmltv/GuideFetch.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace zelvo {

GuideFetch::GuideFetch(QNetworkAccessManager& network, FetchTerms terms,
                       std::function<void(const FetchOutcome&)> done)
    : terms_(std::move(terms)), done_(std::move(done)) {
  QNetworkRequest request(QUrl(QString::fromStdString(terms_.address)));
  request.setTransferTimeout(terms_.timeoutMs);
  request.setMaximumRedirectsAllowed(terms_.maxRedirects);
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                       QNetworkRequest::NoLessSafeRedirectPolicy);
  if (!terms_.etag.empty()) {
    request.setRawHeader("If-None-Match", QByteArray::fromStdString(terms_.etag));
  }
  if (!terms_.lastModified.empty()) {
    request.setRawHeader("If-Modified-Since", QByteArray::fromStdString(terms_.lastModified));
  }
  reply_ = network.get(request);
  QObject::connect(reply_, &QNetworkReply::readyRead, reply_, [this] { received(); });
  QObject::connect(reply_, &QNetworkReply::finished, reply_, [this] { ended(); });
}

GuideFetch::~GuideFetch() {
  if (!reply_) return;
  reply_->disconnect();
  reply_->abort();
  reply_->deleteLater();
}

void GuideFetch::received() {
  const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status != 200 || !problem_.empty()) {
    reply_->readAll();  // a redirect's or a failure's body is not the guide
    return;
  }
  if (!file_) {
    QDir().mkpath(QFileInfo(QString::fromStdString(terms_.targetPath)).absolutePath());
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(terms_.targetPath));
    if (!file_->open(QIODevice::WriteOnly)) {
      problem_ = "cannot be kept in the cache: " + file_->errorString().toStdString();
      reply_->abort();
      return;
    }
  }
  const QByteArray data = reply_->readAll();
  bytes_ += data.size();
  if (bytes_ > terms_.maxBytes) {
    problem_ = "is larger than " + std::to_string(terms_.maxBytes) + " bytes";
    reply_->abort();
    return;
  }
  if (file_->write(data) != data.size()) {
    problem_ = "cannot be kept in the cache: " + file_->errorString().toStdString();
    reply_->abort();
  }
}

void GuideFetch::ended() {
  QNetworkReply* reply = reply_;
  reply_ = nullptr;
  reply->deleteLater();
  FetchOutcome outcome;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (problem_.empty() && reply->error() == QNetworkReply::NoError) {
    if (status == 304) {
      outcome.kind = FetchOutcome::Kind::NotModified;
    } else if (status == 200) {
      if (reply->bytesAvailable() > 0) {
        reply_ = reply;
        received();
        reply_ = nullptr;
      }
      if (problem_.empty() && bytes_ == 0) problem_ = "answered with nothing";
      if (problem_.empty() && !file_->commit()) {
        problem_ = "cannot be kept in the cache: " + file_->errorString().toStdString();
      }
      if (problem_.empty()) outcome.kind = FetchOutcome::Kind::Fetched;
    } else {
      problem_ = "answered HTTP " + std::to_string(status);
    }
  }
  if (outcome.kind == FetchOutcome::Kind::Failed && problem_.empty()) {
    switch (reply->error()) {
      case QNetworkReply::OperationCanceledError:
      case QNetworkReply::TimeoutError:
        problem_ = "sent nothing for " + std::to_string(terms_.timeoutMs) + " ms; given up";
        break;
      case QNetworkReply::TooManyRedirectsError:
        problem_ = "redirects too often (a loop?)";
        break;
      default:
        problem_ = status >= 400 ? "answered HTTP " + std::to_string(status)
                                 : reply->errorString().toStdString();
        break;
    }
  }
  if (file_ && outcome.kind != FetchOutcome::Kind::Fetched) file_->cancelWriting();
  outcome.problem = problem_;
  outcome.etag = reply->rawHeader("ETag").toStdString();
  outcome.lastModified = reply->rawHeader("Last-Modified").toStdString();
  auto done = std::move(done_);
  if (done) done(outcome);
}

}  // namespace zelvo
