// The web browser on QtWebEngine. The engine costs several processes and a few hundred MB,
// so nothing of it exists until a page is actually asked for.
#include "platform/webengine/WebEngineBrowser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <memory>

#include "platform/Failure.h"
#include "platform/qt/EngineEvents.h"
#include "platform/webengine/AnchorScript.h"
#include "platform/webengine/GuardedWebPage.h"
#include "platform/webengine/SharedGlContext.h"

namespace zelvo {

namespace {

// How long a navigation that stopped before showing anything may take to turn up as a download.
// The download manager answers within milliseconds; without a download the load simply ended
// (an answer without content, a link the engine does not open, the user pressing Escape).
constexpr int kDownloadWaitMs = 5000;

// The address as the engine should load it, or an empty address when it names nothing the
// engine shows itself: an empty text, a script, a stream or mail link, a host-less address.
QUrl pageUrl(const std::string& address) {
  const QString text = QString::fromStdString(address).trimmed();
  if (text.isEmpty()) return {};
  const QUrl url = QUrl::fromUserInput(text);
  if (!url.isValid()) return {};
  const QString scheme = url.scheme();
  if (scheme == "http" || scheme == "https") return url.host().isEmpty() ? QUrl() : url;
  if (scheme == "file" || scheme == "about" || scheme == "data") return url;
  return {};
}

std::string addressText(const QUrl& url) { return url.toString(QUrl::FullyEncoded).toStdString(); }

// A handler's failure must not reach Qt's event loop, nor keep the events after it from coming.
template <class Raise>
void guarded(Raise&& raise) {
  try {
    raise();
  } catch (...) {
  }
}

}  // namespace


WebEngineBrowser::WebEngineBrowser(QWidget* parent) : container_(new QWidget(parent)) {
  auto* layout = new QVBoxLayout(container_);
  layout->setContentsMargins(0, 0, 0, 0);
}

WebEngineBrowser::~WebEngineBrowser() {
  ++generation_;  // script answers handed back while the page goes away are news of nothing
  delete container_.data();  // the page goes before its profile, a child of this
}

QWidget* WebEngineBrowser::widget() const { return container_.data(); }

QWebEngineView* WebEngineBrowser::view() const {
  return static_cast<QWebEngineView*>(view_.data());
}

void WebEngineBrowser::startEngine() {
  if (view_ || !container_) return;
  makeSharedGlContext();
  profile_ = newGuardedProfile(this);
  connect(profile_, &QWebEngineProfile::downloadRequested, this,
          &WebEngineBrowser::downloadRequested);
  auto* view = new QWebEngineView(container_);
  view->setContextMenuPolicy(Qt::NoContextMenu);
  auto* page = new GuardedWebPage(profile_, view);
  page->allowRemoteContentForPagesIn(remoteContentFolder_);
  view->setPage(page);
  connect(page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::loadingChanged);
  container_->layout()->addWidget(view);
  view_ = view;
}

void WebEngineBrowser::allowRemoteContentForPagesIn(const std::string& folder) {
  remoteContentFolder_ = QString::fromStdString(folder);
  if (view_)
    static_cast<GuardedWebPage*>(view()->page())
        ->allowRemoteContentForPagesIn(remoteContentFolder_);
}

void WebEngineBrowser::navigate(const std::string& address) {
  const QUrl url = pageUrl(address);
  if (url.isEmpty()) {
    if (view_) view()->stop();
    abandonLoad();
    deliver([this, address] { navigateError.raise(address, 0); });
    return;
  }
  startEngine();
  if (!view_) fail("the browser's window is gone");
  view()->load(url);
  abandonLoad();
  load_ = Load::Running;
}

void WebEngineBrowser::stop() {
  if (view_) view()->stop();
  abandonLoad();
}

std::string WebEngineBrowser::locationURL() const {
  if (!view_) return {};
  const QUrl url = view()->url();
  return url.isEmpty() ? std::string() : addressText(url);
}

std::vector<std::string> WebEngineBrowser::anchors() const {
  if (!anchors_) fail("no page has completed yet");
  return *anchors_;
}

// Called right after the engine was told to load or stop: whatever it queued up to now is news
// of the loads that came before.
void WebEngineBrowser::abandonLoad() {
  ++generation_;
  load_ = Load::None;
  stoppedNavigation_.clear();
  earlyDownload_.clear();
  postWhileCurrent(this, generation_, [this] { heardGeneration_ = generation_; });
}

// Events are raised from the event queue, never inside navigate() or stop() nor inside one of
// the engine's callbacks, and not at all once a newer navigate() or stop() came.
void WebEngineBrowser::deliver(std::function<void()> raise) {
  postWhileCurrent(this, generation_, std::move(raise));
}

// The engine reports one start and one end for each stretch of loading at the top level. A
// navigation that begins while another is under way joins its stretch, so the end describes the
// last of them.
void WebEngineBrowser::loadingChanged(const QWebEngineLoadingInfo& info) {
  if (!newsIsCurrent()) return;
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      load_ = Load::Running;
      stoppedNavigation_.clear();
      earlyDownload_.clear();
      return;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      if (load_ == Load::None) return;
      load_ = Load::None;
      readAnchors(addressText(info.url()));
      return;
    case QWebEngineLoadingInfo::LoadFailedStatus: {
      if (load_ == Load::None) return;
      load_ = Load::None;
      // Chromium shows a server's own 404 page, but still reports the load as failed with the
      // HTTP status; without an answer the domain is a network one.
      const int status =
          info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
      deliver([this, url = addressText(info.url()), status] { navigateError.raise(url, status); });
      return;
    }
    case QWebEngineLoadingInfo::LoadStoppedStatus:
      if (load_ == Load::Running) loadStopped(info.url());
      return;
  }
}

