// The QtWebEngine browser against pages on loopback: how each load ends (a page, an error, a
// refused download), what stop() and a new navigate() leave behind, and the lazy engine start.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>
#include <cstdlib>
#include <string>
#include <vector>

#include "BrowserEventLog.h"
#include "BrowserTestMain.h"
#include "platform/Failure.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempFolder.h"

namespace zelvo {
namespace {

using test::BrowserEventLog;
using test::LoopbackHttpServer;
using test::waitUntil;
using Events = std::vector<std::string>;

// Engine helper processes started by this program (the kernel shortens the name to 15 bytes).
int engineChildren() {
  int count = 0;
  const QString ownPid = QString::number(::getpid());
  for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat("/proc/" + entry + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QString text = QString::fromUtf8(stat.readAll());
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    if (open < 0 || close < open) continue;
    const QString name = text.mid(open + 1, close - open - 1);
    const QStringList rest = text.mid(close + 2).split(' ');
    if (rest.size() > 1 && rest[1] == ownPid && name.startsWith("QtWebEngineProc")) ++count;
  }
  return count;
}

LoopbackHttpServer::Reply html(const std::string& body, int status = 200) {
  LoopbackHttpServer::Reply reply;
  reply.status = status;
  reply.body = "<html><body>" + body + "</body></html>";
  return reply;
}

Events completed(const std::string& url) { return {"downloadComplete", "documentComplete " + url}; }

// Must stay the first test of this program: later ones leave the engine running.
TEST(WebEngineBrowserTest, StartsTheEngineOnlyWhenFirstNavigated) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  server.setReply("/page.html", html("<a href=\"x.html\">x</a>"));

  WebEngineBrowser browser;
  BrowserEventLog log(browser);
  browser.widget()->resize(400, 300);
  browser.widget()->show();
  test::processEventsFor(500);
  EXPECT_EQ(engineChildren(), 0);
  EXPECT_EQ(browser.locationURL(), "");
  EXPECT_THROW(browser.anchors(), PlatformFailure) << "no page has completed";
  browser.stop();  // nothing loading yet: harmless, and starts nothing
  EXPECT_FALSE(browser.started());

  const std::string page = server.url("page.html");
  EXPECT_EQ(log.after([&] { browser.navigate(page); }, 2, 45000), completed(page));
  EXPECT_EQ(browser.locationURL(), page);
  EXPECT_EQ(browser.anchors(), std::vector<std::string>{server.url("x.html")});
  EXPECT_GT(engineChildren(), 0) << "the check above would never see an engine process";
}

TEST(WebEngineBrowserTest, EachLoadEndsWithCompletionOrWithAnErrorAlone) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  server.setReply("/page.html", html("<a href=\"x.html\">x</a>"));
  server.setReply("/missing.html", html("<a href=\"elsewhere.html\">elsewhere</a> is gone", 404));
  server.setReply("/broken.html", html("<a href=\"x.html\">x</a> broke", 500));
  LoopbackHttpServer locked(folder.path(), LoopbackHttpServer::Mode::Unauthorized);
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(test::refusedPort()) + "/page.html";

  struct Case {
    std::string address;
    Events events;
  };
  const Case cases[] = {
      {server.url("page.html"), completed(server.url("page.html"))},
      {server.url("missing.html"), {"navigateError " + server.url("missing.html") + " 404"}},
      {server.url("broken.html"), {"navigateError " + server.url("broken.html") + " 500"}},
      {locked.url("page.html"), {"navigateError " + locked.url("page.html") + " 401"}},
      {refused, {"navigateError " + refused + " 0"}},
      {"CCTV1", {"navigateError http://cctv1/ 0"}},
      {"", {"navigateError  0"}},
      {"javascript:void(0)", {"navigateError javascript:void(0) 0"}},
      {"MMS://127.0.0.1/live", {"navigateError MMS://127.0.0.1/live 0"}},
      {"  " + server.url("page.html") + "  ", completed(server.url("page.html"))},
  };
  WebEngineBrowser browser;
  BrowserEventLog log(browser);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(log.after([&] { browser.navigate(c.address); }, c.events.size()), c.events);
  }
  // A failed load keeps the links of the page that completed last.
  log.after([&] { browser.navigate(server.url("missing.html")); }, 1);
  EXPECT_EQ(browser.anchors(), std::vector<std::string>{server.url("x.html")});
}

