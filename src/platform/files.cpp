// Files and folders: the runtime's file statements over the machine's volumes.
#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <set>

#include "platform/error.h"
#include "platform/machine_ini.h"
#include "platform/machine_state.h"
#include "platform/shortname.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace platform {

using namespace detail;

namespace {

std::string parentRel(const std::string& rel) {
  std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? "" : rel.substr(0, slash);
}

std::string joinParts(const Resolved& r, const std::vector<std::string>& parts) {
  std::string out = r.path.rootText();
  if (parts.empty()) return out + "\\";
  for (const std::string& p : parts) out += "\\" + p;
  return out;
}

Resolved existing(std::string_view path) {
  Resolved r = resolve(path);
  if (!r.exists) raise(kFileNotFound);
  return r;
}

Resolved existingFile(std::string_view path) {
  Resolved r = existing(path);
  if (r.isDir) raise(kFileNotFound);
  return r;
}

bool hostIsOpen(const fs::path& host) { return state().openFiles.count(host) > 0; }

DateTime toDateTime(std::time_t tt) {
  std::tm tm{};
  localtime_r(&tt, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

fs::file_time_type fromDateTime(const DateTime& d) {
  std::tm tm{};
  tm.tm_year = d.year - 1900;
  tm.tm_mon = d.month - 1;
  tm.tm_mday = d.day;
  tm.tm_hour = d.hour;
  tm.tm_min = d.minute;
  tm.tm_sec = d.second;
  tm.tm_isdst = -1;
  auto sys = std::chrono::system_clock::from_time_t(std::mktime(&tm));
  return std::chrono::file_clock::from_sys(sys);
}

// Keeps the volume's running count right across a change of one host file.
class TrackedFile {
 public:
  TrackedFile(const Volume& volume, fs::path host)
      : volume_(volume), host_(std::move(host)), before_(hostClusters(volume_, host_)) {}
  ~TrackedFile() { noteClusters(volume_, host_, before_, hostClusters(volume_, host_)); }
  TrackedFile(const TrackedFile&) = delete;
  TrackedFile& operator=(const TrackedFile&) = delete;

 private:
  Volume volume_;
  fs::path host_;
  std::int64_t before_;
};

class HostFd {
 public:
  explicit HostFd(int fd) : fd_(fd) {}
  ~HostFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  HostFd(const HostFd&) = delete;
  HostFd& operator=(const HostFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Gives a freshly made host entry its metadata (alias, attributes).
void registerNew(Resolved& r, bool isDir = false) { registerEntry(r.volume, r.rel, isDir); }

void setArchive(Resolved& r) {
  if (EntryMeta* m = r.volume.meta->find(r.rel)) {
    if (!(m->attributes & kArchive)) {
      m->attributes |= kArchive;
      r.volume.meta->markChanged(r.rel);
      r.volume.meta->save();
    }
  }
}

// The target of a write: no folder, not read-only, writable volume.
Resolved writeTarget(std::string_view path) {
  Resolved r = resolve(path);
  if (r.exists && r.isDir) raise(kPathFileAccess);
  requireWritable(r);
  if (r.exists && (r.storedAttributes & kReadOnly)) raise(kPermissionDenied);
  return r;
}

// Writes all of `bytes` at `offset` of a host file.
void putAll(int fd, std::int64_t offset, std::string_view bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t put =
        ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) raise(kDeviceIoError);
    done += static_cast<std::size_t>(put);
  }
}

// Copies up to `count` bytes from offset `from` of `in` to offset `to` of
// `out`, inside the kernel where the host allows it; returns how many were
// copied (fewer at the end of `in`).
std::int64_t copyRange(int in, std::int64_t from, int out, std::int64_t to, std::int64_t count) {
  std::int64_t done = 0;
  bool inKernel = true;
  std::vector<char> buffer;
  while (done < count) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::int64_t>(count - done, std::int64_t(1) << 26));
    ssize_t got = 0;
    if (inKernel) {
      loff_t a = from + done, b = to + done;
      got = ::copy_file_range(in, &a, out, &b, want, 0);
      // Another file system, an old kernel, or a target open for appending.
      if (got < 0 &&
          (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF)) {
        inKernel = false;
        continue;
      }
    } else {
      if (buffer.empty()) buffer.resize(std::min<std::size_t>(want, std::size_t(1) << 20));
      got = ::pread(in, buffer.data(), std::min(want, buffer.size()), static_cast<off_t>(from + done));
      if (got > 0) putAll(out, to + done, std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) raise(kDeviceIoError);
    if (got == 0) break;
    done += got;
  }
  return done;
}

// Puts `count` bytes at an offset of a host file; raises when it cannot.
using PutBytes = std::function<void(int fd, std::int64_t offset, std::size_t count)>;

// Puts `size` bytes at `offset` of a host file, as far as the volume has room;
// raises 61 when not all of them fit.
void writeWithin(const Volume& volume, int fd, std::int64_t offset, std::int64_t oldSize, std::size_t size,
                 std::int64_t freeClusterCount, const PutBytes& put) {
  std::int64_t end = offset + static_cast<std::int64_t>(size);
  std::int64_t room = (clustersOf(volume, oldSize) + freeClusterCount) * volume.clusterSize;
  std::size_t count = size;
  if (end > room && end > oldSize) count = static_cast<std::size_t>(std::max<std::int64_t>(0, room - offset));
  if (count) put(fd, offset, count);
  if (count < size) raise(kDiskFull);
}

PutBytes putting(std::string_view bytes) {
  return
      [bytes](int fd, std::int64_t offset, std::size_t count) { putAll(fd, offset, bytes.substr(0, count)); };
}

// Opens a host file as fopen would with "rb", "wb", "ab", "r+b" or "w+b".
int openHost(const fs::path& host, int flags) { return ::open(host.c_str(), flags | O_CLOEXEC, 0666); }

void putFile(std::string_view path, std::string_view bytes, bool append) {
  Resolved r = writeTarget(path);
  if (r.exists && hostIsOpen(r.host) && !append) raise(kPathFileAccess);
  std::int64_t oldSize = r.exists ? static_cast<std::int64_t>(fs::file_size(r.host)) : 0;
  std::int64_t freeCount = freeClusters(r.volume);
  if (!append) {
    freeCount += clustersOf(r.volume, oldSize);
    oldSize = 0;
  }
  MetadataBatch batch;
  TrackedFile tracked(r.volume, r.host);
  const int fd = openHost(r.host, O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC));
  if (fd < 0) raise(kPathFileAccess);
  bool fresh = !r.exists;
  try {
    if (fresh) registerNew(r);
    writeWithin(r.volume, fd, oldSize, append ? oldSize : 0, bytes.size(), freeCount, putting(bytes));
  } catch (...) {
    ::close(fd);
    setArchive(r);
    throw;
  }
  ::close(fd);
  setArchive(r);
  batch.commit();
}

}  // namespace

