#pragma once
// The open machine as the platform code sees it: drives, media, current
// folders, per-volume metadata, and the resolution of Windows paths to host
// entries. Internal to src/platform/.
#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/machine.h"
#include "platform/machine_ini.h"
#include "platform/metadata.h"
#include "platform/paths.h"

namespace platform::detail {

struct Drive {
  char letter = 0;
  DriveType type = DriveType::Fixed;
  std::filesystem::path folder;  // fixed, network, RAM disk: host content folder
  std::int64_t capacity = 0, clusterSize = 4096;
  std::string label, unc;  // unc: "\\SERVER\SHARE" of a network drive
  std::uint32_t serial = 0;
  bool writeProtected = false;
  std::string medium;  // removable and CD-ROM drives: the inserted medium
  bool usesMedia() const { return type == DriveType::Removable || type == DriveType::CdRom; }
};

struct Medium {
  std::string name;
  MediumSpec spec;
};

// The volume a drive shows right now: a drive's own folder or its medium.
struct Volume {
  Drive* drive = nullptr;
  Medium* medium = nullptr;
  std::filesystem::path content;
  std::int64_t capacity = 0, clusterSize = 512;
  bool readOnly = false;  // write-protected medium or drive, CD-ROM
  bool fatTimes = false;  // FAT: write times in two-second steps
  VolumeMetadata* meta = nullptr;
  // A write time as the volume keeps it: FAT has no odd seconds (a DOS time
  // holds seconds / 2) and nothing below the second; others keep it whole.
  struct timespec keptTime(struct timespec t) const {
    if (fatTimes) t = {t.tv_sec - (t.tv_sec & 1), 0};
    return t;
  }
};

// One entry of a host folder as the layer shows it.
struct Child {
  std::string name;  // host spelling
  std::string rel;   // below the volume root, "/"-separated
  bool isDir = false;
  EntryMeta meta;
};

struct Resolved {
  Volume volume;
  WindowsPath path;  // absolute, as given
  std::string rel;   // "" for the root
  std::filesystem::path host;
  bool exists = false, isDir = false;  // the root exists and is a folder
  // The last part does not exist for Windows, yet the host holds an entry
  // there that the layer does not show: a link out of the machine or one
  // leading nowhere. Nothing may be written through it.
  bool hiddenHostEntry = false;
  int storedAttributes = 0;  // read-only, hidden, system, archive
  int attributes() const;    // DOS attributes, kDirectory for folders
  // Each part as the host spells it (as given where it does not exist), and
  // its 8.3 alias (upper case where none is needed or it does not exist).
  std::vector<std::string> longParts() const;
  std::vector<std::string> shortParts() const;
};

// What a volume's files take, kept as a running count: the layer's own
// writes, copies and deletions adjust it; host files handed out through
// hostPath() are looked at again at each question (they may be changed
// behind the layer's back), and a volume whose folders were handed out, or
// that a host program wrote to in ways the layer cannot follow, is counted
// again once.
struct VolumeUsage {
  bool known = false;
  std::int64_t used = 0;                                  // clusters
  std::map<std::filesystem::path, std::int64_t> watched;  // host file -> clusters counted for it
  std::deque<std::filesystem::path> watchOrder;           // oldest first
};

// The host folders whose entries the layer knows, watched (inotify) for
// entries made, removed or renamed behind its back: a folder that had such
// a change is out of sync and listed again when next asked about a name it
// does not hold. A folder that cannot be watched is never in sync.
class FolderWatches {
 public:
  FolderWatches();
  ~FolderWatches();
  FolderWatches(const FolderWatches&) = delete;
  FolderWatches& operator=(const FolderWatches&) = delete;
  // Starts watching the host folder of a volume folder; false when it cannot.
  bool watch(const std::filesystem::path& host, const std::string& content, const std::string& rel);
  // Takes the changes seen so far and marks the folders they touch out of sync.
  void drain(struct MachineState& s);
  // drain(), but while a QuietDrains is held only every so many calls.
  void drainDue(struct MachineState& s);

