#include "restore/unzip_groups.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <stdexcept>

#include "core/inifile.h"
#include "core/paths.h"
#include "core/runner.h"
#include "core/state.h"
#include "platform/ansi_text.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/zip_directory.h"

namespace restore {

namespace {

constexpr char kQuote = '"';

constexpr UnzipRow kRows[] = {
    {UnzipGroup::UserFiles, "us", "-o", "", 1201},
    {UnzipGroup::StartMenu, "s", "-o", "", 1202},
    {UnzipGroup::AddressBook, "ma", "-o", "", 1203},
    {UnzipGroup::Favorites, "mb", "-o", "", 1204},
    {UnzipGroup::IECookies, "mc", "-o", "", 1205},
    {UnzipGroup::OEMail, "mx", "-o", "", 1206},
    {UnzipGroup::NSBookmarks, "na", "-Cqo", "*Bookmark.htm", 1207},
    {UnzipGroup::NSCookies, "na", "-Cqo", "*Cookies.txt", 1208},
    {UnzipGroup::NSMail, "na", "-Cqo", "*Mail\\*", 1209},
    {UnzipGroup::NSNews, "nw", "-o", "", 1209},
};

// The folder part of a file path, with its separator ("" without one).
std::string folderOf(std::string_view file) {
  const std::size_t cut = file.rfind('\\');
  return cut == std::string_view::npos ? std::string() : std::string(file.substr(0, cut + 1));
}

bool hasControlCharacter(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 32 || c == 127) return true;
  }
  return false;
}

using platform::startsWithNoCase;

// DOS devices answer to these names in every folder, with any extension.
bool isDeviceName(std::string_view component) {
  static const std::array<const char*, 22> kDevices{
      "CON",  "PRN",  "AUX",  "NUL",  "CLOCK$", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
      "COM7", "COM8", "COM9", "LPT1", "LPT2",   "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8"};
  const std::string_view base = component.substr(0, component.find('.'));
  for (const char* device : kDevices) {
    if (platform::equalsNoCase(base, device)) return true;
  }
  return platform::equalsNoCase(base, "LPT9");
}

}  // namespace

std::string PathComponentsProblem(std::string_view rest) {
  if (rest.empty()) return "no file name";
  while (true) {
    const std::size_t cut = rest.find('\\');
    const std::string_view part = rest.substr(0, cut);
    if (part.empty() || part == "." || part == "..") return "a \".\", \"..\" or empty component";
    if (platform::isForbiddenName(part)) return "a forbidden name";
    if (isDeviceName(part)) return "a device name";
    if (cut == std::string_view::npos) return "";
    rest.remove_prefix(cut + 1);
  }
}

namespace {

// The spellings a folder goes by: as given, long and 8.3 (when it exists).
std::vector<std::string> spellingsOf(const std::string& folder) {
  std::vector<std::string> forms{folder};
  try {
    if (platform::folderExists(folder)) {
      forms.push_back(platform::withTrailingBackslash(platform::longPath(folder)));
      forms.push_back(platform::withTrailingBackslash(platform::shortPath(folder)));
    }
  } catch (const platform::RuntimeError&) {
  }
  return forms;
}

}  // namespace

const UnzipRow& RowOf(UnzipGroup group) {
  for (const UnzipRow& row : kRows) {
    if (row.group == group) return row;
  }
  throw std::logic_error("unknown unzip group");
}

std::string DriveRootOf(std::string_view path) {
  if (path.size() < 3 || std::isalpha(static_cast<unsigned char>(path[0])) == 0 || path[1] != ':' ||
      path[2] != '\\')
    return "";
  const std::string root{static_cast<char>(std::toupper(static_cast<unsigned char>(path[0]))), ':', '\\'};
  if (platform::driveType(root) == platform::DriveType::NoRootDir) return "";
  return std::string(path.substr(0, 3));
}

