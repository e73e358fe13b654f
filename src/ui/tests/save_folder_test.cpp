// The save-folder box: Browse with its write test, and Default.
#include "ui/save_folder.h"

#include <string>

#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "support/window_fixture.h"
#include "windows/form1.h"

namespace {

constexpr const char* kBrowseTitle = "Select Destination Folder";
constexpr const char* kSettings = "C:\\Program Files\\Kelvaran\\kelvaran.ini";

class SaveFolderTest : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    windows::Form1().load();
    core::state().ConfigNames(1) = "available";  // the settings writer needs a named first slot
    core::state().SaveFolder = "C:\\Before\\";
    if (machine.exists(kSettings)) machine.remove(kSettings);
  }

  void browse(const std::string& answer) {
    if (answer.empty()) {
      dialogs().expectFolder(kBrowseTitle).cancel();
    } else {
      dialogs().expectFolder(kBrowseTitle).answerText(answer);
    }
    windows::Form1().Command19.click();
  }
  bool settingsStored() const { return machine.exists(kSettings); }
  std::string storedSaveFolder() const {
    const std::string ini = machine.read(kSettings);
    const auto at = ini.find("\nSaveFolder=");
    if (at == std::string::npos) return "<none>";
    const auto value = at + 12;
    return ini.substr(value, ini.find_first_of("\r\n", value) - value);
  }
  static std::string saveFolder() { return core::state().SaveFolder; }
  static std::string shown() { return windows::Form1().Text2.text(); }
};

TEST_F(SaveFolderTest, ProbeNameIsOneThatDoesNotExistYet) {
  machine.mkdirs("C:\\Probe\\");
  EXPECT_EQ(ui::writeProbeName("C:\\Probe\\"), "Test.ttt");
  machine.write("C:\\Probe\\Test.ttt", "mine");
  EXPECT_EQ(ui::writeProbeName("C:\\Probe\\"), "Test1.ttt");
  machine.mkdirs("C:\\Probe\\Test1.ttt\\");
  machine.write("C:\\Probe\\TEST2.TTT", "");
  EXPECT_EQ(ui::writeProbeName("C:\\Probe\\"), "Test3.ttt");
}

TEST_F(SaveFolderTest, BrowseStoresTheChosenFolderWithABackslashAndLeavesNoProbe) {
  const struct {
    std::string chosen;
    std::string folder;
  } cases[] = {{"C:\\Data", "C:\\Data\\"}, {"C:\\Data\\", "C:\\Data\\"}};
  machine.mkdirs("C:\\Data\\");
  for (const auto& c : cases) {
    browse(c.chosen);
    EXPECT_EQ(saveFolder(), c.folder);
    EXPECT_EQ(shown(), c.folder);
    ASSERT_TRUE(settingsStored());
    EXPECT_EQ(storedSaveFolder(), c.folder);
    EXPECT_FALSE(machine.exists("C:\\Data\\Test.ttt"));
  }
}

TEST_F(SaveFolderTest, WriteTestLeavesAFileOfTheUserNamedTestTttAlone) {
  machine.write("C:\\Data\\Test.ttt", "the user's own notes");
  machine.setAttributes("C:\\Data\\Test.ttt", platform::kReadOnly);
  browse("C:\\Data");
  EXPECT_EQ(saveFolder(), "C:\\Data\\");
  EXPECT_TRUE(settingsStored());
  EXPECT_EQ(machine.read("C:\\Data\\Test.ttt"), "the user's own notes");
  EXPECT_FALSE(machine.exists("C:\\Data\\Test1.ttt"));
}

TEST_F(SaveFolderTest, LongFolderIsShownShortened) {
  const std::string folder = "C:\\Program Files\\Tools\\Backup\\Archive\\Configurations\\Old\\";
  machine.mkdirs(folder);
  browse(folder);
  EXPECT_EQ(saveFolder(), folder);
  EXPECT_EQ(shown(), "C:\\Program Files\\Tools\\Backup\\...Old\\");
}

