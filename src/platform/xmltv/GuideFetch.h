// One download into the cache with QtNetwork on the calling thread: asks only for what changed
// since the copy held, gives up on silence and on too many redirects, and replaces the cached
// file only when the whole answer arrived.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QNetworkAccessManager;
class QNetworkReply;
class QSaveFile;

namespace zelvo {

struct FetchOutcome {
  enum class Kind { Fetched, NotModified, Failed } kind = Kind::Failed;
  std::string problem;  // why it failed, for people
  std::string etag;
  std::string lastModified;
};

struct FetchTerms {
  std::string address;
  std::string targetPath;  // replaced only by a complete answer
  std::string etag;        // of the copy held, if any
  std::string lastModified;
  int timeoutMs = 30000;
  int maxRedirects = 8;
  int64_t maxBytes = 0;
};

class GuideFetch {
 public:
  // done runs once, later, on this thread; never after the fetch is destroyed.
  GuideFetch(QNetworkAccessManager& network, FetchTerms terms,
             std::function<void(const FetchOutcome&)> done);
  ~GuideFetch();
  GuideFetch(const GuideFetch&) = delete;
  GuideFetch& operator=(const GuideFetch&) = delete;

 private:
  void received();
  void ended();

  FetchTerms terms_;
  std::function<void(const FetchOutcome&)> done_;
  QPointer<QNetworkReply> reply_;
  std::unique_ptr<QSaveFile> file_;
  int64_t bytes_ = 0;
  std::string problem_;  // set when this side gave up
};

}  // namespace zelvo
