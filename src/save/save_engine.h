#pragma once
// The save engine: saves the slot CurrentConfig into SaveFolder.
//
// Callers (the Save button, the unattended SmartSave run) set CurrentConfig,
// ConfigNames(n) (the new description), IniPath and ConfigIniPath first; they
// do not delete the slot's old description files: the engine replaces the
// slot's archives and both description copies together, only when every step
// of the run succeeded. Until then the slot's old archive set, its
// descriptions and its date, time and OS text stay as they were, whatever
// happens (a failing archiver, a full disk, a Cancel).
//
// SaveSucceeded is False from the start of a run and True only when the new
// configuration was committed. A caller that finds it False puts back what it
// changed itself (the Save button: the slot's old name).
//
// While a run lasts the main window's Help button is disabled, so the program
// refuses to end, and the engine's busy flag is up.

namespace save {

void SaveConfiguration();

// Puts the main window back after an aborted disk operation: Help and Exit
// enabled, default mouse pointer, both progress bars at 0.
void ResetSaveControls();

// True while SaveConfiguration runs (its message boxes and yields included).
bool SaveRunning();

// True while a save, a restore or a disk job runs: the engine's busy flag is
// up, or the main window's Help or Exit button is disabled. Then the program
// does not end, the main window does not close and the other action buttons
// and choices do nothing.
bool OperationRunning();

}  // namespace save
