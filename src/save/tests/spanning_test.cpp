// A save onto floppy disks in drive A: of the demo machine: archives moved
// over the disks whole and split, the [SplitLog] record, the descriptions on
// the last disk, and the ways such a save can be cut short.
#include "save/spanning.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "core/disk_check.h"
#include "core/disk_join.h"
#include "core/inifile.h"
#include "core/paths.h"
#include "core/state.h"
#include "forms/app.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/process.h"
#include "platform/vb.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "support/save_fixture.h"
#include "windows/animate.h"
#include "windows/form1.h"
#include "windows/frmnotempty.h"

namespace save {
namespace {

using savetest::kProgram;
const std::string kSaved = savetest::kSavedMessage;
constexpr std::int64_t kFloppy = 1457664;  // an empty 1.44 MB disk, 512-byte clusters

std::string noise(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::int64_t clusters512(std::int64_t bytes) { return (bytes + 511) / 512 * 512; }

class Spanning : public savetest::SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    selectSmallSystem();
    writeUserList({});
    // The slot's old configuration, which only a complete save may replace.
    machine().write(kProgram + "Config1.ini", kOldIni);
    machine().write(kProgram + "Config1.usr", " 0\r\n\r\n");
    core::state().ConfigDates(1) = "01/01/2026";
    core::state().SaveFolder = "A:\\";
    prepareSlot(1, "Floppy");
    captureArchives();
    core::SetNotEmptyPresenter({});
  }

  void TearDown() override {
    core::SetNotEmptyPresenter({});
    SaveTest::TearDown();
  }

  // A user file of incompressible bytes, so its archive is about as large.
  void bigUserFile(std::size_t size) {
    machine().write("C:\\My Documents\\Big.bin", noise(size, 7));
    writeUserList({"C:\\My Documents\\Big.bin"});
  }

  // zip.exe runs as usual; each archive's bytes are kept as zip left them.
  void captureArchives() {
    platform::FakeProgram zip;
    zip.action = [this](const std::vector<std::string>& argv) {
      const int code = platform::runZip({argv.begin() + 1, argv.end()}).exitCode;
      for (const std::string& a : argv) {
        if (a.size() > 4 && platform::vb::equalsNoCase(a.substr(a.size() - 4), ".kvz"))
          built[core::GetFileName(a)] = platform::readFile(a);
      }
      if (afterZip) afterZip();
      return code;
    };
    platform::installFakeProgram("zip.exe", zip);
  }

  void expectFirstDisk(int answer = forms::vbOK) {
    dialogs()
        .expect("Please insert Disk No. 1 now!")
        .style(forms::vbOKCancel + forms::vbInformation)
        .title("Message")
        .answer(answer);
  }
  // The copy's request for the next disk of a split, answered by inserting `medium`.
  void expectNextDisk(int disk, const std::string& medium) {
    dialogs()
        .expect("Please insert Disk No. " + std::to_string(disk) + " now!")
        .style(forms::vbOKOnly)
        .title("")
        .then([this, medium] { machine().insert('A', medium); });
  }
  // "Please insert Disk No. <n> now!" with OK and Cancel, as the request for a
  // disk for the descriptions and the join's requests ask it.
  void expectDescriptionDisk(int disk, int answer, const std::string& medium) {
    auto& e = dialogs()
                  .expect("Please insert Disk No. " + std::to_string(disk) + " now!")
                  .style(forms::vbOKCancel + forms::vbInformation)
                  .title("Message")
                  .answer(answer);
    if (!medium.empty()) e.then([this, medium] { machine().insert('A', medium); });
  }

  std::string labelOf(const std::string& medium) {
    machine().insert('A', medium);
    return core::state().SysInfo.VolumeLabel("A:\\");
  }
  std::vector<std::string> filesOn(const std::string& medium) {
    machine().insert('A', medium);
    return filesIn("A:\\");
  }
  std::int64_t lengthOn(const std::string& medium, const std::string& file) {
    machine().insert('A', medium);
    return platform::fileLen("A:\\" + file);
  }
  std::string newMedium(std::int64_t capacity, bool writeProtected = false) {
    platform::MediumSpec spec;
    spec.capacity = capacity;
    spec.writeProtected = writeProtected;
    return machine().addMedium(spec);
  }

