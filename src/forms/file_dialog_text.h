#pragma once
// The common file dialog's texts: its filter string and its answer.
#include <string>
#include <string_view>
#include <vector>

namespace forms {

// "All Files (*.*)|*.*|INI Files (*.ini)|*.ini|" -> Qt name filters, one per
// description and pattern pair ("*.*" matches every name, as on Windows).
std::vector<std::string> qtNameFilters(std::string_view filter);

// The answer of an Open dialog: one file gives its full path; several files
// (of one folder) give the folder, a NUL, and the names joined by NULs; the
// folder keeps its "\" only when it is a drive root. None gives "".
std::string encodeSelection(const std::vector<std::string>& windowsPaths);

}  // namespace forms
