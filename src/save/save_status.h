#pragma once
// The save's status text and progress, shown on the main window and on the
// SmartSave window alike.
#include <string_view>

namespace save {

void SetStatus(std::string_view text);
void SetProgress(int step);

}  // namespace save
