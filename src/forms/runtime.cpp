// Start of the runtime: the look, the quit rule, F1, the dialogs on screen.
#include <QApplication>

#include "forms/app.h"
#include "forms/classic_look.h"
#include "forms/help.h"
#include "forms/qt_dialogs.h"

namespace forms {

void initRuntime() {
  applyClassicLook();
  // Nothing is shown for a while during start-up: that must not end the program.
  QApplication::setQuitOnLastWindowClosed(false);
  installHelpKey();
  setDialogService(std::make_unique<QtDialogs>());
}

}  // namespace forms
