// A configuration saved over two small floppy disks, restored while the disk
// prompts are answered by inserting the disks.
#include <gtest/gtest.h>

#include <random>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "restore/disk_set.h"
#include "restore/group_restore.h"
#include "restore/load_cini.h"
#include "restore/restore_boxes.h"
#include "restore/restorereq_dialog.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "support/restore_fixture.h"
#include "windows/animate.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kProgram;
const std::string kBig = "C:\\My Documents\\Big.bin";
const std::string kSmall = "C:\\My Documents\\Note.txt";
const std::string kMenu = "C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk";
const std::string kFavorite = "C:\\WINDOWS\\Favorites\\Links\\Home.url";
constexpr std::int64_t k360 = 368640;

std::string noise(std::size_t size) {
  std::mt19937 random(11);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

class FloppyRestore : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    machine().write(kBig, noise(500000));
    machine().write(kSmall, "note");
    machine().write(kMenu, "lnk");
    machine().write(kFavorite, "[InternetShortcut]\r\n");
    writeUserList({kBig, kSmall});
    save::Form1Box(1).setValue(1);       // Start menu
    save::UserFilesBox(12).setValue(1);  // Favorites

    disk1 = newMedium();
    disk2 = newMedium();
    machine().insert('A', disk1);
    auto& st = core::state();
    st.SaveFolder = "A:\\";
    prepareSlot(1, "Floppies");
    prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
           "");
    prompt("Please insert Disk No. 2 now!", forms::vbOKOnly, "", forms::vbOK, disk2);
    dialogs().expect(savetest::kSavedMessage);
    save::SaveConfiguration();
    dialogs().verify();
    ASSERT_TRUE(st.SaveSucceeded);
    ASSERT_EQ(core::ReadIni("SplitLog", kProgram + "Conf1us.kvz", kProgram + "Config1.ini"),
              "2");  // read back without its blank

    for (const std::string& file : {kBig, kSmall, kMenu, kFavorite}) machine().write(file, "changed");
    st.SaveFolder = "A:\\";
    st.CurrentConfig = 0;
    st.RestoreState = 0;
    LoadCINI();
    ASSERT_EQ(st.RestoreState, 0);
    ASSERT_EQ(loadedConfiguration().DiskRestorePath, kProgram + "DiskRestore\\");
    st.RestoreDone = false;
    machine().eject('A');
    if (!machine().exists(kProgram + "kelvaran.ini"))
      machine().write(kProgram + "kelvaran.ini", "[Settings]\r\n");
  }

  std::string newMedium() {
    platform::MediumSpec spec;
    spec.capacity = k360;
    return machine().addMedium(spec);
  }
  void prompt(const std::string& text, int style, const std::string& title, int answer,
              const std::string& medium) {
    auto& e = dialogs().expect(text).style(style).title(title).answer(answer);
    if (!medium.empty()) e.then([this, medium] { machine().insert('A', medium); });
  }
  void tickEverything() {
    RestoreBox(20).setValue(1);
    RestoreBox(11).setValue(1);
    auto& list = windows::RestoreReq().List1;
    for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  }

  std::string disk1, disk2;
};

TEST_F(FloppyRestore, JoinedFromBothDisksAndPutBack) {
  tickEverything();
  core::state().DiskNo = 3;  // left from the save
  prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk1);
  // The user files' archive asks for the second disk: the copy window stands at its row.
  std::string row;
  dialogs()
      .expect("Please insert Disk No. 2 now!")
      .style(forms::vbOKCancel + forms::vbInformation)
      .title("Message")
      .then([&] {
        row = std::to_string(windows::Animate().ProgressBar1.value()) + " " +
              windows::Animate().Label1.caption();
        machine().insert('A', disk2);
      });

  const LoadedConfiguration& loaded = loadedConfiguration();
  ASSERT_TRUE(FetchDiskSet(loaded));
  EXPECT_EQ(row, "2 Restoring User Files.");
  EXPECT_FALSE(windows::Animate().loaded());  // the copy window is gone again
  EXPECT_FALSE(core::state().AnimateShown);
  const std::string joined = core::state().DiskRestorePath;
  EXPECT_EQ(joined, kProgram + "DiskRestore\\");
  core::enterProgramFolder();
  EXPECT_EQ(RestoreFileGroups(joined, loaded), StepEnd::Continue);
  EmptyDiskRestore();

  EXPECT_EQ(content(kBig), noise(500000));
  EXPECT_EQ(content(kSmall), "note");
  EXPECT_EQ(content(kMenu), "lnk");
  EXPECT_EQ(content(kFavorite), "[InternetShortcut]\r\n");
  EXPECT_TRUE(core::state().RestoreDone);
  EXPECT_TRUE(filesIn(joined).empty());
  EXPECT_EQ(core::state().DiskRestorePath, "");
}

