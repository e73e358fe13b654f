// The Import dialog's Restore and Contents: the question, the restore dialog
// shown for the imported configuration, the contents view, and this
// machine's state as before once each is over.
#include "restore/import_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/state.h"
#include "forms/dialogs.h"
#include "restore/loaded_configuration.h"
#include "restore/restore_boxes.h"
#include "support/restore_fixture.h"
#include "windows/form1.h"
#include "windows/import.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kProgram;
using windows::Import;
using windows::RestoreReq;

constexpr const char* kRow = "3 / Office PC       / 03/11/2026 09:05:07";
const std::string kSettings = kProgram + "kelvaran.ini";
const std::string kQuestion =
    std::string("Are you sure you wish to restore the\rfollowing Configuration?\r") + kRow;

// What the restore dialog showed while it was up.
struct Shown {
  int times = 0;
  bool modal = false;
  std::string caption;
  std::vector<int> enabled, ticked;
  std::vector<std::string> hidden;
  bool importMode = false;
  LoadedConfiguration loaded;
};

class ImportDialogTest : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    bindImport();
    machine().write(
        "N:\\OLD\\Config3.ini",
        "[Configuration]\r\nOSV=Windows 98 SE\r\nConfigName=Office PC\r\n\r\n"
        "[SystemFiles]\r\nSystemPath=D:\\WIN98\r\nSaveFolder=E:\\Kelvaran\\\r\n\r\n"
        "[SystemFilesSaved]\r\nWin.ini=1\r\nAutoexec.bat=1\r\n\r\n[UserFilesSaved]\r\nMSECookies=1\r\n");
    machine().write("N:\\OLD\\Conf3.kvz", "zip");
    machine().write(kSettings, "[Settings]\r\nConfig1=Mine\r\n");
    core::State& st = core::state();
    st.CurrentConfig = 1;
    st.ConfigNames(3) = "Mine";
    Import().load();
    Import().Label4.setCaption("N:\\OLD\\");
    Import().List1.addItem("1 / Other           / 03/11/2026 09:05:07");
    Import().List1.addItem(kRow);
    Import().List1.setListIndex(1);
  }
  void TearDown() override {
    Import().unload();
    RestoreReq().hide();
    RestoreTest::TearDown();
  }
  // Records the restore dialog the next time it is shown, and closes it.
  void whenRestoreDialogShown() {
    QTimer::singleShot(0, [this] {
      windows::RestoreReqWindow& r = RestoreReq();
      if (!r.visible()) return;  // the event loop ran, but the dialog never came up
      ++shown.times;
      shown.modal = r.widget()->isModal();
      shown.caption = r.caption();
      for (int n = 1; n <= 25; ++n) {
        if (RestoreBox(n).enabled()) shown.enabled.push_back(n);
        if (Ticked(n)) shown.ticked.push_back(n);
      }
      for (forms::Control* c :
           std::vector<forms::Control*>{&r.Command1, &r.Command2, &r.Command3, &r.Command4, &r.Command5,
                                        &r.Command6, &r.Command7, &r.Label1})
        if (!c->visible()) shown.hidden.push_back(c->name());
      shown.importMode = core::state().ImportMode;
      shown.loaded = loadedConfiguration();
      r.hide();
    });
  }
  void expectStateAsBefore() {
    const core::State& st = core::state();
    EXPECT_EQ(st.CurrentConfig, 1);
    EXPECT_EQ(st.SaveFolder, restoretest::kSaveFolder);
    EXPECT_EQ(st.SystemPath, "C:\\WINDOWS");
    EXPECT_EQ(st.ConfigNames(3), "Mine");
    EXPECT_FALSE(st.ImportMode);
    EXPECT_EQ(machine().read(kSettings), "[Settings]\r\nConfig1=Mine\r\n");
  }
  Shown shown;
};

