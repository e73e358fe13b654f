// The user-defined files tab: Add, Remove, duplicates and orphans, dropped
// files, item tips, Apply, OK, Cancel and the close box; what OK writes is
// what the next save packs.
#include "userfiles/file_list.h"

#include <gtest/gtest.h>

#include <QListView>
#include <string>
#include <vector>

#include "core/state.h"
#include "core/userlist.h"
#include "forms/dialogs.h"
#include "forms/messages.h"
#include "save/save_engine.h"
#include "save/tests/support/save_fixture.h"
#include "userfiles/userfiles_dialog.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace {

using savetest::kProgramFolder;
using Items = std::vector<std::string>;

constexpr const char* kAddTitle = "Select user-defined Files";
const std::string kUserList = std::string(kProgramFolder) + "\\kelvaran.usr";

class FileList : public savetest::SaveTest {
 protected:
  void SetUp() override {
    windows::UserFiles().unload();  // designer values, then this dialog's load
    userfiles::bindUserFiles();
    SaveTest::SetUp();
    core::state().SettingsSaved = true;
  }

  static windows::UserFilesWindow& d() { return windows::UserFiles(); }
  static Items listed() {
    Items items;
    for (int i = 0; i < d().List1.listCount(); ++i) items.push_back(d().List1.list(i));
    return items;
  }
  static void fill(const Items& items) {
    d().List1.clear();
    for (const std::string& item : items) d().List1.addItem(item);
  }
  void add(const std::string& answer) {
    dialogs().expectFileOpen(kAddTitle).answerText(answer);
    d().Command11.click();
  }
  static std::string countLine() { return d().Frame8.caption(); }
};

TEST(ChosenFiles, OneFileOrAFolderWithNamesLowerCased) {
  using namespace std::string_literals;
  const struct {
    std::string answer;
    Items files;
  } cases[] = {
      {"C:\\My Documents\\Letter.DOC", {"c:\\my documents\\letter.doc"}},
      {"C:\\My Documents\0A.txt\0b.TXT"s, {"c:\\my documents\\a.txt", "c:\\my documents\\b.txt"}},
      {"C:\\\0AUTOEXEC.BAT\0CONFIG.SYS\0"s, {"c:\\autoexec.bat", "c:\\config.sys"}},
      {"C:\\Data\0\0x.txt"s, {"c:\\data\\x.txt"}},
  };
  for (const auto& c : cases) EXPECT_EQ(userfiles::chosenFiles(c.answer), c.files) << c.answer;
}

TEST_F(FileList, LoadSetsTheCaptionsAndStartsWithApplyAndRemoveDisabled) {
  EXPECT_EQ(d().Command11.caption(), "&A&dd...");
  EXPECT_EQ(d().Command6.caption(), "Remove D&uplicates");
  EXPECT_EQ(d().Command2.caption(), "&Cancel");
  EXPECT_EQ(d().SSTab1.tabCaption(0), "Other Files ");
  EXPECT_FALSE(d().Command1.enabled());
  EXPECT_FALSE(d().Command12.enabled());
}

