#include "core/settings.h"

#include <functional>

#include "core/discovery.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "core/selection.h"
#include "core/slotlists.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/shortname.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"

namespace core {

namespace {

using platform::RuntimeError;

// Runs one statement; a failing one is skipped.
void skipOnError(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const RuntimeError&) {
  }
}

std::string smartSaveFolder() { return forms::appPath() + "\\SmartSav\\"; }

bool isSmartSaveFolder(const std::string& folder) {
  const std::string smart = smartSaveFolder();
  return folder.size() >= smart.size() && platform::equalsNoCase(folder.substr(0, smart.size()), smart);
}

// A box state from its stored text: 0, 1 or 2; anything else raises.
int boxState(const std::string& text) {
  if (!platform::vb::isNumeric(text)) platform::raise(platform::kTypeMismatch);
  const int value = platform::vb::cInt(text);
  if (value < 0 || value > 2) platform::raise(380);
  return value;
}

bool enabledFlag(const std::string& text) {
  if (!platform::vb::isNumeric(text)) platform::raise(platform::kTypeMismatch);
  return platform::vb::cBool(text);
}

// "0".."9" from the stored level; "1" when empty or out of range.
std::string compressionLevel(const std::string& stored) {
  const std::string text = platform::vb::trim(stored);
  if (text.empty()) return "1";
  const double level = platform::vb::val(text);
  if (level < 0 || level > 9) return "1";
  return std::to_string(static_cast<int>(level));
}

void selectPosition(forms::ComboBox& combo, const std::string& stored) {
  const int k = platform::vb::cInt(stored);
  if (k > 0 && k - 1 < combo.listCount()) combo.setListIndex(k - 1);
}

void setSaveFolderBox() { windows::Form1().Text2.setText(ShortenPath(state().SaveFolder, 49)); }

void damagedFileFallback(const RuntimeError& error) {
  auto& s = state();
  WriteErrorLog(error, "Kelvaran.ini damaged");
  skipOnError([&] {
    const std::string free = forms::loadResString(1010);
    for (int n = 1; n <= 5; ++n) {
      s.ConfigDates(n) = "00/00/0000";
      s.ConfigTimes(n) = "00:00";
      s.ConfigNames(n) = free;
    }
    auto& main = windows::Form1();
    main.Label2.setCaption(slotNamesCaption());
    for (int n = 1; n <= 5; ++n) {
      main.List2.setList(n - 1, s.ConfigNames(n));
      main.List3.setList(n - 1, s.ConfigNames(n));
    }
  });
  s.SaveFolder = forms::appPath() + "\\";
  skipOnError(setSaveFolderBox);
  skipOnError(DetectEnvironment);
  s.CompressionLevel = "1";
  skipOnError([] { windows::Form1().Slider1.setValue(1); });
  skipOnError(SaveSettings);
}

// Steps whose first failure means a damaged file.
void readCoreSettings(const std::string& file) {
  auto& s = state();
  enterProgramFolder();
  s.SettingsIniPath = file;
  const std::string free = forms::loadResString(1010);
  for (int n = 1; n <= 5; ++n) {
    const std::string k = std::to_string(n);
    s.ConfigOSV(n) = ReadIni("Settings", "OSV" + k, file);
    s.ConfigNames(n) = ReadIni("Settings", "Config" + k, file);
    s.ConfigDates(n) = ReadIni("Settings", "LsDate" + k, file);
    s.ConfigTimes(n) = ReadIni("Settings", "LsTime" + k, file);
    if (s.ConfigNames(n).empty()) {  // an empty name would stop every later write
      s.ConfigNames(n) = free;
      s.ConfigDates(n) = "00/00/0000";
      s.ConfigTimes(n) = "00:00";
    }
  }
  const std::string storedWindows = ReadIni("SystemPathes", "SystemPath", file);
  if (!storedWindows.empty() && !hasForbiddenCharacters(storedWindows)) {
    s.machine.SystemPath = storedWindows;
    s.SystemPath = storedWindows;
  }
  s.SaveFolder = ReadIni("SystemPathes", "SaveFolder", file);
  if (s.SaveFolder.empty()) s.SaveFolder = forms::appPath();
  s.SaveFolder = platform::withTrailingBackslash(s.SaveFolder);
  auto& main = windows::Form1();
  for (const auto& entry : kSystemFileBoxes)
    (main.*entry.box).setValue(boxState(ReadIni("SystemFiles", entry.key, file)));
}

void readRemainingSettings(const std::string& file) {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  auto& restore = windows::RestoreReq();
  auto& main = windows::Form1();
  for (const auto& entry : kUserFileBoxes)
    skipOnError([&] { (dialog.*entry.box).setValue(boxState(ReadIni("UserFiles", entry.key, file))); });
  skipOnError([&] { selectPosition(dialog.Combo1, ReadIni("UserFiles", "MSEIdentiteis", file)); });
  skipOnError([&] { selectPosition(dialog.Combo2, ReadIni("UserFiles", "NSCMailUser", file)); });
  for (const auto& entry : kRestoreBoxes)
    skipOnError(
        [&] { (restore.*entry.box).setEnabled(enabledFlag(ReadIni(entry.section, entry.key, file))); });
  skipOnError([&] {
    const bool described = !s.IniPath.empty();
    restore.Label2.setCaption(described ? ReadIni("UserFiles", "MSEVersion", s.IniPath) : "");
    restore.Label5.setCaption(described ? ReadIni("UserFiles", "MSEAdrVersion", s.IniPath) : "");
    restore.Label4.setCaption(described ? ReadIni("UserFiles", "MSEAdrIdent", s.IniPath) : "");
  });
  skipOnError([&] {
    const std::string language = forms::loadResString(1006);
    const std::string free = forms::loadResString(1010);
    for (int n = 1; n <= 5; ++n) {
      if (language == "None" && s.ConfigNames(n) == "verfuegbar") s.ConfigNames(n) = free;
      if (language == "Keine" && s.ConfigNames(n) == "available") s.ConfigNames(n) = free;
    }
  });
  for (int n = 1; n <= 5; ++n)
    if (s.ConfigTimes(n) == "True" || s.ConfigTimes(n) == "False") s.ConfigTimes(n) = "00:00";
  s.RestorePending = false;
  skipOnError(RefreshConfigLists);
  skipOnError([&] {
    bool reachable = false;
    if (s.SysInfo.DriveType(platform::upperCase(s.SaveFolder.substr(0, 3))) == "Removable drive") {
      reachable = true;
    } else {
      try {
        reachable = !hasForbiddenCharacters(s.SaveFolder) && platform::folderExists(s.SaveFolder);
      } catch (const RuntimeError&) {
        reachable = false;
      }
    }
    if (!reachable) {
      forms::msgBox(forms::loadResString(1167), forms::vbOKOnly, "");
      s.SaveFolder = forms::appPath() + "\\";
    }
  });
  skipOnError(setSaveFolderBox);
  s.CompressionLevel = compressionLevel(ReadIni("Settings", "Compression", file));
  skipOnError([&] { main.Slider1.setValue(std::stoi(s.CompressionLevel)); });
  skipOnError(SaveSettings);
}

}  // namespace

