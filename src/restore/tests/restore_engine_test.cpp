// The restore run on a demo machine: a slot saved, files changed, the slot
// restored: root files at once, the Windows-folder files through Wininit.ini
// and the restart; and the runs that must not report success or restart.
#include "restore/restore_engine.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/process.h"
#include "platform/restart.h"
#include "restore/load_cini.h"
#include "restore/restore_boxes.h"
#include "restore/restorereq_dialog.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "support/restore_fixture.h"
#include "windows/form1.h"
#include "windows/reboot.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kProgram;

const std::string kRestartQuestion =
    "Your system will be restarted after the Restore Process.\r \rPlease save and close all open files "
    "before "
    "continuing.\r\rContinue Restore Operation?";
const std::string kRestored = "Files successfully restored";
const std::string kNothing = "Nothing restored or a error occurred while restoring.";
const std::string kWininit = "C:\\WINDOWS\\WININIT.INI";

class RestoreEngine : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    static const bool bound = (bindRestoreReq(), true);
    (void)bound;
    platform::clearRestartRequests();
    platform::setRestartRefused(false);
    platform::setRestartHooks({[this] {
                                 ++closes;
                                 if (atClose) atClose();
                               },
                               [this] { ++ends; }});
    machine().write("C:\\WINDOWS\\SYSTEM.INI", "[boot]\r\nshell=Explorer.exe\r\n");
    machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nload=\r\n");
    machine().write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  }
  void TearDown() override {
    platform::setRestartHooks({});
    platform::setRestartRefused(false);
    windows::Reboot().hide();
    RestoreTest::TearDown();
  }

  // Saves slot 1 with Autoexec.bat, Win.ini, System.ini and Msdos.sys.
  void saveSlot() {
    for (int box : {8, 2, 3, 10}) save::Form1Box(box).setValue(1);
    prepareSlot(1, "Before");
    dialogs().expect(savetest::kSavedMessage);
    save::SaveConfiguration();
    ASSERT_TRUE(core::state().SaveSucceeded);
  }
  // Reads slot 1 into the dialog and ticks `boxes`.
  void choose(std::initializer_list<int> boxes) {
    core::state().CurrentConfig = 0;
    LoadCINI();
    for (int box : boxes) RestoreBox(box).setValue(1);
  }
  // Slot 1 saved and its Win.ini restored, the restart refused.
  void restoreWinIniWithTheRestartRefused() {
    saveSlot();
    choose({9});
    platform::setRestartRefused(true);
    dialogs().expect(kRestartQuestion).answer(forms::vbYes);
    dialogs().expect(kRestored);
    RestoreConfiguration();
  }
  std::vector<std::string> restoreLogLines() {
    std::vector<std::string> lines;
    const std::string log = content(kProgram + "Error.log");
    for (std::size_t at = log.find("Restore"); at != std::string::npos; at = log.find("Restore", at + 1))
      lines.push_back(log.substr(log.rfind('\n', at) + 1, log.find('\r', at) - log.rfind('\n', at) - 1));
    return lines;
  }

  int closes = 0;
  int ends = 0;
  std::function<void()> atClose;
};

TEST_F(RestoreEngine, PutsRootFilesBackAtOnceAndTheWindowsFilesThroughWininitAndTheRestart) {
  saveSlot();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  machine().write("C:\\WINDOWS\\WIN.INI", "changed\r\n");
  machine().write("C:\\WINDOWS\\SYSTEM.INI", "changed\r\n");
  machine().setAttributes("C:\\MSDOS.SYS", 0);
  choose({1, 9, 7, 4});

  std::string rootAtRestart, winiAtRestart, wininitAtRestart;
  atClose = [&] {
    rootAtRestart = content("C:\\AUTOEXEC.BAT");
    winiAtRestart = content("C:\\WINDOWS\\WIN.INI");
    wininitAtRestart = content(kWininit);
  };
  dialogs()
      .expect(kRestartQuestion)
      .style(forms::vbYesNo + forms::vbCritical + forms::vbDefaultButton2)
      .title("Warning!")
      .answer(forms::vbYes);
  dialogs().expect(kRestored).style(forms::vbOKOnly).title("");
  RestoreConfiguration();

  EXPECT_EQ(rootAtRestart, "@echo off\r\n");
  EXPECT_EQ(winiAtRestart, "changed\r\n");
  EXPECT_EQ(wininitAtRestart,
            "[rename]\r\n"
            "C:\\WINDOWS\\system.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\system.ini\r\n"
            "C:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\Win.ini\r\n");
  EXPECT_EQ(platform::restartRequests(), (std::vector<unsigned>{3}));
  EXPECT_EQ(closes, 1);
  // After the restart.
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "[windows]\r\nload=\r\n");
  EXPECT_EQ(content("C:\\WINDOWS\\SYSTEM.INI"), "[boot]\r\nshell=Explorer.exe\r\n");
  EXPECT_EQ(platform::getAttr("C:\\MSDOS.SYS") & 7, 7);
  // Each restored file keeps the name it had on disk, not the archive's lower case.
  for (const char* name :
       {"C:\\AUTOEXEC.BAT", "C:\\MSDOS.SYS", "C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\SYSTEM.INI"})
    EXPECT_EQ(platform::longPath(name), name);
  EXPECT_EQ(content("c:\\Restore.ini"), "Restore=1\r\n");
  EXPECT_EQ(core::ReadIni("SystemPathes", "SystemPath", kProgram + "kelvaran.ini"), "C:\\WINDOWS");
  EXPECT_TRUE(restoreLogLines().empty()) << restoreLogLines()[0];
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

