#include "config/ini_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "support/text.h"
#include "support/whole_file.h"

namespace tavro {
namespace {

// A section's keys up to this many are looked through for a name met before; beyond, a set is kept.
constexpr std::size_t kKeysLookedThrough = 32;

// What a lookup gives for a stored value: enclosing quotes removed, then cut to the longest length.
std::string_view ProfileValue(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return value.substr(0, IniFile::kMaxValueLength);
}

// The lines of a text; they end at LF, CR LF or a lone CR.
class Lines {
 public:
  explicit Lines(std::string_view text) : text_(text) {}
  bool Done() const { return position_ >= text_.size(); }
  int Number() const { return number_; }  // of the line Next gave last, counted from 1

  std::string_view Next() {
    ++number_;
    const std::size_t start = position_;
    // Lines end at an LF or a CR; where the next of each lies is kept from line to line, so that the
    // text is searched once for each: a file without CRs, or of lone CRs, in a single search.
    const std::size_t end = std::min(Ahead('\n', nextLineFeed_, start), Ahead('\r', nextCarriageReturn_, start));
    position_ = end;
    if (position_ < text_.size()) {
      if (text_[position_] == '\r' && position_ + 1 < text_.size() && text_[position_ + 1] == '\n') ++position_;
      ++position_;
    }
    return text_.substr(start, end - start);
  }

 private:
  // The next `c` from `start` on, the text's size when there is none.
  std::size_t Ahead(char c, std::size_t& next, std::size_t start) const {
    if (next <= start) {
      const void* found = std::memchr(text_.data() + start, c, text_.size() - start);
      next = found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data()) : text_.size();
    }
    return next;
  }

  std::string_view text_;
  std::size_t position_ = 0;
  std::size_t nextLineFeed_ = 0;
  std::size_t nextCarriageReturn_ = 0;
  int number_ = 0;
};

}  // namespace

std::size_t IniFile::CaseBlindHash::operator()(std::string_view text) const {
  std::size_t hash = 14695981039346656037ull;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
  return hash;
}

bool IniFile::CaseBlindEqual::operator()(std::string_view a, std::string_view b) const {
  return EqualsIgnoreCase(a, b);
}

IniFile IniFile::Load(const std::string& path, std::string* problem) {
  WholeFile file = ReadWholeFile(path);
  if (problem != nullptr) *problem = file.reason;
  if (file.outcome != WholeFile::Outcome::Read) return IniFile();
  return Parse(std::move(file.bytes));
}

IniFile IniFile::Parse(std::string bytes) {
  IniFile ini;
  ini.text_ = std::make_shared<const std::string>(std::move(bytes));
  std::string_view text = *ini.text_;
  // An editor's UTF-8 mark would otherwise hide the first section.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
  // Room for a key on every line and a section at every line beginning with "[": the lists of a
  // large file are then not moved, page by fresh page, each time they outgrow their memory.
  std::size_t lineFeeds = 0;
  std::size_t headers = text.starts_with('[') ? 1 : 0;
  for (const char* at = text.data(), *const end = at + text.size();
       (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)))) != nullptr; ++at) {
    ++lineFeeds;
    if (at + 1 < end && at[1] == '[') ++headers;
  }
  ini.keys_.reserve(lineFeeds + 1);
  ini.sections_.reserve(headers + 1);  // and the keys before the first header
  ini.firstSection_.reserve(headers);

  std::size_t nextNul = 0;
  std::unordered_set<std::string_view, CaseBlindHash, CaseBlindEqual> longSection;  // its key names
  for (Lines lines(text); !lines.Done();) {
    const std::string_view line = TrimView(lines.Next());
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        const std::string_view name = TrimView(line.substr(1, close - 1));
        const bool first = ini.firstSection_.try_emplace(name, ini.sections_.size()).second;
        ini.sections_.push_back(Section{name, lines.Number(), ini.keys_.size(), 0, first});
        longSection.clear();
        continue;
      }
    }
    // Keys before the first header belong to no section a lookup can name.
    if (ini.sections_.empty()) ini.sections_.push_back(Section{{}, 0, 0, 0, false});
    const Section& section = ini.sections_.back();
    // Only the first of a section's keys of one name counts. Sections hold a handful of keys, looked
    // through; a long one (made by a program, or meant to stall the launcher) is kept in a set once
    // it grows, so that the reading stays linear in the file.
    const auto counts = [&](std::string_view name) {
      if (!section.counts) return false;
      if (ini.keys_.size() - section.firstKey < kKeysLookedThrough) {
        for (std::size_t k = section.firstKey; k < ini.keys_.size(); ++k) {
          if (EqualsIgnoreCase(ini.keys_[k].Name(), name)) return false;
        }
        return true;
      }
      if (longSection.empty()) {
        for (std::size_t k = section.firstKey; k < ini.keys_.size(); ++k) longSection.insert(ini.keys_[k].Name());
      }
      return longSection.insert(name).second;
    };
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      ini.keys_.emplace_back(line, std::nullopt, lines.Number(), counts(line));
    } else {
      const std::string_view name = TrimView(line.substr(0, equals));
      std::string_view value = ProfileValue(TrimView(line.substr(equals + 1)));
      // Values view the text: the next NUL byte, kept from value to value, is searched for once in a
      // file without any.
      const std::size_t at = static_cast<std::size_t>(value.data() - text.data());
      if (nextNul < at) nextNul = std::min(text.find('\0', at), text.size());
      if (nextNul < at + value.size()) {
        value = value.substr(0, nextNul - at);
        ini.cutAtNul_.push_back({std::string(section.name), std::string(name), lines.Number()});
      }
      ini.keys_.emplace_back(name, value, lines.Number(), counts(name));
    }
    ++ini.sections_.back().keyCount;
  }
  return ini;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
  const auto found = firstSection_.find(name);
  return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

std::optional<std::string_view> IniFile::FindIn(const Section& section, std::string_view key) const {
  // The first of duplicate keys wins, also when it has no value.
  for (const Key& entry : KeysOf(section)) {
    if (EqualsIgnoreCase(entry.Name(), key)) return entry.Value();
  }
  return std::nullopt;
}

std::optional<std::string_view> IniFile::Find(std::string_view section, std::string_view key) const {
  const Section* found = FindSection(section);
  return found == nullptr ? std::nullopt : FindIn(*found, key);
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
  const std::optional<std::string_view> value = Find(section, key);
  return value ? std::string(*value) : fallback;
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
  const std::optional<std::string_view> value = Find(section, key);
  if (!value) return fallback;
  return ParseIniInteger(*value).value_or(fallback);
}

std::vector<IniFile::WrittenSection> IniFile::Written() const {
  std::vector<WrittenSection> written;
  written.reserve(sections_.size());
  for (const Section& section : sections_) {
    written.push_back({{section.name, section.line, section.counts}, KeysOf(section)});
  }
  return written;
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace tavro
