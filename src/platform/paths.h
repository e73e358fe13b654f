#pragma once
// Windows path texts: parsing, the names Windows forbids, and the absolute
// form against a current drive and current folders. Pure text, no machine.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct WindowsPath {
  char drive = 0;                  // 'C'; 0 for a UNC path
  std::string server, share;       // UNC: \\server\share
  std::vector<std::string> parts;  // components below the root, "." and ".." resolved
  // "C:\WINDOWS\WIN.INI", "C:\" for a root, "\\SERVER\SHARE\X" for UNC.
  std::string text() const;
  std::string rootText() const;  // "C:" or "\\SERVER\SHARE"
};

// `folder` ending with "\", for appending names to it; an empty folder stays
// empty (it names no folder, and "\" would be the current drive's root).
std::string withTrailingBackslash(std::string_view folder);

// A component Windows refuses: empty, one of \ / : * ? " < > |, a control
// character, or a trailing dot or blank ("." and ".." are not components).
// Wildcards may be allowed for the last component of a search pattern, which
// may then end in a dot ("*.").
bool isForbiddenName(std::string_view name, bool allowWildcards = false);

// Parses `path` ("C:\A", "C:A", "\A", "A\B", "\\SRV\SHARE\A", "/" or "\" as
// separator) into its absolute form. `currentFolder(drive)` gives a drive's
// current folder ("\WINDOWS"). Raises 52 for an empty path or a forbidden
// name; ".." stops at the drive (or share) root.
WindowsPath parseWindowsPath(std::string_view path, char currentDrive,
                             const std::function<std::string(char)>& currentFolder,
                             bool allowWildcards = false);

}  // namespace platform
