#pragma once
// Windows-1252 case rules: a-z and the accented letters (à-þ but ÷, š œ ž ÿ)
// and their capitals; every other byte is its own case.
#include <string>
#include <string_view>

namespace platform {

char upperChar(char c);
char lowerChar(char c);
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);
// Equality ignoring case, as Windows compares file, profile and registry names.
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace platform
