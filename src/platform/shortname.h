#pragma once
// 8.3 short names as the Windows 9x file system makes them (and its case
// rules, which short names follow).
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "platform/charcase.h"

namespace platform {

// True when `name` is already a valid 8.3 name, ignoring case ("WIN.INI",
// "Kelvaran", "readme.txt"), of characters the DOS code page holds; such a
// name has no alias.
bool isShortName(std::string_view name);

// The alias a new entry called `longName` gets: upper case, "+ , ; = [ ]"
// and the characters the DOS code page lacks (Windows-1252's 0x80-0x9F but
// the florin sign: the euro sign, the trademark sign ...) replaced by "_",
// blanks and leading dots dropped, the
// first six characters of the base, "~N" with the lowest N for which `taken`
// is false, and the first three characters of the last extension
// ("Program Files" -> "PROGRA~1", "bookmark.html" -> "BOOKMA~1.HTM").
// Returns "" for a name that is already 8.3.
std::string makeAlias(std::string_view longName, const std::function<bool(const std::string&)>& taken);

// The same for a folder that keeps, per alias family (the first six
// characters of the base and the extension, which decide every candidate),
// the lowest N that may still be free: the search starts there and leaves
// the next one behind. Valid while nothing leaves the folder (the caller
// forgets `nextNumber` then), so the result is the one above.
std::string makeAlias(std::string_view longName, const std::function<bool(const std::string&)>& taken,
                      std::map<std::string, int>& nextNumber);

}  // namespace platform