TEST_F(FileList, EditedListIsWrittenByOkAndPackedByTheNextSave) {
  machine().write("C:\\My Documents\\a.txt", "a");
  machine().write("C:\\My Documents\\b.txt", "b");
  machine().write("C:\\Data\\c.txt", "c");
  using namespace std::string_literals;
  add("C:\\My Documents\0A.txt\0b.txt"s);
  EXPECT_EQ(listed(), (Items{"c:\\my documents\\a.txt", "c:\\my documents\\b.txt"}));
  EXPECT_FALSE(core::state().SettingsSaved);
  EXPECT_TRUE(d().Command1.enabled());
  EXPECT_EQ(countLine(), "User-defined Files - Total Files:  2");

  d().List1.onDropFiles({"C:\\Data\\c.txt", "C:\\My Documents\\a.txt"});
  d().List1.addItem("C:\\Gone\\missing.txt");
  d().List1.setSelected(1, true);
  EXPECT_TRUE(d().Command12.enabled());
  d().Command12.click();
  EXPECT_FALSE(d().Command12.enabled());
  EXPECT_EQ(listed(), (Items{"c:\\my documents\\a.txt", "c:\\data\\c.txt", "c:\\my documents\\a.txt",
                             "C:\\Gone\\missing.txt"}));

  d().Command6.click();
  EXPECT_EQ(listed(), (Items{"c:\\my documents\\a.txt", "c:\\data\\c.txt", "C:\\Gone\\missing.txt"}));
  dialogs().expect("Removing:  1file(s)").style(forms::vbOKOnly).title("");
  d().Command7.click();
  EXPECT_EQ(listed(), (Items{"c:\\my documents\\a.txt", "c:\\data\\c.txt"}));

  d().show();
  d().Command3.click();
  EXPECT_FALSE(d().visible());
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_EQ(machine().read(kUserList), " 2\r\nc:\\my documents\\a.txt\r\nc:\\data\\c.txt\r\n\r\n");

  prepareSlot(1, "Files");
  dialogs().expect(savetest::kSavedMessage).anyText().containing();
  save::SaveConfiguration();
  EXPECT_EQ(savetest::ZipEntries("C:\\SAVE\\Conf1us.kvz"),
            (Items{"WINDOWS/TEMP/kelvaran/User/User.ini", "WINDOWS/TEMP/kelvaran/User/data/",
                   "WINDOWS/TEMP/kelvaran/User/data/c.txt", "WINDOWS/TEMP/kelvaran/User/my documents/",
                   "WINDOWS/TEMP/kelvaran/User/my documents/a.txt"}));
}

TEST_F(FileList, CancelledAddChangesNothing) {
  dialogs().expectFileOpen(kAddTitle).cancel();
  d().Command11.click();
  EXPECT_EQ(listed(), Items{});
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_FALSE(d().Command1.enabled());
}

TEST_F(FileList, RemoveWithNothingSelectedChangesNothing) {
  fill({"c:\\a.txt", "c:\\b.txt"});
  d().List1.setSelected(0, true);
  d().List1.setSelected(0, false);
  d().Command12.click();
  EXPECT_EQ(listed(), (Items{"c:\\a.txt", "c:\\b.txt"}));
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_FALSE(d().Command1.enabled());
}

TEST_F(FileList, RemoveTakesEverySelectedEntry) {
  fill({"c:\\a.txt", "c:\\b.txt", "c:\\c.txt", "c:\\d.txt"});
  d().List1.setSelected(0, true);
  d().List1.setSelected(2, true);
  d().List1.setSelected(3, true);
  d().Command12.click();
  EXPECT_EQ(listed(), (Items{"c:\\b.txt"}));
  EXPECT_EQ(countLine(), "User-defined Files - Total Files:  1");
}

TEST(KeepsEntry, ExistingFilesAndUnreadableDrivesStayMissingFilesGo) {
  testsupport::TestMachine machine;
  machine.write("C:\\Data\\here.txt", "x");
  machine.write("C:\\Data\\hidden.txt", "x");
  machine.setAttributes("C:\\Data\\hidden.txt", platform::kHidden);
  machine.eject('A');
  const struct {
    const char* entry;
    bool kept;
  } cases[] = {
      {"C:\\Data\\here.txt", true},       {"c:\\data\\HERE.TXT", true},  {"C:\\Data\\hidden.txt", true},
      {"C:\\Data\\*.txt", true},          {"C:\\Data\\gone.txt", false}, {"C:\\Data", false},
      {"C:\\NoSuchFolder\\x.txt", false}, {"A:\\letter.txt", true},      {"Q:\\no drive.txt", true},
  };
  for (const auto& c : cases) EXPECT_EQ(userfiles::keepsEntry(c.entry), c.kept) << c.entry;
}

TEST_F(FileList, OrphansOfAListWhoseFilesAllExistComeBackTrimmedWithoutAMessage) {
  machine().write("C:\\Data\\here.txt", "x");
  fill({"  C:\\Data\\here.txt ", "C:\\Data\\here.txt"});
  d().Command7.click();
  EXPECT_EQ(listed(), (Items{"C:\\Data\\here.txt", "C:\\Data\\here.txt"}));
  EXPECT_FALSE(d().Command1.enabled());
}

