#pragma once
// The configuration description of a save: Config<n>.ini (written key by
// key through WriteIni, in the section and key order readers know) and its
// twin Config<n>.usr (the slot's user-file list).
#include <array>
#include <string>
#include <string_view>

namespace save {

// A key of the description and the box that chooses its group.
struct DescriptionKey {
  std::string_view key;  // "Autoexec.bat"
  int box;               // Form1.Check<box> or UserFiles.Check<box>
};

// The 17 system-file keys, in the order they are written; the box is Form1's.
inline constexpr std::array<DescriptionKey, 17> kSystemDescriptionKeys{{
    {"Autoexec.bat", 8},
    {"Config.sys", 9},
    {"Control.ini", 4},
    {"Msdos.sys", 10},
    {"Protocol.ini", 5},
    {"System.dat", 7},
    {"Classes.dat", 11},
    {"System.ini", 3},
    {"User.dat", 6},
    {"Win.ini", 2},
    {"Autoexec.dos", 13},
    {"Config.dos", 14},
    {"Dblspace.ini", 15},
    {"Drvspace.ini", 16},
    {"Drvspace.bin", 17},
    {"Startmenue", 1},
    {"Dblspace.bin", 12},
}};

// The 8 browser and mail items, in the order they are written; the box is UserFiles'.
inline constexpr std::array<DescriptionKey, 8> kUserDescriptionKeys{{
    {"NSCBookmark", 11},
    {"MSEFavorites", 12},
    {"MSEAdressbook", 1},
    {"MSECookies", 2},
    {"MSEMailbox", 3},
    {"NSCCookies", 4},
    {"NSCMail", 5},
    {"NSCNews", 6},
}};

// The position of `key` in `keys`; a key the table lacks does not compile.
template <std::size_t N>
consteval std::size_t keyPosition(const std::array<DescriptionKey, N>& keys, std::string_view key) {
  for (std::size_t i = 0; i < N; ++i)
    if (keys[i].key == key) return i;
  throw "not a key of the description";
}
consteval std::size_t systemFlag(std::string_view key) { return keyPosition(kSystemDescriptionKeys, key); }
consteval std::size_t userFlag(std::string_view key) { return keyPosition(kUserDescriptionKeys, key); }

// What the save really made, by position in the two tables above
// (saved.system[systemFlag("Startmenue")]).
struct SavedFlags {
  std::array<bool, kSystemDescriptionKeys.size()> system{};
  std::array<bool, kUserDescriptionKeys.size()> user{};
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
