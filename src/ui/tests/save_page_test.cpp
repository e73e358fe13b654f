// The Save page: slot buttons, the description checks, the overwrite question
// and the hand-over to the save engine (a stand-in engine here; the end-to-end
// save at the bottom runs the real one).
#include "ui/save_page.h"

#include <QLineEdit>
#include <array>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "core/startup.h"
#include "core/state.h"
#include "forms/dialogs.h"
#include "support/window_fixture.h"
#include "ui/system_probe.h"
#include "windows/form1.h"
#include "windows/readme.h"

namespace {

using forms::vbCritical;
using forms::vbDefaultButton2;
using forms::vbNo;
using forms::vbOKOnly;
using forms::vbQuestion;
using forms::vbYes;
using forms::vbYesNo;

// What the engine found when the Save button called it.
struct EngineCall {
  int currentConfig;
  std::string name;
  std::string iniPath;
  std::string configIniPath;
  std::string description;
};

class SavePageTest : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    windows::Form1().load();
    core::state().SaveFolder = "C:\\Saves\\";
    useSlots({"available", "Work", "available", "Games", "available"});
    ui::setSaveEngine([this] {
      const core::State& st = core::state();
      calls.push_back({st.CurrentConfig, st.ConfigNames(st.currentSlot()), st.IniPath, st.ConfigIniPath,
                       st.ConfigDescription});
      core::state().SaveSucceeded = engineSucceeds;
    });
  }
  void TearDown() override {
    ui::setSaveEngine({});
    UiTest::TearDown();
  }

  // The slot names and their rows in the Restore page's list (a free slot's
  // row is exactly the free name, a used one's is the formatted row).
  static void useSlots(const std::array<std::string, 5>& names) {
    for (int n = 1; n <= 5; ++n) {
      core::state().ConfigNames(n) = names[n - 1];
      const std::string row =
          names[n - 1] == "available" ? names[n - 1] : std::to_string(n) + " " + names[n - 1];
      windows::Form1().List2.setList(n - 1, row);
    }
  }
  static forms::OptionButton& option(int k) {
    auto& f = windows::Form1();
    forms::OptionButton* buttons[] = {&f.Option1, &f.Option2, &f.Option3, &f.Option4, &f.Option5};
    return *buttons[k - 1];
  }
  static void describe(int k, const std::string& text) {
    option(k).setValue(true);
    windows::Form1().Text1.setText(text);
  }

  std::vector<EngineCall> calls;
  bool engineSucceeds = true;
};

TEST(DescriptionRefusal, RefusesEmptyFreeNamesBlanksQuotesAndControlCharacters) {
  const struct {
    std::string text;
    int refusal;
  } cases[] = {
      {"", 1504},          {"available", 1504}, {"verfuegbar", 1504}, {"Available", 0},
      {"Verfuegbar", 0},   {"Work1", 0},        {"B\xFCro-2", 0},     {"two words", 1031},
      {"trailing ", 1031}, {" leading", 1031},  {"say\"hi", 1031},    {"tab\there", 1031},
      {"cr\rlf\n", 1031},  {"del\x7F", 1031},   {"available ", 1031}, {std::string("nul\0x", 5), 1031},
  };
  for (const auto& c : cases) EXPECT_EQ(ui::descriptionRefusal(c.text), c.refusal) << '"' << c.text << '"';
}

TEST_F(SavePageTest, WindowOpensOnSlotOneWithAnEmptyDescriptionAndSaveDisabled) {
  auto& f = windows::Form1();
  EXPECT_TRUE(f.Option1.value());
  EXPECT_EQ(f.Text1.text(), "");
  EXPECT_FALSE(f.Command1.enabled());
  EXPECT_EQ(f.Text1.maxLength(), 15);
}

