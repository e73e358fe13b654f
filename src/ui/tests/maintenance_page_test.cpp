// The Maintenance page's delete list and Delete, the web update, Copyright,
// and the buttons that open the user-files dialog and the rescue-disk wizard.
#include "ui/maintenance_page.h"

#include <QTemporaryDir>
#include <fstream>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/slotlists.h"
#include "core/state.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "platform/shell.h"
#include "support/window_fixture.h"
#include "windows/form1.h"
#include "windows/userfiles.h"
#include "windows/wizzard.h"

namespace {

using forms::vbDefaultButton2;
using forms::vbNo;
using forms::vbQuestion;
using forms::vbYes;
using forms::vbYesNo;

constexpr const char* kApp = "C:\\Program Files\\Kelvaran";
constexpr const char* kSettings = "C:\\Program Files\\Kelvaran\\kelvaran.ini";
constexpr const char* kQuestion = "Are you sure you wish to delete\rGames";

class MaintenancePageTest : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    windows::Form1().load();
    core::State& st = core::state();
    for (int n = 1; n <= 5; ++n) {
      st.ConfigNames(n) = "available";
      st.ConfigDates(n) = " 9/12/2026";
      st.ConfigTimes(n) = "14:35:12";
    }
    st.ConfigNames(3) = "Games";
    st.SaveFolder = "D:\\Current\\";
    windows::Form1().Text2.setText("D:\\Current\\");
    core::RefreshConfigLists();
    if (machine.exists(kSettings)) machine.remove(kSettings);
  }

  // Slot 3 as a save into `folder` leaves it: its description in the program
  // folder records `recorded`, and the folder holds the slot's files.
  void saveSlot3(const std::string& folder, const std::string& recorded) {
    machine.write(std::string(kApp) + "\\Config3.ini", "[SystemFiles]\r\nSaveFolder=" + recorded + "\r\n");
    for (const std::string& file : ui::slotFiles(folder, 3)) machine.write(file, "data");
  }
  // Clicks row 3 and answers the question.
  void deleteSlot3(int answer) {
    windows::Form1().List3.setListIndex(-1);
    windows::Form1().List3.setListIndex(2);
    dialogs()
        .expect(kQuestion)
        .style(vbYesNo + vbQuestion + vbDefaultButton2)
        .title("Confirmation")
        .answer(answer);
    windows::Form1().Command13.click();
  }
  std::vector<std::string> present(const std::vector<std::string>& files) const {
    std::vector<std::string> found;
    for (const std::string& file : files)
      if (machine.exists(file)) found.push_back(file);
    return found;
  }
};

TEST_F(MaintenancePageTest, RowOfAUsedSlotEnablesDeleteAndAFreeRowDisablesIt) {
  auto& f = windows::Form1();
  EXPECT_FALSE(f.Command13.enabled());
  f.List3.setListIndex(2);
  EXPECT_TRUE(f.Command13.enabled());
  EXPECT_EQ(core::state().DeleteIndex, 2);
  EXPECT_EQ(f.List3Text, f.List3.list(2));
  f.List3.setListIndex(0);
  EXPECT_FALSE(f.Command13.enabled());
  EXPECT_EQ(core::state().DeleteIndex, 0);
}

TEST_F(MaintenancePageTest, SlotFilesAreTheDescriptionsThenTheTenArchiveNames) {
  EXPECT_EQ(
      ui::slotFiles("C:\\SAVE\\", 3),
      (std::vector<std::string>{"C:\\SAVE\\Config3.ini", "C:\\SAVE\\Config3.usr", "C:\\SAVE\\Conf3.kvz",
                                "C:\\SAVE\\Conf3s.kvz", "C:\\SAVE\\Conf3us.kvz", "C:\\SAVE\\Conf3i.kvz",
                                "C:\\SAVE\\Conf3mc.kvz", "C:\\SAVE\\Conf3mb.kvz", "C:\\SAVE\\Conf3ma.kvz",
                                "C:\\SAVE\\Conf3mx.kvz", "C:\\SAVE\\Conf3na.kvz", "C:\\SAVE\\Conf3nw.kvz"}));
}

