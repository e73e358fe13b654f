#pragma once
// The five configuration slots as the user sees them.
#include <string>
#include <string_view>

namespace core {

// The row of one slot: a free slot (message 1010) shows its name alone; a
// used one its name padded to 20 characters, the date with the month's
// abbreviation as the settings file reads it back ("9/Dec/2026", without the
// blank it is written with), five blanks and the time as hh:mm. A name
// over 20 characters stands whole; a date or time this program did not
// write is shown as stored.
std::string slotRow(std::string_view name, std::string_view date, std::string_view time);

// Rows 0..4 of Form1.List2 and Form1.List3, the names in Form1.Label2 (one
// per line, CR alone), and RestoreReq.List1 rebuilt from UserFiles.List1.
void RefreshConfigLists();

// The five slot names joined by CR (no CR after the fifth).
std::string slotNamesCaption();

}  // namespace core
