#include "platform/vb_datetime.h"

#include <cctype>
#include <charconv>
#include <ctime>
#include <optional>
#include <vector>

#include "platform/error.h"
#include "platform/vb.h"

namespace platform::vb {
namespace {

Clock& clockSlot() {
  static Clock clock;
  return clock;
}

DateTime hostNow() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec};
}

constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

// Days since 1 Jan 1970 of a civil date (proleptic Gregorian).
long daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

int dayOfYear(const DateTime& v) {
  return static_cast<int>(daysFromCivil(v.year, v.month, v.day) - daysFromCivil(v.year, 1, 1)) + 1;
}

std::string twoDigits(int n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

bool isZeroDate(const DateTime& v) { return v.year == 1899 && v.month == 12 && v.day == 30; }
bool isZeroTime(const DateTime& v) { return v.hour == 0 && v.minute == 0 && v.second == 0; }

struct Token {
  char letter = 0;  // d m y h n s, 'A' for AM/PM, 'a' for A/P, 0 for literal text
  int count = 0;
  std::string text;  // literal text, or the AM/PM spelling
};

std::vector<Token> tokenize(std::string_view p) {
  std::vector<Token> tokens;
  auto literal = [&](std::string_view text) {
    if (tokens.empty() || tokens.back().letter != 0) tokens.push_back({});
    tokens.back().text += text;
  };
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (c == '"') {
      const auto close = p.find('"', i + 1);
      literal(p.substr(i + 1, (close == std::string_view::npos ? p.size() : close) - i - 1));
      i = close == std::string_view::npos ? p.size() : close + 1;
    } else if (c == '\\' && i + 1 < p.size()) {
      literal(p.substr(i + 1, 1));
      i += 2;
    } else if (equalsNoCase(p.substr(i, 5), "AM/PM")) {
      tokens.push_back({'A', 1, std::string(p.substr(i, 5))});
      i += 5;
    } else if (equalsNoCase(p.substr(i, 3), "A/P")) {
      tokens.push_back({'a', 1, std::string(p.substr(i, 3))});
      i += 3;
    } else if (std::string_view("dmyhns").find(lower) != std::string_view::npos) {
      std::size_t j = i;
      while (j < p.size() && std::tolower(static_cast<unsigned char>(p[j])) == lower) ++j;
      tokens.push_back({lower, static_cast<int>(j - i), {}});
      i = j;
    } else {
      literal(p.substr(i, 1));
      ++i;
    }
  }
  // "m" right after an hour or right before a second means minutes.
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].letter != 'm' || tokens[i].count > 2) continue;
    int before = -1, after = -1;
    for (int k = static_cast<int>(i) - 1; k >= 0; --k)
      if (tokens[k].letter != 0) {
        before = k;
        break;
      }
    for (auto k = i + 1; k < tokens.size(); ++k)
      if (tokens[k].letter != 0) {
        after = static_cast<int>(k);
        break;
      }
    if ((before >= 0 && tokens[before].letter == 'h') || (after >= 0 && tokens[after].letter == 's'))
      tokens[i].letter = 'n';
  }
  return tokens;
}

std::string namedFormat(const DateTime& v, std::string_view pattern, bool& named) {
  named = true;
  if (equalsNoCase(pattern, "Short Date")) return format(v, "dd/mm/yyyy");
  if (equalsNoCase(pattern, "Long Time")) return format(v, "hh:nn:ss");
  if (equalsNoCase(pattern, "Short Time")) return format(v, "hh:nn");
  if (equalsNoCase(pattern, "General Date")) return cStr(v);
  named = false;
  return {};
}

std::optional<int> number(std::string_view s) {
  int value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || error != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

std::vector<std::string_view> splitAt(std::string_view s, char separator) {
  std::vector<std::string_view> parts;
  std::size_t pos = 0;
  while (true) {
    const auto at = s.find(separator, pos);
    parts.push_back(s.substr(pos, at == std::string_view::npos ? std::string_view::npos : at - pos));
    if (at == std::string_view::npos) return parts;
    pos = at + 1;
  }
}

bool readTime(std::string_view s, DateTime& v) {
  const auto parts = splitAt(s, ':');
  if (parts.size() < 2 || parts.size() > 3) return false;
  const auto h = number(parts[0]), n = number(parts[1]);
  const auto sec = parts.size() == 3 ? number(parts[2]) : std::optional<int>(0);
  if (!h || !n || !sec || *h < 0 || *h > 23 || *n < 0 || *n > 59 || *sec < 0 || *sec > 59) return false;
  v.hour = *h;
  v.minute = *n;
  v.second = *sec;
  return true;
}

bool readDate(std::string_view s, DateTime& v) {
  const auto separator = s.find_first_of("./-");
  if (separator == std::string_view::npos) return false;
  const auto parts = splitAt(s, s[separator]);
  if (parts.size() != 3) return false;
  const bool yearFirst = parts[0].size() == 4;
  const auto y = number(yearFirst ? parts[0] : parts[2]);
  const auto m = number(parts[1]);
  const auto d = number(yearFirst ? parts[2] : parts[0]);
  if (!y || !m || !d) return false;
  int year = *y;
  if ((yearFirst ? parts[0] : parts[2]).size() <= 2) year += year < 30 ? 2000 : 1900;
  if (!isValidDate(year, *m, *d)) return false;
  v.year = year;
  v.month = *m;
  v.day = *d;
  return true;
}

}  // namespace

