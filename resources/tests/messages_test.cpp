// The compiled-in message table and help topics: the table is well formed, its
// texts are exact to the byte, every id the program asks for is in it, and every
// help context has a topic.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resources/help_contexts.h"

namespace {

namespace fs = std::filesystem;

std::string readResource(const char* path) {
  QFile file(QString::fromLatin1(path));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool resourceExists(const std::string& path) { return QFile::exists(QString::fromLatin1(path.c_str())); }

// Bytes that are not characters in Windows-1252.
bool undefinedIn1252(unsigned char c) {
  return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

struct Table {
  std::map<int, std::string> texts;
  std::vector<std::string> errors;
};

// Reads the table the way the program's loader is told to by the file's header.
Table parseTable(const std::string& bytes) {
  Table table;
  if (bytes.empty() || bytes.back() != '\n') table.errors.push_back("the file does not end with a line feed");
  std::istringstream in(bytes);
  std::string line;
  int lineNo = 0;
  int previousId = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab == std::string::npos || tab == 0 || line.find_first_not_of("0123456789") != tab) {
      table.errors.push_back(where + "not <id><TAB><text>");
      continue;
    }
    const int id = std::stoi(line.substr(0, tab));
    if (!((id >= 1000 && id <= 1602) || (id >= 2000 && id <= 2011)))
      table.errors.push_back(where + "id " + std::to_string(id) + " out of range");
    if (id <= previousId) table.errors.push_back(where + "id " + std::to_string(id) + " not ascending");
    previousId = id;
    std::string text;
    for (size_t i = tab + 1; i < line.size(); ++i) {
      const auto c = static_cast<unsigned char>(line[i]);
      if (c < 0x20 || c == 0x7F || undefinedIn1252(c)) {
        table.errors.push_back(where + "raw control or undefined byte " + std::to_string(c));
      } else if (c != '\\') {
        text += static_cast<char>(c);
      } else if (i + 1 == line.size()) {
        table.errors.push_back(where + "backslash at the end of the line");
      } else {
        switch (line[++i]) {
          case '\\': text += '\\'; break;
          case 't': text += '\t'; break;
          case 'r': text += '\r'; break;
          case 'n': text += '\n'; break;
          default: table.errors.push_back(where + "unknown escape \\" + line[i]);
        }
      }
    }
    table.texts[id] = text;
  }
  return table;
}

const Table& messageTable() {
  static const Table table = parseTable(readResource(":/kelvaran/messages.txt"));
  return table;
}

std::string msg(int id) {
  const auto& texts = messageTable().texts;
  const auto found = texts.find(id);
  return found == texts.end() ? "<missing " + std::to_string(id) + ">" : found->second;
}

fs::path sourceRoot() {
  if (const char* env = std::getenv("KELVARAN_SOURCE_DIR"); env && *env) return env;
#ifdef KELVARAN_SOURCE_DIR
  return KELVARAN_SOURCE_DIR;
#else
  return {};
#endif
}

struct Use {
  std::string file;
  int line;
  int id;
};

// Literal ids passed to the given calls in the program's sources under root/src
// (tests excluded: they may ask for ids that must not exist).
std::vector<Use> scanSources(const fs::path& root, const std::vector<std::regex>& calls) {
  std::vector<Use> uses;
  const fs::path src = root / "src";
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& path = entry.path();
    if (path.extension() != ".cpp" && path.extension() != ".h") continue;
    bool inTests = false;
    for (const auto& part : fs::relative(path, src)) inTests = inTests || part == "tests";
    if (inTests) continue;
    std::ifstream in(path);
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
      for (const auto& call : calls) {
        for (std::sregex_iterator m(line.begin(), line.end(), call), end; m != end; ++m)
          uses.push_back({fs::relative(path, root).string(), lineNo, std::stoi((*m)[1].str())});
      }
    }
  }
  return uses;
}

// loadResString(<id>) with any literal; res(<id>) only with a message-sized literal,
// so that an unrelated res(3) does not count.
const std::vector<std::regex>& messageCalls() {
  static const std::vector<std::regex> calls{std::regex(R"(\bloadResString\s*\(\s*(\d+)\s*\))"),
                                             std::regex(R"(\bres\s*\(\s*(\d{4,})\s*\))")};
  return calls;
}

const std::vector<std::regex>& helpContextCalls() {
  static const std::vector<std::regex> calls{std::regex(R"([Hh]elpContext\w*\s*\(\s*(\d+)\s*\))")};
  return calls;
}

TEST(MessageTable, ParsesWithIdsUniqueAscendingAndInRange) {
  const Table& table = messageTable();
  ASSERT_FALSE(table.texts.empty()) << "the table is not compiled in at :/kelvaran/messages.txt";
  EXPECT_TRUE(table.errors.empty()) << ::testing::PrintToString(table.errors);
}

