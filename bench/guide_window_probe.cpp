// Opening the guide window "节目单" in the real window on a day of 60 programmes: the time from
// F2 to the first paint of the day's list, first and then with the rows built anew each time.
// With --shot FILE it leaves both windows on screen and writes a screenshot of the screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "first_paint.h"
#include "guide/GuideWindow.h"
#include "library/StationList.h"
#include "platform/qt/QtFormView.h"
#include "platform/qt/QtGuideView.h"
#include "program/Composition.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace {

using namespace zelvo;

constexpr int64_t kSlot = 24 * 60;

// Logos come at once from a picture drawn into the folder.
class DrawnLogos : public GuideReader {
 public:
  explicit DrawnLogos(std::string folder) : folder_(std::move(folder)) {}
  void read(const GuideRequest&) override {}
  void cancel() override {}
  void fetchLogo(const std::string& address) override {
    QImage logo(120, 80, QImage::Format_ARGB32);
    logo.fill(QColor(200, 30, 40));
    QPainter painter(&logo);
    painter.setPen(Qt::white);
    painter.setFont(QFont("sans", 28, QFont::Bold));
    painter.drawText(logo.rect(), Qt::AlignCenter, "TV1");
    painter.end();
    const std::string path = folder_ + "/logo.png";
    logo.save(QString::fromStdString(path));
    QMetaObject::invokeMethod(
        qApp, [this, address, path] { logoReady.raise(address, path); }, Qt::QueuedConnection);
  }

 private:
  std::string folder_;
};

GuideChannel dayOf(int64_t today, const std::string& name) {
  GuideChannel channel;
  channel.icon = "http://logo/" + name + ".png";
  static const char* kinds[] = {"新闻联播", "天气预报", "电视剧：山海情 第12集",
                                "纪录片",   "体育新闻", "午间新闻",
                                "动画城",   "综艺晚会"};
  int i = 0;
  for (int64_t start = today - 60 * kSlot; start < today + 120 * kSlot; start += kSlot, ++i)
    channel.programmes.push_back(
        {start, start + kSlot, name + " " + kinds[i % 8] + " " + std::to_string(i), ""});
  return channel;
}

}  // namespace

int main(int argc, char** argv) {
  std::string shot;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::string(argv[i]) == "--shot") shot = argv[i + 1];
  setenv("ZELVO_MODULE_DIR", ZELVO_BUILD_MODULES, 0);
  prepareWindowProcess();
  QApplication app(argc, argv);
  zelvo::test::TempFolder folder;
  ZelvoApplication zelvo(folder.path(), zelvo::test::quietComponents());
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  addStationRow(c, "中央一台", "http://127.0.0.1:1/cctv1.ts", c.tvm.count());
  addStationRow(c, "中央二台", "http://127.0.0.1:1/cctv2.ts", c.tvm.count());
  const int first = c.tvm.count() - 2;
  showStationRow(c, first);

  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const int64_t today = localDayStart(now);
  const GuideChannel one = dayOf(today, "一台");
  const GuideChannel two = dayOf(today, "二台");
  GuideWindow& guide = zelvo.guideWindow();
  guide.setLookup([&](const std::string& name, const std::string&) {
    StationGuide found;
    found.channel = name == "中央一台" ? &one : &two;
    found.tags.catchupDays = 3;
    return found;
  });
  guide.setCatchup([](const GuideStation& station, const Programme& p) {
    return CatchupResult{station.address + "?utc=" + std::to_string(p.start), ""};
  });
  DrawnLogos logos(folder.path());
  guide.attachReader(logos);
  QTreeWidget* list = zelvo.guideView().list();
  zelvo::bench::PaintWatch paints(*list->viewport());
  QCoreApplication::processEvents();

  // One opening: F2 as the window hears it, until the list has painted its rows.
  auto open = [&] { return paints.millisecondsUntilPainted([&] { c.form1.userShortcut("F2"); }); };
  const double cold = open();
  const int rows = list->topLevelItemCount();
  std::vector<double> warm;
  for (int i = 0; i < 30; ++i) {
    zelvo.guideView().close();
    showStationRow(c, first + 1 - i % 2);  // the other station: every row is built anew
    warm.push_back(open());
  }
  std::sort(warm.begin(), warm.end());
  std::printf("rows=%d first_open_ms=%.1f open_ms median=%.1f max=%.1f (%zu openings)\n", rows,
              cold, warm[warm.size() / 2], warm.back(), warm.size());

  if (!shot.empty()) {
    showStationRow(c, first);
    zelvo.guideView().close();
    open();
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 1500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    screen.save(QString::fromStdString(shot));
    std::printf("screenshot: %s\n", shot.c_str());
  }
  return 0;
}
