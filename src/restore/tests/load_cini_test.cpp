// The description reader: what a configuration's description offers in the
// restore dialog, the disk set of a configuration on floppies, the question
// for another operating system, and this machine's state left alone.
#include "restore/load_cini.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "forms/dialogs.h"
#include "restore/loaded_configuration.h"
#include "restore/restore_boxes.h"
#include "support/restore_fixture.h"
#include "windows/form1.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

using restoretest::enabledBoxes;
using restoretest::kProgram;
using restoretest::tickedBoxes;
using restoretest::userFileEntries;

const std::string kOtherSystem =
    "This configuration was created on a different Operating System.\r"
    "We strongly recommend to NOT restore any System files.\r\rWould you like to continue anyway?";

class LoadCiniTest : public restoretest::RestoreTest {
 protected:
  void read(int slotIndex) {
    core::state().CurrentConfig = static_cast<std::uint8_t>(slotIndex);
    core::state().RestoreState = 0;
    LoadCINI();
  }
};

TEST_F(LoadCiniTest, OffersExactlyTheSavedGroupsUntickedWithTheirLabelsAndFiles) {
  writeDescription(
      2, {
             {"SystemFilesSaved",
              "Autoexec.bat=1\r\nConfig.sys=0\r\nMsdos.sys=x\r\nSystem.dat=3\r\nClasses.dat=-1\r\n"
              "System.ini=1.5\r\nWin.ini=1\r\nDblspace.bin=2\r\nStartmenue=1\r\n"},
             {"UserFilesSaved", "MSEFavorites=1\r\nMSECookies= 1\r\nNSCNews=2\r\nNSCMail=\r\n"},
             {"UserFiles",
              "MSEVersion=Version 5.50\r\nMSEAdrVersion=Version 5.0\r\nMSEAdrIdent=Identity Main\r\n"
              "NSCMailUser=User: anna\r\nPathFavorites=C:\\WINDOWS\\Favorites\\\r\n"
              "PathNetscape=NONE\r\nPathStartmenue=C:\\WINDOWS\\Start Menu\\\r\n"},
         });
  writeUserFiles(2, " 5\r\nC:\\A\\one.txt\r\n\r\nC:\\B\\two.txt\r\nC:\\C\\three.txt\r\n\r\n");
  read(1);

  EXPECT_EQ(core::state().RestoreState, 0);
  // Values 1 and 2 offer the box; 0, missing and anything malformed do not.
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{1, 9, 11, 17, 19, 20, 24}));
  EXPECT_TRUE(tickedBoxes().empty());
  const windows::RestoreReqWindow& r = windows::RestoreReq();
  EXPECT_EQ(r.Label2.caption(), "Version 5.50");
  EXPECT_EQ(r.Label5.caption(), "Version 5.0");
  EXPECT_EQ(r.Label4.caption(), "Identity Main");
  EXPECT_EQ(r.Label6.caption(), "User: anna");
  // Every path past the count line, however many the count says; no empty entry.
  EXPECT_EQ(userFileEntries(),
            (std::vector<std::string>{"C:\\A\\one.txt", "C:\\B\\two.txt", "C:\\C\\three.txt"}));
  EXPECT_FALSE(UserFileSelected());

  const LoadedConfiguration& loaded = loadedConfiguration();
  EXPECT_EQ(loaded.slot, 2);
  EXPECT_EQ(loaded.IniPath, kProgram + "Config2.ini");
  EXPECT_EQ(loaded.SaveFolder, "C:\\SAVE\\");
  EXPECT_EQ(loaded.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(loaded.ConfigName, "Demo");
  EXPECT_EQ(loaded.OSV, "Windows 98 SE");
  EXPECT_EQ(loaded.PathFavorites, "C:\\WINDOWS\\Favorites\\");
  EXPECT_EQ(loaded.PathNetscape, "NONE");
  EXPECT_EQ(loaded.PathStartmenue, "C:\\WINDOWS\\Start Menu\\");
  EXPECT_FALSE(loaded.onRemovableDrive);
  EXPECT_EQ(loaded.DiskRestorePath, "");
}

TEST_F(LoadCiniTest, EveryReadingStartsCleanWhateverTheLastUseLeft) {
  windows::RestoreReqWindow& r = windows::RestoreReq();
  for (int n = 1; n <= 25; ++n) {
    RestoreBox(n).setEnabled(true);
    RestoreBox(n).setValue(1);
  }
  r.List1.addItem("C:\\old.txt");
  r.Label6.setCaption("User: old");
  loadedConfiguration().DiskRestorePath = kProgram + "DiskRestore\\";
  loadedConfiguration().SplitDisk(1) = 4;
  writeDescription(1, {{"SystemFilesSaved", "Win.ini=1\r\n"}});
  read(0);
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{9}));
  EXPECT_TRUE(tickedBoxes().empty());
  EXPECT_TRUE(userFileEntries().empty());
  EXPECT_EQ(r.Label6.caption(), "");
  EXPECT_EQ(loadedConfiguration().DiskRestorePath, "");
  EXPECT_EQ(loadedConfiguration().SplitDisk(1), 0);
}