// ---- paths ---------------------------------------------------------------

std::string fullPath(std::string_view path) {
  Lock lock(machineMutex());
  MachineState& s = state();
  return parseWindowsPath(
             path, s.currentDrive,
             [&](char d) {
               auto it = s.currentFolders.find(d);
               return it == s.currentFolders.end() ? std::string("\\") : it->second;
             },
             true)
      .text();
}

std::string shortPath(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  return joinParts(r, r.shortParts());
}

std::string longPath(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  return joinParts(r, r.longParts());
}

char currentDrive() {
  Lock lock(machineMutex());
  return state().currentDrive;
}

void chDrive(char drive) {
  Lock lock(machineMutex());
  if (!findDrive(drive)) raise(kDeviceUnavailable);
  state().currentDrive = upperChar(drive);
}

std::string curDir(char drive) {
  Lock lock(machineMutex());
  MachineState& s = state();
  char d = drive ? upperChar(drive) : s.currentDrive;
  if (!findDrive(d)) raise(kDeviceUnavailable);
  auto it = s.currentFolders.find(d);
  return std::string(1, d) + ":" + (it == s.currentFolders.end() ? "\\" : it->second);
}

void chDir(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = resolve(path);
  if (!r.exists || !r.isDir || !r.path.drive) raise(kPathNotFound);
  std::string folder;
  for (const std::string& p : r.longParts()) folder += "\\" + p;
  state().currentFolders[r.path.drive] = folder.empty() ? "\\" : folder;
}