TEST_F(SavePageTest, SlotButtonShowsTheSlotsNameOrEmptiesTheBoxForAFreeSlot) {
  const struct {
    int k;
    std::string text;
    bool saveEnabled;
    std::string status;
  } cases[] = {
      {2, "Work", true, "Save as Configuration # 2"},
      {3, "", false, "Select a configuration number and enter a description"},
      {4, "Games", true, "Save as Configuration # 4"},
      {1, "", false, "Select a configuration number and enter a description"},
  };
  auto& f = windows::Form1();
  for (const auto& c : cases) {
    option(c.k).setValue(true);
    EXPECT_EQ(core::state().CurrentConfig, c.k - 1);
    EXPECT_EQ(f.Text1.text(), c.text) << c.k;
    EXPECT_EQ(f.Command1.enabled(), c.saveEnabled) << c.k;
    EXPECT_EQ(f.StatusBar1.simpleText(), c.status) << c.k;
  }
}

TEST_F(SavePageTest, TypingEnablesSaveAndEmptyingDisablesIt) {
  auto& f = windows::Form1();
  f.Text1.setText("x");
  EXPECT_TRUE(f.Command1.enabled());
  f.Text1.setText("");
  EXPECT_FALSE(f.Command1.enabled());
  f.Text1.setText("a-description-far-too-long");
  EXPECT_EQ(f.Text1.text().size(), 15u);
}

TEST_F(SavePageTest, RefusedDescriptionShowsItsMessageAndChangesNothing) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"available", "Please enter a Description"},
      {"verfuegbar", "Please enter a Description"},
      {"my config", "Only 'A-Z' and '0-9' (without spaces) are allowed!"},
      {"say\"hi\"", "Only 'A-Z' and '0-9' (without spaces) are allowed!"},
      {"tab\tx", "Only 'A-Z' and '0-9' (without spaces) are allowed!"},
  };
  auto& f = windows::Form1();
  for (const auto& c : cases) {
    describe(3, c.text);
    dialogs().expect(c.message).style(vbOKOnly + vbCritical).title("Message");
    f.Command1.click();
    EXPECT_EQ(core::state().ConfigNames(3), "available") << c.text;
    EXPECT_TRUE(f.Command1.enabled()) << c.text;
  }
  // A character the Windows code page cannot hold is refused before anything
  // is written, not saved as "?".
  describe(3, "Ohm");
  qobject_cast<QLineEdit*>(f.Text1.widget())->setText(QString::fromUtf8("Ohm\u03a9"));
  dialogs()
      .expect("Only 'A-Z' and '0-9' (without spaces) are allowed!")
      .style(vbOKOnly + vbCritical)
      .title("Message");
  f.Command1.click();
  EXPECT_EQ(core::state().ConfigNames(3), "available");
  EXPECT_TRUE(calls.empty());
}

TEST_F(SavePageTest, EmptyDescriptionIsRefusedEvenWhenSaveIsPressedByCode) {
  windows::Form1().Command1.setEnabled(true);
  dialogs().expect("Please enter a Description").style(vbOKOnly + vbCritical).title("Message");
  windows::Form1().Command1.click();
  EXPECT_TRUE(calls.empty());
}

TEST_F(SavePageTest, SavesIntoTheCheckedSlotWhateverCurrentConfigHolds) {
  describe(3, "Evening");
  core::state().CurrentConfig = 0;  // the Restore page or an import chose slot 1 meanwhile
  windows::Form1().Command1.click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].currentConfig, 2);
  EXPECT_EQ(calls[0].name, "Evening");
  EXPECT_EQ(calls[0].description, "Evening");
  EXPECT_EQ(calls[0].iniPath, "C:\\Program Files\\Kelvaran\\Config3.ini");
  EXPECT_EQ(calls[0].configIniPath, "C:\\Saves\\Config3.ini");
  EXPECT_EQ(core::state().ConfigNames(3), "Evening");
  EXPECT_EQ(core::state().ConfigNames(1), "available");
}

