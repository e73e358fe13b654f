#pragma once
// Helpers of the runtime and profile-file tests.
#include <functional>
#include <string>

namespace platformtest {

// The runtime error number `call` raises, 0 when it raises none.
int errorOf(const std::function<void()>& call);

// The bytes of a golden file of src/platform/tests/golden/.
std::string golden(const char* name);

}  // namespace platformtest
