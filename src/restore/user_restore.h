#pragma once
// Putting the user-defined files back: each file listed in the restore
// dialog is copied from its unpacked copy in the working folder (found
// through the map User.ini) to the path it was saved from.
#include <string>
#include <string_view>

namespace restore {

// Is a User.ini value a copy this restore may take (and delete)? Only a file
// below `userFolder` (this machine's <TempDir>kelvaran\User\), without ".",
// ".." or empty components, wildcards, forbidden or control characters, or
// device names (CON, NUL, COM1 ...).
bool UserCopyAccepted(std::string_view value, std::string_view userFolder);

// The copy a User.ini value names, in this machine's `userFolder`: the value
// must be "X:\" & `savedFolder` & a plain relative path (rules as above),
// where `savedFolder` is the folder the copies were staged in, without its
// drive ("WINDOWS\TEMP\kelvaran\User\"; another machine's may differ). The
// copy is `userFolder` & that relative path; "" when the value is no such path.
std::string UserCopyPath(std::string_view value, std::string_view savedFolder, std::string_view userFolder);

// Why a listed item may not be written ("" when it may): it must be an
// absolute path "X:\..." on a drive of this machine, without ".", ".." or
// empty components, wildcards, forbidden or control characters, or device
// names.
std::string UserTargetProblem(std::string_view item);

// The user-file step of a restore, after the user-file archive has been
// unpacked into the working folder: every item of RestoreReq.List1 is looked
// up in `userIniPath` ([UserFilesSaved] item = its copy, named below
// `savedFolder`, by default this machine's: see UserCopyPath). A selected item is
// copied to its path (missing folders created); every item's copy is deleted.
// An item without an acceptable copy, or one whose path may not be written,
// gets message 1243/1244 and clears RestoreDone. Afterwards User.ini and the
// working folder's sub-folders are removed. Errors are logged with the
// item & " User file Restore" and the step goes on; a selected file that is
// not back (its copy failed, or it had none) marks the run as incomplete
// (RestoreLeftOut). True when at least one selected file was copied back.
bool CopyUserFilesBack(std::string_view userIniPath, std::string_view userFolder, std::string_view workFolder,
                       std::string_view savedFolder = {});

}  // namespace restore
