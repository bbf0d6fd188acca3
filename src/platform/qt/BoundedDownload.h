// One HTTP(S) GET with QtNetwork on the calling thread, within bounds: it gives up on a server
// silent for too long, on more redirects than allowed and on a body larger than allowed.
#pragma once

#include <QByteArray>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace zelvo {

struct DownloadTerms {
  std::string address;
  std::vector<std::pair<std::string, std::string>>
      headers;                 // those with an empty value are not sent
  int stallTimeoutMs = 30000;  // silence longer than this ends the download
  int maxRedirects = 8;        // followed; one more is a failure
  int64_t maxBytes = 1 << 20;  // of the body; more is a failure
};

struct DownloadEnd {
  enum class Kind { Complete, NotModified, Failed } kind = Kind::Failed;
  int status = 0;       // the last answer's HTTP status, 0 without one
  int64_t bytes = 0;    // of the body handed on
  std::string problem;  // why it failed, for people
  std::string address;  // where the body came from, after the redirects
  std::string etag;
  std::string lastModified;
};

class BoundedDownload {
 public:
  // Gets the parts of a 200 answer's body as they arrive; a problem it returns ends the download.
  using BodySink = std::function<std::string(const QByteArray&)>;

  // done runs once, later, on this thread; never after the download is destroyed.
  BoundedDownload(QNetworkAccessManager& network, DownloadTerms terms, BodySink body,
                  std::function<void(const DownloadEnd&)> done);
  ~BoundedDownload();
  BoundedDownload(const BoundedDownload&) = delete;
  BoundedDownload& operator=(const BoundedDownload&) = delete;

 private:
  void received();
  void ended();

  DownloadTerms terms_;
  BodySink body_;
  std::function<void(const DownloadEnd&)> done_;
  QPointer<QNetworkReply> reply_;
  int64_t bytes_ = 0;
  std::string problem_;  // set when this side gave up
};

}  // namespace zelvo
