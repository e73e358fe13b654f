// The user files, Start menu and browser and mail groups put back from a
// real save of the demo machine, group by group.
#include "restore/group_restore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/process.h"
#include "restore/restore_boxes.h"
#include "restore/restore_engine.h"
#include "support/saved_groups.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kGroupFiles;
using restoretest::kUserFiles;
using restoretest::savedContent;

class GroupRestore : public restoretest::SavedGroupsTest {
 protected:
  StepEnd restoreGroups() {
    core::enterProgramFolder();
    return RestoreFileGroups(loadedConfiguration().SaveFolder, loadedConfiguration());
  }
};

TEST_F(GroupRestore, EachGroupComesBackAlone) {
  for (const auto& [file, box] : kGroupFiles) {
    for (const auto& [other, otherBox] : kGroupFiles) machine().write(other, "changed");
    for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
    ASSERT_TRUE(RestoreBox(box).enabled()) << file;
    RestoreBox(box).setValue(1);

    EXPECT_EQ(restoreGroups(), StepEnd::Continue);
    for (const auto& [other, otherBox] : kGroupFiles)
      EXPECT_EQ(content(other), otherBox == box ? savedContent(other) : "changed")
          << "box " << box << ": " << other;
  }
  EXPECT_TRUE(core::state().RestoreDone);
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), "changed");
}

TEST_F(GroupRestore, SelectedUserFilesComeBackTheOthersStayUntouched) {
  auto& list = windows::RestoreReq().List1;
  ASSERT_EQ(list.listCount(), 2);
  list.setSelected(1, true);  // Plan.txt only

  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  EXPECT_EQ(content(kUserFiles[0]), "changed");
  EXPECT_EQ(content(kUserFiles[1]), savedContent(kUserFiles[1]));
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran\\User"));
  for (const auto& [file, box] : kGroupFiles) EXPECT_EQ(content(file), "changed");
}

TEST_F(GroupRestore, WithoutANetscapeFolderTheNetscapeStepsAreSkipped) {
  loadedConfiguration().PathNetscape = "";
  for (int box : {10, 22, 23, 17}) RestoreBox(box).setValue(1);
  platform::clearProcessRuns();
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  for (const auto& [file, box] : kGroupFiles) EXPECT_EQ(content(file), "changed");
  EXPECT_TRUE(platform::processRuns().empty());
}

// Everything ticked: one unzip run per group, in order, each with its command
// line and with the status bar showing its step.
TEST_F(GroupRestore, EveryGroupRunsInOrderWithItsCommandLineAndStatus) {
  for (int box : {20, 18, 11, 19, 21, 10, 22, 23, 17}) RestoreBox(box).setValue(1);
  auto& list = windows::RestoreReq().List1;
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  std::vector<std::pair<std::string, std::string>> runs;  // command line, status
  platform::FakeProgram unzip;
  unzip.action = [&](const std::vector<std::string>& argv) {
    runs.emplace_back(core::state().ShellCommand, windows::Form1().StatusBar1.simpleText());
    return platform::runUnzip({argv.begin() + 1, argv.end()}).exitCode;
  };
  platform::installFakeProgram("Unzip32.exe", unzip);

  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  platform::clearFakePrograms();
  const std::string a = "Unzip32.exe -o \"C:\\SAVE\\Conf1";
  const std::string n = "Unzip32.exe -Cqo \"C:\\SAVE\\Conf1na.kvz\" ";
  const std::string wait = "Restore Configuration  Please wait...";
  EXPECT_EQ(runs, (std::vector<std::pair<std::string, std::string>>{
                      {a + "us.kvz\" -d C:\\", "Updating UserFiles"},
                      {a + "s.kvz\" -d C:\\", "Updating Start Menu"},
                      {a + "ma.kvz\" -d C:\\", "Updating Windows Addressbook..."},
                      {a + "mb.kvz\" -d C:\\", "Updating Bookmarks"},
                      {a + "mc.kvz\" -d C:\\", "Updating Cookies"},
                      {a + "mx.kvz\" -d C:\\", "Restoring Microsoft Files."},
                      {n + "*Bookmark.htm -d C:\\", "Restoring Netscape Files."},
                      {n + "*Cookies.txt -d C:\\", "Restoring Netscape Files."},
                      {n + "*Mail\\* -d C:\\", wait},
                      {a + "nw.kvz\" -d C:\\", wait},
                  }));
  for (const auto& [file, box] : kGroupFiles) EXPECT_EQ(content(file), savedContent(file)) << file;
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), savedContent(file)) << file;
  EXPECT_TRUE(core::state().RestoreDone);
}

