// The layer's bookkeeping of a volume: the free-space count it keeps as it
// goes, bulk copies at the edge of a full disk, and the metadata file that
// is appended to after every change and written whole now and then.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/machine_ini.h"
#include "platform/process.h"
#include "support/test_machine.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

using testsupport::errorOf;

MediumSpec smallDisk(std::int64_t capacity, std::int64_t cluster = 512) {
  MediumSpec s;
  s.capacity = capacity;
  s.clusterSize = cluster;
  return s;
}

// What a freshly opened machine counts on the volume.
std::int64_t recounted(testsupport::TestMachine& m, const std::string& root) {
  m.reopen();
  return freeBytes(root);
}

std::string hostText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(VolumeBookkeeping, TheRunningCountMatchesAFreshCountAfterEveryKindOfChange) {
  testsupport::TestMachine m;
  m.addMedium(smallDisk(1457664), 'A');
  struct Step {
    const char* what;
    std::function<void()> change;
  };
  const std::vector<Step> steps = {
      {"write", [] { writeFile("A:\\one.txt", std::string(700, 'a')); }},
      {"append", [] { appendFile("A:\\one.txt", std::string(600, 'b')); }},
      {"replace smaller", [] { writeFile("A:\\one.txt", "c"); }},
      {"folder", [] { mkDir("A:\\Dir"); }},
      {"copy", [] { fileCopy("C:\\AUTOEXEC.BAT", "A:\\Dir\\auto.bat"); }},
      {"copy over", [] { fileCopy("C:\\WINDOWS\\WIN.INI", "A:\\Dir\\auto.bat"); }},
      {"stream",
       [] {
         File f("A:\\stream.bin", File::Mode::Write);
         f.write(std::string(3000, 's'));
       }},
      {"reopen for writing empties", [] { File f("A:\\stream.bin", File::Mode::Write); }},
      {"rename", [] { rename("A:\\Dir", "A:\\Other"); }},
      {"delete", [] { kill("A:\\Other\\*.*"); }},
      {"remove folder", [] { rmDir("A:\\Other"); }},
      {"behind the layer",
       [] { std::ofstream(hostPath("A:\\outside.bin"), std::ios::binary) << std::string(5000, 'x'); }},
      {"behind the layer, a folder", [&m] { m.remove("A:\\outside.bin"); }},
  };
  for (const Step& step : steps) {
    freeBytes("A:\\");  // the count is in use before the change
    step.change();
    const std::int64_t kept = freeBytes("A:\\");
    EXPECT_EQ(kept, recounted(m, "A:\\")) << step.what;
  }
}

TEST(VolumeBookkeeping, AZipRunIsCountedWithTheArchiveItWrote) {
  testsupport::TestMachine m;
  m.write("C:\\Data\\a.txt", std::string(20000, 'a'));
  m.write("C:\\Data\\b.txt", std::string(9000, 'b'));
  m.write("C:\\Program Files\\Kelvaran\\zip.exe", "zip");
  const std::int64_t before = freeBytes("C:\\");
  ASSERT_EQ(runAndWait("\"C:\\Program Files\\Kelvaran\\zip.exe\" -9qm C:\\out.zip C:\\Data\\*.*"), 0);
  EXPECT_FALSE(fileExists("C:\\Data\\a.txt"));
  const std::int64_t after = freeBytes("C:\\");
  EXPECT_GT(after, before);  // the moved files gave back more than the archive took
  EXPECT_EQ(after, recounted(m, "C:\\"));
  // A failed run may leave anything: the volume is counted again.
  EXPECT_NE(runAndWait("\"C:\\Program Files\\Kelvaran\\zip.exe\" -q C:\\out.zip C:\\Nothing\\*.*"), 0);
  EXPECT_EQ(freeBytes("C:\\"), recounted(m, "C:\\"));
}

