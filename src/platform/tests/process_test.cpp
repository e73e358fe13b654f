// Running programs of the machine: command-line splitting, program lookup,
// fakes, and host programs run with an argument vector.
#include "platform/process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "support/test_machine.h"

namespace {

using platform::splitCommandLine;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, FollowsTheWindowsRules) {
  struct Case {
    const char* line;
    Args args;
  };
  const Case cases[] = {
      {R"(zip.exe -5qurS "C:\SAVE\Conf1s.kvz" "C:\WINDOWS\Start Menu\*.*")",
       {"zip.exe", "-5qurS", R"(C:\SAVE\Conf1s.kvz)", R"(C:\WINDOWS\Start Menu\*.*)"}},
      {R"(Unzip32.exe -qo "C:\My Saves\Conf1.kvz" -d c:\)",
       {"Unzip32.exe", "-qo", R"(C:\My Saves\Conf1.kvz)", "-d", R"(c:\)"}},
      {R"(Unzip32.exe -Cqo "C:\S\Conf1na.kvz" *Mail\* -d C:\)",
       {"Unzip32.exe", "-Cqo", R"(C:\S\Conf1na.kvz)", R"(*Mail\*)", "-d", R"(C:\)"}},
      {R"("C:\Program Files\Kelvaran\zip.exe" a)", {R"(C:\Program Files\Kelvaran\zip.exe)", "a"}},
      {R"("C:\odd\"x y)", {R"(C:\odd\x)", "y"}},  // backslashes of the program name are literal
      {"p \t a\tb  ", {"p", "a", "b"}},
      {R"(p "a b"c d)", {"p", "a bc", "d"}},
      {R"(p "say ""hi""")", {"p", R"(say "hi")"}},
      {R"(p a\"b)", {"p", R"(a"b)"}},
      {R"(p a\\"b c")", {"p", R"(a\b c)"}},
      {R"(p a\\\"b)", {"p", R"(a\"b)"}},
      {R"(p C:\dir\ "C:\x y\\")", {"p", R"(C:\dir\)", R"(C:\x y\)"}},
      {R"(p "")", {"p", ""}},
      {"   ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(splitCommandLine(c.line), c.args) << c.line;
}

platform::FakeProgram fake(int exitCode, std::string output = {}) {
  platform::FakeProgram program;
  program.exitCode = exitCode;
  program.output = std::move(output);
  return program;
}

class ProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine.write("C:\\KELVARAN\\zip.exe", "stub");
    machine.write("C:\\KELVARAN\\notepad.exe", "stub");
    platform::chDrive('C');
    platform::chDir("C:\\KELVARAN");
    platform::clearProcessRuns();
    platform::clearFakePrograms();
  }
  void TearDown() override { platform::clearFakePrograms(); }

  static int fileNotFoundOf(const std::string& commandLine) {
    try {
      platform::runAndWait(commandLine);
    } catch (const platform::RuntimeError& e) {
      return e.number();
    }
    return 0;
  }

  testsupport::TestMachine machine;
};

TEST_F(ProcessTest, ProgramsThatCannotRunRaiseFileNotFound) {
  EXPECT_EQ(fileNotFoundOf("missing.exe -q"), platform::kFileNotFound);  // not in the current folder
  EXPECT_EQ(fileNotFoundOf("notepad.exe"), platform::kFileNotFound);     // there, but not a program we run
  EXPECT_EQ(fileNotFoundOf("C:\\NOWHERE\\zip.exe -q a b"), platform::kFileNotFound);
  EXPECT_EQ(fileNotFoundOf(""), platform::kFileNotFound);
  machine.remove("C:\\KELVARAN\\zip.exe");
  platform::installFakeProgram("zip.exe", fake(0));
  EXPECT_EQ(fileNotFoundOf("zip.exe -q a b"), platform::kFileNotFound);  // a fake needs its file
  EXPECT_TRUE(platform::processRuns().empty());
}

TEST_F(ProcessTest, ResolvesByPathOrInTheCurrentFolder) {
  EXPECT_EQ(platform::resolveProgram("zip.exe"), "C:\\KELVARAN\\zip.exe");
  EXPECT_EQ(platform::resolveProgram("ZIP"), "C:\\KELVARAN\\zip.exe");  // ".exe" added, spelling as on disk
  EXPECT_EQ(platform::resolveProgram("C:\\KELVARAN\\ZIP.EXE"), "C:\\KELVARAN\\zip.exe");
  platform::chDir("C:\\");
  EXPECT_EQ(platform::resolveProgram("KELVARAN\\zip.exe"), "C:\\KELVARAN\\zip.exe");
}

TEST_F(ProcessTest, FakeProgramsGiveTheirExitCodeAndAreRecorded) {
  std::vector<std::string> seen;
  platform::installFakeProgram("ZIP.EXE", fake(12, "zip error: Nothing to do!"));
  EXPECT_EQ(platform::runAndWait(R"(zip.exe -5q "C:\SAVE\a b.kvz" x)"), 12);
  platform::FakeProgram recorder;
  recorder.action = [&](const std::vector<std::string>& argv) {
    seen = argv;
    return 4;
  };
  platform::installFakeProgram("zip.exe", recorder);
  EXPECT_EQ(platform::runAndWait(R"(zip.exe -q "C:\SAVE\a b.kvz")"), 4);
  EXPECT_EQ(seen, (Args{"zip.exe", "-q", R"(C:\SAVE\a b.kvz)"}));

  const auto runs = platform::processRuns();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].commandLine, R"(zip.exe -5q "C:\SAVE\a b.kvz" x)");
  EXPECT_EQ(runs[0].program, "C:\\KELVARAN\\zip.exe");
  EXPECT_EQ(runs[0].currentFolder, "C:\\KELVARAN");
  EXPECT_EQ(runs[0].exitCode, 12);
  EXPECT_EQ(runs[0].output, "zip error: Nothing to do!");
  EXPECT_EQ(runs[1].exitCode, 4);
}

TEST_F(ProcessTest, AMarkerFileMakesAnyProgramAFake) {
  machine.write("C:\\KELVARAN\\tool.exe",
                "KELVARAN FAKE PROGRAM\r\nexit=7\r\nsleep=20\r\noutput=first\r\noutput=second\r\n");
  EXPECT_EQ(platform::runAndWait("tool"), 7);
  EXPECT_EQ(platform::lastProcessOutput(), "first\r\nsecond\r\n");
  machine.write("C:\\KELVARAN\\zip.exe", "KELVARAN FAKE PROGRAM\nexit=18\n");
  EXPECT_EQ(platform::runAndWait("zip.exe -q a.kvz b"), 18);  // the marker wins over the real zip
}

TEST(HostProgram, RunsWithAnArgumentVectorAndNoInput) {
  const auto echo = platform::runHostProgram("/bin/echo", {"two words", "$HOME", "a;b|c", "\"q\""});
  ASSERT_TRUE(echo.started);
  EXPECT_EQ(echo.exitCode, 0);
  EXPECT_EQ(echo.output, "two words $HOME a;b|c \"q\"\n");

  const auto cat = platform::runHostProgram("/bin/cat", {});  // stdin is empty: ends at once
  EXPECT_EQ(cat.exitCode, 0);
  EXPECT_EQ(cat.output, "");

  EXPECT_EQ(platform::runHostProgram("/bin/false", {}).exitCode, 1);
  EXPECT_FALSE(platform::runHostProgram("/nonexistent/program", {}).started);

  const auto pwd = platform::runHostProgram("/bin/pwd", {}, "/tmp");
  EXPECT_EQ(pwd.output, "/tmp\n");
}

// The memory a program took is its own, not that of the large process that
// started it. The program is looked at while it runs: cat cannot end before
// its input does, and input larger than a pipe holds is handed over only as
// cat reads it, so cat is seen in its reading loop however busy the machine.
TEST(HostProgram, ThePeakMemoryIsTheProgramsOwn) {
  std::vector<char> held(std::size_t(96) << 20, 'x');  // this process: over 96 MB
  const std::string input(std::size_t(2) << 20, 'y');  // more than a pipe holds
  platform::resetHostProgramPeak();
  const auto cat = platform::runHostProgram("/bin/cat", {}, {}, input);
  ASSERT_EQ(cat.exitCode, 0);
  EXPECT_EQ(cat.output.size(), input.size());
  EXPECT_GT(cat.peakKilobytes, 0);
  EXPECT_LT(cat.peakKilobytes, 32 * 1024);
  EXPECT_EQ(platform::hostProgramPeakKilobytes(), cat.peakKilobytes);
  EXPECT_EQ(held[held.size() / 2], 'x');
}

}  // namespace

namespace {

// A host program gets its arguments and its input byte for byte (machine
// names are Windows-1252 bytes, not UTF-8), and its output and exit code
// come back whole.
TEST(HostProgram, RunsWithTheExactBytesOfItsArgumentsAndInput) {
  const platform::HostRun echo =
      platform::runHostProgram("/usr/bin/printf", {"%s|", "Caf\xE9", "M\xFC ller"});
  ASSERT_TRUE(echo.started);
  EXPECT_EQ(echo.output, "Caf\xE9|M\xFC ller|");
  EXPECT_EQ(echo.exitCode, 0);

  std::string input;
  for (int i = 0; i < 20000; ++i)
    input +=
        "Stra\xDF"
        "e " +
        std::to_string(i) + "\n";  // more than a pipe holds
  const platform::HostRun copy = platform::runHostProgram("/bin/cat", {}, {}, input);
  EXPECT_EQ(copy.output, input);

  const platform::HostRun folder = platform::runHostProgram("/bin/pwd", {}, "/");
  EXPECT_EQ(folder.output, "/\n");
  EXPECT_EQ(platform::runHostProgram("/bin/false", {}).exitCode, 1);
  EXPECT_FALSE(platform::runHostProgram("/no/such/program", {}).started);
}

}  // namespace

namespace {

using Clock = std::chrono::steady_clock;

// The parent and the state letter of a process (0 and ' ' when it is gone).
std::pair<pid_t, char> processState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  std::getline(stat, text);
  const auto close = text.rfind(')');
  char state = ' ';
  int parent = 0;
  if (close == std::string::npos || std::sscanf(text.c_str() + close + 1, " %c %d", &state, &parent) != 2)
    return {0, ' '};
  return {parent, state};
}

pid_t childOf(pid_t parent) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = std::stoi(name);
    if (processState(pid).first == parent) return pid;
  }
  return 0;
}

bool gone(pid_t pid) {
  const char state = processState(pid).second;
  return state == ' ' || state == 'Z' || state == 'X';
}

// A program killed while it waits for a host program (an unzip half way)
// takes that program with it instead of leaving it writing on.
TEST(HostProgram, EndsWhenTheProgramThatRanItIsKilled) {
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    platform::runHostProgram("/bin/sleep", {"60"});
    _exit(0);
  }
  pid_t host = 0;
  for (const auto until = Clock::now() + std::chrono::seconds(10); !host && Clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host = childOf(program);
  }
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  ASSERT_NE(host, 0) << "the host program never started";
  bool ended = gone(host);
  for (const auto until = Clock::now() + std::chrono::seconds(10); !ended && Clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ended = gone(host);
  }
  if (!ended) kill(host, SIGKILL);
  EXPECT_TRUE(ended) << "the host program outlived the program that ran it";
}

}  // namespace
