#include "config/ini_file.h"

#include <vector>

#include "support/text.h"
#include "support/whole_file.h"

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

IniFile IniFile::Load(const std::string& path, std::string* problem) {
  const WholeFile file = ReadWholeFile(path);
  if (problem != nullptr) *problem = file.reason;
  if (file.outcome != WholeFile::Outcome::Read) return IniFile();
  return Parse(file.bytes);
}

IniFile IniFile::Parse(std::string_view text) {
  // An editor's UTF-8 mark would otherwise hide the first section.
  constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
  if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());

  IniFile ini;
  Keys* section = nullptr;  // none before the first header, and none for a repeated section
  for (std::string_view line : SplitLines(text)) {
    line = TrimView(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        const auto [entry, added] = ini.sections_.try_emplace(LowerAscii(TrimView(line.substr(1, close - 1))));
        section = added ? &entry->second : nullptr;
        continue;
      }
    }
    if (section == nullptr) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      section->try_emplace(LowerAscii(line));
    } else {
      section->try_emplace(LowerAscii(TrimView(line.substr(0, equals))),
                           ProfileValue(TrimView(line.substr(equals + 1))));
    }
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
