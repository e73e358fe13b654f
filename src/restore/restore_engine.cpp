// The restore run, step by step. RestoreConfiguration prepares the run (the
// restart question, the Wininit.exe check, the working folder, the archives'
// folder, the disk set), then calls one step function per group, in order:
//
//   RestoreSystemArchive   system archive into the working folder, then the
//                          [rename] lines (WriteWininitRename) and the root files
//   RestoreFileGroups      user-defined files, Start menu, browser and mail
//                          (restore/group_restore.h)
//
// Each step gets the archives' folder, the slot number and the folders of the
// run (GroupFolders), sets RestoreDone only when its unzip run succeeded,
// RestoreLeftOut when something chosen did not come back, and answers
// StepEnd::Abort when the user chose to stop. Then the end of the run:
// settings, restart or cleanup, closing message.
#include "restore/restore_engine.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/pause.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/status_bar.h"
#include "core/wininit_pending.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "restore/disk_set.h"
#include "restore/group_restore.h"
#include "restore/loaded_configuration.h"
#include "restore/reboot.h"
#include "restore/restore_boxes.h"
#include "restore/system_restore.h"
#include "restore/wininit.h"
#include "windows/form1.h"
#include "windows/reboot.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

using forms::loadResString;

constexpr char kCr = '\r';
constexpr int kHourglass = 11;

using core::setStatus;

// Runs one statement of the run; an error is logged with the step's context and the run goes on.
template <typename F>
void logged(F&& statement) {
  try {
    statement();
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, " Restore");
  }
}

bool askRestart() {
  const std::string text = loadResString(1014) + kCr + loadResString(1015) + kCr + loadResString(1016) + kCr +
                           kCr + loadResString(1248);
  return forms::msgBox(text, forms::vbYesNo + forms::vbCritical + forms::vbDefaultButton2,
                       loadResString(1005)) == forms::vbYes;
}

// Is `name` (a file of the working folder) one that `kept` names, by its
// long or its 8.3 name?
bool isKept(const platform::DirEntry& entry, const std::vector<std::string>& kept) {
  return std::any_of(kept.begin(), kept.end(), [&](const std::string& name) {
    return platform::equalsNoCase(name, entry.name) ||
           (!entry.shortName.empty() && platform::equalsNoCase(name, entry.shortName));
  });
}

// Deletes the files of `folder` but the `kept` ones; true when it kept none.
bool emptyFolder(const std::string& folder, const std::vector<std::string>& kept) {
  bool none = true;
  logged([&] {
    for (const auto& e :
         platform::findFiles(folder + "*.*", platform::kHidden | platform::kSystem | platform::kReadOnly)) {
      if (e.attributes & platform::kDirectory) continue;
      if (isKept(e, kept)) {
        none = false;
        continue;
      }
      platform::setAttr(folder + e.name, platform::kNormal);
      platform::kill(folder + e.name);
    }
  });
  return none;
}

// The working folder exists and holds no file of an earlier run (a User
// sub-folder stays), but the copies a pending [rename] line still names.
void prepareWorkFolder(const std::string& tempDir, const std::string& workFolder,
                       const std::vector<std::string>& pending) {
  logged([&] {
    if (!platform::folderExists(tempDir)) platform::mkDir(tempDir);
  });
  logged([&] {
    if (!platform::folderExists(workFolder)) platform::mkDir(workFolder);
  });
  emptyFolder(workFolder, pending);
}

// The working folder goes, unless a pending [rename] line still names a copy in it.
void removeWorkFolder(const std::string& workFolder, const std::vector<std::string>& pending) {
  for (const std::string& folder : {workFolder + "User\\", workFolder}) {
    if (!emptyFolder(folder, pending)) continue;
    logged([&] {
      if (platform::folderExists(folder)) platform::rmDir(folder);
    });
  }
}

// A run stopped at a question or a failure: the main window usable again.
void abortRun() {
  windows::Form1().Command3.setEnabled(true);
  forms::setMousePointer(0);
  logged(EmptyDiskRestore);
}

void progressToHalf() {
  forms::ProgressBar& bar = windows::Form1().ProgressBar2;
  for (int v = bar.value(); v <= 50; ++v) {
    core::Pause(1);
    bar.setValue(v);
  }
}