// ---- questions -----------------------------------------------------------

bool fileExists(std::string_view path) {
  Lock lock(machineMutex());
  try {
    Resolved r = resolve(path);
    return r.exists && !r.isDir;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool folderExists(std::string_view path) {
  Lock lock(machineMutex());
  try {
    Resolved r = resolve(path);
    return r.exists && r.isDir;
  } catch (const RuntimeError&) {
    return false;
  }
}

bool pathExists(std::string_view path) {
  Lock lock(machineMutex());
  try {
    return resolve(path).exists;
  } catch (const RuntimeError&) {
    return false;
  }
}

int getAttr(std::string_view path) {
  Lock lock(machineMutex());
  return existing(path).attributes();
}

void setAttr(std::string_view path, int attributes) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  if (r.rel.empty()) raise(kPathFileAccess);
  requireWritable(r.volume);
  EntryMeta* m = r.volume.meta->find(r.rel);
  if (!m) raise(kFileNotFound);
  m->attributes = attributes & (kReadOnly | kHidden | kSystem | kArchive);
  r.volume.meta->markChanged(r.rel);
  r.volume.meta->save();
}

std::int64_t fileLen(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  if (r.isDir) return 0;
  std::error_code ec;
  auto size = fs::file_size(r.host, ec);
  if (ec) raise(kDeviceIoError);
  return static_cast<std::int64_t>(size);
}

namespace detail {
void keepWriteTime(const Resolved& file, const struct timespec& written) {
  const struct timespec kept = file.volume.keptTime(written);
  if (kept.tv_sec == written.tv_sec && kept.tv_nsec == written.tv_nsec) return;
  const struct timespec times[2] = {{0, UTIME_OMIT}, kept};
  ::utimensat(AT_FDCWD, file.host.c_str(), times, AT_SYMLINK_NOFOLLOW);
}
}  // namespace detail

DateTime fileDateTime(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  struct stat info {};
  if (::stat(r.host.c_str(), &info) != 0) raise(kDeviceIoError);
  return toDateTime(r.volume.keptTime(info.st_mtim).tv_sec);
}

void setFileDateTime(std::string_view path, const DateTime& written) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  requireWritable(r.volume);
  DateTime kept = written;
  if (r.volume.fatTimes) kept.second -= kept.second % 2;
  std::error_code ec;
  fs::last_write_time(r.host, fromDateTime(kept), ec);
  if (ec) raise(kPathFileAccess);
}

// ---- listings ------------------------------------------------------------

namespace {
std::vector<DirEntry> listMatches(std::string_view pattern, int attributeMask, bool withSizes) {
  std::string text(pattern);
  bool folderOnly =
      text.empty() || text.back() == '\\' || text.back() == '/' || (text.size() == 2 && text[1] == ':');
  if (folderOnly) text += "*.*";
  Resolved r;
  try {
    r = resolve(text, true);
  } catch (const RuntimeError& e) {
    if (e.number() == kPathNotFound || e.number() == kFileNotFound) return {};
    throw;
  }
  std::vector<DirEntry> out;
  if (r.path.parts.empty()) return out;
  std::string name = r.path.parts.back();
  std::string folderRel = parentRel(r.rel);
  fs::path folderHost = r.host.parent_path();
  bool atRoot = r.path.parts.size() == 1;
  if (attributeMask == kVolume) {
    std::string label = r.volume.medium ? r.volume.medium->spec.label : r.volume.drive->label;
    if (atRoot && !label.empty()) out.push_back({label, "", kVolume, 0, {}});
    return out;
  }
  std::error_code ec;
  if (!fs::is_directory(folderHost, ec)) return out;
  int allowed = attributeMask & (kHidden | kSystem | kDirectory);
  if (!atRoot && (attributeMask & kDirectory)) {
    struct stat folder {};
    const DateTime written = ::stat(folderHost.c_str(), &folder) == 0
                                 ? toDateTime(r.volume.keptTime(folder.st_mtim).tv_sec)
                                 : DateTime{};
    for (const char* dots : {".", ".."})
      if (matchWildcard(name, dots)) out.push_back({dots, "", kDirectory, 0, written});
  }
  for (const Child& c : listFolderKnown(r.volume, folderRel)) {
    int attributes = c.meta.attributes | (c.isDir ? kDirectory : 0);
    if ((attributes & (kHidden | kSystem | kDirectory)) & ~allowed) continue;
    if (!matchWildcard(name, c.name) && (c.meta.shortName.empty() || !matchWildcard(name, c.meta.shortName)))
      continue;
    DirEntry e{c.name, c.meta.shortName, attributes, 0, {}};
    struct stat info {};
    if (withSizes && ::stat((folderHost / c.name).c_str(), &info) == 0) {
      if (!c.isDir) e.size = static_cast<std::int64_t>(info.st_size);
      e.written = toDateTime(r.volume.keptTime(info.st_mtim).tv_sec);
    }
    out.push_back(std::move(e));
  }
  return out;
}
}  // namespace

