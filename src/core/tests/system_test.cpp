// The system-information class over the machine's system facts.
#include "core/system.h"

#include <gtest/gtest.h>

#include "platform/sysfacts.h"

namespace {

struct FactsGuard {
  explicit FactsGuard(const platform::SystemFacts& facts) { platform::setSystemFacts(facts); }
  ~FactsGuard() { platform::resetSystemFacts(); }
};

TEST(System, PutPoints) {
  core::System s;
  struct Case {
    int number;
    const char* text;
  };
  for (const Case& c : {Case{0, "0"}, Case{999, "999"}, Case{1000, "1.000"}, Case{1001, "1.001"},
                        Case{1234, "1.234"}, Case{123456, "123.456"}, Case{1234567, "1.234.567"},
                        Case{-123, "-.123"}, Case{2147483647, "2.147.483.647"}})
    EXPECT_EQ(s.PutPoints(c.number), c.text) << c.number;
}

TEST(System, WinVerByPlatform) {
  struct Case {
    std::uint32_t platformId, major, minor;
    const char* text;
  };
  for (const Case& c : {Case{0, 3, 10, "Windows 3.10"}, Case{1, 4, 10, "Windows 95"},
                        Case{2, 4, 0, "Windows NT"}, Case{7, 5, 1, "kept"}}) {
    platform::SystemFacts facts;
    facts.platformId = c.platformId;
    facts.majorVersion = c.major;
    facts.minorVersion = c.minor;
    FactsGuard guard(facts);
    std::int16_t major = -1, minor = -1;
    std::string text = "kept";
    core::System().WinVer(major, minor, text);
    EXPECT_EQ(major, static_cast<std::int16_t>(c.major));
    EXPECT_EQ(minor, static_cast<std::int16_t>(c.minor));
    EXPECT_EQ(text, c.text);
  }
}

TEST(System, KeyboardProcessorAndMemory) {
  platform::SystemFacts facts;
  facts.keyboardType = 2;
  facts.functionKeys = 12;
  facts.processorType = 486;
  facts.numberOfProcessors = 2;
  facts.activeProcessorMask = 3;
  facts.totalPhys = 1536;  // 1.5 KB rounds to the even 2
  facts.availPhys = 2560;  // 2.5 KB rounds to the even 2
  facts.memoryLoad = 40;
  FactsGuard guard(facts);
  core::System s;
  EXPECT_EQ(s.KeyboardType(), "Olivetti \"ico\" (102 key)");
  EXPECT_EQ(s.FunctionKeys(), 12);
  std::string processor = "unknown";
  std::int32_t count = 0, active = 0;
  s.SystemInfo(processor, count, active);
  EXPECT_EQ(processor, "80486");
  EXPECT_EQ(count, 2);
  EXPECT_EQ(active, 3);
  std::uint8_t load = 0;
  std::int32_t total = 0, available = 0;
  s.FreeMemory(load, total, available);
  EXPECT_EQ(load, 40);
  EXPECT_EQ(total, 2);
  EXPECT_EQ(available, 2);

  facts.keyboardType = 9;
  facts.processorType = 8664;
  platform::setSystemFacts(facts);
  EXPECT_EQ(s.KeyboardType(), "");
  s.SystemInfo(processor, count, active);
  EXPECT_EQ(processor, "80486");  // an unknown type leaves it as it was
}

TEST(System, FoldersEndWithSeparatorAndLongTempFoldersStayWhole) {
  platform::SystemFacts facts;
  facts.tempPath = "C:\\Documents and Settings Of A Rather Long User Name\\Local Temp";
  facts.windowsDirectory = "C:\\WINDOWS";
  facts.systemDirectory = "";
  FactsGuard guard(facts);
  core::System s;
  EXPECT_EQ(s.TempDir(), "C:\\Documents and Settings Of A Rather Long User Name\\Local Temp\\");
  EXPECT_EQ(s.WinDir(), "C:\\WINDOWS\\");
  EXPECT_EQ(s.SystemDir(), "");
}

TEST(System, NamesAreEmptyWhenTheMachineHasNone) {
  platform::SystemFacts facts;
  facts.computerName = "";
  facts.userName = "Anwender";
  FactsGuard guard(facts);
  EXPECT_EQ(core::System().ComputerName(), "");
  EXPECT_EQ(core::System().UserName(), "Anwender");
}

}  // namespace
