// Spanning an archive over 1.44 MB floppy disks and joining it back, against
// the bare tools on the same bytes: `split -b 1457664` and `cat` of the parts.
//
//   split_join_bench [megabytes [rounds]]     (default 100 MB, 7 rounds)
//
// For each round: the program's move of the archive onto a set of fresh
// emulated disks (a part per disk, each further disk asked for and put in at
// once), then its join of the parts back from the disks; and split and cat on
// a host copy of the archive. Printed: the medians of both sides and their
// ratios (goal: at most 1.25), and the peak memory of each side: what the
// program's resident set grew by over the work (the archive's bytes the bench
// holds are not counted), the largest resident set of a bare tool.
// Half the archive's bytes are text, half random. The first round also checks
// that every disk holds what split writes into its part and that the join gives
// back the archive byte for byte.
// Every file the bench makes is removed on every way out (see cleanup.h).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "cleanup.h"
#include "core/animate.h"
#include "core/disk_copy.h"
#include "core/disk_join.h"
#include "core/disk_names.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "forms/scripted_dialogs.h"
#include "measure.h"
#include "platform/files.h"
#include "platform/machine.h"
#include "support/test_machine.h"

namespace {

using bench::median;
using bench::seconds;

namespace fs = std::filesystem;

constexpr std::int64_t kFloppy = 1457664;  // 1.44 MB, 512-byte clusters
const std::string kProgram = "C:\\Program Files\\Kelvaran";

// Blocks of 64 KB, text and random bytes by turns.
std::string mixedBytes(std::size_t size) {
  std::mt19937_64 random(11);
  const char* words[] = {"config ", "system ", "[boot] ", "shell=Explorer.exe ", "device=", "\r\n"};
  std::string bytes;
  bytes.reserve(size + 64);
  for (std::size_t block = 0; bytes.size() < size; ++block) {
    const std::size_t end = std::min(size, bytes.size() + 65536);
    if (block % 2) {
      while (bytes.size() < end) {
        const std::uint64_t word = random();
        bytes.append(reinterpret_cast<const char*>(&word), sizeof word);
      }
    } else {
      while (bytes.size() < end) bytes += words[random() % std::size(words)];
    }
  }
  bytes.resize(size);
  return bytes;
}

// This process's resident set now.
long residentMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
  return 0;
}

// Runs a host program with its standard output into `output` (none: kept).
int runTool(const std::vector<std::string>& args, const fs::path& output = {}) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!output.empty())
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string hostBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The largest resident set of a host program, in a run of its own under
// time(1): a child started from this process would count the bench's own
// memory as well. -1 when it failed.
long toolPeakMegabytes(const std::vector<std::string>& args, const fs::path& output, const fs::path& report) {
  std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", report.string()};
  timed.insert(timed.end(), args.begin(), args.end());
  if (runTool(timed, output) != 0) return -1;
  long kilobytes = -1;
  std::ifstream(report) >> kilobytes;
  return kilobytes < 0 ? -1 : kilobytes / 1024;
}

