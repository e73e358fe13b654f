#include "restore/system_restore.h"

#include <algorithm>
#include <optional>

#include "core/disk_blocks.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/status_bar.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/ansi_text.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/zip_directory.h"
#include "restore/restore_boxes.h"
#include "restore/wininit.h"
#include "windows/form1.h"

namespace restore {

namespace {

using forms::loadResString;

constexpr char kQuote = '"';

using core::setStatus;

bool isSystemFileName(std::string_view name) {
  return std::any_of(std::begin(kSystemFileNames), std::end(kSystemFileNames),
                     [&](const char* known) { return platform::equalsNoCase(name, known); });
}

bool isNamedIn(std::string_view name, const std::vector<std::string>& names) {
  return std::any_of(names.begin(), names.end(),
                     [&](const std::string& other) { return platform::equalsNoCase(name, other); });
}

std::string windowsForm(std::string text) {
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

}  // namespace

SystemMembers ReadSystemMembers(std::string_view archive) {
  SystemMembers result;
  std::vector<platform::zipdir::Member> members;
  try {
    members = platform::zipdir::readMembers(platform::hostPath(archive));
  } catch (const std::exception&) {
    result.problem = "not a readable archive";
    return result;
  }
  for (const auto& member : members) {
    if (const std::string reason = platform::zipdir::unsafeReason(member); !reason.empty()) {
      result.problem = member.name + ": " + reason;
      return result;
    }
    // Names are stored as UTF-8 (flagged) or in the machine's code page.
    const std::optional<std::string> ansi =
        member.utf8() ? platform::ansiFromUtf8(member.name) : std::optional<std::string>(member.name);
    if (!ansi) {
      result.others = true;
      continue;
    }
    const std::string& full = *ansi;
    const std::size_t cut = full.rfind('/');
    const std::string folder = cut == std::string::npos ? "" : full.substr(0, cut + 1);
    const std::string name = full.substr(folder.size());
    const bool stagedFile =
        isSystemFileName(name) && folder.size() >= 9 &&
        platform::equalsNoCase(std::string_view(folder).substr(folder.size() - 9), "kelvaran/") &&
        (folder.size() == 9 || folder[folder.size() - 10] == '/');
    if (stagedFile && (result.folder.empty() || result.folder == folder)) {
      result.folder = folder;
      result.names.push_back(full);
    } else {
      result.others = true;
    }
  }
  if (result.names.empty()) result.problem = "no system file in the archive";
  return result;
}

Unpack SystemUnpack(std::string_view archive, const SystemMembers& members, std::string_view workFolder,
                    const std::vector<std::string>& kept) {
  Unpack unpack{"-qo", std::string(archive), {}, "", "", ""};
  std::vector<std::string> names;
  for (const std::string& member : members.names)
    if (!isNamedIn(member.substr(members.folder.size()), kept)) names.push_back(member);
  if (members.others || names.size() != members.names.size()) unpack.patterns = names;
  const std::string root(workFolder.substr(0, 3));
  if (platform::equalsNoCase(root + windowsForm(members.folder), workFolder)) {
    unpack.target = platform::equalsNoCase(root, "C:\\") ? "c:\\" : root;
  } else {
    // Members saved under another working folder: unpacked aside, moved up.
    unpack.target = std::string(workFolder) + "Unpack\\";
    unpack.from = windowsForm(members.folder);
    unpack.into = workFolder;
  }
  return unpack;
}

GroupEnd RestoreSystemArchive(const std::string& archiveFolder, int slotNumber, const std::string& workFolder,
                              const std::vector<std::string>& kept) {
  core::State& st = core::state();
  GroupEnd result;
  const std::string archive = archiveFolder + "Conf" + std::to_string(slotNumber) + ".kvz";
  const std::string quoted = kQuote + archive + kQuote;
  setStatus(loadResString(1122));
  bool present = false;
  try {
    present = platform::fileExists(archive);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, " Restore");
  }
  if (!present) {
    result.end = AskMissingArchive(quoted, 1200);
    return result;
  }

