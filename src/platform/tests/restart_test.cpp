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
    platform::setWininitLineHook({});
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
          "C:\\WINDOWS\\msdos.sys = C:\\WINDOWS\\TEMP\\kelvaran\\msdos.sys\n");

  const Log log = platform::processWininit(R"(C:\WINDOWS)");
  EXPECT_EQ(log, (Log{
                     R"(moved C:\WINDOWS\TEMP\kelvaran\system.ini over C:\WINDOWS\system.ini)",
                     R"(deleted C:\WINDOWS\TEMP\junk.tmp)",
                     R"(skipped "C:\WINDOWS\win.ini=C:\WINDOWS\TEMP\kelvaran\win.ini": source missing)",
                     R"(moved C:\WINDOWS\TEMP\kelvaran\msdos.sys over C:\WINDOWS\msdos.sys)",
                 }));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "restored system");
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\TEMP\junk.tmp)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\other.ini)"));  // not a [rename] section
  EXPECT_EQ(m.read(R"(C:\WINDOWS\msdos.sys)"), "new msdos");
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\WININIT.INI)"));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\WININIT.BAK)").substr(0, 10), "[rename]\r\n");
}

// WININIT.EXE runs under DOS before Windows: it takes full paths in 8.3
// form on one drive and passes over every other line.
TEST_F(RestartTest, LinesWininitCannotCarryOutAreIgnored) {
  m.write(R"(C:\My Documents\Long Name.ini)", "long");
  m.write(R"(N:\moved.ini)", "on n");
  // A folder that a file was moved into: the short paths of the others hold.
  m.write(R"(C:\Long Folder\Restored File.ini)", "restored");
  m.write(R"(C:\Other\Restored File 2.ini)", "moved in");
  platform::rename(R"(C:\Other\Restored File 2.ini)", R"(C:\Long Folder\Restored File 2.ini)");
  struct Case {
    const char* line;
    const char* log;
  };
  const Case cases[] = {
      {R"(C:\WINDOWS\win.ini=C:\My Documents\Long Name.ini)", "not a full path in 8.3 form"},
      {R"(C:\Program Files\x.ini=C:\WINDOWS\TEMP\kelvaran\system.ini)", "not a full path in 8.3 form"},
      {R"(NUL=C:\My Documents\Long Name.ini)", "not a full path in 8.3 form"},
      {R"(C:\WINDOWS\win.ini=WINDOWS\TEMP\kelvaran\system.ini)", "not a full path in 8.3 form"},
      {"C:\\WINDOWS\\\x80.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini", "not a full path in 8.3 form"},
      {R"(C:\WINDOWS\moved.ini=N:\moved.ini)", "not on one drive"},
  };
  std::string text = "[rename]\r\n";
  Log expected;
  for (const Case& c : cases) {
    text += std::string(c.line) + "\r\n";
    expected.push_back(std::string("ignored \"") + c.line + "\": " + c.log);
  }
  text += "C:\\WINDOWS\\system.ini=C:\\LONGFO~1\\RESTOR~1.INI\r\n";
  expected.push_back(R"(moved C:\LONGFO~1\RESTOR~1.INI over C:\WINDOWS\system.ini)");
  m.write(R"(C:\WINDOWS\WININIT.INI)", text);

  EXPECT_EQ(platform::processWininit(R"(C:\WINDOWS)"), expected);
  EXPECT_EQ(m.read(R"(C:\My Documents\Long Name.ini)"), "long");
  EXPECT_EQ(m.read(R"(N:\moved.ini)"), "on n");
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\moved.ini)"));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\TEMP\kelvaran\system.ini)"), "restored system");
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "restored");
  EXPECT_EQ(m.read(R"(C:\Long Folder\Restored File 2.ini)"), "moved in");
}

// The machine goes off in the middle of the boot processing: its next start
// carries on from the line it had reached and then ends the restart.
TEST_F(RestartTest, AProcessingCutShortIsFinishedByTheNextStart) {
  m.write(R"(C:\WINDOWS\TEMP\kelvaran\win.ini)", "restored win");
  m.write(R"(C:\WINDOWS\TEMP\junk.tmp)", "junk");
  m.write(R"(C:\WINDOWS\WININIT.INI)",
          "[rename]\r\n"
          "C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\kelvaran\\system.ini\r\n"
          "C:\\WINDOWS\\win.ini=C:\\WINDOWS\\TEMP\\kelvaran\\win.ini\r\n"
          "NUL=C:\\WINDOWS\\TEMP\\junk.tmp\r\n");
  struct Off {};
  platform::setWininitLineHook([](const std::string& line) {
    if (line.find("win.ini") != std::string::npos) throw Off{};
  });
  EXPECT_THROW(platform::exitWindowsEx(3, 0), Off);
  EXPECT_TRUE(platform::restartPending());
  EXPECT_EQ(m.read(R"(C:\WINDOWS\system.ini)"), "restored system");
  EXPECT_TRUE(m.exists(R"(C:\WINDOWS\TEMP\junk.tmp)"));

  platform::setWininitLineHook({});
  EXPECT_EQ(platform::processPendingRestart(),
            (Log{R"(moved C:\WINDOWS\TEMP\kelvaran\win.ini over C:\WINDOWS\win.ini)",
                 R"(deleted C:\WINDOWS\TEMP\junk.tmp)"}));
  EXPECT_EQ(m.read(R"(C:\WINDOWS\win.ini)"), "restored win");
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\TEMP\junk.tmp)"));
  EXPECT_FALSE(m.exists(R"(C:\WINDOWS\WININIT.INI)"));
  EXPECT_FALSE(platform::restartPending());
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
