// The main window on fakes and the real text files of a temporary application folder, wired as
// the program wires it: what every behaviour test of the window starts from.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fakes/FailingTextFiles.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeGuideReader.h"
#include "fakes/FakeGuideView.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeStationView.h"
#include "fakes/FakeWebBrowser.h"
#include "platform/posix/GbkTextFiles.h"
#include "support/TempFolder.h"
#include "window/MainWindow.h"

namespace zelvo::test {

class WindowHarness {
 public:
  WindowHarness();

  // Writes a station file (UTF-8 lines, stored as GBK with CR LF) into the application folder.
  void writeFile(const std::string& name, const std::vector<std::string>& lines);
  // The file's lines, decoded from GBK.
  std::vector<std::string> readFile(const std::string& name) const;
  bool exists(const std::string& name) const;
  std::string path(const std::string& name) const { return folder.file(name); }

  // The rows of tvm and dz1 as "name|address".
  std::vector<std::string> rows() const;

  // Players as a list scan meets them: an address under http://live/ plays in the primary
  // player, every other address fails in both players, each answer after a server's delay.
  void playOnlyLiveAddresses(int delayMs = 10);
  // The addresses handed to the players by one call ("wmp.URL", "real.setSource"), in order.
  std::vector<std::string> addressesGivenTo(const std::string& call) const;

  TempFolder folder;
  CallLog log;
  FailureSwitch failures;
  FakeEventLoop loop;
  FakeWindowsMediaPlayer wmp{log, failures, loop};
  FakeRealPlayer real{log, failures, loop};
  FakeWebBrowser browser{log, failures, loop};
  FakeMessageBoxes messages{log};
  FakeProcess process;
  FailingTextFiles files;  // the real files, unless a test makes an operation fail
  FakeWindowFunctions windows{log};
  FakeClock clock{loop};
  FakeFileSystem disk;
  FakeGuideReader guideReader;
  FakeGuideView guideView;
  FakeStationView stationView;
  Services services{loop,    wmp,   real, browser,     files,     messages,    process,
                    windows, clock, disk, guideReader, guideView, stationView, folder.path()};
  std::unique_ptr<MainWindow> window;
  FormControls& c;
  SharedState& s;
};

}  // namespace zelvo::test
