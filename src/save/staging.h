#pragma once
// Staging of a save: the chosen system files are copied flat into the
// working folder <TempDir>kelvaran\ (the user-defined files below its User\ folder)
// with their map User.ini ([UserFilesSaved] <listed path>=<staged copy>).
#include <array>
#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace save {

// One system file: the Options-page box that selects it, the name used in
// messages, where it lives and its staged (lower-case) name.
struct SystemFileRow {
  int box;           // Form1.Check<box>
  const char* name;  // "Autoexec.bat"
  bool inWindows;    // under the Windows folder, else in C:\ .
  const char* file;  // "autoexec.bat": source file name and staged name
};
// The sixteen rows in staging order.
const std::array<SystemFileRow, 16>& SystemFileRows();
// The source of a row on this machine ("C:\autoexec.bat", "C:\WINDOWS\win.ini").
std::string SystemFileSource(const SystemFileRow& row, std::string_view systemPath);

// Why a user-file list item cannot be staged: "" when it can. Refused: a
// path that is not absolute (X:\...), has "." or ".." or empty components,
// or holds "=" (it could not be a User.ini key).
std::string UserFileProblem(std::string_view item);

// The staged copy of a user file: `userFolder` (ending with "\") and the
// item without its drive ("C:\docs\a.txt" -> <userFolder>docs\a.txt). When
// another item already took that copy (the same path on another drive), the
// copy goes below "_<drive>\" (then "_<drive>2\" ...) instead. `taken` holds
// the upper-case forms of the copies made so far.
std::string StagedUserPath(std::string_view userFolder, std::string_view item,
                           const std::set<std::string>& taken);
// The same with `taken` asked about each upper-case candidate.
std::string StagedUserPath(std::string_view userFolder, std::string_view item,
                           const std::function<bool(const std::string&)>& taken);

enum class StagingEnd {
  Done,      // went through (single files may have been skipped)
  DiskFull,  // message 1036 shown: the save fails
  Cancelled  // the user cancelled at a missing user file
};

struct SystemStaging {
  StagingEnd end = StagingEnd::Done;
  std::set<int> stagedBoxes;  // boxes whose file reached the working folder
};

// Copies every system file whose box is ticked and enabled into
// `workFolder`. A copy that fails shows the not-found message (its SmartSave
// wording when `smartSaveFolder`), is logged and skipped; a full disk ends
// the staging.
SystemStaging StageSystemFiles(std::string_view systemPath, std::string_view workFolder,
                               bool smartSaveFolder);

struct UserStaging {
  StagingEnd end = StagingEnd::Done;
  int staged = 0;  // files copied and mapped in User.ini
};

// Copies the items of UserFiles.List1 below `userFolder` and maps them in
// `userIniPath`. A file that cannot be copied is asked about (OK removes it
// from the list, Cancel ends the staging); items that cannot be staged are
// logged and skipped.
UserStaging StageUserFiles(std::string_view userFolder, std::string_view userIniPath);

}  // namespace save
