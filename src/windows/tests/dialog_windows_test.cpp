// The dialog windows (restore selection, reboot notice, import, user files,
// search criteria, file search, rescue wizard and snapshot): every control is
// found under its designer name with the Qt class of its kind, stands on its
// tab and in its frame, and starts with the design-time state the program
// relies on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontInfo>
#include <QKeyEvent>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "windows/adduser.h"
#include "windows/animate.h"
#include "windows/form1.h"
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

using namespace windows;

// The controls of one window, by the Qt class their kind maps to.
struct WindowControls {
  forms::Form& form;
  std::map<std::string, std::vector<forms::Control*>> byClass;
};

std::vector<WindowControls> dialogWindows() {
  auto& r = RestoreReq();
  auto& u = UserFiles();
  auto& a = AddUser();
  auto& s = frmDrvScan();
  auto& i = Import();
  auto& w = Wizzard();
  return {
      {r,
       {{"QTabWidget", {&r.SSTab1}},
        {"QGroupBox",
         {&r.Frame1, &r.Frame2, &r.Frame3, &r.Frame4, &r.Frame5, &r.Frame6, &r.Frame7, &r.Frame8}},
        {"QCheckBox", {&r.Check1,  &r.Check2,  &r.Check3,  &r.Check4,  &r.Check5,  &r.Check6,  &r.Check7,
                       &r.Check8,  &r.Check9,  &r.Check10, &r.Check11, &r.Check12, &r.Check13, &r.Check14,
                       &r.Check15, &r.Check16, &r.Check17, &r.Check18, &r.Check19, &r.Check20, &r.Check21,
                       &r.Check22, &r.Check23, &r.Check24, &r.Check25}},
        {"QListView", {&r.List1}},
        {"QLabel", {&r.Label1, &r.Label2, &r.Label3, &r.Label4, &r.Label5, &r.Label6}},
        {"QPushButton",
         {&r.Command1, &r.Command2, &r.Command3, &r.Command4, &r.Command5, &r.Command6, &r.Command7}}}},
      {Reboot(), {{"QLabel", {&Reboot().Label1, &Reboot().Picture1}}}},
      {i,
       {{"QGroupBox", {&i.Frame1, &i.Frame2}},
        {"QLabel", {&i.Label2, &i.Label4}},
        {"QListWidget", {&i.List1}},
        {"QPushButton", {&i.Command1, &i.Command2, &i.Command3, &i.Command4}}}},
      {u,
       {{"QTabWidget", {&u.SSTab1}},
        {"QGroupBox",
         {&u.UserUser, &u.UserExpl, &u.UserNets, &u.Frame1, &u.Frame2, &u.Frame3, &u.Frame4, &u.Frame8}},
        {"QListView", {&u.List1}},
        {"QListWidget", {&u.List2, &u.List3, &u.List4}},
        {"QCheckBox",
         {&u.Check1, &u.Check2, &u.Check3, &u.Check4, &u.Check5, &u.Check6, &u.Check11, &u.Check12}},
        {"QLabel", {&u.Label1, &u.Label2, &u.Label3, &u.Label4, &u.Label5, &u.Label6}},
        {"QComboBox", {&u.Combo1, &u.Combo2}},
        {"QPushButton",
         {&u.Command1, &u.Command2, &u.Command3, &u.Command4, &u.Command5, &u.Command6, &u.Command7,
          &u.Command11, &u.Command12}}}},
      {a,
       {{"QGroupBox", {&a.Frame1, &a.Frame2}},
        {"QComboBox", {&a.Combo1, &a.Combo2}},
        {"QCheckBox", {&a.Check1}},
        {"QPushButton", {&a.Command1, &a.Command2, &a.Command3, &a.Command4}}}},
      {s,
       {{"QGroupBox", {&s.Frame1}},
        {"QLabel", {&s.Label1, &s.Label2}},
        {"QListWidget", {&s.List1}},
        {"QPushButton", {&s.Command1}}}},
      {w,
       {{"QLabel", {&w.Label1, &w.Label2, &w.Label3, &w.Picture1}},
        {"QRadioButton", {&w.Option1, &w.Option2}},
        {"QPushButton", {&w.Command1, &w.Command2, &w.Command3, &w.Command4, &w.Command5}},
        {"QProgressBar", {&w.ProgressBar4}}}},
      {SelWiz(), {{"QLabel", {&SelWiz().Label2}}, {"QProgressBar", {&SelWiz().ProgressBar1}}}},
  };
}