TEST_F(FileList, DroppedFolderIsRefusedOnceAndTheFilesAdded) {
  machine().write("C:\\Data\\One.txt", "1");
  machine().write("C:\\Data\\Two.txt", "2");
  dialogs()
      .expect("You can not add a complete folder!")
      .style(forms::vbOKOnly + forms::vbCritical)
      .title("Warning!");
  d().List1.onDropFiles({"C:\\Data\\One.txt", "C:\\Data", "C:\\Data\\Two.txt"});
  EXPECT_EQ(listed(), (Items{"c:\\data\\one.txt", "c:\\data\\two.txt"}));
  EXPECT_FALSE(core::state().SettingsSaved);
  EXPECT_TRUE(d().Command1.enabled());
  EXPECT_EQ(countLine(), "User-defined Files - Total Files:  2");
}

TEST_F(FileList, WhileASaveRunsTheListTakesNoEdits) {
  machine().write("C:\\Data\\One.txt", "1");
  fill({"c:\\a.txt", "c:\\a.txt"});
  windows::Form1().Command2.setEnabled(false);  // as the save leaves Help while it runs
  d().List1.onDropFiles({"C:\\Data\\One.txt"});
  d().Command6.click();
  d().Command7.click();
  d().Command11.click();
  d().Command1.setEnabled(true);
  d().Command1.click();
  windows::Form1().Command2.setEnabled(true);
  EXPECT_EQ(listed(), (Items{"c:\\a.txt", "c:\\a.txt"}));
  EXPECT_FALSE(machine().exists(kUserList));
}

TEST_F(FileList, ApplyWritesTheListAndTheSettingsAndDisablesItself) {
  fill({"c:\\a.txt"});
  d().Command1.setEnabled(true);
  d().Command12.setEnabled(true);
  core::state().SettingsSaved = false;
  d().Command1.click();
  EXPECT_EQ(machine().read(kUserList), " 1\r\nc:\\a.txt\r\n\r\n");
  EXPECT_TRUE(machine().exists(std::string(kProgramFolder) + "\\kelvaran.ini"));
  EXPECT_FALSE(d().Command1.enabled());
  EXPECT_FALSE(d().Command12.enabled());
  EXPECT_TRUE(core::state().SettingsSaved);
}

TEST_F(FileList, CancelAndTheCloseBoxHideTheWindowKeepingTheEditsUnwritten) {
  for (const bool closeBox : {false, true}) {
    fill({"c:\\edited.txt"});
    core::state().SettingsSaved = false;
    d().show();
    if (closeBox) {
      d().widget()->close();
    } else {
      d().Command2.click();
    }
    EXPECT_FALSE(d().visible()) << closeBox;
    EXPECT_TRUE(d().loaded()) << closeBox;
    EXPECT_TRUE(core::state().SettingsSaved) << closeBox;
    EXPECT_EQ(listed(), (Items{"c:\\edited.txt"})) << closeBox;
    EXPECT_FALSE(machine().exists(kUserList)) << closeBox;
  }
}

TEST_F(FileList, ShownTheListScrollsSidewaysToItsWidestEntry) {
  const std::string wide = "c:\\" + std::string(300, 'w') + ".txt";
  for (const bool wideEntry : {false, true}) {
    d().unload();
    machine().write(kUserList, " 2\r\nc:\\a.txt\r\n" + (wideEntry ? wide : "c:\\b.txt") + "\r\n\r\n");
    core::LoadUserList();  // loaded while the dialog is hidden, as by a save
    d().show();
    auto* list = qobject_cast<QListView*>(d().List1.widget());
    EXPECT_EQ(list->horizontalScrollBarPolicy(), wideEntry ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
  }
}

TEST_F(FileList, TheTipIsTheEntryUnderTheMouse) {
  fill({"c:\\first.txt", "c:\\a\\rather\\long\\second.txt"});
  d().show();
  auto* list = qobject_cast<QListView*>(d().List1.widget());
  const QPoint second = list->visualRect(list->model()->index(1, 0)).center();
  d().List1.onMouseMove(0, 0, second.x(), second.y());
  EXPECT_EQ(d().List1.toolTipText(), "c:\\a\\rather\\long\\second.txt");
  d().List1.onMouseMove(0, 0, second.x(), list->viewport()->height() - 1);
  EXPECT_EQ(d().List1.toolTipText(), "");
}

}  // namespace
