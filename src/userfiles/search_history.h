#pragma once
// The file search's criteria and their history: the file type a user typed or
// chose as the pattern it searches, and UserFiles.ini in the program folder
// ([AddUserSettings] "Filetypes<i>", "FilePath<i>" and "SubDirs"), read into
// the search dialog's lists when it loads and written back from them.
#include <string>
#include <string_view>

namespace userfiles {

// The pattern a file type searches: a text beginning with "*" as it stands
// (without blanks around it), else "*." before the text without its blanks
// and leading dots ("html" and ".html" give "*.html"); "" when nothing is left.
std::string searchPattern(std::string_view fileType);

// The search dialog's file types, folders and sub-folders box from the
// history; each list up to its first missing or empty key.
void LoadAddUserSettings();
// The history from the search dialog's lists and box, the old file deleted
// first. Only list entries are written; a failing write is skipped.
void SaveAddUserSettings();

}  // namespace userfiles