// Widgets of a window that are not controls: Qt's own parts of composite
// widgets (tab bars, scroll areas, combo boxes), the pages of tab controls and
// decorative lines.
bool isHelper(const QWidget* w) {
  const QString name = w->objectName();
  if (name.isEmpty() || name.startsWith("qt_")) return true;
  for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
    if (p->inherits("QTabBar") || p->inherits("QAbstractScrollArea") || p->inherits("QComboBox")) return true;
  if (qobject_cast<const QStackedWidget*>(w->parentWidget())) return true;
  return QString(w->metaObject()->className()) == "QFrame";
}

TEST(DialogWindows, EveryNamedControlIsFoundWithTheQtClassOfItsKind) {
  for (const WindowControls& window : dialogWindows()) {
    SCOPED_TRACE(window.form.name());
    QWidget* top = window.form.widget();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->objectName().toStdString(), window.form.name());
    EXPECT_FALSE(top->isVisible()) << "touching a window loads it hidden";

    std::set<std::string> declared;
    for (const auto& [qtClass, controls] : window.byClass) {
      for (forms::Control* control : controls) {
        SCOPED_TRACE(control->name());
        QWidget* widget = control->widget();
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName().toStdString(), control->name());
        EXPECT_EQ(widget->metaObject()->className(), qtClass);
        EXPECT_EQ(top->findChildren<QWidget*>(widget->objectName()).size(), 1) << "the name is not unique";
        declared.insert(control->name());
      }
    }
    for (QWidget* child : top->findChildren<QWidget*>()) {
      if (isHelper(child)) continue;
      EXPECT_TRUE(declared.count(child->objectName().toStdString()))
          << "no member for " << child->objectName().toStdString();
    }
  }
}

// The tab of `tabs` whose page holds `control`, -1 when none does.
int tabOf(forms::TabControl& tabs, forms::Control& control) {
  auto* widget = qobject_cast<QTabWidget*>(tabs.widget());
  for (int i = 0; i < widget->count(); ++i)
    if (widget->widget(i)->isAncestorOf(control.widget())) return i;
  return -1;
}

struct Placement {
  forms::Control* control;
  int tab;
  forms::Frame* frame;  // nullptr: in no frame of the table
};

void expectPlaced(forms::TabControl& tabs, const std::vector<Placement>& placements) {
  for (const Placement& p : placements) {
    SCOPED_TRACE(p.control->name());
    EXPECT_EQ(tabOf(tabs, *p.control), p.tab);
    if (p.frame) {
      EXPECT_TRUE(p.frame->widget()->isAncestorOf(p.control->widget())) << "not in " << p.frame->name();
    }
  }
}

