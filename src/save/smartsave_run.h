#pragma once
// The unattended SmartSave: the countdown window FrmSmartSave, its Skip /
// Cancel button and startsmart, which saves the next of the four SmartSave
// slots into App.Path & "\SmartSav\", records it in Form1.List1 and
// SmartSv.ini, deletes Smart.go and ends the program.
#include <functional>
#include <string>
#include <string_view>

namespace save {

// FrmSmartSave's load, countdown tick and Skip/Cancel click.
void bindSmartSaveWindow();

// Shows the countdown modally, its count starting afresh now that the window
// is visible. Called by InitSmartSave; the run ends the program.
void ShowSmartSaveCountdown();

// The save itself (the countdown's last tick runs it); a call while it runs
// does nothing.
void startsmart();

// The date of a SmartSave row from TodayDate: " 9/12/2026" gives " 9/Dec/2026"
// (the day keeps its sign blank, the month is message 1270 + month).
std::string SmartSaveDateText(std::string_view todayDate);

// Test seams: the countdown's tick interval and the pause that shows the
// closing message (milliseconds), and how that pause is spent.
void setSmartSaveTimings(int tickMs, int closingMs);
void setSmartSaveSleep(std::function<void(int ms)> sleep);

}  // namespace save
