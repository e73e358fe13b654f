// Rescue disk 2 and its update: the data disk's files byte for byte, the
// snapshot split over small disks, the update of an existing data disk, a
// wrong disk, no disk, and copies that do not complete.
#include "rescue/data_disk.h"

#include <functional>

#include "core/state.h"
#include "platform/process.h"
#include "rescue/boot_disk.h"
#include "rescue/disk_steps.h"
#include "rescue/snapshot.h"
#include "rescue/wizard.h"
#include "support/rescue_fixture.h"
#include "windows/wizzard.h"

namespace {

using namespace rescuetest;

class DataDisk : public RescueTest {
 protected:
  // The wizard as it stands after disk 1: on the blank-disk page, disk 1 done, DiskNo 2.
  void afterBootDisk() {
    auto& w = windows::Wizzard();
    toBlankDiskPage();
    w.BootDiskDone = true;
    core::state().DiskNo = 2;
  }
  // A fresh snapshot in the program folder, and a copy of its bytes.
  std::string snapshot() {
    EXPECT_TRUE(rescue::TakeSnapshot());
    return machine.read(kSnapshot);
  }
  // An incompressible registry, so that the snapshot needs more than one small disk.
  void largeRegistry(std::size_t bytes) {
    machine.setAttributes("C:\\WINDOWS\\SYSTEM.DAT", platform::kArchive);
    machine.write("C:\\WINDOWS\\SYSTEM.DAT", disktest::pattern(bytes, 11));
  }
  // The entries of an archive read back from disks.
  std::vector<std::string> unpackedEntries(const std::string& joined) {
    machine.write("C:\\JOINED.ZIP", joined);
    return entriesOf("C:\\JOINED.ZIP");
  }
  std::string congratulation() {
    return res(1073) + "\r" + res(1074) + "\r\r" + res(1075) + "\r" + res(1076);
  }
  std::string updated() { return res(1073) + "\r" + res(1147) + "\r\r" + res(1075) + "\r" + res(1076); }
  std::string wrongDisk() { return res(1142) + "\r" + res(1143) + "\r\r" + res(1149); }
};

TEST_F(DataDisk, AWholeDataDiskHoldsTheModuleTheSettingsUnzipAndTheSnapshot) {
  afterBootDisk();
  const std::string bytes = snapshot();
  const std::string disk = floppy("", {}, true);
  dialogs().expect(res(1072) + " 2").style(forms::vbOKOnly).title("");
  dialogs().expect(congratulation()).style(forms::vbOKOnly).title("");
  windows::Wizzard().Command2.click();

  EXPECT_EQ(labelOf(disk), "Data#1");
  EXPECT_EQ(onDisk(disk, "AUTOEXEC.BAT"), rescue::AutoexecText());
  EXPECT_EQ(onDisk(disk, "COMMAND.COM"), machine.read("C:\\WINDOWS\\COMMAND.COM"));
  for (const char* file : {"Kvados.exe", "kelvaran.ini", "Unzip.exe"})
    EXPECT_EQ(onDisk(disk, file), machine.read(kProgramDir + file)) << file;
  EXPECT_EQ(onDisk(disk, "CONFIGD.KVZ"), bytes);
  EXPECT_FALSE(machine.exists(kSnapshot));

  auto& w = windows::Wizzard();
  EXPECT_EQ(w.ProgressBar4.value(), 130);
  EXPECT_EQ(w.Label1.caption(), res(1097));
  EXPECT_EQ(w.Label2.caption(), "");
  EXPECT_EQ(w.Command3.caption(), "&" + res(1517));
  EXPECT_TRUE(w.Command3.enabled());
  EXPECT_FALSE(w.Command4.enabled());
  EXPECT_EQ(core::state().DiskNo, 2);
  EXPECT_EQ(core::state().SpanTargetRoot, "");
}

TEST_F(DataDisk, ASnapshotTooLargeForOneDiskIsSplitOverLabelledDisks) {
  afterBootDisk();
  largeRegistry(40000);
  const std::string bytes = snapshot();
  const std::int64_t small = 24576;  // the first disk also holds the programs
  const std::string disk2 = floppy("", {}, true, small);
  const std::string disk3 = floppy("", {}, false, small);
  const std::string disk4 = floppy("", {}, false, small);
  dialogs().expect(rescue::ChangeDiskPrompt(2)).style(forms::vbOKOnly).then(insertDisk(disk3));
  dialogs().expect(disktest::insertPrompt(4)).then(insertDisk(disk4));
  dialogs().expect(res(1072) + " 4");
  dialogs().expect(congratulation());
  windows::Wizzard().Command2.click();

  EXPECT_EQ(labelOf(disk2), "Data#1");
  EXPECT_EQ(labelOf(disk3), "Data#2");
  EXPECT_EQ(labelOf(disk4), "Data#3");
  const std::string joined =
      onDisk(disk2, "CONFIGD.KV1") + onDisk(disk3, "CONFIGD.KV2") + onDisk(disk4, "CONFIGD.KV3");
  EXPECT_EQ(joined, bytes);
  EXPECT_EQ(onDisk(disk2, "CONFIGD.KVZ"), "<missing>");
  EXPECT_EQ(unpackedEntries(joined), snapshotEntries(demoSnapshotFiles()));
  // unzip gives the registry back from the joined parts.
  platform::chDrive('C');
  platform::chDir(disktest::kProgram);
  ASSERT_EQ(platform::runAndWait("Unzip32.exe -qo C:\\JOINED.ZIP -d C:\\OUT"), 0);
  EXPECT_EQ(machine.read("C:\\OUT\\WINDOWS\\TEMP\\kelvaran\\system.dat"), disktest::pattern(40000, 11));
  EXPECT_EQ(core::state().DiskNo, 4);
  EXPECT_FALSE(machine.exists(kSnapshot));
}

TEST_F(DataDisk, AMissingProgramFileEndsTheProgramNamingIt) {
  machine.remove(kProgramDir + "Unzip.exe");
  afterBootDisk();
  snapshot();
  const std::string disk = floppy("", {}, true);
  dialogs().expect(res(1064) + "\r\rUnzip.exe\r\r" + res(1065)).style(forms::vbCritical).title(res(1005));
  windows::Wizzard().Command2.click();
  EXPECT_EQ(programEnds, 1);
  EXPECT_NE(errorLog().find("Unzip.exe BootDisk critical"), std::string::npos);
  EXPECT_EQ(onDisk(disk, "CONFIGD.KVZ"), "<missing>");
}

TEST_F(DataDisk, AnUnreadableDisk2IsNotWritten) {
  afterBootDisk();
  snapshot();
  dialogs().expect(res(1070) + "\r\r" + res(1071)).style(forms::vbCritical).title(res(1011));
  windows::Wizzard().Command2.click();
  EXPECT_TRUE(machine.exists(kSnapshot));
  EXPECT_TRUE(windows::Wizzard().Command2.visible());
}

TEST_F(DataDisk, AnAbandonedSplitShowsNoCongratulationAndKeepsTheSnapshot) {
  afterBootDisk();
  largeRegistry(40000);
  const std::string bytes = snapshot();
  const std::string disk2 = floppy("", {}, true, 24576);
  // The next disk is write-protected: the part cannot be written and the user aborts.
  const std::string locked = lockedDisk(24576);
  dialogs().expect(rescue::ChangeDiskPrompt(2)).then(insertDisk(locked));
  dialogs().expect("resCANTOPEN").containing().answer(forms::vbAbort);
  dialogs().expect("[Current Configuration]\r\r" + res(1065)).style(forms::vbCritical).title(res(1005));
  windows::Wizzard().Command2.click();

  EXPECT_EQ(machine.read(kSnapshot), bytes);
  auto& w = windows::Wizzard();
  EXPECT_NE(w.Label1.caption(), res(1097));
  EXPECT_TRUE(w.Command3.enabled());
  EXPECT_EQ(programEnds, 0);
  for (const auto& shown : dialogs().shown()) EXPECT_EQ(shown.text.find(res(1073)), std::string::npos);
}

TEST_F(DataDisk, TheUpdateReplacesEveryArchivePartAndLeavesTheSettingsCopy) {
  auto& w = windows::Wizzard();
  w.Option2.setValue(true);
  w.Command2.click();
  EXPECT_EQ(w.Label1.caption(), rescue::UpdateText());
  const std::string disk = floppy("Data#1",
                                  {{"Configd.kv1", "old part 1"},
                                   {"Configd.kv2", "old part 2 left on disk 2"},
                                   {"kelvaran.ini", "[Settings]\r\nOld=1\r\n"},
                                   {"Kvados.exe", "old module"}},
                                  true);
  bool helpDisabledWhileCopying = false;
  dialogs().expect(updated()).style(forms::vbOKOnly).title("").then([&] {
    helpDisabledWhileCopying = !w.Command4.enabled() && !w.Command3.enabled();
  });
  w.Command2.click();

  EXPECT_EQ(onDisk(disk, "CONFIGD.KV1"), "<missing>");
  EXPECT_EQ(onDisk(disk, "CONFIGD.KV2"), "<missing>");
  EXPECT_EQ(unpackedEntries(onDisk(disk, "CONFIGD.KVZ")), snapshotEntries(demoSnapshotFiles()));
  EXPECT_EQ(onDisk(disk, "KELVARAN.INI"), "[Settings]\r\nOld=1\r\n");
  EXPECT_EQ(onDisk(disk, "KVADOS.EXE"), "old module");
  EXPECT_FALSE(machine.exists(kSnapshot));
  EXPECT_TRUE(helpDisabledWhileCopying);
  EXPECT_EQ(w.Label1.caption(), res(1146));
  EXPECT_TRUE(w.Command3.enabled());
  EXPECT_TRUE(w.Command4.enabled());
  EXPECT_FALSE(w.Command1.enabled());
  EXPECT_EQ(core::state().DiskNo, 2);
}

TEST_F(DataDisk, AWrongDiskAsksForRescueDisk2) {
  auto& w = windows::Wizzard();
  w.Option2.setValue(true);
  w.Command2.click();
  const std::string other = floppy("", {{"LETTER.TXT", "not a rescue disk"}}, true);
  const std::string data = floppy("Data#1", {{"Configd.kvz", "old"}});
  // Retry with the data disk inserted runs the whole update, then the first page shows.
  dialogs()
      .expect(wrongDisk())
      .style(forms::vbRetryCancel + forms::vbCritical + forms::vbDefaultButton2)
      .title(res(1005))
      .answer(forms::vbRetry)
      .then(insertDisk(data));
  dialogs().expect(updated());
  w.Command2.click();
  EXPECT_NE(onDisk(data, "CONFIGD.KVZ"), "old");
  EXPECT_EQ(w.Label1.caption(), rescue::IntroText());
  EXPECT_EQ(w.Command3.caption(), "&" + res(1517));
  EXPECT_FALSE(w.BootDiskDone);

  machine.insert('A', other);
  dialogs().expect(wrongDisk()).answer(forms::vbCancel);
  rescue::UpDateDataDisk();
  EXPECT_EQ(onDisk(other, "LETTER.TXT"), "not a rescue disk");
  EXPECT_TRUE(w.Option1.visible());
}

TEST_F(DataDisk, WithoutADiskTheUpdateTouchesNothing) {
  auto& w = windows::Wizzard();
  w.Option2.setValue(true);
  w.Command2.click();
  machine.write(kSnapshot, "kept");
  dialogs().expect(res(1070) + "\r\r" + res(1071)).style(forms::vbCritical).title(res(1011));
  w.Command2.click();
  EXPECT_EQ(machine.read(kSnapshot), "kept");
  EXPECT_TRUE(platform::processRuns().empty());
  EXPECT_EQ(w.Label1.caption(), rescue::UpdateText());
}

TEST_F(DataDisk, AFailedUpdateKeepsTheNewSnapshotAndSaysWhere) {
  largeRegistry(40000);
  const std::string disk = floppy("Data#1", {{"Configd.kvz", "old"}}, true, 24576);
  const std::string locked = lockedDisk(24576);
  dialogs().expect(rescue::ChangeDiskPrompt(2)).then(insertDisk(locked));
  dialogs().expect("resCANTOPEN").containing().answer(forms::vbAbort);
  dialogs()
      .expect("Configd.kvz\r\r" + res(1065) + "\r\r" + res(1077) + kSnapshot)
      .style(forms::vbCritical)
      .title(res(1005));
  rescue::UpDateDataDisk();
  EXPECT_TRUE(machine.exists(kSnapshot));
  EXPECT_EQ(onDisk(disk, "CONFIGD.KVZ"), "<missing>");  // deleted first, for the room
  EXPECT_EQ(programEnds, 0);
  for (const auto& shown : dialogs().shown()) EXPECT_EQ(shown.text.find(res(1073)), std::string::npos);
}

// A snapshot that failed stops both disk writers before they touch a disk,
// and zip's exit code decides it: an archive zip left behind while it failed
// counts for nothing.
TEST_F(DataDisk, AFailedSnapshotStopsTheDiskWritersBeforeAnyDiskIsTouched) {
  struct Case {
    const char* what;
    std::function<void()> write;
    std::string label, file;  // what the disk holds before
  } cases[] = {
      {"boot disk", [] { rescue::MakeBootDisk(); }, "", "OLD.TXT"},
      {"data disk update", [] { rescue::UpDateDataDisk(); }, "Data#1", "CONFIGD.KVZ"},
  };
  for (const Case& c : cases) {
    platform::FakeProgram zip;
    zip.action = [this](const std::vector<std::string>&) {
      machine.write(kSnapshot, "an archive zip did not finish");
      return 18;
    };
    platform::installFakeProgram("zip.exe", zip);
    const std::string disk = floppy(c.label, {{c.file, "old"}}, true);
    dialogs().expect("Configd.kvz").containing().style(forms::vbCritical);
    c.write();
    dialogs().verify();
    EXPECT_EQ(labelOf(disk), c.label) << c.what;
    EXPECT_EQ(rootOf(disk).size(), 1u) << c.what;
    EXPECT_EQ(onDisk(disk, c.file), "old") << c.what;
    EXPECT_FALSE(machine.exists(kSnapshot)) << c.what;
    EXPECT_FALSE(windows::Wizzard().BootDiskDone) << c.what;
    EXPECT_EQ(programEnds, 0) << c.what;
  }
}

}  // namespace
