#pragma once
// The application object, the screen and the runtime's statements that are
// not about one window.
#include <filesystem>
#include <string>
#include <string_view>

class QFont;

namespace forms {

// Sets up the runtime once the QApplication exists: the classic look (the
// "Windows" style, the classic palette), no quit when the last window
// closes, F1 opens help, the Qt dialogs.
void initRuntime();

// App.Path: the program folder as a Windows path, no trailing "\".
std::string appPath();
void setAppPath(std::string_view windowsPath);
std::string appTitle();
void setAppTitle(std::string_view title);
std::string appHelpFile();
void setAppHelpFile(std::string_view path);
// App.PrevInstance: another instance runs on this machine (a lock that dies
// with its process). The first call takes the lock; later calls repeat its answer.
bool prevInstance();
// Where the instance lock lives; by default the open machine's root (no
// machine open: no lock, never a previous instance).
void setInstanceLockFolder(const std::filesystem::path& folder);

// Screen.MousePointer: 0 default, 11 hourglass, 13 arrow and hourglass.
int mousePointer();
void setMousePointer(int pointer);
int screenWidth();
int screenHeight();

// A fixed-pitch font ("Courier New" where it exists) of `pointSize`.
QFont fixedFont(int pointSize = 9);

// DoEvents: one pass of the event loop.
void doEvents();
// The DoEvents of a loop that turns thousands of times a second (a file
// copied, a block written): a pass of the event loop when the last one of
// these was a few milliseconds ago, else nothing. What the user does is
// still seen at once to the eye, without the cost of a pass per turn.
void doEventsThrottled();

// Beep: the system's warning sound.
void beep();

// End: the program ends at once; no unload handlers run.
[[noreturn]] void end(int exitCode = 0);

}  // namespace forms
