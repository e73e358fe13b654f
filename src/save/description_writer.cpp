#include "save/description_writer.h"

#include "core/inifile.h"
#include "core/paths.h"
#include "forms/app.h"
#include "platform/error.h"
#include "platform/ini.h"
#include "platform/replace_file.h"
#include "save/boxes.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {

namespace {

const char* flag(bool on) { return on ? "1" : "0"; }
const char* enabledText(bool on) { return on ? "True" : "False"; }

// The list as Config<n>.usr holds it: the count with its sign blank, the
// items, one empty line; CR LF after each.
std::string userListText() {
  forms::ListBox& list = windows::UserFiles().List1;
  const int count = list.listCount();
  std::string text = " " + std::to_string(count) + "\r\n";
  for (int i = 0; i < count; ++i) text += list.list(i) + "\r\n";
  return text + "\r\n";
}

}  // namespace

std::string UsrTwin(std::string_view iniPath) {
  const std::string_view stem = iniPath.size() >= 3 ? iniPath.substr(0, iniPath.size() - 3) : iniPath;
  return std::string(stem) + "usr";
}

void SaveCINI(std::string_view iniPath, const DescriptionValues& v) {
  // The values are written into the file in one go at the end.
  core::IniWrites description(iniPath);
  // A value that cannot be written leaves the description incomplete: the
  // save must fail rather than commit it, with the write's own error (a full
  // disk is told as such).
  auto put = [&](const char* section, std::string_view key, std::string_view value) {
    if (description.write(section, key, value) == 0)
      platform::raise(description.error() ? description.error() : platform::kDeviceIoError);
  };
  put("Configuration", "OSV", v.osv);
  put("Configuration", "ConfigName", v.configName);
  put("SystemFiles", "SystemPath", v.systemPath);
  put("SystemFiles", "SaveFolder", v.saveFolder);
  put("SystemFiles", "SaveFolderShort", core::GetShortNameFromLongName(v.saveFolder));

  const auto& systemKeys = kSystemDescriptionKeys;
  for (std::size_t i = 0; i < systemKeys.size(); ++i) {
    put("SystemFilesSaved", systemKeys[i].key, flag(v.saved.system[i]));
    put("SystemFiles", systemKeys[i].key, enabledText(Form1Box(systemKeys[i].box).enabled()));
  }
  const auto& userKeys = kUserDescriptionKeys;
  for (std::size_t i = 0; i < userKeys.size(); ++i) {
    put("UserFilesSaved", userKeys[i].key, flag(v.saved.user[i]));
    put("UserFiles", userKeys[i].key, enabledText(UserFilesBox(userKeys[i].box).enabled()));
  }

  auto& u = windows::UserFiles();
  put("UserFiles", "MSEVersion", u.Label1.caption());
  put("UserFiles", "MSEAdrVersion", u.Label4.caption());
  put("UserFiles", "MSEAdrIdent", u.Label3.caption() + " " + u.Combo1.text());
  put("UserFiles", "NSCMailUser", "User: " + u.Combo2.text());
  // A folder is recorded only for a group that was saved.
  put("UserFiles", "PathFavorites", v.saved.user[userFlag("MSEFavorites")] ? v.favorites : "NONE");
  put("UserFiles", "PathNetscape", v.netscape);
  put("UserFiles", "PathStartmenue", v.saved.system[systemFlag("Startmenue")] ? v.startMenu : "NONE");
  description.commit();

  platform::replaceFile(UsrTwin(iniPath), userListText());
  forms::doEvents();
}

}  // namespace save
