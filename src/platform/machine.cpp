// The machine root, as this layer lays it out:
//
//   machine.ini            the description: [Machine] (Name, CurrentDrive),
//                          [System] (the Windows facts), one [Drive X] section
//                          per drive letter: Type (2 removable, 3 fixed,
//                          4 network, 5 CD-ROM, 6 RAM disk), Folder (host
//                          folder below the root, fixed/network/RAM drives),
//                          Capacity and ClusterSize (bytes), Serial (hex),
//                          Label, WriteProtected (0/1), Unc (network drives:
//                          \\SERVER\SHARE), Medium (removable/CD-ROM drives:
//                          the inserted medium, empty when none)
//   drives/<X>/            a drive's files; drives/<X>.meta its metadata
//   media/<name>.ini       a medium on the shelf: [Medium] Label, Capacity,
//                          ClusterSize, Serial, WriteProtected, Formatted
//   media/<name>/          its files; media/<name>.meta its metadata
//   registry.reg           the registry (REGEDIT4 text)
//   scratch/<pid>-<n>/     the layer's scratch folders (scratch.h); opening
//                          the machine removes those of ended processes
//
// Host names are the Windows names' own bytes. The .meta files keep each
// entry's 8.3 alias, DOS attributes and creation order (see metadata.h).
#include "platform/machine.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "platform/error.h"
#include "platform/machine_state.h"
#include "platform/scratch.h"
#include "platform/shortname.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace platform {
namespace detail {

namespace {
std::unique_ptr<MachineState>& current() {
  static std::unique_ptr<MachineState> machine;
  return machine;
}

DriveType driveTypeOf(std::int64_t n) {
  if (n >= 0 && n <= 6) return static_cast<DriveType>(n);
  return DriveType::Unknown;
}

std::uint32_t serialOf(const std::string& text, std::uint32_t fallback) {
  if (text.empty()) return fallback;
  try {
    std::string digits;
    for (char c : text)
      if (c != '-') digits += c;
    return static_cast<std::uint32_t>(std::stoul(digits, nullptr, 16));
  } catch (const std::exception&) {
    return fallback;
  }
}

std::string hex8(std::uint32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%08X", n);
  return buf;
}

bool isInside(const fs::path& path, const fs::path& root) {
  auto [r, p] = std::mismatch(root.begin(), root.end(), path.begin(), path.end());
  return r == root.end();
}

bool linkInsideRoot(const fs::path& host) {
  std::error_code ec;
  fs::path target = fs::canonical(host, ec);
  return !ec && isInside(target, state().canonicalRoot);
}

Medium loadMedium(const fs::path& iniFile) {
  KeyFile ini = KeyFile::load(iniFile);
  Medium m;
  m.name = iniFile.stem().string();
  m.spec.label = ini.get("Medium", "Label");
  m.spec.capacity = ini.getInt("Medium", "Capacity", 1457664);
  m.spec.clusterSize = std::max<std::int64_t>(1, ini.getInt("Medium", "ClusterSize", 512));
  m.spec.serial = serialOf(ini.get("Medium", "Serial"), 0);
  m.spec.writeProtected = ini.getInt("Medium", "WriteProtected", 0) != 0;
  m.spec.formatted = ini.getInt("Medium", "Formatted", 1) != 0;
  return m;
}

std::string childRel(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}
}  // namespace

std::recursive_mutex& machineMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

MachineState& state() {
  if (!current()) throw RuntimeError(kPathNotFound, "No machine is open");
  return *current();
}

fs::path mediumFolder(const std::string& name) { return state().root / "media" / name; }
fs::path mediumFile(const std::string& name) { return state().root / "media" / (name + ".ini"); }

void saveDescription() {
  MachineState& s = state();
  s.description.save(s.root / "machine.ini");
}

void saveMedium(const Medium& medium) {
  fs::path file = mediumFile(medium.name);
  KeyFile ini = KeyFile::load(file);
  ini.set("Medium", "Label", medium.spec.label);
  ini.set("Medium", "Capacity", std::to_string(medium.spec.capacity));
  ini.set("Medium", "ClusterSize", std::to_string(medium.spec.clusterSize));
  ini.set("Medium", "Serial", hex8(medium.spec.serial));
  ini.set("Medium", "WriteProtected", medium.spec.writeProtected ? "1" : "0");
  ini.set("Medium", "Formatted", medium.spec.formatted ? "1" : "0");
  ini.save(file);
}

VolumeMetadata& metadataFor(const fs::path& content) {
  auto& slot = state().metadata[content.string()];
  if (!slot) {
    fs::path file = content;
    file += ".meta";
    slot = std::make_unique<VolumeMetadata>(file);
  }
  return *slot;
}

Drive* findDrive(char letter) {
  MachineState& s = state();
  auto it = s.drives.find(upperChar(letter));
  return it == s.drives.end() ? nullptr : &it->second;
}

Volume volumeOf(Drive& drive) {
  MachineState& s = state();
  Volume v;
  v.drive = &drive;
  if (drive.usesMedia()) {
    auto it = s.media.find(drive.medium);
    if (drive.medium.empty() || it == s.media.end() || !it->second.spec.formatted) raise(kDiskNotReady);
    v.medium = &it->second;
    v.content = mediumFolder(drive.medium);
    v.capacity = it->second.spec.capacity;
    v.clusterSize = it->second.spec.clusterSize;
    v.readOnly = drive.writeProtected || it->second.spec.writeProtected || drive.type == DriveType::CdRom;
  } else {
    v.content = drive.folder;
    v.capacity = drive.capacity;
    v.clusterSize = drive.clusterSize;
    v.readOnly = drive.writeProtected;
  }
  // Floppies, fixed disks and RAM disks are FAT; CD-ROMs and network drives are not.
  v.fatTimes = drive.type == DriveType::Removable || drive.type == DriveType::Fixed ||
               drive.type == DriveType::RamDisk;
  v.meta = &metadataFor(v.content);
  // A root in sync is watched: it is there.
  std::error_code ec;
  if (!v.meta->inSync("") && !fs::is_directory(v.content, ec)) fs::create_directories(v.content, ec);
  return v;
}

Volume volumeOfRoot(std::string_view root) {
  WindowsPath p = parseWindowsPath(root, state().currentDrive, [](char) { return std::string("\\"); });
  Drive* d = nullptr;
  if (p.drive) {
    d = findDrive(p.drive);
  } else {
    for (auto& [letter, drive] : state().drives)
      if (!drive.unc.empty() && equalsNoCase(drive.unc, p.rootText())) d = &drive;
  }
  if (!d) raise(kDeviceUnavailable);
  return volumeOf(*d);
}

int Resolved::attributes() const { return storedAttributes | (isDir ? kDirectory : 0); }

std::vector<std::string> Resolved::longParts() const {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < rel.size();) {
    const std::size_t slash = std::min(rel.find('/', start), rel.size());
    parts.push_back(rel.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

std::vector<std::string> Resolved::shortParts() const {
  std::vector<std::string> parts;
  for (std::size_t start = 0; start < rel.size();) {
    const std::size_t slash = std::min(rel.find('/', start), rel.size());
    const EntryMeta* meta = volume.meta ? volume.meta->find(rel.substr(0, slash)) : nullptr;
    parts.push_back(meta && !meta->shortName.empty() ? meta->shortName
                                                     : upperCase(rel.substr(start, slash - start)));
    start = slash + 1;
  }
  return parts;
}

FolderWatches::FolderWatches() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatches::~FolderWatches() {
  if (fd_ >= 0) ::close(fd_);
}

bool FolderWatches::watch(const fs::path& host, const std::string& content, const std::string& rel) {
  if (fd_ < 0) return false;
  constexpr std::uint32_t kMask =
      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
  const int wd = ::inotify_add_watch(fd_, host.c_str(), kMask);
  if (wd < 0) return false;
  auto& names = folders_[wd];
  const std::pair<std::string, std::string> folder{content, rel};
  if (std::find(names.begin(), names.end(), folder) == names.end()) names.push_back(folder);
  return true;
}

namespace {
int quietDepth = 0;
// Each of the layer's operations leaves a few events; the kernel keeps
// thousands before it drops them.
constexpr unsigned kQuietDrainEvery = 128;
}  // namespace

QuietDrains::QuietDrains() { ++quietDepth; }

QuietDrains::~QuietDrains() {
  if (--quietDepth > 0 || !current()) return;
  try {
    current()->watches.drain(*current());
  } catch (...) {
    // The next question looks again.
  }
}

void FolderWatches::drainDue(MachineState& s) {
  static unsigned skipped = 0;
  if (quietDepth > 0 && ++skipped % kQuietDrainEvery != 0) return;
  drain(s);
}

void FolderWatches::drain(MachineState& s) {
  if (fd_ < 0) return;
  alignas(inotify_event) char buffer[64 * 1024];
  while (true) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        for (auto& [content, meta] : s.metadata)
          if (meta) meta->allOutOfSync();
        continue;
      }
      auto it = folders_.find(event->wd);
      if (it == folders_.end()) continue;
      const bool gone = event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED);
      const std::string name = event->len ? std::string(event->name) : std::string();
      for (const auto& [content, rel] : it->second) {
        auto meta = s.metadata.find(content);
        if (meta == s.metadata.end() || !meta->second) continue;
        bool changed = gone;
        if (!name.empty()) {
          const bool known = meta->second->find(childRel(rel, name)) != nullptr;
          if (event->mask & (IN_CREATE | IN_MOVED_TO)) changed = changed || !known;
          if (event->mask & (IN_DELETE | IN_MOVED_FROM)) changed = changed || known;
        }
        // A folder moved or removed takes the folders below it along: what
        // their watches know is no longer what is under this name.
        if (gone)
          meta->second->outOfSyncFrom(rel);
        else if (changed)
          meta->second->setInSync(rel, false);
      }
      if (gone) {
        // A moved folder's watch would follow it: let it go.
        if (!(event->mask & IN_IGNORED)) ::inotify_rm_watch(fd_, event->wd);
        folders_.erase(it);
      }
    }
  }
}

