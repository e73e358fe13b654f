// The save engine on a demo machine: the whole run, its destination checks,
// and every way a run can fail leaving the slot's old configuration whole.
#include "save/save_engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/machine.h"
#include "platform/process.h"
#include "save/boxes.h"
#include "support/save_fixture.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace save {
namespace {

using savetest::kProgram;
using savetest::kSaveFolder;
const std::string kSaved = savetest::kSavedMessage;

class SaveEngine : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    selectSmallSystem();
    machine().write("C:\\My Documents\\Brief.doc", "Dear");
    writeUserList({"C:\\My Documents\\Brief.doc"});
  }

 public:
  // A first, good save of slot 1 named "Before"; returns its files.
  std::map<std::string, std::string> saveBefore() {
    prepareSlot(1, "Before");
    dialogs().expect(kSaved);
    SaveConfiguration();
    EXPECT_TRUE(core::state().SaveSucceeded);
    return slotFiles();
  }

  std::map<std::string, std::string> slotFiles() {
    std::map<std::string, std::string> files;
    for (const std::string& name : filesIn(kSaveFolder)) files[name] = content(kSaveFolder + name);
    for (const char* name : {"Config1.ini", "Config1.usr"})
      files[std::string("P:") + name] = content(kProgram + name);
    return files;
  }

  // Runs real zip except for the run whose command line names `archive`.
  void failZipFor(const std::string& archive, int exitCode) {
    platform::FakeProgram fake;
    fake.action = [=](const std::vector<std::string>& argv) {
      for (const std::string& a : argv)
        if (a.find(archive) != std::string::npos) return exitCode;
      return platform::runZip({argv.begin() + 1, argv.end()}).exitCode;
    };
    platform::installFakeProgram("zip.exe", fake);
  }
};

TEST_F(SaveEngine, SavesTheDemoMachineIntoASlot) {
  prepareSlot(1, "Before");
  dialogs().expect(kSaved).style(forms::vbOKOnly + forms::vbInformation).title("Message");
  SaveConfiguration();
  const auto& st = core::state();
  EXPECT_TRUE(st.SaveSucceeded);
  EXPECT_EQ(filesIn(kSaveFolder), (std::vector<std::string>{"Conf1.kvz", "Conf1mb.kvz", "Conf1s.kvz",
                                                            "Conf1us.kvz", "Config1.ini", "Config1.usr"}));
  EXPECT_EQ(
      savetest::ZipEntries(std::string(kSaveFolder) + "Conf1.kvz"),
      (std::vector<std::string>{"WINDOWS/TEMP/kelvaran/autoexec.bat", "WINDOWS/TEMP/kelvaran/win.ini"}));
  EXPECT_EQ(savetest::ZipEntries(std::string(kSaveFolder) + "Conf1us.kvz"),
            (std::vector<std::string>{"WINDOWS/TEMP/kelvaran/User/My Documents/",
                                      "WINDOWS/TEMP/kelvaran/User/My Documents/Brief.doc",
                                      "WINDOWS/TEMP/kelvaran/User/User.ini"}));
  const auto menu = savetest::ZipEntries(std::string(kSaveFolder) + "Conf1s.kvz");
  EXPECT_NE(std::find(menu.begin(), menu.end(), "WINDOWS/Start Menu/Programs/Notepad.lnk"), menu.end());
  // The same description at both places, the slot's bookkeeping, no leftovers.
  EXPECT_EQ(content(kProgram + "Config1.ini"), content(std::string(kSaveFolder) + "Config1.ini"));
  EXPECT_EQ(core::ReadIni("SystemFilesSaved", "Win.ini", kProgram + "Config1.ini"), "1");
  EXPECT_EQ(core::ReadIni("SystemFilesSaved", "Config.sys", kProgram + "Config1.ini"), "0");
  EXPECT_EQ(core::ReadIni("SystemFilesSaved", "Startmenue", kProgram + "Config1.ini"), "1");
  EXPECT_EQ(core::ReadIni("UserFilesSaved", "MSEFavorites", kProgram + "Config1.ini"), "1");
  EXPECT_EQ(core::ReadIni("Configuration", "ConfigName", kProgram + "Config1.ini"), "Before");
  EXPECT_EQ(st.ConfigDates(1), " 9/12/2026");
  EXPECT_EQ(st.ConfigTimes(1), "14:35:12");
  EXPECT_EQ(st.ConfigOSV(1), "Windows 98 SE");
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\TEMP\\kelvaran"));
  EXPECT_TRUE(windows::Form1().Command2.enabled());
  EXPECT_EQ(windows::Form1().StatusBar1.simpleText(), "Saving finished");
  // Every archive run as it was issued.
  std::vector<std::string> lines;
  for (const auto& run : platform::processRuns()) lines.push_back(run.commandLine);
  EXPECT_EQ(lines,
            (std::vector<std::string>{
                R"(zip.exe -1qurS "C:\SAVE\Conf1.new\Conf1s.kvz" "C:\WINDOWS\Start Menu\*.*")",
                R"(zip.exe -1gqoruS "C:\SAVE\Conf1.new\Conf1.kvz" C:\WINDOWS\TEMP\kelvaran\*.*)",
                R"(zip.exe -1gqorumS "C:\SAVE\Conf1.new\Conf1us.kvz" "C:\WINDOWS\TEMP\kelvaran\User\*.*")",
                R"(zip.exe -1qurS "C:\SAVE\Conf1.new\Conf1mb.kvz" "C:\WINDOWS\Favorites\*.*")",
            }));
  EXPECT_EQ(st.ShellCommand, lines.back());
}