TEST(MessageTable, TextsAreExactToTheByte) {
  const std::vector<std::pair<int, std::string>> cases{
      // titles and the free-slot marker the pages compare against
      {1005, "Warning!"},
      {1009, "Confirmation"},
      {1010, "available"},
      {1011, "Message"},
      {1006, "None"},
      // leading and trailing blanks
      {1015, " "},
      {1113, " "},
      {1019, " Please wait..."},
      {1018, "Restoring Configuration. "},
      {1053, "The Kelvaran Rescue Disk Wizard will help you create a bootable Rescue Disk, "},
      {1063, " now and label it KELVARAN RESCUE DISK NO."},
      {1075, "Please store your Rescue Disks in a safe place "},
      {1112, "Configuration will be saved at: "},
      {1121, "searching for "},
      {1136, "Other Files "},
      {1173, " seconds"},
      {1196, " now!"},
      {1216, "User-defined Files - Total Files: "},
      {1246, "Wrong disk inserted "},
      {1247, " not found!"},
      {1300, "Compression "},
      {1322, "Removing: "},
      {1502, "Configuration "},
      {1503, "Save as Configuration # "},
      // accelerators, quotes, brackets and inner runs of blanks
      {1529, "De&lete"},
      {1538, "A&ll"},
      {1105, "< &Back"},
      {1104, "&Next >"},
      {1239, "Con&tents..."},
      {1057, "Please insert a blank, formatted 3.5'' floppy disk into your disk drive."},
      {1031, "Only 'A-Z' and '0-9' (without spaces) are allowed!"},
      {1120, "All Files (*.*)|*.*|INI Files (*.ini)|*.ini|DAT Files (*.dat)|*.dat|"},
      {1261, "No. Description       Date       Time"},
      {1142, "The disk in the disk drive (A:) is not [RESCUE DISK NO.2]"},
      {1159, "@Echo Off"},
      {1164, "Echo Please insert now [RESCUE DISK No.2]!"},
      // the program's own spelling is kept
      {1034, "Configuration saved successfull!"},
      {1533, "Program Infomation:"},
      {1153, "Windows Adressbook"},
      {2007, "To many files"},
      {1271, "Jan"},
      {1282, "Dec"},
      {2011, "Error while accessing file/directory"},
  };
  for (const auto& [id, text] : cases) EXPECT_EQ(msg(id), text) << "message " << id;
}

TEST(MessageTable, ComposedTextsReadAsTheUserSeesThem) {
  const char cr = '\r';
  const std::vector<std::pair<std::string, std::string>> cases{
      {msg(1018) + msg(1019), "Restoring Configuration.  Please wait..."},
      {msg(1032) + " " + msg(1019), "Saving your Configuration.  Please wait..."},
      {msg(1519) + " " + msg(1502) + msg(1019), "Restore Configuration  Please wait..."},
      {msg(1095) + msg(1118) + msg(1019), "Copying...[Current Configuration] Please wait..."},
      {msg(1195) + " 2" + msg(1196), "Please insert Disk No. 2 now!"},
      {msg(1062) + " 1" + msg(1063) + " 1",
       "Please remove Disk No. 1 now and label it KELVARAN RESCUE DISK NO. 1"},
      {msg(1502) + " 3:", "Configuration  3:"},
      {msg(1503) + "3", "Save as Configuration # 3"},
      {msg(1216) + " 12", "User-defined Files - Total Files:  12"},
      {msg(1121) + " Autoexec.bat", "searching for  Autoexec.bat"},
      {msg(1172) + " 5" + msg(1173), "SmartSave starts in  5 seconds"},
      {msg(1312) + "  12 *.doc " + msg(1313), "Kelvaran has found  12 *.doc files."},
      {msg(1322) + " 4" + msg(1323), "Removing:  4file(s)"},
      {msg(1155) + " C:\\a.txt " + msg(1156), "User File C:\\a.txt not found!"},
      {msg(1246) + "A:\\Conf1.kv2" + msg(1247), "Wrong disk inserted A:\\Conf1.kv2 not found!"},
      {msg(1064) + cr + cr + msg(1081), "File not found!\r\rIgnore?"},
      {msg(1054) + msg(1055),
       "containing important System Files.With this Boot Disk you can try to restore your "
       "System Configuration in the event of a Windows Operating System failure, or other "
       "system failure."},
  };
  for (const auto& [composed, expected] : cases) EXPECT_EQ(composed, expected);
}

