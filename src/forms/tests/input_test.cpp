// Keys reach the focused control's handlers and, when it does not use them,
// the window's; mouse moves report positions in a list's rows; files dragged
// from the shell arrive as Windows paths of the machine, anything else is refused.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QUrl>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "support/test_machine.h"
#include "support/test_window.h"

namespace {

using formstest::TestWindow;

struct Key {
  std::string who;
  int code;
  int shift;
};

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    w.show();
    w.onKeyDown = [this](int& code, int shift) { keys.push_back({"form down", code, shift}); };
    w.onKeyPress = [this](int& ascii) { keys.push_back({"form press", ascii, 0}); };
  }
  void TearDown() override {
    w.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  // A key typed into a control's widget, as the window system delivers it.
  static void type(forms::Control& control, Qt::Key key, const QString& text,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(control.widget(), &press);
  }
  void record(forms::Control& control, const std::string& who) {
    control.onKeyDown = [this, who](int& code, int shift) { keys.push_back({who + " down", code, shift}); };
    control.onKeyPress = [this, who](int& ascii) { keys.push_back({who + " press", ascii, 0}); };
  }

  TestWindow w;
  std::vector<Key> keys;
};

bool operator==(const Key& a, const Key& b) {
  return a.who == b.who && a.code == b.code && a.shift == b.shift;
}
void PrintTo(const Key& k, std::ostream* os) { *os << k.who << " " << k.code << "/" << k.shift; }

TEST_F(Input, ATypedKeyRunsTheControlsKeyDownAndKeyPressAndIsTyped) {
  record(w.Combo2, "combo");
  type(w.Combo2, Qt::Key_A, "A", Qt::ShiftModifier);
  EXPECT_EQ(keys, (std::vector<Key>{{"combo down", 65, 1}, {"combo press", 65, 0}}));
  EXPECT_EQ(w.Combo2.text(), "A");
}

TEST_F(Input, AKeyCodeSetToZeroSwallowsTheKey) {
  w.Combo2.onKeyPress = [](int& ascii) {
    if (ascii == 'x') ascii = 0;
  };
  type(w.Combo2, Qt::Key_X, "x");
  type(w.Combo2, Qt::Key_Y, "y");
  EXPECT_EQ(w.Combo2.text(), "y");
}

TEST_F(Input, TypingIntoAnEditableComboLeavesNoItemChosen) {
  w.Combo2.addItem("*.doc");
  w.Combo2.setListIndex(0);
  ASSERT_EQ(w.Combo2.text(), "*.doc");
  type(w.Combo2, Qt::Key_X, "x");
  EXPECT_EQ(w.Combo2.listIndex(), -1);
  EXPECT_EQ(w.Combo2.text(), "*.docx");
  w.Combo2.setListIndex(0);
  w.Combo2.setText("*.doc");  // the chosen item's own text keeps it
  EXPECT_EQ(w.Combo2.listIndex(), 0);
  w.Combo2.setText("txt");
  EXPECT_EQ(w.Combo2.listIndex(), -1);
  EXPECT_EQ(w.Combo2.text(), "txt");
}

TEST_F(Input, EscOnAButtonReachesTheWindowWhichStaysOpen) {
  record(w.Command1, "button");
  type(w.Command1, Qt::Key_Escape, "\x1b");
  EXPECT_EQ(
      keys,
      (std::vector<Key>{
          {"button down", 27, 0}, {"button press", 27, 0}, {"form down", 27, 0}, {"form press", 27, 0}}));
  EXPECT_TRUE(w.visible());
}

TEST_F(Input, AFrameAKeyPassesOnItsWayToTheWindowRunsNothing) {
  record(w.Frame1, "frame");
  type(w.Option1, Qt::Key_F5, "");
  EXPECT_EQ(keys, (std::vector<Key>{{"form down", 116, 0}}));
}

