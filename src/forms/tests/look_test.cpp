// The classic look and the names a screen reader announces: the palette of
// the classic colours, lists that show whole rows, every control named by its
// caption or its label, and tab strips that say which page is selected.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <vector>

#include "forms/accessible_names.h"
#include "forms/classic_look.h"
#include "forms/forms.h"

namespace {

// A window laid out the ways the program's windows are: a grid row of label
// and text box, a frame around a label and list, a list placed by
// coordinates under its label, a slider between two end labels that names
// its frame, a tab strip.
class NamedWindow : public forms::Form {
 public:
  NamedWindow() : Form("NamedWindow") {}
  forms::Label Label1{*this, "Label1"};
  forms::Label Label2{*this, "Label2"};
  forms::Frame Frame1{*this, "Frame1"};
  forms::CommandButton Command1{*this, "Command1"};
  forms::TextBox Text1{*this, "Text1"};
  forms::ListBox List1{*this, "List1"};
  forms::ListBox List2{*this, "List2"};
  forms::TabControl SSTab1{*this, "SSTab1"};

 protected:
  void setupUi(QWidget* window) override {
    window->setWindowTitle("Named");
    window->resize(420, 460);
    auto* column = new QVBoxLayout(window);
    auto* grid = new QGridLayout;
    column->addLayout(grid);
    grid->addWidget(named<QLabel>("Label1", "Description:"), 0, 0);
    grid->addWidget(named<QLineEdit>("Text1"), 0, 1);
    grid->addWidget(named<QPushButton>("Command1", "&De&lete"), 0, 2);
    grid->addWidget(named<QLabel>("Label6", "&Frequency:"), 1, 0);
    auto* combo = named<QComboBox>("Combo1");
    combo->addItems({"Disabled", "Daily"});
    combo->setCurrentIndex(1);
    grid->addWidget(combo, 1, 1);

    auto* frame = named<QGroupBox>("Frame1");
    frame->setTitle("Saving &Configuration as:");
    auto* inFrame = new QVBoxLayout(frame);
    inFrame->addWidget(named<QLabel>("Label2", "Name / Date:"));
    inFrame->addWidget(named<QListWidget>("List1"));
    auto* bar = named<QProgressBar>("ProgressBar1");
    inFrame->addWidget(bar);
    column->addWidget(frame);

    auto* compression = named<QGroupBox>("Frame2");
    compression->setTitle("Compression ");
    auto* row = new QHBoxLayout(compression);
    row->addWidget(named<QLabel>("Label3", "None"));
    auto* slider = named<QSlider>("Slider1");
    slider->setOrientation(Qt::Horizontal);
    slider->setProperty("nameFrom", "Frame2");
    row->addWidget(slider);
    row->addWidget(named<QLabel>("Label4", "Highest"));
    column->addWidget(compression);

    auto* free = new QWidget;
    free->setMinimumHeight(150);
    auto* placed = named<QLabel>("Label5", "Drives:");
    placed->setParent(free);
    placed->setGeometry(5, 5, 100, 16);
    auto* list = named<QListWidget>("List2");
    list->setParent(free);
    list->setGeometry(5, 24, 200, 100);
    column->addWidget(free);

    auto* tabs = named<QTabWidget>("SSTab1");
    for (const char* page : {"&Save", "Restore", "Options"}) tabs->addTab(new QWidget, page);
    column->addWidget(tabs);
  }

 private:
  template <class W>
  static W* named(const char* name, const char* text = nullptr) {
    auto* w = new W;
    w->setObjectName(name);
    if constexpr (requires { w->setText(QString()); }) {
      if (text) w->setText(text);
    }
    return w;
  }
};

QString nameOf(QWidget* widget) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
  return face ? face->text(QAccessible::Name) : QString();
}

