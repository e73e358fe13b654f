// Handlers run when code changes a value, as when the user does; adding and
// removing items run nothing; HoldEvents holds them all.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QWidget>
#include <functional>
#include <string>

#include "forms/forms.h"
#include "platform/error.h"
#include "support/test_window.h"

namespace {

using formstest::TestWindow;

class Events : public ::testing::Test {
 protected:
  void TearDown() override {
    w.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  TestWindow w;
  int fired = 0;
};

struct ChangeCase {
  const char* what;
  std::function<std::function<void()>&(TestWindow&)> handler;
  std::function<void(TestWindow&)> change;
  int expected;
};

TEST_F(Events, CodeChangesRunTheHandlersOnlyWhenTheValueChanges) {
  const ChangeCase cases[] = {{"check box to 0", [](TestWindow & t) -> auto& {return t.Check1.onClick;
}
, [](TestWindow& t) { t.Check1.setValue(0); }, 1
}  // namespace
, {"check box to its value", [](TestWindow& t) -> auto& {return t.Check1.onClick;
}
, [](TestWindow& t) { t.Check1.setValue(1); }, 0
}
, {"check box to grayed and back", [](TestWindow& t) -> auto& {return t.Check1.onClick;
}
, [](TestWindow& t) { t.Check1.setValue(2), t.Check1.setValue(1); }, 2
}
, {"option button on", [](TestWindow& t) -> auto& {return t.Option2.onClick;
}
, [](TestWindow& t) { t.Option2.setValue(true); }, 1
}
, {"text box", [](TestWindow& t) -> auto& {return t.Text1.onChange;
}
, [](TestWindow& t) { t.Text1.setText("new"); }, 1
}
, {"text box same text", [](TestWindow& t) -> auto& {return t.Text1.onChange;
}
, [](TestWindow& t) { t.Text1.setText("designer"); }, 0
}
, {"multi-line text box", [](TestWindow& t) -> auto& {return t.Text2.onChange;
}
, [](TestWindow& t) { t.Text2.setText("a\r\nb"); }, 1
}
, {"slider", [](TestWindow& t) -> auto& {return t.Slider1.onChange;
}
, [](TestWindow& t) { t.Slider1.setValue(7); }, 1
}
, {"list index", [](TestWindow& t) -> auto& {return t.List1.onClick;
}
, [](TestWindow& t) { t.List1.setListIndex(2); }, 1
}
, {"list selected in a single-select list", [](TestWindow& t) -> auto& {return t.List1.onClick;
}
, [](TestWindow& t) { t.List1.setSelected(1, true); }, 1
}
, {"multi-select list selection", [](TestWindow& t) -> auto& {return t.List2.onClick;
}
, [](TestWindow& t) { t.List2.setSelected(0, true), t.List2.setSelected(2, true); }, 2
}
, {"combo index", [](TestWindow& t) -> auto& {return t.Combo1.onClick;
}
, [](TestWindow& t) { t.Combo1.setListIndex(1); }, 1
}
, {"combo text of a drop-down list chooses the item", [](TestWindow& t) -> auto& {return t.Combo1.onClick;
}
, [](TestWindow& t) { t.Combo1.setText("blue"); }, 1
}
, {"editable combo text", [](TestWindow& t) -> auto& {return t.Combo2.onChange;
}
, [](TestWindow& t) { t.Combo2.setText("typed"); }, 1
}
, {"adding, changing and removing items", [](TestWindow& t) -> auto& {return t.List1.onClick;
}
,
    [](TestWindow& t) {
      t.List1.setListIndex(0);
      t.List1.addItem("d");
      t.List1.setList(1, "B");
      t.List1.removeItem(0);
      t.List1.clear();
    },
    1
}
, {"adding to an empty combo", [](TestWindow& t) -> auto& {return t.Combo2.onClick;
}
, [](TestWindow& t) { t.Combo2.addItem("first"); }, 0
}
,
}
;
for (const ChangeCase& c : cases) {
  SCOPED_TRACE(c.what);
  w.unload();
  w.load();
  fired = 0;
  c.handler(w) = [this] { ++fired; };
  c.change(w);
  EXPECT_EQ(fired, c.expected);
  c.handler(w) = nullptr;
}
}

TEST_F(Events, HoldEventsKeepsHandlersFromRunningWhileTheValuesStillChange) {
  w.Check1.onClick = [this] { ++fired; };
  w.Text1.onChange = [this] { ++fired; };
  int previous = -1;
  w.SSTab1.onClick = [&](int before) { previous = before; };
  {
    forms::HoldEvents hold;
    w.Check1.setValue(0);
    w.Text1.setText("held");
    w.SSTab1.setTab(2);
  }
  EXPECT_EQ(fired, 0);
  EXPECT_EQ(previous, -1);
  EXPECT_EQ(w.Check1.value(), 0);
  EXPECT_EQ(w.SSTab1.tab(), 2);
  // The tab control still knows where it came from.
  w.SSTab1.setTab(1);
  EXPECT_EQ(previous, 2);
  w.Check1.setValue(1);
  EXPECT_EQ(fired, 1);
}

TEST_F(Events, ListsKeepTheRuntimesIndexRules) {
  EXPECT_EQ(w.List1.listIndex(), -1);
  EXPECT_EQ(w.List1.text(), "");
  w.List1.setListIndex(1);
  EXPECT_EQ(w.List1.text(), "b");
  // Removing the selected item leaves nothing selected.
  w.List1.removeItem(1);
  EXPECT_EQ(w.List1.listIndex(), -1);
  EXPECT_EQ(w.List1.listCount(), 2);
  EXPECT_EQ(w.List1.list(5), "");
  w.List1.setList(2, "appended");
  EXPECT_EQ(w.List1.list(2), "appended");
  w.List1.addItem("front", 0);
  EXPECT_EQ(w.List1.list(0), "front");
  w.List1.addItems({"x", "y"});
  EXPECT_EQ(w.List1.list(w.List1.listCount() - 2), "x");
  EXPECT_EQ(w.List1.list(w.List1.listCount() - 1), "y");
  w.Combo2.addItems({"two", "three"});
  EXPECT_EQ(w.Combo2.listIndex(), -1);
  EXPECT_EQ(w.Combo2.list(1), "three");
  EXPECT_EQ(w.Combo2.text(), "");
  // A combo box with items but no choice says so.
  EXPECT_EQ(w.Combo1.listIndex(), -1);
  w.Combo2.addItem("one");
  EXPECT_EQ(w.Combo2.listIndex(), -1);
}

TEST_F(Events, ListScrollsToAnItemAndPaintsNothingWhileItsRedrawIsOff) {
  w.show();
  for (int i = 0; i < 200; ++i) w.List1.addItem("item " + std::to_string(i));
  w.List1.setTopIndex(199);
  EXPECT_GT(w.List1.topIndex(), 150);  // as far as the list scrolls
  w.List1.setTopIndex(20);
  EXPECT_EQ(w.List1.topIndex(), 20);
  w.List1.setRedraw(false);
  EXPECT_FALSE(w.List1.widget()->updatesEnabled());
  w.List1.setRedraw(true);
  EXPECT_TRUE(w.List1.widget()->updatesEnabled());
}

TEST_F(Events, BadIndexesAndValuesRaiseTheRuntimesErrors) {
  struct Bad {
    const char* what;
    std::function<void()> call;
    int error;
  };
  const Bad cases[] = {
      {"list index past the end", [&] { w.List1.setListIndex(3); }, 380},
      {"list index below -1", [&] { w.Combo1.setListIndex(-2); }, 380},
      {"remove a missing item", [&] { w.List1.removeItem(3); }, 5},
      {"list row past the end", [&] { w.List1.setList(4, "x"); }, 381},
      {"check box value 3", [&] { w.Check1.setValue(3); }, 380},
      {"slider out of range", [&] { w.Slider1.setValue(11); }, 380},
      {"progress out of range", [&] { w.ProgressBar1.setValue(101); }, 380},
      {"tab out of range", [&] { w.SSTab1.setTab(3); }, 380},
      {"text of a drop-down list that holds no such item", [&] { w.Combo1.setText("pink"); }, 383},
      {"a control of the wrong kind",
       [&] {
         forms::Label wrong{w, "Check1"};
         wrong.caption();
       },
       5},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      c.call();
      ADD_FAILURE() << "no error";
    } catch (const platform::RuntimeError& e) {
      EXPECT_EQ(e.number(), c.error);
    }
  }
}

TEST_F(Events, OptionButtonsOfAFrameAreExclusiveAndCodeMayClearTheChosenOne) {
  w.Option1.setValue(true);
  w.Option2.setValue(true);
  EXPECT_FALSE(w.Option1.value());
  w.Option2.setValue(false);
  EXPECT_FALSE(w.Option1.value());
  EXPECT_FALSE(w.Option2.value());
  w.Option1.setValue(true);
  EXPECT_TRUE(w.Option1.value());
}

TEST_F(Events, TextsCrossTheQtBoundaryAsWindows1252) {
  const std::string text =
      "M\xFC"
      "ller \x80 \x93quoted\x94";
  w.Label1.setCaption(text);
  EXPECT_EQ(w.Label1.caption(), text);
  w.Text2.setText("one\r\ntwo");
  EXPECT_EQ(w.Text2.text(), "one\r\ntwo");
  // MaxLength cuts what code sets, as a text box does.
  w.Text1.setText("123456789");
  EXPECT_EQ(w.Text1.text(), "12345678");
  EXPECT_EQ(w.Text1.maxLength(), 8);
  w.StatusBar1.setSimpleText("Ready");
  EXPECT_EQ(w.StatusBar1.simpleText(), "Ready");
}

TEST_F(Events, LabelCaptionsBreakLinesAtCarriageReturns) {
  const std::string caption = "one\rtwo\r\nthree";
  w.Label1.setCaption(caption);
  EXPECT_EQ(w.Label1.caption(), caption);
  EXPECT_EQ(qobject_cast<QLabel*>(w.Label1.widget())->text(), QString("one\ntwo\nthree"));
}

TEST_F(Events, ControlPropertiesAreTheirOwnWhateverTheWindowShows) {
  // The window is hidden, yet a control not hidden by code counts as visible.
  EXPECT_TRUE(w.Check1.visible());
  w.Check1.setVisible(false);
  EXPECT_FALSE(w.Check1.visible());
  w.setEnabled(false);
  EXPECT_TRUE(w.Command1.enabled());
  w.Command1.setEnabled(false);
  EXPECT_FALSE(w.Command1.enabled());
  w.Combo1.setBackColor(4);
  EXPECT_EQ(w.Combo1.backColor(), 4);
}

TEST_F(Events, ClickOfADisabledButtonRunsNothing) {
  w.Command1.onClick = [this] { ++fired; };
  w.Command1.click();
  w.Command1.setEnabled(false);
  w.Command1.click();
  EXPECT_EQ(fired, 1);
}

}  // namespace