TEST_F(SavePageTest, UsedSlotAsksBeforeOverwritingAndNoLeavesEverythingAsItWas) {
  auto& f = windows::Form1();
  describe(2, "Newer");
  core::state().CurrentConfig = 4;
  dialogs()
      .expect("Configuration already used, overwrite?")
      .style(vbYesNo + vbQuestion)  // Yes the default: the old set stays until the new one is whole
      .title("Confirmation")
      .answer(vbNo);
  f.Command1.click();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(core::state().ConfigNames(2), "Work");
  EXPECT_EQ(core::state().CurrentConfig, 4);
  EXPECT_TRUE(f.Command1.enabled());

  dialogs().expect("Configuration already used, overwrite?").answer(vbYes);
  f.Command1.click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].currentConfig, 1);
  EXPECT_EQ(core::state().ConfigNames(2), "Newer");
}

TEST_F(SavePageTest, FailedSaveGivesTheSlotItsOldNameAndLeavesItsDescriptionFiles) {
  machine.write("C:\\Program Files\\Kelvaran\\Config4.ini", "[Configuration]\r\nConfigName=Games\r\n");
  machine.write("C:\\Saves\\Config4.ini", "[Configuration]\r\nConfigName=Games\r\n");
  engineSucceeds = false;
  describe(4, "Replaced");
  dialogs().expect("Configuration already used, overwrite?").answer(vbYes);
  windows::Form1().Command1.click();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].name, "Replaced");
  EXPECT_EQ(core::state().ConfigNames(4), "Games");
  EXPECT_FALSE(core::state().SaveSucceeded);
  // Only the engine's commit replaces them.
  EXPECT_TRUE(machine.exists("C:\\Program Files\\Kelvaran\\Config4.ini"));
  EXPECT_TRUE(machine.exists("C:\\Saves\\Config4.ini"));
}

TEST_F(SavePageTest, SaveStaysDisabledAfterASaveUntilTheDescriptionOrSlotChanges) {
  auto& f = windows::Form1();
  for (bool succeeds : {true, false}) {
    engineSucceeds = succeeds;
    describe(5, "Night");
    f.Command1.click();
    EXPECT_FALSE(f.Command1.enabled()) << succeeds;
    f.Text1.setText("Night2");
    EXPECT_TRUE(f.Command1.enabled()) << succeeds;
    useSlots({"available", "Work", "available", "Games", "available"});
  }
}

TEST_F(SavePageTest, WhileASaveRunsSaveAndTheSlotButtonsDoNothing) {
  auto& f = windows::Form1();
  describe(3, "First");
  ui::setSaveEngine([&] {
    f.Command2.setEnabled(false);  // as the engine does while it runs
    calls.push_back({core::state().CurrentConfig, "", "", "", ""});
    option(5).setValue(true);
    EXPECT_EQ(core::state().CurrentConfig, 2);
    EXPECT_TRUE(f.Option3.value());
    f.Text1.setText("Second");
    f.Command1.click();
    f.Command2.setEnabled(true);
    core::state().SaveSucceeded = true;
  });
  f.Command1.click();
  EXPECT_EQ(calls.size(), 1u);
  EXPECT_EQ(core::state().ConfigNames(3), "First");
  EXPECT_EQ(core::state().ConfigNames(5), "available");
}

// The Save button with the real engine on the demo machine, as loaded by the
// main window's start-up.
class SaveButtonOnDemoMachine : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    windows::Form1().load();
    loadSplashQuietly();
    ui::CheckSystemf();  // unticks the boxes of the files this machine lacks
    machine.mkdirs("C:\\SAVE\\");
    core::state().SaveFolder = "C:\\SAVE\\";
    core::state().TodayDate = " 9/12/2026";
  }

  static std::string description(const std::string& file) {
    return core::ReadIni("Configuration", "ConfigName", file);
  }

  void saveSlotTwo(const std::string& name) {
    auto& f = windows::Form1();
    f.Option2.setValue(true);
    f.Text1.setText(name);
    core::state().CurrentConfig = 0;
    dialogs()
        .expect("Configuration saved successfull!")
        .style(vbOKOnly + forms::vbInformation)
        .title("Message");
    f.Command1.click();
  }
};

