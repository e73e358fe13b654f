#pragma once
// Windows-1252 ("ANSI") text and Unicode: the characters the machine's names
// and texts are made of, for the places that hand them to Unicode software
// (Qt, the UTF-8 names inside zip archives).
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The character a Windows-1252 byte stands for; the five unassigned bytes
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 control of that number, as
// Windows converts them.
char32_t unicodeOfAnsi(unsigned char byte);
// The Windows-1252 byte of a character, or -1 when the code page lacks it.
int ansiOfUnicode(char32_t character);

// Windows-1252 text as UTF-8.
std::string utf8FromAnsi(std::string_view ansi);
// UTF-8 text as Windows-1252; nothing when it is not valid UTF-8 or holds a
// character the code page lacks.
std::optional<std::string> ansiFromUtf8(std::string_view utf8);
// Whether the text holds bytes above 0x7F.
bool hasHighBytes(std::string_view text);

}  // namespace platform
