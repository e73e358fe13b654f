#include "platform/metadata.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/charcase.h"
#include "platform/error.h"
#include "platform/machine_ini.h"
#include "platform/shortname.h"

namespace platform::detail {

namespace {
constexpr const char* kHeader = "KELVARAN-METADATA 1";
// Appended lines allowed beyond the entry count before a whole write.
constexpr std::size_t kAppendSlack = 64;
// Changes kept at most inside a batch: more are appended at once.
constexpr std::size_t kPendingChanges = 4096;
constexpr std::uint32_t kEmptyCell = 0, kRemovedCell = 1, kFirstSlotCell = 2;

int batchDepth = 0;
std::set<VolumeMetadata*>& waiting() {
  static std::set<VolumeMetadata*> files;
  return files;
}

bool isBelow(std::string_view key, std::string_view rel) {
  return key.size() > rel.size() && key.compare(0, rel.size(), rel) == 0 && key[rel.size()] == '/';
}

// A path's folder and name ("" and the path for an entry of the root).
std::pair<std::string_view, std::string_view> split(std::string_view rel) {
  const std::size_t slash = rel.rfind('/');
  if (slash == std::string_view::npos) return {std::string_view(), rel};
  return {rel.substr(0, slash), rel.substr(slash + 1)};
}

std::string join(std::string_view folder, std::string_view name) {
  std::string rel;
  rel.reserve(folder.size() + 1 + name.size());
  if (!folder.empty()) rel.append(folder).push_back('/');
  rel.append(name);
  return rel;
}

// FNV-1a of the name in upper case: equal for names equal but for case.
std::uint64_t nameKey(std::string_view name) {
  std::uint64_t hash = 14695981039346656037ull;
  for (char c : name) {
    hash ^= static_cast<unsigned char>(upperChar(c));
    hash *= 1099511628211ull;
  }
  return hash;
}

std::size_t firstCell(std::uint64_t key, std::size_t cells) {
  return static_cast<std::size_t>((key ^ (key >> 29)) * 0x9E3779B97F4A7C15ull >> 7) & (cells - 1);
}

// Calls `visit` with each slot filed under `key` until it returns true.
template <typename Visit>
void probe(const std::vector<std::uint32_t>& cells, std::uint64_t key, Visit visit) {
  if (cells.empty()) return;
  for (std::size_t at = firstCell(key, cells.size());; at = (at + 1) & (cells.size() - 1)) {
    const std::uint32_t cell = cells[at];
    if (cell == kEmptyCell) return;
    if (cell != kRemovedCell && visit(cell - kFirstSlotCell)) return;
  }
}

void putLine(std::ostream& out, std::string_view folder, std::string_view name, const EntryMeta& meta) {
  out << meta.order << '\t' << meta.attributes << '\t' << meta.shortName << '\t';
  if (!folder.empty()) out << folder << '/';
  out << name << '\n';
}

}  // namespace

VolumeMetadata::VolumeMetadata(std::filesystem::path file) : file_(std::move(file)) {
  std::ifstream in(file_, std::ios::binary);
  if (!in) rewrite_ = true;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A last line without its end was cut short: it does not count.
  std::size_t end = text.rfind('\n');
  text.resize(end == std::string::npos ? 0 : end + 1);
  std::vector<std::string> clashing;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t lineEnd = text.find('\n', at);
    std::string_view line = std::string_view(text).substr(at, lineEnd - at);
    at = lineEnd + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line == kHeader || line[0] == ';') continue;
    if (line.size() > 2 && line[0] == '-' && line[1] == '\t') {
      eraseTree(line.substr(2));
      ++appendedLines_;
      continue;
    }
    std::size_t a = line.find('\t');
    std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
    std::size_t c = b == std::string::npos ? b : line.find('\t', b + 1);
    if (c == std::string::npos) continue;
    EntryMeta meta;
    try {
      meta.order = std::stoull(std::string(line.substr(0, a)));
      meta.attributes = std::stoi(std::string(line.substr(a + 1, b - a - 1)));
    } catch (const std::exception&) {
      continue;
    }
    meta.shortName = line.substr(b + 1, c - b - 1);
    const std::string_view rel = line.substr(c + 1);
    if (rel.empty() || split(rel).second.empty()) continue;
    nextOrder_ = std::max(nextOrder_, meta.order + 1);
    bool made = false;
    auto [folder, slot] = slotFor(rel, made);
    if (!made) {
      ++appendedLines_;
      unindex(*folder, slot);
    }
    folder->slots[slot].meta = std::move(meta);
    if (!index(*folder, slot)) clashing.emplace_back(rel);
  }
  // Two entries of a folder with one alias (a file written by an older
  // version): the one that came first keeps it, the other gets its own.
  for (const std::string& rel : clashing) {
    const EntryMeta* meta = find(rel);
    std::string holder;
    if (meta && findNoCase(std::string(split(rel).first), meta->shortName, holder) && holder != rel)
      renewAlias(rel);
  }
}

