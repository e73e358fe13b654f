#include "support/test_machine.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>

#include "platform/error.h"
#include "platform/machine_ini.h"

namespace fs = std::filesystem;

namespace testsupport {

namespace {
fs::path freshRoot() {
  static std::atomic<int> counter{0};
  fs::path base = fs::temp_directory_path() / "kelvaran-tests";
  fs::create_directories(base);
  for (;;) {
    fs::path candidate = base / ("machine-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
                                 "-" + std::to_string(std::rand() % 100000));
    if (!fs::exists(candidate)) return candidate;
  }
}
}  // namespace

int errorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const platform::RuntimeError& e) {
    return e.number();
  }
  return 0;
}

fs::path demoTemplate() {
  if (const char* src = std::getenv("KELVARAN_SOURCE_DIR"); src && *src)
    return fs::path(src) / "demo" / "machine";
  return fs::path(KELVARAN_SOURCE_DIR) / "demo" / "machine";
}

TestMachine::TestMachine() : TestMachine(demoTemplate()) {}

TestMachine::TestMachine(const fs::path& templateDir) : root_(freshRoot()) {
  platform::createMachineFromTemplate(templateDir, root_);
  platform::openMachine(root_);
}

TestMachine::~TestMachine() {
  if (platform::machineOpen() && platform::machineRoot() == fs::absolute(root_).lexically_normal())
    platform::closeMachine();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

fs::path TestMachine::host(std::string_view windowsPath) const { return platform::hostPath(windowsPath); }

void TestMachine::mkdirs(std::string_view windowsPath) {
  std::string full = platform::fullPath(windowsPath);
  std::string partial;
  std::size_t start = full.rfind(':', 2) == 1 ? 3 : 0;
  if (full.rfind("\\\\", 0) == 0) {
    std::size_t server = full.find('\\', 2);
    start = full.find('\\', server + 1);
    start = start == std::string::npos ? full.size() : start + 1;
  }
  for (std::size_t pos = start; pos <= full.size(); ++pos) {
    if (pos == full.size() || full[pos] == '\\') {
      partial = full.substr(0, pos);
      if (pos > start && !platform::folderExists(partial)) platform::mkDir(partial);
    }
  }
}

void TestMachine::write(std::string_view windowsPath, std::string_view bytes) {
  std::string full = platform::fullPath(windowsPath);
  std::size_t slash = full.rfind('\\');
  if (slash != std::string::npos && slash > 2) mkdirs(full.substr(0, slash));
  platform::writeFile(full, bytes);
}

std::string TestMachine::read(std::string_view windowsPath) const { return platform::readFile(windowsPath); }

bool TestMachine::exists(std::string_view windowsPath) const { return platform::pathExists(windowsPath); }

void TestMachine::remove(std::string_view windowsPath) {
  if (!platform::pathExists(windowsPath)) return;
  fs::path h = platform::hostPath(windowsPath);
  std::error_code ec;
  fs::remove_all(h, ec);
  // The metadata of the removed entries is dropped when the folder is next listed.
  std::string full = platform::fullPath(windowsPath);
  std::size_t slash = full.rfind('\\');
  if (slash != std::string::npos)
    platform::findFiles(full.substr(0, slash + 1) + "*.*", 0x3F & ~platform::kVolume);
}

void TestMachine::setAttributes(std::string_view windowsPath, int attributes) {
  platform::setAttr(windowsPath, attributes);
}

void TestMachine::setFact(std::string_view section, std::string_view key, std::string_view value) {
  fs::path file = root_ / "machine.ini";
  auto ini = platform::detail::KeyFile::load(file);
  ini.set(section, key, value);
  ini.save(file);
  reopen();
}

void TestMachine::setDrive(char drive, std::string_view key, std::string_view value) {
  setFact(std::string("Drive ") + drive, key, value);
}

void TestMachine::setSystem(std::string_view key, std::string_view value) { setFact("System", key, value); }

void TestMachine::removeDrive(char drive) {
  fs::path file = root_ / "machine.ini";
  auto ini = platform::detail::KeyFile::load(file);
  ini.removeSection(std::string("Drive ") + drive);
  ini.save(file);
  reopen();
}

void TestMachine::leaveFree(char drive, std::int64_t bytes) {
  const std::string root = std::string(1, drive) + ":\\";
  const std::int64_t used = platform::totalBytes(root) - platform::freeBytes(root);
  setDrive(drive, "Capacity", std::to_string(used + bytes));
}

std::string incompressibleBytes(std::size_t size) {
  std::string bytes(size, '\0');
  std::uint32_t x = 2463534242u;
  for (char& c : bytes) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    c = static_cast<char>(x);
  }
  return bytes;
}

std::string TestMachine::addMedium(const platform::MediumSpec& spec, char insertInto) {
  std::string name = platform::createMedium(spec);
  if (insertInto) platform::insertMedium(insertInto, name);
  return name;
}

void TestMachine::insert(char drive, std::string_view medium) { platform::insertMedium(drive, medium); }

void TestMachine::eject(char drive) { platform::ejectMedium(drive); }

void TestMachine::reopen() { platform::openMachine(root_); }

}  // namespace testsupport