namespace {

// A folder kept in sync, listed from what the layer knows of it; false when
// it holds an entry whose kind was not seen in this run (a link, or an entry
// only read from the metadata file).
bool listKnownFolder(Volume& volume, const std::string& relFolder, std::vector<Child>& known) {
  if (!volume.meta->inSync(relFolder)) return false;
  auto entries = volume.meta->childEntries(relFolder);
  known.clear();
  known.reserve(entries.size());
  for (auto& [rel, meta] : entries) {
    if (meta.kind == EntryMeta::Unknown) return false;
    const std::size_t slash = rel.rfind('/');
    std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
    const bool isDir = meta.kind == EntryMeta::Folder;
    known.push_back({std::move(name), std::move(rel), isDir, std::move(meta)});
  }
  std::sort(known.begin(), known.end(),
            [](const Child& a, const Child& b) { return a.meta.order < b.meta.order; });
  return true;
}

}  // namespace

std::vector<Child> listFolderKnown(Volume& volume, const std::string& relFolder) {
  if (std::vector<Child> known; listKnownFolder(volume, relFolder, known)) return known;
  return listFolder(volume, relFolder);
}

std::vector<Child> listFolder(Volume& volume, const std::string& relFolder) {
  fs::path dir = relFolder.empty() ? volume.content : volume.content / relFolder;
  // Watched before it is read, so nothing made meanwhile goes unseen.
  const bool watched = state().watches.watch(dir, volume.content.string(), relFolder);
  std::vector<Child> known, fresh;
  std::set<std::string> present;
  std::error_code ec;
  bool listed = false;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    listed = true;
    std::string name = it->path().filename().string();
    if (isForbiddenName(name)) continue;
    std::error_code e2;
    const bool link = it->is_symlink(e2);
    if (link && !linkInsideRoot(it->path())) continue;
    Child child{name, childRel(relFolder, name), it->is_directory(e2), {}};
    present.insert(child.rel);
    const EntryMeta::Kind kind = link          ? EntryMeta::Unknown
                                 : child.isDir ? EntryMeta::Folder
                                               : EntryMeta::File;
    child.meta.kind = kind;
    if (EntryMeta* meta = volume.meta->find(child.rel)) {
      meta->kind = kind;
      child.meta = *meta;
      known.push_back(child);
    } else {
      fresh.push_back(child);
    }
  }
  listed = listed || (!ec && fs::is_directory(dir, ec));
  for (const std::string& key : volume.meta->children(relFolder))
    if (!present.count(key)) volume.meta->erase(key);
  if (!fresh.empty()) {
    std::set<std::string> freshNames;
    for (const Child& c : fresh) freshNames.insert(upperCase(c.name));
    std::sort(fresh.begin(), fresh.end(), [](const Child& a, const Child& b) {
      std::string ua = upperCase(a.name), ub = upperCase(b.name);
      return ua != ub ? ua < ub : a.name < b.name;
    });
    for (Child& c : fresh) {
      std::string alias = volume.meta->newAlias(relFolder, c.name, &freshNames);
      const EntryMeta::Kind kind = c.meta.kind;
      EntryMeta& added = volume.meta->add(c.rel, c.isDir ? 0 : kArchive, alias);
      added.kind = kind;
      c.meta = added;
      known.push_back(c);
    }
  }
  volume.meta->setInSync(relFolder, watched && listed);
  volume.meta->save();
  std::sort(known.begin(), known.end(),
            [](const Child& a, const Child& b) { return a.meta.order < b.meta.order; });
  return known;
}

