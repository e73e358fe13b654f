#pragma once
// The configuration loaded for a restore or an import: what its description
// says about the archives and the machine that saved it. The description
// readers fill it; the restore engine reads it. A reading never touches this
// machine's own state: SystemPath, the Start menu and browser folders,
// ConfigNames, ConfigOSV, SaveFolder and the settings file keep their values,
// so a cancelled restore leaves everything as it was.
#include <cstdint>
#include <string>

#include "core/varray.h"

namespace restore {

struct LoadedConfiguration {
  int slot = 1;                // n of Config<n>.ini and Conf<n>*.kvz (1..5)
  std::string IniPath;         // the description that was read
  std::string SaveFolder;      // folder of the archives, trailing "\"
  std::string SystemPath;      // Windows folder of the machine that saved it
  std::string PathFavorites;   // "NONE" when the group was not saved
  std::string PathNetscape;    // "NONE" when the group was not saved
  std::string PathStartmenue;  // as stored ("NONE" when not saved)
  std::string ConfigName;      // [Configuration] ConfigName
  std::string OSV;             // [Configuration] OSV, the saving machine's OS text

  // The disk set of archives saved onto removable disks ([SplitLog]):
  // SplitFile(k) and SplitDisk(k) for archive k = 1..9 (element 10 unused),
  // the part count 0 for an archive that lies whole on one disk.
  bool onRemovableDrive = false;
  core::VArray<std::string, 1, 10> SplitFile;
  core::VArray<std::int16_t, 1, 10> SplitDisk;
  // App.Path & "\DiskRestore\" when at least one archive was split over
  // several disks (they are joined there first), else "".
  std::string DiskRestorePath;
};

// The one loaded configuration of the run.
LoadedConfiguration& loadedConfiguration();
// Forgets the loaded configuration (every reading starts with this).
void clearLoadedConfiguration();

}  // namespace restore
