// The reference for the window's start-up and memory: a bare Qt Widgets window whose only
// content is a drop-down holding as many names as the station list can hold (32,767).
#include <QApplication>
#include <QComboBox>
#include <QStringList>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("bare window");
  window.resize(760, 540);
  auto* stations = new QComboBox(&window);
  stations->setEditable(true);
  stations->setGeometry(10, 10, 300, 24);
  QStringList names;
  names.reserve(32767);
  for (int i = 0; i < 32767; ++i) names << QString("电视台 %1").arg(i);
  stations->addItems(names);
  window.show();
  return app.exec();
}