class Look : public ::testing::Test {
 protected:
  void TearDown() override {
    window.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  QWidget* child(const char* name) { return window.widget()->findChild<QWidget*>(name); }
  NamedWindow window;
};

TEST(ClassicPalette, HoldsTheClassicSystemColours) {
  const QPalette palette = forms::classicPalette();
  struct Case {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    QRgb colour;
  };
  const Case cases[] = {
      {QPalette::Active, QPalette::Button, 0xC0C0C0},
      {QPalette::Active, QPalette::Window, 0xC0C0C0},
      {QPalette::Active, QPalette::Light, 0xFFFFFF},
      {QPalette::Active, QPalette::Midlight, 0xDFDFDF},
      {QPalette::Active, QPalette::Dark, 0x808080},
      {QPalette::Active, QPalette::Shadow, 0x000000},
      {QPalette::Active, QPalette::Base, 0xFFFFFF},
      {QPalette::Active, QPalette::Text, 0x000000},
      {QPalette::Active, QPalette::ButtonText, 0x000000},
      {QPalette::Active, QPalette::WindowText, 0x000000},
      {QPalette::Active, QPalette::Highlight, 0x000080},
      {QPalette::Active, QPalette::HighlightedText, 0xFFFFFF},
      {QPalette::Active, QPalette::ToolTipBase, 0xFFFFE1},
      {QPalette::Active, QPalette::ToolTipText, 0x000000},
      {QPalette::Inactive, QPalette::Highlight, 0x000080},
      {QPalette::Disabled, QPalette::ButtonText, 0x808080},
      {QPalette::Disabled, QPalette::Text, 0x808080},
      {QPalette::Disabled, QPalette::Base, 0xC0C0C0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(palette.color(c.group, c.role).rgb() & 0xFFFFFF, c.colour)
        << "group " << c.group << " role " << c.role;
  }
}

TEST(ClassicPalette, IsTheApplicationsOnceApplied) {
  forms::applyClassicLook();
  EXPECT_EQ(QApplication::palette().color(QPalette::Button), QColor(0xC0, 0xC0, 0xC0));
  auto* classic = qobject_cast<QProxyStyle*>(QApplication::style());
  ASSERT_NE(classic, nullptr);
  EXPECT_EQ(classic->baseStyle()->name().toLower(), "windows");
  QPushButton button;
  EXPECT_EQ(button.palette().color(QPalette::Highlight), QColor(0x00, 0x00, 0x80));
}

TEST(Mnemonics, NeverReachAName) {
  const std::pair<const char*, const char*> cases[] = {
      {"&De&lete", "Delete"},
      {"A&ll", "All"},
      {"Save && Exit", "Save & Exit"},
      {"&&&Go", "&Go"},
      {"Plain", "Plain"},
      {"End&", "End"},
      {"", ""},
  };
  for (const auto& [caption, name] : cases) EXPECT_EQ(forms::withoutMnemonics(caption), name) << caption;
}

TEST_F(Look, EveryControlIsNamedByItsCaptionLabelOrFrame) {
  window.load();
  const std::pair<const char*, const char*> cases[] = {
      {"Command1", "Delete"},                        // its own caption, marks dropped
      {"Text1", "Description:"},                     // the label left of it in the grid
      {"List1", "Name / Date:"},                     // the label above it, not its frame
      {"ProgressBar1", "Saving Configuration as:"},  // no label before it: its frame
      {"Slider1", "Compression"},                    // the frame the .ui names, not the label "None"
      {"List2", "Drives:"},                          // placed by coordinates under its label
      {"Combo1", "Frequency:"},                      // its label; its choice is its value
  };
  for (const auto& [control, name] : cases) EXPECT_EQ(nameOf(child(control)), name) << control;
  QAccessibleInterface* combo = QAccessible::queryAccessibleInterface(child("Combo1"));
  EXPECT_EQ(combo->role(), QAccessible::ComboBox);
  EXPECT_EQ(combo->text(QAccessible::Value), "Daily");
  ASSERT_EQ(combo->childCount(), 1);
  EXPECT_EQ(combo->child(0)->role(), QAccessible::List);
  EXPECT_EQ(combo->child(0)->text(QAccessible::Name), "Frequency:");
}

TEST_F(Look, NamesFollowTheCaptionsSetAtRunTime) {
  window.Label1.setCaption("Beschreibung:");
  window.Command1.setCaption("&L&oeschen");
  window.Frame1.setCaption("Gespeichert als:");
  window.Label2.setCaption("");
  EXPECT_EQ(nameOf(child("Text1")), "Beschreibung:");
  EXPECT_EQ(nameOf(child("Command1")), "Loeschen");
  // A label without text names nothing: the frame does.
  EXPECT_EQ(nameOf(child("List1")), "Gespeichert als:");
  EXPECT_EQ(nameOf(child("ProgressBar1")), "Gespeichert als:");
}

TEST_F(Look, ANameGivenByTheDesignerStays) {
  window.load();
  child("Text1")->setAccessibleName("Own name");
  window.Label1.setCaption("Other:");
  EXPECT_EQ(nameOf(child("Text1")), "Own name");
}

TEST_F(Look, TheTabStripSaysWhichPageIsSelected) {
  auto* tabs = qobject_cast<QTabWidget*>(window.SSTab1.widget());
  QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs->tabBar());
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(strip->role(), QAccessible::PageTabList);
  ASSERT_EQ(strip->childCount(), 3);
  auto selectedTabs = [&] {
    QStringList names;
    for (int i = 0; i < strip->childCount(); ++i) {
      QAccessibleInterface* tab = strip->child(i);
      EXPECT_EQ(tab->role(), QAccessible::PageTab);
      EXPECT_TRUE(tab->state().selectable);
      EXPECT_EQ(strip->indexOfChild(tab), i);
      EXPECT_EQ(tab->parent(), strip);
      if (tab->state().selected) names << tab->text(QAccessible::Name);
    }
    return names;
  };
  EXPECT_EQ(selectedTabs(), QStringList{"Save"});
  EXPECT_EQ(strip->text(QAccessible::Name), "Save");

  window.SSTab1.setTab(2);
  EXPECT_EQ(selectedTabs(), QStringList{"Options"});
  EXPECT_EQ(strip->text(QAccessible::Name), "Options");

  // A reader presses a tab as a user clicks it.
  int previous = -1;
  window.SSTab1.onClick = [&](int before) { previous = before; };
  QAccessibleActionInterface* press = strip->child(1)->actionInterface();
  ASSERT_NE(press, nullptr);
  press->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(window.SSTab1.tab(), 1);
  EXPECT_EQ(previous, 2);
  EXPECT_EQ(selectedTabs(), QStringList{"Restore"});
  window.SSTab1.onClick = nullptr;
}

// A reader chooses a row of a list as a user clicks it: the row becomes the
// list's chosen one and the list's Click runs; toggling the chosen row again
// leaves it chosen, as a click on it does.
TEST_F(Look, AReaderChoosesAListRowAsAClickDoes) {
  for (const char* row : {"row 0", "row 1", "row 2"}) window.List1.addItem(row);
  std::vector<int> clicks;
  window.List1.onClick = [&] { clicks.push_back(window.List1.listIndex()); };
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(child("List1"));
  ASSERT_NE(list, nullptr);
  const auto toggle = [&](int row) {
    QAccessibleInterface* item = list->child(row);
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->actionInterface(), nullptr);
    item->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
  };
  toggle(1);
  EXPECT_EQ(window.List1.listIndex(), 1);
  EXPECT_TRUE(window.List1.selected(1));
  toggle(2);
  toggle(2);
  EXPECT_EQ(window.List1.listIndex(), 2);
  EXPECT_TRUE(list->child(2)->state().selected);
  EXPECT_FALSE(list->child(1)->state().selected);
  EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
  window.List1.onClick = nullptr;
}

TEST_F(Look, AListShowsWholeRowsOnly) {
  window.show();
  auto* laidOut = qobject_cast<QListWidget*>(child("List1"));
  auto* placed = qobject_cast<QListWidget*>(child("List2"));
  for (QListWidget* list : {laidOut, placed}) {
    for (int i = 0; i < 12; ++i) list->addItem(QString("row %1").arg(i));
  }
  // Heights that cut a row, whoever gives them: the code, or the layout of a window made taller.
  placed->resize(200, placed->height() + 7);
  window.resize(420, window.height() + 37);
  for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
  for (QListWidget* list : {laidOut, placed}) {
    const int row = list->sizeHintForRow(0);
    ASSERT_GT(row, 0);
    EXPECT_GE(list->viewport()->height(), 2 * row) << list->objectName().toStdString();
    EXPECT_EQ(list->viewport()->height() % row, 0) << list->objectName().toStdString();
  }
  // The list in the layout grows again with its window, to whole rows.
  const int before = laidOut->height();
  window.resize(420, window.height() + 120);
  for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
  EXPECT_GT(laidOut->height(), before);
  EXPECT_EQ(laidOut->viewport()->height() % laidOut->sizeHintForRow(0), 0);
}

}  // namespace
