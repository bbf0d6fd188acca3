// The guide's and the logos' download: the body goes into a file beside the cached one, which
// takes its place once the download has ended well.
#include "platform/xmltv/GuideFetch.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/qt/BoundedDownload.h"

namespace zelvo {

GuideFetch::GuideFetch(QNetworkAccessManager& network, FetchTerms terms,
                       std::function<void(const FetchOutcome&)> done)
    : terms_(std::move(terms)), done_(std::move(done)) {
  DownloadTerms download;
  download.address = terms_.address;
  download.headers = {{"If-None-Match", terms_.etag}, {"If-Modified-Since", terms_.lastModified}};
  download.stallTimeoutMs = terms_.timeoutMs;
  download.maxRedirects = terms_.maxRedirects;
  download.maxBytes = terms_.maxBytes;
  download_ = std::make_unique<BoundedDownload>(
      network, std::move(download), [this](const QByteArray& data) { return keep(data); },
      [this](const DownloadEnd& end) {
        FetchOutcome outcome;
        outcome.etag = end.etag;
        outcome.lastModified = end.lastModified;
        outcome.kind = end.kind == DownloadEnd::Kind::NotModified ? FetchOutcome::Kind::NotModified
                       : end.kind == DownloadEnd::Kind::Complete  ? FetchOutcome::Kind::Fetched
                                                                  : FetchOutcome::Kind::Failed;
        outcome.problem = end.problem;
        if (outcome.kind == FetchOutcome::Kind::Fetched) {
          if (end.bytes == 0) {
            outcome.problem = "answered with nothing";
          } else if (!file_->commit()) {
            outcome.problem = "cannot be kept in the cache: " + file_->errorString().toStdString();
          }
          if (!outcome.problem.empty()) outcome.kind = FetchOutcome::Kind::Failed;
        }
        if (file_ && outcome.kind != FetchOutcome::Kind::Fetched) file_->cancelWriting();
        auto done = std::move(done_);
        if (done) done(outcome);
      });
}

GuideFetch::~GuideFetch() = default;

std::string GuideFetch::keep(const QByteArray& data) {
  if (!file_) {
    QDir().mkpath(QFileInfo(QString::fromStdString(terms_.targetPath)).absolutePath());
    file_ = std::make_unique<QSaveFile>(QString::fromStdString(terms_.targetPath));
    if (!file_->open(QIODevice::WriteOnly)) {
      return "cannot be kept in the cache: " + file_->errorString().toStdString();
    }
  }
  if (file_->write(data) != data.size()) {
    return "cannot be kept in the cache: " + file_->errorString().toStdString();
  }
  return {};
}

}  // namespace zelvo
