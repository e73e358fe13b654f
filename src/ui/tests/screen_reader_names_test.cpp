// What a screen reader announces in the program's windows, with the texts of
// the message table in place: every control a user works has a name, without
// mnemonic marks, taken from its caption, its label or its frame; the main
// window's page tabs say which page shows; its lists show whole rows.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTabBar>
#include <QTabWidget>

#include "support/window_fixture.h"
#include "ui/window_texts.h"
#include "windows/adduser.h"
#include "windows/animate.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/frmdrvscan.h"
#include "windows/frmnotempty.h"
#include "windows/frmsmartsave.h"
#include "windows/import.h"
#include "windows/readme.h"
#include "windows/reboot.h"
#include "windows/restorereq.h"
#include "windows/selwiz.h"
#include "windows/userfiles.h"
#include "windows/wizzard.h"

namespace {

using windows::Form1;

QString nameOf(QObject* object) {
  QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
  return face ? face->text(QAccessible::Name) : QString();
}

// What a user works: buttons, boxes, lists, sliders, progress bars and tab strips.
bool interactive(const QWidget* w) {
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QAbstractScrollArea*>(w) || qobject_cast<const QComboBox*>(w) ||
         qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QProgressBar*>(w) ||
         qobject_cast<const QAbstractSpinBox*>(w) || qobject_cast<const QTabBar*>(w);
}

// The controls of the .ui (named there), and the tab strips of its tabbed controls.
std::vector<QWidget*> controlsOf(QWidget* window) {
  std::vector<QWidget*> out;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    const QString name = w->objectName();
    const bool designed = !name.isEmpty() && !name.startsWith("qt_");
    const bool tabStrip = qobject_cast<QTabBar*>(w) && qobject_cast<QTabWidget*>(w->parentWidget());
    if ((designed || tabStrip) && interactive(w)) out.push_back(w);
  }
  return out;
}

class ScreenReaderNames : public uitest::UiTest {
 protected:
  // Every window loaded, none of their load handlers run but the texts of the message table set.
  void loadEveryWindow() {
    core::state().SettingsSaved = true;  // no question at a tab switch
    loadSplashQuietly();
    loadBare(Form1());
    ui::LoadRes();
    for (forms::Form* form : windows()) loadBare(*form);
  }
  static std::vector<forms::Form*> windows() {
    return {&windows::AddUser(),      &windows::Animate(),    &Form1(),
            &windows::Form2(),        &windows::frmDrvScan(), &windows::frmNotEmpty(),
            &windows::FrmSmartSave(), &windows::Import(),     &windows::Readme(),
            &windows::Reboot(),       &windows::RestoreReq(), &windows::SelWiz(),
            &windows::UserFiles(),    &windows::Wizzard()};
  }
};

TEST_F(ScreenReaderNames, EveryControlOfEveryWindowHasANameWithoutMnemonicMarks) {
  loadEveryWindow();
  int controls = 0;
  for (forms::Form* form : windows()) {
    for (QWidget* w : controlsOf(form->widget())) {
      ++controls;
      const QString name = nameOf(w);
      const std::string where =
          form->name() + "." + w->objectName().toStdString() + " \"" + name.toStdString() + "\"";
      EXPECT_FALSE(name.trimmed().isEmpty()) << where;
      EXPECT_FALSE(name.contains('&')) << where;
    }
  }
  EXPECT_GT(controls, 100);
}

TEST_F(ScreenReaderNames, ControlsAreNamedByTheirOwnLabelsAndFrames) {
  loadEveryWindow();
  auto& f = Form1();
  struct Case {
    forms::Control* control;
    const char* name;
  };
  const Case cases[] = {
      {&f.Text1, "Description:"},  // its label, not the frame around it
      {&f.Command13, "Delete"},    // "&" and "De&lete"
      {&f.Command20, "All"},
      {&f.Option2, "Configuration 2:"},
      {&f.Text2, "Save Configuration to:"},  // no label: its frame
      {&f.List2, "Name / Date / Time:"},
      {&f.List1, "Date:"},
      {&f.List3, "Name / Date / Time:"},
      {&f.Slider1, "Compression"},  // the frame, not the end label "None"
      {&f.Combo1, "Select the Frequency of SmartSave"},
      {&f.ProgressBar1, "Save"},  // its page
      {&f.ProgressBar2, "Restore"},
      {&windows::RestoreReq().Command1, "OK"},
      {&windows::Readme().List1, "Readme"},  // alone in its window: the window's caption
  };
  for (const Case& c : cases) EXPECT_EQ(nameOf(c.control->widget()), c.name) << c.control->name();

  // A text of the message table changed at run time renames what it labels.
  f.Label1.setCaption("Beschreibung:");
  f.Command13.setCaption("&L&oeschen");
  EXPECT_EQ(nameOf(f.Text1.widget()), "Beschreibung:");
  EXPECT_EQ(nameOf(f.Command13.widget()), "Loeschen");
}

