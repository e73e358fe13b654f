// The application object, the screen, DoEvents and End.
#include "forms/app.h"

#include <unistd.h>

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <chrono>
#include <cstdio>

#include "forms/qt_text.h"

namespace forms {
namespace {

struct AppState {
  std::string path;
  std::string title;
  std::string helpFile;
  int mousePointer = 0;
};

AppState& state() {
  static AppState app;
  return app;
}

}  // namespace

std::string appPath() { return state().path; }
void setAppPath(std::string_view windowsPath) {
  std::string path(windowsPath);
  // "C:\" keeps its "\"; other folders have none.
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  state().path = path;
}
std::string appTitle() { return state().title; }
void setAppTitle(std::string_view title) { state().title = std::string(title); }
std::string appHelpFile() { return state().helpFile; }
void setAppHelpFile(std::string_view path) { state().helpFile = std::string(path); }

int mousePointer() { return state().mousePointer; }

void setMousePointer(int pointer) {
  AppState& app = state();
  if (pointer == app.mousePointer) return;
  Qt::CursorShape shape = pointer == 11 ? Qt::WaitCursor : pointer == 13 ? Qt::BusyCursor : Qt::ArrowCursor;
  if (pointer == 0) {
    QApplication::restoreOverrideCursor();
  } else if (app.mousePointer == 0) {
    QApplication::setOverrideCursor(QCursor(shape));
  } else {
    QApplication::changeOverrideCursor(QCursor(shape));
  }
  app.mousePointer = pointer;
}

int screenWidth() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().width() : 800;
}

int screenHeight() {
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->geometry().height() : 600;
}

QFont fixedFont(int pointSize) {
  QFont font("Courier New", pointSize);
  font.setStyleHint(QFont::TypeWriter);
  if (!QFontInfo(font).fixedPitch()) {
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
  }
  return font;
}

void doEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void doEventsThrottled() {
  constexpr auto kInterval = std::chrono::milliseconds(10);
  static auto last = std::chrono::steady_clock::time_point{};
  const auto now = std::chrono::steady_clock::now();
  if (now - last < kInterval) return;
  doEvents();
  last = std::chrono::steady_clock::now();
}

void beep() { QApplication::beep(); }

void end(int exitCode) {
  // Nothing of the program runs any more: no unload handler, no destructor.
  std::fflush(nullptr);
  ::_exit(exitCode);
}

}  // namespace forms
