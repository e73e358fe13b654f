// The rescue snapshot Configd.kvz: its command line, its entries on Windows 98
// and Windows Me, the old archive and a left-over working folder, a failing
// zip, and the refusal while a restore waits for the restart.
#include "rescue/snapshot.h"

#include "core/state.h"
#include "platform/process.h"
#include "support/rescue_fixture.h"
#include "windows/form1.h"
#include "windows/selwiz.h"

namespace {

using namespace rescuetest;

class Snapshot : public RescueTest {};

const std::vector<std::string>& kDemoFiles = demoSnapshotFiles();

TEST(SnapshotCommand, LevelTrimmedNothingQuoted) {
  struct Case {
    const char* level;
    const char* temp;
    const char* line;
  } cases[] = {
      {"1", "C:\\WINDOWS\\TEMP\\", "zip.exe -1gqouS Configd.kvz C:\\WINDOWS\\TEMP\\kelvaran\\*.*"},
      {" 5", "C:\\TEMP\\", "zip.exe -5gqouS Configd.kvz C:\\TEMP\\kelvaran\\*.*"},
      {"9 ", "D:\\T\\", "zip.exe -9gqouS Configd.kvz D:\\T\\kelvaran\\*.*"},
  };
  for (const auto& c : cases) EXPECT_EQ(rescue::SnapshotCommandLine(c.level, c.temp), c.line) << c.level;
}

TEST_F(Snapshot, PacksTheSystemFilesOfThisMachineAndRemovesTheWorkingFolder) {
  machine.write("C:\\WINDOWS\\CLASSES.DAT", "not packed before Windows Me");
  windows::Form1().ProgressBar1.setValue(5);
  windows::Form1().ProgressBar2.setValue(40);
  core::state().CompressionLevel = " 5";

  ASSERT_TRUE(rescue::TakeSnapshot());

  EXPECT_EQ(entriesOf(kSnapshot), snapshotEntries(kDemoFiles));
  const auto runs = platform::processRuns();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].commandLine, "zip.exe -5gqouS Configd.kvz C:\\WINDOWS\\TEMP\\kelvaran\\*.*");
  EXPECT_EQ(runs[0].currentFolder, disktest::kProgram);
  EXPECT_FALSE(machine.exists("C:\\WINDOWS\\TEMP\\kelvaran"));
  EXPECT_FALSE(windows::SelWiz().loaded());
  EXPECT_EQ(windows::Form1().ProgressBar1.value(), 0);
  EXPECT_EQ(windows::Form1().ProgressBar2.value(), 0);
  // The three files this machine does not have are logged, one line each.
  const std::string log = errorLog();
  for (const char* name : {"dblspace.ini", "drvspace.ini"})
    EXPECT_NE(log.find(std::string(name) + " Wizard Configuration Save"), std::string::npos) << name;
  EXPECT_EQ(log.find("Classes.dat"), std::string::npos);
}

TEST_F(Snapshot, WindowsMeAddsClassesDat) {
  setWindowsVersion("4.90.3000");
  machine.write("C:\\WINDOWS\\CLASSES.DAT", "classes");
  ASSERT_TRUE(rescue::TakeSnapshot());
  auto files = kDemoFiles;
  files.push_back("classes.dat");
  EXPECT_EQ(entriesOf(kSnapshot), snapshotEntries(files));
}

TEST_F(Snapshot, ReplacesAnOldArchiveAndIgnoresLeftoversOfTheWorkingFolder) {
  machine.write(kSnapshot, "an old archive that must not be extended");
  machine.write("C:\\WINDOWS\\TEMP\\kelvaran\\stale.txt", "left by an interrupted save");
  machine.write("C:\\WINDOWS\\TEMP\\kelvaran\\User\\docs\\a.txt", "user file");
  ASSERT_TRUE(rescue::TakeSnapshot());
  EXPECT_EQ(entriesOf(kSnapshot), snapshotEntries(kDemoFiles));
  EXPECT_FALSE(machine.exists("C:\\WINDOWS\\TEMP\\kelvaran"));
}

TEST_F(Snapshot, AFailingZipLeavesNoArchiveAndSaysSo) {
  struct Case {
    const char* what;
    int exitCode;
  } cases[] = {
      {"exit code 16", 16},
      {"exit 0 without an archive", 0},
  };
  for (auto& c : cases) {
    machine.write(kSnapshot, "old");
    platform::FakeProgram fake;
    fake.exitCode = c.exitCode;
    platform::installFakeProgram("zip.exe", fake);
    dialogs().expect("Configd.kvz").containing().style(forms::vbCritical);
    EXPECT_FALSE(rescue::TakeSnapshot()) << c.what;
    EXPECT_FALSE(machine.exists(kSnapshot)) << c.what;
    EXPECT_FALSE(machine.exists("C:\\WINDOWS\\TEMP\\kelvaran")) << c.what;
    EXPECT_FALSE(windows::SelWiz().loaded());
  }
}

// Refused while Wininit.ini takes restored files out of the working folder,
// by its long or its 8.3 path.
TEST_F(Snapshot, RefusedWhileARestoreWaitsForTheRestart) {
  struct Case {
    const char* what;
    std::string tempDir, source;
  } cases[] = {
      {"the long path", "C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\TEMP\\kelvaran\\system.dat"},
      {"the 8.3 path", "C:\\WINDOWS\\Temporary Internet Stuff\\",
       "C:\\WINDOWS\\TEMPOR~1\\KELVARAN\\system.dat"},
  };
  for (auto& c : cases) {
    core::state().TempDir = c.tempDir;
    const std::string waiting = c.tempDir + "kelvaran\\system.dat";
    machine.write(waiting, "restored registry");
    machine.write("C:\\WINDOWS\\WININIT.INI", "[rename]\r\nC:\\WINDOWS\\SYSTEM.DAT=" + c.source + "\r\n");
    dialogs().expect(res(1078)).style(forms::vbOKOnly + forms::vbExclamation).title(res(1011));
    EXPECT_FALSE(rescue::TakeSnapshot()) << c.what;
    EXPECT_EQ(machine.read(waiting), "restored registry") << c.what;
    EXPECT_FALSE(machine.exists(kSnapshot));
    EXPECT_TRUE(platform::processRuns().empty());
    machine.remove("C:\\WINDOWS\\WININIT.INI");
  }
}

// A restore of this run that wrote no [rename] line (only the Start menu,
// say) leaves nothing waiting: the snapshot is made.
TEST_F(Snapshot, ARestoreThatNeedsNoRestartDoesNotStopIt) {
  core::state().RestorePending = true;
  EXPECT_FALSE(rescue::RestoreWaitsForRestart());
  EXPECT_TRUE(rescue::TakeSnapshot());
  EXPECT_TRUE(machine.exists(kSnapshot));
}

TEST_F(Snapshot, AWininitOfOtherFilesDoesNotStopIt) {
  machine.write("C:\\WINDOWS\\WININIT.INI",
                "[rename]\r\nNUL=C:\\WINDOWS\\OLD.DLL\r\n[other]\r\nx=C:\\WINDOWS\\TEMP\\KELVARAN\\A\r\n");
  EXPECT_FALSE(rescue::RestoreWaitsForRestart());
  EXPECT_TRUE(rescue::TakeSnapshot());
}

}  // namespace
