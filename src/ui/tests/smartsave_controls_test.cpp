// The Tools page's SmartSave schedule: the interval list and the days box.
#include "save/smartsave_controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "save/smartsave_state.h"
#include "support/window_fixture.h"
#include "windows/form1.h"

namespace {

using windows::Form1;

const std::string kSmartSv = std::string(uitest::kProgramFolder) + "\\SmartSv.ini";

// The file with line 1 and line 4 as given and the other lines of the
// schedule loaded below.
std::string fileWith(const std::string& interval, const std::string& days) {
  return interval + "\r\n1/11/2026\r\n 2 \r\n" + days +
         "\r\n#1 :  30/Oct/2026\r\n#2 :  1/Nov/2026\r\n#3 : Not Saved\r\n#4 : Not Saved\r\n";
}

class SmartSaveControls : public uitest::UiTest {
 protected:
  // The schedule as the start-up leaves it, the main window shown.
  void SetUp() override {
    UiTest::SetUp();
    machine.write(kSmartSv, fileWith(" 2 ", "7"));
    loadBare(Form1());
    save::InitSmartSave();
    Form1().show();
  }
  std::string file() const { return machine.read(kSmartSv); }
};

TEST_F(SmartSaveControls, EachFixedChoiceSetsItsDaysAndRewritesOnlyLinesOneAndFour) {
  const std::pair<int, const char*> choices[] = {{1, "1"}, {3, "30"}, {0, "0"}, {2, "7"}};
  for (const auto& [index, days] : choices) {
    SCOPED_TRACE(index);
    Form1().Combo1.setListIndex(index);
    EXPECT_EQ(Form1().Text3.text(), days);
    EXPECT_EQ(file(), fileWith(" " + std::to_string(index) + " ", days));
  }
}

TEST_F(SmartSaveControls, UserDefinedTakesTheAnsweredDays) {
  dialogs().expectInput("Enter the frequency in days").answerText("14");
  Form1().Combo1.setListIndex(4);
  EXPECT_EQ(Form1().Text3.text(), "14");
  EXPECT_EQ(file(), fileWith(" 4 ", "14"));
}

TEST_F(SmartSaveControls, UserDefinedCancelledOrEmptyKeepsTheDaysButStoresTheChoice) {
  dialogs().expectInput("Enter the frequency in days").cancel();
  Form1().Combo1.setListIndex(4);
  EXPECT_EQ(Form1().Text3.text(), "7");
  EXPECT_EQ(file(), fileWith(" 4 ", "7"));

  dialogs().expectInput("Enter the frequency in days").answerText("");
  save::SelectInterval(4);  // chosen again by code: asked again
  EXPECT_EQ(file(), fileWith(" 4 ", "7"));
}

TEST_F(SmartSaveControls, AClickOnTheDaysBoxAsksEvenWhenUserDefinedWasChosen) {
  EXPECT_TRUE(Form1().Text3.locked());
  for (const char* answer : {"5", "9"}) {
    SCOPED_TRACE(answer);
    dialogs().expectInput("Enter the frequency in days").answerText(answer);
    Form1().Text3.onClick();
    EXPECT_EQ(Form1().Combo1.listIndex(), 4);
    EXPECT_EQ(file(), fileWith(" 4 ", answer));
  }
  // Cancelled: "Daily" already put its day into the box.
  dialogs().expectInput("Enter the frequency in days").cancel();
  Form1().Text3.onClick();
  EXPECT_EQ(Form1().Text3.text(), "1");
  EXPECT_EQ(file(), fileWith(" 4 ", "1"));
}

TEST_F(SmartSaveControls, WhileASaveRunsTheScheduleStaysAsItIs) {
  Form1().Command2.setEnabled(false);  // the save engine's mark of a running save
  Form1().Combo1.setListIndex(1);
  EXPECT_EQ(Form1().Combo1.listIndex(), 2);
  Form1().Text3.onClick();  // no question
  EXPECT_EQ(Form1().Text3.text(), "7");
  EXPECT_EQ(file(), fileWith(" 2 ", "7"));
  Form1().Command2.setEnabled(true);
}

TEST_F(SmartSaveControls, AnAnswerWithALineBreakIsNotTaken) {
  dialogs().expectInput("Enter the frequency in days").answerText("3\r\n4");
  Form1().Combo1.setListIndex(4);
  EXPECT_EQ(Form1().Text3.text(), "7");
  EXPECT_EQ(file(), fileWith(" 4 ", "7"));
}

TEST_F(SmartSaveControls, WhileTheMainWindowIsHiddenNothingIsAsked) {
  Form1().hide();
  Form1().Combo1.setListIndex(4);
  EXPECT_EQ(Form1().Text3.text(), "7");
  EXPECT_EQ(file(), fileWith(" 4 ", "7"));
}

}  // namespace
