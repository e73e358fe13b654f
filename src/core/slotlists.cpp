#include "core/slotlists.h"

#include <cctype>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/state.h"
#include "forms/messages.h"
#include "platform/text_trim.h"
#include "platform/vb_datetime.h"
#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace core {

namespace {

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// "9/Dec/2026" from "9/12/2026"; the stored text when it is not of that form.
std::string shownDate(std::string_view date) {
  const auto first = date.find('/');
  if (first == std::string_view::npos) return std::string(date);
  const auto second = date.find('/', first + 1);
  if (second == std::string_view::npos || date.size() < 4) return std::string(date);
  const std::string_view monthText = date.substr(first + 1, second - first - 1);
  if (!allDigits(monthText)) return std::string(date);
  const int month = std::stoi(std::string(monthText));
  if (month < 1 || month > 12) return std::string(date);
  return std::string(date.substr(0, first)) + "/" + forms::loadResString(1270 + month) + "/" +
         std::string(date.substr(date.size() - 4));
}

std::string shownTime(std::string_view time) {
  try {
    return platform::vb::format(platform::vb::cDate(time), "hh:nn");
  } catch (const platform::RuntimeError&) {
    return std::string(time);
  }
}

}  // namespace

std::string slotRow(std::string_view name, std::string_view date, std::string_view time) {
  if (name == forms::loadResString(1010)) return std::string(name);
  std::string row(name);
  if (row.size() < 20) row.append(20 - row.size(), ' ');
  // The date as the settings file reads it back: without the sign blank it is written with.
  return row + shownDate(platform::trimWhite(date)) + "     " + shownTime(time);
}

std::string slotNamesCaption() {
  const auto& s = state();
  std::string caption;
  for (int n = 1; n <= 5; ++n) {
    if (n > 1) caption += '\r';
    caption += s.ConfigNames(n);
  }
  return caption;
}

void RefreshConfigLists() {
  const auto& s = state();
  auto& main = windows::Form1();
  for (int n = 1; n <= 5; ++n) {
    const std::string row = slotRow(s.ConfigNames(n), s.ConfigDates(n), s.ConfigTimes(n));
    main.List2.setList(n - 1, row);
    main.List3.setList(n - 1, row);
  }
  main.Label2.setCaption(slotNamesCaption());
  auto& restoreList = windows::RestoreReq().List1;
  const auto& userList = windows::UserFiles().List1;
  restoreList.clear();
  // Added some thousands at a time: a long list is not copied whole first.
  constexpr std::size_t kRun = 4096;
  std::vector<std::string> items;
  for (int i = 0; i < userList.listCount(); ++i) {
    std::string item = userList.list(i);
    if (item.empty()) break;
    items.push_back(std::move(item));
    if (items.size() < kRun) continue;
    restoreList.addItems(items);
    items.clear();
  }
  restoreList.addItems(items);
}

}  // namespace core
