#include "rescue/snapshot.h"

#include <array>

#include "core/inifile.h"
#include "core/paths.h"
#include "core/runner.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/wininit_pending.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "save/save_messages.h"
#include "save/slot_commit.h"
#include "windows/form1.h"
#include "windows/selwiz.h"

namespace rescue {
namespace {

namespace vb = platform::vb;
using platform::RuntimeError;

using forms::res;

constexpr char kArchive[] = "Configd.kvz";
constexpr char kWindowsMe[] = "4.90.3000";

bool g_lastSnapshotMade = false;

// One system file of the snapshot: the name used in log lines, where it lives
// (C:\ or the Windows folder), its staged name, and whether the bar steps
// before it is copied.
struct SnapshotRow {
  const char* display;
  bool inWindows;
  const char* file;
  bool step;
};

constexpr std::array<SnapshotRow, 15> kRows{{
    {"Autoexec.bat", false, "autoexec.bat", true},
    {"Autoexec.dos", false, "autoexec.dos", true},
    {"Config.sys", false, "config.sys", true},
    {"Config.dos", false, "config.dos", true},
    {"Msdos.sys", false, "msdos.sys", true},
    {"System.ini", true, "system.ini", true},
    {"Protocol.ini", true, "protocol.ini", true},
    {"Control.ini", true, "control.ini", true},
    {"User.dat", true, "user.dat", true},
    {"System.dat", true, "system.dat", true},
    {"Classes.dat", true, "classes.dat", true},  // Windows Me only
    {"Win.ini", true, "win.ini", false},
    {"dblspace.ini", false, "dblspace.ini", true},
    {"drvspace.ini", false, "drvspace.ini", true},
    {"drvspace.bin", false, "drvspace.bin", true},
}};

std::string workFolder() { return core::state().TempDir + "kelvaran\\"; }

// Quiet mode: whatever fails is skipped without a word.
template <class Statement>
void quietly(Statement&& statement) {
  try {
    statement();
  } catch (const RuntimeError&) {
  }
}

// Folder mode: the error is logged; a folder that exists already goes on, any
// other error asks whether to go on. False when the user said No: the
// program ends.
template <class Statement>
bool folderStatement(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const RuntimeError& error) {
    core::WriteErrorLog(error, " Save");
    if (error.number() == platform::kPathFileAccess) return true;
    const int answer = forms::msgBox(res(1039) + "\r\r" + res(1081) + vb::str(error.number()),
                                     forms::vbYesNo + forms::vbCritical, res(1011));
    if (answer == forms::vbNo) {
      core::EndProgramNow();
      return false;
    }
    return true;
  }
}

void resetBars() {
  quietly([] { windows::SelWiz().ProgressBar1.setValue(0); });
  quietly([] { windows::Form1().ProgressBar1.setValue(0); });
  quietly([] { windows::Form1().ProgressBar2.setValue(0); });
}

void raiseBar(int by) {
  auto& bar = windows::SelWiz().ProgressBar1;
  bar.setValue(std::min(bar.value() + by, bar.max()));
}

// The staging of the system files (copy mode): a file that cannot be copied
// is logged and left out of the archive.
void copySystemFiles() {
  const auto& s = core::state();
  const bool windowsMe = windows::Form1().Label7.caption() == kWindowsMe;
  const std::string target = workFolder();
  for (const SnapshotRow& row : kRows) {
    if (row.step) quietly([] { raiseBar(10); });
    if (std::string_view(row.file) == "classes.dat" && !windowsMe) continue;
    const std::string source = (row.inWindows ? s.machine.SystemPath + "\\" : std::string("C:\\")) + row.file;
    try {
      platform::fileCopy(source, target + row.file);
    } catch (const RuntimeError& error) {
      core::WriteErrorLog(error, std::string(row.display) + " Wizard Configuration Save");
    }
  }
}

// zip's run; true when it made the archive. A failure is logged and shown,
// and no archive is left.
bool packSnapshot() {
  auto& s = core::state();
  quietly([] { platform::kill(kArchive); });
  s.CommandLine = SnapshotCommandLine(s.CompressionLevel, s.TempDir);
  s.ShellCommand = s.CommandLine;
  int exitCode = 0, error = 0;
  try {
    exitCode = core::ShellAndWait(s.ShellCommand);
  } catch (const RuntimeError& e) {
    error = e.number();
  }
  const bool made = error == 0 && exitCode == 0 && platform::fileExists(SnapshotPath());
  if (made) return true;
  core::WriteErrorLog(error ? error : platform::kDeviceIoError,
                      std::string(kArchive) + " exit" + vb::str(exitCode) + " Wizard Configuration Save");
  quietly([] { platform::kill(SnapshotPath()); });
  save::ShowArchiveFailed(kArchive, error);
  return false;
}

void finish() {
  forms::setMousePointer(0);
  resetBars();
  quietly([] { windows::SelWiz().unload(); });
  forms::doEvents();
}

}  // namespace

std::string SnapshotCommandLine(std::string_view compressionLevel, std::string_view tempDir) {
  return "zip.exe -" + vb::trim(compressionLevel) + "gqouS " + kArchive + " " + std::string(tempDir) +
         "kelvaran\\*.*";
}

std::string SnapshotPath() { return forms::appPath() + "\\" + kArchive; }

bool RestoreWaitsForRestart() {
  return core::WininitMovesFrom(core::state().machine.SystemPath, workFolder());
}

void SaveData() {
  auto& s = core::state();
  g_lastSnapshotMade = false;
  forms::setMousePointer(11);
  if (RestoreWaitsForRestart()) {
    forms::msgBox(res(1078), forms::vbOKOnly + forms::vbExclamation, res(1011));
    finish();
    return;
  }
  save::RemoveTree(workFolder(), true);

  if (!folderStatement([&] {
        if (!platform::folderExists(s.TempDir)) core::Makepath(s.TempDir);
      }) ||
      !folderStatement([&] {
        if (!platform::folderExists(workFolder()))
          platform::mkDir(vb::left(workFolder(), workFolder().size() - 1));
      }) ||
      !folderStatement(core::enterProgramFolder)) {
    finish();  // the program has ended; a test that kept it running gets the window back
    return;
  }

  copySystemFiles();
  const bool made = packSnapshot();
  quietly([] {
    auto& bar = windows::SelWiz().ProgressBar1;
    for (int v = bar.value(); v <= bar.max(); ++v) bar.setValue(v);
  });
  save::RemoveTree(workFolder(), true);
  g_lastSnapshotMade = made;
  finish();
}

bool TakeSnapshot() {
  g_lastSnapshotMade = false;
  windows::SelWiz().show(forms::Modal);
  return g_lastSnapshotMade && platform::fileExists(SnapshotPath());
}

void bindSnapshot() {
  auto& window = windows::SelWiz();
  // Each loading runs the snapshot once, at the first activation.
  static bool pending = false;
  auto previous = std::move(window.onLoad);
  window.onLoad = [previous] {
    if (previous) previous();
    pending = true;
  };
  window.onActivate = [] {
    if (!pending) return;
    pending = false;
    auto& w = windows::SelWiz();
    w.Label2.setCaption(res(1098) + "\r" + res(1019));
    w.refresh();
    SaveData();
  };
}

}  // namespace rescue
