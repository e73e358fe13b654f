// The import reader: a configuration in another folder (a copy from another
// machine, a floppy set, a 1.2x save) read into the loaded record and the
// restore dialog, with this machine's state left alone.
#include "restore/import_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "core/state.h"
#include "forms/dialogs.h"
#include "restore/loaded_configuration.h"
#include "restore/restore_boxes.h"
#include "support/restore_fixture.h"
#include "support/source_files.h"
#include "windows/form1.h"
#include "windows/import.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::enabledBoxes;
using restoretest::errorLogLines;
using restoretest::kProgram;
using restoretest::tickedBoxes;
using restoretest::userFileEntries;

constexpr const char* kFolder = "N:\\OLD\\";
const std::string kOtherSystem =
    "This configuration was created on a different Operating System.\r"
    "We strongly recommend to NOT restore any System files.\r\rWould you like to continue anyway?";
const std::string kOldVersion =
    "This configuration was saved with Version 1.2x of Kelvaran. Therefore, user-defined files can't be "
    "restored!";

// A description of another machine, copied into N:\OLD\ as slot 3: its save
// folder, Windows folder and temporary folder are that machine's.
const std::string kForeign =
    "[Configuration]\r\nOSV=Windows 98 SE\r\nConfigName=Office PC\r\n\r\n"
    "[SystemFiles]\r\nSystemPath=D:\\WIN98\r\nTempDir=D:\\WIN98\\TEMP\\\r\nSaveFolder=E:\\Kelvaran\r\n\r\n"
    "[SystemFilesSaved]\r\nAutoexec.bat=1\r\nWin.ini=1\r\nClasses.dat=0\r\nStartmenue=1\r\n\r\n"
    "[UserFilesSaved]\r\nMSEFavorites=1\r\nNSCBookmark=1\r\nMSECookies=1\r\n\r\n"
    "[UserFiles]\r\nPathFavorites=D:\\WIN98\\Favoriten\\\r\nPathNetscape=NONE\r\n"
    "PathStartmenue=D:\\WIN98\\Startmenue\\\r\nMSEVersion=Version 5.0\r\n";

class ImportReaderTest : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    machine().mkdirs(kFolder);
  }
  void TearDown() override {
    windows::Import().unload();
    RestoreTest::TearDown();
  }
  void put(int slot, const std::string& name, const std::string& bytes) {
    machine().write(std::string(kFolder) + name + std::to_string(slot) + name.substr(name.find('.')), bytes);
  }
  void putDescription(int slot, const std::string& bytes) {
    machine().write(std::string(kFolder) + "Config" + std::to_string(slot) + ".ini", bytes);
  }
  // The Import dialog with the row of `slot` chosen, then the reader.
  bool read(int slot, const std::string& folder = kFolder) {
    windows::ImportWindow& d = windows::Import();
    d.Label4.setCaption(folder);
    d.List1.clear();
    d.List1.addItem(std::to_string(slot) + " / Listed          / 03/11/2026 09:05:07");
    d.List1.setListIndex(0);
    return LoadCINIImport();
  }
};

TEST_F(ImportReaderTest, AFolderCopiedFromAnotherMachineIsRestoredFromThatFolder) {
  putDescription(3, kForeign);
  machine().write("N:\\OLD\\Config3.usr", " 2\r\nD:\\Docs\\a.txt\r\nD:\\Docs\\b.txt\r\n\r\n");
  machine().write("N:\\OLD\\Conf3.kvz", "zip");
  core::State& st = core::state();
  st.CurrentConfig = 1;
  st.ConfigNames(3) = "Mine";
  st.ConfigOSV(3) = "Windows 98 SE";
  const core::State before = st;

  ASSERT_TRUE(read(3));
  const LoadedConfiguration& loaded = loadedConfiguration();
  EXPECT_EQ(loaded.slot, 3);
  EXPECT_EQ(loaded.IniPath, "N:\\OLD\\Config3.ini");
  EXPECT_EQ(loaded.SaveFolder, "N:\\OLD\\");  // not the folder the other machine recorded
  EXPECT_EQ(loaded.SystemPath, "D:\\WIN98");
  EXPECT_EQ(loaded.ConfigName, "Office PC");
  EXPECT_EQ(loaded.PathFavorites, "D:\\WIN98\\Favoriten\\");
  EXPECT_EQ(loaded.PathNetscape, "NONE");
  EXPECT_EQ(loaded.PathStartmenue, "D:\\WIN98\\Startmenue\\");
  EXPECT_FALSE(loaded.onRemovableDrive);
  // Bookmarks need their folder, which the other machine had none of.
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{1, 9, 11, 19, 20}));
  EXPECT_TRUE(tickedBoxes().empty());
  EXPECT_EQ(userFileEntries(), (std::vector<std::string>{"D:\\Docs\\a.txt", "D:\\Docs\\b.txt"}));
  EXPECT_EQ(windows::RestoreReq().Label2.caption(), "Version 5.0");

  for (const auto& [name, now, was] :
       {std::tuple{"SystemPath", st.SystemPath, before.SystemPath},
        std::tuple{"TempDir", st.TempDir, before.TempDir},
        std::tuple{"PathFavorites", st.PathFavorites, before.PathFavorites},
        std::tuple{"PathNetscape", st.PathNetscape, before.PathNetscape},
        std::tuple{"PathStartmenue", st.PathStartmenue, before.PathStartmenue},
        std::tuple{"SaveFolder", st.SaveFolder, before.SaveFolder},
        std::tuple{"ImportSaveFolder", st.ImportSaveFolder, before.ImportSaveFolder},
        std::tuple{"ConfigNames(3)", st.ConfigNames(3), before.ConfigNames(3)},
        std::tuple{"ConfigOSV(3)", st.ConfigOSV(3), before.ConfigOSV(3)},
        std::tuple{"DiskRestorePath", st.DiskRestorePath, before.DiskRestorePath}})
    EXPECT_EQ(now, was) << name;
  EXPECT_EQ(st.CurrentConfig, 1);
  EXPECT_FALSE(machine().exists(kProgram + "kelvaran.ini"));
}

