// The main-side windows: every named control exists under its designer name
// with the Qt class of its kind, sits on its page and in its frame, and starts
// with the design-time properties the program relies on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <initializer_list>
#include <string>
#include <vector>

#include "windows/animate.h"
#include "windows/form1.h"
#include "windows/form2.h"
#include "windows/frmnotempty.h"
#include "windows/frmsmartsave.h"
#include "windows/readme.h"

namespace {

using windows::Form1;

// One control of a window and the Qt class its kind maps to.
struct Expect {
  forms::Control* control;
  const char* qtClass;
};

std::vector<Expect> ofClass(const char* qtClass, std::initializer_list<forms::Control*> controls) {
  std::vector<Expect> out;
  for (forms::Control* c : controls) out.push_back({c, qtClass});
  return out;
}

std::vector<Expect> join(std::initializer_list<std::vector<Expect>> parts) {
  std::vector<Expect> out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<Expect> form1Controls() {
  auto& f = Form1();
  return join({
      ofClass("QTabWidget", {&f.SSTab2}),
      ofClass("QStatusBar", {&f.StatusBar1}),
      ofClass("QGroupBox",
              {&f.frmSave, &f.frmRestore, &f.frmOptions, &f.frmTools, &f.frmNance, &f.frmInfo, &f.Frame1,
               &f.Frame2,  &f.Frame3,     &f.Frame4,     &f.Frame5,   &f.Frame6,   &f.Frame7,  &f.Frame8,
               &f.Frame9,  &f.Frame10,    &f.Frame11,    &f.Frame12,  &f.Frame13,  &f.Frame14}),
      ofClass("QPushButton",
              {&f.Command1, &f.Command2, &f.Command3, &f.Command4, &f.Command9, &f.Command11, &f.Command13,
               &f.Command14, &f.Command18, &f.Command19, &f.Command20, &f.Command21, &f.Command22,
               &f.Command23, &f.Command26, &f.Command27, &f.Command28}),
      ofClass("QRadioButton", {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5}),
      ofClass("QLineEdit", {&f.Text1, &f.Text2, &f.Text3}),
      ofClass("QLabel", {&f.Label1,  &f.Label2,  &f.Label3,  &f.Label4,  &f.Label5,  &f.Label6,
                         &f.Label7,  &f.Label8,  &f.Label9,  &f.Label10, &f.Label11, &f.Label12,
                         &f.Label13, &f.Label14, &f.Label18, &f.Label19, &f.Label21, &f.Label22,
                         &f.Label23, &f.Label24, &f.Label25, &f.Label27, &f.Label28, &f.Label29}),
      ofClass("QCheckBox", {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Check5, &f.Check6, &f.Check7,
                            &f.Check8, &f.Check9, &f.Check10, &f.Check11, &f.Check12, &f.Check13, &f.Check14,
                            &f.Check15, &f.Check16, &f.Check17}),
      ofClass("QListWidget", {&f.List1, &f.List2, &f.List3, &f.List4}),
      ofClass("QComboBox", {&f.Combo1}),
      ofClass("QSlider", {&f.Slider1}),
      ofClass("QProgressBar", {&f.ProgressBar1, &f.ProgressBar2}),
  });
}

std::vector<Expect> form2Controls() {
  auto& f = windows::Form2();
  return {{&f.Picture1, "QLabel"}, {&f.StatusBar1, "QStatusBar"}, {&f.ProgressBar1, "QProgressBar"}};
}

std::vector<Expect> readmeControls() {
  auto& f = windows::Readme();
  return {{&f.List1, "QListWidget"}, {&f.Command1, "QPushButton"}};
}

std::vector<Expect> smartSaveControls() {
  auto& f = windows::FrmSmartSave();
  return {{&f.Label2, "QLabel"},         {&f.Label3, "QLabel"},
          {&f.Command1, "QPushButton"},  {&f.ProgressBar1, "QProgressBar"},
          {&f.StatusBar1, "QStatusBar"}, {&f.Picture1, "QLabel"}};
}

std::vector<Expect> notEmptyControls() {
  auto& f = windows::frmNotEmpty();
  return {{&f.Label1, "QLabel"},
          {&f.Command1, "QPushButton"},
          {&f.Command2, "QPushButton"},
          {&f.Command3, "QPushButton"}};
}

std::vector<Expect> animateControls() {
  auto& f = windows::Animate();
  return {{&f.hWndStatic, "QWidget"},
          {&f.Label1, "QLabel"},
          {&f.ProgressBar1, "QProgressBar"},
          {&f.Command1, "QPushButton"}};
}

struct WindowCase {
  const char* name;
  forms::Form& (*form)();
  std::vector<Expect> (*controls)();
};

const WindowCase kWindows[] = {
    {"Form1", []() -> forms::Form& { return Form1(); }, form1Controls},
    {"Form2", []() -> forms::Form& { return windows::Form2(); }, form2Controls},
    {"Readme", []() -> forms::Form& { return windows::Readme(); }, readmeControls},
    {"FrmSmartSave", []() -> forms::Form& { return windows::FrmSmartSave(); }, smartSaveControls},
    {"frmNotEmpty", []() -> forms::Form& { return windows::frmNotEmpty(); }, notEmptyControls},
    {"Animate", []() -> forms::Form& { return windows::Animate(); }, animateControls},
};

// Designer names of controls (not layouts, spacers or tab pages).
const QRegularExpression kControlName(
    "^(Check|Command|Label|Frame|List|Option|Text|Combo|Slider|ProgressBar|StatusBar|Picture|SSTab|Timer|frm)"
    "[A-Za-z]*[0-9]*$");

TEST(MainWindows, EveryNamedControlIsFoundWithTheQtClassOfItsKind) {
  for (const WindowCase& w : kWindows) {
    SCOPED_TRACE(w.name);
    forms::Form& form = w.form();
    QWidget* window = form.widget();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->objectName().toStdString(), w.name);
    EXPECT_FALSE(window->isVisible()) << "touching a window loads it hidden";

    QSet<QString> declared;
    for (const Expect& e : w.controls()) {
      SCOPED_TRACE(e.control->name());
      QWidget* widget = e.control->widget();
      ASSERT_NE(widget, nullptr);
      EXPECT_EQ(widget->objectName().toStdString(), e.control->name());
      EXPECT_STREQ(widget->metaObject()->className(), e.qtClass);
      EXPECT_EQ(window->findChildren<QWidget*>(widget->objectName()).size(), 1) << "names are unique";
      declared.insert(widget->objectName());
    }
    // And the other way round: no control in the .ui lacks its member.
    for (QWidget* child : window->findChildren<QWidget*>()) {
      if (kControlName.match(child->objectName()).hasMatch()) {
        EXPECT_TRUE(declared.contains(child->objectName())) << child->objectName().toStdString();
      }
    }
  }
}

// The tab index of the page that holds `w`, -1 outside the tab control.
int pageOf(QWidget* w) {
  auto* tabs = qobject_cast<QTabWidget*>(Form1().SSTab2.widget());
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->widget(i)->isAncestorOf(w)) return i;
  return -1;
}

