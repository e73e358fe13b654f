#pragma once
// The two sides of the save benchmarks: the program's save of slot 1 and
// bare zip of the original files, each timed with the memory it took.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/state.h"
#include "forms/scripted_dialogs.h"
#include "measure.h"
#include "platform/process.h"
#include "save/save_engine.h"

namespace bench {

// The program's save into slot 1 of C:\SAVE\ at `level`: its seconds; the
// program's peak memory and that of its largest zip run raise `peak` and
// `zipPeak` (MB). A failed save ends the bench.
inline double timedSave(forms::ScriptedDialogs& dialogs, const std::string& programFolder,
                        const std::string& level, long& peak, long& zipPeak) {
  core::State& st = core::state();
  st.CompressionLevel = level;
  st.SaveFolder = "C:\\SAVE\\";
  st.CurrentConfig = 0;
  st.ConfigNames(1) = "Bench";
  st.IniPath = programFolder + "Config1.ini";
  st.ConfigIniPath = st.SaveFolder + "Config1.ini";
  dialogs.expect("Configuration saved successfull!");
  resetPeak();
  platform::resetHostProgramPeak();
  const auto start = std::chrono::steady_clock::now();
  save::SaveConfiguration();
  const double taken = seconds(start);
  if (!st.SaveSucceeded) {
    std::fprintf(stderr, "the save failed\n");
    std::exit(1);
  }
  peak = std::max(peak, peakMegabytes());
  zipPeak = std::max<long>(zipPeak, static_cast<long>(platform::hostProgramPeakKilobytes() / 1024));
  return taken;
}

// What a user would run instead: `zip -r -q -<level> bare.zip <folder>` in
// the host folder `where`; its seconds, its peak memory raising `peak` (MB).
// The archive is removed again; a failed zip ends the bench.
inline double bareZip(const std::filesystem::path& where, const std::string& folder, const std::string& level,
                      long& peak) {
  std::filesystem::remove(where / "bare.zip");
  const auto start = std::chrono::steady_clock::now();
  const platform::HostRun run =
      platform::runHostProgram("/usr/bin/zip", {"-r", "-q", "-" + level, "bare.zip", folder}, where);
  const double taken = seconds(start);
  std::filesystem::remove(where / "bare.zip");
  if (!run.started || run.exitCode != 0) {
    std::fprintf(stderr, "bare zip failed: %s\n", run.output.c_str());
    std::exit(1);
  }
  peak = std::max(peak, static_cast<long>(run.peakKilobytes / 1024));
  return taken;
}

}  // namespace bench
