// Staging on a machine: system files flat, user files below User\ with User.ini.
#include "save/staging.h"

#include <gtest/gtest.h>

#include "core/inifile.h"
#include "platform/files.h"
#include "save/boxes.h"
#include "support/save_fixture.h"
#include "windows/userfiles.h"

namespace save {
namespace {

const std::string kWork = "C:\\WINDOWS\\TEMP\\kelvaran\\";
const std::string kUser = kWork + "User\\";
const std::string kUserIni = kUser + "User.ini";

class Staging : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    machine().mkdirs(kUser);
  }
};

TEST_F(Staging, SystemFilesTickedAndEnabledAreCopiedLowerCase) {
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");
  machine().write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  machine().write("C:\\CONFIG.SYS", "files=40\r\n");
  Form1Box(2).setValue(1);  // Win.ini
  Form1Box(8).setValue(1);  // Autoexec.bat
  Form1Box(9).setValue(1);  // Config.sys, ticked but disabled
  Form1Box(9).setEnabled(false);
  const SystemStaging result = StageSystemFiles("C:\\WINDOWS", kWork, false);
  EXPECT_EQ(result.end, StagingEnd::Done);
  EXPECT_EQ(result.stagedBoxes, (std::set<int>{2, 8}));
  EXPECT_EQ(filesIn(kWork), (std::vector<std::string>{"User\\", "autoexec.bat", "win.ini"}));
  EXPECT_EQ(content(kWork + "win.ini"), "[windows]\r\n");
}

TEST_F(Staging, AMissingSystemFileIsNamedAndSkipped) {
  machine().remove("C:\\WINDOWS\\CONTROL.INI");
  machine().write("C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\n");
  Form1Box(4).setValue(1);  // Control.ini
  Form1Box(3).setValue(1);  // System.ini
  dialogs()
      .expect(
          "Control.ini File not found!\rFor possible reasons click on the 'Help' button.\r\rClick on 'OK' to "
          "continue")
      .style(forms::vbOKOnly + forms::vbCritical + forms::vbMsgBoxHelpButton + forms::vbDefaultButton2)
      .title("Warning!");
  dialogs().expect(
      "User File Control.ini not found!\rFor possible reasons click on the 'Help' button.\r\rClick on 'OK' "
      "to "
      "continue");
  EXPECT_EQ(StageSystemFiles("C:\\WINDOWS", kWork, false).stagedBoxes, (std::set<int>{3}));
  EXPECT_EQ(StageSystemFiles("C:\\WINDOWS", kWork, true).stagedBoxes, (std::set<int>{3}));
  EXPECT_NE(content("C:\\Program Files\\Kelvaran\\Error.log").find("Control.ini Save"), std::string::npos);
  EXPECT_EQ(dialogs().shown().at(0).helpContext, 2010);
}

TEST_F(Staging, UserFilesKeepTheirFoldersAndAreMapped) {
  machine().write("C:\\docs\\a.txt", "a");
  machine().write("N:\\docs\\a.txt", "d");
  auto& list = windows::UserFiles().List1;
  for (const char* item : {"C:\\docs\\a.txt", "N:\\docs\\a.txt", "C:\\DOCS\\A.TXT", "docs\\rel.txt",
                           "C:\\docs\\..\\a.txt", "C:\\x=y.txt"})
    list.addItem(item);
  const UserStaging result = StageUserFiles(kUser, kUserIni);
  EXPECT_EQ(result.end, StagingEnd::Done);
  EXPECT_EQ(result.staged, 2);
  EXPECT_EQ(content(kUser + "docs\\a.txt"), "a");
  EXPECT_EQ(content(kUser + "_N\\docs\\a.txt"), "d");
  EXPECT_EQ(core::ReadIni("UserFilesSaved", "C:\\docs\\a.txt", kUserIni), kUser + "docs\\a.txt");
  EXPECT_EQ(core::ReadIni("UserFilesSaved", "N:\\docs\\a.txt", kUserIni), kUser + "_N\\docs\\a.txt");
  // The bytes of one profile write per copy.
  EXPECT_EQ(content(kUserIni), "[UserFilesSaved]\r\nC:\\docs\\a.txt=" + kUser +
                                   "docs\\a.txt\r\nN:\\docs\\a.txt=" + kUser + "_N\\docs\\a.txt\r\n");
  // Items that cannot be staged stay in the list and are logged.
  EXPECT_EQ(list.listCount(), 6);
  const std::string log = content("C:\\Program Files\\Kelvaran\\Error.log");
  EXPECT_NE(log.find("docs\\rel.txt Save"), std::string::npos);
  EXPECT_NE(log.find("C:\\x=y.txt Save"), std::string::npos);
}

