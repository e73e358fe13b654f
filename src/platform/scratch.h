#pragma once
// The layer's own scratch folders (an unpack's staging area): inside the
// machine folder, in its "scratch" folder, never in the host's temporary
// folder and never on a drive of the machine. Each is named after the
// process that made it, so that what a killed program left behind can be
// told from what a running one still uses.
#include <filesystem>

namespace platform {

class ScratchFolder {
 public:
  // Makes a fresh empty folder; raises 75 when it cannot.
  ScratchFolder();
  // Removes the folder and all it holds, whatever bytes its names are made of.
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Removes the scratch folders of `machineRoot` whose process no longer runs.
// Opening a machine does this.
void sweepStaleScratch(const std::filesystem::path& machineRoot);

}  // namespace platform
