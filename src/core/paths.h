#pragma once
// Path and string utilities on Windows paths ("C:\a\b"); comparisons are exact.
#include <string>
#include <string_view>
#include <vector>

namespace core {

// True when a path holds a character Windows forbids in names (< > " | * ?
// or a control character); such a path counts as missing.
bool hasForbiddenCharacters(std::string_view path);

// The 8.3 name of the path's last component; "" when it does not exist.
std::string GetShortNameSection(std::string_view path);
// The whole path in 8.3 form without a trailing "\" ("C:\" gives "C:");
// "" when a component does not exist.
std::string GetShortNameFromLongName(std::string_view path);

std::string TextBefore(std::string_view text, std::string_view delimiter);
// The text without its first and last character; raises 5 when shorter than 2.
std::string StripQuotes(std::string_view text);
// The part after the last "\" or ":".
std::string GetFileName(std::string_view path);
// Last position (1-based) of `find` searching backwards; 0 when absent.
int InStrBack(int start, std::string_view text, std::string_view find);
// Display form head & "..." & last part, at most maxLength where it fits.
std::string ShortenPath(std::string_view path, int maxLength);
// Creates every missing folder named before a "\" (not the last component).
// True when they all exist now (a failure was shown to the user).
bool Makepath(std::string_view path);

// Every folder below `folder` as full paths without trailing "\", each folder
// before the folders inside it, siblings sorted by name (case-insensitive).
std::vector<std::string> subFolders(std::string_view folder);
// True when `folder` is the program's SmartSave folder App.Path & "\SmartSav\"
// (an exact comparison without regard to case).
bool IsSmartSaveFolder(std::string_view folder);
// Appends subFolders(folder) to the main window's scratch list Form1.List4.
void ListSubFolders(std::string_view folder);

}  // namespace core
