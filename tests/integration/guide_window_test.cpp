// The guide window "节目单" of the real window, offscreen: F2 and the station selector's context
// menu open it on today's programmes, and a double-click on one plays it from the loopback server,
// a past one from the address the program's catch-up builder makes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <ctime>
#include <fstream>

#include "formats/XmltvTime.h"
#include "guide/GuideFiles.h"
#include "guide/GuideWindow.h"
#include "library/StationFiles.h"
#include "library/StationList.h"
#include "platform/qt/QtFormView.h"
#include "platform/qt/QtGuideView.h"
#include "program/Composition.h"
#include "support/Clips.h"
#include "support/GbkFiles.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"
#include "support/QuietComponents.h"
#include "support/StandingClock.h"
#include "support/TempFolder.h"

namespace zelvo::test {
namespace {

constexpr int64_t kSlot = 24 * 60;  // 60 programmes a day

ComponentOptions withClock(ComponentOptions options, const Clock& clock) {
  options.clock = &clock;
  return options;
}

// The station "甲台" plays the loopback clip; its guide holds yesterday and today in 24-minute
// programmes, and the window's clock stands at noon today. Unshifted, the test hands the guide
// window the channel; shifted, the program reads the station's tags from tv_epg_map.txt (half an
// hour later than the guide, catch-up a quarter of an hour earlier) and the guide from the
// loopback server, its times given 2 hours east of UTC.
struct GuideWindowRun {
  TempFolder media;
  std::string clip = makeClip(media.path(), 4);
  LoopbackHttpServer server{media.path()};
  TempFolder app;
  int64_t today = localDayStart(static_cast<int64_t>(std::time(nullptr)));
  int64_t noon = today + 12 * 60 * 60;
  StandingClock clock{noon};
  ZelvoApplication zelvo{app.path(), withClock(quietComponents(10000), clock)};
  GuideChannel channel;

  explicit GuideWindowRun(bool shifted) {
    for (int64_t start = today - 60 * kSlot; start < today + 60 * kSlot; start += kSlot)
      channel.programmes.push_back({start, start + kSlot, "节目 " + std::to_string(start), ""});
    if (shifted) serveGuide();
    GuideWindow& guide = zelvo.guideWindow();
    zelvo.start();
    FormControls& c = zelvo.window().controls();
    addStationRow(c, "甲台", server.url(clip), c.tvm.count());
    showStationRow(c, c.tvm.count() - 1);
    if (shifted) {
      waitUntil([&] { return zelvo.window().guide().read(); }, 20000);
    } else {
      // The program's own catch-up builder makes the address from these tags.
      GuideTags tags;
      tags.catchup = "append";
      tags.catchupSource = "?utc={utc}&end={utcend}";
      guide.setLookup([this, tags](const std::string& name, const std::string&) {
        return StationGuide{name == "甲台" ? &channel : nullptr, tags};
      });
    }
    QWidget* window = zelvo.view().window();
    window->activateWindow();
    waitUntil([&] { return QApplication::activeWindow() == window; }, 5000);
  }

  void serveGuide() {
    std::ofstream guide(media.file("guide.xml"));
    guide << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n"
             "<channel id=\"jia\"><display-name>甲</display-name></channel>\n";
    auto eastOfUtc = [](int64_t utc) {
      return formatXmltvTime(utc + 2 * 60 * 60).substr(0, 14) + " +02:00";
    };
    for (const Programme& p : channel.programmes)
      guide << "<programme channel=\"jia\" start=\"" << eastOfUtc(p.start) << "\" stop=\""
            << eastOfUtc(p.stop) << "\"><title>" << p.title << "</title></programme>\n";
    guide << "</tv>\n";
    writeGbkLines(app.file(kLibraryFile), {"甲台," + server.url(clip) + ",-999,假,假", "end"});
    writeGbkLines(
        app.file(kGuideMapFile),
        {"甲台\t" + server.url(clip) + "\tjia\t\t\tappend\t?utc={utc}&end={utcend}\t\t0.5\t-0.25"});
    writeGbkLines(app.file(kUserGuidesFile), {server.url("guide.xml")});
  }
  QtGuideView& view() { return zelvo.guideView(); }
  void pressF2() {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : zelvo.view().window(), Qt::Key_F2);
  }
  // Opens the station field's context menu and picks the entry with this caption.
  void chooseFromContextMenu(const QString& caption) {
    QLineEdit* field =
        static_cast<QComboBox*>(zelvo.view().widgetOf(zelvo.window().controls().tvm))->lineEdit();
    QTimer::singleShot(200, [caption] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (!menu) return;
      for (QAction* action : menu->actions()) {
        if (action->text() != caption) continue;
        const QPoint at = menu->actionGeometry(action).center();
        QTest::mouseClick(menu, Qt::LeftButton, {}, at);
        return;
      }
      menu->close();
    });
    const QPoint at = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, field->mapToGlobal(at));
    QApplication::sendEvent(field, &event);
  }
  void doubleClick(int row) {
    QTreeWidget* list = view().list();
    list->scrollToItem(list->topLevelItem(row));
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    // The toolkit's test double-click brings no press of its own: the first click gives it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }
};