TEST(VolumeBookkeeping, ACopyOntoAFullDiskWritesWhatFitsThenFails) {
  testsupport::TestMachine m;
  m.write("C:\\big.bin", std::string(5000, 'b'));
  m.write("C:\\mid.bin", std::string(3500, 'm'));
  setAttr("C:\\mid.bin", kHidden | kArchive);
  m.addMedium(smallDisk(4096), 'A');               // 8 clusters
  writeFile("A:\\first", std::string(1000, 'a'));  // 2 of them
  EXPECT_EQ(errorOf([] { fileCopy("C:\\big.bin", "A:\\big.bin"); }), kDiskFull);
  EXPECT_EQ(fileLen("A:\\big.bin"), 3072);
  EXPECT_EQ(readFile("A:\\big.bin"), std::string(3072, 'b'));
  EXPECT_EQ(getAttr("A:\\big.bin"), kArchive);
  EXPECT_EQ(freeBytes("A:\\"), 0);
  // Copying over a file may use the clusters it had.
  kill("A:\\first");
  fileCopy("C:\\mid.bin", "A:\\big.bin");
  EXPECT_EQ(readFile("A:\\big.bin"), std::string(3500, 'm'));
  EXPECT_EQ(getAttr("A:\\big.bin"), kHidden | kArchive);
  EXPECT_EQ(fileDateTime("A:\\big.bin"), fileDateTime("C:\\mid.bin"));
  EXPECT_EQ(freeBytes("A:\\"), 512);
}

TEST(VolumeBookkeeping, BytesCopiedBetweenOpenFilesAreWrittenAsAWriteWouldBe) {
  testsupport::TestMachine m;
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>('a' + i % 26);
  m.write("C:\\src.bin", bytes);
  m.addMedium(smallDisk(4096), 'A');  // 8 clusters
  File in("C:\\src.bin", File::Mode::Read);
  {
    File out("A:\\part", File::Mode::Write);
    in.seek(100);
    out.copyFrom(in, 1000);
    EXPECT_EQ(in.position(), 1100);
    EXPECT_EQ(out.position(), 1000);
    // What does not fit is left out after what does.
    EXPECT_EQ(errorOf([&] { out.copyFrom(in, 4000); }), kDiskFull);
    EXPECT_EQ(out.size(), 4096);
  }
  EXPECT_EQ(readFile("A:\\part"), bytes.substr(100, 4096));
  EXPECT_EQ(freeBytes("A:\\"), 0);
  EXPECT_EQ(recounted(m, "A:\\"), 0);

  // Room given back after a full disk serves the Retry of the same open file.
  {
    kill("A:\\part");
    writeFile("A:\\first", std::string(1000, 'f'));  // 2 clusters
    File out("A:\\part", File::Mode::Write);
    in.seek(0);
    EXPECT_EQ(errorOf([&] { out.copyFrom(in, 4000); }), kDiskFull);
    EXPECT_EQ(out.size(), 3072);
    kill("A:\\first");
    in.seek(3072);
    out.seek(3072);
    out.copyFrom(in, 1024);
    EXPECT_EQ(out.size(), 4096);
  }
  EXPECT_EQ(readFile("A:\\part"), bytes.substr(0, 4096));
  EXPECT_EQ(freeBytes("A:\\"), 0);
  EXPECT_EQ(recounted(m, "A:\\"), 0);

  File again("C:\\src.bin", File::Mode::Read);
  writeFile("C:\\app.bin", "xy");
  File app("C:\\app.bin", File::Mode::Append);
  app.copyFrom(again, 10);
  again.seek(4990);
  EXPECT_EQ(errorOf([&] { app.copyFrom(again, 20); }), kDeviceIoError);  // the source ends first
  EXPECT_EQ(errorOf([&] { again.copyFrom(app, 1); }), kBadFileMode);
  EXPECT_EQ(errorOf([&] { app.copyFrom(app, 1); }), kBadFileMode);
  app.close();
  EXPECT_EQ(readFile("C:\\app.bin").substr(0, 12), "xy" + bytes.substr(0, 10));
}

TEST(VolumeBookkeeping, MetadataChangesAreOnDiskAfterEachStepAndTheFileIsCompacted) {
  testsupport::TestMachine m;
  const fs::path meta = m.root() / "drives" / "C.meta";
  m.mkdirs("C:\\Many");
  writeFile("C:\\Many\\Long file name.txt", "x");
  setAttr("C:\\Many\\Long file name.txt", kReadOnly | kHidden);
  rename("C:\\Many\\Long file name.txt", "C:\\Many\\Another long name.txt");
  writeFile("C:\\Many\\gone.txt", "y");
  kill("C:\\Many\\gone.txt");
  // What another instance reads now, without this one closing anything.
  {
    const std::string text = hostText(meta);
    EXPECT_NE(text.find("-\tMany/Long file name.txt\n"), std::string::npos);
    EXPECT_NE(text.find("-\tMany/gone.txt\n"), std::string::npos);
  }
  m.reopen();
  EXPECT_EQ(getAttr("C:\\Many\\Another long name.txt"), kReadOnly | kHidden);
  EXPECT_EQ(shortPath("C:\\Many\\Another long name.txt"), "C:\\MANY\\ANOTHE~1.TXT");
  EXPECT_FALSE(fileExists("C:\\Many\\Long file name.txt"));

  // Many changes: the file is written whole again before it grows without end.
  for (int i = 0; i < 300; ++i) setAttr("C:\\Many\\Another long name.txt", i % 2 ? kArchive : kHidden);
  std::size_t lines = 0;
  for (char c : hostText(meta)) lines += c == '\n';
  EXPECT_LT(lines, 2 * 200u + 64u);
  m.reopen();
  EXPECT_EQ(getAttr("C:\\Many\\Another long name.txt"), kArchive);
}

