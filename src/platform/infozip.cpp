#include "platform/infozip.h"

#include <algorithm>
#include <map>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/infozip_paths.h"
#include "platform/machine.h"
#include "platform/machine_state.h"
#include "platform/process.h"
#include "platform/shortname.h"
#include "platform/zip_directory.h"

namespace platform {

namespace {

constexpr const char* kZipProgram = "/usr/bin/zip";

// zip's own exit codes.
constexpr int kZipNothingToDo = 12;
constexpr int kZipWriteError = 14;
constexpr int kZipCreateError = 15;
constexpr int kZipBadArguments = 16;

// Host path of a machine path for this run's own use: what zip writes is
// accounted for by the run itself, so the path is not watched.
std::filesystem::path hostOf(const std::string& path) {
  detail::Lock lock(detail::machineMutex());
  return detail::resolve(path).host;
}

// The clusters the archive takes now (0 when it does not exist yet).
std::int64_t archiveClusters(const std::string& archive) {
  detail::Lock lock(detail::machineMutex());
  detail::Resolved r = detail::resolve(archive);
  return detail::hostClusters(r.volume, r.host);
}

// After zip wrote the archive: counts its change, or, after a failed run
// that may have left anything behind, the whole volume again.
void archiveWritten(const std::string& archive, std::int64_t before, bool succeeded) {
  detail::Lock lock(detail::machineMutex());
  detail::Resolved r = detail::resolve(archive);
  if (succeeded)
    detail::noteClusters(r.volume, r.host, before, detail::hostClusters(r.volume, r.host));
  else
    detail::recountVolume(r.volume);
}

struct ZipOptions {
  char level = 0;  // 0: zip's default
  bool quiet = false, update = false, recurse = false, grow = false, latestTime = false, move = false;
  bool systemAndHidden = false;
};

// One name zip is to store, from one drive root.
struct ZipItem {
  std::string windowsPath;
  std::string root;  // "C:\" or "\\SERVER\SHARE\"
  bool folder = false;
  int attributes = 0;
};

class ZipRun {
 public:
  explicit ZipRun(const ZipOptions& options) : options_(options) {}

  // Adds what one operand names; false when it matched nothing.
  bool addOperand(const std::string& operand) {
    const std::string full = fullPath(operand);
    const std::size_t before = items_.size();
    if (hasWildcard(lastComponentOf(full))) {
      addMatches(full);
    } else if (folderExists(full)) {
      add(full, kDirectory | safeAttributes(full));
      if (options_.recurse) addMatches(joinPath(full, "*.*"));
    } else if (fileExists(full)) {
      add(full, safeAttributes(full));
    }
    return items_.size() > before;
  }

  void excludeHost(const std::filesystem::path& archive) { archive_ = archive; }
  const std::vector<ZipItem>& items() const { return items_; }

 private:
  static int safeAttributes(const std::string& path) {
    try {
      return getAttr(path);
    } catch (const RuntimeError&) {
      return 0;
    }
  }

  void add(const std::string& path, int attributes) {
    if (!archive_.empty() && hostOf(path) == archive_) return;
    items_.push_back({path, driveRootOf(path), (attributes & kDirectory) != 0, attributes});
  }

  void addMatches(const std::string& pattern) {
    int mask = kDirectory;
    if (options_.systemAndHidden) mask |= kHidden | kSystem;
    const std::string folder = parentOf(pattern);
    for (const DirEntry& entry : findFiles(pattern, mask)) {
      if (entry.name == "." || entry.name == "..") continue;
      if (!options_.systemAndHidden && (entry.attributes & (kHidden | kSystem))) continue;
      const std::string path = joinPath(folder, entry.name);
      add(path, entry.attributes);
      if ((entry.attributes & kDirectory) && options_.recurse) addMatches(joinPath(path, "*.*"));
    }
  }

  ZipOptions options_;
  std::filesystem::path archive_;
  std::vector<ZipItem> items_;
};

bool parseZipOptions(const std::string& arg, ZipOptions& options, std::string& error) {
  for (char c : arg.substr(1)) {
    switch (c) {
      case 'q': options.quiet = true; break;
      case 'u': options.update = true; break;
      case 'r': options.recurse = true; break;
      case 'g': options.grow = true; break;
      case 'o': options.latestTime = true; break;
      case 'm': options.move = true; break;
      case 'S': options.systemAndHidden = true; break;
      default:
        if (c >= '0' && c <= '9') {
          options.level = c;
        } else {
          error =
              std::string("zip error: Invalid command arguments (short option '") + c + "' not supported)\n";
          return false;
        }
    }
  }
  return true;
}

std::vector<std::string> hostZipOptions(const ZipOptions& options, bool grow) {
  std::string flags = "-";
  if (options.level) flags += options.level;
  if (options.quiet) flags += 'q';
  if (options.update) flags += 'u';
  if (grow) flags += 'g';
  if (options.latestTime) flags += 'o';
  if (flags == "-") return {};
  return {flags};
}

// Deletes what zip packed, files first, then the folders it emptied.
void deleteMoved(const std::vector<ZipItem>& items, std::string& output) {
  detail::Lock lock(detail::machineMutex());
  detail::MetadataBatch batch;  // deletions only: written once at the end
  for (const ZipItem& item : items) {
    if (item.folder) continue;
    try {
      // kill leaves hidden and system files alone and refuses read-only ones
      if (item.attributes & (kReadOnly | kHidden | kSystem)) setAttr(item.windowsPath, kNormal);
      kill(item.windowsPath);
    } catch (const RuntimeError& e) {
      output += "zip warning: could not delete " + item.windowsPath + ": " + e.description() + "\n";
    }
  }
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (!it->folder) continue;
    try {
      rmDir(it->windowsPath);
    } catch (const RuntimeError&) {
      // a folder that still holds something (unmatched hidden files) stays
    }
  }
  try {
    batch.commit();
  } catch (const RuntimeError& e) {
    output += "zip warning: metadata not written: " + e.description() + "\n";
  }
}

}  // namespace

