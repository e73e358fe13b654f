#pragma once
// Checks of the disk in a removable drive before the program writes to it or
// reads from it: is a readable disk in, is it the right one, is it blank; the
// "disk not empty" question (frmNotEmpty) and the floppy format dialog.
#include <functional>
#include <string>
#include <string_view>

namespace windows {
class FrmNotEmptyWindow;
}

namespace core {

// True once the disk in the drive of `path` can be read and, when `path` is
// longer than a drive root ("A:\"), `path` exists on it. False when the user
// cancels the "No disk inserted" question or the named file is missing
// ("Wrong disk inserted ... not found!").
bool CheckDisk(const std::string& path);

// May the disk in `drive` (a root such as "A:\") be written? True for a drive
// larger than a floppy, for a blank disk, and when the user chooses to go on
// with the files on it; False when the user wants to insert another disk or
// formatted this one (the caller asks for the disk again). A disk that cannot
// be read passes after the "No disk inserted" message, so that a caller's
// disk loop ends and its writes report the failure.
bool CheckDiskEmpty(const std::string& drive);

// The rescue wizard's blank-disk test: shows the wizard's Cancel button
// (Command3) and its format hint (Label3), cuts `drive` to "a:" form and
// answers True only for a readable disk without entries.
bool CheckWizardDiskEmpty(std::string& drive);

// Opens the format dialog for the drive of `drive` ("A:", "B:\"...) and returns
// when it is closed; an hourglass pointer is put aside meanwhile.
void FormatFloppy(std::string_view drive = "A:");

// Installs frmNotEmpty's handlers (its buttons set Tag to "Formatieren",
// "Cancel" or "Continue" and hide it; its load sets help context 2040). Done
// by the checks themselves; calling it again does nothing.
void InstallNotEmptyHandlers();

// How CheckDiskEmpty puts frmNotEmpty on screen: modally, by default. Tests
// install a presenter that presses the next scripted button; an empty
// function restores the default.
using NotEmptyPresenter = std::function<void(windows::FrmNotEmptyWindow&)>;
void SetNotEmptyPresenter(NotEmptyPresenter presenter);

}  // namespace core
