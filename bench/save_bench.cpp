// A save of the demo machine with about 200 MB of user files, at compression
// levels 1 and 9, against the same zip runs issued directly on the same files.
//
//   save_bench [megabytes [rounds]]     (default 200 MB, 3 rounds)
//
// For each level and round: the program's save (staging, archive runs,
// description, commit) and then the same zip.exe command lines run straight
// on the original files into another folder; the median times of both
// sides, their ratio (goal: at most 1.10) and the program's peak memory.
#include <sys/resource.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "core/state.h"
#include "forms/app.h"
#include "forms/scripted_dialogs.h"
#include "platform/files.h"
#include "platform/process.h"
#include "save/boxes.h"
#include "save/save_engine.h"
#include "support/test_machine.h"
#include "windows/form1.h"
#include "windows/userfiles.h"

namespace {

const std::string kProgram = "C:\\Program Files\\Kelvaran\\";
const std::string kData = "C:\\Bench\\";

// Files of mixed content: words (compressible) and noise (not).
std::vector<std::string> generateUserFiles(testsupport::TestMachine& m, int megabytes) {
  std::mt19937 random(42);
  const char* words[] = {"config ", "system ", "[boot] ", "shell=Explorer.exe ",
                         "device=", "\r\n",    "0x0040 "};
  std::vector<std::string> items;
  const int files = megabytes;  // 1 MB each
  for (int i = 0; i < files; ++i) {
    std::string bytes;
    bytes.reserve(1 << 20);
    while (bytes.size() < (1u << 20)) {
      if (random() % 4 == 0) {
        for (int k = 0; k < 256; ++k) bytes.push_back(static_cast<char>(random()));
      } else {
        bytes += words[random() % std::size(words)];
      }
    }
    bytes.resize(1 << 20);
    const std::string path =
        kData + "Folder" + std::to_string(i % 10) + "\\File" + std::to_string(i) + ".dat";
    m.write(path, bytes);
    items.push_back(path);
  }
  return items;
}

void writeUserList(testsupport::TestMachine& m, const std::vector<std::string>& items) {
  std::string text = " " + std::to_string(items.size()) + "\r\n";
  for (const std::string& item : items) text += item + "\r\n";
  m.write(kProgram + "kelvaran.usr", text + "\r\n");
}

double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Single runs of zip vary by a tenth and more on a shared machine.
double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

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
  m.setDrive('C', "Capacity", "4000000000");
  forms::setAppPath("C:\\Program Files\\Kelvaran");
  if (!m.exists(kProgram + "zip.exe")) m.write(kProgram + "zip.exe", "zip");
  m.mkdirs("C:\\SAVE\\");
  m.mkdirs("C:\\WINDOWS\\TEMP\\");
  const std::vector<std::string> items = generateUserFiles(m, megabytes);
  writeUserList(m, items);

  auto& dialogs = forms::ScriptedDialogs::install();
  auto& st = core::state();
  st.TempDir = "C:\\WINDOWS\\TEMP\\";
  st.setMachinePaths({"C:\\WINDOWS", "C:\\WINDOWS\\Start Menu\\", "C:\\WINDOWS\\Favorites\\", ""});
  for (int box = 1; box <= 17; ++box) save::Form1Box(box).setValue(0);
  for (int box : {1, 2, 3, 4, 5, 6, 11, 12}) save::UserFilesBox(box).setValue(0);
  for (int box : {1, 2, 3, 8, 9}) save::Form1Box(box).setValue(1);
  save::UserFilesBox(12).setValue(1);

  std::printf("save of the demo machine with %d MB of user files, median of %d rounds\n", megabytes, rounds);
  std::printf("%-6s %12s %12s %8s\n", "level", "program s", "direct s", "ratio");
  for (const char* level : {"1", "9"}) {
    std::vector<double> program, direct;
    for (int round = 0; round < rounds; ++round) {
      st.CompressionLevel = level;
      st.SaveFolder = "C:\\SAVE\\";
      st.CurrentConfig = 0;
      st.ConfigNames(1) = "Bench";
      st.IniPath = kProgram + "Config1.ini";
      st.ConfigIniPath = st.SaveFolder + "Config1.ini";
      platform::clearProcessRuns();
      dialogs.expect("Configuration saved successfull!");
      const auto programStart = std::chrono::steady_clock::now();
      save::SaveConfiguration();
      program.push_back(seconds(programStart));
      if (!st.SaveSucceeded) {
        std::fprintf(stderr, "the save failed\n");
        return 1;
      }

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
    }
    const double p = median(program), d = median(direct);
    std::printf("%-6s %12.2f %12.2f %8.3f\n", level, p, d, p / d);
  }

  // Where the difference goes: copying the user files once through the machine layer.
  const auto copyStart = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i == 0) m.mkdirs("C:\\COPY\\");
    platform::fileCopy(items[i], "C:\\COPY\\File" + std::to_string(i) + ".dat");
  }
  std::printf("copying the user files once: %.2f s\n", seconds(copyStart));
  const auto deleteStart = std::chrono::steady_clock::now();
  for (std::size_t i = 0; i < items.size(); ++i)
    platform::kill("C:\\COPY\\File" + std::to_string(i) + ".dat");
  std::printf("deleting those copies: %.2f s\n", seconds(deleteStart));

  rusage self{}, children{};
  getrusage(RUSAGE_SELF, &self);
  getrusage(RUSAGE_CHILDREN, &children);
  std::printf("peak memory: program %ld MB, largest zip run %ld MB\n", self.ru_maxrss / 1024,
              children.ru_maxrss / 1024);
  return 0;
}
