// The Import button: folder choice, the listing in the Import dialog, and the
// dialog's own window logic (texts, buttons enabled by a click, Cancel, Help).
#include "ui/import_button.h"

#include <functional>
#include <string>

#include "forms/help.h"
#include "platform/files.h"
#include "support/window_fixture.h"
#include "windows/form1.h"
#include "windows/import.h"

namespace {

using windows::Import;

constexpr const char* kBrowseTitle = "Select the source with the Configuration";
const platform::DateTime kWritten{2026, 11, 3, 9, 5, 7};

class ImportButtonTest : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    windows::Form1().load();
  }
  void TearDown() override {
    Import().onActivate = nullptr;
    UiTest::TearDown();
  }
  void putDescription(const std::string& file, const std::string& name) {
    machine.write(file,
                  "[Configuration]\r\nConfigName=" + name + "\r\n[SystemFiles]\r\nSaveFolder=C:\\S\\\r\n");
    platform::setFileDateTime(file, kWritten);
  }
  // Presses Import with `folder` answered in the browser; `whileShown` runs
  // when the Import dialog comes up (and closes it with Cancel afterwards).
  void pressImport(const std::string& folder, std::function<void()> whileShown = {}) {
    if (folder.empty()) {
      dialogs().expectFolder(kBrowseTitle).cancel();
    } else {
      dialogs().expectFolder(kBrowseTitle).answerText(folder);
    }
    // The handler stays set while it runs (it is cleared at the end of the test).
    Import().onActivate = [this, whileShown] {
      if (shown > 0) return;
      ++shown;
      shownModally = Import().widget()->isModal();
      if (whileShown) whileShown();
      if (Import().loaded()) Import().Command2.click();
    };
    windows::Form1().Command27.click();
  }
  static std::vector<std::string> rows() {
    std::vector<std::string> out;
    for (int i = 0; i < Import().List1.listCount(); ++i) out.push_back(Import().List1.list(i));
    return out;
  }
  int shown = 0;
  bool shownModally = false;
};

TEST_F(ImportButtonTest, ListsTheFolderDescriptionsAndShowsTheDialogModally) {
  putDescription("N:\\OLD\\Config2.ini", "Second");
  putDescription("N:\\OLD\\Config5.ini", "Fifth");
  std::vector<std::string> listed;
  std::string folder;
  pressImport("N:\\OLD", [&] {
    listed = rows();
    folder = Import().Label4.caption();
  });
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(shownModally);
  EXPECT_EQ(listed, (std::vector<std::string>{"2 / Second          / 03/11/2026 09:05:07",
                                              "5 / Fifth           / 03/11/2026 09:05:07"}));
  EXPECT_EQ(folder, "N:\\OLD\\");
  EXPECT_FALSE(Import().loaded());  // Cancel unloaded it
}

TEST_F(ImportButtonTest, DialogTextsAndButtons) {
  putDescription("N:\\OLD\\Config1.ini", "First");
  pressImport("N:\\OLD\\", [] {
    auto& d = Import();
    EXPECT_EQ(d.caption(), "Restore imported Configuration.");
    EXPECT_EQ(d.helpContextId(), 2050);
    EXPECT_EQ(d.Frame1.caption(), "Current Folder:");
    EXPECT_EQ(d.Frame2.caption(), "Available Configurations:");
    EXPECT_EQ(d.Label2.caption(), "No. Description       Date       Time");
    EXPECT_EQ(d.Command1.caption(), "&Restore");
    EXPECT_EQ(d.Command2.caption(), "&Cancel");
    EXPECT_EQ(d.Command3.caption(), "&Help");
    EXPECT_EQ(d.Command4.caption(), "Con&tents...");
    // Restore and Contents wait for a click on an entry, then stay enabled.
    EXPECT_FALSE(d.Command1.enabled());
    EXPECT_FALSE(d.Command4.enabled());
    d.List1.setListIndex(0);
    EXPECT_TRUE(d.Command1.enabled());
    EXPECT_TRUE(d.Command4.enabled());
    d.List1.setListIndex(-1);
    EXPECT_TRUE(d.Command1.enabled());
    // Help opens the dialog's topic.
    d.Command3.click();
    EXPECT_EQ(forms::shownHelpTopic(), 2050);
  });
  EXPECT_EQ(shown, 1);
}

TEST_F(ImportButtonTest, DriveRootIsUsedAsItIs) {
  putDescription("N:\\Config3.ini", "On the root");
  std::string folder;
  pressImport("N:\\", [&] { folder = Import().Label4.caption(); });
  EXPECT_EQ(folder, "N:\\");
}

TEST_F(ImportButtonTest, CancelledBrowserListsNothing) {
  pressImport("");
  EXPECT_EQ(shown, 0);
  // The dialog is loaded hidden with its captions all the same.
  EXPECT_TRUE(Import().loaded());
  EXPECT_FALSE(Import().visible());
  EXPECT_EQ(Import().caption(), "Restore imported Configuration.");
  EXPECT_EQ(Import().List1.listCount(), 0);
}

TEST_F(ImportButtonTest, FolderWithoutDescriptionsSaysSo) {
  machine.write("N:\\Empty\\Conf1.kvz", "");
  dialogs().expectFolder(kBrowseTitle).answerText("N:\\Empty");
  dialogs().expect("No recoverable Configuration found.").style(forms::vbOKOnly).title("");
  windows::Form1().Command27.click();
  EXPECT_FALSE(Import().visible());
}

TEST_F(ImportButtonTest, NetworkFolderIsWarnedAboutAndListed) {
  dialogs().expectFolder(kBrowseTitle).answerText("\\\\SERVER\\Share");
  dialogs()
      .expect(
          "You have chosen a destination directory on a network. This configuration can not be restored "
          "with the DOS Module of Kelvaran.")
      .style(forms::vbOKOnly)
      .title("");
  // The stand-in machine has no such share: nothing is found there.
  dialogs().expect("No recoverable Configuration found.").style(forms::vbOKOnly);
  windows::Form1().Command27.click();
}

TEST_F(ImportButtonTest, DoesNothingWhileAnOperationRuns) {
  putDescription("N:\\OLD\\Config1.ini", "First");
  windows::Form1().Command3.setEnabled(false);  // a restore runs
  windows::Form1().Command27.click();
  windows::Form1().Command3.setEnabled(true);
  EXPECT_EQ(shown, 0);
}

}  // namespace
