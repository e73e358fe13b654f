// A program start with the marker Smart.go: the whole start-up, then either
// the main window (SmartSave disabled) or the unattended run, which ends the
// program without ever showing the main window. Starts that end the program
// run in the child of a death test, which tells what it saw on stderr.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <cstdio>
#include <functional>

#include "core/startup.h"
#include "core/state.h"
#include "forms/scripted_dialogs.h"
#include "platform/files.h"
#include "save/smartsave_run.h"
#include "support/window_fixture.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/frmsmartsave.h"

namespace save {
namespace {

const std::string kProgram = std::string(uitest::kProgramFolder) + "\\";
const std::string kSmartGo = kProgram + "Smart.go";
const std::string kSmartSav = kProgram + "SmartSav\\";
const std::string kAfterRun =
    " 1 \r\n9/12/2026\r\n 1 \r\n1\r\n#1 :  9/Dec/2026\r\n#2 : Not Saved\r\n#3 : Not Saved\r\n#4 : Not "
    "Saved\r\n";

// Ends the (child) process with a code that tells which window came up first.
class FirstWindow : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      const QString name = watched->objectName();
      if (name == "Form1") ::_exit(kMainWindow);
      if (name == "FrmSmartSave" && endOnCountdown) ::_exit(kCountdown);
    }
    return false;
  }
  static constexpr int kMainWindow = 3;
  static constexpr int kCountdown = 10;
  bool endOnCountdown = true;
};

class SmartSaveStart : public uitest::UiTest {
 protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    UiTest::SetUp();
    setSmartSaveTimings(1, 0);
  }
  void TearDown() override {
    setSmartSaveTimings(1500, 3000);
    UiTest::TearDown();
  }

  void prepare(int interval) {
    machine.write(kProgram + "SmartSv.ini",
                  " " + std::to_string(interval) +
                      " \r\n1/12/2026\r\n 0 \r\n1\r\n#1 : Not Saved\r\n#2 : Not Saved\r\n"
                      "#3 : Not Saved\r\n#4 : Not Saved\r\n");
    machine.write(kSmartGo, "");
  }

  // The start as the runtime makes it: the splash shown, the event loop run
  // until the main window is shown or a while has passed.
  static void start() {
    windows::Form2().show();
    QElapsedTimer clock;
    clock.start();
    while (!(windows::Form1().loaded() && windows::Form1().visible()) && clock.elapsed() < 20000)
      forms::doEvents();
  }

  // In the child: a prompt nobody expected ends it with code 4.
  static void childStart(bool endOnCountdown, std::function<void()> atEnd = {}) {
    if (atEnd)
      core::setProgramEnd([atEnd] {
        atEnd();
        std::fflush(stderr);
        ::_exit(0);
      });
    forms::ScriptedDialogs::setFailureReporter([](const std::string&) { ::_exit(4); });
    static FirstWindow watcher;
    watcher.endOnCountdown = endOnCountdown;
    qApp->installEventFilter(&watcher);
    start();
    ::_exit(7);
  }
};

TEST_F(SmartSaveStart, DisabledShowsTheMainWindowAndKeepsTheMarker) {
  prepare(0);
  start();
  EXPECT_TRUE(windows::Form1().visible());
  EXPECT_FALSE(windows::FrmSmartSave().visible());
  EXPECT_FALSE(core::state().SmartSaveRunning);
  EXPECT_TRUE(machine.exists(kSmartGo));
  EXPECT_EQ(windows::Form1().Combo1.text(), "Disabled");
}

TEST_F(SmartSaveStart, EveryOtherIntervalShowsTheCountdownInsteadOfTheMainWindow) {
  for (int interval = 1; interval <= 4; ++interval) {
    SCOPED_TRACE(interval);
    prepare(interval);
    EXPECT_EXIT(childStart(true), testing::ExitedWithCode(FirstWindow::kCountdown), "");
  }
}

TEST_F(SmartSaveStart, TheUnattendedRunSavesIntoSmartSavAndEndsWithoutTheMainWindow) {
  prepare(1);
  // At the end of the exit procedure the child lists what the run left.
  auto report = [this] {
    for (const char* name : {"Config1.ini", "Config1.usr", "Conf1.kvz"})
      std::fprintf(stderr, "[%s %s]", name, machine.exists(kSmartSav + name) ? "saved" : "missing");
    std::fprintf(stderr, "[marker %s]", machine.exists(kSmartGo) ? "kept" : "gone");
    const std::string file = machine.read(kProgram + "SmartSv.ini");
    std::fprintf(stderr, "[file %s]", file == kAfterRun ? "as after a run" : file.c_str());
    const std::string settings = machine.read(kProgram + "kelvaran.ini");
    std::fprintf(stderr, "[settings %s]",
                 settings.find("SmartSav") == std::string::npos ? "the user's" : "SmartSav");
  };
  EXPECT_EXIT(childStart(false, report), testing::ExitedWithCode(0),
              "\\[Config1.ini saved\\]\\[Config1.usr saved\\]\\[Conf1.kvz saved\\]\\[marker gone\\]"
              "\\[file as after a run\\]\\[settings the user's\\]");
}

}  // namespace
}  // namespace save