TEST_F(Input, MouseMovesOverAListGiveThePositionOfTheRowUnderIt) {
  auto* list = qobject_cast<QListWidget*>(w.List1.widget());
  const QRect row = list->visualItemRect(list->item(2));
  std::vector<std::vector<int>> moves;
  w.List1.onMouseMove = [&moves](int button, int shift, int x, int y) {
    moves.push_back({button, shift, x, y});
  };
  const QPoint at = row.center();
  QMouseEvent move(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                   Qt::ControlModifier);
  QApplication::sendEvent(list->viewport(), &move);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0], (std::vector<int>{1, 2, at.x(), at.y()}));
  EXPECT_EQ(w.List1.indexAt(at.x(), at.y()), 2);
  EXPECT_EQ(w.List1.indexAt(at.x(), list->viewport()->height() - 1), -1);
}

class FileDrop : public Input {
 protected:
  // Drags `urls` over a list (List2) and drops them: whether the drag was taken.
  bool drop(const QList<QUrl>& urls, const QString& text = {}, forms::ListBox* target = nullptr) {
    auto* list = qobject_cast<QAbstractItemView*>((target ? *target : w.List2).widget());
    QMimeData data;
    if (!urls.isEmpty()) data.setUrls(urls);
    if (!text.isEmpty()) data.setText(text);
    const QPoint at(5, 5);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &dropped);
    return dropped.isAccepted();
  }
  QUrl onMachine(const char* windowsPath) const {
    return QUrl::fromLocalFile(QString::fromStdString(machine.host(windowsPath).string()));
  }

  testsupport::TestMachine machine;
  std::vector<std::vector<std::string>> dropped;
};

TEST_F(FileDrop, FilesAndFoldersOfTheMachineArriveAsWindowsPaths) {
  machine.write("C:\\Data\\Letter.txt", "x");
  machine.write("A:\\notes.txt", "y");
  // A list widget and a list view alike.
  for (forms::ListBox* list : {&w.List2, &w.List4}) {
    dropped.clear();
    const int count = list->listCount();
    list->onDropFiles = [this](const std::vector<std::string>& files) { dropped.push_back(files); };
    EXPECT_TRUE(drop({onMachine("C:\\Data\\Letter.txt"), onMachine("C:\\Data"), onMachine("A:\\notes.txt")},
                     {}, list));
    EXPECT_EQ(dropped,
              (std::vector<std::vector<std::string>>{{"C:\\Data\\Letter.txt", "C:\\Data", "A:\\notes.txt"}}));
    EXPECT_EQ(list->listCount(), count);  // the list itself adds nothing
  }
}

TEST_F(FileDrop, DragsFromOutsideTheMachineOrWithoutFilesAreRefused) {
  machine.write("C:\\Data\\Letter.txt", "x");
  QTemporaryDir outside;
  const QUrl host = QUrl::fromLocalFile(outside.filePath("secret.txt"));
  w.List2.onDropFiles = [this](const std::vector<std::string>& files) { dropped.push_back(files); };
  EXPECT_FALSE(drop({host}));
  EXPECT_FALSE(drop({onMachine("C:\\Data\\Letter.txt"), host}));
  EXPECT_FALSE(drop({QUrl("http://kelvaran.example/")}));
  EXPECT_FALSE(drop({}, "C:\\Data\\Letter.txt"));
  EXPECT_TRUE(dropped.empty());
}

TEST_F(FileDrop, AListWithoutAHandlerOrWithoutDropsTakesNothing) {
  machine.write("C:\\Data\\Letter.txt", "x");
  EXPECT_FALSE(drop({onMachine("C:\\Data\\Letter.txt")}));
  w.List1.onDropFiles = [this](const std::vector<std::string>& files) { dropped.push_back(files); };
  auto* list = qobject_cast<QListWidget*>(w.List1.widget());
  EXPECT_FALSE(list->acceptDrops());
}

}  // namespace
