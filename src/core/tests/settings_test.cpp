// Settings file, slot lists, user-file list, discovery, start-up and exit.
#include "core/settings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/discovery.h"
#include "core/paths.h"
#include "core/slotlists.h"
#include "core/startup.h"
#include "core/state.h"
#include "core/tests/support/core_fixture.h"
#include "core/userlist.h"
#include "forms/forms.h"
#include "forms/messages.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "support/golden.h"
#include "support/source_files.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace {

using coretest::CoreTest;

using testsupport::sourceFile;

std::string golden(const std::string& name) { return sourceFile("src/core/tests/data/" + name); }

TEST(SlotRows, UsedAndFreeSlots) {
  struct Case {
    const char* name;
    const char* date;
    const char* time;
    const char* row;
  };
  for (const Case& c : {
           // The date as written in this run (with the sign blank) and as read back stand alike.
           Case{"Before update", " 9/12/2026", "14:35:12", "Before update       9/Dec/2026     14:35"},
           Case{"Before update", "9/12/2026", "14:35:12", "Before update       9/Dec/2026     14:35"},
           Case{"Exactly twenty chars", " 19/1/2027", "00:00", "Exactly twenty chars19/Jan/2027     00:00"},
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
  EXPECT_TRUE(testsupport::matchesGolden(settings(), "src/core/tests/data/settings_default.ini"));
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

// The stored Windows folder replaces the discovered one; an empty value
// would point every system file at the drive root, so it keeps the folder found.
TEST_F(Settings, TheStoredWindowsFolderIsUsedUnlessEmpty) {
  const std::pair<const char*, const char*> cases[] = {{"C:\\WIN98", "C:\\WIN98"}, {"", "C:\\WINDOWS"}};
  for (const auto& [stored, used] : cases) {
    SCOPED_TRACE(stored);
    std::string text = golden("settings_default.ini");
    text.replace(text.find("SystemPath=C:\\WINDOWS"), 21, std::string("SystemPath=") + stored);
    machine->write(program("kelvaran.ini"), text);
    core::DetectEnvironment();
    core::LoadSettings();
    EXPECT_EQ(core::state().SystemPath, used);
    EXPECT_NE(settings().find(std::string("SystemPath=") + used + "\r\n"), std::string::npos);
  }
}

// The golden default file with some lines replaced.
std::string defaultsWith(std::initializer_list<std::pair<std::string, std::string>> replacements) {
  std::string text = golden("settings_default.ini");
  for (const auto& [from, to] : replacements) {
    const auto at = text.find(from);
    if (at == std::string::npos)
      ADD_FAILURE() << "no line " << from;
    else
      text.replace(at, from.size(), to);
  }
  return text;
}

TEST_F(Settings, DamagedFileFallsBackToTheDefaultsKeepingWhatWasReadBefore) {
  machine->write(program("kelvaran.ini"), defaultsWith({{"Config2=available", "Config2=Before update"},
                                                        {"LsDate2=00/00/0000", "LsDate2= 9/12/2026"},
                                                        {"OSV2=", "OSV2=Windows 98"},
                                                        {"Compression=1", "Compression=7"},
                                                        {"Autoexec.bat=1", "Autoexec.bat=0"},
                                                        {"Win.ini=1", "Win.ini="},
                                                        {"DblSpace.bin=1", "DblSpace.bin=0"}}));
  core::LoadSettings();
  const std::string log = machine->read(program("Error.log"));
  EXPECT_EQ(log.substr(log.size() - 22), "Kelvaran.ini damaged\r\n");
  auto& s = core::state();
  EXPECT_EQ(s.ConfigNames(2), "available");
  EXPECT_EQ(s.ConfigDates(2), "00/00/0000");
  EXPECT_EQ(s.CompressionLevel, "1");
  EXPECT_EQ(windows::Form1().Slider1.value(), 1);
  // Boxes read before the damaged key keep the file's values, the others
  // their own; the OS texts read before it stay.
  EXPECT_EQ(settings(), defaultsWith({{"OSV2=", "OSV2=Windows 98"}, {"Autoexec.bat=1", "Autoexec.bat=0"}}));
}

TEST_F(Settings, FreeSlotMarkersOfTheOtherLanguageAreRepaired) {
  std::string english = sourceFile("resources/messages.txt");
  ASSERT_FALSE(english.empty());
  std::string german = english;
  german.replace(german.find("1006\tNone"), 9, "1006\tKeine");
  german.replace(german.find("1010\tavailable"), 14, "1010\tverfuegbar");
  const auto germanTable = machine->root() / "messages_de.txt";
  std::ofstream(germanTable, std::ios::binary) << german;
  struct Case {
    std::string table;  // "" for the compiled-in English one
    const char* stored;
    const char* repaired;
  };
  for (const Case& c :
       {Case{"", "verfuegbar", "available"}, Case{germanTable.string(), "available", "verfuegbar"}}) {
    forms::setMessageTableSource(c.table);
    machine->write(program("kelvaran.ini"),
                   defaultsWith({{"Config3=available", std::string("Config3=") + c.stored}}));
    core::LoadSettings();
    EXPECT_EQ(core::state().ConfigNames(3), c.repaired) << c.stored;
    EXPECT_NE(settings().find(std::string("Config3=") + c.repaired + "\r\n"), std::string::npos) << c.stored;
    EXPECT_EQ(windows::Form1().List2.list(2), c.repaired);
  }
  forms::setMessageTableSource("");
}

TEST_F(Settings, CompressionLevelIsReadTrimmedAndClamped) {
  struct Case {
    const char* stored;
    const char* level;
  };
  for (const Case& c : {Case{" 7", "7"}, Case{"0", "0"}, Case{"9", "9"}, Case{"", "1"}, Case{"12", "1"},
                        Case{"-1", "1"}, Case{"abc", "0"}}) {
    machine->write(program("kelvaran.ini"),
                   defaultsWith({{"Compression=1", std::string("Compression=") + c.stored}}));
    core::LoadSettings();
    EXPECT_EQ(core::state().CompressionLevel, c.level) << c.stored;
    EXPECT_EQ(windows::Form1().Slider1.value(), std::stoi(c.level)) << c.stored;
    EXPECT_NE(settings().find(std::string("Compression=") + c.level + "\r\n"), std::string::npos) << c.stored;
  }
}

TEST_F(Settings, SaveFolderCheck) {
  const std::string programFolder = std::string(coretest::kProgramFolder) + "\\";
  struct Case {
    const char* stored;
    std::string folder;
    bool message;
  };
  for (const Case& c : {
           Case{"N:\\", "N:\\", false},  // an existing drive root, even an empty one
           Case{"N:", "N:\\", false},
           Case{"", programFolder, false},             // empty: the program folder
           Case{"A:\\Saves\\", "A:\\Saves\\", false},  // removable media are not probed
           Case{"Q:\\Saves\\", programFolder, true},   // no such drive
           Case{"C:\\a|b\\", programFolder, true},     // no such name
           Case{"C:\\..\\..\\Gone\\", programFolder, true},
       }) {
    machine->write(program("kelvaran.ini"),
                   defaultsWith({{"SaveFolder=" + programFolder, std::string("SaveFolder=") + c.stored}}));
    if (c.message) dialogs->expect(forms::loadResString(1167)).style(0);
    core::LoadSettings();
    EXPECT_EQ(core::state().SaveFolder, c.folder) << c.stored;
    EXPECT_EQ(windows::Form1().Text2.text(), core::ShortenPath(c.folder, 49)) << c.stored;
  }
}

TEST_F(Settings, UserFileSelectionsAndRestoreBoxesSkipWhatCannotBeRead) {
  auto& dialog = windows::UserFiles();
  auto& restore = windows::RestoreReq();
  struct Case {
    const char* identity;
    int chosen;
  };
  for (const Case& c : {Case{"0", 1}, Case{"1", 0}, Case{"9", 1}, Case{"", 1}}) {
    dialog.Combo1.clear();
    dialog.Combo1.addItem("Anna");
    dialog.Combo1.addItem("Ben");
    dialog.Combo1.setListIndex(1);
    dialog.Check3.setValue(1);
    restore.Check21.setEnabled(true);
    machine->write(program("kelvaran.ini"),
                   defaultsWith({{"MSEIdentiteis=1", std::string("MSEIdentiteis=") + c.identity},
                                 {"MSEMail=0", "MSEMail="},
                                 {"NSCNews=0", "NSCNews=1"},
                                 {"Win.ini=1", "Win.ini=0"},
                                 {"NSCCookies=0", "NSCCookies=x"}}));
    core::LoadSettings();
    EXPECT_EQ(dialog.Combo1.listIndex(), c.chosen) << c.identity;
    EXPECT_EQ(dialog.Check3.value(), 1);     // empty MSEMail: the box keeps its state
    EXPECT_TRUE(restore.Check21.enabled());  // and so does the restore box
    EXPECT_EQ(dialog.Check6.value(), 1);
    EXPECT_TRUE(restore.Check17.enabled());
    EXPECT_FALSE(restore.Check9.enabled());
    EXPECT_FALSE(core::state().RestorePending);
    core::state().RestorePending = true;  // the next load clears it again
  }
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

TEST_F(Exit, EitherArchiverMissingEndsAfterOneMessageWithTheSettingsWritten) {
  for (const std::vector<std::string>& missing :
       {std::vector<std::string>{"Unzip32.exe"}, std::vector<std::string>{"zip.exe", "Unzip32.exe"}}) {
    ended = 0;
    machine->remove(program("kelvaran.ini"));
    for (const auto& name : missing) machine->remove(program(name));
    dialogs->expect(forms::loadResString(1028) + "\r" + forms::loadResString(1029))
        .style(16)
        .title(forms::loadResString(1005));
    core::InitProgram();
    EXPECT_EQ(ended, 1) << missing.size();
    EXPECT_TRUE(machine->exists(program("kelvaran.ini")));
    for (const auto& name : missing) machine->write(program(name), "binary");
  }
}

TEST_F(Exit, NormalStartUpMarksTheSettingsSavedAndTheSplashAtHalf) {
  platform::chDir("C:\\WINDOWS");
  core::InitProgram();
  EXPECT_EQ(ended, 0);
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_EQ(windows::Form2().ProgressBar1.value(), 50);
  EXPECT_EQ(platform::curDir(), coretest::kProgramFolder);
  EXPECT_EQ(core::state().SaveFolder, std::string(coretest::kProgramFolder) + "\\");
}

// Later-loaded windows unload first; the window at position 0 stays.
TEST_F(Exit, UnloadsFromTheLastLoadedWindowDownToTheSecond) {
  core::LoadSettings();
  std::vector<std::string> unloaded;
  std::vector<forms::Form*> order{&windows::Form1(), &windows::UserFiles(), &windows::RestoreReq()};
  for (auto it = order.rbegin(); it != order.rend(); ++it) (*it)->unload();
  for (auto* form : order) {
    form->load();
    form->onUnload = [&unloaded, form](bool&) { unloaded.push_back(form->name()); };
  }
  ASSERT_EQ(forms::loadedForms(), order);
  core::ExitProgram();
  EXPECT_EQ(ended, 1);
  EXPECT_EQ(unloaded, (std::vector<std::string>{"RestoreReq", "UserFiles"}));
  EXPECT_TRUE(windows::Form1().loaded());
  for (auto* form : order) form->onUnload = nullptr;
}

// While the splash is the first window, the main window is unloaded too and
// its unload enters the exit again: that inner call ends the program.
TEST_F(Exit, AnUnloadThatEntersTheExitAgainEndsTheProgram) {
  core::LoadSettings();
  windows::Form1().unload();
  windows::Form2().load();
  windows::Form1().load();
  int endedInside = -1;
  windows::Form1().onUnload = [&](bool&) {
    core::ExitProgram();
    endedInside = ended;
  };
  core::ExitProgram();
  EXPECT_EQ(endedInside, 1);
  windows::Form1().onUnload = nullptr;
}

}  // namespace
