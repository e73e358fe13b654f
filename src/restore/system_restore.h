#pragma once
// The system files of a restore: the system archive Conf<n>.kvz unpacked
// into this machine's working folder <TempDir>kelvaran\, and the DOS-level
// files put back at the root of drive C:. (The Windows-folder files stay in
// the working folder for Wininit.exe; see restore/wininit.h.)
#include <string>
#include <string_view>
#include <vector>

#include "restore/group_restore.h"

namespace restore {

// The sixteen file names the system archive may hold, as the save stages them.
inline constexpr const char* kSystemFileNames[] = {
    "autoexec.bat", "config.sys",   "control.ini",  "msdos.sys",    "protocol.ini", "system.dat",
    "classes.dat",  "system.ini",   "user.dat",     "win.ini",      "autoexec.dos", "config.dos",
    "dblspace.ini", "drvspace.ini", "drvspace.bin", "dblspace.bin",
};

// What of a system archive is unpacked: the members that are one of the
// sixteen files in one "...kelvaran/" folder (`folder`, as stored, with "/").
// `problem` is not empty when the archive cannot be read, holds an unsafe
// member (a link, a device, an absolute or ".." name), or holds none of the
// files; `others` says that it holds members besides these.
struct SystemMembers {
  std::vector<std::string> names;
  std::string folder;
  bool others = false;
  std::string problem;
};
SystemMembers ReadSystemMembers(std::string_view archive);

// The unpack of `members` of `archive` into `workFolder`: "-qo", the member
// names only when the archive holds others, into the drive root when the
// members' folder is the working folder on that drive ("c:\" for drive C:),
// else aside into the scratch folder workFolder & "Unpack\", from which the
// files are moved up into the working folder. Members whose file name is in
// `kept` (copies in the working folder that must stay as they are) are left
// in the archive: the names of the others are then given.
Unpack SystemUnpack(std::string_view archive, const SystemMembers& members, std::string_view workFolder,
                    const std::vector<std::string>& kept = {});

// The system-archive step: status "Decompressing Files...", the missing-
// archive question (message 1200), the member check, the unpack (UnpackArchive;
// none when every member is `kept`, see SystemUnpack). `restored` is true
// only when the files stand in the working folder.
GroupEnd RestoreSystemArchive(const std::string& archiveFolder, int slotNumber, const std::string& workFolder,
                              const std::vector<std::string>& kept = {});

// The DOS-level files at the root of C:, for the ticked boxes, in order.
struct RootFile {
  int box;
  const char* stepText;
  const char* staged;  // name in the working folder
  const char* target;
  bool protectedFile;  // hidden, system, read-only (attributes 7) once back
};
inline constexpr RootFile kRootFiles[] = {
    {1, "Autoexec.bat", "autoexec.bat", "C:\\autoexec.bat", false},
    {2, "Config.sys", "config.sys", "C:\\config.sys", false},
    {12, "Autoexec.dos", "autoexec.dos", "C:\\autoexec.dos", false},
    {13, "Config.dos", "config.dos", "C:\\config.dos", false},
    {4, "Msdos.sys", "msdos.sys", "C:\\Msdos.sys", true},
    {14, "dblspace.ini", "dblspace.ini", "C:\\dblspace.ini", false},
    {15, "drvspace.ini", "drvspace.ini", "C:\\drvspace.ini", false},
    {16, "drvspace.bin", "drvspace.bin", "C:\\drvspace.bin", true},
    {24, "dblspace.bin", "dblspace.bin", "C:\\dblspace.bin", true},
};

// Puts one root file back from its copy in `workFolder`: the copy is copied
// beside the target under a temporary name, then swapped in (the old file
// kept until the new one stands); the copy is deleted after success. An
// empty copy is a file like any other. A missing copy, or any failure,
// leaves the target as it was and is logged with the step text. True when
// the file was put back.
bool PutRootFileBack(const RootFile& file, const std::string& workFolder);

// Every ticked root file; true when at least one was put back. One that is
// not marks the run as incomplete (RestoreLeftOut).
bool RestoreRootFiles(const std::string& workFolder);

// After the root files: each ticked system file that the run does not put
// back is logged with its name as the step ("Win.ini Restore") and marks the
// run as incomplete: all of them when the archive was not `unpacked`, else
// each Windows-folder file without a copy in `workFolder` that Wininit.ini can
// move into `windowsFolder` (a root file that failed was logged where it
// failed).
void NoteSystemFilesLeftOut(const std::string& windowsFolder, const std::string& workFolder, bool unpacked);

}  // namespace restore
