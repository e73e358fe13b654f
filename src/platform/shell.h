#pragma once
// Shell services of the stand-in: ShellExecuteA "open" of a web address,
// the folder browser's model (SHBrowseForFolderA / SHGetPathFromIDListA) and
// the work of the format dialog (SHFormatDrive). The dialogs themselves are
// windows of the forms runtime; these functions know nothing of Qt widgets.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- ShellExecuteA ---------------------------------------------------------
// Results above 32 mean success, as ShellExecuteA's.
enum ShellExecuteResult : int {
  kSeErrFileNotFound = 2,
  kSeErrAccessDenied = 5,
  kSeErrNoAssociation = 31,
  kSeOk = 42,
};
struct ShellResult {
  int code = kSeOk;
  std::string error;  // for the caller's message; "" on success
  bool ok() const { return code > 32; }
};
// Opens an "http://" or "https://" address in the person's browser through
// xdg-open (an argument vector, never a shell). Other verbs and other files
// give kSeErrNoAssociation. A browser still running after a moment counts as
// success and is left running.
ShellResult shellExecute(std::string_view verb, std::string_view file, std::string_view parameters = {},
                         std::string_view directory = {}, int showCommand = 1);
// Tests: the host program used in place of xdg-open ("" restores it).
void setUrlOpener(std::string hostProgram);

// ---- folder browser --------------------------------------------------------
struct FolderItem {
  std::string name;   // as the browser shows it: "SYSTEM (C:)", "Windows"
  std::string path;   // "C:\", "C:\WINDOWS", "\\SERVER\SHARE"
  bool ready = true;  // false: a drive without a medium
};
// The top level: every drive of the machine ("<label> (C:)", or "(A:)"
// without a label), then the network shares of its network drives, named
// and answered as UNC paths ("\\SERVER\SHARE").
std::vector<FolderItem> browseRoots();
// The sub-folders of a folder, sorted by name without regard to case.
// Empty for a missing folder; raises 71 for a drive without a medium.
std::vector<FolderItem> browseFolders(std::string_view folder);

// ---- SHFormatDrive ---------------------------------------------------------
struct FormatRequest {
  char drive = 'A';
  bool quick = true;  // quick: erase files and label; full: also makes an unformatted medium usable
  std::string label;  // "" for none
};
struct FormatResult {
  bool ok = false;
  std::string error;  // why it did not format
  std::int64_t totalBytes = 0, freeBytes = 0;
  std::uint32_t serial = 0;
};
// "" when `label` may be a volume label (at most 11 characters, none of
// * ? / \ | . , ; : + = [ ] < > "), else the reason.
std::string volumeLabelProblem(std::string_view label);
FormatResult formatDisk(const FormatRequest& request);

}  // namespace platform
