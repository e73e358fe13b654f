#include "ui/maintenance_page.h"

#include "core/inifile.h"
#include "core/paths.h"
#include "core/settings.h"
#include "core/slotlists.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/shell.h"
#include "rescue/wizard.h"
#include "save/save_engine.h"
#include "ui/options_page.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace ui {

using forms::res;
namespace {

constexpr int kFreeSlot = 1010;
// The update pages of this program's site, one per build.
constexpr const char* kUpdateBase = "http://kelvaran.example/tvx/kelv/eng/";

void slotClicked() {
  windows::Form1Window& f = windows::Form1();
  f.Command13.setEnabled(true);
  f.List3Text = f.List3.text();
  core::state().DeleteIndex = static_cast<std::uint8_t>(f.List3.listIndex() < 0 ? 0 : f.List3.listIndex());
  // A free slot has nothing to delete.
  if (f.List3Text == res(kFreeSlot) || f.List3.listIndex() < 0) f.Command13.setEnabled(false);
}

// The folder of the slot's archives as its description in the program folder
// records it, with its trailing "\"; the program folder when none is recorded.
std::string recordedFolder(int n) {
  const core::State& st = core::state();
  std::string iniPath = forms::appPath() + "\\Config" + std::to_string(n) + ".ini";
  if (core::IsSmartSaveFolder(st.SaveFolder))
    iniPath = forms::appPath() + "\\SmartSav\\Config" + std::to_string(n) + ".ini";
  std::string folder = core::ReadIni("SystemFiles", "SaveFolder", iniPath);
  if (folder.empty()) return forms::appPath() + "\\";
  return platform::withTrailingBackslash(folder);
}

// A set on removable disks: the disk in the drive now may be any disk, so
// nothing on it is touched.
bool onRemovableDisk(const std::string& folder) {
  try {
    const std::string full = platform::fullPath(folder);
    return full.size() >= 2 && full[1] == ':' &&
           platform::driveType(full.substr(0, 2) + "\\") == platform::DriveType::Removable;
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void removeQuietly(const std::string& path) {
  // A name with wildcards would delete more than the one file.
  if (core::hasForbiddenCharacters(path)) return;
  try {
    if (platform::fileExists(path)) platform::kill(path);
  } catch (const platform::RuntimeError&) {
  }
}

void deleteClicked() {
  if (save::OperationRunning()) return;
  windows::Form1Window& f = windows::Form1();
  core::State& st = core::state();
  const int n = st.DeleteIndex + 1;
  if (forms::msgBox(res(1043) + "\r" + st.ConfigNames(n),
                    forms::vbYesNo + forms::vbQuestion + forms::vbDefaultButton2, res(1009)) != forms::vbYes)
    return;
  try {
    core::enterProgramFolder();
  } catch (const platform::RuntimeError&) {
  }
  const std::string folder = recordedFolder(n);
  if (!onRemovableDisk(folder)) {
    for (const std::string& file : slotFiles(folder, n)) removeQuietly(file);
  }
  st.ConfigNames(n) = res(kFreeSlot);
  core::RefreshConfigLists();
  storeSettings(" Delete");
  f.Command13.setEnabled(false);
}

void webUpdateClicked() {
  const std::string address = webUpdateAddress(windows::Form1().Label13.caption());
  const platform::ShellResult result = platform::shellExecute("open", address, {}, {}, 1);
  if (result.ok()) return;
  forms::msgBox(
      "Unable to load '" + address + "' : " + result.error + " (Error " + std::to_string(result.code) + ")",
      forms::vbOKOnly);
}

void copyrightClicked() { forms::msgBox(res(1099) + "\r\r" + res(1158), forms::vbOKOnly); }

void selectClicked() { windows::UserFiles().show(forms::Modeless); }

}  // namespace

std::string webUpdateAddress(const std::string& buildLabel) { return kUpdateBase + buildLabel + ".htm"; }

std::vector<std::string> slotFiles(const std::string& folder, int n) {
  const std::string digit = std::to_string(n);
  std::vector<std::string> files = {folder + "Config" + digit + ".ini", folder + "Config" + digit + ".usr"};
  for (const char* suffix : {"", "s", "us", "i", "mc", "mb", "ma", "mx", "na", "nw"})
    files.push_back(folder + "Conf" + digit + suffix + ".kvz");
  return files;
}

void bindMaintenancePage() {
  windows::Form1Window& f = windows::Form1();
  f.List3.onClick = slotClicked;
  f.Command13.onClick = deleteClicked;
  f.Command28.onClick = webUpdateClicked;
  f.Command23.onClick = copyrightClicked;
  f.Command11.onClick = selectClicked;
  f.Command18.onClick = rescue::OpenRescueWizard;
}

}  // namespace ui
