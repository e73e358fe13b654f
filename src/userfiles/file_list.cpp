#include "userfiles/file_list.h"

#include "core/inifile.h"
#include "core/settings.h"
#include "core/state.h"
#include "core/userlist.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/vb_convert.h"
#include "save/save_engine.h"
#include "userfiles/remove_dupes.h"
#include "windows/userfiles.h"

namespace userfiles {
namespace {

constexpr int kHourglass = 11;

windows::UserFilesWindow& dialog() { return windows::UserFiles(); }
using forms::res;

std::string trimmed(const std::string& text) {
  const auto begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return "";
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

std::vector<std::string> entries() {
  const auto& list = dialog().List1;
  std::vector<std::string> items;
  items.reserve(list.listCount());
  for (int i = 0; i < list.listCount(); ++i) items.push_back(list.list(i));
  return items;
}

void markUnsaved() {
  core::state().SettingsSaved = false;
  dialog().Command1.setEnabled(true);
}

// The count line and the sideways extent after the list changed.
void listChanged() {
  core::ShowUserListCount();
  core::SetUserListExtent();
}

// The engine reads and thins the list all through a save: while one runs,
// the list stays as it is.
bool busy() { return save::OperationRunning(); }

void addClicked() {
  if (busy()) return;
  const std::string answer = forms::dialogService().fileOpen(res(1119), res(1120), true, platform::curDir());
  if (answer.empty()) return;
  for (const std::string& file : chosenFiles(answer)) dialog().List1.addItem(file);
  markUnsaved();
  listChanged();
}

void removeClicked() {
  if (busy()) return;
  auto& d = dialog();
  bool removed = false;
  forms::setMousePointer(kHourglass);
  for (int i = d.List1.listCount() - 1; i >= 0; --i) {
    if (!d.List1.selected(i)) continue;
    d.List1.removeItem(i);
    removed = true;
  }
  forms::setMousePointer(0);
  if (!removed) return;
  d.Command12.setEnabled(false);
  markUnsaved();
  listChanged();
}

void removeDuplicatesClicked() {
  auto& list = dialog().List1;
  if (busy() || list.listCount() == 0) return;
  forms::setMousePointer(kHourglass);
  std::vector<std::string> items = entries();
  for (std::string& item : items) item = trimmed(item);
  items.emplace_back();
  RemoveDupes(items);
  list.clear();
  for (const std::string& item : items)
    if (!item.empty()) list.addItem(item);
  forms::setMousePointer(0);
  core::ShowUserListCount();
}

void removeOrphansClicked() {
  if (busy()) return;
  auto& list = dialog().List1;
  forms::setMousePointer(kHourglass);
  const std::vector<std::string> items = entries();
  list.clear();
  int dropped = 0;
  for (const std::string& item : items) {
    const std::string entry = trimmed(item);
    if (keepsEntry(entry)) {
      list.addItem(entry);
    } else {
      ++dropped;
    }
  }
  if (dropped > 0) {
    forms::msgBox(res(1322) + platform::vb::str(dropped) + res(1323), forms::vbOKOnly);
    dialog().Command1.setEnabled(true);
  }
  listChanged();
  forms::setMousePointer(0);
}

bool isFile(const std::string& path) {
  try {
    return platform::fileExists(path);
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void filesDropped(const std::vector<std::string>& files) {
  if (busy()) return;
  auto& d = dialog();
  for (const std::string& file : files) {
    if (file.empty()) continue;
    if (isFile(file)) {
      forms::doEvents();
      d.List1.addItem(platform::lowerCase(file));
      core::state().SettingsSaved = false;
    } else {
      forms::msgBox(res(1048), forms::vbOKOnly + forms::vbCritical, res(1005));
    }
  }
  if (!core::state().SettingsSaved) d.Command1.setEnabled(true);
  listChanged();
}

void mouseMoved(int, int, int x, int y) {
  auto& list = dialog().List1;
  const int index = list.indexAt(x, y);
  list.setToolTipText(index >= 0 && index < list.listCount() ? list.list(index) : "");
}

// kelvaran.usr and the settings file from the dialog.
void store() {
  forms::setMousePointer(kHourglass);
  core::SaveUserList();
  try {
    core::SaveSettings();
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, " Save settings");
  }
  forms::setMousePointer(0);
  core::state().SettingsSaved = true;
}

void applyClicked() {
  if (busy()) return;
  auto& d = dialog();
  d.Command12.setEnabled(false);
  d.Command1.setEnabled(false);
  store();
}

void okClicked() {
  if (busy()) return;
  dialog().Command12.setEnabled(false);
  store();
  dialog().hide();
}

// Nothing is written and nothing undone: the list and boxes stay as edited.
void cancelClicked() {
  dialog().Command12.setEnabled(false);
  core::state().SettingsSaved = true;
  dialog().hide();
}

void loaded() {
  auto& d = dialog();
  d.SSTab1.setTab(0);
  d.SSTab1.setTabCaption(0, res(1136));
  d.Command3.setCaption("&OK");
  d.Command2.setCaption("&" + res(1092));
  d.Command1.setCaption(res(1091));
  d.Command11.setCaption("&" + res(1525));
  d.Command12.setCaption(res(1526));
  d.Check12.setCaption(res(1152));
  d.Check1.setCaption(res(1153));
  d.Command4.setCaption("&" + res(1516));
  d.Command5.setCaption("&" + res(1186));
  d.Command6.setCaption(res(1302));
  d.Command7.setCaption(res(1301));
  d.Label3.setCaption(res(1402));
  d.Label5.setCaption(res(1401));
  d.Command1.setEnabled(false);
}

}  // namespace

std::vector<std::string> chosenFiles(const std::string& answer) {
  const auto nul = answer.find('\0');
  if (nul == std::string::npos) return {platform::lowerCase(answer)};
  const std::string folder = answer.substr(0, nul);
  const std::string join = platform::withTrailingBackslash(folder);
  std::vector<std::string> files;
  for (std::size_t start = nul + 1; start < answer.size();) {
    auto end = answer.find('\0', start);
    if (end == std::string::npos) end = answer.size();
    if (end > start) files.push_back(platform::lowerCase(join + answer.substr(start, end - start)));
    start = end + 1;
  }
  return files;
}

bool keepsEntry(const std::string& entry) {
  // A drive letter the machine lacks now (a network drive that is gone)
  // tells nothing about the file.
  if (entry.size() >= 2 && entry[1] == ':' &&
      platform::driveType(entry.substr(0, 2) + "\\") == platform::DriveType::NoRootDir)
    return true;
  try {
    for (const platform::DirEntry& found :
         platform::findFiles(entry, platform::kNormal | platform::kHidden | platform::kSystem))
      if (!(found.attributes & platform::kDirectory)) return true;
    return false;
  } catch (const platform::RuntimeError& error) {
    // A folder or file known not to be there is missing; anything else is
    // a drive or name that cannot be judged now.
    return error.number() != platform::kFileNotFound && error.number() != platform::kPathNotFound;
  }
}

void bindFileList() {
  auto& d = dialog();
  d.onLoad = loaded;
  d.Command11.onClick = addClicked;
  d.Command12.onClick = removeClicked;
  d.Command6.onClick = removeDuplicatesClicked;
  d.Command7.onClick = removeOrphansClicked;
  d.List1.onDropFiles = filesDropped;
  d.List1.onMouseMove = mouseMoved;
  d.List1.onClick = [] { dialog().Command12.setEnabled(true); };
  d.Command1.onClick = applyClicked;
  d.Command3.onClick = okClicked;
  d.Command2.onClick = cancelClicked;
  d.Command4.onClick = [] { forms::sendKeys("{F1}", true); };
  d.SSTab1.onClick = [](int) {
    if (!core::state().SettingsSaved) dialog().Command1.setEnabled(true);
  };
  // The title-bar close box is Cancel: the window stays loaded.
  d.onQueryUnload = [](bool& cancel, int unloadMode) {
    if (unloadMode != 0) return;
    cancel = true;
    cancelClicked();
  };
}

}  // namespace userfiles
