// The web browser on QtWebEngine: a container widget whose page view, and with it the engine's
// helper processes, comes into being only on the first navigation.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "platform/WebBrowser.h"

class QWebEngineView;

namespace zelvo {

class WebEngineBrowser : public QObject, public WebBrowser {
  Q_OBJECT

 public:
  explicit WebEngineBrowser(QWidget* parent = nullptr);
  ~WebEngineBrowser() override;
  WebEngineBrowser(const WebEngineBrowser&) = delete;
  WebEngineBrowser& operator=(const WebEngineBrowser&) = delete;

  // Settings the engine reads at start-up; call before the QApplication is made.
  static void prepareProcess();

  // The area the page is shown in; empty until the first navigation.
  QWidget* widget() const;
  // True once the engine has been started by a navigation.
  bool started() const { return view_ != nullptr; }

  void navigate(const std::string& address) override;
  void stop() override;
  std::string locationURL() const override;
  std::vector<std::string> anchors() const override;

 signals:
  void loadFinished(bool ok);

 private:
  void startEngine();
  QWebEngineView* view() const;

  QPointer<QWidget> container_;
  QPointer<QWidget> view_;  // a QWebEngineView, once started
};

}  // namespace zelvo
