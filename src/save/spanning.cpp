#include "save/spanning.h"

#include <algorithm>
#include <vector>

#include "core/animate.h"
#include "core/disk_blocks.h"
#include "core/disk_check.h"
#include "core/disk_copy.h"
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
#include "save/archive_runs.h"
#include "save/description_writer.h"
#include "save/save_messages.h"
#include "windows/animate.h"

namespace save {

namespace {

using forms::loadResString;
using platform::RuntimeError;

// The free room a description needs beyond its own clusters.
constexpr std::int64_t kDescriptionMargin = 1000;

std::string programFolder() { return forms::appPath() + "\\"; }
std::string targetDrive() { return platform::vb::left(core::state().SpanTargetRoot, 3); }

// "Please insert Disk No. <n> now!"
std::string diskPrompt(int disk) {
  return loadResString(1195) + platform::vb::str(disk) + loadResString(1196);
}

// Asks for a disk until CheckDiskEmpty accepts the one in `drive`; false on Cancel.
bool askForDisk(int disk, const std::string& drive) {
  do {
    const int answer =
        forms::msgBox(diskPrompt(disk), forms::vbOKCancel + forms::vbInformation, loadResString(1011));
    if (answer == forms::vbCancel) return false;
  } while (!core::CheckDiskEmpty(drive));
  return true;
}

std::int64_t lengthOr0(const std::string& path) {
  try {
    return platform::fileExists(path) ? platform::fileLen(path) : 0;
  } catch (const RuntimeError&) {
    return 0;
  }
}

// Clusters taken on the target disk by files of these lengths.
std::int64_t clustersFor(const std::vector<std::int64_t>& lengths) {
  std::int64_t bytes = 0;
  for (std::int64_t length : lengths) bytes += core::RoundToAllocUnit(length, core::state().SpanTargetRoot);
  return bytes;
}

// Whether the files `sources` fit onto the disk in the drive as `targets`
// (an older copy of a target gives its room back when replaced).
bool descriptionsFit(const std::vector<std::string>& sources, const std::vector<std::string>& targets) {
  std::vector<std::int64_t> needed, replaced;
  for (const std::string& source : sources) needed.push_back(lengthOr0(source));
  for (const std::string& target : targets) replaced.push_back(lengthOr0(target));
  const std::int64_t free = core::state().SysInfo.FastDiskSpace(core::state().SpanTargetRoot);
  return clustersFor(needed) + kDescriptionMargin <= free + clustersFor(replaced);
}

// Copies each source onto its target; on a failure the targets begun are
// deleted again (a half-written description is worse than none) and the
// failure is logged and shown.
bool copyDescriptions(const std::vector<std::string>& sources, const std::vector<std::string>& targets) {
  std::size_t begun = 0;
  try {
    const std::string& folder = core::state().SpanTargetRoot;
    if (!platform::folderExists(folder)) core::Makepath(folder);
    for (; begun < sources.size(); ++begun) {
      const std::string bytes = platform::readFile(sources[begun]);
      platform::writeFile(targets[begun], bytes);
    }
    return true;
  } catch (const RuntimeError& error) {
    const std::string name = core::GetFileName(targets[std::min(begun, targets.size() - 1)]);
    core::WriteErrorLog(error.number(), name + " Save");
    for (std::size_t i = 0; i <= begun && i < targets.size(); ++i) core::DeleteFileQuietly(targets[i]);
    ShowArchiveFailed(name, error.number());
    return false;
  }
}

}  // namespace

bool InsertFirstDisk() {
  auto& st = core::state();
  st.DiskNo = 1;
  if (askForDisk(st.DiskNo, platform::vb::left(st.SaveFolder, 3))) return true;
  st.SaveSucceeded = false;
  return false;
}

bool DecideSpanning() {
  auto& st = core::state();
  st.SpanTargetRoot.clear();
  const std::string drive = platform::vb::uCase(platform::vb::left(st.SaveFolder, 3));
  if (st.SysInfo.DriveType(drive) != "Removable drive") return false;
  if (st.SysInfo.FastDiskSpace(st.SaveFolder) >= kSpanBelowFreeBytes) return false;
  st.SpanTargetRoot = st.SaveFolder;
  st.SaveFolder = programFolder();
  return true;
}

const std::array<SpanArchive, 9>& SpanArchives() {
  static const std::array<SpanArchive, 9> archives{{
      {"", 1227},
      {"us", 1228},
      {"s", 1231},
      {"mc", 1229},
      {"mb", 1229},
      {"ma", 1229},
      {"mx", 1229},
      {"na", 1230},
      {"nw", 1230},
  }};
  return archives;
}

void WriteSplitLogBlock(const std::string& descriptionPath, int k, const std::string& archivePath,
                        int parts) {
  if (core::WriteIni("SplitLog", "File" + std::to_string(k), archivePath, descriptionPath) == 0 ||
      core::WriteIni("SplitLog", archivePath, platform::vb::str(parts), descriptionPath) == 0) {
    platform::raise(platform::kDeviceIoError);
  }
}

void DropDescription(const std::string& descriptionPath) {
  for (const std::string& file : {descriptionPath, UsrTwin(descriptionPath)}) core::DeleteFileQuietly(file);
}

DiskSpan::~DiskSpan() { closeWindow(); }

void DiskSpan::closeWindow() {
  if (!windowShown_) return;
  windowShown_ = false;
  windows::Animate().unload();
}

bool DiskSpan::moveArchives(const std::string& buildFolder, const std::string& descriptionPath) {
  auto& st = core::state();
  auto& window = windows::Animate();
  core::InstallAnimateHandlers();
  window.show();
  windowShown_ = true;
  forms::doEvents();
  window.ProgressBar1.setMax(9);
  window.ProgressBar1.setValue(1);

  try {
    platform::setVolumeLabel(targetDrive(), "Save#" + std::to_string(st.DiskNo));
  } catch (const RuntimeError&) {
  }
  forms::doEvents();
  core::DeleteFileQuietly(programFolder() + "split.Log");

  const auto& archives = SpanArchives();
  for (std::size_t i = 0; i < archives.size(); ++i) {
    const int k = static_cast<int>(i) + 1;
    if (k >= 2) window.ProgressBar1.setValue(k <= 8 ? k : 8);
    const std::string name = ArchiveName(slot_, archives[i].suffix);
    const std::string source = buildFolder + name;
    if (lengthOr0(source) == 0) continue;
    window.Label1.setCaption(loadResString(archives[i].caption));
    if (!core::MoveFileToDisk(source, st.SpanTargetRoot, "")) {
      core::WriteErrorLog(platform::kDeviceIoError, name + " Save");
      closeWindow();
      return false;
    }
    try {
      WriteSplitLogBlock(descriptionPath, k, programFolder() + name, st.PartNo);
    } catch (const RuntimeError& error) {
      core::WriteErrorLog(error.number(), core::GetFileName(descriptionPath) + " Save");
      ShowArchiveFailed(core::GetFileName(descriptionPath), error.number());
      closeWindow();
      return false;
    }
  }
  window.ProgressBar1.setValue(9);
  st.SaveFolder = st.SpanTargetRoot;
  return true;
}

bool DiskSpan::placeDescriptions(const std::string& descriptionPath, const std::string& configIniPath) {
  auto& st = core::state();
  const std::vector<std::string> sources{descriptionPath, UsrTwin(descriptionPath)};
  const std::vector<std::string> targets{configIniPath, UsrTwin(configIniPath)};
  while (!(descriptionsFit(sources, targets) && copyDescriptions(sources, targets))) {
    core::HideAnimateForPrompt();
    const bool another = askForDisk(st.DiskNo + 1, targetDrive());
    core::ShowAnimateAfterPrompt();
    if (!another) {
      closeWindow();
      return false;
    }
  }
  closeWindow();
  return true;
}

}  // namespace save
