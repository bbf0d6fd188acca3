// The entry of the browser test programs: a home and temporary folder of their own, engine
// settings, and a host resolver that answers only for loopback, so that no name a test loads
// is ever looked up on the network.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/posix/ProcessSetup.h"
#include "platform/webengine/WebEngineBrowser.h"
#include "support/IntegrationMain.h"
#include "support/TempFolder.h"

namespace zelvo::test {

inline int runBrowserTests(int argc, char** argv) {
  static TempFolder privateFolders;
  for (const char* name : {"HOME", "TMPDIR"}) {
    const std::string path = privateFolders.file(name);
    std::filesystem::create_directory(path);
    ::setenv(name, path.c_str(), 1);
  }
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS",
           "--host-resolver-rules=\"MAP * ~NOTFOUND , EXCLUDE 127.0.0.1\"", 1);
  prepareBrowserProcess();
  return runIntegrationTests(argc, argv);
}

}  // namespace zelvo::test
