#pragma once
// The configurations of an import folder: which of Config1.ini .. Config5.ini
// stand there, what each is called, and the rows the Import dialog lists.
#include <string>
#include <string_view>
#include <vector>

#include "platform/datetime.h"

namespace restore {

// A description file is of the 1.2x format only when it has neither a
// [Configuration] ConfigName nor a [SystemFiles] SaveFolder: a current
// description with an empty name is still a current one.
bool isLegacyDescription(std::string_view file);

// The description shown for a file: ConfigName, or for a 1.2x file its first
// field ("" for an empty or unreadable one).
std::string listedDescription(std::string_view file);

// One row: "<n> / <description padded to 15> / <date and time>". A longer
// description is kept whole, without padding.
std::string importRow(int slot, std::string_view description, const platform::DateTime& written);
std::string importRow(int slot, std::string_view description, std::string_view written);

// The rows of `folder` (ending with "\"), in slot order, one per description
// file that exists there. A file whose date cannot be read is still listed.
std::vector<std::string> listImportFolder(std::string_view folder);

// The slot number a row begins with (1..5); 0 when it begins with none.
int rowSlot(std::string_view row);

}  // namespace restore
