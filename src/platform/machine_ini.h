#pragma once
// The machine's own description files (machine.ini, media/<name>.ini): a
// small line-keeping key file, so that edits leave comments and order alone.
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace platform::detail {

class KeyFile {
 public:
  static KeyFile load(const std::filesystem::path& file);  // empty when missing
  void save(const std::filesystem::path& file) const;      // written whole, then renamed in place
  std::string get(std::string_view section, std::string_view key, std::string_view fallback = "") const;
  std::int64_t getInt(std::string_view section, std::string_view key, std::int64_t fallback) const;
  // Sets a key (appending the section when missing); an empty value removes the key.
  void set(std::string_view section, std::string_view key, std::string_view value);
  void removeSection(std::string_view section);
  std::vector<std::string> sections() const;

 private:
  std::vector<std::string> lines_;
};

// Writes all of `bytes` to a host file descriptor; false when the host refuses.
bool writeAllToFd(int fd, std::string_view bytes);

// Writes `bytes` to `file` through a scratch file of its folder (".swap")
// that takes its place in one step.
void writeHostFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// The same with what `write` puts into the stream, without a copy in memory.
void writeHostFileAtomically(const std::filesystem::path& file,
                             const std::function<void(std::ostream&)>& write);

}  // namespace platform::detail