InfoZipTool infoZipTool(std::string_view programFileName) {
  if (equalsNoCase(programFileName, "zip.exe")) return InfoZipTool::Zip;
  if (equalsNoCase(programFileName, "unzip32.exe") || equalsNoCase(programFileName, "unzip.exe"))
    return InfoZipTool::Unzip;
  return InfoZipTool::None;
}

ToolRun runZip(const std::vector<std::string>& arguments) {
  ToolRun run;
  ZipOptions options;
  std::size_t i = 0;
  for (; i < arguments.size() && arguments[i].size() > 1 && arguments[i][0] == '-'; ++i) {
    if (!parseZipOptions(arguments[i], options, run.output)) return {kZipBadArguments, run.output};
  }
  if (i >= arguments.size())
    return {kZipBadArguments, "zip error: Invalid command arguments (no zip file)\n"};

  std::string archive;
  std::filesystem::path hostArchive;
  try {
    archive = fullPath(arguments[i++]);
    if (lastComponentOf(archive).find('.') == std::string::npos) archive += ".zip";
    hostArchive = hostOf(archive);
  } catch (const RuntimeError& e) {
    return {kZipCreateError, "zip I/O error: " + e.description() + " (" + arguments[i - 1] + ")\n"};
  }

  ZipRun expansion(options);
  expansion.excludeHost(hostArchive);
  for (; i < arguments.size(); ++i) {
    bool matched = false;
    try {
      matched = expansion.addOperand(arguments[i]);
    } catch (const RuntimeError&) {
      matched = false;
    }
    if (!matched) run.output += "\tzip warning: name not matched: " + arguments[i] + "\n";
  }
  const std::vector<ZipItem>& items = expansion.items();
  if (items.empty()) {
    run.output += "\nzip error: Nothing to do! (" + archive + ")\n";
    run.exitCode = kZipNothingToDo;
    return run;
  }

  // One zip run per drive root, operands relative to it.
  std::vector<std::string> roots;
  for (const ZipItem& item : items)
    if (std::find(roots.begin(), roots.end(), item.root) == roots.end()) roots.push_back(item.root);
  std::map<std::string, int, std::less<>> attributes;
  const std::int64_t archiveBefore = archiveClusters(archive);
  for (std::size_t r = 0; r < roots.size(); ++r) {
    const std::filesystem::path rootHost = hostOf(roots[r]);
    // The names go on zip's standard input (-@), one a line: a command line
    // holds only so many of them.
    std::vector<std::string> args = hostZipOptions(options, options.grow || r > 0);
    args.push_back("-@");
    args.push_back(hostArchive.string());
    std::string names;
    for (const ZipItem& item : items) {
      if (item.root != roots[r]) continue;
      const std::string name = hostOf(item.windowsPath).lexically_relative(rootHost).generic_string();
      names += name;
      names += '\n';
      attributes[item.folder ? name + "/" : name] =
          item.attributes & (kReadOnly | kHidden | kSystem | kDirectory | kArchive);
    }
    const HostRun host = runHostProgram(kZipProgram, args, rootHost, names);
    run.output += host.output;
    if (!host.started) raise(kFileNotFound);
    run.exitCode = host.exitCode;
    if (host.exitCode != 0) {
      archiveWritten(archive, archiveBefore, false);
      return run;
    }
  }
  try {
    zipdir::setDosAttributes(hostArchive, attributes);
  } catch (const std::exception& e) {
    run.output += std::string("zip warning: DOS attributes not stored: ") + e.what() + "\n";
  }
  // The host zip stores the names' bytes as they are; readers take such
  // names for the DOS code page. As UTF-8 they read as their characters.
  try {
    zipdir::storeAnsiNamesAsUtf8(hostArchive);
  } catch (const std::exception& e) {
    run.output += std::string("zip I/O error: names not stored: ") + e.what() + "\n";
    run.exitCode = kZipWriteError;
    archiveWritten(archive, archiveBefore, false);
    return run;
  }
  archiveWritten(archive, archiveBefore, true);
  if (options.move) deleteMoved(items, run.output);
  return run;
}

}  // namespace platform
