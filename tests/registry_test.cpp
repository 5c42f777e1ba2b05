// The registry's store: the export format read and written exactly, values
// the program does not know kept, writes that change only what they write,
// and a store that survives a write cut short.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/registry_store.h"

namespace {

constexpr char16_t kProgramKey[] = u"Software\\Brantholm\\Quenzil";

using Bytes = std::vector<uint8_t>;

std::vector<uint8_t> Wide(std::u16string_view s, bool terminated = true) {
  std::vector<uint8_t> bytes;
  for (char16_t c : s) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::vector<uint8_t> Number(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

class RegistryStore : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quenzil-registry-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder = pattern;
    path = folder + "/Brantholm/registry.reg";
    SetRegistryPath(path);
  }
  void TearDown() override {
    SetRegistryPath("");
    SetRegistryRenameHook(nullptr);
    std::filesystem::remove_all(folder);
  }

  void WriteFile(const std::string& text) {
    std::filesystem::create_directories(folder + "/Brantholm");
    std::ofstream(path, std::ios::binary) << text;
  }
  std::string ReadFile(const std::string& name = "") {
    std::ifstream in(name.empty() ? path : name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  bool Set(std::u16string_view key, std::u16string_view name, uint32_t type, const std::vector<uint8_t>& data) {
    RegistryKey k = CreateRegistryKey(key);
    const bool set = SetRegistryValue(k, name, type, data);
    return CloseRegistryKey(k) && set;
  }
  bool Get(std::u16string_view key, std::u16string_view name, uint32_t* type, std::vector<uint8_t>* data) {
    RegistryKey k = OpenRegistryKey(key);
    const bool found = QueryRegistryValue(k, name, type, data);
    CloseRegistryKey(k);
    return found;
  }

  std::string folder;
  std::string path;
};

TEST_F(RegistryStore, WritesTheExportFormatAndReadsBackEveryTypeExactly) {
  RegistryKey key = CreateRegistryKey(kProgramKey);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(SetRegistryValue(key, u"FontName", kRegistryString, Wide(u"David CLM \"\\\u05D0")));
  EXPECT_TRUE(SetRegistryValue(key, u"Lesson", kRegistryNumber, Number(5)));
  EXPECT_TRUE(SetRegistryValue(key, u"Bookmarks", kRegistryBinary, Bytes{1, 0, 0xAB, 0}));
  EXPECT_TRUE(SetRegistryValue(key, u"Empty", kRegistryBinary, Bytes{}));
  EXPECT_TRUE(SetRegistryValue(key, u"Odd", kRegistryString, Bytes{0x41, 0, 0, 0, 0x42}));  // no text form
  EXPECT_TRUE(CloseRegistryKey(key));
  EXPECT_EQ(ReadFile(),
            "Windows Registry Editor Version 5.00\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Brantholm\\Quenzil]\n"
            "\"FontName\"=\"David CLM \\\"\\\\\xD7\x90\"\n"
            "\"Lesson\"=dword:00000005\n"
            "\"Bookmarks\"=hex:01,00,ab,00\n"
            "\"Empty\"=hex:\n"
            "\"Odd\"=hex(1):41,00,00,00,42\n");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u) << "settings are the user's alone";

  const struct {
    const char16_t* name;
    uint32_t type;
    std::vector<uint8_t> data;
  } expected[] = {
      {u"fontname", kRegistryString, Wide(u"David CLM \"\\\u05D0")},  // names compare without case
      {u"Lesson", kRegistryNumber, Number(5)},
      {u"Bookmarks", kRegistryBinary, {1, 0, 0xAB, 0}},
      {u"Empty", kRegistryBinary, {}},
      {u"Odd", kRegistryString, {0x41, 0, 0, 0, 0x42}},
  };
  for (const auto& e : expected) {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_TRUE(Get(u"SOFTWARE\\brantholm\\quenzil", e.name, &type, &data)) << "key paths compare without case";
    EXPECT_EQ(type, e.type);
    EXPECT_EQ(data, e.data);
  }
  uint32_t type = 0;
  std::vector<uint8_t> data;
  EXPECT_FALSE(Get(kProgramKey, u"Missing", &type, &data));
}

TEST_F(RegistryStore, KeepsWhatItDoesNotKnowAndChangesOnlyWhatItWrites) {
  const std::string before =
      "Windows Registry Editor Version 5.00\r\n"
      "; kept\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\software\\Brantholm]\r\n"
      "\"MenuBarOnBottom\"=dword:00000001\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Brantholm\\Quenzil]\r\n"
      "\"Lesson\" = dword:7\r\n"
      "\"Path\"=hex(2):25,00,\\\r\n"
      "  48,00,00,00\r\n"
      "@=\"default\"\r\n"
      "\r\n"
      "[HKEY_LOCAL_MACHINE\\Other]\r\n"
      "\"X\"=\"y\"\r\n";
  WriteFile(before);
  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_TRUE(Get(kProgramKey, u"Lesson", &type, &data));
  EXPECT_EQ(data, Number(7));
  ASSERT_TRUE(Get(kProgramKey, u"Path", &type, &data));
  EXPECT_EQ(type, 2u);
  EXPECT_EQ(data, (std::vector<uint8_t>{0x25, 0, 0x48, 0, 0, 0}));

  ASSERT_TRUE(Set(kProgramKey, u"LESSON", kRegistryNumber, Number(9)));
  ASSERT_TRUE(Set(kProgramKey, u"New", kRegistryNumber, Number(1)));
  EXPECT_EQ(ReadFile(),
            "Windows Registry Editor Version 5.00\n"
            "; kept\n"
            "\n"
            "[HKEY_CURRENT_USER\\software\\Brantholm]\n"
            "\"MenuBarOnBottom\"=dword:00000001\n"
            "\n"
            "[HKEY_CURRENT_USER\\Software\\Brantholm\\Quenzil]\n"
            "\"LESSON\"=dword:00000009\n"
            "\"Path\"=hex(2):25,00,\\\n"
            "  48,00,00,00\n"
            "@=\"default\"\n"
            "\"New\"=dword:00000001\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\Other]\n"
            "\"X\"=\"y\"\n");
}

TEST_F(RegistryStore, AValueAddedByHandWhileAKeyIsOpenStays) {
  ASSERT_TRUE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(1)));
  RegistryKey key = CreateRegistryKey(kProgramKey);
  // Meanwhile the user edits the file.
  WriteFile(ReadFile() + "\"ByHand\"=\"kept\"\n");
  ASSERT_TRUE(SetRegistryValue(key, u"Lesson", kRegistryNumber, Number(5)));
  ASSERT_TRUE(CloseRegistryKey(key));
  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_TRUE(Get(kProgramKey, u"ByHand", &type, &data));
  EXPECT_EQ(data, Wide(u"kept"));
  ASSERT_TRUE(Get(kProgramKey, u"Lesson", &type, &data));
  EXPECT_EQ(data, Number(5));
}

