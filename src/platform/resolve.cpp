// Windows paths resolved to the host entries of the machine's volumes:
// folder listings and the metadata of entries seen for the first time.
#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "platform/error.h"
#include "platform/machine_state.h"
#include "platform/shortname.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace platform::detail {

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

}  // namespace platform::detail
