// The program: opens the machine it runs on (the demo machine, created from
// its template on first use, unless KELVARAN_MACHINE names another), starts
// the forms runtime and shows the splash, whose timer drives the start-up.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/animate.h"
#include "forms/app.h"
#include "forms/media_window.h"
#include "platform/error.h"
#include "platform/machine.h"
#include "platform/restart.h"
#include "ui/form1_frame.h"
#include "ui/handlers.h"
#include "windows/form1.h"
#include "windows/form2.h"

namespace {

// Where the program is installed on the machine.
constexpr const char* kProgramFolder = "C:\\Program Files\\Kelvaran";

// The source tree holds the demo machine's template: $KELVARAN_SOURCE_DIR, or
// the tree this file was compiled from.
std::filesystem::path sourceDir() {
  if (const char* dir = std::getenv("KELVARAN_SOURCE_DIR"); dir && *dir) return dir;
  return std::filesystem::path(__FILE__).parent_path().parent_path();
}

void openTheMachine() {
  const std::filesystem::path root = platform::defaultMachineRoot();
  if (!std::filesystem::exists(root)) {
    std::filesystem::create_directories(root.parent_path());
    platform::createMachineFromTemplate(sourceDir() / "demo" / "machine", root);
  }
  platform::openMachine(root);
  // A restart granted in the last run that the program ended before: the
  // machine starts again now, processing its WININIT.INI first.
  for (const std::string& line : platform::processPendingRestart())
    std::fprintf(stderr, "wininit: %s\n", line.c_str());
}

// What Windows does to the program when a restart is granted: the main window
// gets the shutdown close, so the program's exit runs and saves its settings.
void installRestartHooks() {
  platform::RestartHooks hooks;
  hooks.closeWindows = [] { windows::Form1().unloadForShutdown(); };
  platform::setRestartHooks(std::move(hooks));
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  try {
    openTheMachine();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kelvaran: cannot open the machine %s: %s\n",
                 platform::defaultMachineRoot().string().c_str(), error.what());
    return 1;
  }
  forms::initRuntime();
  forms::installStandInWindows();
  installRestartHooks();
  forms::setAppPath(kProgramFolder);
  forms::setAppTitle(ui::programTitle());
  ui::installHandlers();
  core::InstallAnimateHandlers();
  windows::Form2().show();
  return app.exec();
}