std::string insertPrompt(int disk) {
  return forms::loadResString(1195) + " " + std::to_string(disk) + forms::loadResString(1196);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 100;
  const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 7);
  const std::size_t size = static_cast<std::size_t>(megabytes) << 20;
  const int disks = static_cast<int>((static_cast<std::int64_t>(size) + kFloppy - 1) / kFloppy);

  testsupport::TestMachine m;
  const bench::CleanupOnExit cleanup(m.root());
  m.setDrive('C', "Capacity", std::to_string(std::int64_t(megabytes + 64) * 4 << 20));
  forms::setAppPath(kProgram);
  core::InstallAnimateHandlers();
  auto& dialogs = forms::ScriptedDialogs::install();
  const std::string bytes = mixedBytes(size);
  const fs::path bare = m.root() / "bare";
  fs::create_directories(bare);

  std::printf("%d MB over %d emulated 1.44 MB disks against split and cat, median of %d rounds\n", megabytes,
              disks, rounds);
  std::vector<double> split, join, bareSplit, bareJoin;
  long splitPeak = 0, joinPeak = 0, bareSplitPeak = 0, bareJoinPeak = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::string archive = kProgram + "\\Conf1.kvz";
    m.write(archive, bytes);
    std::vector<std::string> media;
    m.eject('A');
    for (int d = 1; d <= disks; ++d)
      media.push_back(
          m.addMedium({.capacity = kFloppy, .clusterSize = 512, .label = d == 1 ? "Save#1" : ""}));
    m.insert('A', media[0]);

    core::resetState();
    forms::setAppPath(kProgram);
    core::state().DiskNo = 1;
    core::state().SpanTargetRoot = "A:\\";
    for (int d = 2; d <= disks; ++d)
      dialogs.expect(insertPrompt(d)).then([&m, &media, d] { m.insert('A', media[d - 1]); });
    bench::resetPeak();
    long before = residentMegabytes();
    const auto splitStart = std::chrono::steady_clock::now();
    const bool moved = core::MoveFileToDisk(archive, "A:\\", "");
    split.push_back(seconds(splitStart));
    splitPeak = std::max(splitPeak, bench::peakMegabytes() - before);
    if (!moved || core::state().PartNo != disks) {
      std::fprintf(stderr, "the split failed (%d parts)\n", core::state().PartNo);
      return 1;
    }

    for (int d = 1; round == 0 && d <= disks; ++d) {
      const fs::path part = m.root() / "media" / media[d - 1] / core::PartFileName("Conf1.kvz", d);
      if (hostBytes(part) != bytes.substr(static_cast<std::size_t>(d - 1) * kFloppy, kFloppy)) {
        std::fprintf(stderr, "disk %d does not hold part %d as split writes it\n", d, d);
        return 1;
      }
    }

    const std::string target = kProgram + "\\DiskRestore\\Conf1.kvz";
    core::state().DiskRestorePath = kProgram + "\\DiskRestore\\";
    core::state().DiskNo = 1;
    m.insert('A', media[0]);
    for (int d = 2; d <= disks; ++d)
      dialogs.expect(insertPrompt(d)).then([&m, &media, d] { m.insert('A', media[d - 1]); });
    bench::resetPeak();
    before = residentMegabytes();
    const auto joinStart = std::chrono::steady_clock::now();
    const bool joined = core::ConcatSplitFile("A:\\Conf1.kvz", target, disks);
    join.push_back(seconds(joinStart));
    joinPeak = std::max(joinPeak, bench::peakMegabytes() - before);
    if (!joined || platform::fileLen(target) != static_cast<std::int64_t>(size) ||
        (round == 0 && m.read(target) != bytes)) {
      std::fprintf(stderr, "the join failed\n");
      return 1;
    }
    dialogs.verify();  // every disk was asked for (default reporter: stderr and abort)
    platform::kill(target);
    m.eject('A');
    for (const std::string& medium : media) fs::remove_all(m.root() / "media" / medium);

    // The bare tools on a host copy of the same bytes.
    const fs::path source = bare / "Conf1.kvz";
    std::ofstream(source, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto bareSplitStart = std::chrono::steady_clock::now();
    const int splitCode = runTool({"/usr/bin/split", "-b", std::to_string(kFloppy), "-a", "3", "-d",
                                   source.string(), (bare / "Conf1.").string()});
    bareSplit.push_back(seconds(bareSplitStart));
    std::vector<std::string> cat = {"/usr/bin/cat"};
    for (int d = 0; d < disks; ++d) {
      char suffix[8];
      std::snprintf(suffix, sizeof suffix, "%03d", d);
      cat.push_back((bare / ("Conf1." + std::string(suffix))).string());
    }
    const auto bareJoinStart = std::chrono::steady_clock::now();
    const int catCode = runTool(cat, bare / "joined.kvz");
    bareJoin.push_back(seconds(bareJoinStart));
    if (splitCode != 0 || catCode != 0 || fs::file_size(bare / "joined.kvz") != size) {
      std::fprintf(stderr, "split or cat failed\n");
      return 1;
    }
    if (round == 0) {
      bareJoinPeak = toolPeakMegabytes(cat, bare / "joined.kvz", bare / "time.txt");
      fs::remove_all(bare / "joined.kvz");
      std::vector<std::string> again = {
          "/usr/bin/split",          "-b", std::to_string(kFloppy), "-a", "3", "-d", source.string(),
          (bare / "Again.").string()};
      bareSplitPeak = toolPeakMegabytes(again, {}, bare / "time.txt");
    }
    fs::remove_all(bare);
    fs::create_directories(bare);
  }
  const double s = median(split), j = median(join), bs = median(bareSplit), bj = median(bareJoin);
  std::printf("%-6s %10s %10s %7s %11s %9s\n", "", "program s", "bare s", "ratio", "program MB", "bare MB");
  std::printf("%-6s %10.3f %10.3f %7.2f %11ld %9ld\n", "split", s, bs, s / bs, splitPeak, bareSplitPeak);
  std::printf("%-6s %10.3f %10.3f %7.2f %11ld %9ld\n", "join", j, bj, j / bj, joinPeak, bareJoinPeak);
  return 0;
}
