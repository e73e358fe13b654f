#pragma once
// Windows-1252 bytes <-> Qt strings, at the boundary to Qt only.
#include <QString>
#include <string>
#include <string_view>

namespace forms {

QString toQt(std::string_view windows1252);
// Characters Windows-1252 cannot hold become '?'.
std::string fromQt(const QString& text);

}  // namespace forms
