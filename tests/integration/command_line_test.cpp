// The command line: what each argument list asks for, and what the real program prints and
// returns for the commands that need no window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/CommandLine.h"
#include "formats/XmltvTime.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/ProgramRun.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempFolder.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

using Action = Command::Action;

TEST(CommandLine, ReadsWhatEachArgumentListAsksFor) {
  struct Case {
    std::vector<std::string> arguments;
    Action action;
  };
  const Case cases[] = {
      {{"zelvo"}, Action::OpenWindow},
      {{}, Action::OpenWindow},
      {{"zelvo", "--help"}, Action::ShowHelp},
      {{"zelvo", "-h"}, Action::ShowHelp},
      {{"zelvo", "--version"}, Action::ShowVersion},
      {{"zelvo", "-v"}, Action::ShowVersion},
      // The window toolkit's own options reach the window, in either spelling.
      {{"zelvo", "-platform", "offscreen"}, Action::OpenWindow},
      {{"zelvo", "--style=fusion", "-reverse"}, Action::OpenWindow},
      {{"zelvo", "a.m3u", "file:///b%20c.pls"}, Action::OpenWindow},
      {{"zelvo", "--import", "a.m3u"}, Action::Import},
      {{"zelvo", "--export", "a.m3u"}, Action::Export},
      {{"zelvo", "--export=a.m3u", "--from", "tv_lib_ss_jg.txt"}, Action::Export},
      {{"zelvo", "--bogus"}, Action::Wrong},
      {{"zelvo", "-x"}, Action::Wrong},
      {{"zelvo", "-platform"}, Action::Wrong},
      {{"zelvo", "--import"}, Action::Wrong},
      {{"zelvo", "--import", "a.m3u", "--import", "b.m3u"}, Action::Wrong},
      {{"zelvo", "--import", "a.m3u", "--export", "b.m3u"}, Action::Wrong},
      {{"zelvo", "--import", "a.m3u", "c.m3u"}, Action::Wrong},
      {{"zelvo", "--from", "tv_lib.txt"}, Action::Wrong},
      {{"zelvo", "--export", "a.m3u", "--from", "../tv_lib.txt"}, Action::Wrong},
      {{"zelvo", "--guide"}, Action::Guide},
      {{"zelvo", "--guide", "--from", "tv_lib_ss_jg.txt"}, Action::Guide},
      {{"zelvo", "--guide", "--import", "a.m3u"}, Action::Wrong},
      {{"zelvo", "--guide", "--check", "a.m3u"}, Action::Wrong},
      {{"zelvo", "--guide", "a.m3u"}, Action::Wrong},
      {{"zelvo", "--guide", "--from", "a/b.txt"}, Action::Wrong},
  };
  for (const Case& c : cases) {
    const Command command = parseCommandLine(c.arguments);
    EXPECT_EQ(command.action, c.action) << ::testing::PrintToString(c.arguments);
  }
  EXPECT_THAT(parseCommandLine({"zelvo", "--bogus"}).problem, HasSubstr("bogus"));

  const Command window = parseCommandLine(
      {"zelvo", "-platform", "offscreen", "a.m3u", "file:///b%20c.pls", "--", "-d.m3u"});
  EXPECT_THAT(window.files, ElementsAre("a.m3u", "/b c.pls", "-d.m3u"));
  const Command exporting = parseCommandLine({"zelvo", "--export", "a.m3u", "--from", "x.txt"});
  EXPECT_EQ(exporting.playlist, "a.m3u");
  EXPECT_EQ(exporting.from, "x.txt");
}

// Without a display a window could not even start: these commands must never try.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  ProgramResult run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ZELVO_PROGRAM);
    return runProgram(arguments, scratch_.path(), 30000);
  }
  TempFolder scratch_;
};

TEST_F(ProgramTest, HelpAndVersionPrintAndEndWithoutAWindow) {
  const ProgramResult help = run({"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_THAT(help.out, HasSubstr("--version"));
  EXPECT_EQ(help.err, "");

  const ProgramResult version = run({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "zelvo 3.5\n");
}

TEST_F(ProgramTest, AWrongCommandLineSaysWhatIsWrongAndEndsWithStatusTwo) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--bogus"}, {"-platform"}}) {
    const ProgramResult result = run(arguments);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr("zelvo: ")) << arguments[0];
    EXPECT_THAT(result.err, HasSubstr("--help")) << arguments[0];
  }
  EXPECT_THAT(run({"--bogus"}).err, HasSubstr("Unknown option 'bogus'"));
}

