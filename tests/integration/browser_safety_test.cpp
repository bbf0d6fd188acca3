// What hostile pages cannot do to the QtWebEngine browser: put up a dialog or a window, read
// local files, get a permission, or load over a certificate that does not hold. The pages
// report what they saw by moving on to an address that carries it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BrowserEventLog.h"
#include "BrowserTestMain.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "program/Composition.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo {
namespace {

using test::BrowserEventLog;
using test::LoopbackHttpServer;
using Events = std::vector<std::string>;

LoopbackHttpServer::Reply html(const std::string& body) {
  LoopbackHttpServer::Reply reply;
  reply.body = "<html><body>" + body + "</body></html>";
  return reply;
}

int visibleWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) count += widget->isVisible() ? 1 : 0;
  return count;
}

bool requested(const LoopbackHttpServer& server, const std::string& path) {
  for (const std::string& seen : server.requestedPaths()) {
    if (seen == path) return true;
  }
  return false;
}

class WebEngineSafetyTest : public ::testing::Test {
 protected:
  // Loads the page, which reports by replacing itself with report?... (on the server, or beside
  // a local page); returns the report's query. (A page that moves on while it still loads
  // completes only as the page it moved to.)
  std::string reportOf(const std::string& url, std::string report = {}) {
    server_.setReply("/report", html("reported"));
    if (report.empty()) report = server_.url("report");
    const std::string prefix = "documentComplete " + report + "?";
    auto reported = [&] {
      const Events& events = log_.events();
      return !events.empty() && events.back().rfind(prefix, 0) == 0;
    };
    log_.clear();
    browser_.navigate(url);
    EXPECT_TRUE(test::waitUntil(reported, 30000)) << ::testing::PrintToString(log_.events());
    for (const std::string& event : log_.events()) {
      EXPECT_EQ(event.rfind("navigateError", 0), std::string::npos) << event;
    }
    return reported() ? log_.events().back().substr(prefix.size()) : std::string();
  }

  std::vector<std::string> anchorsOf(const std::string& url) { return log_.anchorsOf(url); }

  test::TempFolder folder_;
  LoopbackHttpServer server_{folder_.path()};
  WebEngineBrowser browser_;
  BrowserEventLog log_{browser_};
};

TEST_F(WebEngineSafetyTest, NoDialogOrWindowAppearsAndThePageGoesOn) {
  server_.setReply("/popup.html", html("a window that must not open"));
  server_.setReply(
      "/dialogs.html",
      html("<a id=\"blank\" href=\"popup.html\" target=\"_blank\">new window</a><script>"
           "alert('hello');"
           "var confirmed = confirm('sure?');"
           "var typed = prompt('name?', 'default');"
           "var opened = window.open('popup.html', 'popup', 'width=300');"
           "document.getElementById('blank').click();"
           "window.print();"
           "window.onload = function () { location.replace('report?confirm=' + confirmed +"
           " '&prompt=' + typed + '&open=' + opened); };"
           "</script>"));
  const int windowsBefore = visibleWindows();
  EXPECT_EQ(reportOf(server_.url("dialogs.html")), "confirm=false&prompt=null&open=null");
  test::processEventsFor(500);
  EXPECT_EQ(visibleWindows(), windowsBefore);
  EXPECT_FALSE(requested(server_, "/popup.html"));
}

