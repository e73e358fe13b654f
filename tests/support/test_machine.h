#pragma once
// A small machine for one test: a fresh copy of the demo machine template
// (demo/machine of the source tree) in a temporary folder, opened as the
// current machine, and removed again when the fixture goes away.
//
//   testsupport::TestMachine m;                 // demo Windows 98 SE machine, drive C: current
//   m.write("C:\\WINDOWS\\WIN.INI", "[windows]\r\n");
//   m.setDrive('C', "Capacity", "2000000");       // any key of the drive's machine.ini section
//   std::string disk = m.addMedium({.label = "SAVE#1"}, 'A');  // a new medium, inserted in A:
//
// Every change to the machine description reopens the machine, so the layer
// sees it at once. Windows paths throughout, as the program uses them.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/machine.h"

namespace testsupport {

class TestMachine {
 public:
  // Copies the template and opens the copy. `templateDir` defaults to
  // $KELVARAN_SOURCE_DIR/demo/machine.
  TestMachine();
  explicit TestMachine(const std::filesystem::path& templateDir);
  ~TestMachine();
  TestMachine(const TestMachine&) = delete;
  TestMachine& operator=(const TestMachine&) = delete;

  const std::filesystem::path& root() const { return root_; }
  // Host path of a Windows path on this machine (see platform::hostPath).
  std::filesystem::path host(std::string_view windowsPath) const;

  // Files through the layer; write() creates missing parent folders first.
  void write(std::string_view windowsPath, std::string_view bytes);
  std::string read(std::string_view windowsPath) const;
  bool exists(std::string_view windowsPath) const;  // file or folder
  void mkdirs(std::string_view windowsPath);        // every missing folder of the path
  void remove(std::string_view windowsPath);        // a file or a whole folder tree, attributes ignored
  void setAttributes(std::string_view windowsPath, int attributes);

  // The machine description (machine.ini in the root): set one key of a
  // section ("Drive C", "System", ...) and reopen. An empty value removes it.
  void setFact(std::string_view section, std::string_view key, std::string_view value);
  void setDrive(char drive, std::string_view key, std::string_view value);
  void setSystem(std::string_view key, std::string_view value);
  // Removes a drive letter from the machine.
  void removeDrive(char drive);
  // Sets a fixed drive's capacity so that `bytes` (rounded down to whole
  // clusters) are free now.
  void leaveFree(char drive, std::int64_t bytes);

  // Removable media: create one on the shelf (optionally inserted at once).
  std::string addMedium(const platform::MediumSpec& spec, char insertInto = 0);
  void insert(char drive, std::string_view medium);
  void eject(char drive);

  // Re-reads the machine from disk (after editing root files directly).
  void reopen();

 private:
  std::filesystem::path root_;
};

// The runtime error number `call` raises (0 when it raises none).
int errorOf(const std::function<void()>& call);

// Bytes zip cannot make smaller (the same for a given size).
std::string incompressibleBytes(std::size_t size);

// The demo machine template of the source tree.
std::filesystem::path demoTemplate();

}  // namespace testsupport
