#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/infozip.h"
#include "platform/paths.h"
#include "platform/shortname.h"

namespace platform {

namespace {

constexpr std::size_t kKeptRuns = 200;
constexpr std::string_view kFakeMarker = "KELVARAN FAKE PROGRAM";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::deque<ProcessRun>& runs() {
  static std::deque<ProcessRun> list;
  return list;
}

std::map<std::string, FakeProgram>& fakes() {
  static std::map<std::string, FakeProgram> table;
  return table;
}

std::string lastComponent(std::string_view path) {
  const auto cut = path.find_last_of("\\:");
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

ToolRun runFake(const FakeProgram& fake, const std::vector<std::string>& argv) {
  if (fake.runMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(fake.runMs));
  ToolRun run{fake.exitCode, fake.output};
  if (fake.action) run.exitCode = fake.action(argv);
  return run;
}

// A program file that starts with the marker line describes a fake.
bool readFakeFile(const std::string& program, FakeProgram& fake) {
  std::string head;
  try {
    File file(program, File::Mode::Read);
    head = file.read(4096);
  } catch (const RuntimeError&) {
    return false;
  }
  std::size_t pos = 0;
  auto nextLine = [&](std::string& line) {
    if (pos >= head.size()) return false;
    auto end = head.find('\n', pos);
    if (end == std::string::npos) end = head.size();
    line = head.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    pos = end + 1;
    return true;
  };
  std::string line;
  if (!nextLine(line) || line != kFakeMarker) return false;
  while (nextLine(line)) {
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string key = upperCase(line.substr(0, eq));
    const std::string value = line.substr(eq + 1);
    try {
      if (key == "EXIT") fake.exitCode = std::stoi(value);
      if (key == "SLEEP") fake.runMs = std::stoi(value);
    } catch (const std::exception&) {
      // a malformed number leaves the default
    }
    if (key == "OUTPUT") fake.output += value + "\r\n";
  }
  return true;
}

std::int64_t& largestHostPeak() {
  static std::int64_t kilobytes = 0;
  return kilobytes;
}

// The resident high-water mark of a running process, from its status file:
// the rusage a parent gets back counts, for a child started by vfork, the
// memory of the parent it shared until its exec.
std::int64_t residentPeakKilobytes(pid_t pid) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char text[4096];
  const ssize_t got = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (got <= 0) return 0;
  text[got] = '\0';
  const char* line = std::strstr(text, "VmHWM:");
  return line ? std::strtoll(line + 6, nullptr, 10) : 0;
}

}  // namespace

std::int64_t hostProgramPeakKilobytes() { return largestHostPeak(); }
void resetHostProgramPeak() { largestHostPeak() = 0; }

std::vector<std::string> splitCommandLine(std::string_view line) {
  std::vector<std::string> args;
  std::size_t i = 0;
  const std::size_t n = line.size();
  while (i < n && isBlank(line[i])) ++i;
  if (i >= n) return args;

  // The program name: quotes group, backslashes are literal.
  std::string program;
  bool quoted = false;
  for (; i < n; ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (isBlank(c) && !quoted) {
      break;
    } else {
      program += c;
    }
  }
  args.push_back(program);

  while (true) {
    while (i < n && isBlank(line[i])) ++i;
    if (i >= n) break;
    std::string arg;
    quoted = false;
    while (i < n) {
      const char c = line[i];
      if (c == '\\') {
        std::size_t count = 0;
        while (i < n && line[i] == '\\') ++count, ++i;
        if (i < n && line[i] == '"') {
          arg.append(count / 2, '\\');
          if (count % 2) {
            arg += '"';
            ++i;
          }
        } else {
          arg.append(count, '\\');
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if (isBlank(c) && !quoted) break;
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

std::string resolveProgram(std::string_view program) {
  if (program.empty()) raise(kFileNotFound);
  std::string name(program);
  if (lastComponent(name).find('.') == std::string::npos) name += ".exe";
  std::string path;
  try {
    const bool hasFolder = name.find_first_of("\\:") != std::string::npos;
    if (hasFolder) {
      path = fullPath(name);
    } else {
      path = withTrailingBackslash(curDir()) + name;
    }
    if (!fileExists(path)) raise(kFileNotFound);
    return longPath(path);
  } catch (const RuntimeError&) {
    raise(kFileNotFound);
  }
}

int runAndWait(std::string_view commandLine) {
  const std::vector<std::string> argv = splitCommandLine(commandLine);
  if (argv.empty()) raise(kFileNotFound);
  const std::string program = resolveProgram(argv[0]);
  const std::string fileName = upperCase(lastComponent(program));
  const std::vector<std::string> arguments(argv.begin() + 1, argv.end());

  ProcessRun record{std::string(commandLine), program, curDir(), 0, {}};
  ToolRun result;
  FakeProgram fake;
  if (auto it = fakes().find(fileName); it != fakes().end()) {
    result = runFake(it->second, argv);
  } else if (readFakeFile(program, fake)) {
    result = runFake(fake, argv);
  } else {
    switch (infoZipTool(fileName)) {
      case InfoZipTool::Zip: result = runZip(arguments); break;
      case InfoZipTool::Unzip: result = runUnzip(arguments); break;
      case InfoZipTool::None: raise(kFileNotFound);
    }
  }
  record.exitCode = result.exitCode;
  record.output = std::move(result.output);
  runs().push_back(std::move(record));
  while (runs().size() > kKeptRuns) runs().pop_front();
  return result.exitCode;
}

std::vector<ProcessRun> processRuns() { return {runs().begin(), runs().end()}; }
void clearProcessRuns() { runs().clear(); }
std::string lastProcessOutput() { return runs().empty() ? std::string() : runs().back().output; }

void installFakeProgram(std::string_view fileName, FakeProgram fake) {
  fakes()[upperCase(fileName)] = std::move(fake);
}
void removeFakeProgram(std::string_view fileName) { fakes().erase(upperCase(fileName)); }
void clearFakePrograms() { fakes().clear(); }

// The host program gets the very bytes of its arguments and folder: names
// of the machine are Windows-1252 bytes, which a text conversion on the way
// (as QProcess's UTF-8) would garble.
HostRun runHostProgram(const std::string& program, const std::vector<std::string>& arguments,
                       const std::filesystem::path& workingFolder, std::string_view input,
                       std::int64_t fileSizeLimit) {
  HostRun run;
  int output[2], feed[2] = {-1, -1};
  if (pipe2(output, O_CLOEXEC) != 0) return run;
  const bool feeding = !input.empty();
  // A program that ends before it read all its input must not end this one.
  if (feeding) {
    static const bool pipeSignalIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
    (void)pipeSignalIgnored;
  }
  // A write past the size limit must fail, not end the program: the ignored
  // signal is inherited.
  if (fileSizeLimit >= 0) {
    static const bool sizeSignalIgnored = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)sizeSignalIgnored;
  }
  if (feeding && pipe2(feed, O_CLOEXEC) != 0) {
    close(output[0]), close(output[1]);
    return run;
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  // The child tells through this pipe why it could not start; it closes
  // unread when the program is running.
  int startError[2];
  if (pipe2(startError, O_CLOEXEC) != 0) {
    close(output[0]), close(output[1]);
    if (feeding) close(feed[0]), close(feed[1]);
    return run;
  }
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // Only calls safe between fork and exec from here on. The program ends
    // with this one: a killed program leaves no unzip writing on.
    auto fail = [&](int error) {
      (void)!write(startError[1], &error, sizeof error);
      _exit(127);
    };
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0) fail(errno);
    if (getppid() != parent) _exit(127);  // it died before the line above
    const int in = feeding ? feed[0] : open("/dev/null", O_RDONLY);
    if (in < 0 || dup2(in, 0) < 0 || dup2(output[1], 1) < 0 || dup2(output[1], 2) < 0) fail(errno);
    if (!feeding) close(in);
    if (fileSizeLimit >= 0) {
      const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) fail(errno);
    }
    if (!workingFolder.empty() && chdir(workingFolder.c_str()) != 0) fail(errno);
    execve(program.c_str(), argv.data(), environ);
    fail(errno);
  }
  close(output[1]);
  close(startError[1]);
  if (feeding) close(feed[0]);
  int childError = 0;
  ssize_t told = -1;
  if (pid > 0)
    while ((told = read(startError[0], &childError, sizeof childError)) < 0 && errno == EINTR) {
    }
  close(startError[0]);
  if (pid < 0 || told > 0) {
    if (pid > 0)
      while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
      }
    close(output[0]);
    if (feeding) close(feed[1]);
    return run;
  }
  run.started = true;
  if (feeding) fcntl(feed[1], F_SETFL, O_NONBLOCK);  // a full pipe must not stop the reading

  // Output is read while the input is written, so neither side waits on a full pipe.
  std::size_t written = 0;
  int inputFd = feeding ? feed[1] : -1;
  char buffer[65536];
  // Its memory is looked at as it runs, at least every few milliseconds.
  constexpr int kSampleMs = 5;
  while (true) {
    run.peakKilobytes = std::max(run.peakKilobytes, residentPeakKilobytes(pid));
    pollfd fds[2] = {{output[0], POLLIN, 0}, {inputFd, POLLOUT, 0}};
    const int ready = poll(fds, inputFd >= 0 ? 2 : 1, kSampleMs);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) continue;
    if (inputFd >= 0 && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n =
          (fds[1].revents & POLLOUT) ? write(inputFd, input.data() + written, input.size() - written) : -1;
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // the program stopped reading
      if (written >= input.size()) {
        close(inputFd);
        inputFd = -1;
      }
    }
    if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = read(output[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      run.output.append(buffer, static_cast<std::size_t>(n));
    }
  }
  close(output[0]);
  if (inputFd >= 0) close(inputFd);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  largestHostPeak() = std::max(largestHostPeak(), run.peakKilobytes);
  return run;
}

}  // namespace platform
