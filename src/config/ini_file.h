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
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tavro {

class IniFile {
 public:
  // The longest value the reader gives.
  static constexpr std::size_t kMaxValueLength = 2047;

  // A key as the file writes it; a key written without "=" has no value.
  class Key {
   public:
    Key(std::string_view name, std::optional<std::string_view> value, int line, bool counts)
        : name_(name), value_(value), line_(line), counts_(counts) {}
    std::string_view Name() const { return name_; }
    // Quotes removed and cut as a lookup gives it.
    std::optional<std::string_view> Value() const { return value_; }
    int Line() const { return line_; }  // counted from 1
    // False when lookups never see it (its section or an earlier key of its name hides it).
    bool Counts() const { return counts_; }

   private:
    std::string_view name_;
    std::optional<std::string_view> value_;
    int line_;
    bool counts_;
  };
  // A section as the file writes it; its keys (KeysOf) in file order, duplicates included. Keys
  // written before the first header form a section of their own, named "" on line 0, that no
  // lookup sees.
  struct Section {
    std::string_view name;
    int line = 0;
    std::size_t firstKey = 0;
    std::size_t keyCount = 0;
    bool counts = true;  // false when lookups never see it (hidden by an earlier one of the same name)
  };

  IniFile() = default;  // no file: every key gives its default

  // A missing or unreadable file gives an empty IniFile, as the profile reader does; why an existing
  // file could not be read goes to `problem` ("" when it was read or is missing).
  static IniFile Load(const std::string& path, std::string* problem = nullptr);
  static IniFile Parse(std::string text);

  // The value of a key present with "=" (an empty one included); nothing for a missing key,
  // section or file.
  std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

  std::string ReadString(std::string_view section, std::string_view key, const std::string& fallback) const;
  // A missing, empty or unparsable value gives the fallback (see ParseIniInteger).
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const;
  // An integer key: true when not 0.
  bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;

  // The first section of that name (the one lookups see), or nullptr.
  const Section* FindSection(std::string_view name) const;
  // The value of a key of that section, as Find gives it.
  std::optional<std::string_view> FindIn(const Section& section, std::string_view key) const;

  // A section header and its keys as the file writes them, so that a checker can point at a
  // mistake. Names and values view the file's bytes: valid while this IniFile or a copy of it lives.
  struct WrittenName {
    std::string_view name;  // as written, blanks around it removed
    int line = 0;           // counted from 1
    bool counts = true;     // false when lookups never see it (hidden by an earlier one of the same name)
  };
  struct WrittenSection {
    WrittenName header;  // name "" and line 0 for the keys written before the first header
    std::span<const Key> keys;
  };
  // Every header and key in file order, the hidden ones included.
  std::vector<WrittenSection> Written() const;

  // A value that held a NUL byte, cut there: the launcher's texts end at a NUL, so what followed it
  // ("job.sh\0.disabled") would silently not count.
  struct CutValue {
    std::string section;
    std::string key;
    int line = 0;
  };
  const std::vector<CutValue>& ValuesCutAtNul() const { return cutAtNul_; }

  // The bytes as read, a UTF-8 mark included; empty for no file.
  std::string_view Bytes() const { return text_ ? std::string_view(*text_) : std::string_view(); }

 private:
  struct CaseBlindHash {
    std::size_t operator()(std::string_view text) const;
  };
  struct CaseBlindEqual {
    bool operator()(std::string_view a, std::string_view b) const;
  };

  // The file's bytes, which every name and value views; shared, so that copies stay valid.
  std::span<const Key> KeysOf(const Section& section) const {
    return {keys_.data() + section.firstKey, section.keyCount};
  }

  std::shared_ptr<const std::string> text_;
  std::vector<Section> sections_;
  std::vector<Key> keys_;  // of all sections, each section's in one run
  // The place in sections_ of the first section of each name.
  std::unordered_map<std::string_view, std::size_t, CaseBlindHash, CaseBlindEqual> firstSection_;
  std::vector<CutValue> cutAtNul_;
};

}  // namespace tavro
