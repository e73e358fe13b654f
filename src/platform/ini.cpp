// The profile functions over the machine's files.
#include "platform/ini.h"

#include <algorithm>
#include <cstring>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/replace_file.h"
#include "platform/sysfacts.h"

namespace platform {
namespace {

// A bare file name names a file in the Windows folder, as for Windows.
std::string resolve(std::string_view fileName) {
  if (fileName.find_first_of("\\/:") != std::string_view::npos) return std::string(fileName);
  return getWindowsDirectory() + "\\" + std::string(fileName);
}

std::optional<std::string> readProfile(std::string_view fileName) {
  if (fileName.empty()) return std::nullopt;
  try {
    const auto path = resolve(fileName);
    if (!fileExists(path)) return std::nullopt;
    return readFile(path);
  } catch (const RuntimeError&) {
    return std::nullopt;
  }
}

std::string withoutTrailingBlanks(std::string_view s) {
  const auto last = s.find_last_not_of(' ');
  return std::string(last == std::string_view::npos ? std::string_view() : s.substr(0, last + 1));
}

// What the reader returns before the buffer cut; lists end in a double NUL.
std::string profileResult(IniName section, IniName key, std::string_view defaultValue,
                          std::string_view fileName, bool& isList) {
  isList = !section || !key;
  const auto text = readProfile(fileName);
  if (!section) return text ? ini::sectionNames(*text) : std::string();
  if (!key) return text ? ini::keyNames(*text, *section).value_or(std::string()) : std::string();
  if (text)
    if (auto value = ini::lookup(*text, *section, *key)) return *value;
  return withoutTrailingBlanks(defaultValue);
}

}  // namespace

std::uint32_t getPrivateProfileString(IniName section, IniName key, std::string_view defaultValue,
                                      char* buffer, std::uint32_t size, std::string_view fileName) {
  if (!buffer || size == 0) return 0;
  bool isList = false;
  const auto result = profileResult(section, key, defaultValue, fileName, isList);
  if (!isList) {
    const auto n = std::min<std::size_t>(result.size(), size - 1);
    std::memcpy(buffer, result.data(), n);
    buffer[n] = '\0';
    return static_cast<std::uint32_t>(n);
  }
  // A list that does not fit is cut and still ends in two NULs; the count
  // is then size - 2, as Windows reports it.
  if (result.size() + 1 <= size) {
    std::memcpy(buffer, result.data(), result.size());
    buffer[result.size()] = '\0';
    return static_cast<std::uint32_t>(result.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, result.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

std::string getProfileString(IniName section, IniName key, std::string_view defaultValue,
                             std::string_view fileName, std::uint32_t size) {
  std::string buffer(size, '\0');
  const auto n = getPrivateProfileString(section, key, defaultValue, buffer.data(), size, fileName);
  buffer.resize(n);
  return buffer;
}

ini::SectionValues profileSection(std::string_view section, std::string_view fileName) {
  const auto text = readProfile(fileName);
  return text ? ini::SectionValues(*text, section) : ini::SectionValues();
}

namespace {
thread_local int lastWriteError = 0;
}

int lastProfileWriteError() { return lastWriteError; }

int writePrivateProfileString(IniName section, IniName key, IniName value, std::string_view fileName) {
  lastWriteError = 0;
  if (!section || fileName.empty() || !ini::writable(section, key, value)) return 0;
  try {
    const auto path = resolve(fileName);
    const bool exists = fileExists(path);
    if (!exists && (!key || !value)) return 1;  // nothing to delete
    const auto before = exists ? readFile(path) : std::string();
    const auto after = ini::edit(before, *section, key, value);
    if (exists && after == before) return 1;
    replaceFile(path, after);
    return 1;
  } catch (const RuntimeError& error) {
    lastWriteError = error.number();
    return 0;
  }
}

}  // namespace platform
