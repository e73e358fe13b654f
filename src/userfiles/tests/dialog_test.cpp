// The user-files dialog's identity and profile choices, selection boxes and
// activation, alone and as discovery raises them.
#include <gtest/gtest.h>

#include "core/discovery.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "forms/scripted_dialogs_gtest.h"
#include "platform/registry.h"
#include "support/test_machine.h"
#include "userfiles/userfiles_dialog.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace {

constexpr const char* kProgramFolder = "C:\\Program Files\\Kelvaran";

class UserFilesDialog : public ::testing::Test {
 protected:
  UserFilesDialog() {
    core::resetState();
    forms::setAppPath(kProgramFolder);
    forms::reportScriptedDialogsToGtest();
    dialogs = &forms::ScriptedDialogs::install();
    d.unload();  // designer values for every test
    userfiles::bindUserFiles();
  }
  ~UserFilesDialog() override {
    dialogs->verify();
    platform::resetRegistry();
  }

  void fillIdentities(std::initializer_list<std::pair<const char*, const char*>> identities) {
    for (const auto& [name, store] : identities) {
      d.Combo1.addItem(name);
      d.List3.addItem(store);
    }
  }

  testsupport::TestMachine machine;
  forms::ScriptedDialogs* dialogs = nullptr;
  windows::UserFilesWindow& d = windows::UserFiles();
  core::State& s = core::state();
};

TEST_F(UserFilesDialog, IdentityChoiceSetsTheMailStoreOrNone) {
  fillIdentities({{"Main", "C:\\Stores\\Main"}, {"Nameless store", ""}, {"Root", "D:\\"}});
  struct Case {
    int index;
    const char* mailDir;
    bool mailbox;
  };
  for (const Case& c : {Case{0, "C:\\Stores\\Main\\", true}, Case{1, "", false}, Case{2, "D:\\", true}}) {
    s.SettingsSaved = true;
    d.Command1.setEnabled(false);
    d.Combo1.setListIndex(c.index);
    EXPECT_EQ(s.OEMailDir, c.mailDir) << c.index;
    EXPECT_EQ(d.Check3.enabled(), c.mailbox) << c.index;
    EXPECT_FALSE(s.SettingsSaved);
    EXPECT_TRUE(d.Command1.enabled());
  }
}

TEST_F(UserFilesDialog, ProfileChoiceFollowsTheProfileFolder) {
  const std::string full = "C:\\Program Files\\Netscape\\Users\\jo";
  machine.write(full + "\\Bookmark.htm", "<html>");
  machine.write(full + "\\News", "a file of that name counts");
  const std::string bare = "C:\\Program Files\\Netscape\\Users\\bare";
  machine.mkdirs(bare + "\\");
  for (const auto& [user, folder] : {std::pair{"jo", full}, {"bare", bare}, {"nofolder", std::string()}}) {
    d.Combo2.addItem(user);
    d.List4.addItem(folder);
  }
  d.Check11.setValue(1);
  s.NetscapeUsersDir = "C:\\Program Files\\Netscape\\Users\\";
  struct Case {
    int index;
    const char* path;
    bool bookmarks, cookies, news, mail;
  };
  for (const Case& c : {Case{0, "C:\\Program Files\\Netscape\\Users\\jo", true, false, true, true},
                        Case{1, "C:\\Program Files\\Netscape\\Users\\bare", false, false, false, true},
                        Case{2, "", false, false, false, false},
                        Case{0, "C:\\Program Files\\Netscape\\Users\\jo", true, false, true, true}}) {
    d.Combo2.setListIndex(c.index);
    EXPECT_EQ(s.PathNetscape, c.path) << c.index;
    EXPECT_EQ(s.machine.PathNetscape, c.path) << c.index;
    EXPECT_EQ(d.Check11.enabled(), c.bookmarks) << c.index;
    EXPECT_EQ(d.Check4.enabled(), c.cookies) << c.index;
    EXPECT_EQ(d.Check6.enabled(), c.news) << c.index;
    EXPECT_EQ(d.Check5.enabled(), c.mail) << c.index;
  }
  EXPECT_EQ(d.Check11.value(), 1);  // only the Enabled state follows the folder
  EXPECT_FALSE(s.SettingsSaved);

  s.NetscapeUsersDir = "";  // no Netscape installation found: the path stays
  s.PathNetscape = "kept";
  d.Combo2.setListIndex(1);
  EXPECT_EQ(s.PathNetscape, "kept");
}

