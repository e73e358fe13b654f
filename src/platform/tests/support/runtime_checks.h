#pragma once
// Helpers of the runtime and profile-file tests (errorOf is testsupport's).
#include <string>

namespace platformtest {

// The bytes of a golden file of src/platform/tests/golden/.
std::string golden(const char* name);

}  // namespace platformtest
