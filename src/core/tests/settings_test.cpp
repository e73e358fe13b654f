// Settings file, slot lists, user-file list, discovery, start-up and exit.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/discovery.h"
#include "core/slotlists.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/tests/support/core_fixture.h"
#include "core/userlist.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace {

using coretest::CoreTest;

std::string golden(const std::string& name) {
  std::ifstream in(std::string(KELVARAN_SOURCE_DIR) + "/src/core/tests/data/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(SlotRows, UsedAndFreeSlots) {
  struct Case {
    const char* name;
    const char* date;
    const char* time;
    const char* row;
  };
  for (const Case& c : {
           Case{"Before update", " 9/12/2026", "14:35:12", "Before update        9/Dec/2026     14:35"},
           Case{"Exactly twenty chars", " 19/1/2027", "00:00", "Exactly twenty chars 19/Jan/2027     00:00"},
           Case{"available", "00/00/0000", "00:00", "available"},
           Case{"Hand edited", "00/00/0000", "soon", "Hand edited         00/00/0000     soon"},
       })
    EXPECT_EQ(core::slotRow(c.name, c.date, c.time), c.row) << c.name;
}

TEST(UserListLayout, CountLineBlankLinesAndCommas) {
  EXPECT_EQ(core::formatUserList({}), " 0\r\n\r\n");
  EXPECT_EQ(core::formatUserList({"c:\\data\\a,b.txt", "c:\\x.doc"}),
            " 2\r\nc:\\data\\a,b.txt\r\nc:\\x.doc\r\n\r\n");
  EXPECT_TRUE(core::parseUserList(" 0\r\n\r\n").empty());
  EXPECT_EQ(core::parseUserList(" 5\r\nc:\\data\\a,b.txt\r\n\r\nc:\\x.doc\nc:\\y\r\n"),
            (std::vector<std::string>{"c:\\data\\a,b.txt", "c:\\x.doc", "c:\\y"}));
}

class Settings : public CoreTest {
 protected:
  std::string settings() const { return machine->read(program("kelvaran.ini")); }
};

TEST_F(Settings, FirstStartWritesTheDefaults) {
  core::LoadSettings();
  const std::string log = machine->read(program("Error.log"));
  EXPECT_NE(log.find("Kelvaran.ini damaged\r\n"), std::string::npos);
  EXPECT_EQ(settings(), golden("settings_default.ini"));
  auto& s = core::state();
  EXPECT_EQ(s.SaveFolder, std::string(coretest::kProgramFolder) + "\\");
  EXPECT_EQ(s.CompressionLevel, "1");
  EXPECT_EQ(windows::Form1().List2.list(4), "available");
  EXPECT_EQ(windows::Form1().Label2.caption(), "available\ravailable\ravailable\ravailable\ravailable");
}

TEST_F(Settings, RoundTripRepairsLanguageTimesAndEmptySlots) {
  std::string text = golden("settings_default.ini");
  auto replace = [&](const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
  };
  replace("Config3=available", "Config3=verfuegbar");
  replace("LsTime2=00:00", "LsTime2=True");
  replace("Config1=available", "Config1=");
  replace("Compression=1", "Compression= 7");
  replace("Win.ini=1", "Win.ini=0");
  machine->write(program("kelvaran.ini"), text);
  core::DetectEnvironment();  // as at start-up: the identity list is filled first
  core::LoadSettings();
  auto& s = core::state();
  EXPECT_EQ(s.ConfigNames(3), "available");
  EXPECT_EQ(s.ConfigNames(1), "available");
  EXPECT_EQ(s.ConfigTimes(2), "00:00");
  EXPECT_EQ(s.CompressionLevel, "7");
  EXPECT_EQ(windows::Form1().Slider1.value(), 7);
  EXPECT_EQ(windows::Form1().Check2.value(), 0);
  std::string expected = golden("settings_default.ini");
  expected.replace(expected.find("Compression=1"), 13, "Compression=7");
  expected.replace(expected.find("Win.ini=1"), 9, "Win.ini=0");
  EXPECT_EQ(settings(), expected);
}

TEST_F(Settings, UnreachableSaveFolderFallsBackToTheProgramFolder) {
  std::string text = golden("settings_default.ini");
  const std::string from = std::string("SaveFolder=") + coretest::kProgramFolder + "\\";
  text.replace(text.find(from), from.size(), "SaveFolder=C:\\Gone\\Away\\");
  machine->write(program("kelvaran.ini"), text);
  dialogs->expect(forms::loadResString(1167)).style(0);
  core::LoadSettings();
  EXPECT_EQ(core::state().SaveFolder, std::string(coretest::kProgramFolder) + "\\");
}

TEST_F(Settings, NothingBeforeTheSlotsAreLoadedAndTheSmartSaveFolderIsNeverStored) {
  windows::Form1().Command14.setEnabled(true);
  core::SaveSettings();
  EXPECT_FALSE(machine->exists(program("kelvaran.ini")));
  EXPECT_TRUE(windows::Form1().Command14.enabled());

  core::LoadSettings();
  auto& s = core::state();
  s.SaveFolder = program("SMARTSAV\\");
  core::SaveSettings();
  EXPECT_EQ(s.SaveFolder, std::string(coretest::kProgramFolder) + "\\");
  s.SaveFolder = "D:\\SmartSaves\\";  // the user's own folder
  core::SaveSettings();
  EXPECT_NE(settings().find("SaveFolder=D:\\SmartSaves\\\r\n"), std::string::npos);
}

TEST_F(Settings, MarkerAndTheMachinesOwnWindowsFolder) {
  core::LoadSettings();
  auto& s = core::state();
  s.SystemPath = "D:\\WIN98";  // loaded from a configuration for a restore
  s.RestorePending = true;
  machine->write("C:\\Restore.ini", "old content that is longer");
  core::SaveSettings();
  EXPECT_EQ(machine->read("C:\\Restore.ini"), "Restore=1\r\n");
  EXPECT_NE(settings().find("SystemPath=C:\\WINDOWS\r\n"), std::string::npos);
}

class Discovery : public CoreTest {};

TEST_F(Discovery, IdentitiesStayPairedAndEmptyPathsCountAsMissing) {
  platform::useRegistry(
      "REGEDIT4\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
      "\"ProductName\"=\"Microsoft Windows 98\"\r\n\"SystemRoot\"=\"C:\\\\WINDOWS\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Outlook Express\\Version "
      "Info]\r\n\"Current\"=\"5.0\"\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Internet Explorer]\r\n\"Version\"=\"\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
      "\"Favorites\"=\"\"\r\n\"Start Menu\"=\"C:\\\\WINDOWS\\\\Start Menu\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities]\r\n\"Last Username\"=\"Main\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{A}]\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{A}\\Software\\Microsoft\\Outlook Express\\5.0]\r\n"
      "\"Store Root\"=\"C:\\\\Nameless\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{B}]\r\n\"UserName\"=\"Main\"\r\n\r\n"
      "[HKEY_CURRENT_USER\\Identities\\{B}\\Software\\Microsoft\\Outlook Express\\5.0]\r\n"
      "\"Store Root\"=\"C:\\\\Main Store\"\r\n");
  core::DetectEnvironment();
  auto& s = core::state();
  auto& dialog = windows::UserFiles();
  EXPECT_EQ(s.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(s.TempDir, "C:\\WINDOWS\\TEMP\\");
  EXPECT_EQ(windows::Form1().Label5.caption(), "Microsoft Windows 98");
  EXPECT_EQ(dialog.Label1.caption(), "Version ");  // present but empty
  EXPECT_EQ(s.PathFavorites, "");                  // never "\"
  EXPECT_FALSE(dialog.Check12.enabled());
  EXPECT_EQ(s.PathStartmenue, "C:\\WINDOWS\\Start Menu\\");
  EXPECT_EQ(dialog.List2.listCount(), 2);
  ASSERT_EQ(dialog.Combo1.listCount(), 1);
  EXPECT_EQ(dialog.Combo1.list(0), "Main");
  EXPECT_EQ(dialog.List3.list(0), "C:\\Main Store");
  EXPECT_EQ(dialog.List3.listCount(), 1);
  EXPECT_EQ(dialog.Combo1.listIndex(), 0);
  EXPECT_EQ(windows::RestoreReq().Label4.caption(), "Idenity Main");
  EXPECT_TRUE(dialog.Check3.enabled());
  // No Netscape at all.
  EXPECT_FALSE(dialog.Check11.enabled());
  EXPECT_FALSE(dialog.Combo2.enabled());
  EXPECT_EQ(s.PathNetscape, "");
}

TEST(DiscoveryPaths, FoldersByPathComponents) {
  EXPECT_EQ(core::folderAbove("C:\\Program Files\\Netscape\\Users\\jo\\mail\\popstate.dat", 2),
            "C:\\Program Files\\Netscape\\Users\\jo");
  EXPECT_EQ(core::folderAbove("C:\\Program Files\\Netscape\\Communicator", 1), "C:\\Program Files\\Netscape");
  EXPECT_EQ(core::folderAbove("C:\\Communicator\\", 1), "C:\\");
  EXPECT_EQ(core::folderAbove("popstate.dat", 2), "");
}

class Exit : public CoreTest {
 protected:
  Exit() {
    core::setProgramEnd([this] { ++ended; });
  }
  ~Exit() override { core::setProgramEnd({}); }
  int ended = 0;
};

TEST_F(Exit, RefusedWhileASaveOrARestoreRuns) {
  core::LoadSettings();
  machine->remove(program("kelvaran.ini"));
  auto& main = windows::Form1();
  for (auto* button : {&main.Command2, &main.Command3}) {
    button->setEnabled(false);
    core::ExitProgram();
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(machine->exists(program("kelvaran.ini")));
    button->setEnabled(true);
  }
  core::ExitProgram();
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(machine->exists(program("kelvaran.ini")));
}

TEST_F(Exit, NoSaveOnExitKeepsTheFile) {
  core::LoadSettings();
  machine->write(program("kelvaran.ini"), "kept");
  core::state().NoSaveOnExit = true;
  core::ExitProgram();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(machine->read(program("kelvaran.ini")), "kept");
}

TEST_F(Exit, StartUpWithoutAnArchiverEndsAfterOneMessage) {
  machine->remove(program("zip.exe"));
  dialogs->expect(forms::loadResString(1028) + "\r" + forms::loadResString(1029))
      .style(16)
      .title(forms::loadResString(1005));
  core::InitProgram();
  EXPECT_EQ(ended, 1);
  EXPECT_TRUE(machine->exists(program("kelvaran.ini")));
  EXPECT_NE(windows::Form2().ProgressBar1.value(), 50);  // start-up stopped at the check
}

}  // namespace