TEST_F(MaintenancePageTest, DeleteRemovesTheSlotsFilesInItsRecordedFolderAndFreesIt) {
  // With and without the trailing backslash the description may record.
  for (const std::string recorded : {"C:\\SAVE\\", "C:\\SAVE"}) {
    SCOPED_TRACE(recorded);
    core::state().ConfigNames(3) = "Games";
    core::RefreshConfigLists();
    saveSlot3("C:\\SAVE\\", recorded);
    machine.write("C:\\SAVE\\Config2.ini", "another slot");
    machine.write("C:\\SAVE\\Conf33.kvz", "not this slot's");
    machine.remove("C:\\SAVE\\Conf3na.kvz");  // saved without Netscape data: no message

    deleteSlot3(vbYes);

    EXPECT_EQ(present(ui::slotFiles("C:\\SAVE\\", 3)), std::vector<std::string>{});
    EXPECT_TRUE(machine.exists("C:\\SAVE\\Config2.ini"));
    EXPECT_TRUE(machine.exists("C:\\SAVE\\Conf33.kvz"));
    auto& f = windows::Form1();
    EXPECT_EQ(core::state().ConfigNames(3), "available");
    EXPECT_EQ(f.List3.list(2), "available");
    EXPECT_EQ(f.List2.list(2), "available");
    EXPECT_FALSE(f.Command13.enabled());
    EXPECT_EQ(core::ReadIni("Settings", "Config3", kSettings), "available");
    // The program's save folder is not the deleted slot's.
    EXPECT_EQ(core::state().SaveFolder, "D:\\Current\\");
    EXPECT_EQ(f.Text2.text(), "D:\\Current\\");
    EXPECT_EQ(core::ReadIni("SystemPathes", "SaveFolder", kSettings), "D:\\Current\\");
  }
}

// Only the program's own SmartSav folder (in any letter case) is SmartSave's:
// a save folder whose name merely holds "SmartSav" deletes the slot's own
// files and leaves SmartSave's configuration of the same number alone.
TEST_F(MaintenancePageTest, OnlyTheSmartSaveFolderItselfDeletesASmartSaveSlot) {
  const std::string smart = std::string(kApp) + "\\SmartSav\\";
  struct Case {
    std::string saveFolder;
    bool smartSaveGoes;
  } cases[] = {
      {"C:\\SmartSaves\\", false},
      {"D:\\Old SmartSav\\", false},
      {std::string(kApp) + "\\smartsav\\", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.saveFolder);
    core::state().ConfigNames(3) = "Games";
    core::RefreshConfigLists();
    core::state().SaveFolder = c.saveFolder;
    saveSlot3("C:\\SmartSaves\\", "C:\\SmartSaves\\");
    machine.write(smart + "Config3.ini", "[SystemFiles]\r\nSaveFolder=" + smart + "\r\n");
    machine.write(smart + "Conf3.kvz", "SmartSave #3");

    deleteSlot3(vbYes);

    const std::vector<std::string> smartFiles{smart + "Config3.ini", smart + "Conf3.kvz"};
    EXPECT_EQ(present(smartFiles), c.smartSaveGoes ? std::vector<std::string>{} : smartFiles);
    EXPECT_EQ(present(ui::slotFiles("C:\\SmartSaves\\", 3)).size(), c.smartSaveGoes ? 12u : 0u);
    EXPECT_EQ(core::state().ConfigNames(3), "available");
  }
}

TEST_F(MaintenancePageTest, NoDeletesNothingAndKeepsTheName) {
  saveSlot3("C:\\SAVE\\", "C:\\SAVE\\");
  deleteSlot3(vbNo);
  EXPECT_EQ(present(ui::slotFiles("C:\\SAVE\\", 3)).size(), 12u);
  EXPECT_EQ(core::state().ConfigNames(3), "Games");
  EXPECT_TRUE(windows::Form1().Command13.enabled());
  EXPECT_FALSE(machine.exists(kSettings));
}

