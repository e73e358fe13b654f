#include "platform/metadata.h"

#include <fstream>
#include <sstream>

#include "platform/machine_ini.h"

namespace platform::detail {

namespace {
constexpr const char* kHeader = "KELVARAN-METADATA 1";

bool isBelow(const std::string& key, const std::string& rel) {
  return key.size() > rel.size() && key.compare(0, rel.size(), rel) == 0 && key[rel.size()] == '/';
}
}  // namespace

VolumeMetadata::VolumeMetadata(std::filesystem::path file) : file_(std::move(file)) {
  std::ifstream in(file_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line == kHeader || line[0] == ';') continue;
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
    entries_[rel] = meta;
  }
}

EntryMeta* VolumeMetadata::find(const std::string& rel) {
  auto it = entries_.find(rel);
  return it == entries_.end() ? nullptr : &it->second;
}

EntryMeta& VolumeMetadata::add(const std::string& rel, int attributes, std::string shortName) {
  dirty_ = true;
  EntryMeta& meta = entries_[rel];
  meta.order = nextOrder_++;
  meta.attributes = attributes;
  meta.shortName = std::move(shortName);
  return meta;
}

void VolumeMetadata::erase(const std::string& rel) {
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first == rel || isBelow(it->first, rel)) {
      it = entries_.erase(it);
      dirty_ = true;
    } else {
      ++it;
    }
  }
}

void VolumeMetadata::move(const std::string& from, const std::string& to) {
  std::map<std::string, EntryMeta> moved;
  for (auto it = entries_.begin(); it != entries_.end();) {
    if (it->first == from || isBelow(it->first, from)) {
      moved[to + it->first.substr(from.size())] = it->second;
      it = entries_.erase(it);
    } else {
      ++it;
    }
  }
  erase(to);
  for (auto& [key, meta] : moved) entries_[key] = meta;
  dirty_ = true;
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

void VolumeMetadata::clear() {
  entries_.clear();
  dirty_ = true;
}

void VolumeMetadata::save() {
  if (!dirty_) return;
  std::ostringstream out;
  out << kHeader << "\n";
  for (const auto& [rel, meta] : entries_)
    out << meta.order << '\t' << meta.attributes << '\t' << meta.shortName << '\t' << rel << '\n';
  writeHostFileAtomically(file_, out.str());
  dirty_ = false;
}

}  // namespace platform::detail
