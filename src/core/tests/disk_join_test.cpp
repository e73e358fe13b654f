// Joining archives back from floppy disks: whole or part by part, the disk
// prompts, a cancel at each of them and a failing block.
#include "core/disk_join.h"

#include "disk_fixture.h"

namespace {

using namespace disktest;
using forms::vbCancel;

constexpr int kPromptStyle = forms::vbOKCancel + forms::vbInformation;
const std::string kRestore = std::string(kProgram) + "\\DiskRestore\\";

class DiskJoin : public DiskTest {
 protected:
  void SetUp() override {
    DiskTest::SetUp();
    core::state().DiskRestorePath = kRestore;
  }
  std::string target() const { return kRestore + "Conf1.kvz"; }
};

TEST_F(DiskJoin, AWholeArchiveOnTheDiskInTheDriveIsCopiedWithoutAPrompt) {
  // A numbered label tells which disk of the set is in; a plain one leaves the count.
  struct Case {
    const char* label;
    int diskNo;
  } cases[] = {{"Save#3", 3}, {"", 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    core::state().DiskNo = 5;
    floppy(c.label, {{"Conf1.kvz", pattern(80000)}}, true);
    EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 0));
    EXPECT_EQ(machine.read(target()), pattern(80000));
    EXPECT_EQ(core::state().DiskNo, c.diskNo);
  }
  EXPECT_TRUE(dialogs().shown().empty());
}

TEST_F(DiskJoin, AWholeArchiveOnAnotherDiskIsAskedFor) {
  floppy("Save#1", {}, true);
  const std::string disk = floppy("Save#2", {{"Conf1.kvz", "whole"}});
  core::state().DiskNo = 1;
  dialogs().expect(insertPrompt(2)).style(kPromptStyle).title(res(1011)).then(insertDisk(disk));
  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 0));
  EXPECT_EQ(machine.read(target()), "whole");
}

TEST_F(DiskJoin, PartsFoundOutOfOrderAreJoinedInOrderAndThePromptsNameTheRightDisk) {
  const std::string bytes = pattern(250000);
  const std::string one =
      floppy("Save#1", {{"Conf1.kv1", bytes.substr(0, 100000)}, {"Conf1.kv2", bytes.substr(100000, 100000)}});
  const std::string two = floppy("Save#2", {{"Conf1.kv3", bytes.substr(200000)}}, true);
  const std::string stranger = floppy("PHOTOS", {{"IMG1.BMP", "x"}});
  windows::Animate().show();
  std::vector<bool> copyWindowDuringPrompts;
  const auto insert = [&](const std::string& disk) {
    return [&, disk] {
      copyWindowDuringPrompts.push_back(windows::Animate().visible());
      machine.insert('A', disk);
    };
  };
  dialogs().expect(insertPrompt(1)).style(kPromptStyle).then(insert(stranger));
  dialogs().expect(res(1246) + "A:\\Conf1.kv1" + res(1247)).style(forms::vbCritical);
  dialogs().expect(insertPrompt(1)).then(insert(one));
  // Part 2 lies on the same disk; the label keeps the count at disk 1, so part 3 asks for disk 2.
  dialogs().expect(insertPrompt(2)).then(insert(two));

  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 3));

  EXPECT_EQ(machine.read(target()), bytes);
  EXPECT_EQ(core::state().DiskNo, 2);
  EXPECT_EQ(copyWindowDuringPrompts, (std::vector<bool>{false, false, false}));
  EXPECT_TRUE(windows::Animate().visible());
}

TEST_F(DiskJoin, PartsOfOneUnlabelledDiskNeedNoPromptAndCountOneDiskEach) {
  floppy("", {{"Conf1.kv1", "a"}, {"Conf1.kv2", "b"}, {"Conf1.kv3", "c"}}, true);
  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 3));
  EXPECT_EQ(machine.read(target()), "abc");
  EXPECT_EQ(core::state().DiskNo, 3);
}

TEST_F(DiskJoin, AWholeArchiveOnTheDiskWinsOverRecordedParts) {
  floppy("Save#1", {{"Conf1.kvz", "whole"}, {"Conf1.kv1", "part"}}, true);
  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 2));
  EXPECT_EQ(machine.read(target()), "whole");
}

