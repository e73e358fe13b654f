#include "support/source_files.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string sourceFile(std::string_view relativePath) {
  std::ifstream in(std::filesystem::path(KELVARAN_SOURCE_DIR) / relativePath, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace testsupport
