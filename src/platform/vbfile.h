#pragma once
// The runtime's file statements by file number: Open ... For Input, Output,
// Append or Binary; Print #, Write #, Input #, Line Input #, EOF, LOF, Get,
// Put, Close and FreeFile. Errors: 52 for a number out of range or not open,
// 54 for a statement the file's mode does not allow, 55 for a number already
// open (or a file already open for writing), 62 for input past the end, and
// the file errors of the machine (53, 76, 70, 61 ...).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

#include "platform/datetime.h"

namespace platform::vb {

enum class OpenMode { Input, Output, Append, Binary };

// The lowest free file number (1..255, or 256..511 for range 1); 67 when all
// are taken.
int freeFile(int range = 0);
void open(std::string_view path, OpenMode mode, int fileNo);
void close(int fileNo);  // a number that is not open is ignored
void closeAll();         // Close without numbers
bool isOpen(int fileNo);

bool eof(int fileNo);
std::int64_t lof(int fileNo);
std::int64_t loc(int fileNo);  // bytes read or written so far

// ---- Print # and Write # --------------------------------------------------
// One item of an output list: text, a whole number, a Double or a Boolean.
struct Empty {};
using Item = std::variant<Empty, std::string_view, const char*, std::int64_t, int, double, bool, DateTime>;

// Print #n, a; b; ...  — items one after the other: texts as they are,
// numbers with the sign blank and one trailing blank (" 0 "), Booleans
// "True"/"False". `newLine` false is the trailing ";" (no CR LF).
void print(int fileNo, std::initializer_list<Item> items = {}, bool newLine = true);
// Write #n, a, b, ...  — items separated by commas, texts in quotes, numbers
// without blanks, Booleans #TRUE#/#FALSE#, dates #yyyy-mm-dd hh:mm:ss#, Empty
// as nothing; the line ends in CR LF.
void write(int fileNo, std::initializer_list<Item> items);

// ---- Input # and Line Input # ---------------------------------------------
// One field as Input # reads it: leading blanks skipped; a field in double
// quotes is taken without them (commas inside kept, what follows the closing
// quote up to the delimiter dropped); otherwise it runs to the next comma or
// line end, trailing blanks dropped. Lines end in CR LF, LF or CR.
struct Field {
  enum class Kind { Text, Boolean, Date, Null, Error, Empty } kind = Kind::Text;
  std::string text;  // as written (quotes removed)
  bool boolean = false;
  DateTime date;
  int error = 0;
};
Field input(int fileNo);
// The field as a String variable receives it (Booleans "True"/"False").
std::string inputText(int fileNo);
// The field as a numeric variable receives it: "" reads 0, a number its
// value, #TRUE# -1; anything else raises 13.
double inputNumber(int fileNo);
// Line Input #: the rest of the line without its line break.
std::string lineInput(int fileNo);

// ---- Get and Put (Binary) ---------------------------------------------------
// Reads buffer.size() bytes at `position` (1-based; 0 = the current one);
// bytes past the end read as NUL.
void get(int fileNo, std::string& buffer, std::int64_t position = 0);
void put(int fileNo, std::string_view bytes, std::int64_t position = 0);

}  // namespace platform::vb
