// The unattended SmartSave: countdown, the runs through the four slots, Skip
// and Cancel, and the runs that cannot save.
#include "save/smartsave_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTimer>

#include "core/inifile.h"
#include "platform/infozip.h"
#include "platform/process.h"
#include "platform/vb_datetime.h"
#include "save/boxes.h"
#include "smartsave_fixture.h"
#include "support/golden.h"
#include "windows/frmsmartsave.h"

namespace save {
namespace {

using smartsavetest::kProgram;
using smartsavetest::kSmartSav;
using testing::ElementsAre;
using windows::FrmSmartSave;

const std::vector<std::string> kDaily = {
    " 1 ", "1/12/2026", " 0 ", "1", "#1 : Not Saved", "#2 : Not Saved", "#3 : Not Saved", "#4 : Not Saved"};

class SmartSaveRun : public smartsavetest::SmartSaveTest {
 protected:
  void SetUp() override {
    SmartSaveTest::SetUp();
    machine().write("C:\\WINDOWS\\WIN.INI", "[windows]\r\nload=\r\n");
    Form1Box(2).setValue(1);  // Win.ini
    auto& st = core::state();
    st.ConfigNames(2) = "Mine";
    st.ConfigDates(2) = " 1/12/2026";
    st.ConfigTimes(2) = "10:00:00";
  }

  // One start of the program for a SmartSave on `day`.
  void startOn(const platform::DateTime& day) {
    platform::vb::setClock([day] { return day; });
    core::state().TodayDate =
        " " + std::to_string(day.day) + "/" + std::to_string(day.month) + "/" + std::to_string(day.year);
    putMarker();
    InitSmartSave();
  }

