// The real program offscreen searches a small loopback site in single-page mode and scans its
// one find, then searches in automatic mode and scans what it found: every stream link becomes a
// station and a line of tv_lib_ss_www.txt, and the scan records in tv_lib_ss_jg.txt the live
// stations it reaches and never a dead one.
#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "platform/posix/GbkCodec.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/ModalCloser.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

constexpr int kBoundMs = 60000;

void writePage(const TempFolder& site, const std::string& name,
               const std::vector<std::pair<std::string, std::string>>& anchors) {
  std::ofstream page(site.file(name));
  page << "<html><head><meta charset=\"utf-8\"><title>" << name << "</title></head><body>\n";
  page << "<a href=\"#top\">顶部</a>\n";  // the first anchor of a page is never examined
  for (const auto& [href, text] : anchors)
    page << "<a href=\"" << href << "\">" << text << "</a>\n";
  page << "</body></html>\n";
}

std::vector<std::string> lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> result;
  std::string text = gbkToUtf8(bytes);
  for (size_t start = 0, end; start < text.size(); start = end + 2) {
    end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    result.push_back(text.substr(start, end - start));
  }
  return result;
}

TEST(WebSearchEndToEnd, TheCrawlFindsEveryStreamLinkAndTheScanKeepsOnlyLiveStations) {
  TempFolder site;
  const std::string clip = makeClip(site.path(), 20);
  // A stream marker in a folder's name keeps the clip's own ending: libVLC trusts an address's
  // ending when it probes a stream, and under load it gives up on a clip called ".rm".
  std::filesystem::create_directory(site.file("tv.rm"));
  std::filesystem::copy_file(site.file(clip), site.file("tv.rm/" + clip));
  LoopbackHttpServer server(site.path());
  makeAsx(site.path(), "live.asx", server.url(clip));
  const std::string dead = "127.0.0.1:" + std::to_string(refusedPort());
  // index links to a and b, a to b and c, b to c: every page is reached once.
  writePage(site, "index.html",
            {{"a.html", "A"},
             {clip + "?as=.wmv", "直播一"},
             {"mailto:tv@example.com", "mail"},
             {"javascript:void(0)", "script"},
             {"b.html", "B"}});
  writePage(site, "a.html", {{"b.html", "B"}, {"c.html", "C"}, {"rtsp://" + dead + "/gone", "死"}});
  writePage(site, "b.html", {{"c.html", "C"}, {"missing.wmv", "404"}, {"live.asx", "直播二"}});
  writePage(site, "c.html",
            {{"MMS://" + dead + "/gone", "死"},
             {"tv.rm/" + clip, "直播三"},
             {"http://www.microsoft.com/windows/", "ms"}});

  TempFolder app;
  ComponentOptions options = quietComponents(10000);
  options.searchHome = server.url("");
  ZelvoApplication zelvo(app.path(), options);
  zelvo.start();
  ModalCloser boxes;
  FormControls& c = zelvo.window().controls();

  // First a single-page search of the index: its links are queued, and the step after the page
  // drops the head row unloaded. Its one find is found again below and is written once.
  c.tvm.setText(server.url("index.html"));
  c.Command17.userClicked();
  ASSERT_TRUE(waitUntil(
      [&] { return boxes.texts().size() == 1 && c.tvm.count() == 1 && c.tvmx.count() == 2; },
      kBoundMs));

  // A scan of that one find has no row to try after the first: it ends at once, tells so once,
  // and gives the player nothing, whose failure would tell the end again.
  c.Command10.userClicked();
  ASSERT_TRUE(waitUntil([&] { return boxes.texts().size() == 2; }, kBoundMs));
  EXPECT_EQ(boxes.texts().back(), "搜索完毕！");
  processEventsFor(500);
  EXPECT_EQ(zelvo.primaryPlayer().URL(), "");
  EXPECT_EQ(boxes.texts().size(), 2u);

  // Automatic mode: the home page (here a 404) loads, then the user's query brings a first page.
  c.Check2.userToggled(false);
  c.Command17.userClicked();
  ASSERT_TRUE(waitUntil(
      [&] { return c.Command10.caption() == "搜台" && boxes.texts().size() == 3; }, kBoundMs));
  zelvo.browser().navigate(server.url("index.html"));
  ASSERT_TRUE(waitUntil([&] { return c.tvm.count() == 6 && c.tvmx.count() == 0; }, kBoundMs));
  processEventsFor(500);
  ASSERT_TRUE(waitUntil([&] { return c.Command10.caption() == "搜台"; }, kBoundMs));
  EXPECT_EQ(c.form1.rect().width, 8430);

  const std::vector<std::string> found = {"0tvm," + server.url(clip + "?as=.wmv") + ",",
                                          "1tvm,rtsp://" + dead + "/gone,",
                                          "2tvm," + server.url("missing.wmv") + ",",
                                          "3tvm," + server.url("live.asx") + ",",
                                          "4tvm,mms://" + dead + "/gone,",
                                          "5tvm," + server.url("tv.rm/" + clip) + ","};
  // The browser writes every scheme in lower case, as it resolves the addresses.
  EXPECT_EQ(lines(app.file("tv_lib_ss_www.txt")), found);

  // The scan starts at row 1: row 0, live, is never tried. Each row is tried by one player:
  // a row that fails in the primary player hands the next row to the fallback player. So
  // rows 1 (refused) and 4 (refused) fail in the primary player, rows 2 (404) and 5 go to the
  // fallback player, and the live rows 3 and 5 play and are recorded; nothing dead is.
  c.Command10.userClicked();
  ASSERT_TRUE(waitUntil(
      [&] { return boxes.texts().size() == 4 && boxes.texts().back() == "搜索完毕！"; }, 120000));
  const std::vector<std::string> confirmed = lines(app.file("tv_lib_ss_jg.txt"));
  std::string recorded;
  for (const std::string& line : confirmed) recorded += line + "\n";
  ASSERT_EQ(confirmed.size(), 2u) << recorded;
  EXPECT_EQ(confirmed[0], found[3]);
  EXPECT_EQ(confirmed[1], found[5]);
  EXPECT_EQ(c.tvm.row(0), "3tvm");
  EXPECT_EQ(c.tvm.text(), "3tvm");
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) {
  zelvo::prepareWindowProcess();
  return zelvo::test::runIntegrationTests(argc, argv);
}