TEST_F(ScreenReaderNames, ThePageTabsSayWhichPageShows) {
  loadEveryWindow();
  auto* tabs = qobject_cast<QTabWidget*>(Form1().SSTab2.widget());
  QAccessibleInterface* strip = QAccessible::queryAccessibleInterface(tabs->tabBar());
  auto selected = [&] {
    QStringList names;
    for (int i = 0; i < strip->childCount(); ++i) {
      if (strip->child(i)->state().selected) names << strip->child(i)->text(QAccessible::Name);
    }
    return names;
  };
  ASSERT_EQ(strip->childCount(), 6);
  EXPECT_EQ(selected(), QStringList{"Save"});
  Form1().SSTab2.setTab(4);
  EXPECT_EQ(selected(), QStringList{"Maintenance"});
  EXPECT_EQ(strip->text(QAccessible::Name), "Maintenance");
}

TEST_F(ScreenReaderNames, TheMainWindowsListsShowWholeRows) {
  loadEveryWindow();
  auto& f = Form1();
  for (forms::ListBox* list : {&f.List1, &f.List2, &f.List3}) {
    for (int i = 0; i < 9; ++i) list->addItem("Configuration " + std::to_string(i));
  }
  f.show();
  int seen = 0;
  for (int tab : {1, 4}) {
    f.SSTab2.setTab(tab);
    for (int pass = 0; pass < 3; ++pass) QApplication::processEvents();
    for (auto* list : f.widget()->findChildren<QListWidget*>()) {
      if (!list->isVisible()) continue;
      ++seen;
      const int row = list->sizeHintForRow(0);
      EXPECT_GE(list->viewport()->height(), 3 * row) << list->objectName().toStdString();
      EXPECT_EQ(list->viewport()->height() % row, 0) << list->objectName().toStdString();
    }
  }
  EXPECT_EQ(seen, 3);
}

TEST_F(ScreenReaderNames, FocusIsReportedWhereItIsAndTheMainWindowIsAFrame) {
  loadEveryWindow();
  auto& f = Form1();
  QAccessibleInterface* main = QAccessible::queryAccessibleInterface(f.widget());
  EXPECT_EQ(main->role(), QAccessible::Window);  // a frame to a screen reader
  EXPECT_EQ(QAccessible::queryAccessibleInterface(windows::RestoreReq().widget())->role(),
            QAccessible::Dialog);

  // Every thing that takes the focus has a name.
  for (forms::Form* form : windows()) {
    for (QWidget* w : form->widget()->findChildren<QWidget*>()) {
      if (w->focusPolicy() == Qt::NoFocus || w->isWindow() || w->focusProxy()) continue;
      EXPECT_FALSE(nameOf(w).trimmed().isEmpty()) << form->name() << "." << w->objectName().toStdString()
                                                  << " (" << w->metaObject()->className() << ")";
    }
  }

  f.show();
  f.widget()->activateWindow();
  QCoreApplication::processEvents();
  // Ctrl+Tab moves to the next page: whatever has the focus then is announced by name.
  f.Text1.setFocus();
  QKeyEvent ctrlTab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
  QCoreApplication::sendEvent(QApplication::focusWidget(), &ctrlTab);
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  EXPECT_FALSE(nameOf(QApplication::focusWidget()).isEmpty())
      << QApplication::focusWidget()->objectName().toStdString();

  // A list's row is focused only while the list has the focus.
  f.SSTab2.setTab(1);
  for (int row = f.List2.listCount(); row < 5; ++row) f.List2.addItem("available");
  f.List2.setListIndex(1);
  f.List2.setFocus();
  QCoreApplication::processEvents();
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(f.List2.widget());
  ASSERT_NE(list->child(1), nullptr);
  EXPECT_EQ(list->child(1)->role(), QAccessible::ListItem);
  EXPECT_TRUE(list->child(1)->state().focused);
  f.Command3.setFocus();
  QCoreApplication::processEvents();
  EXPECT_FALSE(list->child(1)->state().focused) << "the focus went to the Exit button";
  EXPECT_TRUE(list->child(1)->state().selected);
  f.hide();
}

}  // namespace
