// An import end to end on the demo machine: slot 3 saved, its descriptions
// and archives copied to N:\OLD\ (as from another machine), the originals
// saved over with other content, then Import from N:\OLD\ restores the copy's
// files into this machine's folders and leaves its settings byte for byte.
#include <gtest/gtest.h>

#include <QTimer>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "platform/restart.h"
#include "restore/restore_boxes.h"
#include "restore/tests/support/restore_fixture.h"
#include "save/save_engine.h"
#include "ui/handlers.h"
#include "windows/form1.h"
#include "windows/import.h"
#include "windows/reboot.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::kProgram;

constexpr const char* kOld = "N:\\OLD\\";
constexpr const char* kLink = "C:\\WINDOWS\\Favorites\\Links\\Home.url";
const platform::DateTime kCopied{2026, 11, 3, 9, 5, 7};
const std::string kRestartQuestion =
    "Your system will be restarted after the Restore Process.\r \rPlease save and close all open files "
    "before "
    "continuing.\r\rContinue Restore Operation?";

class ImportEndToEnd : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    static const bool bound = (ui::installHandlers(), true);
    (void)bound;
    platform::clearRestartRequests();
    platform::setRestartHooks({[this] {
                                 ++closes;
                                 wininitAtRestart = content("C:\\WINDOWS\\WININIT.INI");
                               },
                               [] {}});
  }
  void TearDown() override {
    platform::setRestartHooks({});
    windows::Import().onActivate = nullptr;
    windows::Import().unload();
    windows::Reboot().hide();
    windows::RestoreReq().hide();
    RestoreTest::TearDown();
  }
  void saveSlot3() {
    prepareSlot(3, "Office");
    dialogs().expect(savetest::kSavedMessage);
    save::SaveConfiguration();
    ASSERT_TRUE(core::state().SaveSucceeded);
  }
  void copyToOld(const std::string& name) {
    machine().write(kOld + name, machine().read(restoretest::kSaveFolder + name));
  }
  int closes = 0;
  std::string wininitAtRestart;
};

TEST_F(ImportEndToEnd, RestoresTheCopiedConfigurationFromTheChosenFolder) {
  selectSmallSystem();
  saveSlot3();
  const std::string savedAutoexec = content("C:\\AUTOEXEC.BAT");
  const std::string savedLink = content(kLink);
  const std::string savedWinIni = content("C:\\WINDOWS\\WIN.INI");
  for (const std::string& name : filesIn(restoretest::kSaveFolder)) {
    if (name.rfind("Conf", 0) == 0) copyToOld(name);
  }
  // The copy came from a machine whose Windows folder was another.
  core::WriteIni("SystemFiles", "SystemPath", "D:\\WIN98", std::string(kOld) + "Config3.ini");
  platform::setFileDateTime(std::string(kOld) + "Config3.ini", kCopied);

  // The originals are saved over with other content, then the machine changes.
  machine().write("C:\\AUTOEXEC.BAT", "rem second\r\n");
  machine().write(kLink, "second");
  saveSlot3();
  machine().write("C:\\AUTOEXEC.BAT", "changed\r\n");
  machine().write(kLink, "changed");
  machine().write("C:\\WINDOWS\\WIN.INI", "changed\r\n");

  core::State& st = core::state();
  st.CurrentConfig = 1;
  const std::string settings = content(kProgram + "kelvaran.ini");
  ASSERT_FALSE(settings.empty());

  std::vector<std::string> rows;
  // The Import dialog comes up modally: the user picks the row and presses
  // Restore; then the restore dialog comes up: Autoexec.bat, Win.ini and the
  // favorites ticked, OK.
  bool activated = false;
  windows::Import().onActivate = [&] {
    if (activated) return;
    activated = true;
    QTimer::singleShot(0, [&] {
      windows::ImportWindow& d = windows::Import();
      for (int i = 0; i < d.List1.listCount(); ++i) rows.push_back(d.List1.list(i));
      d.List1.setListIndex(0);
      QTimer::singleShot(0, [] {
        for (int box : {1, 9, 11}) RestoreBox(box).setValue(1);
        windows::RestoreReq().Command1.click();
      });
      d.Command1.click();
    });
  };
  dialogs().expectFolder("Select the source with the Configuration").answerText("N:\\OLD");
  dialogs()
      .expect(
          "Are you sure you wish to restore the\rfollowing Configuration?\r3 / Office          / 03/11/2026 "
          "09:05:07")
      .answer(forms::vbYes);
  dialogs().expect(kRestartQuestion).answer(forms::vbYes);
  dialogs().expect("Files successfully restored");
  windows::Form1().Command27.click();

  EXPECT_EQ(rows, (std::vector<std::string>{"3 / Office          / 03/11/2026 09:05:07"}));
  // The files of the copy, not of the originals saved over.
  EXPECT_EQ(content("C:\\AUTOEXEC.BAT"), savedAutoexec);
  EXPECT_EQ(content(kLink), savedLink);
  // Win.ini waited for the restart in this machine's Windows folder.
  EXPECT_EQ(wininitAtRestart, "[rename]\r\nC:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\Win.ini\r\n");
  EXPECT_EQ(content("C:\\WINDOWS\\WIN.INI"), savedWinIni);
  EXPECT_FALSE(machine().exists("D:\\WIN98"));
  EXPECT_EQ(closes, 1);
  // This machine's state and settings as before.
  EXPECT_EQ(content(kProgram + "kelvaran.ini"), settings);
  EXPECT_EQ(st.CurrentConfig, 1);
  EXPECT_EQ(st.SaveFolder, restoretest::kSaveFolder);
  EXPECT_EQ(st.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(st.ConfigNames(3), "Office");
  EXPECT_FALSE(st.ImportMode);
  EXPECT_FALSE(windows::Import().loaded());
}

}  // namespace
}  // namespace restore
