#pragma once
// The description reader: reads the chosen configuration's Config<n>.ini and
// Config<n>.usr into the loaded-configuration record and the restore dialog.
//
// LoadCINI runs when the Restore button has a configuration chosen and
// confirmed: CurrentConfig is the slot (0..4) or, for a SmartSave entry, its
// index 0..3 with SaveFolder set to the SmartSave folder; RestoreState is 0.
// The description is App.Path & "\Config<n>.ini", or the SmartSave folder's
// copy. Afterwards RestoreState is 3 when the dialog is not to be shown (the
// user declined a configuration from another operating system, or the
// description was damaged and the program could not end), else 0 with every
// box of a saved group enabled and unticked, every other box disabled, and
// List1 holding the configuration's user files, none selected.
//
// Only the record and the dialog change: this machine's folders, slot table
// and settings stay as they were.
#include <string>
#include <string_view>

#include "restore/loaded_configuration.h"

namespace restore {

void LoadCINI();

// ---- the steps, shared with the import reader -----------------------------

// The description of slot n in the program folder, or its SmartSave copy.
std::string DescriptionPath(int slot, bool smartSave);
// Every box unticked and disabled, List1 empty, the four description labels empty.
void ClearRestoreDialog();
// [SplitLog] of `iniPath` into `into` when its save folder lies on a removable
// drive: SplitFile, SplitDisk and DiskRestorePath (App.Path & "\DiskRestore\"
// when a part count is not 0). Yields once on that path.
void ReadSplitLog(const std::string& iniPath, LoadedConfiguration& into);
// The question for a configuration saved under another operating system
// (messages 1600 to 1602); true when the user goes on.
bool AcceptOtherSystem();
// The boxes, the labels and the saved folders' rules from `iniPath`, then the
// final pass: a box is enabled exactly when its saved value was not 0, and
// none is ticked. Reads PathFavorites, PathNetscape and PathStartmenue into `into`.
void FillRestoreBoxes(const std::string& iniPath, LoadedConfiguration& into);
// The final pass alone: each box enabled when its Value is not 0, then unticked.
void OfferSavedGroups();

}  // namespace restore
