// The station check on fakes: two fake engines on a virtual clock, a console that records what
// it shows, and a temporary folder with the real GBK files for the input and the output.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "check/CheckConsole.h"
#include "check/CheckSession.h"
#include "fakes/FailingTextFiles.h"
#include "fakes/FakeEventLoop.h"
#include "fakes/FakeStreamProbe.h"
#include "support/TempFolder.h"

namespace zelvo::test {

class RecordingConsole : public CheckConsole {
 public:
  explicit RecordingConsole(bool terminal = false) : terminal(terminal) {}
  bool isTerminal() const override { return terminal; }
  void printLine(const std::string& text) override { lines.push_back(text); }
  // As on a real console, only a terminal has a status line.
  void showStatus(const std::string& text) override {
    if (terminal) statuses.push_back(text);
  }
  void printProblem(const std::string& text) override { problems.push_back(text); }

  bool terminal;
  std::vector<std::string> lines;
  std::vector<std::string> statuses;
  std::vector<std::string> problems;
};

struct CheckHarness {
  FakeEventLoop loop;
  FakeProbeEngine mpv{"mpv"};
  FakeProbeEngine vlc{"vlc"};
  TempFolder folder;
  FailingTextFiles files;
  RecordingConsole console;

  CheckEnvironment environment();
  CheckPlatform platform();
  // Writes a file in the folder: the lines joined by CR LF, encoded in GBK.
  std::string writeStationFile(const std::string& name, const std::vector<std::string>& lines);
  // The lines of a GBK file of the folder, decoded; empty when it is missing.
  std::vector<std::string> readLines(const std::string& name) const;

  // Runs a session to its end (at most limitMs of virtual time); returns its exit status, or
  // -1 when it did not finish.
  int run(CheckSettings settings, long limitMs = 600000);
  std::unique_ptr<CheckSession> session;
};

}  // namespace zelvo::test
