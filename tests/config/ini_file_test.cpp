#include "config/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "config/unquote.h"

namespace tavro {
namespace {

struct LookupCase {
  const char* name;
  std::string text;
  const char* section;
  const char* key;
  std::optional<std::string> expected;
};

TEST(IniFile, LooksUpValuesByTheProfileRules) {
  const std::string longValue(3000, 'v');
  // More sections than the headers counted at line starts: written after blanks, ended by lone CRs.
  std::string manySections;
  for (int i = 0; i < 100; ++i) manySections += " [s" + std::to_string(i) + "]\rk=" + std::to_string(i) + "\r";
  manySections += " [S3]\rk=x\r";
  const LookupCase cases[] = {
      {"plain", "[s]\nk=v\n", "s", "k", "v"},
      {"names ignore case", "[Program]\nMod=Pi\n", "PROGRAM", "mOD", "Pi"},
      {"blanks around name and value", "  [s]  \n  k  =  v w  \n", "s", "k", "v w"},
      {"control characters are blanks", "[s]\nk=\t\x01v\x1f\x0b\n", "s", "k", "v"},
      {"double quotes enclosing the value", "[s]\nk=\"a b\"\n", "s", "k", "a b"},
      {"single quotes enclosing the value", "[s]\nk='a b'\n", "s", "k", "a b"},
      {"blanks inside quotes stay", "[s]\nk=\" a \"\n", "s", "k", " a "},
      {"unmatched quotes stay", "[s]\nk=\"a'\n", "s", "k", "\"a'"},
      {"a lone quote stays", "[s]\nk=\"\n", "s", "k", "\""},
      {"empty quotes give empty", "[s]\nk=\"\"\n", "s", "k", ""},
      {"only the enclosing pair goes", "[s]\nk=\"a\" b \"c\"\n", "s", "k", "a\" b \"c"},
      {"quote not at the end stays", "[s]\nk=\"a\" /x\n", "s", "k", "\"a\" /x"},
      {"empty value is present", "[s]\nk=\n", "s", "k", ""},
      {"missing key", "[s]\nk=v\n", "s", "other", std::nullopt},
      {"missing section", "[s]\nk=v\n", "t", "k", std::nullopt},
      {"key before any section", "k=v\n[s]\n", "s", "k", std::nullopt},
      {"comment line", "[s]\n;k=v\n", "s", "k", std::nullopt},
      {"comment after a value is part of it", "[s]\nk=5 ; five\n", "s", "k", "5 ; five"},
      {"first duplicate key wins", "[s]\nk=1\nK=2\n", "s", "k", "1"},
      {"first duplicate section wins", "[s]\nk=1\n[t]\n[S]\nk=2\nj=3\n", "s", "k", "1"},
      {"a repeated section adds nothing", "[s]\nk=1\n[t]\n[S]\nk=2\nj=3\n", "s", "j", std::nullopt},
      {"key without = gives no value", "[s]\nk\n", "s", "k", std::nullopt},
      {"key without = hides a later one", "[s]\nk\nk=2\n", "s", "k", std::nullopt},
      {"no continuation lines", "[s]\nk=1\\\n j=2\n", "s", "j", "2"},
      {"CR LF line ends", "[s]\r\nk=v\r\nj=w\r\n", "s", "k", "v"},
      {"lone CR line ends", "[s]\rk=v\rj=w", "s", "j", "w"},
      {"section name up to the last bracket", "[a]b] x\nk=v\n", "a]b", "k", "v"},
      {"blanks inside brackets do not count", "[ s ]\nk=v\n", "s", "k", "v"},
      {"header without closing bracket is no section", "[s]\nk=1\n[t\nk=2\n", "s", "k", "1"},
      {"value holds =", "[s]\nk=a=b\n", "s", "k", "a=b"},
      {"UTF-8 mark before the first section", "\xEF\xBB\xBF[s]\nk=v\n", "s", "k", "v"},
      {"bytes above 127 are kept", "[s]\nk=\xE9\xA0\n", "s", "k", "\xE9\xA0"},
      {"at most 2047 characters", "[s]\nk=" + longValue + "\n", "s", "k", longValue.substr(0, 2047)},
      {"any of many sections", manySections, "S77", "k", "77"},
      {"the first of many sections wins", manySections, "s3", "k", "3"},
      {"at most 2047 inside quotes", "[s]\nk=\"" + longValue + "\"\n", "s", "k", longValue.substr(0, 2047)},
  };
  for (const LookupCase& c : cases) {
    EXPECT_EQ(IniFile::Parse(c.text).Find(c.section, c.key), c.expected) << c.name;
  }
}

TEST(IniFile, ReadStringGivesTheDefaultOnlyWhenTheKeyIsMissing) {
  const IniFile ini = IniFile::Parse("[phd]\nhost=\n");
  EXPECT_EQ(ini.ReadString("phd", "host", "localhost"), "");
  EXPECT_EQ(ini.ReadString("phd", "user", "nobody"), "nobody");
  EXPECT_EQ(IniFile().ReadString("phd", "host", "localhost"), "localhost");
}

TEST(IniFile, ReadsIntegersAndBooleans) {
  const struct {
    const char* value;
    std::int32_t expected;
  } cases[] = {
      {"5", 5},
      {"+7", 7},
      {"-7", -7},
      {"007", 7},
      {"\" 12\"", 12},  // blanks before the number count only inside quotes, the reader trims the rest
      {"\"12 \"", -99},
      {"$1F", 31},
      {"x1f", 31},
      {"X10", 16},
      {"0x10", 16},
      {"0X10", 16},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-0x80000000", -2147483647 - 1},
      {"2147483648", -99},
      {"-2147483649", -99},
      {"$FFFFFFFF", -99},
      {"99999999999999999999", -99},
      {"", -99},
      {"abc", -99},
      {"true", -99},
      {"1e3", -99},
      {"12a", -99},
      {"$1G", -99},
      {"5 ; five", -99},
      {"0x", -99},
      {"$", -99},
      {"-", -99},
      {"- 5", -99},
      {"0x-5", -99},
  };
  for (const auto& c : cases) {
    const IniFile ini = IniFile::Parse(std::string("[s]\nn=") + c.value + "\n");
    EXPECT_EQ(ini.ReadInteger("s", "n", -99), c.expected) << c.value;
  }
  EXPECT_EQ(IniFile().ReadInteger("s", "n", 60), 60);

  const IniFile flags = IniFile::Parse("[s]\nword=true\none=1\nminus=-1\nzero=0\nhex=0x0\n");
  EXPECT_TRUE(flags.ReadBool("s", "word", true));
  EXPECT_FALSE(flags.ReadBool("s", "word", false));
  EXPECT_TRUE(flags.ReadBool("s", "one", false));
  EXPECT_TRUE(flags.ReadBool("s", "minus", false));
  EXPECT_FALSE(flags.ReadBool("s", "zero", true));
  EXPECT_FALSE(flags.ReadBool("s", "hex", true));
  EXPECT_TRUE(flags.ReadBool("s", "missing", true));
}

// The listing a checker points with: names as written, their lines, and which ones lookups never see.
TEST(IniFile, ListsWhatTheFileWritesWithTheHiddenParts) {
  const IniFile ini = IniFile::Parse("\xEF\xBB\xBFstray=1\r\n; note\r\n[ Pump_1 ]\rPhase = 5\nphase=6\nflag\n\n[pump_1]\nx=1\n");
  using Name = IniFile::WrittenName;
  const auto same = [](const Name& a, const Name& b) {
    return a.name == b.name && a.line == b.line && a.counts == b.counts;
  };
  const auto key = [](const IniFile::Key& k) { return Name{k.Name(), k.Line(), k.Counts()}; };
  const std::vector<IniFile::WrittenSection>& written = ini.Written();
  ASSERT_EQ(written.size(), 3u);
  EXPECT_TRUE(same(written[0].header, {"", 0, false}));
  ASSERT_EQ(written[0].keys.size(), 1u);
  EXPECT_TRUE(same(key(written[0].keys[0]), {"stray", 1, false}));
  EXPECT_TRUE(same(written[1].header, {"Pump_1", 3, true}));
  ASSERT_EQ(written[1].keys.size(), 3u);
  EXPECT_TRUE(same(key(written[1].keys[0]), {"Phase", 4, true}));
  EXPECT_TRUE(same(key(written[1].keys[1]), {"phase", 5, false}));
  EXPECT_TRUE(same(key(written[1].keys[2]), {"flag", 6, true}));
  EXPECT_TRUE(same(written[2].header, {"pump_1", 8, false}));
  ASSERT_EQ(written[2].keys.size(), 1u);
  EXPECT_TRUE(same(key(written[2].keys[0]), {"x", 9, false}));
  EXPECT_EQ(ini.Find("pump_1", "x"), std::nullopt);
}

// A folder opens as a file on Linux but cannot be read: it reads as no file, like a missing one.
TEST(IniFile, LoadsAFolderAsNoFile) {
  const IniFile ini = IniFile::Load(std::filesystem::temp_directory_path().string());
  EXPECT_TRUE(ini.Written().empty());
  EXPECT_EQ(ini.Find("pumps", "count"), std::nullopt);
}

TEST(UnquoteValue, KeepsTheQuotedPartOfAValue) {
  const struct {
    const char* value;
    const char* expected;
  } cases[] = {
      {R"(C:\x.exe)", R"(C:\x.exe)"},
      {R"("C:\a b\x.exe" /x)", R"(C:\a b\x.exe)"},
      {R"("a""b" c)", R"(a"b)"},
      {R"("" /x)", R"("" /x)"},
      {R"(x "y")", R"(x "y")"},
      {R"("C:\a b\x.exe)", R"(C:\a b\x.exe)"},  // never closed: the whole rest
      {R"(")", R"(")"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UnquoteValue(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace tavro
