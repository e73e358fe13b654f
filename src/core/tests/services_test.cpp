// Error log, short names, folders, drives and the program runner on a small machine.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/paths.h"
#include "core/runner.h"
#include "core/system.h"
#include "core/tests/support/core_fixture.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "platform/process.h"

namespace {

using coretest::CoreTest;

class ErrorLog : public CoreTest {};

TEST_F(ErrorLog, SizeRuleDateFormAndGluedContext) {
  const std::string log = program("Error.log");
  const std::string line53 = platform::errorText(53) + "12-09-2026GetShortName\r\n";
  core::WriteErrorLog(53, "GetShortName");
  EXPECT_EQ(machine->read(log), line53);
  EXPECT_EQ(platform::curDir(), coretest::kProgramFolder);

  machine->write(log, std::string(5000, 'x'));
  core::WriteErrorLog(61, " Save");
  EXPECT_EQ(machine->read(log), std::string(5000, 'x') + platform::errorText(61) + "12-09-2026 Save\r\n");

  machine->write(log, std::string(5001, 'x'));
  core::WriteErrorLog(53, "GetShortName");
  EXPECT_EQ(machine->read(log), line53);
}

TEST_F(ErrorLog, NeverFailsTowardsTheCaller) {
  machine->mkdirs(program("Error.log\\"));  // a folder where the log should be
  EXPECT_NO_THROW(core::WriteErrorLog(53, "x"));
}

class ShortNames : public CoreTest {};

TEST_F(ShortNames, EveryComponentInEightDotThree) {
  machine->mkdirs("C:\\Program Files\\Kelvaran\\Long Folder Name\\");
  struct Case {
    const char* path;
    const char* shortPath;
  };
  for (const Case& c : {
           Case{"C:\\", "C:"},
           Case{"C:\\WINDOWS", "C:\\WINDOWS"},
           Case{"C:\\Program Files\\Kelvaran\\", "C:\\PROGRA~1\\Kelvaran"},
           Case{"C:\\Program Files\\Kelvaran\\Long Folder Name", "C:\\PROGRA~1\\Kelvaran\\LONGFO~1"},
           Case{"C:\\Missing\\Folder", ""},
           Case{"C:\\WINDOWS\\\\SYSTEM", ""},  // an empty component
           Case{"C:\\WIN*", ""},               // a wildcard is no name
           Case{"no separator", ""},
       })
    EXPECT_EQ(core::GetShortNameFromLongName(c.path), c.shortPath) << c.path;
  EXPECT_EQ(core::GetShortNameSection("C:\\WINDOWS"), "WINDOWS");
}

// As the Windows search fails there: "", no message, nothing logged.
TEST_F(ShortNames, ADriveWithoutADiskOrAMissingDriveGivesNothingQuietly) {
  machine->eject('A');
  for (const char* path : {"A:\\Saves\\Old", "Q:\\Saves"}) {
    EXPECT_EQ(core::GetShortNameFromLongName(path), "") << path;
    EXPECT_EQ(core::GetShortNameSection(path), "") << path;
  }
  EXPECT_FALSE(machine->exists(program("Error.log")));
}

class Ini : public CoreTest {};

TEST_F(Ini, EmptyAndMissingValuesReadAlikeAndLineBreaksAreRefused) {
  const std::string file = program("test.ini");
  machine->write(file, "[S]\r\nEmpty=\r\nKey=value\r\n");
  EXPECT_EQ(core::ReadIni("S", "Empty", file), "");
  EXPECT_EQ(core::ReadIni("S", "Missing", file), "");
  EXPECT_EQ(core::ReadIni("S", "Key", program("missing.ini")), "");
  for (const char* bad : {"a\rb", "a\nb", "a\0b"})
    EXPECT_EQ(core::WriteIni("S", "Key", std::string(bad, 3), file), 0);
  EXPECT_EQ(core::ReadIni("S", "Key", file), "value");
  EXPECT_NE(core::WriteIni("S", "Key", std::string(300, 'x'), file), 0);
  EXPECT_EQ(core::ReadIni("S", "Key", file), std::string(254, 'x'));
}

// A section read once answers every key as ReadIni does.
TEST_F(Ini, ASectionReadOnceReadsAsReadIni) {
  const std::string file = program("test.ini");
  machine->write(file, "[S]\r\nEmpty=\r\nKey=value\r\nkey=second\r\nLong=" + std::string(300, 'x') +
                           "\r\n[T]\r\nKey=other\r\n");
  const core::IniSectionReader section("s", file);
  for (const char* key : {"Empty", "Missing", "Key", "KEY", "Long"})
    EXPECT_EQ(section.read(key), core::ReadIni("S", key, file)) << key;
  EXPECT_EQ(core::IniSectionReader("S", program("missing.ini")).read("Key"), "");
}

// Writes made in one go leave the bytes the writes one by one leave.
TEST_F(Ini, WritesInOneGoLeaveTheBytesOfWritesOneByOne) {
  struct Write {
    const char* section;
    const char* key;
    std::string value;
  };
  const std::vector<Write> writes = {
      {"Settings", "Config1", "Monday"}, {"settings", "CONFIG1", "Tuesday"}, {"New", "Key", "v"},
      {"Settings", "Config2", ""},       {"Settings", "Bad", "a\r\nb"},      {"New", "Other", "w"},
      {"Dup", "Key", "first wins"},      {"Settings", "Config1", "Tuesday"},
  };
  const struct {
    const char* what;
    std::optional<std::string> start;  // nullopt: no file yet
  } cases[] = {
      {"no file", std::nullopt},
      {"an empty file", ""},
      {"a file with comments, duplicates and LF lines",
       "; kept\r\n[Dup]\r\nKey=1\r\n[Settings]\nConfig1 = Sunday\nOther=x\n[Dup]\r\nKey=2\r\n"},
  };
  for (const auto& c : cases) {
    const std::string one = program("one.ini"), all = program("all.ini");
    for (const std::string& file : {one, all}) {
      if (c.start) {
        machine->write(file, *c.start);
      } else if (machine->exists(file)) {
        machine->remove(file);
      }
    }
    core::IniWrites batch(all);
    for (const Write& w : writes) {
      EXPECT_EQ(batch.write(w.section, w.key, w.value), core::WriteIni(w.section, w.key, w.value, one))
          << c.what << ": " << w.key;
    }
    EXPECT_EQ(machine->exists(all), c.start.has_value()) << c.what;  // nothing written before the commit
    batch.commit();
    EXPECT_EQ(machine->read(all), machine->read(one)) << c.what;
  }
}

// The settings file's folder is missing: the run's write fails at its end.
TEST_F(Ini, WritesInOneGoFailWithTheErrorOfTheWrite) {
  core::IniWrites batch(program("Gone\\all.ini"));
  EXPECT_NE(batch.write("S", "Key", "v"), 0);
  try {
    batch.commit();
    ADD_FAILURE() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 76);
  }
}

