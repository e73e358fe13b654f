#include "userfiles/remove_dupes.h"

#include <string_view>
#include <unordered_map>

namespace userfiles {
namespace {

bool blank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

void RemoveDupes(std::vector<std::string>& items) {
  std::size_t first = 0;
  while (first < items.size() && items[first].empty()) ++first;
  if (first == items.size()) return;

  // Where each string stands for the last time after the first item.
  std::unordered_map<std::string_view, std::size_t> last;
  last.reserve(items.size() - first);
  for (std::size_t i = first + 1; i < items.size(); ++i) last[items[i]] = i;

  std::vector<std::string> kept;
  kept.reserve(items.size());
  kept.push_back(items[first]);
  for (std::size_t i = first + 1; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (blank(item) || item == kept.front() || last[item] != i) continue;
    kept.push_back(item);
  }
  kept.resize(items.size());
  items = std::move(kept);
}

}  // namespace userfiles
