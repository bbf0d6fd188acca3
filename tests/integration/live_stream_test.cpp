// The real program under a private X server plays live HLS and DASH streams that ffmpeg writes
// while the test runs, on a loopback server that admits only the request headers a station
// needs. The picture shows in the player area, every segment was asked for with the station's
// headers, and the saved position names the player that played: libVLC for what it can send,
// libmpv after the hand-off for the cookie libVLC cannot send.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "fakes/GbkFiles.h"
#include "fakes/TempFolder.h"
#include "formats/StationAddress.h"
#include "platform/BrowserAgent.h"
#include "support/IntegrationMain.h"
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramRun.h"
#include "support/XClient.h"
#include "support/XvfbServer.h"

namespace zelvo::test {
namespace {

// The centre of Command2 "播放", from its design rectangle in twips (15 twips a pixel).
constexpr int kPlayX = (270 + 735 / 2) / 15;
constexpr int kPlayY = (5520 + 375 / 2) / 15;

using Headers = std::vector<std::pair<std::string, std::string>>;

bool isSegment(const std::string& head) {
  const std::string line = head.substr(0, head.find("\r\n"));
  return line.find(".ts ") != std::string::npos || line.find("/chunk-") != std::string::npos;
}

bool carries(const std::string& head, const Headers& headers) {
  const std::string lines = head + "\r\n";
  return std::all_of(headers.begin(), headers.end(), [&](const auto& header) {
    return lines.find("\r\n" + header.first + ": " + header.second + "\r\n") != std::string::npos;
  });
}

TEST(LiveStreams, PlayInEachEngineWithTheHeadersTheServerWants) {
  const Headers agentAndReferrer = {{"User-Agent", "ZelvoTest/1.0 (X11; live)"},
                                    {"Referer", "https://site.example/tv?a=1&b=2"}};
  const struct Case {
    const char* what;
    LiveStream::Kind kind;
    Headers required;        // the server answers 403 to any request without these
    RequestHeaders station;  // what the station's address carries after "|"
    std::string player;      // as the position file names it
  } cases[] = {
      {"HLS behind a user agent and a referrer",
       LiveStream::Kind::Hls,
       agentAndReferrer,
       {agentAndReferrer[0].second, agentAndReferrer[1].second, "", ""},
       "win"},
      {"DASH", LiveStream::Kind::Dash, {}, {}, "win"},
      {"HLS for browsers only, from a station without an agent",
       LiveStream::Kind::Hls,
       {{"User-Agent", kDesktopBrowserAgent}},
       {},
       "win"},
      {"HLS behind a cookie and a browser's agent",
       LiveStream::Kind::Hls,
       {{"Cookie", "token=a1; id=7"}, {"User-Agent", kDesktopBrowserAgent}},
       {"", "", "", "token=a1; id=7"},
       "real"},
      {"DASH behind a cookie and an origin",
       LiveStream::Kind::Dash,
       {{"Cookie", "token=b2"}, {"Origin", "https://site.example"}},
       {"", "", "https://site.example", "token=b2"},
       "real"},
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder media;
    LiveStream stream(media.path(), c.kind);
    LoopbackHttpServer server(media.path());
    for (const auto& [name, value] : c.required) server.requireHeader(name, value);
    ASSERT_TRUE(stream.waitReady(20000)) << fileBytes(media.file("ffmpeg.log"));

    TempFolder app;
    std::error_code error;
    std::filesystem::create_hard_link(ZELVO_PROGRAM, app.file("zelvo"), error);
    if (error) std::filesystem::copy_file(ZELVO_PROGRAM, app.file("zelvo"));
    const std::string address = joinStationAddress(server.url(stream.playlistName()), c.station);
    writeGbkText(app.file("tv_lib.txt"), "直播," + address + ",-999,假,假\r\nend\r\n");

    XvfbServer xvfb;
    XClient x(xvfb.display());
    RunningProgram program(
        {app.file("zelvo")}, app.path(),
        ProgramStart{.setEnvironment = {{"DISPLAY", xvfb.display()}, {"QT_QPA_PLATFORM", "xcb"}},
                     .unsetEnvironment = {"WAYLAND_DISPLAY"},
                     .oneOutput = true});
    const unsigned long window = x.waitForWindow(program.pid(), "Zelvo ver 3.5");
    ASSERT_NE(window, 0u) << program.output();
    // The player area below the controls that lie over it: black until a picture moves in it.
    const auto colours = [&] {
      const std::vector<uint32_t> area = x.pixels(window, 0, 130, 560, 170);
      return std::set<uint32_t>(area.begin(), area.end()).size();
    };
    // A click in the window's first moments is lost; one every 6 s leaves each try the time to
    // hand a refused station on to the other engine.
    EXPECT_TRUE(x.clickUntil(
        window, kPlayX, kPlayY, [&] { return colours() > 3; }, 6000, 60000))
        << program.output();

    size_t segmentsWithHeaders = 0;
    for (const std::string& head : server.requestHeads()) {
      if (isSegment(head) && carries(head, c.required)) ++segmentsWithHeaders;
    }
    EXPECT_GE(segmentsWithHeaders, 2u);

    x.requestClose(window);
    EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
    EXPECT_EQ(fileBytes(app.file("bfwz.dat")), c.player + "\r\n0\r\n");
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
