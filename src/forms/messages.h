#pragma once
// The message table: every user-visible text of the program by number,
// compiled in as ":/kelvaran/messages.txt" (one message a line: the id, a TAB,
// the text with the escapes \\ \t \r \n).
#include <map>
#include <string>
#include <string_view>

namespace forms {

// LoadResString: raises 326 "Resource with identifier not found" for an unknown id.
std::string loadResString(int id);
// The same, by the short name the program's code uses for it.
inline std::string res(int id) { return loadResString(id); }
bool resStringExists(int id);

// Replaces the table (tests; an empty path goes back to the compiled-in one).
void setMessageTableSource(std::string_view path);

// Parses a table; malformed lines (no id, no TAB, a bad escape, a repeated
// id) raise 5 with the line number in the text.
std::map<int, std::string> parseMessageTable(std::string_view text);

}  // namespace forms
