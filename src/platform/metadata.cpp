#include "platform/metadata.h"

#include <fcntl.h>
#include <unistd.h>

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

int batchDepth = 0;
std::set<VolumeMetadata*>& waiting() {
  static std::set<VolumeMetadata*> files;
  return files;
}

bool isBelow(const std::string& key, const std::string& rel) {
  return key.size() > rel.size() && key.compare(0, rel.size(), rel) == 0 && key[rel.size()] == '/';
}

std::string folderOf(const std::string& rel) {
  const std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? std::string() : rel.substr(0, slash);
}

std::string nameOf(const std::string& rel) {
  const std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? rel : rel.substr(slash + 1);
}

std::string_view nameView(const std::string& rel) {
  const std::size_t slash = rel.rfind('/');
  return slash == std::string::npos ? std::string_view(rel) : std::string_view(rel).substr(slash + 1);
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

template <typename Index, typename Matches>
auto findIn(Index& index, std::string_view name, Matches matches) {
  for (auto [it, end] = index.equal_range(nameKey(name)); it != end; ++it)
    if (matches(it->second, name)) return it;
  return index.end();
}

bool isLongName(std::map<std::string, EntryMeta>::iterator entry, std::string_view name) {
  return equalsNoCase(nameView(entry->first), name);
}

bool isAlias(std::map<std::string, EntryMeta>::iterator entry, std::string_view name) {
  return equalsNoCase(entry->second.shortName, name);
}

void putLine(std::ostream& out, const std::string& rel, const EntryMeta& meta) {
  out << meta.order << '\t' << meta.attributes << '\t' << meta.shortName << '\t' << rel << '\n';
}

}  // namespace

VolumeMetadata::VolumeMetadata(std::filesystem::path file) : file_(std::move(file)) {
  std::ifstream in(file_, std::ios::binary);
  if (!in) rewrite_ = true;
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A last line without its end was cut short: it does not count.
  std::size_t end = text.rfind('\n');
  text.resize(end == std::string::npos ? 0 : end + 1);
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
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
      meta.order = std::stoull(line.substr(0, a));
      meta.attributes = std::stoi(line.substr(a + 1, b - a - 1));
    } catch (const std::exception&) {
      continue;
    }
    meta.shortName = line.substr(b + 1, c - b - 1);
    std::string rel = line.substr(c + 1);
    if (rel.empty()) continue;
    nextOrder_ = std::max(nextOrder_, meta.order + 1);
    auto [it, fresh] = entries_.insert_or_assign(rel, meta);
    if (fresh) {
      index(it);
    } else {
      ++appendedLines_;
      unindex(it);
      index(it);
    }
  }
}

VolumeMetadata::~VolumeMetadata() {
  waiting().erase(this);
  if (appendFd_ >= 0) ::close(appendFd_);
}

EntryMeta* VolumeMetadata::find(const std::string& rel) {
  auto it = entries_.find(rel);
  return it == entries_.end() ? nullptr : &it->second;
}

EntryMeta* VolumeMetadata::findNoCase(const std::string& folder, const std::string& name, std::string& rel) {
  auto f = folders_.find(folder);
  if (f == folders_.end()) return nullptr;
  Entries::iterator best = entries_.end();
  for (auto [it, end] = f->second.byName.equal_range(nameKey(name)); it != end; ++it)
    if (isLongName(it->second, name) && (best == entries_.end() || it->second->second.order < best->second.order))
      best = it->second;
  if (best == entries_.end()) {
    auto a = findIn(f->second.byAlias, name, isAlias);
    if (a == f->second.byAlias.end()) return nullptr;
    best = a->second;
  }
  rel = best->first;
  return &best->second;
}

bool VolumeMetadata::nameTaken(const std::string& folder, const std::string& upperName) const {
  auto f = folders_.find(folder);
  return f != folders_.end() && (findIn(f->second.byName, upperName, isLongName) != f->second.byName.end() ||
                                 findIn(f->second.byAlias, upperName, isAlias) != f->second.byAlias.end());
}

std::string VolumeMetadata::newAlias(const std::string& folder, const std::string& longName,
                                     const std::set<std::string>* alsoTaken) {
  FolderNames& names = folders_[folder];
  return makeAlias(
      longName,
      [&](const std::string& s) {
        return findIn(names.byName, s, isLongName) != names.byName.end() ||
               findIn(names.byAlias, s, isAlias) != names.byAlias.end() || (alsoTaken && alsoTaken->count(s));
      },
      names.nextAliasNumber);
}

bool VolumeMetadata::inSync(const std::string& folder) const {
  auto f = folders_.find(folder);
  return f != folders_.end() && f->second.inSync;
}

void VolumeMetadata::setInSync(const std::string& folder, bool inSync) {
  if (inSync)
    folders_[folder].inSync = true;
  else if (auto f = folders_.find(folder); f != folders_.end())
    f->second.inSync = false;
}

void VolumeMetadata::allOutOfSync() {
  for (auto& [key, names] : folders_) names.inSync = false;
}

void VolumeMetadata::outOfSyncFrom(const std::string& folder) {
  for (auto f = folders_.lower_bound(folder); f != folders_.end(); ++f) {
    if (f->first == folder || isBelow(f->first, folder) || folder.empty())
      f->second.inSync = false;
    else if (f->first.compare(0, folder.size(), folder) != 0)
      break;
  }
}

