#include "restore/user_restore.h"

#include <vector>

#include "core/inifile.h"
#include "core/paths.h"
#include "core/state.h"
#include "core/status_bar.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "restore/unzip_groups.h"
#include "save/staging.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

using forms::loadResString;

using platform::startsWithNoCase;

using core::setStatus;

// One statement of the step: an error is logged with the step text and the
// step goes on.
template <class Statement>
bool logged(const std::string& stepText, Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, stepText + " Restore");
    return false;
  }
}

void reportMissing(const std::string& item) {
  forms::msgBox(loadResString(1243) + '\r' + loadResString(1244) + item, forms::vbOKOnly, "");
}

}  // namespace

bool UserCopyAccepted(std::string_view value, std::string_view userFolder) {
  return userFolder.size() > 3 && startsWithNoCase(value, userFolder.substr(0, 3)) &&
         !UserCopyPath(value, userFolder.substr(3), userFolder).empty();
}

std::string UserCopyPath(std::string_view value, std::string_view savedFolder, std::string_view userFolder) {
  if (savedFolder.empty() || userFolder.empty()) return "";
  if (value.size() < 3 || value[1] != ':' || value[2] != '\\') return "";
  value.remove_prefix(3);
  if (!startsWithNoCase(value, savedFolder)) return "";
  const std::string_view rest = value.substr(savedFolder.size());
  if (!PathComponentsProblem(rest).empty()) return "";
  return std::string(userFolder) + std::string(rest);
}

std::string UserTargetProblem(std::string_view item) {
  if (std::string problem = save::UserFileProblem(item); !problem.empty()) return problem;
  if (std::string problem = PathComponentsProblem(item.substr(3)); !problem.empty()) return problem;
  if (DriveRootOf(item).empty()) return "no drive of this machine";
  return "";
}

bool CopyUserFilesBack(std::string_view userIniPath, std::string_view userFolder, std::string_view workFolder,
                       std::string_view savedFolder) {
  auto& state = core::state();
  if (savedFolder.empty() && userFolder.size() > 3) savedFolder = userFolder.substr(3);
  forms::ListBox& list = windows::RestoreReq().List1;
  // The selection and the map, each taken in one go for the whole list.
  const std::vector<bool> chosen = list.selectedItems();
  const core::IniSectionReader map("UserFilesSaved", userIniPath);
  bool copied = false;
  for (int i = 0; i < list.listCount(); ++i) {
    const std::string item = list.list(i);
    setStatus(item);
    const std::string value = map.read(item);
    if (item.empty()) continue;
    const bool selected = static_cast<std::size_t>(i) < chosen.size() && chosen[static_cast<std::size_t>(i)];
    const std::string saved = UserCopyPath(value, savedFolder, userFolder);
    if (saved.empty()) {
      if (!value.empty()) core::WriteErrorLog(platform::kBadFileNameOrNumber, item + " User file Restore");
      reportMissing(item);
      state.RestoreDone = false;
      if (selected) state.RestoreLeftOut = true;
      continue;
    }
    const std::string stepText = item + " User file";
    bool moved = false;
    if (selected) {
      if (const std::string problem = UserTargetProblem(item); !problem.empty()) {
        core::WriteErrorLog(platform::kBadFileNameOrNumber, stepText + " Restore");
        reportMissing(item);
        state.RestoreDone = false;
        state.RestoreLeftOut = true;
      } else {
        logged(stepText, [&] { core::Makepath(item); });
        // A file counts only once it is back. On the working folder's drive
        // the copy is moved into place, not written again.
        if (logged(stepText, [&] { moved = platform::fileMove(saved, item); }))
          copied = true;
        else
          state.RestoreLeftOut = true;
      }
    }
    if (!moved) logged(stepText, [&] { platform::kill(saved); });
    setStatus(stepText);
    forms::doEvents();
  }

  // The map and the folders the unpacked copies stood in go.
  const std::string stepText = loadResString(1524);
  windows::Form1().List4.clear();
  logged(stepText, [&] { platform::kill(std::string(userFolder) + "user.ini"); });
  std::string folder(workFolder);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  logged(stepText, [&] { core::ListSubFolders(folder); });
  forms::ListBox& folders = windows::Form1().List4;
  for (int i = folders.listCount() - 1; i >= 0; --i) {
    const std::string sub = folders.list(i);
    logged(stepText, [&] { platform::rmDir(sub); });
  }
  return copied;
}

}  // namespace restore