UnzipPlan PlanUnzip(UnzipGroup group, const GroupFolders& f) {
  const auto known = [](const std::string& value) { return value != "NONE" ? value : std::string(); };
  std::string place;  // the folder (or, for the address book, the file) of the group
  switch (group) {
    case UnzipGroup::UserFiles: place = f.tempDir.empty() ? "" : f.tempDir + "kelvaran\\User\\"; break;
    case UnzipGroup::StartMenu: place = platform::withTrailingBackslash(known(f.startMenu)); break;
    case UnzipGroup::AddressBook: place = known(f.addressBook); break;
    case UnzipGroup::Favorites: place = platform::withTrailingBackslash(known(f.favorites)); break;
    case UnzipGroup::IECookies: place = platform::withTrailingBackslash(known(f.cookies)); break;
    case UnzipGroup::OEMail: place = platform::withTrailingBackslash(known(f.oeMail)); break;
    case UnzipGroup::NSBookmarks:
    case UnzipGroup::NSCookies:
    case UnzipGroup::NSMail:
    case UnzipGroup::NSNews: place = platform::withTrailingBackslash(known(f.netscape)); break;
  }
  UnzipPlan plan;
  if (place.find(kQuote) != std::string::npos || hasControlCharacter(place)) {
    plan.problem = "a double quote or control character in the folder";
    return plan;
  }
  plan.target = DriveRootOf(place);
  if (plan.target.empty()) {
    plan.problem = "no folder on an existing drive";
    return plan;
  }
  // One spelling of the folder: no ".", ".." or empty component that would
  // make it another folder, or the drive root, under another name.
  std::string rest = place.substr(3);
  if (!rest.empty() && rest.back() == '\\') rest.pop_back();
  if (!rest.empty()) plan.problem = PathComponentsProblem(rest);
  if (!plan.problem.empty()) return plan;
  plan.folder = group == UnzipGroup::AddressBook ? folderOf(place) : place;
  if (plan.folder.size() <= 3) plan.problem = "a drive root is no folder of its own";
  return plan;
}

Unpack GroupUnpack(UnzipGroup group, std::string_view archive, std::string_view target) {
  const UnzipRow& row = RowOf(group);
  Unpack unpack{row.options, std::string(archive), {}, std::string(target), "", ""};
  if (*row.pattern) unpack.patterns.emplace_back(row.pattern);
  return unpack;
}

std::vector<std::string> UnzipArguments(UnzipGroup group, std::string_view archive, std::string_view target) {
  return UnpackArguments(GroupUnpack(group, archive, target));
}

std::string CommandLineOf(const std::vector<std::string>& arguments) {
  std::string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || argument.find(kQuote) != std::string::npos || hasControlCharacter(argument))
      return "";
    const bool quoted = i == 2 || argument.find_first_of(" \t") != std::string::npos;
    if (i) line += ' ';
    line += quoted ? kQuote + argument + kQuote : argument;
  }
  // The line must split back into exactly these arguments.
  return platform::splitCommandLine(line) == arguments ? line : "";
}

std::string MemberProblem(std::string_view archive, std::string_view target, std::string_view folder) {
  std::vector<platform::zipdir::Member> members;
  try {
    members = platform::zipdir::readMembers(platform::hostPath(archive));
  } catch (const std::exception&) {
    return "not a readable archive";
  }
  const std::vector<std::string> spellings = spellingsOf(std::string(folder));
  for (const auto& member : members) {
    if (const std::string reason = platform::zipdir::unsafeReason(member); !reason.empty())
      return member.name + ": " + reason;
    // Names are stored as UTF-8 (flagged) or in the machine's code page.
    const std::optional<std::string> name =
        member.utf8() ? platform::ansiFromUtf8(member.name) : std::optional<std::string>(member.name);
    if (!name) return member.name + ": no name of this machine";
    std::string path = platform::withTrailingBackslash(std::string(target)) + *name;
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
    bool inside = false;
    for (const std::string& spelling : spellings) {
      // The folder's own entry ("WINDOWS/Favorites/") is inside as well.
      inside = inside || startsWithNoCase(platform::withTrailingBackslash(path), spelling);
    }
    if (!inside) return member.name + ": outside " + std::string(folder);
  }
  return "";
}

std::string StagedUserFolder(std::string_view archive) {
  static constexpr std::string_view kMap = "kelvaran/User/User.ini";
  std::vector<platform::zipdir::Member> members;
  try {
    members = platform::zipdir::readMembers(platform::hostPath(archive));
  } catch (const std::exception&) {
    return "";
  }
  for (const auto& member : members) {
    const std::optional<std::string> name =
        member.utf8() ? platform::ansiFromUtf8(member.name) : std::optional<std::string>(member.name);
    if (!name || name->size() < kMap.size()) continue;
    const std::size_t cut = name->size() - kMap.size();
    if (!platform::equalsNoCase(std::string_view(*name).substr(cut), kMap) ||
        (cut > 0 && (*name)[cut - 1] != '/'))
      continue;
    std::string folder = name->substr(0, name->size() - std::string_view("User.ini").size());
    for (char& c : folder) {
      if (c == '/') c = '\\';
    }
    return folder;
  }
  return "";
}

