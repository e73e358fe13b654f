#include <gtest/gtest.h>

#include "platform/ini.h"

namespace {

using platform::IniName;
namespace ini = platform::ini;

// ---- reading ----------------------------------------------------------------

constexpr std::string_view kSample =
    "; settings of the tool\r\n"
    "[Settings]\r\n"
    "Config1=Before the update\r\n"
    "  LsDate1 =  9/12/2026  \r\n"
    "Quoted=\"  kept blanks  \"\r\n"
    "Single='x'\r\n"
    "Unmatched=\"x'\r\n"
    "Inner=a \"b\" c\r\n"
    "Empty=\r\n"
    "Path=C:\\Program Files\\Kelvaran\\x=y\r\n"
    "Semi=a;b\r\n"
    ";Commented=yes\r\n"
    "   ;Indented=yes\r\n"
    "NoEqualsSign\r\n"
    "config1=second spelling loses\r\n"
    "Tab\t=\tvalue\t\r\n"
    "[ SystemPathes ]\r\n"
    "SaveFolder=D:\\SAVE\\\r\n"
    "[settings]\r\n"
    "Config2=duplicate section loses\r\n";

TEST(IniRead, ValuesOfASample) {
  struct Case {
    const char *section, *key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"Settings", "Config1", "Before the update"},
      {"SETTINGS", "CONFIG1", "Before the update"},              // names ignore case
      {"Settings", "LsDate1", "9/12/2026"},                      // blanks around key and value dropped
      {"Settings", "Quoted", "  kept blanks  "},                 // one pair of quotes removed
      {"Settings", "Single", "x"},                               // single quotes too
      {"Settings", "Unmatched", "\"x'"},                         // quotes must match
      {"Settings", "Inner", "a \"b\" c"},                        // inner quotes kept
      {"Settings", "Empty", ""},                                 // empty value
      {"Settings", "Path", "C:\\Program Files\\Kelvaran\\x=y"},  // split at the first "="
      {"Settings", "Semi", "a;b"},                               // ";" inside a line is text
      {"Settings", "Tab", "value"},                              // tabs count as blanks
      {"Settings", ";Commented", std::nullopt},                  // a comment line is not a key
      {"Settings", ";Indented", std::nullopt},
      {"Settings", "NoEqualsSign", std::nullopt},  // a line without "=" is never read
      {"Settings", "Config2", std::nullopt},       // the first of duplicate sections wins
      {"Settings", "Missing", std::nullopt},
      {"SystemPathes", "SaveFolder", "D:\\SAVE\\"},  // blanks inside the brackets dropped
      {"Missing", "Config1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ini::lookup(kSample, c.section, c.key), c.expected) << c.key;
    // A section read at once finds what a lookup of each key does.
    EXPECT_EQ(ini::SectionValues(kSample, c.section).value(c.key), c.expected) << c.key;
  }
}

TEST(IniRead, LineEndsCrLfLfAndCr) {
  for (const char* text :
       {"[a]\r\nk=1\r\nj=2\r\n", "[a]\nk=1\nj=2\n", "[a]\rk=1\rj=2\r", "[a]\nk=1\r\nj=2"}) {
    EXPECT_EQ(ini::lookup(text, "a", "k"), "1");
    EXPECT_EQ(ini::lookup(text, "a", "j"), "2");
  }
}

TEST(IniRead, KeysBeforeTheFirstSectionBelongToNone) {
  EXPECT_EQ(ini::lookup("k=1\r\n[a]\r\n", "", "k"), std::nullopt);
  EXPECT_EQ(ini::lookup("k=1\r\n[a]\r\n", "a", "k"), std::nullopt);
}

TEST(IniRead, SectionHeadersAndCtrlZ) {
  struct Case {
    const char* what;
    std::string text;
    const char *section, *key;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"the name ends at the last ]", "[a]b]\r\nk=1\r\n", "a]b", "k", "1"},
      {"text after the last ] is not part of it", "[a]b]c\r\nk=1\r\n", "a]b", "k", "1"},
      {"the name is not cut at the first ]", "[a]b]\r\nk=1\r\n", "a", "k", std::nullopt},
      {"a [ without ] is no section", "[a]\r\n[b\r\nk=1\r\n", "a", "k", "1"},
      {"so it finds nothing", "[a]\r\n[b\r\nk=1\r\n", "b", "k", std::nullopt},
      {"Ctrl-Z is white space", "\x1a[ a\x1a]\r\n\x1a k\x1a=\x1a v \x1a\r\n\x1a", "a", "k", "v"},
      {"also in a name asked for", "[a]\r\nk=1\r\n", "a\x1a", "\x1ak", "1"},
      {"inside a value it stays", "[a]\r\nk=x\x1ay\r\n", "a", "k", "x\x1ay"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini::lookup(c.text, c.section, c.key), c.expected) << c.what;
    EXPECT_EQ(ini::SectionValues(c.text, c.section).value(c.key), c.expected) << c.what;
  }
  EXPECT_EQ(ini::sectionNames("[a]b]\r\n[c\r\n[d]\r\n\x1a"), std::string("a]b\0d\0", 6));
}

