// Each selection box of the Options page and of the user-files dialog, ticked
// alone: the save packs exactly its group, the description marks exactly its
// key as saved, and the settings file brings exactly that box back ticked at
// the next start.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/settings.h"
#include "core/state.h"
#include "save/save_engine.h"
#include "support/save_fixture.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {
namespace {

using savetest::kProgram;
using savetest::kSaveFolder;

struct Row {
  forms::CheckBox windows::Form1Window::*optionsBox;   // a box of the Options page, or
  forms::CheckBox windows::UserFilesWindow::*userBox;  // one of the user-files dialog
  const char* descriptionKey;                          // in [SystemFilesSaved] or [UserFilesSaved]
  const char* settingsKey;                             // in [SystemFiles] or [UserFiles] of kelvaran.ini
  const char* archive;                                 // the only archive the save makes
  const char* member;                                  // what every file stored in it names
};

using F = windows::Form1Window;
using U = windows::UserFilesWindow;
const Row kRows[] = {
    {&F::Check8, nullptr, "Autoexec.bat", "Autoexec.bat", "Conf1.kvz", "/kelvaran/autoexec.bat"},
    {&F::Check9, nullptr, "Config.sys", "Config.sys", "Conf1.kvz", "/kelvaran/config.sys"},
    {&F::Check4, nullptr, "Control.ini", "Control.ini", "Conf1.kvz", "/kelvaran/control.ini"},
    {&F::Check10, nullptr, "Msdos.sys", "MsDos.sys", "Conf1.kvz", "/kelvaran/msdos.sys"},
    {&F::Check5, nullptr, "Protocol.ini", "Protocol.ini", "Conf1.kvz", "/kelvaran/protocol.ini"},
    {&F::Check7, nullptr, "System.dat", "System.dat", "Conf1.kvz", "/kelvaran/system.dat"},
    {&F::Check11, nullptr, "Classes.dat", "Classes.dat", "Conf1.kvz", "/kelvaran/classes.dat"},
    {&F::Check3, nullptr, "System.ini", "System.ini", "Conf1.kvz", "/kelvaran/system.ini"},
    {&F::Check6, nullptr, "User.dat", "User.dat", "Conf1.kvz", "/kelvaran/user.dat"},
    {&F::Check2, nullptr, "Win.ini", "Win.ini", "Conf1.kvz", "/kelvaran/win.ini"},
    {&F::Check13, nullptr, "Autoexec.dos", "Autoexec.dos", "Conf1.kvz", "/kelvaran/autoexec.dos"},
    {&F::Check14, nullptr, "Config.dos", "Config.dos", "Conf1.kvz", "/kelvaran/config.dos"},
    {&F::Check15, nullptr, "Dblspace.ini", "DblSpace.ini", "Conf1.kvz", "/kelvaran/dblspace.ini"},
    {&F::Check16, nullptr, "Drvspace.ini", "DrvSpace.ini", "Conf1.kvz", "/kelvaran/drvspace.ini"},
    {&F::Check17, nullptr, "Drvspace.bin", "DrvSpace.bin", "Conf1.kvz", "/kelvaran/drvspace.bin"},
    {&F::Check1, nullptr, "Startmenue", "StartMenue", "Conf1s.kvz", "WINDOWS/Start Menu/"},
    {&F::Check12, nullptr, "Dblspace.bin", "DblSpace.bin", "Conf1.kvz", "/kelvaran/dblspace.bin"},
    {nullptr, &U::Check11, "NSCBookmark", "NSCBookmark", "Conf1na.kvz", "/default/bookmark.htm"},
    {nullptr, &U::Check12, "MSEFavorites", "MSEFavorites", "Conf1mb.kvz", "WINDOWS/Favorites/"},
    {nullptr, &U::Check1, "MSEAdressbook", "MSEAdressbook", "Conf1ma.kvz", "/Address Book/Jordan.wab"},
    {nullptr, &U::Check2, "MSECookies", "MSECookies", "Conf1mc.kvz", "WINDOWS/Cookies/"},
    {nullptr, &U::Check3, "MSEMailbox", "MSEMail", "Conf1mx.kvz", "/Outlook Express/"},
    {nullptr, &U::Check4, "NSCCookies", "NSCCookies", "Conf1na.kvz", "/default/cookies.txt"},
    {nullptr, &U::Check5, "NSCMail", "NSCMail", "Conf1na.kvz", "/default/Mail/"},
    {nullptr, &U::Check6, "NSCNews", "NSCNews", "Conf1nw.kvz", "/default/News/"},
};

forms::CheckBox& boxOf(const Row& row) {
  return row.optionsBox ? windows::Form1().*row.optionsBox : windows::UserFiles().*row.userBox;
}
const char* savedSection(const Row& row) { return row.optionsBox ? "SystemFilesSaved" : "UserFilesSaved"; }
const char* settingsSection(const Row& row) { return row.optionsBox ? "SystemFiles" : "UserFiles"; }

class SelectionBoxes : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    writeUserList({});
    // Every source there, each with its own content.
    for (const char* file : {"C:\\AUTOEXEC.BAT", "C:\\AUTOEXEC.DOS", "C:\\CONFIG.SYS", "C:\\CONFIG.DOS",
                             "C:\\MSDOS.SYS", "C:\\DBLSPACE.INI", "C:\\DRVSPACE.INI", "C:\\DRVSPACE.BIN",
                             "C:\\DBLSPACE.BIN", "C:\\WINDOWS\\SYSTEM.INI", "C:\\WINDOWS\\PROTOCOL.INI",
                             "C:\\WINDOWS\\CONTROL.INI", "C:\\WINDOWS\\USER.DAT", "C:\\WINDOWS\\SYSTEM.DAT",
                             "C:\\WINDOWS\\CLASSES.DAT", "C:\\WINDOWS\\WIN.INI"}) {
      if (machine().exists(file)) machine().setAttributes(file, 0);  // Msdos.sys is read-only
      machine().write(file, std::string("saved ") + file);
    }
    findEveryGroup();
  }

  // The archives in the save folder.
  std::vector<std::string> archives() {
    std::vector<std::string> names;
    for (const std::string& name : filesIn(kSaveFolder))
      if (name.size() > 4 && name.substr(name.size() - 4) == ".kvz") names.push_back(name);
    return names;
  }
};

