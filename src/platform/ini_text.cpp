// The profile-file rules on the bytes of a file: reading and editing.
#include <vector>

#include "platform/charcase.h"
#include "platform/ini.h"
#include "platform/text_trim.h"
#include "platform/vb.h"

namespace platform::ini {
namespace {

constexpr std::string_view kNewLine = "\r\n";

// Blanks, tabs and Ctrl-Z (the DOS end-of-file mark) around names and values.
std::string_view trimIni(std::string_view s) { return trimChars(s, " \t\x1a"); }

struct Line {
  std::size_t begin = 0, contentEnd = 0, end = 0;  // end: after the line break
  enum class Kind { Blank, Section, Key, Other } kind = Kind::Other;
  std::string_view name;   // section or key name, trimmed
  std::size_t equals = 0;  // position of "=" of a key line
};

struct Section {
  std::string_view name;
  std::size_t header = 0, firstLine = 0, endLine = 0;  // line indexes, end exclusive
};

class Parsed {
 public:
  explicit Parsed(std::string_view text) : text_(text) {
    split();
    group();
  }

  const std::vector<Line>& lines() const { return lines_; }
  const std::vector<Section>& sections() const { return sections_; }

  const Section* findSection(std::string_view name) const {
    const auto wanted = trimIni(name);
    for (const auto& s : sections_)
      if (vb::equalsNoCase(s.name, wanted)) return &s;
    return nullptr;
  }

  // Indexes of the key lines of `section` named `key`, in file order.
  std::vector<std::size_t> findKeys(const Section& section, std::string_view key) const {
    const auto wanted = trimIni(key);
    std::vector<std::size_t> found;
    for (auto i = section.firstLine; i < section.endLine; ++i)
      if (lines_[i].kind == Line::Kind::Key && vb::equalsNoCase(lines_[i].name, wanted)) found.push_back(i);
    return found;
  }

  std::string_view content(const Line& line) const {
    return text_.substr(line.begin, line.contentEnd - line.begin);
  }

 private:
  void split() {
    std::size_t pos = 0;
    while (pos < text_.size()) {
      Line line;
      line.begin = pos;
      const auto brk = text_.find_first_of(kNewLine, pos);
      line.contentEnd = brk == std::string_view::npos ? text_.size() : brk;
      line.end = line.contentEnd;
      if (line.end < text_.size()) {
        line.end +=
            (text_[line.end] == '\r' && line.end + 1 < text_.size() && text_[line.end + 1] == '\n') ? 2 : 1;
      }
      classify(line);
      lines_.push_back(line);
      pos = line.end;
    }
  }

  void classify(Line& line) const {
    const auto content = text_.substr(line.begin, line.contentEnd - line.begin);
    const auto body = trimIni(content);
    if (body.empty()) {
      line.kind = Line::Kind::Blank;
    } else if (const auto close = body.rfind(']'); body.front() == '[' && close != std::string_view::npos) {
      // The name runs to the last "]" of the line; "[abc" alone is no header.
      line.kind = Line::Kind::Section;
      line.name = trimIni(body.substr(1, close - 1));
    } else if (body.front() == ';') {
      line.kind = Line::Kind::Other;
    } else if (const auto eq = content.find('='); eq != std::string_view::npos) {
      line.kind = Line::Kind::Key;
      line.name = trimIni(content.substr(0, eq));
      line.equals = line.begin + eq;
    }
  }

  void group() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (lines_[i].kind != Line::Kind::Section) continue;
      if (!sections_.empty()) sections_.back().endLine = i;
      sections_.push_back({lines_[i].name, i, i + 1, lines_.size()});
    }
  }

  std::string_view text_;
  std::vector<Line> lines_;
  std::vector<Section> sections_;
};

std::string unquote(std::string_view value) {
  value = trimIni(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

bool hasBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

void appendListEntry(std::string& list, std::string_view name) {
  list += name;
  list += '\0';
}

std::string removeLines(std::string_view text, const std::vector<Line>& lines, std::vector<bool> remove) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!remove[i]) out += text.substr(lines[i].begin, lines[i].end - lines[i].begin);
  return out;
}

bool endsWithBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

std::string keyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  line += kNewLine;
  return line;
}

}  // namespace

