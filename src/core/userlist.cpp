#include "core/userlist.h"

#include <algorithm>

#include "forms/app.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb_convert.h"
#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace core {

namespace {

// The items of a list file's text: every non-empty line after the first;
// lines end in CR LF, LF or CR.
std::vector<std::string_view> itemsOf(std::string_view text) {
  std::vector<std::string_view> items;
  std::size_t pos = 0;
  bool first = true;
  while (pos < text.size()) {
    const auto end = text.find_first_of("\r\n", pos);
    const std::string_view line =
        text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
    if (!first && !line.empty()) items.push_back(line);
    first = false;
    if (end == std::string_view::npos) break;
    pos = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return items;
}

// False when the file cannot be read (the list is left empty then).
bool fillFrom(forms::ListControl& list, const std::string& path) {
  list.clear();
  std::string text;
  try {
    text = platform::readFile(path);
  } catch (const platform::RuntimeError&) {
    return false;
  }
  list.addItems(itemsOf(text));
  return true;
}

}  // namespace

std::string userListPath() { return forms::appPath() + "\\kelvaran.usr"; }

std::vector<std::string> parseUserList(std::string_view text) {
  const std::vector<std::string_view> items = itemsOf(text);
  return std::vector<std::string>(items.begin(), items.end());
}

std::string formatUserList(const std::vector<std::string>& items) {
  std::string text = platform::vb::str(static_cast<double>(items.size())) + "\r\n";
  for (const auto& item : items) {
    if (item.empty()) break;
    text += item + "\r\n";
  }
  return text + "\r\n";
}

void LoadUserList() {
  if (!fillFrom(windows::UserFiles().List1, userListPath())) return;
  try {
    ShowUserListCount();
    SetUserListExtent();
  } catch (const platform::RuntimeError&) {
  }
}

void ShowUserListCount() {
  auto& dialog = windows::UserFiles();
  dialog.Frame8.setCaption(forms::loadResString(1216) +
                           platform::vb::str(static_cast<double>(dialog.List1.listCount())));
}

void LoadUserListInto(const std::string& path) { fillFrom(windows::RestoreReq().List1, path); }

void SaveUserList() {
  const auto& list = windows::UserFiles().List1;
  std::vector<std::string> items;
  for (int i = 0; i < list.listCount(); ++i) items.push_back(list.list(i));
  std::string text = formatUserList(items);
  // The count line counts every row, even past an empty one.
  text.replace(0, text.find("\r\n"), platform::vb::str(static_cast<double>(list.listCount())));
  try {
    platform::writeFile(userListPath(), text);
  } catch (const platform::RuntimeError&) {
  }
}

void SetUserListExtent() {
  auto& dialog = windows::UserFiles();
  // The extent shows only in the dialog, which sets it again each time it is
  // activated: a hidden dialog's list (a save's) is not measured item by item.
  if (!dialog.visible()) return;
  auto& list = dialog.List1;
  // Measured again only when the items changed since: the dialog is
  // activated again after every message box it shows.
  static std::uint64_t measured = 0;
  static int widest = 0;
  if (list.itemsRevision() != measured) {
    const auto& main = windows::Form1();
    widest = 0;
    for (int i = 0; i < list.listCount(); ++i) widest = std::max(widest, main.textWidth(list.list(i)));
    measured = list.itemsRevision();
  }
  list.setHorizontalExtent(widest + 5);
}

}  // namespace core
