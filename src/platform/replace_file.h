#pragma once
// Atomic replacement of a file's bytes: a temporary file is written beside
// the file and renamed over it, so a failure leaves the old file whole.
#include <string_view>

namespace platform {

// Creates or replaces `path` (a Windows path). Raises as writeFile does:
// 76 when the folder is missing, 70 for a read-only file or a write-protected
// medium, 61 when the drive lacks room, 71 without a medium.
void replaceFile(std::string_view path, std::string_view bytes);

}  // namespace platform
