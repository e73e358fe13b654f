#include "runtime_checks.h"

#include "support/source_files.h"

namespace platformtest {

std::string golden(const char* name) {
  return testsupport::sourceFile(std::string("src/platform/tests/golden/") + name);
}

}  // namespace platformtest
