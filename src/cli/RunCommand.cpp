#include "cli/RunCommand.h"

#include <iostream>

#include "form/AppTitle.h"

namespace zelvo {

int runCommand(const Command& command) {
  switch (command.action) {
    case Command::Action::ShowHelp:
      std::cout << helpText() << std::flush;
      return kExitDone;
    case Command::Action::ShowVersion:
      std::cout << "zelvo " << kAppVersion << std::endl;
      return kExitDone;
    case Command::Action::Wrong:
      std::cerr << "zelvo: " << command.problem << "\nTry 'zelvo --help' for more information."
                << std::endl;
      return kExitWrongUsage;
    default:
      break;
  }
  std::cerr << "zelvo: this command needs the window." << std::endl;
  return kExitFailed;
}

}  // namespace zelvo
