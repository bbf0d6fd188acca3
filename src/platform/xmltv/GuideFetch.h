// One download into the cache: asks only for what changed since the copy held, and replaces
// the cached file only when the whole answer arrived within the download's bounds.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QNetworkAccessManager;
class QByteArray;
class QSaveFile;

namespace zelvo {

class BoundedDownload;

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
  std::string keep(const QByteArray& data);

  FetchTerms terms_;
  std::function<void(const FetchOutcome&)> done_;
  std::unique_ptr<QSaveFile> file_;
  // Last, so that it goes first: no part of the answer arrives into a file already gone.
  std::unique_ptr<BoundedDownload> download_;
};

}  // namespace zelvo
