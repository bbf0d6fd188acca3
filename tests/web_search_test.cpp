// The web search crawl on a fake web: starting in either mode, stepping from page to page
// through the queue, the rows it never loads, clicks on the queue, failures, downloads and stop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <map>

#include "fakes/WindowHarness.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

constexpr const char* kHome = "http://search.test/";
constexpr const char* kResults =
    "http://search.test/baidu?lm=0&si=&rn=10&tn=baidu&ie=gb2312&ct=0&word=tv";

class WebSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    h.services.searchHome = kHome;
    h.window->StartUp();
    h.log.clear();
  }
  void startAutomatic() {
    h.c.Check2.userToggled(false);
    h.c.Command17.userClicked();
  }
  // Lets the loads and steps of the next ms of virtual time happen.
  void run(long ms = 1000) { h.loop.advance(ms); }
  std::vector<std::string> visited() const { return h.log.startingWith("browser.navigate"); }
  std::vector<std::string> queue() const {
    std::vector<std::string> rows;
    for (int i = 0; i < h.c.tvmx.count(); ++i) rows.push_back(h.c.tvmx.row(i));
    return rows;
  }
  WindowHarness h;
};

TEST_F(WebSearchTest, AnAutomaticSearchVisitsEveryQueuedPageInTurnUntilTheQueueRunsDry) {
  h.c.tvm.setText("CCTV");
  h.browser.servePage(kHome, {"", "http://search.test/more", "http://news.test/"});
  h.browser.servePage(kResults, {"", "http://a.test/1.html", "mms://live/1",
                                 std::string(kResults) + "&pn=10", "http://tieba.baidu.com/x"});
  h.browser.servePage(std::string(kResults) + "&pn=10", {"", "http://a.test/1.html", "rtsp://r/2"});
  h.browser.servePage("http://a.test/1.html", {"", "http://b.test/2.html", "http://x.test/a.asx"});
  h.browser.servePage("http://b.test/2.html", {});
  startAutomatic();

  ASSERT_EQ(h.messages.shown.size(), 1u);
  EXPECT_EQ(h.messages.shown[0].text,
            "请在在边输入框中输入网址，否则请点击右边的选择按钮将在百度中搜索！");
  EXPECT_EQ(h.c.Command17.caption(), "网上");
  EXPECT_TRUE(h.c.WebBrowser1.visible());
  EXPECT_EQ(h.c.WebBrowser1.rect().height, 5000);
  EXPECT_FALSE(h.c.WindowsMediaPlayer1.visible());
  EXPECT_FALSE(h.c.Command14.enabled());
  EXPECT_THAT(h.rows(), IsEmpty());

  // The home page is not scanned; its load still leads to one step, which finds nothing queued.
  run();
  EXPECT_EQ(h.c.Command10.caption(), "搜台");
  EXPECT_EQ(h.c.form1.rect().width, 8430);

  // The user's query brings the result page; from there on the search runs by itself.
  h.browser.userOpens(kResults);
  h.loop.advance(h.browser.loadMs + 100);
  EXPECT_EQ(h.c.form1.rect().width, 14505);
  EXPECT_EQ(h.c.Command10.caption(), "2");  // the page about to be loaded counts
  run();
  // A page visited once is not queued again, and a stream already in the list adds nothing.
  EXPECT_THAT(visited(), ElementsAre(std::string("browser.navigate ") + kHome,
                                     "browser.navigate http://a.test/1.html",
                                     std::string("browser.navigate ") + kResults + "&pn=10",
                                     "browser.navigate http://b.test/2.html"));
  EXPECT_THAT(h.rows(),
              ElementsAre("0tvm|mms://live/1", "1tvm|http://x.test/a.asx", "2tvm|rtsp://r/2"));
  EXPECT_EQ(h.readFile("tv_lib_ss_www.txt").size(), 3u);
  EXPECT_EQ(h.c.Command10.caption(), "搜台");
  EXPECT_EQ(h.c.form1.rect().width, 8430);
  EXPECT_TRUE(h.c.WebBrowser1.visible());
  EXPECT_EQ(h.c.Command17.caption(), "网上");
}

