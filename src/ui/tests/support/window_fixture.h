#pragma once
// The fixture of the main-window tests: a fresh demo machine, the program
// folder as App.Path, a fresh program state, every window's handlers, scripted
// dialogs, and every window unloaded again at the end.
#include <QCoreApplication>
#include <QEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "core/state.h"
#include "forms/app.h"
#include "forms/forms.h"
#include "forms/help.h"
#include "forms/scripted_dialogs_gtest.h"
#include "platform/vb_datetime.h"
#include "support/test_machine.h"
#include "ui/form1_frame.h"
#include "ui/handlers.h"
#include "windows/form2.h"

namespace uitest {

inline constexpr const char* kProgramFolder = "C:\\Program Files\\Kelvaran";

class UiTest : public forms::ScriptedDialogsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the splash with its start-up timer stopped (for tests of one step).
  static void loadSplashQuietly();
  // Loads a window without running its load handler.
  static void loadBare(forms::Form& form);
  // Every value the splash bar takes from now on (the splash is loaded first).
  const std::vector<int>& recordSplashBar();
  // The lines of the program folder's Error.log (none when there is no log).
  std::vector<std::string> errorLogLines() const;

  testsupport::TestMachine machine;
  QTemporaryDir lockFolder;  // the single-instance lock of this test

 private:
  std::vector<int> barValues_;
};

// Unloads every loaded window, the last loaded first, and deletes the widgets.
void unloadAllWindows();

inline void unloadAllWindows() {
  std::vector<forms::Form*> loaded = forms::loadedForms();
  for (auto it = loaded.rbegin(); it != loaded.rend(); ++it) (*it)->unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void UiTest::SetUp() {
  ScriptedDialogsTest::SetUp();
  static const bool bound = (ui::installHandlers(), true);
  (void)bound;
  core::resetState();
  forms::setInstanceLockFolder(lockFolder.path().toStdString());
  forms::setAppPath(kProgramFolder);
  forms::setAppTitle(ui::programTitle());
  platform::vb::setClock([] { return platform::DateTime{2026, 12, 9, 14, 35, 12}; });
}

inline void UiTest::TearDown() {
  unloadAllWindows();
  forms::closeHelp();
  platform::vb::setClock({});
  ScriptedDialogsTest::TearDown();
}

inline void UiTest::loadSplashQuietly() {
  windows::Form2().load();
  windows::Form2().Timer1.setEnabled(false);
}

inline void UiTest::loadBare(forms::Form& form) {
  auto onLoad = std::move(form.onLoad);
  form.onLoad = nullptr;
  form.load();
  form.onLoad = std::move(onLoad);
}

inline const std::vector<int>& UiTest::recordSplashBar() {
  auto* bar = qobject_cast<QProgressBar*>(windows::Form2().ProgressBar1.widget());
  QObject::connect(bar, &QProgressBar::valueChanged, bar, [this](int value) { barValues_.push_back(value); });
  return barValues_;
}

inline std::vector<std::string> UiTest::errorLogLines() const {
  const std::string log = std::string(kProgramFolder) + "\\Error.log";
  std::vector<std::string> lines;
  if (!machine.exists(log)) return lines;
  const std::string text = machine.read(log);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace uitest
