#pragma once
// The list of user-defined files: kelvaran.usr in the program folder and the
// same layout in each configuration's Config<n>.usr. Line 1 is the count with
// its sign blank (" 3"), then one full path per line, then one empty line.
// Readers ignore the count and take every following non-empty line whole.
#include <string>
#include <string_view>
#include <vector>

namespace core {

std::vector<std::string> parseUserList(std::string_view text);
std::string formatUserList(const std::vector<std::string>& items);

// UserFiles.List1 from kelvaran.usr, with the count caption and the extent.
void LoadUserList();
// The count line of UserFiles.Frame8: message 1216 and the count with its
// sign blank ("...Total Files:  12").
void ShowUserListCount();
// RestoreReq.List1 from a list file (nothing selected).
void LoadUserListInto(const std::string& path);
// UserFiles.List1 to kelvaran.usr.
void SaveUserList();
// Horizontal extent of UserFiles.List1: its widest item plus 5 pixels.
void SetUserListExtent();

std::string userListPath();  // App.Path & "\kelvaran.usr"

}  // namespace core