TEST_F(WebSearchTest, ACrawlOfPagesThatLinkInACycleVisitsEachOnceAndEnds) {
  struct Case {
    const char* what;
    std::map<std::string, std::vector<std::string>> site;  // the first page is "http://c/a.html"
    std::vector<std::string> loaded;  // by the crawl, after the user's first page
    std::vector<std::string> rows;
  } cases[] = {
      {"two pages linking to each other",
       {{"http://c/a.html", {"", "http://c/b.html", "mms://s/1"}},
        {"http://c/b.html", {"", "http://C/A.html", "MMS://S/1", "http://c/b.html"}}},
       {"http://c/b.html"},
       {"0tvm|mms://s/1"}},
      {"a ring of three, each page also linking to itself",
       {{"http://c/a.html", {"", "http://c/a.html", "http://c/b.html", "rtsp://s/a"}},
        {"http://c/b.html", {"", "http://c/b.html", "http://c/d.html", "rtsp://s/a"}},
        {"http://c/d.html", {"", "http://c/d.html", "http://c/a.html", "rtsp://s/d"}}},
       {"http://c/b.html", "http://c/d.html"},
       {"0tvm|rtsp://s/a", "1tvm|rtsp://s/d"}},
  };
  for (const Case& test : cases) {
    for (const auto& [page, anchors] : test.site) h.browser.servePage(page, anchors);
    startAutomatic();  // a new search: what the one before visited may be visited again
    h.log.clear();
    h.browser.userOpens("http://c/a.html");
    run(5000);
    std::vector<std::string> loaded;
    for (const std::string& call : visited()) loaded.push_back(call.substr(17));
    EXPECT_EQ(loaded, test.loaded) << test.what;
    EXPECT_EQ(h.rows(), test.rows) << test.what;
    EXPECT_EQ(h.readFile("tv_lib_ss_www.txt").size(), test.rows.size()) << test.what;
    EXPECT_THAT(queue(), IsEmpty()) << test.what;
    EXPECT_EQ(h.c.Command10.caption(), "搜台") << test.what;
    EXPECT_FALSE(h.c.Timer9.enabled()) << test.what;
    std::remove(h.path("tv_lib_ss_www.txt").c_str());
  }
}

TEST_F(WebSearchTest, RowsThatAreNoWebPageAreDroppedWithoutBeingLoaded) {
  h.browser.servePage("http://site/index.html",
                      {"", "javascript:alert(1)", "file:///etc/passwd", "http://a@site/x.html",
                       "data:text/html,hi", "", kHome, "https://site/ok.html", "about:blank"});
  h.browser.servePage("https://site/ok.html", {});
  startAutomatic();
  h.browser.userOpens("http://site/index.html");
  run();
  EXPECT_THAT(visited(), ElementsAre(std::string("browser.navigate ") + kHome,
                                     "browser.navigate https://site/ok.html"));
  // Only unusable rows left: the search ends as a stop does, the player shown again.
  EXPECT_THAT(queue(), IsEmpty());
  EXPECT_FALSE(h.c.WebBrowser1.visible());
  EXPECT_TRUE(h.c.WindowsMediaPlayer1.visible());
  EXPECT_EQ(h.c.form1.rect().width, 14505);
}

TEST_F(WebSearchTest, ASinglePageSearchQueuesTheLinksAndLoadsOnlyTheRowsTheUserClicks) {
  h.browser.servePage("http://site/index.html",
                      {"", "http://site/a.html", "http://site/b.html", "file:///etc/passwd"});
  h.browser.servePage("http://site/b.html", {"", "mms://b/1"});
  h.c.tvm.setText("http://site/index.html");  // typed into the name field
  h.c.Command17.userClicked();
  run();
  // Each completed page costs the queue its head row, unvisited.
  EXPECT_THAT(queue(), ElementsAre("http://site/b.html", "file:///etc/passwd"));
  h.c.tvmx.userChoseRow(0);
  run();
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://b/1"));
  EXPECT_THAT(queue(), ElementsAre("file:///etc/passwd"));
  h.c.tvmx.userChoseRow(0);  // a local file is never opened from the queue
  run();
  EXPECT_THAT(visited(), ElementsAre("browser.navigate http://site/index.html",
                                     "browser.navigate http://site/b.html"));
}

