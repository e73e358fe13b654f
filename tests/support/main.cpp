// The main of every test executable: a QApplication (offscreen in tests) and GoogleTest.
//
// Each test process works in a temporary folder of its own: TMPDIR points
// there for it and for everything it starts, the children of death tests
// included, and the folder is removed when the tests end. A child that ends
// with _exit never runs its destructors; what it made (a scratch machine, an
// instance lock) goes with its parent's folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

namespace {

// Names the folder to the processes started from this one.
constexpr const char* kInherited = "KELVARAN_TEST_TMPDIR";

// A fresh folder under the system's temporary folder, made this process's
// TMPDIR; empty when this process runs in its parent's folder (or none could be made).
std::string ownTemporaryFolder() {
  const char* inherited = std::getenv(kInherited);
  const char* tmpdir = std::getenv("TMPDIR");
  if (inherited && tmpdir && std::string(inherited) == tmpdir) return {};
  std::error_code ec;
  std::string folder = (std::filesystem::temp_directory_path(ec) / "kelvaran-test-XXXXXX").string();
  if (ec || !::mkdtemp(folder.data())) return {};
  ::setenv("TMPDIR", folder.c_str(), 1);
  ::setenv(kInherited, folder.c_str(), 1);
  return folder;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scratch = ownTemporaryFolder();
  ::testing::InitGoogleTest(&argc, argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int result = 0;
  {
    QApplication app(argc, argv);
    result = RUN_ALL_TESTS();
  }
  if (!scratch.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(scratch, ec);
  }
  return result;
}
