// The import folder listing: which files are configurations, their rows and
// the rule that tells a 1.2x file from a current one.
#include "restore/import_listing.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "support/source_files.h"
#include "support/test_machine.h"

namespace {

constexpr const char* kFolder = "N:\\OLD\\";
const platform::DateTime kWritten{2026, 11, 3, 9, 5, 7};

class ImportListingTest : public ::testing::Test {
 protected:
  void put(int slot, const std::string& bytes) {
    const std::string file = std::string(kFolder) + "Config" + std::to_string(slot) + ".ini";
    machine.write(file, bytes);
    platform::setFileDateTime(file, kWritten);
  }
  testsupport::TestMachine machine;
};

TEST_F(ImportListingTest, RowIsNumberPaddedDescriptionAndDate) {
  const struct {
    std::string description;
    std::string row;
  } cases[] = {
      {"Work", "3 / Work            / 03/11/2026 09:05:07"},
      {"Exactly fifteen", "3 / Exactly fifteen / 03/11/2026 09:05:07"},
      // Longer than the column: kept whole, without padding.
      {"A description too long", "3 / A description too long / 03/11/2026 09:05:07"},
      {"", "3 /                 / 03/11/2026 09:05:07"},
  };
  for (const auto& c : cases) EXPECT_EQ(restore::importRow(3, c.description, kWritten), c.row);
  // Midnight: the general date form leaves the time out.
  EXPECT_EQ(restore::importRow(1, "Night", platform::DateTime{2026, 1, 2, 0, 0, 0}),
            "1 / Night           / 02/01/2026");
}

TEST_F(ImportListingTest, FormatRecognition) {
  const struct {
    const char* what;
    std::string bytes;
    bool legacy;
    std::string description;
  } cases[] = {
      {"current", "[Configuration]\r\nConfigName=Office\r\n[SystemFiles]\r\nSaveFolder=N:\\OLD\\\r\n", false,
       "Office"},
      {"current, empty name", "[Configuration]\r\nConfigName=\r\n[SystemFiles]\r\nSaveFolder=N:\\OLD\\\r\n",
       false, ""},
      {"current, no name key", "[SystemFiles]\r\nSaveFolder=C:\\Save\\\r\n", false, ""},
      {"1.2x", testsupport::sourceFile("src/restore/tests/data/legacy_1_2x.ini"), true,
       "Before 1999, old PC"},
      {"1.2x, plain first field", "Old PC,C:\\WINDOWS,C:\\SAVE\r\n", true, "Old PC"},
      {"empty file", "", true, ""},
  };
  for (const auto& c : cases) {
    put(1, c.bytes);
    EXPECT_EQ(restore::isLegacyDescription("N:\\OLD\\Config1.ini"), c.legacy) << c.what;
    EXPECT_EQ(restore::listedDescription("N:\\OLD\\Config1.ini"), c.description) << c.what;
  }
}

TEST_F(ImportListingTest, ListsOnlyTheSlotsWhoseDescriptionExists) {
  put(2, "[Configuration]\r\nConfigName=Second\r\n");
  put(5, "");  // an empty old file still gets its row
  machine.write("N:\\OLD\\Config6.ini", "[Configuration]\r\nConfigName=Six\r\n");
  machine.write("N:\\OLD\\Conf2.kvz", "");
  machine.mkdirs("N:\\OLD\\Config3.ini\\");  // a folder, not a description
  EXPECT_EQ(restore::listImportFolder(kFolder),
            (std::vector<std::string>{"2 / Second          / 03/11/2026 09:05:07",
                                      "5 /                 / 03/11/2026 09:05:07"}));
  EXPECT_TRUE(restore::listImportFolder("N:\\Shared\\").empty());
  EXPECT_TRUE(restore::listImportFolder("N:\\Missing\\").empty());
}

TEST_F(ImportListingTest, RowSlotIsItsFirstCharacter) {
  EXPECT_EQ(restore::rowSlot("4 / Work"), 4);
  EXPECT_EQ(restore::rowSlot(""), 0);
  EXPECT_EQ(restore::rowSlot("available"), 0);
  EXPECT_EQ(restore::rowSlot("6 / Work"), 0);
}

}  // namespace
