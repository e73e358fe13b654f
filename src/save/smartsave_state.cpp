#include "save/smartsave_state.h"

#include <cmath>

#include "core/inifile.h"
#include "core/state.h"
#include "forms/app.h"
#include "forms/messages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/replace_file.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "save/smartsave_run.h"
#include "windows/form1.h"

namespace save {

namespace {

using forms::loadResString;

// The interval choices of Form1.Combo1, by list index.
constexpr int kIntervalTexts[] = {1133, 1128, 1129, 1130, 1176};
constexpr int kLastInterval = 4;
constexpr int kLastSlot = 3;

int g_held = 0;

// While alive, the interval handler leaves SmartSv.ini alone.
class HoldFile {
 public:
  HoldFile() { ++g_held; }
  ~HoldFile() { --g_held; }
  HoldFile(const HoldFile&) = delete;
  HoldFile& operator=(const HoldFile&) = delete;
};

template <typename F>
void ignoringErrors(F&& statement) {
  try {
    statement();
  } catch (const platform::RuntimeError&) {
  }
}

// One field of sequential input from the start of a line.
std::string firstField(std::string_view line) {
  std::size_t at = 0;
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
  if (at < line.size() && line[at] == '"') {
    const std::size_t close = line.find('"', at + 1);
    return std::string(line.substr(at + 1, close == std::string_view::npos ? close : close - at - 1));
  }
  const std::size_t comma = line.find(',', at);
  return platform::vb::rTrim(line.substr(at, comma == std::string_view::npos ? comma : comma - at));
}

bool holdsLineBreak(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) != value.npos;
}

// The row of SmartSave k as it was read; a row written with the other
// message table's "not saved" text reads as this table's.
std::string rowAsRead(int k, const std::optional<std::string>& field) {
  if (!field || field->empty()) return NotSavedRow(k);
  const std::string none = loadResString(1006);
  const char* foreign = none == "None" ? "Nicht Gesichert" : none == "Keine" ? "Not Saved" : nullptr;
  if (foreign && field->find(foreign) != std::string::npos) return NotSavedRow(k);
  return *field;
}

void fillNotSavedRows() {
  auto& list = windows::Form1().List1;
  list.clear();
  for (int k = 1; k <= 4; ++k) list.addItem(NotSavedRow(k));
}

// A missing file is created with the first start's values.
void createFile() {
  auto& st = core::state();
  st.LastSmartSaveDate = platform::vb::trim(st.TodayDate);
  fillNotSavedRows();
  SelectInterval(0);
  SmartSaveFile created;
  created.lastDate = st.LastSmartSaveDate;
  created.days = NumberItem(0);
  for (int k = 1; k <= 4; ++k) created.rows[k - 1] = NotSavedRow(k);
  try {
    WriteSmartSaveFile(created);
  } catch (const platform::RuntimeError& error) {
    core::WriteErrorLog(error, "SmartSv.ini SmartSave");
  }
}

// Puts the file's values into the controls and the state.
void loadLines(const SmartSaveLines& lines) {
  auto& f = windows::Form1();
  auto& st = core::state();
  f.List1.clear();
  SelectInterval(WholeNumberIn(lines[0], 0, kLastInterval).value_or(0));
  if (lines[1]) st.LastSmartSaveDate = *lines[1];
  st.SmartSaveSlot = static_cast<std::int16_t>(WholeNumberIn(lines[2], 0, kLastSlot).value_or(0));
  if (lines[3]) f.Text3.setText(*lines[3]);
  for (int k = 1; k <= 4; ++k) f.List1.addItem(rowAsRead(k, lines[3 + k]));
}

}  // namespace

std::string SmartSaveFilePath() { return forms::appPath() + "\\SmartSv.ini"; }
std::string SmartGoPath() { return forms::appPath() + "\\Smart.go"; }
std::string SmartSaveFolder() { return forms::appPath() + "\\SmartSav\\"; }

std::string NumberItem(int number) { return platform::vb::str(number) + " "; }

