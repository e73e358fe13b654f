// The main window's frame: the tab switch and its question, help per page, close and Exit.
#include "ui/form1_frame.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>

#include "core/inifile.h"
#include "core/startup.h"
#include "core/state.h"
#include "forms/help.h"
#include "support/window_fixture.h"
#include "ui/window_texts.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/readme.h"
#include "windows/restorereq.h"

namespace {

using windows::Form1;

const std::string kSettings = std::string(uitest::kProgramFolder) + "\\kelvaran.ini";

class MainWindowFrame : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    core::State& st = core::state();
    for (int slot = 1; slot <= 5; ++slot) st.ConfigNames(slot) = "available";
    st.SettingsSaved = true;
    loadSplashQuietly();
    loadBare(Form1());
    ui::LoadRes();
    windows::Form2().unload();  // as the start-up leaves it: the main window loaded first
    Form1().show();
  }

  std::vector<std::string> visiblePages() {
    std::vector<std::string> shown;
    auto& f = Form1();
    for (forms::Frame* page :
         {&f.frmSave, &f.frmRestore, &f.frmOptions, &f.frmTools, &f.frmNance, &f.frmInfo}) {
      if (page->visible()) shown.push_back(page->name());
    }
    return shown;
  }
};

struct Page {
  int tab;
  const char* frame;
  int helpContext;
  const char* status;
};

TEST_F(MainWindowFrame, EachPageShowsItsFrameHelpContextAndStatus) {
  const Page pages[] = {
      {1, "frmRestore", 1020, "Select a configuration to restore"},
      {2, "frmOptions", 1050, "Options"},
      {3, "frmTools", 1060, "Tools"},
      {4, "frmNance", 1070, "Maintenance"},
      {5, "frmInfo", 2020, "Info"},
      {0, "frmSave", 1010, "Select a configuration number and enter a description"},
  };
  for (const Page& page : pages) {
    SCOPED_TRACE(page.frame);
    Form1().SSTab2.setTab(page.tab);
    EXPECT_THAT(visiblePages(), testing::ElementsAre(page.frame));
    EXPECT_EQ(Form1().helpContextId(), page.helpContext);
    EXPECT_EQ(Form1().StatusBar1.simpleText(), page.status);
    Form1().Command2.click();  // Help: F1 for the page shown
    EXPECT_EQ(forms::shownHelpTopic(), page.helpContext);
  }
}

TEST_F(MainWindowFrame, SavePageStatusFollowsTheDescription) {
  Form1().Text1.setText("Before update");
  Form1().SSTab2.setTab(5);
  Form1().SSTab2.setTab(0);
  EXPECT_EQ(Form1().StatusBar1.simpleText(), "Starting Save");
}

TEST_F(MainWindowFrame, RestorePageDisablesRestoreWithoutASelectedConfiguration) {
  auto& f = Form1();
  while (f.List2.listCount() < 5) f.List2.addItem("available");
  f.Command4.setEnabled(true);
  f.SSTab2.setTab(1);
  EXPECT_FALSE(f.Command4.enabled());

  f.SSTab2.setTab(0);
  f.List2.setListIndex(2);
  f.Command4.setEnabled(true);
  f.SSTab2.setTab(1);
  EXPECT_TRUE(f.Command4.enabled());
}

TEST_F(MainWindowFrame, UnsavedSettingsAnswerNoStaysOnOptionsAndAsksOnlyOnce) {
  core::state().SettingsSaved = false;
  dialogs()
      .expect("Save settings")
      .style(forms::vbYesNo + forms::vbQuestion)
      .title("Confirmation")
      .answer(forms::vbNo);
  Form1().SSTab2.setTab(3);
  dialogs().verify();
  EXPECT_EQ(Form1().SSTab2.tab(), 2);
  EXPECT_THAT(visiblePages(), testing::ElementsAre("frmOptions"));
  EXPECT_EQ(Form1().helpContextId(), 1050);
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_FALSE(machine.exists(kSettings));

  Form1().SSTab2.setTab(3);  // no second question
  EXPECT_EQ(Form1().SSTab2.tab(), 3);
  EXPECT_THAT(visiblePages(), testing::ElementsAre("frmTools"));
}