void VolumeMetadata::index(Entries::iterator it) {
  FolderNames& names = folders_[folderOf(it->first)];
  names.byName.emplace(nameKey(nameView(it->first)), it);
  if (const std::string& alias = it->second.shortName; !alias.empty()) {
    if (auto a = findIn(names.byAlias, alias, isAlias); a != names.byAlias.end()) names.byAlias.erase(a);
    names.byAlias.emplace(nameKey(alias), it);
  }
}

void VolumeMetadata::unindex(Entries::iterator it) {
  auto f = folders_.find(folderOf(it->first));
  if (f == folders_.end()) return;
  FolderNames& names = f->second;
  const auto same = [&](Entries::iterator entry, std::string_view) { return entry == it; };
  if (auto n = findIn(names.byName, nameView(it->first), same); n != names.byName.end()) names.byName.erase(n);
  if (auto a = findIn(names.byAlias, it->second.shortName, same); a != names.byAlias.end()) names.byAlias.erase(a);
  // A name left: lower numbers may be free again.
  names.nextAliasNumber.clear();
}

bool VolumeMetadata::eraseTree(const std::string& rel) {
  bool erased = false;
  for (auto it = entries_.lower_bound(rel); it != entries_.end();) {
    if (it->first == rel || isBelow(it->first, rel)) {
      unindex(it);
      it = entries_.erase(it);
      erased = true;
    } else if (it->first.compare(0, rel.size(), rel) == 0) {
      ++it;  // "rel-x" sorts between "rel" and "rel/..."
    } else {
      break;
    }
  }
  for (auto f = folders_.lower_bound(rel); f != folders_.end();) {
    if (f->first == rel || isBelow(f->first, rel))
      f = folders_.erase(f);
    else if (f->first.compare(0, rel.size(), rel) == 0)
      ++f;
    else
      break;
  }
  return erased;
}

EntryMeta& VolumeMetadata::add(const std::string& rel, int attributes, std::string shortName) {
  auto it = entries_.find(rel);
  if (it != entries_.end())
    unindex(it);
  else
    it = entries_.emplace(rel, EntryMeta{}).first;
  EntryMeta& meta = it->second;
  meta.order = nextOrder_++;
  meta.attributes = attributes;
  meta.shortName = std::move(shortName);
  meta.kind = EntryMeta::Unknown;
  index(it);
  noteChange(false, rel);
  return meta;
}

void VolumeMetadata::renewAlias(const std::string& rel) {
  auto it = entries_.find(rel);
  if (it == entries_.end()) return;
  unindex(it);  // its own names are not in the way
  it->second.shortName = newAlias(folderOf(rel), nameOf(rel));
  index(it);
  noteChange(false, rel);
}

void VolumeMetadata::erase(const std::string& rel) {
  if (eraseTree(rel)) noteChange(true, rel);
}

void VolumeMetadata::move(const std::string& from, const std::string& to) {
  std::map<std::string, EntryMeta> moved;
  for (auto it = entries_.lower_bound(from); it != entries_.end();) {
    if (it->first == from || isBelow(it->first, from)) {
      moved[to + it->first.substr(from.size())] = it->second;
      ++it;
    } else if (it->first.compare(0, from.size(), from) == 0) {
      ++it;
    } else {
      break;
    }
  }
  eraseTree(from);
  noteChange(true, from);
  erase(to);
  for (auto& [key, meta] : moved) {
    auto it = entries_.emplace(key, meta).first;
    index(it);
    noteChange(false, key);
  }
}

std::vector<std::string> VolumeMetadata::children(const std::string& folder) const {
  std::vector<std::string> out;
  std::string prefix = folder.empty() ? "" : folder + "/";
  for (auto it = entries_.lower_bound(prefix); it != entries_.end(); ++it) {
    if (it->first.compare(0, prefix.size(), prefix) != 0) break;
    if (it->first.find('/', prefix.size()) == std::string::npos) out.push_back(it->first);
  }
  return out;
}

std::vector<std::pair<std::string, EntryMeta>> VolumeMetadata::childEntries(const std::string& folder) const {
  std::vector<std::pair<std::string, EntryMeta>> out;
  const auto f = folders_.find(folder);
  if (f == folders_.end()) return out;
  out.reserve(f->second.byName.size());
  for (const auto& [upper, entry] : f->second.byName) out.emplace_back(entry->first, entry->second);
  return out;
}

void VolumeMetadata::clear() {
  entries_.clear();
  folders_.clear();
  changes_.clear();
  rewrite_ = true;
}

void VolumeMetadata::markChanged(const std::string& rel) { noteChange(false, rel); }

void VolumeMetadata::noteChange(bool removed, const std::string& rel) {
  if (rewrite_) return;  // the whole file is written anyway
  changes_.push_back({removed, rel});
  // So many that the file will be written whole: no need to keep them.
  if (appendedLines_ + changes_.size() > entries_.size() + kAppendSlack) {
    rewrite_ = true;
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
  if (rewrite_ || appendedLines_ + changes_.size() > entries_.size() + kAppendSlack || !appendChanges())
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
      auto it = entries_.find(change.rel);
      if (it == entries_.end()) continue;  // removed again since
      putLine(out, it->first, it->second);
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
    ::close(appendFd_);
    appendFd_ = -1;
    raise(kDeviceIoError);
  }
  appendedLines_ += lines;
  return true;
}

void VolumeMetadata::writeWhole() {
  if (appendFd_ >= 0) ::close(appendFd_);  // the file is replaced
  appendFd_ = -1;
  writeHostFileAtomically(file_, [&](std::ostream& out) {
    out << kHeader << "\n";
    for (const auto& [rel, meta] : entries_) putLine(out, rel, meta);
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
