// A restore from floppy disks: part counts, the joins into DiskRestore\ and
// how such a restore is cancelled.
#include "restore/disk_set.h"

#include <gtest/gtest.h>

#include "core/state.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "save/tests/support/save_fixture.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using savetest::kProgram;
const std::string kDiskRestore = kProgram + "DiskRestore\\";
const std::string kCancelled = "An error occurs while restoring. Restoring canceled.";

TEST(PartCounts, ClampedToWhatTheJoinReads) {
  const struct {
    int recorded, parts;
  } cases[] = {{0, 0}, {1, 1}, {3, 3}, {99, 99}, {100, 99}, {32767, 99}, {-1, 0}, {-32768, 0}};
  for (const auto& c : cases) EXPECT_EQ(ClampPartCount(c.recorded), c.parts) << c.recorded;
}

class DiskSet : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    auto& d = windows::RestoreReq();
    for (auto* box : {&d.Check1, &d.Check10, &d.Check11, &d.Check17, &d.Check18, &d.Check19, &d.Check20,
                      &d.Check21, &d.Check22, &d.Check23})
      box->setValue(0);
    d.List1.clear();
    windows::Form1().Command3.setEnabled(false);
    windows::Form1().Command4.setEnabled(true);
  }
  // A configuration on the floppy disks of drive A: whose archives are joined into `diskRestore`.
  static LoadedConfiguration onFloppies(const std::string& diskRestore) {
    LoadedConfiguration loaded;
    loaded.SaveFolder = "A:\\";
    loaded.onRemovableDrive = true;
    loaded.DiskRestorePath = diskRestore;
    return loaded;
  }
  void expectCancelled() { dialogs().expect(kCancelled).style(forms::vbOKOnly).title(""); }
};

TEST_F(DiskSet, CancelDeletesOnlyThePlainFilesOfTheProgramsDiskRestoreFolder) {
  machine().write(kDiskRestore + "Conf1s.kvz", "joined");
  machine().write(kDiskRestore + "Hidden.kvz", "joined");
  machine().setAttributes(kDiskRestore + "Hidden.kvz", platform::kHidden);
  machine().write(kDiskRestore + "Keep\\inner.txt", "kept");
  auto& st = core::state();
  st.DiskRestorePath = kDiskRestore;
  st.RestoreDone = true;
  expectCancelled();

  CancelRestore();
  EXPECT_FALSE(machine().exists(kDiskRestore + "Conf1s.kvz"));
  EXPECT_FALSE(machine().exists(kDiskRestore + "Hidden.kvz"));
  EXPECT_TRUE(machine().exists(kDiskRestore + "Keep\\inner.txt"));
  EXPECT_TRUE(machine().exists(kProgram + "zip.exe"));
  EXPECT_EQ(st.DiskRestorePath, "");
  EXPECT_FALSE(st.RestoreDone);
  EXPECT_TRUE(windows::Form1().Command3.enabled());
  EXPECT_FALSE(windows::Form1().Command4.enabled());
}

TEST_F(DiskSet, CancelWithAnotherDiskRestorePathDeletesNothing) {
  for (const std::string& other : {kProgram, std::string("C:\\SAVE\\"), kDiskRestore + "Keep\\"}) {
    machine().write(other + "precious.txt", "mine");
    core::state().DiskRestorePath = other;
    expectCancelled();
    CancelRestore();
    EXPECT_EQ(content(other + "precious.txt"), "mine") << other;
    EXPECT_EQ(core::state().DiskRestorePath, "");
  }
  EXPECT_TRUE(machine().exists(kProgram + "Unzip32.exe"));
}

// The joins empty DiskRestorePath when they are cancelled: a configuration
// that names another folder is not fetched at all.
TEST_F(DiskSet, AnotherDiskRestorePathIsRefusedBeforeAnyPrompt) {
  machine().write(kProgram + "kelvaran.ini", "[Settings]\r\n");
  windows::RestoreReq().Check20.setValue(1);
  expectCancelled();

  EXPECT_FALSE(FetchDiskSet(onFloppies(kProgram)));
  EXPECT_TRUE(machine().exists(kProgram + "kelvaran.ini"));
  EXPECT_TRUE(machine().exists(kProgram + "zip.exe"));
}

