// Rescue disk 1: MSDOS.SYS edited line by line, and the boot disk the
// wizard writes: its label, files, attributes and start files, the Windows 98
// first edition and Windows Me variants, a used disk refused, and the steps
// whose failure ends the program.
#include "rescue/boot_disk.h"

#include "core/state.h"
#include "platform/charcase.h"
#include "rescue/disk_steps.h"
#include "rescue/wizard.h"
#include "support/rescue_fixture.h"
#include "windows/wizzard.h"

namespace {

using namespace rescuetest;

TEST(EditMsDos, TurnsOffTheGraphicalStartAndTheLogoLineByLine) {
  struct Case {
    const char* what;
    const char* in;
    const char* out;
  } cases[] = {
      {"BootGUI off, Logo=0 before the first ';' line",
       "[Options]\r\nBootGUI=1\r\nWinVer=4.10.2222\r\n;\r\n;The following lines\r\n",
       "[Options]\r\nBootGUI=0\r\nWinVer=4.10.2222\r\nLogo=0\r\n;\r\n;The following lines\r\n"},
      {"an existing Logo line is replaced, no extra line", "[Options]\r\nLogo=1\r\nBootGUI=1\r\n;\r\n",
       "[Options]\r\nLogo=0\r\nBootGUI=0\r\n;\r\n"},
      {"every ';' line before a Logo line gets its own", ";\r\n;\r\nLogo=1\r\n;\r\n",
       "Logo=0\r\n;\r\nLogo=0\r\n;\r\nLogo=0\r\n;\r\n"},
      {"other lines stay byte for byte: commas, blanks, quotes, LF ends",
       "[Paths]\r\n  WinDir=C:\\WINDOWS, \"x,y\"\nBootMulti=1\r\n",
       "[Paths]\r\n  WinDir=C:\\WINDOWS, \"x,y\"\nBootMulti=1\r\n"},
      {"a last line without its line end keeps it so", "BootGUI=1\r\n;", "BootGUI=0\r\nLogo=0\r\n;"},
      {"the search is case-sensitive", "bootgui=1\r\nlogo=1\r\n", "bootgui=1\r\nlogo=1\r\n"},
      {"an empty file stays empty", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(rescue::EditMsDosText(c.in), c.out) << c.what;
}

class BootDisk : public RescueTest {
 protected:
  // Presses Next on the blank-disk page with the disk `first` in A: and lets the
  // wizard go on to disk 2 (an empty disk) until its message about disk 2.
  void writeBootDisk(const std::string& second) {
    toBlankDiskPage();
    expectFormatAndBootDisk(second);
    dialogs().expect(res(1072) + " 2").title("");  // data disk done: label it No. 2
    dialogs().expect(res(1073)).containing();
    windows::Wizzard().Command2.click();
  }
};

TEST_F(BootDisk, WritesABootableDiskThatStartsTheRestoreModuleFromDisk2) {
  const std::string first = floppy("", {}, true);
  const std::string second = floppy("");
  writeBootDisk(second);

  EXPECT_EQ(labelOf(first), "Boot#1");
  const std::vector<std::pair<std::string, int>> expected{
      {"Msdos.sys", 7},  {"io.sys", 7},      {"command.com", 32}, {"drvspace.bin", 7},
      {"Himem.sys", 32}, {"Config.sys", 32}, {"Autoexec.bat", 32}};
  auto root = rootOf(first);
  ASSERT_EQ(root.size(), expected.size());
  for (std::size_t i = 0; i < root.size(); ++i) {
    EXPECT_TRUE(platform::equalsNoCase(root[i].first, expected[i].first)) << root[i].first;
    EXPECT_EQ(root[i].second & 7, expected[i].second & 7) << root[i].first;
  }
  EXPECT_EQ(onDisk(first, "IO.SYS"), machine.read("C:\\IO.SYS"));
  EXPECT_EQ(onDisk(first, "COMMAND.COM"), machine.read("C:\\WINDOWS\\COMMAND.COM"));
  EXPECT_EQ(onDisk(first, "DRVSPACE.BIN"), machine.read("C:\\DRVSPACE.BIN"));
  EXPECT_EQ(onDisk(first, "HIMEM.SYS"), machine.read("C:\\WINDOWS\\HIMEM.SYS"));
  EXPECT_EQ(onDisk(first, "CONFIG.SYS"), "Files=40\r\nDevice=A:\\Himem.sys\r\n");
  EXPECT_EQ(onDisk(first, "AUTOEXEC.BAT"),
            "@Echo Off\r\nCLS\r\nEcho Starting Kelvaran 2.6\r\nEcho Disaster Recovery...\r\nEcho.\r\n"
            "Echo Please insert now [RESCUE DISK No.2]!\r\nEcho.\r\nPause\r\nCLS\r\na:\\Kvados.exe\r\n");
  EXPECT_EQ(onDisk(first, "MSDOS.SYS"), rescue::EditMsDosText(machine.read("C:\\MSDOS.SYS")));
  EXPECT_NE(onDisk(first, "MSDOS.SYS").find("BootGUI=0\r\n"), std::string::npos);
  EXPECT_EQ(onDisk(first, "MSDOS.TMP"), "<missing>");
  EXPECT_TRUE(windows::Wizzard().BootDiskDone);
  EXPECT_EQ(programEnds, 0);
}

TEST_F(BootDisk, Windows98FirstEditionGetsAnEmptyMsdosSys) {
  setWindowsVersion(rescue::kWindows98First);
  const std::string first = floppy("", {}, true);
  writeBootDisk(floppy(""));
  EXPECT_EQ(onDisk(first, "MSDOS.SYS"), "");
  EXPECT_EQ(rootOf(first).front().second & 7, 7);
}

// IO.SYS comes from the emergency boot folder of this machine's own Windows
// folder, wherever that lies, not from a C:\\WINDOWS that may hold another one.
TEST_F(BootDisk, WindowsMeTakesIoSysFromItsEmergencyBootFolder) {
  setWindowsVersion(rescue::kWindowsMe);
  core::state().machine.SystemPath = "C:\\WINME";
  for (const char* file : {"COMMAND.COM", "HIMEM.SYS", "SYSTEM.INI", "WIN.INI", "USER.DAT", "SYSTEM.DAT"})
    machine.write(std::string("C:\\WINME\\") + file, machine.read(std::string("C:\\WINDOWS\\") + file));
  machine.write("C:\\WINME\\CLASSES.DAT", "classes");
  machine.write("C:\\WINME\\COMMAND\\EBD\\IO.SYS", "the start file of this machine's emergency boot disk");
  machine.write("C:\\WINDOWS\\COMMAND\\EBD\\IO.SYS", "another Windows's start file");
  const std::string first = floppy("", {}, true);
  writeBootDisk(floppy(""));
  EXPECT_EQ(onDisk(first, "IO.SYS"), "the start file of this machine's emergency boot disk");
  EXPECT_EQ(programEnds, 0);
}

TEST_F(BootDisk, AStaleMsdosTmpIsRemovedFirst) {
  const std::string first = floppy("", {}, true);
  machine.write("A:\\MSDOS.TMP", "left from another run");
  // EdMsDos on its own, on a disk that holds the copy and a stale scratch file.
  machine.write("A:\\MSDOS.SYS", "BootGUI=1\r\n");
  rescue::EdMsDos();
  EXPECT_EQ(onDisk(first, "MSDOS.SYS"), "BootGUI=0\r\n");
  EXPECT_EQ(onDisk(first, "MSDOS.TMP"), "<missing>");
}

TEST_F(BootDisk, AUsedOrWriteProtectedDisk1IsRefusedAndTheWizardStaysOnItsPage) {
  toBlankDiskPage();
  auto& w = windows::Wizzard();
  const std::string used = floppy("", {{"OLD.TXT", "old"}}, true);
  dialogs().expect(rescue::FormatInstructionsText());
  dialogs().expectFormat('A');
  dialogs().expect(res(1068) + "\r\r" + res(1069)).style(forms::vbCritical).title(res(1011));
  w.Command2.click();

  lockedDisk(disktest::kFloppy, 'A');
  dialogs().expect(rescue::FormatInstructionsText());
  dialogs().expectFormat('A');
  dialogs().expect(res(1150)).containing().style(forms::vbCritical);
  w.Command2.click();

  machine.eject('A');
  dialogs().expect(rescue::FormatInstructionsText());
  dialogs().expectFormat('A');
  dialogs().expect(res(1070) + "\r\r" + res(1071)).style(forms::vbCritical);
  w.Command2.click();

  EXPECT_FALSE(w.BootDiskDone);
  EXPECT_EQ(w.Label1.caption(), rescue::BlankDiskText());
  EXPECT_EQ(onDisk(used, "OLD.TXT"), "old");
  EXPECT_EQ(labelOf(used), "");
  EXPECT_FALSE(machine.exists(kSnapshot));
  EXPECT_EQ(programEnds, 0);
}

TEST_F(BootDisk, AMissingStartFileEndsTheProgramAfterItsMessage) {
  struct Case {
    const char* missing;
    const char* step;
  } cases[] = {
      {"C:\\IO.SYS", "IO.SYS"}, {"C:\\MSDOS.SYS", "MSDOS.SYS"}, {"C:\\WINDOWS\\COMMAND.COM", "COMMAND.COM"}};
  for (const auto& c : cases) {
    const std::string saved = machine.read(c.missing);
    machine.remove(c.missing);
    floppy("", {}, true);
    programEnds = 0;
    windows::Wizzard().BootDiskDone = false;
    dialogs()
        .expect(res(1064) + "\r\r" + c.step + "\r\r" + res(1065))
        .style(forms::vbCritical)
        .title(res(1005));
    rescue::MakeBootDisk();
    EXPECT_EQ(programEnds, 1) << c.step;
    EXPECT_FALSE(windows::Wizzard().BootDiskDone) << c.step;
    EXPECT_NE(errorLog().find(std::string(c.step) + " BootDisk critical"), std::string::npos) << c.step;
    machine.write(c.missing, saved);
  }
}

TEST_F(BootDisk, ADiskFullAtCommandComNamesTheDocumentation) {
  machine.write("C:\\WINDOWS\\COMMAND.COM", disktest::pattern(20000));
  floppy("", {}, true, 12288);
  dialogs()
      .expect(res(1067) + "\r\rCOMMAND.COM\r\r" + res(1065) + "\r\r" + res(1182))
      .style(forms::vbCritical)
      .title(res(1005));
  rescue::MakeBootDisk();
  EXPECT_EQ(programEnds, 1);
}

TEST_F(BootDisk, AnyOtherCriticalErrorIsShownToo) {
  machine.addMedium({}, 'A');
  machine.write("A:\\IO.SYS", "a read-only leftover");
  machine.setAttributes("A:\\IO.SYS", platform::kReadOnly);
  dialogs().expect("\r\rIO.SYS\r\r" + res(1065)).containing().style(forms::vbCritical).title(res(1005));
  rescue::MakeBootDisk();
  EXPECT_EQ(programEnds, 1);
  ASSERT_FALSE(dialogs().shown().empty());
  const std::string shown = dialogs().shown().back().text;
  EXPECT_FALSE(shown.starts_with("\r")) << "the runtime's error text leads";
  EXPECT_FALSE(shown.starts_with(res(1064)));
}

// The two start files are critical steps: a disk 1 that cannot take them is
// no boot disk, and the program ends after the message naming the step.
TEST_F(BootDisk, AStartFileThatCannotBeWrittenEndsTheProgram) {
  for (const std::string step : {"CONFIG.SYS", "AUTOEXEC.BAT"}) {
    machine.addMedium({}, 'A');
    machine.write("A:\\" + step, "a read-only leftover");
    machine.setAttributes("A:\\" + step, platform::kReadOnly);
    programEnds = 0;
    dialogs()
        .expect("\r\r" + step + "\r\r" + res(1065))
        .containing()
        .style(forms::vbCritical)
        .title(res(1005));
    rescue::MakeBootDisk();
    EXPECT_EQ(programEnds, 1) << step;
    EXPECT_FALSE(windows::Wizzard().BootDiskDone) << step;
    EXPECT_NE(errorLog().find(step + " BootDisk critical"), std::string::npos) << step;
    dialogs().verify();
  }
}

TEST_F(BootDisk, MissingDrvspaceAndHimemAreOnlyLogged) {
  machine.remove("C:\\DRVSPACE.BIN");
  machine.remove("C:\\WINDOWS\\HIMEM.SYS");
  const std::string first = floppy("", {}, true);
  dialogs().expect(rescue::ChangeDiskPrompt(1));
  rescue::MakeBootDisk();
  EXPECT_TRUE(windows::Wizzard().BootDiskDone);
  EXPECT_EQ(core::state().DiskNo, 2);
  EXPECT_EQ(onDisk(first, "DRVSPACE.BIN"), "<missing>");
  EXPECT_EQ(onDisk(first, "CONFIG.SYS"), rescue::ConfigSysText());
  const std::string log = errorLog();
  EXPECT_NE(log.find("DRVSPACE.BIN BootDisk"), std::string::npos);
  EXPECT_NE(log.find("HIMEM.SYS BootDisk"), std::string::npos);
  EXPECT_EQ(programEnds, 0);
}

}  // namespace
