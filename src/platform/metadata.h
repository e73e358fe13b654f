#pragma once
// What a FAT volume keeps that the host's file system does not: each entry's
// 8.3 alias, its DOS attributes and its place in the folder (creation order).
// One text file per volume, beside the volume's host folder ("drives/C.meta"
// for "drives/C/"), so it travels with a copy of the machine root:
//
//   KELVARAN-METADATA 1
//   <order> TAB <attributes> TAB <alias or empty> TAB <host path below the volume, "/"-separated>
//
// Entries are kept per folder, by their exact host spelling. A change is
// appended to the file as soon as it is saved, so the file is right after
// every step even if the program dies: a later line for a path replaces an
// earlier one, and a line "-" TAB <host path> removes that entry and
// everything below it. Once the appended lines outnumber the entries, the
// file is written whole again (through a temporary file and a rename). The
// file stays open for appending between writes: it is the layer's own.
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

struct EntryMeta {
  std::uint64_t order = 0;
  std::string shortName;  // "" when the long name is already 8.3
  int attributes = 0;     // read-only, hidden, system, archive
  // What the host entry is, as last seen (not stored: a loaded entry is
  // looked at again before it is trusted); a link is never trusted.
  enum Kind : std::uint8_t { Unknown, File, Folder };
  Kind kind = Unknown;
};

class VolumeMetadata {
 public:
  explicit VolumeMetadata(std::filesystem::path file);
  ~VolumeMetadata();
  VolumeMetadata(const VolumeMetadata&) = delete;
  VolumeMetadata& operator=(const VolumeMetadata&) = delete;
  const std::filesystem::path& file() const { return file_; }
  // Lets go of the file's append handle (taken again at the next append):
  // a medium out of its drive holds no host file open.
  void closeFile();

  // An entry by its exact path; the pointers this class hands out stay
  // valid until the next entry is added to or removed from that folder.
  EntryMeta* find(std::string_view rel);
  // The entry of a folder whose long name equals `name` but for case (the
  // earliest made when there are several), else whose alias does; nullptr
  // for none. The key found goes to `rel`.
  EntryMeta* findNoCase(const std::string& folder, const std::string& name, std::string& rel);
  // Whether a name (upper case) is a long name or an alias in the folder.
  bool nameTaken(const std::string& folder, const std::string& upperName) const;
  // The alias a new entry of the folder called `longName` gets ("" for an 8.3
  // name), besides the folder's names not one of `alsoTaken` (upper case).
  std::string newAlias(const std::string& folder, const std::string& longName,
                       const std::set<std::string>* alsoTaken = nullptr);
  // Whether the folder's entries are known to be the host folder's (the
  // layer sees every change made behind its back and clears this then).
  bool inSync(const std::string& folder) const;
  void setInSync(const std::string& folder, bool inSync);
  // Forgets that for every folder.
  void allOutOfSync();
  // Forgets that for a folder and every folder below it.
  void outOfSyncFrom(const std::string& folder);
  EntryMeta& add(const std::string& rel, int attributes, std::string shortName);
  // Gives an entry the alias its (new) name gets in its folder.
  void renewAlias(const std::string& rel);
  // Removes an entry and everything below it.
  void erase(const std::string& rel);
  // Moves an entry and everything below it to a new key.
  void move(const std::string& from, const std::string& to);
  // Keys of the direct children of a folder ("" for the volume root).
  std::vector<std::string> children(const std::string& folder) const;
  // The direct children of a folder with their entries, from the folder's
  // index (without looking through the entries below it).
  std::vector<std::pair<std::string, EntryMeta>> childEntries(const std::string& folder) const;
  void clear();
  // The entry found under `rel` was changed in place.
  void markChanged(const std::string& rel);
  // Writes what changed since the last save; inside a MetadataBatch the
  // write waits for the batch's end. Raises 57 when the file cannot be written.
  void save();

 private:
  friend class MetadataBatch;
  struct Change {
    bool removed = false;  // "-" line; else the entry as it is when saved
    std::string rel;
  };
  // One entry of a folder: what is kept of it, and where its name is in the
  // folder's name bytes.
  struct Slot {
    EntryMeta meta;
    std::uint32_t nameAt = 0;
    std::uint16_t nameSize = 0;
    bool live = false;
  };
  // A folder's slots by a hash of a name in upper case: open addressing, each
  // cell 0 (empty), 1 (removed) or a slot number + 2. A hit is checked
  // against the slot it leads to, so no second copy of a name is kept.
  struct NameIndex {
    std::vector<std::uint32_t> cells;  // a power of two of them, or none
    std::size_t used = 0;              // cells not empty
  };
  struct Folder {
    std::vector<Slot> slots;
    std::vector<std::uint32_t> freeSlots;
    std::string names;  // the live slots' names and the bytes of ones removed
    std::size_t deadNameBytes = 0;
    std::size_t live = 0;
    NameIndex byName;                            // long names
    NameIndex byAlias;                           // aliases, one entry each
    std::map<std::string, int> nextAliasNumber;  // see makeAlias
    bool inSync = false;
    std::string_view nameOf(const Slot& slot) const {
      return std::string_view(names).substr(slot.nameAt, slot.nameSize);
    }
  };
  using Folders = std::map<std::string, Folder, std::less<>>;

  Folder* folderAt(std::string_view key);
  Folder& makeFolder(std::string_view key);
  // The live slot called exactly `name`, else -1.
  long findExact(const Folder& folder, std::string_view name) const;
  // Makes or finds the slot of `rel`; true with it when it was made.
  std::pair<Folder*, std::uint32_t> slotFor(std::string_view rel, bool& made);
  // Files a slot under its names; false when another entry of the folder
  // holds its alias (the slot is then not filed under it).
  bool index(Folder& folder, std::uint32_t slot);
  void unindex(Folder& folder, std::uint32_t slot);
  void removeSlot(Folder& folder, std::uint32_t slot);
  void forgetFolders();
  void noteChange(bool removed, std::string_view rel);
  void write();
  bool appendChanges();
  void writeWhole();
  // Erases `rel` and everything below it; true when anything went.
  bool eraseTree(std::string_view rel);

  std::filesystem::path file_;
  Folders folders_;  // by folder path ("" for the root)
  // The folder asked for last: runs of operations stay in one folder.
  Folders::iterator lastFolder_ = folders_.end();
  std::size_t entryCount_ = 0;
  std::uint64_t nextOrder_ = 1;
  std::vector<Change> changes_;
  bool rewrite_ = false;           // the file must be written whole
  std::size_t appendedLines_ = 0;  // lines after the last whole write
  int appendFd_ = -1;              // the file as last written, open for appending
};

// One write of each changed metadata file for a run of operations that
// would otherwise write it after every step. Hold the machine lock while a
// batch is open. Batches nest; the outermost one writes.
class MetadataBatch {
 public:
  MetadataBatch();
  // Writes what changed; errors are dropped here (what was not written stays
  // pending for the volume's next save), so call commit() on the way out of
  // a successful operation.
  ~MetadataBatch();
  // Writes what changed so far; raises 57 when a file cannot be written.
  void commit();
  MetadataBatch(const MetadataBatch&) = delete;
  MetadataBatch& operator=(const MetadataBatch&) = delete;
};

}  // namespace platform::detail
