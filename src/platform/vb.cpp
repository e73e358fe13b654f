#include "platform/vb.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/text_trim.h"

namespace platform::vb {

std::string trim(std::string_view s) { return std::string(trimChars(s, " ")); }

std::string lTrim(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string rTrim(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string left(std::string_view s, std::int64_t length) {
  if (length < 0) raise(kInvalidCall);
  return std::string(s.substr(0, static_cast<std::size_t>(std::min<std::int64_t>(length, s.size()))));
}

std::string right(std::string_view s, std::int64_t length) {
  if (length < 0) raise(kInvalidCall);
  const auto n = static_cast<std::size_t>(std::min<std::int64_t>(length, s.size()));
  return std::string(s.substr(s.size() - n));
}

std::string mid(std::string_view s, std::int64_t start) {
  if (start < 1) raise(kInvalidCall);
  return mid(s, start, static_cast<std::int64_t>(s.size()));
}

std::string mid(std::string_view s, std::int64_t start, std::int64_t length) {
  if (start < 1 || length < 0) raise(kInvalidCall);
  if (start > static_cast<std::int64_t>(s.size())) return {};
  const auto from = static_cast<std::size_t>(start - 1);
  return std::string(
      s.substr(from, static_cast<std::size_t>(std::min<std::int64_t>(length, s.size() - from))));
}

std::int64_t inStr(std::string_view s, std::string_view find, Compare compare) {
  return inStr(1, s, find, compare);
}

std::int64_t inStr(std::int64_t start, std::string_view s, std::string_view find, Compare compare) {
  if (start < 1) raise(kInvalidCall);
  const auto size = static_cast<std::int64_t>(s.size());
  if (s.empty() || start > size) return 0;
  if (find.empty()) return start;
  const std::string hay = compare == Compare::Text ? lCase(s) : std::string(s);
  const std::string needle = compare == Compare::Text ? lCase(find) : std::string(find);
  const auto at = hay.find(needle, static_cast<std::size_t>(start - 1));
  return at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

std::string uCase(std::string_view s) { return upperCase(s); }
std::string lCase(std::string_view s) { return lowerCase(s); }

std::string space(std::int64_t count) {
  if (count < 0) raise(kInvalidCall);
  return std::string(static_cast<std::size_t>(count), ' ');
}

}  // namespace platform::vb
