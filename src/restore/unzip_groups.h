#pragma once
// The Unzip32.exe runs that put back the user files, the Start menu and the
// browser and mail data: per group its archive, options, member pattern,
// target drive, the folder its members must lie in, and its messages; the
// checks made before a run and how unzip's exit code is judged.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace restore {

// The groups in the order a restore unpacks them.
enum class UnzipGroup {
  UserFiles,
  StartMenu,
  AddressBook,
  Favorites,
  IECookies,
  OEMail,
  NSBookmarks,
  NSCookies,
  NSMail,
  NSNews,
};

// The folders a restore puts the groups back into. The Start menu, the
// Favorites and the Netscape profile are those of the loaded configuration
// (the machine that saved it); the cookies, the address book and the
// Outlook Express store are this machine's (a description does not record
// them). "" or "NONE": the group has no place here.
struct GroupFolders {
  std::string tempDir;      // this machine's, ends with "\"
  std::string startMenu;    // ends with "\"
  std::string favorites;    // ends with "\"
  std::string netscape;     // profile folder, no trailing "\"
  std::string cookies;      // ends with "\"
  std::string addressBook;  // the address-book file
  std::string oeMail;       // ends with "\"
};

struct UnzipRow {
  UnzipGroup group;
  const char* suffix;   // archive "Conf<n><suffix>.kvz"
  const char* options;  // "-o", "-Cqo"
  const char* pattern;  // member pattern, "" for every member
  int missingMessage;   // "Your ... can't be restored!"
};
const UnzipRow& RowOf(UnzipGroup group);

// What a group's run needs, worked out from the folders: the target drive
// root ("X:\"), the folder every member must lie in, and why the group
// cannot be restored ("" when it can): a folder that is no place of this
// machine, a drive root, or a folder spelled with other than its plain
// components (PathComponentsProblem), which could name another folder.
struct UnzipPlan {
  std::string target;  // "C:\"
  std::string folder;  // "C:\WINDOWS\Start Menu\"
  std::string problem;
};
UnzipPlan PlanUnzip(UnzipGroup group, const GroupFolders& folders);

// Why the components of a relative path (below a drive root or a folder)
// are not those of one plain file or folder: "" when they are. Refused: ".",
// ".." and empty components, forbidden characters or a trailing dot or
// blank, device names (CON, NUL, COM1 ...).
std::string PathComponentsProblem(std::string_view rest);

// "X:\" when `path` starts with the root of a drive this machine has, else "".
std::string DriveRootOf(std::string_view path);

// One unpack of a restore, every group's and the system archive's: unzip
// with `options` extracts the members of `archive` that match `patterns`
// (all of them when there is none) into `target`; then every one of those
// members must stand there, a file at its stored size, for the unpack to
// count. Unpacked aside (`into` set), the run's target is a scratch folder:
// what it put below target & `from` is moved into `into` (files of the same
// names replaced, a missing `into` made by renaming the folder), and the
// scratch folder is removed whatever the outcome.
struct Unpack {
  std::string options;                // "-o", "-qo", "-Cqo"
  std::string archive;                // plain path
  std::vector<std::string> patterns;  // "*Bookmark.htm", or member names
  std::string target;                 // a drive root "C:\", or a scratch folder ending with "\"
  std::string from;                   // below target, ends with "\" (aside only)
  std::string into;                   // ends with "\"; "" to unpack in place
};

// A group's unpack of `archive` into `target` in place: its options and pattern.
Unpack GroupUnpack(UnzipGroup group, std::string_view archive, std::string_view target);

// The argument vector of a run: Unzip32.exe, the options, the archive, the
// pattern (when the group has one), -d and the target.
std::vector<std::string> UnzipArguments(UnzipGroup group, std::string_view archive, std::string_view target);

// The command line that stands for an argument vector, as the program always
// wrote it ("Unzip32.exe -o "C:\SAVE\Conf1s.kvz" -d C:\"): the archive
// (argument 2) always in double quotes, another argument only when it holds
// a blank. Empty when an argument holds a double quote or a control
// character, so that the line could not be split back into exactly these
// arguments.
std::string CommandLineOf(const std::vector<std::string>& arguments);

// The folder a user-file archive's copies were staged in, as its User.ini
// member names it, without a drive and in Windows form, ending with "\"
// ("WINDOWS\TEMP\kelvaran\User\"); "" when the archive cannot be read or
// holds no such User.ini.
std::string StagedUserFolder(std::string_view archive);

// Removes a scratch folder of an unpack and everything in it (files first,
// then the folders, deepest first); failures are logged as " Restore".
void RemoveUnpackFolder(const std::string& folder);

// Why an archive's members may not be unpacked into `target` ("" when they
// may): every member must lie below `folder` (compared without case, in the
// spelling given, its long or its 8.3 form) and be safe to extract; an
// archive that cannot be read is refused as well.
std::string MemberProblem(std::string_view archive, std::string_view target, std::string_view folder);

// unzip's exit code: 0 and 1 (warnings) are a success.
bool UnzipSucceeded(int exitCode);

// Runs an unpack command line (kept as the state's CommandLine and
// ShellCommand) and waits for it. 0 when unzip ran and succeeded; else the
// error number to log: the start's own, or 57 for a run that failed.
int RunUnzip(const std::string& commandLine);

// The run's argument vector: Unzip32.exe, the options, the archive, the
// patterns, -d and the target (without its trailing "\" unless a drive root).
std::vector<std::string> UnpackArguments(const Unpack& unpack);

// The first member of the unpack that is not where the run was to put it
// ("" when all are): a folder missing, a file missing or of another size.
std::string MemberNotBack(const Unpack& unpack);

// Runs the unpack: 0 when unzip succeeded, every member is back and, aside,
// everything was moved in; else the error number to log (the run's, 53 for a
// member that is not back, or the move's).
int UnpackArchive(const Unpack& unpack);

}  // namespace restore
