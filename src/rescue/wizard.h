#pragma once
// The rescue-disk wizard Wizzard: its pages (first page with the two
// choices, blank-disk page, update page), the step logic of Next, Back,
// Cancel/Exit, Help and Formatting..., and the way in from the main window.
#include <string>

namespace rescue {

// The way in from the main window's Rescue Disk Wizard button: the main
// window is minimised and the wizard shown (modeless), on its first page.
// Does nothing while a save, a restore or a disk job runs.
void OpenRescueWizard();

// Gives the wizard and the snapshot window their handlers; run once at start.
void bindRescue();

// The page texts.
std::string IntroText();
std::string BlankDiskText();
std::string UpdateText();
std::string FormatInstructionsText();

// The first page: intro text, both choices, Back disabled, Formatting...,
// the hint and the bar hidden (the bar at 0).
void ShowFirstPage();
// The blank-disk page again after disk 1 could not be started: its text,
// Back, Next, Cancel and Help enabled, status line and bar cleared.
void ShowBlankDiskPage();

// Is the disk in A: ready to be written as a new rescue disk: readable,
// not write-protected and empty? Otherwise the user was told why.
bool BlankDiskReady();

}  // namespace rescue
