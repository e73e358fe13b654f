#include "restore/wininit.h"

#include "core/startup.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/replace_file.h"
#include "platform/vb.h"
#include "restore/restore_boxes.h"

namespace restore {

namespace {

bool isRenameHeader(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return platform::equalsNoCase(line, "[rename]");
}

// The 8.3 path of a folder with its trailing "\\": Windows' restart ignores a
// line with a long name on either side. A folder that cannot be looked up
// keeps its spelling.
std::string shortFolder(std::string_view folder) {
  std::string path(folder);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  try {
    path = platform::shortPath(path);
  } catch (const platform::RuntimeError&) {
  }
  return platform::withTrailingBackslash(path);
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace

bool WininitCanMove(std::string_view windowsFolder, std::string_view workFolder) {
  const auto drive = [](std::string_view path) {
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string_view();
  };
  return !drive(windowsFolder).empty() && platform::equalsNoCase(drive(windowsFolder), drive(workFolder));
}

std::vector<std::string> RenameLines(std::string_view windowsFolder, std::string_view workFolder) {
  std::vector<std::string> lines;
  if (!WininitCanMove(windowsFolder, workFolder)) return lines;
  const std::string windowsShort = shortFolder(windowsFolder);
  const std::string workShort = shortFolder(workFolder);
  for (const WindowsFile& file : kWindowsFiles) {
    if (!Ticked(file.box)) continue;
    const std::string copy = std::string(workFolder) + file.name;
    try {
      if (!platform::fileExists(copy)) continue;
    } catch (const platform::RuntimeError&) {
      continue;
    }
    // The file names are 8.3 names already.
    lines.push_back(windowsShort + file.name + "=" + workShort + file.name);
  }
  return lines;
}

std::string MergeWininit(std::string_view existing, const std::vector<std::string>& lines) {
  const std::string added = joined(lines);
  std::string merged;
  bool headerFound = false;
  std::size_t start = 0;
  while (start < existing.size()) {
    std::size_t end = existing.find('\n', start);
    const bool terminated = end != std::string_view::npos;
    end = terminated ? end + 1 : existing.size();
    const std::string_view line = existing.substr(start, end - start);
    merged += line;
    if (isRenameHeader(terminated ? line.substr(0, line.size() - 1) : line)) {
      if (!terminated) merged += "\r\n";
      merged += added;
      headerFound = true;
    }
    start = end;
  }
  if (!headerFound) {
    if (!merged.empty() && merged.back() != '\n') merged += "\r\n";
    merged += "[rename]\r\n" + added;
  }
  return merged;
}

bool CheckWininitExe(std::string_view windowsFolder) {
  bool present = false;
  try {
    present = platform::fileExists(std::string(windowsFolder) + "\\Wininit.exe");
  } catch (const platform::RuntimeError&) {
  }
  if (present) return true;
  const char cr = '\r';
  forms::msgBox("'Wininit.exe' " + forms::loadResString(1064) + cr + cr + forms::loadResString(1081),
                forms::vbOKOnly + forms::vbCritical, forms::loadResString(1005));
  core::ExitProgram();
  return false;
}

int WriteWininitRename(std::string_view windowsFolder, std::string_view workFolder) {
  const std::vector<std::string> lines = RenameLines(windowsFolder, workFolder);
  if (lines.empty()) return 0;
  const std::string path = std::string(windowsFolder) + "\\Wininit.ini";
  const std::string existing = platform::fileExists(path) ? platform::readFile(path) : std::string();
  platform::replaceFile(path, MergeWininit(existing, lines));
  return static_cast<int>(lines.size());
}

}  // namespace restore
