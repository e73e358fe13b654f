#pragma once
// The readme viewer: Readme.txt of the program folder, one list entry a line.
#include <string>
#include <string_view>
#include <vector>

namespace ui {

// The lines of the file's text: a line ends at CR or CR LF (neither is kept);
// a line feed alone stays in the text. Every line, an empty one included, is
// an entry; the last line counts without a line end after it.
std::vector<std::string> readmeLines(std::string_view text);

// Readme load (centred, the file's lines or a missing-file notice) and Close.
void bindReadme();

}  // namespace ui