  void expectOldSlotWhole() {
    EXPECT_EQ(content(kProgram + "Config1.ini"), kOldIni);
    EXPECT_EQ(content(kProgram + "Config1.usr"), " 0\r\n\r\n");
    EXPECT_EQ(core::state().ConfigDates(1), "01/01/2026");
  }
  void expectRunEnded() {
    EXPECT_EQ(core::state().SaveFolder, "A:\\");
    EXPECT_FALSE(windows::Animate().loaded());
    EXPECT_FALSE(core::state().AnimateShown);
    EXPECT_TRUE(windows::Form1().Command2.enabled());
  }

  static constexpr const char* kOldIni = "[Configuration]\r\nConfigName=Before\r\n";
  std::map<std::string, std::string> built;  // archive name -> bytes zip made
  std::function<void()> afterZip;
};

TEST_F(Spanning, ASaveOverThreeDisksSplitsWhatDoesNotFitAndJoinsBackByteForByte) {
  bigUserFile(3000000);
  expectFirstDisk();
  expectNextDisk(2, "disk02");
  expectNextDisk(3, "disk03");
  dialogs().expect(kSaved);
  SaveConfiguration();
  dialogs().verify();
  auto& st = core::state();
  ASSERT_TRUE(st.SaveSucceeded);
  EXPECT_EQ(st.SaveFolder, "A:\\");
  EXPECT_EQ(st.SpanTargetRoot, "A:\\");
  EXPECT_EQ(st.DiskNo, 3);
  EXPECT_EQ(st.ConfigDates(1), " 9/12/2026");
  expectRunEnded();

  // The system archive whole on disk 1, the user archive in three parts, the
  // Start menu and the favorites whole on disk 3 behind the last part, and the
  // descriptions there too.
  EXPECT_EQ(filesOn("disk01"), (std::vector<std::string>{"Conf1.kvz", "Conf1us.kv1"}));
  EXPECT_EQ(filesOn("disk02"), (std::vector<std::string>{"Conf1us.kv2"}));
  EXPECT_EQ(filesOn("disk03"), (std::vector<std::string>{"Conf1mb.kvz", "Conf1s.kvz", "Conf1us.kv3",
                                                         "Config1.ini", "Config1.usr"}));
  EXPECT_EQ(labelOf("disk01"), "Save#1");
  EXPECT_EQ(labelOf("disk02"), "Save#2");
  EXPECT_EQ(labelOf("disk03"), "Save#3");
  const std::int64_t user = static_cast<std::int64_t>(built.at("Conf1us.kvz").size());
  const std::int64_t part1 = kFloppy - clusters512(static_cast<std::int64_t>(built.at("Conf1.kvz").size()));
  EXPECT_EQ(lengthOn("disk01", "Conf1us.kv1"), part1);
  EXPECT_EQ(lengthOn("disk02", "Conf1us.kv2"), kFloppy);
  EXPECT_EQ(lengthOn("disk03", "Conf1us.kv3"), user - part1 - kFloppy);

  // [SplitLog] first, one block per archive in the order of the record.
  const std::string disk = content("A:\\Config1.ini");
  EXPECT_EQ(disk, content(kProgram + "Config1.ini"));
  EXPECT_EQ(disk.substr(0, disk.find("[Configuration]")),
            "[SplitLog]\r\n"
            "File1=" +
                kProgram + "Conf1.kvz\r\n" + kProgram +
                "Conf1.kvz= 0\r\n"
                "File2=" +
                kProgram + "Conf1us.kvz\r\n" + kProgram +
                "Conf1us.kvz= 3\r\n"
                "File3=" +
                kProgram + "Conf1s.kvz\r\n" + kProgram +
                "Conf1s.kvz= 0\r\n"
                "File5=" +
                kProgram + "Conf1mb.kvz\r\n" + kProgram + "Conf1mb.kvz= 0\r\n\r\n");
  EXPECT_EQ(core::ReadIni("SystemFiles", "SaveFolder", "A:\\Config1.ini"), "A:\\");
  EXPECT_EQ(content("A:\\Config1.usr"), " 1\r\nC:\\My Documents\\Big.bin\r\n\r\n");
  // Nothing is left in the program folder but the new description.
  std::vector<std::string> slotFiles;
  for (const std::string& name : filesIn(kProgram))
    if (name.rfind("Conf", 0) == 0) slotFiles.push_back(name);
  EXPECT_EQ(slotFiles, (std::vector<std::string>{"Config1.ini", "Config1.usr"}));

  // Joined back from the disks as a restore does, starting at the last disk.
  st.DiskNo = 0;
  st.DiskRestorePath = kProgram + "DiskRestore\\";
  machine().insert('A', "disk03");
  expectDescriptionDisk(1, forms::vbOK, "disk01");
  expectDescriptionDisk(2, forms::vbOK, "disk02");
  expectDescriptionDisk(3, forms::vbOK, "disk03");
  for (int k = 1; k <= 9; ++k) {
    const std::string path = core::ReadIni("SplitLog", "File" + std::to_string(k), kProgram + "Config1.ini");
    if (path.empty()) continue;
    const std::string name = core::GetFileName(path);
    const int parts = std::stoi(core::ReadIni("SplitLog", path, kProgram + "Config1.ini"));
    SCOPED_TRACE(name);
    ASSERT_TRUE(core::ConcatSplitFile("A:\\" + name, st.DiskRestorePath + name, parts));
    EXPECT_EQ(content(st.DiskRestorePath + name), built.at(name));
  }
  EXPECT_EQ(built.size(), 4u);
}

// A spanned save with every group records all nine archives, one block each,
// in the record's order whatever order they were made in.
TEST_F(Spanning, AllNineArchivesAreRecordedInTheirOwnOrder) {
  findEveryGroup();
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) UserFilesBox(box).setValue(1);
  machine().write("C:\\My Documents\\Brief.doc", "Dear");
  writeUserList({"C:\\My Documents\\Brief.doc"});
  expectFirstDisk();
  dialogs().expect(kSaved);
  SaveConfiguration();
  dialogs().verify();
  ASSERT_TRUE(core::state().SaveSucceeded);