TEST(DialogWindows, RestoreSelectionBoxesStandOnTheirTabsAndFrames) {
  auto& r = RestoreReq();
  ASSERT_EQ(r.SSTab1.tabs(), 4);
  EXPECT_EQ(r.SSTab1.tab(), 0);
  EXPECT_EQ(r.SSTab1.tabCaption(2), "Internet Explorer ");
  EXPECT_EQ(r.SSTab1.tabCaption(3), "Netscape");
  std::vector<Placement> placed;
  for (forms::CheckBox* box :
       {&r.Check1, &r.Check2, &r.Check3, &r.Check4, &r.Check5, &r.Check6, &r.Check7, &r.Check8, &r.Check9,
        &r.Check12, &r.Check13, &r.Check14, &r.Check15, &r.Check16, &r.Check24, &r.Check25})
    placed.push_back({box, 0, &r.Frame2});
  std::vector<Placement> others = {
      {&r.Check20, 0, &r.Frame1},
      {&r.Command5, 0, nullptr},
      {&r.Command6, 0, nullptr},
      {&r.List1, 1, &r.Frame3},
      {&r.Label1, 1, &r.Frame3},
      {&r.Command3, 1, &r.Frame3},
      {&r.Command4, 1, &r.Frame3},
      {&r.Check11, 2, &r.Frame4},
      {&r.Check19, 2, &r.Frame4},
      {&r.Label2, 2, &r.Frame4},
      {&r.Check18, 2, &r.Frame5},
      {&r.Check21, 2, &r.Frame5},
      {&r.Label4, 2, &r.Frame5},
      {&r.Label5, 2, &r.Frame5},
      {&r.Check10, 3, &r.Frame6},
      {&r.Check22, 3, &r.Frame6},
      {&r.Label3, 3, &r.Frame6},
      {&r.Check23, 3, &r.Frame7},
      {&r.Label6, 3, &r.Frame7},
      {&r.Check17, 3, &r.Frame8},
      // The dialog's own buttons lie below the tabs.
      {&r.Command1, -1, nullptr},
      {&r.Command2, -1, nullptr},
      {&r.Command7, -1, nullptr},
  };
  placed.insert(placed.end(), others.begin(), others.end());
  expectPlaced(r.SSTab1, placed);
  EXPECT_EQ(r.Frame4.caption(), "Microsoft Internet Explorer:");
  EXPECT_EQ(r.Frame5.caption(), "Outlook Express:");
  EXPECT_EQ(r.Frame6.caption(), "Netscape Navigator:");
  EXPECT_EQ(r.Frame7.caption(), "Netscape Messenger:");
  EXPECT_EQ(r.Frame8.caption(), "News:");
}

TEST(DialogWindows, UserFilesTabsHoldOneFrameEach) {
  auto& u = UserFiles();
  ASSERT_EQ(u.SSTab1.tabs(), 3);
  EXPECT_EQ(u.SSTab1.tabCaption(1), "Internet Explorer");
  EXPECT_EQ(u.SSTab1.tabCaption(2), "Netscape Navigator");
  expectPlaced(
      u.SSTab1,
      {
          {&u.Frame8, 0, &u.UserUser},    {&u.List1, 0, &u.Frame8},      {&u.Command11, 0, &u.UserUser},
          {&u.Command12, 0, &u.UserUser}, {&u.Command5, 0, &u.UserUser}, {&u.Command6, 0, &u.UserUser},
          {&u.Command7, 0, &u.UserUser},  {&u.Check12, 1, &u.Frame1},    {&u.Check2, 1, &u.Frame1},
          {&u.Label1, 1, &u.Frame1},      {&u.Check1, 1, &u.Frame2},     {&u.Check3, 1, &u.Frame2},
          {&u.Label3, 1, &u.Frame2},      {&u.Combo1, 1, &u.Frame2},     {&u.Label4, 1, &u.Frame2},
          {&u.Frame1, 1, &u.UserExpl},    {&u.Frame2, 1, &u.UserExpl},   {&u.List2, 1, &u.UserExpl},
          {&u.List3, 1, &u.UserExpl},     {&u.Check11, 2, &u.Frame3},    {&u.Check4, 2, &u.Frame3},
          {&u.Label2, 2, &u.Frame3},      {&u.Check5, 2, &u.Frame4},     {&u.Check6, 2, &u.Frame4},
          {&u.Label6, 2, &u.Frame4},      {&u.Frame3, 2, &u.UserNets},   {&u.Frame4, 2, &u.UserNets},
          {&u.Label5, 2, &u.UserNets},    {&u.Combo2, 2, &u.UserNets},   {&u.List4, 2, &u.UserNets},
          {&u.Command3, -1, nullptr},     {&u.Command2, -1, nullptr},    {&u.Command1, -1, nullptr},
          {&u.Command4, -1, nullptr},
      });
}

// Enabled and shown as the designer leaves them (the window itself is hidden,
// so "shown" is the control's own flag).
struct StartState {
  forms::Control& control;
  bool enabled;
  bool shown;
};

