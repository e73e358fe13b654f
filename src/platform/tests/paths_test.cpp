#include "platform/paths.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace platform {
namespace {

std::string folderOf(char drive) { return drive == 'C' ? "\\WINDOWS\\SYSTEM" : "\\"; }

std::string absolute(std::string_view path, bool wildcards = false) {
  return parseWindowsPath(path, 'C', folderOf, wildcards).text();
}

int errorOf(std::string_view path) {
  try {
    absolute(path);
  } catch (const RuntimeError& e) {
    return e.number();
  }
  return 0;
}

TEST(Paths, AbsoluteFormAgainstTheCurrentDriveAndFolders) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\WINDOWS\\WIN.INI", "C:\\WINDOWS\\WIN.INI"},
      {"c:\\windows\\", "C:\\windows"},
      {"WIN.INI", "C:\\WINDOWS\\SYSTEM\\WIN.INI"},
      {"..\\WIN.INI", "C:\\WINDOWS\\WIN.INI"},
      {"\\AUTOEXEC.BAT", "C:\\AUTOEXEC.BAT"},
      {"C:KERNEL32.DLL", "C:\\WINDOWS\\SYSTEM\\KERNEL32.DLL"},
      {"a:", "A:\\"},
      {"A:FILE", "A:\\FILE"},
      {"C:\\..\\..\\X", "C:\\X"},
      {"C:\\A\\.\\B\\..\\C", "C:\\A\\C"},
      {"C:/Program Files//Kelvaran", "C:\\Program Files\\Kelvaran"},
      {"\\\\FileServer\\Backup\\Kelvaran\\..\\..", "\\\\FileServer\\Backup\\"},
      {"\\\\SRV\\SHARE\\a\\b", "\\\\SRV\\SHARE\\a\\b"},
      {"C:\\trailing.", "C:\\trailing"},  // a name loses the dots and blanks it ends in
      {"C:\\Dir. \\name..", "C:\\Dir\\name"},
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(absolute(given), expected) << given;
}

TEST(Paths, ATrailingBackslashIsAddedOnlyToAFolderThatLacksOne) {
  const std::pair<const char*, const char*> cases[] = {
      {"C:\\KELVARAN", "C:\\KELVARAN\\"},
      {"C:\\KELVARAN\\", "C:\\KELVARAN\\"},
      {"C:", "C:\\"},
      {"C:\\", "C:\\"},
      {"\\\\SRV\\SHARE", "\\\\SRV\\SHARE\\"},
      {"", ""},  // no folder: never the drive root "\"
  };
  for (const auto& [given, expected] : cases) EXPECT_EQ(withTrailingBackslash(given), expected) << given;
}

TEST(Paths, ForbiddenNamesAreRefusedWith52) {
  for (const char* bad : {"C:\\a*b", "C:\\a?", "C:\\x<y", "C:\\x>y", "C:\\x|y", "C:\\x\"y", "C:\\a\\b:c",
                          "C:\\...", "C:\\. .", "C:\\ctl\x01", "", "\\\\server", "1:\\x"})
    EXPECT_EQ(errorOf(bad), kBadFileNameOrNumber) << bad;
  EXPECT_EQ(errorOf(std::string("C:\\a\0b", 6)), kBadFileNameOrNumber);
}

TEST(Paths, WildcardsOnlyInTheLastPartOfASearchPattern) {
  EXPECT_EQ(absolute("C:\\WINDOWS\\*.INI", true), "C:\\WINDOWS\\*.INI");
  EXPECT_THROW(absolute("C:\\WIN*\\WIN.INI", true), RuntimeError);
  EXPECT_TRUE(isForbiddenName("a*", false));
  EXPECT_FALSE(isForbiddenName("a*", true));
}

}  // namespace
}  // namespace platform