void registerEntry(Volume& volume, const std::string& rel, bool isDir) {
  VolumeMetadata& meta = *volume.meta;
  meta.erase(rel);
  const std::size_t slash = rel.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : rel.substr(0, slash);
  if (meta.inSync(folder)) {
    const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);
    meta.add(rel, isDir ? 0 : kArchive, meta.newAlias(folder, name)).kind =
        isDir ? EntryMeta::Folder : EntryMeta::File;
    meta.save();
  } else {
    listFolder(volume, folder);
  }
  if (isDir) listFolder(volume, rel);  // empty: in sync from now on
}

namespace {
const Child* pick(const std::vector<Child>& children, const std::string& part) {
  for (const Child& c : children)
    if (c.name == part) return &c;
  for (const Child& c : children)
    if (equalsNoCase(c.name, part)) return &c;
  for (const Child& c : children)
    if (!c.meta.shortName.empty() && equalsNoCase(c.meta.shortName, part)) return &c;
  return nullptr;
}

// A known entry as the host holds it now; none when it is gone (or became a
// link out of the machine).
std::optional<Child> present(const fs::path& host, const std::string& rel, EntryMeta& meta) {
  std::error_code ec;
  auto status = fs::symlink_status(host, ec);
  if (fs::is_symlink(status)) {
    meta.kind = EntryMeta::Unknown;
    if (linkInsideRoot(host)) return Child{host.filename().string(), rel, fs::is_directory(host, ec), meta};
  } else if (fs::exists(status)) {
    meta.kind = fs::is_directory(status) ? EntryMeta::Folder : EntryMeta::File;
    return Child{host.filename().string(), rel, fs::is_directory(status), meta};
  }
  return std::nullopt;
}

// A known entry of a folder in sync, as it was last seen: the folder's
// watch reports every change of its names, so the host need not be asked.
std::optional<Child> known(const std::string& name, const std::string& rel, const EntryMeta& meta) {
  if (meta.kind == EntryMeta::Unknown) return std::nullopt;
  return Child{name, rel, meta.kind == EntryMeta::Folder, meta};
}
}  // namespace

