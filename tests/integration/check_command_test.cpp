// "zelvo --check" as a user runs it, without a display, against a loopback server this test
// starts: what it counts live, what it writes, how long each station may take, and what Ctrl+C
// leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <QElapsedTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CommandLine.h"
#include "platform/BrowserAgent.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramRun.h"
#include "support/TempFolder.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using namespace std::string_literals;

namespace zelvo::test {
namespace {

using Action = Command::Action;

TEST(CheckCommandLine, ReadsTheCheckAndItsOptions) {
  struct Case {
    std::vector<std::string> arguments;
    Action action;
  };
  const Case cases[] = {
      {{"zelvo", "--check", "a.txt"}, Action::Check},
      {{"zelvo", "--check", "a.m3u", "--jobs", "3", "--timeout", "2.5", "--output", "b.m3u"},
       Action::Check},
      {{"zelvo", "--check"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--jobs", "0"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--jobs", "two"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--jobs", "1.5"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--timeout", "0"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--timeout", "-3"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--timeout", "nan"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--timeout", "1e9"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--check", "b.txt"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "--import", "b.m3u"}, Action::Wrong},
      {{"zelvo", "--check", "a.txt", "c.m3u"}, Action::Wrong},
      {{"zelvo", "--jobs", "2"}, Action::Wrong},
      {{"zelvo", "--output", "b.txt"}, Action::Wrong},
      {{"zelvo", "--export", "a.m3u", "--timeout", "3"}, Action::Wrong},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseCommandLine(c.arguments).action, c.action)
        << ::testing::PrintToString(c.arguments);
  }
  const CheckRequest full = parseCommandLine(cases[1].arguments).check;
  EXPECT_EQ(full.input, "a.m3u");
  EXPECT_EQ(full.jobs, 3);
  EXPECT_EQ(full.timeoutSeconds, 2.5);
  EXPECT_EQ(full.output, "b.m3u");
  const CheckRequest plain = parseCommandLine(cases[0].arguments).check;
  EXPECT_EQ(plain.jobs, 0) << "one player for each core";
  EXPECT_EQ(plain.timeoutSeconds, 10);
  EXPECT_EQ(plain.output, "");
}

class CheckCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    media_ = new TempFolder;
    clip_ = makeClip(media_->path(), 4.0);
    serve_ = new LoopbackHttpServer(media_->path());
    silent_ = new LoopbackHttpServer(media_->path(), LoopbackHttpServer::Mode::Silent);
    makeAsx(media_->path(), "list.asx", serve_->url(clip_));
    LoopbackHttpServer::Reply page;
    page.body = "<html><body><a href=\"live.ts\">live</a></body></html>";
    serve_->setReply("/page.ts", page);
    LoopbackHttpServer::Reply few;
    few.contentType = "video/mp2t";
    few.body = fileBytes(media_->file(clip_)).substr(0, 1000);
    few.finished = false;
    serve_->setReply("/few.ts", few);
  }
  static void TearDownTestSuite() {
    delete silent_;
    delete serve_;
    delete media_;
  }
  void SetUp() override {
    // Without a display a window could not even start: the check must never need one.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }

  std::string writeStations(const std::string& name, const std::vector<std::string>& lines) {
    writeGbkLines(lists_.file(name), lines);
    return lists_.file(name);
  }
  std::string refused() const {
    return "http://127.0.0.1:" + std::to_string(refusedPort()) + "/x.ts";
  }
  std::vector<std::string> arguments(std::vector<std::string> rest) const {
    rest.insert(rest.begin(), ZELVO_PROGRAM);
    return rest;
  }

  static TempFolder* media_;
  static LoopbackHttpServer* serve_;
  static LoopbackHttpServer* silent_;
  static std::string clip_;
  TempFolder lists_;
  TempFolder scratch_;
};

TempFolder* CheckCommandTest::media_ = nullptr;
LoopbackHttpServer* CheckCommandTest::serve_ = nullptr;
LoopbackHttpServer* CheckCommandTest::silent_ = nullptr;
std::string CheckCommandTest::clip_;