 private:
  int fd_ = -1;
  std::map<int, std::vector<std::pair<std::string, std::string>>> folders_;  // watch -> (content, rel)
};

// While one is held (a run of many operations of the layer's own, such as
// the copies of a save), resolve() looks for changes made behind the layer's
// back only every so many calls instead of at each, also before it takes a
// name for new; a folder it lists is read from the host as ever, and the
// last one let go looks once. Nests.
class QuietDrains {
 public:
  QuietDrains();
  ~QuietDrains();
  QuietDrains(const QuietDrains&) = delete;
  QuietDrains& operator=(const QuietDrains&) = delete;
};

struct MachineState {
  std::filesystem::path root, canonicalRoot;
  KeyFile description;
  std::map<char, Drive> drives;
  std::map<std::string, Medium> media;
  char currentDrive = 'C';
  std::map<char, std::string> currentFolders;  // "\WINDOWS"
  std::map<std::string, std::unique_ptr<VolumeMetadata>> metadata;
  std::multiset<std::filesystem::path> openFiles;
  std::map<std::string, VolumeUsage> usage;  // by volume content folder
  FolderWatches watches;
};

// The open machine, nullptr when none (state() raises then).
MachineState* openState();
// Whether a host path is `root` or lies below it.
bool isInside(const std::filesystem::path& path, const std::filesystem::path& root);
// Whether a host link leads to a place inside the machine root.
bool linkInsideRoot(const std::filesystem::path& host);
// The key of an entry of a volume folder ("" for the root) from its name.
std::string childRel(const std::string& folder, const std::string& name);

std::recursive_mutex& machineMutex();
using Lock = std::lock_guard<std::recursive_mutex>;
MachineState& state();  // raises 76 when no machine is open

std::filesystem::path mediumFolder(const std::string& name);
std::filesystem::path mediumFile(const std::string& name);
void saveDescription();
void saveMedium(const Medium& medium);
VolumeMetadata& metadataFor(const std::filesystem::path& content);

Drive* findDrive(char letter);
// The volume of a drive; raises 71 for a drive without a (formatted) medium.
Volume volumeOf(Drive& drive);
Volume volumeOfRoot(std::string_view root);  // "C:\", "C:", "\\SRV\SHARE"; 68 for none

// The entries of a volume folder in creation order, with metadata made for
// entries seen for the first time; forbidden names and links out of the
// machine are left out.
std::vector<Child> listFolder(Volume& volume, const std::string& relFolder);
// listFolder, but a folder the layer keeps in sync (it has seen every change
// made behind its back) is listed from what the layer knows, without reading
// the host folder: for listings asked for in great numbers (Dir, FindFirstFile).
std::vector<Child> listFolderKnown(Volume& volume, const std::string& relFolder);
// Gives an entry the layer has just made on the host its metadata (a new
// alias, attributes), without listing its folder when that is in sync.
void registerEntry(Volume& volume, const std::string& rel, bool isDir);
// A host folder held open for calls relative to it, in a run of calls on the
// files of one folder after another: the folder's path is walked once, not
// at each call. Another folder asked for is opened in its place.
class HostFolder {
 public:
  HostFolder() = default;
  ~HostFolder();
  HostFolder(const HostFolder&) = delete;
  HostFolder& operator=(const HostFolder&) = delete;
  // The descriptor of the host folder `path` (not through a link), -1 when
  // it cannot be opened.
  int open(const std::string& path);

 private:
  std::string path_;
  int fd_ = -1;
};

// Deletes the known plain file `rel` of a volume as Kill of its exact name
// does, whatever its attributes, without resolving its path again (the files
// a host program packed and moved), through `folders` for its folder. False,
// with nothing done, when `rel` is not a known plain file of the volume;
// raises as Kill does.
bool removeKnownFile(Volume& volume, const std::string& rel, HostFolder& folders);
// Resolves a Windows path. `allowWildcards` lets the last part hold * and ?.
Resolved resolve(std::string_view windowsPath, bool allowWildcards = false);
// resolve(), but a last part that does not exist is not looked for on the
// host: hiddenHostEntry stays false. Only for a caller that makes the entry
// with a call that fails on any name already there (link).
Resolved resolveForNewName(std::string_view windowsPath);

// Puts a host file of the layer's own that no drive holds (an unpack's
// scratch file, on the machine's host file system) in place of `to` by a
// rename, with `attributes`: as FileCopy's target, a folder, a read-only or
// an open file and a read-only volume raise, and a file that does not fit
// raises 61 with nothing moved; 75 when the host cannot rename it there.
void adoptHostFile(const std::filesystem::path& host, std::string_view to, int attributes);

// Free-space bookkeeping of a volume in whole clusters.
std::int64_t clustersOf(const Volume& volume, std::int64_t bytes);
std::int64_t usedClusters(const Volume& volume);
// The clusters a host entry takes: a file its size, a folder one, else none.
std::int64_t hostClusters(const Volume& volume, const std::filesystem::path& host);
// The layer changed a host file of the volume from `before` to `after` clusters.
void noteClusters(const Volume& volume, const std::filesystem::path& host, std::int64_t before,
                  std::int64_t after);
void noteClusters(const Volume& volume, const std::string& host, std::int64_t before, std::int64_t after);
// Folders were added (+) or removed (-) by the layer.
void noteFolders(const Volume& volume, std::int64_t count);
// The volume changed in ways the layer cannot follow: count it again at the next question.
void recountVolume(const Volume& volume);
// The layer renamed a host entry (a file or a whole folder) of the volume.
void movedHostEntry(const Volume& volume, const std::filesystem::path& from, const std::filesystem::path& to);
// Host file of the volume that someone outside the layer may change.
void watchHostFile(const Volume& volume, const std::filesystem::path& host);
std::int64_t totalClusters(const Volume& volume);
std::int64_t freeClusters(const Volume& volume);
void requireWritable(const Volume& volume);  // raises 70
// Gives an existing host file the write time `written` as its volume keeps
// it, when that differs (FAT: no odd seconds).
void keepWriteTime(const Resolved& file, const struct timespec& written);
// The same for the target of a write, also refused (70) where the host holds
// an entry the layer does not show.
void requireWritable(const Resolved& target);

}  // namespace platform::detail
