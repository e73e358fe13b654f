#pragma once
// String functions of the program's language runtime, on Windows-1252 bytes.
// Positions are 1-based as in the runtime; bad arguments raise error 5.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/charcase.h"

namespace platform::vb {

enum class Compare { Binary, Text };  // vbBinaryCompare, vbTextCompare

std::string trim(std::string_view s);  // blanks only, not tabs
std::string lTrim(std::string_view s);
std::string rTrim(std::string_view s);

std::string left(std::string_view s, std::int64_t length);   // 5 when length < 0
std::string right(std::string_view s, std::int64_t length);  // 5 when length < 0
// Mid(s, start[, length]): 5 when start < 1 or length < 0; "" past the end.
std::string mid(std::string_view s, std::int64_t start);
std::string mid(std::string_view s, std::int64_t start, std::int64_t length);

// InStr([start,] s, find): position of `find` at or after `start`, 0 when
// absent; an empty `find` gives `start` (0 when s is empty or start lies
// beyond it). 5 when start < 1.
std::int64_t inStr(std::string_view s, std::string_view find, Compare compare = Compare::Binary);
std::int64_t inStr(std::int64_t start, std::string_view s, std::string_view find,
                   Compare compare = Compare::Binary);

// Case mapping of Windows-1252 letters (accented letters included), the
// file system's own rules.
using platform::equalsNoCase;
using platform::lowerChar;
using platform::upperChar;
std::string uCase(std::string_view s);
std::string lCase(std::string_view s);

std::string space(std::int64_t count);  // 5 when count < 0

}  // namespace platform::vb