// Each way of opening lists today with the running programme in bold; a double-click then plays
// a programme: the past one from its catch-up address, the running one live.
TEST(GuideWindowEndToEnd, OpensOnTodayAndPlaysTheDoubleClickedProgramme) {
  struct Case {
    const char* what;
    std::function<void(GuideWindowRun&)> open;
    int row;
    bool catchup;
    bool shifted = false;
  } cases[] = {
      {"F2, the programme before noon", [](GuideWindowRun& run) { run.pressF2(); }, 29, true},
      {"the station field's context menu, the running programme",
       [](GuideWindowRun& run) { run.chooseFromContextMenu("节目单"); }, 30, false},
      {"a shifted station, the programme before noon", [](GuideWindowRun& run) { run.pressF2(); },
       29, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GuideWindowRun run(c.shifted);
    const int64_t shift = c.shifted ? 30 * 60 : 0;
    const int64_t correction = c.shifted ? -15 * 60 : 0;
    ASSERT_FALSE(run.view().isVisible());
    c.open(run);
    ASSERT_TRUE(waitUntil([&] { return run.view().isVisible(); }, 3000));
    QTreeWidget* list = run.view().list();
    EXPECT_EQ(run.view().windowTitle(), "节目单 - 甲台");
    EXPECT_TRUE(run.view().dayChooser()->currentText().endsWith("今天"));
    // Half an hour later, the programme that began at 23:36 the day before ends in this day.
    ASSERT_EQ(list->topLevelItemCount(), c.shifted ? 61 : 60);
    EXPECT_EQ(list->topLevelItem(30)->text(0), c.shifted ? "11:42 - 12:06" : "12:00 - 12:24");
    EXPECT_TRUE(list->topLevelItem(30)->font(1).bold());
    EXPECT_FALSE(list->topLevelItem(29)->font(1).bold());

    run.doubleClick(c.row);
    const int64_t start = (c.shifted ? run.today + 27 * kSlot : run.noon - kSlot) + shift;
    const std::string target = "/" + run.clip +
                               (c.catchup ? "?utc=" + std::to_string(start + correction) +
                                                "&end=" + std::to_string(start + kSlot + correction)
                                          : "");
    EXPECT_TRUE(waitUntil(
        [&] {
          const std::vector<std::string> seen = run.server.requestedTargets();
          return std::find(seen.begin(), seen.end(), target) != seen.end();
        },
        10000))
        << target << " " << run.view().status()->text().toStdString();
    EXPECT_TRUE(waitUntil(
        [&] { return run.zelvo.primaryPlayer().playState() == WmpState::Playing; }, 20000));

    // The day before, chosen in the window, stays when the window refreshes.
    QComboBox* days = run.view().dayChooser();
    QTest::keyClick(days, Qt::Key_Up);
    const QString yesterday = days->currentText();
    ASSERT_FALSE(yesterday.endsWith("今天"));
    const QString firstRow = list->topLevelItem(0)->text(1);
    run.zelvo.guideWindow().refreshTimer().fire();
    processEventsFor(100);
    EXPECT_EQ(days->currentText().toStdString(), yesterday.toStdString());
    EXPECT_EQ(list->topLevelItem(0)->text(1).toStdString(), firstRow.toStdString());
  }
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
