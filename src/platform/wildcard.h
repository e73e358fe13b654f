#pragma once
// DOS wildcard patterns as FindFirstFile applies them to one name.
#include <string_view>

namespace platform {

// True when `name` matches `pattern`, case-insensitively. "*" and "*.*" match
// every name; "?" matches one character, or none at the end of the name or
// before its dot; "*." matches names without an extension.
bool matchWildcard(std::string_view pattern, std::string_view name);
bool hasWildcards(std::string_view text);

}  // namespace platform
