#pragma once
// The SmartSave schedule: the file SmartSv.ini and the marker Smart.go, both
// in the program folder, and InitSmartSave, which loads them at start-up.
//
// SmartSv.ini is eight lines of sequential text, each ended by CR LF:
//   1 the interval choice (Form1.Combo1's list index) as a number item (" 1 ")
//   2 the date of the last SmartSave ("9/12/2026")
//   3 the SmartSave counter, the slot index of the next run, as a number item
//   4 the interval in days (Form1.Text3; " 0 " when the file is created)
//   5 to 8 the SmartSave list rows "#1 : " to "#4 : " (Form1.List1)
// It is always replaced whole, never patched.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace save {

// The values of the eight lines, as text ready to be written.
struct SmartSaveFile {
  int interval = 0;
  std::string lastDate;
  int slot = 0;
  std::string days;
  std::array<std::string, 4> rows;
};

// The eight lines as they are read back: one field per line (leading blanks
// skipped, a quoted field without its quotes, otherwise up to a comma, trailing
// blanks dropped); a line the file lacks is nullopt.
using SmartSaveLines = std::array<std::optional<std::string>, 8>;

std::string SmartSaveFilePath();  // App.Path & "\SmartSv.ini"
std::string SmartGoPath();        // App.Path & "\Smart.go"
std::string SmartSaveFolder();    // App.Path & "\SmartSav\"

// A number as the sequential print writes it: sign blank, digits, one blank.
std::string NumberItem(int number);
// The file's bytes. Raises 5 when a value holds CR, LF or NUL.
std::string FormatSmartSaveFile(const SmartSaveFile& file);
SmartSaveLines ParseSmartSaveFile(std::string_view bytes);
// A whole number read from a field, nullopt when it is none or outside min..max.
std::optional<int> WholeNumberIn(const std::optional<std::string>& field, int min, int max);

// Replaces SmartSv.ini by `file`; raises the file error when it cannot.
void WriteSmartSaveFile(const SmartSaveFile& file);
// The file as the schedule controls and the counter now stand: Combo1's
// index, LastSmartSaveDate, SmartSaveSlot, Text3 and the four List1 rows.
SmartSaveFile CurrentSmartSaveValues();
// True while InitSmartSave reads the schedule: the interval handler then
// must not rewrite the file.
bool SmartSaveFileHeld();

// Selects interval `index` in Form1.Combo1 and runs its click handler, also
// when that index was already selected (a selection made by code always
// counts as a choice).
void SelectInterval(int index);

// "#k : " followed by message 1131 "Not Saved".
std::string NotSavedRow(int k);

// True when a plain directory lookup finds Smart.go (hidden and system
// files are not seen).
bool SmartGoPresent();
// Deletes Smart.go (read-only or not); errors are ignored.
void DeleteSmartGo();

// The start-up step: fills Form1.Combo1, creates SmartSv.ini when it is
// missing, loads it into Form1.Combo1, Form1.Text3, Form1.List1,
// LastSmartSaveDate and SmartSaveSlot, and when Smart.go is present and
// SmartSave is not disabled runs the unattended SmartSave, which ends the
// program. Shows no message; a file that cannot be read leaves SmartSave
// disabled.
void InitSmartSave();

}  // namespace save
