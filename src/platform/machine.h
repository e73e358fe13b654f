#pragma once
// The machine the program runs on: a root folder on the host that holds the
// machine description, one host folder per drive, the media of removable
// drives, the metadata (8.3 aliases, DOS attributes) and the registry file.
// The program only ever sees Windows paths; only src/platform/ maps them to
// host paths.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class DriveType : int {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6,
};

// Opens the machine rooted at `root` and makes it the current machine.
// Raises 76 when the root holds no machine description.
void openMachine(const std::filesystem::path& root);

// The root named by KELVARAN_MACHINE, or the per-user demo instance
// ($XDG_DATA_HOME or ~/.local/share)/kelvaran/demo-machine.
std::filesystem::path defaultMachineRoot();

// Copies the demo machine template (demo/machine of the source tree) to
// `root`, which must not exist yet.
void createMachineFromTemplate(const std::filesystem::path& templateDir, const std::filesystem::path& root);

bool machineOpen();
const std::filesystem::path& machineRoot();
// Closes the current machine (tests; open files keep their host handles).
void closeMachine();

// The demo machine template of the source tree: $KELVARAN_SOURCE_DIR/demo/machine,
// else found above the running executable; empty when there is none.
std::filesystem::path demoTemplateDir();
// Opens defaultMachineRoot(), creating the demo instance from the template on
// first use (only when KELVARAN_MACHINE is unset).
void openDefaultMachine();

// A value of the machine description (machine.ini): the Windows facts of
// the [System] section, the [Machine] section, or a drive's "Drive X" section.
std::string machineValue(std::string_view section, std::string_view key, std::string_view fallback = "");

// Host path of a Windows path (absolute, drive-relative, relative or UNC),
// for platform code only. Follows existing components case-insensitively and
// through 8.3 aliases; missing trailing components keep the given spelling.
// Raises 52 for forbidden names, 76 when a parent folder is missing or the
// path would leave the machine root, 71 for a drive without a medium.
std::filesystem::path hostPath(std::string_view windowsPath);

// Inverse: the Windows path of a host path inside the machine ("" if outside).
std::string windowsPath(const std::filesystem::path& host);

}  // namespace platform
