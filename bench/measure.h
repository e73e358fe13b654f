#pragma once
// What the benchmarks measure: wall time, minima and medians of rounds,
// program and bare tool in pairs, and this process's peak memory over a
// stretch of work.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Single runs vary by a tenth and more on a shared machine.
inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

inline double minimum(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// The program and the bare tool timed round by round, one right after the
// other (their order alternating), so that both meet the same load of the
// machine: the ratio is taken per pair.
struct Pairs {
  std::vector<double> program, bare;
  void add(double programSeconds, double bareSeconds) {
    program.push_back(programSeconds);
    bare.push_back(bareSeconds);
  }
  // One round of both, the bare tool first in odd rounds.
  template <typename Program, typename Bare>
  void run(int round, Program&& program, Bare&& bare) {
    if (round % 2) {
      const double b = bare();
      add(program(), b);
    } else {
      const double p = program();
      add(p, bare());
    }
  }
  std::vector<double> ratios() const {
    std::vector<double> r;
    for (std::size_t i = 0; i < program.size() && i < bare.size(); ++i)
      r.push_back(bare[i] > 0 ? program[i] / bare[i] : 0);
    return r;
  }
};

// This process's resident high-water mark, which resetPeak() starts again.
inline long peakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
  return 0;
}

inline void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace bench
