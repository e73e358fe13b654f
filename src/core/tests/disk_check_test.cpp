// Disk checks: a readable disk, the right disk, a blank disk; the disk-not-empty
// question with its three answers and the format dialog; the wizard's test.
#include "core/disk_check.h"

#include "disk_fixture.h"
#include "windows/wizzard.h"

namespace {

using namespace disktest;

class DiskCheck : public DiskTest {};

TEST_F(DiskCheck, CheckDiskWaitsForAReadableDiskAndTheFileItNames) {
  const std::string disk = floppy("Save#1", {{"Conf1.kv1", "1"}});
  dialogs()
      .expect(res(1070))
      .style(forms::vbCritical + forms::vbOKCancel)
      .title(res(1011))
      .then(insertDisk(disk));
  EXPECT_TRUE(core::CheckDisk("A:\\"));
  EXPECT_TRUE(core::CheckDisk("A:\\Conf1.kv1"));
  dialogs().expect(res(1246) + "A:\\Conf1.kv2" + res(1247)).style(forms::vbCritical).title("");
  EXPECT_FALSE(core::CheckDisk("A:\\Conf1.kv2"));
  machine.eject('A');
  dialogs().expect(res(1070)).answer(forms::vbCancel);
  EXPECT_FALSE(core::CheckDisk("A:\\"));
}

TEST_F(DiskCheck, BlankDisksAndHardDisksPassWithoutAQuestion) {
  machine.write("C:\\KEEP.TXT", "hard disks may hold files");
  EXPECT_TRUE(core::CheckDiskEmpty("C:\\"));
  floppy("Save#1", {}, true);  // a label alone is no content
  EXPECT_TRUE(core::CheckDiskEmpty("A:\\"));
  EXPECT_EQ(core::state().DriveTotalBytes, kFloppy);
}

TEST_F(DiskCheck, ADiskWithContentAsksWhatToDo) {
  struct Case {
    int button;
    bool answer;
  } cases[] = {{2, false}, {3, true}};
  floppy("", {{"HIDDEN.SYS", "h"}}, true);
  machine.setAttributes("A:\\HIDDEN.SYS", platform::kHidden | platform::kSystem);
  forms::setMousePointer(11);
  for (const auto& c : cases) {
    notEmptyButtons = {c.button};
    EXPECT_EQ(core::CheckDiskEmpty("A:\\"), c.answer) << c.button;
  }
  EXPECT_EQ(pointerWhileAsked, 0);
  EXPECT_EQ(forms::mousePointer(), 11);
  auto& window = windows::frmNotEmpty();
  EXPECT_EQ(window.caption(), res(1011));
  EXPECT_EQ(window.Command1.caption(), res(1102));
  EXPECT_EQ(window.Command2.caption(), res(1223));
  EXPECT_EQ(window.Command3.caption(), res(1083));
  EXPECT_EQ(window.helpContextId(), 2040);
  EXPECT_EQ(notEmptyTexts.back(),
            res(1068) + "\r\r" + res(1219) + "\r" + res(1220) + "\r\r" + res(1218) + "\r\r" + res(1222));
  EXPECT_FALSE(window.visible());
}

TEST_F(DiskCheck, FormattingOpensTheFormatDialogForTheCheckedDriveAndAsksAgain) {
  machine.setDrive('B', "Type", "2");
  machine.addMedium({.label = "OLD"}, 'B');
  machine.write("B:\\SUB\\FILE.TXT", "x");
  notEmptyButtons = {1};
  dialogs().expectFormat('B').then([] { platform::formatMedium('B', true, ""); });
  EXPECT_FALSE(core::CheckDiskEmpty("B:\\"));
  EXPECT_FALSE(windows::frmNotEmpty().loaded());
  EXPECT_TRUE(core::CheckDiskEmpty("B:\\"));  // the freshly formatted disk passes
}

TEST_F(DiskCheck, AnUnreadableDiskPassesAfterTheNoDiskMessage) {
  // Cancelled in CheckDisk, then told how to format: the caller's writes report the failure.
  dialogs().expect(res(1070)).answer(forms::vbCancel);
  dialogs().expect(res(1070) + "\r\r" + res(1071)).style(forms::vbCritical).title(res(1011));
  EXPECT_TRUE(core::CheckDiskEmpty("A:\\"));
}

TEST_F(DiskCheck, TheWizardsTestAnswersTrueOnlyForAReadableBlankDisk) {
  floppy("", {}, true);
  std::string drive = "a:\\";
  EXPECT_TRUE(core::CheckWizardDiskEmpty(drive));
  EXPECT_EQ(drive, "a:");
  EXPECT_TRUE(windows::Wizzard().Command3.visible());
  EXPECT_TRUE(windows::Wizzard().Label3.visible());

  const std::string notBlank = res(1068) + "\r\r" + res(1069);
  for (const auto& content : {"FILE.TXT", "FOLDER\\INNER.TXT"}) {
    floppy("", {{content, "x"}}, true);
    dialogs().expect(notBlank).style(forms::vbCritical).title(res(1011));
    EXPECT_FALSE(core::CheckWizardDiskEmpty(drive)) << content;
  }
  machine.eject('A');
  dialogs().expect(res(1070) + "\r\r" + res(1071)).style(forms::vbCritical).title(res(1011));
  EXPECT_FALSE(core::CheckWizardDiskEmpty(drive));
}

}  // namespace
