#include "core/disk_names.h"

#include "platform/vb.h"

namespace core {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view fileNameOf(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::string PartFileName(std::string_view target, int part) {
  std::string name(target.substr(0, target.empty() ? 0 : target.size() - 1));
  return name + std::to_string(part);
}

std::optional<int> TrailingNumber(std::string_view text) {
  std::size_t start = text.size();
  while (start > 0 && isDigit(text[start - 1])) --start;
  const auto digits = text.substr(start);
  if (digits.empty() || digits.size() > 6) return std::nullopt;
  int number = 0;
  for (const char c : digits) number = number * 10 + (c - '0');
  return number;
}

std::optional<std::string> NextVolumeLabel(std::string_view label) {
  const auto number = TrailingNumber(label);
  if (!number) return std::nullopt;
  std::size_t start = label.size();
  while (start > 0 && isDigit(label[start - 1])) --start;
  return std::string(label.substr(0, start)) + std::to_string(*number + 1);
}

bool IsStaleCopy(std::string_view name, std::string_view target, int fromPart) {
  const auto whole = fileNameOf(target);
  if (whole.empty()) return false;
  if (platform::vb::equalsNoCase(name, whole)) return true;
  const auto stem = whole.substr(0, whole.size() - 1);
  if (name.size() <= stem.size() || !platform::vb::equalsNoCase(name.substr(0, stem.size()), stem))
    return false;
  const auto rest = name.substr(stem.size());
  for (const char c : rest)
    if (!isDigit(c)) return false;
  if (rest.front() == '0') return false;  // parts are numbered without leading zeros
  const auto number = TrailingNumber(rest);
  return number && *number >= fromPart;
}

}  // namespace core
