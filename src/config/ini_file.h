#pragma once
// The configuration file in memory: read and parsed once per reading, then looked up key by key
// with the rules of the Windows profile reader that the launcher's users know:
// - "[name]" starts a section, "name=value" is a key; blanks around names do not count, and names
//   match without regard to case;
// - a value is the text after "=" without surrounding blanks; a value enclosed as a whole in a
//   matching pair of double or single quotes loses them; at most 2047 characters are taken;
// - lines beginning with ";" are comments; the first of duplicate sections and of duplicate keys
//   wins; there are no continuation lines; text is bytes of the single-byte code page.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

class IniFile {
 public:
  // The longest value the reader gives.
  static constexpr std::size_t kMaxValueLength = 2047;

  IniFile() = default;  // no file: every key gives its default

  // A missing or unreadable file gives an empty IniFile.
  static IniFile Load(const std::string& path);
  static IniFile Parse(std::string_view text);

  // The value of a key present with "=" (an empty one included); nothing for a missing key,
  // section or file.
  std::optional<std::string> Find(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
  // A missing, empty or unparsable value gives the fallback (see ParseIniInteger).
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
  // An integer key: true when not 0.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // A section header or a key as the file writes it, so that a checker can point at a mistake.
  struct WrittenName {
    std::string name;    // as written, blanks around it removed
    int line = 0;        // counted from 1
    bool counts = true;  // false when lookups never see it (hidden by an earlier one of the same name)
  };
  struct WrittenSection {
    WrittenName header;  // name "" and line 0 for the keys written before the first header
    std::vector<WrittenName> keys;
  };
  // Every header and key in file order, the hidden ones included.
  const std::vector<WrittenSection>& Written() const { return written_; }

 private:
  // A key written without "=" has no value but still hides a later key of the same name.
  using Keys = std::map<std::string, std::optional<std::string>>;
  std::map<std::string, Keys> sections_;  // names in lower case
  std::vector<WrittenSection> written_;
};

}  // namespace tavro