// Each group's missing archive is named in the question with the group's own message.
TEST_F(GroupRestore, AMissingArchiveIsNamedWithItsGroupsMessage) {
  const struct {
    int box;  // 0: the user files
    const char* suffix;
    const char* message;
  } cases[] = {
      {0, "us", "Your User-defined Files can't be restored!"},
      {20, "s", "Your Start Menu can't be restored!"},
      {18, "ma", "Your Microsoft Windows Addressbook can't be restored!"},
      {11, "mb", "Your Microsoft Internet Explorer Bookmarks can't be restored!"},
      {19, "mc", "Your Microsoft Internet Explorer Cookies can't be restored!"},
      {21, "mx", "Your Microsoft Outlook Express Mailbox can't be restored!"},
      {10, "na", "Your Netscape Navigator Bookmarks can't be restored!"},
      {22, "na", "Your Netscape Navigator Cookies can't be restored!"},
      {23, "na", "Your Netscape Messenger Mailbox can't be restored!"},
      {17, "nw", "Your Netscape Messenger Mailbox can't be restored!"},
  };
  auto& list = windows::RestoreReq().List1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string archive = std::string("C:\\SAVE\\Conf1") + c.suffix + ".kvz";
    const std::string kept = machine().read(archive);
    machine().remove(archive);
    for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
    list.setSelected(0, c.box == 0);
    if (c.box) RestoreBox(c.box).setValue(1);
    dialogs()
        .expect("File not found!\r\"" + archive + "\"\r" + c.message +
                "\r\rWould you continue to restore the remaining files?")
        .style(forms::vbYesNo + forms::vbCritical + forms::vbDefaultButton2)
        .title("Warning!")
        .answer(forms::vbYes);
    EXPECT_EQ(restoreGroups(), StepEnd::Continue);
    dialogs().verify();
    machine().write(archive, kept);
  }
  EXPECT_FALSE(core::state().RestoreDone);
}

TEST_F(GroupRestore, AMissingArchiveAsksWhetherToGoOn) {
  machine().remove("C:\\SAVE\\Conf1s.kvz");
  RestoreBox(20).setValue(1);
  RestoreBox(11).setValue(1);
  const std::string question =
      "File not found!\r\"C:\\SAVE\\Conf1s.kvz\"\rYour Start Menu can't be restored!\r\rWould you continue "
      "to restore "
      "the remaining files?";
  dialogs()
      .expect(question)
      .style(forms::vbYesNo + forms::vbCritical + forms::vbDefaultButton2)
      .title("Warning!")
      .answer(forms::vbYes);
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  EXPECT_EQ(content("C:\\WINDOWS\\Favorites\\Links\\Home.url"),
            savedContent("C:\\WINDOWS\\Favorites\\Links\\Home.url"));

  machine().write("C:\\WINDOWS\\Favorites\\Links\\Home.url", "changed");
  dialogs().expect(question).answer(forms::vbNo);
  EXPECT_EQ(restoreGroups(), StepEnd::Abort);
  EXPECT_EQ(content("C:\\WINDOWS\\Favorites\\Links\\Home.url"), "changed");
}

// A failed unzip run is no success.
TEST_F(GroupRestore, AFailedRunIsReportedNotCounted) {
  platform::FakeProgram broken;
  broken.exitCode = 2;
  platform::installFakeProgram("Unzip32.exe", broken);
  RestoreBox(20).setValue(1);
  dialogs()
      .expect("Your Start Menu can't be restored!")
      .style(forms::vbOKOnly + forms::vbCritical)
      .title("Warning!");
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  EXPECT_FALSE(core::state().RestoreDone);
}

