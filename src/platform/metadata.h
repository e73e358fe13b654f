#pragma once
// What a FAT volume keeps that the host's file system does not: each entry's
// 8.3 alias, its DOS attributes and its place in the folder (creation order).
// One text file per volume, beside the volume's host folder ("drives/C.meta"
// for "drives/C/"), so it travels with a copy of the machine root:
//
//   KELVARAN-METADATA 1
//   <order> TAB <attributes> TAB <alias or empty> TAB <host path below the volume, "/"-separated>
//
// Entries are keyed by their exact host spelling.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace platform::detail {

struct EntryMeta {
  std::uint64_t order = 0;
  int attributes = 0;     // read-only, hidden, system, archive
  std::string shortName;  // "" when the long name is already 8.3
};

class VolumeMetadata {
 public:
  explicit VolumeMetadata(std::filesystem::path file);
  const std::filesystem::path& file() const { return file_; }

  EntryMeta* find(const std::string& rel);
  EntryMeta& add(const std::string& rel, int attributes, std::string shortName);
  // Removes an entry and everything below it.
  void erase(const std::string& rel);
  // Moves an entry and everything below it to a new key.
  void move(const std::string& from, const std::string& to);
  // Keys of the direct children of a folder ("" for the volume root).
  std::vector<std::string> children(const std::string& folder) const;
  void clear();
  void markDirty() { dirty_ = true; }
  void save();  // when anything changed

 private:
  std::filesystem::path file_;
  std::map<std::string, EntryMeta> entries_;
  std::uint64_t nextOrder_ = 1;
  bool dirty_ = false;
};

}  // namespace platform::detail
