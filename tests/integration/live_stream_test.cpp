// The real program under a private X server plays live HLS and DASH streams that ffmpeg writes
// while the test runs, on a loopback server that admits only the request headers a station
// needs. The picture shows in the player area, every segment was asked for with the station's
// headers, and the saved position names the player that played: libVLC for what it can send,
// libmpv after the hand-off for the cookie libVLC cannot send. A station imported from a
// playlist that gives its headers as VLC options plays with them too.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/StationAddress.h"
#include "platform/BrowserAgent.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LiveStream.h"
#include "support/LoopbackHttpServer.h"
#include "support/ProgramWindow.h"
#include "support/TempFolder.h"
#include "support/Waiting.h"

namespace zelvo::test {
namespace {

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
    // The station comes from a playlist with the headers as #EXTVLCOPT lines, through
    // `zelvo --import`, instead of being written into the library.
    bool imported = false;
  } cases[] = {
      {"HLS behind a user agent and a referrer",
       LiveStream::Kind::Hls,
       agentAndReferrer,
       {agentAndReferrer[0].second, agentAndReferrer[1].second, "", ""},
       "win"},
      {"HLS imported from a playlist with its agent and referrer as VLC options",
       LiveStream::Kind::Hls,
       agentAndReferrer,
       {agentAndReferrer[0].second, agentAndReferrer[1].second, "", ""},
       "win",
       true},
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
    const std::string placed = placeProgram(ZELVO_PROGRAM, app.path());
    const std::string url = server.url(stream.playlistName());
    if (c.imported) {
      writeGbkText(app.file("tv_lib.txt"), "end\r\n");
      std::ofstream(media.file("list.m3u"), std::ios::binary)
          << "#EXTM3U\n#EXTINF:-1,直播\n#EXTVLCOPT:http-user-agent=" << c.station.userAgent
          << "\n#EXTVLCOPT:http-referrer=" << c.station.referrer << "\n"
          << url << "\n";
      const ProgramResult imported =
          runProgram({placed, "--import", media.file("list.m3u")}, app.path());
      ASSERT_EQ(imported.status, 0) << imported.err;
      EXPECT_EQ(readGbkText(app.file("tv_lib.txt")),
                "直播," + joinStationAddress(url, c.station) + ",-999,假,假\r\nend\r\n");
    } else {
      writeGbkText(app.file("tv_lib.txt"),
                   "直播," + joinStationAddress(url, c.station) + ",-999,假,假\r\nend\r\n");
    }

    ProgramWindow zelvo(placed, app.path());
    RunningProgram& program = zelvo.program();
    ASSERT_NE(zelvo.window(), 0u) << program.output();
    // A click in the window's first moments is lost: click once a second until the server is
    // asked, then leave the station the time to play, handed on to the other engine where the
    // first is refused.
    const Pixel play = centreOf(designControls().Command2);
    const size_t before = server.requestHeads().size();
    ASSERT_TRUE(zelvo.x().clickUntil(
        zelvo.window(), play.x, play.y, [&] { return server.requestHeads().size() > before; }, 1000,
        30000))
        << program.output();
    EXPECT_TRUE(waitUntil([&] { return zelvo.playerColours() > 3; }, 60000, 100))
        << program.output();

    size_t segmentsWithHeaders = 0;
    for (const std::string& head : server.requestHeads()) {
      if (isSegment(head) && carries(head, c.required)) ++segmentsWithHeaders;
    }
    EXPECT_GE(segmentsWithHeaders, 2u);

    zelvo.x().requestClose(zelvo.window());
    EXPECT_EQ(program.waitForExit(30000), 0) << program.output();
    EXPECT_EQ(fileBytes(app.file("bfwz.dat")), c.player + "\r\n0\r\n");
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runProgramTests(argc, argv); }
