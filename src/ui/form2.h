#pragma once
// The splash window and the start-up driver on its one-shot timer.
#include <functional>
#include <string>

#include "platform/datetime.h"

namespace ui {

// TodayDate of a day: a blank, the day, "/", the month, "/", the year (" 9/12/2026").
std::string todayDateText(const platform::DateTime& day);

// The start-up step after the splash is gone and before the main window is
// shown: the SmartSave state (and an unattended SmartSave, which ends the
// program). By default save::InitSmartSave; a test may put its own step in
// (nullptr restores the default).
void setInitSmartSaveStep(std::function<void()> step);

// Form2 load (TodayDate, UserFilesIniPath, texts, bar 10) and Timer1, the
// driver: Form1, UserFiles and RestoreReq loaded hidden, the probe, the
// splash unloaded, SmartSave, Form1 shown. It runs once.
void bindForm2();

// The driver itself (what the first tick runs).
void startUp();

}  // namespace ui
