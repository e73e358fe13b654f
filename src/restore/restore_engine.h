#pragma once
// The restore engine: puts the loaded configuration back onto this machine.
//
// Started by the restore dialog's OK once the dialog is hidden. It restores
// what the dialog shows ticked (a box counts when its Value is not 0) and the
// selected entries of its user-file list, from the archives Conf<n>*.kvz of
// the loaded configuration (restore/loaded_configuration.h), into this
// machine's own folders.
namespace restore {

void RestoreConfiguration();

}  // namespace restore