TEST_F(ImportDialogTest, RestoreAsksThenShowsTheRestoreDialogForTheImportedConfiguration) {
  dialogs()
      .expect(kQuestion)
      .style(forms::vbYesNo + forms::vbQuestion)
      .title("Confirmation")
      .answer(forms::vbYes);
  whenRestoreDialogShown();
  Import().Command1.click();
  ASSERT_EQ(shown.times, 1);
  EXPECT_TRUE(shown.modal);
  EXPECT_TRUE(shown.importMode);
  EXPECT_EQ(shown.loaded.slot, 3);
  EXPECT_EQ(shown.loaded.SaveFolder, "N:\\OLD\\");
  EXPECT_EQ(shown.enabled, (std::vector<int>{1, 9, 19}));
  EXPECT_TRUE(shown.ticked.empty());
  EXPECT_TRUE(shown.hidden.empty());
  EXPECT_FALSE(Import().loaded());
  expectStateAsBefore();
}

TEST_F(ImportDialogTest, NoToTheQuestionKeepsTheDialogOpenAndChangesNothing) {
  dialogs().expect(kQuestion).answer(forms::vbNo);
  whenRestoreDialogShown();
  Import().Command1.click();
  QCoreApplication::processEvents();
  EXPECT_EQ(shown.times, 0);
  EXPECT_TRUE(Import().loaded());
  expectStateAsBefore();
}

TEST_F(ImportDialogTest, ARefusedReadClosesTheDialogWithoutARestore) {
  windows::Form1().Label5.setCaption("Windows Millennium");
  dialogs().expect(kQuestion).answer(forms::vbYes);
  dialogs()
      .expect("This configuration was created on a different Operating System.")
      .containing()
      .answer(forms::vbNo);
  whenRestoreDialogShown();
  Import().Command1.click();
  QCoreApplication::processEvents();
  EXPECT_EQ(shown.times, 0);
  EXPECT_FALSE(Import().loaded());
  expectStateAsBefore();
  core::state().RestoreState = 0;
}

TEST_F(ImportDialogTest, ContentsShowsOnlyTheSavedGroupsTickedAndPutsTheCaptionBack) {
  const std::string caption = RestoreReq().caption();
  RestoreReq().Check5.setValue(1);  // left ticked: disabled by the read, not ticked again
  whenRestoreDialogShown();
  Import().Command4.click();
  ASSERT_EQ(shown.times, 1);
  EXPECT_TRUE(shown.modal);
  EXPECT_FALSE(shown.importMode);
  EXPECT_EQ(shown.caption, "Files included in this Configuration");
  EXPECT_EQ(shown.enabled, (std::vector<int>{1, 9, 19}));
  EXPECT_EQ(shown.ticked, (std::vector<int>{1, 9, 19}));
  EXPECT_EQ(shown.hidden,
            (std::vector<std::string>{"Command1", "Command3", "Command4", "Command5", "Command6", "Label1"}));
  // Afterwards: the caption and the buttons are back, Import stays open.
  EXPECT_EQ(RestoreReq().caption(), caption);
  for (forms::Control* c :
       std::vector<forms::Control*>{&RestoreReq().Command1, &RestoreReq().Command5, &RestoreReq().Command6,
                                    &RestoreReq().Command3, &RestoreReq().Command4})
    EXPECT_TRUE(c->visible()) << c->name();
  EXPECT_TRUE(Import().loaded());
  expectStateAsBefore();
}

TEST_F(ImportDialogTest, ContentsIsNotShownForARefusedRead) {
  windows::Form1().Label5.setCaption("Windows Millennium");
  dialogs()
      .expect("This configuration was created on a different Operating System.")
      .containing()
      .answer(forms::vbNo);
  whenRestoreDialogShown();
  Import().Command4.click();
  QCoreApplication::processEvents();
  EXPECT_EQ(shown.times, 0);
  EXPECT_TRUE(Import().loaded());
  expectStateAsBefore();
  core::state().RestoreState = 0;
}

}  // namespace
}  // namespace restore
