#include "platform/shortname.h"

#include <gtest/gtest.h>

#include <set>

namespace platform {
namespace {

struct AliasCase {
  const char* longName;
  const char* alias;
};

TEST(ShortName, AliasesOfNewNamesFollowTheWindows9xRules) {
  const AliasCase cases[] = {
      {"Program Files", "PROGRA~1"},
      {"bookmark.html", "BOOKMA~1.HTM"},
      {"My Documents", "MYDOCU~1"},
      {"Start Menu", "STARTM~1"},
      {"a+b.txt", "A_B~1.TXT"},  // + , ; = [ ] become _, blanks are dropped
      {"a+b=c;d.txt", "A_B_C_~1.TXT"},
      {"[x],y z.t[t", "_X__YZ~1.T_T"},
      {".htaccess", "HTACCE~1"},
      {"archive.tar.gz", "ARCHIV~1.GZ"},
      {"Sent Items.dbx", "SENTIT~1.DBX"},
      {"x y.longext", "XY~1.LON"},
      {"caf\xe9 menu.txt", "CAF\xc9ME~1.TXT"},
      {"+++", "___~1"},
      {"lower.jpeg", "LOWER~1.JPE"},
      // Characters the DOS code page (850) lacks: the euro and trademark
      // signs and the rest of 0x80-0x9F but for the florin sign become "_",
      // and such a name always gets a tail.
      {"\x80.txt", "_~1.TXT"},
      {"Price \x80 list.txt", "PRICE_~1.TXT"},
      {"Caf\xe9\x99.txt", "CAF\xc9_~1.TXT"},
      {"na\xefve \x93x\x94.doc", "NA\xcfVE_~1.DOC"},
      {"\x9a\x9c\x9e.\x85", "___~1._"},
      {"\x83oo bar.txt", "\x83OOBAR~1.TXT"},
  };
  for (const AliasCase& c : cases)
    EXPECT_EQ(makeAlias(c.longName, [](const std::string&) { return false; }), c.alias) << c.longName;
}

TEST(ShortName, NamesAlreadyInEightDotThreeFormHaveNoAlias) {
  for (const char* name :
       {"WIN.INI", "Kelvaran", "readme.txt", "A", "CONFIG.SYS", "12345678.123", "A~1", "\x83.TXT", "CAF\xc9"})
    EXPECT_TRUE(isShortName(name)) << name;
  for (const char* name :
       {"123456789", "a.htm.x", "a.html", "my file", "a+b", ".x", "NAME.", "", "\x80.txt", "A\x99", "\x9a"})
    EXPECT_FALSE(isShortName(name)) << name;
  EXPECT_EQ(makeAlias("WIN.INI", [](const std::string&) { return true; }), "");
}

TEST(ShortName, TakenAliasesMoveToTheNextNumberAndShortenTheBase) {
  std::set<std::string> taken;
  auto isTaken = [&](const std::string& s) { return taken.count(s) > 0; };
  for (int i = 1; i <= 9; ++i) taken.insert("PROGRA~" + std::to_string(i));
  EXPECT_EQ(makeAlias("Program Files", isTaken), "PROGR~10");
  taken = {"BOOKMA~1.HTM"};
  EXPECT_EQ(makeAlias("bookmark.html", isTaken), "BOOKMA~2.HTM");
}

TEST(ShortName, CaseRulesCoverWindows1252Letters) {
  EXPECT_EQ(upperCase("abc\xe9\xff\x9a\xf7"), "ABC\xc9\x9f\x8a\xf7");
  EXPECT_TRUE(equalsNoCase("Program Files", "PROGRAM FILES"));
  EXPECT_FALSE(equalsNoCase("abc", "abd"));
}

}  // namespace
}  // namespace platform
