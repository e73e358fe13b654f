#pragma once
// Pure helpers on absolute Windows paths ("C:\WINDOWS\TEMP", UNC
// "\\SERVER\SHARE\Folder") for the Info-ZIP dialect and the shell services.
#include <string>
#include <string_view>

namespace platform {

// The root a path lies on: "C:\" or "\\SERVER\SHARE\" ("" for neither).
std::string driveRootOf(std::string_view path);
// The last component ("system.ini"; "" for a root).
std::string lastComponentOf(std::string_view path);
// The folder holding the last component ("C:\WINDOWS"; a root stays a root).
std::string parentOf(std::string_view path);
// folder & "\" & name, without doubling the "\" after a root.
std::string joinPath(std::string_view folder, std::string_view name);
// Whether a name holds "*" or "?".
bool hasWildcard(std::string_view name);

}  // namespace platform
