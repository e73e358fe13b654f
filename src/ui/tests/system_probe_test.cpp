// The system-file probe of the start-up: boxes, log lines, settings and the splash bar.
#include "ui/system_probe.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>

#include "core/inifile.h"
#include "core/state.h"
#include "platform/files.h"
#include "support/window_fixture.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/restorereq.h"

namespace {

// The sixteen system files of the probe, with the boxes named in each window.
struct SystemFile {
  const char* path;
  int attributes;  // as on a usual machine
  const char* saveBox;
  const char* restoreBox;
  const char* logText;      // the info of the log line when it is missing
  const char* settingsKey;  // its tick in [SystemFiles] of the settings file
};

const SystemFile kFiles[] = {
    {"C:\\AUTOEXEC.BAT", 0, "Check8", "Check1", "searching for  Autoexec.bat search file", "Autoexec.bat"},
    {"C:\\AUTOEXEC.DOS", 0, "Check13", "Check12", "searching for  Autoexec.dos search file", "Autoexec.dos"},
    {"C:\\CONFIG.SYS", 0, "Check9", "Check2", "searching for  Config.sys search file", "Config.sys"},
    {"C:\\CONFIG.DOS", 0, "Check14", "Check13", "searching for  Config.dos search file", "Config.dos"},
    {"C:\\WINDOWS\\CONTROL.INI", 0, "Check4", "Check3", "searching for  Control.ini search file",
     "Control.ini"},
    {"C:\\MSDOS.SYS", platform::kHidden | platform::kSystem | platform::kReadOnly, "Check10", "Check4",
     "searching for  Msdos.sys search file", "MsDos.sys"},
    {"C:\\WINDOWS\\PROTOCOL.INI", 0, "Check5", "Check5", "searching for  Protocol.ini search file",
     "Protocol.ini"},
    {"C:\\WINDOWS\\SYSTEM.DAT", platform::kHidden, "Check7", "Check6",
     "searching for  System.dat search file", "System.dat"},
    {"C:\\WINDOWS\\CLASSES.DAT", platform::kHidden, "Check11", "Check25",
     "searching for  System.dat search file", "Classes.dat"},
    {"C:\\WINDOWS\\SYSTEM.INI", 0, "Check3", "Check7", "searching for  System.ini search file", "System.ini"},
    {"C:\\WINDOWS\\USER.DAT", platform::kHidden, "Check6", "Check8", "searching for  User.dat search file",
     "User.dat"},
    {"C:\\WINDOWS\\WIN.INI", 0, "Check2", "Check9", "searching for  Win.ini search file", "Win.ini"},
    {"C:\\DBLSPACE.INI", 0, "Check15", "Check14", "searching for  dblspace.ini search file", "DblSpace.ini"},
    {"C:\\DRVSPACE.INI", 0, "Check16", "Check15", "searching for  drvspace.ini search file", "DrvSpace.ini"},
    {"C:\\DRVSPACE.BIN", platform::kHidden | platform::kSystem, "Check17", "Check16",
     "searching for  drvspace.bin search file", "DrvSpace.bin"},
    {"C:\\DBLSPACE.BIN", platform::kHidden | platform::kSystem, "Check12", "Check24",
     "searching for  dblspace.bin search file", "DblSpace.bin"},
};

void PrintTo(const SystemFile& file, std::ostream* out) { *out << file.path; }

QCheckBox* box(forms::Form& form, const char* name) {
  auto* found = form.widget()->findChild<QCheckBox*>(name);
  EXPECT_NE(found, nullptr) << name;
  return found;
}

class SystemProbe : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    for (const SystemFile& file : kFiles) {
      if (!machine.exists(file.path)) machine.write(file.path, "x");
      machine.setAttributes(file.path, file.attributes);
    }
    core::State& st = core::state();
    st.SystemPath = "C:\\WINDOWS";
    st.machine.SystemPath = "C:\\WINDOWS";
    for (int slot = 1; slot <= 5; ++slot) st.ConfigNames(slot) = "available";
    loadSplashQuietly();
    loadBare(windows::Form1());
    loadBare(windows::RestoreReq());
    windows::Form2().ProgressBar1.setValue(50);
    // Every box ticked and disabled, so that the probe's changes show.
    for (const SystemFile& file : kFiles) {
      box(windows::Form1(), file.saveBox)->setChecked(true);
      box(windows::Form1(), file.saveBox)->setEnabled(false);
      box(windows::RestoreReq(), file.restoreBox)->setEnabled(false);
    }
  }

  // Only the lines the probe wrote: the log's texts after the date.
  std::vector<std::string> loggedInfos() const {
    std::vector<std::string> infos;
    for (const std::string& line : errorLogLines()) {
      std::size_t date = line.find("12-09-2026");
      infos.push_back(date == std::string::npos ? line : line.substr(date + 10));
    }
    return infos;
  }
};

