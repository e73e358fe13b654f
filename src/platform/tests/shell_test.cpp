// Shell services: opening a web address, the folder browser's model and the
// format of a removable disk.
#include "platform/shell.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/files.h"
#include "support/test_machine.h"

namespace {

TEST(ShellExecute, OpensOnlyWebAddressesThroughTheOpener) {
  struct Case {
    const char* verb;
    const char* file;
    const char* opener;
    int code;
  };
  const Case cases[] = {
      {"open", "http://www.example.com/tvx/kelv/eng/2.5.htm", "/bin/true", platform::kSeOk},
      {"", "HTTPS://www.example.com/", "/bin/true", platform::kSeOk},
      {"open", "http://www.example.com/", "/bin/false", platform::kSeErrNoAssociation},
      {"open", "http://www.example.com/", "/nonexistent/xdg-open", platform::kSeErrNoAssociation},
      {"print", "http://www.example.com/", "/bin/true", platform::kSeErrNoAssociation},
      {"open", "C:\\README.TXT", "/bin/true", platform::kSeErrNoAssociation},
      {"open", "-h", "/bin/true", platform::kSeErrNoAssociation},
      {"open", "http://a b/", "/bin/true", platform::kSeErrNoAssociation},
      {"open", "http://a/\nb", "/bin/true", platform::kSeErrNoAssociation},
  };
  for (const Case& c : cases) {
    platform::setUrlOpener(c.opener);
    const platform::ShellResult result = platform::shellExecute(c.verb, c.file);
    EXPECT_EQ(result.code, c.code) << c.verb << " " << c.file << " " << c.opener;
    EXPECT_EQ(result.ok(), result.error.empty()) << c.file;
  }
  platform::setUrlOpener("");
}

platform::MediumSpec medium(std::string label, bool formatted = true, bool writeProtected = false) {
  platform::MediumSpec spec;
  spec.label = std::move(label);
  spec.formatted = formatted;
  spec.writeProtected = writeProtected;
  return spec;
}

class ShellMachineTest : public ::testing::Test {
 protected:
  testsupport::TestMachine m;
};

TEST_F(ShellMachineTest, BrowserListsDrivesAndSortedFolders) {
  m.mkdirs(R"(C:\BROWSE\beta)");
  m.mkdirs(R"(C:\BROWSE\Alpha)");
  m.mkdirs(R"(C:\BROWSE\Hidden)");
  m.setAttributes(R"(C:\BROWSE\Hidden)", platform::kDirectory | platform::kHidden);
  m.write(R"(C:\BROWSE\file.txt)", "not a folder");

  const auto roots = platform::browseRoots();
  const auto c = std::find_if(roots.begin(), roots.end(), [](const auto& r) { return r.path == "C:\\"; });
  ASSERT_NE(c, roots.end());
  EXPECT_TRUE(c->ready);
  EXPECT_EQ(c->name.substr(c->name.size() - 4), "(C:)");

  m.mkdirs(R"(N:\Shared)");
  const auto share =
      std::find_if(roots.begin(), roots.end(), [](const auto& r) { return r.path[0] == '\\'; });
  ASSERT_NE(share, roots.end());  // a network drive's share, as a UNC path
  EXPECT_EQ(share->name, share->path);
  const auto shared = platform::browseFolders(share->path);
  EXPECT_TRUE(std::any_of(shared.begin(), shared.end(),
                          [&](const auto& f) { return f.path == share->path + "\\Shared"; }));

  const auto folders = platform::browseFolders(R"(C:\BROWSE)");
  std::vector<std::string> names, paths;
  for (const auto& f : folders) names.push_back(f.name), paths.push_back(f.path);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Hidden"}));
  EXPECT_EQ(paths.front(), R"(C:\BROWSE\Alpha)");
  EXPECT_TRUE(platform::browseFolders(R"(C:\NOSUCH)").empty());
  const auto rootFolders = platform::browseFolders("C:\\");
  EXPECT_TRUE(std::any_of(rootFolders.begin(), rootFolders.end(),
                          [](const auto& f) { return f.path == R"(C:\BROWSE)"; }));
}

TEST_F(ShellMachineTest, ADriveWithoutMediumIsNotReady) {
  m.eject('A');
  const auto roots = platform::browseRoots();
  const auto a = std::find_if(roots.begin(), roots.end(), [](const auto& r) { return r.path == "A:\\"; });
  ASSERT_NE(a, roots.end());
  EXPECT_FALSE(a->ready);
  EXPECT_EQ(a->name, "(A:)");
  try {
    platform::browseFolders("A:\\");
    ADD_FAILURE() << "no error for an empty drive";
  } catch (const platform::RuntimeError& e) {
    EXPECT_EQ(e.number(), platform::kDiskNotReady);
  }
}

TEST(VolumeLabel, FollowsTheFatRules) {
  for (const char* ok : {"", "SAVE#1", "BOOT#1", "A B C D E F"})
    EXPECT_EQ(platform::volumeLabelProblem(ok), "") << ok;
  for (const char* bad : {"TWELVE CHARS", "A.B", "A*", "A?", "A/B", "A\\B", "A|B", "A,B", "A;B", "A:B", "A+B",
                          "A=B", "A[B", "A]B", "A<B", "A>B", "A\"B", "A\tB"})
    EXPECT_NE(platform::volumeLabelProblem(bad), "") << bad;
}

TEST_F(ShellMachineTest, QuickFormatErasesFilesAndSetsTheLabel) {
  m.addMedium(medium("OLD"), 'A');
  m.write(R"(A:\CONF1.KV1)", "part");
  m.mkdirs(R"(A:\FOLDER)");
  const platform::FormatResult result = platform::formatDisk({'A', true, "save#1"});
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_FALSE(m.exists(R"(A:\CONF1.KV1)"));
  EXPECT_FALSE(m.exists(R"(A:\FOLDER)"));
  std::string label;
  std::uint32_t serial = 0;
  ASSERT_TRUE(platform::volumeInformation("A:\\", label, serial));
  EXPECT_EQ(label, "SAVE#1");
  EXPECT_EQ(result.freeBytes, result.totalBytes);
  EXPECT_GT(result.totalBytes, 1000000);
}

TEST_F(ShellMachineTest, OnlyAFullFormatMakesABlankMediumUsable) {
  m.addMedium(medium("", false), 'A');
  EXPECT_FALSE(platform::formatDisk({'A', true, ""}).ok);
  const platform::FormatResult full = platform::formatDisk({'A', false, ""});
  ASSERT_TRUE(full.ok) << full.error;
  platform::writeFile(R"(A:\X.TXT)", "usable");
  EXPECT_EQ(m.read(R"(A:\X.TXT)"), "usable");
}

TEST_F(ShellMachineTest, FormatRefusesWhatItCannotFormat) {
  m.addMedium(medium("KEEP", true, true), 'A');
  EXPECT_NE(platform::formatDisk({'A', true, ""}).error, "");
  m.eject('A');
  EXPECT_NE(platform::formatDisk({'A', false, ""}).error, "");
  EXPECT_NE(platform::formatDisk({'C', true, ""}).error, "");  // a fixed disk
  m.addMedium(medium(""), 'A');
  EXPECT_NE(platform::formatDisk({'A', true, "BAD.LABEL"}).error, "");
}

}  // namespace
