// A save of many small user files (1-4 KB, half text, half random bytes)
// against bare zip on the same original files, as a user would pack them.
//
//   small_files_bench [--rounds N] [count...]     (default 3 rounds of 1000 10000 50000)
//
// For each count, round by round: the program's save (staging, User.ini,
// archive runs, description, commit) and `zip -r -q -1` straight on the
// original folder, one right after the other in alternating order; their
// median times, the median and the least of the ratios of each pair (goal
// at 10k files: at most 1.5) and the peak
// memory of the program during its save (goal at 50k files: under 64 MB),
// of the largest zip run of the save and of the bare zip, each zip
// measured on its own process.
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "cleanup.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/scripted_dialogs.h"
#include "measure.h"
#include "platform/files.h"
#include "platform/process.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "save_runs.h"
#include "support/test_machine.h"
#include "user_files.h"
#include "windows/userfiles.h"

namespace {

using bench::peakMegabytes;
using bench::resetPeak;
using bench::seconds;

const std::string kProgram = "C:\\Program Files\\Kelvaran\\";

// The host file system (ext4 without a journal) skips inodes freed in the
// last seconds when it makes a file, a scan that grows with every file just
// deleted (the bench's earlier rounds): each timed run starts once those
// seconds are over, as a user's would.
void settle() {
  ::sync();
  if (!std::getenv("BENCH_NO_PAUSE")) std::this_thread::sleep_for(std::chrono::seconds(11));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<int> counts;
  int rounds = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      counts.push_back(std::atoi(argv[i]));
    }
  }
  if (counts.empty()) counts = {1000, 10000, 50000};

  std::printf("save of N small user files against bare zip -r on the originals, %d rounds in pairs\n",
              rounds);
  std::printf("%-8s %11s %11s %7s %7s %11s %11s %11s\n", "files", "program s", "bare zip s", "ratio", "min",
              "program MB", "its zip MB", "bare zip MB");
  for (int count : counts) {
    testsupport::TestMachine m;
    const bench::CleanupOnExit cleanup(m.root());  // removed on every way out
    m.setDrive('C', "Capacity", "4000000000");
    forms::setAppPath("C:\\Program Files\\Kelvaran");
    if (!m.exists(kProgram + "zip.exe")) m.write(kProgram + "zip.exe", "zip");
    m.mkdirs("C:\\SAVE\\");
    m.mkdirs("C:\\WINDOWS\\TEMP\\");
    const std::string data = "C:\\Bench\\";
    bench::writeUserList(m, kProgram, bench::generateSmallFiles(m, data, count));
    // (the bench's own list is not the program's memory)

    auto& dialogs = forms::ScriptedDialogs::install();
    auto& st = core::state();
    st.TempDir = "C:\\WINDOWS\\TEMP\\";
    st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
    for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
    for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
    save::Form1Box(3).setValue(1);  // System.ini: the system run has a file
    save::UserFilesBox(12).setValue(1);
    const auto driveC = m.host("C:\\");

    bench::Pairs pairs;
    long programPeak = 0, programZipPeak = 0, bareZipPeak = 0;
    for (int round = 0; round < rounds; ++round) {
      pairs.run(
          round,
          [&] {
            windows::UserFiles().List1.clear();
            settle();
            return bench::timedSave(dialogs, kProgram, "1", programPeak, programZipPeak);
          },
          [&] {
            settle();
            return bench::bareZip(driveC, "Bench", "1", bareZipPeak);
          });
    }
    const std::vector<double> ratios = pairs.ratios();
    std::printf("%-8d %11.2f %11.2f %7.2f %7.2f %11ld %11ld %11ld\n", count, bench::median(pairs.program),
                bench::median(pairs.bare), bench::median(ratios), bench::minimum(ratios), programPeak,
                programZipPeak, bareZipPeak);
    std::fflush(stdout);
  }
  return 0;
}
