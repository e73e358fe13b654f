#pragma once
// Files, folders and drives with the semantics of the Win32 file functions
// and the runtime's file statements. Paths are Windows paths; failures raise
// RuntimeError with the runtime's error numbers (53, 76, 58, 61, 70, 71, 75,
// 52, 57).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"
#include "platform/machine.h"

namespace platform {

// DOS attributes (VB vbNormal ... vbArchive).
enum Attribute : int {
  kNormal = 0,
  kReadOnly = 1,
  kHidden = 2,
  kSystem = 4,
  kVolume = 8,
  kDirectory = 16,
  kArchive = 32,
};

// ---- paths ---------------------------------------------------------------
// Absolute form of a path against the current drive and that drive's current
// folder; "." and ".." resolved (".." stops at the drive root); existing
// components keep the spelling given. Raises 52 for forbidden names.
std::string fullPath(std::string_view path);
// The 8.3 form of an existing path ("C:\PROGRA~1\KELVARAN\ZIP.EXE"); raises 53/76.
std::string shortPath(std::string_view path);
// The long form of an existing path, each component as spelled on disk.
std::string longPath(std::string_view path);
char currentDrive();                 // 'C'
void chDrive(char drive);            // raises 68 for a drive that does not exist
std::string curDir(char drive = 0);  // "C:\WINDOWS" (no trailing "\" but for a root)
void chDir(std::string_view path);   // changes that drive's current folder

// ---- questions -----------------------------------------------------------
bool fileExists(std::string_view path);    // a file (not a folder)
bool folderExists(std::string_view path);  // a folder (a drive root counts)
bool pathExists(std::string_view path);    // either; never raises
int getAttr(std::string_view path);        // raises 53
void setAttr(std::string_view path, int attributes);
std::int64_t fileLen(std::string_view path);                           // raises 53
DateTime fileDateTime(std::string_view path);                          // last write, local time
void setFileDateTime(std::string_view path, const DateTime& written);  // raises 53/70

// ---- listings (FindFirstFile / the runtime's Dir) ------------------------
struct DirEntry {
  std::string name;       // long name as spelled on disk
  std::string shortName;  // 8.3 alias ("" when the long name is already 8.3)
  int attributes = 0;
  std::int64_t size = 0;
  DateTime written;
};
// Entries matching a DOS wildcard pattern ("C:\WINDOWS\*.INI"); the pattern's
// last component may hold * and ?, matched case-insensitively against the long
// and the short name ("*.*" matches every name). `attributeMask` as for Dir:
// normal files always, hidden/system/directory only when asked; kVolume alone
// gives the volume label entry. "." and ".." appear in non-root folders when
// directories are asked for. Deterministic order: as the folder's entries were
// created (FAT order), never the host's readdir order. A missing folder gives
// an empty list (raises 71 without a medium).
std::vector<DirEntry> findFiles(std::string_view pattern, int attributeMask = kNormal);
// findFiles without the sizes and dates (left 0 and empty): the host is not
// asked about each entry.
std::vector<DirEntry> findNames(std::string_view pattern, int attributeMask = kNormal);

// ---- file operations -----------------------------------------------------
void mkDir(std::string_view path);                        // 75 when it exists, 76 when the parent is missing
void rmDir(std::string_view path);                        // 75 when not empty
void kill(std::string_view pattern);                      // deletes matching plain files; 53 when none
void rename(std::string_view from, std::string_view to);  // files and folders; 58 target exists
void fileCopy(std::string_view from, std::string_view to);  // copy onto itself is a no-op
// FileCopy of a file that is deleted right after it (a copy put back from a
// working folder): on the same drive the file is renamed over the target
// instead, its bytes not written again, and true is returned: `from` is
// gone. Elsewhere it is FileCopy, and false: `from` stays. What the target
// ends as (bytes, date, the source's attributes and the archive bit) and
// what raises (a folder, a read-only or open target: 75) are FileCopy's.
bool fileMove(std::string_view from, std::string_view to);
// FileCopy for a copy that is only read, renamed or deleted afterwards (the
// staged files of a save): a new target on the same host file system shares
// the original's storage (a hard link) instead of holding a second copy of
// its bytes, and the volume counts it as a copy all the same. Its bytes,
// date and host mode are the original's, as a copy's would be; where the
// host mode would differ, or the target exists, or it does not fit, it is
// FileCopy. Nothing may write to the target.
void fileCopyForReading(std::string_view from, std::string_view to);
// A run of many file operations of the program's own (the staged copies of a
// save and their deletion): while one is open the volumes' metadata files
// are written once, at its end, and changes made behind the layer's back are
// looked for every so many operations instead of at each. What the
// operations do and raise is the same. Batches nest; the outermost one writes.
class FileBatch {
 public:
  FileBatch();
  ~FileBatch();   // writes what changed; an error leaves it for the next write
  void commit();  // writes what changed so far; raises 57 when it cannot
  FileBatch(const FileBatch&) = delete;
  FileBatch& operator=(const FileBatch&) = delete;

