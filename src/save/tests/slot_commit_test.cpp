// The commit of a slot's new configuration: killed after any step of the
// swap, the recovery leaves the slot's whole old set or its whole new set,
// never a mix.
#include "save/slot_commit.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/files.h"
#include "support/test_machine.h"

namespace save {
namespace {

struct Killed {};

using Files = std::map<std::string, std::string>;

constexpr const char* kSave = "C:\\SAVE\\";
constexpr const char* kProgramIni = "C:\\KELVARAN\\Config1.ini";

class SlotCommit : public ::testing::Test {
 protected:
  void SetUp() override {
    m.mkdirs(kSave);
    m.mkdirs("C:\\KELVARAN\\");
  }
  void TearDown() override { SetCommitStepHook({}); }

  // The old set: system and Start menu archives, both descriptions, the
  // program-folder copy; the new set built beside it has system and user
  // archives instead.
  void arrange(SlotBuild& build) {
    for (const auto& [name, bytes] : oldSet) m.write(name, bytes);
    build.prepare();
    for (const auto& [name, bytes] : newSet) {
      if (name.rfind(kSave, 0) == 0) m.write(build.folder() + name.substr(8), bytes);
    }
    m.write(build.descriptionPath(), newSet.at("C:\\SAVE\\Config1.ini"));
  }

  Files slot() {
    Files files;
    for (const auto& e : platform::findFiles(std::string(kSave) + "*.*"))
      files[kSave + e.name] = m.read(kSave + e.name);
    for (const char* copy : {"C:\\KELVARAN\\Config1.ini", "C:\\KELVARAN\\Config1.usr"})
      if (m.exists(copy)) files[copy] = m.read(copy);
    return files;
  }

  testsupport::TestMachine m;
  const Files oldSet{{"C:\\SAVE\\Conf1.kvz", "old system"},      {"C:\\SAVE\\Conf1s.kvz", "old menu"},
                     {"C:\\SAVE\\Config1.ini", "[old]\r\n"},     {"C:\\SAVE\\Config1.usr", " 0\r\n\r\n"},
                     {"C:\\KELVARAN\\Config1.ini", "[old]\r\n"}, {"C:\\KELVARAN\\Config1.usr", " 0\r\n\r\n"}};
  const Files newSet{
      {"C:\\SAVE\\Conf1.kvz", "new system"},      {"C:\\SAVE\\Conf1us.kvz", "new user"},
      {"C:\\SAVE\\Config1.ini", "[new]\r\n"},     {"C:\\SAVE\\Config1.usr", " 1\r\nC:\\a\r\n\r\n"},
      {"C:\\KELVARAN\\Config1.ini", "[new]\r\n"}, {"C:\\KELVARAN\\Config1.usr", " 1\r\nC:\\a\r\n\r\n"}};
};

TEST_F(SlotCommit, ACommitPutsTheWholeNewSetInPlace) {
  SlotBuild build(kSave, 1);
  arrange(build);
  m.write(build.folder() + "Config1.usr", newSet.at("C:\\SAVE\\Config1.usr"));
  int steps = 0;
  SetCommitStepHook([&](int step) { steps = step; });
  build.commit(kProgramIni, "C:\\SAVE\\Config1.ini");
  EXPECT_EQ(slot(), newSet);
  EXPECT_FALSE(m.exists("C:\\SAVE\\Conf1.new"));
  EXPECT_FALSE(m.exists("C:\\SAVE\\Conf1.old"));
  EXPECT_GE(steps, 10);
}

TEST_F(SlotCommit, AKillAtAnyStepLeavesTheOldSetOrTheNewOneWhole) {
  int total = 0;
  {
    SlotBuild build(kSave, 1);
    arrange(build);
    m.write(build.folder() + "Config1.usr", newSet.at("C:\\SAVE\\Config1.usr"));
    SetCommitStepHook([&](int step) { total = step; });
    build.commit(kProgramIni, "C:\\SAVE\\Config1.ini");
    SetCommitStepHook({});
    for (const auto& e : platform::findFiles(std::string(kSave) + "*.*")) m.remove(kSave + e.name);
  }
  bool sawNew = false;
  for (int kill = 1; kill <= total; ++kill) {
    SCOPED_TRACE(kill);
    SlotBuild build(kSave, 1);
    arrange(build);
    m.write(build.folder() + "Config1.usr", newSet.at("C:\\SAVE\\Config1.usr"));
    SetCommitStepHook([kill](int step) {
      if (step == kill) throw Killed{};
    });
    EXPECT_THROW(build.commit(kProgramIni, "C:\\SAVE\\Config1.ini"), Killed);
    SetCommitStepHook({});

    RecoverInterruptedCommits(kSave);  // the next start
    const Files after = slot();
    EXPECT_TRUE(after == oldSet || after == newSet);
    // Once every new file is in, the new set stands.
    if (after == newSet) sawNew = true;
    if (sawNew) {
      EXPECT_EQ(after, newSet);
    }
    EXPECT_FALSE(m.exists("C:\\SAVE\\Conf1.old"));
    EXPECT_FALSE(m.exists("C:\\SAVE\\Conf1.new"));
    for (const auto& e : platform::findFiles(std::string(kSave) + "*.*")) m.remove(kSave + e.name);
    m.remove("C:\\SAVE\\Conf1.new");
  }
  EXPECT_TRUE(sawNew);
}

}  // namespace
}  // namespace save
