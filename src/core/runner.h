#pragma once
// Runs an external program (the archivers) hidden and waits for its end.
#include <string_view>

namespace core {

// Runs the command line hidden, waits without a time limit, lets pending
// window events run once and returns the program's exit code. Callers that
// only need the run may ignore it. A program that cannot be found or started
// raises its run-time error (53) to the caller, and nothing is waited for.
int ShellAndWait(std::string_view commandLine);

}  // namespace core
