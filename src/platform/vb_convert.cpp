#include "platform/vb_convert.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/error.h"
#include "platform/text_trim.h"
#include "platform/vb.h"

namespace platform::vb {
namespace {

// "&H..." or "&O..." at the start of `s`; `length` gets the characters used.
std::optional<double> radixNumber(std::string_view s, std::size_t& length) {
  if (s.size() < 2 || s[0] != '&') return std::nullopt;
  const char kind = upperChar(s[1]);
  const int base = kind == 'H' ? 16 : kind == 'O' ? 8 : 0;
  if (base == 0) return std::nullopt;
  std::uint64_t value = 0;
  std::size_t i = 2, digits = 0;
  for (; i < s.size(); ++i) {
    const char c = upperChar(s[i]);
    const int d = (c >= '0' && c <= '9') ? c - '0' : (base == 16 && c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
    if (d < 0 || d >= base) break;
    value = value * base + static_cast<unsigned>(d);
    if (value > 0xFFFFFFFFull) raise(kOverflow);
    ++digits;
  }
  length = i;
  if (digits == 0) return 0.0;
  // Up to 16 bits the pattern is an Integer, up to 32 bits a Long.
  if (value <= 0xFFFF && (base == 16 ? digits <= 4 : digits <= 6)) return static_cast<std::int16_t>(value);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// A decimal number at the start of `s` in the runtime's form (sign, digits,
// one point, exponent with E or D); `length` gets the characters used.
std::optional<double> decimalNumber(std::string_view s, std::size_t& length) {
  std::string clean;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) clean += s[i++];
  bool digits = false, point = false;
  for (; i < s.size(); ++i) {
    if (s[i] >= '0' && s[i] <= '9') {
      digits = true;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
    clean += s[i];
  }
  if (!digits) return std::nullopt;
  length = i;
  if (i < s.size() && (upperChar(s[i]) == 'E' || upperChar(s[i]) == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "E";
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) exponent += s[j++];
    const auto start = j;
    while (j < s.size() && s[j] >= '0' && s[j] <= '9') exponent += s[j++];
    if (j > start) {
      clean += exponent;
      length = j;
    }
  }
  if (clean.front() == '+') clean.erase(0, 1);
  double value = 0;
  const auto [end, error] = std::from_chars(clean.data(), clean.data() + clean.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (clean.find('E') != std::string::npos && clean[clean.find('E') + 1] == '-') return 0.0;
    raise(kOverflow);
  }
  return value;
}

std::optional<double> wholeNumber(std::string_view text) {
  const auto s = trimWhite(text);
  std::size_t length = 0;
  auto value = radixNumber(s, length);
  if (!value) value = decimalNumber(s, length);
  if (!value || length != s.size()) return std::nullopt;
  return value;
}

double numberOrMismatch(std::string_view text) {
  const auto value = wholeNumber(text);
  if (!value) raise(kTypeMismatch);
  return *value;
}

double rounded(double number, double low, double high) {
  const double r = std::nearbyint(number);
  if (std::isnan(r) || r < low || r > high) raise(kOverflow);
  return r;
}

}  // namespace

std::string cStr(double number) {
  if (number == 0) return "0";
  char buffer[40];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 15).ptr;
  std::string text = uCase(std::string_view(buffer, end - buffer));
  if (text.starts_with("0.")) text.erase(0, 1);
  if (text.starts_with("-0.")) text.erase(1, 1);
  return text;
}

std::string str(double number) { return number < 0 ? cStr(number) : " " + cStr(number); }

std::string cStr(bool value) { return value ? "True" : "False"; }

double val(std::string_view text) {
  std::string packed;
  for (const char c : text)
    if (c != ' ' && c != '\t' && c != '\n') packed += c;
  std::size_t length = 0;
  if (auto value = radixNumber(packed, length)) return *value;
  return decimalNumber(packed, length).value_or(0.0);
}

std::int16_t cInt(double number) { return static_cast<std::int16_t>(rounded(number, -32768.0, 32767.0)); }
std::int16_t cInt(std::string_view text) { return cInt(numberOrMismatch(text)); }

std::int32_t cLng(double number) {
  return static_cast<std::int32_t>(rounded(number, -2147483648.0, 2147483647.0));
}
std::int32_t cLng(std::string_view text) { return cLng(numberOrMismatch(text)); }

bool cBool(double number) { return number != 0; }

bool cBool(std::string_view text) {
  const auto s = trimWhite(text);
  if (equalsNoCase(s, "True")) return true;
  if (equalsNoCase(s, "False")) return false;
  return cBool(numberOrMismatch(s));
}

std::string hex(std::int64_t number) {
  if (number < -2147483648LL || number > 0xFFFFFFFFLL) raise(kOverflow);
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(number)));
  return buffer;
}

bool isNumeric(std::string_view text) {
  try {
    return wholeNumber(text).has_value();
  } catch (const RuntimeError&) {
    return true;  // a number too large for a Double is still a number
  }
}

}  // namespace platform::vb
