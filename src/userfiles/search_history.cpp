#include "userfiles/search_history.h"

#include <string>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb_convert.h"
#include "windows/adduser.h"

namespace userfiles {
namespace {

constexpr const char* kSection = "AddUserSettings";

const std::string& historyFile() { return core::state().UserFilesIniPath; }

void readList(forms::ComboBox& box, const std::string& key) {
  for (int i = 0;; ++i) {
    const std::string value = core::ReadIni(kSection, key + std::to_string(i), historyFile());
    if (value.empty()) return;
    box.addItem(value);
  }
}

void writeList(const forms::ComboBox& box, const std::string& key) {
  for (int i = 0; i < box.listCount(); ++i)
    core::WriteIni(kSection, key + std::to_string(i), box.list(i), historyFile());
}

}  // namespace

std::string searchPattern(std::string_view fileType) {
  const auto first = fileType.find_first_not_of(' ');
  if (first == std::string_view::npos) return "";
  const std::string_view text = fileType.substr(first, fileType.find_last_not_of(' ') - first + 1);
  if (text.front() == '*') return std::string(text);
  std::string extension;
  for (const char c : text)
    if (c != ' ' && (c != '.' || !extension.empty())) extension += c;
  return extension.empty() ? "" : "*." + extension;
}

void LoadAddUserSettings() {
  auto& a = windows::AddUser();
  a.Combo1.clear();
  a.Combo2.clear();
  readList(a.Combo1, "Filetypes");
  const std::string subDirs = core::ReadIni(kSection, "SubDirs", historyFile());
  const double value = platform::vb::isNumeric(subDirs) ? platform::vb::val(subDirs) : 0;
  a.Check1.setValue(value == 1 || value == 2 ? static_cast<int>(value) : 0);
  readList(a.Combo2, "FilePath");
}

void SaveAddUserSettings() {
  auto& a = windows::AddUser();
  try {
    platform::kill(historyFile());
  } catch (const platform::RuntimeError&) {
    // No history yet, or one that cannot go: the keys are written all the same.
  }
  writeList(a.Combo1, "Filetypes");
  writeList(a.Combo2, "FilePath");
  core::WriteIni(kSection, "SubDirs", platform::vb::str(a.Check1.value()), historyFile());
}

}  // namespace userfiles