namespace {
Resolved resolveAs(std::string_view windowsPath, bool allowWildcards, bool lookForHiddenEntry) {
  MachineState& s = state();
  Resolved r;
  r.path = parseWindowsPath(
      windowsPath, s.currentDrive,
      [&](char d) {
        auto it = s.currentFolders.find(d);
        return it == s.currentFolders.end() ? std::string("\\") : it->second;
      },
      allowWildcards);
  Drive* drive = nullptr;
  if (r.path.drive) {
    drive = findDrive(r.path.drive);
  } else {
    for (auto& [letter, d] : s.drives)
      if (!d.unc.empty() && equalsNoCase(d.unc, r.path.rootText())) drive = &d;
  }
  if (!drive) raise(kPathNotFound);
  s.watches.drainDue(s);  // so that "in sync" holds now
  r.volume = volumeOf(*drive);
  // The host path is made as text and parsed into a path once.
  std::string host = r.volume.content.native();
  const auto below = [&host](std::string_view name) {
    if (host.empty() || host.back() != '/') host += '/';
    host += name;
  };
  const auto hostOf = [&host](std::string_view name) { return fs::path(host) / name; };
  r.exists = r.isDir = true;
  for (std::size_t i = 0; i < r.path.parts.size(); ++i) {
    const std::string& part = r.path.parts[i];
    if (!r.exists || !r.isDir) raise(kPathNotFound);
    std::string rel = childRel(r.rel, part);
    std::optional<Child> found;
    if (!hasWildcards(part)) {
      // The exact name first, then the folder's names; the folder is listed
      // only when it changed behind the layer's back.
      VolumeMetadata& meta = *r.volume.meta;
      EntryMeta* exact = meta.find(rel);
      if (exact && exact->kind != EntryMeta::Unknown && meta.inSync(r.rel)) {
        // The common case, taken without copying the entry.
        r.rel = std::move(rel);
        below(part);
        r.isDir = exact->kind == EntryMeta::Folder;
        r.storedAttributes = exact->attributes;
        continue;
      }
      if (exact) found = present(hostOf(part), rel, *exact);
      if (!found) {
        s.watches.drainDue(s);
        bool listing = !meta.inSync(r.rel) || exact;
        std::string key;
        if (!listing) {
          if (EntryMeta* other = meta.findNoCase(r.rel, part, key)) {
            const std::size_t slash = key.rfind('/');
            const std::string name = key.substr(slash == std::string::npos ? 0 : slash + 1);
            found = known(name, key, *other);
            if (!found) found = present(hostOf(name), key, *other);
            listing = !found;
          }
        }
        if (listing) {
          std::vector<Child> children = listFolder(r.volume, r.rel);
          if (const Child* c = pick(children, part)) found = *c;
        }
      }
    }
    if (found) {
      r.rel = std::move(found->rel);
      below(found->name);
      r.isDir = found->isDir;
      r.storedAttributes = found->meta.attributes;
    } else {
      r.rel = std::move(rel);
      below(part);
      r.exists = r.isDir = false;
      r.storedAttributes = 0;
      if (lookForHiddenEntry && i + 1 == r.path.parts.size() && !hasWildcards(part)) {
        struct stat entry {};
        r.hiddenHostEntry = ::lstat(host.c_str(), &entry) == 0;
      }
    }
  }
  r.host = std::move(host);
  return r;
}
}  // namespace