// Empty root and Windows files are files all the same: they come back empty.
TEST_F(RestoreEngine, EmptySavedFilesComeBackEmpty) {
  machine().write("C:\\AUTOEXEC.BAT", "");
  machine().write("C:\\WINDOWS\\WIN.INI", "");
  saveSlot();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  machine().write("C:\\WINDOWS\\WIN.INI", "changed\r\n");
  choose({1, 9});
  std::string rootAtRestart = "unset";
  atClose = [&] { rootAtRestart = content("C:\\AUTOEXEC.BAT"); };
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect(kRestored);
  RestoreConfiguration();
  EXPECT_EQ(rootAtRestart, "");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "");
  EXPECT_TRUE(restoreLogLines().empty()) << restoreLogLines()[0];
}

// A ticked file the system archive does not give back (its Win.ini a folder,
// or no Win.ini, and no Autoexec.bat) is logged, and the run does not claim
// success; the files that did come back are still installed at the restart.
TEST_F(RestoreEngine, ATickedFileNotPutBackIsLoggedAndNoSuccess) {
  const std::string work = "C:\\WINDOWS\\TEMP\\kelvaran\\";
  const struct {
    const char* name;
    bool winIniFolder;
  } cases[] = {{"Win.ini a folder", true}, {"no Win.ini", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    machine().remove(kProgram + "Error.log");
    machine().remove(kWininit);
    machine().remove("C:\\SAVE\\Conf1.kvz");
    machine().write(work + "system.ini", "[boot]\r\nrestored=1\r\n");
    std::vector<std::string> sources{"-qr", "C:\\SAVE\\Conf1.kvz", work + "system.ini"};
    if (c.winIniFolder) {
      machine().write(work + "win.ini\\x.txt", "x");
      sources.push_back(work + "win.ini");
    }
    ASSERT_EQ(platform::runZip(sources).exitCode, 0);
    machine().remove("C:\\WINDOWS\\TEMP\\kelvaran");
    machine().write("C:\\WINDOWS\\SYSTEM.INI", "mine\r\n");
    machine().write("C:\\WINDOWS\\WIN.INI", "mine\r\n");
    machine().write("C:\\AUTOEXEC.BAT", "mine\r\n");
    writeDescription(1, {{"SystemFilesSaved", "Win.ini=1\r\nSystem.ini=1\r\nAutoexec.bat=1\r\n"}});
    choose({9, 7, 1});
    platform::clearRestartRequests();
    dialogs().expect(kRestartQuestion).answer(forms::vbYes);
    dialogs().expect(kNothing);
    RestoreConfiguration();
    dialogs().verify();
    EXPECT_EQ(platform::restartRequests(), (std::vector<unsigned>{3}));
    EXPECT_EQ(content("C:\\WINDOWS\\SYSTEM.INI"), "[boot]\r\nrestored=1\r\n");
    EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "mine\r\n");
    EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "mine\r\n");
    const std::vector<std::string> log = restoreLogLines();
    for (const char* file : {"Win.ini Restore", "Autoexec.bat Restore"})
      EXPECT_EQ(std::count_if(log.begin(), log.end(),
                              [&](const std::string& line) { return line.find(file) != std::string::npos; }),
                1)
          << file;
  }
}

