#pragma once
// The import reader: reads the configuration chosen in the Import dialog (its
// row of Import.List1 names the slot n, Import.Label4 the folder) into the
// loaded-configuration record and the restore dialog, as LoadCINI does for
// the program's own slots. A current description is read from its INI
// sections; a 1.2x one (neither ConfigName nor SaveFolder) by the sequential
// reader, after message 1251, with an empty user-file list.
//
// The archives are taken from the chosen folder when it holds any of the
// configuration's archives (a folder copied from another machine), otherwise
// from the folder the description records (a floppy set records A:\). The
// machine's own state is never touched: only the record and the dialog change.
#include <string>
#include <string_view>

namespace restore {

// True when the restore dialog now shows the configuration: every box of a
// saved group enabled and unticked. False when the read was refused: the
// operating-system question declined (RestoreState 3), message 1251
// cancelled, or the description could not be read before its save folder was
// known (reported with its message).
bool LoadCINIImport();

// The folder the archives of slot `slot` are taken from: `chosen` when any of
// the slot's archives stands there, else `recorded` ("" recorded: `chosen`).
// Both end with "\".
std::string importArchiveFolder(std::string_view chosen, std::string_view recorded, int slot);

}  // namespace restore
