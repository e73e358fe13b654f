#include "platform/infozip.h"

#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <optional>

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
  detail::Resolved r = detail::resolve(path);
  if (r.hiddenHostEntry) raise(kPathNotFound);  // a link out of the machine
  return r.host;
}

// The clusters the archive takes now (0 when it does not exist yet).
std::int64_t archiveClusters(const std::string& archive) {
  detail::Lock lock(detail::machineMutex());
  detail::Resolved r = detail::resolve(archive);
  return detail::hostClusters(r.volume, r.host);
}

// How large zip may write the archive: the drive's free clusters, and when
// it grows an archive in place (g) the clusters that one has. Without g zip
// writes a new file beside the old archive and replaces it at the end.
std::int64_t archiveRoom(const std::string& archive, bool grow) {
  detail::Lock lock(detail::machineMutex());
  detail::Resolved r = detail::resolve(archive);
  std::int64_t clusters = detail::freeClusters(r.volume);
  if (grow) clusters += detail::hostClusters(r.volume, r.host);
  return clusters * r.volume.clusterSize;
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

// One name zip is to store, from one drive root. The names are kept in the
// run's name bytes, one a line: for a run from one root, what zip reads.
struct ZipItem {
  std::uint32_t nameAt = 0;
  std::uint16_t nameSize = 0;
  std::uint16_t root = 0;
  std::uint8_t attributes = 0;
  bool folder = false;
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
  // An item's name below its root as the host spells it, "/"-separated.
  std::string_view nameOf(const ZipItem& item) const {
    return std::string_view(names_).substr(item.nameAt, item.nameSize);
  }
  // The names, one a line.
  std::string_view names() const { return names_; }
  const std::vector<std::string>& roots() const { return roots_; }
  const std::filesystem::path& rootHost(std::size_t root) const { return rootHosts_[root]; }
  // The Windows path of an item.
  std::string windowsPathOf(const ZipItem& item) const {
    std::string path = roots_[item.root];
    path += nameOf(item);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
  }

 private:
  static int safeAttributes(const std::string& path) {
    try {
      return getAttr(path);
    } catch (const RuntimeError&) {
      return 0;
    }
  }

  // The index of a drive root, its host folder and the archive's name below it.
  std::uint16_t rootOf(const std::string& windowsPath) {
    const std::string root = driveRootOf(windowsPath);
    for (std::size_t i = 0; i < roots_.size(); ++i)
      if (roots_[i] == root) return static_cast<std::uint16_t>(i);
    roots_.push_back(root);
    rootHosts_.push_back(hostOf(root));
    const std::string archive =
        archive_.empty() ? std::string() : archive_.lexically_relative(rootHosts_.back()).generic_string();
    archiveNames_.push_back(archive.empty() || archive.rfind("..", 0) == 0 ? std::string() : archive);
    return static_cast<std::uint16_t>(roots_.size() - 1);
  }

  // The host spelling of a path below its root ("" for the root itself).
  std::string nameBelowRoot(const std::string& windowsPath, std::uint16_t root) {
    std::string name = hostOf(windowsPath).lexically_relative(rootHosts_[root]).generic_string();
    return name == "." ? std::string() : name;
  }

  void addNamed(std::string_view folder, std::string_view name, std::uint16_t root, int attributes) {
    const std::size_t at = names_.size();
    if (!folder.empty()) names_.append(folder).push_back('/');
    names_.append(name);
    if (!archiveNames_[root].empty() && std::string_view(names_).substr(at) == archiveNames_[root]) {
      names_.resize(at);
      return;
    }
    items_.push_back({static_cast<std::uint32_t>(at), static_cast<std::uint16_t>(names_.size() - at), root,
                      static_cast<std::uint8_t>(attributes), (attributes & kDirectory) != 0});
    names_ += '\n';
  }

  void add(const std::string& path, int attributes) {
    const std::uint16_t root = rootOf(path);
    const std::string name = nameBelowRoot(path, root);
    addNamed({}, name.empty() ? "." : name, root, attributes);  // the root itself is "."
  }

  void addMatches(const std::string& pattern) {
    int mask = kDirectory;
    if (options_.systemAndHidden) mask |= kHidden | kSystem;
    const std::string folder = parentOf(pattern);
    const std::vector<DirEntry> entries = findNames(pattern, mask);
    if (entries.empty()) return;
    // The folder is looked up once; its entries' names are the host's own.
    const std::uint16_t root = rootOf(folder);
    const std::string prefix = nameBelowRoot(folder, root);
    for (const DirEntry& entry : entries) {
      if (entry.name == "." || entry.name == "..") continue;
      if (!options_.systemAndHidden && (entry.attributes & (kHidden | kSystem))) continue;
      addNamed(prefix, entry.name, root, entry.attributes);
      if ((entry.attributes & kDirectory) && options_.recurse)
        addMatches(joinPath(folder, entry.name + "\\*.*"));
    }
  }

  ZipOptions options_;
  std::filesystem::path archive_;
  std::vector<ZipItem> items_;
  std::string names_;
  std::vector<std::string> roots_;
  std::vector<std::filesystem::path> rootHosts_;
  std::vector<std::string> archiveNames_;
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
void deleteMoved(const ZipRun& run, std::string& output) {
  detail::Lock lock(detail::machineMutex());
  detail::QuietDrains quiet;    // the layer's own deletions, one after another
  detail::MetadataBatch batch;  // written once at the end
  const std::vector<ZipItem>& items = run.items();
  // An item's name below its drive root is its key in the drive's metadata.
  std::vector<std::optional<detail::Volume>> volumes(run.roots().size());
  detail::HostFolder folders;  // the files come folder by folder
  for (const ZipItem& item : items) {
    if (item.folder) continue;
    const std::string path = run.windowsPathOf(item);
    try {
      std::optional<detail::Volume>& volume = volumes[item.root];
      if (!volume) volume = detail::resolve(run.roots()[item.root]).volume;
      if (detail::removeKnownFile(*volume, std::string(run.nameOf(item)), folders)) continue;
      // kill leaves hidden and system files alone and refuses read-only ones
      if (item.attributes & (kReadOnly | kHidden | kSystem)) setAttr(path, kNormal);
      kill(path);
    } catch (const RuntimeError& e) {
      output += "zip warning: could not delete " + path + ": " + e.description() + "\n";
    }
  }
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    if (!it->folder) continue;
    try {
      rmDir(run.windowsPathOf(*it));
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

// What a FAT drive holds has no odd second (zip would round one up, into
// the next day at 23:59:59): the names zip is to read from FAT drives get
// their write times as FAT keeps them, where the host holds finer ones.
void keepFatTimes(const ZipRun& run) {
  detail::Lock lock(detail::machineMutex());
  std::vector<std::optional<detail::Volume>> volumes(run.roots().size());
  for (const ZipItem& item : run.items()) {
    std::optional<detail::Volume>& volume = volumes[item.root];
    try {
      if (!volume) volume = detail::resolve(run.roots()[item.root]).volume;
    } catch (const RuntimeError&) {
      continue;
    }
    if (!volume->fatTimes) continue;
    detail::Resolved file;
    file.volume = *volume;
    file.host = run.rootHost(item.root) / std::string(run.nameOf(item));
    struct stat info {};
    if (::lstat(file.host.c_str(), &info) == 0 && !S_ISLNK(info.st_mode))
      detail::keepWriteTime(file, info.st_mtim);
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

  keepFatTimes(expansion);
  // One zip run per drive root, operands relative to it.
  const std::int64_t archiveBefore = archiveClusters(archive);
  int runs = 0;
  for (std::size_t r = 0; r < expansion.roots().size(); ++r) {
    // The names go on zip's standard input (-@), one a line: a command line
    // holds only so many of them.
    std::string rootNames;
    if (expansion.roots().size() > 1) {
      for (const ZipItem& item : items) {
        if (item.root != r) continue;
        rootNames.append(expansion.nameOf(item));
        rootNames += '\n';
      }
    }
    const std::string_view names =
        expansion.roots().size() > 1 ? std::string_view(rootNames) : expansion.names();
    if (names.empty()) continue;  // a root whose every match was left out
    const bool grow = options.grow || runs++ > 0;
    std::vector<std::string> args = hostZipOptions(options, grow);
    args.push_back("-@");
    args.push_back(hostArchive.string());
    // The archive gets the room its drive has, no more: past it zip fails
    // with its exit for a full disk and leaves an archive it replaces whole.
    HostRun host =
        runHostProgram(kZipProgram, args, expansion.rootHost(r), names, archiveRoom(archive, grow));
    const std::string tooLarge = "File too large";
    if (const auto at = host.output.find(tooLarge);
        host.exitCode == kZipWriteError && at != std::string::npos)
      host.output.replace(at, tooLarge.size(), "No space left on device");
    run.output += host.output;
    if (!host.started) raise(kFileNotFound);
    run.exitCode = host.exitCode;
    if (host.exitCode != 0) {
      archiveWritten(archive, archiveBefore, false);
      return run;
    }
  }
  // The members' DOS attributes, by name (a folder's member ends in "/");
  // of a name from two roots the later one's.
  using Key = std::pair<std::string_view, bool>;  // name, folder
  const auto keyOf = [&](std::uint32_t i) { return Key(expansion.nameOf(items[i]), items[i].folder); };
  std::vector<std::uint32_t> byName(items.size());
  for (std::uint32_t i = 0; i < byName.size(); ++i) byName[i] = i;
  std::stable_sort(byName.begin(), byName.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return keyOf(a) < keyOf(b); });
  const auto attributesOf = [&](std::string_view member) {
    const bool folder = !member.empty() && member.back() == '/';
    const Key key(folder ? member.substr(0, member.size() - 1) : member, folder);
    auto it = std::upper_bound(byName.begin(), byName.end(), key,
                               [&](const Key& k, std::uint32_t i) { return k < keyOf(i); });
    if (it == byName.begin() || keyOf(*(it - 1)) != key) return -1;
    return items[*(it - 1)].attributes & (kReadOnly | kHidden | kSystem | kDirectory | kArchive);
  };
  try {
    zipdir::setDosAttributes(hostArchive, attributesOf);
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
  if (options.move) deleteMoved(expansion, run.output);
  return run;
}

}  // namespace platform
