#include "forms/qt_text.h"

#include "platform/ansi_text.h"

namespace forms {

QString toQt(std::string_view windows1252) {
  QString out;
  out.reserve(static_cast<qsizetype>(windows1252.size()));
  for (char c : windows1252)
    out.append(QChar(static_cast<char16_t>(platform::unicodeOfAnsi(static_cast<unsigned char>(c)))));
  return out;
}

bool fitsWindows1252(const QString& text) {
  for (QChar qc : text) {
    if (platform::ansiOfUnicode(qc.unicode()) < 0) return false;
  }
  return true;
}

std::string fromQt(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar qc : text) {
    const int byte = platform::ansiOfUnicode(qc.unicode());
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return out;
}

}  // namespace forms