std::vector<DirEntry> findFiles(std::string_view pattern, int attributeMask) {
  Lock lock(machineMutex());
  return listMatches(pattern, attributeMask, true);
}

std::vector<DirEntry> findNames(std::string_view pattern, int attributeMask) {
  Lock lock(machineMutex());
  return listMatches(pattern, attributeMask, false);
}

// ---- file operations -----------------------------------------------------

void mkDir(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = resolve(path);
  if (r.exists) raise(kPathFileAccess);
  requireWritable(r);
  if (freeClusters(r.volume) < 1) raise(kDiskFull);
  std::error_code ec;
  if (!fs::create_directory(r.host, ec)) raise(kPathFileAccess);
  noteFolders(r.volume, 1);
  registerNew(r, true);
}

void rmDir(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = resolve(path);
  if (!r.exists || !r.isDir) raise(kPathNotFound);
  if (r.rel.empty()) raise(kPathFileAccess);
  requireWritable(r.volume);
  std::error_code ec;
  if (!fs::is_empty(r.host, ec) || ec) raise(kPathFileAccess);
  if (!fs::remove(r.host, ec)) raise(kPathFileAccess);
  noteFolders(r.volume, -1);
  r.volume.meta->erase(r.rel);
  r.volume.meta->save();
}

void kill(std::string_view pattern) {
  Lock lock(machineMutex());
  Resolved r = resolve(pattern, true);
  if (r.path.parts.empty()) raise(kFileNotFound);
  std::string name = r.path.parts.back();
  std::string folderRel = parentRel(r.rel);
  fs::path folderHost = r.host.parent_path();
  std::vector<Child> victims;
  auto candidate = [&](const Child& c) {
    if (c.isDir || (c.meta.attributes & (kHidden | kSystem))) return;
    if (matchWildcard(name, c.name) || (!c.meta.shortName.empty() && matchWildcard(name, c.meta.shortName)))
      victims.push_back(c);
  };
  if (!hasWildcards(name)) {
    // One name: the entry it resolved to, without listing the folder.
    if (r.exists) {
      const EntryMeta* meta = r.volume.meta->find(r.rel);
      candidate(Child{r.longParts().back(), r.rel, r.isDir, meta ? *meta : EntryMeta{}});
    }
  } else {
    for (const Child& c : listFolder(r.volume, folderRel)) candidate(c);
  }
  if (victims.empty()) raise(kFileNotFound);
  requireWritable(r.volume);
  MetadataBatch batch;
  for (const Child& c : victims) {
    fs::path host = folderHost / c.name;
    if ((c.meta.attributes & kReadOnly) || hostIsOpen(host)) raise(kPathFileAccess);
    const std::int64_t before = hostClusters(r.volume, host);
    if (::unlink(host.c_str()) != 0) {
      noteClusters(r.volume, host, before, hostClusters(r.volume, host));
      raise(kPathFileAccess);
    }
    noteClusters(r.volume, host, before, 0);
    r.volume.meta->erase(c.rel);
  }
  r.volume.meta->save();
  batch.commit();
}

