// The dialogs service: the scripted answers of tests, the message box styles,
// and the file dialog's texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "forms/app.h"
#include "forms/file_dialog_text.h"
#include "forms/msgbox_style.h"
#include "forms/qt_dialogs.h"
#include "forms/scripted_dialogs_gtest.h"
#include "platform/error.h"

namespace {

using forms::ScriptedDialogs;

class Scripted : public forms::ScriptedDialogsTest {};

TEST_F(Scripted, ExpectedPromptsAreAnsweredInOrderAfterTheirActions) {
  std::vector<std::string> steps;
  dialogs()
      .expect("Save settings")
      .style(forms::vbYesNo + forms::vbQuestion)
      .title("Confirmation")
      .answer(forms::vbYes);
  dialogs()
      .expect("Insert disk")
      .containing()
      .then([&] { steps.push_back("disk inserted"); })
      .answer(forms::vbOK);
  dialogs().expectInput("Name").answerText("Before");
  dialogs().expectFileOpen("Select user-defined Files").answerText(std::string("C:\\\0a.ini\0b.ini", 15));
  dialogs().expectFolder("Choose").cancel();
  dialogs().expectFormat('A').formatted(true);

  EXPECT_EQ(forms::msgBox("Save settings", forms::vbYesNo + forms::vbQuestion, "Confirmation"), forms::vbYes);
  EXPECT_EQ(forms::msgBox("Please Insert disk 2"), forms::vbOK);
  steps.push_back("after box");
  EXPECT_EQ(forms::inputBox("Name"), "Before");
  EXPECT_EQ(forms::dialogService().fileOpen("Select user-defined Files", "", true, "C:\\"),
            std::string("C:\\\0a.ini\0b.ini", 15));
  EXPECT_EQ(forms::dialogService().browseForFolder("Choose"), "");
  EXPECT_TRUE(forms::dialogService().formatDrive('A'));
  EXPECT_EQ(steps, (std::vector<std::string>{"disk inserted", "after box"}));
  EXPECT_EQ(dialogs().shown().size(), 6u);
}

TEST_F(Scripted, TimesRepeatsOneExpectationAndACancelledInputIsNullopt) {
  dialogs().expect("Retry?").times(2).answer(forms::vbRetry);
  dialogs().expectInput("Name").cancel();
  EXPECT_EQ(forms::msgBox("Retry?", forms::vbRetryCancel), forms::vbRetry);
  EXPECT_EQ(forms::msgBox("Retry?", forms::vbRetryCancel), forms::vbRetry);
  EXPECT_EQ(forms::inputBox("Name", "", "default"), std::nullopt);
}

// Failures are collected instead of failing this test.
class Failures : public ::testing::Test {
 protected:
  void SetUp() override {
    ScriptedDialogs::setFailureReporter([this](const std::string& m) { reports.push_back(m); });
    dialogs = &ScriptedDialogs::install();
  }
  void TearDown() override {
    forms::reportScriptedDialogsToGtest();
    forms::setDialogService(nullptr);
  }
  ScriptedDialogs* dialogs = nullptr;
  std::vector<std::string> reports;
};

TEST_F(Failures, AnUnexpectedPromptFailsWithItsTextAndGetsTheAnswerThatRisksNothing) {
  EXPECT_EQ(forms::msgBox("Delete the slot?", forms::vbYesNo), forms::vbNo);
  EXPECT_EQ(forms::msgBox("Disk full", forms::vbAbortRetryIgnore), forms::vbAbort);
  EXPECT_EQ(forms::inputBox("Name"), std::nullopt);
  EXPECT_FALSE(forms::dialogService().formatDrive('A'));
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_NE(reports[0].find("Delete the slot?"), std::string::npos);
}

TEST_F(Failures, APromptThatDiffersFromTheNextExpectationFails) {
  struct Case {
    const char* what;
    std::function<void(ScriptedDialogs&)> expect;
    std::function<void()> show;
  };
  const Case cases[] = {
      {"other text", [](ScriptedDialogs& d) { d.expect("Saved"); }, [] { forms::msgBox("Not saved"); }},
      {"other style", [](ScriptedDialogs& d) { d.expect("Saved").style(64); },
       [] { forms::msgBox("Saved", 16); }},
      {"other title", [](ScriptedDialogs& d) { d.expect("Saved").title("Message"); },
       [] { forms::msgBox("Saved", 0, "Warning!"); }},
      {"other kind", [](ScriptedDialogs& d) { d.expectInput("Saved"); }, [] { forms::msgBox("Saved"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    reports.clear();
    c.expect(*dialogs);
    c.show();
    EXPECT_EQ(reports.size(), 1u);
    dialogs->verify();  // the unmatched expectation stays and is reported too
    EXPECT_EQ(reports.size(), 2u);
  }
}

// Code that keeps asking once the script has lost it (a prompt in a loop that
// only OK leaves) is stopped instead of asking until the test's time is up.
TEST_F(Failures, APromptInALoopThatOnlyOkLeavesIsStopped) {
  int asked = 0;
  EXPECT_THROW(
      {
        while (forms::msgBox("Please insert Disk No. 2 now!", forms::vbOKOnly) == forms::vbOK) ++asked;
      },
      ScriptedDialogs::Runaway);
  EXPECT_EQ(asked, ScriptedDialogs::kMostUnexpected);
  EXPECT_EQ(reports.size(), ScriptedDialogs::kMostUnexpected + 1u);
  EXPECT_NE(reports.back().find("keeps asking"), std::string::npos);
}

TEST_F(Failures, VerifyReportsEveryExpectationThatWasNeverShown) {
  dialogs->expect("One");
  dialogs->expectFolder("Two");
  dialogs->verify();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_NE(reports[1].find("Two"), std::string::npos);
  EXPECT_EQ(dialogs->pending(), 0u);
}

TEST(MsgBoxLayout, StyleFlagsGiveButtonsIconDefaultAndHelp) {
  using forms::MsgIcon;
  struct Case {
    int style;
    std::vector<int> buttons;
    MsgIcon icon;
    int defaultAnswer;
    int escape;
    bool help;
  };
  const Case cases[] = {
      {0, {1}, MsgIcon::None, 1, 1, false},
      {1 + 48, {1, 2}, MsgIcon::Exclamation, 1, 2, false},
      {2 + 16, {3, 4, 5}, MsgIcon::Critical, 3, 0, false},
      {3 + 512, {6, 7, 2}, MsgIcon::None, 2, 2, false},
      {4 + 32 + 256, {6, 7}, MsgIcon::Question, 7, 0, false},
      {5 + 64, {4, 2}, MsgIcon::Information, 4, 2, false},
      {4 + 512, {6, 7}, MsgIcon::None, 6, 0, false},  // no third button: the first
      {16 + 16384, {1}, MsgIcon::Critical, 1, 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    forms::MsgBoxLayout layout = forms::msgBoxLayout(c.style);
    EXPECT_EQ(layout.buttons, c.buttons);
    EXPECT_EQ(layout.icon, c.icon);
    EXPECT_EQ(layout.defaultAnswer, c.defaultAnswer);
    EXPECT_EQ(layout.escapeAnswer, c.escape);
    EXPECT_EQ(layout.helpButton, c.help);
  }
  EXPECT_THROW(forms::msgBoxLayout(6), platform::RuntimeError);
  EXPECT_EQ(forms::promptLines("one\rtwo\r\nthree"), "one\ntwo\nthree");
}

TEST(QtMsgBox, ShowsTheStyledBoxWithTheAppTitleAndReturnsTheClickedAnswer) {
  forms::setAppTitle("Kelvaran");
  QString title, text;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    EXPECT_EQ(box->defaultButton()->text(), "&No");
    for (QAbstractButton* b : box->buttons()) {
      if (b->text() == "&Yes") b->click();
    }
  });
  forms::QtDialogs dialogs;
  EXPECT_EQ(dialogs.msgBox("Save\rsettings", forms::vbYesNo + forms::vbDefaultButton2, ""), forms::vbYes);
  EXPECT_EQ(title, "Kelvaran");
  EXPECT_EQ(text, "Save\nsettings");
}

// Shows a message box of `style` and sends `key` to it once it is up: the
// answer the key gave, 0 when the box stayed open (it is then closed by its
// last button). `flags` gets the box's window flags.
int answerOfKey(int style, Qt::Key key, Qt::WindowFlags* flags = nullptr) {
  bool stayed = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    if (flags) *flags = box->windowFlags();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &press);
    if (box->isVisible()) {
      stayed = true;
      box->buttons().last()->click();
    }
  });
  forms::QtDialogs dialogs;
  const int answer = dialogs.msgBox("Sure?", style, "Confirmation");
  return stayed ? 0 : answer;
}

