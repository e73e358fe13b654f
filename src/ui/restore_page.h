#pragma once
// The Restore page of the main window: the slot list List2, the SmartSave
// list List1 and the Restore button Command4, which confirms the choice, has
// the description read into the restore dialog and shows the dialog.
#include <string>

namespace ui {

// The name of the configuration chosen for a restore (the last line of the question).
const std::string& selectedName();

void bindRestorePage();

}  // namespace ui
