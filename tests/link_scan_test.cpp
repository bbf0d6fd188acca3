// The scan of a completed page: which links are dropped, which become stations and lines of
// tv_lib_ss_www.txt, which join the page queue, and what a hostile page can and cannot do.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes/WindowHarness.h"
#include "search/LinkFilters.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace zelvo::test {
namespace {

TEST(LinkFilters, StreamMarkersAnywhereInAnyCaseAndTheSearchEnginesOwnLinks) {
  const std::string prefix = resultPagePrefix("http://www.baidu.com/");
  struct Case {
    const char* link;
    bool kept;
    bool stream;
  } cases[] = {
      {"MMS://live.example/tv", true, true},
      {"rtsp://h/s", true, true},
      {"http://h/list.ASX", true, true},
      {"http://h/movie.rmvb", true, true},
      {"http://h/play.php?file=a.wmv&x=1", true, true},
      {"http://h/a.ram", true, true},
      {"http://h/normal.html", true, false},
      {"", true, false},
      {"mailto:tv@example.com", false, false},
      {"http://user@h/x.asx", false, true},
      {"http://www.MicroSoft.com/windows/", false, false},
      {"http://www.baidu.com/more", false, false},
      {"http://tieba.BAIDU.com/f?kw=tv", false, false},
      {"http://www.baidu.com/baidu?lm=0&si=&rn=10&tn=baidu&ie=gb2312&ct=0&word=tv&pn=10", true,
       false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(passesLinkFilters(c.link, prefix), c.kept) << c.link;
    EXPECT_EQ(isStreamLink(c.link), c.stream) << c.link;
  }
}

class LinkScanTest : public ::testing::Test {
 protected:
  void SetUp() override { h.window->StartUp(); }
  // The browser shows the page, as playing a web-page address does.
  void open(const std::string& page, std::vector<std::string> anchors) {
    h.browser.servePage(page, std::move(anchors));
    h.browser.navigate(page);
    h.loop.advance(h.browser.loadMs);
  }
  std::vector<std::string> queue() const {
    std::vector<std::string> rows;
    for (int i = 0; i < h.c.tvmx.count(); ++i) rows.push_back(h.c.tvmx.row(i));
    return rows;
  }
  WindowHarness h;
};

TEST_F(LinkScanTest, StreamLinksBecomeStationsNamedAfterTheRowCountAndPageLinksAreQueued) {
  open("http://site/index.html", {"mms://first/never-examined", "mms://a/1", "http://site/p2.html",
                                  "HTTP://SITE/P2.HTML", "http://site/x.asx", "mailto:a@b"});
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://a/1", "1tvm|http://site/x.asx"));
  EXPECT_EQ(h.c.tvm.text(), "1tvm");
  EXPECT_EQ(h.c.dz1.text(), "http://site/x.asx");
  EXPECT_THAT(h.readFile("tv_lib_ss_www.txt"),
              ElementsAre("0tvm,mms://a/1,", "1tvm,http://site/x.asx,"));
  EXPECT_THAT(queue(), ElementsAre("http://site/p2.html"));  // equal ignoring case: once
  EXPECT_EQ(h.c.l.caption(), "1");
  EXPECT_TRUE(h.c.Timer9.enabled());

  // A stream whose address is a row already adds nothing; a page that left the queue unvisited
  // may be queued again, a page that was shown may not.
  h.c.tvmx.removeItem(0);
  open("http://site/p3.html", {"", "MMS://A/1", "http://site/p2.html", "http://SITE/index.html"});
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://a/1", "1tvm|http://site/x.asx"));
  EXPECT_THAT(h.readFile("tv_lib_ss_www.txt"),
              ElementsAre("0tvm,mms://a/1,", "1tvm,http://site/x.asx,"));
  EXPECT_THAT(queue(), ElementsAre("http://site/p2.html"));
}

TEST_F(LinkScanTest, TheHomePageTheStartLocationAndAnEmptyAddressAreNotScanned) {
  for (const std::string& page :
       {std::string(kBaiduHome), std::string("HTTP://WWW.BAIDU.COM/"), std::string("http:///")}) {
    h.browser.servePage(page, {"", "mms://a/1", "http://p/1"});
    h.browser.userOpens(page);
    h.loop.runPending();
    h.loop.advance(h.browser.loadMs);
    h.c.Timer9.setEnabled(false);  // the load's downloadComplete arms the step
  }
  EXPECT_EQ(h.c.tvm.count(), 0);
  EXPECT_EQ(h.c.tvmx.count(), 0);
}

TEST_F(LinkScanTest, AHostilePageCannotGrowTheQueueOrTheListBeyondTheirLimit) {
  std::vector<std::string> anchors;
  for (int i = 0; i < 100000; ++i) anchors.push_back("http://big/" + std::to_string(i) + ".html");
  anchors.push_back(std::string("http://big/") + std::string(1 << 20, 'a') + ".wmv");
  open("http://big/index.html", anchors);
  EXPECT_EQ(h.c.tvmx.count(), kMaxListRows);
  EXPECT_EQ(h.c.tvmx.row(kMaxListRows - 1), "http://big/32767.html");
  ASSERT_EQ(h.c.tvm.count(), 1);  // the 1 MB stream link, whole
  EXPECT_EQ(h.c.dz1.row(0).size(), (1u << 20) + 15);
  EXPECT_EQ(h.readFile("tv_lib_ss_www.txt").at(0).size(), (1u << 20) + 21);

  // A full station list takes no more stations, and no file line is written for them.
  for (int i = h.c.tvm.count(); i < kMaxListRows; ++i) h.c.tvm.addItem("s"), h.c.dz1.addItem("s");
  open("http://big/more.html", {"", "mms://extra/1"});
  EXPECT_EQ(h.c.tvm.count(), kMaxListRows);
  EXPECT_EQ(h.readFile("tv_lib_ss_www.txt").size(), 1u);
}

TEST_F(LinkScanTest, StoppingInTheMiddleOfAPageTakesNoFurtherLinkAndArmsNoStep) {
  std::vector<std::string> anchors = {""};
  for (int i = 0; i < 10; ++i) anchors.push_back("mms://s/" + std::to_string(i));
  h.browser.servePage("http://site/a.html", anchors);
  h.browser.navigate("http://site/a.html");
  int taken = 0;
  for (int i = 0; i < 3; ++i) h.loop.duringYield([&] { ++taken; });
  h.loop.duringYield([&] { h.c.Command9.userClicked(); });
  h.loop.advance(h.browser.loadMs);
  EXPECT_EQ(taken, 3);
  EXPECT_EQ(h.c.tvm.count(), 3);
  EXPECT_EQ(h.readFile("tv_lib_ss_www.txt").size(), 3u);
  EXPECT_FALSE(h.c.Timer9.enabled());
}

TEST_F(LinkScanTest, ClosingTheWindowDuringAPageScanEndsItAtItsNextLink) {
  h.browser.servePage("http://site/a.html", {"", "mms://s/1", "mms://s/2", "http://p/1"});
  h.browser.navigate("http://site/a.html");
  h.loop.duringYield([] {});
  h.loop.duringYield([&] { h.c.form1.userClosed(); });
  h.loop.advance(h.browser.loadMs);
  EXPECT_THAT(h.process.endedWith, ElementsAre(0));
  EXPECT_THAT(h.rows(), ElementsAre("0tvm|mms://s/1"));
  EXPECT_EQ(h.c.tvmx.count(), 0);
}

TEST_F(LinkScanTest, APageWithoutAnchorsOrWithoutADocumentStillArmsTheStep) {
  open("http://site/empty.html", {});
  EXPECT_TRUE(h.c.Timer9.enabled());
  h.c.Timer9.setEnabled(false);
  WindowHarness fresh;  // no page has completed: the anchors cannot be read
  fresh.window->StartUp();
  fresh.browser.documentComplete.raise("http://site/x.html");
  EXPECT_TRUE(fresh.c.Timer9.enabled());
  EXPECT_THAT(fresh.rows(), IsEmpty());
}

}  // namespace
}  // namespace zelvo::test
