#include "platform/zip_directory.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>
#include <system_error>

#include "platform/ansi_text.h"

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
  bool zip64 = false;
  std::uint64_t endPos = 0;  // where the end record starts
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
    dir.endPos = endPos;
    if ((dir.offset == 0xFFFFFFFF || dir.entries == 0xFFFF) && endPos >= 20) {
      const std::string locator = readAt(in, endPos - 20, 20);
      if (le(locator, 0, 4) == kZip64LocatorSignature) {
        const std::string end64 = readAt(in, le(locator, 8, 8), 56);
        if (le(end64, 0, 4) != kZip64EndSignature) throw std::runtime_error("bad zip64 end record");
        dir = {le(end64, 48, 8), le(end64, 40, 8), le(end64, 32, 8), true, endPos};
      }
    }
    if (dir.offset + dir.size > fileSize) throw std::runtime_error("central directory outside the file");
    return dir;
  }
  throw std::runtime_error("not a zip archive");
}

// An archive opened with its central directory found, and read unless
// it is to be walked in pieces.
struct Opened {
  explicit Opened(const std::filesystem::path& archive, bool readDirectory = true)
      : in(archive, std::ios::binary) {
    if (!in) throw std::runtime_error("cannot open archive");
    in.seekg(0, std::ios::end);
    size = static_cast<std::uint64_t>(in.tellg());
    dir = locate(in, size);
    if (readDirectory) cd = readAt(in, dir.offset, static_cast<std::size_t>(dir.size));
  }
  std::ifstream in;
  std::uint64_t size = 0;
  Directory dir;
  std::string cd;
};

// A central directory entry's fixed header with its name wholly held in a
// piece this large (46 bytes and a name of at most 64 KB).
constexpr std::size_t kPiece = 256 * 1024;

// Walks the central directory in pieces, so that a large one is never held
// whole: `visit(piece, at, nameLength)` gets each entry (its name below
// `at + kCentralSize`) and may change its bytes in place; `visited(piece,
// count, from)` gets the first `count` bytes of each piece, which start at
// `from` in the file, once its entries were visited. Returns the entries.
template <typename Visit, typename Visited>
std::uint64_t walkCentral(std::ifstream& in, const Directory& dir, Visit visit, Visited visited) {
  std::uint64_t count = 0;
  std::string piece;
  for (std::uint64_t pos = 0;;) {
    piece = readAt(in, dir.offset + pos,
                   static_cast<std::size_t>(std::min<std::uint64_t>(kPiece, dir.size - pos)));
    std::size_t at = 0;
    bool next = false;  // an entry goes on past the piece
    while (true) {
      if (at + kCentralSize > piece.size()) {
        next = pos + piece.size() < dir.size && pos + at + kCentralSize <= dir.size;
        break;
      }
      if (le(piece, at, 4) != kCentralSignature) break;
      const auto nameLen = le(piece, at + 28, 2), extraLen = le(piece, at + 30, 2),
                 commentLen = le(piece, at + 32, 2);
      if (at + kCentralSize + nameLen > piece.size()) {
        if (pos + at + kCentralSize + nameLen > dir.size)
          throw std::runtime_error("truncated central directory");
        next = true;
        break;
      }
      visit(piece, at, static_cast<std::size_t>(nameLen));
      ++count;
      at += kCentralSize + nameLen + extraLen + commentLen;
    }
    visited(piece, std::min(at, piece.size()), dir.offset + pos);
    if (!next || at == 0) break;
    pos += at;
  }
  return count;
}

constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kLocalSize = 30;
constexpr std::uint16_t kUtf8Flag = 0x0800;
constexpr std::uint16_t kUnicodePathField = 0x7075;  // Info-ZIP's UTF-8 copy of the name

