// Discovery of the machine's folders and versions on registry fixtures.
#include "core/discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/state.h"
#include "core/tests/support/core_fixture.h"
#include "platform/registry.h"
#include "platform/sysfacts.h"
#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace {

using coretest::CoreTest;

// One key of a fixture: its full path and its values. A value is written as
// a string unless it starts with "dword:" or "hex(" (then as it stands); the
// name "@" is the key's default value.
struct Key {
  std::string path;
  std::vector<std::pair<std::string, std::string>> values;
};

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return out;
}

std::string regedit(const std::vector<Key>& keys) {
  std::string text = "REGEDIT4\r\n";
  for (const auto& key : keys) {
    text += "\r\n[" + key.path + "]\r\n";
    for (const auto& [name, value] : key.values) {
      text += name == "@" ? std::string("@") : "\"" + name + "\"";
      const bool raw = value.rfind("dword:", 0) == 0 || value.rfind("hex(", 0) == 0;
      text += "=" + (raw ? value : "\"" + escaped(value) + "\"") + "\r\n";
    }
  }
  return text;
}

const std::string kLm = "HKEY_LOCAL_MACHINE\\Software\\";
const std::string kCu = "HKEY_CURRENT_USER\\Software\\";
const Key kWindows{kLm + "Microsoft\\Windows\\CurrentVersion", {{"SystemRoot", "C:\\WINDOWS"}}};
const Key kIdentitiesOnly{kLm + "Microsoft\\Outlook Express\\Version Info", {{"Current", "5.5"}}};

class Discovery : public CoreTest {
 protected:
  void detect(std::vector<Key> keys) {
    platform::useRegistry(regedit(keys));
    core::DetectEnvironment();
  }
  core::State& s = core::state();
  windows::UserFilesWindow& dialog = windows::UserFiles();
};

TEST_F(Discovery, DemoMachineFindsEveryFolderAndVersion) {
  core::DetectEnvironment();
  EXPECT_EQ(s.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(s.TempDir, "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(s.PathFavorites, "C:\\WINDOWS\\Favorites\\");
  EXPECT_EQ(s.PathStartmenue, "C:\\WINDOWS\\Start Menu\\");
  EXPECT_EQ(s.CookiesDir, "C:\\WINDOWS\\Cookies\\");
  EXPECT_EQ(s.AddressBookFile, "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\Jordan.wab");
  EXPECT_EQ(s.PathNetscape, "C:\\Program Files\\Netscape\\Users\\default");
  EXPECT_EQ(s.machine.PathNetscape, s.PathNetscape);
  auto& main = windows::Form1();
  EXPECT_EQ(main.Label5.caption(), "Microsoft Windows 98");
  EXPECT_EQ(main.Label7.caption(), "4.10.2222");
  EXPECT_EQ(main.Label11.caption(), "2.5");
  EXPECT_EQ(main.Label13.caption(), "523");  // a number value in decimal
  EXPECT_EQ(dialog.Label1.caption(), "Version 5.00.2614.3500");
  EXPECT_EQ(dialog.Label2.caption(), "Version 4.7 (en)");
  EXPECT_EQ(dialog.Label4.caption(), "Version 5.50.4133.2400");
  auto& restore = windows::RestoreReq();
  EXPECT_EQ(restore.Label3.caption(), "Version 4.7 (en)");
  EXPECT_EQ(restore.Label4.caption(), "Idenity Jordan");
  ASSERT_EQ(dialog.Combo1.listCount(), 1);
  EXPECT_EQ(dialog.Combo1.listIndex(), 0);
  for (auto* box : {&dialog.Check1, &dialog.Check2, &dialog.Check3, &dialog.Check4, &dialog.Check5,
                    &dialog.Check11, &dialog.Check12, &main.Check1})
    EXPECT_TRUE(box->enabled()) << box->name();
}

TEST_F(Discovery, EmptyOrMalformedPathValuesCountAsMissingWhileVersionsKeepThem) {
  const std::string shell = kCu + "Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  detect({kWindows,
          {kLm + "Microsoft\\Internet Explorer", {{"Version", ""}}},
          {shell, {{"Favorites", ""}, {"Start Menu", ""}, {"Cookies", ""}}},
          {kCu + "Microsoft\\WAB\\WAB4\\Wab File Name", {{"@", "C:\\WINDOWS\\<book>.wab"}}},
          {kCu + "Microsoft\\Outlook Express", {{"Store Root", ""}}}});
  EXPECT_EQ(dialog.Label1.caption(), "Version ");
  EXPECT_EQ(windows::RestoreReq().Label2.caption(), "Version ");
  struct Case {
    const std::string& path;
    forms::CheckBox& box;
  };
  for (const Case& c :
       {Case{s.PathFavorites, dialog.Check12}, Case{s.PathStartmenue, windows::Form1().Check1},
        Case{s.AddressBookFile, dialog.Check1}, Case{s.CookiesDir, dialog.Check2},
        Case{s.OEMailDir, dialog.Check3}}) {
    EXPECT_EQ(c.path, "") << c.box.name();
    EXPECT_FALSE(c.box.enabled()) << c.box.name();
  }
}

