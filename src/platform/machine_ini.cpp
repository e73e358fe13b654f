#include "platform/machine_ini.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <sstream>
#include <streambuf>

#include "platform/error.h"
#include "platform/shortname.h"
#include "platform/text_trim.h"

namespace platform::detail {

namespace {
// Blanks around a line, its key and its value; a stray CR left inside a line
// counts as one.
constexpr std::string_view kBlanks = " \t\r";

// "[name]" gives name; anything else gives nullopt-like "" with ok=false.
bool sectionName(const std::string& line, std::string& name) {
  const std::string_view t = trimChars(line, kBlanks);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return false;
  name = trimChars(t.substr(1, t.size() - 2), kBlanks);
  return true;
}

bool keyOf(const std::string& line, std::string& key, std::string& value) {
  const std::string_view t = trimChars(line, kBlanks);
  if (t.empty() || t[0] == ';' || t[0] == '[') return false;
  const std::size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = trimChars(t.substr(0, eq), kBlanks);
  value = trimChars(t.substr(eq + 1), kBlanks);
  return true;
}
}  // namespace

KeyFile KeyFile::load(const std::filesystem::path& file) {
  KeyFile out;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.lines_.push_back(line);
  }
  return out;
}

void KeyFile::save(const std::filesystem::path& file) const {
  std::string text;
  for (const std::string& line : lines_) text += line + "\n";
  writeHostFileAtomically(file, text);
}

std::string KeyFile::get(std::string_view section, std::string_view key, std::string_view fallback) const {
  std::string current, k, v;
  bool inSection = false;
  for (const std::string& line : lines_) {
    if (sectionName(line, current)) {
      inSection = equalsNoCase(current, section);
    } else if (inSection && keyOf(line, k, v) && equalsNoCase(k, key)) {
      if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
      return v;
    }
  }
  return std::string(fallback);
}

std::int64_t KeyFile::getInt(std::string_view section, std::string_view key, std::int64_t fallback) const {
  std::string v = get(section, key);
  if (v.empty()) return fallback;
  try {
    std::size_t used = 0;
    std::int64_t n = (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) ? std::stoll(v, &used, 16)
                                                                                   : std::stoll(v, &used, 10);
    return n;
  } catch (const std::exception&) {
    return fallback;
  }
}

void KeyFile::set(std::string_view section, std::string_view key, std::string_view value) {
  std::string current, k, v;
  bool inSection = false;
  std::size_t sectionEnd = std::string::npos;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    if (sectionName(lines_[i], current)) {
      if (inSection) break;
      inSection = equalsNoCase(current, section);
      if (inSection) sectionEnd = i + 1;
    } else if (inSection) {
      if (keyOf(lines_[i], k, v) && equalsNoCase(k, key)) {
        if (value.empty())
          lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
        else
          lines_[i] = k + "=" + std::string(value);
        return;
      }
      if (!trimChars(lines_[i], kBlanks).empty()) sectionEnd = i + 1;
    }
  }
  if (value.empty()) return;
  std::string line = std::string(key) + "=" + std::string(value);
  if (sectionEnd == std::string::npos) {
    if (!lines_.empty() && !trimChars(lines_.back(), kBlanks).empty()) lines_.push_back("");
    std::string header(1, '[');
    header.append(section).push_back(']');
    lines_.push_back(header);
    lines_.push_back(line);
  } else {
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd), line);
  }
}

void KeyFile::removeSection(std::string_view section) {
  std::vector<std::string> kept;
  std::string current;
  bool skipping = false;
  for (const std::string& line : lines_) {
    if (sectionName(line, current)) skipping = equalsNoCase(current, section);
    if (!skipping) kept.push_back(line);
  }
  lines_ = std::move(kept);
}

std::vector<std::string> KeyFile::sections() const {
  std::vector<std::string> out;
  std::string current;
  for (const std::string& line : lines_)
    if (sectionName(line, current)) out.push_back(current);
  return out;
}

bool writeAllToFd(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

void writeHostFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  writeHostFileAtomically(
      file, [&](std::ostream& out) { out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())); });
}

namespace {

// An output stream's buffer that writes to a host file descriptor and counts
// what it wrote.
class FdBuffer : public std::streambuf {
 public:
  explicit FdBuffer(int fd) : fd_(fd) { setp(buffer_, buffer_ + sizeof buffer_); }
  std::int64_t written() const { return written_; }

 protected:
  int overflow(int c) override {
    if (sync() != 0) return traits_type::eof();
    if (c != traits_type::eof()) {
      *pptr() = static_cast<char>(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override {
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    if (!writeAllToFd(fd_, pending)) return -1;
    written_ += static_cast<std::int64_t>(pending.size());
    setp(buffer_, buffer_ + sizeof buffer_);
    return 0;
  }

 private:
  int fd_;
  std::int64_t written_ = 0;
  char buffer_[65536];
};

}  // namespace

// The new content goes into a scratch file beside `file` (".swap"), which is
// then swapped with it: the scratch file holds the previous content of
// whichever file of the folder was written last, and its storage serves the
// next write. The scratch file is overwritten and cut to length rather than
// made anew or emptied: a host file system that delays allocation (ext4)
// looks long for a fresh inode after many deletions, and writes at once the
// data of a file that empties or replaces another; either costs a tenth of a
// millisecond and more for each small write.
void writeHostFileAtomically(const std::filesystem::path& file,
                             const std::function<void(std::ostream&)>& write) {
  const std::filesystem::path temp = file.parent_path() / ".swap";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) raise(kDeviceIoError);
  bool ok = false;
  {
    auto buffer = std::make_unique<FdBuffer>(fd);
    std::ostream out(buffer.get());
    write(out);
    out.flush();
    ok = out && ::ftruncate(fd, static_cast<off_t>(buffer->written())) == 0;
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) raise(kDeviceIoError);
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, file.c_str(), RENAME_EXCHANGE) == 0) return;
  // No file to swap with yet, or a host without the swap: a plain rename.
  std::error_code ec;
  std::filesystem::rename(temp, file, ec);
  if (ec) raise(kDeviceIoError);
}

}  // namespace platform::detail
