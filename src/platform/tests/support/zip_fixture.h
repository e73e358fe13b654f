#pragma once
// Hand-made zip archives for tests: stored (uncompressed) members with any
// name and any host mode, including the names no honest zip writes
// ("../x", "/etc/x", symlinks).
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testzip {

struct Entry {
  std::string name;
  std::string data;
  std::uint32_t unixMode = 0100644;  // 0120777 makes a symlink whose target is `data`
  int dosAttributes = 0;
  // The writer's system: 3 Unix; 0 DOS or Windows, whose zip stores names in
  // the DOS code page and no Unix mode.
  int hostSystem = 3;
};

// Writes the archive to a host path.
void write(const std::filesystem::path& archive, const std::vector<Entry>& entries);

}  // namespace testzip
