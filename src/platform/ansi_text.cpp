#include "platform/ansi_text.h"

#include <array>

namespace platform {

namespace {

// 0x80..0x9F; 0 marks the five unassigned positions (kept as the C1 control).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The next character of UTF-8 text at `at` (advanced past it); nothing when
// the bytes there are not a shortest-form sequence.
std::optional<char32_t> nextUtf8(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  int length = 0;
  char32_t c = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (at + length > text.size()) return std::nullopt;
  for (int k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[at + k]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    c = (c << 6) | (next & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
  at += length;
  return c;
}

}  // namespace

char32_t unicodeOfAnsi(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kHigh[byte - 0x80] != 0) return kHigh[byte - 0x80];
  return byte;
}

int ansiOfUnicode(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<int>(character);
  for (std::size_t i = 0; i < kHigh.size(); ++i) {
    if (kHigh[i] == character || (kHigh[i] == 0 && character == 0x80 + i)) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string utf8FromAnsi(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 4);
  for (char c : ansi) appendUtf8(out, unicodeOfAnsi(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::string> ansiFromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const std::optional<char32_t> c = nextUtf8(utf8, at);
    if (!c) return std::nullopt;
    const int byte = ansiOfUnicode(*c);
    if (byte < 0) return std::nullopt;
    out += static_cast<char>(byte);
  }
  return out;
}

bool hasHighBytes(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

}  // namespace platform
