#include "platform/sysfacts.h"

#include <gtest/gtest.h>

#include "support/test_machine.h"

namespace {

using namespace platform;

class SysFacts : public ::testing::Test {
 protected:
  void SetUp() override { resetSystemFacts(); }
  void TearDown() override { resetSystemFacts(); }
  testsupport::TestMachine machine;
};

TEST_F(SysFacts, DemoMachineIsAWindows98SecondEdition) {
  OsVersionInfo version;
  ASSERT_TRUE(getVersionEx(version));
  EXPECT_EQ(version.platformId, 1u);
  EXPECT_EQ(version.majorVersion, 4u);
  EXPECT_EQ(version.minorVersion, 10u);
  EXPECT_EQ(version.buildNumber, 2222u);
  EXPECT_EQ(version.csdVersion, " A ");
  EXPECT_EQ(getWindowsDirectory(), "C:\\WINDOWS");
  EXPECT_EQ(getSystemDirectory(), "C:\\WINDOWS\\SYSTEM");
  EXPECT_EQ(getTempPath(), "C:\\WINDOWS\\TEMP\\");
  std::string name;
  EXPECT_TRUE(getComputerName(name));
  EXPECT_EQ(name, "DEMO98");
}

TEST(SysFactsDescription, EveryFactHasItsKey) {
  const auto f = readSystemFacts(
      "[System]\r\nPlatform=0\r\nMajorVersion=3\r\nMinorVersion=10\r\nBuildNumber=7\r\nCSDVersion=\" B "
      "\"\r\n"
      "ProcessorArchitecture=0\r\nProcessorType=486\r\nProcessorLevel=4\r\nProcessorRevision="
      "3\r\nNumberOfProcessors=2\r\nActiveProcessorMask=3\r\nPageSize=8192\r\nMemoryLoad="
      "50\r\n"
      "TotalPhysicalMemory=1000\r\nAvailablePhysicalMemory=500\r\nTotalPageFile=4\r\nAvailablePageFile="
      "3\r\nTotalVirtual=2\r\n"
      "AvailableVirtual=1\r\nKeyboardType=7\r\nKeyboardSubtype=2\r\nFunctionKeys=10\r\nComputerName=BOX\r\n"
      "UserName=Kim\r\nWindowsDir=D:\\WIN\r\nSystemDir=D:\\WIN\\SYSTEM\r\nTempDir=D:\\TMP\r\n");
  EXPECT_EQ(f.platformId, 0u);
  EXPECT_EQ(f.majorVersion, 3u);
  EXPECT_EQ(f.minorVersion, 10u);
  EXPECT_EQ(f.buildNumber, 7u);
  EXPECT_EQ(f.csdVersion, " B ");
  EXPECT_EQ(f.processorType, 486u);
  EXPECT_EQ(f.processorLevel, 4u);
  EXPECT_EQ(f.processorRevision, 3u);
  EXPECT_EQ(f.numberOfProcessors, 2u);
  EXPECT_EQ(f.activeProcessorMask, 3u);
  EXPECT_EQ(f.pageSize, 8192u);
  EXPECT_EQ(f.memoryLoad, 50u);
  EXPECT_EQ(f.totalPhys, 1000u);
  EXPECT_EQ(f.availPhys, 500u);
  EXPECT_EQ(f.totalPageFile, 4u);
  EXPECT_EQ(f.availPageFile, 3u);
  EXPECT_EQ(f.totalVirtual, 2u);
  EXPECT_EQ(f.availVirtual, 1u);
  EXPECT_EQ(f.keyboardType, 7);
  EXPECT_EQ(f.keyboardSubtype, 2);
  EXPECT_EQ(f.functionKeys, 10);
  EXPECT_EQ(f.computerName, "BOX");
  EXPECT_EQ(f.userName, "Kim");
  EXPECT_EQ(f.windowsDirectory, "D:\\WIN");
  EXPECT_EQ(f.systemDirectory, "D:\\WIN\\SYSTEM");
  EXPECT_EQ(f.tempPath, "D:\\TMP");
}

TEST(SysFactsDescription, MissingOrUnreadableKeysKeepTheDefaults) {
  const auto f = readSystemFacts("[System]\r\nBuildNumber=abc\r\nMemoryLoad=-1\r\n[Other]\r\nUserName=x\r\n");
  const SystemFacts defaults;
  EXPECT_EQ(f.buildNumber, defaults.buildNumber);
  EXPECT_EQ(f.memoryLoad, defaults.memoryLoad);
  EXPECT_EQ(f.userName, defaults.userName);
}

TEST_F(SysFacts, ChangesOfTheMachineDescriptionAreSeen) {
  machine.setSystem("ComputerName", "OFFICE");
  machine.setSystem("TempDir", "D:\\SCRATCH\\LONG FOLDER NAME THAT IS WELL OVER FIFTY CHARACTERS");
  std::string name;
  EXPECT_TRUE(getComputerName(name));
  EXPECT_EQ(name, "OFFICE");
  // Returned whole, with the backslash GetTempPathA puts at the end.
  EXPECT_EQ(getTempPath(), "D:\\SCRATCH\\LONG FOLDER NAME THAT IS WELL OVER FIFTY CHARACTERS\\");
}

TEST_F(SysFacts, TestsReplaceEveryFact) {
  SystemFacts f = systemFacts();
  f.tempPath = "";
  f.computerName = "";
  f.userName = "";
  f.windowsDirectory = "E:\\WIN95\\";
  f.systemDirectory = "E:\\";
  f.processorType = 486;
  f.numberOfProcessors = 2;
  f.memoryLoad = 12;
  f.totalPhys = 64u << 20;
  f.keyboardType = 1;
  f.functionKeys = 10;
  setSystemFacts(f);

  std::string name = "stale";
  EXPECT_FALSE(getComputerName(name));
  EXPECT_EQ(name, "");
  EXPECT_FALSE(getUserName(name));
  EXPECT_EQ(getTempPath(), "");  // the machine has no temporary folder
  EXPECT_EQ(getWindowsDirectory(), "E:\\WIN95");
  EXPECT_EQ(getSystemDirectory(), "E:\\");  // a root keeps its backslash

  SystemInfo info;
  getSystemInfo(info);
  EXPECT_EQ(info.processorType, 486u);
  EXPECT_EQ(info.numberOfProcessors, 2u);
  MemoryStatus memory;
  globalMemoryStatus(memory);
  EXPECT_EQ(memory.length, 32u);
  EXPECT_EQ(memory.memoryLoad, 12u);
  EXPECT_EQ(memory.totalPhys, 64u << 20);
  EXPECT_EQ(getKeyboardType(0), 1);
  EXPECT_EQ(getKeyboardType(2), 10);
  EXPECT_EQ(getKeyboardType(5), 0);

  resetSystemFacts();
  EXPECT_NE(getTempPath(), "");
}

}  // namespace