// Names with Windows-1252 characters are stored in every archive, as the
// characters they are: a zip reader (Python's zipfile here) shows them, and
// they unpack to the same names.
TEST_F(SaveEngine, NamesWithAccentedCharactersAreSavedInEveryArchive) {
  const std::string cafe = "Caf\xE9", mueller = "M\xFCller B\xFCro",
                    street =
                        "Stra\xDF"
                        "e";
  machine().write("C:\\WINDOWS\\Start Menu\\Programs\\" + cafe + ".lnk", "menu");
  machine().write("C:\\WINDOWS\\Favorites\\" + mueller + ".url", "fav");
  machine().write("C:\\WINDOWS\\Application Data\\Identities\\Mail\\" + street + ".dbx", "mail");
  machine().write("C:\\" + cafe + ".txt", "user");
  machine().write("C:\\My Documents\\" + mueller +
                      "\\Gr\xFC\xDF"
                      "e.doc",
                  "user 2");
  writeUserList({"C:\\" + cafe + ".txt", "C:\\My Documents\\" + mueller +
                                             "\\Gr\xFC\xDF"
                                             "e.doc"});
  core::state().OEMailDir = "C:\\WINDOWS\\Application Data\\Identities\\Mail\\";
  save::UserFilesBox(3).setValue(1);
  saveBefore();

  const std::string utf8Cafe = "Caf\xC3\xA9", utf8Mueller = "M\xC3\xBCller B\xC3\xBCro";
  const auto has = [](const std::string& archive, const std::string& name) {
    const auto names = savetest::ZipEntries(std::string(kSaveFolder) + archive);
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  EXPECT_TRUE(has("Conf1s.kvz", "WINDOWS/Start Menu/Programs/" + utf8Cafe + ".lnk"));
  EXPECT_TRUE(has("Conf1mb.kvz", "WINDOWS/Favorites/" + utf8Mueller + ".url"));
  EXPECT_TRUE(has("Conf1mx.kvz",
                  "WINDOWS/Application Data/Identities/Mail/Stra\xC3\x9F"
                  "e.dbx"));
  EXPECT_TRUE(has("Conf1us.kvz", "WINDOWS/TEMP/kelvaran/User/" + utf8Cafe + ".txt"));
  EXPECT_TRUE(has("Conf1us.kvz", "WINDOWS/TEMP/kelvaran/User/My Documents/" + utf8Mueller +
                                     "/Gr\xC3\xBC\xC3\x9F"
                                     "e.doc"));
  EXPECT_EQ(
      core::ReadIni("UserFilesSaved", "C:\\" + cafe + ".txt", "C:\\WINDOWS\\TEMP\\kelvaran\\User\\User.ini"),
      "");  // the map travels inside the archive only

  // Another zip reader sees the same characters.
  const std::filesystem::path python = "/usr/bin/python3";
  if (std::filesystem::exists(python)) {
    const platform::HostRun listing = platform::runHostProgram(
        python.string(),
        {"-c", "import sys, zipfile\nfor n in zipfile.ZipFile(sys.argv[1]).namelist(): print(n)",
         platform::hostPath(std::string(kSaveFolder) + "Conf1us.kvz").string()});
    EXPECT_NE(listing.output.find("WINDOWS/TEMP/kelvaran/User/" + utf8Cafe + ".txt\n"), std::string::npos)
        << listing.output;
  }

  // The user-file map in the archive names the files as the list does.
  machine().remove("C:\\" + cafe + ".txt");
  ASSERT_EQ(platform::runAndWait("Unzip32.exe -qo \"C:\\SAVE\\Conf1us.kvz\" -d C:\\"), 0)
      << platform::lastProcessOutput();
  EXPECT_EQ(
      core::ReadIni("UserFilesSaved", "C:\\" + cafe + ".txt", "C:\\WINDOWS\\TEMP\\kelvaran\\User\\User.ini"),
      "C:\\WINDOWS\\TEMP\\kelvaran\\User\\" + cafe + ".txt");
  EXPECT_EQ(content("C:\\WINDOWS\\TEMP\\kelvaran\\User\\" + cafe + ".txt"), "user");
}

TEST_F(SaveEngine, LeftoversOfAnEarlierRunAreNeverPacked) {
  machine().write("C:\\WINDOWS\\TEMP\\kelvaran\\stale.ini", "old");
  machine().write("C:\\WINDOWS\\TEMP\\kelvaran\\User\\Old\\stale.txt", "old");
  saveBefore();
  EXPECT_EQ(savetest::ZipEntries(std::string(kSaveFolder) + "Conf1.kvz").size(), 2u);
  EXPECT_EQ(savetest::ZipEntries(std::string(kSaveFolder) + "Conf1us.kvz").size(), 3u);
}

TEST_F(SaveEngine, ARunThatFailsLeavesTheOldSlotWhole) {
  struct Case {
    const char* what;
    std::function<void(SaveEngine&)> arrange;
    std::vector<std::string> messages;  // shown, in order (contained)
  };
  const Case cases[] = {
      {"zip fails on the user files",
       [](SaveEngine& t) { t.failZipFor("Conf1us.kvz", 16); },
       {"Conf1us.kvz\rError while writing/reading"}},
      // zip finds nothing to do although files were staged for it.
      {"zip has nothing to do for the staged system files",
       [](SaveEngine& t) { t.failZipFor("Conf1.kvz", 12); },
       {"Conf1.kvz\rError while writing/reading"}},
      {"zip has nothing to do for the staged user files",
       [](SaveEngine& t) { t.failZipFor("Conf1us.kvz", 12); },
       {"Conf1us.kvz\rError while writing/reading"}},
      {"zip has nothing to do for a Start menu that holds files",
       [](SaveEngine& t) { t.failZipFor("Conf1s.kvz", 12); },
       {"Conf1s.kvz\rError while writing/reading"}},
      {"the disk fills up during the favorites",
       [](SaveEngine& t) { t.failZipFor("Conf1mb.kvz", 14); },
       {"Not enough free disk space!"}},
      {"zip.exe cannot be started",
       [](SaveEngine& t) { t.machine().remove(kProgram + "zip.exe"); },
       {"Conf1s.kvz\rFile not found"}},
      {"cancel at a missing user file",
       [](SaveEngine& t) { t.writeUserList({"C:\\My Documents\\Gone.doc"}); },
       {"The following file was not found and can't be saved:\rC:\\My Documents\\Gone.doc"}},
  };
  const auto before = saveBefore();
  const auto& st = core::state();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange(*this);
    machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nchanged=1\r\n");
    core::state().ConfigDates(1) = "01/01/2026";
    core::state().ConfigTimes(1) = "08:00:00";
    prepareSlot(1, "After");
    for (const std::string& text : c.messages) dialogs().expect(text).containing().answer(forms::vbCancel);
    SaveConfiguration();
    dialogs().verify();
    EXPECT_FALSE(st.SaveSucceeded);
    EXPECT_EQ(slotFiles(), before);
    EXPECT_EQ(st.ConfigDates(1), "01/01/2026");
    EXPECT_EQ(st.ConfigTimes(1), "08:00:00");
    EXPECT_FALSE(machine().exists("C:\\SAVE\\Conf1.new"));
    EXPECT_TRUE(windows::Form1().Command2.enabled());
    platform::clearFakePrograms();
    if (!machine().exists(kProgram + "zip.exe")) machine().write(kProgram + "zip.exe", "zip");
    writeUserList({"C:\\My Documents\\Brief.doc"});
  }
}

