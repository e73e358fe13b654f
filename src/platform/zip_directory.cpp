#include "platform/zip_directory.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace platform::zipdir {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kMaxComment = 0xFFFF;

std::uint64_t le(const std::string& b, std::size_t at, int bytes) {
  if (at + bytes > b.size()) throw std::runtime_error("truncated zip structure");
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

std::string readAt(std::ifstream& in, std::uint64_t offset, std::size_t count) {
  std::string bytes(count, '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  return bytes;
}

struct Directory {
  std::uint64_t offset = 0, size = 0, entries = 0;
};

Directory locate(std::ifstream& in, std::uint64_t fileSize) {
  const std::size_t tailSize =
      static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kEndSize + kMaxComment));
  const std::uint64_t tailStart = fileSize - tailSize;
  const std::string tail = readAt(in, tailStart, tailSize);
  if (tail.size() < kEndSize) throw std::runtime_error("not a zip archive");
  for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
    if (le(tail, at, 4) != kEndSignature) continue;
    if (at + kEndSize + le(tail, at + 20, 2) != tail.size()) continue;  // comment length must fit
    Directory dir{le(tail, at + 16, 4), le(tail, at + 12, 4), le(tail, at + 10, 2)};
    const std::uint64_t endPos = tailStart + at;
    if ((dir.offset == 0xFFFFFFFF || dir.entries == 0xFFFF) && endPos >= 20) {
      const std::string locator = readAt(in, endPos - 20, 20);
      if (le(locator, 0, 4) == kZip64LocatorSignature) {
        const std::string end64 = readAt(in, le(locator, 8, 8), 56);
        if (le(end64, 0, 4) != kZip64EndSignature) throw std::runtime_error("bad zip64 end record");
        dir = {le(end64, 48, 8), le(end64, 40, 8), le(end64, 32, 8)};
      }
    }
    if (dir.offset + dir.size > fileSize) throw std::runtime_error("central directory outside the file");
    return dir;
  }
  throw std::runtime_error("not a zip archive");
}

}  // namespace

bool Member::isSymlink() const {
  constexpr std::uint32_t kTypeMask = 0170000, kLink = 0120000;
  return hostSystem == 3 && ((externalAttributes >> 16) & kTypeMask) == kLink;
}

std::vector<Member> readMembers(const std::filesystem::path& archive) {
  std::ifstream in(archive, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open archive");
  in.seekg(0, std::ios::end);
  const auto fileSize = static_cast<std::uint64_t>(in.tellg());
  const Directory dir = locate(in, fileSize);
  const std::string cd = readAt(in, dir.offset, static_cast<std::size_t>(dir.size));
  std::vector<Member> members;
  std::size_t at = 0;
  while (at + kCentralSize <= cd.size() && le(cd, at, 4) == kCentralSignature) {
    Member m;
    m.hostSystem = static_cast<int>(le(cd, at + 5, 1));
    m.dosTime = static_cast<std::uint16_t>(le(cd, at + 12, 2));
    m.dosDate = static_cast<std::uint16_t>(le(cd, at + 14, 2));
    const auto nameLen = le(cd, at + 28, 2), extraLen = le(cd, at + 30, 2), commentLen = le(cd, at + 32, 2);
    m.externalAttributes = static_cast<std::uint32_t>(le(cd, at + 38, 4));
    m.attributesOffset = dir.offset + at + 38;
    if (at + kCentralSize + nameLen > cd.size()) throw std::runtime_error("truncated central directory");
    m.name = cd.substr(at + kCentralSize, nameLen);
    members.push_back(std::move(m));
    at += kCentralSize + nameLen + extraLen + commentLen;
  }
  if (members.size() != dir.entries && dir.entries != 0xFFFF)
    throw std::runtime_error("central directory does not match its entry count");
  return members;
}

void setDosAttributes(const std::filesystem::path& archive, const std::map<std::string, int>& byName) {
  const std::vector<Member> members = readMembers(archive);
  std::fstream out(archive, std::ios::binary | std::ios::in | std::ios::out);
  if (!out) throw std::runtime_error("cannot open archive for writing");
  for (const Member& m : members) {
    const auto it = byName.find(m.name);
    if (it == byName.end()) continue;
    const std::uint32_t value =
        (m.externalAttributes & ~0xFFu) | (static_cast<std::uint32_t>(it->second) & 0x3Fu);
    char bytes[4];
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    out.seekp(static_cast<std::streamoff>(m.attributesOffset));
    out.write(bytes, 4);
  }
  if (!out) throw std::runtime_error("cannot write archive");
}

std::string unsafeReason(const Member& member) {
  const std::string& name = member.name;
  if (member.isSymlink()) return "symbolic link";
  if (name.empty()) return "empty name";
  if (name.front() == '/') return "absolute name";
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return "control character in name";
    if (c == '\\') return "backslash in name";
    if (c == ':') return "colon in name";
  }
  std::size_t start = 0;
  while (start <= name.size()) {
    auto end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return "\"..\" in name";
    start = end + 1;
  }
  return {};
}

}  // namespace platform::zipdir
