#include "platform/shortname.h"

namespace platform {

namespace {

// Characters a short name may hold (besides letters and digits).
bool shortChar(char c) {
  auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || c == ' ' || c == '.') return false;
  for (char bad : std::string_view("\"*+,/:;<=>?[\\]|"))
    if (c == bad) return false;
  return true;
}

// Short names are kept in the DOS code page (850 on this machine), which
// holds every Windows-1252 character from 0xA0 up but of 0x80-0x9F only the
// florin sign.
bool inDosCodePage(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u < 0x80 || u >= 0xA0 || u == 0x83;
}

// Characters a long name may hold but a short one may not: the alias
// carries "_" in their place (the upper-case form is the one that counts).
bool replacedByUnderscore(char c) {
  return std::string_view("+,;=[]").find(c) != std::string_view::npos || !inDosCodePage(c);
}

std::string cleaned(std::string_view part) {
  std::string out;
  for (char c : part) {
    const char upper = upperChar(c);
    if (replacedByUnderscore(upper))
      out += '_';
    else if (shortChar(upper))
      out += upper;
  }
  return out;
}

}  // namespace

bool isShortName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  std::size_t dot = name.find('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
  if (base.empty() || base.size() > 8 || ext.size() > 3) return false;
  if (dot != std::string_view::npos && ext.empty()) return false;  // "NAME." is not a name
  for (std::string_view part : {base, ext})
    for (char c : part)
      if (!shortChar(c) || !inDosCodePage(upperChar(c))) return false;
  return true;
}

namespace {

std::string searchAlias(std::string_view longName, const std::function<bool(const std::string&)>& taken,
                        std::map<std::string, int>* nextNumber) {
  if (isShortName(longName)) return "";
  std::string_view name = longName;
  while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.remove_prefix(1);
  std::size_t dot = name.rfind('.');
  std::string base = cleaned(dot == std::string_view::npos ? name : name.substr(0, dot));
  std::string ext = dot == std::string_view::npos ? std::string{} : cleaned(name.substr(dot + 1));
  if (ext.size() > 3) ext.resize(3);
  if (base.empty()) base = "_";
  int* next = nullptr;
  if (nextNumber) next = &(*nextNumber)[base.substr(0, std::min<std::size_t>(base.size(), 6)) + "." + ext];
  for (int n = next && *next > 1 ? *next : 1; n < 1000000; ++n) {
    std::string tail = "~" + std::to_string(n);
    std::string candidate = base.substr(0, std::min<std::size_t>(base.size(), 8 - tail.size())) + tail;
    if (!ext.empty()) candidate += "." + ext;
    if (!taken(candidate)) {
      if (next) *next = n + 1;
      return candidate;
    }
  }
  return "";
}

}  // namespace

std::string makeAlias(std::string_view longName, const std::function<bool(const std::string&)>& taken) {
  return searchAlias(longName, taken, nullptr);
}

std::string makeAlias(std::string_view longName, const std::function<bool(const std::string&)>& taken,
                      std::map<std::string, int>& nextNumber) {
  return searchAlias(longName, taken, &nextNumber);
}

}  // namespace platform
