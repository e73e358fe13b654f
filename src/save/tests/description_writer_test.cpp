// Config<n>.ini and Config<n>.usr, byte for byte.
#include "save/description_writer.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "save/boxes.h"
#include "support/golden.h"
#include "support/save_fixture.h"
#include "windows/userfiles.h"

namespace save {
namespace {

class DescriptionWriter : public savetest::SaveTest {
 protected:
  DescriptionValues values() {
    DescriptionValues v;
    v.osv = "Windows 98 SE";
    v.configName = "Before";
    v.systemPath = "C:\\WINDOWS";
    v.saveFolder = savetest::kSaveFolder;
    v.favorites = "C:\\WINDOWS\\Favorites\\";
    v.netscape = "C:\\Program Files\\Netscape\\Users\\default";
    v.startMenu = "C:\\WINDOWS\\Start Menu\\";
    return v;
  }
  const std::string ini = "C:\\Program Files\\Kelvaran\\Config2.ini";
};

TEST_F(DescriptionWriter, AFullSave) {
  // Dblspace.ini and Drvspace.ini are missing on this PC: their boxes are disabled.
  Form1Box(15).setEnabled(false);
  Form1Box(16).setEnabled(false);
  UserFilesBox(5).setEnabled(false);
  auto& u = windows::UserFiles();
  u.Combo1.addItem("Jo");
  u.Combo1.setListIndex(0);
  u.List1.addItem("C:\\My Documents\\Brief.doc");
  u.List1.addItem("C:\\My Documents\\Budget, 2026.xls");
  u.List1.addItem("D:\\Data\\notes.txt");
  DescriptionValues v = values();
  v.saved.system.fill(true);
  v.saved.system[systemFlag("Dblspace.ini")] = v.saved.system[systemFlag("Drvspace.ini")] = false;
  v.saved.user.fill(true);
  v.saved.user[userFlag("NSCMail")] = false;
  SaveCINI(ini, v);
  EXPECT_TRUE(testsupport::matchesGolden(content(ini), "src/save/tests/golden/full.ini"));
  EXPECT_TRUE(testsupport::matchesGolden(content(UsrTwin(ini)), "src/save/tests/golden/full.usr"));
}

TEST_F(DescriptionWriter, NothingSaved) {
  SaveCINI(ini, values());
  EXPECT_TRUE(testsupport::matchesGolden(content(ini), "src/save/tests/golden/empty.ini"));
  EXPECT_EQ(content(UsrTwin(ini)), " 0\r\n\r\n");
}

TEST_F(DescriptionWriter, ASplitLogStaysFirst) {
  machine().write(ini, "[SplitLog]\r\nFile1=C:\\Program Files\\Kelvaran\\Conf2.kvz\r\n");
  SaveCINI(ini, values());
  const std::string text = content(ini);
  EXPECT_EQ(text.find("[SplitLog]"), 0u);
  EXPECT_TRUE(testsupport::matchesGolden(text.substr(text.find("[Configuration]")),
                                         "src/save/tests/golden/empty.ini"));
}

TEST_F(DescriptionWriter, AValueThatCannotBeWrittenFailsTheDescription) {
  // An identity whose name holds a line break: the key is refused, and an
  // incomplete description must never pass as written.
  auto& u = windows::UserFiles();
  u.Combo1.addItem("Jo\r\nOSV=forged");
  u.Combo1.setListIndex(0);
  try {
    SaveCINI(ini, values());
    FAIL() << "the refused value went unnoticed";
  } catch (const platform::RuntimeError& error) {
    EXPECT_EQ(error.number(), platform::kDeviceIoError);
  }
  EXPECT_EQ(content(ini).find("forged"), std::string::npos);
}

TEST(DescriptionNames, UsrTwin) {
  EXPECT_EQ(UsrTwin("C:\\P\\Config1.ini"), "C:\\P\\Config1.usr");
  EXPECT_EQ(UsrTwin("C:\\P\\SmartSav\\Config4.ini"), "C:\\P\\SmartSav\\Config4.usr");
}

}  // namespace
}  // namespace save
