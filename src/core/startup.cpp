#include "core/startup.h"

#include <exception>

#include "core/discovery.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "windows/form1.h"
#include "windows/form2.h"

namespace core {

namespace {

std::function<void()>& programEnd() {
  static std::function<void()> end;
  return end;
}

void endProgram() {
  if (programEnd())
    programEnd()();
  else
    forms::end(0);
}

bool inProgramFolder(const char* name) {
  try {
    return !platform::findFiles(name, platform::kNormal).empty();
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

// Runs one statement of the start-up or the exit; whatever fails in it is
// skipped and the next statement runs.
template <typename F>
void ignoringErrors(F&& statement) {
  try {
    statement();
  } catch (const std::exception&) {
  }
}

}  // namespace

void setProgramEnd(std::function<void()> end) { programEnd() = std::move(end); }

void EndProgramNow() { endProgram(); }

bool exitRefused() {
  if (state().DiskJobRunning) return true;
  auto& main = windows::Form1();
  return !main.Command2.enabled() || !main.Command3.enabled();
}

void ExitProgram() {
  static bool exiting = false;
  bool refused = false;
  ignoringErrors([&] { refused = exitRefused(); });
  if (refused) return;
  if (exiting) {  // a window's unload entered again while the windows unload
    endProgram();
    return;
  }
  exiting = true;
  if (!state().NoSaveOnExit) ignoringErrors(SaveSettings);
  ignoringErrors(forms::doEvents);
  const auto loaded = forms::loadedForms();
  for (std::size_t i = loaded.size(); i-- > 1;) ignoringErrors([&] { loaded[i]->unload(); });
  exiting = false;
  endProgram();
}

void InitProgram() {
  ignoringErrors(DetectEnvironment);
  ignoringErrors(LoadSettings);
  ignoringErrors(enterProgramFolder);
  for (const char* program : {"zip.exe", "Unzip32.exe"}) {
    if (inProgramFolder(program)) continue;
    ignoringErrors([] {
      forms::msgBox(forms::loadResString(1028) + "\r" + forms::loadResString(1029), forms::vbCritical,
                    forms::loadResString(1005));
    });
    ExitProgram();
    return;
  }
  state().SettingsSaved = true;
  ignoringErrors([] { windows::Form2().ProgressBar1.setValue(50); });
}

}  // namespace core
