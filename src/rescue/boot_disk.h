#pragma once
// Rescue disk 1, the boot disk in drive A:: labelled "Boot#1", it carries the
// DOS start files of this machine (MSDOS.SYS set to start DOS, IO.SYS and
// COMMAND.COM, with DRVSPACE.BIN and HIMEM.SYS where they exist), and its
// CONFIG.SYS and AUTOEXEC.BAT, which ask for the data disk and start the DOS
// restore module a:\Kvados.exe from it.
#include <string>
#include <string_view>

namespace rescue {

// Writes rescue disk 1 after a fresh snapshot (Configd.kvz, for the data
// disk): BootDiskDone is True and DiskNo 2 afterwards, and the user was asked
// to take the disk out and insert disk 2. When the snapshot could not be made
// nothing is written and the wizard is back on its blank-disk page. A failure
// of a step the disk cannot start without ends the program after its message.
void MakeBootDisk();

// Turns the copied a:\MSDOS.SYS into one that starts DOS (EditMsDosText).
// Errors are reported, logged (" EditMsDos") and never reach the caller; the
// disk's MSDOS.SYS is only replaced once the edited text is complete.
void EdMsDos();

// MSDOS.SYS edited line by line: a line holding "BootGUI" becomes
// "BootGUI=0"; the first line holding "Logo" becomes "Logo=0"; before that
// line is met, every line that is just ";" gets a line "Logo=0" before it.
// Every other line, with its line end, stays byte for byte.
std::string EditMsDosText(std::string_view text);

// The Windows version numbers the boot disk tells apart (Form1.Label7).
inline constexpr char kWindows98First[] = "4.10.1998";
inline constexpr char kWindowsMe[] = "4.90.3000";

}  // namespace rescue
