#pragma once
// The machine's registry, read only (stand-ins for RegOpenKeyExA,
// RegQueryValueExA, RegEnumKeyA and RegCloseKey).
//
// It is loaded from the REGEDIT4 export "registry.reg" in the machine root.
// Hives HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (HKEY_USERS and
// HKEY_CLASSES_ROOT are accepted as well); key and value names match
// case-insensitively; sub-keys enumerate in the order of the file; "@" is a
// key's unnamed default value. Value types: strings ("..." with \\ and \"
// escapes), dword:, hex: (binary), hex(2): (expandable string), hex(7):
// (multi-string) and hex(n): for any other type. Results are Win32 error codes.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using HKey = std::uint32_t;
constexpr HKey kHkeyClassesRoot = 0x80000000;
constexpr HKey kHkeyCurrentUser = 0x80000001;
constexpr HKey kHkeyLocalMachine = 0x80000002;
constexpr HKey kHkeyUsers = 0x80000003;

enum RegResult : long {
  kErrorSuccess = 0,
  kErrorFileNotFound = 2,
  kErrorInvalidHandle = 6,
  kErrorInvalidParameter = 87,
  kErrorMoreData = 234,
  kErrorNoMoreItems = 259,
};

enum RegType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
};

// ---- the calls --------------------------------------------------------------
// Opens `subKey` below `key` (an open key or a hive); a trailing "\" is
// tolerated, an empty sub-key opens the key itself again. `options` and
// `access` are accepted and not checked (the registry is read only).
long regOpenKeyEx(HKey key, std::string_view subKey, std::uint32_t options, std::uint32_t access,
                  HKey* result);
// The value `name` (null or "" for the default value). With `data` null only
// the type and the size are reported. A string's size counts its terminating
// NUL. ERROR_MORE_DATA (and the size needed) when *dataSize is too small.
long regQueryValueEx(HKey key, std::optional<std::string_view> name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* dataSize);
// The name of sub-key `index` with its NUL into `name` of `nameSize` chars;
// ERROR_MORE_DATA when it does not fit, ERROR_NO_MORE_ITEMS past the last.
long regEnumKey(HKey key, std::uint32_t index, char* name, std::uint32_t nameSize);
long regCloseKey(HKey key);

// ---- the loaded registry ----------------------------------------------------
struct RegValue {
  std::string name;  // "" for the default value
  std::uint32_t type = kRegSz;
  std::string data;  // the bytes as RegQueryValueEx returns them
};

struct RegKey {
  std::string name;
  std::vector<std::unique_ptr<RegKey>> subKeys;  // file order
  std::vector<RegValue> values;                  // file order
  RegKey* findSubKey(std::string_view name) const;
  const RegValue* findValue(std::string_view name) const;
};

class Registry {
 public:
  // Parses a REGEDIT4 export; lines it cannot read are skipped.
  static Registry parse(std::string_view text);
  RegKey* hive(HKey hive) const;  // nullptr for an unknown hive
  // The key at `path` below `from`, or nullptr.
  static RegKey* find(RegKey* from, std::string_view path);

 private:
  std::map<HKey, std::unique_ptr<RegKey>> hives_;
};

// The registry of the current machine (empty when no machine is open or it
// has no registry.reg); read again when another machine is opened.
const Registry& machineRegistry();
// Replaces the machine's registry with `regeditText` (for tests) until
// another machine is opened or resetRegistry() is called.
void useRegistry(std::string_view regeditText);
void resetRegistry();

}  // namespace platform
