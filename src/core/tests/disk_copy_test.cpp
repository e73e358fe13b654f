// Moving files onto floppy disks: whole, split over a disk set, the failures
// of a full, write-protected or missing disk, and stale copies on reused disks.
#include "core/disk_copy.h"

#include "core/inifile.h"
#include "disk_fixture.h"
#include "platform/vb_convert.h"

namespace {

using namespace disktest;
using forms::vbAbort;
using forms::vbCancel;
using forms::vbIgnore;
using forms::vbOK;
using forms::vbRetry;

constexpr int kSplitStyle = forms::vbAbortRetryIgnore + forms::vbExclamation + forms::vbDefaultButton2;

class DiskCopy : public DiskTest {
 protected:
  // A save's disk set begins: the first disk, labelled, in A:.
  std::string startSet(const std::string& label = "Save#1",
                       std::vector<std::pair<std::string, std::string>> files = {}) {
    core::state().DiskNo = 1;
    core::state().SpanTargetRoot = "A:\\";
    return floppy(label, std::move(files), true);
  }
};

TEST_F(DiskCopy, AFileThatFitsIsCopiedWholeAndTheSourceGoes) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{10000}, std::size_t{kFloppy}}) {
    SCOPED_TRACE(size);
    const std::string bytes = pattern(size);
    const std::string src = source("Conf1.kvz", bytes);
    const std::string disk = startSet();
    EXPECT_TRUE(core::MoveFileToDisk(src, "A:\\", ""));
    EXPECT_EQ(core::state().PartNo, 0);
    EXPECT_EQ(onDisk(disk, "Conf1.kvz"), bytes);
    EXPECT_FALSE(machine.exists(src));
  }
  EXPECT_TRUE(dialogs().shown().empty());
}

TEST_F(DiskCopy, ALargeFileIsSplitOverThreeDisksLabelledOneAfterTheOther) {
  const std::string bytes = pattern(3000000);
  const std::string src = source("Conf1.kvz", bytes);
  const std::string first = startSet();
  const std::string second = floppy("");
  const std::string third = floppy("");
  windows::Animate().show();
  std::vector<bool> copyWindowDuringPrompts;
  const auto noteCopyWindow = [&] {
    copyWindowDuringPrompts.push_back(windows::Animate().visible() || !core::state().AnimateShown);
  };
  dialogs().expect(insertPrompt(2)).style(forms::vbOKOnly).title("").then([&] {
    noteCopyWindow();
    machine.insert('A', second);
  });
  dialogs().expect(insertPrompt(3)).style(forms::vbOKOnly).then([&] {
    noteCopyWindow();
    machine.insert('A', third);
  });

  EXPECT_TRUE(core::MoveFileToDisk(src, "A:\\", ""));

  EXPECT_EQ(core::state().PartNo, 3);
  EXPECT_EQ(core::state().DiskNo, 3);
  EXPECT_EQ(copyWindowDuringPrompts, (std::vector<bool>{false, false}));
  EXPECT_TRUE(windows::Animate().visible());
  EXPECT_TRUE(core::state().AnimateShown);
  // Each part but the last fills its disk, whose free space comes in whole clusters.
  const std::string part1 = onDisk(first, "Conf1.kv1");
  const std::string part2 = onDisk(second, "Conf1.kv2");
  const std::string part3 = onDisk(third, "Conf1.kv3");
  EXPECT_EQ(part1.size(), static_cast<std::size_t>(kFloppy));
  EXPECT_EQ(part2.size(), static_cast<std::size_t>(kFloppy));
  EXPECT_EQ(part1 + part2 + part3, bytes);
  EXPECT_EQ(onDisk(first, "Conf1.kvz"), "<missing>");
  EXPECT_EQ(labelOf(second), "Save#2");
  EXPECT_EQ(labelOf(third), "Save#3");
  EXPECT_FALSE(machine.exists(src));
}

TEST_F(DiskCopy, TheNextArchiveStartsInTheSpaceTheLastPartLeft) {
  const std::string first = startSet();
  const std::string second = floppy("");
  const std::string a = source("Conf1.kvz", pattern(kFloppy + 5000, 1));
  dialogs().expect(insertPrompt(2)).then(insertDisk(second));
  ASSERT_TRUE(core::MoveFileToDisk(a, "A:\\", ""));
  const std::string b = source("Conf1s.kvz", pattern(3000, 2));
  EXPECT_TRUE(core::MoveFileToDisk(b, "A:\\", ""));
  EXPECT_EQ(core::state().PartNo, 0);
  EXPECT_EQ(onDisk(second, "Conf1s.kvz"), pattern(3000, 2));
}

