// End to end: a slot saved with every file group, the files changed, and the
// restore dialog's OK pressed with the groups ticked one by one.
#include <gtest/gtest.h>

#include "core/state.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "restore/loaded_configuration.h"
#include "restore/restore_boxes.h"
#include "restore/restorereq_dialog.h"
#include "support/saved_groups.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kGroupFiles;
using restoretest::kUserFiles;
using restoretest::savedContent;

const std::string kRestored = "Files successfully restored";
const std::string kNothing = "Nothing restored or a error occurred while restoring.";

class FileGroupsEndToEnd : public restoretest::SavedGroupsTest {
 protected:
  void SetUp() override {
    SavedGroupsTest::SetUp();
    bindRestoreReq();
  }
  void untickAll() {
    for (int n = 1; n <= 25; ++n) RestoreBox(n).setValue(0);
    auto& list = windows::RestoreReq().List1;
    for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, false);
  }
  // OK in the restore dialog; the run ends with `closing`.
  void pressOk(const std::string& closing) {
    dialogs().expect(closing).style(forms::vbOKOnly).title("");
    windows::RestoreReq().Command1.click();
    dialogs().verify();
  }
};

TEST_F(FileGroupsEndToEnd, EveryGroupChangedAndRestoredOnItsOwn) {
  for (const auto& [file, box] : kGroupFiles) {
    SCOPED_TRACE(file);
    for (const auto& [other, otherBox] : kGroupFiles) machine().write(other, "changed");
    untickAll();
    ASSERT_TRUE(RestoreBox(box).enabled());
    RestoreBox(box).setValue(1);

    pressOk(kRestored);
    for (const auto& [other, otherBox] : kGroupFiles)
      EXPECT_EQ(content(other), otherBox == box ? savedContent(other) : "changed") << other;
  }
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), "changed");
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran"));
}

TEST_F(FileGroupsEndToEnd, TwoUserFilesComeBackAnUnselectedOneStaysUntouched) {
  untickAll();
  auto& list = windows::RestoreReq().List1;
  ASSERT_EQ(list.listCount(), 2);
  list.setSelected(0, true);
  list.setSelected(1, true);
  pressOk(kRestored);
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), savedContent(file));

  for (const std::string& file : kUserFiles) machine().write(file, "changed again");
  untickAll();
  list.setSelected(1, true);
  pressOk(kRestored);
  EXPECT_EQ(content(kUserFiles[0]), "changed again");
  EXPECT_EQ(content(kUserFiles[1]), savedContent(kUserFiles[1]));
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran"));
}

// A user-file archive whose User.ini names files outside the working folder:
// nothing is deleted and nothing copied.
TEST_F(FileGroupsEndToEnd, ACraftedUserIniDeletesAndCopiesNothing) {
  const std::string user = "C:\\WINDOWS\\TEMP\\kelvaran\\User\\";
  machine().write("C:\\AUTOEXEC.BAT", "@echo off\r\n");
  machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");
  machine().write(user + "User.ini", "[UserFilesSaved]\r\n" + kUserFiles[0] + "=C:\\AUTOEXEC.BAT\r\n" +
                                         kUserFiles[1] + "=" + user + "..\\..\\..\\WIN.INI\r\n");
  machine().remove("C:\\SAVE\\Conf1us.kvz");
  ASSERT_EQ(platform::runZip({"-qr", "C:\\SAVE\\Conf1us.kvz", user + "*.*"}).exitCode, 0);
  machine().remove("C:\\WINDOWS\\TEMP\\kelvaran");

  untickAll();
  auto& list = windows::RestoreReq().List1;
  for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, true);
  for (const std::string& file : kUserFiles)
    dialogs().expect("An error occurred while restoring.\rFile:" + file).style(forms::vbOKOnly).title("");
  pressOk(kNothing);
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), "@echo off\r\n");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), "[windows]\r\n");
  for (const std::string& file : kUserFiles) EXPECT_EQ(content(file), "changed");
}

// With no Netscape folder in the description the Netscape steps are skipped.
TEST_F(FileGroupsEndToEnd, WithoutANetscapeFolderNothingOfNetscapeIsTouched) {
  loadedConfiguration().PathNetscape = "";
  untickAll();
  for (int box : {10, 22, 23, 17}) RestoreBox(box).setValue(1);
  pressOk(kNothing);
  for (const auto& [file, box] : kGroupFiles) EXPECT_EQ(content(file), "changed");
}

}  // namespace
}  // namespace restore
