#pragma once
// The deferred replacement of the Windows-folder files that Windows keeps
// open (System.ini, Protocol.ini, Control.ini, User.dat, System.dat,
// Classes.dat, Win.ini): one "destination=source" line per restored copy in
// the [rename] section of the Windows folder's Wininit.ini, which Windows'
// Wininit.exe carries out at the next start.
#include <string>
#include <string_view>
#include <vector>

namespace restore {

// The files in the order their lines are written: the box, and the file
// name on both sides ("system.ini" ... "Win.ini").
struct WindowsFile {
  int box;
  const char* name;
};
inline constexpr WindowsFile kWindowsFiles[] = {
    {7, "system.ini"}, {5, "protocol.ini"}, {3, "control.ini"}, {8, "user.dat"},
    {6, "system.dat"}, {25, "classes.dat"}, {9, "Win.ini"},
};

// The lines for the ticked boxes whose restored copy (empty or not) stands in
// `workFolder` (ends with "\"): windowsFolder & "\system.ini=" & workFolder & "system.ini" ...,
// both folders in their 8.3 form ("C:\WINDOWS\TEMPOR~1\KELVARAN\system.ini").
// None when `workFolder` lies on another drive than `windowsFolder`: Windows'
// restart moves files only within one drive and passes over such a line.
std::vector<std::string> RenameLines(std::string_view windowsFolder, std::string_view workFolder);

// True when Windows' restart can move copies from `workFolder` into
// `windowsFolder`: both lie on one drive.
bool WininitCanMove(std::string_view windowsFolder, std::string_view workFolder);

// `existing` (a Wininit.ini's bytes) with `lines` added: every existing line
// stays byte for byte in its place, the new lines follow each [rename]
// section header (in any letter case); a file without such a header gets the
// header and the lines at its end. Lines end in CR LF.
std::string MergeWininit(std::string_view existing, const std::vector<std::string>& lines);

// True when Wininit.exe stands in `windowsFolder`; otherwise the message
// "'Wininit.exe' File not found!" is shown and the program ends.
bool CheckWininitExe(std::string_view windowsFolder);

// Writes RenameLines into windowsFolder & "\Wininit.ini" (the whole new file
// written, then put in place of the old one). Nothing is written when there
// is no line. Returns the number of lines written. Raises the file error of
// a failed write; the old file is then unchanged.
int WriteWininitRename(std::string_view windowsFolder, std::string_view workFolder);

}  // namespace restore