std::optional<std::string> lookup(std::string_view text, std::string_view section, std::string_view key) {
  const Parsed parsed(text);
  const auto* s = parsed.findSection(section);
  if (!s) return std::nullopt;
  const auto keys = parsed.findKeys(*s, key);
  if (keys.empty()) return std::nullopt;
  const auto& line = parsed.lines()[keys.front()];
  return unquote(text.substr(line.equals + 1, line.contentEnd - line.equals - 1));
}

SectionValues::SectionValues(std::string_view text, std::string_view section) {
  const Parsed parsed(text);
  const auto* s = parsed.findSection(section);
  if (!s) return;
  for (auto i = s->firstLine; i < s->endLine; ++i) {
    const auto& line = parsed.lines()[i];
    if (line.kind != Line::Kind::Key) continue;
    // The first of duplicate keys wins.
    values_.try_emplace(upperCase(line.name),
                        unquote(text.substr(line.equals + 1, line.contentEnd - line.equals - 1)));
  }
}

std::optional<std::string> SectionValues::value(std::string_view key) const {
  const auto it = values_.find(upperCase(trimIni(key)));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::string sectionNames(std::string_view text) {
  const Parsed parsed(text);
  std::string list;
  for (const auto& s : parsed.sections())
    if (parsed.findSection(s.name) == &s) appendListEntry(list, s.name);
  return list;
}

std::optional<std::string> keyNames(std::string_view text, std::string_view section) {
  const Parsed parsed(text);
  const auto* s = parsed.findSection(section);
  if (!s) return std::nullopt;
  std::string list;
  for (auto i = s->firstLine; i < s->endLine; ++i) {
    const auto& line = parsed.lines()[i];
    if (line.kind == Line::Kind::Key && parsed.findKeys(*s, line.name).front() == i)
      appendListEntry(list, line.name);
  }
  return list;
}

bool writable(IniName section, IniName key, IniName value) {
  if (section && (hasBreakOrNul(*section) || section->find(']') != std::string_view::npos)) return false;
  if (key) {
    const auto name = trimIni(*key);
    if (hasBreakOrNul(*key) || key->find('=') != std::string_view::npos) return false;
    // A key that would read back as a comment, a section header or nothing.
    if (name.empty() || name.front() == ';' || name.front() == '[') return false;
  }
  return !(value && hasBreakOrNul(*value));
}

std::string edit(std::string_view text, std::string_view section, IniName key, IniName value) {
  const Parsed parsed(text);
  const auto& lines = parsed.lines();
  const auto* found = parsed.findSection(section);

  if (!key) {  // delete every section of that name
    if (!found) return std::string(text);
    std::vector<bool> remove(lines.size(), false);
    for (const auto& s : parsed.sections())
      if (vb::equalsNoCase(s.name, found->name))
        for (auto i = s.header; i < s.endLine; ++i) remove[i] = true;
    return removeLines(text, lines, remove);
  }

  if (!value) {  // delete the key (every spelling of it) from the section that reads
    if (!found) return std::string(text);
    std::vector<bool> remove(lines.size(), false);
    for (auto i : parsed.findKeys(*found, *key)) remove[i] = true;
    return removeLines(text, lines, remove);
  }

  std::string out;
  if (!found) {  // new section at the end of the file
    out = text;
    if (!out.empty() && !endsWithBreak(out)) out += kNewLine;
    if (!out.empty() && lines.back().kind != Line::Kind::Blank) out += kNewLine;
    out += '[';
    out += section;
    out += ']';
    out += kNewLine;
    out += keyLine(*key, *value);
    return out;
  }

  if (const auto keys = parsed.findKeys(*found, *key); !keys.empty()) {  // replace in place
    const auto& line = lines[keys.front()];
    out = text.substr(0, line.equals + 1);
    out += *value;
    out += text.substr(line.contentEnd);
    return out;
  }

  // New key after the last non-blank line of its section.
  auto last = found->header;
  for (auto i = found->firstLine; i < found->endLine; ++i)
    if (lines[i].kind != Line::Kind::Blank) last = i;
  const auto at = lines[last].end;
  out = text.substr(0, at);
  if (!endsWithBreak(out)) out += kNewLine;
  out += keyLine(*key, *value);
  out += text.substr(at);
  return out;
}

}  // namespace platform::ini
