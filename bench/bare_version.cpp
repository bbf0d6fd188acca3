// The reference for the short commands: a bare QCoreApplication that prints a version and ends.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion("1.0");
  std::printf("bare %s\n", qPrintable(QCoreApplication::applicationVersion()));
  return 0;
}