// A drive that runs out of room fails the save with the disk-full message
// and keeps the old configuration: real zip finds no room for an archive
// (the staged files fit, the user archive does not), or the disk fills up
// after the archives, while the description is written.
TEST_F(SaveEngine, AFullDiskFailsTheSaveWithItsMessage) {
  struct Case {
    const char* what;
    std::function<void(SaveEngine&)> arrange;
  };
  const Case cases[] = {
      {"no room for the user archive",
       [](SaveEngine& t) {
         t.machine().write("C:\\My Documents\\Big.bin", testsupport::incompressibleBytes(600000));
         t.writeUserList({"C:\\My Documents\\Brief.doc", "C:\\My Documents\\Big.bin"});
         t.machine().leaveFree('C', 900000);
       }},
      {"the disk fills up before the description",
       [](SaveEngine& t) {
         t.machine().leaveFree('C', 2000000);
         // The last archive run leaves the disk full, the working folder already gone.
         platform::FakeProgram fake;
         fake.action = [&t](const std::vector<std::string>& argv) {
           const int exitCode = platform::runZip({argv.begin() + 1, argv.end()}).exitCode;
           if (argv.back().find("Favorites") != std::string::npos) {
             t.machine().remove("C:\\WINDOWS\\TEMP\\kelvaran");
             t.machine().write("C:\\filler.bin", std::string(platform::freeBytes("C:\\"), 'f'));
           }
           return exitCode;
         };
         platform::installFakeProgram("zip.exe", fake);
       }},
  };
  const auto before = saveBefore();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.arrange(*this);
    prepareSlot(1, "After");
    dialogs()
        .expect("Not enough free disk space!")
        .style(forms::vbOKOnly + forms::vbCritical)
        .title("Message");
    SaveConfiguration();
    dialogs().verify();
    EXPECT_FALSE(core::state().SaveSucceeded);
    EXPECT_EQ(slotFiles(), before);
    EXPECT_FALSE(machine().exists("C:\\SAVE\\Conf1.new"));
    platform::clearFakePrograms();
    machine().setDrive('C', "Capacity", "");
    writeUserList({"C:\\My Documents\\Brief.doc"});
  }
}

