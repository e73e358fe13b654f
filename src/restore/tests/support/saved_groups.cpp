#include "saved_groups.h"

#include <gtest/gtest.h>

#include "core/state.h"
#include "restore/load_cini.h"
#include "save/boxes.h"
#include "save/save_engine.h"

namespace restoretest {

void SavedGroupsTest::SetUp() {
  RestoreTest::SetUp();
  auto& st = core::state();
  st.TempDir = tempDir;
  machine().mkdirs(tempDir);
  st.CookiesDir = "C:\\WINDOWS\\Cookies\\";
  st.AddressBookFile = kBook;
  st.OEMailDir = kStore;
  auto own = st.machine;
  own.PathNetscape = kNetscape;
  st.setMachinePaths(own);
  st.useMachinePaths();
  for (const auto& [file, box] : kGroupFiles) machine().write(file, savedContent(file));
  for (const std::string& file : kUserFiles) machine().write(file, savedContent(file));
  writeUserList(kUserFiles);
  save::Form1Box(1).setValue(1);  // Start menu
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(1);

  prepareSlot(1, "Everything");
  dialogs().expect(savetest::kSavedMessage);
  save::SaveConfiguration();
  ASSERT_TRUE(st.SaveSucceeded);

  for (const auto& [file, box] : kGroupFiles) machine().write(file, "changed");
  for (const std::string& file : kUserFiles) machine().write(file, "changed");
  st.CurrentConfig = 0;
  st.RestoreState = 0;
  restore::LoadCINI();
  ASSERT_EQ(st.RestoreState, 0);
  st.RestoreDone = false;
}

}  // namespace restoretest
