#include "platform/paths.h"

#include "platform/error.h"
#include "platform/shortname.h"
#include "platform/wildcard.h"

namespace platform {

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string> splitParts(std::string_view text) {
  std::vector<std::string> out;
  std::string current;
  for (char c : text) {
    if (isSeparator(c)) {
      if (!current.empty()) out.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) out.push_back(current);
  return out;
}

// Windows drops the dots and blanks a name ends in ("name." is "name"); a
// pattern keeps them ("*." matches names without an extension), and a name
// of nothing else stays as it is (and is refused).
std::string withoutTrailingDots(std::string part) {
  const std::size_t keep = part.find_last_not_of(". ");
  if (keep != std::string::npos && !hasWildcards(part)) part.resize(keep + 1);
  return part;
}

void append(std::vector<std::string>& parts, const std::vector<std::string>& more, bool allowWildcards) {
  for (std::size_t i = 0; i < more.size(); ++i) {
    const std::string part = withoutTrailingDots(more[i]);
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (isForbiddenName(part, allowWildcards && i + 1 == more.size())) raise(kBadFileNameOrNumber);
    parts.push_back(part);
  }
}
}  // namespace

std::string withTrailingBackslash(std::string_view folder) {
  std::string out(folder);
  if (!out.empty() && out.back() != '\\') out += '\\';
  return out;
}

bool isForbiddenName(std::string_view name, bool allowWildcards) {
  if (name.empty() || name == "." || name == "..") return true;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return true;
    if (std::string_view("\\/:\"<>|").find(c) != std::string_view::npos) return true;
    if (!allowWildcards && (c == '*' || c == '?')) return true;
  }
  // A pattern may end in a dot: "*." is every name without an extension.
  char last = name.back();
  return last == ' ' || (last == '.' && !(allowWildcards && hasWildcards(name)));
}

std::string WindowsPath::rootText() const {
  if (drive) return std::string(1, drive) + ":";
  return "\\\\" + server + "\\" + share;
}

std::string WindowsPath::text() const {
  std::string out = rootText();
  if (parts.empty()) return out + "\\";
  for (const std::string& part : parts) out += "\\" + part;
  return out;
}

WindowsPath parseWindowsPath(std::string_view path, char currentDrive,
                             const std::function<std::string(char)>& currentFolder, bool allowWildcards) {
  if (path.empty()) raise(kBadFileNameOrNumber);
  for (char c : path)
    if (c == '\0') raise(kBadFileNameOrNumber);
  WindowsPath out;
  if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) {
    std::vector<std::string> parts = splitParts(path.substr(2));
    if (parts.size() < 2 || isForbiddenName(parts[0]) || isForbiddenName(parts[1]))
      raise(kBadFileNameOrNumber);
    out.server = parts[0];
    out.share = parts[1];
    append(out.parts, std::vector<std::string>(parts.begin() + 2, parts.end()), allowWildcards);
    return out;
  }
  std::string_view rest = path;
  char drive = currentDrive;
  if (path.size() >= 2 && path[1] == ':') {
    char letter = upperChar(path[0]);
    if (letter < 'A' || letter > 'Z') raise(kBadFileNameOrNumber);
    drive = letter;
    rest = path.substr(2);
  }
  out.drive = drive;
  if (rest.empty() || !isSeparator(rest.front())) append(out.parts, splitParts(currentFolder(drive)), false);
  append(out.parts, splitParts(rest), allowWildcards);
  return out;
}

}  // namespace platform
