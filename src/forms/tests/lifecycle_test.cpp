// Windows load on first touch, unload to a fresh designer copy, show modally
// and close by the title bar.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "forms/app.h"
#include "platform/error.h"
#include "support/test_window.h"

namespace {

using formstest::TestWindow;

class Lifecycle : public ::testing::Test {
 protected:
  void TearDown() override {
    for (TestWindow* w : {&a, &b}) {
      w->onQueryUnload = nullptr;
      w->onUnload = nullptr;
      w->unload();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  TestWindow a{"WindowA"};
  TestWindow b{"WindowB"};
};

TEST_F(Lifecycle, TouchingAControlLoadsTheWindowHiddenOnceAndRunsItsLoadHandler) {
  int loads = 0;
  a.onLoad = [&] {
    ++loads;
    // Controls are bound before the load handler runs.
    EXPECT_EQ(a.Text1.text(), "designer");
  };
  EXPECT_FALSE(a.loaded());
  EXPECT_EQ(a.Check1.value(), 1);
  EXPECT_TRUE(a.loaded());
  EXPECT_FALSE(a.visible());
  a.load();
  a.Text1.setText("x");
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(a.setupCount, 1);
  EXPECT_EQ(a.caption(), "Designer caption");
}

TEST_F(Lifecycle, AfterUnloadTheNextTouchGivesAFreshCopyWithDesignerValuesAndTheSameHandlers) {
  int clicks = 0;
  a.Check1.onClick = [&] { ++clicks; };
  a.Check1.setValue(0);
  a.Text1.setText("changed");
  a.setHelpContextId(1070);
  a.unload();
  EXPECT_FALSE(a.loaded());

  EXPECT_EQ(a.Text1.text(), "designer");
  EXPECT_EQ(a.Check1.value(), 1);
  EXPECT_EQ(a.helpContextId(), 0);
  EXPECT_EQ(a.setupCount, 2);
  a.Check1.setValue(0);
  EXPECT_EQ(clicks, 2);
}

TEST_F(Lifecycle, UnloadDeletesTheWidgetsOnlyWhenTheEventLoopGetsControlBack) {
  QPointer<QWidget> window = a.widget();
  QPointer<QWidget> button = a.Command1.widget();
  a.Command1.onClick = [&] {
    a.unload();
    // Still running on the button: nothing is deleted yet.
    EXPECT_TRUE(button);
  };
  a.Command1.click();
  EXPECT_TRUE(window);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(window);
  EXPECT_FALSE(button);
}

TEST_F(Lifecycle, LoadedFormsListsWindowsInLoadOrder) {
  b.load();
  a.load();
  EXPECT_EQ(forms::loadedForms(), (std::vector<forms::Form*>{&b, &a}));
  b.unload();
  EXPECT_EQ(forms::loadedForms(), (std::vector<forms::Form*>{&a}));
  b.load();
  EXPECT_EQ(forms::loadedForms(), (std::vector<forms::Form*>{&a, &b}));
}

TEST_F(Lifecycle, UnloadRunsQueryUnloadThenUnloadAndEitherMayCancel) {
  std::vector<std::string> calls;
  bool cancelQuery = true, cancelUnload = false;
  a.onQueryUnload = [&](bool& cancel, int mode) {
    calls.push_back("query " + std::to_string(mode));
    cancel = cancelQuery;
  };
  a.onUnload = [&](bool& cancel) {
    calls.push_back("unload");
    cancel = cancelUnload;
  };
  a.load();
  a.unload();
  EXPECT_TRUE(a.loaded());
  cancelQuery = false;
  cancelUnload = true;
  a.unload();
  EXPECT_TRUE(a.loaded());
  cancelUnload = false;
  a.unload();
  EXPECT_FALSE(a.loaded());
  a.load();
  a.unloadForShutdown();
  EXPECT_FALSE(a.loaded());
  EXPECT_EQ(calls, (std::vector<std::string>{"query 1", "query 1", "unload", "query 1", "unload", "query 2",
                                             "unload"}));
}

TEST_F(Lifecycle, ClosingByTheTitleBarAsksWithMode0AndUnloadsUnlessCancelled) {
  int mode = -1;
  bool refuse = true;
  a.onQueryUnload = [&](bool& cancel, int m) {
    mode = m;
    cancel = refuse;
  };
  a.show();
  EXPECT_FALSE(a.widget()->close());
  EXPECT_EQ(mode, 0);
  EXPECT_TRUE(a.loaded());
  EXPECT_TRUE(a.visible());
  refuse = false;
  a.widget()->close();
  EXPECT_FALSE(a.loaded());
}

TEST_F(Lifecycle, ModalShowReturnsWhenItsOwnHandlerHidesTheWindow) {
  a.Command1.onClick = [&] { a.hide(); };
  bool ranAfter = false;
  QTimer::singleShot(0, [&] { a.Command1.click(); });
  a.show(forms::Modal);
  ranAfter = true;
  EXPECT_TRUE(ranAfter);
  EXPECT_TRUE(a.loaded());
  EXPECT_FALSE(a.visible());
}

TEST_F(Lifecycle, ModalShowReturnsWhenTheWindowIsUnloadedAndWorkRunsMeanwhile) {
  // The handler that unloads the window is started from another window.
  std::vector<std::string> steps;
  b.Command1.onClick = [&] {
    steps.push_back("work while modal");
    a.unload();
  };
  QTimer::singleShot(0, [&] { b.Command1.click(); });
  a.show(forms::Modal);
  steps.push_back("returned");
  EXPECT_EQ(steps, (std::vector<std::string>{"work while modal", "returned"}));
  EXPECT_FALSE(a.loaded());
}

TEST_F(Lifecycle, ShowingAShownWindowModallyRaises400) {
  a.show();
  try {
    a.show(forms::Modal);
    ADD_FAILURE() << "no error";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), 400);
  }
}

TEST_F(Lifecycle, ActivateRunsWhenAWindowBecomesTheActiveOneNotAgainForTheSameWindow) {
  std::vector<std::string> order;
  a.onLoad = [&] { order.push_back("a load"); };
  a.onActivate = [&] { order.push_back("a activate"); };
  b.onActivate = [&] { order.push_back("b activate"); };
  a.show();
  forms::doEvents();
  a.show();
  b.show();
  EXPECT_EQ(forms::activeForm(), &b);
  EXPECT_EQ(order, (std::vector<std::string>{"a load", "a activate", "b activate"}));
}

// A window whose Activate handler unloads it and then waits in another
// modal window (which lets the unloaded window's widgets be deleted): the
// showing ends quietly, also a modal one, and the window can be shown afresh.
TEST_F(Lifecycle, AnActivateHandlerMayUnloadItsOwnWindow) {
  for (const forms::ShowMode mode : {forms::Modal, forms::Modeless}) {
    SCOPED_TRACE(mode == forms::Modal ? "modal" : "modeless");
    int activations = 0;
    a.onActivate = [&] {
      ++activations;
      a.unload();
      QTimer::singleShot(0, [&] { b.hide(); });
      b.show(forms::Modal);
    };
    a.show(mode);
    forms::doEvents();
    EXPECT_EQ(activations, 1);
    EXPECT_FALSE(a.loaded());
    EXPECT_NE(forms::activeForm(), &a);

    a.onActivate = [&] { ++activations; };
    a.show();
    EXPECT_EQ(activations, 2);
    EXPECT_TRUE(a.visible());
    a.unload();
  }
}

// A handler of a window's own event that unloads the window and then waits
// in another modal window (a nested event loop, which deletes what waits for
// deletion): the runtime and Qt code still running on the window once the
// handler returns find it alive, and the window can be shown afresh.
TEST_F(Lifecycle, AnyHandlerMayUnloadItsOwnWindowAndThenWaitInAnother) {
  int handled = 0;
  const std::function<void()> unloadAndWait = [&] {
    ++handled;
    a.unload();
    QTimer::singleShot(0, [&] { b.hide(); });
    b.show(forms::Modal);
  };
  const auto wait = [&] {
    for (int i = 0; i < 200 && handled == 0; ++i) {
      forms::doEvents();
      QThread::msleep(5);
    }
  };
  struct Case {
    const char* event;
    std::function<void()> arm;
    std::function<void()> raise;
  };
  const Case cases[] = {
      {"Load", [&] { a.onLoad = unloadAndWait; }, [&] { a.show(); }},
      {"Resize before the first showing", [&] { a.onResize = unloadAndWait; }, [&] { a.show(); }},
      {"Resize before a modal showing", [&] { a.onResize = unloadAndWait; }, [&] { a.show(forms::Modal); }},
      {"Resize by code",
       [&] {
         a.show();
         a.onResize = unloadAndWait;
       },
       [&] { a.resize(a.width() + 40, a.height() + 30); }},
      {"Click of its button",
       [&] {
         a.show();
         a.Command1.onClick = unloadAndWait;
       },
       [&] { a.Command1.click(); }},
      {"KeyDown in its text box",
       [&] {
         a.show();
         a.Text1.onKeyDown = [&](int&, int) { unloadAndWait(); };
       },
       [&] {
         QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
         QApplication::sendEvent(a.Text1.widget(), &press);
       }},
      {"Click of its check box", [&] { a.Check1.onClick = unloadAndWait; }, [&] { a.Check1.setValue(0); }},
      {"Click of its option button", [&] { a.Option2.onClick = unloadAndWait; },
       [&] { a.Option2.setValue(true); }},
      {"Change of its text box", [&] { a.Text1.onChange = unloadAndWait; }, [&] { a.Text1.setText("x"); }},
      {"Click of its list", [&] { a.List1.onClick = unloadAndWait; }, [&] { a.List1.setListIndex(1); }},
      {"Click of its multi-select list", [&] { a.List2.onClick = unloadAndWait; },
       [&] { a.List2.setSelected(0, true); }},
      {"Click of its combo box", [&] { a.Combo1.onClick = unloadAndWait; },
       [&] { a.Combo1.setListIndex(1); }},
      {"Change of its slider", [&] { a.Slider1.onChange = unloadAndWait; }, [&] { a.Slider1.setValue(7); }},
      {"Click of its tabs", [&] { a.SSTab1.onClick = [&](int) { unloadAndWait(); }; },
       [&] { a.SSTab1.setTab(1); }},
      {"Timer",
       [&] {
         a.Timer1.onTimer = unloadAndWait;
         a.Timer1.setEnabled(true);
       },
       wait},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.event);
    handled = 0;
    c.arm();
    c.raise();
    forms::doEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(a.loaded());

    a.onLoad = nullptr;
    a.onResize = nullptr;
    a.Command1.onClick = nullptr;
    a.Text1.onKeyDown = nullptr;
    a.Timer1.onTimer = nullptr;
    a.Check1.onClick = a.Option2.onClick = a.Text1.onChange = a.List1.onClick = a.List2.onClick =
        a.Combo1.onClick = a.Slider1.onChange = nullptr;
    a.SSTab1.onClick = nullptr;
    a.show();
    EXPECT_TRUE(a.visible());
    a.unload();
  }
}