TEST(MessageTable, NoticesLeftToUsNameOurProgramAndMaker) {
  EXPECT_NE(msg(1099).find("Tavrine Software"), std::string::npos) << msg(1099);
  EXPECT_NE(msg(1158).find("Info-ZIP"), std::string::npos) << msg(1158);
  EXPECT_NE(msg(1158).find("ftp://"), std::string::npos) << msg(1158);
  EXPECT_NE(msg(1158).find("http://"), std::string::npos) << msg(1158);
}

TEST(MessageTable, EveryIdTheProgramAsksForExists) {
  const fs::path root = sourceRoot();
  ASSERT_TRUE(fs::is_directory(root / "src"))
      << "KELVARAN_SOURCE_DIR does not name the source tree: " << root;
  for (const Use& use : scanSources(root, messageCalls()))
    EXPECT_EQ(messageTable().texts.count(use.id), 1u)
        << use.file << ":" << use.line << " asks for message " << use.id;
}

TEST(SourceScan, FindsLiteralIdsOutsideTests) {
  const fs::path root = fs::temp_directory_path() / ("kelvaran_scan_" + std::to_string(::getpid()));
  fs::create_directories(root / "src" / "ui" / "tests");
  std::ofstream(root / "src" / "ui" / "page.cpp")
      << "label.setCaption(\"&\" + forms::loadResString(1518));\n"
      << "auto t = res( 1195 ) + Str(n) + res(1196);\n"
      << "std::vector<int> res(3); loadResString(1270 + month);\n";
  std::ofstream(root / "src" / "ui" / "page.h") << "inline void f() { setHelpContextId(2030); }\n";
  std::ofstream(root / "src" / "ui" / "tests" / "page_test.cpp")
      << "loadResString(9999); setHelpContextId(1);\n";
  std::ofstream(root / "src" / "ui" / "notes.txt") << "loadResString(8888)\n";

  std::multiset<int> ids;
  for (const Use& use : scanSources(root, messageCalls())) ids.insert(use.id);
  std::multiset<int> contexts;
  for (const Use& use : scanSources(root, helpContextCalls())) contexts.insert(use.id);
  fs::remove_all(root);

  EXPECT_EQ(ids, (std::multiset<int>{1518, 1195, 1196}));
  EXPECT_EQ(contexts, (std::multiset<int>{2030}));
}

std::string titleOf(const std::string& html) {
  std::smatch m;
  return std::regex_search(html, m, std::regex("<title>([^<]*)</title>")) ? m[1].str() : std::string();
}

std::map<int, std::string> helpIndex() {
  std::map<int, std::string> index;
  std::istringstream in(readResource(":/kelvaran/help/index.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    if (tab != std::string::npos) index[std::stoi(line.substr(0, tab))] = line.substr(tab + 1);
  }
  return index;
}

std::string topicPath(int id) { return ":/kelvaran/help/" + std::to_string(id) + ".html"; }

TEST(HelpTopics, EveryContextHasATitledTopicListedInTheIndex) {
  const std::map<int, std::string> index = helpIndex();
  std::set<int> contexts(resources::kAllHelpContexts.begin(), resources::kAllHelpContexts.end());
  EXPECT_EQ(contexts.size(), resources::kAllHelpContexts.size()) << "duplicate help context id";
  for (int id : contexts) {
    const std::string html = readResource(topicPath(id).c_str());
    ASSERT_FALSE(html.empty()) << "no topic " << topicPath(id);
    EXPECT_FALSE(titleOf(html).empty()) << "topic " << id << " has no title";
    EXPECT_EQ(index.count(id) ? index.at(id) : "<not in index>", titleOf(html)) << "topic " << id;
  }
  for (const auto& [id, title] : index)
    EXPECT_EQ(contexts.count(id), 1u) << "index lists unknown topic " << id;
}

TEST(HelpTopics, ContextsTheProgramSetsHaveTopics) {
  const fs::path root = sourceRoot();
  ASSERT_TRUE(fs::is_directory(root / "src")) << root;
  for (const Use& use : scanSources(root, helpContextCalls()))
    EXPECT_TRUE(resourceExists(topicPath(use.id)))
        << use.file << ":" << use.line << " sets help context " << use.id;
}

TEST(HelpTopics, LinksBetweenTopicsResolve) {
  const std::regex link(R"(href="([^"]*)\")");
  for (int id : resources::kAllHelpContexts) {
    const std::string html = readResource(topicPath(id).c_str());
    for (std::sregex_iterator m(html.begin(), html.end(), link), end; m != end; ++m)
      EXPECT_TRUE(resourceExists(":/kelvaran/help/" + (*m)[1].str()))
          << "topic " << id << " links to " << (*m)[1];
  }
}

}  // namespace
