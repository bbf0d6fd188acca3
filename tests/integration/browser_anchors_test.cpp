// The anchors the QtWebEngine browser reads from a loaded page: every anchor in document order,
// each as the engine resolves it, whatever the page's own scripts redefine, in any encoding
// and at any size.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <iostream>
#include <string>
#include <vector>

#include "BrowserEventLog.h"
#include "BrowserTestMain.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempFolder.h"

namespace zelvo {
namespace {

using test::BrowserEventLog;
using test::LoopbackHttpServer;
using Texts = std::vector<std::string>;

LoopbackHttpServer::Reply html(const std::string& head, const std::string& body,
                               const std::string& contentType = "text/html; charset=utf-8") {
  LoopbackHttpServer::Reply reply;
  reply.contentType = contentType;
  reply.body = "<html><head>" + head + "</head><body>" + body + "</body></html>";
  return reply;
}

// One browser for the whole program: the engine starts once.
class WebEngineAnchorsTest : public ::testing::Test {
 protected:
  Texts anchorsOf(const std::string& url) { return log_.anchorsOf(url); }

  test::TempFolder folder_;
  LoopbackHttpServer server_{folder_.path()};
  WebEngineBrowser browser_;
  BrowserEventLog log_{browser_};
};

TEST_F(WebEngineAnchorsTest, AnchorsComeInDocumentOrderAsTheBrowserResolvesThem) {
  server_.setReply("/dir/sub/page.html",
                   html("",
                        "<a href=\"a.html\">relative</a>"
                        "<a href=\"../up.html\">up</a>"
                        "<a href=\"/root.html?x=1&amp;y=2\">query</a>"
                        "<a href=\"?q=only\">query only</a>"
                        "<a href=\"#part\">fragment</a>"
                        "<a href=\"\">empty</a>"
                        "<a name=\"mark\">no target</a>"
                        "<p><A HREF=\"upper.html\">upper-case tag</A></p>"
                        "<a href=\"  spaced name.html  \">spaces</a>"
                        "<a href=\"MMS://Host.Example/Live\">stream</a>"
                        "<a href=\"HTTP://WWW.Example.COM/Path/File.ASX\">playlist</a>"
                        "<a href=\"rtsp://127.0.0.1:554/live.sdp\">rtsp</a>"
                        "<a href=\"mailto:someone@example.com\">mail</a>"
                        "<a href=\"javascript:void(0)\">script</a>"
                        "<a href=\"http://[broken/\">unparsable</a>"));
  const std::string dir = server_.url("dir/");
  const std::string page = server_.url("dir/sub/page.html");
  EXPECT_EQ(anchorsOf(page), (Texts{
                                 dir + "sub/a.html",
                                 dir + "up.html",
                                 server_.url("root.html?x=1&y=2"),
                                 page + "?q=only",
                                 page + "#part",
                                 page,
                                 "",
                                 dir + "sub/upper.html",
                                 dir + "sub/spaced%20name.html",
                                 "mms://Host.Example/Live",
                                 "http://www.example.com/Path/File.ASX",
                                 "rtsp://127.0.0.1:554/live.sdp",
                                 "mailto:someone@example.com",
                                 "javascript:void(0)",
                                 "http://[broken/",
                             }));

  server_.setReply("/based.html", html("<base href=\"" + server_.url("base/deeper/") + "\">",
                                       "<a href=\"a.html\">a</a><a href=\"../b.html\">b</a>"
                                       "<a href=\"/c.html\">c</a><a href=\"?d\">d</a>"));
  EXPECT_EQ(anchorsOf(server_.url("based.html")),
            (Texts{server_.url("base/deeper/a.html"), server_.url("base/b.html"),
                   server_.url("c.html"), server_.url("base/deeper/?d")}));

  LoopbackHttpServer::Reply text;
  text.contentType = "text/plain";
  text.body = "<a href=\"not-markup.html\">plain text holds no anchors</a>";
  server_.setReply("/plain.txt", text);
  EXPECT_EQ(anchorsOf(server_.url("plain.txt")), Texts{});
}

TEST_F(WebEngineAnchorsTest, APageCannotFakeItsAnchors) {
  // Everything a page's script could redefine on the way to the anchors' texts.
  server_.setReply("/hostile.html",
                   html("<script>"
                        "String = function () { return 'fake'; };"
                        "String.prototype.toString = function () { return 'fake'; };"
                        "HTMLAnchorElement.prototype.toString = function () { return 'fake'; };"
                        "Object.defineProperty(HTMLAnchorElement.prototype, 'href',"
                        "  { get: function () { return 'fake'; } });"
                        "Document.prototype.getElementsByTagName = function () { return []; };"
                        "document.getElementsByTagName = function () { return []; };"
                        "HTMLCollection.prototype.item = function () { return null; };"
                        "Object.defineProperty(HTMLCollection.prototype, 'length',"
                        "  { get: function () { return 0; } });"
                        "Array = function () { return []; };"
                        "Array.prototype.push = function () {};"
                        "</script>",
                        "<a href=\"one.html\">1</a><a href=\"two.html\">2</a>"
                        "<script>document.body.insertAdjacentHTML('beforeend',"
                        " '<a href=\"added.html\">added by the page</a>');</script>"));
  EXPECT_EQ(anchorsOf(server_.url("hostile.html")),
            (Texts{server_.url("one.html"), server_.url("two.html"), server_.url("added.html")}));
}

TEST_F(WebEngineAnchorsTest, ChinesePagesGiveTheAddressesTheBrowserResolved) {
  // "/频道/直播.asx?台=中央一" in GBK, then 0xFF, which the engine's GBK decoder takes for a
  // private-use character, and a lead byte whose second byte is no GBK trail byte.
  const std::string anchors =
      "<a href=\"/\xC6\xB5\xB5\xC0/\xD6\xB1\xB2\xA5.asx?\xCC\xA8=\xD6\xD0\xD1\xEB\xD2\xBB\">"
      "\xD6\xB1\xB2\xA5</a><a href=\"/bad\xFF.htm?q=\xFF\">bad</a>"
      "<a href=\"/cut\x81\x7F.htm?q=\x81\x7F\">cut</a>";
  // The path is always UTF-8; the query is in the page's own encoding, as a form would send it,
  // and a replacement character that GBK cannot hold goes as a character reference.
  const Texts expected = {
      server_.url("%E9%A2%91%E9%81%93/%E7%9B%B4%E6%92%AD.asx?%CC%A8=%D6%D0%D1%EB%D2%BB"),
      server_.url("bad%EF%A3%B5.htm?q=%FF"),
      server_.url("cut%EF%BF%BD%7F.htm?q=%26%2365533%3B%7F"),
  };
  server_.setReply("/header.html", html("", anchors, "text/html; charset=gb2312"));
  server_.setReply("/meta.html",
                   html("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">",
                        anchors, "text/html"));
  EXPECT_EQ(anchorsOf(server_.url("header.html")), expected);
  EXPECT_EQ(anchorsOf(server_.url("meta.html")), expected);
}

TEST_F(WebEngineAnchorsTest, HugePagesAndHugeAnchorsArriveWhole) {
  constexpr int count = 100000;
  std::string body;
  Texts expected;
  for (int i = 0; i < count; ++i) {
    body += "<a href=\"p/" + std::to_string(i) + ".html\">" + std::to_string(i) + "</a>\n";
    expected.push_back(server_.url("p/" + std::to_string(i) + ".html"));
  }
  server_.setReply("/many.html", html("", body));

  // The time from the engine's word that the page loaded to documentComplete: the anchor read.
  QWebEnginePage* engine = nullptr;
  QElapsedTimer sinceLoaded;
  browser_.navigate("about:blank");
  engine = browser_.widget()->findChild<QWebEngineView*>()->page();
  QObject::connect(engine, &QWebEnginePage::loadFinished, [&] { sinceLoaded.start(); });
  const Texts anchors = anchorsOf(server_.url("many.html"));
  std::cout << "reading " << count << " anchors took about " << sinceLoaded.elapsed()
            << " ms after the page loaded\n";
  EXPECT_EQ(anchors.size(), expected.size());
  EXPECT_TRUE(anchors == expected) << "the anchors differ from the page's";

  const std::string payload(1 << 20, 'z');
  server_.setReply("/long.html", html("", "<a href=\"long.html?" + payload + "\">long</a>"));
  const Texts long_ = anchorsOf(server_.url("long.html"));
  ASSERT_EQ(long_.size(), 1u);
  EXPECT_EQ(long_[0].size(), server_.url("long.html?").size() + payload.size());
  EXPECT_TRUE(long_[0] == server_.url("long.html?" + payload));
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) { return zelvo::test::runBrowserTests(argc, argv); }
