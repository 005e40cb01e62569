// Our reader against the Windows profile reader itself, on files written the way users write them
// and on the odd cases a hand-edited file collects.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/ini_file.h"
#include "testing/temp_dir.h"

namespace tavro {
namespace {

constexpr const char* kMissing = "<missing>";

std::string ProfileString(const std::string& file, const std::string& section, const std::string& key) {
  std::vector<char> buffer(4096);
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, buffer.data(), 2048,
                                                file.c_str());
  return std::string(buffer.data(), length);
}

void ExpectSameAsProfileReader(const std::string& text, const std::vector<std::string>& sections,
                               const std::vector<std::string>& keys) {
  testutil::TempDir folder;
  const std::string file = folder.File("tricky.ini");
  testutil::WriteFileBytes(file, text);
  const IniFile ini = IniFile::Load(file);
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      EXPECT_EQ(ini.ReadString(section, key, kMissing), ProfileString(file, section, key))
          << "[" << section << "] " << key;
    }
  }
}

TEST(IniFileConformance, ValuesAsTheProfileReaderGivesThem) {
  const std::string longValue(3000, 'v');
  const std::string text =
      "; a comment before everything\r\n"
      "orphan=1\r\n"
      "[Program]\r\n"
      "Mod = Pi \r\n"
      "debug=1\r\n"
      "   indented =  yes   \r\n"
      "tab=\tx\t\r\n"
      "quoted=\"a b\"\r\n"
      "single='a b'\r\n"
      "inner=\" a \"\r\n"
      "mixed=\"a'\r\n"
      "lone=\"\r\n"
      "emptyq=\"\"\r\n"
      "pair=\"a\" b \"c\"\r\n"
      "partial=\"C:\\Program Files\\p.exe\" /x\r\n"
      "empty=\r\n"
      "comment=5 ; five\r\n"
      ";hidden=1\r\n"
      "dup=1\r\n"
      "DUP=2\r\n"
      "noequals\r\n"
      "noequals2\r\n"
      "noequals2=3\r\n"
      "cont=1\\\r\n"
      "next=2\r\n"
      "eq=a=b\r\n"
      "high=\xE9t\xE9\r\n"
      "long=" + longValue + "\r\n"
      "longq=\"" + longValue + "\"\r\n"
      "\r\n"
      "[Second]\n"
      "k=1\n"
      "[other]\n"
      "[SECOND]\n"
      "k=2\n"
      "j=3\n"
      "[a]b] trailing\n"
      "k=v\n"
      "[ spaced ]\n"
      "k=v\n"
      "[broken\n"
      "k=broken\n"
      "[last]\n"
      "k=no line end";
  ExpectSameAsProfileReader(
      text, {"program", "PROGRAM", "second", "other", "a]b", "spaced", "last", "absent"},
      {"mod", "debug", "indented", "tab", "quoted", "single", "inner", "mixed", "lone", "emptyq", "pair", "partial",
       "empty", "comment", "hidden", "dup", "noequals", "noequals2", "cont", "next", "eq", "high", "long", "longq",
       "k", "j", "orphan", "[broken", "absent"});
}

}  // namespace
}  // namespace tavro
