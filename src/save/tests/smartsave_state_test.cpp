// The SmartSave file SmartSv.ini and the start-up step that loads it.
#include "save/smartsave_state.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <fstream>

#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "smartsave_fixture.h"
#include "support/golden.h"

namespace save {
namespace {

using smartsavetest::crlfLines;
using smartsavetest::kProgram;
using smartsavetest::kSmartGo;
using smartsavetest::kSmartSv;
using testing::ElementsAre;

const std::vector<std::string> kNotSaved = {"#1 : Not Saved", "#2 : Not Saved", "#3 : Not Saved",
                                            "#4 : Not Saved"};

class SmartSaveState : public smartsavetest::SmartSaveTest {};

TEST_F(SmartSaveState, FirstStartCreatesTheFileAndStaysDisabledDespiteTheMarker) {
  putMarker();
  InitSmartSave();

  EXPECT_TRUE(testsupport::matchesGolden(smartSv(), "src/save/tests/golden/smartsv_new.ini"));
  auto& f = windows::Form1();
  std::vector<std::string> items;
  for (int i = 0; i < f.Combo1.listCount(); ++i) items.push_back(f.Combo1.list(i));
  EXPECT_THAT(items, ElementsAre("Disabled", "Daily", "Weekly", "Monthly", "User defined"));
  EXPECT_EQ(f.Combo1.listIndex(), 0);
  EXPECT_EQ(f.Text3.text(), "0");
  EXPECT_TRUE(f.Text3.locked());
  EXPECT_EQ(rows(), kNotSaved);
  EXPECT_EQ(core::state().LastSmartSaveDate, "9/12/2026");
  EXPECT_EQ(core::state().SmartSaveSlot, 0);
  EXPECT_FALSE(core::state().SmartSaveRunning);
  EXPECT_TRUE(markerPresent());
  EXPECT_EQ(ends, 0);
}

TEST_F(SmartSaveState, ReadingLoadsEveryValueAndLeavesTheFileAsItWas) {
  const std::vector<std::string> lines = {
      " 4 ",           "1/11/2026", " 2 ", "14", "#1 :  30/Oct/2026", "#2 :  1/Nov/2026", "#3 : Not Saved",
      "#4 : Not Saved"};
  writeSmartSv(lines);
  InitSmartSave();  // "User defined" asks nothing while the main window is hidden

  auto& f = windows::Form1();
  EXPECT_EQ(f.Combo1.listIndex(), 4);
  EXPECT_EQ(f.Text3.text(), "14");
  EXPECT_EQ(core::state().LastSmartSaveDate, "1/11/2026");
  EXPECT_EQ(core::state().SmartSaveSlot, 2);
  EXPECT_EQ(rows(), std::vector<std::string>(lines.begin() + 4, lines.end()));
  EXPECT_EQ(smartSv(), crlfLines(lines));
  EXPECT_FALSE(core::state().SmartSaveRunning);
}

// Damaged files: what each value becomes; the file itself is never rewritten.
struct Damaged {
  const char* what;
  std::vector<std::string> lines;
  int interval;
  int slot;
  std::string days;
  std::vector<std::string> rows;
};

TEST_F(SmartSaveState, DamagedValuesFallBackToSafeOnes) {
  const std::vector<std::string> dated = {"#1 :  9/Dec/2026", "#2 : Not Saved", "#3 : Not Saved",
                                          "#4 : Not Saved"};
  const Damaged cases[] = {
      {"counter 4 starts the cycle again", {" 2 ", "9/12/2026", " 4 ", "7"}, 2, 0, "7", kNotSaved},
      {"negative counter", {" 1 ", "9/12/2026", "-1 ", "1"}, 1, 0, "1", kNotSaved},
      {"counter past the slots", {" 1 ", "9/12/2026", " 17 ", "1"}, 1, 0, "1", kNotSaved},
      {"counter not a number", {" 1 ", "9/12/2026", "x", "1"}, 1, 0, "1", kNotSaved},
      {"interval not a number", {"Daily", "9/12/2026", " 1 ", "1"}, 0, 1, "1", kNotSaved},
      {"interval past the list", {" 5 ", "9/12/2026", " 1 ", "1"}, 0, 1, "1", kNotSaved},
      {"interval negative", {"-1 ", "9/12/2026", " 1 ", "1"}, 0, 1, "1", kNotSaved},
      {"interval not whole", {" 1.5 ", "9/12/2026", " 1 ", "1"}, 0, 1, "1", kNotSaved},
      {"empty file", {}, 0, 0, "0", kNotSaved},
      {"no days and rows: the interval's count", {" 3 ", "9/12/2026", " 1 "}, 3, 1, "30", kNotSaved},
      {"a comma ends the value, the rows stay in place",
       {" 4 ", "9/12/2026", " 1 ", "3,5", "#1 :  9/Dec/2026", "#2 : Not Saved", "#3 : Not Saved",
        "#4 : Not Saved"},
       4,
       1,
       "3",
       dated},
      {"an empty row is not saved",
       {" 1 ", "9/12/2026", " 1 ", "1", "#1 :  9/Dec/2026", ""},
       1,
       1,
       "1",
       dated},
  };
  for (const Damaged& c : cases) {
    SCOPED_TRACE(c.what);
    writeSmartSv(c.lines);
    const std::string before = smartSv();
    InitSmartSave();
    EXPECT_EQ(windows::Form1().Combo1.listIndex(), c.interval);
    EXPECT_EQ(core::state().SmartSaveSlot, c.slot);
    EXPECT_EQ(windows::Form1().Text3.text(), c.days);
    EXPECT_EQ(rows(), c.rows);
    EXPECT_EQ(smartSv(), before);
  }
}

TEST_F(SmartSaveState, AnUnreadableIntervalNeverStartsARun) {
  putMarker();
  writeSmartSv({"Weekly", "9/12/2026", " 0 ", "7"});
  InitSmartSave();
  EXPECT_FALSE(core::state().SmartSaveRunning);
  EXPECT_TRUE(markerPresent());
}

TEST_F(SmartSaveState, RowsOfTheOtherMessageTableReadAsThisTablesNotSaved) {
  writeSmartSv({" 1 ", "9/12/2026", " 2 ", "1", "#1 :  9/Dec/2026", "#2 : Nicht Gesichert", "#3 : Not Saved",
                "#4 : Nicht Gesichert"});
  InitSmartSave();
  EXPECT_THAT(rows(), ElementsAre("#1 :  9/Dec/2026", "#2 : Not Saved", "#3 : Not Saved", "#4 : Not Saved"));

  QTemporaryDir folder;
  const std::string table = folder.filePath("deutsch.txt").toStdString();
  std::ofstream(table, std::ios::binary)
      << "1006\tKeine\n1128\tTaeglich\n1129\tWoechentlich\n1130\tMonatlich\n1131\tNicht Gesichert\n"
         "1133\tDeaktiviert\n1176\tBenutzerdefiniert\n";
  forms::setMessageTableSource(table);
  InitSmartSave();
  forms::setMessageTableSource("");
  EXPECT_THAT(rows(), ElementsAre("#1 :  9/Dec/2026", "#2 : Nicht Gesichert", "#3 : Nicht Gesichert",
                                  "#4 : Nicht Gesichert"));
  EXPECT_EQ(windows::Form1().Combo1.list(0), "Deaktiviert");
}

TEST_F(SmartSaveState, TheFileIsTheProgramFoldersWhateverTheCurrentFolder) {
  platform::chDir("C:\\WINDOWS");
  InitSmartSave();
  EXPECT_TRUE(testsupport::matchesGolden(smartSv(), "src/save/tests/golden/smartsv_new.ini"));
  EXPECT_FALSE(machine().exists("C:\\WINDOWS\\SmartSv.ini"));
}

TEST_F(SmartSaveState, AFileThatCanNeitherBeFoundNorMadeLeavesSmartSaveDisabled) {
  machine().mkdirs(kSmartSv + "\\");  // a folder where the file should be
  putMarker();
  InitSmartSave();
  auto& f = windows::Form1();
  EXPECT_EQ(f.Combo1.listIndex(), 0);
  EXPECT_EQ(f.Text3.text(), "0");
  EXPECT_EQ(rows(), kNotSaved);
  EXPECT_EQ(core::state().LastSmartSaveDate, "9/12/2026");
  EXPECT_FALSE(core::state().SmartSaveRunning);
  EXPECT_TRUE(markerPresent());
}

TEST_F(SmartSaveState, HiddenAndSystemMarkersAreNotSeen) {
  putMarker();
  EXPECT_TRUE(SmartGoPresent());
  machine().setAttributes(kSmartGo, platform::kHidden);
  EXPECT_FALSE(SmartGoPresent());
  machine().setAttributes(kSmartGo, platform::kSystem);
  EXPECT_FALSE(SmartGoPresent());
  machine().setAttributes(kSmartGo, platform::kReadOnly);
  EXPECT_TRUE(SmartGoPresent());
  DeleteSmartGo();  // read-only or not, the marker goes
  EXPECT_FALSE(markerPresent());
}

TEST(SmartSaveFileFormat, ValuesHoldingALineBreakAreRefused) {
  for (std::string bad : {std::string("1\r\n2"), std::string("1\n"), std::string("1\0", 2)}) {
    SmartSaveFile file;
    file.rows[2] = bad;
    try {
      FormatSmartSaveFile(file);
      ADD_FAILURE() << "written";
    } catch (const platform::RuntimeError& error) {
      EXPECT_EQ(error.number(), platform::kInvalidCall);
    }
  }
}

TEST(SmartSaveFileFormat, EachLineGivesOneField) {
  const SmartSaveLines lines = ParseSmartSaveFile("  3  \r\n\"a, b\" tail,x\nplain, more\r  last");
  EXPECT_EQ(lines[0], "3");
  EXPECT_EQ(lines[1], "a, b");
  EXPECT_EQ(lines[2], "plain");
  EXPECT_EQ(lines[3], "last");
  EXPECT_EQ(lines[4], std::nullopt);
}

}  // namespace
}  // namespace save