void putLe(std::string& b, std::size_t at, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Extra fields without the Unicode path field, whose copy of the name the
// converted name would contradict.
std::string withoutUnicodePath(const std::string& extra) {
  std::string out;
  std::size_t at = 0;
  while (at + 4 <= extra.size()) {
    const std::size_t size = static_cast<std::size_t>(le(extra, at + 2, 2));
    if (at + 4 + size > extra.size()) break;
    if (le(extra, at, 2) != kUnicodePathField) out += extra.substr(at, 4 + size);
    at += 4 + size;
  }
  if (at < extra.size()) out += extra.substr(at);  // a malformed tail stays as it was
  return out;
}

struct CentralEntry {
  std::string header;  // the fixed 46 bytes
  std::string name, extra, comment;
  std::uint64_t localOffset = 0;
  bool convert = false, keep = true;
};

void copyRange(std::ifstream& in, std::ofstream& out, std::uint64_t from, std::uint64_t to) {
  std::string buffer(1 << 20, '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(from));
  for (std::uint64_t left = to - from; left > 0;) {
    const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
    in.read(buffer.data(), static_cast<std::streamsize>(chunk));
    if (static_cast<std::size_t>(in.gcount()) != chunk) throw std::runtime_error("truncated member data");
    out.write(buffer.data(), static_cast<std::streamsize>(chunk));
    left -= chunk;
  }
}

}  // namespace

bool Member::isSymlink() const {
  constexpr std::uint32_t kTypeMask = 0170000, kLink = 0120000;
  return hostSystem == 3 && ((externalAttributes >> 16) & kTypeMask) == kLink;
}

std::vector<Member> readMembers(const std::filesystem::path& archive) {
  Opened opened(archive);
  const Directory& dir = opened.dir;
  const std::string& cd = opened.cd;
  std::vector<Member> members;
  std::size_t at = 0;
  while (at + kCentralSize <= cd.size() && le(cd, at, 4) == kCentralSignature) {
    Member m;
    m.hostSystem = static_cast<int>(le(cd, at + 5, 1));
    m.flags = static_cast<std::uint16_t>(le(cd, at + 8, 2));
    m.dosTime = static_cast<std::uint16_t>(le(cd, at + 12, 2));
    m.dosDate = static_cast<std::uint16_t>(le(cd, at + 14, 2));
    m.size = static_cast<std::uint32_t>(le(cd, at + 24, 4));
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

void setDosAttributes(const std::filesystem::path& archive,
                      const std::function<int(std::string_view)>& attributesOf) {
  // The archive keeps the date zip gave it (with its o option, the newest
  // entry's): writing the attribute bytes is not a change of its content.
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(archive, ec);
  {
    // The central directory is changed piece by piece, each written back
    // where it was read.
    Opened opened(archive, false);
    std::fstream out(archive, std::ios::binary | std::ios::in | std::ios::out);
    if (!out) throw std::runtime_error("cannot open archive for writing");
    const std::uint64_t count = walkCentral(
        opened.in, opened.dir,
        [&](std::string& piece, std::size_t at, std::size_t nameLen) {
          const int attributes = attributesOf(std::string_view(piece).substr(at + kCentralSize, nameLen));
          if (attributes < 0) return;
          const auto value = (static_cast<std::uint32_t>(le(piece, at + 38, 4)) & ~0xFFu) |
                             (static_cast<std::uint32_t>(attributes) & 0x3Fu);
          putLe(piece, at + 38, value, 4);
        },
        [&](const std::string& piece, std::size_t bytes, std::uint64_t from) {
          out.seekp(static_cast<std::streamoff>(from));
          out.write(piece.data(), static_cast<std::streamsize>(bytes));
        });
    if (count != opened.dir.entries && opened.dir.entries != 0xFFFF)
      throw std::runtime_error("central directory does not match its entry count");
    out.close();
    if (!out) throw std::runtime_error("cannot write archive");
  }
  if (!ec) std::filesystem::last_write_time(archive, written, ec);
}

bool storeAnsiNamesAsUtf8(const std::filesystem::path& archive) {
  Opened opened(archive, false);
  std::ifstream& in = opened.in;
  const std::uint64_t fileSize = opened.size;
  const Directory& dir = opened.dir;
  if (dir.zip64) return false;
  // Most archives hold plain ASCII names only: nothing to take apart then,
  // and the directory is not read whole.
  bool any = false;
  walkCentral(
      in, dir,
      [&](const std::string& piece, std::size_t at, std::size_t nameLen) {
        any = any || (!(le(piece, at + 8, 2) & kUtf8Flag) &&
                      hasHighBytes(std::string_view(piece).substr(at + kCentralSize, nameLen)));
      },
      [](const std::string&, std::size_t, std::uint64_t) {});
  if (!any) return false;
  opened.cd = readAt(in, dir.offset, static_cast<std::size_t>(dir.size));
  const std::string& cd = opened.cd;
  std::vector<CentralEntry> entries;
  any = false;
  for (std::size_t at = 0; at + kCentralSize <= cd.size() && le(cd, at, 4) == kCentralSignature;) {
    CentralEntry e;
    const auto nameLen = le(cd, at + 28, 2), extraLen = le(cd, at + 30, 2), commentLen = le(cd, at + 32, 2);
    if (at + kCentralSize + nameLen + extraLen + commentLen > cd.size())
      throw std::runtime_error("truncated central directory");
    e.header = cd.substr(at, kCentralSize);
    e.name = cd.substr(at + kCentralSize, nameLen);
    e.extra = cd.substr(at + kCentralSize + nameLen, extraLen);
    e.comment = cd.substr(at + kCentralSize + nameLen + extraLen, commentLen);
    e.localOffset = le(cd, at + 42, 4);
    e.convert = !(le(cd, at + 8, 2) & kUtf8Flag) && hasHighBytes(e.name);
    any = any || e.convert;
    if (e.localOffset == 0xFFFFFFFF) return false;  // zip64 offsets: left as zip wrote them
    entries.push_back(std::move(e));
    at += kCentralSize + nameLen + extraLen + commentLen;
  }
  if (!any || dir.zip64) return false;

  // zip's update cannot match a file with a member it stored converted and
  // adds it again: the later member is the current one.
  for (CentralEntry& e : entries)
    if (e.convert) e.name = utf8FromAnsi(e.name);
  std::set<std::string> seen;
  for (auto it = entries.rbegin(); it != entries.rend(); ++it)
    if (!seen.insert(it->name).second) it->keep = false;

  std::vector<std::size_t> byOffset(entries.size());
  for (std::size_t i = 0; i < byOffset.size(); ++i) byOffset[i] = i;
  std::sort(byOffset.begin(), byOffset.end(),
            [&](std::size_t a, std::size_t b) { return entries[a].localOffset < entries[b].localOffset; });

  const std::filesystem::path temp = archive.string() + ".~names";
  try {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot create the rewritten archive");
    std::uint64_t written = 0;
    for (std::size_t k = 0; k < byOffset.size(); ++k) {
      CentralEntry& e = entries[byOffset[k]];
      const std::uint64_t end = k + 1 < byOffset.size() ? entries[byOffset[k + 1]].localOffset : dir.offset;
      if (!e.keep) continue;
      std::string local = readAt(in, e.localOffset, kLocalSize);
      if (local.size() != kLocalSize || le(local, 0, 4) != kLocalSignature)
        throw std::runtime_error("bad local header");
      const auto nameLen = le(local, 26, 2), extraLen = le(local, 28, 2);
      std::string localExtra = readAt(in, e.localOffset + kLocalSize + nameLen, extraLen);
      if (e.convert) {
        putLe(local, 6, le(local, 6, 2) | kUtf8Flag, 2);
        localExtra = withoutUnicodePath(localExtra);
      }
      putLe(local, 26, e.name.size(), 2);
      putLe(local, 28, localExtra.size(), 2);
      out.write(local.data(), kLocalSize);
      out.write(e.name.data(), static_cast<std::streamsize>(e.name.size()));
      out.write(localExtra.data(), static_cast<std::streamsize>(localExtra.size()));
      const std::uint64_t dataStart = e.localOffset + kLocalSize + nameLen + extraLen;
      if (dataStart > end) throw std::runtime_error("overlapping members");
      copyRange(in, out, dataStart, end);
      e.localOffset = written;
      written += kLocalSize + e.name.size() + localExtra.size() + (end - dataStart);
      if (written > 0xFFFFFFF0) throw std::runtime_error("archive too large to rewrite");
    }
    const std::uint64_t cdStart = written;
    std::uint64_t count = 0;
    for (CentralEntry& e : entries) {
      if (!e.keep) continue;
      if (e.convert) {
        putLe(e.header, 8, le(e.header, 8, 2) | kUtf8Flag, 2);
        e.extra = withoutUnicodePath(e.extra);
      }
      putLe(e.header, 28, e.name.size(), 2);
      putLe(e.header, 30, e.extra.size(), 2);
      putLe(e.header, 42, e.localOffset, 4);
      out << e.header << e.name << e.extra << e.comment;
      written += kCentralSize + e.name.size() + e.extra.size() + e.comment.size();
      ++count;
    }
    std::string end = readAt(in, dir.endPos, static_cast<std::size_t>(fileSize - dir.endPos));
    if (end.size() < kEndSize) throw std::runtime_error("truncated end record");
    putLe(end, 8, count, 2);
    putLe(end, 10, count, 2);
    putLe(end, 12, written - cdStart, 4);
    putLe(end, 16, cdStart, 4);
    out << end;
    out.close();
    if (!out) throw std::runtime_error("cannot write the rewritten archive");
    in.close();
    std::filesystem::rename(temp, archive);
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;
  }
  return true;
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
