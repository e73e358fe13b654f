// The window texts: every text LoadRes sets, the windows it creates and the tab strips it leaves.
#include "ui/window_texts.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>
#include <functional>
#include <string_view>
#include <vector>

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
  bool fixed = false;  // not from the message table
};

// The text with the case of every ASCII letter turned over; escapes of the
// message table (a backslash and the character after it) kept as they are.
std::string turnedCase(std::string_view text, bool escapes = false) {
  std::string out(text);
  for (std::size_t i = 0; i < out.size(); ++i) {
    char& c = out[i];
    if (escapes && c == '\\') {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

// A message table whose every text differs from this program's: its case
// turned over letter by letter.
void writeTurnedTable(const std::string& path) {
  std::ifstream in(KELVARAN_SOURCE_DIR "/resources/messages.txt", std::ios::binary);
  std::ofstream out(path, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const auto tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos) {
      out << line << '\n';
    } else {
      out << line.substr(0, tab + 1) << turnedCase(line.substr(tab + 1), true) << '\n';
    }
  }
}

class WindowTexts : public uitest::UiTest {
 protected:
  // Form1 loaded without its load handler, then the texts alone.
  void loadTexts() {
    loadSplashQuietly();
    loadBare(Form1());
    ui::LoadRes();
  }
};

// Every text LoadRes sets, as the program's own message table gives it.
std::vector<Text> loadResTexts() {
  return {
      {"Form1 status", [] { return Form1().StatusBar1.simpleText(); },
       "Select a configuration number and enter a description"},
      {"SSTab2 0", [] { return Form1().SSTab2.tabCaption(0); }, "Save"},
      {"SSTab2 1", [] { return Form1().SSTab2.tabCaption(1); }, "Restore"},
      {"SSTab2 2", [] { return Form1().SSTab2.tabCaption(2); }, "Options"},
      {"SSTab2 3", [] { return Form1().SSTab2.tabCaption(3); }, "Tools"},
      {"SSTab2 4", [] { return Form1().SSTab2.tabCaption(4); }, "Maintenance"},
      {"SSTab2 5", [] { return Form1().SSTab2.tabCaption(5); }, "Info"},
      {"Option1", [] { return Form1().Option1.caption(); }, "Configuration  1:"},
      {"Option2", [] { return Form1().Option2.caption(); }, "Configuration  2:"},
      {"Option3", [] { return Form1().Option3.caption(); }, "Configuration  3:"},
      {"Option4", [] { return Form1().Option4.caption(); }, "Configuration  4:"},
      {"Option5", [] { return Form1().Option5.caption(); }, "Configuration  5:"},
      {"Command1", [] { return Form1().Command1.caption(); }, "&Save"},
      {"Command2", [] { return Form1().Command2.caption(); }, "&Help"},
      {"Command2 tip", [] { return Form1().Command2.toolTipText(); }, "Show Help File"},
      {"Command22", [] { return Form1().Command22.caption(); }, "&Default"},
      {"Command26", [] { return Form1().Command26.caption(); }, "&Default"},
      {"Command4", [] { return Form1().Command4.caption(); }, "&Restore"},
      {"Command4 tip", [] { return Form1().Command4.toolTipText(); }, "Start Restore"},
      {"Command3", [] { return Form1().Command3.caption(); }, "&Exit"},
      {"Command3 tip", [] { return Form1().Command3.toolTipText(); }, "Quit Program"},
      {"Command14", [] { return Form1().Command14.caption(); }, "&Save settings"},
      {"Command14 tip", [] { return Form1().Command14.toolTipText(); }, "Save settings"},
      {"Command18", [] { return Form1().Command18.caption(); }, "Rescue Disk &Wizard"},
      {"Command13", [] { return Form1().Command13.caption(); }, "&De&lete"},
      {"Command11", [] { return Form1().Command11.caption(); }, "&Select..."},
      {"Command19", [] { return Form1().Command19.caption(); }, "&Browse..."},
      {"Command20", [] { return Form1().Command20.caption(); }, "A&ll"},
      {"Command21", [] { return Form1().Command21.caption(); }, "&None"},
      {"Command27", [] { return Form1().Command27.caption(); }, "&Import..."},
      {"Command23", [] { return Form1().Command23.caption(); }, "&Copyright"},
      {"RestoreReq Command2", [] { return RestoreReq().Command2.caption(); }, "&Cancel"},
      {"SSTab1 0", [] { return RestoreReq().SSTab1.tabCaption(0); }, "System Files"},
      {"SSTab1 1", [] { return RestoreReq().SSTab1.tabCaption(1); }, "Other Files"},
      {"RestoreReq Frame1", [] { return RestoreReq().Frame1.caption(); }, "Desktop"},
      {"RestoreReq Frame3", [] { return RestoreReq().Frame3.caption(); }, "Other Files "},
      {"RestoreReq Frame2", [] { return RestoreReq().Frame2.caption(); }, "System Files"},
      {"RestoreReq Command5", [] { return RestoreReq().Command5.caption(); }, "A&ll"},
      {"RestoreReq Command3", [] { return RestoreReq().Command3.caption(); }, "A&ll"},
      {"RestoreReq Command6", [] { return RestoreReq().Command6.caption(); }, "&None"},
      {"RestoreReq Command4", [] { return RestoreReq().Command4.caption(); }, "&None"},
      {"RestoreReq Command1", [] { return RestoreReq().Command1.caption(); }, "&OK", true},
      {"RestoreReq Command7", [] { return RestoreReq().Command7.caption(); }, "&Help"},
      {"RestoreReq caption", [] { return RestoreReq().caption(); }, "Select files to restore"},
      {"RestoreReq Check11", [] { return RestoreReq().Check11.caption(); }, "Favorites"},
      {"RestoreReq Check18", [] { return RestoreReq().Check18.caption(); }, "Windows Adressbook"},
      {"RestoreReq Check20", [] { return RestoreReq().Check20.caption(); }, "Start Menu"},
      {"Wizzard Command3", [] { return Wizzard().Command3.caption(); }, "&Cancel"},
      {"Wizzard Command5", [] { return Wizzard().Command5.caption(); }, "&Formatting..."},
      {"Wizzard Option1", [] { return Wizzard().Option1.caption(); }, "Create a new Rescue Disk"},
      {"Wizzard Option2", [] { return Wizzard().Option2.caption(); }, "Update Rescue Disk (only Data Disk)"},
      {"Wizzard Command4 tip", [] { return Wizzard().Command4.toolTipText(); }, "Show Help File"},
      {"Wizzard Command4", [] { return Wizzard().Command4.caption(); }, "&Help"},
      {"Wizzard Command2", [] { return Wizzard().Command2.caption(); }, "&Next >"},
      {"Wizzard Command1", [] { return Wizzard().Command1.caption(); }, "< &Back"},
      {"Wizzard caption", [] { return Wizzard().caption(); }, "Kelvaran - Rescue Disk Wizard"},
      {"Label1", [] { return Form1().Label1.caption(); }, "Description:"},
      {"Label4", [] { return Form1().Label4.caption(); }, "Name / Date / Time:"},
      {"Label19", [] { return Form1().Label19.caption(); }, "Name / Date / Time:"},
      {"Label21", [] { return Form1().Label21.caption(); },
       "Click on 'Select...' to add user-defined, Internet related and other System Files."},
      {"Label18", [] { return Form1().Label18.caption(); }, forms::loadResString(1099)},
      {"Label27", [] { return Form1().Label27.caption(); }, "Date:"},
      {"Label22", [] { return Form1().Label22.caption(); }, "Select the Frequency of SmartSave"},
      {"Label28", [] { return Form1().Label28.caption(); }, "all"},
      {"Label29", [] { return Form1().Label29.caption(); }, "Days"},
      {"Frame12", [] { return Form1().Frame12.caption(); }, "Restore SmartSave Configuration:"},
      {"Frame1", [] { return Form1().Frame1.caption(); }, "Saving Configuration as:"},
      {"Frame2", [] { return Form1().Frame2.caption(); }, "Restore Configuration:"},
      {"Frame5", [] { return Form1().Frame5.caption(); }, "System Files"},
      {"Frame6", [] { return Form1().Frame6.caption(); }, "Delete Configuration:"},
      {"Frame9", [] { return Form1().Frame9.caption(); }, "Desktop"},
      {"Frame7", [] { return Form1().Frame7.caption(); }, "Save Configuration to:"},
      {"Frame8", [] { return Form1().Frame8.caption(); }, "Other Files"},
      {"Frame3", [] { return Form1().Frame3.caption(); }, "System Information:"},
      {"Frame4", [] { return Form1().Frame4.caption(); }, "Program Infomation:"},
      {"Frame10", [] { return Form1().Frame10.caption(); }, "Disaster Recovery"},
      {"Frame13", [] { return Form1().Frame13.caption(); }, "Compression "},
      {"Label24", [] { return Form1().Label24.caption(); }, "None"},
      {"Label25", [] { return Form1().Label25.caption(); }, "Highest"},
      {"Frame14", [] { return Form1().Frame14.caption(); }, "Kelvaran-WebUpdate"},
      {"Command28", [] { return Form1().Command28.caption(); }, "&Check"},
      {"Label23", [] { return Form1().Label23.caption(); },
       "Kelvaran-WebUpdate will check if there are any Updates for Kelvaran available.\r"
       "(Requires Internet connection)"},
      {"Check1", [] { return Form1().Check1.caption(); }, "Start Menu"},
      {"List2 tip", [] { return Form1().List2.toolTipText(); }, "Select a Configuration"},
      {"Text1 tip", [] { return Form1().Text1.toolTipText(); },
       "Enter a Description for the Configuration here."},
      {"SelWiz caption", [] { return windows::SelWiz().caption(); }, "Kelvaran - Rescue Disk Wizard"},
      {"FrmSmartSave Command1", [] { return windows::FrmSmartSave().Command1.caption(); }, "&Cancel"},
      {"Form2 bar", [] { return std::to_string(windows::Form2().ProgressBar1.value()); }, "30", true},
  };
}

TEST_F(WindowTexts, EveryTextComesFromTheMessageTable) {
  loadTexts();
  for (const Text& text : loadResTexts()) EXPECT_EQ(text.read(), text.expected) << text.what;
}

// The windows' designer texts equal the English ones, so only a table with
// other texts shows that each one is really set from it.
TEST_F(WindowTexts, EveryTextFollowsAnotherMessageTable) {
  const std::vector<Text> texts = loadResTexts();  // the English texts, read before the table changes
  QTemporaryDir folder;
  const std::string table = folder.filePath("turned.txt").toStdString();
  writeTurnedTable(table);
  forms::setMessageTableSource(table);
  loadTexts();
  forms::setMessageTableSource("");
  for (const Text& text : texts) {
    if (text.fixed) {
      EXPECT_EQ(text.read(), text.expected) << text.what;
      continue;
    }
    const std::string turned = turnedCase(text.expected);
    ASSERT_NE(turned, text.expected) << text.what;
    EXPECT_EQ(text.read(), turned) << text.what;
  }
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
