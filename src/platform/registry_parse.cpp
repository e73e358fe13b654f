// Reading a REGEDIT4 export into keys and values.
#include <charconv>

#include "platform/registry.h"
#include "platform/text_trim.h"
#include "platform/vb.h"

namespace platform {
namespace {

// Physical lines joined where a hex list goes on after a trailing "\".
std::vector<std::string> logicalLines(std::string_view text) {
  std::vector<std::string> lines;
  bool continued = false;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    auto brk = text.find_first_of("\r\n", pos);
    if (brk == std::string_view::npos) brk = text.size();
    auto line = text.substr(pos, brk - pos);
    if (brk < text.size() && text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ++brk;
    pos = brk + 1;
    if (continued) {
      lines.back() += trimWhite(line);
    } else {
      lines.emplace_back(line);
    }
    auto& last = lines.back();
    const auto trimmed = trimWhite(last);
    continued = !trimmed.empty() && trimmed.back() == '\\' && last.find("=hex") != std::string::npos;
    if (continued) last.erase(last.find_last_of('\\'));
  }
  return lines;
}

// A quoted text with \\ and \" escapes starting at text[pos] == '"'; pos is
// left after the closing quote. nullopt when the quote is not closed.
std::optional<std::string> quoted(std::string_view text, std::size_t& pos) {
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < text.size() && (text[pos + 1] == '\\' || text[pos + 1] == '"')) ++pos;
    out += text[pos];
  }
  return std::nullopt;
}

std::optional<std::string> hexBytes(std::string_view list) {
  std::string out;
  std::size_t pos = 0;
  while (pos < list.size()) {
    const auto comma = std::min(list.find(',', pos), list.size());
    const auto item = trimWhite(list.substr(pos, comma - pos));
    pos = comma + 1;
    if (item.empty()) continue;
    unsigned byte = 0;
    const auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), byte, 16);
    if (error != std::errc() || end != item.data() + item.size() || byte > 0xFF) return std::nullopt;
    out += static_cast<char>(byte);
  }
  return out;
}

std::optional<RegValue> parseData(std::string_view data) {
  RegValue value;
  if (!data.empty() && data.front() == '"') {
    std::size_t pos = 0;
    auto text = quoted(data, pos);
    if (!text || !trimWhite(data.substr(pos)).empty()) return std::nullopt;
    value.type = kRegSz;
    value.data = *text + '\0';
    return value;
  }
  if (data.starts_with("dword:")) {
    const auto digits = trimWhite(data.substr(6));
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number, 16);
    if (digits.empty() || digits.size() > 8 || error != std::errc() || end != digits.data() + digits.size())
      return std::nullopt;
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>((number >> (8 * i)) & 0xFF);
    return value;
  }
  if (data.starts_with("hex")) {
    auto rest = data.substr(3);
    value.type = kRegBinary;
    if (rest.starts_with("(")) {
      const auto close = rest.find(')');
      if (close == std::string_view::npos) return std::nullopt;
      const auto digits = rest.substr(1, close - 1);
      const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value.type, 16);
      if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
      rest = rest.substr(close + 1);
    }
    if (!rest.starts_with(":")) return std::nullopt;
    auto bytes = hexBytes(rest.substr(1));
    if (!bytes) return std::nullopt;
    value.data = std::move(*bytes);
    return value;
  }
  return std::nullopt;
}

HKey hiveOf(std::string_view name) {
  struct Hive {
    std::string_view name;
    HKey key;
  };
  static constexpr Hive hives[] = {{"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
                                   {"HKEY_CURRENT_USER", kHkeyCurrentUser},
                                   {"HKEY_USERS", kHkeyUsers},
                                   {"HKEY_CLASSES_ROOT", kHkeyClassesRoot}};
  for (const auto& h : hives)
    if (vb::equalsNoCase(h.name, name)) return h.key;
  return 0;
}

RegKey* subKeyCreated(RegKey& parent, std::string_view name) {
  if (auto* found = parent.findSubKey(name)) return found;
  parent.subKeys.push_back(std::make_unique<RegKey>());
  parent.subKeys.back()->name = name;
  return parent.subKeys.back().get();
}

void setValue(RegKey& key, RegValue value) {
  for (auto& v : key.values)
    if (vb::equalsNoCase(v.name, value.name)) {
      v.type = value.type;
      v.data = std::move(value.data);
      return;
    }
  key.values.push_back(std::move(value));
}

}  // namespace

RegKey* RegKey::findSubKey(std::string_view wanted) const {
  for (const auto& k : subKeys)
    if (vb::equalsNoCase(k->name, wanted)) return k.get();
  return nullptr;
}

const RegValue* RegKey::findValue(std::string_view wanted) const {
  for (const auto& v : values)
    if (vb::equalsNoCase(v.name, wanted)) return &v;
  return nullptr;
}

RegKey* Registry::hive(HKey key) const {
  const auto it = hives_.find(key);
  return it == hives_.end() ? nullptr : it->second.get();
}

RegKey* Registry::find(RegKey* from, std::string_view path) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  std::size_t pos = 0;
  while (from && !path.empty() && pos <= path.size()) {
    const auto slash = std::min(path.find('\\', pos), path.size());
    const auto name = path.substr(pos, slash - pos);
    from = name.empty() ? nullptr : from->findSubKey(name);
    pos = slash + 1;
  }
  return from;
}

Registry Registry::parse(std::string_view text) {
  Registry registry;
  for (const HKey h : {kHkeyClassesRoot, kHkeyCurrentUser, kHkeyLocalMachine, kHkeyUsers})
    registry.hives_[h] = std::make_unique<RegKey>();
  const auto lines = logicalLines(text);
  std::size_t first = 0;
  while (first < lines.size() && trimWhite(lines[first]).empty()) ++first;
  if (first == lines.size() || trimWhite(lines[first]) != "REGEDIT4") return registry;

  RegKey* current = nullptr;
  for (auto i = first + 1; i < lines.size(); ++i) {
    const auto line = trimWhite(lines[i]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      current = nullptr;
      if (line.back() != ']' || line.starts_with("[-")) continue;  // deletions do not describe a machine
      auto path = line.substr(1, line.size() - 2);
      if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
      const auto slash = std::min(path.find('\\'), path.size());
      auto* key = registry.hive(hiveOf(path.substr(0, slash)));
      for (auto pos = slash + 1; key && pos <= path.size();) {
        const auto next = std::min(path.find('\\', pos), path.size());
        key = next == pos ? nullptr : subKeyCreated(*key, path.substr(pos, next - pos));
        pos = next + 1;
      }
      current = key;
      continue;
    }
    if (!current) continue;
    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      auto parsed = quoted(line, pos);
      if (!parsed) continue;
      name = std::move(*parsed);
    } else {
      continue;
    }
    const auto rest = trimWhite(line.substr(pos));
    if (!rest.starts_with("=")) continue;
    if (auto value = parseData(trimWhite(rest.substr(1)))) {
      value->name = std::move(name);
      setValue(*current, std::move(*value));
    }
  }
  return registry;
}

}  // namespace platform
