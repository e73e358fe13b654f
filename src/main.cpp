#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel window("Kelvaran");
  window.resize(320, 120);
  window.show();
  return app.exec();
}
