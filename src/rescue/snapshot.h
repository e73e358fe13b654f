#pragma once
// The rescue snapshot: the system files packed into Configd.kvz in the
// program folder, built by the snapshot window SelWiz. Showing SelWiz gives it
// the focus, whose handler writes the status text and runs SaveData; SaveData
// unloads the window when it is done, so a modal showing returns then.
#include <string>
#include <string_view>

namespace rescue {

// "zip.exe -<level>gqouS Configd.kvz <TempDir>kelvaran\*.*", the level
// without its blanks.
std::string SnapshotCommandLine(std::string_view compressionLevel, std::string_view tempDir);

// True while a restore of this machine waits for the restart: the Windows
// folder's Wininit.ini moves files out of the working folder (<TempDir>kelvaran)
// at the next start. A restore that wrote no such line (a Start menu only, say)
// leaves nothing waiting.
bool RestoreWaitsForRestart();

// SelWiz's procedure: empties the working folder, copies the system files
// into it, packs them with zip.exe from the program folder, removes the
// working folder again and unloads SelWiz. The old Configd.kvz never survives;
// a failed run (zip's exit code, no archive, a refused folder) leaves none and
// says why. While a restore waits for the restart nothing is touched: the user
// is told to restart first.
void SaveData();

// Shows SelWiz modally (so it runs SaveData) and answers whether a fresh
// Configd.kvz now stands in the program folder.
bool TakeSnapshot();

// The program folder's Configd.kvz.
std::string SnapshotPath();

// Gives SelWiz its focus handler.
void bindSnapshot();

}  // namespace rescue
