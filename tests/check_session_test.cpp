// A whole run of the station check: what it shows on a terminal and in a log, what it writes,
// and what an interruption, a bad input or a bad output leave behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>

#include "fakes/CheckHarness.h"
#include "platform/posix/GbkCodec.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace zelvo::test {
namespace {

class CheckSessionTest : public ::testing::Test {
 protected:
  CheckSettings settings(const std::string& output = "", int jobs = 2, int timeoutMs = 5000) {
    return {input, output.empty() ? "" : h.folder.file(output), jobs, timeoutMs};
  }
  void SetUp() override {
    input = h.writeStationFile(
        "in.txt", {"Live1,http://live/1,-999,假,假", "Dead1,http://dead/1,",
                   "Tpl,mms://t/ch%01%.asf,", "Live2,http://live/2,", "Silent,http://silent,"});
    h.mpv.otherwise = deadAfter(300, "connection refused");
    h.mpv.answer("http://live/1", decodedAfter(200, "video 320x240"));
    h.mpv.answer("http://live/2", decodedAfter(700, "audio 44100 Hz"));
    h.mpv.answer("http://silent", neverAnswers());
  }
  // One second in, Live1, Dead1 and Live2 are decided and Silent still plays.
  int interruptOneSecondIn(const std::string& output) {
    int status = -1;
    interrupted = std::make_unique<CheckSession>(settings(output), h.platform());
    interrupted->onFinished = [&status](int s) { status = s; };
    interrupted->start();
    h.loop.advance(1000);
    interrupted->interrupt();
    interrupted->onFinished = nullptr;
    // Nothing more happens afterwards.
    const size_t lines = h.console.lines.size();
    h.loop.advance(10000);
    EXPECT_EQ(h.console.lines.size(), lines);
    return status;
  }
  CheckHarness h;
  std::string input;
  std::unique_ptr<CheckSession> interrupted;
};

TEST_F(CheckSessionTest, ACompleteCheckWritesTheLiveStationsInTheirOrderAndSaysSo) {
  EXPECT_EQ(h.run(settings("live.txt")), kCheckDone);
  EXPECT_THAT(h.readLines("live.txt"), ElementsAre("Live1,http://live/1,-999,假,假",
                                                   "Live2,http://live/2,-999,假,假", "end"));
  EXPECT_THAT(h.console.problems, IsEmpty());
  EXPECT_EQ(h.console.lines.back(), "live stations written to " + h.folder.file("live.txt"));
}

TEST_F(CheckSessionTest, ALogGetsOneLinePerStationAndASummary) {
  EXPECT_EQ(h.run(settings()), kCheckDone);
  EXPECT_THAT(h.console.lines,
              ElementsAre("checking 5 stations (4 addresses), 2 at once, at most 5.0 s each",
                          "1/5 template  Tpl  mms://t/ch%01%.asf  (a counter template: not "
                          "checked)",
                          "2/5 live  Live1  http://live/1  (mpv: video 320x240)",
                          "3/5 dead  Dead1  http://dead/1  (mpv: connection refused)",
                          "4/5 live  Live2  http://live/2  (mpv: audio 44100 Hz)",
                          "5/5 dead  Silent  http://silent  (nothing decoded within 5 s)",
                          "checked 5 stations in 5.3 s: 2 live, 2 dead, 1 template not "
                          "checked (45.3 per minute)"));
  EXPECT_THAT(h.console.statuses, IsEmpty());
}

TEST_F(CheckSessionTest, ATerminalGetsAStatusLineWithTheLiveStationsAbove) {
  h.console.terminal = true;
  EXPECT_EQ(h.run(settings()), kCheckDone);
  EXPECT_THAT(h.console.statuses, Contains("3/5 done, 1 live, 1 dead"));
  EXPECT_THAT(h.console.statuses, Contains("5/5 done, 2 live, 2 dead, 45.3 per minute"));
  EXPECT_EQ(h.console.statuses.back(), "");
  for (const std::string& line : h.console.lines) EXPECT_THAT(line, Not(HasSubstr(" dead ")));
  EXPECT_THAT(h.console.lines, Contains("4/5 live  Live2  http://live/2  (mpv: audio 44100 Hz)"));
}

TEST_F(CheckSessionTest, AnInterruptedCheckLeavesAWholeStationFileOfTheLiveOnesFoundSoFar) {
  EXPECT_EQ(interruptOneSecondIn("live.txt"), kCheckInterrupted);
  EXPECT_THAT(h.readLines("live.txt"), ElementsAre("Live1,http://live/1,-999,假,假",
                                                   "Live2,http://live/2,-999,假,假", "end"));
  EXPECT_THAT(h.console.lines, Contains(HasSubstr("interrupted after 4 of 5 stations")));
  EXPECT_EQ(h.console.lines.back(),
            "the live stations found so far written to " + h.folder.file("live.txt"));
  EXPECT_EQ(h.mpv.running, 0);
}

TEST_F(CheckSessionTest, AnInterruptedCheckLeavesAWholeM3uOfTheLiveOnesFoundSoFar) {
  EXPECT_EQ(interruptOneSecondIn("live.m3u"), kCheckInterrupted);
  EXPECT_EQ(fileBytes(h.folder.file("live.m3u")),
            "#EXTM3U\n#EXTINF:-1 tvg-name=\"Live1\",Live1\nhttp://live/1\n"
            "#EXTINF:-1 tvg-name=\"Live2\",Live2\nhttp://live/2\n");
  EXPECT_EQ(h.mpv.running, 0);
}

TEST_F(CheckSessionTest, InterruptingBeforeAnythingIsLiveWritesAnEmptyButValidFile) {
  CheckSession session(settings("live.txt", 1), h.platform());
  session.start();
  session.interrupt();
  EXPECT_THAT(h.readLines("live.txt"), ElementsAre("end"));
}

TEST_F(CheckSessionTest, TheInputAsOutputIsOnlyReplacedByACompleteCheck) {
  const std::string before = fileBytes(input);
  CheckSettings same = settings();
  same.output = input;
  CheckSession session(same, h.platform());
  session.start();
  h.loop.advance(1000);
  session.interrupt();
  EXPECT_EQ(fileBytes(input), before);
  EXPECT_THAT(h.console.lines, Contains(HasSubstr("left as it was")));

  EXPECT_EQ(h.run(same), kCheckDone);
  EXPECT_THAT(h.readLines("in.txt"), ElementsAre("Live1,http://live/1,-999,假,假",
                                                 "Live2,http://live/2,-999,假,假", "end"));
}

TEST_F(CheckSessionTest, ALongCheckRewritesItsOutputNowAndThen) {
  std::vector<std::string> lines;
  for (int i = 0; i < 30; ++i) {
    lines.push_back("S" + std::to_string(i) + ",http://s/" + std::to_string(i) + ",");
  }
  input = h.writeStationFile("many.txt", lines);
  h.mpv.otherwise = decodedAfter(1000);
  CheckSession session(settings("live.txt", 1), h.platform());
  session.start();
  h.loop.advance(9500);
  EXPECT_FALSE(h.files.fileExists(h.folder.file("live.txt")));
  h.loop.advance(1000);  // the tenth station, ten seconds in
  EXPECT_EQ(h.readLines("live.txt").size(), 11u);
  h.loop.advance(5000);
  EXPECT_EQ(h.readLines("live.txt").size(), 11u) << "not before another ten seconds";
  h.loop.advance(5000);
  EXPECT_EQ(h.readLines("live.txt").size(), 21u);
}

TEST_F(CheckSessionTest, ABadInputOrOutputEndsAtOnceWithoutPlayingOrWriting) {
  struct Case {
    std::string input;
    std::string output;
    const char* problem;
  } cases[] = {
      {h.folder.file("missing.txt"), h.folder.file("out.txt"), "cannot read "},
      {input, h.folder.file("no/folder/out.txt"), "cannot write "},
  };
  for (const Case& c : cases) {
    h.console.problems.clear();
    EXPECT_EQ(h.run({c.input, c.output, 2, 5000}), kCheckFailed);
    ASSERT_EQ(h.console.problems.size(), 1u);
    EXPECT_THAT(h.console.problems[0], HasSubstr(c.problem));
    EXPECT_THAT(h.mpv.starts, IsEmpty());
    EXPECT_FALSE(h.files.fileExists(h.folder.file("out.txt")));
  }
}

TEST_F(CheckSessionTest, AnOutputThatFailsAtTheEndIsSaidAndTheCheckFails) {
  h.files.failOn(FileOperation::Close, 1);  // the input's reader closes first
  EXPECT_EQ(h.run(settings("live.txt")), kCheckFailed);
  EXPECT_THAT(h.console.problems, ElementsAre(HasSubstr("cannot write")));
  EXPECT_FALSE(h.files.real.fileExists(h.folder.file("live.txt")));
}

TEST_F(CheckSessionTest, WhatTheInputLeavesOutIsSaidBeforeTheCheck) {
  input = h.writeStationFile("in2.txt", {"A,http://live/1,", "", "B,http://live/2,"});
  EXPECT_EQ(h.run(settings()), kCheckDone);
  EXPECT_THAT(h.console.lines[0], HasSubstr("line 2 is empty"));
  EXPECT_THAT(h.console.lines[1], HasSubstr("checking 1 station (1 address)"));
}

TEST_F(CheckSessionTest, AHugeBrokenPlaylistSaysAScreenfulOfItsProblems) {
  std::string text = "#EXTM3U\n";
  for (int i = 0; i < 100000; ++i)
    text += "#EXTINF:-1,T" + std::to_string(i) + "\nhttp://x/" + std::to_string(i) + "\x01a\n";
  text += "#EXTINF:-1,Live\nhttp://live/1\n";
  std::ofstream(h.folder.file("huge.m3u"), std::ios::binary) << text;
  input = h.folder.file("huge.m3u");
  EXPECT_EQ(h.run(settings("live.m3u")), kCheckDone);
  EXPECT_EQ(h.console.lines[20], input + ": and 99980 more like these");
  EXPECT_THAT(h.console.lines[21], HasSubstr("checking 1 station"));
  EXPECT_THAT(fileBytes(h.folder.file("live.m3u")), HasSubstr("\nhttp://live/1\n"));
}

}  // namespace
}  // namespace zelvo::test