TEST_F(RegistryStore, AWriteCutShortBeforeTheRenameLeavesTheEarlierFile) {
  ASSERT_TRUE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(3)));
  const std::string earlier = ReadFile();
  SetRegistryRenameHook([](const std::string&) { return false; });
  EXPECT_FALSE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(4)));
  EXPECT_EQ(ReadFile(), earlier);
  uint32_t type = 0;
  std::vector<uint8_t> data;
  ASSERT_TRUE(Get(kProgramKey, u"Lesson", &type, &data));
  EXPECT_EQ(data, Number(3));
  // The next write replaces the store whatever the last one left behind.
  SetRegistryRenameHook(nullptr);
  ASSERT_TRUE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(6)));
  ASSERT_TRUE(Get(kProgramKey, u"Lesson", &type, &data));
  EXPECT_EQ(data, Number(6));
}

TEST_F(RegistryStore, AFileThatCannotBeReadIsKeptAsideAndTheRunGoesOn) {
  const std::string broken = "Windows Registry Editor Version 5.00\n\n\"Lesson\"=dword:00000005\n";
  WriteFile(broken);
  EXPECT_EQ(OpenRegistryKey(kProgramKey), nullptr);
  EXPECT_EQ(ReadFile(path + ".unreadable"), broken);
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(1)));
  WriteFile("not a registry file");
  ASSERT_TRUE(Set(kProgramKey, u"Lesson", kRegistryNumber, Number(2)));
  EXPECT_EQ(ReadFile(path + ".unreadable-2"), "not a registry file") << "an earlier one is not overwritten";
  EXPECT_EQ(ReadFile(path + ".unreadable"), broken);
}

TEST_F(RegistryStore, RefusesWhatItCannotKeep) {
  RegistryKey reading = nullptr;
  EXPECT_EQ(OpenRegistryKey(kProgramKey), nullptr) << "no store yet";
  ASSERT_TRUE(Set(u"Software\\Brantholm\\Quenzil\\Below", u"X", kRegistryNumber, Number(1)));
  reading = OpenRegistryKey(u"Software\\Brantholm");
  ASSERT_NE(reading, nullptr) << "a key exists while keys below it do";
  EXPECT_FALSE(SetRegistryValue(reading, u"X", kRegistryNumber, Number(1))) << "opened for reading";
  EXPECT_TRUE(CloseRegistryKey(reading));
  RegistryKey key = CreateRegistryKey(kProgramKey);
  EXPECT_FALSE(SetRegistryValue(key, u"X", 2, Bytes{0, 0}));
  EXPECT_FALSE(SetRegistryValue(key, u"X", kRegistryNumber, Bytes{1, 2, 3}));
  EXPECT_FALSE(SetRegistryValue(key, u"Two\nLines", kRegistryNumber, Number(1)));
  EXPECT_FALSE(SetRegistryValue(key, std::u16string(1, u'\xD800'), kRegistryNumber, Number(1)));
  EXPECT_TRUE(CloseRegistryKey(key));
}

TEST(RegistryFormat, ParsesWhatTheFormatAllowsAndNothingElse) {
  const struct {
    const char* text;
    bool parses;
  } cases[] = {
      {"", true},
      {"\n\n", true},
      {"\xEF\xBB\xBFWindows Registry Editor Version 5.00\n", true},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=\"b\"\n; c\n", true},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=hex:\n\"b\"=hex(b):00\n", true},
      {"REGEDIT4\n[K]\n", false},
      {"Windows Registry Editor Version 5.00\n\"a\"=\"b\"\n", false},  // a value before any key
      {"Windows Registry Editor Version 5.00\n[-K]\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=-\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=\"b\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=\"b\\x\"\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=dword:123456789\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=hex:1,02\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=hex:0g\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"\"b\"\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\n\"a\"=\"\xFF\"\n", false},
      {"Windows Registry Editor Version 5.00\n[K]\nloose text\n", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseRegistry(c.text).has_value(), c.parses) << c.text;
  }
}

TEST(RegistryFormat, DefaultPathFollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = saved ? saved : "";
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "/somewhere", 1);
  EXPECT_EQ(DefaultRegistryPath(), "/somewhere/Brantholm/registry.reg");
  setenv("XDG_CONFIG_HOME", "", 1);
  setenv("HOME", "/home/reader", 1);
  EXPECT_EQ(DefaultRegistryPath(), "/home/reader/.config/Brantholm/registry.reg");
  setenv("HOME", home.c_str(), 1);
  if (saved) {
    setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

}  // namespace
