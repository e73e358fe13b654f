#pragma once
// Thinning a list of strings of its repeated entries.
#include <string>
#include <vector>

namespace userfiles {

// Removes the repeats from `items` in place, in one pass over them, and packs
// what stays to the front, followed by empty strings (the size is kept;
// items[0] stands for element 1). The first non-empty item always stays
// first and every later copy of it goes; any other string stays at the place
// of its last copy; items that are blank only after the first are dropped.
// Comparisons are exact ("a" and "A" differ). An array with nothing in it
// stays as it is.
void RemoveDupes(std::vector<std::string>& items);

}  // namespace userfiles
