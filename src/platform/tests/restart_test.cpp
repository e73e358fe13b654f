// Restart requests and the boot-time processing of WININIT.INI.
#include "platform/restart.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/test_machine.h"

namespace {

using Log = std::vector<std::string>;

class RestartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::clearRestartRequests();
    platform::setRestartRefused(false);
    platform::setRestartHooks({[this] { events.push_back("close"); }, [this] { events.push_back("end"); }});
    m.write(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)", "restored system");
    m.write(R"(C:\WINDOWS\system.ini)", "old system");
  }
  void TearDown() override {
    platform::setRestartHooks({});
    platform::setRestartRefused(false);
  }

  testsupport::TestMachine m;
  std::vector<std::string> events;
};

TEST_F(RestartTest, BootProcessingRunsEveryRenameSectionInOrder) {
  m.write(R"(C:\WINDOWS\msdos.sys)", "old msdos");
  m.setAttributes(R"(C:\WINDOWS\msdos.sys)", platform::kReadOnly | platform::kHidden | platform::kSystem);
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\msdos.sys)", "new msdos");
  m.write(R"(C:\WINDOWS\TEMP\junk.tmp)", "junk");
  m.write(R"(N:\moved.ini)", "from d");
  m.write(R"(C:\WINDOWS\WININIT.BAK)", "older backup");
  m.write(R"(C:\WINDOWS\WININIT.INI)",
          "[rename]\r\n"
          "C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n"
          "NUL=C:\\WINDOWS\\TEMP\\junk.tmp\r\n"
          "\r\n"
          "; a comment\r\n"
          "C:\\WINDOWS\\win.ini=C:\\WINDOWS\\TEMP\\kelvaran\\win.ini\r\n"
          "[Other]\r\n"
          "C:\\WINDOWS\\other.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n"
          "[Rename]\n"
          "C:\\WINDOWS\\msdos.sys = C:\\WINDOWS\\TEMP\\kelvaran\\msdos.sys\n"
          "C:\\WINDOWS\\moved.ini=N:\\moved.ini\n");

  const Log log = platform::processWininit(R"(C:\WINDOWS)");
  EXPECT_EQ(log, (Log{
                     R"(moved C:\WINDOWS\TEMP\kelvaran\system.ini over C:\WINDOWS\system.ini)",
                     R"(deleted C:\WINDOWS\TEMP\junk.tmp)",
                     R"(skipped "C:\WINDOWS\win.ini=C:\WINDOWS\TEMP\kelvaran\win.ini": source missing)",
                     R"(moved C:\WINDOWS\TEMP\kelvaran\msdos.sys over C:\WINDOWS\msdos.sys)",
                     R"(moved N:\moved.ini over C:\WINDOWS\moved.ini)",
                 }));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "restored system");
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\TEMP\junk.tmp)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\other.ini)"));  // not a [rename] section
  EXPECT_EQ(m.read(R"(C:\WINDOWS\msdos.sys)"), "new msdos");
  EXPECT_EQ(m.read(R"(C:\WINDOWS\moved.ini)"), "from d");
  EXPECT_FALSE(m.exists(R"(N:\moved.ini)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\WININIT.INI)"));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\WININIT.BAK)").substr(0, 10), "[rename]\r\n");
}

TEST_F(RestartTest, NoWininitMeansNothingToDo) {
  EXPECT_TRUE(platform::processWininit(R"(C:\WINDOWS)").empty());
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\WININIT.BAK)"));
}

TEST_F(RestartTest, ARefusedRequestChangesNothing) {
  m.write(R"(C:\WINDOWS\WININIT.INI)",
          "[rename]\r\nC:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n");
  platform::setRestartRefused(true);
  EXPECT_FALSE(platform::exitWindowsEx(platform::kEwxShutdown | platform::kEwxReboot, 0));
  EXPECT_EQ(platform::restartRequests(), std::vector<unsigned>{3});
  EXPECT_TRUE(events.empty());
  EXPECT_FALSE(platform::restartPending());
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "old system");
}

TEST_F(RestartTest, AGrantedRebootClosesTheWindowsThenProcessesWininitThenEnds) {
  m.write(R"(C:\WINDOWS\WININIT.INI)",
          "[rename]\r\nC:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n");
  platform::setRestartHooks(
      {[this] { events.push_back("close, system.ini: " + m.read(R"(C:\WINDOWS\system.ini)")); },
       [this] { events.push_back("end, system.ini: " + m.read(R"(C:\WINDOWS\system.ini)")); }});
  EXPECT_TRUE(platform::exitWindowsEx(3, 0));
  EXPECT_EQ(events,
            (std::vector<std::string>{"close, system.ini: old system", "end, system.ini: restored system"}));
  EXPECT_FALSE(platform::restartPending());
  EXPECT_TRUE(m.exists(R"(C:\WINDOWS\WININIT.BAK)"));
}

TEST_F(RestartTest, AProgramThatEndsWhileClosingLeavesTheRestartToTheNextStart) {
  m.write(R"(C:\WINDOWS\WININIT.INI)",
          "[rename]\r\nC:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n");
  struct Ended {};
  platform::setRestartHooks({[] { throw Ended{}; }, {}});  // stands for the program's End inside its unload
  EXPECT_THROW(platform::exitWindowsEx(3, 0), Ended);
  EXPECT_TRUE(platform::restartPending());
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "old system");

  EXPECT_EQ(platform::processPendingRestart().size(), 1u);
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "restored system");
  EXPECT_FALSE(platform::restartPending());
  EXPECT_TRUE(platform::processPendingRestart().empty());
}

TEST_F(RestartTest, ALogoffIsRecordedButEndsNothing) {
  EXPECT_TRUE(platform::exitWindowsEx(platform::kEwxLogoff, 0));
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(platform::restartRequests(), std::vector<unsigned>{0});
}

}  // namespace