TEST_F(LoadCiniTest, AFolderSavedAsNoneDisablesItsBrowserBox) {
  writeDescription(1, {{"UserFilesSaved", "MSEFavorites=1\r\nNSCBookmark=1\r\nNSCCookies=1\r\n"},
                       {"UserFiles", "PathFavorites=NONE\r\nPathNetscape=NONE\r\n"}});
  read(0);
  // Favorites and the bookmarks need their folder; the cookies do not.
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{22}));
}

TEST_F(LoadCiniTest, TheSmartSaveFolderIsRecognisedExactlyAndWithoutRegardToCase) {
  writeDescription(3, {{"SystemFilesSaved", "Win.ini=1\r\n"}}, true);
  writeDescription(3, {{"SystemFilesSaved", "Config.sys=1\r\n"}}, false);
  struct Case {
    std::string saveFolder;
    bool smartSave;
  };
  for (const Case& c : {Case{kProgram + "SmartSav\\", true}, Case{kProgram + "SMARTSAV\\", true},
                        Case{"C:\\SmartSav\\", false}, Case{kProgram + "SmartSav\\Old\\", false}}) {
    SCOPED_TRACE(c.saveFolder);
    core::state().SaveFolder = c.saveFolder;
    read(2);
    EXPECT_EQ(loadedConfiguration().IniPath, DescriptionPath(3, c.smartSave));
    EXPECT_EQ(enabledBoxes(), (std::vector<int>{c.smartSave ? 9 : 2}));
    EXPECT_EQ(core::state().SaveFolder, c.saveFolder);
  }
}

TEST_F(LoadCiniTest, TheSavedFolderGetsItsSeparator) {
  for (const std::string& stored : {std::string("D:\\Backups"), std::string("D:\\Backups\\")}) {
    writeDescription(1, {{"SystemFiles", "SystemPath=C:\\WINDOWS\r\nSaveFolder=" + stored + "\r\n"}});
    read(0);
    EXPECT_EQ(loadedConfiguration().SaveFolder, "D:\\Backups\\") << stored;
  }
}

TEST_F(LoadCiniTest, ADiskSetOnARemovableDriveLoadsItsSplitTable) {
  const std::string log = "[SplitLog]\r\nFile1=" + kProgram + "Conf1.kvz\r\n" + kProgram +
                          "Conf1.kvz= 0\r\nFile2=" + kProgram + "Conf1us.kvz\r\n" + kProgram +
                          "Conf1us.kvz= 3\r\nFile5=" + kProgram + "Conf1mb.kvz\r\n" + kProgram +
                          "Conf1mb.kvz=many\r\n\r\n";
  const std::string body =
      "[Configuration]\r\nOSV=Windows 98 SE\r\n\r\n[SystemFiles]\r\nSaveFolder=A:\\\r\n\r\n"
      "[SystemFilesSaved]\r\nWin.ini=1\r\n";
  machine().write(kProgram + "Config1.ini", log + body);
  read(0);
  const LoadedConfiguration& loaded = loadedConfiguration();
  EXPECT_TRUE(loaded.onRemovableDrive);
  EXPECT_EQ(loaded.SplitFile(1), kProgram + "Conf1.kvz");
  EXPECT_EQ(loaded.SplitFile(2), kProgram + "Conf1us.kvz");
  EXPECT_EQ(loaded.SplitFile(3), "");
  EXPECT_EQ(loaded.SplitDisk(1), 0);
  EXPECT_EQ(loaded.SplitDisk(2), 3);
  EXPECT_EQ(loaded.SplitDisk(5), 0);  // malformed: whole
  EXPECT_EQ(loaded.DiskRestorePath, kProgram + "DiskRestore\\");
  EXPECT_EQ(core::state().DiskRestorePath, "");

  // Every archive whole on its disk: nothing to join first.
  std::string whole = log;
  whole.replace(whole.find("= 3"), 3, "= 0");
  machine().write(kProgram + "Config1.ini", whole + body);
  read(0);
  EXPECT_TRUE(loadedConfiguration().onRemovableDrive);
  EXPECT_EQ(loadedConfiguration().DiskRestorePath, "");

  // The same log on a fixed drive is not a disk set.
  std::string fixed = log + body;
  fixed.replace(fixed.find("SaveFolder=A:\\"), 14, "SaveFolder=C:\\SAVE\\");
  machine().write(kProgram + "Config1.ini", fixed);
  read(0);
  EXPECT_FALSE(loadedConfiguration().onRemovableDrive);
  EXPECT_EQ(loadedConfiguration().SplitFile(2), "");
  EXPECT_EQ(loadedConfiguration().DiskRestorePath, "");
}