Resolved resolve(std::string_view windowsPath, bool allowWildcards) {
  return resolveAs(windowsPath, allowWildcards, true);
}

Resolved resolveForNewName(std::string_view windowsPath) { return resolveAs(windowsPath, false, false); }

std::int64_t clustersOf(const Volume& volume, std::int64_t bytes) {
  return (bytes + volume.clusterSize - 1) / volume.clusterSize;
}

namespace {
// Host files handed out and watched at once, per volume; older ones are let go.
constexpr std::size_t kWatchLimit = 256;

VolumeUsage& usageOf(const Volume& volume) {
  auto& usage = state().usage;
  const std::string& key = volume.content.native();
  auto it = usage.find(key);
  if (it == usage.end()) it = usage.emplace(key, VolumeUsage{}).first;
  return it->second;
}

std::int64_t countVolume(const Volume& volume) {
  std::int64_t used = 0;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(volume.content, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code e2;
    if (it->is_symlink(e2)) continue;
    if (it->is_directory(e2))
      used += 1;
    else if (it->is_regular_file(e2))
      used += clustersOf(volume, static_cast<std::int64_t>(it->file_size(e2)));
  }
  return used;
}
}  // namespace

std::int64_t hostClusters(const Volume& volume, const fs::path& host) {
  struct stat info {};
  if (::lstat(host.c_str(), &info) != 0) return 0;
  if (S_ISDIR(info.st_mode)) return 1;
  if (!S_ISREG(info.st_mode)) return 0;
  return clustersOf(volume, static_cast<std::int64_t>(info.st_size));
}

std::int64_t usedClusters(const Volume& volume) {
  VolumeUsage& u = usageOf(volume);
  if (!u.known) {
    u.used = countVolume(volume);
    u.known = true;
    for (auto& [host, clusters] : u.watched) clusters = hostClusters(volume, host);
    return u.used;
  }
  for (auto& [host, clusters] : u.watched) {
    std::int64_t now = hostClusters(volume, host);
    u.used += now - clusters;
    clusters = now;
  }
  return u.used;
}

void noteClusters(const Volume& volume, const fs::path& host, std::int64_t before, std::int64_t after) {
  noteClusters(volume, host.native(), before, after);
}

