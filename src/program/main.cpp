// Zelvo: finds television stations broadcast over the internet and plays them.
#include <QCoreApplication>
#include <iostream>

#include "program/WindowEntry.h"
#include "cli/CommandLine.h"
#include "cli/RunCommand.h"
#include "cli/WindowPlaylists.h"
#include "platform/ModuleEntries.h"
#include "platform/posix/ModuleLibrary.h"
#include "platform/posix/SessionHeap.h"
#include "platform/posix/StandardStreams.h"
#include "platform/xmltv/MakeGuideReader.h"

int main(int argc, char** argv) {
  zelvo::openClosedStandardStreams();
  // Commands that need no window run before anything of the window or the players exists.
  const zelvo::Command command = zelvo::parseCommandLine({argv, argv + argc});
  if (command.action != zelvo::Command::Action::OpenWindow) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName("zelvo");
    if (command.action == zelvo::Command::Action::Guide)
      return zelvo::runGuideCommand(command, *zelvo::makeGuideReader());
    return zelvo::runCommand(command);
  }
  zelvo::useOneHeapForTheSession();
  // The window and everything it shows come from its module, opened while the playlists are read.
  zelvo::ModuleOpening window(zelvo::kWindowModule.file, zelvo::kWindowModule.entry);
  window.begin();
  std::vector<std::string> guideAddresses;
  const auto playlists = zelvo::readWindowPlaylists(command.files, std::cerr, &guideAddresses);
  const zelvo::ModuleEntry& entry = window.entry();
  if (!entry.function) {
    std::cerr << "zelvo: the window cannot be loaded: " << entry.problem << std::endl;
    return zelvo::kExitFailed;
  }
  return reinterpret_cast<zelvo::RunWindow*>(entry.function)(argc, argv, playlists, guideAddresses);
}
