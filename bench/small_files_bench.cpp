// A save of many small user files (1-4 KB, half text, half random bytes)
// against bare zip on the same original files, as a user would pack them.
//
//   small_files_bench [count...]     (default 1000 10000 50000)
//
// For each count: the program's save (staging, User.ini, archive runs,
// description, commit) and `zip -r -q -1` straight on the original folder;
// their times, the ratio (goal at 10k files: at most 1.5) and the peak
// memory of the program during its save (goal at 50k files: under 64 MB),
// of the largest zip run of the save and of the bare zip, each zip
// measured on its own process.
#include <unistd.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
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
#include "support/test_machine.h"
#include "windows/userfiles.h"

namespace {

using bench::peakMegabytes;
using bench::resetPeak;
using bench::seconds;

const std::string kProgram = "C:\\Program Files\\Kelvaran\\";

// Half the files text, half random bytes, 1 to 4 KB, 100 to a folder.
std::vector<std::string> generate(testsupport::TestMachine& m, const std::string& data, int count) {
  std::mt19937 random(7);
  const char* words[] = {"config ", "system ", "[boot] ", "shell=Explorer.exe ", "device=", "\r\n"};
  std::vector<std::string> items;
  items.reserve(count);
  for (int i = 0; i < count; ++i) {
    const std::size_t size = 1024 + random() % 3072;
    std::string bytes;
    bytes.reserve(size + 32);
    if (i % 2) {
      while (bytes.size() < size) bytes.push_back(static_cast<char>(random()));
    } else {
      while (bytes.size() < size) bytes += words[random() % std::size(words)];
    }
    bytes.resize(size);
    const std::string folder = data + "Folder " + std::to_string(i / 100) + "\\";
    if (i % 100 == 0) m.mkdirs(folder);
    const std::string path = folder + "Cookie of user " + std::to_string(i) + ".txt";
    platform::writeFile(path, bytes);
    items.push_back(path);
  }
  return items;
}

void writeUserList(testsupport::TestMachine& m, const std::vector<std::string>& items) {
  std::string text = " " + std::to_string(items.size()) + "\r\n";
  for (const std::string& item : items) text += item + "\r\n";
  m.write(kProgram + "kelvaran.usr", text + "\r\n");
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  std::vector<int> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atoi(argv[i]));
  if (counts.empty()) counts = {1000, 10000, 50000};

  std::printf("save of N small user files against bare zip -r on the originals\n");
  std::printf("%-8s %11s %11s %7s %11s %11s %11s\n", "files", "program s", "bare zip s", "ratio",
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
    {
      const std::vector<std::string> items = generate(m, data, count);
      writeUserList(m, items);
    }  // the bench's own list is not the program's memory

    auto& dialogs = forms::ScriptedDialogs::install();
    auto& st = core::state();
    st.TempDir = "C:\\WINDOWS\\TEMP\\";
    st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
    for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
    for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
    save::Form1Box(3).setValue(1);  // System.ini: the system run has a file
    save::UserFilesBox(12).setValue(1);
    windows::UserFiles().List1.clear();
    st.CompressionLevel = "1";
    st.SaveFolder = "C:\\SAVE\\";
    st.CurrentConfig = 0;
    st.ConfigNames(1) = "Bench";
    st.IniPath = kProgram + "Config1.ini";
    st.ConfigIniPath = st.SaveFolder + "Config1.ini";
    dialogs.expect("Configuration saved successfull!");
    // The host file system (ext4 without a journal) skips inodes freed in the
    // last seconds when it makes a file, a scan that grows with every file
    // just deleted (the bench's earlier rounds): the save starts once those
    // seconds are over, as a user's save would.
    ::sync();
    if (!std::getenv("BENCH_NO_PAUSE")) std::this_thread::sleep_for(std::chrono::seconds(11));
    resetPeak();
    platform::resetHostProgramPeak();
    const auto programStart = std::chrono::steady_clock::now();
    save::SaveConfiguration();
    const double program = seconds(programStart);
    if (!st.SaveSucceeded) {
      std::fprintf(stderr, "the save of %d files failed\n", count);
      return 1;
    }
    const long programPeak = peakMegabytes();
    const long programZipPeak = platform::hostProgramPeakKilobytes() / 1024;

    // What a user would run instead: zip on the original files.
    const auto driveC = m.host("C:\\");
    const auto bareStart = std::chrono::steady_clock::now();
    const platform::HostRun bare =
        platform::runHostProgram("/usr/bin/zip", {"-r", "-q", "-1", "bare.zip", "Bench"}, driveC);
    const double floor = seconds(bareStart);
    if (!bare.started || bare.exitCode != 0) {
      std::fprintf(stderr, "bare zip failed: %s\n", bare.output.c_str());
      return 1;
    }
    std::printf("%-8d %11.2f %11.2f %7.2f %11ld %11ld %11ld\n", count, program, floor, program / floor,
                programPeak, programZipPeak, static_cast<long>(bare.peakKilobytes / 1024));
    std::fflush(stdout);
  }
  return 0;
}
