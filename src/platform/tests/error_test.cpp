#include "platform/error.h"

#include <gtest/gtest.h>

namespace {

TEST(RuntimeError, CarriesNumberAndText) {
  struct Case {
    int number;
    const char* text;
  };
  const Case cases[] = {
      {53, "File not found"}, {76, "Path not found"}, {61, "Disk full"}, {71, "Disk not ready"}};
  for (const auto& c : cases) {
    try {
      platform::raise(c.number);
      FAIL();
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), c.number);
      EXPECT_EQ(e.description(), c.text);
    }
  }
}

}  // namespace
