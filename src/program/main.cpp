// Zelvo: finds television stations broadcast over the internet and plays them.
#include <QCoreApplication>
#include <iostream>

#include "cli/CommandLine.h"
#include "cli/RunCommand.h"
#include "cli/WindowPlaylists.h"
#include "platform/ModuleSlot.h"
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
  // Before any thread starts: the allocator fixes its number of heaps when the first thread needs
  // one.
  zelvo::prepareSessionHeap();
  // The window and everything it shows come from its module, opened while the playlists are read.
  zelvo::EntrySlot<zelvo::RunWindow> window(zelvo::kWindowModule);
  window.onUnavailable = [](const std::string& problem) {
    std::cerr << "zelvo: " << zelvo::unavailable(zelvo::kWindowModule, problem) << std::endl;
  };
  window.preload();
  std::vector<std::string> guideAddresses;
  const auto playlists = zelvo::readWindowPlaylists(command.files, std::cerr, &guideAddresses);
  const auto* run = window.tryGet();
  if (!run) return zelvo::kExitFailed;
  return run->call(argc, argv, playlists, guideAddresses);
}
