#pragma once
// Discovery of this machine's folders and program versions in the registry.
#include <cstdint>
#include <string>
#include <variant>

#include "platform/registry.h"

namespace core {

// A registry value as read: empty, text (with its terminating NUL, as the
// registry reports its size) or a 32-bit number.
using RegValue = std::variant<std::monostate, std::string, std::int32_t>;

// 0 on success, the registry's error code of a failing query, -1 for a value
// of another type than REG_SZ or REG_DWORD. `value` is left unchanged when
// the value is missing or of another type, emptied when reading a string fails.
std::int32_t ReadRegValue(platform::HKey key, const std::string& name, RegValue& value);

// The profile folder of a mail state path (its last two components removed),
// and the parent of an installation folder with its "\" ("" when there is none).
std::string folderAbove(const std::string& path, int components);

// Fills the machine paths of the state, the version captions, the identity
// and Messenger lists of the user-files dialog, and disables each selection
// box whose data this machine does not have. Reads only.
void DetectEnvironment();

}  // namespace core
