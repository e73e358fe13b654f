#pragma once
// Number and Boolean conversions of the program's language runtime.
// Overflow raises error 6, text that is not a number (or a Boolean) error 13.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform::vb {

// Str: a number as text with a blank in the sign position (" 3", "-3",
// " .5", " 1.5E+20").
std::string str(double number);
// CStr of a number: the same without the blank ("3", ".5" reads "0.5").
std::string cStr(double number);
std::string cStr(bool value);  // "True" / "False"

// Val: the number at the start of the text; blanks, tabs and line feeds are
// skipped anywhere, "&H" and "&O" prefixes are read; 0 when there is none.
double val(std::string_view text);

// CInt (16 bit) and CLng (32 bit): round half to even; text must be a number
// as a whole (blanks around it allowed; "&H10", "1e3", "-2.5").
std::int16_t cInt(double number);
std::int16_t cInt(std::string_view text);
std::int32_t cLng(double number);
std::int32_t cLng(std::string_view text);
// CBool: non-zero is True; text is "True"/"False" in any case or a number.
bool cBool(double number);
bool cBool(std::string_view text);

// Hex: upper-case hexadecimal of the 32-bit pattern ("1A2B", "FFFFFFFF" for -1).
std::string hex(std::int64_t number);

// True when the whole text (blanks around it allowed) reads as a number.
bool isNumeric(std::string_view text);

}  // namespace platform::vb
