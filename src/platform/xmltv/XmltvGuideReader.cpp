#include "platform/xmltv/XmltvGuideReader.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QUrl>
#include <atomic>

#include "platform/xmltv/GuideCache.h"
#include "platform/xmltv/GuideCollection.h"
#include "platform/xmltv/GuideFetch.h"
#include "platform/xmltv/GuideFile.h"
#include "platform/xmltv/XmltvParser.h"

namespace zelvo {
namespace {

enum class SourceKind { Network, Local, Unsupported };

SourceKind kindOf(const std::string& source, std::string& localPath) {
  const QUrl url(QString::fromStdString(source));
  const QString scheme = url.scheme().toLower();
  if (scheme == "http" || scheme == "https") return SourceKind::Network;
  if (scheme == "file") {
    localPath = url.toLocalFile().toStdString();
    return SourceKind::Local;
  }
  // A path, or a scheme that is no scheme at all (one letter: a drive, as some lists write).
  if (source.find("://") != std::string::npos) return SourceKind::Unsupported;
  localPath = source;
  return SourceKind::Local;
}

}  // namespace

struct XmltvGuideReader::Job {
  GuideRequest request;
  size_t next = 0;  // the source to fetch next
  struct Guide {
    std::string path;
    std::string label;
  };
  std::vector<Guide> guides;
  std::vector<std::string> problems;
  std::atomic<bool> cancelled{false};
};

XmltvGuideReader::XmltvGuideReader(GuideReaderSettings settings)
    : settings_(std::move(settings)), cacheFolder_(guideCacheFolder(settings_.cacheFolder)) {}

XmltvGuideReader::~XmltvGuideReader() {
  cancel();
  logoFetches_.clear();
}

QNetworkAccessManager& XmltvGuideReader::network() {
  if (!network_) network_ = std::make_unique<QNetworkAccessManager>();
  return *network_;
}

void XmltvGuideReader::later(const std::shared_ptr<Job>& job, std::function<void()> work) {
  QMetaObject::invokeMethod(
      &queue_,
      [this, job, work = std::move(work)] {
        if (job == job_ && !job->cancelled) work();
      },
      Qt::QueuedConnection);
}

void XmltvGuideReader::read(const GuideRequest& request) {
  cancel();
  job_ = std::make_shared<Job>();
  job_->request = request;
  const auto job = job_;
  later(job, [this, job] { nextSource(job); });
}

void XmltvGuideReader::cancel() {
  fetch_.reset();
  if (job_) job_->cancelled = true;
  job_.reset();
  // A cancelled worker stops within one piece of a guide.
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void XmltvGuideReader::nextSource(const std::shared_ptr<Job>& job) {
  const auto& sources = job->request.sources;
  if (job->next >= sources.size()) {
    parse(job);
    return;
  }
  const std::string& source = sources[job->next++];
  std::string localPath;
  switch (kindOf(source, localPath)) {
    case SourceKind::Network:
      fetchSource(job, source);
      return;
    case SourceKind::Local:
      job->guides.push_back({localPath, source});
      break;
    case SourceKind::Unsupported:
      job->problems.push_back("guide " + source + ": only http(s) addresses and local files");
      break;
  }
  nextSource(job);
}

void XmltvGuideReader::fetchSource(const std::shared_ptr<Job>& job, const std::string& address) {
  CachedGuide cached = cachedGuide(cacheFolder_, address);
  const int64_t askedAgo = job->request.now - cached.checkedAt;
  if (cached.haveData && askedAgo >= 0 && askedAgo < settings_.freshSeconds) {
    job->guides.push_back({cached.dataPath, address});
    nextSource(job);
    return;
  }
  progressed.raise("fetching guide " + address);
  FetchTerms terms;
  terms.address = address;
  terms.targetPath = cached.dataPath;
  if (cached.haveData) {
    terms.etag = cached.etag;
    terms.lastModified = cached.lastModified;
  }
  terms.timeoutMs = settings_.timeoutMs;
  terms.maxRedirects = settings_.maxRedirects;
  terms.maxBytes = settings_.maxGuideBytes;
  fetch_ = std::make_unique<GuideFetch>(
      network(), terms, [this, job, address, cached](const FetchOutcome& outcome) mutable {
        // The fetch is done with; it goes once this runs out.
        later(job, [this] { fetch_.reset(); });
        if (outcome.kind == FetchOutcome::Kind::Failed) {
          std::string line = "guide " + address + ": " + outcome.problem;
          if (cached.haveData) {
            line += "; the copy fetched before is read";
            job->guides.push_back({cached.dataPath, address});
          }
          job->problems.push_back(line);
        } else {
          if (!outcome.etag.empty() || outcome.kind == FetchOutcome::Kind::Fetched) {
            cached.etag = outcome.etag;
          }
          if (!outcome.lastModified.empty() || outcome.kind == FetchOutcome::Kind::Fetched) {
            cached.lastModified = outcome.lastModified;
          }
          cached.checkedAt = job->request.now;
          saveCachedGuide(cached, address);
          job->guides.push_back({cached.dataPath, address});
        }
        later(job, [this, job] { nextSource(job); });
      });
}

void XmltvGuideReader::parse(const std::shared_ptr<Job>& job) {
  workers_.emplace_back([this, job] {
    GuideCollection collection(job->request.keepFrom, job->request.keepUntil,
                               settings_.maxProgrammesPerChannel);
    GuideReport report;
    report.problems = job->problems;
    const size_t count = job->guides.size();
    for (size_t i = 0; i < count; ++i) {
      const Job::Guide& guide = job->guides[i];
      const std::string line = "reading guide " + std::to_string(i + 1) + "/" +
                               std::to_string(count) + ": " + guide.label;
      later(job, [this, line] { progressed.raise(line); });
      XmltvParser parser(job->request.wanted, collection, settings_);
      const GuideFileOutcome outcome =
          readGuideFile(guide.path, parser, settings_.maxGuideBytes, job->cancelled);
      if (job->cancelled) return;
      if (outcome.gaveGuide) ++report.sourcesRead;
      report.skipped += outcome.skipped;
      if (!outcome.problem.empty()) {
        report.problems.push_back("guide " + guide.label + ": " + outcome.problem);
      }
    }
    int unended = 0;
    report.channels = collection.take(unended);
    report.skipped += unended;
    later(job, [this, job, report = std::move(report)] {
      job_.reset();
      finished.raise(report);
    });
  });
}

void XmltvGuideReader::fetchLogo(const std::string& address) {
  auto answer = [this, address](const std::string& path) {
    QMetaObject::invokeMethod(
        &queue_, [this, address, path] { logoReady.raise(address, path); }, Qt::QueuedConnection);
  };
  std::string localPath;
  const SourceKind kind = address.empty() ? SourceKind::Unsupported : kindOf(address, localPath);
  if (kind != SourceKind::Network) {
    answer(kind == SourceKind::Local && QFileInfo(QString::fromStdString(localPath)).isFile()
               ? localPath
               : std::string());
    return;
  }
  const std::string path = cachedLogoPath(cacheFolder_, address);
  if (QFileInfo(QString::fromStdString(path)).isFile()) {
    answer(path);
    return;
  }
  if (logoFetches_.count(address)) return;
  FetchTerms terms;
  terms.address = address;
  terms.targetPath = path;
  terms.timeoutMs = settings_.timeoutMs;
  terms.maxRedirects = settings_.maxRedirects;
  terms.maxBytes = settings_.maxLogoBytes;
  logoFetches_[address] = std::make_unique<GuideFetch>(
      network(), terms, [this, address, path](const FetchOutcome& outcome) {
        const bool fetched = outcome.kind == FetchOutcome::Kind::Fetched;
        QMetaObject::invokeMethod(
            &queue_, [this, address] { logoFetches_.erase(address); }, Qt::QueuedConnection);
        logoReady.raise(address, fetched ? path : std::string());
      });
}

}  // namespace zelvo
