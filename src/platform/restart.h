#pragma once
// Restarting the machine: the stand-in for ExitWindowsEx and for what
// Windows does at its next start with WININIT.INI.
//
// A granted request (flags with EWX_REBOOT) marks a restart as pending on the
// machine, lets the forms side close the main window as Windows' shutdown
// does (unload mode 2, so the program's exit runs and saves its settings),
// then starts the machine again: completeRestart() processes the running
// Windows folder's WININIT.INI and the program ends. When the program ends
// itself inside that close, the pending restart is completed by the next
// start of the machine (processPendingRestart()).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum ExitWindowsFlags : unsigned {
  kEwxLogoff = 0,
  kEwxShutdown = 1,
  kEwxReboot = 2,
  kEwxForce = 4,
  kEwxPowerOff = 8,
};

// ExitWindowsEx: false when refused (nothing else happens then).
bool exitWindowsEx(unsigned flags, unsigned reserved = 0);

// Every request made, granted or not, in order.
std::vector<unsigned> restartRequests();
void clearRestartRequests();
// Tests: refuse the following requests (as when another program vetoes).
void setRestartRefused(bool refused);

// What a granted request does after recording it. The forms side sets
// `closeWindows` (close the main window with unload mode 2); `endProgram`
// ends the process (default: at once, as the runtime's End); tests replace both.
struct RestartHooks {
  std::function<void()> closeWindows;
  std::function<void()> endProgram;
};
void setRestartHooks(RestartHooks hooks);
// Tests: hears each [rename] line before the boot processing carries it out;
// a throw from it stands for the machine going off there. Empty: none.
void setWininitLineHook(std::function<void(const std::string&)> hook);

// True while a granted restart has not been completed.
bool restartPending();
// Completes a pending restart (boot processing of the Windows folder's
// WININIT.INI); returns its log, empty when none was pending. The restart
// stays pending until the processing has ended: one cut short is carried on
// from the line it had reached.
std::vector<std::string> processPendingRestart();

// The boot processing of WININIT.INI in `windowsFolder` ("C:\WINDOWS"), as
// WININIT.EXE does it: every [rename] section in file order; "DEST=SRC"
// moves SRC over DEST, "NUL=SRC" deletes SRC; a line whose paths are not
// full paths in 8.3 form, or that names two drives, is ignored, and one
// whose source is missing is skipped; the file is then renamed to
// WININIT.BAK, replacing an old one. Returns one log line per action or
// line passed over.
std::vector<std::string> processWininit(std::string_view windowsFolder);

// The lines of every [rename] section of WININIT.INI in `windowsFolder`, in
// file order, as the next start would process them (trimmed; comments and
// blank lines left out). Empty when the file is missing or unreadable.
std::vector<std::string> pendingRenames(std::string_view windowsFolder);

}  // namespace platform
