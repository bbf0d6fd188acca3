// The web browser on QtWebEngine. The engine costs several processes and a few hundred MB,
// so nothing of it exists until a page is actually asked for.
#include "platform/webengine/WebEngineBrowser.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <QWidget>

#include "platform/Failure.h"

namespace zelvo {

namespace {

constexpr const char* kQuietEngineFlags =
    "--disable-background-networking --disable-component-update --no-first-run";

}  // namespace

void WebEngineBrowser::prepareProcess() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // Chromium's sandbox will not start as root, which is how CI runs.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
  if (!flags.contains(kQuietEngineFlags)) {
    if (!flags.isEmpty()) flags += ' ';
    flags += kQuietEngineFlags;
  }
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

WebEngineBrowser::WebEngineBrowser(QWidget* parent) : container_(new QWidget(parent)) {
  auto* layout = new QVBoxLayout(container_);
  layout->setContentsMargins(0, 0, 0, 0);
}

WebEngineBrowser::~WebEngineBrowser() { delete container_.data(); }

QWidget* WebEngineBrowser::widget() const { return container_.data(); }

QWebEngineView* WebEngineBrowser::view() const {
  return static_cast<QWebEngineView*>(view_.data());
}

void WebEngineBrowser::startEngine() {
  if (view_ || !container_) return;
  auto* view = new QWebEngineView(container_);
  container_->layout()->addWidget(view);
  connect(view, &QWebEngineView::loadFinished, this, &WebEngineBrowser::loadFinished);
  view_ = view;
}

void WebEngineBrowser::navigate(const std::string& address) {
  startEngine();
  if (!view_) return;
  const QString text = QString::fromStdString(address).trimmed();
  view()->load(QUrl::fromUserInput(text));
}

void WebEngineBrowser::stop() {
  if (view_) view()->stop();
}

std::string WebEngineBrowser::locationURL() const {
  if (!view_) return {};
  return view()->url().toString().toStdString();
}

}  // namespace zelvo

namespace zelvo {

std::vector<std::string> WebEngineBrowser::anchors() const { fail("no document"); }

}  // namespace zelvo
