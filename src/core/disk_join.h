#pragma once
// Joining an archive back from removable disks: read whole when it lies whole
// on the disk in the drive, otherwise its numbered parts (PartFileName) one
// after the other into one target, asking for each disk whose part is not in
// the drive. DiskNo counts the disks (a disk labelled with a number, such as
// "Save#2", sets it to that number when a file is found on it); the copy window
// is hidden while a prompt is up.
#include <string>

namespace core {

// Joins `source` (the archive's path on the removable disk) into `target`;
// `parts` is the part count recorded at save time (0: saved whole). True when
// `target` holds the archive. False when the user cancelled at a prompt (the
// join's files are closed, the partial target and the joined archives are
// deleted: DeleteDiskRestoreFiles) or a block failed (the partial target is
// deleted after the message).
bool ConcatSplitFile(const std::string& source, const std::string& target, int parts);

// Creates the folders of `target` and creates `target` afresh as the join's
// open target. Errors are raised to the caller.
void OpenJoinTarget(const std::string& target);

// Appends the whole file `partName` to the open join target. False after the
// message of a failed block. A part whose length cannot be read raises that
// error to the caller (who asks for the disk again).
bool AppendFilePart(const std::string& partName);

// Closes the join's open files (target and part).
void CloseJoinFiles();

// App.Path & "\DiskRestore\": the folder that collects the joined archives.
std::string ProgramDiskRestoreFolder();

// Deletes the plain files of DiskRestorePath, and only when it is exactly
// ProgramDiskRestoreFolder(): no other folder ever loses a file to a
// cancelled join or restore.
void DeleteDiskRestoreFiles();

}  // namespace core