class Folders : public CoreTest {};

TEST_F(Folders, MakepathCreatesOnlyTheFoldersBeforeASeparator) {
  core::Makepath("C:\\a\\b\\c");
  EXPECT_TRUE(platform::folderExists("C:\\a\\b"));
  EXPECT_FALSE(machine->exists("C:\\a\\b\\c"));
  machine->write("C:\\a\\keep.txt", "k");
  core::Makepath("C:\\a\\b\\c\\");
  EXPECT_TRUE(platform::folderExists("C:\\a\\b\\c"));
  EXPECT_EQ(machine->read("C:\\a\\keep.txt"), "k");
}

TEST_F(Folders, MakepathReportsAFolderThatCannotBeMade) {
  machine->write("C:\\file", "x");  // a file stands where a folder should: both levels fail
  dialogs->expect(" Makepath")
      .containing()
      .style(forms::vbCritical)
      .title(forms::loadResString(1005))
      .times(2);
  core::Makepath("C:\\file\\sub\\");
}

TEST_F(Folders, SubFoldersParentsFirstSorted) {
  machine->mkdirs("C:\\t\\b\\c\\");
  machine->mkdirs("C:\\t\\A\\");
  machine->mkdirs("C:\\empty\\");
  machine->write("C:\\t\\file.txt", "");
  EXPECT_EQ(core::subFolders("C:\\t"), (std::vector<std::string>{"C:\\t\\A", "C:\\t\\b", "C:\\t\\b\\c"}));
  EXPECT_TRUE(core::subFolders("C:\\empty\\").empty());
}

