#include "platform/registry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/test_machine.h"

namespace {

using namespace platform;

constexpr std::string_view kRegistry =
    "REGEDIT4\r\n"
    "\r\n"
    "; a comment line\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion]\r\n"
    "\"ProductName\"=\"Microsoft Windows 98\"\r\n"
    "\"SystemRoot\"=\"C:\\\\WINDOWS\"\r\n"
    "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
    "\"Empty\"=\"\"\r\n"
    "\"Count\"=dword:0000002a\r\n"
    "\"Blob\"=hex:01,ff,\\\r\n"
    "  10\r\n"
    "\"Expand\"=hex(2):25,77,69,6e,64,69,72,25,00\r\n"
    "\"Multi\"=hex(7):61,00,62,00,00\r\n"
    "\"Odd\"=hex(b):01,02\r\n"
    "@=\"the default\"\r\n"
    "\"Bad\"=dword:xyz\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Identities\\{B-2}]\r\n"
    "\"UserName\"=\"Main Identity\"\r\n"
    "[HKEY_CURRENT_USER\\Identities\\{A-1}]\r\n"
    "[HKEY_CURRENT_USER\\Identities\\{B-2}\\Software]\r\n"
    "[HKEY_CURRENT_USER\\Identities\\Third identity key\\]\r\n"
    "[HKEY_CURRENT_USER\\Identities]\r\n"
    "\"Last Username\"=\"Main Identity\"\r\n"
    "\"last username\"=\"later line wins\"\r\n"
    "[HKEY_USERS\\.Default]\r\n"
    "\"x\"=\"users hive\"\r\n"
    "[HKEY_NOWHERE\\Software]\r\n"
    "\"lost\"=\"unknown hive\"\r\n";

class RegistryCalls : public ::testing::Test {
 protected:
  void SetUp() override { useRegistry(kRegistry); }
  void TearDown() override { resetRegistry(); }

  HKey open(HKey hive, std::string_view path) {
    HKey key = 0;
    EXPECT_EQ(regOpenKeyEx(hive, path, 0, 0x3F, &key), kErrorSuccess) << path;
    return key;
  }