TEST(QtMsgBox, EnterGivesTheDefaultAnswerAndEscTheCancelOne) {
  using namespace forms;
  struct Case {
    int style;
    int enter;
    int esc;  // 0: Esc leaves the box open, as a box without Cancel does
  };
  for (const Case& c : {
           Case{vbOKOnly + vbCritical, vbOK, vbOK},
           Case{vbOKCancel, vbOK, vbCancel},
           Case{vbOKCancel + vbInformation + vbDefaultButton2, vbCancel, vbCancel},
           Case{vbYesNo + vbQuestion, vbYes, 0},
           Case{vbYesNo + vbCritical + vbDefaultButton2, vbNo, 0},
           Case{vbYesNoCancel, vbYes, vbCancel},
           Case{vbRetryCancel, vbRetry, vbCancel},
           Case{vbAbortRetryIgnore + vbExclamation + vbDefaultButton2, vbRetry, 0},
       }) {
    SCOPED_TRACE(c.style);
    EXPECT_EQ(answerOfKey(c.style, Qt::Key_Return), c.enter);
    EXPECT_EQ(answerOfKey(c.style, Qt::Key_Escape), c.esc);
  }
}

TEST(QtMsgBox, TheTitleBarHoldsTheCloseBoxAlone) {
  Qt::WindowFlags flags;
  answerOfKey(forms::vbYesNo, Qt::Key_Return, &flags);
  EXPECT_TRUE(flags & Qt::CustomizeWindowHint) << "the window manager's own buttons are not asked for";
  EXPECT_TRUE(flags & Qt::WindowTitleHint);
  EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

TEST(FileDialogText, FiltersBecomeQtNameFilters) {
  EXPECT_EQ(forms::qtNameFilters("All Files (*.*)|*.*|INI Files (*.ini)|*.ini|DAT Files (*.dat)|*.dat|"),
            (std::vector<std::string>{"All Files (*.*) (*)", "INI Files (*.ini) (*.ini)",
                                      "DAT Files (*.dat) (*.dat)"}));
  EXPECT_EQ(forms::qtNameFilters("Text|*.txt;*.log"), (std::vector<std::string>{"Text (*.txt *.log)"}));
  EXPECT_TRUE(forms::qtNameFilters("").empty());
}

TEST(FileDialogText, TheAnswerIsAPathOrAFolderAndNulSeparatedNames) {
  using namespace std::string_literals;
  struct Case {
    std::vector<std::string> chosen;
    std::string answer;
  };
  const Case cases[] = {
      {{}, ""},
      {{"C:\\WINDOWS\\WIN.INI"}, "C:\\WINDOWS\\WIN.INI"},
      {{"C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\SYSTEM.INI"}, "C:\\WINDOWS\0WIN.INI\0SYSTEM.INI"s},
      {{"C:\\AUTOEXEC.BAT", "C:\\CONFIG.SYS"}, "C:\\\0AUTOEXEC.BAT\0CONFIG.SYS"s},
  };
  for (const Case& c : cases) EXPECT_EQ(forms::encodeSelection(c.chosen), c.answer);
}

}  // namespace