TEST(DialogWindows, ControlsStartEnabledAndShownAsDesigned) {
  auto& u = UserFiles();
  auto& i = Import();
  auto& a = AddUser();
  auto& w = Wizzard();
  auto& r = RestoreReq();
  const StartState states[] = {
      // Apply and Remove wait for an edit or a click in the list; the lookup lists are never shown.
      {u.Command1, false, true},
      {u.Command12, false, true},
      {u.Command11, true, true},
      {u.List2, true, false},
      {u.List3, true, false},
      {u.List4, true, false},
      {u.List1, true, true},
      // Restore and Contents wait for an entry to be clicked.
      {i.Command1, false, true},
      {i.Command4, false, true},
      {i.Command2, true, true},
      // OK waits for a key typed into the path box.
      {a.Command1, false, true},
      {a.Command2, true, true},
      // The wizard's first page.
      {w.Command1, false, true},
      {w.Command2, true, true},
      {w.Command3, true, true},
      {w.Command5, true, false},
      {w.Label3, true, false},
      {w.ProgressBar4, true, false},
      {w.Option1, true, true},
      {w.Option2, true, true},
      // The restore selection with all its action buttons.
      {r.Command1, true, true},
      {r.Command3, true, true},
      {r.Command4, true, true},
      {r.Command5, true, true},
      {r.Command6, true, true},
      {r.Label1, true, true},
  };
  for (const StartState& s : states) {
    SCOPED_TRACE(s.control.form().name() + "." + s.control.name());
    EXPECT_EQ(s.control.enabled(), s.enabled);
    EXPECT_EQ(!s.control.widget()->isHidden(), s.shown);
  }
}

TEST(DialogWindows, ValuesAndRangesAsDesigned) {
  auto& w = Wizzard();
  EXPECT_TRUE(w.Option1.value()) << "a new rescue set is the default choice";
  EXPECT_FALSE(w.Option2.value());
  EXPECT_EQ(w.ProgressBar4.min(), 0);
  EXPECT_EQ(w.ProgressBar4.max(), 130);
  EXPECT_EQ(w.ProgressBar4.value(), 0);
  EXPECT_FALSE(w.BootDiskDone);
  EXPECT_EQ(SelWiz().ProgressBar1.min(), 0);
  EXPECT_EQ(SelWiz().ProgressBar1.max(), 200);
  EXPECT_EQ(SelWiz().ProgressBar1.value(), 0);
  EXPECT_EQ(SelWiz().Label2.caption(), "");
  EXPECT_EQ(AddUser().Check1.value(), 0);
  EXPECT_EQ(Reboot().Label1.caption(), "System is rebooting now !");
  EXPECT_EQ(RestoreReq().Label1.caption(), "All files selected !");
  EXPECT_EQ(frmDrvScan().Command1.caption(), "&Stop");
  EXPECT_EQ(frmDrvScan().caption(), "Searching...");
  EXPECT_EQ(Reboot().caption(), "Reboot");
}

TEST(DialogWindows, WizardOptionsExcludeEachOther) {
  auto& w = Wizzard();
  w.Option2.setValue(true);
  EXPECT_FALSE(w.Option1.value());
  w.Option1.setValue(true);
  EXPECT_FALSE(w.Option2.value());
}

TEST(DialogWindows, ListsAndBoxesAllowWhatTheirUsersNeed) {
  const auto list = [](forms::ListBox& l) { return qobject_cast<QListView*>(l.widget()); };
  // Restore selection: any number of user files ticked; user files: extended selection and dropped files.
  EXPECT_EQ(list(RestoreReq().List1)->selectionMode(), QAbstractItemView::MultiSelection);
  EXPECT_EQ(list(UserFiles().List1)->selectionMode(), QAbstractItemView::ExtendedSelection);
  EXPECT_TRUE(list(UserFiles().List1)->acceptDrops());
  // The search criteria take typed text besides their history; the identity and profile lists do not.
  EXPECT_TRUE(qobject_cast<QComboBox*>(AddUser().Combo1.widget())->isEditable());
  EXPECT_TRUE(qobject_cast<QComboBox*>(AddUser().Combo2.widget())->isEditable());
  EXPECT_FALSE(qobject_cast<QComboBox*>(UserFiles().Combo1.widget())->isEditable());
  EXPECT_FALSE(qobject_cast<QComboBox*>(UserFiles().Combo2.widget())->isEditable());
  // The import rows are padded with blanks to line up under their header: a fixed-pitch font.
  EXPECT_TRUE(QFontInfo(Import().List1.widget()->font()).fixedPitch());
  EXPECT_TRUE(QFontInfo(Import().Label2.widget()->font()).fixedPitch());
}