TEST(WebEngineBrowserTest, AFailingHandlerKeepsNoEventFromComing) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  server.setReply("/page.html", html("<a href=\"x.html\">x</a>"));
  LoopbackHttpServer::Reply playlist;
  playlist.contentType = "video/x-ms-asf";
  server.setReply("/live.asx", playlist);

  WebEngineBrowser browser;
  Events events;
  browser.downloadComplete.connect([&] {
    events.push_back("downloadComplete");
    fail("the handler's step failed");
  });
  browser.documentComplete.connect([&](const std::string& url) {
    events.push_back("documentComplete " + url);
    throw std::runtime_error("unexpected");
  });
  browser.fileDownload.connect([&](bool&) {
    events.push_back("fileDownload");
    fail("the handler's step failed");
  });
  browser.navigate(server.url("page.html"));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }, 20000));
  EXPECT_EQ(events, completed(server.url("page.html")));
  events.clear();
  browser.navigate(server.url("live.asx"));
  ASSERT_TRUE(waitUntil([&] { return events.size() >= 2; }, 20000));
  EXPECT_EQ(events, (Events{"fileDownload", "downloadComplete"}));
}

TEST(WebEngineBrowserTest, PagesThePageOpensItselfRaiseTheirOwnEvents) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  server.setReply("/target.html", html("<a href=\"t.html\">t</a>"));
  server.setReply("/script.html",
                  html("<script>setTimeout(function () { location.href = 'target.html?by=script'; "
                       "}, 300);</script>"));
  LoopbackHttpServer::Reply refresh = html("refreshing");
  refresh.body =
      "<html><head><meta http-equiv=\"refresh\" content=\"0; url=target.html?by=meta\">"
      "</head><body>refreshing</body></html>";
  server.setReply("/meta.html", refresh);
  server.setReply("/click.html", html("<a id=\"go\" href=\"target.html?by=click\">go</a><script>"
                                      "setTimeout(function () { document.getElementById('go')."
                                      "click(); }, 300);</script>"));

  WebEngineBrowser browser;
  BrowserEventLog log(browser);
  for (const std::string way : {"script", "meta", "click"}) {
    SCOPED_TRACE(way);
    const std::string first = server.url(way + ".html");
    const std::string second = server.url("target.html?by=" + way);
    Events expected = completed(first);
    for (const std::string& event : completed(second)) expected.push_back(event);
    EXPECT_EQ(log.after([&] { browser.navigate(first); }, 4), expected);
    EXPECT_EQ(browser.locationURL(), second);
    EXPECT_EQ(browser.anchors(), std::vector<std::string>{server.url("t.html")});
  }
}

// Files under folder holding marker: what a download that got through would leave behind.
std::vector<std::string> filesHolding(const QString& folder, const QByteArray& marker) {
  std::vector<std::string> found;
  QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                     QDirIterator::Subdirectories);
  while (files.hasNext()) {
    QFile file(files.next());
    if (file.open(QIODevice::ReadOnly) && file.readAll().contains(marker)) {
      found.push_back(file.fileName().toStdString());
    }
  }
  return found;
}

TEST(WebEngineBrowserTest, DownloadsAreRefusedWhateverTheHandlerAnswers) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  const std::string marker = "zelvo download marker";
  LoopbackHttpServer::Reply playlist;
  playlist.contentType = "video/x-ms-asf";
  playlist.body =
      "<asx version=\"3.0\"><entry><ref href=\"mms://127.0.0.1/live\"/></entry></asx>" + marker;
  server.setReply("/live.asx", playlist);
  LoopbackHttpServer::Reply clip;
  clip.contentType = "application/octet-stream";
  clip.body = std::string(300000, 'w') + marker;
  server.setReply("/clip.wmv", clip);
  LoopbackHttpServer::Reply attachment = html(marker);
  attachment.extraHeaders = "Content-Disposition: attachment; filename=\"page.html\"\r\n";
  server.setReply("/attachment.html", attachment);
  server.setReply("/links.html", html("<a id=\"go\" href=\"live.asx\">live</a><script>"
                                      "setTimeout(function () { document.getElementById('go')."
                                      "click(); }, 300);</script>"));
  server.setReply("/page.html", html("<a href=\"x.html\">x</a>"));

  WebEngineBrowser browser;
  BrowserEventLog log(browser);
  const Events refused = {"fileDownload", "downloadComplete"};
  EXPECT_EQ(log.after([&] { browser.navigate(server.url("page.html")); }, 2),
            completed(server.url("page.html")));
  for (bool cancel : {true, false}) {
    SCOPED_TRACE(cancel ? "handler cancels" : "handler lets it download");
    log.cancelAnswer = cancel;
    EXPECT_EQ(log.after([&] { browser.navigate(server.url("live.asx")); }, 2), refused);
    EXPECT_EQ(log.after([&] { browser.navigate(server.url("clip.wmv")); }, 2), refused);
    EXPECT_EQ(log.after([&] { browser.navigate(server.url("attachment.html")); }, 2), refused);
    Events clicked = completed(server.url("links.html"));
    clicked.insert(clicked.end(), refused.begin(), refused.end());
    EXPECT_EQ(log.after([&] { browser.navigate(server.url("links.html")); }, 4), clicked);
    // The refused addresses never became the location; the page that showed last still is.
    EXPECT_EQ(browser.locationURL(), server.url("links.html"));
  }
  test::processEventsFor(1000);

  auto* view = browser.widget()->findChild<QWebEngineView*>();
  ASSERT_NE(view, nullptr);
  QStringList places = {QDir::homePath(), QDir::tempPath(),
                        view->page()->profile()->downloadPath()};
  for (const QString& place : places) {
    EXPECT_EQ(filesHolding(place, QByteArray::fromStdString(marker)), std::vector<std::string>{})
        << "in " << place.toStdString();
  }
}

