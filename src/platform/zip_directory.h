#pragma once
// The central directory of a zip archive on the host: the member names with
// their attributes, read without extracting anything, and the one change the
// layer makes to an archive: the DOS attribute bits of members, and names of
// the machine's code page stored as UTF-8.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace platform::zipdir {

struct Member {
  std::string name;         // as stored ("WINDOWS/TEMP/kelvaran/system.ini")
  int hostSystem = 0;       // upper byte of "version made by": 0 DOS, 3 Unix, 10 NTFS ...
  std::uint16_t flags = 0;  // general purpose bits
  std::uint32_t externalAttributes = 0;
  std::uint32_t size = 0;  // uncompressed; 0xFFFFFFFF: kept in a zip64 record
  std::uint16_t dosTime = 0, dosDate = 0;
  std::uint64_t attributesOffset = 0;  // file position of externalAttributes
  bool isDirectory() const { return !name.empty() && name.back() == '/'; }
  bool isSymlink() const;
  // The name is UTF-8 (bit 11); otherwise it is the bytes of the writer's code page.
  bool utf8() const { return (flags & 0x0800) != 0; }
  int dosAttributes() const { return static_cast<int>(externalAttributes & 0xFF); }
};

// The members in central-directory order. Throws std::runtime_error when the
// file is not a readable zip archive.
std::vector<Member> readMembers(const std::filesystem::path& archive);

// Sets the low byte (the DOS attributes) of each member to what
// `attributesOf` gives for its name, keeping the host mode bits and the
// archive's date; members it gives -1 for stay as they are.
void setDosAttributes(const std::filesystem::path& archive,
                      const std::function<int(std::string_view)>& attributesOf);

// Stores every member name that holds Windows-1252 bytes above 0x7F, and is
// not flagged UTF-8 yet, as UTF-8 with the UTF-8 flag, in its local and its
// central header; of members whose names then coincide only the last stays.
// The archive is rewritten through a temporary file beside it and left as it
// was when that fails (std::runtime_error) and when it uses zip64 records.
// False when nothing needed a change.
bool storeAnsiNamesAsUtf8(const std::filesystem::path& archive);

// Why a member name may not be extracted ("" when it may): a symlink, an
// absolute name, a ".." component, "\", ":" or a control character.
std::string unsafeReason(const Member& member);

}  // namespace platform::zipdir
