#pragma once
// Profile (INI) files with the observable behaviour of the Windows profile
// functions GetPrivateProfileStringA and WritePrivateProfileStringA.
//
// Reading: names match case-insensitively, the first of duplicate sections or
// keys wins, blanks and tabs around keys and values are dropped, one pair of
// surrounding quotes is removed from a value, ";" starts a comment only at the
// start of a line, lines end in CR LF, LF or CR.
//
// Writing changes only the line it must (a replaced value keeps its key's
// spelling and every other byte of the file), adds new keys at the end of
// their section and new sections at the end of the file with CR LF, and
// replaces the file atomically. Names or values that would corrupt the file
// (CR, LF, NUL; "=" in a key; "]" in a section) are refused with result 0.
//
// A null section, key or value (std::nullopt) has the Windows meaning: on
// reading it lists section or key names, on writing it deletes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

using IniName = std::optional<std::string_view>;

// ---- the file functions ----------------------------------------------------
// GetPrivateProfileStringA: copies at most size - 1 characters and a NUL into
// `buffer` and returns the number of characters copied (without the NUL).
// A missing file, section or key gives `defaultValue` without its trailing
// blanks. A null key lists the section's key names, a null section the
// file's section names, each followed by a NUL, the list ended by one more.
// A file name without a folder names a file in the Windows folder.
std::uint32_t getPrivateProfileString(IniName section, IniName key, std::string_view defaultValue,
                                      char* buffer, std::uint32_t size, std::string_view fileName);

// The same, returned as text: what the call above copies for a buffer of
// `size` characters (the program reads with 255).
std::string getProfileString(IniName section, IniName key, std::string_view defaultValue,
                             std::string_view fileName, std::uint32_t size = 255);

// WritePrivateProfileStringA: non-zero when written, 0 when refused or
// failed (bad names, missing folder, read-only file or medium, full disk).
// A null value deletes the key, a null key deletes the section.
int writePrivateProfileString(IniName section, IniName key, IniName value, std::string_view fileName);

// Why the last writePrivateProfileString on this thread failed, as a run-time
// error number (61 full disk, 70 read-only file or medium, 76 missing
// folder ...); 0 after a write that succeeded or was refused for its names.
// What GetLastError tells a Windows caller.
int lastProfileWriteError();

// ---- the same rules on the bytes of a file (no file access) ----------------
namespace ini {

// The value of `key` in `section`, or nullopt when either is missing.
std::optional<std::string> lookup(std::string_view text, std::string_view section, std::string_view key);

// The values of one section, read at once: value(key) is what
// lookup(text, section, key) gives, without going through the text again for
// every key of a long section.
class SectionValues {
 public:
  SectionValues() = default;
  SectionValues(std::string_view text, std::string_view section);
  std::optional<std::string> value(std::string_view key) const;

 private:
  std::unordered_map<std::string, std::string> values_;  // by the key in upper case
};

// Names of the file's sections or of one section's keys, in file order,
// first spelling of duplicates only; nullopt when the section is missing.
std::string sectionNames(std::string_view text);  // "a\0b\0" form
std::optional<std::string> keyNames(std::string_view text, std::string_view section);

// True when the names and value can be written without corrupting the file.
bool writable(IniName section, IniName key, IniName value);

// `text` after the write. Requires writable(section, key, value) and a
// non-null section.
std::string edit(std::string_view text, std::string_view section, IniName key, IniName value);

}  // namespace ini

// The values of `section` of a profile file as getPrivateProfileString finds them,
// the file read once (none for a missing or unreadable file).
ini::SectionValues profileSection(std::string_view section, std::string_view fileName);

}  // namespace platform