void setClock(Clock clock) { clockSlot() = std::move(clock); }

DateTime now() { return clockSlot() ? clockSlot()() : hostNow(); }

DateTime date() {
  auto v = now();
  v.hour = v.minute = v.second = 0;
  return v;
}

DateTime time() {
  auto v = now();
  v.year = 1899;
  v.month = 12;
  v.day = 30;
  return v;
}

int weekday(const DateTime& v) {
  const long days = daysFromCivil(v.year, v.month, v.day);  // 1 Jan 1970 was a Thursday
  return static_cast<int>(((days % 7) + 7 + 4) % 7) + 1;
}

bool isValidDate(int year, int month, int day) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kLengths[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::string format(const DateTime& v, std::string_view pattern) {
  bool named = false;
  auto text = namedFormat(v, pattern, named);
  if (named) return text;
  const auto tokens = tokenize(pattern);
  bool twelveHour = false;
  for (const auto& t : tokens) twelveHour = twelveHour || t.letter == 'A' || t.letter == 'a';
  const int hour = twelveHour ? (v.hour % 12 == 0 ? 12 : v.hour % 12) : v.hour;
  std::string out;
  for (const auto& t : tokens) {
    switch (t.letter) {
      case 0: out += t.text; break;
      case 'd':
        if (t.count == 1)
          out += std::to_string(v.day);
        else if (t.count == 2)
          out += twoDigits(v.day);
        else if (t.count == 3)
          out += std::string(kDays[weekday(v) - 1], 3);
        else if (t.count == 4)
          out += kDays[weekday(v) - 1];
        else
          out += format(v, "Short Date");
        break;
      case 'm':
        if (t.count == 1)
          out += std::to_string(v.month);
        else if (t.count == 2)
          out += twoDigits(v.month);
        else if (t.count == 3)
          out += std::string(kMonths[v.month - 1], 3);
        else
          out += kMonths[v.month - 1];
        break;
      case 'y':
        if (t.count == 1)
          out += std::to_string(dayOfYear(v));
        else if (t.count == 2)
          out += twoDigits(v.year % 100);
        else
          out += std::to_string(v.year);
        break;
      case 'h': out += t.count == 1 ? std::to_string(hour) : twoDigits(hour); break;
      case 'n': out += t.count == 1 ? std::to_string(v.minute) : twoDigits(v.minute); break;
      case 's': out += t.count == 1 ? std::to_string(v.second) : twoDigits(v.second); break;
      case 'A':
      case 'a': {
        const bool pm = v.hour >= 12;
        const bool upper = std::isupper(static_cast<unsigned char>(t.text[0])) != 0;
        std::string mark = t.letter == 'A' ? (pm ? "PM" : "AM") : (pm ? "P" : "A");
        out += upper ? mark : lCase(mark);
        break;
      }
    }
  }
  return out;
}

std::string cStr(const DateTime& v) {
  std::string out;
  if (!isZeroDate(v)) out = format(v, "Short Date");
  if (!isZeroTime(v) || isZeroDate(v)) {
    if (!out.empty()) out += ' ';
    out += format(v, "Long Time");
  }
  return out;
}

DateTime cDate(std::string_view text) {
  const auto s = std::string(trim(text));
  DateTime v{1899, 12, 30, 0, 0, 0};
  const auto blank = s.find(' ');
  const std::string_view first = std::string_view(s).substr(0, blank);
  const std::string rest = blank == std::string::npos ? std::string() : trim(s.substr(blank + 1));
  const std::string_view second = rest;
  bool ok = false;
  if (second.empty())
    ok = first.find(':') != std::string_view::npos ? readTime(first, v) : readDate(first, v);
  else
    ok = readDate(first, v) && readTime(second, v);
  if (!ok) raise(kTypeMismatch);
  return v;
}

}  // namespace platform::vb
