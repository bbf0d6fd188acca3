// Zelvo: finds television stations broadcast over the internet and plays them.
#include <QApplication>
#include <iostream>

#include "Composition.h"
#include "app/AppFolder.h"
#include "cli/CommandLine.h"
#include "cli/RunCommand.h"
#include "cli/WindowPlaylists.h"
#include "platform/posix/StandardStreams.h"
#include "platform/qt/QtEndSignals.h"

int main(int argc, char** argv) {
  zelvo::openClosedStandardStreams();
  // Commands that need no window run before anything of the window or the players exists.
  const zelvo::Command command = zelvo::parseCommandLine({argv, argv + argc});
  if (command.action != zelvo::Command::Action::OpenWindow) {
    QCoreApplication core(argc, argv);
    QCoreApplication::setApplicationName("zelvo");
    return zelvo::runCommand(command);
  }
  zelvo::prepareProcess();
  QApplication app(argc, argv);
  QApplication::setApplicationName("zelvo");
  // Lets a desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("org.zelvo.Zelvo");
  const std::string folder =
      zelvo::resolveAppFolder(QCoreApplication::applicationDirPath().toStdString());
  zelvo::ZelvoApplication zelvo(folder);
  // A logout, a system shut-down or Ctrl+C closes the window as its close box does.
  zelvo::QtEndSignals endSignals([&zelvo] { zelvo.requestUnload(); });
  const auto playlists = zelvo::readWindowPlaylists(command.files, std::cerr);
  zelvo.start();
  if (zelvo.endRequested()) return zelvo.exitStatus();
  zelvo.window().OpenStationGroups(playlists);
  return app.exec();
}
