// End, the single-instance lock, timers, the message table and help.
#include "forms/app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <fstream>

#include "forms/help.h"
#include "forms/instance_lock.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "support/test_window.h"

namespace {

using formstest::TestWindow;

void unloadNow(forms::Form& form) {
  form.unload();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(EndDeathTest, EndsTheProcessAtOnceWithoutUnloadHandlers) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        TestWindow w;
        w.onQueryUnload = [](bool&, int) { std::fputs("QUERY RAN", stderr); };
        w.onUnload = [](bool&) { std::fputs("UNLOAD RAN", stderr); };
        w.show();
        std::fputs("before end", stderr);
        forms::end(3);
      },
      testing::ExitedWithCode(3),
      testing::AllOf(testing::HasSubstr("before end"), testing::Not(testing::HasSubstr("RAN"))));
}

// Runs `child` in a forked process and gives its exit code.
int inChild(const std::function<int()>& child) {
  pid_t pid = ::fork();
  if (pid == 0) ::_exit(child());
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SingleInstance, ASecondProcessSeesThePreviousInstanceUntilItEnds) {
  QTemporaryDir dir;
  forms::setInstanceLockFolder(dir.path().toStdString());
  EXPECT_FALSE(forms::prevInstance());
  EXPECT_FALSE(forms::prevInstance());  // the answer stays
  EXPECT_EQ(inChild([&] {
              forms::setInstanceLockFolder(dir.path().toStdString());
              return forms::prevInstance() ? 1 : 0;
            }),
            1);

  // The lock of a process that ended is free again.
  QTemporaryDir other;
  const std::filesystem::path lockFile = other.path().toStdString() + "/kelvaran.instance.lock";
  EXPECT_EQ(inChild([&] { return forms::InstanceLock(lockFile).held() ? 0 : 1; }), 0);
  EXPECT_TRUE(forms::InstanceLock(lockFile).held());
  forms::InstanceLock held(lockFile);
  EXPECT_TRUE(held.held());
  EXPECT_FALSE(forms::InstanceLock(lockFile).held());
  forms::setInstanceLockFolder(other.path().toStdString());
  EXPECT_TRUE(forms::prevInstance());
}

TEST(Timers, ATimerTicksWhileEnabledStopsWithItsWindowAndComesBackWithDesignerValues) {
  TestWindow w;
  int ticks = 0;
  w.Timer1.onTimer = [&] {
    if (++ticks == 3) w.Timer1.setEnabled(false);
  };
  EXPECT_FALSE(w.Timer1.enabled());
  EXPECT_EQ(w.Timer1.interval(), 20);
  w.Timer1.setEnabled(true);
  QElapsedTimer clock;
  clock.start();
  while (ticks < 3 && clock.elapsed() < 5000) forms::doEvents();
  EXPECT_EQ(ticks, 3);

  w.Timer1.onTimer = [&] { ++ticks; };
  w.Timer1.setInterval(1);
  w.Timer1.setEnabled(true);
  unloadNow(w);
  clock.restart();
  while (clock.elapsed() < 50) forms::doEvents();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(w.Timer1.enabled());
  EXPECT_EQ(w.Timer1.interval(), 20);
  unloadNow(w);
}

TEST(Timers, ATickHandlerMayUnloadItsOwnWindow) {
  TestWindow w;
  w.Timer1.onTimer = [&] { w.unload(); };
  w.Timer1.setEnabled(true);
  QElapsedTimer clock;
  clock.start();
  while (w.loaded() && clock.elapsed() < 5000) forms::doEvents();
  EXPECT_FALSE(w.loaded());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(MessageTable, ParsesIdsTabsAndEscapes) {
  auto table = forms::parseMessageTable(
      "# comment\n"
      "\n"
      "1010\tavailable\n"
      "1015\t \n"
      "1100\tLine one\\rLine two \\\\ \\t end\r\n");
  EXPECT_EQ(table.size(), 3u);
  EXPECT_EQ(table[1010], "available");
  EXPECT_EQ(table[1015], " ");
  EXPECT_EQ(table[1100], "Line one\rLine two \\ \t end");
  for (const char* bad :
       {"1010 no tab\n", "x\tbad id\n", "1\tbad \\q escape\n", "1\ta\n1\tb\n", "1\tend\\"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(forms::parseMessageTable(bad), platform::RuntimeError);
  }
}

TEST(MessageTable, LoadResStringReadsTheProgramsTableAndRaises326ForAnUnknownId) {
  forms::setMessageTableSource(KELVARAN_SOURCE_DIR "/resources/messages.txt");
  EXPECT_EQ(forms::loadResString(1010), "available");
  EXPECT_TRUE(forms::resStringExists(1005));
  EXPECT_FALSE(forms::resStringExists(999));
  try {
    forms::loadResString(999);
    ADD_FAILURE() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 326);
    EXPECT_STREQ(e.what(), "Resource with identifier not found");
  }
  forms::setMessageTableSource("");
}

TEST(Help, F1OpensTheTopicOfTheActiveWindowsHelpContext) {
  forms::initRuntime();
  TestWindow w;
  w.show();
  w.setHelpContextId(1070);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
  QCoreApplication::sendEvent(w.Text1.widget(), &press);
  EXPECT_EQ(forms::shownHelpTopic(), 1070);
  // The Help buttons send F1 and wait for it.
  w.setHelpContextId(2020);
  forms::sendKeys("{F1}");
  EXPECT_EQ(forms::shownHelpTopic(), 2020);
  // A context without a topic shows the contents.
  forms::showHelp(4242);
  EXPECT_EQ(forms::shownHelpTopic(), 0);
  EXPECT_EQ(forms::helpTopicTitle(1070), "Maintenance");
  forms::closeHelp();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_EQ(forms::shownHelpTopic(), -1);
  unloadNow(w);
}

TEST(Help, HelpFromAModalWindowIsUsableBesideItAndClosesWithEsc) {
  forms::initRuntime();
  TestWindow w;
  w.setHelpContextId(1070);
  QWidget* help = nullptr;
  // Qt tells a window that a modal window blocks it.
  struct BlockedWatch : QObject {
    bool blocked = false;
    bool eventFilter(QObject* watched, QEvent* event) override {
      if (event->type() == QEvent::WindowBlocked && watched->objectName() == "Sub") blocked = true;
      return false;
    }
  } watch;
  QCoreApplication::instance()->installEventFilter(&watch);
  QTimer::singleShot(0, [&] {
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(w.Text1.widget(), &f1);
    for (QWidget* top : QApplication::topLevelWidgets())
      if (top->objectName() == "Sub" && top->isVisible()) help = top;
    ASSERT_NE(help, nullptr);
    QCoreApplication::processEvents();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(help->focusWidget() ? help->focusWidget() : help, &esc);
    EXPECT_FALSE(help->isVisible()) << "Esc closes the help window";
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.visible()) << "the modal window stays";
    forms::showHelp(1070);  // open again: it stays once the modal window goes
    w.hide();
  });
  w.show(forms::Modal);
  QCoreApplication::instance()->removeEventFilter(&watch);
  EXPECT_FALSE(watch.blocked) << "the modal window blocks its help";
  QCoreApplication::processEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(forms::shownHelpTopic(), 1070);
  bool shown = false;
  for (QWidget* top : QApplication::topLevelWidgets())
    if (top->objectName() == "Sub" && top->isVisible()) shown = true;
  EXPECT_TRUE(shown) << "help stays open after the modal window closed";
  forms::closeHelp();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  unloadNow(w);
}

}  // namespace