void RemoveUnpackFolder(const std::string& folder) {
  try {
    if (!platform::folderExists(folder)) return;
    std::vector<std::string> folders = core::subFolders(folder);
    folders.insert(folders.begin(), folder.substr(0, folder.size() - 1));
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
      for (const auto& e :
           platform::findFiles(*it + "\\*.*", platform::kHidden | platform::kSystem | platform::kReadOnly))
        if (!(e.attributes & platform::kDirectory)) {
          platform::setAttr(*it + "\\" + e.name, platform::kNormal);
          platform::kill(*it + "\\" + e.name);
        }
      platform::rmDir(*it);
    }
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, " Restore");
  }
}

namespace {

// unzip's own matching of a member against a pattern: "*" any run of
// characters, "/" included, "?" one character.
bool matchesPattern(std::string_view pattern, std::string_view name, bool caseless) {
  const auto same = [caseless](char a, char b) {
    return caseless ? platform::lowerChar(a) == platform::lowerChar(b) : a == b;
  };
  std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string withoutSeparator(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

// Moves the files below `from` into `into`, each to the same relative path.
void moveIn(const std::string& from, const std::string& into) {
  if (!platform::folderExists(into)) {
    platform::rename(withoutSeparator(from), withoutSeparator(into));
    return;
  }
  for (const auto& e : platform::findNames(from + "*.*", platform::kHidden | platform::kSystem |
                                                             platform::kReadOnly | platform::kDirectory)) {
    if (e.name == "." || e.name == "..") continue;
    if (e.attributes & platform::kDirectory) {
      moveIn(from + e.name + "\\", into + e.name + "\\");
      continue;
    }
    if (platform::fileExists(into + e.name)) {
      platform::setAttr(into + e.name, platform::kNormal);
      platform::kill(into + e.name);
    }
    platform::rename(from + e.name, into + e.name);
  }
}

}  // namespace

bool UnzipSucceeded(int exitCode) { return exitCode == 0 || exitCode == 1; }

std::vector<std::string> UnpackArguments(const Unpack& unpack) {
  std::vector<std::string> arguments{"Unzip32.exe", unpack.options, unpack.archive};
  arguments.insert(arguments.end(), unpack.patterns.begin(), unpack.patterns.end());
  arguments.emplace_back("-d");
  arguments.push_back(withoutSeparator(unpack.target));
  return arguments;
}

std::string MemberNotBack(const Unpack& unpack) {
  std::vector<platform::zipdir::Member> members;
  try {
    members = platform::zipdir::readMembers(platform::hostPath(unpack.archive));
  } catch (const std::exception&) {
    return "not a readable archive";
  }
  const bool caseless = unpack.options.find('C') != std::string::npos;
  std::vector<std::string> patterns = unpack.patterns;
  for (std::string& pattern : patterns) std::replace(pattern.begin(), pattern.end(), '\\', '/');
  for (const auto& member : members) {
    const std::optional<std::string> name =
        member.utf8() ? platform::ansiFromUtf8(member.name) : std::optional<std::string>(member.name);
    if (!name) return member.name + ": no name of this machine";
    if (!patterns.empty() && std::none_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
          return matchesPattern(pattern, *name, caseless);
        }))
      continue;
    std::string path = platform::withTrailingBackslash(unpack.target) + *name;
    std::replace(path.begin(), path.end(), '/', '\\');
    try {
      if (member.isDirectory()) {
        if (!platform::folderExists(path)) return member.name + ": no folder";
      } else if (!platform::fileExists(path)) {
        return member.name + ": not there";
      } else if (member.size != 0xFFFFFFFFu && platform::fileLen(path) != member.size) {
        return member.name + ": not whole";
      }
    } catch (const platform::RuntimeError&) {
      return member.name + ": not there";
    }
  }
  return "";
}

int UnpackArchive(const Unpack& unpack) {
  int failure = RunUnzip(CommandLineOf(UnpackArguments(unpack)));
  if (failure == 0 && !MemberNotBack(unpack).empty()) failure = platform::kFileNotFound;
  if (!unpack.into.empty()) {
    if (failure == 0) {
      try {
        moveIn(unpack.target + unpack.from, unpack.into);
      } catch (const platform::RuntimeError& error) {
        failure = error.number();
      }
    }
    RemoveUnpackFolder(unpack.target);
  }
  return failure;
}

int RunUnzip(const std::string& commandLine) {
  auto& st = core::state();
  st.CommandLine = commandLine;
  st.ShellCommand = st.CommandLine;
  try {
    return UnzipSucceeded(core::ShellAndWait(st.ShellCommand)) ? 0 : platform::kDeviceIoError;
  } catch (const platform::RuntimeError& error) {
    return error.number();
  }
}

}  // namespace restore