TEST_F(UserFilesDialog, MailboxBoxDrivesTheIdentityControlsOnceThereIsAnIdentity) {
  d.Combo1.setEnabled(false);
  d.Check3.setValue(1);
  EXPECT_FALSE(d.Combo1.enabled());  // no identity: nothing else changes
  EXPECT_EQ(d.Combo1.backColor(), -1);
  EXPECT_FALSE(s.SettingsSaved);

  fillIdentities({{"Main", "C:\\Stores\\Main"}});
  d.Check3.setValue(0);
  EXPECT_FALSE(d.Combo1.enabled());
  EXPECT_FALSE(d.Label3.enabled());
  EXPECT_EQ(d.Combo1.backColor(), 4);
  d.Check3.setValue(1);
  EXPECT_TRUE(d.Combo1.enabled());
  EXPECT_TRUE(d.Label3.enabled());
  EXPECT_EQ(d.Combo1.backColor(), 9);
}

TEST_F(UserFilesDialog, EverySelectionBoxMarksTheSettingsUnsaved) {
  for (auto* box :
       {&d.Check1, &d.Check2, &d.Check3, &d.Check4, &d.Check5, &d.Check6, &d.Check11, &d.Check12}) {
    s.SettingsSaved = true;
    d.Command1.setEnabled(false);
    box->setValue(box->value() ? 0 : 1);
    EXPECT_FALSE(s.SettingsSaved) << box->name();
    EXPECT_TRUE(d.Command1.enabled()) << box->name();
  }
}

TEST_F(UserFilesDialog, WhileASaveRunsTheChoicesChangeNothing) {
  fillIdentities({{"Main", "C:\\Stores\\Main"}, {"Other", "C:\\Stores\\Other"}});
  d.Combo1.setListIndex(0);
  s.SettingsSaved = true;
  d.Command1.setEnabled(false);
  windows::Form1().Command2.setEnabled(false);  // as the save leaves Help while it runs
  for (auto* box : {&d.Check1, &d.Check3, &d.Check12}) {
    const int before = box->value();
    box->setValue(before ? 0 : 1);
    EXPECT_EQ(box->value(), before) << box->name();
  }
  d.Combo1.setListIndex(1);
  EXPECT_EQ(s.OEMailDir, "C:\\Stores\\Main\\");
  EXPECT_TRUE(s.SettingsSaved);
  EXPECT_FALSE(d.Command1.enabled());
  windows::Form1().Command2.setEnabled(true);
}

TEST_F(UserFilesDialog, ActivationReloadsOnlyAnEmptyList) {
  machine.write(std::string(kProgramFolder) + "\\kelvaran.usr",
                " 2\r\nc:\\data\\a,b.txt\r\nc:\\x.doc\r\n\r\n");
  d.SSTab1.setTab(2);
  d.onActivate();
  ASSERT_EQ(d.List1.listCount(), 2);
  EXPECT_EQ(d.List1.list(0), "c:\\data\\a,b.txt");
  EXPECT_EQ(d.Frame8.caption(), forms::loadResString(1216) + " 2");
  EXPECT_EQ(d.SSTab1.tab(), 0);
  EXPECT_EQ(d.caption(), forms::loadResString(1524));
  EXPECT_EQ(d.helpContextId(), 2070);

  d.List1.removeItem(1);  // edited, not saved: the next activation keeps it
  d.onActivate();
  EXPECT_EQ(d.List1.listCount(), 1);
  EXPECT_EQ(d.Frame8.caption(), forms::loadResString(1216) + " 1");
}

// Discovery selects the last identity and the Messenger user; the handlers
// then point the mail store and the profile at them.
TEST_F(UserFilesDialog, DiscoverySelectionsSetTheMachinePaths) {
  platform::useRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
      "\"SystemRoot\"=\"C:\\\\WINDOWS\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Outlook Express\\Version "
      "Info]\r\n\"Current\"=\"5.5\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities]\r\n\"Last Username\"=\"Jordan\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{J}]\r\n\"UserName\"=\"Jordan\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{J}\\Software\\Microsoft\\Outlook Express\\5.0]\r\n"
      "\"Store Root\"=\"C:\\\\Stores\\\\Jordan\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Main]\r\n"
      "\"Install Directory\"=\"C:\\\\Program Files\\\\Netscape\\\\Communicator\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\biff]\r\n\"CurrentUser\"=\"jo\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\biff\\Users\\jo\\servers\\mail]\r\n"
      "\"PopstatePath\"=\"C:\\\\Program Files\\\\Netscape\\\\Users\\\\jo\\\\Mail\\\\popstate.dat\"\r\n");
  core::DetectEnvironment();
  EXPECT_EQ(s.OEMailDir, "C:\\Stores\\Jordan\\");
  EXPECT_TRUE(d.Check3.enabled());
  EXPECT_EQ(s.NetscapeUsersDir, "C:\\Program Files\\Netscape\\Users\\");
  EXPECT_EQ(s.PathNetscape, "C:\\Program Files\\Netscape\\Users\\jo");
  EXPECT_EQ(s.machine.PathNetscape, "C:\\Program Files\\Netscape\\Users\\jo");
}

}  // namespace
