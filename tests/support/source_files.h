#pragma once
// Files of the source tree (golden files, fixtures, resources) for tests.
#include <string>
#include <string_view>

namespace testsupport {

// The bytes of a file named relative to the source tree's root
// ("src/save/tests/golden/smartsv_new.ini"); "" when it cannot be read.
std::string sourceFile(std::string_view relativePath);

}  // namespace testsupport
