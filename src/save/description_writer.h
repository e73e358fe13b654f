#pragma once
// The configuration description of a save: Config<n>.ini (written key by
// key through WriteIni, in the section and key order readers know) and its
// twin Config<n>.usr (the slot's user-file list).
#include <array>
#include <string>
#include <string_view>

namespace save {

// The 17 system-file keys, in the order they are written.
struct SystemKey {
  const char* key;  // "Autoexec.bat"
  int box;          // Form1.Check<box>
};
const std::array<SystemKey, 17>& SystemDescriptionKeys();

// The 8 browser and mail items, in the order they are written.
struct UserKey {
  const char* key;  // "NSCBookmark"
  int box;          // UserFiles.Check<box>
};
const std::array<UserKey, 8>& UserDescriptionKeys();

// What the save really made, by position in the two tables above.
struct SavedFlags {
  std::array<bool, 17> system{};
  std::array<bool, 8> user{};
};

// What the description records besides the windows' boxes and labels.
struct DescriptionValues {
  std::string osv;         // [Configuration] OSV
  std::string configName;  // [Configuration] ConfigName
  std::string systemPath;  // this machine's Windows folder, no trailing "\"
  std::string saveFolder;  // where the archives lie, ending with "\"
  std::string favorites;   // this machine's Favorites folder
  std::string netscape;    // the chosen Netscape profile folder
  std::string startMenu;   // this machine's Start Menu folder
  SavedFlags saved;
};

// The .usr twin of a description path: its last three characters -> "usr".
std::string UsrTwin(std::string_view iniPath);

// Writes the description into `iniPath` (which holds nothing yet, or only a
// [SplitLog] section) and its .usr twin from UserFiles.List1. The Enabled
// flags come from the boxes; a saved flag is "1" only when `values.saved`
// says the group was made. Raises when a value or the .usr file cannot be
// written (a refused value, such as one holding a line break, counts).
void SaveCINI(std::string_view iniPath, const DescriptionValues& values);

}  // namespace save
