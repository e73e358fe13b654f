#include "core/disk_join.h"

#include "core/animate.h"
#include "core/disk_blocks.h"
#include "core/disk_check.h"
#include "core/disk_names.h"
#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"

namespace core {
namespace {

using platform::RuntimeError;
namespace vb = platform::vb;

// The join's files: the target stays open across the parts, each part is
// opened, copied and closed.
platform::File& joinTarget() {
  static platform::File file;
  return file;
}
platform::File& joinPart() {
  static platform::File file;
  return file;
}
std::string& joinTargetPath() {
  static std::string path;
  return path;
}

using forms::res;

bool onDisk(const std::string& path) { return !platform::findNames(path).empty(); }

// A join the user gave up: nothing half-joined may stay behind.
bool cancelJoin(const std::string& target) {
  CloseJoinFiles();
  DeleteFileQuietly(target);
  DeleteDiskRestoreFiles();
  return false;
}

// A join that failed at a block: the partial target goes.
bool failJoin(const std::string& target) {
  CloseJoinFiles();
  DeleteFileQuietly(target);
  return false;
}

// The disk in the drive holds the file just found: a label ending in a number
// tells which disk of the set it is.
void followDiskLabel(const std::string& path) {
  if (const auto number = TrailingNumber(state().SysInfo.VolumeLabel(vb::left(path, 3)))) {
    state().DiskNo = static_cast<std::uint8_t>(*number);
  }
}

// Asks for disk `diskNumber` until `path` is on the disk in the drive; false on Cancel.
bool askForDisk(const std::string& path, int diskNumber) {
  HideAnimateForPrompt();
  do {
    const int answer = forms::msgBox(res(1195) + vb::str(diskNumber) + res(1196),
                                     forms::vbOKCancel + forms::vbInformation, res(1011));
    if (answer == forms::vbCancel) return false;
  } while (!CheckDisk(path));
  forms::doEvents();
  return true;
}

// Runs one statement of the join. On an error (as a rule no readable disk)
// the user is asked for the first disk and the statement runs again; false
// when the user cancels.
template <class Statement>
bool joinStatement(const std::string& source, Statement&& statement) {
  for (;;) {
    try {
      statement();
      return true;
    } catch (const RuntimeError&) {
      HideAnimateForPrompt();
      do {
        const int answer = forms::msgBox(res(1242), forms::vbOKCancel + forms::vbInformation, res(1011));
        if (answer == forms::vbCancel) return false;
      } while (!CheckDisk(vb::left(source, 3)));
      forms::doEvents();
      ShowAnimateAfterPrompt();
    }
  }
}

bool copyWhole(const std::string& source, const std::string& target) {
  forms::doEvents();
  auto& s = state();
  if (!joinStatement(source, [&] { s.BytesToCopy = static_cast<std::int32_t>(platform::fileLen(source)); })) {
    return cancelJoin(target);
  }
  return TransferWholeFile(source, target, WholeCopyReport(source));
}

bool joinParts(const std::string& source, const std::string& target, int parts) {
  auto& s = state();
  if (!joinStatement(source, [&] { OpenJoinTarget(target); })) return cancelJoin(target);
  forms::doEvents();
  for (int part = 1; part <= parts; ++part) {
    ++s.DiskNo;
    const std::string partName = PartFileName(source, part);
    bool present = false;
    if (!joinStatement(source, [&] { present = onDisk(partName); })) return cancelJoin(target);
    if (!present && !askForDisk(partName, s.DiskNo)) return cancelJoin(target);
    followDiskLabel(partName);
    ShowAnimateAfterPrompt();
    bool appended = false;
    if (!joinStatement(source, [&] { appended = AppendFilePart(partName); })) return cancelJoin(target);
    if (!appended) return failJoin(target);
    forms::doEvents();
  }
  CloseJoinFiles();
  return true;
}

}  // namespace

std::string ProgramDiskRestoreFolder() { return forms::appPath() + "\\DiskRestore\\"; }

void DeleteDiskRestoreFiles() {
  const std::string& folder = state().DiskRestorePath;
  if (folder.empty() || !platform::equalsNoCase(folder, ProgramDiskRestoreFolder())) return;
  try {
    for (const auto& entry : platform::findNames(folder + "*.*", platform::kHidden | platform::kSystem)) {
      if ((entry.attributes & platform::kDirectory) == 0) DeleteFileQuietly(folder + entry.name);
    }
  } catch (const RuntimeError&) {
  }
}

void CloseJoinFiles() {
  joinPart().close();
  joinTarget().close();
  joinTargetPath().clear();
}

void OpenJoinTarget(const std::string& target) {
  Makepath(target);
  CloseJoinFiles();
  DeleteFileForced(target);
  joinTarget() = platform::File(target, platform::File::Mode::Write);
  joinTargetPath() = target;
}

bool AppendFilePart(const std::string& partName) {
  auto& s = state();
  s.BytesToCopy = static_cast<std::int32_t>(platform::fileLen(partName));
  const CopyErrorHandler onError = [&partName](const RuntimeError& error) {
    forms::msgBox(AppendPartErrorText(state().CopyStep, partName, error.number()), forms::vbCritical,
                  res(1005));
    return CopyChoice::GiveUp;
  };
  auto& part = joinPart();
  s.CopyStep = 1;
  bool ok = RunStatement(
      [&] {
        if (!joinTarget().isOpen()) platform::raise(platform::kBadFileNameOrNumber);
        part = platform::File(partName, platform::File::Mode::Read);
      },
      onError);
  ok = ok && CopyBlocks(part, joinTarget(), onError, {.yieldAfterBlock = false});
  part.close();
  return ok;
}

bool ConcatSplitFile(const std::string& source, const std::string& target, int parts) {
  InstallAnimateHandlers();
  auto& s = state();
  const std::string folder = target.substr(0, target.size() - GetFileName(target).size());
  if (!platform::folderExists(folder)) Makepath(target);

  bool whole = false;
  if (!joinStatement(source, [&] { whole = onDisk(source); })) return cancelJoin(target);
  if (parts == 0) {
    if (!whole) {
      if (!askForDisk(source, s.DiskNo + 1)) return cancelJoin(target);
      whole = true;
    }
    ShowAnimateAfterPrompt();
  }
  if (whole) {
    followDiskLabel(source);
    return copyWhole(source, target);
  }
  if (parts < 0) return failJoin(target);
  return joinParts(source, target, parts);
}

}  // namespace core
