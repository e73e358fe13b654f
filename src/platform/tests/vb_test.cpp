#include "platform/vb.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/error.h"
#include "platform/vb_convert.h"
#include "platform/vb_datetime.h"
#include "support/test_machine.h"

namespace {

using testsupport::errorOf;

using namespace platform::vb;
using platform::DateTime;

TEST(VbStrings, TrimFamilyDropsBlanksOnly) {
  EXPECT_EQ(trim("  a b  "), "a b");
  EXPECT_EQ(lTrim("  a "), "a ");
  EXPECT_EQ(rTrim(" a  "), " a");
  EXPECT_EQ(trim("\ta\t"), "\ta\t");
  EXPECT_EQ(trim("   "), "");
}

TEST(VbStrings, LeftMidRight) {
  struct Case {
    std::string got, expected;
  };
  const Case cases[] = {
      {left("Config1.ini", 7), "Config1"},
      {left("abc", 0), ""},
      {left("abc", 10), "abc"},
      {right("C:\\x.ini", 3), "ini"},
      {right("abc", 10), "abc"},
      {mid("abcdef", 2, 3), "bcd"},
      {mid("abcdef", 4), "def"},
      {mid("abc", 4), ""},
      {mid("abc", 2, 0), ""},
      {mid("abc", 3, 99), "c"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
}

TEST(VbStrings, BadArgumentsRaiseError5) {
  EXPECT_EQ(errorOf([] { left("abc", -1); }), 5);
  EXPECT_EQ(errorOf([] { right("abc", -1); }), 5);
  EXPECT_EQ(errorOf([] { mid("abc", 0); }), 5);
  EXPECT_EQ(errorOf([] { mid("abc", 1, -1); }), 5);
  EXPECT_EQ(errorOf([] { inStr(0, "abc", "a"); }), 5);
  EXPECT_EQ(errorOf([] { space(-1); }), 5);
}

TEST(VbStrings, InStr) {
  struct Case {
    std::int64_t start;
    const char *s, *find;
    Compare compare;
    std::int64_t expected;
  };
  const Case cases[] = {
      {1, "SmartSav\\", "SmartSav", Compare::Binary, 1},
      {1, "abcabc", "c", Compare::Binary, 3},
      {4, "abcabc", "c", Compare::Binary, 6},
      {1, "abc", "C", Compare::Binary, 0},
      {1, "abc", "C", Compare::Text, 3},
      {1, "\xC4RGER", "\xE4rg", Compare::Text, 1},  // Windows-1252 umlauts
      {2, "abc", "", Compare::Binary, 2},
      {1, "", "", Compare::Binary, 0},
      {5, "abc", "a", Compare::Binary, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(inStr(c.start, c.s, c.find, c.compare), c.expected) << c.s << " " << c.find;
}

TEST(VbStrings, CaseMappingCoversWindows1252Letters) {
  // Windows-1252: sharp s stays, umlauts, the four letters of 0x8A-0x9F, the
  // multiplication sign is no letter.
  EXPECT_EQ(uCase("stra\xDF"
                  "e \xE4\xF6\xFC \x9A\x9C\x9E\xFF"),
            "STRA\xDF"
            "E \xC4\xD6\xDC \x8A\x8C\x8E\x9F");
  EXPECT_EQ(lCase("\xC4\xD6\xDC \xC0\xC9 \xD7"), "\xE4\xF6\xFC \xE0\xE9 \xD7");
  EXPECT_TRUE(equalsNoCase("Software\\M\xFCller", "SOFTWARE\\M\xDCLLER"));
  EXPECT_FALSE(equalsNoCase("abc", "abd"));
}

TEST(VbStrings, StartsWithNoCaseComparesThePrefixByTheSameCaseRules) {
  const struct {
    const char* text;
    const char* prefix;
    bool starts;
  } cases[] = {
      {"C:\\WINDOWS\\Favorites", "c:\\windows\\", true},
      {"M\xFCller", "M\xDC", true},
      {"HTTP://host", "http://", true},
      {"C:\\WIN", "C:\\WINDOWS", false},
      {"C:\\WINDOWS", "D:\\", false},
      {"anything", "", true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::startsWithNoCase(c.text, c.prefix), c.starts) << c.text << " / " << c.prefix;
}

TEST(VbConvert, StrPutsABlankInTheSignPosition) {
  struct Case {
    double n;
    const char* str;
    const char* cstr;
  };
  const Case cases[] = {{3, " 3", "3"},
                        {-3, "-3", "-3"},
                        {0, " 0", "0"},
                        {0.5, " .5", ".5"},
                        {-0.25, "-.25", "-.25"},
                        {1.5, " 1.5", "1.5"},
                        {64512, " 64512", "64512"},
                        {1e20, " 1E+20", "1E+20"},
                        {1e-5, " 1E-05", "1E-05"}};
  for (const auto& c : cases) {
    EXPECT_EQ(str(c.n), c.str);
    EXPECT_EQ(cStr(c.n), c.cstr);
  }
}

TEST(VbConvert, ValReadsTheLeadingNumber) {
  struct Case {
    const char* text;
    double expected;
  };
  const Case cases[] = {{" 12 ", 12}, {"1 2 3", 123}, {"12abc", 12},  {"-3.5x", -3.5}, {"", 0},
                        {"abc", 0},   {"&H10", 16},   {"&HFFFF", -1}, {"&O17", 15},    {"1e3", 1000},
                        {"2D2", 200}, {" .5", 0.5},   {"1.2.3", 1.2}, {"+7", 7},       {"\t4\n2", 42}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(val(c.text), c.expected) << c.text;
}

TEST(VbConvert, CIntAndCLngRoundHalfToEvenAndCheckRange) {
  EXPECT_EQ(cInt(2.5), 2);
  EXPECT_EQ(cInt(3.5), 4);
  EXPECT_EQ(cInt(-2.5), -2);
  EXPECT_EQ(cInt(32767.0), 32767);
  EXPECT_EQ(cInt(-32768.0), -32768);
  EXPECT_EQ(cInt(" 12 "), 12);
  EXPECT_EQ(cInt("&H7FFF"), 32767);
  EXPECT_EQ(cLng("2147483647"), 2147483647);
  EXPECT_EQ(cLng(" 5 "), 5);

  EXPECT_EQ(errorOf([] { cInt(32767.5); }), 6);
  EXPECT_EQ(errorOf([] { cInt("40000"); }), 6);
  EXPECT_EQ(errorOf([] { cLng(2147483648.0); }), 6);
  for (const char* bad : {"", "abc", "1 2", "12x", "True"}) EXPECT_EQ(errorOf([&] { cInt(bad); }), 13) << bad;
}

TEST(VbConvert, CBool) {
  EXPECT_TRUE(cBool("True"));
  EXPECT_TRUE(cBool(" TRUE "));
  EXPECT_FALSE(cBool("false"));
  EXPECT_TRUE(cBool("-1"));
  EXPECT_FALSE(cBool("0"));
  EXPECT_TRUE(cBool(0.1));
  EXPECT_EQ(errorOf([] { cBool("yes"); }), 13);
  EXPECT_EQ(errorOf([] { cBool(""); }), 13);
}

TEST(VbConvert, Hex) {
  EXPECT_EQ(hex(0x1A2B3C4D), "1A2B3C4D");
  EXPECT_EQ(hex(255), "FF");
  EXPECT_EQ(hex(-1), "FFFFFFFF");
  EXPECT_EQ(errorOf([] { hex(0x100000000LL); }), 6);
}

class VbClock : public ::testing::Test {
 protected:
  void TearDown() override { setClock({}); }
};

TEST_F(VbClock, DateTimeAndNowReadTheInjectedClock) {
  setClock([] { return DateTime{2026, 12, 9, 14, 35, 12}; });
  EXPECT_EQ(now(), (DateTime{2026, 12, 9, 14, 35, 12}));
  EXPECT_EQ(date(), (DateTime{2026, 12, 9, 0, 0, 0}));
  EXPECT_EQ(time(), (DateTime{1899, 12, 30, 14, 35, 12}));
  EXPECT_EQ(cStr(time()), "14:35:12");
  EXPECT_EQ(cStr(date()), "09/12/2026");
  EXPECT_EQ(cStr(now()), "09/12/2026 14:35:12");
}

TEST_F(VbClock, HostClockIsUsedWithoutAnInjectedOne) {
  const auto n = now();
  EXPECT_GE(n.year, 2024);
  EXPECT_TRUE(isValidDate(n.year, n.month, n.day));
}

TEST(VbFormat, DateAndTimePatterns) {
  const DateTime d{2026, 3, 7, 9, 5, 3};
  const DateTime pm{2026, 12, 9, 14, 35, 12};
  struct Case {
    DateTime value;
    const char *pattern, *expected;
  };
  const Case cases[] = {
      {d, "mm-dd-yyyy", "03-07-2026"},
      {d, "d/m/yy", "7/3/26"},
      {d, "hh:mm", "09:05"},
      {pm, "hh:mm", "14:35"},
      {d, "h:m:s", "9:5:3"},
      {d, "hh:nn:ss", "09:05:03"},
      {d, "ddd, d mmm yyyy", "Sat, 7 Mar 2026"},
      {d, "dddd d mmmm", "Saturday 7 March"},
      {pm, "h:nn AM/PM", "2:35 PM"},
      {d, "h:nn am/pm", "9:05 am"},
      {pm, "h a/p", "2 p"},
      {d, "\"day\" d \\y", "day 7 y"},
      {d, "y", "66"},
      {d, "Short Date", "07/03/2026"},
      {pm, "Long Time", "14:35:12"},
      {pm, "Short Time", "14:35"},
  };
  for (const auto& c : cases) EXPECT_EQ(format(c.value, c.pattern), c.expected) << c.pattern;
}

TEST(VbFormat, CDateReadsDatesAndTimes) {
  struct Case {
    const char* text;
    DateTime expected;
  };
  const Case cases[] = {
      {"14:35:12", {1899, 12, 30, 14, 35, 12}}, {"00:00", {1899, 12, 30, 0, 0, 0}},
      {" 9/12/2026", {2026, 12, 9, 0, 0, 0}},   {"09.12.2026", {2026, 12, 9, 0, 0, 0}},
      {"2026-12-09", {2026, 12, 9, 0, 0, 0}},   {"29/2/2024 8:01", {2024, 2, 29, 8, 1, 0}},
      {"1/1/99", {1999, 1, 1, 0, 0, 0}},        {"1/1/05", {2005, 1, 1, 0, 0, 0}},
  };
  for (const auto& c : cases) EXPECT_EQ(cDate(c.text), c.expected) << c.text;
  for (const char* bad : {"", "abc", "25:00", "12:61", "29/2/2023", "1/13/2026", "1/2"})
    EXPECT_EQ(errorOf([&] { cDate(bad); }), 13) << bad;
}

TEST(VbFormat, Weekday) {
  EXPECT_EQ(weekday({2026, 12, 9}), 4);  // a Wednesday
  EXPECT_EQ(weekday({1899, 12, 30}), 7);
  EXPECT_EQ(weekday({2000, 1, 2}), 1);
}

}  // namespace
