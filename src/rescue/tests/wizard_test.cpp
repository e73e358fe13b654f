// The wizard's pages and buttons, the way in from the main window, the
// progress steps, and the main window's state while a disk is written.
#include "rescue/wizard.h"

#include "core/startup.h"
#include "core/state.h"
#include "rescue/disk_steps.h"
#include "support/rescue_fixture.h"
#include "windows/form1.h"
#include "windows/wizzard.h"

namespace {

using namespace rescuetest;

class Wizard : public RescueTest {
 protected:
  windows::WizzardWindow& w = windows::Wizzard();

  void expectFirstPage() {
    EXPECT_EQ(w.Label1.caption(), rescue::IntroText());
    EXPECT_FALSE(w.Command1.enabled());
    EXPECT_TRUE(w.Option1.visible());
    EXPECT_TRUE(w.Option2.visible());
    EXPECT_FALSE(w.Command5.visible());
    EXPECT_FALSE(w.Label3.visible());
    EXPECT_FALSE(w.ProgressBar4.visible());
    EXPECT_EQ(w.ProgressBar4.value(), 0);
  }
};

TEST_F(Wizard, OpensOnItsFirstPageFromTheMainWindow) {
  w.unload();
  windows::Form1().show();
  rescue::OpenRescueWizard();
  EXPECT_EQ(windows::Form1().windowState(), forms::WindowState::Minimized);
  EXPECT_TRUE(w.visible());
  EXPECT_EQ(w.helpContextId(), 1040);
  expectFirstPage();
  EXPECT_EQ(w.Label1.caption(), res(1053) + res(1054) + res(1055) + "\r\r" + res(1400) + "\r\r" + res(1056));
}

TEST_F(Wizard, NextOnTheFirstPageOnlyChangesThePage) {
  struct Case {
    bool update;
    std::string text;
  } cases[] = {{false, rescue::BlankDiskText()}, {true, rescue::UpdateText()}};
  for (const auto& c : cases) {
    (c.update ? w.Option2 : w.Option1).setValue(true);
    w.Command2.click();
    EXPECT_EQ(w.Label1.caption(), c.text);
    EXPECT_TRUE(w.Command1.enabled());
    EXPECT_FALSE(w.Option1.visible());
    EXPECT_FALSE(w.Option2.visible());
    EXPECT_FALSE(w.Label3.visible());
    EXPECT_FALSE(w.Command5.visible());
    w.Command1.click();  // Back
    expectFirstPage();
  }
  EXPECT_TRUE(w.Option2.value()) << "the choice survives the pages";
  EXPECT_TRUE(dialogs().shown().empty());
}

TEST_F(Wizard, BackAndCancelReturnToTheFirstPageAndForgetDisk1) {
  toBlankDiskPage();
  w.BootDiskDone = true;
  w.Command1.click();
  EXPECT_FALSE(w.BootDiskDone);

  windows::Form1().show();
  windows::Form1().setWindowState(forms::WindowState::Minimized);
  w.show();
  toBlankDiskPage();
  w.BootDiskDone = true;
  w.Command2.setVisible(false);
  w.Command3.setCaption("&" + res(1517));
  w.Command3.click();
  expectFirstPage();
  EXPECT_FALSE(w.BootDiskDone);
  EXPECT_TRUE(w.Command2.visible());
  EXPECT_TRUE(w.Command2.enabled());
  EXPECT_EQ(w.Command3.caption(), "&" + res(1092));
  EXPECT_FALSE(w.visible());
  EXPECT_TRUE(w.loaded());
  EXPECT_EQ(windows::Form1().windowState(), forms::WindowState::Normal);
}

TEST_F(Wizard, ClosingTheWindowIsCancel) {
  w.show();
  toBlankDiskPage();
  w.widget()->close();
  EXPECT_TRUE(w.loaded());
  EXPECT_FALSE(w.visible());
  expectFirstPage();
}

TEST_F(Wizard, RefresStepsTheBarBySevenUpTo130) {
  w.ProgressBar4.setValue(0);
  for (int expected : {7, 14, 21}) {
    rescue::Refres();
    EXPECT_EQ(w.ProgressBar4.value(), expected);
  }
  w.ProgressBar4.setValue(126);
  rescue::Refres();
  EXPECT_EQ(w.ProgressBar4.value(), 130);
  rescue::Refres();
  EXPECT_EQ(w.ProgressBar4.value(), 130);
}

TEST_F(Wizard, AUsedDisk2StopsNextUntilAnEmptyOneIsIn) {
  floppy("", {}, true);
  const std::string used = floppy("", {{"OLD.TXT", "old"}});
  const std::string blank = floppy("");
  toBlankDiskPage();
  bool mainWindowLocked = false;
  dialogs().expect(rescue::FormatInstructionsText());
  dialogs().expectFormat('A');
  dialogs().expect(rescue::ChangeDiskPrompt(1)).then([&] {
    mainWindowLocked = !windows::Form1().enabled() && core::exitRefused() && rescue::DiskJobRunning();
    machine.insert('A', used);
  });
  dialogs().expect(res(1068) + "\r\r" + res(1069));
  w.Command2.click();
  EXPECT_TRUE(mainWindowLocked);
  EXPECT_TRUE(windows::Form1().enabled());
  EXPECT_FALSE(core::exitRefused());
  EXPECT_TRUE(w.BootDiskDone);
  EXPECT_TRUE(w.Command5.visible());
  for (auto* button : {&w.Command1, &w.Command2, &w.Command3, &w.Command4}) EXPECT_TRUE(button->enabled());

  // Next again with an empty disk: no format instructions, disk 1 not written again.
  machine.insert('A', blank);
  dialogs().expect(res(1072) + " 2");
  dialogs().expect(res(1073)).containing();
  w.Command2.click();
  EXPECT_EQ(labelOf(blank), "Data#1");
  EXPECT_FALSE(w.Command1.visible());
  EXPECT_FALSE(w.Command2.visible());
  EXPECT_FALSE(w.Command4.enabled());
}

TEST_F(Wizard, TheWizardDoesNotOpenWhileASaveRuns) {
  w.unload();
  windows::Form1().Command2.setEnabled(false);  // a save runs
  rescue::OpenRescueWizard();
  EXPECT_FALSE(w.loaded());
}

}  // namespace
