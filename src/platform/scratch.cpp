#include "platform/scratch.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <string>
#include <system_error>
#include <vector>

#include "platform/error.h"
#include "platform/machine.h"

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr const char* kScratchFolder = "scratch";

// "<pid>-<n>": the process that made the folder.
bool ownerOf(const std::string& name, pid_t& pid) {
  const auto dash = name.find('-');
  if (dash == std::string::npos || dash == 0) return false;
  long value = 0;
  const auto [end, error] = std::from_chars(name.data(), name.data() + dash, value);
  if (error != std::errc() || end != name.data() + dash || value <= 0) return false;
  pid = static_cast<pid_t>(value);
  return true;
}

bool running(pid_t pid) { return kill(pid, 0) == 0 || errno == EPERM; }

// The scratch folder itself goes when the last of its folders has gone.
void removeIfEmpty(const fs::path& folder) {
  std::error_code ec;
  fs::remove(folder, ec);
}

}  // namespace

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  const fs::path parent = machineRoot() / kScratchFolder;
  std::error_code ec;
  // Another process may remove the empty parent between the two steps: once more then.
  for (int attempt = 0; attempt < 3; ++attempt) {
    path_ = parent / (std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(parent, ec);
    if (fs::create_directory(path_, ec)) return;
  }
  raise(kPathFileAccess);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);  // host paths are byte strings: any name goes
  removeIfEmpty(path_.parent_path());
}

void sweepStaleScratch(const fs::path& machineRoot) {
  const fs::path parent = machineRoot / kScratchFolder;
  std::error_code ec;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(parent, ec), end; !ec && it != end; it.increment(ec)) {
    pid_t pid = 0;
    if (!ownerOf(it->path().filename().string(), pid) || !running(pid)) stale.push_back(it->path());
  }
  for (const fs::path& folder : stale) fs::remove_all(folder, ec);
  removeIfEmpty(parent);
}

}  // namespace platform
