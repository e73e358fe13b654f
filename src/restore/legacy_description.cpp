#include "restore/legacy_description.h"

#include "platform/error.h"
#include "platform/paths.h"
#include "platform/vb.h"
#include "platform/vb_convert.h"
#include "platform/vbfile.h"

namespace restore {

using RR = windows::RestoreReqWindow;

const std::array<LegacyPairRow, 24> kLegacyPairs = {{
    {"Autoexec.bat", &RR::Check1},
    {"Config.sys", &RR::Check2},
    {"Control.ini", &RR::Check3},
    {"Msdos.sys", &RR::Check4},
    {"Protocol.ini", &RR::Check5},
    {"System.dat", &RR::Check6},
    {"System.ini", &RR::Check7},
    {"User.dat", &RR::Check8},
    {"Win.ini", &RR::Check9},
    {"Autoexec.dos", &RR::Check12},
    {"Config.dos", &RR::Check13},
    {"Dblspace.ini", &RR::Check14},
    {"Drvspace.ini", &RR::Check15},
    {"Drvspace.bin", &RR::Check16},
    {"Start menu", &RR::Check20},
    {"Netscape news", &RR::Check17},
    {"Dblspace.bin", &RR::Check24},
    {"Netscape bookmarks", &RR::Check10},
    {"Internet Explorer favorites", &RR::Check11},
    {"address book", &RR::Check18},
    {"Internet Explorer cookies", &RR::Check19},
    {"Outlook Express mailbox", &RR::Check21},
    {"Netscape cookies", &RR::Check22},
    {"Netscape mail", &RR::Check23},
}};

namespace {

// The file open for input under a free number, closed on every way out.
class InputFile {
 public:
  explicit InputFile(std::string_view path) : number_(platform::vb::freeFile()) {
    platform::vb::open(path, platform::vb::OpenMode::Input, number_);
  }
  ~InputFile() { platform::vb::close(number_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  std::string text() { return platform::vb::inputText(number_); }
  std::int16_t whole() { return platform::vb::cInt(platform::vb::inputNumber(number_)); }
  bool boolean() {
    const platform::vb::Field field = platform::vb::input(number_);
    switch (field.kind) {
      case platform::vb::Field::Kind::Boolean: return field.boolean;
      case platform::vb::Field::Kind::Empty: return false;
      case platform::vb::Field::Kind::Text: return platform::vb::cBool(field.text);
      default: platform::raise(platform::kTypeMismatch);
    }
  }
  bool atEnd() const { return platform::vb::eof(number_); }

 private:
  int number_;
};

void readFields(InputFile& file, LegacyDescription& out) {
  out.name = file.text();
  out.systemPath = file.text();
  out.saveFolder = platform::withTrailingBackslash(file.text());
  for (std::size_t k = 0; k < kLegacyPairs.size(); ++k) {
    LegacyPair pair;
    pair.saved = file.whole();
    pair.enabled = file.boolean();
    out.pairs.push_back(pair);
  }
  out.favorites = file.text();
  out.netscape = file.text();
  file.text();  // field 54: nothing uses it
  std::string startMenu = file.text();
  if (!platform::vb::equalsNoCase(startMenu, "None")) out.startMenu = std::move(startMenu);
  // The user-defined files run to the end of the file. A file that ends
  // right after field 55 simply has none.
  while (!file.atEnd()) {
    std::string item = file.text();
    if (!item.empty()) out.userFiles.push_back(std::move(item));
  }
}

}  // namespace

LegacyDescription readLegacyDescription(std::string_view path) {
  LegacyDescription out;
  try {
    InputFile file(path);
    readFields(file, out);
  } catch (const platform::RuntimeError& error) {
    out.error = error.number();
  }
  return out;
}

std::string legacyDescriptionName(std::string_view path) {
  try {
    InputFile file(path);
    return file.text();
  } catch (const platform::RuntimeError&) {
    return {};
  }
}

}  // namespace restore
