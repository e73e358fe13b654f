#include "core/inifile.h"

#include "forms/app.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/replace_file.h"
#include "platform/vb_datetime.h"

namespace core {

namespace {
// The program reads every value into a buffer of 255 characters.
constexpr std::uint32_t kReadLength = 255;
}  // namespace

std::string ReadIni(std::string_view section, std::string_view key, std::string_view file) {
  return platform::getProfileString(section, key, "", file, kReadLength);
}

IniSectionReader::IniSectionReader(std::string_view section, std::string_view file)
    : values_(platform::profileSection(section, file)) {}

std::string IniSectionReader::read(std::string_view key) const {
  std::string value = values_.value(key).value_or(std::string());
  if (value.size() > kReadLength - 1) value.resize(kReadLength - 1);
  return value;
}

int WriteIni(std::string_view section, std::string_view key, std::string_view value, std::string_view file) {
  return platform::writePrivateProfileString(section, key, value, file);
}

int IniWrites::write(std::string_view section, std::string_view key, std::string_view value) {
  if (!platform::ini::writable(section, key, value)) return 0;
  if (!read_) {
    try {
      exists_ = platform::fileExists(file_);
      before_ = exists_ ? platform::readFile(file_) : std::string();
    } catch (const platform::RuntimeError& e) {
      error_ = e.number();
      return 0;
    }
    text_ = before_;
    read_ = true;
  }
  text_ = platform::ini::edit(text_, section, key, value);
  return 1;
}

void IniWrites::commit() {
  if (!read_ || (exists_ && text_ == before_)) return;
  platform::replaceFile(file_, text_);
  before_ = text_;
  exists_ = true;
}

std::string errorLogLine(int errorNumber, std::string_view date, std::string_view context) {
  std::string line = platform::errorText(errorNumber);
  line += date;
  line += context;
  return line;
}

void enterProgramFolder() {
  const std::string app = forms::appPath();
  platform::chDir(app);
  if (!app.empty()) platform::chDrive(app[0]);
}

void WriteErrorLog(int errorNumber, std::string_view context) {
  // Each step that fails is skipped; nothing reaches the caller.
  try {
    enterProgramFolder();
  } catch (...) {
  }
  try {
    if (platform::fileExists("Error.log") && platform::fileLen("Error.log") > 5000)
      platform::kill("Error.log");
  } catch (...) {
  }
  try {
    const std::string date = platform::vb::format(platform::vb::now(), "mm-dd-yyyy");
    platform::appendFile("Error.log", errorLogLine(errorNumber, date, context) + "\r\n");
  } catch (...) {
  }
}

void WriteErrorLog(const platform::RuntimeError& error, std::string_view context) {
  WriteErrorLog(error.number(), context);
}

}  // namespace core