TEST_F(SaveEngine, AnEmptyGroupIsRecordedAsNotSaved) {
  machine().remove("C:\\WINDOWS\\Favorites");
  machine().mkdirs("C:\\WINDOWS\\Favorites\\");
  saveBefore();
  EXPECT_FALSE(machine().exists("C:\\SAVE\\Conf1mb.kvz"));
  EXPECT_EQ(core::ReadIni("UserFilesSaved", "MSEFavorites", kProgram + "Config1.ini"), "0");
  EXPECT_EQ(core::ReadIni("UserFiles", "PathFavorites", kProgram + "Config1.ini"), "NONE");
  EXPECT_NE(content(kProgram + "Error.log").find("Conf1mb.kvz Save"), std::string::npos);
}

TEST_F(SaveEngine, FilesZipCouldNotReadAreNamedInAWarning) {
  failZipFor("Conf1s.kvz", 18);
  prepareSlot(1, "Before");
  dialogs().expect("Conf1s.kvz\rError while writing/reading").style(forms::vbOKOnly + forms::vbExclamation);
  dialogs().expect(kSaved);
  SaveConfiguration();
  EXPECT_TRUE(core::state().SaveSucceeded);
  EXPECT_NE(content(kProgram + "Error.log").find("Conf1s.kvz Save"), std::string::npos);
}

// Wininit.ini may name the working folder by its long or its 8.3 path; the
// restore may be one of this run, or of an earlier one whose restart was
// refused (the program started again, Windows not).
TEST_F(SaveEngine, ARestoreWaitingForTheRestartRefusesTheSave) {
  struct Case {
    std::string tempDir, source;
  } cases[] = {
      {"C:\\WINDOWS\\TEMP\\", "C:\\WINDOWS\\TEMP\\kelvaran\\system.dat"},
      {"C:\\WINDOWS\\Temporary Internet Stuff\\", "C:\\WINDOWS\\TEMPOR~1\\KELVARAN\\system.dat"},
  };
  for (const Case& c : cases) {
    for (const bool thisRun : {true, false}) {
      SCOPED_TRACE(c.tempDir + (thisRun ? " this run" : " an earlier run"));
      core::state().TempDir = c.tempDir;
      machine().write(c.tempDir + "kelvaran\\system.dat", "restored");
      machine().write("C:\\WINDOWS\\WININIT.INI", "[rename]\r\nC:\\WINDOWS\\system.dat=" + c.source + "\r\n");
      core::state().RestorePending = thisRun;
      prepareSlot(1, "Before");
      dialogs().expect("Your system will be restarted after the Restore Process.");
      SaveConfiguration();
      dialogs().verify();
      EXPECT_FALSE(core::state().SaveSucceeded);
      EXPECT_EQ(content(c.tempDir + "kelvaran\\system.dat"), "restored");
      EXPECT_TRUE(platform::processRuns().empty());
    }
  }
}