std::string FormatSmartSaveFile(const SmartSaveFile& file) {
  std::string bytes;
  auto line = [&](std::string_view value) {
    if (holdsLineBreak(value)) platform::raise(platform::kInvalidCall);
    bytes.append(value);
    bytes += "\r\n";
  };
  line(NumberItem(file.interval));
  line(file.lastDate);
  line(NumberItem(file.slot));
  line(file.days);
  for (const std::string& row : file.rows) line(row);
  return bytes;
}

SmartSaveLines ParseSmartSaveFile(std::string_view bytes) {
  SmartSaveLines lines;
  std::size_t start = 0;
  for (std::size_t n = 0; n < lines.size() && start < bytes.size(); ++n) {
    std::size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines[n] = firstField(bytes.substr(start, end - start));
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

std::optional<int> WholeNumberIn(const std::optional<std::string>& field, int min, int max) {
  if (!field || !platform::vb::isNumeric(*field)) return std::nullopt;
  const double value = platform::vb::val(*field);
  if (value != std::floor(value) || value < min || value > max) return std::nullopt;
  return static_cast<int>(value);
}

void WriteSmartSaveFile(const SmartSaveFile& file) {
  platform::replaceFile(SmartSaveFilePath(), FormatSmartSaveFile(file));
}

SmartSaveFile CurrentSmartSaveValues() {
  auto& f = windows::Form1();
  const auto& st = core::state();
  SmartSaveFile file;
  file.interval = f.Combo1.listIndex();
  file.lastDate = st.LastSmartSaveDate;
  file.slot = st.SmartSaveSlot;
  file.days = f.Text3.text();
  for (int i = 0; i < 4; ++i) file.rows[i] = f.List1.list(i);
  return file;
}

bool SmartSaveFileHeld() { return g_held > 0; }

void SelectInterval(int index) {
  auto& combo = windows::Form1().Combo1;
  if (combo.listIndex() != index) {
    combo.setListIndex(index);
  } else if (combo.onClick) {
    combo.onClick();
  }
}

std::string NotSavedRow(int k) { return "#" + std::to_string(k) + " : " + loadResString(1131); }

bool SmartGoPresent() {
  try {
    return !platform::findFiles(SmartGoPath(), platform::kNormal).empty();
  } catch (const platform::RuntimeError&) {
    return false;
  }
}

void DeleteSmartGo() {
  ignoringErrors([] { platform::setAttr(SmartGoPath(), platform::kNormal); });
  ignoringErrors([] { platform::kill(SmartGoPath()); });
}

void InitSmartSave() {
  auto& f = windows::Form1();
  auto& st = core::state();
  {
    HoldFile hold;
    // The days come from the interval choice or the input box, never typed.
    ignoringErrors([&] { f.Text3.setLocked(true); });
    ignoringErrors([&] {
      f.Combo1.clear();
      for (int id : kIntervalTexts) f.Combo1.addItem(loadResString(id));
    });
    const std::string path = SmartSaveFilePath();
    bool present = false;
    ignoringErrors([&] { present = !platform::findFiles(path, platform::kNormal).empty(); });
    if (!present) ignoringErrors(createFile);
    std::optional<std::string> bytes;
    try {
      bytes = platform::readFile(path);
    } catch (const platform::RuntimeError& error) {
      core::WriteErrorLog(error, "SmartSv.ini SmartSave");
    }
    if (bytes) {
      ignoringErrors([&] { loadLines(ParseSmartSaveFile(*bytes)); });
    } else {
      // Neither found nor made: SmartSave stays disabled for this run.
      if (st.LastSmartSaveDate.empty()) st.LastSmartSaveDate = platform::vb::trim(st.TodayDate);
      st.SmartSaveSlot = 0;
      ignoringErrors(fillNotSavedRows);
      ignoringErrors([] { SelectInterval(0); });
    }
  }
  bool run = false;
  ignoringErrors([&] { run = SmartGoPresent() && f.Combo1.listIndex() != 0; });
  st.SmartSaveRunning = run;
  if (run) ShowSmartSaveCountdown();
}

}  // namespace save
