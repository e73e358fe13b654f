#pragma once
// The restart after a restore that put back system files: the notice window
// Reboot (topmost, centred) and the request to Windows to restart. Windows
// then closes the program as it closes any window: the main window's unload
// runs the program's exit.

namespace restore {

// The notice's load handler (its text, centred on the screen, a short pause
// so that it is seen); installed by bindRestoreReq.
void bindReboot();

// Asks Windows to shut down and restart (EWX_SHUTDOWN | EWX_REBOOT). A
// refused request leaves the program running; the notice is taken away.
void RebootWindows();

}  // namespace restore
