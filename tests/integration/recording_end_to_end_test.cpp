// The real program under a private X server records what plays in each player: Ctrl+R over a
// loopback clip in libVLC and over a loopback RTSP stream in libmpv. The red mark shows over the
// picture, the finished file holds the seconds recorded, and a folder that takes no file gives a
// message while the program goes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/LoopbackRtspServer.h"
#include "support/ProgramWindow.h"
#include "support/ReadOnlyFolder.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The files of folder whose names end with ending.
std::vector<fs::path> filesEndingIn(const std::string& folder, const std::string& ending) {
  std::vector<fs::path> found;
  for (const std::string& name : namesIn(folder))
    if (name.ends_with(ending)) found.push_back(fs::path(folder) / name);
  return found;
}

// The seconds between the first and the last picture of a file, as ffprobe reads them.
double videoSeconds(const fs::path& file, const std::string& scratch) {
  const ProgramResult probe =
      runProgram({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                  "packet=pts_time", "-of", "csv=p=0", file.string()},
                 scratch, 30000);
  double first = std::numeric_limits<double>::max(), last = 0;
  std::istringstream lines(probe.out);
  for (std::string line; std::getline(lines, line);) {
    try {
      const double time = std::stod(line);
      first = std::min(first, time);
      last = std::max(last, time);
    } catch (const std::exception&) {
    }
  }
  return last > first ? last - first : 0;
}

TEST(RecordingEndToEnd, EachPlayerRecordsWhatPlaysIntoAFinishedFile) {
  TempFolder media;
  LoopbackHttpServer server(media.path());
  LoopbackRtspServer rtsp;
  const std::string clip = server.url(makeClip(media.path(), 60, "ts"));
  const struct Case {
    std::string address;
    bool endByClosing;  // otherwise by Ctrl+R, and a read-only folder is tried afterwards
  } cases[] = {{clip, false}, {rtsp.url(), true}};

  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    TempFolder app, videos;
    const std::string folder = videos.path() + "/Zelvo";
    writeGbkText(app.file("tv_lib.txt"), "新闻/频道," + c.address + ",-999,假,假\r\nend\r\n");

    ProgramWindow zelvo(placeProgram(ZELVO_PROGRAM, app.path()), app.path(),
                        {{"XDG_VIDEOS_DIR", videos.path()}});
    XClient& x = zelvo.x();
    RunningProgram& program = zelvo.program();
    const unsigned long window = zelvo.window();
    ASSERT_NE(window, 0u) << program.output();
    // The share of the mark's place, at the top left of the picture, that shows red.
    const auto redShare = [&] {
      const std::vector<uint32_t> mark = x.pixels(window, 10, 10, 36, 18);
      const auto red = std::count_if(mark.begin(), mark.end(), [](uint32_t rgb) {
        return (rgb >> 16) > 0xa0 && ((rgb >> 8) & 0xff) < 0x50 && (rgb & 0xff) < 0x50;
      });
      return mark.empty() ? 0.0 : double(red) / double(mark.size());
    };
    ASSERT_TRUE(zelvo.clickUntilPicture(designControls().Command2))
        << program.output() << x.describeScreen(testing::TempDir() + "recording_no_picture.ppm")
        << "requests: " << server.requestHeads().size() << "\n"
        << program.threadStacks();
    EXPECT_LT(redShare(), 0.1);

    x.pressKey(window, "r", true);
    ASSERT_TRUE(waitUntil([&] { return !filesEndingIn(folder, ".ts.part").empty(); }, 10000, 100))
        << program.output();
    const fs::path part = filesEndingIn(folder, ".ts.part").front();
    EXPECT_TRUE(part.filename().string().starts_with("新闻_频道 20")) << part;
    // Over the picture, which goes on moving.
    EXPECT_TRUE(waitUntil([&] { return redShare() > 0.4; }, 5000, 100)) << redShare();
    std::error_code error;
    ASSERT_TRUE(waitUntil([&] { return fs::file_size(part, error) > 0; }, 15000, 100))
        << program.output();
    std::this_thread::sleep_for(3s);
    EXPECT_GT(zelvo.playerColours(), 3u);

    if (c.endByClosing) {
      x.requestClose(window);
      EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
    } else {
      x.pressKey(window, "r", true);
    }
    EXPECT_TRUE(waitUntil([&] { return !filesEndingIn(folder, ".ts").empty(); }, 10000, 100));
    EXPECT_TRUE(filesEndingIn(folder, ".part").empty());
    EXPECT_FALSE(fs::exists(part));
    // The player that wrote the file closes it in the background.
    std::this_thread::sleep_for(1s);
    for (const fs::path& file : filesEndingIn(folder, ".ts")) {
      EXPECT_EQ(file.string() + ".part", part.string());
      EXPECT_GE(videoSeconds(file, media.path()), 2.0) << file;
    }
    // Nothing else is left beside it: no link an engine wrote through.
    EXPECT_EQ(filesEndingIn(folder, "").size(), 1u);
    if (c.endByClosing) continue;

    // A folder that takes no file: a message, nothing written, and the program plays on.
    ReadOnlyFolder readOnly(folder);
    if (readOnly.active()) {
      x.pressKey(window, "r", true);
      const unsigned long message = x.waitForWindow(program.pid(), "Zelvo", 10000);
      EXPECT_NE(message, 0u) << program.output();
      EXPECT_TRUE(program.running());
      if (message) x.requestClose(message);
      EXPECT_TRUE(filesEndingIn(folder, ".part").empty());
      EXPECT_EQ(filesEndingIn(folder, ".ts").size(), 1u);
    }
    x.requestClose(window);
    EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
