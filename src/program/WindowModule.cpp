// The window module: the QApplication, the Qt view and services and the composition, which the
// program loads only to open the window, so that its commands map none of QtWidgets.
#include <QApplication>

#include "program/Composition.h"
#include "library/AppFolder.h"
#include "platform/ModuleEntries.h"
#include "platform/posix/GbkCodec.h"
#include "platform/qt/QtEndSignals.h"
#include "platform/qt/WindowProcess.h"

ZELVO_MODULE_ENTRY int zelvoRunWindow(int& argc, char** argv, const zelvo::StationGroups& playlists,
                                      const std::vector<std::string>& guideAddresses) {
  zelvo::prepareWindowProcess();
  // The players' modules are loaded on other threads from the moment the window shows, while the
  // library loads: the codec must not wait for them.
  zelvo::prepareGbkCodec();
  QApplication app(argc, argv);
  QApplication::setApplicationName("zelvo");
  // Lets a desktop match the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName("org.zelvo.Zelvo");
  const std::string folder =
      zelvo::resolveAppFolder(QCoreApplication::applicationDirPath().toStdString());
  zelvo::ZelvoApplication zelvo(folder);
  // A logout, a system shut-down or Ctrl+C closes the window as its close box does.
  zelvo::QtEndSignals endSignals([&zelvo] { zelvo.requestUnload(); });
  zelvo.start();
  if (zelvo.endRequested()) return zelvo.exitStatus();
  zelvo.window().OpenStationGroups(playlists, guideAddresses);
  return app.exec();
}
