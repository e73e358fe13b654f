#pragma once
// The settings file kelvaran.ini in the program folder.
#include <string>

namespace core {

std::string settingsPath();  // App.Path & "\kelvaran.ini"

// Writes the whole settings file from the state and the windows' selections
// (nothing at all before the slots were loaded), the c:\Restore.ini marker
// while a restore is pending, and refreshes the slot lists. A failure (the
// marker cannot be written ...) reaches the caller as a RuntimeError.
void SaveSettings();

// Reads the settings file into the state and the windows, repairs stale
// content, checks the save folder and writes the file back. A missing or
// damaged file gives the defaults (logged as "Kelvaran.ini damaged").
void LoadSettings();

}  // namespace core
