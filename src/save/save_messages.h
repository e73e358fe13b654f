#pragma once
// The message boxes the save shows from more than one place.
#include <string>
#include <string_view>

namespace save {

// Help topic of the not-found message ("Kelvaran.hlp").
constexpr int kNotFoundHelpContext = 2010;

// Message 1036 "Not enough free disk space!".
void ShowDiskFull();

// An archive run that failed: the archive's file name, then the text of the
// failure (the file error text for `errorNumber`, message 2004 when none).
void ShowArchiveFailed(std::string_view archive, int errorNumber);

// zip could not read some files of a group: the archive is kept, the user warned.
void ShowArchiveIncomplete(std::string_view archive);

// The text of message 2000 to 2011 for a file error number, "" for others.
std::string FileErrorText(int errorNumber);

}  // namespace save
