#include "runtime_checks.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"

namespace platformtest {

int errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const platform::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

std::string golden(const char* name) {
  std::ifstream in(std::filesystem::path(KELVARAN_SOURCE_DIR) / "src/platform/tests/golden" / name,
                   std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace platformtest
