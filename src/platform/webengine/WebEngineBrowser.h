// The web browser on QtWebEngine: a container widget whose page view, and with it the engine's
// helper processes, comes into being only on the first navigation.
#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/WebBrowser.h"

class QWebEngineDownloadRequest;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

namespace zelvo {

class WebEngineBrowser : public QObject, public WebBrowser {
  Q_OBJECT

 public:
  explicit WebEngineBrowser(QWidget* parent = nullptr);
  ~WebEngineBrowser() override;
  WebEngineBrowser(const WebEngineBrowser&) = delete;
  WebEngineBrowser& operator=(const WebEngineBrowser&) = delete;

  // The area the page is shown in; empty until the first navigation.
  QWidget* widget() const;
  // True once the engine has been started by a navigation.
  bool started() const { return view_ != nullptr; }

  // Local pages in this folder may load remote content, as they would in a desktop browser;
  // every other page keeps to the crawl's rules.
  void allowRemoteContentForPagesIn(const std::string& folder);

  void navigate(const std::string& address) override;
  void stop() override;
  std::string locationURL() const override;
  std::vector<std::string> anchors() const override;

 private:
  // Where the load the browser reports on stands. A navigation that turns into a download is
  // stopped by the engine first and handed to the download manager afterwards (or, rarely, the
  // other way round), so a stop that never showed a page waits for its download.
  enum class Load { None, Running, AwaitingDownload };

  void startEngine();
  QWebEngineView* view() const;
  void abandonLoad();
  bool newsIsCurrent() const { return heardGeneration_ == generation_; }
  void deliver(std::function<void()> raise);
  void loadingChanged(const QWebEngineLoadingInfo& info);
  void loadStopped(const QUrl& url);
  void downloadRequested(QWebEngineDownloadRequest* download);
  void refuseDownload();
  void readAnchors(const std::string& url);

  QPointer<QWidget> container_;
  QPointer<QWidget> view_;                // a QWebEngineView, once started
  QWebEngineProfile* profile_ = nullptr;  // a child of this, made with the view
  QString remoteContentFolder_;

  // navigate() and stop() start a new generation; the engine's news of older loads is dropped.
  // Its signals reach us through the event queue, so a marker queued right after the call
  // tells when the news queued before it has passed.
  unsigned generation_ = 0;
  unsigned heardGeneration_ = 0;
  Load load_ = Load::None;
  QUrl stoppedNavigation_;  // the address a download is awaited for
  QUrl earlyDownload_;      // a download refused before its navigation was seen to stop
  std::optional<std::vector<std::string>> anchors_;
};

}  // namespace zelvo
