#include "ui/form1_frame.h"

#include "core/inifile.h"
#include "core/settings.h"
#include "core/startup.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/dialogs.h"
#include "forms/help.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "save/save_engine.h"
#include "save/slot_commit.h"
#include "ui/window_texts.h"
#include "windows/form1.h"
#include "windows/readme.h"

namespace ui {

using forms::res;
namespace {

constexpr int kSavePage = 0;
constexpr int kRestorePage = 1;
constexpr int kOptionsPage = 2;

// Help context and status message of each page, by tab.
constexpr PageInfo kPages[] = {
    {1010, 1500},  // 1506 once a description is entered
    {1020, 1017}, {1050, 1508}, {1060, 1509}, {1070, 1030}, {2020, 1510},
};

forms::Frame& pageFrame(int tab) {
  windows::Form1Window& f = windows::Form1();
  forms::Frame* frames[] = {&f.frmSave, &f.frmRestore, &f.frmOptions, &f.frmTools, &f.frmNance, &f.frmInfo};
  return *frames[tab];
}

void loadMainWindow() {
  windows::Form1Window& f = windows::Form1();
  if (forms::prevInstance()) {
    forms::msgBox(res(1263), forms::vbOKOnly);
    forms::end(0);
  }
  f.setCaption(programTitle());
  f.centre();
  core::enterProgramFolder();
  forms::setAppHelpFile("kelvaran.HLP>Sub");
  f.setHelpContextId(1010);
  LoadRes();
  core::InitProgram();
  // A save killed while it put its new configuration in place is finished or undone.
  save::RecoverInterruptedCommits(core::state().SaveFolder);
  save::RecoverInterruptedCommits(forms::appPath() + "\\SmartSav\\");
}

// The close of the main window: refused while an operation runs; otherwise
// the orderly exit (which ends the program, or declines and keeps the window).
int g_unloadMode = 1;

void queryUnload(bool& cancel, int unloadMode) {
  g_unloadMode = unloadMode;
  if (unloadMode == 0 && save::OperationRunning()) cancel = true;
}

void unloadMainWindow(bool& cancel) {
  // The exit procedure unloads windows by code; a close by the user and the
  // close Windows sends when it shuts down start it from here.
  if (g_unloadMode == 1) return;
  core::ExitProgram();
  if (g_unloadMode == 0) cancel = true;  // still here: the exit declined
}

void switchTab(int /*previousTab*/) {
  windows::Form1Window& f = windows::Form1();
  core::State& st = core::state();
  // While an operation runs the pages switch as usual; the settings question
  // (and the settings write it may lead to) waits for the next switch after it.
  if (!st.SettingsSaved && !save::OperationRunning()) {
    st.SettingsSaved = true;
    {
      forms::HoldEvents held;
      f.SSTab2.setTab(kOptionsPage);
    }
    showPage(kOptionsPage);
    if (forms::msgBox(res(1527), forms::vbYesNo + forms::vbQuestion, res(1009)) == forms::vbNo) return;
    try {
      core::SaveSettings();
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error, " Save settings");
    }
  }
  showPage(f.SSTab2.tab());
}

}  // namespace

std::string programTitle() { return res(1085); }

PageInfo pageInfo(int tab) { return kPages[tab]; }

std::string pageStatus(int tab) {
  if (tab == kSavePage && !windows::Form1().Text1.text().empty()) return res(1506);
  return res(kPages[tab].statusMessage);
}

void showPage(int tab) {
  windows::Form1Window& f = windows::Form1();
  for (int page = 0; page < 6; ++page) pageFrame(page).setVisible(page == tab);
  f.setHelpContextId(kPages[tab].helpContext);
  f.StatusBar1.setSimpleText(pageStatus(tab));
  if (tab == kRestorePage && f.List2.listIndex() == -1) f.Command4.setEnabled(false);
}

void bindForm1Frame() {
  windows::Form1Window& f = windows::Form1();
  f.onLoad = loadMainWindow;
  f.onQueryUnload = queryUnload;
  f.onUnload = unloadMainWindow;
  f.SSTab2.onClick = switchTab;
  f.Command2.onClick = [] { forms::sendKeys("{F1}", true); };
  f.Command3.onClick = [] {
    if (!save::OperationRunning()) core::ExitProgram();
  };
  f.Command9.onClick = [] { windows::Readme().show(forms::Modal); };
}

}  // namespace ui
