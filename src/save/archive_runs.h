#pragma once
// The zip.exe runs of a save: one archive per group of the configuration,
// their command lines, conditions, status texts and progress steps, and how
// the archiver's exit code is judged.
#include <string>
#include <string_view>
#include <vector>

namespace save {

// The groups in the order the runs are made.
enum class Group {
  StartMenu,
  System,
  User,
  AddressBook,
  Favorites,
  IECookies,
  OEMail,
  NSBookmarks,
  NSCookies,
  NSMail,
  NSNews,
};

// The archive suffixes of a slot, in the order the old set is replaced:
// "" (system), "s", "us", "mc", "mb", "ma", "mx", "na", "nw".
const std::vector<std::string>& ArchiveSuffixes();
// "Conf<n><suffix>.kvz", n the slot number 1 to 5.
std::string ArchiveName(int slotNumber, std::string_view suffix);

// What decides the runs: this machine's folders (a "NONE" or "" folder
// means the group is not on this machine) and the boxes of the selection.
struct RunInputs {
  int slotNumber = 1;
  std::string compressionLevel = "1";
  std::string tempDir;  // ends with "\"
  std::string startMenu, favorites, cookies, addressBook, oeMail, netscape;
  bool startMenuBox = false;    // Form1.Check1 ticked and enabled
  bool userFiles = false;       // the user-file list holds items
  bool addressBookBox = false;  // UserFiles.Check1 ticked and enabled
  bool favoritesBox = false;    // UserFiles.Check12 ticked
  bool ieCookiesBox = false;    // UserFiles.Check2 ticked and enabled
  bool oeMailBox = false;       // UserFiles.Check3 ticked and enabled
  bool nsBookmarksBox = false;  // UserFiles.Check11 ticked
  bool nsCookiesBox = false;    // UserFiles.Check4 ticked
  bool nsMailBox = false;       // UserFiles.Check5 ticked
  bool nsNewsBox = false;       // UserFiles.Check6 ticked
};

struct ArchiveRun {
  Group group = Group::System;
  std::string archive;    // file name, "Conf1s.kvz"
  std::string options;    // "qurS "
  std::string source;     // the source argument as it stands on the command line
  int statusMessage = 0;  // message id of the status text
  int step = 0;           // progress value after the run
};

// The runs of one group whose condition holds, in order.
std::vector<ArchiveRun> PlanRuns(const RunInputs& inputs, Group group);

// "zip.exe -" & Trim(level) & options & Chr(34) & archive & Chr(34) & " " & source.
std::string ZipCommandLine(std::string_view compressionLevel, std::string_view options,
                           std::string_view archivePath, std::string_view source);

// A machine folder as the runs use it: "NONE" and "" both mean none.
std::string MachineFolder(std::string_view value);

// zip's exit code.
enum class ZipOutcome { Saved, NothingToDo, SomeFilesUnreadable, DiskFull, Failed };
ZipOutcome JudgeZipExit(int exitCode);

struct RunOutcome {
  ZipOutcome zip = ZipOutcome::Saved;
  int exitCode = 0;
};

// Makes one run with its archive in `archiveFolder` (ending with "\"): the
// command line goes into CommandLine and ShellCommand, the status text and
// the progress step onto both windows, then zip.exe runs from the current
// folder. zip's "nothing to do" for a source that holds files is a failure.
// A group with nothing to pack and files zip could not read are
// logged (the latter also shown as a warning); a failure is logged
// ("<archive> Save") and shown (message 1036 for a full disk).
RunOutcome RunArchive(const ArchiveRun& run, std::string_view archiveFolder);

}  // namespace save
