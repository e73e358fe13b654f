// The restore of a saved configuration against what a user would run
// instead: bare unzip of the same archives into an empty folder.
//
//   restore_bench [--big] [--rounds N] [case...]
//
// Cases: small-1k, small-10k, small-50k (that many user files of 1-4 KB,
// half text, half random bytes), large-200m and, with --big or by name,
// large-1g (1 MB user files, half text, half random, plus System.dat and
// User.dat of a tenth of the size each, so that the system and the user
// groups are both restored). Each case saves slot 1 with the program once;
// then, round by round, one after the other in alternating order:
//   program: LoadCINI, the restore dialog shown, All ticked on its tabs and
//            OK pressed, the whole restore (unpack, copy back, clean-up) run;
//   bare:    `unzip -q -o <archive> -d <empty folder>` of the same archives.
// One line per case:
//   <case>: program <s> bare <s> peak <MB> ratio <program/bare> (min: ...)
// with the medians first and the minima in brackets; the ratio is taken per
// pair. Peak is the program's resident high-water mark over its restores.
// The small cases also print the dialog's time from being shown to the
// start of the restore (open, All, OK). The program's pauses (a progress
// bar's steps, the reboot notice) cost nothing here, as in the tests; the
// restart a system restore asks for is refused, so the program goes on.
// Goals: small-10k ratio at most 1.5, small-50k no more than 6 times
// small-10k, large ones at most 1.10, small-50k peak under 64 MB, the
// dialog with 50k items within 0.5 s.
// Every file the bench makes is removed on every way out (see cleanup.h).
#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cleanup.h"
#include "core/pause.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/scripted_dialogs.h"
#include "measure.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/restart.h"
#include "restore/load_cini.h"
#include "restore/restorereq_dialog.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "support/test_machine.h"
#include "user_files.h"
#include "windows/form1.h"
#include "windows/restorereq.h"
#include "windows/userfiles.h"