  std::string expected = "[SplitLog]\r\n";
  int k = 0;
  for (const char* suffix : {"", "us", "s", "mc", "mb", "ma", "mx", "na", "nw"}) {
    const std::string archive = kProgram + "Conf1" + suffix + ".kvz";
    expected += "File" + std::to_string(++k) + "=" + archive + "\r\n" + archive + "= 0\r\n";
  }
  const std::string disk = content("A:\\Config1.ini");
  EXPECT_EQ(disk.substr(0, disk.find("[Configuration]")), expected + "\r\n");
  EXPECT_EQ(filesOn("disk01").size(), 11u);  // the nine archives and the two descriptions
}

TEST_F(Spanning, AFullDiskTakenAsItIsGetsAnEmptyPartAndTheSetGoesOn) {
  bigUserFile(500000);
  const std::string disk1 = newMedium(368640), full = newMedium(368640), disk3 = newMedium(368640);
  machine().insert('A', full);
  machine().write("A:\\Letters.dat", std::string(368640, 'x'));
  machine().insert('A', disk1);
  core::SetNotEmptyPresenter([](windows::FrmNotEmptyWindow& w) { w.Command3.click(); });  // "Continue?"
  expectFirstDisk();
  expectNextDisk(2, full);
  expectNextDisk(3, disk3);
  dialogs().expect(kSaved);
  SaveConfiguration();
  dialogs().verify();
  ASSERT_TRUE(core::state().SaveSucceeded);
  EXPECT_NE(content("A:\\Config1.ini").find(kProgram + "Conf1us.kvz= 3\r\n"), std::string::npos);
  EXPECT_EQ(lengthOn(full, "Conf1us.kv2"), 0);
  EXPECT_EQ(labelOf(full), "Save#2");
  // Joined back over the same three disks, the empty part included.
  auto& st = core::state();
  st.DiskNo = 0;
  st.DiskRestorePath = kProgram + "DiskRestore\\";
  machine().insert('A', disk1);
  dialogs().expect("Please insert Disk No. 2 now!").then([&] { machine().insert('A', full); });
  dialogs().expect("Please insert Disk No. 3 now!").then([&] { machine().insert('A', disk3); });
  ASSERT_TRUE(core::ConcatSplitFile("A:\\Conf1us.kvz", st.DiskRestorePath + "Conf1us.kvz", 3));
  EXPECT_EQ(content(st.DiskRestorePath + "Conf1us.kvz"), built.at("Conf1us.kvz"));
}