TEST_F(DiskCopy, TheCallersPromptIsShownForTheFirstFurtherDiskOnly) {
  const std::string src = source("Configd.kvz", pattern(kFloppy + 100));
  startSet("Data#1");
  const std::string used = floppy("", {{"OLD.TXT", "old"}});
  const std::string blank = floppy("");
  dialogs().expect("Insert the second data disk").style(forms::vbOKOnly).then(insertDisk(used));
  notEmptyButtons = {2};  // "Retry": another disk, please
  dialogs().expect(insertPrompt(2)).then(insertDisk(blank));

  EXPECT_TRUE(core::MoveFileToDisk(src, "a:\\", "Insert the second data disk"));

  EXPECT_EQ(onDisk(blank, "Configd.kv2").size(), 100u);
  EXPECT_EQ(labelOf(blank), "Data#2");
  EXPECT_EQ(onDisk(used, "OLD.TXT"), "old");
  ASSERT_EQ(notEmptyTexts.size(), 1u);
  EXPECT_EQ(notEmptyTexts[0].substr(0, res(1068).size()), res(1068));
}

TEST_F(DiskCopy, AFullDiskStopsTheWholeCopyAndRemovesThePartialTarget) {
  const std::string src = source("Conf1.kvz", pattern(10000));
  floppy("Save#1", {}, true, 4096);
  dialogs()
      .expect("Kann nicht in Datei schreiben\r" + src + "\rZu wenig Speicher frei  61 ConcatSplitFile")
      .style(forms::vbCritical)
      .title(res(1005));
  EXPECT_FALSE(core::CopyFileWhole(src, "A:\\Conf1.kvz"));
  EXPECT_FALSE(machine.exists("A:\\Conf1.kvz"));
  EXPECT_TRUE(machine.exists(src));
}

TEST_F(DiskCopy, AWriteProtectedDiskFailsTheMoveAndKeepsTheSource) {
  const std::string src = source("Conf1.kvz", pattern(1000));
  const std::string disk = startSet();
  platform::setWriteProtected(disk, true);
  dialogs()
      .expect(
          "Kann Datei nicht \xF6"
          "ffnen\r" +
          src + "  70 ConcatSplitFile")
      .style(forms::vbCritical)
      .title(res(1005));
  core::state().PartNo = 9;
  EXPECT_FALSE(core::MoveFileToDisk(src, "A:\\", ""));
  EXPECT_EQ(core::state().PartNo, 0);
  EXPECT_TRUE(machine.exists(src));
}

