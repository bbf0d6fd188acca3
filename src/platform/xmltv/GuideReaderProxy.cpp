#include "platform/xmltv/GuideReaderProxy.h"

#include "platform/xmltv/MakeGuideReader.h"

namespace zelvo {

GuideReaderProxy::GuideReaderProxy(GuideReaderSettings settings)
    : settings_(std::move(settings)), slot_(kGuideReaderModule, [this](void* entry) {
        return reinterpret_cast<MakeGuideReader*>(entry)(settings_);
      }) {
  slot_.onUp = [this](GuideReader& reader) {
    reader.finished.connect([this](const GuideReport& report) { finished.raise(report); });
    reader.progressed.connect([this](const std::string& line) { progressed.raise(line); });
    reader.logoReady.connect([this](const std::string& address, const std::string& path) {
      logoReady.raise(address, path);
    });
  };
}

void GuideReaderProxy::read(const GuideRequest& request) {
  const unsigned read = ++reads_;
  if (GuideReader* real = slot_.tryGet()) {
    real->read(request);
    return;
  }
  GuideReport report;
  report.problems.push_back(unavailable(slot_.module(), slot_.problem()));
  QMetaObject::invokeMethod(
      &queue_,
      [this, read, report] {
        if (read == reads_) finished.raise(report);
      },
      Qt::QueuedConnection);
}

void GuideReaderProxy::cancel() {
  ++reads_;
  if (slot_.up()) slot_.get().cancel();
}

void GuideReaderProxy::fetchLogo(const std::string& address) {
  if (GuideReader* real = slot_.tryGet()) {
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
