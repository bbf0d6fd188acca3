// The command line: what the program is asked to do, read with QCommandLineParser before any
// window is made or any player started.
#pragma once

#include <string>
#include <vector>

#include "check/CheckRequest.h"

namespace zelvo {

struct Command {
  enum class Action { OpenWindow, ShowHelp, ShowVersion, Import, Export, Check, Guide, Wrong };
  Action action = Action::OpenWindow;
  std::vector<std::string> files;  // playlists that the window opens after its start-up
  std::string playlist;            // the playlist that --import reads or --export writes
  std::string from;                // --export, --guide: a station file of the application folder
  CheckRequest check;
  std::string problem;  // why the command line is wrong
};

// Reads the arguments as the program got them, the program's own name first. Options of the
// window toolkit (-platform, -display, -style, ...) are let through for the window.
Command parseCommandLine(const std::vector<std::string>& arguments);

// The text that --help prints.
std::string helpText();

}  // namespace zelvo