TEST_F(Lifecycle, CentreUsesHalfTheScreenMinusHalfTheWindow) {
  a.resize(301, 201);
  a.centre();
  EXPECT_EQ(a.left(), forms::screenWidth() / 2 - 301 / 2);
  EXPECT_EQ(a.top(), forms::screenHeight() / 2 - 201 / 2);
}

TEST_F(Lifecycle, WindowStateAndMousePointer) {
  a.setWindowState(forms::WindowState::Minimized);
  EXPECT_EQ(a.windowState(), forms::WindowState::Minimized);
  a.setWindowState(forms::WindowState::Normal);
  EXPECT_EQ(a.windowState(), forms::WindowState::Normal);
  a.setMousePointer(11);
  EXPECT_EQ(a.widget()->cursor().shape(), Qt::WaitCursor);
  a.setMousePointer(0);
  EXPECT_EQ(a.mousePointer(), 0);
  forms::setMousePointer(11);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  forms::setMousePointer(0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Lifecycle, ResizeRunsBeforeTheFirstShowingAndOnEveryNewSizeWithThatSize) {
  std::vector<std::pair<int, int>> sizes;
  a.onResize = [&] { sizes.emplace_back(a.width(), a.height()); };
  a.resize(800, 700);
  EXPECT_TRUE(sizes.empty());  // hidden: told when it is shown
  a.show();
  ASSERT_EQ(sizes.size(), 1u);
  EXPECT_EQ(sizes.back(), std::make_pair(800, 700));
  a.resize(820, 760);
  EXPECT_EQ(sizes.back(), std::make_pair(820, 760));
  a.resize(820, 760);  // the same size again is no resize
  EXPECT_EQ(sizes.size(), 2u);
  a.onResize = nullptr;
}

TEST_F(Lifecycle, AHandlerThatThrowsIsLoggedAndTheEventLoopGoesOn) {
  a.Command1.onClick = [] { throw std::runtime_error("boom"); };
  testing::internal::CaptureStderr();
  a.Command1.click();
  std::string log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("WindowA.Command1_Click"), std::string::npos);
  EXPECT_NE(log.find("boom"), std::string::npos);
}

}  // namespace