TEST_F(Discovery, OlderOutlookExpressUsesItsStoreAndNeverTheIdentities) {
  detect({kWindows,
          {kCu + "Microsoft\\Outlook Express", {{"Store Root", "C:\\WINDOWS\\Application Data\\OE"}}},
          {"HKEY_CURRENT_USER\\Identities", {{"Last Username", "Main"}}},
          {"HKEY_CURRENT_USER\\Identities\\{M}", {{"UserName", "Main"}}}});
  EXPECT_EQ(s.OEMailDir, "C:\\WINDOWS\\Application Data\\OE\\Mail\\");
  EXPECT_TRUE(dialog.Check3.enabled());
  EXPECT_EQ(dialog.Combo1.listCount(), 0);
  EXPECT_EQ(dialog.List2.listCount(), 0);
}

TEST_F(Discovery, IdentitiesKeepTheirFoldersAtTheSameIndex) {
  const std::string oe = "\\Software\\Microsoft\\Outlook Express\\5.0";
  detect({kWindows,
          kIdentitiesOnly,
          {"HKEY_CURRENT_USER\\Identities", {{"Last Username", "Ben"}}},
          {"HKEY_CURRENT_USER\\Identities\\{A}", {{"UserName", "Anna"}}},  // no folder
          {"HKEY_CURRENT_USER\\Identities\\{B}", {{"UserName", "Ben"}}},
          {"HKEY_CURRENT_USER\\Identities\\{B}" + oe, {{"Store Root", "C:\\Stores\\Ben"}}},
          {"HKEY_CURRENT_USER\\Identities\\{C}", {{"UserName", "Cleo"}}},  // a folder of another type
          {"HKEY_CURRENT_USER\\Identities\\{C}" + oe, {{"Store Root", "hex(2):43,3a,5c,00"}}}});
  ASSERT_EQ(dialog.Combo1.listCount(), 3);
  ASSERT_EQ(dialog.List3.listCount(), 3);
  const std::vector<std::pair<std::string, std::string>> expected{
      {"Anna", ""}, {"Ben", "C:\\Stores\\Ben"}, {"Cleo", ""}};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(dialog.Combo1.list(k), expected[k].first);
    EXPECT_EQ(dialog.List3.list(k), expected[k].second);
  }
  EXPECT_EQ(dialog.Combo1.listIndex(), 1);
  EXPECT_EQ(windows::RestoreReq().Label4.caption(), "Idenity Ben");
  EXPECT_TRUE(dialog.Check3.enabled());
  EXPECT_EQ(dialog.Label4.caption(), "");  // no MediaVer
}

TEST_F(Discovery, IdentitiesWithoutAnyFolderLeaveTheMailboxDisabled) {
  detect({kWindows, kIdentitiesOnly, {"HKEY_CURRENT_USER\\Identities\\{A}", {{"UserName", "Anna"}}}});
  EXPECT_EQ(dialog.Combo1.listCount(), 1);
  EXPECT_FALSE(dialog.Check3.enabled());
  EXPECT_EQ(dialog.Combo1.listIndex(), -1);
}