void WebEngineBrowser::loadStopped(const QUrl& url) {
  if (view_ && view()->url() == url) {
    // The page was shown and then stopped inside the browser: the load ended with what it had.
    load_ = Load::None;
    deliver([this] { downloadComplete.raise(); });
    return;
  }
  if (!earlyDownload_.isEmpty() && earlyDownload_ == url) {
    load_ = Load::None;
    refuseDownload();
    return;
  }
  load_ = Load::AwaitingDownload;
  stoppedNavigation_ = url;
  QTimer::singleShot(kDownloadWaitMs, this, [this, url, generation = generation_] {
    if (generation != generation_ || load_ != Load::AwaitingDownload) return;
    if (stoppedNavigation_ != url) return;
    load_ = Load::None;
    deliver([this] { downloadComplete.raise(); });
  });
}

void WebEngineBrowser::downloadRequested(QWebEngineDownloadRequest* download) {
  // Refused before anything else happens: not one byte of a download reaches the disk, whatever
  // the handlers answer and whatever they let run meanwhile.
  download->cancel();
  if (!newsIsCurrent()) return;
  if (load_ == Load::AwaitingDownload) {
    load_ = Load::None;
    refuseDownload();
  } else if (load_ == Load::Running) {
    earlyDownload_ = download->url();
  }
}

void WebEngineBrowser::refuseDownload() {
  deliver([this, generation = generation_] {
    bool cancel = true;
    guarded([&] { fileDownload.raise(cancel); });  // refused already, whatever the answer
    if (generation == generation_) downloadComplete.raise();
  });
}

void WebEngineBrowser::readAnchors(const std::string& url) {
  if (!view_) return;
  QPointer<WebEngineBrowser> self(this);
  view()->page()->runJavaScript(
      anchorScript(), QWebEngineScript::ApplicationWorld,
      [self, url, generation = generation_](const QVariant& answer) {
        if (!self || generation != self->generation_) return;
        try {
          auto texts = std::make_shared<std::vector<std::string>>(anchorTexts(answer));
          WebEngineBrowser* browser = self.data();
          browser->deliver([browser, url, texts, generation] {
            browser->anchors_ = std::move(*texts);
            guarded([&] { browser->downloadComplete.raise(); });
            if (generation == browser->generation_) browser->documentComplete.raise(url);
          });
        } catch (...) {
          // Nothing may unwind into the engine's callback.
        }
      });
}

}  // namespace zelvo