  // The value's type and bytes as two RegQueryValueExA calls read them.
  std::pair<std::uint32_t, std::string> query(HKey key, std::optional<std::string_view> name) {
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(regQueryValueEx(key, name, &type, nullptr, &size), kErrorSuccess);
    std::string data(size, '?');
    EXPECT_EQ(regQueryValueEx(key, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size),
              kErrorSuccess);
    return {type, data};
  }
};

TEST_F(RegistryCalls, ValueTypesAndBytes) {
  const HKey key = open(kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion");
  struct Case {
    std::optional<std::string_view> name;
    std::uint32_t type;
    std::string data;
  };
  const Case cases[] = {
      {"ProductName", kRegSz, std::string("Microsoft Windows 98\0", 21)},  // the NUL counts
      {"systemroot", kRegSz, std::string("C:\\WINDOWS\0", 11)},
      {"Quote", kRegSz, std::string("say \"hi\"\0", 9)},
      {"Empty", kRegSz, std::string("\0", 1)},
      {"Count", kRegDword, std::string("\x2a\0\0\0", 4)},
      {"Blob", kRegBinary, "\x01\xff\x10"},
      {"Expand", kRegExpandSz, std::string("%windir%\0", 9)},
      {"Multi", kRegMultiSz, std::string("a\0b\0\0", 5)},
      {"Odd", 0xb, "\x01\x02"},
      {"", kRegSz, std::string("the default\0", 12)},
      {std::nullopt, kRegSz, std::string("the default\0", 12)},
  };
  for (const auto& c : cases) {
    const auto [type, data] = query(key, c.name);
    EXPECT_EQ(type, c.type) << c.name.value_or("(null)");
    EXPECT_EQ(data, c.data) << c.name.value_or("(null)");
  }
  regCloseKey(key);
}

TEST_F(RegistryCalls, MissingKeysAndValuesGiveWin32Errors) {
  HKey key = 0x1234;
  EXPECT_EQ(regOpenKeyEx(kHkeyLocalMachine, "Software\\Nothing", 0, 0x3F, &key), kErrorFileNotFound);
  EXPECT_EQ(key, 0u);
  EXPECT_EQ(regOpenKeyEx(kHkeyLocalMachine, "Software\\\\Microsoft", 0, 0x3F, &key), kErrorFileNotFound);
  EXPECT_EQ(regOpenKeyEx(kHkeyUsers, "Software", 0, 0x3F, &key), kErrorFileNotFound);
  EXPECT_EQ(regOpenKeyEx(0x42, "Software", 0, 0x3F, &key), kErrorInvalidHandle);

  key = open(kHkeyLocalMachine, "SOFTWARE\\microsoft\\WINDOWS\\currentversion\\");  // case, trailing "\"
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(regQueryValueEx(key, "Missing", &type, nullptr, &size), kErrorFileNotFound);
  EXPECT_EQ(regQueryValueEx(key, "Bad", &type, nullptr, &size),
            kErrorFileNotFound);  // unreadable line skipped

  std::uint8_t small[4];
  size = sizeof small;
  EXPECT_EQ(regQueryValueEx(key, "ProductName", &type, small, &size), kErrorMoreData);
  EXPECT_EQ(size, 21u);

  EXPECT_EQ(regCloseKey(key), kErrorSuccess);
  EXPECT_EQ(regQueryValueEx(key, "ProductName", &type, nullptr, &size), kErrorInvalidHandle);
  EXPECT_EQ(regCloseKey(key), kErrorInvalidHandle);
}

TEST_F(RegistryCalls, SubKeysEnumerateInFileOrderWithGrowingBuffers) {
  const HKey key = open(kHkeyCurrentUser, "Identities");
  std::vector<std::string> names;
  long result = kErrorSuccess;
  for (std::uint32_t i = 0; result == kErrorSuccess; ++i) {
    std::uint32_t size = 3;
    std::string buffer(size, '\0');
    while ((result = regEnumKey(key, i, buffer.data(), size)) == kErrorMoreData) buffer.assign(++size, '\0');
    if (result == kErrorSuccess) names.push_back(buffer.c_str());
  }
  EXPECT_EQ(result, kErrorNoMoreItems);
  EXPECT_EQ(names, (std::vector<std::string>{"{B-2}", "{A-1}", "Third identity key"}));

  const auto [type, data] = query(key, "LAST USERNAME");
  EXPECT_EQ(data, std::string("later line wins\0", 16));
  regCloseKey(key);
}

TEST_F(RegistryCalls, KeysOpenBelowOpenKeysAndOtherHives) {
  const HKey identities = open(kHkeyCurrentUser, "Identities");
  const HKey identity = open(identities, "{b-2}");
  EXPECT_EQ(query(identity, "UserName").second, std::string("Main Identity\0", 14));
  const HKey again = open(identity, "");
  EXPECT_NE(again, identity);
  EXPECT_EQ(query(again, "UserName").second, std::string("Main Identity\0", 14));
  EXPECT_EQ(query(open(kHkeyUsers, ".DEFAULT"), "x").second, std::string("users hive\0", 11));
  for (const HKey k : {again, identity, identities}) EXPECT_EQ(regCloseKey(k), kErrorSuccess);
}

TEST(RegistryParse, WithoutTheHeaderNothingIsLoaded) {
  const auto registry = Registry::parse("[HKEY_LOCAL_MACHINE\\Software]\r\n\"a\"=\"b\"\r\n");
  EXPECT_EQ(Registry::find(registry.hive(kHkeyLocalMachine), "Software"), nullptr);
}

TEST(MachineRegistry, IsReadFromTheMachineRoot) {
  testsupport::TestMachine machine;
  resetRegistry();
  std::ofstream(machine.root() / "registry.reg", std::ios::binary)
      << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Test]\r\n\"v\"=\"1\"\r\n";
  HKey key = 0;
  ASSERT_EQ(regOpenKeyEx(kHkeyLocalMachine, "Software\\Test", 0, 0x3F, &key), kErrorSuccess);
  regCloseKey(key);
}

// The demo machine's registry answers every question the start-up discovery asks.
TEST(DemoRegistry, HoldsWhatTheDiscoveryReads) {
  testsupport::TestMachine machine;
  resetRegistry();
  struct Case {
    HKey hive;
    const char *path, *value;
    std::uint32_t type;
  };
  const Case cases[] = {
      {kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProductName", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "VersionNumber", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "SubVersionNumber", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "SystemRoot", kRegSz},
      {kHkeyLocalMachine, "Software\\Tavrine Software\\Kelvaran\\2.5", "MinorVersion", kRegDword},
      {kHkeyLocalMachine, "Software\\Tavrine Software\\Kelvaran\\2.5", "MajorVersion", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", kRegSz},
      {kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Favorites",
       kRegSz},
      {kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
       "Start Menu", kRegSz},
      {kHkeyCurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Cookies",
       kRegSz},
      {kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator\\Users", "CurrentUser", kRegSz},
      {kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator\\Users\\default", "DirRoot", kRegSz},
      {kHkeyLocalMachine, "Software\\Netscape\\Netscape Navigator", "CurrentVersion", kRegSz},
      {kHkeyCurrentUser, "Software\\Netscape\\Netscape Navigator\\biff", "CurrentUser", kRegSz},
      {kHkeyCurrentUser, "Software\\Netscape\\Netscape Navigator\\biff\\Users\\default\\servers\\mail",
       "PopstatePath", kRegSz},
      {kHkeyCurrentUser, "Software\\Netscape\\Netscape Navigator\\Main", "Install Directory", kRegSz},
      {kHkeyCurrentUser, "Software\\Microsoft\\WAB\\WAB4\\Wab File Name", "", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Outlook Express\\Version Info", "Current", kRegSz},
      {kHkeyLocalMachine, "Software\\Microsoft\\Outlook Express", "MediaVer", kRegSz},
      {kHkeyCurrentUser, "Identities", "Last Username", kRegSz},
  };
  for (const auto& c : cases) {
    HKey key = 0;
    ASSERT_EQ(regOpenKeyEx(c.hive, c.path, 0, 0x3F, &key), kErrorSuccess) << c.path;
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(regQueryValueEx(key, c.value, &type, nullptr, &size), kErrorSuccess)
        << c.path << " " << c.value;
    EXPECT_EQ(type, c.type) << c.value;
    regCloseKey(key);
  }

  // Each identity has a user name and a store folder.
  HKey identities = 0;
  ASSERT_EQ(regOpenKeyEx(kHkeyCurrentUser, "Identities", 0, 0x3F, &identities), kErrorSuccess);
  char name[64];
  std::uint32_t count = 0;
  for (; regEnumKey(identities, count, name, sizeof name) == kErrorSuccess; ++count) {
    HKey store = 0;
    const std::string path = std::string(name) + "\\Software\\Microsoft\\Outlook Express\\5.0";
    ASSERT_EQ(regOpenKeyEx(identities, path, 0, 0x3F, &store), kErrorSuccess) << path;
    std::uint32_t size = 0;
    EXPECT_EQ(regQueryValueEx(store, "Store Root", nullptr, nullptr, &size), kErrorSuccess);
    regCloseKey(store);
  }
  EXPECT_GE(count, 1u);
  regCloseKey(identities);
}

}  // namespace
