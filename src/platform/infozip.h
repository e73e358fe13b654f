#pragma once
// zip.exe, Unzip32.exe and Unzip.exe of the machine, run as the host's
// Info-ZIP zip and unzip with the argument dialect of their DOS and Windows
// builds. The host builds differ from those: they do not expand DOS
// wildcards, refuse -S, and read "\" in a member pattern as an escape.
//
// zip: "[-<level|q|u|r|g|o|m|S>...] archive operand..."
//   - only those options; anything else ends with exit code 16;
//   - operands are Windows paths (relative ones against the current
//     folder); DOS wildcards in their last component are expanded here
//     ("*.*" matches every name), hidden and system files and folders only
//     with S; r recurses here as well, so hidden entries deep in a tree
//     follow S too;
//   - zip runs in the host folder of the operands' drive root with the
//     operands drive-relative, so entries are stored as the DOS build stores
//     them: "WINDOWS/TEMP/kelvaran/system.ini";
//   - the entries' DOS attributes (read-only, hidden, system, archive) are
//     written into the archive's central directory;
//   - m deletes the packed files (and the folders it emptied) through the
//     machine layer once zip has succeeded;
//   - nothing matched: exit code 12, as zip ends with "Nothing to do!".
//
// unzip: "[-<q|o|C>...] archive [pattern...] [-d folder]"
//   - "-d X:\" is that drive's root; without -d the current folder;
//   - "\" in a pattern is a folder separator;
//   - every member name is checked first: an archive holding a symlink, an
//     absolute name, a ".." component, or a name with "\", ":" or a control
//     character is refused whole (exit code 3) and nothing is written;
//   - the members are extracted into a private scratch folder and merged
//     from there into the target through the machine layer, so an existing
//     file or folder keeps its spelling, and the members' DOS attributes and
//     times are restored;
//   - without o an existing file is kept (the host build would ask);
//   - exit codes as unzip's: 0 ok, 1 warnings (success as well), 9 no
//     archive, 10 bad options, 11 no matching member, 50 disk full,
//     2 another failure while writing.
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class InfoZipTool { None, Zip, Unzip };

// The tool a program file name stands for ("ZIP.EXE" -> Zip).
InfoZipTool infoZipTool(std::string_view programFileName);

struct ToolRun {
  int exitCode = 0;
  std::string output;
};

// `arguments` are the command line's arguments after the program name.
ToolRun runZip(const std::vector<std::string>& arguments);
ToolRun runUnzip(const std::vector<std::string>& arguments);

}  // namespace platform
