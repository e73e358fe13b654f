#include "platform/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"
#include "platform/files.h"
#include "support/golden.h"
#include "support/runtime_checks.h"
#include "support/test_machine.h"

namespace {

using platformtest::golden;

// ---- the file functions on a machine ----------------------------------------

class IniFiles : public ::testing::Test {
 protected:
  testsupport::TestMachine machine;
  const std::string file = "C:\\KVTEST\\kelvaran.ini";
  void SetUp() override { machine.mkdirs("C:\\KVTEST"); }
};

TEST_F(IniFiles, ReadGivesTheDefaultWithoutItsTrailingBlanks) {
  machine.write(file, "[Settings]\r\nEmpty=\r\n");
  struct Case {
    std::string fileName;
    const char *section, *key, *defaultValue, *expected;
  };
  const Case cases[] = {
      {file, "Settings", "Missing", "dflt  ", "dflt"},
      {file, "Settings", "Empty", "dflt", ""},
      {file, "None", "Empty", " x ", " x"},
      {"C:\\KVTEST\\missing.ini", "Settings", "Empty", "d", "d"},
      {"C:\\NOFOLDER\\missing.ini", "Settings", "Empty", "d", "d"},
      {"", "Settings", "Empty", "d", "d"},
      {"C:\\KVTEST", "Settings", "Empty", "d", "d"},  // a folder is no file
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::getProfileString(c.section, c.key, c.defaultValue, c.fileName), c.expected)
        << c.fileName;
}

TEST_F(IniFiles, ReadReturnsAtMostTheBufferLessOne) {
  const std::string longValue(300, 'x');
  machine.write(file, "[S]\r\nk=" + longValue + "\r\n");
  EXPECT_EQ(platform::getProfileString("S", "k", "", file), std::string(254, 'x'));
  char buffer[8];
  EXPECT_EQ(platform::getPrivateProfileString("S", "k", "", buffer, sizeof buffer, file), 7u);
  EXPECT_EQ(std::string(buffer), "xxxxxxx");
}

TEST_F(IniFiles, ReadListsSectionsAndKeysWithNullNames) {
  machine.write(file, "[A]\r\nx=1\r\ny=2\r\n[B]\r\n");
  char buffer[32];
  EXPECT_EQ(platform::getPrivateProfileString(std::nullopt, std::nullopt, "", buffer, sizeof buffer, file),
            4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("A\0B\0\0", 5));
  EXPECT_EQ(platform::getPrivateProfileString("a", std::nullopt, "", buffer, sizeof buffer, file), 4u);
  EXPECT_EQ(std::string(buffer, 5), std::string("x\0y\0\0", 5));
}

TEST_F(IniFiles, BareFileNameMeansTheWindowsFolder) {
  machine.write("C:\\WINDOWS\\KVTEST.INI", "[S]\r\nk=win\r\n");
  EXPECT_EQ(platform::getProfileString("S", "k", "", "kvtest.ini"), "win");
}

TEST_F(IniFiles, WritesBuildTheGoldenSettingsFile) {
  using platform::writePrivateProfileString;
  EXPECT_NE(writePrivateProfileString("Settings", "Config1", "First save", file), 0);
  EXPECT_NE(writePrivateProfileString("Settings", "LsDate1", " 9/12/2026", file), 0);
  EXPECT_NE(writePrivateProfileString("Settings", "LsTime1", "14:35:12", file), 0);
  EXPECT_NE(writePrivateProfileString("SystemPathes", "SaveFolder", "C:\\KELVARAN\\SAVE\\", file), 0);
  EXPECT_NE(writePrivateProfileString("Settings", "OSV1", "Windows 98", file), 0);
  EXPECT_NE(writePrivateProfileString("Settings", "Empty", "", file), 0);
  EXPECT_NE(writePrivateProfileString("settings", "config1", "Second save", file), 0);
  EXPECT_NE(writePrivateProfileString("Gone", "x", "1", file), 0);
  EXPECT_NE(writePrivateProfileString("Gone", std::nullopt, std::nullopt, file), 0);
  EXPECT_NE(writePrivateProfileString("Settings", "Empty", std::nullopt, file), 0);
  EXPECT_TRUE(
      testsupport::matchesGolden(machine.read(file), "src/platform/tests/golden/settings_written.ini"));
  EXPECT_EQ(platform::getProfileString("Settings", "LsDate1", "", file), "9/12/2026");
}

TEST_F(IniFiles, ReplaceKeepsEveryOtherByteOfAForeignFile) {
  const std::string before = golden("foreign_before.ini");
  machine.write(file, before);
  EXPECT_NE(platform::writePrivateProfileString("boot", "shell", "kelvaran.exe", file), 0);
  EXPECT_NE(platform::writePrivateProfileString("386Enh", "Paging", "on", file), 0);
  EXPECT_TRUE(testsupport::matchesGolden(machine.read(file), "src/platform/tests/golden/foreign_after.ini"));
}

TEST_F(IniFiles, RefusedOrFailedWritesReturnZeroAndWriteNothing) {
  using platform::writePrivateProfileString;
  machine.write(file, "[S]\r\nk=1\r\n");
  EXPECT_EQ(writePrivateProfileString("S", "k", "a\r\nb", file), 0);
  EXPECT_EQ(writePrivateProfileString("S", "k=", "v", file), 0);
  EXPECT_EQ(writePrivateProfileString("S]", "k", "v", file), 0);
  EXPECT_EQ(writePrivateProfileString(std::nullopt, "k", "v", file), 0);
  EXPECT_EQ(writePrivateProfileString("S", "k", "v", ""), 0);
  EXPECT_EQ(platform::lastProfileWriteError(), 0);  // refused for its names: no error met
  EXPECT_EQ(machine.read(file), "[S]\r\nk=1\r\n");

  // A write that failed keeps the run-time error it met.
  EXPECT_EQ(writePrivateProfileString("S", "k", "v", "C:\\NOFOLDER\\new.ini"), 0);
  EXPECT_EQ(platform::lastProfileWriteError(), platform::kPathNotFound);
  EXPECT_FALSE(machine.exists("C:\\NOFOLDER"));

  machine.leaveFree('C', 0);
  EXPECT_EQ(writePrivateProfileString("S", "k", std::string(5000, 'v'), file), 0);
  EXPECT_EQ(platform::lastProfileWriteError(), platform::kDiskFull);
  EXPECT_NE(writePrivateProfileString("S", "k", "2", file), 0);
  EXPECT_EQ(platform::lastProfileWriteError(), 0);

  machine.setAttributes(file, platform::kReadOnly);
  EXPECT_EQ(writePrivateProfileString("S", "k", "3", file), 0);
  EXPECT_EQ(platform::lastProfileWriteError(), platform::kPermissionDenied);
  EXPECT_EQ(machine.read(file), "[S]\r\nk=2\r\n");
}

TEST_F(IniFiles, WriteReplacesTheFileWithoutLeavingATemporaryOne) {
  machine.write(file, "[S]\r\nk=1\r\n");
  EXPECT_NE(platform::writePrivateProfileString("S", "k", "2", file), 0);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(machine.host("C:\\KVTEST")))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names.size(), 1u);
  EXPECT_EQ(platform::findFiles("C:\\KVTEST\\*.*").size(), 1u);
}

TEST_F(IniFiles, DeletingFromAMissingFileCreatesNothing) {
  EXPECT_NE(platform::writePrivateProfileString("S", "k", std::nullopt, file), 0);
  EXPECT_FALSE(machine.exists(file));
}

}  // namespace