TEST_F(ImportReaderTest, ArchivesComeFromTheRecordedFolderWhenTheChosenOneHasNone) {
  // Only a copy of the descriptions: the archives stay where they were saved.
  putDescription(3, kForeign);
  ASSERT_TRUE(read(3));
  EXPECT_EQ(loadedConfiguration().SaveFolder, "E:\\Kelvaran\\");
  // Each archive of the set counts, and only those of the chosen slot.
  machine().write("N:\\OLD\\Conf2.kvz", "");
  machine().write("N:\\OLD\\Conf3x.kvz", "");
  EXPECT_EQ(importArchiveFolder(kFolder, "E:\\Kelvaran\\", 3), "E:\\Kelvaran\\");
  machine().write("N:\\OLD\\Conf3nw.kvz", "");
  EXPECT_EQ(importArchiveFolder(kFolder, "E:\\Kelvaran\\", 3), kFolder);
  // A description without a save folder of its own: the chosen one.
  EXPECT_EQ(importArchiveFolder("N:\\Shared\\", "", 1), "N:\\Shared\\");
}

TEST_F(ImportReaderTest, AFloppySetLoadsItsSplitTableFromDriveA) {
  machine().addMedium({.label = "SAVE#3"}, 'A');
  putDescription(1,
                 "[SplitLog]\r\nFile1=A:\\Conf1.kvz\r\nA:\\Conf1.kvz= 2\r\n\r\n"
                 "[Configuration]\r\nOSV=Windows 98 SE\r\nConfigName=Floppies\r\n\r\n"
                 "[SystemFiles]\r\nSaveFolder=A:\\\r\n\r\n[SystemFilesSaved]\r\nWin.ini=1\r\n");
  ASSERT_TRUE(read(1));
  const LoadedConfiguration& loaded = loadedConfiguration();
  EXPECT_EQ(loaded.SaveFolder, "A:\\");
  EXPECT_TRUE(loaded.onRemovableDrive);
  EXPECT_EQ(loaded.SplitFile(1), "A:\\Conf1.kvz");
  EXPECT_EQ(loaded.SplitDisk(1), 2);
  EXPECT_EQ(loaded.DiskRestorePath, kProgram + "DiskRestore\\");
  EXPECT_EQ(core::state().DiskRestorePath, "");
}

TEST_F(ImportReaderTest, AnEmptyNameWithASaveFolderIsACurrentDescription) {
  putDescription(2,
                 "[Configuration]\r\nOSV=Windows 98 SE\r\nConfigName=\r\n\r\n"
                 "[SystemFiles]\r\nSaveFolder=N:\\OLD\\\r\n\r\n[SystemFilesSaved]\r\nConfig.sys=1\r\n");
  ASSERT_TRUE(read(2));  // no 1.2x notice
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{2}));
}

TEST_F(ImportReaderTest, AnotherOperatingSystemIsAskedAboutAndNoRefusesTheRead) {
  putDescription(3, kForeign);
  machine().write("N:\\OLD\\Conf3.kvz", "zip");
  windows::Form1().Label5.setCaption("Windows Millennium");
  dialogs()
      .expect(kOtherSystem)
      .style(forms::vbYesNo + forms::vbQuestion)
      .title("Confirmation")
      .answer(forms::vbNo);
  EXPECT_FALSE(read(3));
  EXPECT_EQ(core::state().RestoreState, 3);
  core::state().RestoreState = 0;
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  EXPECT_TRUE(read(3));
  EXPECT_EQ(core::state().RestoreState, 0);
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{1, 9, 11, 19, 20}));
}