// unzip's warning exit (1) counts only when the run put back what it was to:
// every group, the user files included, whose run warned and wrote nothing
// is reported and not counted; a warning run that wrote every member is.
TEST_F(GroupRestore, AWarningRunCountsOnlyWhenItsMembersAreBack) {
  const struct {
    int box;  // 0: the user files
    const char* message;
  } cases[] = {
      {0, "Your User-defined Files can't be restored!"},
      {20, "Your Start Menu can't be restored!"},
      {18, "Your Microsoft Windows Addressbook can't be restored!"},
      {11, "Your Microsoft Internet Explorer Bookmarks can't be restored!"},
      {19, "Your Microsoft Internet Explorer Cookies can't be restored!"},
      {21, "Your Microsoft Outlook Express Mailbox can't be restored!"},
      {10, "Your Netscape Navigator Bookmarks can't be restored!"},
      {22, "Your Netscape Navigator Cookies can't be restored!"},
      {23, "Your Netscape Messenger Mailbox can't be restored!"},
      {17, "Your Netscape Messenger Mailbox can't be restored!"},
  };
  auto& list = windows::RestoreReq().List1;
  platform::FakeProgram idle;
  idle.exitCode = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    platform::installFakeProgram("Unzip32.exe", idle);
    for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
    list.setSelected(0, c.box == 0);
    if (c.box) RestoreBox(c.box).setValue(1);
    core::state().RestoreDone = false;
    dialogs().expect(c.message).style(forms::vbOKOnly + forms::vbCritical).title("Warning!");
    EXPECT_EQ(restoreGroups(), StepEnd::Continue);
    dialogs().verify();
    EXPECT_FALSE(core::state().RestoreDone);
  }
  for (const auto& [file, box] : kGroupFiles) EXPECT_EQ(content(file), "changed") << file;

  // A member written short of its size is not back either.
  platform::FakeProgram truncating;
  truncating.action = [&](const std::vector<std::string>& argv) {
    platform::runUnzip({argv.begin() + 1, argv.end()});
    machine().write("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk", "");
    return 1;
  };
  platform::installFakeProgram("Unzip32.exe", truncating);
  for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
  list.setSelected(0, false);
  RestoreBox(20).setValue(1);
  dialogs().expect("Your Start Menu can't be restored!");
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  dialogs().verify();
  EXPECT_FALSE(core::state().RestoreDone);

  platform::FakeProgram warning;
  warning.action = [](const std::vector<std::string>& argv) {
    return platform::runUnzip({argv.begin() + 1, argv.end()}).exitCode == 0 ? 1 : 2;
  };
  platform::installFakeProgram("Unzip32.exe", warning);
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  platform::clearFakePrograms();
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_EQ(content("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk"),
            savedContent("C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk"));
}

// A user file counts only when it is back: one whose copy cannot be written
// over a read-only file is logged and the run reports no full success.
TEST_F(GroupRestore, AUserFileThatIsNotWrittenBackIsNoSuccess) {
  auto& list = windows::RestoreReq().List1;
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  machine().setAttributes(kUserFiles[1], 1);
  dialogs().expect("Nothing restored or a error occurred while restoring.");
  RestoreConfiguration();
  dialogs().verify();
  EXPECT_EQ(content(kUserFiles[0]), savedContent(kUserFiles[0]));
  EXPECT_EQ(content(kUserFiles[1]), "changed");
  const std::vector<std::string> log = restoretest::errorLogLines(machine());
  EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& line) {
    return line.find(kUserFiles[1] + " User file Restore") != std::string::npos;
  }));
}

// A Start menu folder from the description that is no place on this machine.
TEST_F(GroupRestore, AnUnusableFolderMakesTheGroupNotRestorable) {
  for (const std::string& folder : {std::string("Q:\\Start Menu\\"), std::string("C:\\Start\" -d \"X:\\")}) {
    loadedConfiguration().PathStartmenue = folder;
    RestoreBox(20).setValue(1);
    dialogs()
        .expect("Your Start Menu can't be restored!\r\rWould you continue to restore the remaining files?")
        .answer(forms::vbYes);
    EXPECT_EQ(restoreGroups(), StepEnd::Continue);
    EXPECT_FALSE(core::state().RestoreDone);
  }
}