// A map larger than one piece of the write is the same bytes.
TEST_F(Staging, ALongUserIniIsTheBytesOfOneWritePerCopy) {
  auto& list = windows::UserFiles().List1;
  std::string expected = "[UserFilesSaved]\r\n";
  const std::string folder = "C:\\Documents of a user with a long folder name\\";
  for (int i = 0; i < 700; ++i) {
    const std::string item = folder + "Letter number " + std::to_string(i) + " written to a friend.txt";
    machine().write(item, "x");
    list.addItem(item);
    expected += item + "=" + kUser + item.substr(3) + "\r\n";
  }
  ASSERT_GT(expected.size(), 2u * 64 * 1024);
  EXPECT_EQ(StageUserFiles(kUser, kUserIni).staged, 700);
  EXPECT_EQ(content(kUserIni), expected);
}

// Many items, some listed twice in another case, and an item whose own
// place an earlier copy from another drive took.
TEST_F(Staging, EachFileIsStagedOnceAndNoCopyTakesAnothersPlace) {
  auto& list = windows::UserFiles().List1;
  std::string expected = "[UserFilesSaved]\r\n";
  for (int i = 0; i < 1500; ++i) {
    const std::string item = "C:\\Mail\\Letter " + std::to_string(i) + ".txt";
    machine().write(item, "x");
    list.addItem(item);
    expected += item + "=" + kUser + item.substr(3) + "\r\n";
    if (i % 3 == 0) list.addItem("c:\\MAIL\\letter " + std::to_string(i) + ".TXT");
  }
  machine().write("N:\\Mail\\Letter 7.txt", "n");
  machine().write("C:\\_N\\Mail\\Letter 7.txt", "c");
  list.addItem("N:\\Mail\\Letter 7.txt");
  list.addItem("C:\\_N\\Mail\\Letter 7.txt");
  list.addItem("n:\\mail\\letter 7.txt");
  expected += "N:\\Mail\\Letter 7.txt=" + kUser + "_N\\Mail\\Letter 7.txt\r\n";
  expected += "C:\\_N\\Mail\\Letter 7.txt=" + kUser + "_C\\_N\\Mail\\Letter 7.txt\r\n";
  EXPECT_EQ(StageUserFiles(kUser, kUserIni).staged, 1502);
  EXPECT_EQ(content(kUserIni), expected);
  EXPECT_EQ(content(kUser + "_N\\Mail\\Letter 7.txt"), "n");
  EXPECT_EQ(content(kUser + "_C\\_N\\Mail\\Letter 7.txt"), "c");
}

TEST_F(Staging, UnreadableUserFilesAreAskedAboutOneByOne) {
  machine().write("C:\\docs\\c.txt", "c");
  auto& list = windows::UserFiles().List1;
  for (const char* item : {"C:\\docs\\a.txt", "C:\\docs\\b.txt", "C:\\docs\\c.txt"}) list.addItem(item);
  const std::string tail = "\rKelvaran removes the file from the User File List.";
  dialogs()
      .expect("The following file was not found and can't be saved:\rC:\\docs\\a.txt" + tail)
      .style(forms::vbOKCancel + forms::vbCritical)
      .title("Warning!")
      .answer(forms::vbOK);
  dialogs()
      .expect("The following file was not found and can't be saved:\rC:\\docs\\b.txt" + tail)
      .answer(forms::vbOK);
  const UserStaging result = StageUserFiles(kUser, kUserIni);
  EXPECT_EQ(result.end, StagingEnd::Done);
  EXPECT_EQ(result.staged, 1);
  ASSERT_EQ(list.listCount(), 1);
  EXPECT_EQ(list.list(0), "C:\\docs\\c.txt");
  EXPECT_EQ(content(kUserIni), "[UserFilesSaved]\r\nC:\\docs\\c.txt=" + kUser + "docs\\c.txt\r\n");
}

TEST_F(Staging, CancelAtAMissingUserFileEndsTheStaging) {
  machine().write("C:\\docs\\b.txt", "b");
  auto& list = windows::UserFiles().List1;
  list.addItem("C:\\docs\\a.txt");
  list.addItem("C:\\docs\\b.txt");
  dialogs().expect("The following file was not found").containing().answer(forms::vbCancel);
  EXPECT_EQ(StageUserFiles(kUser, kUserIni).end, StagingEnd::Cancelled);
  EXPECT_FALSE(machine().exists(kUser + "docs\\b.txt"));
}

TEST_F(Staging, AFullDiskEndsTheStagingWithOneMessage) {
  machine().write("C:\\docs\\big.bin", std::string(200000, 'x'));
  machine().write("C:\\docs\\b.txt", "b");
  machine().setDrive('C', "Capacity",
                     std::to_string(platform::totalBytes("C:\\") - platform::freeBytes("C:\\") + 4096));
  auto& list = windows::UserFiles().List1;
  list.addItem("C:\\docs\\big.bin");
  list.addItem("C:\\docs\\b.txt");
  dialogs().expect("Not enough free disk space!").style(forms::vbOKOnly + forms::vbCritical).title("Message");
  EXPECT_EQ(StageUserFiles(kUser, kUserIni).end, StagingEnd::DiskFull);
  EXPECT_EQ(list.listCount(), 2);
}

}  // namespace
}  // namespace save
