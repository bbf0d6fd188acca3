// The command line: what each argument list asks for, and what the real program prints and
// returns for the commands that need no window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "cli/CommandLine.h"
#include "fakes/TempFolder.h"
#include "support/ProgramRun.h"

using ::testing::HasSubstr;

namespace zelvo::test {
namespace {

using Action = Command::Action;

TEST(CommandLine, ReadsWhatEachArgumentListAsksFor) {
  struct Case {
    std::vector<std::string> arguments;
    Action action;
  };
  const Case cases[] = {
      {{"zelvo"}, Action::OpenWindow},
      {{}, Action::OpenWindow},
      {{"zelvo", "--help"}, Action::ShowHelp},
      {{"zelvo", "-h"}, Action::ShowHelp},
      {{"zelvo", "--version"}, Action::ShowVersion},
      {{"zelvo", "-v"}, Action::ShowVersion},
      // The window toolkit's own options reach the window, in either spelling.
      {{"zelvo", "-platform", "offscreen"}, Action::OpenWindow},
      {{"zelvo", "--style=fusion", "-reverse"}, Action::OpenWindow},
      {{"zelvo", "--bogus"}, Action::Wrong},
      {{"zelvo", "-x"}, Action::Wrong},
      {{"zelvo", "-platform"}, Action::Wrong},
  };
  for (const Case& c : cases) {
    const Command command = parseCommandLine(c.arguments);
    EXPECT_EQ(command.action, c.action) << ::testing::PrintToString(c.arguments);
  }
  EXPECT_THAT(parseCommandLine({"zelvo", "--bogus"}).problem, HasSubstr("bogus"));
}

// Without a display a window could not even start: these commands must never try.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("QT_QPA_PLATFORM", "xcb", 1);
  }
  ProgramResult run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ZELVO_PROGRAM);
    return runProgram(arguments, scratch_.path(), 30000);
  }
  TempFolder scratch_;
};

TEST_F(ProgramTest, HelpAndVersionPrintAndEndWithoutAWindow) {
  const ProgramResult help = run({"--help"});
  EXPECT_EQ(help.status, 0) << help.err;
  EXPECT_THAT(help.out, HasSubstr("--version"));
  EXPECT_EQ(help.err, "");

  const ProgramResult version = run({"--version"});
  EXPECT_EQ(version.status, 0) << version.err;
  EXPECT_EQ(version.out, "zelvo 3.5\n");
}

TEST_F(ProgramTest, AWrongCommandLineSaysWhatIsWrongAndEndsWithStatusTwo) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"--bogus"}, {"-platform"}}) {
    const ProgramResult result = run(arguments);
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_EQ(result.out, "");
    EXPECT_THAT(result.err, HasSubstr("zelvo: ")) << arguments[0];
    EXPECT_THAT(result.err, HasSubstr("--help")) << arguments[0];
  }
  EXPECT_THAT(run({"--bogus"}).err, HasSubstr("Unknown option 'bogus'"));
}

}  // namespace
}  // namespace zelvo::test

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
