#include "core/discovery.h"

#include <vector>

#include "core/paths.h"
#include "core/state.h"
#include "platform/paths.h"
#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace core {

namespace {

using platform::HKey;
using platform::kHkeyCurrentUser;
using platform::kHkeyLocalMachine;

constexpr int kMenuColour = 4;         // a disabled combo's background
constexpr int kTitleTextColour = 9;    // an enabled combo's background
constexpr std::uint32_t kAccess = 63;  // query, set, create, enumerate, notify, link

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kNavigator = "Software\\Netscape\\Netscape Navigator";

// One value of one key; an empty holder when the key or value is missing.
RegValue readValue(HKey hive, const std::string& subKey, const std::string& name) {
  RegValue value = std::string();
  HKey key = 0;
  if (platform::regOpenKeyEx(hive, subKey, 0, kAccess, &key) != platform::kErrorSuccess) return value;
  ReadRegValue(key, name, value);
  platform::regCloseKey(key);
  return value;
}

// The text a caption or list shows: up to the first NUL; a number in decimal.
std::string shown(const RegValue& value) {
  if (const auto* number = std::get_if<std::int32_t>(&value)) return std::to_string(*number);
  if (const auto* text = std::get_if<std::string>(&value)) return text->substr(0, text->find('\0'));
  return "";
}

// A value that exists (an empty string still has its NUL).
bool present(const RegValue& value) {
  if (std::holds_alternative<std::int32_t>(value)) return true;
  const auto* text = std::get_if<std::string>(&value);
  return text && !text->empty();
}

// A usable path: present, not empty, no character Windows forbids.
std::string pathValue(const RegValue& value) {
  if (!std::holds_alternative<std::string>(value)) return "";
  std::string path = shown(value);
  if (path.empty() || hasForbiddenCharacters(path)) return "";
  return path;
}

std::string versionCaption(const RegValue& value) { return present(value) ? "Version " + shown(value) : ""; }

std::vector<std::string> subKeys(HKey key, std::uint32_t startSize) {
  std::vector<std::string> names;
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t size = startSize;
    std::vector<char> buffer(size, '\0');
    long result = platform::regEnumKey(key, index, buffer.data(), size);
    while (result == platform::kErrorMoreData) {
      buffer.assign(++size, '\0');
      result = platform::regEnumKey(key, index, buffer.data(), size);
    }
    if (result != platform::kErrorSuccess) break;
    names.emplace_back(buffer.data());
  }
  return names;
}

