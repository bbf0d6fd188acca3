// The station window "频道表" in the real window over 32,767 stations in playlist groups: the
// time from F3 to the first paint of the tree (first opening, and reopening after the list
// changed), and from a keystroke in the search box to the tree's paint of the result.
// F3 comes 3 s after the list is filled, as a user's would, or with --at-once as soon as it is.
// With --shot FILE it leaves the windows on screen and writes a screenshot of the screen.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "first_paint.h"
#include "formats/Playlist.h"
#include "library/StationList.h"
#include "platform/qt/QtFormView.h"
#include "platform/qt/QtStationView.h"
#include "program/Composition.h"
#include "resident_memory.h"
#include "support/QuietComponents.h"
#include "support/TempFolder.h"

namespace {

using namespace zelvo;

// 32,767 rows: 40 playlists' groups of stations with Chinese and Latin names.
std::vector<std::vector<PlaylistEntry>> playlists() {
  static const char* places[] = {"浙江", "湖南", "江苏", "东方", "北京", "广东", "深圳", "天津",
                                 "山东", "安徽", "重庆", "四川", "河南", "湖北", "辽宁", "黑龙江"};
  static const char* kinds[] = {"卫视", "经视", "新闻", "体育", "影视", "少儿", "公共", "都市"};
  std::vector<std::vector<PlaylistEntry>> lists(40);
  const int perList = (kMaxListRows - 39) / 40;
  for (int l = 0; l < 40; ++l) {
    const std::string group = l % 5 == 4 ? "" : "分组" + std::to_string(l % 13);
    for (int i = 0; i < perList; ++i) {
      const int n = l * perList + i;
      std::string name =
          n % 3 == 0 ? "CCTV-" + std::to_string(n % 17) + " 频道" + std::to_string(n)
                     : std::string(places[n % 16]) + kinds[(n / 16) % 8] + " " + std::to_string(n);
      lists[l].push_back({name, "http://127.0.0.1:1/s" + std::to_string(n) + ".ts", group, {}});
    }
  }
  return lists;
}

void press(QWidget* target, int key, const QString& text) {
  QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &down);
  QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(target, &up);
}

void report(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::printf("%s median=%.1f max=%.1f ms (%zu)\n", what, times[times.size() / 2], times.back(),
              times.size());
}

}  // namespace

int main(int argc, char** argv) {
  std::string shot;
  int settleMs = 3000;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--shot" && i + 1 < argc) shot = argv[i + 1];
    if (std::string(argv[i]) == "--at-once") settleMs = 0;
  }
  setenv("ZELVO_MODULE_DIR", ZELVO_BUILD_MODULES, 0);
  prepareWindowProcess();
  QApplication app(argc, argv);
  zelvo::test::TempFolder folder;
  ZelvoApplication zelvo(folder.path(), zelvo::test::quietComponents());
  zelvo.start();
  FormControls& c = zelvo.window().controls();
  zelvo.window().OpenStationGroups(playlists());
  const int rows = c.tvm.count();
  QtStationView& view = zelvo.stationView();
  zelvo::bench::PaintWatch paints(*view.tree()->viewport());
  const long listedKib = zelvo::bench::residentKib();
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < settleMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  long tablePages = 0;
  const long pagesBefore = zelvo::bench::residentTablePages(tablePages);
  const long beforeKib = zelvo::bench::residentKib();

  auto open = [&] { return paints.millisecondsUntilPainted([&] { c.form1.userShortcut("F3"); }); };
  const bool prepared = view.tree()->model()->rowCount() > 0;
  const double cold = open();
  std::vector<double> reopened;
  for (int i = 0; i < 10; ++i) {
    view.close();
    // The list changed: the groups are built anew on opening.
    removeStationRow(c, c.tvm.count() - 1);
    addStationRow(c, "新台 " + std::to_string(i), "http://127.0.0.1:1/new.ts", c.tvm.count());
    reopened.push_back(open());
  }
  std::printf("stations=%d groups=%d first_open_ms=%.1f (F3 %d ms after the list, %s)\n", rows,
              view.tree()->model()->rowCount(), cold, settleMs,
              prepared ? "groups ready" : "groups built on F3");
  report("reopen after a change", reopened);
  std::printf(
      "resident: %ld KiB with the list, +%ld KiB before F3; pinyin table pages resident "
      "before F3: %ld of %ld\n",
      listedKib, beforeKib - listedKib, pagesBefore, tablePages);

  // The user looks at the window before typing: its index is built meanwhile.
  settle.restart();
  while (settle.elapsed() < 500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  QLineEdit* search = view.searchBox();
  auto key = [&](int code, const QString& text) {
    return paints.millisecondsUntilPainted([&] { press(search, code, text); });
  };
  std::vector<double> typed;
  for (int round = 0; round < 5; ++round) {
    for (const char* letter : {"z", "j", "w", "s"})
      typed.push_back(key(Qt::Key_A + (letter[0] - 'a'), letter));
    for (int i = 0; i < 4; ++i) typed.push_back(key(Qt::Key_Backspace, ""));
    for (const char* part : {"卫", "视", "1"}) typed.push_back(key(0, QString::fromUtf8(part)));
    for (int i = 0; i < 3; ++i) typed.push_back(key(Qt::Key_Backspace, ""));
  }
  report("keystroke", typed);

  if (!shot.empty()) {
    for (const char* letter : {"z", "j"}) key(Qt::Key_A + (letter[0] - 'a'), letter);
    settle.restart();
    while (settle.elapsed() < 1500) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    screen.save(QString::fromStdString(shot));
    std::printf("screenshot: %s\n", shot.c_str());
  }
  return 0;
}