std::string settingsPath() { return forms::appPath() + "\\kelvaran.ini"; }

void SaveSettings() {
  auto& s = state();
  if (s.ConfigNames(1).empty()) return;
  s.SettingsSaved = true;
  auto& main = windows::Form1();
  main.Command14.setEnabled(false);
  enterProgramFolder();
  const std::string file = settingsPath();

  if (isSmartSaveFolder(s.SaveFolder)) s.SaveFolder = ReadIni("SystemPathes", "SaveFolder", file);
  if (s.SaveFolder.empty()) s.SaveFolder = forms::appPath();

  // Each value as WriteIni writes it, the file written once; a failure is skipped.
  IniWrites settings(file);
  for (int n = 1; n <= 5; ++n) {
    const std::string k = std::to_string(n);
    settings.write("Settings", "Config" + k, s.ConfigNames(n));
    settings.write("Settings", "LsDate" + k, s.ConfigDates(n));
    settings.write("Settings", "LsTime" + k, s.ConfigTimes(n));
  }
  settings.write("Settings", "Compression", platform::vb::trim(s.CompressionLevel));
  for (int n = 1; n <= 5; ++n) settings.write("Settings", "OSV" + std::to_string(n), s.ConfigOSV(n));

  // The machine's own Windows folder, never one loaded from a configuration.
  settings.write("SystemPathes", "SystemPath", s.machine.SystemPath);
  settings.write("SystemPathes", "SaveFolder", s.SaveFolder);
  settings.write("SystemPathes", "SaveFolderShort", GetShortNameFromLongName(s.SaveFolder));

  for (const auto& entry : kSystemFileBoxes)
    settings.write("SystemFiles", entry.key, std::to_string((main.*entry.box).value()));

  auto& dialog = windows::UserFiles();
  for (const auto& entry : kUserFileBoxes) {
    if (std::string_view(entry.key) == "NSCNews") {
      settings.write("UserFiles", "MSEIdentiteis", std::to_string(dialog.Combo1.listIndex() + 1));
      settings.write("UserFiles", "NSCMailUser", std::to_string(dialog.Combo2.listIndex() + 1));
    }
    settings.write("UserFiles", entry.key, std::to_string((dialog.*entry.box).value()));
  }

  try {
    settings.commit();
  } catch (const RuntimeError&) {
  }

  if (s.RestorePending) platform::writeFile("c:\\Restore.ini", "Restore=1\r\n");
  RefreshConfigLists();
}

void LoadSettings() {
  const std::string file = settingsPath();
  try {
    readCoreSettings(file);
  } catch (const RuntimeError& error) {
    damagedFileFallback(error);
    return;
  }
  readRemainingSettings(file);
}

}  // namespace core
