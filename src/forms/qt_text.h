#pragma once
// Windows-1252 bytes <-> Qt strings, at the boundary to Qt only.
#include <QString>
#include <string>
#include <string_view>

namespace forms {

QString toQt(std::string_view windows1252);
// Characters Windows-1252 cannot hold become '?'.
std::string fromQt(const QString& text);
// True when Windows-1252 holds every character of `text` (fromQt loses none).
bool fitsWindows1252(const QString& text);

}  // namespace forms
