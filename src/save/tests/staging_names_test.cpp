// Pure name rules of the staging: which list items can be staged and where.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "save/staging.h"

namespace save {
namespace {

TEST(StagingNames, ItemsThatCannotBeStaged) {
  const char* refused[] = {
      "",          "docs\\a.txt",          "\\docs\\a.txt",       "C:docs\\a.txt", "C:\\",
      "1:\\a.txt", "C:\\docs\\..\\a.txt",  "C:\\.\\a.txt",        "C:\\docs\\\\a", "C:\\a=b.txt",
      "C:\\..",    "\\\\SERVER\\S\\a.txt", "C:\\docs\\a.txt\\..",
  };
  for (const char* item : refused) EXPECT_NE(UserFileProblem(item), "") << item;
  const char* accepted[] = {"C:\\docs\\a.txt", "d:\\x", "C:\\My Documents\\Brief.doc", "C:\\a..b\\c.txt"};
  for (const char* item : accepted) EXPECT_EQ(UserFileProblem(item), "") << item;
}

TEST(StagingNames, StagedCopiesKeepTheirFoldersAndNeverCollide) {
  const std::string user = "C:\\WINDOWS\\TEMP\\kelvaran\\User\\";
  std::set<std::string> taken;
  EXPECT_EQ(StagedUserPath(user, "C:\\docs\\a.txt", taken), user + "docs\\a.txt");
  taken.insert("C:\\WINDOWS\\TEMP\\KELVARAN\\USER\\DOCS\\A.TXT");
  EXPECT_EQ(StagedUserPath(user, "d:\\Docs\\A.txt", taken), user + "_D\\Docs\\A.txt");
  taken.insert("C:\\WINDOWS\\TEMP\\KELVARAN\\USER\\_D\\DOCS\\A.TXT");
  EXPECT_EQ(StagedUserPath(user, "D:\\docs\\a.txt", taken), user + "_D2\\docs\\a.txt");
  EXPECT_EQ(StagedUserPath(user, "E:\\docs\\a.txt", taken), user + "_E\\docs\\a.txt");
}

}  // namespace
}  // namespace save