TEST(VolumeBookkeeping, ALongBatchAppendsItsChangesInPiecesAndLosesNone) {
  testsupport::TestMachine m;
  const fs::path meta = m.root() / "drives" / "C.meta";
  m.mkdirs("C:\\Staged");
  writeFile("C:\\Original of the user.txt", "u");
  const auto copy = [](int i) { return "C:\\Staged\\Copy number " + std::to_string(i) + ".txt"; };
  {
    FileBatch batch;
    const auto before = fs::file_size(meta);
    for (int i = 1; i <= 6000; ++i) fileCopyForReading("C:\\Original of the user.txt", copy(i));
    EXPECT_GT(fs::file_size(meta), before);  // not all of it kept until the end
    for (int i = 3; i <= 6000; i += 3) kill(copy(i));
    setAttr(copy(5999), kHidden);
    batch.commit();
  }
  m.reopen();
  EXPECT_EQ(findFiles("C:\\Staged\\*.*", kHidden).size(), 4000u);
  EXPECT_EQ(shortPath(copy(5999)), "C:\\STAGED\\COP~5999.TXT");
  EXPECT_EQ(getAttr(copy(5999)), kHidden);
  EXPECT_FALSE(fileExists(copy(5997)));
}

TEST(VolumeBookkeeping, ALastMetadataLineCutShortIsIgnored) {
  testsupport::TestMachine m;
  writeFile("C:\\kept.txt", "k");
  setAttr("C:\\kept.txt", kHidden);
  const fs::path meta = m.root() / "drives" / "C.meta";
  std::ofstream(meta, std::ios::binary | std::ios::app) << "99999\t7\tKEPT~1\tkept.t";
  m.reopen();
  EXPECT_EQ(getAttr("C:\\kept.txt"), kHidden);
  EXPECT_EQ(shortPath("C:\\kept.txt"), "C:\\KEPT.TXT");
}

TEST(VolumeBookkeeping, AFreshDiskKeepsTheNamesAndAttributesOfItsFirstEntry) {
  testsupport::TestMachine m;
  const std::string medium = m.addMedium(smallDisk(1457664), 'A');
  const fs::path meta = m.root() / "media" / (medium + ".meta");
  EXPECT_TRUE(findFiles("A:\\*.*", kHidden | kSystem | kDirectory).empty());
  writeFile("A:\\Long file name.txt", "x");
  setAttr("A:\\Long file name.txt", kHidden);
  EXPECT_TRUE(fs::exists(meta));
  m.reopen();
  EXPECT_EQ(getAttr("A:\\Long file name.txt"), kHidden);
  EXPECT_EQ(shortPath("A:\\Long file name.txt"), "A:\\LONGFI~1.TXT");
}

// The machine's own files are replaced in one step through a scratch file
// that the files of a folder share: each keeps exactly its last content,
// longer or shorter than what the scratch file held.
TEST(VolumeBookkeeping, MachineFilesKeepExactlyTheirLastContent) {
  testsupport::TestMachine m;
  const fs::path a = m.root() / "a.ini", b = m.root() / "b.ini";
  const std::pair<const fs::path*, std::string> writes[] = {
      {&a, std::string(5000, 'a')},
      {&b, "short\n"},
      {&a, "shorter\n"},
      {&b, std::string(9000, 'b')},
      {&a, ""},
      {&b, "last\n"},
      {&a, "again\n"},
  };
  std::map<const fs::path*, std::string> expected;
  for (const auto& [file, bytes] : writes) {
    detail::writeHostFileAtomically(*file, bytes);
    expected[file] = bytes;
    EXPECT_EQ(hostText(a), expected[&a]);
    EXPECT_EQ(hostText(b), expected[&b]);
  }
}

}  // namespace
}  // namespace platform