// A group folder spelled with ".." is another spelling of the drive root: an
// archive of root and Windows files is not let through as that group's.
TEST_F(GroupRestore, AFolderSpelledWithDotDotDoesNotEscapeItsGroup) {
  machine().write("C:\\AUTOEXEC.BAT", "evil\r\n");
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nevil=1\r\n");
  const struct {
    int box;
    std::string suffix, message;
    std::string LoadedConfiguration::*folder;
    std::string spelling;
  } cases[] = {
      {20, "s", "Your Start Menu can't be restored!", &LoadedConfiguration::PathStartmenue,
       "C:\\WINDOWS\\..\\"},
      {11, "mb", "Your Microsoft Internet Explorer Bookmarks can't be restored!",
       &LoadedConfiguration::PathFavorites, "C:\\WINDOWS\\.\\..\\"},
      {17, "nw", "Your Netscape Messenger Mailbox can't be restored!", &LoadedConfiguration::PathNetscape,
       "C:\\WINDOWS\\.."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    const std::string archive = "C:\\SAVE\\Conf1" + c.suffix + ".kvz";
    machine().remove(archive);
    ASSERT_EQ(platform::runZip({"-q", archive, "C:\\AUTOEXEC.BAT", "C:\\WINDOWS\\WIN.INI"}).exitCode, 0);
    machine().write("C:\\AUTOEXEC.BAT", "mine\r\n");
    machine().write("C:\\WINDOWS\\WIN.INI", "mine\r\n");
    loadedConfiguration().*c.folder = c.spelling;
    for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
    RestoreBox(c.box).setValue(1);
    core::state().RestoreDone = false;
    dialogs()
        .expect(c.message + "\r\rWould you continue to restore the remaining files?")
        .answer(forms::vbYes);
    EXPECT_EQ(restoreGroups(), StepEnd::Continue);
    dialogs().verify();
    EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "mine\r\n");
    EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "mine\r\n");
    EXPECT_FALSE(core::state().RestoreDone);
  }
}

// An archive whose members reach outside the group's folder is not unpacked.
TEST_F(GroupRestore, AnArchiveReachingOutsideItsFolderIsRefused) {
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");
  machine().remove("C:\\SAVE\\Conf1mb.kvz");
  ASSERT_EQ(platform::runZip({"-q", "C:\\SAVE\\Conf1mb.kvz", "C:\\WINDOWS\\Favorites\\Links\\Home.url",
                              "C:\\WINDOWS\\WIN.INI"})
                .exitCode,
            0);
  machine().write("C:\\WINDOWS\\WIN.INI", "mine");
  RestoreBox(11).setValue(1);
  dialogs()
      .expect(
          "Your Microsoft Internet Explorer Bookmarks can't be restored!\r\rWould you continue to restore "
          "the "
          "remaining files?")
      .answer(forms::vbYes);
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "mine");
  EXPECT_EQ(content("C:\\WINDOWS\\Favorites\\Links\\Home.url"), "changed");
}

}  // namespace
}  // namespace restore

namespace restore {
namespace {

// The working folder on another drive: the user files are unpacked there and
// found through User.ini all the same.
class GroupRestoreTempElsewhere : public GroupRestore {
 protected:
  void SetUp() override {
    tempDir = "N:\\TEMP\\";
    GroupRestore::SetUp();
  }
};

TEST_F(GroupRestoreTempElsewhere, UserFilesComeBackThroughTheWorkingFolderOnItsDrive) {
  auto& list = windows::RestoreReq().List1;
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), savedContent(file));
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_FALSE(machine().exists("N:\\TEMP\\kelvaran\\User"));
  EXPECT_FALSE(machine().exists("C:\\TEMP\\kelvaran"));
}

}  // namespace
}  // namespace restore

namespace restore {
namespace {

// A configuration saved on a machine whose temporary folder was another (a
// copy from another machine): its user files still come back.
class GroupRestoreSavedWithOtherTemp : public GroupRestore {
 protected:
  void SetUp() override {
    tempDir = "C:\\WIN98\\TEMP\\";
    GroupRestore::SetUp();
    core::state().TempDir = "C:\\WINDOWS\\TEMP\\";
    machine().mkdirs("C:\\WINDOWS\\TEMP\\");
  }
};

TEST_F(GroupRestoreSavedWithOtherTemp, UserFilesComeBackThroughThisMachinesWorkingFolder) {
  auto& list = windows::RestoreReq().List1;
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  EXPECT_EQ(restoreGroups(), StepEnd::Continue);
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), savedContent(file));
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran\\User"));
  EXPECT_FALSE(machine().exists("C:\\WIN98\\TEMP\\kelvaran\\User"));
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran\\Unpack"));
}

}  // namespace
}  // namespace restore
