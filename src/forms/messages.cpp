#include "forms/messages.h"

#include <QFile>
#include <charconv>
#include <optional>

#include "forms/compiled_resources.h"
#include "platform/error.h"

namespace forms {
namespace {

struct Table {
  std::string source = ":/kelvaran/messages.txt";
  std::optional<std::map<int, std::string>> messages;
};

Table& table() {
  static Table t;
  return t;
}

[[noreturn]] void badLine(std::size_t line, const std::string& why) {
  throw platform::RuntimeError(platform::kInvalidCall,
                               "message table line " + std::to_string(line) + ": " + why);
}

std::string unescape(std::string_view text, std::size_t line) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out.push_back(text[i]);
      continue;
    }
    if (++i == text.size()) badLine(line, "backslash at the end");
    switch (text[i]) {
      case '\\': out.push_back('\\'); break;
      case 't': out.push_back('\t'); break;
      case 'r': out.push_back('\r'); break;
      case 'n': out.push_back('\n'); break;
      default: badLine(line, std::string("unknown escape \\") + text[i]);
    }
  }
  return out;
}

const std::map<int, std::string>& messages() {
  Table& t = table();
  if (!t.messages) {
    ensureCompiledResources();
    QFile file(QString::fromStdString(t.source));
    if (!file.open(QIODevice::ReadOnly)) {
      throw platform::RuntimeError(platform::kFileNotFound, "message table " + t.source + " not found");
    }
    t.messages = parseMessageTable(file.readAll().toStdString());
  }
  return *t.messages;
}

}  // namespace

std::map<int, std::string> parseMessageTable(std::string_view text) {
  std::map<int, std::string> result;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) badLine(lineNumber, "no TAB after the id");
    int id = 0;
    auto [ptr, ec] = std::from_chars(line.data(), line.data() + tab, id);
    if (ec != std::errc() || ptr != line.data() + tab) badLine(lineNumber, "bad id");
    if (!result.emplace(id, unescape(line.substr(tab + 1), lineNumber)).second) {
      badLine(lineNumber, "id " + std::to_string(id) + " given twice");
    }
  }
  return result;
}

std::string loadResString(int id) {
  const auto& table = messages();
  auto found = table.find(id);
  if (found == table.end()) throw platform::RuntimeError(326, "Resource with identifier not found");
  return found->second;
}

bool resStringExists(int id) { return messages().count(id) != 0; }

void setMessageTableSource(std::string_view path) {
  table().source = path.empty() ? std::string(":/kelvaran/messages.txt") : std::string(path);
  table().messages.reset();
}

}  // namespace forms
