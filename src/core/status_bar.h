#pragma once
// The text of the main window's status bar.
#include <string_view>

namespace core {

void setStatus(std::string_view text);

}  // namespace core
