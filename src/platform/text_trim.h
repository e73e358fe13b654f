#pragma once
// Blanks and tabs around a piece of text, as the profile and registry file
// readers drop them.
#include <string_view>

namespace platform {

inline std::string_view trimWhite(std::string_view s) {
  constexpr std::string_view kWhite = " \t";
  const auto first = s.find_first_not_of(kWhite);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kWhite) - first + 1);
}

}  // namespace platform