TEST(WebEngineBrowserTest, StopAndANewNavigationSilenceTheAbandonedLoad) {
  test::TempFolder folder;
  LoopbackHttpServer server(folder.path());
  LoopbackHttpServer::Reply endless = html("<a href=\"more.html\">more</a>");
  endless.finished = false;
  server.setReply("/endless.html", endless);
  server.setReply("/page.html", html("<a href=\"x.html\">x</a>"));
  // The page keeps its renderer busy right after loading, so the anchor script answers late.
  server.setReply("/busy.html", html("<a href=\"b.html\">b</a><script>window.onload = function () {"
                                     " setTimeout(function () { var end = Date.now() + 2500;"
                                     " while (Date.now() < end) {} }, 0); };</script>"));
  const std::string page = server.url("page.html");

  WebEngineBrowser browser;
  BrowserEventLog log(browser);
  auto requested = [&](const std::string& path) {
    for (const std::string& seen : server.requestedPaths()) {
      if (seen == path) return true;
    }
    return false;
  };

  // A page that never finishes raises nothing, then nothing after stop().
  EXPECT_EQ(log.after([&] { browser.navigate(server.url("endless.html")); }, 1, 2000), Events{});
  EXPECT_TRUE(requested("/endless.html"));
  EXPECT_EQ(log.after([&] { browser.stop(); }, 1, 2500), Events{});

  // A new address drops the pending one; only the new page reports.
  browser.navigate(server.url("endless.html"));
  test::processEventsFor(300);
  EXPECT_EQ(log.after([&] { browser.navigate(page); }, 2), completed(page));
  browser.navigate(page);
  EXPECT_EQ(log.after([&] { browser.navigate(server.url("page.html?second")); }, 2),
            completed(server.url("page.html?second")));

  // stop() right after a navigation, and stop() while the page's anchors are being read.
  EXPECT_EQ(log.after(
                [&] {
                  browser.navigate(page);
                  browser.stop();
                },
                1, 1500),
            Events{});
  QWebEnginePage* engine = browser.widget()->findChild<QWebEngineView*>()->page();
  bool loaded = false;
  auto connection =
      QObject::connect(engine, &QWebEnginePage::loadFinished, [&](bool ok) { loaded = ok; });
  // The page's script starts its busy spell right after loading, but a loaded renderer may
  // answer the anchors first; then the page simply completed, and it is loaded again.
  bool caughtBusy = false;
  for (int attempt = 0; attempt < 5 && !caughtBusy; ++attempt) {
    loaded = false;
    log.clear();
    browser.navigate(server.url("busy.html?" + std::to_string(attempt)));
    ASSERT_TRUE(waitUntil([&] { return loaded; }, 20000));
    test::processEventsFor(200);  // the browser has asked for the anchors by now
    caughtBusy = log.events().empty();
    if (!caughtBusy) {
      ASSERT_EQ(log.after([&] { browser.navigate(page); }, 2), completed(page));
    }
  }
  ASSERT_TRUE(caughtBusy) << "the anchors came back before the page was busy, 5 times";
  EXPECT_EQ(log.after([&] { browser.stop(); }, 1, 3500), Events{});
  QObject::disconnect(connection);
  EXPECT_EQ(browser.anchors(), std::vector<std::string>{server.url("x.html")})
      << "the anchors of the page that completed before are kept";

  // A navigation made while the engine's word that the old page finished is on its way: that
  // word is the old page's, and only the new page reports.
  const std::string next = server.url("page.html?next");
  connection = QObject::connect(engine, &QWebEnginePage::loadFinished, [&](bool) {
    QObject::disconnect(connection);
    browser.navigate(next);
  });
  EXPECT_EQ(log.after([&] { browser.navigate(server.url("page.html?old")); }, 2), completed(next));
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runBrowserTests(argc, argv); }
