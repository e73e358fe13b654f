#include "support/golden.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace testsupport {

namespace {

// Each line with its LF; the last one may have none.
std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    lines.push_back(text.substr(start, next - start));
    start = next;
  }
  return lines;
}

std::string visible(std::string_view line) {
  std::string out;
  for (const char c : line) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\\') {
      out += "\\\\";
    } else if (u < 0x20 || u >= 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string lineDiff(std::string_view expected, std::string_view actual) {
  const auto a = linesOf(expected);
  const auto b = linesOf(actual);
  // Longest common subsequence of lines; golden files are small.
  std::vector<std::vector<int>> common(a.size() + 1, std::vector<int>(b.size() + 1, 0));
  for (std::size_t i = a.size(); i-- > 0;)
    for (std::size_t j = b.size(); j-- > 0;)
      common[i][j] = a[i] == b[j] ? common[i + 1][j + 1] + 1 : std::max(common[i + 1][j], common[i][j + 1]);
  struct Row {
    char mark;
    std::string_view line;
  };
  std::vector<Row> rows;
  std::size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    if (i < a.size() && j < b.size() && a[i] == b[j]) {
      rows.push_back({' ', a[i++]});
      ++j;
    } else if (i < a.size() && (j == b.size() || common[i + 1][j] >= common[i][j + 1])) {
      rows.push_back({'-', a[i++]});
    } else {
      rows.push_back({'+', b[j++]});
    }
  }
  // Two lines of context around each change.
  constexpr std::size_t kContext = 2;
  std::vector<bool> shown(rows.size(), false);
  for (std::size_t k = 0; k < rows.size(); ++k) {
    if (rows[k].mark == ' ') continue;
    const std::size_t from = k >= kContext ? k - kContext : 0;
    for (std::size_t m = from; m < rows.size() && m <= k + kContext; ++m) shown[m] = true;
  }
  std::string out;
  bool gap = false;
  for (std::size_t k = 0; k < rows.size(); ++k) {
    if (!shown[k]) {
      gap = true;
      continue;
    }
    if (gap && !out.empty()) out += "  ...\n";
    gap = false;
    out += rows[k].mark;
    out += ' ';
    out += visible(rows[k].line);
    out += '\n';
  }
  return out;
}

::testing::AssertionResult matchesGolden(std::string_view actual, std::string_view goldenFile) {
  const std::filesystem::path path = std::filesystem::path(KELVARAN_SOURCE_DIR) / goldenFile;
  std::ifstream in(path, std::ios::binary);
  if (!in) return ::testing::AssertionFailure() << "golden file " << goldenFile << " cannot be read";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const std::string expected = bytes.str();
  if (expected == actual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << "differs from golden file " << goldenFile << " (- golden, + actual):\n"
         << lineDiff(expected, actual);
}

}  // namespace testsupport
