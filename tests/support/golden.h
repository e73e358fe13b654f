#pragma once
// Golden files: a test's output compared with a file of the source tree, byte
// for byte. A difference fails with the lines that differ, CR, TAB and the
// bytes outside printable ASCII written as escapes, so that a changed line
// ending or a stray blank can be seen.
//
//   EXPECT_TRUE(testsupport::matchesGolden(written, "src/save/tests/golden/full.ini"));
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace testsupport {

::testing::AssertionResult matchesGolden(std::string_view actual, std::string_view goldenFile);

// The lines of `expected` and `actual` that differ, as a line diff: "  " for
// a line both have, "- " for one only `expected` has, "+ " for one only
// `actual` has; runs of common lines away from a change are left out.
std::string lineDiff(std::string_view expected, std::string_view actual);

}  // namespace testsupport
