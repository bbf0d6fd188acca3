#include "program/Composition.h"

#include <QGuiApplication>
#include <QTimer>
#include <iostream>

#include "form/AppTitle.h"
#include "library/PositionFiles.h"
#include "platform/Steps.h"
#include "platform/posix/GbkTextFiles.h"
#include "platform/posix/PosixFileSystem.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/QtAddressCheck.h"
#include "platform/qt/QtFormView.h"
#include "platform/qt/QtGuideView.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtStationView.h"
#include "platform/qt/QtWindowFunctions.h"
#include "platform/qt/WindowProcess.h"
#include "platform/xmltv/MakeGuideReader.h"

namespace zelvo {

namespace {

// Shown when a web page is asked for and the browser cannot be loaded.
constexpr const char* kBrowserUnavailable =
    "无法加载网页浏览器组件，不能打开网页，网上搜索无法进行。";

void reportUnavailable(const ModuleName& module, const std::string& problem) {
  std::cerr << "zelvo: " << unavailable(module, problem) << std::endl;
}

}  // namespace

struct ZelvoApplication::Parts {
  Parts(std::string folder, const ComponentOptions& options)
      : wmp(options),
        real(options),
        guideReader(makeGuideReader()),
        services{loop,
                 wmp,
                 real,
                 browser,
                 files,
                 messages,
                 process,
                 windows,
                 options.clock ? *options.clock : systemClock,
                 disk,
                 *guideReader,
                 guideView,
                 stationView,
                 std::move(folder),
                 options.searchHome},
        window(services) {}

  // The players must not outlive their video areas: the view goes first, so the players'
  // widgets leave it before, and each player tears its engine down with its own widget.
  ~Parts() {
    if (wmp.module().up()) step([&] { wmp.close(); });
    if (real.module().up()) step([&] { real.doStop(); });
    wmp.module().release();
    real.module().release();
    browser.module().release();
  }

  QtEventLoop loop;
  QtMessageBoxes messages;
  QtProcess process;
  QtWindowFunctions windows;
  GbkTextFiles files;
  SystemClock systemClock;
  PosixFileSystem disk;
  PrimaryPlayerProxy wmp;
  FallbackPlayerProxy real;
  BrowserProxy browser;
  QtGuideView guideView;
  QtStationView stationView;
  std::unique_ptr<GuideReader> guideReader;
  Services services;
  // Outlives the window, whose reconnection may still cancel a look as it goes.
  QtAddressCheck addressCheck;
  MainWindow window;
  QtTimers timers;
  std::unique_ptr<QtFormView> view;
};

ZelvoApplication::ZelvoApplication(std::string appFolder, ComponentOptions options)
    : parts_(std::make_unique<Parts>(std::move(appFolder), options)) {
  parts_->wmp.module().onUnavailable = [](const std::string& problem) {
    reportUnavailable(kVlcPlayerModule, problem);
  };
  parts_->real.module().onUnavailable = [](const std::string& problem) {
    reportUnavailable(kMpvPlayerModule, problem);
  };
  // The web search goes no further; the message comes once the failed call has returned.
  parts_->browser.module().onUnavailable = [this](const std::string& problem) {
    reportUnavailable(kBrowserModule, problem);
    QTimer::singleShot(0, [this] {
      step([&] { parts_->messages.show(kBrowserUnavailable, kAppTitle, MessageIcon::Error); });
    });
  };
  MainWindow& window = parts_->window;
  FormControls& c = window.controls();
  parts_->view = std::make_unique<QtFormView>(c.form1, window.shownControls());
  // The players' modules and their engines' libraries are mapped while the rest of the start-up
  // runs, but only once the window is up: mapping them beside it delayed the window by half.
  parts_->view->onFirstShown = [this] {
    parts_->wmp.module().preload();
    parts_->real.module().preload();
  };
  parts_->view->attach(c.WindowsMediaPlayer1, parts_->wmp.widget());
  parts_->view->attach(c.RealAudio1, parts_->real.widget());
  parts_->view->attach(c.WebBrowser1, parts_->browser.widget());
  parts_->guideView.setOwner(parts_->view.get());
  parts_->stationView.setOwner(parts_->view.get());
  // The user puts pages into the temp folder to watch what they embed.
  parts_->browser.allowRemoteContentForPagesIn(parts_->services.pathOf(kTempFolder));
  window.forEachTimer([&](Timer& timer) { parts_->timers.bind(timer); });
  window.reconnection().useAddressCheck(parts_->addressCheck);
}

ZelvoApplication::~ZelvoApplication() = default;

void ZelvoApplication::start() { parts_->window.StartUp(); }
void ZelvoApplication::requestUnload() {
  if (!parts_->process.ending()) parts_->view->requestUnload();
}
bool ZelvoApplication::endRequested() const { return parts_->process.endRequested(); }
int ZelvoApplication::exitStatus() const { return parts_->process.status(); }
MainWindow& ZelvoApplication::window() { return parts_->window; }
QtFormView& ZelvoApplication::view() { return *parts_->view; }
GuideWindow& ZelvoApplication::guideWindow() { return parts_->window.guideWindow(); }
QtGuideView& ZelvoApplication::guideView() { return parts_->guideView; }
QtStationView& ZelvoApplication::stationView() { return parts_->stationView; }
PrimaryPlayerProxy& ZelvoApplication::primaryPlayer() { return parts_->wmp; }
FallbackPlayerProxy& ZelvoApplication::fallbackPlayer() { return parts_->real; }
BrowserProxy& ZelvoApplication::browser() { return parts_->browser; }

}  // namespace zelvo
