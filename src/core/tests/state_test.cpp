#include "core/state.h"

#include <gtest/gtest.h>

namespace {

int errorOf(auto&& f) {
  try {
    f();
  } catch (const platform::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(State, SlotArraysHaveElementsOneToFiveOnly) {
  core::resetState();
  auto& s = core::state();
  for (int n = 1; n <= 5; ++n) s.ConfigNames(n) = "slot" + std::to_string(n);
  EXPECT_EQ(s.ConfigNames(1), "slot1");
  EXPECT_EQ(s.ConfigNames[5], "slot5");
  for (int bad : {0, 6, -1}) {
    EXPECT_EQ(errorOf([&] { (void)s.ConfigNames(bad); }), 9) << bad;
    EXPECT_EQ(errorOf([&] { (void)s.ConfigOSV[bad]; }), 9) << bad;
  }
  s.CurrentConfig = 4;
  EXPECT_EQ(s.ConfigNames(s.currentSlot()), "slot5");
}

TEST(State, SplitLogHasElementsOneToTen) {
  core::resetState();
  auto& s = core::state();
  s.SplitFile(10) = "Conf1nw.kvz";
  s.SplitDisk(1) = 3;
  EXPECT_EQ(s.SplitFile(10), "Conf1nw.kvz");
  EXPECT_EQ(errorOf([&] { (void)s.SplitFile(0); }), 9);
  EXPECT_EQ(errorOf([&] { (void)s.SplitDisk(11); }), 9);
}

TEST(State, StartsEmptyAndMachinePathsComeBackAfterALoadedConfiguration) {
  core::resetState();
  auto& s = core::state();
  EXPECT_EQ(s.ConfigNames(1), "");
  EXPECT_FALSE(s.SettingsSaved);
  EXPECT_EQ(s.RestoreState, 0);
  s.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Startmen\\", "C:\\WINDOWS\\FAVORI~1\\", ""});
  EXPECT_EQ(s.SystemPath, "C:\\WINDOWS");
  s.SystemPath = "D:\\WIN98";  // a configuration of another machine
  s.PathFavorites = "D:\\FAV\\";
  s.useMachinePaths();
  EXPECT_EQ(s.SystemPath, "C:\\WINDOWS");
  EXPECT_EQ(s.PathFavorites, "C:\\WINDOWS\\FAVORI~1\\");
}

}  // namespace