void noteClusters(const Volume& volume, const std::string& host, std::int64_t before, std::int64_t after) {
  VolumeUsage& u = usageOf(volume);
  if (u.known) u.used += after - before;
  if (u.watched.empty()) return;  // a path is made only to look it up
  auto it = u.watched.find(fs::path(host));
  if (it != u.watched.end()) it->second = after;
}

void noteFolders(const Volume& volume, std::int64_t count) {
  VolumeUsage& u = usageOf(volume);
  if (u.known) u.used += count;
}

void recountVolume(const Volume& volume) { usageOf(volume).known = false; }

void movedHostEntry(const Volume& volume, const fs::path& from, const fs::path& to) {
  // Watched files below it now live under the new name, counted as they were.
  VolumeUsage& u = usageOf(volume);
  const auto below = [](const fs::path& path, const fs::path& entry) {
    return path == entry || isInside(path, entry);
  };
  for (const auto& [watched, clusters] : u.watched)
    if (below(watched, to)) {
      u.known = false;  // a name the layer counted under the target: count again
      return;
    }
  const auto renamed = [&](const fs::path& path) { return to / path.lexically_relative(from); };
  std::vector<std::pair<fs::path, std::int64_t>> moved;
  for (auto it = u.watched.begin(); it != u.watched.end();) {
    if (below(it->first, from)) {
      moved.emplace_back(renamed(it->first), it->second);
      it = u.watched.erase(it);
    } else {
      ++it;
    }
  }
  if (moved.empty()) return;
  for (auto& [path, clusters] : moved) u.watched[path] = clusters;
  for (fs::path& path : u.watchOrder)
    if (below(path, from)) path = renamed(path);
}

void watchHostFile(const Volume& volume, const fs::path& host) {
  VolumeUsage& u = usageOf(volume);
  if (u.watched.count(host)) return;
  if (u.watchOrder.size() >= kWatchLimit) {
    // The oldest one's last change is counted; what it does from now on is
    // seen by the next recount.
    u.watched.erase(u.watchOrder.front());
    u.watchOrder.pop_front();
  }
  u.watched[host] = hostClusters(volume, host);
  u.watchOrder.push_back(host);
}

std::int64_t totalClusters(const Volume& volume) { return volume.capacity / volume.clusterSize; }

std::int64_t freeClusters(const Volume& volume) {
  return std::max<std::int64_t>(0, totalClusters(volume) - usedClusters(volume));
}

void requireWritable(const Volume& volume) {
  if (volume.readOnly) raise(kPermissionDenied);
}

void requireWritable(const Resolved& target) {
  requireWritable(target.volume);
  if (target.hiddenHostEntry) raise(kPermissionDenied);
}

}  // namespace detail

using namespace detail;

void openMachine(const fs::path& root) {
  Lock lock(machineMutex());
  if (!fs::is_regular_file(root / "machine.ini")) raise(kPathNotFound);
  auto s = std::make_unique<MachineState>();
  s->root = fs::absolute(root).lexically_normal();
  std::error_code ec;
  s->canonicalRoot = fs::canonical(s->root, ec);
  if (ec) s->canonicalRoot = s->root;
  s->description = KeyFile::load(root / "machine.ini");
  for (const std::string& section : s->description.sections()) {
    if (section.size() != 7 || !equalsNoCase(section.substr(0, 6), "Drive ")) continue;
    char letter = upperChar(section[6]);
    if (letter < 'A' || letter > 'Z') continue;
    const KeyFile& ini = s->description;
    Drive d;
    d.letter = letter;
    d.type = driveTypeOf(ini.getInt(section, "Type", 3));
    std::string folder = ini.get(section, "Folder", std::string("drives/") + letter);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    d.folder = s->root / folder;
    d.capacity = ini.getInt(section, "Capacity", std::int64_t(2) << 30);
    d.clusterSize = std::max<std::int64_t>(1, ini.getInt(section, "ClusterSize", 4096));
    d.label = ini.get(section, "Label");
    d.unc = ini.get(section, "Unc");
    d.serial = serialOf(ini.get(section, "Serial"), 0x1000000u + static_cast<std::uint32_t>(letter));
    d.writeProtected = ini.getInt(section, "WriteProtected", 0) != 0;
    d.medium = ini.get(section, "Medium");
    s->drives[letter] = d;
  }
  for (fs::directory_iterator it(s->root / "media", ec), end; !ec && it != end; it.increment(ec))
    if (it->path().extension() == ".ini") {
      Medium m = loadMedium(it->path());
      s->media[m.name] = m;
    }
  std::string cd = s->description.get("Machine", "CurrentDrive", "C");
  s->currentDrive = cd.empty() ? 'C' : upperChar(cd[0]);
  if (!s->drives.count(s->currentDrive) && !s->drives.empty()) s->currentDrive = s->drives.begin()->first;
  sweepStaleScratch(s->root);  // what a program killed half way left behind
  current() = std::move(s);
}

