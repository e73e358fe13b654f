// The watches (inotify) on the host folders whose entries the layer knows.
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/machine_state.h"

namespace fs = std::filesystem;

namespace platform::detail {

FolderWatches::FolderWatches() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatches::~FolderWatches() {
  if (fd_ >= 0) ::close(fd_);
}

bool FolderWatches::watch(const fs::path& host, const std::string& content, const std::string& rel) {
  if (fd_ < 0) return false;
  constexpr std::uint32_t kMask =
      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
  const int wd = ::inotify_add_watch(fd_, host.c_str(), kMask);
  if (wd < 0) return false;
  auto& names = folders_[wd];
  const std::pair<std::string, std::string> folder{content, rel};
  if (std::find(names.begin(), names.end(), folder) == names.end()) names.push_back(folder);
  return true;
}

namespace {
int quietDepth = 0;
// Each of the layer's operations leaves a few events; the kernel keeps
// thousands before it drops them.
constexpr unsigned kQuietDrainEvery = 128;
}  // namespace

QuietDrains::QuietDrains() { ++quietDepth; }

QuietDrains::~QuietDrains() {
  if (--quietDepth > 0 || !openState()) return;
  try {
    openState()->watches.drain(*openState());
  } catch (...) {
    // The next question looks again.
  }
}

void FolderWatches::drainDue(MachineState& s) {
  static unsigned skipped = 0;
  if (quietDepth > 0 && ++skipped % kQuietDrainEvery != 0) return;
  drain(s);
}

void FolderWatches::drain(MachineState& s) {
  if (fd_ < 0) return;
  alignas(inotify_event) char buffer[64 * 1024];
  while (true) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        for (auto& [content, meta] : s.metadata)
          if (meta) meta->allOutOfSync();
        continue;
      }
      auto it = folders_.find(event->wd);
      if (it == folders_.end()) continue;
      const bool gone = event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED);
      const std::string name = event->len ? std::string(event->name) : std::string();
      for (const auto& [content, rel] : it->second) {
        auto meta = s.metadata.find(content);
        if (meta == s.metadata.end() || !meta->second) continue;
        bool changed = gone;
        if (!name.empty()) {
          const bool known = meta->second->find(childRel(rel, name)) != nullptr;
          if (event->mask & (IN_CREATE | IN_MOVED_TO)) changed = changed || !known;
          if (event->mask & (IN_DELETE | IN_MOVED_FROM)) changed = changed || known;
        }
        // A folder moved or removed takes the folders below it along: what
        // their watches know is no longer what is under this name.
        if (gone)
          meta->second->outOfSyncFrom(rel);
        else if (changed)
          meta->second->setInSync(rel, false);
      }
      if (gone) {
        // A moved folder's watch would follow it: let it go.
        if (!(event->mask & IN_IGNORED)) ::inotify_rm_watch(fd_, event->wd);
        folders_.erase(it);
      }
    }
  }
}

}  // namespace platform::detail
