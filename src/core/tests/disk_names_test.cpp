// Names on removable disks: parts, labels of a disk set, stale copies.
#include "core/disk_names.h"

#include <gtest/gtest.h>

namespace {

TEST(DiskNames, PartNamesReplaceTheLastCharacterByThePartNumber) {
  struct Case {
    const char* target;
    int part;
    const char* name;
  } cases[] = {
      {"A:\\Conf1.kvz", 1, "A:\\Conf1.kv1"},     {"A:\\Conf1.kvz", 9, "A:\\Conf1.kv9"},
      {"A:\\Conf1.kvz", 10, "A:\\Conf1.kv10"},   {"A:\\Conf1.kvz", 11, "A:\\Conf1.kv11"},
      {"a:\\Configd.kvz", 2, "a:\\Configd.kv2"}, {"", 3, "3"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(core::PartFileName(c.target, c.part), c.name) << c.target << " " << c.part;
}

TEST(DiskNames, NextLabelAddsOneToTheWholeTrailingNumber) {
  struct Case {
    const char* label;
    std::optional<std::string> next;
  } cases[] = {
      {"Save#1", "Save#2"},     {"Data#9", "Data#10"},   {"Save#10", "Save#11"},
      {"Save#19", "Save#20"},   {"SAVE#99", "SAVE#100"}, {"7", "8"},
      {"NoName", std::nullopt}, {"Save#", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(core::NextVolumeLabel(c.label), c.next) << c.label;
}

TEST(DiskNames, TrailingNumberOfALabel) {
  EXPECT_EQ(core::TrailingNumber("Save#12"), 12);
  EXPECT_EQ(core::TrailingNumber("Boot#1"), 1);
  EXPECT_EQ(core::TrailingNumber("KVTOOLS"), std::nullopt);
  EXPECT_EQ(core::TrailingNumber("Save#12345678"), std::nullopt);  // no disk number that large
}

TEST(DiskNames, StaleCopiesAreTheWholeNameAndThePartsFromTheCurrentOneOn) {
  struct Case {
    const char* name;
    int fromPart;
    bool stale;
  } cases[] = {
      {"CONF1.KVZ", 1, true}, {"Conf1.kvz", 3, true},   {"Conf1.kv1", 1, true},   {"Conf1.kv1", 2, false},
      {"Conf1.kv2", 2, true}, {"Conf1.kv12", 2, true},  {"Conf1.kv01", 1, false}, {"Conf1.kvx", 1, false},
      {"Conf1.kv", 1, false}, {"Conf12.kv1", 1, false}, {"Conf1s.kvz", 1, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::IsStaleCopy(c.name, "A:\\Conf1.kvz", c.fromPart), c.stale)
        << c.name << " from " << c.fromPart;
  }
}

}  // namespace