TEST(IniRead, SectionAndKeyNameLists) {
  EXPECT_EQ(ini::sectionNames(kSample), std::string("Settings\0SystemPathes\0", 22));
  EXPECT_EQ(ini::keyNames("[a]\r\nX=1\r\n;c=2\r\nY=2\r\nx=3\r\n", "A"), std::string("X\0Y\0", 4));
  EXPECT_EQ(ini::keyNames(kSample, "none"), std::nullopt);
}

// ---- editing ----------------------------------------------------------------

TEST(IniEdit, WritesChangeOnlyWhatTheyMust) {
  const std::optional<std::string_view> null;
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    IniName key, value;
    std::string after;
  };
  const Case cases[] = {
      {"replace keeps the spelling and the line end", "[S]\nCONFIG1 = old\n; c\nk2=x\n", "s", "config1",
       "new", "[S]\nCONFIG1 =new\n; c\nk2=x\n"},
      {"replace writes the value verbatim", "[S]\r\nk=1\r\n", "S", "k", "  \"quoted\" ",
       "[S]\r\nk=  \"quoted\" \r\n"},
      {"replace the first of duplicate keys", "[S]\r\nk=1\r\nk=2\r\n", "S", "k", "3",
       "[S]\r\nk=3\r\nk=2\r\n"},
      {"replace in the first of duplicate sections", "[S]\r\nk=1\r\n[S]\r\nk=2\r\n", "S", "k", "3",
       "[S]\r\nk=3\r\n[S]\r\nk=2\r\n"},
      {"empty value", "[S]\r\nk=1\r\n", "S", "k", "", "[S]\r\nk=\r\n"},
      {"new key after the section's last line, before blank lines", "[S]\r\na=1\r\n\r\n[T]\r\n", "S", "b",
       "2", "[S]\r\na=1\r\nb=2\r\n\r\n[T]\r\n"},
      {"new key in an empty section", "[S]\r\n[T]\r\n", "S", "b", "2", "[S]\r\nb=2\r\n[T]\r\n"},
      {"new key after a last line without line end", "[S]\na=1", "S", "b", "2", "[S]\na=1\r\nb=2\r\n"},
      {"new section at the end, after a blank line", "[S]\r\na=1\r\n", "New", "k", "v",
       "[S]\r\na=1\r\n\r\n[New]\r\nk=v\r\n"},
      {"new section after a last line without line end", "[S]\na=1", "New", "k", "v",
       "[S]\na=1\r\n\r\n[New]\r\nk=v\r\n"},
      {"new section into an empty file", "", "New", "k", "v", "[New]\r\nk=v\r\n"},
      {"null value deletes the key, all spellings", "[S]\r\nk=1\r\nx=2\r\nK=3\r\n[T]\r\nk=4\r\n", "S", "k",
       null, "[S]\r\nx=2\r\n[T]\r\nk=4\r\n"},
      {"null value of a missing key changes nothing", "[S]\nx=2", "S", "k", null, "[S]\nx=2"},
      {"null key deletes the section", "[S]\r\nk=1\r\n\r\n[T]\r\nx=2\r\n[s]\r\nk=5\r\n", "S", null, null,
       "[T]\r\nx=2\r\n"},
      {"windows-1252 bytes stay as they are", "[S]\r\nk=1\r\n", "S", "k", "M\xFCller \x80",
       "[S]\r\nk=M\xFCller \x80\r\n"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(ini::writable(c.section, c.key, c.value)) << c.name;
    EXPECT_EQ(ini::edit(c.before, c.section, c.key, c.value), c.after) << c.name;
  }
}

TEST(IniEdit, RefusesNamesAndValuesThatWouldCorruptTheFile) {
  struct Case {
    IniName section, key, value;
    bool writable;
  };
  const Case cases[] = {
      {"S", "k", "v", true},
      {"S", "k", "a=b;c[d]", true},
      {"S", "k", "v\r\n[x]", false},
      {"S", "k", "v\nw", false},
      {"S", "k", std::string_view("v\0w", 3), false},
      {"S", "k\r", "v", false},
      {"S", "a=b", "v", false},
      {"S", ";k", "v", false},
      {"S", "[k", "v", false},
      {"S", "  ", "v", false},
      {"S]x", "k", "v", false},
      {"S\n", "k", "v", false},
      {"S", std::nullopt, std::nullopt, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini::writable(c.section, c.key, c.value), c.writable)
        << c.section.value_or("-") << "/" << c.key.value_or("-") << "/" << c.value.value_or("-");
}

}  // namespace
