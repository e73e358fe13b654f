#include "platform/wildcard.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

struct WildCase {
  const char* pattern;
  const char* name;
  bool matches;
};

TEST(Wildcard, DosPatterns) {
  const WildCase cases[] = {
      {"*.*", "README", true},
      {"*.*", "a.b.c", true},
      {"*", "WIN.INI", true},
      {"*.INI", "win.ini", true},
      {"*.INI", "win.ini.bak", false},
      {"*.ini", "SYSTEM.INI", true},
      {"CONF?.INI", "Conf1.ini", true},
      {"CONF?.INI", "Conf12.ini", false},
      {"CONF?.INI", "CONF.INI", true},
      {"Conf1*.kv?", "Conf1.kv1", true},
      {"Conf1*.kv?", "Conf1.kvz", true},
      {"Conf1*.kv?", "Conf2.kv1", false},
      {"*.", "README", true},
      {"*.", "README.TXT", false},
      {"???", "AB", true},
      {"???", "ABCD", false},
      {"a*b", "aXXb", true},
      {"a*b", "aXXc", false},
      {"WIN.INI", "win.ini", true},
      {"*.kvz", "Conf1.kvz", true},
      {"Conf*.ini", "Config1.ini", true},
  };
  for (const WildCase& c : cases)
    EXPECT_EQ(matchWildcard(c.pattern, c.name), c.matches) << c.pattern << " vs " << c.name;
}

TEST(Wildcard, KnowsWhichTextsArePatterns) {
  EXPECT_TRUE(hasWildcards("*.ini"));
  EXPECT_TRUE(hasWildcards("a?"));
  EXPECT_FALSE(hasWildcards("WIN.INI"));
}

}  // namespace
}  // namespace platform
