#pragma once
// The restore's unpacking of the user files, the Start menu and the browser
// and mail groups, in the order the run makes them, each only when its box
// (or, for the user files, an entry of the dialog's list) is ticked.
#include <functional>
#include <string>
#include <string_view>

#include "restore/loaded_configuration.h"
#include "restore/unzip_groups.h"

namespace restore {

// How a step of the run ended: go on, or the user chose to stop the run at a
// missing or unusable archive (the engine then aborts).
enum class StepEnd { Continue, Abort };

struct GroupEnd {
  StepEnd end = StepEnd::Continue;
  bool restored = false;  // unzip ran and succeeded
};

// The folders of a restore of `loaded`: its Start menu, Favorites and
// Netscape folders, and this machine's working folder, cookies, address book
// and Outlook Express store.
GroupFolders GroupFoldersFor(const LoadedConfiguration& loaded);

// One group's run. `quotedArchive` is the archive's path between double
// quotes, as the existence question shows it; `stepText` names the step in
// Error.log, `statusBeforeRun` (when not empty) goes onto the status bar
// right before the run. In order: the folders are checked (a folder holding
// a double quote or one not on an existing drive makes the group not
// restorable: the group's message and the question whether to go on); the
// archive must exist (message 1064 with the path, the group's message and
// the question); its members must all lie in the group's folder (else as a
// bad folder); then the unpack runs (UnpackArchive). Only an unpack that put
// every member back sets RestoreDone; a failed one is logged and shown with
// the group's message. Every way but that leaves the group out of the run
// (RestoreLeftOut), so that the run does not end claiming success.
// `place` (when given) may change the plan and the unpack once the archive
// is known to exist, before its members are checked (the user files of
// another machine are unpacked aside and moved in).
GroupEnd RunUnzipGroup(UnzipGroup group, const std::string& quotedArchive, const GroupFolders& folders,
                       const std::string& stepText, const std::string& statusBeforeRun,
                       const std::function<void(UnzipPlan& plan, Unpack& unpack)>& place = {});

// The user-defined files: when an entry of RestoreReq.List1 is selected, the
// user-file archive is unpacked into this machine's working folder and the
// files are copied back to their paths (CopyUserFilesBack). An archive staged
// in another working folder (a configuration of another machine) is unpacked
// into a scratch folder and its User folder moved into this machine's.
StepEnd RestoreUserFileGroup(const std::string& archiveFolder, int slotNumber, const GroupFolders& folders);

// The Start menu, address book, Internet Explorer favorites and cookies,
// Outlook Express mailbox and the Netscape bookmarks, cookies, mail and news
// (these four only with a Netscape folder), each when its box is ticked.
StepEnd RestoreOtherGroups(const std::string& archiveFolder, int slotNumber, const GroupFolders& folders);

// The run's steps after the root files: the user-defined files, then the
// other groups, from the archives of `loaded` in `archiveFolder` (its save
// folder, or DiskRestorePath after FetchDiskSet). Abort when the user chose
// to stop at a missing or unusable archive.
StepEnd RestoreFileGroups(const std::string& archiveFolder, const LoadedConfiguration& loaded);

// The question for a group whose archive is missing (message 1064, the
// archive, the group's message, "Would you continue ...?"): Yes goes on
// without the group.
StepEnd AskMissingArchive(const std::string& quotedArchive, int groupMessage);

// "<folder>Conf<n><suffix>.kvz" between double quotes.
std::string QuotedArchive(std::string_view archiveFolder, int slotNumber, UnzipGroup group);

}  // namespace restore
