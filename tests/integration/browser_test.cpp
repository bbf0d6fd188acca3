// The QtWebEngine browser against a page on loopback: it loads the page, reports where it is,
// and starts no engine process before it is first asked for a page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QWidget>
#include <fstream>
#include <string>

#include "fakes/TempFolder.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "support/IntegrationMain.h"
#include "support/LoopbackHttpServer.h"

namespace zelvo {
namespace {

using test::waitUntil;

// Engine helper processes started by this program (the kernel shortens the name to 15 bytes).
int engineChildren() {
  int count = 0;
  const QString ownPid = QString::number(::getpid());
  for (const QString& entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    QFile stat("/proc/" + entry + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) continue;
    const QString text = QString::fromUtf8(stat.readAll());
    const qsizetype open = text.indexOf('('), close = text.lastIndexOf(')');
    if (open < 0 || close < open) continue;
    const QString name = text.mid(open + 1, close - open - 1);
    const QStringList rest = text.mid(close + 2).split(' ');
    if (rest.size() > 1 && rest[1] == ownPid && name.startsWith("QtWebEngineProc")) ++count;
  }
  return count;
}

TEST(WebEngineBrowserTest, StartsTheEngineOnlyWhenFirstNavigated) {
  test::TempFolder folder;
  std::ofstream(folder.file("page.html")) << "<html><body><a href=\"x.html\">x</a></body></html>";
  test::LoopbackHttpServer server(folder.path());

  WebEngineBrowser browser;
  browser.widget()->resize(400, 300);
  browser.widget()->show();
  test::processEventsFor(500);
  EXPECT_EQ(engineChildren(), 0);
  EXPECT_EQ(browser.locationURL(), "");
  browser.stop();  // nothing loading yet: harmless, and starts nothing
  EXPECT_FALSE(browser.started());

  bool loaded = false;
  QObject::connect(&browser, &WebEngineBrowser::loadFinished, [&](bool ok) { loaded = ok; });
  const std::string page = server.url("page.html");
  browser.navigate(page);
  ASSERT_TRUE(waitUntil([&] { return loaded; }, 45000));
  EXPECT_EQ(browser.locationURL(), page);
  EXPECT_GT(engineChildren(), 0) << "the check above would never see an engine process";
}

}  // namespace
}  // namespace zelvo

int main(int argc, char** argv) {
  zelvo::WebEngineBrowser::prepareProcess();
  return zelvo::test::runIntegrationTests(argc, argv);
}
