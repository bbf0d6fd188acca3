#include "platform/qt/ModuleProxies.h"

#include <QVBoxLayout>
#include <QWidget>

#include "platform/Failure.h"
#include "platform/Steps.h"

namespace zelvo {

template <class Contract>
WidgetModuleSlot<Contract>::WidgetModuleSlot(const ModuleName& module, Make make)
    : ModuleSlot<Contract, ModulePart<Contract>>(module, std::move(make)), area_(new QWidget) {
  auto* layout = new QVBoxLayout(area_);
  layout->setContentsMargins(0, 0, 0, 0);
  this->onMade = [this](ModulePart<Contract>& part) {
    if (QWidget* content = part.widget(); content && area_) {
      area_->layout()->addWidget(content);
      content->show();
    }
  };
}

template <class Contract>
WidgetModuleSlot<Contract>::~WidgetModuleSlot() {
  release();
  this->reset();
  // An area that never went into a window is still ours.
  if (area_ && !area_->parent()) delete area_.data();
}

template <class Contract>
void WidgetModuleSlot<Contract>::release() {
  if (!this->up()) return;
  if (QWidget* content = this->part()->widget()) content->setParent(nullptr);
}

template class WidgetModuleSlot<WindowsMediaPlayer>;
template class WidgetModuleSlot<RealPlayer>;
template class WidgetModuleSlot<WebBrowser>;

// The primary player.

PrimaryPlayerProxy::PrimaryPlayerProxy(const EngineSettings& settings)
    : slot_(kVlcPlayerModule, [settings](void* entry) {
        return reinterpret_cast<MakePrimaryPlayer*>(entry)(settings);
      }) {
  slot_.onUp = [this](WindowsMediaPlayer& player) {
    player.playStateChange.connect([this](int state) { playStateChange.raise(state); });
    player.error.connect([this] { error.raise(); });
    player.positionChange.connect(
        [this](double from, double to) { positionChange.raise(from, to); });
    player.recordingStopped.connect(
        [this](std::string path, std::string problem) { recordingStopped.raise(path, problem); });
    player.tracksChanged.connect([this] { tracksChanged.raise(); });
  };
}

void PrimaryPlayerProxy::setURL(const std::string& address) { engine().setURL(address); }
std::string PrimaryPlayerProxy::URL() const { return slot_.up() ? engine().URL() : ""; }
void PrimaryPlayerProxy::close() { engine().close(); }
void PrimaryPlayerProxy::play() { engine().play(); }
void PrimaryPlayerProxy::pause() { engine().pause(); }
void PrimaryPlayerProxy::stop() { engine().stop(); }
void PrimaryPlayerProxy::setPlayCount(int count) {
  slot_.apply([count](WindowsMediaPlayer& player) { player.setPlayCount(count); });
}
int PrimaryPlayerProxy::playState() const {
  return slot_.up() ? engine().playState() : WmpState::Ready;
}
std::string PrimaryPlayerProxy::versionInfo() const { return engine().versionInfo(); }
std::string PrimaryPlayerProxy::durationString() const {
  return slot_.up() ? engine().durationString() : "";
}
std::string PrimaryPlayerProxy::sourceURL() const { return slot_.up() ? engine().sourceURL() : ""; }
int PrimaryPlayerProxy::errorCount() const { return slot_.up() ? engine().errorCount() : 0; }
PlayerError PrimaryPlayerProxy::errorItem(int index) const {
  if (!slot_.up()) fail("no error at " + std::to_string(index));
  return engine().errorItem(index);
}
void PrimaryPlayerProxy::clearErrorQueue() {
  if (slot_.up()) engine().clearErrorQueue();
}
void PrimaryPlayerProxy::startRecording(const std::string& path) {
  if (!slot_.up()) fail("nothing plays");
  engine().startRecording(path);
}
void PrimaryPlayerProxy::stopRecording() {
  if (slot_.up()) engine().stopRecording();
}
std::vector<MediaTrack> PrimaryPlayerProxy::tracks() const {
  return slot_.up() ? engine().tracks() : std::vector<MediaTrack>{};
}
void PrimaryPlayerProxy::selectTrack(TrackKind kind, int id) {
  if (!slot_.up()) fail("nothing plays");
  engine().selectTrack(kind, id);
}

// The fallback player.

FallbackPlayerProxy::FallbackPlayerProxy(const EngineSettings& settings)
    : slot_(kMpvPlayerModule, [settings](void* entry) {
        return reinterpret_cast<MakeFallbackPlayer*>(entry)(settings);
      }) {
  slot_.onUp = [this](RealPlayer& player) {
    player.stateChange.connect([this](int from, int to) { stateChange.raise(from, to); });
    player.errorMessage.connect([this](int32_t severity, int32_t rmaCode, int32_t userCode,
                                       std::string userString, std::string moreInfoURL,
                                       std::string errorString) {
      errorMessage.raise(severity, rmaCode, userCode, userString, moreInfoURL, errorString);
    });
    player.bufferingProgress.connect(
        [this](int32_t flags, int32_t percent) { bufferingProgress.raise(flags, percent); });
    player.presentationEvent.connect([this](int32_t kind, int32_t value, std::string text) {
      presentationEvent.raise(kind, value, text);
    });
    player.recordingStopped.connect(
        [this](std::string path, std::string problem) { recordingStopped.raise(path, problem); });
    player.tracksChanged.connect([this] { tracksChanged.raise(); });
  };
}

void FallbackPlayerProxy::setSource(const std::string& address) { engine().setSource(address); }
std::string FallbackPlayerProxy::source() const { return slot_.up() ? engine().source() : ""; }
void FallbackPlayerProxy::doPlay() { engine().doPlay(); }
void FallbackPlayerProxy::doPause() { engine().doPause(); }
void FallbackPlayerProxy::doStop() { engine().doStop(); }
void FallbackPlayerProxy::clearQueuedClips() { engine().clearQueuedClips(); }
void FallbackPlayerProxy::setAutoStart(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setAutoStart(on); });
}
void FallbackPlayerProxy::setWantErrors(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setWantErrors(on); });
}
void FallbackPlayerProxy::setCacheSeconds(int32_t seconds) {
  slot_.apply([seconds](RealPlayer& player) { player.setCacheSeconds(seconds); });
}
void FallbackPlayerProxy::setMaintainAspect(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setMaintainAspect(on); });
}
void FallbackPlayerProxy::setVideoEnabled(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setVideoEnabled(on); });
}
void FallbackPlayerProxy::setAudioEnabled(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setAudioEnabled(on); });
}
void FallbackPlayerProxy::setWantStatusEvents(bool on) {
  slot_.apply([on](RealPlayer& player) { player.setWantStatusEvents(on); });
}
std::string FallbackPlayerProxy::versionInfo() const { return engine().versionInfo(); }
int FallbackPlayerProxy::playState() const {
  return slot_.up() ? engine().playState() : RealState::Stopped;
}
int32_t FallbackPlayerProxy::lengthMs() const { return slot_.up() ? engine().lengthMs() : 0; }
std::string FallbackPlayerProxy::lastStatus() const {
  return slot_.up() ? engine().lastStatus() : "Ready";
}
void FallbackPlayerProxy::showImageWindow() { engine().showImageWindow(); }
void FallbackPlayerProxy::startRecording(const std::string& path) {
  if (!slot_.up()) fail("nothing plays");
  engine().startRecording(path);
}
void FallbackPlayerProxy::stopRecording() {
  if (slot_.up()) engine().stopRecording();
}
std::vector<MediaTrack> FallbackPlayerProxy::tracks() const {
  return slot_.up() ? engine().tracks() : std::vector<MediaTrack>{};
}
void FallbackPlayerProxy::selectTrack(TrackKind kind, int id) {
  if (!slot_.up()) fail("nothing plays");
  engine().selectTrack(kind, id);
}

// The browser.

BrowserProxy::BrowserProxy()
    : slot_(kBrowserModule, [this](void* entry) {
        return reinterpret_cast<MakeBrowser*>(entry)(remoteContentFolder_);
      }) {
  slot_.onUp = [this](WebBrowser& browser) {
    browser.documentComplete.connect([this](std::string url) { documentComplete.raise(url); });
    browser.downloadComplete.connect([this] { downloadComplete.raise(); });
    browser.navigateError.connect(
        [this](std::string url, int status) { navigateError.raise(url, status); });
    browser.fileDownload.connect([this](bool& cancel) { fileDownload.raise(cancel); });
  };
}

void BrowserProxy::navigate(const std::string& address) { slot_.get().navigate(address); }
void BrowserProxy::stop() {
  if (slot_.up()) slot_.get().stop();
}
std::string BrowserProxy::locationURL() const {
  return slot_.up() ? slot_.get().locationURL() : "";
}
std::vector<std::string> BrowserProxy::anchors() const {
  if (!slot_.up()) fail("no page has completed");
  return slot_.get().anchors();
}

}  // namespace zelvo
