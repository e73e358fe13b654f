// The 1.2x description: its fields, its pair table, and where a read stops.
#include "restore/legacy_description.h"

#include <gtest/gtest.h>

#include <string>

#include "support/source_files.h"
#include "support/test_machine.h"

namespace {

constexpr const char* kFile = "N:\\OLD\\Config1.ini";

// A 1.2x file as version 1.2x wrote it: three header fields, 24 pairs, the
// four folders and a user-file tail.
std::string fixture() { return testsupport::sourceFile("src/restore/tests/data/legacy_1_2x.ini"); }

// The fixture cut after `lines` lines (each ends in CR LF).
std::string firstLines(int lines) {
  const std::string text = fixture();
  std::size_t end = 0;
  for (int i = 0; i < lines; ++i) end = text.find("\r\n", end) + 2;
  return text.substr(0, end);
}

class LegacyDescriptionTest : public ::testing::Test {
 protected:
  restore::LegacyDescription read(const std::string& bytes) {
    machine.write(kFile, bytes);
    return restore::readLegacyDescription(kFile);
  }
  testsupport::TestMachine machine;
};

TEST_F(LegacyDescriptionTest, ReadsEveryFieldOfTheFixture) {
  const auto d = read(fixture());
  EXPECT_EQ(d.error, 0);
  EXPECT_EQ(d.name, "Before 1999, old PC");
  EXPECT_EQ(d.systemPath, "C:\\WINDOWS");
  EXPECT_EQ(d.saveFolder, "D:\\OLDSAVE\\");  // the "\" is added
  ASSERT_EQ(d.pairs.size(), 24u);
  // Saved flags in pair order; enabled flags "True"/"False" and numbers.
  const int saved[24] = {1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 1, 0, 1, 0, 0, 0};
  for (int k = 0; k < 24; ++k) EXPECT_EQ(d.pairs[k].saved, saved[k]) << restore::kLegacyPairs[k].item;
  EXPECT_TRUE(d.pairs[0].enabled);
  EXPECT_FALSE(d.pairs[2].enabled);
  EXPECT_TRUE(d.pairs[3].enabled);    // "True" although not saved
  EXPECT_TRUE(d.pairs[20].enabled);   // "-1"
  EXPECT_FALSE(d.pairs[21].enabled);  // "0"
  EXPECT_EQ(d.favorites, "C:\\WINDOWS\\Favorites\\");
  EXPECT_EQ(d.netscape, "");
  EXPECT_EQ(d.startMenu, "C:\\WINDOWS\\Start Menu\\");
  // The tail is read through (a quoted comma stays inside its field).
  EXPECT_EQ(d.userFiles, (std::vector<std::string>{"C:\\My Documents\\Budget 1999.csv",
                                                   "C:\\My Documents\\Letter, to the club.txt"}));
}

TEST_F(LegacyDescriptionTest, PairTableNamesTheBoxesInFileOrder) {
  using RR = windows::RestoreReqWindow;
  const restore::RestoreBox boxes[24] = {
      &RR::Check1,  &RR::Check2,  &RR::Check3,  &RR::Check4,  &RR::Check5,  &RR::Check6,
      &RR::Check7,  &RR::Check8,  &RR::Check9,  &RR::Check12, &RR::Check13, &RR::Check14,
      &RR::Check15, &RR::Check16, &RR::Check20, &RR::Check17, &RR::Check24, &RR::Check10,
      &RR::Check11, &RR::Check18, &RR::Check19, &RR::Check21, &RR::Check22, &RR::Check23,
  };
  for (int k = 0; k < 24; ++k) EXPECT_EQ(restore::kLegacyPairs[k].box, boxes[k]) << k;
}

TEST_F(LegacyDescriptionTest, SaveFolderWithItsBackslashAndStartMenuNoneAndNoTail) {
  // Header on separate lines, the save folder already ending in "\", no
  // user files: the file ends right after field 55.
  std::string text = "\"Mine\"\r\n\"C:\\WINDOWS\"\r\n\"C:\\SAVE\\\"\r\n";
  for (int k = 0; k < 24; ++k) text += "0,False\r\n";
  text += "\"\",\"\",\"None\",\"None\"\r\n";
  const auto d = read(text);
  EXPECT_EQ(d.error, 0);
  EXPECT_EQ(d.saveFolder, "C:\\SAVE\\");
  EXPECT_EQ(d.favorites, "");
  EXPECT_EQ(d.startMenu, std::nullopt);  // "None": no Start menu folder
  EXPECT_TRUE(d.userFiles.empty());
  // One empty field after field 55 reads through as well.
  const auto withEmptyTail = read(text + "\r\n");
  EXPECT_EQ(withEmptyTail.error, 0);
  EXPECT_TRUE(withEmptyTail.userFiles.empty());
}

TEST_F(LegacyDescriptionTest, AReadThatFailsKeepsWhatCameBefore) {
  const struct {
    const char* what;
    std::string bytes;
    int error;
    std::size_t pairs;
    bool headerRead;
  } cases[] = {
      {"empty file", "", 62, 0, false},
      {"ends after the description", "\"Old\"\r\n", 62, 0, false},
      {"ends inside the pairs", firstLines(5), 62, 4, true},
      {"ends before field 55", firstLines(27), 62, 24, true},
      {"saved flag not a number", firstLines(3) + "yes,True\r\n", 13, 2, true},
      {"enabled flag not a Boolean", firstLines(2) + "1,maybe\r\n", 13, 1, true},
      {"saved flag too large", firstLines(2) + "99999,True\r\n", 6, 1, true},
  };
  for (const auto& c : cases) {
    const auto d = read(c.bytes);
    EXPECT_EQ(d.error, c.error) << c.what;
    EXPECT_EQ(d.pairs.size(), c.pairs) << c.what;
    EXPECT_EQ(d.saveFolder.has_value(), c.headerRead) << c.what;
    EXPECT_FALSE(d.startMenu.has_value()) << c.what;
  }
}

TEST_F(LegacyDescriptionTest, MissingFileIsFileNotFound) {
  machine.mkdirs("N:\\OLD\\");
  const auto d = restore::readLegacyDescription("N:\\OLD\\Config4.ini");
  EXPECT_EQ(d.error, 53);
  EXPECT_FALSE(d.name.has_value());
}

TEST_F(LegacyDescriptionTest, NameIsTheFirstFieldOrEmpty) {
  machine.write(kFile, fixture());
  EXPECT_EQ(restore::legacyDescriptionName(kFile), "Before 1999, old PC");
  machine.write(kFile, "");
  EXPECT_EQ(restore::legacyDescriptionName(kFile), "");
  EXPECT_EQ(restore::legacyDescriptionName("N:\\OLD\\Config5.ini"), "");
}

}  // namespace
