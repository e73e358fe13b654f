#include "platform/wildcard.h"

#include "platform/shortname.h"

namespace platform {

bool hasWildcards(std::string_view text) { return text.find_first_of("*?") != std::string_view::npos; }

namespace {

bool match(std::string_view p, std::string_view n) {
  while (!p.empty()) {
    char c = p.front();
    if (c == '*') {
      p.remove_prefix(1);
      if (p.empty()) return true;
      for (std::size_t i = 0; i <= n.size(); ++i)
        if (match(p, n.substr(i))) return true;
      return false;
    }
    if (c == '?') {
      // A "?" may stand for nothing where the name or its base has ended.
      p.remove_prefix(1);
      if (n.empty()) continue;
      if (n.front() == '.' && match(p, n)) return true;
      n.remove_prefix(1);
      continue;
    }
    if (n.empty() || upperChar(c) != upperChar(n.front())) return false;
    p.remove_prefix(1);
    n.remove_prefix(1);
  }
  return n.empty();
}

}  // namespace

bool matchWildcard(std::string_view pattern, std::string_view name) {
  if (pattern == "*" || pattern == "*.*") return true;
  // "NAME." and "*." stand for names without an extension.
  if (pattern.size() > 1 && pattern.back() == '.')
    return name.find('.') == std::string_view::npos && match(pattern.substr(0, pattern.size() - 1), name);
  return match(pattern, name);
}

}  // namespace platform