TEST_F(LoadCiniTest, AnotherOperatingSystemIsAskedAboutAndNoKeepsTheDialogAsItWas) {
  writeDescription(1, {{"SystemFilesSaved", "Win.ini=1\r\n"}});
  read(0);
  ASSERT_EQ(enabledBoxes(), (std::vector<int>{9}));
  for (const std::string osv : {"Windows 98 SE (German)", "windows 98 se", ""}) {
    SCOPED_TRACE(osv);
    writeDescription(1, {{"Configuration", "OSV=" + osv + "\r\n"}, {"SystemFilesSaved", "Config.sys=1\r\n"}});
    dialogs()
        .expect(kOtherSystem)
        .style(forms::vbYesNo + forms::vbQuestion)
        .title("Confirmation")
        .answer(forms::vbNo);
    read(0);
    EXPECT_EQ(core::state().RestoreState, 3);
    EXPECT_EQ(enabledBoxes(), (std::vector<int>{9}));
  }
  dialogs().expect(kOtherSystem).answer(forms::vbYes);
  read(0);
  EXPECT_EQ(core::state().RestoreState, 0);
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{2}));
  EXPECT_EQ(loadedConfiguration().OSV, "");
}

TEST_F(LoadCiniTest, ADescriptionWithoutSaveFolderEndsTheProgramWithoutSavingTheSettings) {
  machine().write(kProgram + "Config4.ini", "[Configuration]\r\nOSV=Windows 98 SE\r\n");
  dialogs()
      .expect("A problem occured while reading a configuration file, Kelvaran must be restarted.")
      .style(forms::vbOKOnly)
      .title("");
  read(3);
  EXPECT_EQ(programEnds, 1);
  EXPECT_TRUE(core::state().NoSaveOnExit);
  EXPECT_EQ(core::state().RestoreState, 3);
  EXPECT_FALSE(machine().exists(kProgram + "kelvaran.ini"));
}

TEST_F(LoadCiniTest, AConfigurationOfAnotherMachineLeavesThisMachinesStateAlone) {
  core::State& st = core::state();
  st.ConfigNames(2) = "Mine";
  st.ConfigOSV(2) = "Windows 98 SE";
  const core::State before = st;
  writeDescription(2, {{"Configuration", "OSV=Windows 98 SE\r\nConfigName=Theirs\r\n"},
                       {"SystemFiles", "SystemPath=D:\\WIN98\r\nSaveFolder=E:\\THEIRS\\\r\n"},
                       {"UserFilesSaved", "MSEFavorites=1\r\nNSCBookmark=1\r\n"},
                       {"UserFiles",
                        "PathFavorites=D:\\WIN98\\Favoriten\\\r\nPathNetscape=D:\\NS\\Users\\bob\r\n"
                        "PathStartmenue=D:\\WIN98\\Startmenue\\\r\n"}});
  read(1);
  EXPECT_EQ(enabledBoxes(), (std::vector<int>{10, 11}));
  EXPECT_EQ(loadedConfiguration().SystemPath, "D:\\WIN98");
  EXPECT_EQ(loadedConfiguration().PathNetscape, "D:\\NS\\Users\\bob");
  EXPECT_EQ(loadedConfiguration().ConfigName, "Theirs");
  for (const auto& [name, now, was] :
       {std::tuple{"SystemPath", st.SystemPath, before.SystemPath},
        std::tuple{"PathFavorites", st.PathFavorites, before.PathFavorites},
        std::tuple{"PathNetscape", st.PathNetscape, before.PathNetscape},
        std::tuple{"PathStartmenue", st.PathStartmenue, before.PathStartmenue},
        std::tuple{"SaveFolder", st.SaveFolder, before.SaveFolder},
        std::tuple{"IniPath", st.IniPath, before.IniPath},
        std::tuple{"ConfigNames(2)", st.ConfigNames(2), before.ConfigNames(2)},
        std::tuple{"ConfigOSV(2)", st.ConfigOSV(2), before.ConfigOSV(2)},
        std::tuple{"DiskRestorePath", st.DiskRestorePath, before.DiskRestorePath}})
    EXPECT_EQ(now, was) << name;
  EXPECT_FALSE(machine().exists(kProgram + "kelvaran.ini"));
}

}  // namespace
}  // namespace restore