TEST_F(DiskCopy, AWriteProtectedFurtherDiskAsksAbortRetryIgnore) {
  struct Case {
    int answer;
    bool completes;
  } cases[] = {{vbRetry, true}, {vbAbort, false}, {vbIgnore, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    const std::string bytes = pattern(kFloppy + 2000);
    const std::string src = source("Conf1.kvz", bytes);
    const std::string first = startSet();
    const std::string second = floppy("");
    platform::setWriteProtected(second, true);
    dialogs().expect(insertPrompt(2)).then(insertDisk(second));
    auto& box = dialogs()
                    .expect(platform::errorText(70) + "resCANTOPEN \r" + src)
                    .style(kSplitStyle)
                    .title("")
                    .answer(c.answer);
    if (c.answer == vbRetry) box.then([&] { platform::setWriteProtected(second, false); });

    EXPECT_EQ(core::MoveFileToDisk(src, "A:\\", ""), c.completes);

    EXPECT_EQ(machine.exists(src), !c.completes);
    EXPECT_EQ(core::state().PartNo, c.completes ? 2 : 0);
    if (c.completes) {
      EXPECT_EQ(onDisk(first, "Conf1.kv1") + onDisk(second, "Conf1.kv2"), bytes);
    }
    dialogs().verify();
    machine.remove("C:\\Program Files\\Kelvaran\\Conf1.kvz");
  }
}

TEST_F(DiskCopy, AbortWhileWritingAPartDeletesThatPart) {
  const std::string src = source("Conf1.kvz", pattern(kFloppy + 70000));
  startSet();
  const std::string second = floppy("");
  // Memory runs short once the second disk is in.
  dialogs().expect(insertPrompt(2)).then([&] {
    machine.insert('A', second);
    core::SetCopyMemoryLimit(1000);
  });
  dialogs().expect(platform::errorText(platform::kOutOfMemory) + "resOUTOFMEMORY \r" + src).answer(vbAbort);
  EXPECT_FALSE(core::MoveFileToDisk(src, "A:\\", ""));
  EXPECT_EQ(onDisk(second, "Conf1.kv2"), "<missing>");
  EXPECT_TRUE(machine.exists(src));
}

TEST_F(DiskCopy, AMissingDiskIsAskedForAndCancelAbandonsTheMove) {
  struct Case {
    int answer;
    bool completes;
  } cases[] = {{vbOK, true}, {vbCancel, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    const std::string src = source("Conf1.kvz", pattern(500));
    const std::string disk = floppy("Save#1");
    machine.eject('A');
    dialogs()
        .expect(res(1070))
        .style(forms::vbCritical + forms::vbOKCancel)
        .title(res(1011))
        .answer(c.answer)
        .then(insertDisk(disk));
    EXPECT_EQ(core::MoveFileToDisk(src, "A:\\", ""), c.completes);
    EXPECT_EQ(machine.exists(src), !c.completes);
    EXPECT_EQ(onDisk(disk, "Conf1.kvz").size(), c.completes ? 500u : 9u);
    dialogs().verify();
    machine.eject('A');
    if (machine.exists(src)) machine.remove(src);
  }
}

TEST_F(DiskCopy, AReusedDiskSetNeverKeepsStaleCopiesOfTheArchive) {
  // An old set: the whole archive and parts 1 and 2 on the first disk, parts
  // 2 and 3 and another file on the second.
  const std::string old = pattern(400000, 9);
  const std::string first =
      startSet("Save#1", {{"Conf1.kvz", old}, {"Conf1.kv1", "old 1"}, {"Conf1.kv2", "old 2"}});
  const std::string second =
      floppy("Save#2", {{"Conf1.kv2", "old 2"}, {"CONF1.KV3", "old 3"}, {"Conf1s.kvz", "other"}});
  machine.setAttributes("A:\\Conf1.kv2", platform::kReadOnly | platform::kHidden);
  const std::string bytes = pattern(kFloppy + 1000);
  const std::string src = source("Conf1.kvz", bytes);
  dialogs().expect(insertPrompt(2)).then(insertDisk(second));
  notEmptyButtons = {3};  // "Continue?": use the disk with its files

  ASSERT_TRUE(core::MoveFileToDisk(src, "A:\\", ""));

  EXPECT_EQ(onDisk(first, "Conf1.kvz"), "<missing>");  // its space went to part 1
  EXPECT_EQ(onDisk(first, "Conf1.kv2"), "<missing>");
  EXPECT_EQ(onDisk(second, "CONF1.KV3"), "<missing>");
  EXPECT_EQ(onDisk(second, "Conf1s.kvz"), "other");
  EXPECT_EQ(onDisk(first, "Conf1.kv1") + onDisk(second, "Conf1.kv2"), bytes);
}

TEST_F(DiskCopy, AWholeCopyReplacesTheStalePartsOfAnOldSet) {
  const std::string disk =
      startSet("Save#1", {{"Conf1.kv1", pattern(700000)}, {"Conf1.kv2", pattern(700000)}});
  const std::string bytes = pattern(1000000);
  EXPECT_TRUE(core::MoveFileToDisk(source("Conf1.kvz", bytes), "A:\\", ""));
  EXPECT_EQ(core::state().PartNo, 0);
  EXPECT_EQ(onDisk(disk, "Conf1.kvz"), bytes);
  EXPECT_EQ(onDisk(disk, "Conf1.kv1"), "<missing>");
  EXPECT_EQ(onDisk(disk, "Conf1.kv2"), "<missing>");
}

TEST_F(DiskCopy, ALabelWithoutANumberIsKeptAndLoggedWithoutAnErrorBox) {
  const std::string src = source("Conf1.kvz", pattern(kFloppy + 10));
  startSet("BACKUP");
  const std::string second = floppy("MINE");
  dialogs().expect(insertPrompt(2)).then(insertDisk(second));
  EXPECT_TRUE(core::MoveFileToDisk(src, "A:\\", ""));
  EXPECT_EQ(labelOf(second), "MINE");
  const std::string log = machine.read(std::string(kProgram) + "\\Error.log");
  EXPECT_NE(log.find("BACKUP VolumeLabel"), std::string::npos) << log;
}

TEST_F(DiskCopy, UnderMemoryPressureTheBlockSizeHalvesDownTo4096) {
  const std::string bytes = pattern(100000);
  const std::string src = source("Conf1.kvz", bytes);
  floppy("Save#1", {}, true);
  core::SetCopyMemoryLimit(20000);
  EXPECT_TRUE(core::CopyFileWhole(src, "A:\\Conf1.kvz"));
  EXPECT_EQ(machine.read("A:\\Conf1.kvz"), bytes);
  EXPECT_EQ(core::state().BufSize, 100000 - 6 * 16128);  // the last block of 16128-byte blocks

  core::SetCopyMemoryLimit(3000);
  dialogs()
      .expect(
          "Memory \xFC"
          "berlauf\r" +
          src + "  7 ConcatSplitFile")
      .style(forms::vbCritical);
  EXPECT_FALSE(core::CopyFileWhole(src, "A:\\Conf1.kvz"));
  EXPECT_FALSE(machine.exists("A:\\Conf1.kvz"));
}

// The handler learns which statement failed: the read of a block the source
// does not hold (step 2) or its write to a full disk (step 3); Retry moves the
// block again from its start.
TEST_F(DiskCopy, ABlockCopyTellsItsHandlerWhichStatementFailedAndRetriesIt) {
  const std::string bytes = pattern(200000);
  const std::string src = source("Conf1.kvz", bytes);
  const std::string disk = floppy("", {{"OLD.BIN", pattern(kFloppy - 100000)}}, true);
  struct Case {
    const char* target;
    std::int32_t bytesToCopy;
    int step, error;
  } cases[] = {{"C:\\Conf1.kvz", 200001, 2, platform::kDeviceIoError},
               {"A:\\Conf1.kvz", 200000, 3, platform::kDiskFull}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.step);
    platform::File in(src, platform::File::Mode::Read);
    platform::File out(c.target, platform::File::Mode::Write);
    core::state().BytesToCopy = c.bytesToCopy;
    std::vector<std::pair<int, int>> failures;
    EXPECT_FALSE(core::CopyBlocks(in, out, [&](const platform::RuntimeError& error) {
      failures.emplace_back(core::state().CopyStep, error.number());
      return core::CopyChoice::GiveUp;
    }));
    EXPECT_EQ(failures, (std::vector<std::pair<int, int>>{{c.step, c.error}}));
  }
  // The disk write-protected under way: after Retry with the tab moved back,
  // the same block is written again and the copy goes on.
  platform::File in(src, platform::File::Mode::Read);
  platform::File out("A:\\Conf1.kvz", platform::File::Mode::Write);
  in.seek(1000);
  platform::setWriteProtected(disk, true);
  core::state().BytesToCopy = 90000;
  std::vector<std::pair<int, int>> failures;
  EXPECT_TRUE(core::CopyBlocks(in, out, [&](const platform::RuntimeError& error) {
    failures.emplace_back(core::state().CopyStep, error.number());
    platform::setWriteProtected(disk, false);
    return core::CopyChoice::Retry;
  }));
  out.close();
  EXPECT_EQ(failures, (std::vector<std::pair<int, int>>{{3, platform::kPermissionDenied}}));
  EXPECT_EQ(machine.read("A:\\Conf1.kvz"), bytes.substr(1000, 90000));
}

TEST_F(DiskCopy, SizesRoundUpToWholeClustersOfTheDrive) {
  floppy("", {}, true);
  struct Case {
    std::int64_t size;
    const char* path;
    std::int64_t rounded;
  } cases[] = {
      {1000000, "A:\\", 1000448}, {1024, "A:\\Conf1.kvz", 1024}, {0, "A:\\", 0},
      {1, "C:\\WINDOWS\\", 4096}, {8192, "C:\\", 8192},
  };
  for (const auto& c : cases)
    EXPECT_EQ(core::RoundToAllocUnit(c.size, c.path), c.rounded) << c.path << c.size;
  EXPECT_EQ(core::GetDriveAllocUnit("A:\\"), 512);
  EXPECT_EQ(core::GetDriveAllocUnit("c"), 4096);
  EXPECT_EQ(platform::currentDrive(), 'C');
}

TEST_F(DiskCopy, ADriveWithoutAClusterSizeLeavesTheSizeAfterAMessage) {
  dialogs().expect("resALLOCUNITQ:").containing().style(forms::vbExclamation).title("");
  EXPECT_EQ(core::RoundToAllocUnit(1000, "Q:\\"), 1000);
  EXPECT_EQ(platform::currentDrive(), 'C');
}

}  // namespace