// A replacement waiting for a restart that was refused stays until Windows
// has made it: neither a save nor a later restore, with or without a
// restart of its own, empties the copy its [rename] line names.
TEST_F(RestoreEngine, AReplacementStillPendingIsKeptUntilTheRestart) {
  restoreWinIniWithTheRestartRefused();
  const std::string copy = "C:\\WINDOWS\\TEMP\\kelvaran\\Win.ini";
  machine().write(copy, "pending\r\n");  // as another configuration's Win.ini would be
  core::state().RestorePending = false;  // the program started again, Windows not

  prepareSlot(2, "Later");
  dialogs().expect("Your system will be restarted after the Restore Process.");
  save::SaveConfiguration();
  dialogs().verify();
  EXPECT_FALSE(core::state().SaveSucceeded);
  EXPECT_EQ(content(copy), "pending\r\n");

  choose({});  // nothing ticked: no restart, the working folder cleared
  dialogs().expect(kNothing);
  RestoreConfiguration();
  dialogs().verify();
  EXPECT_EQ(content(copy), "pending\r\n");

  platform::setRestartRefused(false);
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  choose({1});  // the same archive's Win.ini is not unpacked over the pending one
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect(kRestored);
  RestoreConfiguration();
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "@echo off\r\n");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "pending\r\n");
}

TEST_F(RestoreEngine, AMissingSystemArchiveAnsweredYesRenamesNothingAndReportsNoSuccess) {
  saveSlot();
  machine().remove("C:\\SAVE\\Conf1.kvz");
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  choose({1, 9});
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs()
      .expect(
          "File not found!\r\"C:\\SAVE\\Conf1.kvz\"\rYour System Files can't be restored!\r\r"
          "Would you continue to restore the remaining files?")
      .style(276)
      .answer(forms::vbYes);
  dialogs().expect(kNothing);
  RestoreConfiguration();
  EXPECT_FALSE(machine().exists(kWininit));
  EXPECT_TRUE(platform::restartRequests().empty());
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "changed\r\n");
  EXPECT_FALSE(core::state().RestoreDone);
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran"));
}

TEST_F(RestoreEngine, AnsweringNoAtAMissingArchiveStopsTheRunAndGivesTheExitButtonBack) {
  saveSlot();
  machine().remove("C:\\SAVE\\Conf1.kvz");
  choose({9});
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect("File not found!").containing().answer(forms::vbNo);
  const std::string settings = content(kProgram + "kelvaran.ini");
  RestoreConfiguration();
  EXPECT_TRUE(windows::Form1().Command3.enabled());
  EXPECT_TRUE(platform::restartRequests().empty());
  EXPECT_EQ(content(kProgram + "kelvaran.ini"), settings);
}

TEST_F(RestoreEngine, DecliningTheRestartChangesNothing) {
  saveSlot();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  choose({1});
  dialogs().expect(kRestartQuestion).answer(forms::vbNo);
  RestoreConfiguration();
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "changed\r\n");
  EXPECT_FALSE(machine().exists(kWininit));
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

TEST_F(RestoreEngine, AWindowsFileStagedOnAnotherDriveIsToldAsNotRestored) {
  saveSlot();
  machine().write("C:\\WINDOWS\\WIN.INI", "changed\r\n");
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  core::state().TempDir = "N:\\TEMP\\";
  choose({9, 1});
  bool wininitAtRestart = true;
  atClose = [&] { wininitAtRestart = machine().exists(kWininit); };
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  // Wininit.exe moves files only within one drive: a line from N: to C:
  // would be passed over at the restart, so none is written and the run
  // does not claim the file.
  dialogs().expect(kNothing);
  RestoreConfiguration();
  EXPECT_FALSE(wininitAtRestart);
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "changed\r\n");
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "@echo off\r\n");
  EXPECT_NE(content(kProgram + "Error.log").find("Win.ini Restore"), std::string::npos);
  EXPECT_FALSE(machine().exists("N:\\TEMP\\kelvaran\\Unpack"));
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran\\win.ini"));
}

TEST_F(RestoreEngine, ARefusedRestartLeavesTheProgramRunning) {
  restoreWinIniWithTheRestartRefused();
  EXPECT_EQ(platform::restartRequests(), (std::vector<unsigned>{3}));
  EXPECT_EQ(closes + ends + programEnds, 0);
  EXPECT_FALSE(windows::Reboot().visible());
  EXPECT_TRUE(windows::Form1().Command3.enabled());
  // Windows' next start still installs the file.
  EXPECT_TRUE(content(kWininit).find("Win.ini=") != std::string::npos);
}

