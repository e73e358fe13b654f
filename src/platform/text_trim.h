#pragma once
// Blanks and tabs around a piece of text, as the profile and registry file
// readers drop them.
#include <string_view>

namespace platform {

// `s` without the characters of `white` at either end.
inline std::string_view trimChars(std::string_view s, std::string_view white) {
  const auto first = s.find_first_not_of(white);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(white) - first + 1);
}

inline std::string_view trimWhite(std::string_view s) { return trimChars(s, " \t"); }

}  // namespace platform
