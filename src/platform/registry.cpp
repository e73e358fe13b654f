// The registry calls over the machine's registry file.
#include "platform/registry.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/machine.h"

namespace platform {
namespace {

struct Loaded {
  std::filesystem::path file;
  std::filesystem::file_time_type written{};
  std::uintmax_t size = 0;
  bool overridden = false;
  Registry registry = Registry::parse("");
};

Loaded& loaded() {
  static Loaded l;
  return l;
}

// An open key is remembered by its hive and path, so that a registry read
// again never leaves a handle dangling.
struct OpenKey {
  HKey hive = 0;
  std::string path;
};

std::map<HKey, OpenKey>& openKeys() {
  static std::map<HKey, OpenKey> keys;
  return keys;
}

bool isHive(HKey key) { return key >= kHkeyClassesRoot && key <= kHkeyUsers; }

std::optional<OpenKey> openKey(HKey key) {
  if (isHive(key)) return OpenKey{key, {}};
  const auto it = openKeys().find(key);
  if (it == openKeys().end()) return std::nullopt;
  return it->second;
}

RegKey* resolve(const OpenKey& key) { return Registry::find(machineRegistry().hive(key.hive), key.path); }

std::string joined(std::string_view path, std::string_view subKey) {
  if (!subKey.empty() && subKey.back() == '\\') subKey.remove_suffix(1);
  if (path.empty()) return std::string(subKey);
  if (subKey.empty()) return std::string(path);
  return std::string(path) + "\\" + std::string(subKey);
}

}  // namespace

const Registry& machineRegistry() {
  auto& l = loaded();
  if (l.overridden) return l.registry;
  if (!machineOpen()) {
    if (!l.file.empty()) l = Loaded{};
    return l.registry;
  }
  const auto file = machineRoot() / "registry.reg";
  std::error_code error;
  const auto written = std::filesystem::last_write_time(file, error);
  const auto size = error ? 0 : std::filesystem::file_size(file, error);
  if (file != l.file || written != l.written || size != l.size) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    l.registry = Registry::parse(bytes.str());
    l.file = file;
    l.written = written;
    l.size = size;
  }
  return l.registry;
}

void useRegistry(std::string_view regeditText) {
  auto& l = loaded();
  l.registry = Registry::parse(regeditText);
  l.overridden = true;
}

void resetRegistry() { loaded() = Loaded{}; }

long regOpenKeyEx(HKey key, std::string_view subKey, std::uint32_t, std::uint32_t, HKey* result) {
  if (!result) return kErrorInvalidParameter;
  *result = 0;
  const auto parent = openKey(key);
  if (!parent) return kErrorInvalidHandle;
  OpenKey opened{parent->hive, joined(parent->path, subKey)};
  if (!resolve(opened)) return kErrorFileNotFound;
  static HKey next = 0x00C0FFEE;
  while (openKeys().contains(next) || next == 0 || isHive(next)) ++next;
  openKeys()[next] = std::move(opened);
  *result = next++;
  return kErrorSuccess;
}

long regQueryValueEx(HKey key, std::optional<std::string_view> name, std::uint32_t* type, std::uint8_t* data,
                     std::uint32_t* dataSize) {
  const auto open = openKey(key);
  if (!open) return kErrorInvalidHandle;
  const auto* regKey = resolve(*open);
  if (!regKey) return kErrorInvalidHandle;
  const auto* value = regKey->findValue(name.value_or(std::string_view()));
  if (!value) return kErrorFileNotFound;
  if (type) *type = value->type;
  const auto size = static_cast<std::uint32_t>(value->data.size());
  if (!data) {
    if (dataSize) *dataSize = size;
    return kErrorSuccess;
  }
  if (!dataSize) return kErrorInvalidParameter;
  if (*dataSize < size) {
    *dataSize = size;
    return kErrorMoreData;
  }
  std::memcpy(data, value->data.data(), size);
  *dataSize = size;
  return kErrorSuccess;
}

long regEnumKey(HKey key, std::uint32_t index, char* name, std::uint32_t nameSize) {
  const auto open = openKey(key);
  if (!open) return kErrorInvalidHandle;
  const auto* regKey = resolve(*open);
  if (!regKey) return kErrorInvalidHandle;
  if (index >= regKey->subKeys.size()) return kErrorNoMoreItems;
  const auto& subName = regKey->subKeys[index]->name;
  if (!name || subName.size() + 1 > nameSize) return kErrorMoreData;
  std::memcpy(name, subName.c_str(), subName.size() + 1);
  return kErrorSuccess;
}

long regCloseKey(HKey key) {
  if (isHive(key)) return kErrorSuccess;
  return openKeys().erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace platform