VolumeMetadata::~VolumeMetadata() {
  waiting().erase(this);
  closeFile();
}

void VolumeMetadata::closeFile() {
  if (appendFd_ >= 0) ::close(appendFd_);
  appendFd_ = -1;
}

VolumeMetadata::Folder* VolumeMetadata::folderAt(std::string_view key) {
  if (lastFolder_ != folders_.end() && lastFolder_->first == key) return &lastFolder_->second;
  auto it = folders_.find(key);
  if (it == folders_.end()) return nullptr;
  lastFolder_ = it;
  return &it->second;
}

VolumeMetadata::Folder& VolumeMetadata::makeFolder(std::string_view key) {
  if (Folder* folder = folderAt(key)) return *folder;
  lastFolder_ = folders_.emplace(std::string(key), Folder{}).first;
  return lastFolder_->second;
}

void VolumeMetadata::forgetFolders() { lastFolder_ = folders_.end(); }

long VolumeMetadata::findExact(const Folder& folder, std::string_view name) const {
  long found = -1;
  probe(folder.byName.cells, nameKey(name), [&](std::uint32_t slot) {
    if (folder.nameOf(folder.slots[slot]) != name) return false;
    found = slot;
    return true;
  });
  return found;
}

std::pair<VolumeMetadata::Folder*, std::uint32_t> VolumeMetadata::slotFor(std::string_view rel, bool& made) {
  const auto [folderKey, name] = split(rel);
  Folder& folder = makeFolder(folderKey);
  if (const long slot = findExact(folder, name); slot >= 0) {
    made = false;
    return {&folder, static_cast<std::uint32_t>(slot)};
  }
  std::uint32_t slot = 0;
  if (!folder.freeSlots.empty()) {
    slot = folder.freeSlots.back();
    folder.freeSlots.pop_back();
  } else {
    slot = static_cast<std::uint32_t>(folder.slots.size());
    folder.slots.emplace_back();
  }
  Slot& s = folder.slots[slot];
  s.nameAt = static_cast<std::uint32_t>(folder.names.size());
  s.nameSize = static_cast<std::uint16_t>(name.size());
  s.live = true;
  s.meta = EntryMeta{};
  folder.names.append(name);
  ++folder.live;
  ++entryCount_;
  made = true;
  return {&folder, slot};
}

namespace {
// Files `slot` under `key`, growing the cells (and dropping removed ones)
// when they are three quarters used; `keyOf` gives a filed slot's key again.
template <typename KeyOf>
void fileSlot(std::vector<std::uint32_t>& cells, std::size_t& used, std::uint64_t key, std::uint32_t slot,
              KeyOf keyOf) {
  if ((used + 1) * 4 > cells.size() * 3) {
    std::vector<std::uint32_t> old;
    old.swap(cells);
    std::size_t live = 0;
    for (std::uint32_t cell : old) live += cell >= kFirstSlotCell;
    std::size_t size = 8;
    while ((live + 1) * 2 > size) size *= 2;
    cells.assign(size, kEmptyCell);
    used = 0;
    for (std::uint32_t cell : old)
      if (cell >= kFirstSlotCell)
        fileSlot(cells, used, keyOf(cell - kFirstSlotCell), cell - kFirstSlotCell, keyOf);
  }
  std::size_t at = firstCell(key, cells.size());
  while (cells[at] >= kFirstSlotCell) at = (at + 1) & (cells.size() - 1);
  if (cells[at] == kEmptyCell) ++used;
  cells[at] = slot + kFirstSlotCell;
}

// Takes `slot` out of the cells filed under `key`; false when it is not there.
bool unfileSlot(std::vector<std::uint32_t>& cells, std::uint64_t key, std::uint32_t slot) {
  if (cells.empty()) return false;
  for (std::size_t at = firstCell(key, cells.size());; at = (at + 1) & (cells.size() - 1)) {
    if (cells[at] == kEmptyCell) return false;
    if (cells[at] == slot + kFirstSlotCell) {
      cells[at] = kRemovedCell;
      return true;
    }
  }
}
}  // namespace

