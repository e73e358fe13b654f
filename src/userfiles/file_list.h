#pragma once
// The user-defined files tab of the user-files dialog: Add, Remove, Remove
// Duplicates, Remove Orphans, files dropped onto the list, the list's item
// tips, and Apply, OK, Cancel and Help below the tabs.
#include <string>
#include <vector>

namespace userfiles {

// The entries the file dialog's answer names, lower-cased: one full path, or
// a folder and the names chosen in it separated by NULs.
std::vector<std::string> chosenFiles(const std::string& answer);

// What Remove Orphans keeps: a file (or a pattern matching one) that exists,
// or an entry whose drive cannot be read now (an absent disk, a network
// drive that is gone, a name the file system refuses).
bool keepsEntry(const std::string& entry);

void bindFileList();

}  // namespace userfiles
