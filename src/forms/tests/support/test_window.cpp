#include "test_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace formstest {
namespace {

template <class W>
W* make(QWidget* parent, const char* name) {
  auto* w = new W(parent);
  w->setObjectName(name);
  if (parent->layout()) parent->layout()->addWidget(w);
  return w;
}

}  // namespace

void TestWindow::setupUi(QWidget* window) {
  ++setupCount;
  window->resize(400, 300);
  window->setWindowTitle("Designer caption");
  new QVBoxLayout(window);
  make<QLabel>(window, "Label1")->setText("Label");
  auto* frame = make<QGroupBox>(window, "Frame1");
  frame->setTitle("Frame");
  new QVBoxLayout(frame);
  make<QRadioButton>(frame, "Option1")->setText("One");
  make<QRadioButton>(frame, "Option2")->setText("Two");
  make<QPushButton>(window, "Command1")->setText("&Go");
  make<QCheckBox>(window, "Check1")->setChecked(true);
  auto* text = make<QLineEdit>(window, "Text1");
  text->setText("designer");
  text->setMaxLength(8);
  make<QPlainTextEdit>(window, "Text2");
  // The four lists side by side.
  auto* lists = make<QWidget>(window, "Lists");
  new QHBoxLayout(lists);
  lists->layout()->setContentsMargins(0, 0, 0, 0);
  auto* list = make<QListWidget>(lists, "List1");
  list->addItems({"a", "b", "c"});
  auto* multi = make<QListWidget>(lists, "List2");
  multi->setSelectionMode(QAbstractItemView::ExtendedSelection);
  multi->addItems({"x", "y", "z"});
  multi->setAcceptDrops(true);
  multi->setDragDropMode(QAbstractItemView::DropOnly);
  make<QListView>(lists, "List3");
  auto* multiView = make<QListView>(lists, "List4");
  multiView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  multiView->setAcceptDrops(true);
  multiView->setDragDropMode(QAbstractItemView::DropOnly);
  auto* combo = make<QComboBox>(window, "Combo1");
  combo->addItems({"red", "green", "blue"});
  combo->setCurrentIndex(-1);
  make<QComboBox>(window, "Combo2")->setEditable(true);
  auto* slider = make<QSlider>(window, "Slider1");
  slider->setRange(0, 10);
  slider->setValue(5);
  make<QProgressBar>(window, "ProgressBar1")->setRange(0, 100);
  make<QStatusBar>(window, "StatusBar1");
  auto* tabs = make<QTabWidget>(window, "SSTab1");
  for (const char* page : {"Save", "Restore", "Options"}) tabs->addTab(new QWidget, page);
  make<QLabel>(window, "Picture1");
}

}  // namespace formstest
