// The window texts: every text LoadRes sets, the windows it creates and the tab strips it leaves.
#include "ui/window_texts.h"

#include <gtest/gtest.h>

#include <functional>

#include "forms/messages.h"
#include "support/window_fixture.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/frmsmartsave.h"
#include "windows/restorereq.h"
#include "windows/selwiz.h"
#include "windows/wizzard.h"

namespace {

using windows::Form1;
using windows::RestoreReq;
using windows::Wizzard;

struct Text {
  const char* what;
  std::function<std::string()> read;
  std::string expected;
};

class WindowTexts : public uitest::UiTest {
 protected:
  // Form1 loaded without its load handler, then the texts alone.
  void loadTexts() {
    loadSplashQuietly();
    loadBare(Form1());
    ui::LoadRes();
  }
};

TEST_F(WindowTexts, EveryTextComesFromTheMessageTable) {
  loadTexts();
  auto& f = Form1();
  auto& r = RestoreReq();
  auto& w = Wizzard();
  const Text texts[] = {
      {"Form1 status", [&] { return f.StatusBar1.simpleText(); },
       "Select a configuration number and enter a description"},
      {"SSTab2 0", [&] { return f.SSTab2.tabCaption(0); }, "Save"},
      {"SSTab2 1", [&] { return f.SSTab2.tabCaption(1); }, "Restore"},
      {"SSTab2 2", [&] { return f.SSTab2.tabCaption(2); }, "Options"},
      {"SSTab2 3", [&] { return f.SSTab2.tabCaption(3); }, "Tools"},
      {"SSTab2 4", [&] { return f.SSTab2.tabCaption(4); }, "Maintenance"},
      {"SSTab2 5", [&] { return f.SSTab2.tabCaption(5); }, "Info"},
      {"Option1", [&] { return f.Option1.caption(); }, "Configuration  1:"},
      {"Option5", [&] { return f.Option5.caption(); }, "Configuration  5:"},
      {"Command1", [&] { return f.Command1.caption(); }, "&Save"},
      {"Command2", [&] { return f.Command2.caption(); }, "&Help"},
      {"Command2 tip", [&] { return f.Command2.toolTipText(); }, "Show Help File"},
      {"Command22", [&] { return f.Command22.caption(); }, "&Default"},
      {"Command26", [&] { return f.Command26.caption(); }, "&Default"},
      {"Command4", [&] { return f.Command4.caption(); }, "&Restore"},
      {"Command4 tip", [&] { return f.Command4.toolTipText(); }, "Start Restore"},
      {"Command3", [&] { return f.Command3.caption(); }, "&Exit"},
      {"Command3 tip", [&] { return f.Command3.toolTipText(); }, "Quit Program"},
      {"Command14", [&] { return f.Command14.caption(); }, "&Save settings"},
      {"Command14 tip", [&] { return f.Command14.toolTipText(); }, "Save settings"},
      {"Command18", [&] { return f.Command18.caption(); }, "Rescue Disk &Wizard"},
      {"Command13", [&] { return f.Command13.caption(); }, "&De&lete"},
      {"Command11", [&] { return f.Command11.caption(); }, "&Select..."},
      {"Command19", [&] { return f.Command19.caption(); }, "&Browse..."},
      {"Command20", [&] { return f.Command20.caption(); }, "A&ll"},
      {"Command21", [&] { return f.Command21.caption(); }, "&None"},
      {"Command27", [&] { return f.Command27.caption(); }, "&Import..."},
      {"Command23", [&] { return f.Command23.caption(); }, "&Copyright"},
      {"RestoreReq Command2", [&] { return r.Command2.caption(); }, "&Cancel"},
      {"SSTab1 0", [&] { return r.SSTab1.tabCaption(0); }, "System Files"},
      {"SSTab1 1", [&] { return r.SSTab1.tabCaption(1); }, "Other Files"},
      {"RestoreReq Frame1", [&] { return r.Frame1.caption(); }, "Desktop"},
      {"RestoreReq Frame3", [&] { return r.Frame3.caption(); }, "Other Files "},
      {"RestoreReq Frame2", [&] { return r.Frame2.caption(); }, "System Files"},
      {"RestoreReq Command5", [&] { return r.Command5.caption(); }, "A&ll"},
      {"RestoreReq Command3", [&] { return r.Command3.caption(); }, "A&ll"},
      {"RestoreReq Command6", [&] { return r.Command6.caption(); }, "&None"},
      {"RestoreReq Command4", [&] { return r.Command4.caption(); }, "&None"},
      {"RestoreReq Command1", [&] { return r.Command1.caption(); }, "&OK"},
      {"RestoreReq Command7", [&] { return r.Command7.caption(); }, "&Help"},
      {"RestoreReq caption", [&] { return r.caption(); }, "Select files to restore"},
      {"RestoreReq Check11", [&] { return r.Check11.caption(); }, "Favorites"},
      {"RestoreReq Check18", [&] { return r.Check18.caption(); }, "Windows Adressbook"},
      {"RestoreReq Check20", [&] { return r.Check20.caption(); }, "Start Menu"},
      {"Wizzard Command3", [&] { return w.Command3.caption(); }, "&Cancel"},
      {"Wizzard Command5", [&] { return w.Command5.caption(); }, "&Formatting..."},
      {"Wizzard Option1", [&] { return w.Option1.caption(); }, "Create a new Rescue Disk"},
      {"Wizzard Option2", [&] { return w.Option2.caption(); }, "Update Rescue Disk (only Data Disk)"},
      {"Wizzard Command4 tip", [&] { return w.Command4.toolTipText(); }, "Show Help File"},
      {"Wizzard Command4", [&] { return w.Command4.caption(); }, "&Help"},
      {"Wizzard Command2", [&] { return w.Command2.caption(); }, "&Next >"},
      {"Wizzard Command1", [&] { return w.Command1.caption(); }, "< &Back"},
      {"Wizzard caption", [&] { return w.caption(); }, "Kelvaran - Rescue Disk Wizard"},
      {"Label1", [&] { return f.Label1.caption(); }, "Description:"},
      {"Label4", [&] { return f.Label4.caption(); }, "Name / Date / Time:"},
      {"Label19", [&] { return f.Label19.caption(); }, "Name / Date / Time:"},
      {"Label21", [&] { return f.Label21.caption(); },
       "Click on 'Select...' to add user-defined, Internet related and other System Files."},
      {"Label18", [&] { return f.Label18.caption(); }, forms::loadResString(1099)},
      {"Label27", [&] { return f.Label27.caption(); }, "Date:"},
      {"Label22", [&] { return f.Label22.caption(); }, "Select the Frequency of SmartSave"},
      {"Label28", [&] { return f.Label28.caption(); }, "all"},
      {"Label29", [&] { return f.Label29.caption(); }, "Days"},
      {"Frame12", [&] { return f.Frame12.caption(); }, "Restore SmartSave Configuration:"},
      {"Frame1", [&] { return f.Frame1.caption(); }, "Saving Configuration as:"},
      {"Frame2", [&] { return f.Frame2.caption(); }, "Restore Configuration:"},
      {"Frame5", [&] { return f.Frame5.caption(); }, "System Files"},
      {"Frame6", [&] { return f.Frame6.caption(); }, "Delete Configuration:"},
      {"Frame9", [&] { return f.Frame9.caption(); }, "Desktop"},
      {"Frame7", [&] { return f.Frame7.caption(); }, "Save Configuration to:"},
      {"Frame8", [&] { return f.Frame8.caption(); }, "Other Files"},
      {"Frame3", [&] { return f.Frame3.caption(); }, "System Information:"},
      {"Frame4", [&] { return f.Frame4.caption(); }, "Program Infomation:"},
      {"Frame10", [&] { return f.Frame10.caption(); }, "Disaster Recovery"},
      {"Frame13", [&] { return f.Frame13.caption(); }, "Compression "},
      {"Label24", [&] { return f.Label24.caption(); }, "None"},
      {"Label25", [&] { return f.Label25.caption(); }, "Highest"},
      {"Frame14", [&] { return f.Frame14.caption(); }, "Kelvaran-WebUpdate"},
      {"Command28", [&] { return f.Command28.caption(); }, "&Check"},
      {"Label23", [&] { return f.Label23.caption(); },
       "Kelvaran-WebUpdate will check if there are any Updates for Kelvaran available.\r"
       "(Requires Internet connection)"},
      {"Check1", [&] { return f.Check1.caption(); }, "Start Menu"},
      {"List2 tip", [&] { return f.List2.toolTipText(); }, "Select a Configuration"},
      {"Text1 tip", [&] { return f.Text1.toolTipText(); }, "Enter a Description for the Configuration here."},
      {"SelWiz caption", [] { return windows::SelWiz().caption(); }, "Kelvaran - Rescue Disk Wizard"},
      {"FrmSmartSave Command1", [] { return windows::FrmSmartSave().Command1.caption(); }, "&Cancel"},
      {"Form2 bar", [] { return std::to_string(windows::Form2().ProgressBar1.value()); }, "30"},
  };
  for (const Text& text : texts) EXPECT_EQ(text.read(), text.expected) << text.what;
}

TEST_F(WindowTexts, LeavesTheSavePageShownWithoutRunningTheTabSwitch) {
  int tabClicks = 0;
  auto tabSwitch = std::move(Form1().SSTab2.onClick);
  Form1().SSTab2.onClick = [&](int) { ++tabClicks; };
  int restoreTabClicks = 0;
  RestoreReq().SSTab1.onClick = [&](int) { ++restoreTabClicks; };
  loadTexts();
  Form1().SSTab2.onClick = std::move(tabSwitch);
  RestoreReq().SSTab1.onClick = nullptr;

  EXPECT_EQ(tabClicks, 0);
  EXPECT_EQ(restoreTabClicks, 0);
  EXPECT_EQ(Form1().SSTab2.tab(), 0);
  EXPECT_EQ(RestoreReq().SSTab1.tab(), 0);
  EXPECT_TRUE(Form1().frmSave.visible());
  for (forms::Frame* page :
       {&Form1().frmRestore, &Form1().frmOptions, &Form1().frmTools, &Form1().frmNance, &Form1().frmInfo}) {
    EXPECT_FALSE(page->visible()) << page->name();
  }
}

TEST_F(WindowTexts, CreatesTheWindowsItNamesHiddenInOrder) {
  loadTexts();
  std::vector<std::string> order;
  for (forms::Form* form : forms::loadedForms()) order.push_back(form->name());
  EXPECT_EQ(order,
            (std::vector<std::string>{"Form2", "Form1", "RestoreReq", "Wizzard", "SelWiz", "FrmSmartSave"}));
  for (forms::Form* form : forms::loadedForms()) EXPECT_FALSE(form->visible()) << form->name();
}

TEST_F(WindowTexts, SelWizKeepsItsCaptionWhenLoadedAgain) {
  loadTexts();
  windows::SelWiz().unload();
  windows::SelWiz().load();
  EXPECT_EQ(windows::SelWiz().caption(), "Kelvaran - Rescue Disk Wizard");
}

}  // namespace