void endRun(const std::string& workFolder, const std::vector<std::string>& pending) {
  core::State& st = core::state();
  windows::Form1Window& f = windows::Form1();
  forms::setMousePointer(0);
  logged([&] {
    f.ProgressBar2.setValue(0);
    setStatus(loadResString(1023));
    f.Command3.setEnabled(true);
    f.Label3.setVisible(true);
  });
  st.RestorePending = true;
  logged(EmptyDiskRestore);
  if (!st.ImportMode) logged(core::SaveSettings);
  st.ImportMode = false;
  // Success only when everything chosen is back. A run that left something
  // out says so before the restart, which would close the program unseen.
  const int closing = st.RestoreDone && !st.RestoreLeftOut ? 1151 : 1245;
  const bool toldFirst = st.RebootNeeded && closing != 1151;
  if (st.RebootNeeded) {
    if (toldFirst) forms::msgBox(loadResString(closing), forms::vbOKOnly, "");
    logged([] { windows::Reboot().show(); });
    RebootWindows();
  } else {
    removeWorkFolder(workFolder, pending);
  }
  logged([] { windows::RestoreReq().hide(); });
  forms::doEvents();
  if (!toldFirst) forms::msgBox(loadResString(closing), forms::vbOKOnly, "");
}

// The copies of the working folder that a [rename] line of an earlier run
// still names and this run does not replace: they stay as they are.
std::vector<std::string> pendingNotReplaced(const std::vector<std::string>& pending) {
  std::vector<std::string> kept;
  for (const std::string& name : pending) {
    const bool replaced = std::any_of(
        std::begin(kWindowsFiles), std::end(kWindowsFiles),
        [&](const WindowsFile& file) { return Ticked(file.box) && platform::equalsNoCase(name, file.name); });
    if (!replaced) kept.push_back(name);
  }
  return kept;
}

}  // namespace

void RestoreConfiguration() {
  core::State& st = core::state();
  const LoadedConfiguration& loaded = loadedConfiguration();
  windows::Form1Window& f = windows::Form1();
  // This machine's folders: the restored files go here, whatever the description says.
  const std::string windowsFolder = st.machine.SystemPath.empty() ? st.SystemPath : st.machine.SystemPath;
  const std::string workFolder = st.TempDir + "kelvaran\\";
  const bool systemFiles = SystemBoxTicked();

  if (systemFiles) {
    if (!askRestart()) return;
    windows::RestoreReq().hide();
    if (!CheckWininitExe(windowsFolder)) return;
  }
  st.RebootNeeded = false;
  setStatus(loadResString(1018) + loadResString(1019));
  f.Command3.setEnabled(false);
  logged(core::enterProgramFolder);
  forms::setMousePointer(kHourglass);
  // Copies an earlier restore left for Windows' next start stay until then.
  const std::vector<std::string> pending = core::WininitSourcesIn(windowsFolder, workFolder);
  prepareWorkFolder(st.TempDir, workFolder, pending);
  logged(core::enterProgramFolder);
  st.RestoreDone = false;
  st.RestoreLeftOut = false;

  std::string archiveFolder = platform::withTrailingBackslash(loaded.SaveFolder);
  if (!loaded.DiskRestorePath.empty()) {
    if (!FetchDiskSet(loaded)) {
      forms::setMousePointer(0);
      return;
    }
    archiveFolder = loaded.DiskRestorePath;
  }
  // ---- system files ---------------------------------------------------------
  bool systemUnpacked = false;
  if (systemFiles) {
    const GroupEnd system =
        RestoreSystemArchive(archiveFolder, loaded.slot, workFolder, pendingNotReplaced(pending));
    if (system.end == StepEnd::Abort) return abortRun();
    systemUnpacked = system.restored;
    if (system.restored) {
      try {
        st.RebootNeeded = WriteWininitRename(windowsFolder, workFolder) > 0;
      } catch (const platform::RuntimeError& error) {
        core::WriteErrorLog(error, " Restore");
        forms::msgBox(loadResString(1237), forms::vbOKOnly, "");
        st.RestoreDone = false;
        return abortRun();
      }
    }
  }
  progressToHalf();
  setStatus(loadResString(1022));
  // Root files only from a fresh unpack: the working folder holds nothing else.
  if (systemUnpacked && RestoreRootFiles(workFolder)) st.RebootNeeded = true;
  if (systemFiles) NoteSystemFilesLeftOut(windowsFolder, workFolder, systemUnpacked);

  // The other groups, in their order.
  if (RestoreFileGroups(archiveFolder, loaded) == StepEnd::Abort) return abortRun();

  endRun(workFolder, pending);
}

}  // namespace restore
