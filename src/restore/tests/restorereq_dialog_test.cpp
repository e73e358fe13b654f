// The restore dialog: what its activation offers, All and None of both tabs,
// the label of a complete user-file selection, Cancel and OK.
#include "restore/restorereq_dialog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "core/state.h"
#include "restore/restore_boxes.h"
#include "support/restore_fixture.h"
#include "windows/restorereq.h"

namespace restore {
namespace {

class RestoreReqDialog : public restoretest::RestoreTest {
 protected:
  void SetUp() override {
    RestoreTest::SetUp();
    static const bool bound = (bindRestoreReq(), true);
    (void)bound;
  }
  void TearDown() override {
    windows::RestoreReq().hide();
    RestoreTest::TearDown();
  }
  windows::RestoreReqWindow& r = windows::RestoreReq();

  // Shows the dialog modally, runs `act` in it, and returns once it is hidden.
  void whileShown(const std::function<void()>& act) {
    QTimer::singleShot(0, [&] {
      act();
      if (r.visible()) r.Command2.click();
    });
    r.show(forms::Modal);
  }
};

TEST_F(RestoreReqDialog, ActivationEnablesTheUserFileButtonsOnlyForAListWithAFirstEntry) {
  const struct {
    std::vector<std::string> entries;
    bool enabled;
  } cases[] = {{{}, false}, {{""}, false}, {{"C:\\a.txt"}, true}, {{"", "C:\\a.txt"}, false}};
  for (const auto& c : cases) {
    r.List1.clear();
    for (const std::string& e : c.entries) r.List1.addItem(e);
    r.Label1.setVisible(true);
    r.SSTab1.setTab(2);
    bool enabled = !c.enabled, label = true;
    int tab = -1;
    whileShown([&] {
      enabled = r.Command3.enabled() && r.Command4.enabled();
      label = r.Label1.visible();
      tab = r.SSTab1.tab();
    });
    EXPECT_EQ(enabled, c.enabled) << c.entries.size();
    EXPECT_FALSE(label);
    EXPECT_EQ(tab, 0);
    EXPECT_EQ(r.helpContextId(), 1030);
  }
}

TEST_F(RestoreReqDialog, AllAndNoneOfTheSystemTabSetOnlyEnabledSystemBoxesAndNews) {
  for (int n = 1; n <= 25; ++n) RestoreBox(n).setEnabled(true);
  RestoreBox(9).setEnabled(false);
  RestoreBox(8).setEnabled(false);
  RestoreBox(8).setValue(1);
  r.Command5.click();
  std::vector<int> ticked;
  for (int n = 1; n <= 25; ++n)
    if (Ticked(n)) ticked.push_back(n);
  // Not Win.ini (disabled), not the Start menu nor the browser and mail boxes.
  EXPECT_EQ(ticked, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 12, 13, 14, 15, 16, 17, 24, 25}));
  r.Command6.click();
  ticked.clear();
  for (int n = 1; n <= 25; ++n)
    if (Ticked(n)) ticked.push_back(n);
  EXPECT_EQ(ticked, (std::vector<int>{8}));  // a disabled box keeps its tick
}

TEST_F(RestoreReqDialog, AllUserFilesShowsTheLabelUntilAnEntryIsUnselected) {
  for (const char* e : {"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}) r.List1.addItem(e);
  r.Command3.setEnabled(true);
  r.Command4.setEnabled(true);
  r.Command3.click();
  EXPECT_TRUE(r.List1.selected(0) && r.List1.selected(1) && r.List1.selected(2));
  EXPECT_TRUE(r.Label1.visible());
  r.List1.setSelected(1, false);
  EXPECT_FALSE(r.Label1.visible());
  // Selecting entries one by one never shows it.
  r.List1.setSelected(1, true);
  EXPECT_FALSE(r.Label1.visible());
  r.Command3.click();
  r.Command4.click();
  EXPECT_FALSE(r.List1.selected(0) || r.List1.selected(1) || r.List1.selected(2));
  EXPECT_FALSE(r.Label1.visible());
}

TEST_F(RestoreReqDialog, CancelBringsBackTheActionButtonsAndMarksTheSettingsSaved) {
  core::state().SettingsSaved = false;
  whileShown([&] {
    for (forms::Control* c : std::initializer_list<forms::Control*>{&r.Command1, &r.Command3, &r.Command4,
                                                                    &r.Command5, &r.Command6})
      c->setVisible(false);
    r.Command2.click();
  });
  EXPECT_FALSE(r.visible());
  EXPECT_TRUE(core::state().SettingsSaved);
  for (forms::Control* c : std::initializer_list<forms::Control*>{&r.Command1, &r.Command3, &r.Command4,
                                                                  &r.Command5, &r.Command6})
    EXPECT_TRUE(c->visible()) << c->name();
}

}  // namespace
}  // namespace restore