TEST_F(SelectionBoxes, EachBoxAloneSavesItsOwnGroupAndComesBackTickedAtTheNextStart) {
  const std::string description = std::string(kSaveFolder) + "Config1.ini";
  const std::string settings = kProgram + "kelvaran.ini";
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.descriptionKey);
    for (const Row& other : kRows) boxOf(other).setValue(0);
    boxOf(row).setValue(1);
    prepareSlot(1, row.descriptionKey);
    dialogs().expect(savetest::kSavedMessage);
    SaveConfiguration();
    dialogs().verify();
    ASSERT_TRUE(core::state().SaveSucceeded);

    EXPECT_EQ(archives(), std::vector<std::string>{row.archive});
    const std::vector<std::string> members = savetest::ZipEntries(std::string(kSaveFolder) + row.archive);
    int files = 0;
    for (const std::string& member : members) {
      if (member.back() == '/') continue;
      ++files;
      EXPECT_NE(member.find(row.member), std::string::npos) << member;
    }
    EXPECT_GT(files, 0);

    for (const Row& other : kRows) {
      EXPECT_EQ(core::ReadIni(savedSection(other), other.descriptionKey, description),
                &other == &row ? "1" : "0")
          << other.descriptionKey;
      EXPECT_EQ(core::ReadIni(settingsSection(other), other.settingsKey, settings),
                &other == &row ? "1" : "0")
          << other.settingsKey;
    }

    // The next start reads the settings into cleared boxes.
    for (const Row& other : kRows) boxOf(other).setValue(0);
    core::LoadSettings();
    for (const Row& other : kRows)
      EXPECT_EQ(boxOf(other).value(), &other == &row ? 1 : 0) << other.settingsKey;
  }
}

}  // namespace
}  // namespace save
