// Remove Duplicates on a list of 100,000 user files (a third of them repeats,
// in random order): the thinning alone, and the whole button click that empties
// the dialog's list and fills it again. Goal: under 100 ms for the thinning.
//
//   dupes_bench [entries [rounds]]     (default 100000 entries, 5 rounds)
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "forms/app.h"
#include "userfiles/remove_dupes.h"
#include "userfiles/userfiles_dialog.h"
#include "windows/userfiles.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<std::string> generateEntries(int count) {
  std::mt19937 random(7);
  const int distinct = count * 2 / 3;
  std::vector<std::string> entries;
  entries.reserve(count);
  for (int i = 0; i < count; ++i) {
    const int id = i < distinct ? i : static_cast<int>(random() % distinct);
    entries.push_back("c:\\my documents\\folder" + std::to_string(id % 97) + "\\letter" + std::to_string(id) +
                      ".doc");
  }
  std::shuffle(entries.begin(), entries.end(), random);
  return entries;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::vector<std::string> entries = generateEntries(count);

  std::vector<double> thinning, button;
  std::size_t kept = 0;
  forms::initRuntime();
  userfiles::bindUserFiles();
  auto& list = windows::UserFiles().List1;
  for (int round = 0; round < rounds; ++round) {
    std::vector<std::string> items = entries;
    items.emplace_back();
    const auto start = Clock::now();
    userfiles::RemoveDupes(items);
    thinning.push_back(millisecondsSince(start));
    kept = static_cast<std::size_t>(
        std::count_if(items.begin(), items.end(), [](const std::string& s) { return !s.empty(); }));

    list.clear();
    for (const std::string& entry : entries) list.addItem(entry);
    const auto click = Clock::now();
    windows::UserFiles().Command6.click();
    button.push_back(millisecondsSince(click));
  }
  const double thin = median(thinning);
  std::printf("entries %d, kept %zu (list after the click: %d)\n", count, kept, list.listCount());
  std::printf("RemoveDupes alone:       %8.1f ms (median of %d)  goal < 100 ms: %s\n", thin, rounds,
              thin < 100 ? "met" : "NOT met");
  std::printf("Remove Duplicates click: %8.1f ms (median of %d, list emptied and refilled)\n", median(button),
              rounds);
  return thin < 100 ? 0 : 1;
}
