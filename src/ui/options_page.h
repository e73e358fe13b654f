#pragma once
// The Options page of the main window (the save boxes Check1 .. Check17, All,
// None and Save settings) and the compression slider of the Tools page with
// its Default button.
#include <string_view>

namespace ui {

// SaveSettings for a button of the main window: a failure is logged with
// `context` and the program goes on.
void storeSettings(std::string_view context);

void bindOptionsPage();

}  // namespace ui