// A joined archive that cannot be read whole is never unpacked.
TEST_F(DiskSet, ATruncatedArchiveCancelsTheRestore) {
  const std::string disk = machine().addMedium({.label = "Save#1"}, 'A');
  machine().write("A:\\Conf1s.kvz", "PK\x03\x04 cut short");
  auto& st = core::state();
  windows::RestoreReq().Check20.setValue(1);
  dialogs()
      .expect("Please insert Disk No. 1 now!")
      .style(forms::vbOKCancel + forms::vbInformation)
      .title("Message");
  expectCancelled();

  EXPECT_FALSE(FetchDiskSet(onFloppies(kDiskRestore)));
  EXPECT_FALSE(machine().exists(kDiskRestore + "Conf1s.kvz"));
  EXPECT_EQ(st.DiskRestorePath, "");
}

TEST_F(DiskSet, CancelAtTheFirstDiskPrompt) {
  machine().write(kProgram + "kelvaran.ini", "[Settings]\r\n");
  windows::RestoreReq().Check20.setValue(1);
  dialogs()
      .expect("Please insert Disk No. 1 now!")
      .style(forms::vbOKCancel + forms::vbInformation)
      .title("Message")
      .answer(forms::vbCancel);
  expectCancelled();

  EXPECT_FALSE(FetchDiskSet(onFloppies(kDiskRestore)));
  for (const char* file : {"zip.exe", "Unzip32.exe", "kelvaran.ini"})
    EXPECT_TRUE(machine().exists(kProgram + file));
}

// An archive that unzip can read: no member at all.
const std::string kEmptyArchive = std::string("PK\x05\x06") + std::string(18, '\0');

// The Netscape archive is joined for any one of its three boxes, and only then.
TEST_F(DiskSet, TheNetscapeArchiveIsJoinedForEachOfItsThreeBoxes) {
  machine().addMedium({.label = "Save#1"}, 'A');
  machine().write("A:\\Conf1na.kvz", kEmptyArchive);
  auto& d = windows::RestoreReq();
  struct Case {
    const char* what;
    forms::CheckBox* box;
  } cases[] = {{"bookmarks", &d.Check10}, {"cookies", &d.Check22}, {"mail", &d.Check23}, {"none", nullptr}};
  for (const Case& c : cases) {
    for (forms::CheckBox* box : {&d.Check10, &d.Check22, &d.Check23}) box->setValue(box == c.box ? 1 : 0);
    dialogs().expect("Please insert Disk No. 1 now!");
    EXPECT_TRUE(FetchDiskSet(onFloppies(kDiskRestore))) << c.what;
    EXPECT_EQ(machine().exists(kDiskRestore + "Conf1na.kvz"), c.box != nullptr) << c.what;
    EmptyDiskRestore();
  }
}

// OK at the disk prompt is checked against the drive: with no disk in it the
// drive's own question comes, and the prompt again, before anything is joined.
TEST_F(DiskSet, TheDiskPromptChecksTheDriveBeforeAnyJoin) {
  const std::string disk = machine().addMedium({.label = "Save#1"}, 'A');
  machine().write("A:\\Conf1s.kvz", kEmptyArchive);
  machine().eject('A');
  windows::RestoreReq().Check20.setValue(1);
  dialogs().expect("Please insert Disk No. 1 now!");
  dialogs()
      .expect(forms::loadResString(1070))
      .style(forms::vbCritical + forms::vbOKCancel)
      .answer(forms::vbCancel);
  dialogs().expect("Please insert Disk No. 1 now!").then([&] { machine().insert('A', disk); });
  EXPECT_TRUE(FetchDiskSet(onFloppies(kDiskRestore)));
  EXPECT_TRUE(machine().exists(kDiskRestore + "Conf1s.kvz"));
}

}  // namespace
}  // namespace restore
