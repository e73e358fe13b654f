#pragma once
// The restore dialog's handlers: activation (first tab, help context, the
// user-file buttons and the list's extent), All and None of the system files
// and of the user files, OK (hides the dialog and runs the restore), Cancel
// (brings back the action buttons a contents view hid) and Help.

namespace restore {

void bindRestoreReq();

// The system-file boxes and the News box that All and None of tab 0 set, in order.
inline constexpr int kAllNoneBoxes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 13, 14, 15, 16, 17, 24, 25};

}  // namespace restore
