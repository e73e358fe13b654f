#pragma once
// The SmartSave schedule on the Tools page: the interval list Form1.Combo1
// and the days box Form1.Text3, and the countdown window's handlers.
namespace save {

// Combo1: the interval's day count into Text3 ("User defined" asks for it
// while the main window is shown), then SmartSv.ini rewritten. Text3: a click
// chooses "Daily" and then "User defined", so the days are asked for.
void bindSmartSave();

}  // namespace save