TEST_F(CheckCommandTest, OnlyStationsThatReallyPlayAreWrittenAndEveryBadServerEndsDead) {
  const std::string input = writeStations(
      "in.txt", {"直播一,"s + serve_->url(clip_) + ",-999,假,假", "拒绝," + refused() + ",",
                 "缺失," + serve_->url("missing.ts") + ",", "沉默," + silent_->url(clip_) + ",",
                 "几个字节," + serve_->url("few.ts") + ",", "网页," + serve_->url("page.ts") + ",",
                 "系列,mms://x/ch%05%.asf,", "列表," + serve_->url("list.asx") + ",",
                 "直播二," + serve_->url(clip_) + "?again,"});
  QElapsedTimer clock;
  clock.start();
  const ProgramResult result = runProgram(arguments({"--check", input, "--jobs", "4", "--timeout",
                                                     "4", "--output", lists_.file("live.txt")}),
                                          scratch_.path(), 60000);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(readGbkText(lists_.file("live.txt")),
            "直播一," + serve_->url(clip_) + ",-999,假,假\r\n列表," + serve_->url("list.asx") +
                ",-999,假,假\r\n直播二," + serve_->url(clip_) + "?again,-999,假,假\r\nend\r\n");
  // Not a terminal: a line for every station, and the summary.
  for (const char* dead : {"拒绝", "缺失", "沉默", "几个字节", "网页"}) {
    EXPECT_THAT(result.out, HasSubstr(" dead  "s + dead + "  ")) << dead;
  }
  EXPECT_THAT(result.out, HasSubstr("template  系列  mms://x/ch%05%.asf"));
  EXPECT_THAT(result.out, HasSubstr(": 3 live, 5 dead, 1 template not checked"));
  EXPECT_THAT(result.out, Not(HasSubstr("\r")));
  // Four at once, at most 4 s each: well within two rounds, however slow the machine.
  EXPECT_LT(clock.elapsed(), 20000);
}

TEST_F(CheckCommandTest, AStationBehindRequestHeadersIsLiveOnlyWithThem) {
  TempFolder live;
  LiveStream stream(live.path(), LiveStream::Kind::Hls);
  LoopbackHttpServer gated(live.path());
  gated.requireHeader("User-Agent", "ZelvoTest/1.0 (X11; live)");
  gated.requireHeader("Referer", "https://site.example/");
  LoopbackHttpServer browsersOnly(live.path());
  browsersOnly.requireHeader("User-Agent", kDesktopBrowserAgent);
  ASSERT_TRUE(stream.waitReady(20000));
  const std::string url = gated.url(stream.playlistName());
  const std::string withHeaders =
      url + "|User-Agent=ZelvoTest%2F1.0%20(X11%3B%20live)&Referer=https%3A%2F%2Fsite.example%2F";
  const std::string forBrowsers = browsersOnly.url(stream.playlistName());
  const std::string input = writeStations(
      "gated.txt",
      {"带头," + withHeaders + ",", "不带," + url + ",", "浏览器," + forBrowsers + ","});
  const ProgramResult result = runProgram(arguments({"--check", input, "--jobs", "1", "--timeout",
                                                     "8", "--output", lists_.file("live.txt")}),
                                          scratch_.path(), 60000);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr(": 2 live, 1 dead"));
  EXPECT_EQ(readGbkText(lists_.file("live.txt")), "带头," + withHeaders + ",-999,假,假\r\n浏览器," +
                                                      forBrowsers + ",-999,假,假\r\nend\r\n");
  // The probe asked for the segments, not only the playlist, with the station's headers.
  size_t segments = 0;
  for (const std::string& head : gated.requestHeads()) {
    segments += head.find(".ts HTTP") != std::string::npos &&
                head.find("\r\nReferer: https://site.example/") != std::string::npos;
  }
  EXPECT_GE(segments, 1u);
}

TEST_F(CheckCommandTest, TheTimeIsEachStationsOwn) {
  std::vector<std::string> lines;
  for (int i = 0; i < 4; ++i) {
    lines.push_back("沉默" + std::to_string(i) + "," + silent_->url(std::to_string(i) + ".ts") +
                    ",");
  }
  lines.push_back("直播," + serve_->url(clip_) + ",");
  const std::string input = writeStations("silent.txt", lines);
  QElapsedTimer clock;
  clock.start();
  const ProgramResult result = runProgram(arguments({"--check", input, "--jobs", "1", "--timeout",
                                                     "1.5", "--output", lists_.file("live.txt")}),
                                          scratch_.path(), 60000);
  const qint64 elapsed = clock.elapsed();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, HasSubstr(": 1 live, 4 dead"));
  EXPECT_THAT(result.out, HasSubstr("(nothing decoded within 1.5 s)"));
  // One after the other, each silent server gets its 1.5 s, no more and no less.
  EXPECT_GE(elapsed, 4 * 1500);
  EXPECT_LT(elapsed, 4 * 1500 + 10000);
  EXPECT_EQ(readGbkText(lists_.file("live.txt")),
            "直播," + serve_->url(clip_) + ",-999,假,假\r\nend\r\n");
}

