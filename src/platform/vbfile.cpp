#include "platform/vbfile.h"

#include <map>
#include <optional>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "platform/vb_datetime.h"

namespace platform::vb {
namespace {

struct OpenFile {
  OpenMode mode = OpenMode::Input;
  std::string identity;  // full path, upper case
  std::string data;      // Input: the whole file
  std::size_t pos = 0;   // Input: next byte
  File file;             // Output, Append, Binary
};

std::map<int, OpenFile>& files() {
  static std::map<int, OpenFile> open;
  return open;
}

void checkNumber(int fileNo) {
  if (fileNo < 1 || fileNo > 511) raise(kBadFileNameOrNumber);
}

OpenFile& opened(int fileNo) {
  checkNumber(fileNo);
  const auto it = files().find(fileNo);
  if (it == files().end()) raise(kBadFileNameOrNumber);
  return it->second;
}

OpenFile& openedFor(int fileNo, std::initializer_list<OpenMode> modes) {
  auto& f = opened(fileNo);
  for (const auto m : modes)
    if (f.mode == m) return f;
  raise(kBadFileMode);
}

bool writes(OpenMode mode) { return mode == OpenMode::Output || mode == OpenMode::Append; }

void emit(int fileNo, std::string_view bytes) {
  openedFor(fileNo, {OpenMode::Output, OpenMode::Append}).file.write(bytes);
}

// The text of one item as Print # writes it.
std::string printed(const Item& item) {
  struct {
    std::string operator()(Empty) const { return {}; }
    std::string operator()(std::string_view s) const { return std::string(s); }
    std::string operator()(const char* s) const { return s; }
    std::string operator()(std::int64_t n) const { return str(static_cast<double>(n)) + " "; }
    std::string operator()(int n) const { return str(n) + " "; }
    std::string operator()(double n) const { return str(n) + " "; }
    std::string operator()(bool b) const { return cStr(b); }
    std::string operator()(const DateTime& d) const { return cStr(d); }
  } visitor;
  return std::visit(visitor, item);
}

std::string writtenDate(const DateTime& d) {
  const bool zeroDate = d.year == 1899 && d.month == 12 && d.day == 30;
  const bool zeroTime = d.hour == 0 && d.minute == 0 && d.second == 0;
  std::string text;
  if (!zeroDate) text = format(d, "yyyy-mm-dd");
  if (!zeroTime || zeroDate) text += (text.empty() ? "" : " ") + format(d, "hh:nn:ss");
  return "#" + text + "#";
}

// The text of one item as Write # writes it.
std::string written(const Item& item) {
  struct {
    std::string operator()(Empty) const { return {}; }
    std::string operator()(std::string_view s) const { return "\"" + std::string(s) + "\""; }
    std::string operator()(const char* s) const { return "\"" + std::string(s) + "\""; }
    std::string operator()(std::int64_t n) const { return cStr(static_cast<double>(n)); }
    std::string operator()(int n) const { return cStr(static_cast<double>(n)); }
    std::string operator()(double n) const { return cStr(n); }
    std::string operator()(bool b) const { return b ? "#TRUE#" : "#FALSE#"; }
    std::string operator()(const DateTime& d) const { return writtenDate(d); }
  } visitor;
  return std::visit(visitor, item);
}

bool atLineEnd(const OpenFile& f) {
  return f.pos >= f.data.size() || f.data[f.pos] == '\r' || f.data[f.pos] == '\n';
}

void skipLineEnd(OpenFile& f) {
  if (f.pos < f.data.size() && f.data[f.pos] == '\r') {
    ++f.pos;
    if (f.pos < f.data.size() && f.data[f.pos] == '\n') ++f.pos;
  } else if (f.pos < f.data.size() && f.data[f.pos] == '\n') {
    ++f.pos;
  }
}

// Consumes the delimiter after a field: a comma or a line break.
void skipDelimiter(OpenFile& f) {
  if (f.pos < f.data.size() && f.data[f.pos] == ',') {
    ++f.pos;
    return;
  }
  skipLineEnd(f);
}

Field classify(std::string text) {
  Field field;
  field.text = std::move(text);
  const auto& t = field.text;
  if (t.size() < 2 || t.front() != '#' || t.back() != '#') return field;
  const auto inner = std::string_view(t).substr(1, t.size() - 2);
  if (equalsNoCase(inner, "TRUE") || equalsNoCase(inner, "FALSE")) {
    field.kind = Field::Kind::Boolean;
    field.boolean = equalsNoCase(inner, "TRUE");
  } else if (equalsNoCase(inner, "NULL")) {
    field.kind = Field::Kind::Null;
  } else if (equalsNoCase(left(inner, 6), "ERROR ")) {
    field.kind = Field::Kind::Error;
    field.error = static_cast<int>(val(inner.substr(6)));
  } else {
    try {
      field.date = cDate(inner);
      field.kind = Field::Kind::Date;
    } catch (const RuntimeError&) {
    }
  }
  return field;
}

}  // namespace

int freeFile(int range) {
  const int first = range == 0 ? 1 : 256;
  for (int n = first; n < first + 255; ++n)
    if (!files().contains(n)) return n;
  raise(kTooManyFiles);
}

void open(std::string_view path, OpenMode mode, int fileNo) {
  checkNumber(fileNo);
  if (files().contains(fileNo)) raise(kFileAlreadyOpen);
  OpenFile f;
  f.mode = mode;
  f.identity = uCase(fullPath(path));
  for (const auto& [number, other] : files())
    if (other.identity == f.identity && (writes(mode) || writes(other.mode))) raise(kFileAlreadyOpen);
  switch (mode) {
    case OpenMode::Input: f.data = readFile(path); break;
    case OpenMode::Output: f.file = File(path, File::Mode::Write); break;
    case OpenMode::Append: f.file = File(path, File::Mode::Append); break;
    case OpenMode::Binary:
      if (!fileExists(path)) writeFile(path, {});
      f.file = File(path, File::Mode::ReadWrite);
      break;
  }
  files().emplace(fileNo, std::move(f));
}

void close(int fileNo) {
  const auto it = files().find(fileNo);
  if (it == files().end()) return;
  auto f = std::move(it->second);
  files().erase(it);
  if (f.file.isOpen()) f.file.close();
}

void closeAll() {
  while (!files().empty()) close(files().begin()->first);
}

bool isOpen(int fileNo) { return files().contains(fileNo); }

bool eof(int fileNo) {
  const auto& f = opened(fileNo);
  if (f.mode == OpenMode::Input) return f.pos >= f.data.size();
  return f.file.position() >= f.file.size();
}

std::int64_t lof(int fileNo) {
  const auto& f = opened(fileNo);
  return f.mode == OpenMode::Input ? static_cast<std::int64_t>(f.data.size()) : f.file.size();
}

std::int64_t loc(int fileNo) {
  const auto& f = opened(fileNo);
  return f.mode == OpenMode::Input ? static_cast<std::int64_t>(f.pos) : f.file.position();
}

void print(int fileNo, std::initializer_list<Item> items, bool newLine) {
  std::string line;
  for (const auto& item : items) line += printed(item);
  if (newLine) line += "\r\n";
  emit(fileNo, line);
}

void write(int fileNo, std::initializer_list<Item> items) {
  std::string line;
  for (const auto& item : items) {
    if (&item != items.begin()) line += ',';
    line += written(item);
  }
  emit(fileNo, line + "\r\n");
}

Field input(int fileNo) {
  auto& f = openedFor(fileNo, {OpenMode::Input});
  if (f.pos >= f.data.size()) raise(kInputPastEnd);
  while (f.pos < f.data.size() && (f.data[f.pos] == ' ' || f.data[f.pos] == '\t')) ++f.pos;
  if (f.pos < f.data.size() && f.data[f.pos] == '"') {
    const auto close = f.data.find('"', f.pos + 1);
    const auto end = close == std::string::npos ? f.data.size() : close;
    Field field;
    field.text = f.data.substr(f.pos + 1, end - f.pos - 1);
    f.pos = close == std::string::npos ? end : end + 1;
    while (f.pos < f.data.size() && f.data[f.pos] != ',' && !atLineEnd(f)) ++f.pos;
    skipDelimiter(f);
    return field;
  }
  const auto begin = f.pos;
  while (f.pos < f.data.size() && f.data[f.pos] != ',' && !atLineEnd(f)) ++f.pos;
  auto text = rTrim(std::string_view(f.data).substr(begin, f.pos - begin));
  skipDelimiter(f);
  auto field = classify(std::move(text));
  if (field.kind == Field::Kind::Text && field.text.empty()) field.kind = Field::Kind::Empty;
  return field;
}

std::string inputText(int fileNo) {
  auto field = input(fileNo);
  switch (field.kind) {
    case Field::Kind::Boolean: return cStr(field.boolean);
    case Field::Kind::Date: return cStr(field.date);
    case Field::Kind::Null: raise(kInvalidCall);
    case Field::Kind::Error: return "Error " + std::to_string(field.error);
    default: return std::move(field.text);
  }
}

double inputNumber(int fileNo) {
  const auto field = input(fileNo);
  switch (field.kind) {
    case Field::Kind::Empty: return 0;
    case Field::Kind::Boolean: return field.boolean ? -1 : 0;
    case Field::Kind::Text:
      if (isNumeric(field.text)) return val(field.text);
      raise(kTypeMismatch);
    default: raise(kTypeMismatch);
  }
}

std::string lineInput(int fileNo) {
  auto& f = openedFor(fileNo, {OpenMode::Input});
  if (f.pos >= f.data.size()) raise(kInputPastEnd);
  const auto begin = f.pos;
  while (!atLineEnd(f)) ++f.pos;
  std::string line = f.data.substr(begin, f.pos - begin);
  skipLineEnd(f);
  return line;
}

void get(int fileNo, std::string& buffer, std::int64_t position) {
  auto& f = openedFor(fileNo, {OpenMode::Binary});
  if (position < 0) raise(kInvalidCall);
  if (position > 0) f.file.seek(position - 1);
  const auto size = buffer.size();
  buffer = f.file.read(size);
  buffer.resize(size, '\0');
}

void put(int fileNo, std::string_view bytes, std::int64_t position) {
  auto& f = openedFor(fileNo, {OpenMode::Binary});
  if (position < 0) raise(kInvalidCall);
  if (position > 0) f.file.seek(position - 1);
  f.file.write(bytes);
}

}  // namespace platform::vb
