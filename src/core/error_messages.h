#pragma once
// The program's own texts of the file errors it reports.
#include <string>

namespace core {

// The message (2000 to 2011) for a file error number of the runtime (52 bad
// file name, 53 file not found, ... 75 path/file access error); "" for a
// number without a text of its own.
std::string FileErrorMessage(int error);

}  // namespace core
