// Copying the user-defined files back from the working folder: which copies
// User.ini may name, which paths may be written, and the copy-back itself.
#include "restore/user_restore.h"

#include <gtest/gtest.h>

#include "core/state.h"
#include "save/tests/support/save_fixture.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

const std::string kWork = "C:\\WINDOWS\\TEMP\\kelvaran\\";
const std::string kUser = kWork + "User\\";
const std::string kUserIni = kUser + "User.ini";

TEST(UserCopy, OnlyFilesBelowTheWorkingFoldersUserFolder) {
  const struct {
    std::string value;
    bool accepted;
  } cases[] = {
      {kUser + "docs\\a.txt", true},
      {"c:\\windows\\temp\\KELVARAN\\user\\docs\\a.txt", true},
      {kUser + "_N\\docs\\a.txt", true},
      {"C:\\AUTOEXEC.BAT", false},
      {kWork + "system.ini", false},
      {kUser, false},
      {kUser + "..\\..\\..\\..\\AUTOEXEC.BAT", false},
      {kUser + "docs\\.\\a.txt", false},
      {kUser + "docs\\\\a.txt", false},
      {kUser + "*.*", false},
      {kUser + "docs\\a?.txt", false},
      {kUser + "NUL", false},
      {kUser + "docs\\con.txt", false},
      {kUser + "docs\\COM1", false},
      {kUser + "docs\\a\tb.txt", false},
      {kUser + "docs\\a|b.txt", false},
      {"D:\\WINDOWS\\TEMP\\kelvaran\\User\\docs\\a.txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(UserCopyAccepted(c.value, kUser), c.accepted) << c.value;
  EXPECT_FALSE(UserCopyAccepted(kUser + "a.txt", ""));
}

// A value of another machine's User.ini names its copy below that machine's
// working folder, on any drive: the copy is taken from this machine's.
TEST(UserCopy, AnotherMachinesValuesMapIntoThisMachinesUserFolder) {
  const std::string saved = "WIN98\\TEMP\\kelvaran\\User\\";
  const struct {
    std::string value, copy;
  } cases[] = {
      {"D:\\WIN98\\TEMP\\kelvaran\\User\\docs\\a.txt", kUser + "docs\\a.txt"},
      {"c:\\win98\\temp\\KELVARAN\\user\\a.txt", kUser + "a.txt"},
      {"D:\\WIN98\\TEMP\\kelvaran\\User\\..\\..\\x.txt", ""},
      {"D:\\WIN98\\TEMP\\kelvaran\\User\\", ""},
      {"D:\\WINDOWS\\TEMP\\kelvaran\\User\\a.txt", ""},
      {"WIN98\\TEMP\\kelvaran\\User\\a.txt", ""},
      {"D:\\WIN98\\TEMP\\kelvaran\\User\\docs\\*.txt", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UserCopyPath(c.value, saved, kUser), c.copy) << c.value;
  EXPECT_EQ(UserCopyPath("D:\\WIN98\\TEMP\\kelvaran\\User\\a.txt", "", kUser), "");
}

class UserTargets : public savetest::SaveTest {};

TEST_F(UserTargets, OnlyPlainAbsolutePathsOnThisMachine) {
  const struct {
    std::string item;
    bool writable;
  } cases[] = {
      {"C:\\My Documents\\Letter.doc", true},
      {"N:\\Kelvaran\\notes.txt", true},
      {"C:\\docs\\..\\AUTOEXEC.BAT", false},
      {"C:\\docs\\.\\a.txt", false},
      {"C:\\docs\\\\a.txt", false},
      {"docs\\a.txt", false},
      {"\\docs\\a.txt", false},
      {"\\\\SERVER\\SHARE\\a.txt", false},
      {"Q:\\docs\\a.txt", false},
      {"C:\\docs\\*.txt", false},
      {"C:\\docs\\PRN.txt", false},
      {"C:\\docs\\a\x01.txt", false},
      {"C:\\", false},
  };
  for (const auto& c : cases) EXPECT_EQ(UserTargetProblem(c.item).empty(), c.writable) << c.item;
}

class CopyBack : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    core::state().RestoreDone = true;
    windows::RestoreReq().List1.clear();
  }
  // An item of the dialog's list, saved as `copy` (no User.ini entry when
  // ""), which holds `bytes` (not written when "").
  void item(const std::string& path, bool selected, const std::string& copy,
            const std::string& bytes = "saved") {
    auto& list = windows::RestoreReq().List1;
    list.addItem(path);
    list.setSelected(list.listCount() - 1, selected);
    if (copy.empty()) return;
    machine().write(kUserIni, content(kUserIni) + (content(kUserIni).empty() ? "[UserFilesSaved]\r\n" : "") +
                                  path + "=" + copy + "\r\n");
    if (!bytes.empty()) machine().write(copy, bytes);
  }
  void expectMissing(const std::string& path) {
    dialogs().expect("An error occurred while restoring.\rFile:" + path).style(forms::vbOKOnly).title("");
  }
  bool run() { return CopyUserFilesBack(kUserIni, kUser, kWork); }
};

TEST_F(CopyBack, SelectedFilesGoBackAndEveryCopyGoes) {
  machine().write("C:\\My Documents\\Letter.doc", "changed");
  machine().write("C:\\My Documents\\Other.doc", "mine");
  item("C:\\My Documents\\Letter.doc", true, kUser + "My Documents\\Letter.doc", "letter");
  item("C:\\My Documents\\Other.doc", false, kUser + "My Documents\\Other.doc", "other");
  item("C:\\New\\Deep\\Plan.txt", true, kUser + "New\\Deep\\Plan.txt", "plan");

  EXPECT_TRUE(run());
  EXPECT_EQ(content("C:\\My Documents\\Letter.doc"), "letter");
  EXPECT_EQ(content("C:\\My Documents\\Other.doc"), "mine");  // not selected: untouched
  EXPECT_EQ(content("C:\\New\\Deep\\Plan.txt"), "plan");      // its folders were made
  EXPECT_TRUE(core::state().RestoreDone);
  // The copies, the map and the folders they stood in are gone.
  EXPECT_FALSE(machine().exists(kUser));
  EXPECT_TRUE(machine().exists(kWork));
  EXPECT_EQ(windows::Form1().StatusBar1.simpleText(), "C:\\New\\Deep\\Plan.txt User file");
}

TEST_F(CopyBack, AFileMissingFromTheMapIsReportedAndTheOthersStillComeBack) {
  machine().write("C:\\a.txt", "changed");
  item("C:\\gone.txt", true, "");
  item("C:\\a.txt", true, kUser + "a.txt", "a");
  expectMissing("C:\\gone.txt");

  EXPECT_TRUE(run());
  EXPECT_EQ(content("C:\\a.txt"), "a");
  EXPECT_FALSE(machine().exists("C:\\gone.txt"));
  EXPECT_FALSE(core::state().RestoreDone);
}

// A crafted map whose copies lie outside the working folder deletes and
// copies nothing.
TEST_F(CopyBack, ACraftedMapDeletesAndCopiesNothing) {
  machine().write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  machine().write("C:\\docs\\a.txt", "mine");
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");
  item("C:\\docs\\a.txt", true, "C:\\AUTOEXEC.BAT", "");
  item("C:\\docs\\b.txt", false, kUser + "..\\..\\..\\WIN.INI", "");
  expectMissing("C:\\docs\\a.txt");
  expectMissing("C:\\docs\\b.txt");

  EXPECT_FALSE(run());
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "@echo off\r\n");
  EXPECT_EQ(content("C:\\docs\\a.txt"), "mine");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "[windows]\r\n");
  EXPECT_FALSE(machine().exists("C:\\docs\\b.txt"));
  EXPECT_FALSE(core::state().RestoreDone);
}

// A listed path that may not be written is reported; its copy still goes.
TEST_F(CopyBack, APathThatMayNotBeWrittenIsReported) {
  machine().write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  item("C:\\docs\\..\\AUTOEXEC.BAT", true, kUser + "docs\\x.bat", "format c:");
  expectMissing("C:\\docs\\..\\AUTOEXEC.BAT");

  EXPECT_FALSE(run());
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "@echo off\r\n");
  EXPECT_FALSE(machine().exists(kUser + "docs\\x.bat"));
}

}  // namespace
}  // namespace restore
