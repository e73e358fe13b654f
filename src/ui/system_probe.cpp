#include "ui/system_probe.h"

#include <string>

#include "core/inifile.h"
#include "core/settings.h"
#include "core/state.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "windows/form2.h"

namespace ui {

using forms::res;
namespace {

using F1 = windows::Form1Window;
using RR = windows::RestoreReqWindow;

// Registry pair System.dat and Classes.dat: one bar step, one step text.
constexpr ProbeRow kRows[] = {
    {"C:\\Autoexec.bat", false, false, " Autoexec.bat", &F1::Check8, &RR::Check1, true},
    {"C:\\Autoexec.dos", false, false, " Autoexec.dos", &F1::Check13, &RR::Check12, true},
    {"C:\\config.sys", false, false, " Config.sys", &F1::Check9, &RR::Check2, true},
    {"C:\\config.dos", false, false, " Config.dos", &F1::Check14, &RR::Check13, true},
    {"control.ini", true, false, " Control.ini", &F1::Check4, &RR::Check3, true},
    {"C:\\Msdos.sys", false, true, " Msdos.sys", &F1::Check10, &RR::Check4, true},
    {"Protocol.ini", true, false, " Protocol.ini", &F1::Check5, &RR::Check5, true},
    {"system.dat", true, true, " System.dat", &F1::Check7, &RR::Check6, true},
    {"Classes.dat", true, true, nullptr, &F1::Check11, &RR::Check25, false},
    {"System.ini", true, false, " System.ini", &F1::Check3, &RR::Check7, true},
    {"user.dat", true, true, " User.dat", &F1::Check6, &RR::Check8, true},
    {"win.ini", true, false, " Win.ini", &F1::Check2, &RR::Check9, false},
    {"c:\\dblspace.ini", false, false, " dblspace.ini", &F1::Check15, &RR::Check14, false},
    {"c:\\drvspace.ini", false, false, " drvspace.ini", &F1::Check16, &RR::Check15, false},
    {"c:\\drvspace.bin", false, true, " drvspace.bin", &F1::Check17, &RR::Check16, false},
    {"c:\\dblspace.bin", false, true, " dblspace.bin", &F1::Check12, &RR::Check24, false},
};

// Every action of the probe is guarded on its own: an error is logged with
// the current step text and "StartLogon", and the probe goes on.
class Probe {
 public:
  void run() {
    for (const ProbeRow& row : kRows) test(row);
    guard([&] {
      for (int value = bar().value(); value <= 100; ++value) bar().setValue(value);
    });
    guard([] { core::SaveSettings(); });
    guard([&] { bar().setValue(60); });
  }

 private:
  static forms::ProgressBar& bar() { return windows::Form2().ProgressBar1; }

  template <class Action>
  bool guard(Action&& action) {
    try {
      action();
      return true;
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error.number(), step_ + "StartLogon");
      return false;
    }
  }

  void test(const ProbeRow& row) {
    if (row.barStep) guard([&] { bar().setValue(bar().value() + 5); });
    if (row.stepName) step_ = res(1121) + row.stepName;
    bool present = false;
    guard([&] { present = exists(row); });
    forms::CheckBox& saveBox = windows::Form1().*row.saveBox;
    forms::CheckBox& restoreBox = windows::RestoreReq().*row.restoreBox;
    if (present) {
      guard([&] { saveBox.setEnabled(true); });
      guard([&] { restoreBox.setEnabled(true); });
      return;
    }
    guard([&] { saveBox.setValue(0); });
    guard([&] { saveBox.setEnabled(false); });
    guard([&] { restoreBox.setEnabled(false); });
    core::WriteErrorLog(0, step_ + " search file");
  }

  // This machine's own Windows folder (discovery found it before the probe).
  static std::string windowsFolder() {
    const core::State& st = core::state();
    return st.machine.SystemPath.empty() ? st.SystemPath : st.machine.SystemPath;
  }

  static bool exists(const ProbeRow& row) {
    std::string path = row.file;
    if (row.inWindows) path = windowsFolder() + "\\" + path;
    int mask = row.hiddenSystem ? platform::kHidden | platform::kSystem : platform::kNormal;
    return !platform::findFiles(path, mask).empty();
  }

  std::string step_;
};

}  // namespace

std::span<const ProbeRow> probeTable() { return kRows; }

void CheckSystemf() { Probe().run(); }

}  // namespace ui
