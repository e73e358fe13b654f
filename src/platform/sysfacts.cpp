#include "platform/sysfacts.h"

#include <charconv>
#include <fstream>
#include <optional>
#include <sstream>

#include "platform/ini.h"
#include "platform/machine.h"
#include "platform/paths.h"

namespace platform {
namespace {

struct Cache {
  std::filesystem::path root;
  std::string description;  // machine.ini as last read
  SystemFacts facts;
  bool overridden = false;
};

Cache& cache() {
  static Cache c;
  return c;
}

std::string readMachineDescription() {
  std::ifstream in(machineRoot() / "machine.ini", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void readNumber(std::string_view text, const char* key, std::uint32_t& field) {
  const auto value = ini::lookup(text, "System", key);
  if (!value) return;
  std::uint32_t parsed = 0;
  const auto [end, error] = std::from_chars(value->data(), value->data() + value->size(), parsed);
  if (error == std::errc() && end == value->data() + value->size()) field = parsed;
}

void readNumber(std::string_view text, const char* key, int& field) {
  std::uint32_t value = static_cast<std::uint32_t>(field);
  readNumber(text, key, value);
  field = static_cast<int>(value);
}

void readText(std::string_view text, const char* key, std::string& field) {
  if (auto value = ini::lookup(text, "System", key)) field = std::move(*value);
}

std::string withoutTrailingBackslash(std::string folder) {
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

SystemFacts readSystemFacts(std::string_view text) {
  SystemFacts f;
  readNumber(text, "Platform", f.platformId);
  readNumber(text, "MajorVersion", f.majorVersion);
  readNumber(text, "MinorVersion", f.minorVersion);
  readNumber(text, "BuildNumber", f.buildNumber);
  readText(text, "CSDVersion", f.csdVersion);
  readNumber(text, "ProcessorArchitecture", f.processorArchitecture);
  readNumber(text, "ProcessorType", f.processorType);
  readNumber(text, "ProcessorLevel", f.processorLevel);
  readNumber(text, "ProcessorRevision", f.processorRevision);
  readNumber(text, "NumberOfProcessors", f.numberOfProcessors);
  readNumber(text, "ActiveProcessorMask", f.activeProcessorMask);
  readNumber(text, "PageSize", f.pageSize);
  readNumber(text, "MemoryLoad", f.memoryLoad);
  readNumber(text, "TotalPhysicalMemory", f.totalPhys);
  readNumber(text, "AvailablePhysicalMemory", f.availPhys);
  readNumber(text, "TotalPageFile", f.totalPageFile);
  readNumber(text, "AvailablePageFile", f.availPageFile);
  readNumber(text, "TotalVirtual", f.totalVirtual);
  readNumber(text, "AvailableVirtual", f.availVirtual);
  readNumber(text, "KeyboardType", f.keyboardType);
  readNumber(text, "KeyboardSubtype", f.keyboardSubtype);
  readNumber(text, "FunctionKeys", f.functionKeys);
  readText(text, "ComputerName", f.computerName);
  readText(text, "UserName", f.userName);
  readText(text, "WindowsDir", f.windowsDirectory);
  readText(text, "SystemDir", f.systemDirectory);
  readText(text, "TempDir", f.tempPath);
  return f;
}

const SystemFacts& systemFacts() {
  auto& c = cache();
  if (!machineOpen()) {
    if (!c.overridden) c.facts = SystemFacts{};
    return c.facts;
  }
  if (c.root != machineRoot()) {
    c = Cache{};
    c.root = machineRoot();
  }
  if (!c.overridden) {
    auto description = readMachineDescription();
    if (description != c.description || c.description.empty()) {
      c.facts = readSystemFacts(description);
      c.description = std::move(description);
    }
  }
  return c.facts;
}

void setSystemFacts(const SystemFacts& facts) {
  auto& c = cache();
  if (machineOpen()) c.root = machineRoot();
  c.facts = facts;
  c.overridden = true;
}

void resetSystemFacts() { cache() = Cache{}; }

bool getVersionEx(OsVersionInfo& info) {
  const auto& f = systemFacts();
  info = {f.majorVersion, f.minorVersion, f.buildNumber, f.platformId, f.csdVersion};
  return true;
}

void getSystemInfo(SystemInfo& info) {
  const auto& f = systemFacts();
  info = {f.processorArchitecture, f.pageSize,       f.activeProcessorMask, f.numberOfProcessors,
          f.processorType,         f.processorLevel, f.processorRevision};
}

void globalMemoryStatus(MemoryStatus& status) {
  const auto& f = systemFacts();
  status = {32,
            f.memoryLoad,
            f.totalPhys,
            f.availPhys,
            f.totalPageFile,
            f.availPageFile,
            f.totalVirtual,
            f.availVirtual};
}

int getKeyboardType(int which) {
  const auto& f = systemFacts();
  switch (which) {
    case 0: return f.keyboardType;
    case 1: return f.keyboardSubtype;
    case 2: return f.functionKeys;
    default: return 0;
  }
}

bool getComputerName(std::string& name) {
  name = systemFacts().computerName;
  return !name.empty();
}

bool getUserName(std::string& name) {
  name = systemFacts().userName;
  return !name.empty();
}

std::string getTempPath() { return withTrailingBackslash(systemFacts().tempPath); }

std::string getWindowsDirectory() { return withoutTrailingBackslash(systemFacts().windowsDirectory); }

std::string getSystemDirectory() { return withoutTrailingBackslash(systemFacts().systemDirectory); }

}  // namespace platform
