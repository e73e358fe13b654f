#pragma once
// A restore test that starts from a real save of slot 1 on the demo machine
// holding every file group: the Start menu, Internet Explorer favorites and
// cookies, the address book, the Outlook Express store, the Netscape
// bookmarks, cookies, mail and news, and two user files. After the save every
// one of those files reads "changed" and the slot's description is loaded
// into the restore dialog (every group's box enabled, none ticked).
#include <map>
#include <string>
#include <vector>

#include "restore_fixture.h"

namespace restoretest {

inline const std::string kNetscape = "C:\\Program Files\\Netscape\\Users\\default";
inline const std::string kStore = "C:\\WINDOWS\\Application Data\\Identities\\{4F2A}\\Outlook Express\\";
inline const std::string kBook = "C:\\WINDOWS\\Application Data\\Microsoft\\Address Book\\jordan.wab";

// Every file the groups hold, with the restore-dialog box that restores it.
inline const std::map<std::string, int> kGroupFiles{
    {"C:\\WINDOWS\\Start Menu\\Programs\\Notepad.lnk", 20},
    {"C:\\WINDOWS\\Favorites\\Links\\Home.url", 11},
    {"C:\\WINDOWS\\Cookies\\jordan@weather.example[1].txt", 19},
    {kBook, 18},
    {kStore + "Inbox.dbx", 21},
    {kNetscape + "\\Bookmark.htm", 10},
    {kNetscape + "\\Cookies.txt", 22},
    {kNetscape + "\\Mail\\Inbox", 23},
    {kNetscape + "\\News\\host-news\\comp.os.snm", 17},
};
inline const std::vector<std::string> kUserFiles{"C:\\My Documents\\Brief.doc", "C:\\My Documents\\Plan.txt"};

// What a file held when it was saved.
inline std::string savedContent(const std::string& file) { return "saved " + file; }

class SavedGroupsTest : public RestoreTest {
 protected:
  void SetUp() override;
  // This machine's temporary folder for the save and the restore.
  std::string tempDir = "C:\\WINDOWS\\TEMP\\";
};

}  // namespace restoretest