std::string withoutSeparator(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

void detectWindows() {
  auto& s = state();
  auto& main = windows::Form1();
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion";
  main.Label5.setCaption(shown(readValue(kHkeyLocalMachine, key, "ProductName")));
  main.Label7.setCaption(shown(readValue(kHkeyLocalMachine, key, "VersionNumber")));
  main.Label9.setCaption(shown(readValue(kHkeyLocalMachine, key, "SubVersionNumber")));
  const std::string root = withoutSeparator(pathValue(readValue(kHkeyLocalMachine, key, "SystemRoot")));
  if (!root.empty()) {
    s.SystemPath = GetShortNameFromLongName(root);  // "" for a folder that is not there
  } else {
    // No usable value: the Windows folder the system itself reports.
    const std::string windows = withoutSeparator(s.SysInfo.WinDir());
    const std::string shortWindows = GetShortNameFromLongName(windows);
    s.SystemPath = shortWindows.empty() ? windows : shortWindows;
  }
  s.machine.SystemPath = s.SystemPath;
  s.TempDir = s.SysInfo.TempDir();
  if (s.TempDir.empty()) s.TempDir = s.SystemPath + "\\Temp\\";
  const std::string own = "Software\\Tavrine Software\\Kelvaran\\2.5";
  main.Label13.setCaption(shown(readValue(kHkeyLocalMachine, own, "MinorVersion")));
  main.Label11.setCaption(shown(readValue(kHkeyLocalMachine, own, "MajorVersion")));
}

void detectInternetExplorer() {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  const std::string version =
      versionCaption(readValue(kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version"));
  dialog.Label1.setCaption(version);
  windows::RestoreReq().Label2.setCaption(version);
  s.PathFavorites =
      platform::withTrailingBackslash(pathValue(readValue(kHkeyCurrentUser, kShellFolders, "Favorites")));
  if (s.PathFavorites.empty()) dialog.Check12.setEnabled(false);
}

void detectNavigatorProfiles() {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  auto& restore = windows::RestoreReq();
  s.NetscapeUsersDir = "";
  const std::string user =
      shown(readValue(kHkeyLocalMachine, std::string(kNavigator) + "\\Users", "CurrentUser"));
  // A profile user counts only with a usable profile folder.
  const std::string profile =
      user.empty()
          ? ""
          : pathValue(readValue(kHkeyLocalMachine, std::string(kNavigator) + "\\Users\\" + user, "DirRoot"));
  if (!profile.empty()) {
    s.PathNetscape = profile;
    const std::string version = versionCaption(readValue(kHkeyLocalMachine, kNavigator, "CurrentVersion"));
    dialog.Label2.setCaption(version);
    restore.Label3.setCaption(version);
    return;
  }
  s.PathNetscape = "";
  dialog.Check11.setEnabled(false);
  dialog.Check4.setEnabled(false);
  dialog.Check5.setEnabled(false);
  dialog.Combo2.setEnabled(false);
  dialog.Combo2.setBackColor(kMenuColour);
  restore.Label3.setCaption("");
}

void detectMessengerUsers() {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  if (dialog.Check5.enabled()) return;
  dialog.Combo2.clear();
  dialog.List4.clear();
  const std::string usersKey = std::string(kNavigator) + "\\biff\\Users";
  HKey key = 0;
  if (platform::regOpenKeyEx(kHkeyCurrentUser, usersKey, 0, kAccess, &key) != platform::kErrorSuccess) return;
  const auto users = subKeys(key, 3);
  platform::regCloseKey(key);
  for (const auto& user : users) {
    // Every user keeps its place in both lists; "" stands for a missing folder.
    const std::string popstate =
        pathValue(readValue(kHkeyCurrentUser, usersKey + "\\" + user + "\\servers\\mail", "PopstatePath"));
    dialog.Combo2.addItem(user);
    dialog.List4.addItem(folderAbove(popstate, 2));
  }
  if (users.empty()) return;
  dialog.Check5.setEnabled(true);
  dialog.Label5.setEnabled(true);
  dialog.Combo2.setEnabled(true);
  dialog.Combo2.setBackColor(kTitleTextColour);
  const std::string install =
      pathValue(readValue(kHkeyCurrentUser, std::string(kNavigator) + "\\Main", "Install Directory"));
  const std::string parent = folderAbove(install, 1);
  if (!parent.empty()) {
    s.PathNetscape = platform::withTrailingBackslash(parent) + "Users\\";
    s.NetscapeUsersDir = s.PathNetscape;
  }
  const RegValue version = readValue(kHkeyLocalMachine, kNavigator, "CurrentVersion");
  if (present(version)) dialog.Label6.setCaption(versionCaption(version));
  const std::string current =
      shown(readValue(kHkeyCurrentUser, std::string(kNavigator) + "\\biff", "CurrentUser"));
  if (!current.empty()) {
    for (int j = 0; j < dialog.Combo2.listCount(); ++j)
      if (dialog.Combo2.list(j) == current) dialog.Combo2.setListIndex(j);
  } else {
    dialog.Combo2.setListIndex(dialog.Combo2.listCount() >= 2 ? 1 : 0);
  }
}

void detectShellFolders() {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  s.PathStartmenue =
      platform::withTrailingBackslash(pathValue(readValue(kHkeyCurrentUser, kShellFolders, "Start Menu")));
  if (s.PathStartmenue.empty()) windows::Form1().Check1.setEnabled(false);
  s.AddressBookFile =
      pathValue(readValue(kHkeyCurrentUser, "Software\\Microsoft\\WAB\\WAB4\\Wab File Name", ""));
  if (s.AddressBookFile.empty()) dialog.Check1.setEnabled(false);
  s.CookiesDir =
      platform::withTrailingBackslash(pathValue(readValue(kHkeyCurrentUser, kShellFolders, "Cookies")));
  if (s.CookiesDir.empty()) dialog.Check2.setEnabled(false);
}

void detectOutlookExpress() {
  auto& s = state();
  auto& dialog = windows::UserFiles();
  const RegValue current =
      readValue(kHkeyLocalMachine, "Software\\Microsoft\\Outlook Express\\Version Info", "Current");
  if (!present(current)) {
    const std::string store =
        pathValue(readValue(kHkeyCurrentUser, "Software\\Microsoft\\Outlook Express", "Store Root"));
    s.OEMailDir = store.empty() ? "" : platform::withTrailingBackslash(store) + "Mail\\";
    dialog.Check3.setEnabled(!store.empty());
  } else {
    dialog.Check3.setEnabled(false);
  }
}

void detectIdentities() {
  auto& dialog = windows::UserFiles();
  if (dialog.Check3.enabled()) return;
  dialog.List2.clear();
  dialog.List3.clear();
  dialog.Combo1.clear();
  HKey key = 0;
  if (platform::regOpenKeyEx(kHkeyCurrentUser, "Identities", 0, kAccess, &key) != platform::kErrorSuccess)
    return;
  const auto identities = subKeys(key, 35);
  platform::regCloseKey(key);
  for (const auto& identity : identities) dialog.List2.addItem(identity);
  if (!identities.empty()) {
    for (const auto& identity : identities) {
      // A named identity adds its name and its store folder ("" for none)
      // at the same index; one without a name adds to neither list.
      const std::string name = shown(readValue(kHkeyCurrentUser, "Identities\\" + identity, "UserName"));
      if (name.empty()) continue;
      const std::string store = pathValue(
          readValue(kHkeyCurrentUser,
                    "Identities\\" + identity + "\\Software\\Microsoft\\Outlook Express\\5.0", "Store Root"));
      dialog.Combo1.addItem(name);
      dialog.List3.addItem(withoutSeparator(store));
      if (!store.empty()) dialog.Check3.setEnabled(true);
    }
    const std::string last = shown(readValue(kHkeyCurrentUser, "Identities\\", "Last Username"));
    if (!last.empty()) {
      for (int k = 0; k < dialog.Combo1.listCount(); ++k) {
        if (dialog.Combo1.list(k) != last) continue;
        dialog.Combo1.setListIndex(k);
        windows::RestoreReq().Label4.setCaption("Idenity " + last);
      }
    }
  }
  const std::string version =
      versionCaption(readValue(kHkeyLocalMachine, "Software\\Microsoft\\Outlook Express", "MediaVer"));
  dialog.Label4.setCaption(version);
  windows::RestoreReq().Label5.setCaption(version);
}

}  // namespace

std::int32_t ReadRegValue(HKey key, const std::string& name, RegValue& value) {
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  long result = platform::regQueryValueEx(key, name, &type, nullptr, &size);
  if (result != platform::kErrorSuccess) return static_cast<std::int32_t>(result);
  if (type == platform::kRegSz) {
    std::string buffer(size, '\0');
    result =
        platform::regQueryValueEx(key, name, &type, reinterpret_cast<std::uint8_t*>(buffer.data()), &size);
    if (result == platform::kErrorSuccess)
      value = buffer.substr(0, size);
    else
      value = std::monostate{};
    return static_cast<std::int32_t>(result);
  }
  if (type == platform::kRegDword) {
    std::int32_t number = 0;
    size = sizeof number;
    result = platform::regQueryValueEx(key, name, &type, reinterpret_cast<std::uint8_t*>(&number), &size);
    if (result == platform::kErrorSuccess) value = number;
    return static_cast<std::int32_t>(result);
  }
  return -1;
}

std::string folderAbove(const std::string& path, int components) {
  std::string folder = path;
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  for (int i = 0; i < components; ++i) {
    const auto cut = folder.rfind('\\');
    if (cut == std::string::npos || cut < 2) return "";
    folder.resize(cut);
  }
  return folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
}

void DetectEnvironment() {
  auto& s = state();
  detectWindows();
  detectInternetExplorer();
  detectNavigatorProfiles();
  detectMessengerUsers();
  detectShellFolders();
  detectOutlookExpress();
  detectIdentities();
  s.machine = {s.SystemPath, s.PathStartmenue, s.PathFavorites, s.PathNetscape};
}

}  // namespace core
