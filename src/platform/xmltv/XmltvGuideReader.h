// The guide reader: fetches each source into the cache on the calling thread (QtNetwork is
// asynchronous there), then reads the guides on a worker thread, and raises its events back on
// the calling thread through its queue.
#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/GuideReader.h"
#include "platform/xmltv/GuideReaderSettings.h"

class QNetworkAccessManager;

namespace zelvo {

class GuideFetch;

class XmltvGuideReader : public GuideReader {
 public:
  explicit XmltvGuideReader(GuideReaderSettings settings);
  ~XmltvGuideReader() override;

  void read(const GuideRequest& request) override;
  void cancel() override;
  void fetchLogo(const std::string& address) override;

 private:
  struct Job;
  void nextSource(const std::shared_ptr<Job>& job);
  void fetchSource(const std::shared_ptr<Job>& job, const std::string& address);
  void parse(const std::shared_ptr<Job>& job);
  // Runs work on this reader's thread once the current events are done, unless the job is no
  // longer the current one by then.
  void later(const std::shared_ptr<Job>& job, std::function<void()> work);
  QNetworkAccessManager& network();

  GuideReaderSettings settings_;
  std::string cacheFolder_;
  QObject queue_;
  std::unique_ptr<QNetworkAccessManager> network_;
  std::shared_ptr<Job> job_;
  std::unique_ptr<GuideFetch> fetch_;
  std::map<std::string, std::unique_ptr<GuideFetch>> logoFetches_;
  std::vector<std::thread> workers_;
};

}  // namespace zelvo
