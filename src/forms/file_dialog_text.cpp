#include "forms/file_dialog_text.h"

namespace forms {

std::vector<std::string> qtNameFilters(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start < filter.size()) {
    std::size_t bar = filter.find('|', start);
    if (bar == std::string_view::npos) bar = filter.size();
    parts.emplace_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<std::string> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns;
    std::string_view rest = parts[i + 1];
    while (!rest.empty()) {
      std::size_t semi = rest.find(';');
      std::string pattern(rest.substr(0, semi));
      if (pattern == "*.*") pattern = "*";
      if (!pattern.empty()) patterns += (patterns.empty() ? "" : " ") + pattern;
      rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
    }
    filters.push_back(parts[i] + " (" + (patterns.empty() ? "*" : patterns) + ")");
  }
  return filters;
}

std::string encodeSelection(const std::vector<std::string>& windowsPaths) {
  if (windowsPaths.empty()) return {};
  if (windowsPaths.size() == 1) return windowsPaths.front();
  const std::string& first = windowsPaths.front();
  std::size_t slash = first.rfind('\\');
  std::string folder = first.substr(0, slash);
  if (folder.size() == 2 && folder[1] == ':') folder += '\\';
  std::string out = folder;
  for (const std::string& path : windowsPaths) {
    out.push_back('\0');
    out += path.substr(path.rfind('\\') + 1);
  }
  return out;
}

}  // namespace forms