TEST(DialogWindows, RestoreSelectionListDrawsACheckBoxBeforeEachEntry) {
  auto& r = RestoreReq();
  r.List1.clear();
  r.List1.addItem("c:\\data\\a.txt");
  auto* view = qobject_cast<QListView*>(r.List1.widget());
  QStyleOptionViewItem option;
  option.initFrom(view);
  const QModelIndex index = view->model()->index(0, 0);
  QStyledItemDelegate plain;
  // The entry needs the room of its text and of a check indicator before it.
  EXPECT_GT(view->itemDelegate()->sizeHint(option, index).width(), plain.sizeHint(option, index).width());
  r.List1.clear();
}

TEST(DialogWindows, WindowFramesAsDesigned) {
  const auto flags = [](forms::Form& f) { return f.widget()->windowFlags(); };
  // No control box: OK and Cancel are the only ways out; the snapshot closes itself.
  for (forms::Form* f : std::vector<forms::Form*>{&RestoreReq(), &SelWiz()}) {
    SCOPED_TRACE(f->name());
    EXPECT_FALSE(flags(*f) & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags(*f) & Qt::WindowMinMaxButtonsHint);
  }
  EXPECT_FALSE(flags(Import()) & Qt::WindowMinMaxButtonsHint);
  EXPECT_EQ(flags(Reboot()) & Qt::WindowType_Mask, Qt::Tool);
  EXPECT_TRUE(flags(Reboot()) & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(flags(Reboot()) & Qt::WindowMinMaxButtonsHint);
  // The user-files dialog is minimised while a search runs.
  EXPECT_TRUE(flags(UserFiles()) & Qt::WindowMinimizeButtonHint);
  // The reboot notice keeps its designed size; the fixed dialogs the size they are shown with.
  QWidget* notice = Reboot().widget();
  EXPECT_EQ(notice->minimumSize(), notice->maximumSize());
  for (forms::Form* f : std::vector<forms::Form*>{&RestoreReq(), &Import()}) {
    SCOPED_TRACE(f->name());
    f->show();
    EXPECT_EQ(f->widget()->minimumSize(), f->widget()->maximumSize());
    EXPECT_GT(f->widget()->width(), 100);
    f->hide();
  }
}

// The button a key presses in a window shown on its own: "" when none.
std::string pressedBy(forms::Form& form, Qt::Key key) {
  QWidget* window = form.widget();
  std::string pressed;
  std::vector<QMetaObject::Connection> hooks;
  for (QPushButton* button : window->findChildren<QPushButton*>()) {
    button->setEnabled(true);
    hooks.push_back(QObject::connect(button, &QPushButton::clicked,
                                     [&pressed, button] { pressed += button->objectName().toStdString(); }));
  }
  form.show();
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &press);
  for (const auto& hook : hooks) QObject::disconnect(hook);
  form.hide();
  return pressed;
}

TEST(DialogWindows, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  struct Case {
    forms::Form& form;
    const char* enter;
    const char* esc;
  };
  for (const Case& c : {
           Case{RestoreReq(), "Command1", "Command2"},
           Case{Import(), "", "Command2"},
           Case{UserFiles(), "Command3", "Command2"},
           Case{AddUser(), "Command1", "Command3"},
           Case{Wizzard(), "", "Command3"},
           Case{Readme(), "Command1", "Command1"},
           Case{FrmSmartSave(), "", "Command1"},
           Case{Animate(), "", "Command1"},
           Case{frmNotEmpty(), "", ""},
           Case{frmDrvScan(), "", ""},
           // The main window: Enter saves (the description box's default), Esc does nothing.
           Case{Form1(), "Command1", ""},
       }) {
    SCOPED_TRACE(c.form.name());
    EXPECT_EQ(pressedBy(c.form, Qt::Key_Return), c.enter);
    EXPECT_EQ(pressedBy(c.form, Qt::Key_Escape), c.esc);
    EXPECT_TRUE(c.form.loaded()) << "Esc closes no window by itself";
    c.form.unload();
  }
}

}  // namespace