TEST_F(RestoreEngine, MembersPointingOutsideTheWorkingFolderAreNotUnpacked) {
  // A system archive that also holds C:\WINDOWS\WIN.INI under its own name.
  machine().write("C:\\WINDOWS\\TEMP\\kelvaran\\win.ini", "[windows]\r\nrestored=1\r\n");
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nevil=1\r\n");
  ASSERT_EQ(platform::runZip(
                {"-q", "C:\\SAVE\\Conf1.kvz", "C:\\WINDOWS\\TEMP\\kelvaran\\win.ini", "C:\\WINDOWS\\WIN.INI"})
                .exitCode,
            0);
  machine().remove("C:\\WINDOWS\\TEMP\\kelvaran");
  machine().write("C:\\WINDOWS\\WIN.INI", "mine\r\n");
  writeDescription(1, {{"SystemFilesSaved", "Win.ini=1\r\n"}});
  choose({9});
  std::string winiAtRestart;
  atClose = [&] { winiAtRestart = content("C:\\WINDOWS\\WIN.INI"); };
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect(kRestored);
  RestoreConfiguration();
  EXPECT_EQ(winiAtRestart, "mine\r\n");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "[windows]\r\nrestored=1\r\n");
}

TEST_F(RestoreEngine, AFailedWininitWriteStopsBeforeAnyFileIsPutBack) {
  saveSlot();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  machine().write(kWininit, "[rename]\r\n");
  machine().setAttributes(kWininit, 1);
  choose({1, 9});
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect("An error occurs while restoring. Restoring canceled.");
  RestoreConfiguration();
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "changed\r\n");
  EXPECT_EQ(content(kWininit), "[rename]\r\n");
  EXPECT_TRUE(platform::restartRequests().empty());
  EXPECT_FALSE(core::state().RestoreDone);
  EXPECT_TRUE(windows::Form1().Command3.enabled());
  EXPECT_EQ(restoreLogLines().size(), 1u);
}

// A failed run, and a run that only warned (exit code 1) but put nothing back.
TEST_F(RestoreEngine, AFailingUnzipIsNoSuccess) {
  saveSlot();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  for (const int exitCode : {2, 1}) {
    SCOPED_TRACE(exitCode);
    choose({9, 1});
    platform::FakeProgram failing;
    failing.exitCode = exitCode;
    platform::installFakeProgram("Unzip32.exe", failing);
    dialogs().expect(kRestartQuestion).answer(forms::vbYes);
    dialogs().expect("Your System Files can't be restored!");
    dialogs().expect(kNothing);
    RestoreConfiguration();
    dialogs().verify();
    EXPECT_FALSE(machine().exists(kWininit));
    EXPECT_TRUE(platform::restartRequests().empty());
    EXPECT_FALSE(core::state().RestoreDone);
    EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "changed\r\n");
  }
}

// The system archive is unpacked by the one command line of a normal
// restore, with the program folder (where Unzip32.exe lies) as current folder.
TEST_F(RestoreEngine, TheSystemArchiveIsUnpackedByItsCommandLineFromTheProgramFolder) {
  saveSlot();
  choose({9});
  platform::clearProcessRuns();
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect(kRestored);
  RestoreConfiguration();
  std::vector<std::pair<std::string, std::string>> unzips;
  for (const auto& run : platform::processRuns())
    if (run.commandLine.starts_with("Unzip32.exe")) unzips.emplace_back(run.commandLine, run.currentFolder);
  EXPECT_EQ(
      unzips,
      (std::vector<std::pair<std::string, std::string>>{
          {"Unzip32.exe -qo \"C:\\SAVE\\Conf1.kvz\" -d c:\\", kProgram.substr(0, kProgram.size() - 1)}}));
}

