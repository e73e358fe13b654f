#include "restore/import_reader.h"

#include "core/error_messages.h"
#include "core/inifile.h"
#include "core/state.h"
#include "core/userlist.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "restore/import_listing.h"
#include "restore/legacy_description.h"
#include "restore/load_cini.h"
#include "restore/loaded_configuration.h"
#include "save/archive_runs.h"
#include "windows/form1.h"
#include "windows/import.h"
#include "windows/restorereq.h"

namespace restore {

namespace {

constexpr const char* kLogContext = "LoadCINIImport";

using forms::loadResString;

// The description could not be read far enough to know where its archives
// are: the import cannot go on.
void reportUnreadable(int error, const std::string& path) {
  core::WriteErrorLog(error, kLogContext);
  std::string text = error == platform::kFileNotFound ? loadResString(1064) : core::FileErrorMessage(error);
  if (text.empty()) text = platform::errorText(error);
  forms::msgBox(text + " (" + path + ")", forms::vbOKOnly + forms::vbCritical, loadResString(1005));
}

// The 1.2x file: its pairs tick the boxes, its folders fill the record; the
// user-file list stays empty. False when the read is refused.
bool readLegacy(const std::string& path, const std::string& chosenFolder, LoadedConfiguration& loaded) {
  const int answer =
      forms::msgBox(loadResString(1251), forms::vbOKCancel + forms::vbInformation + forms::vbDefaultButton2,
                    loadResString(1005));
  if (answer == forms::vbCancel) return false;
  const LegacyDescription d = readLegacyDescription(path);
  if (!d.saveFolder) {
    reportUnreadable(d.error, path);
    return false;
  }
  ClearRestoreDialog();
  loaded.ConfigName = d.name.value_or("");
  loaded.SystemPath = d.systemPath.value_or("");
  loaded.SaveFolder = importArchiveFolder(chosenFolder, *d.saveFolder, loaded.slot);
  windows::RestoreReqWindow& r = windows::RestoreReq();
  for (std::size_t k = 0; k < d.pairs.size(); ++k)
    (r.*kLegacyPairs[k].box).setValue(d.pairs[k].saved != 0 ? 1 : 0);
  // This format marks an absent folder with an empty field (or "None" for
  // the Start menu); the record uses "NONE" as a current description does.
  loaded.PathFavorites = d.favorites && !d.favorites->empty() ? *d.favorites : "NONE";
  loaded.PathNetscape = d.netscape && !d.netscape->empty() ? *d.netscape : "NONE";
  loaded.PathStartmenue = d.startMenu && !d.startMenu->empty() ? *d.startMenu : "NONE";
  if (d.favorites && d.favorites->empty()) r.Check11.setValue(0);
  if (d.netscape && d.netscape->empty()) r.Check10.setValue(0);
  // A read that stopped half-way keeps what came before it.
  if (!d.complete()) core::WriteErrorLog(d.error, kLogContext);
  OfferSavedGroups();
  return true;
}

void readCurrent(const std::string& path, const std::string& chosenFolder, LoadedConfiguration& loaded) {
  const std::string recorded = core::ReadIni("SystemFiles", "SaveFolder", path);
  loaded.SaveFolder =
      importArchiveFolder(chosenFolder, platform::withTrailingBackslash(recorded), loaded.slot);
  loaded.SystemPath = core::ReadIni("SystemFiles", "SystemPath", path);
  ClearRestoreDialog();
  ReadSplitLog(path, loaded);
  FillRestoreBoxes(path, loaded);
  core::LoadUserListInto(path.substr(0, path.size() - 3) + "usr");
}

}  // namespace

std::string importArchiveFolder(std::string_view chosen, std::string_view recorded, int slot) {
  if (recorded.empty()) return std::string(chosen);
  for (const std::string& suffix : save::ArchiveSuffixes()) {
    if (platform::fileExists(std::string(chosen) + save::ArchiveName(slot, suffix)))
      return std::string(chosen);
  }
  return std::string(recorded);
}

bool LoadCINIImport() {
  const windows::ImportWindow& d = windows::Import();
  const int slot = rowSlot(d.List1.text());
  if (slot == 0) return false;
  clearLoadedConfiguration();
  LoadedConfiguration& loaded = loadedConfiguration();
  const std::string folder = d.Label4.caption();
  loaded.slot = slot;
  loaded.IniPath = folder + "Config" + std::to_string(slot) + ".ini";
  const std::string& path = loaded.IniPath;
  loaded.ConfigName = core::ReadIni("Configuration", "ConfigName", path);
  loaded.OSV = core::ReadIni("Configuration", "OSV", path);
  if (loaded.OSV != windows::Form1().Label5.caption() && !AcceptOtherSystem()) {
    core::state().RestoreState = 3;
    return false;
  }
  if (isLegacyDescription(path)) return readLegacy(path, folder, loaded);
  readCurrent(path, folder, loaded);
  return true;
}

}  // namespace restore