// A restore of this run that needs no restart (user files only), or whose
// renames are done, leaves nothing in the working folder to protect.
TEST_F(SaveEngine, ARestoreWithNothingAwaitingTheRestartAllowsTheSave) {
  const char* wininits[] = {
      nullptr,
      "[rename]\r\n",
      "[Rename]\r\nC:\\WINDOWS\\win.ini=C:\\Other\\win.ini\r\n",
      "[boot]\r\nC:\\WINDOWS\\system.dat=C:\\WINDOWS\\TEMP\\kelvaran\\system.dat\r\n",
  };
  for (const char* wininit : wininits) {
    SCOPED_TRACE(wininit ? wininit : "no WININIT.INI");
    if (wininit) machine().write("C:\\WINDOWS\\WININIT.INI", wininit);
    core::state().RestorePending = true;
    prepareSlot(1, "After");
    dialogs().expect(kSaved);
    SaveConfiguration();
    dialogs().verify();
    EXPECT_TRUE(core::state().SaveSucceeded);
  }
}

TEST_F(SaveEngine, AMissingSaveFolderIsCreatedOnOK) {
  core::state().SaveFolder = "C:\\Backups\\Kelvaran\\";
  prepareSlot(2, "Before");
  dialogs()
      .expect(
          "The specified folder does not exist:\rC:\\Backups\\Kelvaran\\\rShould Kelvaran create the "
          "specified folder?")
      .style(forms::vbOKCancel + forms::vbCritical)
      .title("Warning!")
      .answer(forms::vbOK);
  dialogs().expect(kSaved);
  SaveConfiguration();
  EXPECT_TRUE(machine().exists("C:\\Backups\\Kelvaran\\Conf2.kvz"));
  EXPECT_TRUE(machine().exists("C:\\Backups\\Kelvaran\\Config2.ini"));
  EXPECT_EQ(windows::Form1().Text2.text(), "C:\\Backups\\Kelvaran\\");
}

TEST_F(SaveEngine, AMissingSaveFolderRefusedFallsBackToTheProgramFolder) {
  for (int answer : {forms::vbCancel, forms::vbOK}) {
    SCOPED_TRACE(answer);
    core::state().SaveFolder = "C:\\Backups\\Kelvaran\\";
    prepareSlot(2, "Before");
    dialogs().expect("Should Kelvaran create the specified folder?").containing().answer(forms::vbCancel);
    dialogs()
        .expect("The specified folder does not exist:\rConfiguration will be saved at: \r" + kProgram + "\r ")
        .style(forms::vbOKCancel + forms::vbCritical + forms::vbDefaultButton2)
        .answer(answer);
    if (answer == forms::vbOK) dialogs().expect(kSaved);
    SaveConfiguration();
    dialogs().verify();
    EXPECT_EQ(core::state().SaveFolder, kProgram);
    EXPECT_EQ(windows::Form1().Text2.text(), "C:\\Program Files\\Kelvaran\\");
    EXPECT_FALSE(machine().exists("C:\\Backups"));
    EXPECT_EQ(core::state().SaveSucceeded, answer == forms::vbOK);
    EXPECT_EQ(machine().exists(kProgram + "Conf2.kvz"), answer == forms::vbOK);
  }
  // The description beside the archives is the program-folder copy itself, whole.
  EXPECT_EQ(core::ReadIni("Configuration", "ConfigName", kProgram + "Config2.ini"), "Before");
  EXPECT_EQ(core::ReadIni("SystemFiles", "SaveFolder", kProgram + "Config2.ini"), kProgram);
}

TEST_F(SaveEngine, ANetworkDestinationIsNamedOnceAndSavedTo) {
  core::state().SaveFolder = "N:\\Kelvaran\\";
  prepareSlot(3, "Before");
  dialogs()
      .expect(
          "You have chosen a destination directory on a network. This configuration can not be restored with "
          "the DOS Module of Kelvaran.")
      .style(forms::vbOKOnly)
      .title("");
  dialogs().expect(kSaved);
  SaveConfiguration();
  EXPECT_TRUE(core::state().SaveSucceeded);
  EXPECT_TRUE(machine().exists("N:\\Kelvaran\\Conf3.kvz"));
  EXPECT_EQ(content("N:\\Kelvaran\\Config3.ini"), content(kProgram + "Config3.ini"));
}

}  // namespace
}  // namespace save
