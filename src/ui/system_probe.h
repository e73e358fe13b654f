#pragma once
// The system-file probe of the start-up (Form2.CheckSystemf): every system
// file that exists gets its save box on Form1 and its box in RestoreReq
// enabled; a missing one is unticked, disabled in both windows and logged.
// Ends by saving the settings. Moves the splash bar from 50 to 100, then 60.
#include <span>

#include "windows/form1.h"
#include "windows/restorereq.h"

namespace ui {

void CheckSystemf();

// One row of the probe, in the order of testing.
struct ProbeRow {
  const char* file;  // a full path, or (inWindows) a name in the Windows folder
  bool inWindows;
  bool hiddenSystem;     // hidden and system files count as well
  const char* stepName;  // appended to message 1121; nullptr keeps the previous step text
  forms::CheckBox windows::Form1Window::*saveBox;
  forms::CheckBox windows::RestoreReqWindow::*restoreBox;
  bool barStep;  // the splash bar moves on by 5 before the test
};
std::span<const ProbeRow> probeTable();

}  // namespace ui