TEST_F(WebSearchTest, FailedPagesAndDownloadsMoveOnAndANeverEndingPageWaitsForTheUser) {
  h.browser.servePage("http://site/index.html", {"", "http://site/missing.html",
                                                 "http://site/get.zip", "http://site/forever.html",
                                                 "http://site/last.html", "http://site/end.html"});
  h.browser.failPage("http://site/missing.html", 404);
  h.browser.offerDownload("http://site/get.zip");
  h.browser.servePage("http://site/last.html", {});
  h.browser.servePage("http://site/end.html", {});
  startAutomatic();
  h.browser.userOpens("http://site/index.html");
  run(5000);
  EXPECT_THAT(h.browser.downloadAnswers, ElementsAre(true));
  EXPECT_EQ(visited().back(), "browser.navigate http://site/forever.html");
  EXPECT_THAT(queue(), ElementsAre("http://site/last.html", "http://site/end.html"));

  // In automatic mode a click goes on with the head of the queue, whichever row it was.
  h.c.tvmx.userChoseRow(1);
  run();
  EXPECT_THAT(visited(), ElementsAre(std::string("browser.navigate ") + kHome,
                                     "browser.navigate http://site/missing.html",
                                     "browser.navigate http://site/get.zip",
                                     "browser.navigate http://site/forever.html",
                                     "browser.navigate http://site/last.html",
                                     "browser.navigate http://site/end.html"));
}

TEST_F(WebSearchTest, StopEndsTheCrawlEvenInTheMiddleOfAStepAndKeepsWhatWasFound) {
  h.browser.servePage("http://site/index.html",
                      {"", "mms://found/1", "http://site/a.html", "http://site/b.html"});
  h.browser.servePage("http://site/a.html", {"", "mms://found/2"});
  startAutomatic();
  h.browser.userOpens("http://site/index.html");
  h.loop.advance(h.browser.loadMs);
  // The step lets events run before it loads the page: the user's stop comes then.
  h.loop.duringYield([] {});
  h.loop.duringYield([&] { h.c.Command9.userClicked(); });
  run(5000);
  EXPECT_THAT(visited(), ElementsAre(std::string("browser.navigate ") + kHome));
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://found/1"));
  EXPECT_EQ(h.c.Command10.caption(), "搜台");
  EXPECT_EQ(h.c.form1.rect().width, 8430);
  EXPECT_FALSE(h.c.WebBrowser1.visible());
  EXPECT_FALSE(h.c.Timer9.enabled());
}

TEST_F(WebSearchTest, APlayedWebPageIsScannedAndF11RevealsTheQueueLength) {
  h.browser.servePage("http://site/list.htm", {"", "mms://tv/1", "http://site/p.html"});
  h.c.dz1.setText("http://site/list.htm");
  h.c.Command2.userClicked();
  h.loop.advance(h.browser.loadMs);
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://tv/1"));
  EXPECT_THAT(queue(), ElementsAre("http://site/p.html"));
  EXPECT_EQ(h.c.l.caption(), "0");
  EXPECT_EQ(h.c.Command17.caption(), "网上搜索");
  h.c.l.setVisible(false);
  h.c.Text1.setVisible(false);
  h.c.dz1.setEnabled(false);
  h.c.Command10.userKeyDown(121);
  EXPECT_FALSE(h.c.l.visible());
  h.c.Command10.userKeyDown(122);
  EXPECT_TRUE(h.c.l.visible());
  EXPECT_TRUE(h.c.Text1.visible());
  EXPECT_TRUE(h.c.dz1.enabled());
}

}  // namespace
}  // namespace zelvo::test
