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

  // A key as the file writes it; a key written without "=" has no value. A file has a key on almost
  // every line, and each page of them is a fresh page to fault in (dear on a virtual machine): a key
  // is kept in 24 bytes, its value placed from its name.
  class Key {
   public:
    Key(std::string_view name, std::optional<std::string_view> value, int line, bool counts);
    std::string_view Name() const { return {name_, nameLength_}; }
    // Quotes removed and cut as a lookup gives it.
    std::optional<std::string_view> Value() const {
      if (valueLength_ == kNoValue) return std::nullopt;
      return std::string_view(name_ + valueOffset_, valueLength_);
    }
    int Line() const { return static_cast<int>(lineAndCounts_ >> 1); }  // counted from 1
    // False when lookups never see it (its section or an earlier key of its name hides it).
    bool Counts() const { return (lineAndCounts_ & 1) != 0; }

   private:
    static constexpr std::uint32_t kNoValue = UINT32_MAX;
    const char* name_;
    std::uint32_t nameLength_;
    std::uint32_t valueOffset_ = 0;
    std::uint32_t valueLength_ = kNoValue;
    // The line, shifted, and whether the key counts, in the lowest bit: one word written whole. As
    // bit-fields the compiler may read the word before writing its bits, and a read of a fresh page
    // faults it in twice (once shared and zero, then for the write).
    std::uint32_t lineAndCounts_;
  };
  // A section as the file writes it; its keys (KeysOf) in file order, duplicates included. Keys
  // written before the first header form a section of their own, named "" on line 0, that no
  // lookup sees.
  struct Section {
    std::string_view name;
    int line = 0;
    std::uint32_t firstKey = 0;  // 32 bits, as the keys' own places: 32 bytes a section
    std::uint32_t keyCount = 0;
    bool counts = true;  // false when lookups never see it (hidden by an earlier one of the same name)
  };

  IniFile() = default;  // no file: every key gives its default

  // A missing or unreadable file gives an empty IniFile, as the profile reader does; why an existing
  // file could not be read goes to `problem` ("" when it was read or is missing).
  static IniFile Load(const std::string& path, std::string* problem = nullptr);
  // A text under 4 GB, as Load reads no more than 16 MB.
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
  // The place of a section FindSection gave among the file's sections.
  std::size_t PlaceOf(const Section& section) const { return static_cast<std::size_t>(&section - sections_.data()); }

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