class Drives : public CoreTest {};

TEST_F(Drives, TypesOfEveryKind) {
  machine->setDrive('D', "Type", "5");
  machine->setDrive('E', "Type", "6");
  core::System s;
  EXPECT_EQ(s.DriveType("A:\\"), "Removable drive");
  EXPECT_EQ(s.DriveType("C:\\"), "Fixed drive");
  EXPECT_EQ(s.DriveType("N:\\"), "Network drive");
  EXPECT_EQ(s.DriveType("D:\\"), "CD-ROM drive");
  EXPECT_EQ(s.DriveType("E:\\"), "RAM-disk");
  EXPECT_EQ(s.DriveType("Q:\\"), "");
  std::int16_t removable = 1, fixed = 1, cd = 1, ram = 1, network = 1;  // counters are not reset
  s.Drives(removable, fixed, cd, ram, network);
  EXPECT_EQ(removable, 2);
  EXPECT_EQ(fixed, 2);
  EXPECT_EQ(cd, 2);
  EXPECT_EQ(ram, 2);
  EXPECT_EQ(network, 2);
}

TEST_F(Drives, LabelsSerialsAndEmptyDrives) {
  core::System s;
  platform::MediumSpec labelled;
  labelled.label = "SAVE#1";
  labelled.serial = 0x1A2B3C4D;
  machine->addMedium(labelled, 'A');
  EXPECT_EQ(s.VolumeLabel("A:\\"), "SAVE#1");
  EXPECT_EQ(s.SerialNumber("A:\\"), "1A2B-3C4D");
  platform::MediumSpec unlabelled;
  unlabelled.serial = 0xBEEF;
  machine->addMedium(unlabelled, 'A');
  EXPECT_EQ(s.VolumeLabel("A:\\"), "NoName");
  EXPECT_EQ(s.SerialNumber("A:\\"), "0000-BEEF");
  machine->eject('A');
  EXPECT_EQ(s.VolumeLabel("A:\\"), "");
  EXPECT_EQ(s.SerialNumber("A:\\"), "0000-0000");
  platform::chDir("C:\\WINDOWS");
  EXPECT_EQ(s.FastDiskSpace("A:"), 0);
  EXPECT_EQ(platform::curDir(), "C:\\WINDOWS");
  EXPECT_EQ(platform::currentDrive(), 'C');
}

TEST_F(Drives, SpaceClampsToTheLargestLong) {
  machine->setDrive('C', "Capacity", "8589934592");  // 8 GB
  core::System s;
  std::int32_t total = -1, free = -1;
  s.DriveInfo("C:\\", total, free);
  EXPECT_GT(total, 0);
  EXPECT_GE(free, 0);
  EXPECT_GE(s.FastDiskSpace("C:"), 0);
  s.DriveInfo("Q:\\", total, free);
  EXPECT_EQ(total, 0);
  EXPECT_EQ(free, 0);
}

class Runner : public CoreTest {};

TEST_F(Runner, HandsBackTheExitCodeAndRaisesForAMissingProgram) {
  machine->write(program("zip.exe"), "binary");
  platform::FakeProgram fake;
  fake.exitCode = 12;
  platform::installFakeProgram("zip.exe", fake);
  platform::chDir(coretest::kProgramFolder);
  EXPECT_EQ(core::ShellAndWait("zip.exe -r Conf1.kvz *.*"), 12);
  platform::clearFakePrograms();
  try {
    core::ShellAndWait("nothere.exe");
    ADD_FAILURE() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 53);
  }
}

}  // namespace