bool VolumeMetadata::index(Folder& folder, std::uint32_t slot) {
  const Slot& s = folder.slots[slot];
  fileSlot(folder.byName.cells, folder.byName.used, nameKey(folder.nameOf(s)), slot,
           [&](std::uint32_t other) { return nameKey(folder.nameOf(folder.slots[other])); });
  if (const std::string& alias = s.meta.shortName; !alias.empty()) {
    const std::uint64_t key = nameKey(alias);
    long holder = -1;
    probe(folder.byAlias.cells, key, [&](std::uint32_t other) {
      if (!equalsNoCase(folder.slots[other].meta.shortName, alias)) return false;
      holder = other;
      return true;
    });
    // Another entry holds it: it keeps it, and this one is not filed under it.
    if (holder >= 0) return holder == static_cast<long>(slot);
    fileSlot(folder.byAlias.cells, folder.byAlias.used, key, slot,
             [&](std::uint32_t other) { return nameKey(folder.slots[other].meta.shortName); });
  }
  return true;
}

void VolumeMetadata::unindex(Folder& folder, std::uint32_t slot) {
  const Slot& s = folder.slots[slot];
  unfileSlot(folder.byName.cells, nameKey(folder.nameOf(s)), slot);
  if (!s.meta.shortName.empty()) unfileSlot(folder.byAlias.cells, nameKey(s.meta.shortName), slot);
  // A name left: lower numbers may be free again.
  folder.nextAliasNumber.clear();
}

void VolumeMetadata::removeSlot(Folder& folder, std::uint32_t slot) {
  unindex(folder, slot);
  Slot& s = folder.slots[slot];
  s.live = false;
  s.meta = EntryMeta{};
  folder.deadNameBytes += s.nameSize;
  folder.freeSlots.push_back(slot);
  --folder.live;
  --entryCount_;
  if (folder.live == 0) {
    // Nothing left: the slots and names go (the folder's own state stays).
    folder.slots.clear();
    folder.freeSlots.clear();
    folder.names.clear();
    folder.deadNameBytes = 0;
    folder.byName = {};
    folder.byAlias = {};
  } else if (folder.deadNameBytes > 4096 && folder.deadNameBytes * 2 > folder.names.size()) {
    std::string names;
    names.reserve(folder.names.size() - folder.deadNameBytes);
    for (Slot& other : folder.slots) {
      if (!other.live) continue;
      const std::uint32_t at = static_cast<std::uint32_t>(names.size());
      names.append(folder.nameOf(other));
      other.nameAt = at;
    }
    folder.names.swap(names);
    folder.deadNameBytes = 0;
  }
}

EntryMeta* VolumeMetadata::find(std::string_view rel) {
  const auto [folderKey, name] = split(rel);
  Folder* folder = folderAt(folderKey);
  if (!folder) return nullptr;
  const long slot = findExact(*folder, name);
  return slot < 0 ? nullptr : &folder->slots[slot].meta;
}

EntryMeta* VolumeMetadata::findNoCase(const std::string& folderKey, const std::string& name,
                                      std::string& rel) {
  Folder* folder = folderAt(folderKey);
  if (!folder) return nullptr;
  long best = -1;
  probe(folder->byName.cells, nameKey(name), [&](std::uint32_t slot) {
    const Slot& s = folder->slots[slot];
    if (equalsNoCase(folder->nameOf(s), name) && (best < 0 || s.meta.order < folder->slots[best].meta.order))
      best = slot;
    return false;
  });
  if (best < 0) {
    probe(folder->byAlias.cells, nameKey(name), [&](std::uint32_t slot) {
      if (!equalsNoCase(folder->slots[slot].meta.shortName, name)) return false;
      best = slot;
      return true;
    });
  }
  if (best < 0) return nullptr;
  Slot& found = folder->slots[best];
  rel = join(folderKey, folder->nameOf(found));
  return &found.meta;
}

bool VolumeMetadata::nameTaken(const std::string& folderKey, const std::string& upperName) const {
  const Folder* folder = const_cast<VolumeMetadata*>(this)->folderAt(folderKey);
  if (!folder) return false;
  const std::uint64_t key = nameKey(upperName);
  bool taken = false;
  probe(folder->byName.cells, key, [&](std::uint32_t slot) {
    return taken = equalsNoCase(folder->nameOf(folder->slots[slot]), upperName);
  });
  if (!taken)
    probe(folder->byAlias.cells, key, [&](std::uint32_t slot) {
      return taken = equalsNoCase(folder->slots[slot].meta.shortName, upperName);
    });
  return taken;
}

