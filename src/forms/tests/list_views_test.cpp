// A list box over a plain list view (the runtime's own light item model)
// does what one over a list widget does: the same script gives the same
// items, indexes, selections, events and errors on both.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QListView>
#include <functional>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "platform/error.h"
#include "support/test_window.h"

namespace {

using formstest::TestWindow;

class ListViews : public ::testing::Test {
 protected:
  void TearDown() override {
    w.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // What a script did to `list`: a line per step of its items, index,
  // selection, the clicks run so far and the error number raised.
  static std::vector<std::string> trace(forms::ListBox& list,
                                        const std::vector<std::function<void(forms::ListBox&)>>& steps) {
    int clicks = 0;
    list.onClick = [&clicks] { ++clicks; };
    list.clear();
    std::vector<std::string> lines;
    for (const auto& step : steps) {
      int error = 0;
      try {
        step(list);
      } catch (const platform::RuntimeError& e) {
        error = e.number();
      }
      std::string line;
      for (int i = 0; i < list.listCount(); ++i) line += list.list(i) + (list.selected(i) ? "* " : " ");
      // The selection taken in one pass is what the items say one by one.
      line += "| selection ";
      for (const bool on : list.selectedItems()) line += on ? '*' : '.';
      line += " count " + std::to_string(list.selCount()) + " ";
      line += "| index " + std::to_string(list.listIndex()) + " text " + list.text() + " clicks " +
              std::to_string(clicks) + " error " + std::to_string(error);
      lines.push_back(line);
    }
    list.onClick = nullptr;
    return lines;
  }

  TestWindow w;
};

using Step = std::function<void(forms::ListBox&)>;

const std::vector<Step> kItemSteps = {
    [](forms::ListBox& l) {
      l.addItems({"a", "b", "c"});
    },
    [](forms::ListBox& l) { l.addItem("front", 0); },
    [](forms::ListBox& l) { l.addItem("caf\xe9"); },  // Windows-1252 bytes stay as they are
    [](forms::ListBox& l) { l.setList(1, "A"); },
    [](forms::ListBox& l) { l.setList(l.listCount(), "appended"); },
    // Removed and replaced items leave their room, which is given back later.
    [](forms::ListBox& l) { l.removeItem(0), l.removeItem(1), l.removeItem(0); },
    [](forms::ListBox& l) { l.setList(0, "a longer text in place of the first"), l.setList(0, "x"); },
    [](forms::ListBox& l) { l.setList(1, "y"), l.setList(2, "z"), l.addItem("w", 1); },
    [](forms::ListBox& l) { l.addItem("x", 99); },
    [](forms::ListBox& l) { l.setList(99, "x"); },
    [](forms::ListBox& l) { l.removeItem(99); },
    [](forms::ListBox& l) { l.selected(99); },
    [](forms::ListBox& l) { l.setTopIndex(99); },
};

const std::vector<Step> kSelectionSteps = {
    [](forms::ListBox& l) {
      l.addItems({"a", "b", "c", "d"});
    },
    [](forms::ListBox& l) { l.setListIndex(2); },
    [](forms::ListBox& l) { l.setListIndex(2); },
    [](forms::ListBox& l) { l.setSelected(0, true); },
    [](forms::ListBox& l) { l.setSelected(2, true); },
    [](forms::ListBox& l) { l.setSelected(0, false); },
    [](forms::ListBox& l) { l.setListIndex(1); },
    [](forms::ListBox& l) { l.removeItem(3); },
    [](forms::ListBox& l) { l.removeItem(0); },
    [](forms::ListBox& l) { l.addItem("e", 0); },
    [](forms::ListBox& l) { l.setListIndex(-1); },
    [](forms::ListBox& l) { l.setListIndex(-1); },
    [](forms::ListBox& l) { l.setListIndex(4); },
    [](forms::ListBox& l) { l.setSelected(1, true), l.removeItem(1); },
    [](forms::ListBox& l) { l.setAllSelected(true); },
    [](forms::ListBox& l) { l.setSelected(1, false); },
    [](forms::ListBox& l) { l.setAllSelected(true); },
    [](forms::ListBox& l) { l.setAllSelected(true); },
    [](forms::ListBox& l) { l.setAllSelected(false); },
    [](forms::ListBox& l) { l.clear(); },
    [](forms::ListBox& l) { l.setAllSelected(true); },
};

TEST_F(ListViews, AListViewDoesWhatAListWidgetDoes) {
  ASSERT_NE(qobject_cast<QListView*>(w.List3.widget()), nullptr);
  EXPECT_EQ(w.List3.listCount(), 0);  // a view has no designer items
  EXPECT_EQ(trace(w.List3, kItemSteps), trace(w.List1, kItemSteps));
  // Single selection and extended selection.
  EXPECT_EQ(trace(w.List3, kSelectionSteps), trace(w.List1, kSelectionSteps));
  EXPECT_EQ(trace(w.List4, kSelectionSteps), trace(w.List2, kSelectionSteps));
}

// All and None of a long multi-select list: every item at once, told by
// one Click, and nothing told when nothing changed.
TEST_F(ListViews, SelectingAllOfAMultiSelectListClicksOnce) {
  std::vector<std::string> items;
  for (int i = 0; i < 5000; ++i) items.push_back("C:\\Data\\File " + std::to_string(i) + ".txt");
  for (forms::ListBox* list : {&w.List2, &w.List4}) {
    int clicks = 0;
    list->onClick = [&clicks] { ++clicks; };
    list->clear();
    list->addItems(items);
    list->setSelected(7, true);
    clicks = 0;
    list->setAllSelected(true);
    EXPECT_EQ(clicks, 1) << list->name();
    EXPECT_EQ(list->selCount(), 5000) << list->name();
    EXPECT_TRUE(list->selected(0) && list->selected(4999)) << list->name();
    list->setAllSelected(true);
    EXPECT_EQ(clicks, 1) << list->name();
    list->setSelected(4999, false);
    EXPECT_EQ(list->selCount(), 4999) << list->name();
    list->setAllSelected(false);
    EXPECT_EQ(clicks, 3) << list->name();
    EXPECT_EQ(list->selCount(), 0) << list->name();
    list->onClick = nullptr;
  }
}

TEST_F(ListViews, RowsArePlacedScrolledAndFoundAsInAListWidget) {
  w.show();
  std::vector<std::string> items;
  for (int i = 0; i < 200; ++i) items.push_back("item " + std::to_string(i));
  for (forms::ListBox* list : {&w.List1, &w.List3}) {
    list->clear();
    list->addItems(items);
    list->setTopIndex(20);
    EXPECT_EQ(list->topIndex(), 20) << list->name();
  }
  EXPECT_EQ(w.List3.indexAt(1, 1), w.List1.indexAt(1, 1));
  int doubleClicks = 0;
  w.List3.onDoubleClick = [&doubleClicks] { ++doubleClicks; };
  auto* view = qobject_cast<QListView*>(w.List3.widget());
  emit view->doubleClicked(view->model()->index(3, 0));
  EXPECT_EQ(doubleClicks, 1);
}

// What was measured of a list's items holds until they change: a change of
// items gives a new revision, selecting and scrolling do not, and no two
// lists share one.
TEST_F(ListViews, TheItemsRevisionMovesWithTheItemsOnly) {
  struct Case {
    const char* what;
    Step step;
    bool changes;
  };
  const std::vector<Case> cases = {
      {"add items",
       [](forms::ListBox& l) {
         l.addItems({"a", "b", "c"});
       },
       true},
      {"add one", [](forms::ListBox& l) { l.addItem("d", 0); }, true},
      {"replace", [](forms::ListBox& l) { l.setList(1, "B"); }, true},
      {"remove", [](forms::ListBox& l) { l.removeItem(0); }, true},
      {"select", [](forms::ListBox& l) { l.setListIndex(1), l.setSelected(2, true); }, false},
      {"scroll", [](forms::ListBox& l) { l.setTopIndex(1); }, false},
      {"bad index", [](forms::ListBox& l) { l.removeItem(99); }, false},
      {"clear", [](forms::ListBox& l) { l.clear(); }, true},
  };
  for (forms::ListBox* list : {&w.List1, &w.List3}) {
    for (const Case& c : cases) {
      const std::uint64_t before = list->itemsRevision();
      try {
        c.step(*list);
      } catch (const platform::RuntimeError&) {
      }
      EXPECT_EQ(list->itemsRevision() != before, c.changes) << list->name() << ": " << c.what;
    }
  }
  EXPECT_NE(w.List1.itemsRevision(), w.List3.itemsRevision());
  EXPECT_NE(w.List2.itemsRevision(), w.List4.itemsRevision());
}

TEST_F(ListViews, ALoadedAgainWindowGetsAnEmptyListView) {
  w.List3.addItem("kept only while loaded");
  w.unload();
  EXPECT_EQ(w.List3.listCount(), 0);
  w.List3.addItem("again");
  EXPECT_EQ(w.List3.list(0), "again");
}

}  // namespace
