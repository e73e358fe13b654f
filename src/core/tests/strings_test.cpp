// Pure text and path functions: tables of cases.
#include <gtest/gtest.h>

#include "core/disk_blocks.h"
#include "core/error_messages.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "platform/error.h"

namespace {

TEST(Strings, GetFileName) {
  struct Case {
    const char* path;
    const char* name;
  };
  for (const Case& c : {Case{"C:\\a\\b.txt", "b.txt"}, Case{"A:b.txt", "b.txt"}, Case{"C:\\a\\", ""},
                        Case{"plain.txt", "plain.txt"}, Case{"C:", ""}, Case{"", ""}})
    EXPECT_EQ(core::GetFileName(c.path), c.name) << c.path;
}

TEST(Strings, TextBefore) {
  EXPECT_EQ(core::TextBefore("abc", "x"), "abc");
  EXPECT_EQ(core::TextBefore("Program Files\\Tools", "\\"), "Program Files");
  EXPECT_EQ(core::TextBefore("\\lead", "\\"), "");
  EXPECT_EQ(core::TextBefore("abc", ""), "");
}

TEST(Strings, StripQuotesDropsFirstAndLastAndRefusesShortTexts) {
  EXPECT_EQ(core::StripQuotes("\"C:\\a b\""), "C:\\a b");
  EXPECT_EQ(core::StripQuotes("ab"), "");
  for (const char* shortText : {"", "x"}) {
    try {
      core::StripQuotes(shortText);
      ADD_FAILURE() << "no error for '" << shortText << "'";
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), 5);
    }
  }
}

TEST(Strings, InStrBack) {
  struct Case {
    int start;
    const char* text;
    const char* find;
    int position;
  };
  for (const Case& c : {
           Case{0, "C:\\a\\b\\c", "\\", 7},  // start 0 finds the last one
           Case{1, "C:\\a\\b\\c", "\\", 7},  // so does 1
           Case{3, "C:\\a\\b\\c", "\\", 5},  // from position 6 backwards
           Case{5, "C:\\a\\b\\c", "\\", 3},  // from position 4 backwards
           Case{99, "\\abc", "\\", 1},       // beyond the length: position 1 only
           Case{99, "a\\bc", "\\", 0},
           Case{0, "abcabc", "bc", 5},
           Case{0, "abc", "", 0},
           Case{0, "", "a", 0},
           Case{0, "ab", "abc", 0},
       })
    EXPECT_EQ(core::InStrBack(c.start, c.text, c.find), c.position)
        << c.start << " " << c.text << " " << c.find;
}

TEST(Strings, ShortenPath) {
  struct Case {
    const char* path;
    const char* shown;
  };
  for (const Case& c : {
           Case{"", ""},
           Case{"C:\\Program Files\\Kelvaran\\", "C:\\Program Files\\Kelvaran\\"},
           // 49 characters stay as they are.
           Case{"C:\\Program Files\\Tools\\Backup\\Archive\\Configs\\ab\\",
                "C:\\Program Files\\Tools\\Backup\\Archive\\Configs\\ab\\"},
           // Cut at the fourth "\".
           Case{"C:\\Program Files\\Tools\\Backup\\Archive\\Configurations\\Old\\",
                "C:\\Program Files\\Tools\\Backup\\...Old\\"},
           // The fourth does not fit, the third does.
           Case{"C:\\Program Files\\A very long folder name\\Sub\\Configurations of 2026\\",
                "C:\\Program Files\\...Configurations of 2026\\"},
           // Only the drive head fits, and even that is longer than the maximum.
           Case{"C:\\A folder name that is quite long\\And a last part much longer than the rest\\",
                "C:\\...And a last part much longer than the rest\\"},
           Case{"C:\\x\\A last part that alone is far longer than forty-nine chars.txt",
                "C:\\...A last part that alone is far longer than forty-nine chars.txt"},
       })
    EXPECT_EQ(core::ShortenPath(c.path, 49), c.shown) << c.path;
}

TEST(Strings, ForbiddenCharactersMakeAPathMissing) {
  for (const char* bad : {"C:\\a*", "C:\\a?b", "C:\\<x>", "C:\\a|b", "C:\\\"q\"", "C:\\a\tb"})
    EXPECT_TRUE(core::hasForbiddenCharacters(bad)) << bad;
  EXPECT_FALSE(core::hasForbiddenCharacters("C:\\Program Files\\a,b;c.txt"));
}

TEST(ErrorLog, LineGluesTextDateAndContext) {
  EXPECT_EQ(core::errorLogLine(53, "12-09-2026", "GetShortName"),
            platform::errorText(53) + "12-09-2026GetShortName");
  EXPECT_EQ(core::errorLogLine(61, "01-02-2027", " Save"), platform::errorText(61) + "01-02-2027 Save");
}

TEST(ErrorTexts, FileErrorsHaveTheirOwnMessageOthersNone) {
  struct Case {
    int error;
    const char* text;
  };
  for (const Case& c :
       {Case{52, "Filename or number wrong"}, Case{53, "File not found"}, Case{61, "Disk full"},
        Case{70, "Access denied"}, Case{75, "Error while accessing file/directory"}, Case{56, ""},
        Case{76, ""}, Case{5, ""}, Case{0, ""}})
    EXPECT_EQ(core::FileErrorMessage(c.error), c.text) << c.error;
  // The disk move's box puts the number after the text, with its sign blank.
  EXPECT_EQ(core::MoveErrorText(61), "Disk full  61 Kopiere Datei");
  EXPECT_EQ(core::MoveErrorText(5), "  5 Kopiere Datei");
}

}  // namespace
