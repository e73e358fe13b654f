#include "core/disk_copy.h"

#include <algorithm>

#include "core/animate.h"
#include "core/disk_blocks.h"
#include "core/disk_check.h"
#include "core/disk_names.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"

namespace core {
namespace {

using platform::RuntimeError;
namespace vb = platform::vb;

using forms::res;

std::string folderOf(const std::string& path) {
  return path.substr(0, path.size() - GetFileName(path).size());
}

// Deletes the stale copies of `target` on the disk in its drive before part
// `fromPart` of it (1: the whole file or its first part) is written.
void removeStaleCopies(const std::string& target, int fromPart) {
  const std::string name = GetFileName(target);
  if (name.empty()) return;
  const std::string folder = folderOf(target);
  const auto entries = platform::findNames(folder + name.substr(0, name.size() - 1) + "*",
                                           platform::kHidden | platform::kSystem);
  for (const auto& entry : entries) {
    if ((entry.attributes & platform::kDirectory) == 0 && IsStaleCopy(entry.name, target, fromPart)) {
      DeleteFileForced(folder + entry.name);
    }
  }
}

// The split's handler: Abort, Retry or Ignore; Retry runs the failed statement
// again, the other two end the split.
CopyErrorHandler splitHandler(const std::string& source) {
  return [source](const RuntimeError& error) {
    const int answer =
        forms::msgBox(SplitErrorText(state().CopyStep, source, error.number()),
                      forms::vbAbortRetryIgnore + forms::vbExclamation + forms::vbDefaultButton2, "");
    return answer == forms::vbRetry ? CopyChoice::Retry : CopyChoice::GiveUp;
  };
}

// Asks for the next disk of the set until one is accepted, then labels it
// with the next number of the set and counts it.
void takeNextDisk(std::string& prompt) {
  auto& s = state();
  const std::string root = vb::left(s.SpanTargetRoot, 3);
  forms::doEvents();
  const std::string label = s.SysInfo.VolumeLabel(root);
  forms::doEvents();
  const auto nextLabel = NextVolumeLabel(label);
  if (!nextLabel) WriteErrorLog(platform::kTypeMismatch, label + " VolumeLabel");
  HideAnimateForPrompt();
  do {
    if (prompt.empty()) prompt = res(1195) + vb::str(s.DiskNo + 1) + res(1196);
    forms::msgBox(prompt, forms::vbOKOnly);
    prompt.clear();
  } while (!CheckDiskEmpty(root));
  forms::doEvents();
  if (nextLabel) platform::setVolumeLabel(root, *nextLabel);
  forms::doEvents();
  ++s.DiskNo;
  ShowAnimateAfterPrompt();
  forms::doEvents();
}

bool sameFile(const std::string& a, const std::string& b) {
  try {
    return vb::equalsNoCase(platform::fullPath(a), platform::fullPath(b));
  } catch (const RuntimeError&) {
    return false;
  }
}

}  // namespace

bool MoveFileToDisk(const std::string& source, const std::string& targetFolder, std::string prompt) {
  auto& s = state();
  s.PartNo = 0;
  const std::string target = targetFolder + GetFileName(source);
  if (!CheckDisk(vb::left(target, 3))) return false;
  if (sameFile(source, target)) return true;  // already where it belongs

  std::int64_t size = 0, needed = 0;
  std::int32_t free = 0;
  try {
    size = platform::fileLen(source);
    removeStaleCopies(target, 1);
    needed = RoundToAllocUnit(size, targetFolder);
    free = s.SysInfo.FastDiskSpace(targetFolder);
  } catch (const RuntimeError& error) {
    forms::msgBox(MoveErrorText(error.number()), forms::vbCritical, res(1005));
    return false;
  }
  const bool copied =
      free < needed ? SplitFileToDisks(source, target, free, prompt) : CopyFileWhole(source, target);
  if (!copied) {
    s.PartNo = 0;
    return false;
  }
  try {
    platform::kill(source);
  } catch (const RuntimeError& error) {
    forms::msgBox(MoveErrorText(error.number()), forms::vbCritical, res(1005));
  }
  return true;
}

bool SplitFileToDisks(const std::string& source, const std::string& target, std::int32_t& freeBytes,
                      std::string& prompt) {
  auto& s = state();
  const auto onError = splitHandler(source);
  platform::File in, part;
  std::string partName;  // the part being written, deleted when the split ends unfinished
  const auto giveUp = [&] {
    in.close();
    part.close();
    if (!partName.empty()) DeleteFileQuietly(partName);
    return false;
  };

  s.CopyStep = 1;
  if (!RunStatement([&] { s.BytesLeft = static_cast<std::int32_t>(platform::fileLen(source)); }, onError) ||
      !RunStatement([&] { in = platform::File(source, platform::File::Mode::Read); }, onError)) {
    return giveUp();
  }
  s.BytesToCopy = freeBytes;
  while (s.BytesLeft > 0) {
    if (s.PartNo > 0) takeNextDisk(prompt);
    if (!platform::folderExists(s.SpanTargetRoot)) Makepath(s.SpanTargetRoot);
    ++s.PartNo;
    const std::string name = PartFileName(target, s.PartNo);
    s.CopyStep = 1;
    const bool opened = RunStatement(
        [&] {
          removeStaleCopies(target, s.PartNo);
          part = platform::File(name, platform::File::Mode::Write);
          partName = name;
        },
        onError);
    if (!opened) return giveUp();
    const std::int32_t free = s.SysInfo.FastDiskSpace(s.SpanTargetRoot);
    freeBytes = free;
    if (free <= s.BytesToCopy)
      s.BytesToCopy = static_cast<std::int32_t>(RoundToAllocUnit(free, s.SpanTargetRoot));
    s.BytesToCopy = std::min(s.BytesToCopy, s.BytesLeft);
    if (!CopyBlocks(in, part, onError, {.yieldAfterBlock = true, .countBytesLeft = true})) return giveUp();
    s.BytesToCopy = s.BytesLeft;
    part.close();
    partName.clear();
  }
  in.close();
  return true;
}

bool CopyFileWhole(const std::string& source, const std::string& target) {
  auto& s = state();
  const auto onError = WholeCopyReport(source);
  forms::doEvents();
  s.CopyStep = 1;
  if (!RunStatement([&] { s.BytesToCopy = static_cast<std::int32_t>(platform::fileLen(source)); }, onError)) {
    return false;
  }
  const bool copied = TransferWholeFile(source, target, onError);
  forms::doEvents();
  return copied;
}

std::int64_t GetDriveAllocUnit(std::string drive) {
  char remembered = 0;
  try {
    remembered = platform::currentDrive();
  } catch (const RuntimeError&) {
  }
  if (drive.find(':') == std::string::npos || drive.size() > 2) drive = vb::left(drive, 1) + ":";
  std::int64_t unit = -1;
  int error = 0;
  try {
    platform::chDrive(drive.front());
    const std::string current = vb::left(platform::curDir(), 2);
    if (vb::uCase(current) == vb::uCase(drive)) unit = platform::allocationUnit(current + "\\");
  } catch (const RuntimeError& e) {
    error = e.number();
    unit = -1;
  }
  if (unit <= 0) {
    unit = -1;
    forms::msgBox((error ? platform::errorText(error) : std::string()) + "resALLOCUNIT" + drive,
                  forms::vbExclamation + forms::vbOKOnly, "");
  }
  try {
    if (remembered) platform::chDrive(remembered);
  } catch (const RuntimeError&) {
  }
  return unit;
}

std::int64_t RoundToAllocUnit(std::int64_t size, const std::string& path) {
  const std::int64_t unit = GetDriveAllocUnit(vb::left(path, 3));
  if (unit <= 0) return size;
  const std::int64_t remainder = size % unit;
  return remainder == 0 ? size : size + (unit - remainder);
}

}  // namespace core