void closeMachine() {
  Lock lock(machineMutex());
  current().reset();
}

fs::path defaultMachineRoot() {
  if (const char* env = std::getenv("KELVARAN_MACHINE"); env && *env) return env;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = fs::path(home) / ".local" / "share";
  else
    base = fs::temp_directory_path();
  return base / "kelvaran" / "demo-machine";
}

fs::path demoTemplateDir() {
  if (const char* src = std::getenv("KELVARAN_SOURCE_DIR"); src && *src) {
    fs::path dir = fs::path(src) / "demo" / "machine";
    if (fs::exists(dir / "machine.ini")) return dir;
  }
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  for (fs::path dir = exe.parent_path(); !ec && !dir.empty() && dir != dir.parent_path();
       dir = dir.parent_path())
    if (fs::exists(dir / "demo" / "machine" / "machine.ini")) return dir / "demo" / "machine";
  return {};
}

void createMachineFromTemplate(const fs::path& templateDir, const fs::path& root) {
  std::error_code ec;
  if (fs::exists(root, ec)) raise(kFileAlreadyExists);
  if (!fs::is_regular_file(templateDir / "machine.ini")) raise(kPathNotFound);
  fs::create_directories(root.parent_path(), ec);
  fs::path temp = root;
  temp += ".creating";
  fs::remove_all(temp, ec);
  fs::copy(templateDir, temp, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  if (ec) {
    fs::remove_all(temp, ec);
    raise(kDeviceIoError);
  }
  // Git keeps no empty folders: the template marks them with .gitkeep files.
  std::vector<fs::path> markers;
  for (fs::recursive_directory_iterator it(temp, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename() == ".gitkeep") markers.push_back(it->path());
  for (const fs::path& m : markers) fs::remove(m, ec);
  fs::rename(temp, root, ec);
  if (ec) raise(kDeviceIoError);
}

void openDefaultMachine() {
  fs::path root = defaultMachineRoot();
  if (!fs::exists(root / "machine.ini") && !std::getenv("KELVARAN_MACHINE")) {
    fs::path demo = demoTemplateDir();
    if (demo.empty()) raise(kPathNotFound);
    createMachineFromTemplate(demo, root);
  }
  openMachine(root);
}

bool machineOpen() {
  Lock lock(machineMutex());
  return current() != nullptr;
}

const fs::path& machineRoot() {
  Lock lock(machineMutex());
  return state().root;
}

std::string machineValue(std::string_view section, std::string_view key, std::string_view fallback) {
  Lock lock(machineMutex());
  return state().description.get(section, key, fallback);
}

fs::path hostPath(std::string_view windowsPath) {
  Lock lock(machineMutex());
  Resolved r = resolve(windowsPath);
  if (r.hiddenHostEntry) raise(kPathNotFound);  // it would lead out of the machine
  // The caller may change what it gets behind the layer's back.
  if (r.exists && r.isDir)
    recountVolume(r.volume);
  else
    watchHostFile(r.volume, r.host);
  return r.host;
}

std::string windowsPath(const fs::path& host) {
  Lock lock(machineMutex());
  if (!current()) return "";
  MachineState& s = state();
  fs::path target = fs::absolute(host).lexically_normal();
  for (auto& [letter, drive] : s.drives) {
    fs::path content =
        drive.usesMedia() ? (drive.medium.empty() ? fs::path() : mediumFolder(drive.medium)) : drive.folder;
    if (content.empty() || !isInside(target, content.lexically_normal())) continue;
    std::string out = std::string(1, letter) + ":";
    fs::path rel = target.lexically_relative(content.lexically_normal());
    for (const fs::path& part : rel)
      if (!part.empty() && part != ".") {
        out += '\\';
        out += part.string();
      }
    return out.size() == 2 ? out + "\\" : out;
  }
  return "";
}

}  // namespace platform