TEST_F(DiskJoin, CancelAtAnyPromptLeavesNothingHalfJoined) {
  struct Case {
    const char* name;
    int parts;
    bool diskInDrive;  // false: no disk at all, the "insert the first disk" question
  } cases[] = {
      {"whole archive prompt", 0, true}, {"part prompt", 2, true}, {"first disk question", 2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    machine.write(kRestore + "Conf1s.kvz", "joined before");
    const std::string disk = floppy("Save#1", {{"Conf1.kv1", "part 1"}});
    core::state().DiskNo = 0;
    if (c.diskInDrive) machine.insert('A', disk);
    if (!c.diskInDrive) {
      dialogs().expect(res(1242)).style(kPromptStyle).title(res(1011)).answer(vbCancel);
    } else {
      dialogs().expect(insertPrompt(c.parts == 0 ? 1 : 2)).style(kPromptStyle).answer(vbCancel);
    }

    EXPECT_FALSE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), c.parts));

    EXPECT_FALSE(machine.exists(target()));
    EXPECT_FALSE(machine.exists(kRestore + "Conf1s.kvz"));
    dialogs().verify();
    machine.eject('A');
  }
}

// No disk in the drive: the first disk is asked for, and once one is in the
// join goes on where it failed.
TEST_F(DiskJoin, WithoutADiskTheFirstDiskIsAskedForAndTheJoinGoesOn) {
  const std::string disk = floppy("Save#1", {{"Conf1.kv1", "part 1;"}, {"Conf1.kv2", "part 2"}});
  dialogs().expect(res(1242)).style(kPromptStyle).title(res(1011));
  // OK without a disk: the disk check's own question, answered by inserting one.
  dialogs().expect(res(1070)).then(insertDisk(disk));
  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 2));
  EXPECT_EQ(machine.read(target()), "part 1;part 2");
}

// A cancel empties the disk-restore folder only when it is the program's own
// DiskRestore folder; any other folder keeps its files.
TEST_F(DiskJoin, CancelEmptiesOnlyTheProgramsOwnDiskRestoreFolder) {
  const std::string program = std::string(kProgram) + "\\";
  for (const std::string& folder : {program, std::string("C:\\SAVE\\")}) {
    SCOPED_TRACE(folder);
    machine.write(folder + "precious.txt", "mine");
    core::state().DiskRestorePath = folder;
    floppy("Save#1", {}, true);
    dialogs().expect(insertPrompt(1)).answer(vbCancel);
    EXPECT_FALSE(core::ConcatSplitFile("A:\\Conf1.kvz", folder + "Conf1.kvz", 0));
    EXPECT_EQ(machine.read(folder + "precious.txt"), "mine");
    EXPECT_FALSE(machine.exists(folder + "Conf1.kvz"));
  }
}

TEST_F(DiskJoin, AFullTargetDiskStopsTheJoinAndDeletesThePartialTarget) {
  machine.setDrive('B', "Type", "2");
  machine.addMedium({.capacity = 8192, .clusterSize = 512, .label = "SMALL"}, 'B');
  floppy("Save#1", {{"Conf1.kv1", pattern(6000)}, {"Conf1.kv2", pattern(6000)}}, true);
  dialogs()
      .expect("Kann nicht in Datei schreibenA:\\Conf1.kv2\rZu wenig Speicher frei  61 ConcatSplitFile")
      .style(forms::vbCritical)
      .title(res(1005));
  EXPECT_FALSE(core::ConcatSplitFile("A:\\Conf1.kvz", "B:\\DiskRestore\\Conf1.kvz", 2));
  EXPECT_FALSE(machine.exists("B:\\DiskRestore\\Conf1.kvz"));
  EXPECT_TRUE(machine.exists("B:\\DiskRestore"));
}

TEST_F(DiskJoin, PartsBeyondNineAreReadWithTwoDigitNumbers) {
  std::vector<std::pair<std::string, std::string>> files;
  std::string joined;
  for (int k = 1; k <= 11; ++k) {
    files.emplace_back("Conf1.kv" + std::to_string(k), std::to_string(k) + ";");
    joined += std::to_string(k) + ";";
  }
  floppy("", files, true);
  EXPECT_TRUE(core::ConcatSplitFile("A:\\Conf1.kvz", target(), 11));
  EXPECT_EQ(machine.read(target()), joined);
}

}  // namespace