std::string VolumeMetadata::newAlias(const std::string& folderKey, const std::string& longName,
                                     const std::set<std::string>* alsoTaken) {
  Folder& folder = makeFolder(folderKey);
  return makeAlias(
      longName,
      [&](const std::string& s) { return nameTaken(folderKey, s) || (alsoTaken && alsoTaken->count(s)); },
      folder.nextAliasNumber);
}

bool VolumeMetadata::inSync(const std::string& folderKey) const {
  const Folder* folder = const_cast<VolumeMetadata*>(this)->folderAt(folderKey);
  return folder && folder->inSync;
}

void VolumeMetadata::setInSync(const std::string& folderKey, bool inSync) {
  if (inSync)
    makeFolder(folderKey).inSync = true;
  else if (Folder* folder = folderAt(folderKey))
    folder->inSync = false;
}

void VolumeMetadata::allOutOfSync() {
  for (auto& [key, folder] : folders_) folder.inSync = false;
}

void VolumeMetadata::outOfSyncFrom(const std::string& folderKey) {
  for (auto f = folders_.lower_bound(folderKey); f != folders_.end(); ++f) {
    if (f->first == folderKey || isBelow(f->first, folderKey) || folderKey.empty())
      f->second.inSync = false;
    else if (f->first.compare(0, folderKey.size(), folderKey) != 0)
      break;
  }
}

bool VolumeMetadata::eraseTree(std::string_view rel) {
  bool erased = false;
  const auto [folderKey, name] = split(rel);
  if (Folder* folder = folderAt(folderKey)) {
    if (const long slot = findExact(*folder, name); slot >= 0) {
      removeSlot(*folder, static_cast<std::uint32_t>(slot));
      erased = true;
    }
  }
  for (auto f = folders_.lower_bound(rel); f != folders_.end();) {
    if (f->first == rel || isBelow(f->first, rel)) {
      erased = erased || f->second.live > 0;
      entryCount_ -= f->second.live;
      forgetFolders();
      f = folders_.erase(f);
    } else if (f->first.compare(0, rel.size(), rel) == 0) {
      ++f;  // "rel-x" sorts between "rel" and "rel/..."
    } else {
      break;
    }
  }
  return erased;
}

EntryMeta& VolumeMetadata::add(const std::string& rel, int attributes, std::string shortName) {
  bool made = false;
  auto [folder, slot] = slotFor(rel, made);
  if (!made) unindex(*folder, slot);
  EntryMeta& meta = folder->slots[slot].meta;
  meta.order = nextOrder_++;
  meta.attributes = attributes;
  meta.shortName = std::move(shortName);
  meta.kind = EntryMeta::Unknown;
  index(*folder, slot);
  noteChange(false, rel);
  return folder->slots[slot].meta;
}

void VolumeMetadata::renewAlias(const std::string& rel) {
  const auto [folderKey, name] = split(rel);
  Folder* folder = folderAt(folderKey);
  const long slot = folder ? findExact(*folder, name) : -1;
  if (slot < 0) return;
  unindex(*folder, static_cast<std::uint32_t>(slot));  // its own names are not in the way
  std::string alias = newAlias(std::string(folderKey), std::string(name));
  folder->slots[slot].meta.shortName = std::move(alias);
  index(*folder, static_cast<std::uint32_t>(slot));
  noteChange(false, rel);
}

void VolumeMetadata::erase(const std::string& rel) {
  if (eraseTree(rel)) noteChange(true, rel);
}

void VolumeMetadata::move(const std::string& from, const std::string& to) {
  // The entry and the ones below it under their new paths, in path order.
  std::map<std::string, EntryMeta> moved;
  if (EntryMeta* meta = find(from)) moved[to] = *meta;
  for (auto f = folders_.lower_bound(from); f != folders_.end(); ++f) {
    if (f->first == from || isBelow(f->first, from)) {
      const std::string folderKey = to + f->first.substr(from.size());
      for (const Slot& s : f->second.slots)
        if (s.live) moved[join(folderKey, f->second.nameOf(s))] = s.meta;
    } else if (f->first.compare(0, from.size(), from) != 0) {
      break;
    }
  }
  eraseTree(from);
  noteChange(true, from);
  erase(to);
  for (auto& [key, meta] : moved) {
    bool made = false;
    auto [folder, slot] = slotFor(key, made);
    if (!made) unindex(*folder, slot);
    folder->slots[slot].meta = meta;
    index(*folder, slot);
    noteChange(false, key);
  }
}