TEST_F(ImportReaderTest, A12xDescriptionTicksItsBoxesByThePairTable) {
  putDescription(1, testsupport::sourceFile("src/restore/tests/data/legacy_1_2x.ini"));
  machine().write("N:\\OLD\\Config1.usr", " 1\r\nC:\\stale.txt\r\n\r\n");
  windows::RestoreReq().Check25.setValue(1);  // left from an earlier use
  // It has no OS text: the question comes first, then the notice.
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  dialogs()
      .expect(kOldVersion)
      .style(forms::vbOKCancel + forms::vbInformation + forms::vbDefaultButton2)
      .title("Warning!")
      .answer(forms::vbOK);
  ASSERT_TRUE(read(1));
  // Saved pairs: Autoexec.bat, Config.sys, System.dat, System.ini, User.dat,
  // Win.ini, the Start menu, the bookmarks (no Netscape folder: off), the
  // favorites and the IE cookies. Classes.dat has no pair.
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{1, 2, 6, 7, 8, 9, 11, 19, 20}));
  EXPECT_TRUE(tickedBoxes().empty());
  EXPECT_TRUE(userFileEntries().empty());  // an old list cannot be restored
  const LoadedConfiguration& loaded = loadedConfiguration();
  EXPECT_EQ(loaded.ConfigName, "Before 1999, old PC");
  EXPECT_EQ(loaded.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(loaded.SaveFolder, "D:\\OLDSAVE\\");
  EXPECT_EQ(loaded.PathFavorites, "C:\\WINDOWS\\Favorites\\");
  EXPECT_EQ(loaded.PathNetscape, "NONE");
  EXPECT_EQ(loaded.PathStartmenue, "C:\\WINDOWS\\Start Menu\\");
  EXPECT_TRUE(errorLogLines(machine()).empty());
}

TEST_F(ImportReaderTest, CancelOnThe12xNoticeRefusesTheRead) {
  putDescription(1, testsupport::sourceFile("src/restore/tests/data/legacy_1_2x.ini"));
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  dialogs().expect(kOldVersion).answer(forms::vbCancel);
  EXPECT_FALSE(read(1));
  EXPECT_TRUE(enabledBoxes().empty());
}

TEST_F(ImportReaderTest, A12xFileUnreadableBeforeItsSaveFolderRefusesWithItsMessage) {
  const struct {
    const char* what;
    std::string bytes;  // "" with `present` false: the file went away
    bool present;
    std::string message;
    std::string logged;
  } cases[] = {
      {"vanished", "", false, "File not found! (N:\\OLD\\Config4.ini)", "File not found"},
      {"empty", "", true, "Input past end of file (N:\\OLD\\Config4.ini)", "Input past end of file"},
      {"header cut short", "\"Old\",\"C:\\WINDOWS\"\r\n", true,
       "Input past end of file (N:\\OLD\\Config4.ini)", "Input past end of file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.present)
      putDescription(4, c.bytes);
    else if (machine().exists("N:\\OLD\\Config4.ini"))
      machine().remove("N:\\OLD\\Config4.ini");
    if (machine().exists(kProgram + "Error.log")) machine().remove(kProgram + "Error.log");
    dialogs().expect(kOtherSystem).answer(forms::vbYes);
    dialogs().expect(kOldVersion).answer(forms::vbOK);
    dialogs().expect(c.message).style(forms::vbOKOnly + forms::vbCritical).title("Warning!");
    EXPECT_FALSE(read(4));
    EXPECT_EQ(errorLogLines(machine()), (std::vector<std::string>{c.logged + "12-09-2026LoadCINIImport"}));
  }
}

TEST_F(ImportReaderTest, A12xFileWithAnEmptySaveFolderTakesItsArchivesFromTheChosenFolder) {
  // An empty field is no folder at all, not the root of the current drive.
  putDescription(1, "\"Old\",\"C:\\WINDOWS\",\"\"\r\n1,True\r\n");
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  dialogs().expect(kOldVersion).answer(forms::vbOK);
  ASSERT_TRUE(read(1));
  EXPECT_EQ(loadedConfiguration().SaveFolder, kFolder);
}

TEST_F(ImportReaderTest, A12xFileThatFailsLaterKeepsWhatWasReadAndLogs) {
  // The third pair's saved flag is not a number.
  putDescription(1, "\"Old\",\"C:\\WINDOWS\",\"C:\\OLD\"\r\n1,True\r\n0,False\r\nyes,True\r\n");
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  dialogs().expect(kOldVersion).answer(forms::vbOK);
  ASSERT_TRUE(read(1));
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{1}));
  EXPECT_EQ(loadedConfiguration().SaveFolder, "C:\\OLD\\");
  EXPECT_EQ(errorLogLines(machine()), (std::vector<std::string>{"Type mismatch12-09-2026LoadCINIImport"}));
}

}  // namespace
}  // namespace restore
