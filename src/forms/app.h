#pragma once
// The application object, the screen and the runtime's statements that are
// not about one window.
#include <string>
#include <string_view>

namespace forms {

// App.Path: the program folder as a Windows path, no trailing "\".
std::string appPath();
void setAppPath(std::string_view windowsPath);
std::string appTitle();
void setAppTitle(std::string_view title);
std::string appHelpFile();
void setAppHelpFile(std::string_view path);
// App.PrevInstance: another instance runs on this machine (a lock that dies
// with its process).
bool prevInstance();

// Screen.MousePointer: 0 default, 11 hourglass.
int mousePointer();
void setMousePointer(int pointer);
int screenWidth();
int screenHeight();

// DoEvents: one pass of the event loop.
void doEvents();

// End: the program ends at once; no unload handlers run.
[[noreturn]] void end(int exitCode = 0);

}  // namespace forms
