#include "forms/qt_text.h"

#include <array>

namespace forms {
namespace {

// 0x80..0x9F; 0 marks the five unassigned positions (kept as the C1 control).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

QString toQt(std::string_view windows1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(windows1252.size()));
  for (char c : windows1252) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) {
      out.append(QChar(kHigh[byte - 0x80]));
    } else {
      out.append(QChar(static_cast<char16_t>(byte)));
    }
  }
  return out;
}

std::string fromQt(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar qc : text) {
    char16_t u = qc.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    char mapped = '?';
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
      if (kHigh[i] == u || (kHigh[i] == 0 && u == 0x80 + i)) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

}  // namespace forms