TEST_F(CheckCommandTest, APlaylistInAndAnM3uOut) {
  std::ofstream(lists_.file("in.m3u"), std::ios::binary)
      << "#EXTM3U\n#EXTINF:-1 group-title=\"新闻\",中央 13\n"
      << serve_->url(clip_) << "\n#EXTINF:-1,Gone\n"
      << refused() << "\n#EXTINF:-1,Local\n"
      << media_->file(clip_) << "\n";
  const ProgramResult result = runProgram(arguments({"--check", lists_.file("in.m3u"), "--timeout",
                                                     "4", "--output", lists_.file("live.m3u")}),
                                          scratch_.path(), 60000);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(fileBytes(lists_.file("live.m3u")),
            "#EXTM3U\n#EXTINF:-1 tvg-name=\"中央 13\" group-title=\"新闻\",中央 13\n" +
                serve_->url(clip_) + "\n#EXTINF:-1 tvg-name=\"Local\",Local\n" +
                media_->file(clip_) + "\n");
}

TEST_F(CheckCommandTest, ABadInputOrOutputSaysWhyAndWritesNothing) {
  const std::string input = writeStations("in.txt", {"A," + serve_->url(clip_) + ","});
  struct Case {
    std::vector<std::string> arguments;
    int status;
    const char* says;
  } cases[] = {
      {{"--check", lists_.file("missing.txt")}, 1, "cannot read"},
      {{"--check", lists_.file("missing.m3u")}, 1, "cannot read"},
      {{"--check", input, "--output", lists_.file("no/folder/out.txt")}, 1, "cannot write"},
      {{"--check", input, "--jobs", "-1"}, 2, "--jobs"},
  };
  for (const Case& c : cases) {
    const ProgramResult result = runProgram(arguments(c.arguments), scratch_.path(), 30000);
    EXPECT_EQ(result.status, c.status) << c.says;
    EXPECT_THAT(result.err, HasSubstr(c.says));
  }
  EXPECT_FALSE(std::filesystem::exists(lists_.file("no")));
}

TEST_F(CheckCommandTest, CtrlCLeavesAWholeFileOfTheLiveStationsFoundSoFar) {
  std::vector<std::string> lines = {"直播一," + serve_->url(clip_) + ",",
                                    "直播二," + serve_->url(clip_) + "?2,"};
  for (int i = 0; i < 20; ++i) {
    lines.push_back("沉默" + std::to_string(i) + "," + silent_->url(std::to_string(i) + ".ts") +
                    ",");
  }
  const std::string input = writeStations("in.txt", lines);
  for (const char* output : {"live.txt", "live.m3u"}) {
    std::ofstream(lists_.file(output)) << "the old file";
    RunningProgram program(arguments({"--check", input, "--jobs", "2", "--timeout", "30",
                                      "--output", lists_.file(output)}),
                           scratch_.path());
    // Both live stations are counted before the first silent one can end.
    const bool bothLive = waitUntil(
        [&] {
          const std::string out = fileBytes(scratch_.file("program.out"));
          return out.find("live  直播一") != std::string::npos &&
                 out.find("live  直播二") != std::string::npos;
        },
        20000);
    ASSERT_TRUE(bothLive) << fileBytes(scratch_.file("program.out"));
    EXPECT_EQ(fileBytes(lists_.file(output)), "the old file") << "not yet rewritten";
    ::kill(program.pid(), SIGINT);
    const ProgramResult result = program.finish(15000);
    EXPECT_EQ(result.status, 130) << result.err;
    EXPECT_THAT(result.out, HasSubstr("interrupted after 2 of 22 stations"));
    if (std::string(output) == "live.txt") {
      EXPECT_EQ(readGbkText(lists_.file(output)),
                "直播一," + serve_->url(clip_) + ",-999,假,假\r\n直播二," + serve_->url(clip_) +
                    "?2,-999,假,假\r\nend\r\n");
    } else {
      EXPECT_EQ(fileBytes(lists_.file(output)),
                "#EXTM3U\n#EXTINF:-1 tvg-name=\"直播一\",直播一\n" + serve_->url(clip_) +
                    "\n#EXTINF:-1 tvg-name=\"直播二\",直播二\n" + serve_->url(clip_) + "?2\n");
    }
    // Nothing is left beside it.
    size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(lists_.path())) {
      files += entry.is_regular_file();
    }
    EXPECT_EQ(files, std::string(output) == "live.txt" ? 2u : 3u);
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
