#include "config/ini_file.h"

#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "support/text.h"

namespace tavro {
namespace {

// What a lookup gives for a stored value: enclosing quotes removed, then cut to the longest length.
std::string ProfileValue(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, IniFile::kMaxValueLength));
}

// Lines end at LF, CR LF or a lone CR.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

IniFile IniFile::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return IniFile();
  // A folder opens but fails at the first read; copying through the stream turns that failure into
  // an empty text instead of an exception.
  std::ostringstream text;
  text << file.rdbuf();
  return Parse(text.str());
}

IniFile IniFile::Parse(std::string_view text) {
  // An editor's UTF-8 mark would otherwise hide the first section.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());

  IniFile ini;
  Keys* section = nullptr;  // none before the first header, and none for a repeated section
  const std::vector<std::string_view> lines = SplitLines(text);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const int lineNumber = static_cast<int>(index) + 1;
    std::string_view line = TrimView(lines[index]);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        const std::string_view name = TrimView(line.substr(1, close - 1));
        const auto [entry, added] = ini.sections_.try_emplace(LowerAscii(name));
        section = added ? &entry->second : nullptr;
        ini.written_.push_back({{std::string(name), lineNumber, added}, {}});
        continue;
      }
    }
    const std::size_t equals = line.find('=');
    const std::string_view name = equals == std::string_view::npos ? line : TrimView(line.substr(0, equals));
    if (ini.written_.empty()) ini.written_.push_back({{"", 0, false}, {}});
    bool added = false;
    if (section != nullptr) {
      std::optional<std::string> value;
      if (equals != std::string_view::npos) value = ProfileValue(TrimView(line.substr(equals + 1)));
      added = section->try_emplace(LowerAscii(name), std::move(value)).second;
    }
    ini.written_.back().keys.push_back({std::string(name), lineNumber, added});
  }
  return ini;
}

std::optional<std::string> IniFile::Find(std::string_view section, std::string_view key) const {
  const auto keys = sections_.find(LowerAscii(section));
  if (keys == sections_.end()) return std::nullopt;
  const auto value = keys->second.find(LowerAscii(key));
  if (value == keys->second.end()) return std::nullopt;
  return value->second;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key, const std::string& fallback) const {
  return Find(section, key).value_or(fallback);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key, std::int32_t fallback) const {
  const std::optional<std::string> value = Find(section, key);
  if (!value) return fallback;
  return ParseIniInteger(*value).value_or(fallback);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace tavro