TEST_F(SaveButtonOnDemoMachine, SavesTheMachineIntoTheCheckedSlot) {
  auto& f = windows::Form1();
  const std::string slotOne = core::state().ConfigNames(1);
  saveSlotTwo("Demo");
  const core::State& st = core::state();
  EXPECT_TRUE(st.SaveSucceeded);
  EXPECT_EQ(st.CurrentConfig, 1);
  EXPECT_EQ(st.ConfigNames(2), "Demo");
  EXPECT_EQ(st.ConfigNames(1), slotOne);
  EXPECT_EQ(st.ConfigDates(2), " 9/12/2026");
  EXPECT_TRUE(machine.exists("C:\\SAVE\\Conf2.kvz"));
  EXPECT_FALSE(machine.exists("C:\\SAVE\\Conf1.kvz"));
  EXPECT_EQ(description("C:\\Program Files\\Kelvaran\\Config2.ini"), "Demo");
  EXPECT_EQ(description("C:\\SAVE\\Config2.ini"), "Demo");
  EXPECT_EQ(core::ReadIni("Settings", "Config2", "C:\\Program Files\\Kelvaran\\kelvaran.ini"), "Demo");
  EXPECT_NE(f.List2.list(1).find("Demo"), std::string::npos);
  EXPECT_FALSE(f.Command1.enabled());
  EXPECT_TRUE(f.Command2.enabled());
}

TEST_F(SaveButtonOnDemoMachine, CancelledOverwriteKeepsTheOldSlotWhole) {
  saveSlotTwo("Before");
  ASSERT_TRUE(core::state().SaveSucceeded);
  const std::string oldArchive = machine.read("C:\\SAVE\\Conf2.kvz");
  const std::string oldDescription = machine.read("C:\\Program Files\\Kelvaran\\Config2.ini");

  // The new save folder does not exist, and the user declines both offers.
  core::state().SaveFolder = "C:\\Gone\\";
  windows::Form1().Text1.setText("After");
  dialogs().expect("Configuration already used, overwrite?").answer(vbYes);
  dialogs().expect("The specified folder does not exist:\rC:\\Gone\\").containing().answer(forms::vbCancel);
  dialogs().expect("The specified folder does not exist:").containing().answer(forms::vbCancel);
  windows::Form1().Command1.click();

  EXPECT_FALSE(core::state().SaveSucceeded);
  EXPECT_EQ(core::state().ConfigNames(2), "Before");
  EXPECT_EQ(machine.read("C:\\Program Files\\Kelvaran\\Config2.ini"), oldDescription);
  EXPECT_EQ(description("C:\\SAVE\\Config2.ini"), "Before");
  EXPECT_EQ(machine.read("C:\\SAVE\\Conf2.kvz"), oldArchive);
}

TEST_F(SaveButtonOnDemoMachine, WhileTheDestinationIsCheckedTheWindowStaysAndReadmeOpens) {
  auto& f = windows::Form1();
  f.show();
  core::state().SaveFolder = "C:\\Gone\\";
  f.Option2.setValue(true);
  f.Text1.setText("After");
  const auto tryToLeave = [&f] {
    f.widget()->close();
    f.Command9.click();
    f.Command3.click();
  };
  dialogs()
      .expect("The specified folder does not exist:")
      .containing()
      .answer(forms::vbCancel)
      .then(tryToLeave);
  dialogs().expect("The specified folder does not exist:").containing().answer(forms::vbCancel);
  int ends = 0;
  int readmeShown = 0;
  windows::Readme().onActivate = [&] {
    ++readmeShown;
    windows::Readme().Command1.click();
  };
  core::setProgramEnd([&] { ++ends; });
  f.Command1.click();
  core::setProgramEnd(nullptr);
  windows::Readme().onActivate = nullptr;
  EXPECT_EQ(ends, 0);
  EXPECT_TRUE(f.loaded());
  EXPECT_TRUE(f.visible());
  EXPECT_EQ(readmeShown, 1);
  EXPECT_FALSE(core::state().SaveSucceeded);
}

}  // namespace