TEST_F(WebEngineSafetyTest, PagesCannotReadLocalFiles) {
  const std::string secret = folder_.file("secret.txt");
  std::ofstream(secret) << "the user's secret";
  // The page tells what it could read as the address of an anchor.
  const std::string attempt =
      "<script>var outcome = 'refused';"
      "try {"
      "  var request = new XMLHttpRequest();"
      "  request.open('GET', 'file://" +
      secret +
      "', false);"
      "  request.send();"
      "  if (request.responseText.indexOf('secret') >= 0) outcome = 'read';"
      "} catch (e) {}"
      "document.write('<a href=\"?' + outcome + '\">outcome</a>');</script>";
  server_.setReply("/remote.html", html(attempt));
  EXPECT_EQ(anchorsOf(server_.url("remote.html")),
            std::vector<std::string>{server_.url("remote.html?refused")});

  // A page of the user's own folder still shows, but reads no other file. Pages of the folder
  // opened to remote content load pictures from the network; other local pages do not.
  for (const char* folder : {"pages", "pages-not"})
    std::filesystem::create_directory(folder_.file(folder));
  browser_.allowRemoteContentForPagesIn(folder_.file("pages"));
  struct Case {
    const char* page;
    const char* picture;
    bool loadsRemoteContent;
  } cases[] = {
      {"pages/inside.htm", "/inside.png", true},
      {"local.html", "/outside.png", false},
      {"pages-not/beside.htm", "/beside.png", false},
      {"pages/again.htm", "/again.png", true},
  };
  for (const Case& c : cases) {
    const std::string local = folder_.file(c.page);
    std::ofstream(local) << "<html><body><img src=\"" << server_.url(c.picture + 1) << "\">"
                         << attempt << "</body></html>";
    EXPECT_EQ(anchorsOf("file://" + local),
              std::vector<std::string>{"file://" + local + "?refused"})
        << c.page;
    EXPECT_EQ(requested(server_, c.picture), c.loadsRemoteContent) << c.page;
  }
}

// The window opens the temp folder to remote content: a page the user put there shows what it
// embeds from the network.
TEST(LocalPageInTheWindow, APageOfTheTempFolderLoadsItsRemotePicture) {
  test::TempFolder media;
  LoopbackHttpServer server(media.path());
  test::TempFolder app;
  std::filesystem::create_directory(app.file("temp"));
  std::ofstream(app.file("temp/page.htm"))
      << "<html><body><img src=\"" << server.url("picture.png") << "\"></body></html>";
  ZelvoApplication zelvo(app.path(), test::quietComponents());
  zelvo.start();
  ComboBox& names = zelvo.window().controls().tvm;
  int row = 0;
  while (row < names.count() && names.row(row) != "page") ++row;
  ASSERT_LT(row, names.count());
  names.userChoseRow(row);
  EXPECT_TRUE(test::waitUntil([&] { return requested(server, "/picture.png"); }, 30000));
}

TEST_F(WebEngineSafetyTest, PermissionsAreDenied) {
  server_.setReply(
      "/permissions.html",
      html("<script>"
           "var results = {};"
           "function done(name, outcome) {"
           "  results[name] = outcome;"
           "  if (Object.keys(results).length < 2) return;"
           "  location.replace('report?notification=' + results.notification +"
           "    '&camera=' + results.camera);"
           "}"
           "Notification.requestPermission().then(function (p) { done('notification', p); });"
           "navigator.mediaDevices.getUserMedia({video: true, audio: true})"
           "  .then(function () { done('camera', 'granted'); },"
           "        function () { done('camera', 'denied'); });"
           "</script>"));
  EXPECT_EQ(reportOf(server_.url("permissions.html")), "notification=denied&camera=denied");
}

TEST_F(WebEngineSafetyTest, ACertificateThatDoesNotHoldIsRefused) {
  const std::string key = folder_.file("key.pem"), certificate = folder_.file("cert.pem");
  ASSERT_EQ(QProcess::execute(
                "openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj",
                            "/CN=127.0.0.1", "-days", "1", "-keyout", QString::fromStdString(key),
                            "-out", QString::fromStdString(certificate)}),
            0);
  const uint16_t port = test::refusedPort();
  QProcess tls;
  tls.start("openssl",
            {"s_server", "-quiet", "-www", "-accept", "127.0.0.1:" + QString::number(port), "-cert",
             QString::fromStdString(certificate), "-key", QString::fromStdString(key)});
  ASSERT_TRUE(tls.waitForStarted());
  test::processEventsFor(500);  // until it listens

  const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/";
  EXPECT_EQ(log_.after([&] { browser_.navigate(url); }, 1), Events{"navigateError " + url + " 0"});
  tls.kill();
  tls.waitForFinished();
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runBrowserTests(argc, argv); }