  // Zip fails (exit 16) for every run.
  static void failZip() {
    platform::FakeProgram fake;
    fake.exitCode = 16;
    platform::installFakeProgram("zip.exe", fake);
  }
};

TEST(SmartSaveDate, DayWithItsBlankMonthNameAndYear) {
  const std::pair<const char*, const char*> cases[] = {
      {" 9/12/2026", " 9/Dec/2026"},   {" 12/3/2026", " 12/Mar/2026"}, {" 1/1/2027", " 1/Jan/2027"},
      {" 30/10/2026", " 30/Oct/2026"}, {"no date", "no date"},
  };
  for (const auto& [today, text] : cases) EXPECT_EQ(SmartSaveDateText(today), text) << today;
}

TEST_F(SmartSaveRun, FiveStartsFillTheFourSlotsAndTheFifthOverwritesTheFirst) {
  writeSmartSv(kDaily);
  const platform::DateTime days[] = {
      {2026, 12, 9}, {2026, 12, 10}, {2026, 12, 11}, {2026, 12, 12}, {2027, 1, 1}};
  for (int run = 1; run <= 5; ++run) {
    SCOPED_TRACE(run);
    const int slot = (run - 1) % 4 + 1;
    startOn(days[run - 1]);
    EXPECT_TRUE(testsupport::matchesGolden(
        smartSv(), "src/save/tests/golden/smartsv_run" + std::to_string(run) + ".ini"));
    const std::string n = std::to_string(slot);
    EXPECT_EQ(savetest::ZipEntries(kSmartSav + "Conf" + n + ".kvz"),
              std::vector<std::string>{"WINDOWS/TEMP/kelvaran/win.ini"});
    EXPECT_NE(content(kSmartSav + "Config" + n + ".ini").find("SaveFolder=" + kSmartSav), std::string::npos);
    EXPECT_TRUE(machine().exists(kSmartSav + "Config" + n + ".usr"));
    EXPECT_FALSE(markerPresent());
    EXPECT_EQ(ends, run);
    EXPECT_FALSE(windows::Form1().visible());
  }
  // The main list's slots and the save folder are the user's as before.
  auto& st = core::state();
  EXPECT_EQ(st.SaveFolder, savetest::kSaveFolder);
  EXPECT_EQ(st.ConfigNames(2), "Mine");
  EXPECT_EQ(core::ReadIni("Settings", "LsDate2", kProgram + "kelvaran.ini"), "1/12/2026");
  EXPECT_EQ(core::ReadIni("SystemPathes", "SaveFolder", kProgram + "kelvaran.ini"), savetest::kSaveFolder);
  EXPECT_EQ(filesIn(savetest::kSaveFolder), std::vector<std::string>{});
}

TEST_F(SmartSaveRun, TheCountdownStartsWhenShownAfterAnEarlyHiddenTick) {
  auto& w = FrmSmartSave();
  w.load();
  w.Timer1.onTimer();  // hidden: the timer goes off for good
  EXPECT_FALSE(w.Timer1.enabled());

  writeSmartSv(kDaily);
  setSmartSaveTimings(60000, 0);  // the ticks below are the test's own
  std::vector<std::string> seen;
  QTimer::singleShot(0, [&] {
    seen.push_back(w.caption());
    seen.push_back(w.Timer1.enabled() ? "timer on" : "timer off");
    seen.push_back(w.Label2.caption());
    seen.push_back(w.Label3.caption());
    for (int tick = 1; tick <= 4; ++tick) {
      w.Timer1.onTimer();
      seen.push_back(w.Label3.caption());
    }
    seen.push_back(w.Command1.caption());
    save::setSmartSaveSleep([&](int) {
      seen.push_back(w.Label3.caption());
      seen.push_back(w.StatusBar1.simpleText());
    });
    w.Timer1.onTimer();  // the fifth tick saves
  });
  putMarker();
  InitSmartSave();

  EXPECT_THAT(seen,
              ElementsAre("Kelvaran 2.6", "timer on",
                          "SmartSave starts in 5 seconds. Press the 'Skip' button to pass over the save "
                          "process this time.",
                          "0", "SmartSave starts in  5 seconds", "SmartSave starts in  4 seconds",
                          "SmartSave starts in  3 seconds", "SmartSave starts in  2 seconds", "&Skip",
                          "Saving was successful", "SmartSave is shutting down..."));
  EXPECT_EQ(core::state().SmartSaveSlot, 1);
  EXPECT_EQ(ends, 1);
}

TEST_F(SmartSaveRun, ATickDuringTheSaveStartsNoSecondSave) {
  writeSmartSv(kDaily);
  int runs = 0;
  platform::FakeProgram fake;
  fake.action = [&](const std::vector<std::string>& argv) {
    ++runs;
    EXPECT_FALSE(FrmSmartSave().Timer1.enabled());
    EXPECT_EQ(FrmSmartSave().Command1.caption(), "&Cancel");
    FrmSmartSave().Timer1.onTimer();  // a late tick
    return platform::runZip({argv.begin() + 1, argv.end()}).exitCode;
  };
  platform::installFakeProgram("zip.exe", fake);
  startOn({2026, 12, 9});
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(testsupport::matchesGolden(smartSv(), "src/save/tests/golden/smartsv_run1.ini"));
  EXPECT_EQ(ends, 1);
}

TEST_F(SmartSaveRun, AFailedSaveKeepsTheScheduleAndTheOldSlotButEndsAndDropsTheMarker) {
  writeSmartSv(kDaily);
  machine().write(kSmartSav + "Config1.ini", "old");
  machine().write(kSmartSav + "Conf1.kvz", "old archive");
  failZip();
  dialogs().expect("Conf1.kvz").containing();  // the engine tells of the failed run
  startOn({2026, 12, 9});

  EXPECT_EQ(smartSv(), smartsavetest::crlfLines(kDaily));
  EXPECT_EQ(core::state().SmartSaveSlot, 0);
  EXPECT_EQ(rows(), std::vector<std::string>(kDaily.begin() + 4, kDaily.end()));
  EXPECT_EQ(content(kSmartSav + "Config1.ini"), "old");
  EXPECT_EQ(content(kSmartSav + "Conf1.kvz"), "old archive");
  EXPECT_EQ(core::state().SaveFolder, savetest::kSaveFolder);
  EXPECT_TRUE(pauses.empty());  // no "Saving was successful"
  EXPECT_FALSE(markerPresent());
  EXPECT_EQ(ends, 1);
  const std::string log = content(kProgram + "Error.log");
  EXPECT_NE(log.find("12-09-2026Config1.ini SmartSave\r\n"), std::string::npos) << log;
}

TEST_F(SmartSaveRun, ASmartSavFolderThatCannotBeMadeEndsKeepingTheMarker) {
  writeSmartSv(kDaily);
  machine().write(kProgram + "SmartSav", "a file in the way");
  dialogs()
      .expect("Can not create folder\r" + kSmartSav)
      .style(forms::vbOKOnly + forms::vbCritical)
      .title("Message");
  startOn({2026, 12, 9});

  EXPECT_TRUE(markerPresent());
  EXPECT_EQ(smartSv(), smartsavetest::crlfLines(kDaily));
  EXPECT_EQ(core::state().SaveFolder, savetest::kSaveFolder);
  EXPECT_EQ(ends, 1);
  EXPECT_NE(content(kProgram + "Error.log").find("SmartSav SmartSave"), std::string::npos);
}

// Skip and Cancel end the program at once: the child of a death test does
// it, and this process looks at the machine they share afterwards.
class SmartSaveRunDeathTest : public SmartSaveRun {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "fast");
    SmartSaveRun::SetUp();
  }
};

TEST_F(SmartSaveRunDeathTest, SkipDropsTheMarkerAndEndsWithoutSaving) {
  writeSmartSv(kDaily);
  setSmartSaveTimings(60000, 0);
  EXPECT_EXIT(
      {
        QTimer::singleShot(0, [] { FrmSmartSave().Command1.click(); });
        startOn({2026, 12, 9});
        ::_exit(5);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(markerPresent());
  EXPECT_EQ(smartSv(), smartsavetest::crlfLines(kDaily));
  EXPECT_FALSE(machine().exists(kSmartSav));
  EXPECT_FALSE(machine().exists(kProgram + "kelvaran.ini"));  // no exit procedure ran
}

TEST_F(SmartSaveRunDeathTest, CancelDuringTheSaveEndsAtOnceLeavingTheOldSlotWhole) {
  writeSmartSv(kDaily);
  machine().write(kSmartSav + "Config1.ini", "old");
  platform::FakeProgram fake;
  fake.action = [](const std::vector<std::string>&) {
    FrmSmartSave().Command1.click();
    return 0;
  };
  platform::installFakeProgram("zip.exe", fake);
  EXPECT_EXIT(
      {
        startOn({2026, 12, 9});
        ::_exit(5);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(markerPresent());
  EXPECT_EQ(smartSv(), smartsavetest::crlfLines(kDaily));
  EXPECT_EQ(content(kSmartSav + "Config1.ini"), "old");
}

}  // namespace
}  // namespace save
