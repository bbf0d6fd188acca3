// Runs a command of the command line that needs no window: help, version, import, export, and
// the complaint about a wrong command line. Returns the program's exit status.
#pragma once

#include "cli/CommandLine.h"
#include "platform/GuideReader.h"

namespace zelvo {

// Exit statuses: 0 done, 1 the command could not be done, 2 a wrong command line.
inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitWrongUsage = 2;

// Needs a QCoreApplication. Never opens a window and never starts a player. The guide command
// needs the guide reader, which the program makes: runGuideCommand.
int runCommand(const Command& command);

// Runs --guide with the reader given, waiting for its news in the
// Qt event loop; the progress goes to stderr when that is a terminal. Needs a QCoreApplication.
int runGuideCommand(const Command& command, GuideReader& reader);

}  // namespace zelvo