TEST_F(MaintenancePageTest, WithoutADescriptionTheSlotsFilesGoFromTheProgramFolder) {
  for (const std::string& file : ui::slotFiles(std::string(kApp) + "\\", 3)) machine.write(file, "data");
  deleteSlot3(vbYes);
  EXPECT_EQ(present(ui::slotFiles(std::string(kApp) + "\\", 3)), std::vector<std::string>{});
  EXPECT_EQ(core::state().ConfigNames(3), "available");
}

TEST_F(MaintenancePageTest, ASetOnFloppiesIsFreedWithoutTouchingTheDiskInTheDrive) {
  machine.addMedium({.label = "SAVE#1"}, 'A');
  saveSlot3("A:\\", "A:\\");
  deleteSlot3(vbYes);
  EXPECT_EQ(present(ui::slotFiles("A:\\", 3)).size(), 12u);
  EXPECT_EQ(core::state().ConfigNames(3), "available");
  EXPECT_EQ(core::ReadIni("Settings", "Config3", kSettings), "available");
}

TEST_F(MaintenancePageTest, ARecordedFolderWithWildcardsDeletesNothing) {
  machine.write("C:\\SAVE\\Config3.ini", "data");
  machine.write(std::string(kApp) + "\\Config3.ini", "[SystemFiles]\r\nSaveFolder=C:\\SAV?\\\r\n");
  deleteSlot3(vbYes);
  EXPECT_TRUE(machine.exists("C:\\SAVE\\Config3.ini"));
  EXPECT_EQ(core::state().ConfigNames(3), "available");
}

// A browser that writes the address it was given into a file.
class RecordingBrowser {
 public:
  explicit RecordingBrowser(int exitCode = 0) {
    script_ = dir_.filePath("browser").toStdString();
    record_ = dir_.filePath("opened").toStdString();
    std::ofstream(script_) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << record_ << "'\nexit " << exitCode
                           << "\n";
    std::filesystem::permissions(script_, std::filesystem::perms::owner_all);
    platform::setUrlOpener(script_);
  }
  ~RecordingBrowser() { platform::setUrlOpener(""); }
  std::string opened() const {
    std::ifstream in(record_);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  QTemporaryDir dir_;
  std::string script_, record_;
};

TEST_F(MaintenancePageTest, WebUpdateOpensThisBuildsPageInTheBrowser) {
  RecordingBrowser browser;
  windows::Form1().Label13.setCaption("523");
  windows::Form1().Command28.click();
  EXPECT_EQ(browser.opened(), "http://kelvaran.example/tvx/kelv/eng/523.htm");
}

TEST_F(MaintenancePageTest, WebUpdateThatNoBrowserOpensSaysSo) {
  RecordingBrowser browser(3);
  windows::Form1().Label13.setCaption("523");
  dialogs()
      .expect("Unable to load 'http://kelvaran.example/tvx/kelv/eng/523.htm' : ")
      .containing()
      .style(forms::vbOKOnly)
      .title("");
  windows::Form1().Command28.click();
  EXPECT_NE(dialogs().shown().back().text.find("(Error "), std::string::npos);
}

TEST_F(MaintenancePageTest, CopyrightShowsTheNoticeAndTheArchiverCredit) {
  dialogs()
      .expect(forms::loadResString(1099) + "\r\r" + forms::loadResString(1158))
      .style(forms::vbOKOnly)
      .title("");
  windows::Form1().Command23.click();
}

TEST_F(MaintenancePageTest, SelectOpensTheUserFilesDialogBesideTheMainWindow) {
  windows::Form1().show();
  windows::Form1().Command11.click();
  EXPECT_TRUE(windows::UserFiles().visible());
  EXPECT_TRUE(windows::Form1().visible());
}

TEST_F(MaintenancePageTest, RescueDiskWizardMinimisesTheMainWindowAndOpensTheWizard) {
  windows::Form1().show();
  windows::Form1().Command18.click();
  EXPECT_TRUE(windows::Wizzard().visible());
  EXPECT_EQ(windows::Form1().windowState(), forms::WindowState::Minimized);
}

}  // namespace
