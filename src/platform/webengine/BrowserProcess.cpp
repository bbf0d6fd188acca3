#include "platform/webengine/BrowserProcess.h"

#include <unistd.h>

#include <QByteArray>

namespace zelvo {

namespace {

constexpr const char* kQuietEngineFlags =
    "--disable-background-networking --disable-component-update --no-first-run";

}  // namespace

void prepareBrowserProcess() {
  // Chromium's sandbox will not start as root, which is how CI runs.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").trimmed();
  if (!flags.contains(kQuietEngineFlags)) {
    if (!flags.isEmpty()) flags += ' ';
    flags += kQuietEngineFlags;
  }
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
}

}  // namespace zelvo