TEST_F(SaveFolderTest, DriveRootGetsTheProgramsFolderWhichIsNotCreated) {
  dialogs().expectFolder(kBrowseTitle).answerText("C:\\");
  dialogs()
      .expect("You can't save directly to the root of a drive!\rKelvaran set the path to:\rC:\\Kelvaran\\")
      .style(forms::vbOKOnly)
      .title("");
  windows::Form1().Command19.click();
  EXPECT_EQ(saveFolder(), "C:\\Kelvaran\\");
  EXPECT_EQ(shown(), "C:\\Kelvaran\\");
  EXPECT_FALSE(machine.exists("C:\\Kelvaran"));
  // A folder that does not exist yet is kept silently; the save offers to create it.
  EXPECT_FALSE(settingsStored());
}

TEST_F(SaveFolderTest, MissingFolderIsKeptWithoutAMessage) {
  browse("C:\\Not\\There");
  EXPECT_EQ(saveFolder(), "C:\\Not\\There\\");
  EXPECT_EQ(shown(), "C:\\Not\\There\\");
  EXPECT_FALSE(settingsStored());
}

TEST_F(SaveFolderTest, UnwritableTargetFallsBackToTheProgramFolder) {
  const std::string disk = machine.addMedium({.label = "BACKUP"}, 'A');
  machine.mkdirs("A:\\Backup\\");
  platform::setWriteProtected(disk, true);
  // A write-protected floppy, then the same drive without its disk.
  for (bool diskInserted : {true, false}) {
    if (!diskInserted) machine.eject('A');
    core::state().SaveFolder = "C:\\Before\\";
    dialogs().expectFolder(kBrowseTitle).answerText("A:\\Backup");
    dialogs().expect("You can't save to a write protected disk!").style(forms::vbOKOnly).title("");
    windows::Form1().Command19.click();
    EXPECT_EQ(saveFolder(), "C:\\Program Files\\Kelvaran\\") << diskInserted;
    EXPECT_EQ(shown(), "C:\\Program Files\\Kelvaran\\") << diskInserted;
    EXPECT_FALSE(settingsStored()) << diskInserted;
  }
  machine.insert('A', disk);
  platform::setWriteProtected(disk, false);
  EXPECT_FALSE(machine.exists("A:\\Backup\\Test.ttt"));
}

TEST_F(SaveFolderTest, CancelKeepsTheFolderAndStillStoresTheSettings) {
  windows::Form1().Text2.setText("C:\\Before\\");
  browse("");
  EXPECT_EQ(saveFolder(), "C:\\Before\\");
  EXPECT_EQ(shown(), "C:\\Before\\");
  ASSERT_TRUE(settingsStored());
  EXPECT_EQ(storedSaveFolder(), "C:\\Before\\");
}

TEST_F(SaveFolderTest, DefaultSetsTheProgramFolderWithOneBackslash) {
  const struct {
    std::string programFolder;
    std::string folder;
  } cases[] = {{"C:\\Program Files\\Kelvaran", "C:\\Program Files\\Kelvaran\\"}, {"C:\\", "C:\\"}};
  for (const auto& c : cases) {
    forms::setAppPath(c.programFolder);
    windows::Form1().Command22.click();
    EXPECT_EQ(saveFolder(), c.folder);
    EXPECT_EQ(shown(), c.folder);
  }
  forms::setAppPath(uitest::kProgramFolder);
  windows::Form1().Command22.click();
  ASSERT_TRUE(settingsStored());
  EXPECT_EQ(storedSaveFolder(), "C:\\Program Files\\Kelvaran\\");
}

TEST_F(SaveFolderTest, ButtonsDoNothingWhileASaveRuns) {
  windows::Form1().Command2.setEnabled(false);
  windows::Form1().Command19.click();
  windows::Form1().Command22.click();
  EXPECT_EQ(saveFolder(), "C:\\Before\\");
  EXPECT_FALSE(settingsStored());
  windows::Form1().Command2.setEnabled(true);
}

}  // namespace
