// Windows-1252 text and UTF-8, both ways.
#include "platform/ansi_text.h"

#include <gtest/gtest.h>

namespace {

TEST(AnsiText, ConvertsEachWayAndRefusesWhatTheCodePageLacks) {
  struct Case {
    const char* ansi;
    const char* utf8;
  };
  const Case both[] = {
      {"plain", "plain"},
      {"Caf\xE9", "Caf\xC3\xA9"},
      {"Stra\xDF"
       "e \xFC\xFF",
       "Stra\xC3\x9F"
       "e \xC3\xBC\xC3\xBF"},
      {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},  // euro sign, capital Y with diaeresis
      {"\x81\x9D", "\xC2\x81\xC2\x9D"},        // unassigned: their C1 controls
  };
  for (const Case& c : both) {
    EXPECT_EQ(platform::utf8FromAnsi(c.ansi), c.utf8) << c.ansi;
    EXPECT_EQ(platform::ansiFromUtf8(c.utf8), c.ansi) << c.utf8;
  }
  for (const char* notAnsi : {"\xE6\x97\xA5",      // a character the code page lacks
                              "\xC2\x80",          // U+0080: Windows-1252 has the euro sign there
                              "Caf\xE9",           // not UTF-8
                              "\xC3", "\xC0\xAF",  // truncated, overlong
                              "\xED\xA0\x80"})     // a surrogate
    EXPECT_FALSE(platform::ansiFromUtf8(notAnsi).has_value()) << notAnsi;
  EXPECT_TRUE(platform::hasHighBytes("Caf\xE9"));
  EXPECT_FALSE(platform::hasHighBytes("Cafe"));
}

}  // namespace