// A root file is replaced whole or not at all: when its new copy cannot be
// made or the swap fails, the original stays; once put back (the restart
// follows, the working folder stays for it), neither the staged copy nor a
// scratch name is left.
TEST_F(RestoreEngine, ARootFileIsReplacedWholeOrNotAtAll) {
  const std::string staged = "C:\\WINDOWS\\TEMP\\kelvaran\\autoexec.bat";
  struct Case {
    const char* what;
    const char* blocker;  // a folder in the way of one step
    bool replaced;
  } cases[] = {
      {"the copy fails", "C:\\AUTOEXEC.KV$", false},
      {"the swap fails", "C:\\AUTOEXEC.KV~", false},
      {"nothing in the way", nullptr, true},
  };
  saveSlot();
  for (const Case& c : cases) {
    machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
    if (c.blocker) machine().mkdirs(c.blocker);
    choose({1});
    dialogs().expect(kRestartQuestion).answer(forms::vbYes);
    dialogs().expect("").anyText();
    RestoreConfiguration();
    dialogs().verify();
    EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), c.replaced ? "@echo off\r\n" : "changed\r\n") << c.what;
    EXPECT_TRUE(!c.replaced || !machine().exists(staged)) << c.what << ": the staged copy is left";
    for (const char* scratch : {"C:\\AUTOEXEC.KV$", "C:\\AUTOEXEC.KV~"}) {
      if (c.blocker && std::string(scratch) == c.blocker) continue;
      EXPECT_FALSE(machine().exists(scratch)) << c.what << ": " << scratch;
    }
    if (c.blocker) machine().remove(c.blocker);
  }
}

// A restart is asked for when something waits for it: a root file put back
// or a Windows file named in Wininit.ini; an unpack that changed nothing on
// the machine asks for none.
TEST_F(RestoreEngine, ARestartFollowsOnlyWhenSomethingWaitsForIt) {
  struct Case {
    const char* what;
    std::vector<int> boxes;
    bool restart;
  } cases[] = {
      {"a root file put back", {1}, true},
      {"a Windows file waiting in Wininit.ini", {9}, true},
      {"a box whose file was not saved", {2}, false},
  };
  saveSlot();
  for (const Case& c : cases) {
    platform::clearRestartRequests();
    if (machine().exists(kWininit)) machine().remove(kWininit);
    core::state().CurrentConfig = 0;
    LoadCINI();
    for (int box : c.boxes) RestoreBox(box).setValue(1);
    dialogs().expect(kRestartQuestion).answer(forms::vbYes);
    dialogs().expect("").anyText();
    RestoreConfiguration();
    dialogs().verify();
    EXPECT_EQ(platform::restartRequests(), c.restart ? std::vector<unsigned>{3} : std::vector<unsigned>{})
        << c.what;
    EXPECT_EQ(windows::Reboot().visible(), c.restart) << c.what;
    windows::Reboot().hide();
  }
}

// While the restore runs its Exit button is disabled, so the program cannot
// be ended half way; the end of the run gives it back.
TEST_F(RestoreEngine, TheExitButtonIsDisabledWhileTheRestoreRuns) {
  saveSlot();
  choose({9});
  std::vector<bool> exitDuringUnzips;
  platform::FakeProgram unzip;
  unzip.action = [&](const std::vector<std::string>& argv) {
    exitDuringUnzips.push_back(windows::Form1().Command3.enabled());
    return platform::runUnzip({argv.begin() + 1, argv.end()}).exitCode;
  };
  platform::installFakeProgram("Unzip32.exe", unzip);
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect("").anyText();
  RestoreConfiguration();
  platform::clearFakePrograms();
  EXPECT_EQ(exitDuringUnzips, (std::vector<bool>{false}));
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

// Files an earlier run left in the working folder are emptied out at the
// start: a stale copy is never put back, neither at once nor through
// Wininit.ini, in place of one the archive does not hold.
TEST_F(RestoreEngine, StaleCopiesInTheWorkingFolderAreNeverPutBack) {
  saveSlot();
  const std::string work = "C:\\WINDOWS\\TEMP\\kelvaran\\";
  machine().write(work + "config.sys", "stale config\r\n");
  machine().write(work + "control.ini", "stale control\r\n");
  machine().write("C:\\CONFIG.SYS", "mine\r\n");
  choose({2, 3, 9});  // Config.sys and Control.ini were not saved
  std::string wininitAtRestart;
  atClose = [&] { wininitAtRestart = content(kWininit); };
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect("").anyText();
  RestoreConfiguration();
  EXPECT_EQ(content("C:\\CONFIG.SYS"), "mine\r\n");
  EXPECT_NE(wininitAtRestart.find("Win.ini="), std::string::npos);
  EXPECT_EQ(wininitAtRestart.find("control.ini"), std::string::npos);
  EXPECT_FALSE(machine().exists(work + "config.sys"));
  EXPECT_FALSE(machine().exists(work + "control.ini"));
}

}  // namespace
}  // namespace restore