  const SystemMembers members = ReadSystemMembers(archive);
  const Unpack unpack = members.problem.empty() ? SystemUnpack(archive, members, workFolder, kept) : Unpack{};
  int failure = platform::kBadFileNameOrNumber;
  const bool allKept = std::all_of(
      members.names.begin(), members.names.end(),
      [&](const std::string& member) { return isNamedIn(member.substr(members.folder.size()), kept); });
  if (members.problem.empty() && allKept) {
    failure = 0;  // every file it holds stays as an earlier restore left it
  } else if (members.problem.empty() && !CommandLineOf(UnpackArguments(unpack)).empty()) {
    failure = UnpackArchive(unpack);
    forms::doEvents();
  }
  if (failure) {
    core::WriteErrorLog(failure, " Restore");
    forms::msgBox(loadResString(1200), forms::vbOKOnly + forms::vbCritical, loadResString(1005));
    return result;
  }
  st.RestoreDone = true;
  result.restored = true;
  return result;
}

bool PutRootFileBack(const RootFile& file, const std::string& workFolder) {
  const std::string context = std::string(file.stepText) + " Restore";
  const std::string staged = workFolder + file.staged;
  std::string target = file.target;
  const std::string stem = target.substr(0, target.rfind('.'));
  const std::string incoming = stem + ".kv$";
  const std::string outgoing = stem + ".kv~";
  try {
    if (!platform::fileExists(staged)) platform::raise(platform::kFileNotFound);
    if (platform::fileExists(incoming)) core::DeleteFileQuietly(incoming);
    platform::fileCopy(staged, incoming);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, context);
    core::DeleteFileQuietly(incoming);
    return false;
  }
  bool hadOld = false;
  try {
    hadOld = platform::fileExists(target);
    if (hadOld) {
      // The new file takes the old one's name as it is spelled on disk
      // ("AUTOEXEC.BAT"), not the lower case of the table.
      target = platform::longPath(target);
      if (platform::fileExists(outgoing)) {
        platform::setAttr(outgoing, platform::kNormal);
        platform::kill(outgoing);
      }
      platform::setAttr(target, platform::kNormal);
      platform::rename(target, outgoing);
    }
    platform::rename(incoming, target);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, context);
    // The old file back in its place.
    try {
      if (hadOld && !platform::fileExists(target) && platform::fileExists(outgoing))
        platform::rename(outgoing, target);
    } catch (const platform::RuntimeError& again) {
      core::WriteErrorLog(again, context);
    }
    core::DeleteFileQuietly(incoming);
    return false;
  }
  try {
    if (file.protectedFile)
      platform::setAttr(target, platform::kReadOnly | platform::kHidden | platform::kSystem);
    if (hadOld) platform::kill(outgoing);
    platform::kill(staged);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, context);
  }
  return true;
}

bool RestoreRootFiles(const std::string& workFolder) {
  bool any = false;
  for (const RootFile& file : kRootFiles) {
    if (!Ticked(file.box)) continue;
    setStatus(loadResString(1117) + " " + file.stepText);
    if (PutRootFileBack(file, workFolder)) {
      core::state().RestoreDone = true;
      any = true;
    } else {
      core::state().RestoreLeftOut = true;
    }
  }
  return any;
}

void NoteSystemFilesLeftOut(const std::string& windowsFolder, const std::string& workFolder, bool unpacked) {
  const auto leftOut = [](const std::string& name) {
    core::WriteErrorLog(platform::kFileNotFound, name + " Restore");
    core::state().RestoreLeftOut = true;
  };
  if (!unpacked) {
    for (const RootFile& file : kRootFiles)
      if (Ticked(file.box)) leftOut(file.stepText);
  }
  for (const WindowsFile& file : kWindowsFiles) {
    if (!Ticked(file.box)) continue;
    bool there = false;
    try {
      there = unpacked && WininitCanMove(windowsFolder, workFolder) &&
              platform::fileExists(workFolder + file.name);
    } catch (const platform::RuntimeError&) {
    }
    if (!there) leftOut(file.name);
  }
}

}  // namespace restore