TEST_F(FloppyRestore, CancelAtADiskPromptKeepsTheProgramsFiles) {
  tickEverything();
  core::state().DiskNo = 3;  // left from the save
  prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk1);
  prompt("Please insert Disk No. 2 now!", forms::vbOKCancel + forms::vbInformation, "Message",
         forms::vbCancel, "");
  dialogs().expect("An error occurs while restoring. Restoring canceled.");

  EXPECT_FALSE(FetchDiskSet(loadedConfiguration()));
  for (const char* file : {"zip.exe", "Unzip32.exe", "kelvaran.ini", "Config1.ini"})
    EXPECT_TRUE(machine().exists(kProgram + file)) << file;
  EXPECT_TRUE(filesIn(kProgram + "DiskRestore\\").empty());
  EXPECT_EQ(core::state().DiskRestorePath, "");
  EXPECT_EQ(content(kBig), "changed");
}

// The whole road: OK in the restore dialog, the disks inserted as the prompts
// ask for them.
TEST_F(FloppyRestore, RestoredThroughTheDialogWithTheDisksInserted) {
  bindRestoreReq();
  tickEverything();
  core::state().DiskNo = 3;
  prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk1);
  prompt("Please insert Disk No. 2 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk2);
  dialogs().expect("Files successfully restored").style(forms::vbOKOnly).title("");

  windows::RestoreReq().Command1.click();
  EXPECT_EQ(content(kBig), noise(500000));
  EXPECT_EQ(content(kSmall), "note");
  EXPECT_EQ(content(kMenu), "lnk");
  EXPECT_EQ(content(kFavorite), "[InternetShortcut]\r\n");
  EXPECT_TRUE(filesIn(kProgram + "DiskRestore\\").empty());
  EXPECT_EQ(core::state().DiskRestorePath, "");
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

// A run stopped after the joins (No at a group that cannot be restored)
// still empties DiskRestore\ and forgets it.
TEST_F(FloppyRestore, AStopAfterTheJoinsEmptiesDiskRestore) {
  bindRestoreReq();
  tickEverything();
  loadedConfiguration().PathStartmenue = "Q:\\Start Menu\\";
  prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk1);
  prompt("Please insert Disk No. 2 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk2);
  dialogs()
      .expect("Your Start Menu can't be restored!\r\rWould you continue to restore the remaining files?")
      .answer(forms::vbNo);

  windows::RestoreReq().Command1.click();
  dialogs().verify();
  EXPECT_EQ(content(kBig), noise(500000));  // the user files came before
  EXPECT_EQ(content(kFavorite), "changed");
  EXPECT_TRUE(filesIn(kProgram + "DiskRestore\\").empty());
  EXPECT_EQ(core::state().DiskRestorePath, "");
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

TEST_F(FloppyRestore, CancelAtADiskPromptOfTheDialogsRunKeepsTheProgramsFiles) {
  bindRestoreReq();
  tickEverything();
  prompt("Please insert Disk No. 1 now!", forms::vbOKCancel + forms::vbInformation, "Message", forms::vbOK,
         disk1);
  prompt("Please insert Disk No. 2 now!", forms::vbOKCancel + forms::vbInformation, "Message",
         forms::vbCancel, "");
  dialogs().expect("An error occurs while restoring. Restoring canceled.");

  windows::RestoreReq().Command1.click();
  for (const char* file : {"zip.exe", "Unzip32.exe", "kelvaran.ini", "Config1.ini"})
    EXPECT_TRUE(machine().exists(kProgram + file)) << file;
  EXPECT_TRUE(filesIn(kProgram + "DiskRestore\\").empty());
  EXPECT_EQ(content(kBig), "changed");
  EXPECT_TRUE(windows::Form1().Command3.enabled());
}

}  // namespace
}  // namespace restore