namespace {

namespace fs = std::filesystem;
using bench::median;
using bench::minimum;
using bench::peakMegabytes;
using bench::resetPeak;
using bench::seconds;

const std::string kProgram = "C:\\Program Files\\Kelvaran\\";
const std::string kData = "C:\\Bench\\";

struct Case {
  std::string name;
  int count;  // small: files; large: megabytes
  bool large;
};

const Case kCases[] = {
    {"small-1k", 1000, false}, {"small-10k", 10000, false}, {"small-50k", 50000, false},
    {"large-200m", 200, true}, {"large-1g", 1024, true},
};

// Saves slot 1 of the machine: the user files, and for a large case the
// system files (Win.ini, System.ini, Control.ini, Protocol.ini, User.dat,
// System.dat, Autoexec.bat). False when the save failed.
bool saveSlot(testsupport::TestMachine& m, const Case& c, forms::ScriptedDialogs& dialogs) {
  std::vector<std::string> items;
  if (c.large) {
    items = bench::generateLargeFiles(m, kData, c.count);
    std::mt19937_64 random(5);
    for (const char* file : {"C:\\WINDOWS\\SYSTEM.DAT", "C:\\WINDOWS\\USER.DAT"})
      m.write(file, bench::largeFileBytes(random, (static_cast<std::size_t>(c.count) << 20) / 10, false));
  } else {
    items = bench::generateSmallFiles(m, kData, c.count);
  }
  bench::writeUserList(m, kProgram, items);
  items = {};

  auto& st = core::state();
  st.TempDir = "C:\\WINDOWS\\TEMP\\";
  st.SystemPath = "C:\\WINDOWS";
  st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
  st.useMachinePaths();
  windows::Form1().Label5.setCaption("Windows 98 SE");
  for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
  if (c.large) {
    for (int box : {2, 3, 4, 5, 6, 7, 8}) save::Form1Box(box).setValue(1);
  } else {
    save::Form1Box(3).setValue(1);  // System.ini: the system run has a file
  }
  save::UserFilesBox(12).setValue(0);
  windows::UserFiles().List1.clear();
  st.CompressionLevel = "1";
  st.SaveFolder = "C:\\SAVE\\";
  st.CurrentConfig = 0;
  st.ConfigNames(1) = "Bench";
  st.ConfigDescription = "Bench";
  st.IniPath = kProgram + "Config1.ini";
  st.ConfigIniPath = st.SaveFolder + "Config1.ini";
  dialogs.expect("Configuration saved successfull!");
  save::SaveConfiguration();
  dialogs.verify();
  return st.SaveSucceeded;
}

struct ProgramRound {
  double seconds = 0, dialog = 0;
  long peak = 0;
};

// LoadCINI, the dialog shown with All ticked and OK pressed, the restore.
ProgramRound restoreOnce(const Case& c, forms::ScriptedDialogs& dialogs) {
  auto& st = core::state();
  windows::RestoreReqWindow& r = windows::RestoreReq();
  ProgramRound round;
  if (c.large) dialogs.expect("Your system will be restarted").containing().answer(forms::vbYes);
  dialogs.expect("Files successfully restored");
  resetPeak();
  const auto start = std::chrono::steady_clock::now();
  st.CurrentConfig = 0;
  st.RestoreState = 0;
  st.SaveFolder = "C:\\SAVE\\";
  restore::LoadCINI();
  if (st.RestoreState != 0) return round;
  std::chrono::steady_clock::time_point shown;
  QTimer::singleShot(0, [&] {
    if (c.large) r.Command5.click();  // All of the system files
    r.Command3.click();               // All of the user files
    forms::doEvents();
    round.dialog = seconds(shown);
    r.Command1.click();
  });
  shown = std::chrono::steady_clock::now();
  r.show(forms::Modal);
  round.seconds = seconds(start);
  round.peak = peakMegabytes();
  dialogs.verify();
  return round;
}

// The bare tool: every archive the restore unpacked, into an empty folder.
double bareOnce(const std::vector<fs::path>& archives, const fs::path& folder) {
  std::error_code ec;
  fs::remove_all(folder, ec);
  fs::create_directories(folder);
  const auto start = std::chrono::steady_clock::now();
  for (const fs::path& archive : archives) {
    const platform::HostRun run =
        platform::runHostProgram("/usr/bin/unzip", {"-q", "-o", archive.string(), "-d", folder.string()});
    if (!run.started || run.exitCode != 0) {
      std::fprintf(stderr, "bare unzip failed: %s\n", run.output.c_str());
      std::exit(1);
    }
  }
  const double taken = seconds(start);
  fs::remove_all(folder, ec);
  return taken;
}

bool runCase(const Case& c, int rounds) {
  testsupport::TestMachine m;
  const bench::CleanupOnExit cleanup(m.root());
  const std::int64_t room =
      c.large ? std::int64_t(c.count + 256) * 6 << 20 : std::int64_t(c.count) * 64 << 10;
  m.setDrive('C', "Capacity", std::to_string(std::max<std::int64_t>(room, 4000000000)));
  forms::setAppPath("C:\\Program Files\\Kelvaran");
  if (!m.exists(kProgram + "zip.exe")) m.write(kProgram + "zip.exe", "zip");
  if (!m.exists(kProgram + "Unzip32.exe")) m.write(kProgram + "Unzip32.exe", "unzip");
  m.mkdirs("C:\\SAVE\\");
  m.mkdirs("C:\\WINDOWS\\TEMP\\");
  auto& dialogs = forms::ScriptedDialogs::install();
  if (!saveSlot(m, c, dialogs)) {
    std::fprintf(stderr, "%s: the save failed\n", c.name.c_str());
    return false;
  }
  std::vector<fs::path> archives{m.host("C:\\SAVE\\Conf1us.kvz")};
  if (c.large) archives.insert(archives.begin(), m.host("C:\\SAVE\\Conf1.kvz"));
  const fs::path bareFolder = m.root() / "bare";

  bench::Pairs pairs;
  std::vector<double> dialog;
  long peak = 0;
  for (int round = 0; round < rounds; ++round) {
    pairs.run(
        round,
        [&] {
          const ProgramRound program = restoreOnce(c, dialogs);
          if (program.seconds <= 0 || !core::state().RestoreDone) {
            std::fprintf(stderr, "%s: the restore failed\n", c.name.c_str());
            std::exit(1);
          }
          dialog.push_back(program.dialog);
          peak = std::max(peak, program.peak);
          return program.seconds;
        },
        [&] { return bareOnce(archives, bareFolder); });
  }
  const std::vector<double> ratios = pairs.ratios();
  std::printf(
      "%s: program %.3f bare %.3f peak %ld ratio %.3f (min: program %.3f bare %.3f ratio %.3f; %d rounds)\n",
      c.name.c_str(), median(pairs.program), median(pairs.bare), peak, median(ratios), minimum(pairs.program),
      minimum(pairs.bare), minimum(ratios), rounds);
  if (!c.large)
    std::printf("%s: dialog open, All and OK %.3f s (min %.3f) with %d items\n", c.name.c_str(),
                median(dialog), minimum(dialog), c.count);
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bool big = false;
  int rounds = 5;
  std::vector<std::string> wanted;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--big")) {
      big = true;
    } else if (!std::strcmp(argv[i], "--rounds") && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      wanted.emplace_back(argv[i]);
    }
  }
  restore::bindRestoreReq();
  core::setPause([](int) {});
  platform::setRestartRefused(true);

  std::printf(
      "restore of slot 1 (LoadCINI, dialog, All, OK, restore) against bare unzip -q -o of its archives\n");
  std::fflush(stdout);
  for (const Case& c : kCases) {
    const bool named = std::find(wanted.begin(), wanted.end(), c.name) != wanted.end();
    if (wanted.empty() ? (c.name == "large-1g" && !big) : !named) continue;
    if (!runCase(c, rounds)) return 1;
  }
  return 0;
}
