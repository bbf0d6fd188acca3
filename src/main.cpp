// Zelvo: finds television stations broadcast over the internet and plays them.
#include <QApplication>

#include "Composition.h"
#include "app/AppFolder.h"
#include "platform/qt/QtEndSignals.h"

int main(int argc, char** argv) {
  zelvo::prepareProcess();
  QApplication app(argc, argv);
  QApplication::setApplicationName("zelvo");
  const std::string folder =
      zelvo::resolveAppFolder(QCoreApplication::applicationDirPath().toStdString());
  zelvo::ZelvoApplication zelvo(folder);
  // A logout, a system shut-down or Ctrl+C closes the window as its close box does.
  zelvo::QtEndSignals endSignals([&zelvo] { zelvo.requestUnload(); });
  zelvo.start();
  if (zelvo.endRequested()) return zelvo.exitStatus();
  return app.exec();
}
