// The start-up as the user sees it: splash, driver, main window; a second instance; a missing zip.exe.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QProgressBar>
#include <cstdio>

#include "core/state.h"
#include "forms/app.h"
#include "forms/instance_lock.h"
#include "support/window_fixture.h"
#include "ui/form2.h"
#include "windows/form1.h"
#include "windows/form2.h"

namespace {

using windows::Form1;
using windows::Form2;

class StartUp : public uitest::UiTest {
 protected:
  // Shows the splash as the program does and lets the event loop run until
  // the main window is shown (or a few seconds have passed).
  void start() {
    Form2().show();
    QElapsedTimer clock;
    clock.start();
    while (!(Form1().loaded() && Form1().visible()) && clock.elapsed() < 10000) forms::doEvents();
  }

  std::vector<std::string> loadedWindows() {
    std::vector<std::string> names;
    for (forms::Form* form : forms::loadedForms()) names.push_back(form->name());
    return names;
  }
};

TEST_F(StartUp, SplashTextsAndDateBeforeTheFirstTick) {
  Form2().load();
  Form2().Timer1.setEnabled(false);
  EXPECT_EQ(Form2().caption(), "Starting Kelvaran 2.6 ...");
  EXPECT_EQ(Form2().StatusBar1.simpleText(), "Checking System Settings and Configuration...");
  EXPECT_EQ(Form2().ProgressBar1.value(), 10);
  EXPECT_EQ(core::state().TodayDate, " 9/12/2026");
  EXPECT_EQ(core::state().UserFilesIniPath, "C:\\Program Files\\Kelvaran\\UserFiles.ini");
}

TEST(TodayDate, DayWithItsSignBlankMonthAndYear) {
  EXPECT_EQ(ui::todayDateText({2026, 12, 9}), " 9/12/2026");
  EXPECT_EQ(ui::todayDateText({2027, 3, 25}), " 25/3/2027");
  EXPECT_EQ(ui::todayDateText({2027, 1, 1}), " 1/1/2027");
}

TEST_F(StartUp, NormalMachineEndsOnTheSavePageOfTheShownMainWindow) {
  Form2().load();  // the runtime creates the splash; its timer starts with it
  const std::vector<int>& bar = recordSplashBar();
  int smartSaveSteps = 0;
  ui::setInitSmartSaveStep([&] {
    ++smartSaveSteps;
    EXPECT_FALSE(Form2().loaded());
    EXPECT_FALSE(Form1().visible());
  });
  start();
  ui::setInitSmartSaveStep(nullptr);

  ASSERT_TRUE(Form1().visible());
  EXPECT_EQ(smartSaveSteps, 1);
  EXPECT_THAT(bar, testing::ElementsAre(30, 50, 55, 60, 65, 70, 75, 80, 85, 90, 95, 100, 60));
  EXPECT_FALSE(Form2().loaded());
  EXPECT_EQ(Form1().SSTab2.tab(), 0);
  EXPECT_TRUE(Form1().frmSave.visible());
  EXPECT_EQ(Form1().StatusBar1.simpleText(), "Select a configuration number and enter a description");
  EXPECT_EQ(Form1().helpContextId(), 1010);
  EXPECT_EQ(Form1().caption(), "Kelvaran 2.6");
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_EQ(forms::appHelpFile(), "kelvaran.HLP>Sub");
  EXPECT_THAT(loadedWindows(),
              testing::ElementsAre("Form1", "RestoreReq", "Wizzard", "SelWiz", "FrmSmartSave", "UserFiles"));
  for (forms::Form* form : forms::loadedForms()) {
    if (form != &Form1()) {
      EXPECT_FALSE(form->visible()) << form->name();
    }
  }
}

TEST_F(StartUp, TheDriverRunsOnceEvenWhenATickComesDuringItsMessageBoxes) {
  int steps = 0;
  ui::setInitSmartSaveStep([&] { ++steps; });
  Form2().load();
  Form2().Timer1.setEnabled(false);
  ui::startUp();
  ui::startUp();  // a late tick
  ui::setInitSmartSaveStep(nullptr);
  EXPECT_EQ(steps, 1);
  EXPECT_TRUE(Form1().visible());
}

// The program ends during the start-up: the child prints what it saw on
// stderr, where the death test's matcher reads it.
class StartUpDeathTest : public StartUp {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    StartUp::SetUp();
  }
  void startAndReport() {
    Form2().load();
    auto* bar = qobject_cast<QProgressBar*>(Form2().ProgressBar1.widget());
    QObject::connect(bar, &QProgressBar::valueChanged, bar,
                     [](int value) { std::fprintf(stderr, "[bar %d]", value); });
    start();
    std::fprintf(stderr, "[main window %s]", Form1().visible() ? "shown" : "not shown");
    std::fflush(stderr);
    ::_exit(99);
  }
  static std::function<void()> say(const char* what) {
    return [what] { std::fprintf(stderr, "[%s]", what); };
  }
};

TEST_F(StartUpDeathTest, ASecondInstanceIsToldAndEndsBeforeAnythingElse) {
  EXPECT_EXIT(
      {
        forms::InstanceLock first(lockFolder.path().toStdString() + "/kelvaran.instance.lock");
        dialogs()
            .expect("Kelvaran is already running.")
            .style(forms::vbOKOnly)
            .title("")
            .then(say("asked 1263"));
        startAndReport();
      },
      testing::ExitedWithCode(0),
      testing::AllOf(testing::HasSubstr("[asked 1263]"), testing::Not(testing::HasSubstr("[bar 30]")),
                     testing::Not(testing::HasSubstr("[main window"))));
}

TEST_F(StartUpDeathTest, MissingZipEndsAfterItsMessageBeforeAnyFileIsProbed) {
  machine.remove("C:\\Program Files\\Kelvaran\\zip.exe");
  EXPECT_EXIT(
      {
        dialogs()
            .expect("Program Components are missing!\rPlease reinstall Kelvaran 2.6!")
            .style(forms::vbCritical)
            .title("Warning!")
            .then(say("asked 1028"));
        startAndReport();
      },
      testing::ExitedWithCode(0),
      testing::AllOf(testing::HasSubstr("[bar 30][asked 1028]"), testing::Not(testing::HasSubstr("[bar 55]")),
                     testing::Not(testing::HasSubstr("[main window"))));
}

}  // namespace