namespace detail {
HostFolder::~HostFolder() {
  if (fd_ >= 0) ::close(fd_);
}

int HostFolder::open(const std::string& path) {
  if (fd_ >= 0 && path == path_) return fd_;
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  path_ = fd_ >= 0 ? path : std::string();
  return fd_;
}

bool removeKnownFile(Volume& volume, const std::string& rel, HostFolder& folders) {
  const EntryMeta* meta = volume.meta->find(rel);
  if (!meta || meta->kind != EntryMeta::File) return false;
  const std::string host = volume.content.native() + "/" + rel;
  const std::size_t slash = host.rfind('/');
  const int folder = folders.open(host.substr(0, slash));
  // Relative to the open folder where there is one, else by the whole path.
  const int at = folder >= 0 ? folder : AT_FDCWD;
  const char* name = folder >= 0 ? host.c_str() + slash + 1 : host.c_str();
  struct stat info {};
  if (::fstatat(at, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode)) return false;
  requireWritable(volume);
  if (!state().openFiles.empty() && hostIsOpen(host)) raise(kPathFileAccess);
  if (::unlinkat(at, name, 0) != 0) raise(kPathFileAccess);
  noteClusters(volume, host, clustersOf(volume, static_cast<std::int64_t>(info.st_size)), 0);
  volume.meta->erase(rel);
  volume.meta->save();
  return true;
}
}  // namespace detail

void rename(std::string_view from, std::string_view to) {
  Lock lock(machineMutex());
  Resolved a = existing(from);
  Resolved b = resolve(to);
  if (a.rel.empty()) raise(kPathFileAccess);
  if (a.volume.content != b.volume.content) throw RuntimeError(74, "Can't rename with different drive");
  bool sameEntry = b.exists && b.host == a.host;
  if (b.exists && !sameEntry) raise(kFileAlreadyExists);
  if (a.isDir && (b.rel.rfind(a.rel + "/", 0) == 0)) raise(kPathFileAccess);
  requireWritable(b);
  if (hostIsOpen(a.host)) raise(kPathFileAccess);
  fs::path target = b.host.parent_path() / b.path.parts.back();
  std::string targetRel =
      parentRel(b.rel).empty() ? b.path.parts.back() : parentRel(b.rel) + "/" + b.path.parts.back();
  if (target == a.host) return;
  std::error_code ec;
  fs::rename(a.host, target, ec);
  if (ec) raise(kPathFileAccess);
  movedHostEntry(a.volume, a.host, target);
  a.volume.meta->move(a.rel, targetRel);
  // The new name gets its own alias; attributes, order and everything below stay.
  std::string folder = parentRel(targetRel);
  if (!a.volume.meta->inSync(folder)) listFolder(a.volume, folder);
  a.volume.meta->renewAlias(targetRel);
  a.volume.meta->save();
}

namespace {

// The target of a copy: no folder, no read-only or open file, a writable volume.
void requireCopyTarget(const Resolved& b) {
  if (b.exists && b.isDir) raise(kPathFileAccess);
  requireWritable(b);
  if (b.exists && (b.storedAttributes & kReadOnly)) raise(kPathFileAccess);
  if (b.exists && hostIsOpen(b.host)) raise(kPathFileAccess);
}

// Renames the host file `from` (of `fromVolume` when given, else of none)
// over the target `b`, which then has `attributes`; the clusters counted
// move with it and the old target's are free.
void renameOver(const fs::path& from, const Volume* fromVolume, const std::string& fromRel, Resolved& b,
                int attributes) {
  struct stat source {};
  if (::lstat(from.c_str(), &source) != 0 || !S_ISREG(source.st_mode)) raise(kPathFileAccess);
  const std::int64_t clusters = clustersOf(b.volume, source.st_size);
  const std::int64_t before = b.exists ? hostClusters(b.volume, b.host) : 0;
  if (!fromVolume && clusters > before + freeClusters(b.volume)) raise(kDiskFull);
  MetadataBatch batch;
  if (::rename(from.c_str(), b.host.c_str()) != 0) raise(kPathFileAccess);
  if (fromVolume) {
    noteClusters(b.volume, b.host, before, clusters);
    noteClusters(*fromVolume, from, clusters, 0);
    fromVolume->meta->erase(fromRel);
    fromVolume->meta->save();
  } else {
    noteClusters(b.volume, b.host, before, clusters);
  }
  if (!b.exists) registerNew(b);
  if (EntryMeta* m = b.volume.meta->find(b.rel)) {
    m->attributes = attributes;
    b.volume.meta->markChanged(b.rel);
    b.volume.meta->save();
  }
  batch.commit();
}

}  // namespace