TEST_F(SystemProbe, AllFilesPresentEnablesEveryBoxKeepsTicksAndSavesTheSettings) {
  const std::vector<int>& bar = recordSplashBar();
  ui::CheckSystemf();
  for (const SystemFile& file : kFiles) {
    EXPECT_TRUE(box(windows::Form1(), file.saveBox)->isEnabled()) << file.path;
    EXPECT_TRUE(box(windows::Form1(), file.saveBox)->isChecked()) << file.path;
    EXPECT_TRUE(box(windows::RestoreReq(), file.restoreBox)->isEnabled()) << file.path;
  }
  EXPECT_THAT(loggedInfos(), testing::IsEmpty());
  EXPECT_THAT(bar, testing::ElementsAre(55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 60));
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_EQ(
      core::ReadIni("SystemFiles", "Autoexec.bat", std::string(uitest::kProgramFolder) + "\\kelvaran.ini"),
      "1");
}

class OneFileMissing : public SystemProbe, public testing::WithParamInterface<SystemFile> {};

TEST_P(OneFileMissing, UnticksAndDisablesItsBoxesLogsItAndStoresTheTick) {
  const SystemFile& missing = GetParam();
  machine.remove(missing.path);
  ui::CheckSystemf();
  for (const SystemFile& file : kFiles) {
    const bool present = std::string(file.path) != missing.path;
    SCOPED_TRACE(file.path);
    EXPECT_EQ(box(windows::Form1(), file.saveBox)->isEnabled(), present);
    EXPECT_EQ(box(windows::Form1(), file.saveBox)->isChecked(), present);
    EXPECT_EQ(box(windows::RestoreReq(), file.restoreBox)->isEnabled(), present);
  }
  EXPECT_THAT(loggedInfos(), testing::ElementsAre(missing.logText));
  EXPECT_EQ(windows::Form2().ProgressBar1.value(), 60);
  EXPECT_EQ(core::ReadIni("SystemFiles", missing.settingsKey,
                          std::string(uitest::kProgramFolder) + "\\kelvaran.ini"),
            "0");
}

INSTANTIATE_TEST_SUITE_P(EachFile, OneFileMissing, testing::ValuesIn(kFiles), [](const auto& info) {
  std::string name = info.param.path;
  name = name.substr(name.rfind('\\') + 1);
  std::erase(name, '.');
  return name;
});

TEST_F(SystemProbe, AHiddenFileCountsOnlyWhereHiddenAndSystemFilesAreAsked) {
  machine.setAttributes("C:\\AUTOEXEC.BAT", platform::kHidden);  // asked as a normal file
  machine.setAttributes("C:\\MSDOS.SYS", platform::kHidden | platform::kSystem);
  machine.setAttributes("C:\\WINDOWS\\WIN.INI", platform::kReadOnly | platform::kArchive);
  ui::CheckSystemf();
  EXPECT_FALSE(box(windows::Form1(), "Check8")->isEnabled());
  EXPECT_TRUE(box(windows::Form1(), "Check10")->isEnabled());
  EXPECT_TRUE(box(windows::Form1(), "Check2")->isEnabled());
  EXPECT_THAT(loggedInfos(), testing::ElementsAre("searching for  Autoexec.bat search file"));
}

TEST_F(SystemProbe, AFailingFileTestIsLoggedAndCountsAsMissing) {
  // The Windows folder on a drive without a medium: each of its tests fails.
  core::state().SystemPath = "A:\\WINDOWS";
  core::state().machine.SystemPath = "A:\\WINDOWS";
  machine.eject('A');
  ui::CheckSystemf();
  const std::vector<std::string> infos = loggedInfos();
  EXPECT_THAT(infos, testing::Contains("searching for  Control.ini"
                                       "StartLogon"));
  EXPECT_THAT(infos, testing::Contains("searching for  Control.ini search file"));
  EXPECT_FALSE(box(windows::Form1(), "Check4")->isEnabled());
  EXPECT_TRUE(box(windows::Form1(), "Check8")->isEnabled());  // C:\ files still found
  EXPECT_EQ(infos.size(), 14u);                               // seven Windows-folder files, two lines each
  EXPECT_EQ(windows::Form2().ProgressBar1.value(), 60);
}

}  // namespace