TEST_F(MainWindowFrame, UnsavedSettingsAnswerYesSavesAndShowsOptions) {
  Form1().Check8.setValue(0);
  core::state().SettingsSaved = false;
  dialogs().expect("Save settings").answer(forms::vbYes);
  Form1().SSTab2.setTab(4);
  EXPECT_EQ(Form1().SSTab2.tab(), 2);
  EXPECT_THAT(visiblePages(), testing::ElementsAre("frmOptions"));
  EXPECT_EQ(Form1().StatusBar1.simpleText(), "Options");
  EXPECT_EQ(core::ReadIni("SystemFiles", "Autoexec.bat", kSettings), "0");
}

TEST_F(MainWindowFrame, ReadmeButtonShowsTheViewerModally) {
  bool shownModally = false;
  windows::Readme().onActivate = [&] {
    shownModally = windows::Readme().widget()->isModal();
    windows::Readme().Command1.click();
  };
  Form1().Command9.click();
  windows::Readme().onActivate = nullptr;
  EXPECT_TRUE(shownModally);
  EXPECT_FALSE(windows::Readme().loaded());
}

TEST_F(MainWindowFrame, ClosingWhileASaveOrRestoreRunsIsRefused) {
  for (forms::CommandButton* busy : {&Form1().Command2, &Form1().Command3}) {
    SCOPED_TRACE(busy->name());
    busy->setEnabled(false);
    Form1().widget()->close();
    EXPECT_TRUE(Form1().loaded());
    EXPECT_TRUE(Form1().visible());
    Form1().Command3.click();  // Exit declines as well (when it can be clicked)
    EXPECT_TRUE(Form1().loaded());
    busy->setEnabled(true);
  }
  EXPECT_FALSE(machine.exists(kSettings));
}

// While a save or restore runs the pages and the readme can be looked at;
// the settings question waits for the next switch after the operation.
TEST_F(MainWindowFrame, WhileAnOperationRunsReadmeAndTheTabStripWorkAndAskNothing) {
  auto& f = Form1();
  core::state().SettingsSaved = false;  // would ask its question on a switch
  f.Command3.setEnabled(false);
  int readmeShown = 0;
  windows::Readme().onActivate = [&] {
    ++readmeShown;
    windows::Readme().Command1.click();
  };
  f.Command9.click();
  windows::Readme().onActivate = nullptr;
  EXPECT_EQ(readmeShown, 1);
  f.SSTab2.setTab(3);
  EXPECT_EQ(f.SSTab2.tab(), 3);
  EXPECT_THAT(visiblePages(), testing::ElementsAre("frmTools"));
  EXPECT_EQ(f.StatusBar1.simpleText(), "Tools");
  EXPECT_FALSE(core::state().SettingsSaved);
  f.Command3.setEnabled(true);
  dialogs().expect("Save settings").answer(forms::vbNo);
  f.SSTab2.setTab(4);
  EXPECT_THAT(visiblePages(), testing::ElementsAre("frmOptions"));
}

TEST_F(MainWindowFrame, ClosingOrExitWhenIdleSavesTheSettingsUnloadsTheWindowsAndEnds) {
  const std::pair<const char*, std::function<void()>> ways[] = {
      {"close", [] { Form1().widget()->close(); }},
      {"Exit", [] { Form1().Command3.click(); }},
  };
  for (const auto& [what, way] : ways) {
    SCOPED_TRACE(what);
    if (machine.exists(kSettings)) machine.remove(kSettings);
    windows::RestoreReq().load();
    int ends = 0;
    core::setProgramEnd([&] { ++ends; });
    way();
    core::setProgramEnd(nullptr);
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(machine.exists(kSettings));
    EXPECT_FALSE(windows::RestoreReq().loaded());
  }
}

}  // namespace