namespace detail {

void adoptHostFile(const fs::path& host, std::string_view to, int attributes) {
  Lock lock(machineMutex());
  Resolved b = resolve(to);
  requireCopyTarget(b);
  renameOver(host, nullptr, "", b, attributes);
}

}  // namespace detail

bool fileMove(std::string_view from, std::string_view to) {
  Lock lock(machineMutex());
  Resolved a = existingFile(from);
  Resolved b = resolve(to);
  if ((b.exists && b.host == a.host) || a.volume.content != b.volume.content || a.volume.readOnly ||
      hostIsOpen(a.host)) {
    fileCopy(from, to);
    return false;
  }
  requireCopyTarget(b);
  renameOver(a.host, &a.volume, a.rel, b, a.storedAttributes | kArchive);
  return true;
}

void fileCopy(std::string_view from, std::string_view to) {
  Lock lock(machineMutex());
  Resolved a = existingFile(from);
  Resolved b = resolve(to);
  if (b.exists && b.host == a.host) return;
  requireCopyTarget(b);
  HostFd in(::open(a.host.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat source {};
  if (in.get() < 0 || ::fstat(in.get(), &source) != 0) raise(kPathFileAccess);
  int attributes = a.storedAttributes | kArchive;
  // What the target takes now (a file that exists, or nothing).
  const std::int64_t before = b.exists ? hostClusters(b.volume, b.host) : 0;
  // What fits: the clusters the old file had and the free ones.
  std::int64_t room = (before + freeClusters(b.volume)) * b.volume.clusterSize;
  std::int64_t size = static_cast<std::int64_t>(source.st_size);

  MetadataBatch batch;
  HostFd out(::open(b.host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (out.get() < 0) {
    noteClusters(b.volume, b.host, before, hostClusters(b.volume, b.host));
    raise(kPathFileAccess);
  }
  if (!b.exists) registerNew(b);
  std::int64_t copied = 0;
  try {
    copied = copyRange(in.get(), 0, out.get(), 0, std::min(size, room));
    if (size > room) raise(kDiskFull);
  } catch (...) {
    noteClusters(b.volume, b.host, before, hostClusters(b.volume, b.host));
    setArchive(b);
    throw;
  }
  noteClusters(b.volume, b.host, before, clustersOf(b.volume, copied));
  // The copy is written as the original was, to the nanosecond or as FAT keeps it.
  const struct timespec times[2] = {{0, UTIME_OMIT}, b.volume.keptTime(source.st_mtim)};
  ::futimens(out.get(), times);
  if (EntryMeta* m = b.volume.meta->find(b.rel)) {
    m->attributes = attributes;
    b.volume.meta->markChanged(b.rel);
    b.volume.meta->save();
  }
  batch.commit();
}

void fileCopyForReading(std::string_view from, std::string_view to) {
  Lock lock(machineMutex());
  Resolved a = existingFile(from);
  // A name the host holds but the layer does not show (a link out of the
  // machine) makes the link fail, and the copy then refuses it.
  Resolved b = resolveForNewName(to);
  // What a copy's file would get: 0666 less the process's umask.
  static const mode_t copyMode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
  }();
  struct stat source {};
  // Shared, the two have one write time: only where both drives keep times alike.
  const bool shareable = !b.exists && !b.volume.readOnly && a.volume.fatTimes == b.volume.fatTimes &&
                         ::lstat(a.host.c_str(), &source) == 0 && S_ISREG(source.st_mode) &&
                         (source.st_mode & 07777) == copyMode &&
                         clustersOf(b.volume, source.st_size) <= freeClusters(b.volume);
  if (!shareable || ::link(a.host.c_str(), b.host.c_str()) != 0) {
    fileCopy(from, to);
    return;
  }
  keepWriteTime(b, source.st_mtim);  // what the original holds on FAT anyway
  MetadataBatch batch;
  noteClusters(b.volume, b.host, 0, clustersOf(b.volume, source.st_size));
  registerNew(b);
  if (EntryMeta* m = b.volume.meta->find(b.rel)) {
    m->attributes = a.storedAttributes | kArchive;
    b.volume.meta->markChanged(b.rel);
    b.volume.meta->save();
  }
  batch.commit();
}

struct FileBatch::Impl {
  Lock lock{machineMutex()};
  QuietDrains quiet;
  MetadataBatch metadata;
};

FileBatch::FileBatch() : impl_(new Impl) {}

FileBatch::~FileBatch() { delete impl_; }

void FileBatch::commit() { impl_->metadata.commit(); }

std::string readFile(std::string_view path) {
  Lock lock(machineMutex());
  Resolved r = existing(path);
  if (r.isDir) raise(kPathFileAccess);
  std::ifstream in(r.host, std::ios::binary);
  if (!in) raise(kPathFileAccess);
  // Read in one go at the size the file has; whatever it grew by since
  // comes after.
  std::error_code ec;
  std::string bytes(static_cast<std::size_t>(fs::file_size(r.host, ec)), '\0');
  if (ec) bytes.clear();
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (in) bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return bytes;
}

void writeFile(std::string_view path, std::string_view bytes) {
  Lock lock(machineMutex());
  putFile(path, bytes, false);
}

void appendFile(std::string_view path, std::string_view bytes) {
  Lock lock(machineMutex());
  putFile(path, bytes, true);
}

// ---- File ----------------------------------------------------------------

struct File::Impl {
  std::string path;
  fs::path host;
  int fd = -1;
  Mode mode = Mode::Read;
  std::int64_t position = 0;
  std::int64_t size = 0;
  std::int64_t freeClusters = 0;  // of the volume when opened, less what this file took since
  char drive = 0;                 // the drive it was opened on
};

File::File(std::string_view path, Mode mode) {
  Lock lock(machineMutex());
  Resolved r = mode == Mode::Read ? existingFile(path) : writeTarget(path);
  if (mode == Mode::Read && r.isDir) raise(kPathFileAccess);
  int how = O_RDONLY;
  if (mode == Mode::Write) how = O_WRONLY | O_CREAT | O_TRUNC;
  if (mode == Mode::Append) how = O_WRONLY | O_CREAT | O_APPEND;
  if (mode == Mode::ReadWrite) how = r.exists ? O_RDWR : O_RDWR | O_CREAT | O_TRUNC;
  if (mode != Mode::Read && r.exists && hostIsOpen(r.host)) raise(kPathFileAccess);
  std::int64_t freeCount = mode == Mode::Read ? 0 : freeClusters(r.volume);
  std::int64_t oldSize = r.exists ? static_cast<std::int64_t>(fs::file_size(r.host)) : 0;
  if (mode == Mode::Write) freeCount += clustersOf(r.volume, oldSize);
  MetadataBatch batch;
  int f = -1;
  {
    TrackedFile tracked(r.volume, r.host);  // Write empties the file
    f = openHost(r.host, how);
  }
  if (f < 0) raise(kPathFileAccess);
  try {
    if (!r.exists) registerNew(r);
    if (mode != Mode::Read) setArchive(r);
    batch.commit();
  } catch (...) {
    ::close(f);
    throw;
  }
  impl_ = new Impl{fullPath(path),        r.host, f, mode, 0, mode == Mode::Write ? 0 : oldSize, freeCount,
                   r.volume.drive->letter};
  if (mode == Mode::Append) impl_->position = impl_->size;
  state().openFiles.insert(r.host);
}

File::File(File&& other) noexcept : impl_(other.impl_) { other.impl_ = nullptr; }

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    close();
    impl_ = other.impl_;
    other.impl_ = nullptr;
  }
  return *this;
}

File::~File() { close(); }

bool File::isOpen() const { return impl_ != nullptr; }

std::int64_t File::size() const {
  if (!impl_) raise(kBadFileNameOrNumber);
  return impl_->size;
}

std::int64_t File::position() const {
  if (!impl_) raise(kBadFileNameOrNumber);
  return impl_->position;
}

void File::seek(std::int64_t position) {
  if (!impl_) raise(kBadFileNameOrNumber);
  if (position < 0) raise(kInvalidCall);
  impl_->position = position;
}

std::string File::read(std::size_t count) {
  if (!impl_) raise(kBadFileNameOrNumber);
  if (impl_->mode == Mode::Write || impl_->mode == Mode::Append) raise(kBadFileMode);
  std::string out(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    const ssize_t n =
        ::pread(impl_->fd, out.data() + got, count - got, static_cast<off_t>(impl_->position + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  impl_->position += static_cast<std::int64_t>(got);
  return out;
}

void File::write(std::string_view bytes) { put(bytes.size(), putting(bytes)); }

void File::copyFrom(File& source, std::size_t count) {
  if (!source.impl_) raise(kBadFileNameOrNumber);
  if (source.impl_->mode == Mode::Write || source.impl_->mode == Mode::Append) raise(kBadFileMode);
  const int from = source.impl_->fd;
  const std::int64_t start = source.impl_->position;
  put(count, [from, start](int fd, std::int64_t at, std::size_t want) {
    if (copyRange(from, start, fd, at, static_cast<std::int64_t>(want)) != static_cast<std::int64_t>(want))
      raise(kDeviceIoError);
  });
  source.impl_->position = start + static_cast<std::int64_t>(count);
}

void File::put(std::size_t size, const std::function<void(int, std::int64_t, std::size_t)>& bytes) {
  if (!impl_) raise(kBadFileNameOrNumber);
  if (impl_->mode == Mode::Read) raise(kBadFileMode);
  Lock lock(machineMutex());
  // The file stays open on its drive: its volume as it is now (71 when the
  // medium went), without looking its path up again for every block.
  Drive* drive = findDrive(impl_->drive);
  if (!drive) raise(kPathNotFound);
  const Volume volume = volumeOf(*drive);
  if (volume.readOnly) raise(kPermissionDenied);
  std::int64_t before = clustersOf(volume, impl_->size);
  std::int64_t end = impl_->position + static_cast<std::int64_t>(size);
  std::int64_t newSize = std::max(impl_->size, end);
  // Room counted at the open may have been given back since (a file deleted
  // between a full disk and a Retry): look again before refusing the bytes.
  if (clustersOf(volume, newSize) - before > impl_->freeClusters) impl_->freeClusters = freeClusters(volume);
  try {
    writeWithin(volume, impl_->fd, impl_->position, impl_->size, size, impl_->freeClusters, bytes);
  } catch (const RuntimeError& e) {
    if (e.number() == kDiskFull) {
      std::int64_t room = (before + impl_->freeClusters) * volume.clusterSize;
      impl_->freeClusters = 0;
      impl_->position = std::max(impl_->position, room);
      impl_->size = std::max(impl_->size, room);
    }
    noteClusters(volume, impl_->host, before, hostClusters(volume, impl_->host));
    throw;
  }
  noteClusters(volume, impl_->host, before, clustersOf(volume, newSize));
  impl_->freeClusters -= clustersOf(volume, newSize) - before;
  impl_->position = end;
  impl_->size = newSize;
}

void File::close() {
  if (!impl_) return;
  ::close(impl_->fd);
  {
    Lock lock(machineMutex());
    if (machineOpen()) {
      auto& open = state().openFiles;
      auto it = open.find(impl_->host);
      if (it != open.end()) open.erase(it);
    }
  }
  delete impl_;
  impl_ = nullptr;
}

const std::string& File::path() const {
  static const std::string none;
  return impl_ ? impl_->path : none;
}

}  // namespace platform