std::vector<std::string> VolumeMetadata::children(const std::string& folderKey) const {
  std::vector<std::string> out;
  const Folder* folder = const_cast<VolumeMetadata*>(this)->folderAt(folderKey);
  if (!folder) return out;
  out.reserve(folder->live);
  for (const Slot& s : folder->slots)
    if (s.live) out.push_back(join(folderKey, folder->nameOf(s)));
  return out;
}

std::vector<std::pair<std::string, EntryMeta>> VolumeMetadata::childEntries(
    const std::string& folderKey) const {
  std::vector<std::pair<std::string, EntryMeta>> out;
  const Folder* folder = const_cast<VolumeMetadata*>(this)->folderAt(folderKey);
  if (!folder) return out;
  out.reserve(folder->live);
  for (const Slot& s : folder->slots)
    if (s.live) out.emplace_back(join(folderKey, folder->nameOf(s)), s.meta);
  return out;
}

void VolumeMetadata::clear() {
  forgetFolders();
  folders_.clear();
  entryCount_ = 0;
  changes_.clear();
  rewrite_ = true;
}

void VolumeMetadata::markChanged(const std::string& rel) { noteChange(false, rel); }

void VolumeMetadata::noteChange(bool removed, std::string_view rel) {
  if (rewrite_) return;  // the whole file is written anyway
  // An entry made and then changed at once is one line.
  if (!removed && !changes_.empty() && !changes_.back().removed && changes_.back().rel == rel) return;
  changes_.push_back({removed, std::string(rel)});
  // So many that the file will be written whole: no need to keep them.
  if (appendedLines_ + changes_.size() > entryCount_ + kAppendSlack) {
    rewrite_ = true;
    changes_.clear();
    return;
  }
  // A long batch appends what it has so far instead of keeping it all; what
  // cannot be appended now is written whole when the batch ends.
  if (batchDepth > 0 && changes_.size() >= kPendingChanges) {
    try {
      if (!appendChanges()) rewrite_ = true;
    } catch (const RuntimeError&) {
      rewrite_ = true;
    }
    changes_.clear();
  }
}

void VolumeMetadata::save() {
  if (!rewrite_ && changes_.empty()) return;
  if (batchDepth > 0) {
    waiting().insert(this);
    return;
  }
  write();
}

void VolumeMetadata::write() {
  if (!rewrite_ && changes_.empty()) return;
  if (rewrite_ || appendedLines_ + changes_.size() > entryCount_ + kAppendSlack || !appendChanges())
    writeWhole();
  changes_.clear();
}

// Appends the pending changes in one write; false when the file is not
// there to append to.
bool VolumeMetadata::appendChanges() {
  std::ostringstream out;
  std::size_t lines = 0;
  for (const Change& change : changes_) {
    if (change.removed) {
      out << "-\t" << change.rel << '\n';
    } else {
      const EntryMeta* meta = find(change.rel);
      if (!meta) continue;  // removed again since
      const auto [folder, name] = split(change.rel);
      putLine(out, folder, name, *meta);
    }
    ++lines;
  }
  if (!lines) return true;
  if (appendFd_ < 0) {
    appendFd_ = ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (appendFd_ < 0) {
      if (errno == ENOENT) return false;
      raise(kDeviceIoError);
    }
  }
  if (!writeAllToFd(appendFd_, out.str())) {
    closeFile();
    raise(kDeviceIoError);
  }
  appendedLines_ += lines;
  return true;
}

void VolumeMetadata::writeWhole() {
  closeFile();  // the file is replaced
  writeHostFileAtomically(file_, [&](std::ostream& out) {
    out << kHeader << "\n";
    for (const auto& [key, folder] : folders_)
      for (const Slot& s : folder.slots)
        if (s.live) putLine(out, key, folder.nameOf(s), s.meta);
  });
  rewrite_ = false;
  appendedLines_ = 0;
}

MetadataBatch::MetadataBatch() { ++batchDepth; }

MetadataBatch::~MetadataBatch() {
  try {
    commit();
  } catch (...) {
    // Still pending: the volume's next save writes it.
  }
  --batchDepth;
}

void MetadataBatch::commit() {
  if (batchDepth != 1) return;
  while (!waiting().empty()) {
    VolumeMetadata* meta = *waiting().begin();
    waiting().erase(waiting().begin());
    meta->write();
  }
}

}  // namespace platform::detail
