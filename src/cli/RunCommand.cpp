#include "cli/RunCommand.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <iostream>

#include "library/AppFolder.h"
#include "check/StationCheckCommand.h"
#include "cli/GuideCommand.h"
#include "cli/PlaylistCommands.h"
#include "form/AppTitle.h"
#include "platform/posix/GbkTextFiles.h"

namespace zelvo {

namespace {

std::string appFolder() {
  return resolveAppFolder(QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace

int runCommand(const Command& command) {
  GbkTextFiles files;
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
    case Command::Action::Import:
      return runImport(files, command.playlist, appFolder(), std::cout, std::cerr);
    case Command::Action::Export:
      return runExport(files, command.playlist, command.from, appFolder(), std::cout, std::cerr);
    case Command::Action::Check:
      return runStationCheck(command.check);
    case Command::Action::Guide:
      std::cerr << "zelvo: --guide needs the programme guide reader." << std::endl;
      return kExitFailed;
    default:
      break;
  }
  std::cerr << "zelvo: this command needs the window." << std::endl;
  return kExitFailed;
}

int runGuideCommand(const Command& command, GuideReader& reader) {
  GbkTextFiles files;
  GuideCommandOptions options;
  options.stationFile = command.from;
  options.appFolder = appFolder();
  options.showProgress = isatty(STDERR_FILENO) == 1;
  return runGuide(
      files, reader, [] { QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents); },
      options, std::cout, std::cerr);
}

}  // namespace zelvo
