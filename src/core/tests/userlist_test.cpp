// The user-file list on disk and in the two dialogs that show it.
#include "core/userlist.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/slotlists.h"
#include "core/state.h"
#include "core/tests/support/core_fixture.h"
#include "forms/messages.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace {

using coretest::CoreTest;

class UserLists : public CoreTest {
 protected:
  windows::UserFilesWindow& dialog = windows::UserFiles();
  windows::RestoreReqWindow& restore = windows::RestoreReq();
};

TEST_F(UserLists, SavedListLoadsBackWholeIntoEitherDialog) {
  for (const char* item : {"c:\\data\\a,b.txt", "C:\\Mixed Case\\\"quoted\".doc"}) dialog.List1.addItem(item);
  core::SaveUserList();
  EXPECT_EQ(machine->read(program("kelvaran.usr")),
            " 2\r\nc:\\data\\a,b.txt\r\nC:\\Mixed Case\\\"quoted\".doc\r\n\r\n");

  core::LoadUserListInto(program("kelvaran.usr"));
  ASSERT_EQ(restore.List1.listCount(), 2);
  EXPECT_EQ(restore.List1.list(1), "C:\\Mixed Case\\\"quoted\".doc");
  EXPECT_FALSE(restore.List1.selected(0) || restore.List1.selected(1));

  dialog.List1.clear();
  core::LoadUserList();
  ASSERT_EQ(dialog.List1.listCount(), 2);
  EXPECT_EQ(dialog.List1.list(0), "c:\\data\\a,b.txt");
  EXPECT_EQ(dialog.Frame8.caption(), forms::loadResString(1216) + " 2");
}

TEST_F(UserLists, EmptyAndMissingFiles) {
  core::SaveUserList();
  EXPECT_EQ(machine->read(program("kelvaran.usr")), " 0\r\n\r\n");
  dialog.List1.addItem("stale");
  core::LoadUserList();
  EXPECT_EQ(dialog.List1.listCount(), 0);

  machine->remove(program("kelvaran.usr"));
  dialog.List1.addItem("stale");
  dialog.Frame8.setCaption("as it was");
  core::LoadUserList();
  EXPECT_EQ(dialog.List1.listCount(), 0);
  EXPECT_EQ(dialog.Frame8.caption(), "as it was");

  restore.List1.addItem("stale");
  core::LoadUserListInto("C:\\nothere.usr");
  EXPECT_EQ(restore.List1.listCount(), 0);
}

TEST_F(UserLists, SlotRefreshOffersTheUserFilesForRestore) {
  auto& s = core::state();
  for (int n = 1; n <= 5; ++n) s.ConfigNames(n) = forms::loadResString(1010);
  restore.List1.addItem("from an earlier configuration");
  dialog.List1.addItem("c:\\one.txt");
  dialog.List1.addItem("c:\\two.txt");
  core::RefreshConfigLists();
  ASSERT_EQ(restore.List1.listCount(), 2);
  EXPECT_EQ(restore.List1.list(0), "c:\\one.txt");
  EXPECT_EQ(restore.List1.list(1), "c:\\two.txt");
  dialog.List1.clear();
  core::RefreshConfigLists();
  EXPECT_EQ(restore.List1.listCount(), 0);
  // A long list, up to its first empty item.
  std::vector<std::string> many;
  for (int i = 0; i < 9000; ++i) many.push_back("c:\\file " + std::to_string(i) + ".txt");
  dialog.List1.addItems(many);
  dialog.List1.addItem("");
  dialog.List1.addItem("c:\\after the gap.txt");
  core::RefreshConfigLists();
  ASSERT_EQ(restore.List1.listCount(), 9000);
  EXPECT_EQ(restore.List1.list(4096), "c:\\file 4096.txt");
  EXPECT_EQ(restore.List1.list(8999), "c:\\file 8999.txt");
}

}  // namespace
