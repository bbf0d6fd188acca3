// The real window offscreen with a guide reader the test answers: tvm's tooltip on screen shows
// the programme now and next, moves on when the programme ends (the real timer), and follows
// the station the user chooses.
#include <gtest/gtest.h>

#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>

#include "fakes/FakeGuideReader.h"
#include "formats/XmltvTime.h"
#include "guide/GuideFiles.h"
#include "guide/NowNextText.h"
#include "platform/posix/SystemClock.h"
#include "platform/qt/QtFormView.h"
#include "program/Composition.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

TEST(GuideTooltip, ShowsNowAndNextOnScreenAndMovesOnWhenTheProgrammeEnds) {
  TempFolder app;
  writeGbkLines(app.file("tv_lib.txt"), {"新闻台,http://127.0.0.1:1/a.ts,-999,假,假",
                                         "电影台,http://127.0.0.1:1/b.ts,-999,假,假", "end"});
  writeGbkLines(app.file(kUserGuidesFile), {"http://127.0.0.1:1/guide.xml"});
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  FakeGuideReader reader;
  zelvo.window().guide().useReader(&reader);
  zelvo.start();
  ASSERT_EQ(reader.requests.size(), 1u);

  FormControls& c = zelvo.window().controls();
  QWidget* tvm = zelvo.view().widgetOf(c.tvm);
  c.tvm.setText("新闻台");
  c.dz1.setText("http://127.0.0.1:1/a.ts");
  EXPECT_EQ(tvm->toolTip(), "");

  const int64_t now = SystemClock().secondsNow();
  const Programme news{now - 60, now + 2, "新闻联播", ""};
  const Programme weather{now + 2, now + 600, "天气预报", ""};
  const Programme film{now + 600, now + 6000, "电影", ""};
  GuideReport report;
  report.sourcesRead = 1;
  report.channels = {{"a", {"新闻台"}, "", {news, weather}}, {"b", {"电影台"}, "", {film}}};
  reader.finish(report);
  EXPECT_EQ(tvm->toolTip().toStdString(), describeNowNext({news, weather}, "\n"));

  EXPECT_TRUE(waitUntil(
      [&] {
        return tvm->toolTip().toStdString() == describeNowNext({weather, std::nullopt}, "\n");
      },
      5000))
      << tvm->toolTip().toStdString();

  c.tvm.userChoseRow(1);
  EXPECT_EQ(tvm->toolTip().toStdString(), describeNowNext({std::nullopt, film}, "\n"));
  zelvo.view().close();
}

// The real reader fetches a gzip guide from a loopback server; what it read reaches the tooltip.
TEST(GuideTooltip, AGzipGuideFromTheNetworkReachesTheTooltip) {
  TempFolder served;
  const int64_t now = SystemClock().secondsNow();
  std::ofstream(served.file("guide.xml"))
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
         "<channel id=\"news\"><display-name>新闻台</display-name></channel>\n"
         "<programme channel=\"news\" start=\""
      << formatXmltvTime(now - 600) << "\" stop=\"" << formatXmltvTime(now + 1200)
      << "\"><title>新闻联播</title></programme>\n</tv>\n";
  ASSERT_EQ(std::system(("gzip -n " + served.file("guide.xml")).c_str()), 0);
  LoopbackHttpServer server(served.path());

  TempFolder app;
  writeGbkLines(app.file("tv_lib.txt"), {"新闻台,http://127.0.0.1:1/a.ts,-999,假,假", "end"});
  writeGbkLines(app.file(kUserGuidesFile), {server.url("guide.xml.gz")});
  ZelvoApplication zelvo(app.path(), quietComponents(10000));
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  c.tvm.setText("新闻台");
  c.dz1.setText("http://127.0.0.1:1/a.ts");
  QWidget* tvm = zelvo.view().widgetOf(c.tvm);
  EXPECT_TRUE(waitUntil([&] { return tvm->toolTip().contains("新闻联播"); }, 20000))
      << zelvo.window().guide().report().problems.size();
  EXPECT_TRUE(tvm->toolTip().startsWith("正在播出 ")) << tvm->toolTip().toStdString();
  zelvo.view().close();
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
