#pragma once
// Single INI values and the error log Error.log of the program folder.
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/ini.h"

namespace core {

// One value; "" for a missing file, section or key. Values longer than 254
// characters come back cut to 254.
std::string ReadIni(std::string_view section, std::string_view key, std::string_view file);
// Non-zero when written; 0 when refused (CR, LF or NUL in a name or value)
// or failed.
int WriteIni(std::string_view section, std::string_view key, std::string_view value, std::string_view file);

// ReadIni of many keys of one section of one file: the file is read and
// its section parsed once, when the reader is made; read(key) gives what
// ReadIni(section, key, file) gave then.
class IniSectionReader {
 public:
  IniSectionReader(std::string_view section, std::string_view file);
  std::string read(std::string_view key) const;

 private:
  platform::ini::SectionValues values_;
};

// A run of WriteIni calls on one file (a full path): the file is read at the
// first write, each write is made on its text as WriteIni makes it on the
// file, and the text is written once by commit(), the bytes the writes one by
// one would have left.
class IniWrites {
 public:
  explicit IniWrites(std::string_view file) : file_(file) {}
  // As WriteIni: 0 when refused, or when the file could not be read (error()
  // tells why).
  int write(std::string_view section, std::string_view key, std::string_view value);
  int error() const { return error_; }
  // Writes the file when the writes changed it; raises the error of that write.
  void commit();

 private:
  std::string file_;
  bool read_ = false, exists_ = false;
  int error_ = 0;
  std::string before_, text_;
};

// Appends "<error text><mm-dd-yyyy><context>" CR LF to Error.log in the
// program folder, deleting the log first when it is over 5000 bytes. Leaves
// the program folder current. Never fails towards its caller.
void WriteErrorLog(int errorNumber, std::string_view context);
void WriteErrorLog(const platform::RuntimeError& error, std::string_view context);

// The log line without its CR LF (for a given date "mm-dd-yyyy").
std::string errorLogLine(int errorNumber, std::string_view date, std::string_view context);

// Makes the program folder the current folder and its drive the current drive.
void enterProgramFolder();

}  // namespace core