// Netscape without profile users: the Messenger users of "biff".
TEST_F(Discovery, MessengerUsersPairedWithTheirProfilesAndTheCurrentOneChosen) {
  const std::string nav = kCu + "Netscape\\Netscape Navigator";
  auto user = [&](const std::string& name, const std::string& popstate) {
    return Key{nav + "\\biff\\Users\\" + name + "\\servers\\mail",
               popstate.empty()
                   ? std::vector<std::pair<std::string, std::string>>{}
                   : std::vector<std::pair<std::string, std::string>>{{"PopstatePath", popstate}}};
  };
  const std::string users = "C:\\Program Files\\Netscape\\Users\\";
  struct Case {
    std::vector<Key> users;
    const char* current;  // "" for none
    int chosen;
  };
  for (const Case& c : {
           Case{{user("ann", users + "ann\\Mail\\popstate.dat"),
                 user("bob", users + "bob\\Mail\\popstate.dat")},
                "bob",
                1},
           Case{{user("ann", users + "ann\\Mail\\popstate.dat"), user("bob", "")}, "", 1},
           Case{{user("ann", users + "ann\\Mail\\popstate.dat")}, "", 0},
       }) {
    std::vector<Key> keys{
        kWindows,
        {kLm + "Netscape\\Netscape Navigator", {{"CurrentVersion", "4.7"}}},
        {nav + "\\Main", {{"Install Directory", "C:\\Program Files\\Netscape\\Communicator"}}}};
    if (*c.current) keys.push_back({nav + "\\biff", {{"CurrentUser", c.current}}});
    keys.insert(keys.end(), c.users.begin(), c.users.end());
    detect(keys);
    const int count = static_cast<int>(c.users.size());
    ASSERT_EQ(dialog.Combo2.listCount(), count);
    ASSERT_EQ(dialog.List4.listCount(), count);
    EXPECT_EQ(dialog.Combo2.list(0), "ann");
    EXPECT_EQ(dialog.List4.list(0), users + "ann");
    if (count > 1) {
      EXPECT_EQ(dialog.List4.list(1), c.users[1].values.empty() ? "" : users + "bob");
    }
    EXPECT_EQ(dialog.Combo2.listIndex(), c.chosen) << c.current;
    EXPECT_EQ(s.NetscapeUsersDir, users);
    EXPECT_TRUE(dialog.Check5.enabled());
    EXPECT_TRUE(dialog.Label5.enabled());
    EXPECT_TRUE(dialog.Combo2.enabled());
    EXPECT_EQ(dialog.Combo2.backColor(), 9);
    EXPECT_EQ(dialog.Label6.caption(), "Version 4.7");
    EXPECT_FALSE(dialog.Check11.enabled());  // no profile user
  }
}

TEST_F(Discovery, ProfileUsersNeverRunTheMessengerWalk) {
  dialog.Combo2.addItem("as the dialog holds it");
  detect({kWindows,
          {kLm + "Netscape\\Netscape Navigator", {{"CurrentVersion", "4.7"}}},
          {kLm + "Netscape\\Netscape Navigator\\Users", {{"CurrentUser", "jo"}}},
          {kLm + "Netscape\\Netscape Navigator\\Users\\jo", {{"DirRoot", "C:\\Netscape\\jo"}}},
          {kCu + "Netscape\\Netscape Navigator\\biff\\Users\\ann\\servers\\mail", {{"PopstatePath", "x"}}}});
  EXPECT_EQ(s.PathNetscape, "C:\\Netscape\\jo");
  EXPECT_EQ(dialog.Label2.caption(), "Version 4.7");
  EXPECT_EQ(dialog.Combo2.listCount(), 1);
  EXPECT_EQ(dialog.Combo2.list(0), "as the dialog holds it");
  EXPECT_EQ(s.NetscapeUsersDir, "");
}

TEST_F(Discovery, AProfileUserWithoutAFolderCountsAsNone) {
  detect({kWindows,
          {kLm + "Netscape\\Netscape Navigator\\Users", {{"CurrentUser", "jo"}}},
          {kLm + "Netscape\\Netscape Navigator\\Users\\jo", {{"DirRoot", ""}}}});
  EXPECT_EQ(s.PathNetscape, "");
  for (const forms::Control* box : std::initializer_list<const forms::Control*>{
           &dialog.Check11, &dialog.Check4, &dialog.Check5, &dialog.Combo2})
    EXPECT_FALSE(box->enabled()) << box->name();
  EXPECT_EQ(dialog.Combo2.backColor(), 4);
}

TEST_F(Discovery, MissingSystemRootAndTempFolderFallBackToTheWindowsFolder) {
  platform::SystemFacts facts = platform::systemFacts();
  facts.tempPath = "";
  platform::setSystemFacts(facts);
  detect({{kLm + "Microsoft\\Windows\\CurrentVersion", {{"ProductName", "Microsoft Windows 98"}}}});
  EXPECT_EQ(s.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(s.machine.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(s.TempDir, "C:\\WINDOWS\\Temp\\");
  platform::resetSystemFacts();
}

// The short form of a folder that is not there is "", as Windows' search gives it.
TEST_F(Discovery, ASystemRootNamingAMissingFolderGivesNoWindowsFolder) {
  detect({{kLm + "Microsoft\\Windows\\CurrentVersion", {{"SystemRoot", "C:\\Gone"}}}});
  EXPECT_EQ(s.SystemPath, "");
  EXPECT_EQ(s.machine.SystemPath, "");
  EXPECT_EQ(s.TempDir, "C:\\WINDOWS\\TEMP\\");
}

TEST_F(Discovery, ALongWindowsFolderComesInItsShortForm) {
  machine->mkdirs("C:\\Windows Millennium\\");
  detect({{kLm + "Microsoft\\Windows\\CurrentVersion", {{"SystemRoot", "C:\\Windows Millennium"}}}});
  EXPECT_EQ(s.SystemPath, "C:\\WINDOW~1");
}

}  // namespace
