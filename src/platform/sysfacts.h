#pragma once
// System facts of the machine (stand-ins for GetVersionExA, GetSystemInfo,
// GlobalMemoryStatus, GetKeyboardType, GetComputerNameA, GetUserNameA,
// GetTempPathA, GetSystemDirectoryA and GetWindowsDirectoryA).
//
// The facts come from the [System] section of the machine description
// (machine.ini in the machine root); a key that is missing keeps the value of
// a Windows 98 SE machine given below. The description is read again when it
// changes. Tests replace every fact with setSystemFacts(), which holds until
// resetSystemFacts() or until another machine is opened.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct SystemFacts {
  // GetVersionExA (OSVERSIONINFOA)
  std::uint32_t platformId = 1;  // 0 Win32s, 1 Windows 9x, 2 Windows NT
  std::uint32_t majorVersion = 4, minorVersion = 10, buildNumber = 2222;
  std::string csdVersion = " A ";
  // GetSystemInfo (SYSTEM_INFO)
  std::uint32_t processorArchitecture = 0;  // Intel
  std::uint32_t processorType = 586;        // 386, 486, 586
  std::uint32_t processorLevel = 6, processorRevision = 2058;
  std::uint32_t numberOfProcessors = 1;
  std::uint32_t activeProcessorMask = 1;
  std::uint32_t pageSize = 4096;
  // GlobalMemoryStatus (MEMORYSTATUS), bytes
  std::uint32_t memoryLoad = 53;  // percent
  std::uint32_t totalPhys = 134217728, availPhys = 61865984;
  std::uint32_t totalPageFile = 268435456, availPageFile = 201326592;
  std::uint32_t totalVirtual = 2143289344, availVirtual = 2097152000;
  // GetKeyboardType
  int keyboardType = 4, keyboardSubtype = 0, functionKeys = 12;
  // Names and folders ("" = the machine has none: the call fails)
  std::string computerName = "DEMO98";
  std::string userName = "Jordan";
  std::string windowsDirectory = "C:\\WINDOWS";
  std::string systemDirectory = "C:\\WINDOWS\\SYSTEM";
  std::string tempPath = "C:\\WINDOWS\\TEMP\\";
};

// The keys of the machine description's [System] section, one per fact:
// Platform, MajorVersion, MinorVersion, BuildNumber, CSDVersion,
// ProcessorArchitecture, ProcessorType, ProcessorLevel, ProcessorRevision,
// NumberOfProcessors, ActiveProcessorMask, PageSize, MemoryLoad,
// TotalPhysicalMemory, AvailablePhysicalMemory, TotalPageFile,
// AvailablePageFile, TotalVirtual, AvailableVirtual, KeyboardType,
// KeyboardSubtype, FunctionKeys, ComputerName, UserName, WindowsDir,
// SystemDir, TempDir. Text values may be quoted to keep blanks
// (CSDVersion=" A ").
SystemFacts readSystemFacts(std::string_view machineIniText);

// The facts of the current machine (the defaults when no machine is open).
const SystemFacts& systemFacts();
void setSystemFacts(const SystemFacts& facts);
void resetSystemFacts();

// ---- the calls, in the shape the program uses them -------------------------
struct OsVersionInfo {
  std::uint32_t majorVersion = 0, minorVersion = 0, buildNumber = 0, platformId = 0;
  std::string csdVersion;
};
bool getVersionEx(OsVersionInfo& info);  // always succeeds

struct SystemInfo {
  std::uint32_t processorArchitecture = 0, pageSize = 0, activeProcessorMask = 0, numberOfProcessors = 0;
  std::uint32_t processorType = 0, processorLevel = 0, processorRevision = 0;
};
void getSystemInfo(SystemInfo& info);

struct MemoryStatus {
  std::uint32_t length = 32, memoryLoad = 0;
  std::uint32_t totalPhys = 0, availPhys = 0, totalPageFile = 0, availPageFile = 0;
  std::uint32_t totalVirtual = 0, availVirtual = 0;
};
void globalMemoryStatus(MemoryStatus& status);

// 0: type, 1: subtype, 2: number of function keys; 0 for any other query.
int getKeyboardType(int which);

// Names: false (and "" in `name`) when the machine has none.
bool getComputerName(std::string& name);
bool getUserName(std::string& name);

// Folders, whole (no buffer limit): "" when the machine has none. The
// temporary folder ends with "\" as GetTempPathA returns it; the Windows and
// System folders do not (a drive root keeps its "\").
std::string getTempPath();
std::string getWindowsDirectory();
std::string getSystemDirectory();

}  // namespace platform