// The program in a folder of its own, which is then its application folder.
class ProgramFolderTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    std::error_code error;
    std::filesystem::create_hard_link(ZELVO_PROGRAM, app_.file("zelvo"), error);
    if (error) std::filesystem::copy_file(ZELVO_PROGRAM, app_.file("zelvo"));
  }
  ProgramResult zelvo(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), app_.file("zelvo"));
    return runProgram(arguments, scratch_.path(), 30000);
  }
  std::string library() const { return readGbkText(app_.file("tv_lib.txt")); }
  TempFolder app_;
  TempFolder lists_;
};

TEST_F(ProgramFolderTest, ImportAddsThePlaylistToTheLibraryAndSaysWhatItDid) {
  writeGbkText(app_.file("tv_lib.txt"), "老台,http://old/1,-999,假,假\r\nend\r\n");
  std::ofstream(lists_.file("list.m3u"), std::ios::binary)
      << "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:-1 group-title=\"新闻\",新台\r\nhttp://new/1\r\n"
         "#EXTINF:-1,老台\r\nhttp://old/1\r\n#EXTINF:-1,📺 São Paulo 한국\r\nhttp://new/2\r\n"
         "#EXTINF:-1,Comma\r\nhttp://new/3,4\r\nclip.ts\r\n"
         "#EXTINF:-1 http-user-agent=\"Mozilla/5.0 (X11)\" "
         "http-referrer=\"https://site/\",Gated\r\n"
         "#EXTVLCOPT:http-origin=https://site\r\nhttp://new/5.m3u8\r\n"
         "#EXTINF:-1,Kodi\r\n#EXTHTTP:{\"Cookie\": \"k=v\"}\r\n"
         "http://new/6.m3u8|Referer=https%3A%2F%2Fr%2F\r\n"
         "#EXTVLCOPT:http-user-agent=bad\x01\r\nhttp://new/7\r\n";

  const ProgramResult result = zelvo({"--import", lists_.file("list.m3u")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_THAT(result.out, HasSubstr("Added 7 stations to " + app_.file("tv_lib.txt") +
                                    "; skipped 1 already there."));
  EXPECT_THAT(result.out, HasSubstr("line 17: kept without the request header User-Agent"));
  const std::string gated =
      "http://new/5.m3u8|User-Agent=Mozilla%2F5.0%20(X11)&Referer=https%3A%2F%2Fsite%2F"
      "&Origin=https%3A%2F%2Fsite";
  const std::string lines =
      "老台,http://old/1,-999,假,假\r\n新台,http://new/1,-999,假,假\r\n"
      "📺 São Paulo 한국,http://new/2,-999,假,假\r\nComma,http://new/3%2C4,-999,假,假\r\n" +
      lists_.file("clip.ts") + "," + lists_.file("clip.ts") + ",-999,假,假\r\nGated," + gated +
      ",-999,假,假\r\nKodi,http://new/6.m3u8|Referer=https%3A%2F%2Fr%2F&Cookie=k%3Dv,-999,假,假\r\n"
      "http://new/7,http://new/7,-999,假,假\r\nend\r\n";
  EXPECT_EQ(library(), lines);

  const ProgramResult again = zelvo({"--import", lists_.file("list.m3u")});
  EXPECT_THAT(again.out, HasSubstr("Added 0 stations"));
  EXPECT_THAT(again.out, HasSubstr("skipped 8 already there"));

  // Exported, VLC and other players find the headers and the bare address; imported again,
  // the same station lines.
  const ProgramResult exported = zelvo({"--export", lists_.file("out.m3u")});
  EXPECT_EQ(exported.status, 0) << exported.err;
  const std::string playlist = fileBytes(lists_.file("out.m3u"));
  EXPECT_THAT(playlist,
              HasSubstr("http-user-agent=\"Mozilla/5.0 (X11)\" http-referrer=\"https://site/\","
                        "Gated\n#EXTVLCOPT:http-user-agent=Mozilla/5.0 (X11)\n"
                        "#EXTVLCOPT:http-referrer=https://site/\n"
                        "#EXTVLCOPT:http-origin=https://site\nhttp://new/5.m3u8\n"));
  EXPECT_THAT(playlist, HasSubstr("#EXTVLCOPT:http-referrer=https://r/\n#EXTHTTP:{\"Cookie\": "
                                  "\"k=v\"}\nhttp://new/6.m3u8\n"));
  const ProgramResult back = zelvo({"--import", lists_.file("out.m3u")});
  EXPECT_THAT(back.out, HasSubstr("Added 0 stations"));
  EXPECT_THAT(back.out, HasSubstr("skipped 8 already there."));
  EXPECT_EQ(library(), lines);

  const std::string before = library();
  const ProgramResult missing = zelvo({"--import", lists_.file("missing.m3u")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("nothing imported: " + lists_.file("missing.m3u")));
  EXPECT_EQ(library(), before);
}

// Beside the library, --import keeps each station's guide tags and groups and the guides the
// playlist names, each once however often it is imported. A value too long for a line that
// reads back is left out and named.
TEST_F(ProgramFolderTest, ImportRecordsTheGuideTagsAndTheGuidesThePlaylistNames) {
  const std::string dataLogo = "data:image/png;base64," + std::string(1 << 20, 'A');
  std::ofstream(lists_.file("list.m3u"), std::ios::binary)
      << "#EXTM3U x-tvg-url=\"http://g/a.xml.gz,http://g/b.xml\" url-tvg=\"http://g/a.xml.gz\" "
         "tvg-shift=\"-3.5\"\r\n"
         "#EXTINF:-1 tvg-id=\"c1\" tvg-logo=\"http://l/1.png\" catchup=\"default\" "
         "catchup-source=\"http://a/{utc}\" catchup-days=\"2\" catchup-correction=\"0.5\" "
         "group-title=\"新闻;体育\",新台\r\n"
         "http://new/1\r\n"
         "#EXTINF:-1 tvg-shift=\"0\",Plain\r\n#EXTGRP:Kids\r\nhttp://new/2\r\n"
         "#EXTINF:-1 tvg-logo=\""
      << dataLogo << "\",Logo\r\nhttp://new/3\r\n";
  for (int run = 0; run < 2; ++run) {
    const ProgramResult result = zelvo({"--import", lists_.file("list.m3u")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_THAT(result.out, HasSubstr("values too long for a line of tv_epg_map.txt:\n"
                                      "  Logo: tvg-logo (1048598 bytes)\n"));
    EXPECT_THAT(readGbkLines(app_.file("tv_epg_map.txt")),
                ElementsAre("新台\thttp://new/1\tc1\t\thttp://l/1.png\tdefault\thttp://a/{utc}\t2\t"
                            "-3.5\t0.5",
                            "Logo\thttp://new/3\t\t\t\t\t\t\t-3.5\t",
                            "新台\thttp://new/1\t新闻;体育", "Plain\thttp://new/2\tKids"));
    EXPECT_EQ(result.out.find("Recorded the groups of 2 stations.") != std::string::npos, run == 0);
    EXPECT_THAT(readGbkLines(app_.file("tv_epg_src.txt")),
                ElementsAre("http://g/a.xml.gz", "http://g/b.xml"));
  }
  EXPECT_EQ(fileBytes(app_.file("tv_epg_src.txt")), "http://g/a.xml.gz\r\nhttp://g/b.xml\r\n");
}

// The real guide reader on a guide in a local file that tv_epg.txt lists: one line a station
// the guide has; without any guide that can be read, status 1.
TEST_F(ProgramFolderTest, GuidePrintsNowAndNextForTheStationsAGuideHas) {
  writeGbkText(app_.file("tv_lib.txt"),
               "新闻台,http://a/1,-999,假,假\r\n别的台,http://b/1,-999,假,假\r\nend\r\n");
  const auto now = std::chrono::system_clock::now();
  const auto at = [&](int minutes) {
    return formatXmltvTime(
        std::chrono::system_clock::to_time_t(now + std::chrono::minutes(minutes)));
  };
  std::ofstream(lists_.file("guide.xml"))
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
         "<channel id=\"news\"><display-name>新闻台</display-name></channel>\n"
         "<programme channel=\"news\" start=\""
      << at(-10) << "\" stop=\"" << at(20) << "\"><title>新闻联播</title></programme>\n"
      << "<programme channel=\"news\" start=\"" << at(20) << "\" stop=\"" << at(50)
      << "\"><title>天气预报</title></programme>\n</tv>\n";
  writeGbkText(app_.file("tv_epg.txt"), lists_.file("guide.xml") + "\r\n");

  const ProgramResult result = zelvo({"--guide"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out, ::testing::MatchesRegex("新闻台\t正在播出 [0-9:]+–[0-9:]+ 新闻联播\t"
                                                  "下一个 [0-9:]+–[0-9:]+ 天气预报\n"));
  EXPECT_THAT(result.err, HasSubstr("1 of 2 stations"));

  writeGbkText(app_.file("tv_epg.txt"), lists_.file("missing.xml") + "\r\n");
  const ProgramResult missing = zelvo({"--guide"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_THAT(missing.err, HasSubstr("no programme guide could be read"));
}

TEST_F(ProgramFolderTest, ExportWritesTheLibraryOrAStationFileAsExtendedM3u) {
  writeGbkText(app_.file("tv_lib.txt"),
               "中央一台,http://a/1,-999,假,假\r\n系列,http://a/ch%05%.ts,-999,假,假\r\nend\r\n");
  writeGbkText(app_.file("tv_lib_ss_jg.txt"), "结果,http://r/1,\r\n");

  const ProgramResult library = zelvo({"--export", lists_.file("lib.m3u")});
  EXPECT_EQ(library.status, 0) << library.err;
  EXPECT_THAT(library.out, HasSubstr("Wrote 1 station of " + app_.file("tv_lib.txt")));
  EXPECT_THAT(library.out, HasSubstr("counter templates"));
  EXPECT_THAT(library.out, HasSubstr("  系列,http://a/ch%05%.ts\n"));
  EXPECT_EQ(fileBytes(lists_.file("lib.m3u")),
            "#EXTM3U\n#EXTINF:-1 tvg-name=\"中央一台\",中央一台\nhttp://a/1\n");

  const ProgramResult results =
      zelvo({"--export", lists_.file("results.m3u"), "--from", "tv_lib_ss_jg.txt"});
  EXPECT_EQ(results.status, 0) << results.err;
  EXPECT_EQ(fileBytes(lists_.file("results.m3u")),
            "#EXTM3U\n#EXTINF:-1 tvg-name=\"结果\",结果\nhttp://r/1\n");
}

TEST_F(ProgramFolderTest, ExportToWhereNothingCanBeWrittenEndsWithStatusOneAndWritesNothing) {
  writeGbkText(app_.file("tv_lib.txt"), "A,http://a/1,-999,假,假\r\nend\r\n");
  const std::string before = fileBytes(app_.file("tv_lib.txt"));
  struct Case {
    std::vector<std::string> arguments;
    std::string says;
  } cases[] = {
      {{"--export", lists_.file("no/such/folder/x.m3u")}, "nothing exported"},
      {{"--export", app_.file("tv_lib.txt")}, "is the station file itself"},
      {{"--export", lists_.file("x.m3u"), "--from", "tv_lib_ss.txt"}, "no station file"},
  };
  for (const Case& c : cases) {
    const ProgramResult result = zelvo(c.arguments);
    EXPECT_EQ(result.status, 1) << c.says;
    EXPECT_THAT(result.err, HasSubstr(c.says));
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(fileBytes(app_.file("tv_lib.txt")), before);
  EXPECT_FALSE(std::filesystem::exists(lists_.file("x.m3u")));

  std::ofstream(lists_.file("old.m3u")) << "#EXTM3U\nold\n";
  ReadOnlyFolder readOnly(lists_.path());
  if (!readOnly.active()) GTEST_SKIP() << "no way to make a folder read-only here";
  const ProgramResult result = zelvo({"--export", lists_.file("old.m3u")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(fileBytes(lists_.file("old.m3u")), "#EXTM3U\nold\n");
}

// The window opens with the playlist's stations after the library's and plays the first; the
// end signal then saves that row. Nothing else is written.
TEST_F(ProgramFolderTest, PlaylistsGivenToTheWindowAreGroupsAndTheFirstStationPlays) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  writeGbkText(app_.file("tv_lib.txt"), "A,http://127.0.0.1:1/a.ts,-999,假,假\r\nend\r\n");
  const std::string before = fileBytes(app_.file("tv_lib.txt"));
  std::ofstream(lists_.file("one.m3u")) << "#EXTINF:-1,One\nhttp://127.0.0.1:1/one.ts\n";
  std::ofstream(lists_.file("two.pls")) << "[playlist]\nFile1=http://127.0.0.1:1/two.ts\n";

  std::vector<std::string> arguments = {app_.file("zelvo"), lists_.file("one.m3u"),
                                        lists_.file("missing.m3u"), lists_.file("two.pls")};
  RunningProgram program(arguments, scratch_.path());
  // The load echo file appears during start-up, once the end signals are handled.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(app_.file("wjmxd")) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::seconds(1));
  ::kill(program.pid(), SIGTERM);
  const ProgramResult result = program.finish(30000);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr(lists_.file("missing.m3u")));
  // Rows: A, separator, One, separator, two.ts: row 2 was chosen and played.
  const std::string position = fileBytes(app_.file("bfwz.dat"));
  EXPECT_TRUE(position == "win\r\n2\r\n" || position == "real\r\n2\r\n") << position;
  EXPECT_EQ(fileBytes(app_.file("tv_lib.txt")), before);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
