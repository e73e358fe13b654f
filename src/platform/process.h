#pragma once
// Running programs of the machine: the stand-in for CreateProcess,
// OpenProcess, WaitForSingleObject, CloseHandle and Sleep.
//
// A command line is split by the Windows rules, its program is looked up by
// its path or in the layer's current folder (".exe" added when the name has
// no extension), run hidden with no input and waited for without a time
// limit; its output is kept for a debug trace and its exit code returned.
// No shell is involved anywhere. The programs a machine can run are:
//   - zip.exe, Unzip32.exe and Unzip.exe (by file name, any folder): the
//     host's Info-ZIP zip and unzip with the DOS argument dialect (infozip.h);
//   - fake programs put in place by a test (below);
//   - nothing else: any other program, like a missing one, raises 53.
//
// Fake programs, to exercise the callers' error paths:
//   - in process: installFakeProgram("zip.exe", {.exitCode = 12}) makes every
//     run of a program file named zip.exe (the file must exist) behave as
//     given instead; FakeProgram::action runs inside the "process" and may
//     click buttons, check files or return its own exit code;
//   - on the machine: a program file whose first line is exactly
//     "KELVARAN FAKE PROGRAM" is run as a fake whatever its name. Its other
//     lines are "exit=<code>", "sleep=<milliseconds>" and "output=<text>"
//     (one line of output each), so a person can break a program of the
//     demo machine by hand.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits a command line as the Windows C runtime does: blanks and tabs
// separate arguments; double quotes group (a quote inside quotes written
// twice is a literal quote); 2n backslashes before a quote give n
// backslashes and the quote groups, 2n+1 give n and a literal quote;
// other backslashes are literal. The program name (first argument) ends at
// the first blank outside quotes and its backslashes are always literal.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

// The program file a command line's first argument names: a path as given
// (made absolute), or a bare name in the current folder; ".exe" is added to
// a name without extension. Raises 53 when there is no such file.
std::string resolveProgram(std::string_view program);

// Runs the command line and waits for its end; returns the exit code.
// Raises 53 when the program cannot be found or started.
int runAndWait(std::string_view commandLine);

// One finished run, newest last (at most the last 200 are kept).
struct ProcessRun {
  std::string commandLine;
  std::string program;        // resolved Windows path
  std::string currentFolder;  // curDir() when it started
  int exitCode = 0;
  std::string output;  // stdout and stderr, as the program wrote them
};
std::vector<ProcessRun> processRuns();
void clearProcessRuns();
// Output of the last finished run ("" before any).
std::string lastProcessOutput();

// ---- fakes (tests) --------------------------------------------------------
struct FakeProgram {
  int exitCode = 0;
  int runMs = 0;       // how long it "runs" (the caller's thread sleeps)
  std::string output;  // what it writes
  // When set, runs after the sleep with the split argument vector; its
  // result is the exit code.
  std::function<int(const std::vector<std::string>& argv)> action;
};
// `fileName` is matched case-insensitively against the program file's long
// name ("zip.exe"); a later install replaces an earlier one.
void installFakeProgram(std::string_view fileName, FakeProgram fake);
void removeFakeProgram(std::string_view fileName);
void clearFakePrograms();

// ---- host programs (platform code only) -----------------------------------
struct HostRun {
  bool started = false;  // false: the program could not be started
  int exitCode = -1;     // -1 when it crashed
  std::string output;
  // The most memory the program itself held (its resident high-water mark,
  // sampled while it runs), in kilobytes; 0 when never seen.
  std::int64_t peakKilobytes = 0;
};
// Runs a host program with an argument vector (never a shell), byte for
// byte, stdin from `input` (from /dev/null when empty), stdout and stderr
// merged, and waits for it without time limit.
// `fileSizeLimit` (bytes, none when negative) is the largest file the program
// may write: a write past it fails (EFBIG) as on a full disk. It is in force
// before the program gets its first byte of input, so a program that reads
// its input before it writes writes nothing past it.
HostRun runHostProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingFolder = {}, std::string_view input = {},
                       std::int64_t fileSizeLimit = -1);
// The largest peakKilobytes of the host programs run since the last reset
// (benchmarks: what zip and unzip themselves took).
std::int64_t hostProgramPeakKilobytes();
void resetHostProgramPeak();

}  // namespace platform