 private:
  struct Impl;
  Impl* impl_;
};

std::string readFile(std::string_view path);                     // whole file, bytes
void writeFile(std::string_view path, std::string_view bytes);   // create/replace
void appendFile(std::string_view path, std::string_view bytes);  // create/append

// An open file (the runtime's Open ... For Binary/Input/Output/Append).
class File {
 public:
  enum class Mode { Read, Write, Append, ReadWrite };
  File() = default;
  File(std::string_view path, Mode mode);  // Write truncates; raises 53/76/70/75
  File(File&&) noexcept;
  File& operator=(File&&) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();
  bool isOpen() const;
  std::int64_t size() const;      // LOF
  std::int64_t position() const;  // 0-based
  void seek(std::int64_t position);
  std::string read(std::size_t count);  // fewer bytes at the end
  void write(std::string_view bytes);   // raises 61 after writing what fits
  // Writes `count` bytes read from `source` at its position (which moves on),
  // as write does, inside the host's kernel where it can: 57 when `source`
  // has fewer.
  void copyFrom(File& source, std::size_t count);
  void close();
  const std::string& path() const;

 private:
  // Writes `size` bytes that `bytes` puts at an offset of the host file.
  void put(std::size_t size,
           const std::function<void(int fd, std::int64_t offset, std::size_t count)>& bytes);
  struct Impl;
  Impl* impl_ = nullptr;
};

// ---- drives --------------------------------------------------------------
// "A:\<NUL>C:\<NUL>...<NUL>" as GetLogicalDriveStringsA gives it.
std::string logicalDriveStrings();
std::vector<char> driveLetters();
DriveType driveType(std::string_view root);  // "C:\" or "C:"; NoRootDir for none
struct DiskFreeSpace {
  std::uint32_t sectorsPerCluster = 0, bytesPerSector = 0;
  std::uint32_t freeClusters = 0, totalClusters = 0;
};
// GetDiskFreeSpaceA (fixed drives report at most 2 GB); false without medium.
bool diskFreeSpace(std::string_view root, DiskFreeSpace& out);
// Free and total bytes, exact (64 bit); raises 71 without a medium.
std::int64_t freeBytes(std::string_view root);
std::int64_t totalBytes(std::string_view root);
std::int64_t allocationUnit(std::string_view root);  // bytes per cluster
// GetVolumeInformationA: false without a medium.
bool volumeInformation(std::string_view root, std::string& label, std::uint32_t& serial);
bool setVolumeLabel(std::string_view root, std::string_view label);  // SetVolumeLabelA
bool isWriteProtected(std::string_view root);
bool mediumPresent(std::string_view root);

// ---- media of removable drives (the stand-in's own controls) -------------
struct MediumSpec {
  std::int64_t capacity = 1457664;  // 1.44 MB
  std::int64_t clusterSize = 512;
  std::string label;
  std::uint32_t serial = 0;
  bool writeProtected = false;
  bool formatted = true;
};
// Media live on the machine's shelf under a name; a removable drive holds at
// most one at a time.
std::vector<std::string> shelfMedia();
std::string createMedium(const MediumSpec& spec);  // returns its name
void insertMedium(char drive, std::string_view medium);
void ejectMedium(char drive);
std::string insertedMedium(char drive);  // "" when none
void setWriteProtected(std::string_view medium, bool on);
// Erases a medium (quick: files and label; full: also makes it formatted).
void formatMedium(char drive, bool quick, std::string_view label);

}  // namespace platform
