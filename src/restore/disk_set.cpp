#include "restore/disk_set.h"

#include <algorithm>
#include <stdexcept>

#include "core/animate.h"
#include "core/disk_blocks.h"
#include "core/disk_check.h"
#include "core/disk_join.h"
#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/vb.h"
#include "platform/vbfile.h"
#include "platform/zip_directory.h"
#include "restore/restore_boxes.h"
#include "windows/animate.h"
#include "windows/form1.h"

namespace restore {

namespace {

using forms::loadResString;

constexpr int kMaxParts = 99;

// One row of the copy window: the progress value, the label, whether the
// group is wanted, and its archive with its [SplitLog] block.
struct JoinRow {
  int progress;
  int label;
  bool wanted;
  const char* suffix;
  int block;  // File<block>
};

// A joined archive is whole when it can be read as an archive (a truncated
// one lacks the directory at its end).
bool completeArchive(const std::string& path) {
  if (!platform::fileExists(path)) return false;
  try {
    platform::zipdir::readMembers(platform::hostPath(path));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

int ClampPartCount(int recorded) { return std::clamp(recorded, 0, kMaxParts); }

bool FetchDiskSet(const LoadedConfiguration& loaded) {
  auto& st = core::state();
  // The joins empty the disk-restore folder when they are cancelled: only the
  // program's own folder may be that.
  st.DiskRestorePath = loaded.DiskRestorePath;
  if (!platform::equalsNoCase(st.DiskRestorePath, core::ProgramDiskRestoreFolder())) {
    CancelRestore();
    return false;
  }
  const std::string& removableFolder = loaded.SaveFolder;
  st.DiskNo = 0;  // the set is read from its first disk on

  const std::string root = platform::vb::left(removableFolder, 3);
  for (;;) {
    const int answer =
        forms::msgBox(loadResString(1195) + " " + std::to_string(st.DiskNo + 1) + loadResString(1196),
                      forms::vbOKCancel + forms::vbInformation, loadResString(1011));
    if (answer == forms::vbCancel) {
      CancelRestore();
      return false;
    }
    if (core::CheckDisk(root)) break;
  }

  core::InstallAnimateHandlers();
  auto& window = windows::Animate();
  forms::doEvents();
  window.show();
  forms::doEvents();
  window.ProgressBar1.setMax(8);

  const JoinRow rows[] = {
      {1, 1232, SystemBoxTicked(), "", 1}, {2, 1233, UserFileSelected(), "us", 2},
      {3, 1236, Ticked(20), "s", 3},       {4, 1234, Ticked(19), "mc", 4},
      {5, 1234, Ticked(11), "mb", 5},      {6, 1234, Ticked(18), "ma", 6},
      {7, 1234, Ticked(21), "mx", 7},      {8, 1235, Ticked(10) || Ticked(22) || Ticked(23), "na", 8},
      {8, 1235, Ticked(17), "nw", 9},
  };
  for (const JoinRow& row : rows) {
    window.ProgressBar1.setValue(row.progress);
    window.Label1.setCaption(loadResString(row.label));
    if (!row.wanted) continue;
    const std::string name = "Conf" + std::to_string(loaded.slot) + row.suffix + ".kvz";
    const std::string target = st.DiskRestorePath + name;
    const int parts = ClampPartCount(loaded.SplitDisk(row.block));
    const bool joined = core::ConcatSplitFile(removableFolder + name, target, parts);
    if (!joined || !completeArchive(target)) {
      CancelRestore();
      return false;
    }
  }
  window.unload();
  return true;
}

void CancelRestore() {
  auto& st = core::state();
  forms::msgBox(loadResString(1237), forms::vbOKOnly, "");
  st.RestoreDone = false;
  windows::Animate().unload();
  forms::doEvents();
  windows::Form1().Command3.setEnabled(true);
  windows::Form1().Command4.setEnabled(false);
  core::CloseJoinFiles();
  platform::vb::closeAll();
  EmptyDiskRestore();
  forms::doEvents();
}

void EmptyDiskRestore() {
  core::DeleteDiskRestoreFiles();
  core::state().DiskRestorePath.clear();
}

}  // namespace restore
