// What the files of a volume take, in whole clusters, kept as a running count.
#include <sys/stat.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/machine_state.h"

namespace fs = std::filesystem;

namespace platform::detail {

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

}  // namespace platform::detail