TEST(MainWindows, Form1PagesHoldTheirFramesAndControls) {
  auto& f = Form1();
  ASSERT_EQ(f.SSTab2.tabs(), 6);
  const char* captions[] = {"Save", "Restore", "Options", "Tools", "Maintenance", "Info"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(f.SSTab2.tabCaption(i), captions[i]);
  EXPECT_EQ(f.SSTab2.tab(), 0);

  struct Placed {
    forms::Control& control;
    int page;
  };
  const Placed placed[] = {
      {f.frmSave, 0},
      {f.Option1, 0},
      {f.Text1, 0},
      {f.Label2, 0},
      {f.Command1, 0},
      {f.Text2, 0},
      {f.Command19, 0},
      {f.Command22, 0},
      {f.ProgressBar1, 0},
      {f.frmRestore, 1},
      {f.List2, 1},
      {f.List1, 1},
      {f.Command4, 1},
      {f.Command27, 1},
      {f.ProgressBar2, 1},
      {f.Label3, 1},
      {f.frmOptions, 2},
      {f.Check1, 2},
      {f.Check17, 2},
      {f.Command20, 2},
      {f.Command21, 2},
      {f.Command11, 2},
      {f.Command14, 2},
      {f.frmTools, 3},
      {f.Command18, 3},
      {f.Combo1, 3},
      {f.Text3, 3},
      {f.Slider1, 3},
      {f.Command26, 3},
      {f.frmNance, 4},
      {f.List3, 4},
      {f.Command13, 4},
      {f.Frame14, 4},
      {f.Command28, 4},
      {f.frmInfo, 5},
      {f.Label5, 5},
      {f.Label13, 5},
      {f.Command23, 5},
      {f.Command9, 5},
      // The frame buttons, the status bar and the scratch list belong to no page.
      {f.Command2, -1},
      {f.Command3, -1},
      {f.StatusBar1, -1},
      {f.List4, -1},
  };
  for (const Placed& p : placed) EXPECT_EQ(pageOf(p.control.widget()), p.page) << p.control.name();

  // The web-update box stands on the Maintenance tab beside the page frame, not in it.
  EXPECT_FALSE(f.frmNance.widget()->isAncestorOf(f.Frame14.widget()));
}

TEST(MainWindows, Form1FramesHoldTheirControls) {
  auto& f = Form1();
  struct InFrame {
    forms::Frame& frame;
    std::vector<forms::Control*> controls;
  };
  const InFrame frames[] = {
      {f.Frame1,
       {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5, &f.Text1, &f.Label1, &f.Label2}},
      {f.Frame7, {&f.Text2, &f.Command19, &f.Command22}},
      {f.Frame2, {&f.List2, &f.Label4}},
      {f.Frame12, {&f.List1, &f.Label27}},
      {f.Frame5,
       {&f.Check2, &f.Check3, &f.Check4, &f.Check5, &f.Check6, &f.Check7, &f.Check8, &f.Check9, &f.Check10,
        &f.Check11, &f.Check12, &f.Check13, &f.Check14, &f.Check15, &f.Check16, &f.Check17, &f.Command20,
        &f.Command21}},
      {f.Frame9, {&f.Check1}},
      {f.Frame8, {&f.Label21, &f.Command11}},
      {f.Frame10, {&f.Command18}},
      {f.Frame11, {&f.Label22, &f.Combo1, &f.Label28, &f.Text3, &f.Label29}},
      {f.Frame13, {&f.Slider1, &f.Label24, &f.Label25, &f.Command26}},
      {f.Frame6, {&f.List3, &f.Label19, &f.Command13}},
      {f.Frame14, {&f.Label23, &f.Command28}},
      {f.Frame3, {&f.Label5, &f.Label6, &f.Label7, &f.Label8, &f.Label9, &f.Label10}},
      {f.Frame4, {&f.Label11, &f.Label12, &f.Label13, &f.Label14, &f.Label18, &f.Command23}},
  };
  for (const InFrame& in : frames)
    for (forms::Control* c : in.controls)
      EXPECT_TRUE(in.frame.widget()->isAncestorOf(c->widget())) << c->name() << " in " << in.frame.name();
  // Start menu and system files are two separate groups.
  EXPECT_FALSE(f.Frame5.widget()->isAncestorOf(f.Check1.widget()));
}

TEST(MainWindows, Form1DesignTimeProperties) {
  auto& f = Form1();
  EXPECT_EQ(f.Text1.maxLength(), 15);
  EXPECT_EQ(f.Text1.text(), "");
  EXPECT_FALSE(f.Text1.locked());
  EXPECT_TRUE(f.Text2.locked());
  EXPECT_EQ(f.Text2.widget()->focusPolicy(), Qt::NoFocus) << "the save folder is not a tab stop";
  EXPECT_TRUE(f.Text3.locked()) << "the SmartSave days are chosen, never typed";

  for (forms::Control* c : std::initializer_list<forms::Control*>{&f.Label2, &f.List1, &f.List2, &f.List3})
    EXPECT_EQ(c->widget()->font().family().toStdString(), "Courier New") << c->name();

  // Disabled until a description, a used slot or a box change enables them.
  for (forms::Control* c : std::initializer_list<forms::Control*>{&f.Command1, &f.Command13, &f.Command14})
    EXPECT_FALSE(c->enabled()) << c->name();
  for (forms::Control* c : std::initializer_list<forms::Control*>{&f.Command2, &f.Command3, &f.Command4})
    EXPECT_TRUE(c->enabled()) << c->name();
  // Enter in the description box presses Save (once a description enables it).
  EXPECT_TRUE(static_cast<QPushButton*>(f.Command1.widget())->isDefault());

  for (forms::CheckBox* c :
       {&f.Check1, &f.Check2, &f.Check3, &f.Check4, &f.Check5, &f.Check6, &f.Check7, &f.Check8, &f.Check9,
        &f.Check10, &f.Check11, &f.Check12, &f.Check13, &f.Check14, &f.Check15, &f.Check16, &f.Check17}) {
    EXPECT_EQ(c->value(), 1) << c->name() << " starts ticked";
    EXPECT_TRUE(c->enabled()) << c->name();
  }

  EXPECT_TRUE(f.Option1.value());
  for (forms::OptionButton* o : {&f.Option2, &f.Option3, &f.Option4, &f.Option5}) EXPECT_FALSE(o->value());

  // Hidden at design time: the restore-finished label and the scratch list.
  EXPECT_TRUE(f.Label3.widget()->isHidden());
  EXPECT_TRUE(f.List4.widget()->isHidden());

  EXPECT_EQ(f.Slider1.min(), 0);
  EXPECT_EQ(f.Slider1.max(), 9);
  EXPECT_EQ(static_cast<QSlider*>(f.Slider1.widget())->orientation(), Qt::Horizontal);
  EXPECT_FALSE(static_cast<QComboBox*>(f.Combo1.widget())->isEditable()) << "a drop-down list";
  EXPECT_EQ(f.Combo1.listCount(), 0) << "filled at start-up";
  EXPECT_EQ(f.ProgressBar1.max(), 10) << "one step per archive run";
  EXPECT_EQ(f.ProgressBar2.max(), 100);
  EXPECT_EQ(f.ProgressBar1.value(), 0);
  EXPECT_EQ(f.ProgressBar2.value(), 0);
  for (forms::ListBox* l : {&f.List1, &f.List2, &f.List3, &f.List4}) EXPECT_EQ(l->listCount(), 0);

  // The frame captions and button texts the user sees before the window texts load.
  EXPECT_EQ(f.Frame13.caption(), "Compression ");
  EXPECT_EQ(f.Check8.caption(), "Autoexec.bat");
  EXPECT_EQ(f.Option1.caption(), "Configuration  1:");
  EXPECT_EQ(f.Command13.caption(), "&De&lete");
}

TEST(MainWindows, Form1SlotButtonsAreOneExclusiveGroup) {
  auto& f = Form1();
  f.Option3.setValue(true);
  EXPECT_TRUE(f.Option3.value());
  for (forms::OptionButton* o : {&f.Option1, &f.Option2, &f.Option4, &f.Option5}) EXPECT_FALSE(o->value());
  f.Option1.setValue(true);
  EXPECT_FALSE(f.Option3.value());
}

TEST(MainWindows, SmallWindowsDesignTimeProperties) {
  auto& splash = windows::Form2();
  EXPECT_EQ(splash.Timer1.interval(), 500);
  EXPECT_TRUE(splash.Timer1.enabled());
  EXPECT_EQ(splash.ProgressBar1.min(), 0);
  EXPECT_EQ(splash.ProgressBar1.max(), 100);
  EXPECT_EQ(splash.caption(), "Starting Kelvaran 2.6 ...");

  auto& readme = windows::Readme();
  EXPECT_EQ(readme.caption(), "Readme");
  EXPECT_EQ(readme.Command1.caption(), "Close");
  EXPECT_EQ(readme.List1.listCount(), 0);

  auto& smart = windows::FrmSmartSave();
  EXPECT_EQ(smart.Timer1.interval(), 500);
  EXPECT_TRUE(smart.Timer1.enabled());
  EXPECT_EQ(smart.Command1.caption(), "Cancel");
  EXPECT_EQ(smart.ProgressBar1.max(), 10);
  EXPECT_EQ(smart.Label3.caption(), "");

  auto& notEmpty = windows::frmNotEmpty();
  EXPECT_EQ(notEmpty.caption(), "Mitteilung");
  EXPECT_EQ(notEmpty.Tag, "");

  auto& animate = windows::Animate();
  EXPECT_EQ(animate.caption(), "Copy files");
  EXPECT_EQ(animate.Command1.caption(), "Cancel");
  QWidget* host = animate.hWndStatic.widget();
  EXPECT_EQ(host->geometry(), QRect(0, 0, 300, 50)) << "the animation's place at the top left";
}

TEST(MainWindows, WindowVariablesStartEmptyOnEveryLoad) {
  auto& notEmpty = windows::frmNotEmpty();
  notEmpty.load();
  notEmpty.Tag = "Continue";
  notEmpty.unload();
  QApplication::processEvents();
  EXPECT_EQ(notEmpty.Label1.caption(), "") << "touching the control loads a fresh window";
  EXPECT_TRUE(notEmpty.loaded());
  EXPECT_EQ(notEmpty.Tag, "");

  auto& smart = windows::FrmSmartSave();
  smart.load();
  smart.Countdown = 3;
  smart.unload();
  QApplication::processEvents();
  smart.load();
  EXPECT_EQ(smart.Countdown, 0);
  smart.unload();
}

TEST(MainWindows, EachSlotNameStandsLevelWithItsSlotButton) {
  auto& f = Form1();
  f.Label2.setCaption("Alpha\rBravo\rCharlie\rDelta\rEcho");
  f.show();
  QWidget* label = f.Label2.widget();
  const QImage shot = label->grab().toImage();
  // Text on row y of the label (its frame left out).
  const auto inked = [&](int y) {
    for (int x = 4; x < shot.width() - 4; ++x)
      if (qGray(shot.pixel(x, y)) < 110) return true;
    return false;
  };
  forms::OptionButton* buttons[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5};
  std::vector<int> centres;
  for (forms::OptionButton* button : buttons)
    centres.push_back(label->mapFrom(label->parentWidget(), button->widget()->geometry().center()).y());
  for (std::size_t k = 0; k < centres.size(); ++k) {
    SCOPED_TRACE(k + 1);
    EXPECT_TRUE(inked(centres[k])) << "no name beside the button";
    if (k + 1 < centres.size()) {
      EXPECT_FALSE(inked((centres[k] + centres[k + 1]) / 2)) << "a name between two buttons";
    }
  }
  f.hide();
  f.Label2.setCaption("");
}

}  // namespace
