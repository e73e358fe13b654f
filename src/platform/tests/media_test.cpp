#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>

#include "platform/error.h"
#include "platform/files.h"
#include "support/test_machine.h"

namespace platform {
namespace {

MediumSpec spec(std::int64_t capacity = 1457664, std::int64_t cluster = 512, std::string label = "",
                bool formatted = true) {
  MediumSpec s;
  s.capacity = capacity;
  s.clusterSize = cluster;
  s.label = std::move(label);
  s.formatted = formatted;
  return s;
}

using testsupport::errorOf;

TEST(Media, SwappingDisksShowsEachDisksOwnFilesAndLabel) {
  testsupport::TestMachine m;
  std::string first = insertedMedium('A');
  ASSERT_FALSE(first.empty());
  writeFile("A:\\Conf1.kv1", "part one");
  EXPECT_TRUE(setVolumeLabel("A:\\", "Save#1"));
  std::string second = m.addMedium({}, 'A');
  EXPECT_FALSE(fileExists("A:\\Conf1.kv1"));
  std::string label;
  std::uint32_t serial = 0;
  EXPECT_TRUE(volumeInformation("A:\\", label, serial));
  EXPECT_EQ(label, "");
  EXPECT_NE(serial, 0u);
  EXPECT_TRUE(findFiles("A:\\", kVolume).empty());
  insertMedium('A', first);
  EXPECT_EQ(readFile("A:\\Conf1.kv1"), "part one");
  EXPECT_EQ(findFiles("A:\\", kVolume).at(0).name, "Save#1");
  // The state is the machine's: it survives a restart of the program.
  m.reopen();
  EXPECT_EQ(insertedMedium('A'), first);
  EXPECT_EQ(errorOf([] { insertMedium('C', "disk01"); }), kInvalidCall);
  EXPECT_EQ(errorOf([] { insertMedium('A', "no such disk"); }), kInvalidCall);
}

// A long span goes through hundreds of disks: one taken out of its drive
// keeps no host file open.
TEST(Media, ADiskOutOfItsDriveHoldsNoHostFileOpen) {
  testsupport::TestMachine m;
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  writeFile("A:\\first.txt", "x");
  const auto before = openFiles();
  for (int disk = 0; disk < 40; ++disk) {
    m.addMedium({}, 'A');
    writeFile("A:\\part.kv1", "part");
    kill("A:\\part.kv1");
    writeFile("A:\\part.kv1", "again");
  }
  ejectMedium('A');
  EXPECT_LE(openFiles(), before + 1);
}

TEST(Media, AnEmptyDriveIsNotReady) {
  testsupport::TestMachine m;
  m.eject('A');
  EXPECT_EQ(insertedMedium('A'), "");
  EXPECT_FALSE(mediumPresent("A:\\"));
  EXPECT_EQ(errorOf([] { writeFile("A:\\x", "x"); }), kDiskNotReady);
  EXPECT_EQ(errorOf([] { freeBytes("A:\\"); }), kDiskNotReady);
  EXPECT_FALSE(fileExists("A:\\x"));
  DiskFreeSpace space;
  EXPECT_FALSE(diskFreeSpace("A:\\", space));
  std::string label = "old";
  std::uint32_t serial = 1;
  EXPECT_FALSE(volumeInformation("A:\\", label, serial));
  EXPECT_EQ(label, "");
  EXPECT_FALSE(setVolumeLabel("A:\\", "X"));
  m.addMedium(spec(1457664, 512, "", false), 'A');
  EXPECT_EQ(errorOf([] { readFile("A:\\x"); }), kDiskNotReady);
  formatMedium('A', false, "FRESH");
  EXPECT_TRUE(mediumPresent("A:\\"));
}

TEST(Media, WriteProtectionRefusesEveryWrite) {
  testsupport::TestMachine m;
  writeFile("A:\\keep.txt", "x");
  setWriteProtected(insertedMedium('A'), true);
  EXPECT_TRUE(isWriteProtected("A:\\"));
  EXPECT_EQ(errorOf([] { writeFile("A:\\new.txt", "x"); }), kPermissionDenied);
  EXPECT_EQ(errorOf([] { kill("A:\\keep.txt"); }), kPermissionDenied);
  EXPECT_EQ(errorOf([] { mkDir("A:\\D"); }), kPermissionDenied);
  EXPECT_EQ(errorOf([] { formatMedium('A', true, ""); }), kPermissionDenied);
  EXPECT_FALSE(setVolumeLabel("A:\\", "X"));
  EXPECT_EQ(readFile("A:\\keep.txt"), "x");
  EXPECT_TRUE(isWriteProtected("D:\\"));  // CD-ROM
  EXPECT_EQ(errorOf([] { writeFile("D:\\x", "x"); }), kPermissionDenied);
  EXPECT_TRUE(fileExists("D:\\README.TXT"));
}

TEST(Media, FreeSpaceCountsWholeClusters) {
  testsupport::TestMachine m;
  EXPECT_EQ(totalBytes("A:\\"), 1457664);
  EXPECT_EQ(freeBytes("A:\\"), 1457664);
  EXPECT_EQ(allocationUnit("A:\\"), 512);
  writeFile("A:\\one.bin", std::string(1, 'x'));
  EXPECT_EQ(freeBytes("A:\\"), 1457664 - 512);
  writeFile("A:\\two.bin", std::string(513, 'x'));
  EXPECT_EQ(freeBytes("A:\\"), 1457664 - 3 * 512);
  mkDir("A:\\Folder");
  EXPECT_EQ(freeBytes("A:\\"), 1457664 - 4 * 512);
  DiskFreeSpace s;
  ASSERT_TRUE(diskFreeSpace("A:\\", s));
  EXPECT_EQ(s.bytesPerSector, 512u);
  EXPECT_EQ(s.sectorsPerCluster, 1u);
  EXPECT_EQ(s.totalClusters, 2847u);
  EXPECT_EQ(s.freeClusters, 2843u);
}

TEST(Media, AWritePastTheEndFailsAfterWritingWhatFits) {
  testsupport::TestMachine m;
  m.addMedium(spec(4096, 512), 'A');
  writeFile("A:\\first", std::string(1000, 'a'));  // 2 clusters
  EXPECT_EQ(errorOf([] { writeFile("A:\\big", std::string(5000, 'b')); }), kDiskFull);
  EXPECT_EQ(fileLen("A:\\big"), 3072);
  EXPECT_EQ(freeBytes("A:\\"), 0);
  kill("A:\\big");
  {
    File f("A:\\stream", File::Mode::Write);
    f.write(std::string(2000, 'c'));
    EXPECT_EQ(errorOf([&] { f.write(std::string(2000, 'd')); }), kDiskFull);
  }
  EXPECT_EQ(fileLen("A:\\stream"), 3072);
  // Replacing a file may use the clusters it had.
  writeFile("A:\\stream", std::string(3072, 'e'));
  EXPECT_EQ(fileLen("A:\\stream"), 3072);
}

TEST(Media, FixedDrivesReportAtMostTwoGigabytes) {
  testsupport::TestMachine m;
  m.setDrive('C', "Capacity", "4293918720");
  DiskFreeSpace s;
  ASSERT_TRUE(diskFreeSpace("C:\\", s));
  EXPECT_LE(std::uint64_t(s.totalClusters) * s.sectorsPerCluster * s.bytesPerSector, 2147483648ull);
  EXPECT_LE(std::uint64_t(s.freeClusters) * s.sectorsPerCluster * s.bytesPerSector, 2147483648ull);
  EXPECT_EQ(totalBytes("C:\\"), 4293918720);
  EXPECT_GT(freeBytes("C:\\"), 2147483648);
}

TEST(Media, FormattingErasesFilesAndSetsTheLabel) {
  testsupport::TestMachine m;
  writeFile("A:\\old.txt", "x");
  mkDir("A:\\Dir");
  std::string label;
  std::uint32_t before = 0, after = 0;
  volumeInformation("A:\\", label, before);
  formatMedium('A', true, "BOOT#1");
  EXPECT_FALSE(fileExists("A:\\old.txt"));
  EXPECT_FALSE(folderExists("A:\\Dir"));
  EXPECT_EQ(freeBytes("A:\\"), 1457664);
  volumeInformation("A:\\", label, after);
  EXPECT_EQ(label, "BOOT#1");
  EXPECT_EQ(after, before);
  formatMedium('A', false, "");
  volumeInformation("A:\\", label, after);
  EXPECT_NE(after, before);
  EXPECT_EQ(errorOf([] { formatMedium('A', true, "MUCH TOO LONG LABEL"); }), kInvalidCall);
}

TEST(Media, ShelfListsEveryMedium) {
  testsupport::TestMachine m;
  auto before = shelfMedia();
  std::string name = createMedium(spec(1457664, 512, "DATA#1"));
  auto after = shelfMedia();
  EXPECT_EQ(after.size(), before.size() + 1);
  EXPECT_NE(std::find(after.begin(), after.end(), name), after.end());
  insertMedium('A', name);
  EXPECT_EQ(findFiles("A:\\", kVolume).at(0).name, "DATA#1");
}

}  // namespace
}  // namespace platform