TEST_F(Spanning, AWriteProtectedDiskMidSetFailsTheSaveAndKeepsTheOldSlot) {
  bigUserFile(500000);
  const std::string disk1 = newMedium(368640), locked = newMedium(368640, true);
  machine().insert('A', disk1);
  expectFirstDisk();
  expectNextDisk(2, locked);
  dialogs()
      .expect("resCANTOPEN \r" + kProgram + "Conf1.new\\Conf1us.kvz")
      .containing()
      .style(forms::vbAbortRetryIgnore + forms::vbExclamation + forms::vbDefaultButton2)
      .answer(forms::vbAbort);
  SaveConfiguration();
  dialogs().verify();
  EXPECT_FALSE(core::state().SaveSucceeded);
  expectOldSlotWhole();
  expectRunEnded();
  // The archive the disks could not take is kept as zip made it; the
  // description begun for the set is gone, and no disk got one.
  EXPECT_EQ(content(kProgram + "Conf1.new\\Conf1us.kvz"), built.at("Conf1us.kvz"));
  EXPECT_EQ(filesIn(kProgram + "Conf1.new\\"),
            (std::vector<std::string>{"Conf1mb.kvz", "Conf1s.kvz", "Conf1us.kvz"}));
  EXPECT_EQ(filesOn(disk1), (std::vector<std::string>{"Conf1.kvz", "Conf1us.kv1"}));
  EXPECT_EQ(filesOn(locked), std::vector<std::string>{});
}

TEST_F(Spanning, CancelAtTheFirstDiskSavesNothing) {
  expectFirstDisk(forms::vbCancel);
  SaveConfiguration();
  auto& st = core::state();
  EXPECT_FALSE(st.SaveSucceeded);
  EXPECT_EQ(st.SaveFolder, "A:\\");
  EXPECT_TRUE(platform::processRuns().empty());
  EXPECT_TRUE(filesIn("A:\\").empty());
  EXPECT_FALSE(machine().exists(kProgram + "Conf1.new"));
  expectOldSlotWhole();
}

TEST_F(Spanning, ARoomyRemovableDiskIsSavedToDirectly) {
  machine().insert('A', newMedium(2949120));  // 2.88 MB: still a floppy, but with room
  expectFirstDisk();
  dialogs().expect(kSaved);
  SaveConfiguration();
  EXPECT_TRUE(core::state().SaveSucceeded);
  EXPECT_EQ(core::state().SpanTargetRoot, "");
  EXPECT_EQ(filesIn("A:\\"), (std::vector<std::string>{"Conf1.kvz", "Conf1mb.kvz", "Conf1s.kvz",
                                                       "Config1.ini", "Config1.usr"}));
  EXPECT_EQ(core::ReadIni("SplitLog", "File1", "A:\\Config1.ini"), "");
  EXPECT_EQ(core::state().SysInfo.VolumeLabel("A:\\"), "NoName");
}

