#include "platform/restart.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/infozip_paths.h"
#include "platform/machine.h"
#include "platform/shortname.h"
#include "platform/sysfacts.h"
#include "platform/text_trim.h"

namespace platform {

namespace {

struct RestartState {
  std::vector<unsigned> requests;
  bool refused = false;
  RestartHooks hooks;
  std::function<void(const std::string&)> lineHook;
};

RestartState& state() {
  static RestartState s;
  return s;
}

// The pending restart survives the program: a marker in the machine root
// naming the Windows folder to process.
std::filesystem::path markerPath() { return machineRoot() / "restart.pending"; }

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

void removeProtected(const std::string& path) {
  setAttr(path, kNormal);
  kill(path);
}

// WININIT.EXE runs before Windows and knows only full paths in 8.3 form
// ("C:\WINDOWS\SYSTEM.INI", any case).
bool fullShortPath(std::string_view path) {
  if (path.size() < 4 || path[1] != ':' || path[2] != '\\' ||
      !std::isalpha(static_cast<unsigned char>(path[0])))
    return false;
  for (std::size_t at = 3; at <= path.size();) {
    const std::size_t end = std::min(path.find('\\', at), path.size());
    if (!isShortName(path.substr(at, end - at))) return false;
    at = end + 1;
  }
  return true;
}

// One "DEST=SRC" line of a [rename] section, as WININIT.EXE carries it out:
// a line it cannot (long names, two drives) it passes over.
std::string renameLine(const std::string& line) {
  const auto eq = line.find('=');
  if (eq == std::string::npos) return "skipped \"" + line + "\": not DEST=SRC";
  const std::string dest(trimWhite(std::string_view(line).substr(0, eq)));
  const std::string source(trimWhite(std::string_view(line).substr(eq + 1)));
  if (source.empty()) return "skipped \"" + line + "\": no source";
  const bool remove = equalsNoCase(dest, "NUL");
  if (!fullShortPath(source) || (!remove && !fullShortPath(dest)))
    return "ignored \"" + line + "\": not a full path in 8.3 form";
  if (!remove && upperChar(dest[0]) != upperChar(source[0]))
    return "ignored \"" + line + "\": not on one drive";
  try {
    if (!fileExists(source)) return "skipped \"" + line + "\": source missing";
    if (remove) {
      removeProtected(source);
      return "deleted " + source;
    }
    // A file that replaces another keeps that one's name as spelled on disk.
    const std::string target = fileExists(dest) ? longPath(dest) : dest;
    if (fileExists(target)) removeProtected(target);
    rename(source, target);
    return "moved " + source + " over " + dest;
  } catch (const RuntimeError& e) {
    return "failed \"" + line + "\": " + e.description();
  }
}

// The lines of every [rename] section of a WININIT.INI text.
std::vector<std::string> renameLines(const std::string& text) {
  std::vector<std::string> lines;
  bool inRename = false;
  for (const std::string& raw : splitLines(text)) {
    const std::string line(trimWhite(raw));
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const auto close = line.find(']');
      inRename = close != std::string::npos &&
                 equalsNoCase(trimWhite(std::string_view(line).substr(1, close - 1)), "rename");
      continue;
    }
    if (inRename) lines.push_back(line);
  }
  return lines;
}

// The marker of a pending restart: the Windows folder to process, and how
// many of its [rename] lines are done.
void writeMarker(const std::string& windowsFolder, std::size_t done) {
  std::ofstream marker(markerPath(), std::ios::binary | std::ios::trunc);
  marker << windowsFolder << '\n' << done << '\n';
}

// The boot processing of WININIT.INI, from its line `done` on; `progress`
// hears the number of lines done after each.
std::vector<std::string> processLines(std::string_view windowsFolder, std::size_t done,
                                      const std::function<void(std::size_t)>& progress) {
  std::vector<std::string> log;
  const std::string ini = joinPath(windowsFolder, "WININIT.INI");
  std::string text;
  try {
    if (!fileExists(ini)) return log;
    text = readFile(ini);
  } catch (const RuntimeError& e) {
    log.push_back("WININIT.INI not read: " + e.description());
    return log;
  }
  const std::vector<std::string> lines = renameLines(text);
  for (std::size_t i = done; i < lines.size(); ++i) {
    if (state().lineHook) state().lineHook(lines[i]);
    log.push_back(renameLine(lines[i]));
    if (progress) progress(i + 1);
  }
  const std::string bak = joinPath(windowsFolder, "WININIT.BAK");
  try {
    if (fileExists(bak)) removeProtected(bak);
    rename(ini, bak);
  } catch (const RuntimeError& e) {
    log.push_back("WININIT.INI not renamed to WININIT.BAK: " + e.description());
  }
  return log;
}

}  // namespace

bool exitWindowsEx(unsigned flags, unsigned /*reserved*/) {
  RestartState& s = state();
  s.requests.push_back(flags);
  if (s.refused) return false;
  if (!(flags & kEwxReboot)) return true;  // a shutdown or logoff ends nothing the layer models
  writeMarker(getWindowsDirectory(), 0);
  if (s.hooks.closeWindows) s.hooks.closeWindows();
  processPendingRestart();
  if (s.hooks.endProgram) {
    s.hooks.endProgram();
  } else {
    std::fflush(nullptr);
    ::_exit(0);
  }
  return true;
}

std::vector<unsigned> restartRequests() { return state().requests; }
void clearRestartRequests() { state().requests.clear(); }
void setRestartRefused(bool refused) { state().refused = refused; }
void setRestartHooks(RestartHooks hooks) { state().hooks = std::move(hooks); }
void setWininitLineHook(std::function<void(const std::string&)> hook) { state().lineHook = std::move(hook); }

bool restartPending() {
  std::error_code ec;
  return machineOpen() && std::filesystem::exists(markerPath(), ec);
}

std::vector<std::string> processPendingRestart() {
  if (!restartPending()) return {};
  std::string windowsFolder, doneText;
  {
    std::ifstream marker(markerPath(), std::ios::binary);
    std::getline(marker, windowsFolder);
    std::getline(marker, doneText);
  }
  if (windowsFolder.empty()) windowsFolder = getWindowsDirectory();
  std::size_t done = 0;
  try {
    done = doneText.empty() ? 0 : std::stoul(doneText);
  } catch (const std::exception&) {
    done = 0;
  }
  // The marker goes only once the processing has ended: a machine that goes
  // off meanwhile carries on at its next start from the line it had reached.
  const std::vector<std::string> log =
      processLines(windowsFolder, done, [&](std::size_t lines) { writeMarker(windowsFolder, lines); });
  std::error_code ec;
  std::filesystem::remove(markerPath(), ec);
  return log;
}

std::vector<std::string> processWininit(std::string_view windowsFolder) {
  return processLines(windowsFolder, 0, {});
}

std::vector<std::string> pendingRenames(std::string_view windowsFolder) {
  const std::string ini = joinPath(windowsFolder, "WININIT.INI");
  try {
    if (!fileExists(ini)) return {};
    return renameLines(readFile(ini));
  } catch (const RuntimeError&) {
    return {};
  }
}

}  // namespace platform
