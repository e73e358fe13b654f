#include "restore/load_cini.h"

#include <functional>

#include "core/disk_join.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/userlist.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/paths.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "restore/restore_boxes.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

using forms::loadResString;

// The reading runs with errors ignored: a statement that fails is skipped.
void skipOnError(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const platform::RuntimeError&) {
  }
}

// A stored whole number within [low, high]; false for a missing or malformed one.
bool wholeNumber(const std::string& text, int low, int high, int& out) {
  if (!platform::vb::isNumeric(text)) return false;
  const double value = platform::vb::val(text);
  if (value != static_cast<double>(static_cast<long long>(value))) return false;
  if (value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

}  // namespace

std::string DescriptionPath(int slot, bool smartSave) {
  return forms::appPath() + (smartSave ? "\\SmartSav\\Config" : "\\Config") + std::to_string(slot) + ".ini";
}

void ClearRestoreDialog() {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  for (int number = 1; number <= 25; ++number) {
    skipOnError([&] {
      RestoreBox(number).setValue(0);
      RestoreBox(number).setEnabled(false);
    });
  }
  skipOnError([&] { r.List1.clear(); });
  for (forms::Label* label : {&r.Label2, &r.Label4, &r.Label5, &r.Label6})
    skipOnError([&] { label->setCaption(""); });
}

void ReadSplitLog(const std::string& iniPath, LoadedConfiguration& into) {
  const std::string root = platform::vb::uCase(platform::vb::left(into.SaveFolder, 3));
  if (core::state().SysInfo.DriveType(root) != "Removable drive") return;
  into.onRemovableDrive = true;
  skipOnError(forms::doEvents);
  for (int k = 1; k <= 9; ++k) {
    skipOnError([&] {
      into.SplitFile(k) = core::ReadIni("SplitLog", "File" + std::to_string(k), iniPath);
      if (into.SplitFile(k).empty()) return;
      int parts = 0;
      if (wholeNumber(core::ReadIni("SplitLog", into.SplitFile(k), iniPath), 0, 32767, parts))
        into.SplitDisk(k) = static_cast<std::int16_t>(parts);
      if (into.SplitDisk(k) != 0 && into.DiskRestorePath.empty())
        into.DiskRestorePath = core::ProgramDiskRestoreFolder();
    });
  }
}

bool AcceptOtherSystem() {
  const char cr = '\r';
  const std::string text = loadResString(1600) + cr + loadResString(1601) + cr + cr + loadResString(1602);
  return forms::msgBox(text, forms::vbYesNo + forms::vbQuestion, loadResString(1009)) == forms::vbYes;
}

void FillRestoreBoxes(const std::string& iniPath, LoadedConfiguration& into) {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  for (const DescriptionBox& entry : kDescriptionBoxes) {
    skipOnError([&] {
      int value = 0;
      if (wholeNumber(core::ReadIni(entry.section, entry.key, iniPath), 0, 2, value))
        (r.*entry.box).setValue(value);
    });
  }
  skipOnError([&] {
    r.Label2.setCaption(core::ReadIni("UserFiles", "MSEVersion", iniPath));
    r.Label5.setCaption(core::ReadIni("UserFiles", "MSEAdrVersion", iniPath));
    r.Label4.setCaption(core::ReadIni("UserFiles", "MSEAdrIdent", iniPath));
    r.Label6.setCaption(core::ReadIni("UserFiles", "NSCMailUser", iniPath));
  });
  skipOnError([&] {
    into.PathFavorites = core::ReadIni("UserFiles", "PathFavorites", iniPath);
    into.PathNetscape = core::ReadIni("UserFiles", "PathNetscape", iniPath);
    into.PathStartmenue = core::ReadIni("UserFiles", "PathStartmenue", iniPath);
    if (into.PathFavorites == "NONE") r.Check11.setValue(0);
    if (into.PathNetscape == "NONE") r.Check10.setValue(0);
  });
  OfferSavedGroups();
}

void OfferSavedGroups() {
  // A box is offered exactly when its group was saved, and starts unticked.
  for (int number = 1; number <= 25; ++number) {
    skipOnError([&] {
      forms::CheckBox& box = RestoreBox(number);
      box.setEnabled(box.value() != 0);
      box.setValue(0);
    });
  }
}

void LoadCINI() {
  core::State& st = core::state();
  clearLoadedConfiguration();
  LoadedConfiguration& loaded = loadedConfiguration();
  skipOnError(core::enterProgramFolder);
  loaded.slot = st.CurrentConfig + 1;
  loaded.IniPath = DescriptionPath(loaded.slot, core::IsSmartSaveFolder(st.SaveFolder));
  const std::string& ini = loaded.IniPath;
  skipOnError([&] { loaded.SaveFolder = core::ReadIni("SystemFiles", "SaveFolder", ini); });

  if (loaded.SaveFolder.empty()) {
    // A damaged description: the program ends without writing its settings.
    skipOnError([] { forms::msgBox(loadResString(1253), forms::vbOKOnly, ""); });
    st.NoSaveOnExit = true;
    core::ExitProgram();
    // Still running (the exit was refused): the dialog is not shown.
    st.RestoreState = 3;
    return;
  }

  ReadSplitLog(ini, loaded);
  skipOnError([&] {
    loaded.ConfigName = core::ReadIni("Configuration", "ConfigName", ini);
    loaded.OSV = core::ReadIni("Configuration", "OSV", ini);
  });
  bool sameSystem = true;
  skipOnError([&] { sameSystem = loaded.OSV == windows::Form1().Label5.caption(); });
  if (!sameSystem && !AcceptOtherSystem()) {
    st.RestoreState = 3;
    return;
  }

  skipOnError([&] { loaded.SystemPath = core::ReadIni("SystemFiles", "SystemPath", ini); });
  loaded.SaveFolder = platform::withTrailingBackslash(loaded.SaveFolder);
  ClearRestoreDialog();
  FillRestoreBoxes(ini, loaded);
  skipOnError([&] { core::LoadUserListInto(ini.substr(0, ini.size() - 3) + "usr"); });
}

}  // namespace restore
