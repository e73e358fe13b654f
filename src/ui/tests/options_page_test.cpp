// The Options page (save boxes, All, None, Save settings) and the compression
// slider with its Default button.
#include <string>
#include <vector>

#include "core/state.h"
#include "support/window_fixture.h"
#include "windows/form1.h"

namespace {

class OptionsPageTest : public uitest::UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    auto& f = windows::Form1();
    f.load();
    core::state().ConfigNames(1) = "available";  // the settings writer needs a named first slot
    settle();
  }

  // As after start-up: the settings written, Save settings disabled.
  static void settle() {
    windows::Form1().Command14.setEnabled(false);
    core::state().SettingsSaved = true;
  }
  static std::vector<forms::CheckBox*> boxes() {
    auto& f = windows::Form1();
    return {&f.Check1,  &f.Check2,  &f.Check3,  &f.Check4,  &f.Check5,  &f.Check6,
            &f.Check7,  &f.Check8,  &f.Check9,  &f.Check10, &f.Check11, &f.Check12,
            &f.Check13, &f.Check14, &f.Check15, &f.Check16, &f.Check17};
  }
  std::string settingsValue(const std::string& section, const std::string& key) const {
    const std::string ini = machine.read("C:\\Program Files\\Kelvaran\\kelvaran.ini");
    const std::string head = "[" + section + "]";
    const auto start = ini.find(head);
    if (start == std::string::npos) return "<no section>";
    const auto line = ini.find("\n" + key + "=", start);
    if (line == std::string::npos) return "<no key>";
    const auto value = line + key.size() + 2;
    return ini.substr(value, ini.find_first_of("\r\n", value) - value);
  }
};

TEST_F(OptionsPageTest, EveryBoxChangeMarksTheSettingsUnsavedAndSaveSettingsStoresThem) {
  auto& f = windows::Form1();
  for (forms::CheckBox* box : boxes()) {
    for (int toggle = 0; toggle < 2; ++toggle) {
      settle();
      box->setValue(1 - box->value());
      EXPECT_TRUE(f.Command14.enabled()) << box->name();
      EXPECT_FALSE(core::state().SettingsSaved) << box->name();
    }
  }
  f.Check2.setValue(0);   // Win.ini
  f.Check12.setValue(1);  // Dblspace.bin
  f.Command14.click();
  EXPECT_FALSE(f.Command14.enabled());
  EXPECT_TRUE(core::state().SettingsSaved);
  EXPECT_EQ(settingsValue("SystemFiles", "Win.ini"), "0");
  EXPECT_EQ(settingsValue("SystemFiles", "DblSpace.bin"), "1");
}

TEST_F(OptionsPageTest, AllAndNoneSetTheEnabledSystemFileBoxesOnly) {
  auto& f = windows::Form1();
  for (forms::CheckBox* box : boxes()) box->setEnabled(true);
  f.Check15.setValue(0);  // Dblspace.ini and Drvspace.bin are missing on this machine
  f.Check15.setEnabled(false);
  f.Check17.setValue(0);
  f.Check17.setEnabled(false);
  const struct {
    forms::CommandButton* button;
    int value;
  } cases[] = {{&f.Command21, 0}, {&f.Command20, 1}};
  for (int startMenu : {0, 1}) {
    for (const auto& c : cases) {
      f.Check1.setValue(startMenu);
      settle();
      c.button->click();
      for (forms::CheckBox* box : boxes()) {
        const int expected = box == &f.Check1 ? startMenu : box->enabled() ? c.value : 0;
        EXPECT_EQ(box->value(), expected) << box->name() << " after " << c.button->name();
      }
      EXPECT_TRUE(f.Command14.enabled());
      EXPECT_FALSE(core::state().SettingsSaved);
    }
  }
}

TEST_F(OptionsPageTest, NoneWithNothingTickedOnlyMarksTheSettingsUnsaved) {
  auto& f = windows::Form1();
  f.Command21.click();
  settle();
  f.Command21.click();
  EXPECT_FALSE(f.Command14.enabled());
  EXPECT_FALSE(core::state().SettingsSaved);
}

TEST_F(OptionsPageTest, SliderSetsTheLevelAndDefaultPutsItBackToOne) {
  auto& f = windows::Form1();
  const struct {
    int position;
    std::string level;
  } cases[] = {{9, "9"}, {0, "0"}, {5, "5"}};
  for (const auto& c : cases) {
    f.Slider1.setValue(c.position);
    EXPECT_EQ(core::state().CompressionLevel, c.level);
  }
  f.Command26.click();
  EXPECT_EQ(f.Slider1.value(), 1);
  EXPECT_EQ(core::state().CompressionLevel, "1");
  // The level waits for the next settings write.
  EXPECT_FALSE(f.Command14.enabled());
  EXPECT_TRUE(core::state().SettingsSaved);
  f.Slider1.setValue(9);
  f.Command14.setEnabled(true);
  f.Command14.click();
  EXPECT_EQ(settingsValue("Settings", "Compression"), "9");
}

TEST_F(OptionsPageTest, ButtonsDoNothingWhileASaveRuns) {
  auto& f = windows::Form1();
  f.Check2.setValue(1);
  f.Slider1.setValue(7);
  settle();
  f.Command2.setEnabled(false);  // the save engine's mark of a running save
  f.Command21.click();
  f.Command26.click();
  EXPECT_EQ(f.Check2.value(), 1);
  EXPECT_EQ(core::state().CompressionLevel, "7");
  // A box or the slider moved by hand goes back: the save reads them.
  f.Check2.setValue(0);
  f.Check1.setValue(f.Check1.value() ? 0 : 1);
  f.Slider1.setValue(3);
  EXPECT_EQ(f.Check2.value(), 1);
  EXPECT_EQ(f.Slider1.value(), 7);
  EXPECT_EQ(core::state().CompressionLevel, "7");
  EXPECT_TRUE(core::state().SettingsSaved);
  f.Command2.setEnabled(true);
}

}  // namespace
