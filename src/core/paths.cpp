#include "core/paths.h"

#include <algorithm>

#include "core/error_messages.h"
#include "core/inifile.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/shortname.h"
#include "platform/vb.h"
#include "windows/form1.h"

namespace core {

namespace {

using platform::RuntimeError;

void reportShortNameError(const RuntimeError& e, std::string_view title) {
  WriteErrorLog(e, "GetShortName");
  forms::msgBox("Error: " + std::to_string(e.number()) + ", " + platform::errorText(e.number()), 0, title);
}

std::string withoutTrailingSeparator(std::string_view path) {
  std::string p(path);
  if (p.size() > 3 && p.back() == '\\') p.pop_back();
  return p;
}

}  // namespace

bool hasForbiddenCharacters(std::string_view path) {
  return std::any_of(path.begin(), path.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 32 || c == '<' || c == '>' || c == '"' || c == '|' || c == '*' || c == '?';
  });
}

std::string GetShortNameSection(std::string_view path) {
  if (path.empty() || hasForbiddenCharacters(path)) return "";
  try {
    const auto found =
        platform::findFiles(path, platform::kHidden | platform::kSystem | platform::kDirectory);
    if (found.empty()) return "";
    const auto& entry = found.front();
    return entry.shortName.empty() ? entry.name : entry.shortName;
  } catch (const RuntimeError& e) {
    // What the Windows search reports as a plain failure: nothing found.
    switch (e.number()) {
      case platform::kBadFileNameOrNumber:
      case platform::kPathNotFound:
      case platform::kDeviceUnavailable:  // no such drive
      case platform::kDiskNotReady:       // no disk in the drive
        return "";
      default: break;
    }
    reportShortNameError(e, "GetShortNameSection_Err");
    return "";
  }
}

std::string GetShortNameFromLongName(std::string_view path) {
  try {
    const auto first = path.find('\\');
    if (first == std::string_view::npos) return "";
    std::string head(path.substr(0, first + 1));
    std::size_t pos = first + 1;
    while (pos < path.size()) {
      const std::string component = TextBefore(path.substr(pos), "\\");
      const std::string shortName = component.empty() ? "" : GetShortNameSection(head + component);
      if (shortName.empty()) return "";
      head += shortName + "\\";
      pos += component.size() + 1;
    }
    head.pop_back();
    return head;
  } catch (const RuntimeError& e) {
    reportShortNameError(e, "GetShortNameFromLongName_Err");
    return "";
  }
}

std::string TextBefore(std::string_view text, std::string_view delimiter) {
  if (delimiter.empty()) return "";
  return std::string(text.substr(0, text.find(delimiter)));
}

std::string StripQuotes(std::string_view text) {
  if (text.size() < 2) platform::raise(platform::kInvalidCall);
  return std::string(text.substr(1, text.size() - 2));
}

std::string GetFileName(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

int InStrBack(int start, std::string_view text, std::string_view find) {
  const int length = static_cast<int>(text.size());
  if (find.empty() || text.empty() || find.size() > text.size()) return 0;
  if (start < 1) start = 1;
  if (start > length) start = length;
  for (int pos = length - start + 1; pos >= 1; --pos) {
    if (text.substr(static_cast<std::size_t>(pos - 1), find.size()) == find) return pos;
  }
  return 0;
}

std::string ShortenPath(std::string_view path, int maxLength) {
  if (path.empty()) return "";
  const int length = static_cast<int>(path.size());
  const int lastSeparator = InStrBack(0, path.substr(0, path.size() - 1), "\\");
  const std::string lastPart(path.substr(static_cast<std::size_t>(lastSeparator)));
  if (length <= maxLength) return std::string(path);
  std::vector<int> separators;  // 1-based positions of every "\"
  for (int i = 0; i < length; ++i)
    if (path[static_cast<std::size_t>(i)] == '\\') separators.push_back(i + 1);
  for (std::size_t nth : {4u, 3u, 2u}) {
    if (separators.size() < nth) continue;
    const int cut = separators[nth - 1];
    if (cut + 3 + static_cast<int>(lastPart.size()) <= maxLength)
      return std::string(path.substr(0, static_cast<std::size_t>(cut))) + "..." + lastPart;
  }
  const auto colon = path.find(':');
  const std::size_t headLength = colon == std::string_view::npos ? 1 : colon + 2;
  return std::string(path.substr(0, std::min(headLength, path.size()))) + "..." + lastPart;
}

bool Makepath(std::string_view path) {
  bool made = true;
  for (std::size_t i = 3; i < path.size(); ++i) {
    if (path[i] != '\\') continue;
    const std::string folder = withoutTrailingSeparator(path.substr(0, i + 1));
    try {
      if (!platform::folderExists(folder)) platform::mkDir(folder);
    } catch (const RuntimeError& e) {
      made = false;
      const std::string text =
          FileErrorMessage(e.number()) + " " + platform::errorText(e.number()) + " Makepath";
      forms::msgBox(text, forms::vbCritical, forms::loadResString(1005));
    }
  }
  return made;
}

namespace {

void collectSubFolders(const std::string& folder, std::vector<std::string>& out) {
  std::vector<std::string> names;
  for (const auto& entry : platform::findFiles(folder + "*.*", platform::kDirectory)) {
    if (!(entry.attributes & platform::kDirectory) || entry.name == "." || entry.name == "..") continue;
    names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return platform::upperCase(a) < platform::upperCase(b);
  });
  for (const auto& name : names) {
    out.push_back(folder + name);
    collectSubFolders(folder + name + "\\", out);
  }
}

}  // namespace

std::vector<std::string> subFolders(std::string_view folder) {
  const std::string base = platform::withTrailingBackslash(folder);
  std::vector<std::string> out;
  collectSubFolders(base, out);
  return out;
}

void ListSubFolders(std::string_view folder) {
  forms::setMousePointer(11);
  std::vector<std::string> found;
  try {
    found = subFolders(folder);
  } catch (...) {
    forms::setMousePointer(0);
    throw;
  }
  auto& list = windows::Form1().List4;
  for (const auto& line : found) list.addItem(line);
  forms::setMousePointer(0);
}

bool IsSmartSaveFolder(std::string_view folder) {
  return platform::vb::equalsNoCase(folder, forms::appPath() + "\\SmartSav\\");
}

}  // namespace core
