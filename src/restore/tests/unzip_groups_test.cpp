// The unzip runs of the user files, Start menu and browser and mail groups:
// their command lines, the target drives and folders, and which archives'
// members may be unpacked.
#include "restore/unzip_groups.h"

#include <gtest/gtest.h>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "platform/zip_directory.h"
#include "save/tests/support/save_fixture.h"

namespace restore {
namespace {

class UnzipGroups : public savetest::SaveTest {
 protected:
  GroupFolders demoFolders() const {
    return {"C:\\WINDOWS\\TEMP\\",
            "C:\\WINDOWS\\Start Menu\\",
            "C:\\WINDOWS\\Favorites\\",
            "C:\\Program Files\\Netscape\\Users\\default",
            "C:\\WINDOWS\\Cookies\\",
            "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\jordan.wab",
            "C:\\WINDOWS\\Application Data\\Identities\\{4F2A}\\Outlook Express\\"};
  }
  // An archive made by the machine's zip from `sources` (no recursion).
  std::string archiveOf(const std::vector<std::string>& sources) {
    std::vector<std::string> arguments{"-q", "C:\\SAVE\\T.kvz"};
    arguments.insert(arguments.end(), sources.begin(), sources.end());
    EXPECT_EQ(platform::runZip(arguments).exitCode, 0);
    return "C:\\SAVE\\T.kvz";
  }
};

// The command line of every group, as the program always wrote it.
TEST_F(UnzipGroups, CommandLinesOfEveryGroup) {
  const std::string q = "C:\\SAVE\\Conf1";
  const struct {
    UnzipGroup group;
    std::string archive, line;
  } cases[] = {
      {UnzipGroup::UserFiles, q + "us.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1us.kvz\" -d C:\\"},
      {UnzipGroup::StartMenu, q + "s.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1s.kvz\" -d C:\\"},
      {UnzipGroup::AddressBook, q + "ma.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1ma.kvz\" -d C:\\"},
      {UnzipGroup::Favorites, q + "mb.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1mb.kvz\" -d C:\\"},
      {UnzipGroup::IECookies, q + "mc.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1mc.kvz\" -d C:\\"},
      {UnzipGroup::OEMail, q + "mx.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1mx.kvz\" -d C:\\"},
      {UnzipGroup::NSBookmarks, q + "na.kvz",
       "Unzip32.exe -Cqo \"C:\\SAVE\\Conf1na.kvz\" *Bookmark.htm -d C:\\"},
      {UnzipGroup::NSCookies, q + "na.kvz",
       "Unzip32.exe -Cqo \"C:\\SAVE\\Conf1na.kvz\" *Cookies.txt -d C:\\"},
      {UnzipGroup::NSMail, q + "na.kvz", "Unzip32.exe -Cqo \"C:\\SAVE\\Conf1na.kvz\" *Mail\\* -d C:\\"},
      {UnzipGroup::NSNews, q + "nw.kvz", "Unzip32.exe -o \"C:\\SAVE\\Conf1nw.kvz\" -d C:\\"},
  };
  for (const auto& c : cases) {
    const auto arguments = UnzipArguments(c.group, c.archive, "C:\\");
    EXPECT_EQ(CommandLineOf(arguments), c.line);
    EXPECT_EQ(platform::splitCommandLine(c.line), arguments) << c.line;
  }
  // A folder with blanks stays one argument; a double quote cannot be written.
  EXPECT_EQ(CommandLineOf(UnzipArguments(UnzipGroup::StartMenu, "A:\\My Set\\Conf2s.kvz", "D:\\")),
            "Unzip32.exe -o \"A:\\My Set\\Conf2s.kvz\" -d D:\\");
  EXPECT_EQ(CommandLineOf(UnzipArguments(UnzipGroup::StartMenu, "C:\\a\" -d X:\\b.kvz", "C:\\")), "");
  EXPECT_EQ(CommandLineOf(UnzipArguments(UnzipGroup::StartMenu, "C:\\a\r.kvz", "C:\\")), "");
}

TEST_F(UnzipGroups, TargetsAndFoldersPerGroup) {
  GroupFolders f = demoFolders();
  f.startMenu = "N:\\Menu\\";
  const struct {
    UnzipGroup group;
    std::string target, folder;
  } cases[] = {
      {UnzipGroup::UserFiles, "C:\\", "C:\\WINDOWS\\TEMP\\kelvaran\\User\\"},
      {UnzipGroup::StartMenu, "N:\\", "N:\\Menu\\"},
      {UnzipGroup::AddressBook, "C:\\", "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\"},
      {UnzipGroup::Favorites, "C:\\", "C:\\WINDOWS\\Favorites\\"},
      {UnzipGroup::IECookies, "C:\\", "C:\\WINDOWS\\Cookies\\"},
      {UnzipGroup::NSMail, "C:\\", "C:\\Program Files\\Netscape\\Users\\default\\"},
      {UnzipGroup::NSNews, "C:\\", "C:\\Program Files\\Netscape\\Users\\default\\"},
  };
  for (const auto& c : cases) {
    const UnzipPlan plan = PlanUnzip(c.group, f);
    EXPECT_EQ(plan.problem, "") << static_cast<int>(c.group);
    EXPECT_EQ(plan.target, c.target);
    EXPECT_EQ(plan.folder, c.folder);
  }
}

// A folder that is no place on this machine makes its group not restorable.
TEST_F(UnzipGroups, UnusableFolders) {
  const struct {
    std::string startMenu;
  } cases[] = {
      {""},
      {"NONE"},
      {"Q:\\Menu\\"},
      {"Menu\\"},
      {"\\\\SERVER\\SHARE\\Menu\\"},
      {"C:\\"},
      {"C:\\Start\" -d X:\\"},
      {"C:\\Start\tMenu\\"},
      // Another spelling of a drive root, or of a folder outside the group.
      {"C:\\WINDOWS\\..\\"},
      {"C:\\WINDOWS\\.."},
      {"C:\\.\\"},
      {"C:\\WINDOWS\\.\\..\\"},
      {"C:\\WINDOWS\\..\\WINDOWS\\Start Menu\\"},
      {"C:\\WINDOWS\\.. \\"},
      {"C:\\\\WINDOWS\\Start Menu\\"},
      {"C:\\WINDOWS\\NUL\\"},
  };
  for (const auto& c : cases) {
    GroupFolders f = demoFolders();
    f.startMenu = c.startMenu;
    EXPECT_NE(PlanUnzip(UnzipGroup::StartMenu, f).problem, "") << c.startMenu;
  }
  // Every group's folder is held to the same spelling.
  for (const UnzipGroup group :
       {UnzipGroup::UserFiles, UnzipGroup::StartMenu, UnzipGroup::AddressBook, UnzipGroup::Favorites,
        UnzipGroup::IECookies, UnzipGroup::OEMail, UnzipGroup::NSBookmarks, UnzipGroup::NSCookies,
        UnzipGroup::NSMail, UnzipGroup::NSNews}) {
    GroupFolders f{"C:\\WINDOWS\\..\\", "C:\\WINDOWS\\..\\",           "C:\\WINDOWS\\..\\", "C:\\WINDOWS\\..",
                   "C:\\WINDOWS\\..\\", "C:\\WINDOWS\\..\\jordan.wab", "C:\\WINDOWS\\..\\"};
    EXPECT_NE(PlanUnzip(group, f).problem, "") << static_cast<int>(group);
  }
  EXPECT_EQ(DriveRootOf("c:\\x"), "c:\\");
  EXPECT_EQ(DriveRootOf("Q:\\x"), "");
  EXPECT_EQ(DriveRootOf("C:x"), "");
}

TEST_F(UnzipGroups, MembersMustLieInTheGroupsFolder) {
  machine().write("C:\\WINDOWS\\Favorites\\Links\\Home.url", "url");
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");

  const std::string inside = archiveOf({"C:\\WINDOWS\\Favorites\\Links\\Home.url"});
  EXPECT_EQ(MemberProblem(inside, "C:\\", "C:\\WINDOWS\\Favorites\\"), "");
  EXPECT_EQ(MemberProblem(inside, "C:\\", "c:\\windows\\favorites\\"), "");  // case does not matter
  EXPECT_EQ(MemberProblem(inside, "C:\\", "C:\\WINDOWS\\FAVORI~1\\"), "");   // nor the 8.3 form

  // A folder name in the code page's own letters, stored as UTF-8.
  machine().remove("C:\\SAVE\\T.kvz");
  machine().write("C:\\WINDOWS\\Favorites\\Men\xfc\\Caf\xe9.url", "url");
  const std::string accented = archiveOf({"C:\\WINDOWS\\Favorites\\Men\xfc\\Caf\xe9.url"});
  ASSERT_TRUE(platform::zipdir::readMembers(platform::hostPath(accented)).front().utf8());
  EXPECT_EQ(MemberProblem(accented, "C:\\", "C:\\WINDOWS\\Favorites\\Men\xfc\\"), "");
  EXPECT_NE(MemberProblem(accented, "C:\\", "C:\\WINDOWS\\Favorites\\Links\\"), "");

  machine().remove("C:\\SAVE\\T.kvz");
  const std::string mixed = archiveOf({"C:\\WINDOWS\\Favorites\\Links\\Home.url", "C:\\WINDOWS\\WIN.INI"});
  EXPECT_EQ(MemberProblem(mixed, "C:\\", "C:\\WINDOWS\\Favorites\\"),
            "WINDOWS/WIN.INI: outside C:\\WINDOWS\\Favorites\\");

  machine().write("C:\\SAVE\\Broken.kvz", "PK\x03\x04 not an archive");
  EXPECT_EQ(MemberProblem("C:\\SAVE\\Broken.kvz", "C:\\", "C:\\WINDOWS\\Favorites\\"),
            "not a readable archive");
}

// The Netscape patterns are ASCII around their wildcards: a profile in a
// folder with accented letters and a member in other case still match.
TEST_F(UnzipGroups, NetscapePatternsMatchAProfileWithAccentedLetters) {
  const std::string profile = "C:\\Program Files\\Netscape\\Users\\Ren\xe9\\";
  machine().write(profile + "BOOKMARK.HTM", "marks");
  machine().write(profile + "cookies.TXT", "crumbs");
  machine().write(profile + "MAIL\\Inbox", "mail");
  const std::string archive =
      archiveOf({profile + "BOOKMARK.HTM", profile + "cookies.TXT", profile + "MAIL\\Inbox"});
  for (const char* file : {"BOOKMARK.HTM", "cookies.TXT", "MAIL\\Inbox"})
    machine().write(profile + file, "changed");
  for (const UnzipGroup group : {UnzipGroup::NSBookmarks, UnzipGroup::NSCookies, UnzipGroup::NSMail}) {
    const auto arguments = UnzipArguments(group, archive, "C:\\");
    EXPECT_EQ(platform::runUnzip({arguments.begin() + 1, arguments.end()}).exitCode, 0);
  }
  EXPECT_EQ(content(profile + "BOOKMARK.HTM"), "marks");
  EXPECT_EQ(content(profile + "cookies.TXT"), "crumbs");
  EXPECT_EQ(content(profile + "MAIL\\Inbox"), "mail");
}

// A run gives 0 for a success, else the error number its failure is logged with.
TEST_F(UnzipGroups, ARunGivesTheErrorNumberToLog) {
  core::enterProgramFolder();
  const std::string line = "Unzip32.exe -o \"C:\\SAVE\\Conf1s.kvz\" -d C:\\";
  for (const auto& [exitCode, expected] : {std::pair{0, 0}, {1, 0}, {2, 57}, {11, 57}}) {
    platform::FakeProgram fake;
    fake.exitCode = exitCode;
    platform::installFakeProgram("Unzip32.exe", fake);
    EXPECT_EQ(RunUnzip(line), expected) << exitCode;
    EXPECT_EQ(core::state().CommandLine, line);
    EXPECT_EQ(core::state().ShellCommand, line);
  }
  platform::clearFakePrograms();
  machine().remove(savetest::kProgram + "Unzip32.exe");
  EXPECT_EQ(RunUnzip(line), 53);  // it cannot be started
}

TEST(UnzipExit, ZeroAndWarningsSucceed) {
  for (int code : {0, 1}) EXPECT_TRUE(UnzipSucceeded(code)) << code;
  for (int code : {-1, 2, 3, 9, 11, 50}) EXPECT_FALSE(UnzipSucceeded(code)) << code;
}

}  // namespace
}  // namespace restore
