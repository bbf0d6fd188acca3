#include "platform/xmltv/GuideReaderProxy.h"

#include "platform/posix/ModuleLibrary.h"
#include "platform/xmltv/MakeGuideReader.h"

namespace zelvo {

GuideReaderProxy::~GuideReaderProxy() {
  // The reader's code lives in the module, which stays loaded: deleting it here is safe.
  reader_.reset();
}

GuideReader* GuideReaderProxy::reader() {
  if (reader_ || !problem_.empty()) return reader_.get();
  const ModuleEntry entry = openModuleEntry(kGuideReaderModuleFile, kGuideReaderModuleEntry);
  if (!entry.function) {
    problem_ = "the guide reader cannot be loaded: " + entry.problem;
    return nullptr;
  }
  reader_.reset(reinterpret_cast<MakeGuideReader*>(entry.function)(settings_));
  if (!reader_) {
    problem_ = "the guide reader cannot be made";
    return nullptr;
  }
  reader_->finished.connect([this](const GuideReport& report) { finished.raise(report); });
  reader_->progressed.connect([this](const std::string& line) { progressed.raise(line); });
  reader_->logoReady.connect([this](const std::string& address, const std::string& path) {
    logoReady.raise(address, path);
  });
  return reader_.get();
}

void GuideReaderProxy::read(const GuideRequest& request) {
  const unsigned read = ++reads_;
  if (GuideReader* real = reader()) {
    real->read(request);
    return;
  }
  GuideReport report;
  report.problems.push_back(problem_);
  QMetaObject::invokeMethod(
      &queue_,
      [this, read, report] {
        if (read == reads_) finished.raise(report);
      },
      Qt::QueuedConnection);
}

void GuideReaderProxy::cancel() {
  ++reads_;
  if (reader_) reader_->cancel();
}

void GuideReaderProxy::fetchLogo(const std::string& address) {
  if (GuideReader* real = reader()) {
    real->fetchLogo(address);
    return;
  }
  QMetaObject::invokeMethod(
      &queue_, [this, address] { logoReady.raise(address, std::string()); }, Qt::QueuedConnection);
}

std::unique_ptr<GuideReader> makeGuideReader(const GuideReaderSettings& settings) {
  return std::make_unique<GuideReaderProxy>(settings);
}

}  // namespace zelvo