// All archives fit on disk 1, but the descriptions do not: they go onto the
// disk the user inserts next, or nowhere when the user cancels.
TEST_F(Spanning, DescriptionsThatDoNotFitOnTheLastDiskAskForAnotherDisk) {
  struct Case {
    const char* what;
    std::function<void()> script;
    bool saved;
  };
  const Case cases[] = {
      {"another disk", [this] { expectDescriptionDisk(2, forms::vbOK, "disk02"); }, true},
      {"a write-protected disk, then another",
       [this] {
         expectDescriptionDisk(2, forms::vbOK, newMedium(368640, true));
         dialogs().expect("Config1.ini\rAccess denied").style(forms::vbOKOnly + forms::vbCritical);
         expectDescriptionDisk(2, forms::vbOK, "disk02");
       },
       true},
      {"cancel", [this] { expectDescriptionDisk(2, forms::vbCancel, ""); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* medium : {"disk01", "disk02"}) {
      machine().insert('A', medium);
      for (const std::string& name : filesIn("A:\\")) machine().remove("A:\\" + name);
    }
    machine().insert('A', "disk01");
    // Once the last archive is made, fill disk 1 but for the archives' room.
    afterZip = [this] {
      if (!built.count("Conf1mb.kvz")) return;
      std::int64_t archives = 0;
      for (const auto& [name, bytes] : built)
        archives += clusters512(static_cast<std::int64_t>(bytes.size()));
      machine().write("A:\\Filler.dat", std::string(platform::freeBytes("A:\\") - archives - 512, 'f'));
    };
    built.clear();
    core::state().SaveFolder = "A:\\";
    prepareSlot(1, "Floppy");
    core::SetNotEmptyPresenter([](windows::FrmNotEmptyWindow& w) { w.Command3.click(); });
    expectFirstDisk();
    c.script();
    if (c.saved) dialogs().expect(kSaved);
    SaveConfiguration();
    dialogs().verify();
    EXPECT_EQ(core::state().SaveSucceeded, c.saved);
    EXPECT_EQ(core::state().DiskNo, 1);
    expectRunEnded();
    EXPECT_EQ(filesOn("disk01"),
              (std::vector<std::string>{"Conf1.kvz", "Conf1mb.kvz", "Conf1s.kvz", "Filler.dat"}));
    if (c.saved) {
      EXPECT_EQ(filesOn("disk02"), (std::vector<std::string>{"Config1.ini", "Config1.usr"}));
      EXPECT_EQ(content("A:\\Config1.ini"), content(kProgram + "Config1.ini"));
      EXPECT_EQ(labelOf("disk02"), "NoName");
    } else {
      expectOldSlotWhole();
      EXPECT_FALSE(machine().exists(kProgram + "Conf1.new"));
    }
    machine().write(kProgram + "Config1.ini", kOldIni);
    machine().write(kProgram + "Config1.usr", " 0\r\n\r\n");
    core::state().ConfigDates(1) = "01/01/2026";
  }
}

TEST(SplitLogBlock, WritesThePathAndThePartCountWithItsSignBlank) {
  testsupport::TestMachine machine;
  const std::string file = "C:\\Config1.ini";
  for (const auto& [k, parts] : {std::pair{1, 0}, std::pair{9, 3}, std::pair{5, 12}})
    WriteSplitLogBlock(file, k, "C:\\KV\\Conf1_" + std::to_string(k) + ".kvz", parts);
  EXPECT_EQ(machine.read(file),
            "[SplitLog]\r\n"
            "File1=C:\\KV\\Conf1_1.kvz\r\nC:\\KV\\Conf1_1.kvz= 0\r\n"
            "File9=C:\\KV\\Conf1_9.kvz\r\nC:\\KV\\Conf1_9.kvz= 3\r\n"
            "File5=C:\\KV\\Conf1_5.kvz\r\nC:\\KV\\Conf1_5.kvz= 12\r\n");
}

}  // namespace
}  // namespace save
