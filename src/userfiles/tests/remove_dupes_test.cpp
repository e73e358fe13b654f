// Duplicate removal as the Remove Duplicates button sees its list.
#include "userfiles/remove_dupes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Items = std::vector<std::string>;

// The list as the button hands it over: one empty element after the entries.
Items thinned(Items items) {
  items.emplace_back();
  userfiles::RemoveDupes(items);
  Items kept;
  for (const std::string& item : items)
    if (!item.empty()) kept.push_back(item);
  return kept;
}

TEST(RemoveDupes, KeepsOneCopyOfEveryString) {
  const struct {
    Items before, after;
  } cases[] = {
      {{"a", "a", "b"}, {"a", "b"}},
      {{"a", "b", "c"}, {"a", "b", "c"}},
      {{"b", "a", "c", "a"}, {"b", "c", "a"}},  // a later string stays at its last copy
      {{"a", "b", "a", "b"}, {"a", "b"}},
      {{"x", "a", "b", "a", "b"}, {"x", "a", "b"}},
      {{"a", "b", "a"}, {"a", "b"}},  // the first string is never kept twice
      {{"a", "b", "b", "a"}, {"a", "b"}},
      {{"a", "A"}, {"a", "A"}},
      {{"a b", "a  b", "a b"}, {"a b", "a  b"}},
      {{"only"}, {"only"}},
  };
  for (const auto& c : cases) EXPECT_EQ(thinned(c.before), c.after) << ::testing::PrintToString(c.before);
}

TEST(RemoveDupes, PacksToTheFrontKeepingTheSizeAndLosesNoLastElement) {
  Items items{"", "a", "b", "c"};
  userfiles::RemoveDupes(items);
  EXPECT_EQ(items, (Items{"a", "b", "c", ""}));
}

TEST(RemoveDupes, BlankItemsStandOnlyFirst) {
  Items items{"  ", "a", "   ", "a"};
  userfiles::RemoveDupes(items);
  EXPECT_EQ(items, (Items{"  ", "a", "", ""}));
  Items empty{"", ""};
  userfiles::RemoveDupes(empty);
  EXPECT_EQ(empty, (Items{"", ""}));
}

}  // namespace
