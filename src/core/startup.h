#pragma once
// The start-up work of the main window's load, and the one orderly exit.
#include <functional>

namespace core {

// Discovery, the settings, the check that zip.exe and Unzip32.exe stand in
// the program folder (else message 1028/1029 and the exit), SettingsSaved and
// the splash bar at 50.
void InitProgram();

// True while a save (Help disabled), a restore (Exit disabled) or a rescue
// disk job (DiskJobRunning) runs: the exit is refused then, and closing the
// main window must be cancelled.
bool exitRefused();

// Does nothing while exitRefused(); otherwise writes the settings (unless
// NoSaveOnExit), lets pending events run once, unloads the loaded windows
// from the last down to the second and ends the program. Errors inside are
// ignored.
void ExitProgram();

// The program ends at once: no settings are written and no window unloads
// (the disk writers' critical failures). Returns only when a test recorded
// the end through setProgramEnd.
void EndProgramNow();

// How the program ends (forms::end by default; tests record it instead, and
// ExitProgram and EndProgramNow then return).
void setProgramEnd(std::function<void()> end);

}  // namespace core
