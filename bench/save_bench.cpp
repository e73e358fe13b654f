// A save of the demo machine with many megabytes of user files, at
// compression levels 1 and 9, against what a user would run instead: bare
// zip on the original files.
//
//   save_bench [megabytes [rounds]]     (default 200 MB, 3 rounds)
//
// The user files are 1 MB each, half of them text, half random bytes. For
// each level and round: the program's save (staging, archive runs,
// description, commit), the save's own zip command lines run straight on
// the originals ("direct"), and `zip -r -q -<level>` on the original folder
// ("bare zip", the floor), the program and bare zip one right after the
// other in alternating order. Printed: the medians, the median and the least
// of the ratios of each pair of the program and the floor (goal: at most
// 1.10), the program's peak memory during its
// saves and the peak of the largest zip run of the save and of the bare zip,
// each zip measured on its own process. Every file the bench makes is
// removed on every way out (see cleanup.h); check the free space first:
// a 1 GB run needs about 3.5 GB.
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
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
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace {

using bench::median;
using bench::peakMegabytes;
using bench::resetPeak;
using bench::seconds;

const std::string kProgram = "C:\\Program Files\\Kelvaran\\";
const std::string kData = "C:\\Bench\\";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// The save's command lines, aimed at another folder and at the original user files.
std::vector<std::string> directRuns(const std::vector<platform::ProcessRun>& runs) {
  std::vector<std::string> lines;
  for (const platform::ProcessRun& run : runs) {
    std::string line = replaceAll(run.commandLine, "C:\\SAVE\\Conf1.new\\", "C:\\DIRECT\\");
    if (line.find("kelvaran\\User\\*.*") != std::string::npos) {
      line = replaceAll(line, "\"C:\\WINDOWS\\TEMP\\kelvaran\\User\\*.*\"", kData + "*.*");
      line = replaceAll(line, "umS ", "uS ");  // the originals are not moved
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 200;
  const int rounds = std::max(1, argc > 2 ? std::atoi(argv[2]) : 3);

  testsupport::TestMachine m;
  const bench::CleanupOnExit cleanup(m.root());
  // Room for the originals, the staged copies, the archives and the bare zip's.
  m.setDrive('C', "Capacity", std::to_string(std::int64_t(megabytes + 512) * 4 << 20));
  forms::setAppPath("C:\\Program Files\\Kelvaran");
  if (!m.exists(kProgram + "zip.exe")) m.write(kProgram + "zip.exe", "zip");
  m.mkdirs("C:\\SAVE\\");
  m.mkdirs("C:\\WINDOWS\\TEMP\\");
  bench::writeUserList(m, kProgram, bench::generateLargeFiles(m, kData, megabytes));

  auto& dialogs = forms::ScriptedDialogs::install();
  auto& st = core::state();
  st.TempDir = "C:\\WINDOWS\\TEMP\\";
  st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
  for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
  for (int box : {1, 2, 3, 8, 9}) save::Form1Box(box).setValue(1);
  save::UserFilesBox(12).setValue(1);
  const auto driveC = m.host("C:\\");

  std::printf(
      "save of the demo machine with %d MB of user files (half text, half random), %d rounds of the program "
      "and bare zip in pairs\n",
      megabytes, rounds);
  std::printf("%-6s %10s %10s %10s %7s %7s %11s %11s %11s\n", "level", "program s", "direct s", "bare zip s",
              "ratio", "min", "program MB", "its zip MB", "bare zip MB");
  for (const char* level : {"1", "9"}) {
    bench::Pairs pairs;
    std::vector<double> direct;
    long programPeak = 0, programZipPeak = 0, bareZipPeak = 0;
    for (int round = 0; round < rounds; ++round) {
      // The program and bare zip one right after the other, their order
      // alternating, so that neither always meets the other's fresh writes.
      pairs.run(
          round,
          [&] {
            platform::clearProcessRuns();
            return bench::timedSave(dialogs, kProgram, level, programPeak, programZipPeak);
          },
          [&] { return bench::bareZip(driveC, "Bench", level, bareZipPeak); });

      const std::vector<std::string> lines = directRuns(platform::processRuns());
      m.remove("C:\\DIRECT");
      m.mkdirs("C:\\DIRECT\\");
      platform::chDir(kProgram.substr(0, kProgram.size() - 1));
      const auto directStart = std::chrono::steady_clock::now();
      for (const std::string& line : lines) {
        const int code = platform::runAndWait(line);
        if (code != 0 && code != 12) std::fprintf(stderr, "exit %d: %s\n", code, line.c_str());
      }
      direct.push_back(seconds(directStart));
      m.remove("C:\\DIRECT");
    }
    const std::vector<double> ratios = pairs.ratios();
    std::printf("%-6s %10.2f %10.2f %10.2f %7.3f %7.3f %11ld %11ld %11ld\n", level, median(pairs.program),
                median(direct), median(pairs.bare), median(ratios), bench::minimum(ratios), programPeak,
                programZipPeak, bareZipPeak);
    std::fflush(stdout);
  }
  return 0;
}
