#pragma once
// What the benchmarks measure: wall time, medians of rounds, and this
// process's peak memory over a stretch of work.
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

// This process's resident high-water mark, which resetPeak() starts again.
inline long peakMegabytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) / 1024;
  return 0;
}

inline void resetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace bench
