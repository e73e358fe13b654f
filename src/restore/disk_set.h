#pragma once
// A restore of a configuration that lies on floppy disks: every chosen
// group's archive is joined from its disks into the program's folder
// "DiskRestore" first and unpacked from there; CancelRestore ends such a
// restore.
#include <string>
#include <string_view>

#include "restore/loaded_configuration.h"

namespace restore {

// A part count recorded in [SplitLog] as the join takes it: 0 to 99; a
// negative count means the archive lies whole on one disk.
int ClampPartCount(int recorded);

// Joins the archives of the groups ticked in the restore dialog from the
// disks of the loaded configuration's folder on the removable drive into its
// DiskRestorePath (which becomes the run's DiskRestorePath; it must be the
// program's own folder): the disk prompt for disk 1 (DiskNo counts from 0),
// then the copy
// window with one row per group, each archive joined from as many parts as
// its SplitDisk element says. False when the user cancelled at a prompt, a
// join failed or left no complete archive (the restore is cancelled:
// CancelRestore has run).
bool FetchDiskSet(const LoadedConfiguration& loaded);

// Deletes the joined archives and clears DiskRestorePath: only the plain
// files of the program's own folder "DiskRestore", and only when
// DiskRestorePath is exactly that folder. Every way out of a restore ends
// with this.
void EmptyDiskRestore();

// Ends a restore from disks: message 1237, RestoreDone False, the copy
// window unloaded, Exit enabled and Restore disabled, every open file
// closed, and EmptyDiskRestore.
void CancelRestore();

}  // namespace restore
