// The signals that ask the program to end become one request on the UI thread.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <csignal>

#include "platform/qt/QtEndSignals.h"
#include "support/IntegrationMain.h"

namespace zelvo::test {
namespace {

TEST(EndSignals, EachSignalAsksOnceAndASecondOneDuringTheShutDownIsDropped) {
  for (int number : {SIGTERM, SIGINT, SIGHUP}) {
    int requests = 0;
    QtEndSignals bridge([&] {
      ++requests;
      // The shut-down lets events run; another signal arrives meanwhile.
      std::raise(SIGTERM);
      processEventsFor(50);
    });
    std::raise(number);
    EXPECT_TRUE(waitUntil([&] { return requests > 0; }, 2000)) << number;
    std::raise(SIGHUP);
    processEventsFor(100);
    EXPECT_EQ(requests, 1) << number;
  }
  struct sigaction restored {};
  ::sigaction(SIGTERM, nullptr, &restored);
  EXPECT_EQ(restored.sa_handler, SIG_DFL) << "the handlers go with the object";
}

TEST(EndSignals, ASignalIgnoredAtStartStaysIgnored) {
  // nohup starts a program with SIGHUP ignored: it must survive the logout.
  std::signal(SIGHUP, SIG_IGN);
  int requests = 0;
  {
    QtEndSignals bridge([&] { ++requests; });
    std::raise(SIGHUP);
    processEventsFor(100);
  }
  EXPECT_EQ(requests, 0);
  std::signal(SIGHUP, SIG_DFL);
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) { return zelvo::test::runIntegrationTests(argc, argv); }
