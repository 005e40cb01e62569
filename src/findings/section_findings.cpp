// Sections and keys the reading never looks at, and values it replaces or misreads without a word.

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "config/job_sections.h"
#include "config/program_sections.h"
#include "config/section_keys.h"
#include "support/text.h"
#include "findings/findings.h"

namespace tavro {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The candidate `written` most likely is a mistyping of: at most two letters off, and fewer than a
// third of the candidate's.
std::optional<std::string> Nearest(std::string_view written, const std::vector<std::string>& candidates) {
  const std::string lower = LowerAscii(written);
  std::optional<std::string> nearest;
  std::size_t best = std::numeric_limits<std::size_t>::max();
  for (const std::string& candidate : candidates) {
    const std::size_t distance = EditDistance(lower, candidate);
    if (distance <= 2 && distance * 3 < candidate.size() && distance < best) {
      best = distance;
      nearest = candidate;
    }
  }
  return nearest;
}

// How the file names a section of this kind: "pumps", "pump_N".
std::string SectionPattern(const SectionDescription& section) {
  return section.numbered ? section.name + "N" : section.name;
}

const JobFamily& FamilyOf(const SectionDescription& section) {
  return *std::find_if(kJobFamilies.begin(), kJobFamilies.end(),
                       [&section](const JobFamily& family) { return section.name == family.prefix; });
}

// The number after a job section's prefix, written as the reading writes it (no sign, no leading 0).
std::optional<std::size_t> JobNumber(std::string_view suffix) {
  if (suffix.empty() || suffix.size() > 9 || suffix.front() == '0' ||
      !std::all_of(suffix.begin(), suffix.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(*ParseDecimal(suffix));
}

std::string UnreadJobSection(const JobFamily& family, std::size_t jobs) {
  const std::string reads = jobs == 0 ? std::string("no ") + family.prefix + " section"
                                      : family.prefix + std::string("1 to ") + family.prefix + std::to_string(jobs);
  return "nothing reads this section: the launcher reads " + reads + " ([" + family.head + "] count)";
}

std::string UnknownSection(std::string_view written) {
  std::vector<std::string> candidates;
  const std::string lower = LowerAscii(written);
  const std::size_t digits = lower.find_last_not_of("0123456789") + 1;
  // A job section first: "pump1" is nearer to "pump_1" than to "pumps".
  for (const SectionDescription& section : KnownSections()) {
    if (section.numbered) candidates.push_back(section.name + (digits < lower.size() ? lower.substr(digits) : "1"));
  }
  for (const SectionDescription& section : KnownSections()) {
    if (!section.numbered) candidates.push_back(section.name);
  }
  const std::optional<std::string> nearest = Nearest(written, candidates);
  return "unknown section; " + (nearest ? "did you mean [" + *nearest + "]?" : std::string("nothing reads it"));
}

// The kind of section a header names; none (and why) when nothing reads it.
struct SectionRole {
  const SectionDescription* description = nullptr;
  std::string unread;
};

SectionRole RoleOf(std::string_view written, const LauncherState& state) {
  const std::string name = LowerAscii(written);
  for (const SectionDescription& section : KnownSections()) {
    if (!section.numbered) {
      if (name == section.name) return {&section, ""};
      continue;
    }
    if (!std::string_view(name).starts_with(section.name)) continue;
    const JobFamily& family = FamilyOf(section);
    const std::size_t jobs = family.jobs(state);
    const std::optional<std::size_t> number = JobNumber(std::string_view(name).substr(section.name.size()));
    if (number && *number <= jobs) return {&section, ""};
    return {nullptr, UnreadJobSection(family, jobs)};
  }
  return {nullptr, UnknownSection(written)};
}

std::string UnknownKey(std::string_view written, const SectionDescription& section) {
  std::vector<std::string> names;
  for (const KeyDescription& key : section.keys) names.push_back(key.name);
  if (const std::optional<std::string> nearest = Nearest(written, names)) {
    return "unknown key; did you mean " + *nearest + "?";
  }
  std::string known;
  for (const std::string& name : names) known += (known.empty() ? "" : ", ") + name;
  return "unknown key; the keys of [" + SectionPattern(section) + "] are " + known;
}

// What a value must look like, and what the launcher makes of it otherwise.
using ValueCheck = std::optional<std::string> (*)(const KeyDescription& key, const std::string& value);

std::string RangeText(const ValueRange& range) {
  if (range.highest == std::numeric_limits<std::int32_t>::max()) return std::to_string(range.lowest) + " or more";
  return std::to_string(range.lowest) + " to " + std::to_string(range.highest);
}

std::optional<std::string> NumberProblem(const KeyDescription& key, const std::string& value) {
  if (ParseIniInteger(value)) return std::nullopt;
  // Digits alone that do not parse are too many of them.
  const std::string digits = TrimBlanks(value);
  const bool tooLarge = !digits.empty() && digits.find_first_not_of("0123456789", digits[0] == '-' ? 1 : 0) ==
                                               std::string::npos;
  return Quoted(value) + (tooLarge ? " is too large a number (expected at most 2147483647)" : " is not a number") +
         "; the launcher uses " + std::to_string(key.numberDefault);
}

std::optional<std::string> IntegerProblem(const KeyDescription& key, const std::string& value) {
  const std::optional<std::int32_t> number = ParseIniInteger(value);
  if (!number) return NumberProblem(key, value);
  if (*number < key.sensible.lowest || *number > key.sensible.highest) {
    return value + " is out of range (expected " + RangeText(key.sensible) + ")";
  }
  return std::nullopt;
}

std::optional<std::string> BooleanProblem(const KeyDescription& key, const std::string& value) {
  if (ParseIniInteger(value)) return std::nullopt;
  return Quoted(value) + " is not a number (expected 0 for no, another number for yes); the launcher uses " +
         (key.numberDefault != 0 ? "1 (yes)" : "0 (no)");
}

std::optional<std::string> SourceProblem(const KeyDescription&, const std::string& value) {
  std::string names;
  for (const auto& [name, mode] : kSourceNames) {
    if (EqualsIgnoreCase(value, name)) return std::nullopt;
    names += (names.empty() ? "" : mode == kSourceNames.back().second ? " or " : ", ") + std::string(name);
  }
  return Quoted(value) + " names no source (expected " + names +
         "); the launcher keeps the source it had: at start-up none";
}

// "minute" and "hour" of a report are single numbers; the reading warns and replaces them.
std::optional<std::string> ClockProblem(const std::string& value, std::int32_t highest, std::int32_t replacement) {
  const std::optional<std::int32_t> number = ParseIniInteger(value);
  if (number && *number >= 0 && *number <= highest) return std::nullopt;
  const std::string what = number ? value + " is out of range" : Quoted(value) + " is not a number";
  return what + " (expected 0 to " + std::to_string(highest) + "); the launcher uses " + std::to_string(replacement);
}

std::optional<std::string> OverlapProblem(const KeyDescription&, const std::string& value) {
  if (OverlapPolicyNamed(value)) return std::nullopt;
  return Quoted(value) + " names no overlap policy (expected run, skip or wait); the launcher uses " +
         "[program] overlap, by default run";
}

// Only a task waits for its earlier run; the other kinds skip instead.
std::optional<std::string> JobOverlapProblem(const KeyDescription& key, const std::string& value) {
  if (OverlapPolicyNamed(value) == OverlapPolicy::Wait) return "wait is for tasks; the launcher skips such a slot";
  return OverlapProblem(key, value);
}

// A job's limit that is no number is the program's.
std::optional<std::string> JobLimitProblem(const KeyDescription& key, const std::string& value) {
  if (!ParseIniInteger(value)) return Quoted(value) + " is not a number; the launcher uses [program] maxruntime";
  return IntegerProblem(key, value);
}

struct ValueRule {
  std::string_view section;  // views: compared by length first, for each key of the file
  std::string_view key;
  ValueCheck check;
};

// Keys with a rule of their own; the others are checked by their kind. A phase's range depends on
// its job's period, which the phase check sees.
constexpr std::array<ValueRule, 15> kValueRules{{
    {"pump_", "phase", NumberProblem},
    {"batch_", "phase", NumberProblem},
    {"task_", "phase", NumberProblem},
    {"program", "mod", SourceProblem},
    {"program", "overlap", OverlapProblem},
    {"pump_", "overlap", JobOverlapProblem},
    {"batch_", "overlap", JobOverlapProblem},
    {"report_", "overlap", JobOverlapProblem},
    {"task_", "overlap", OverlapProblem},
    {"pump_", "maxruntime", JobLimitProblem},
    {"batch_", "maxruntime", JobLimitProblem},
    {"task_", "maxruntime", JobLimitProblem},
    {"report_", "maxruntime", JobLimitProblem},
    {"report_", "minute", [](const KeyDescription&, const std::string& value) { return ClockProblem(value, 59, 10); }},
    {"report_", "hour", [](const KeyDescription&, const std::string& value) { return ClockProblem(value, 23, 1); }},
}};

ValueCheck CheckFor(const SectionDescription& section, const KeyDescription& key) {
  for (const ValueRule& rule : kValueRules) {
    if (section.name == rule.section && key.name == rule.key) return rule.check;
  }
  switch (key.kind) {
    case KeyKind::Integer:
      return IntegerProblem;
    case KeyKind::Boolean:
      return BooleanProblem;
    case KeyKind::Text:
      break;
  }
  return nullptr;
}

// The line of the first of these names that counts, which hides a repeated one. The lines are
// gathered at the first repeat: a file made by a program may repeat thousands of names, and looking
// each one up from the start would take the square of their number.
template <class List, class NameOf>
class FirstLines {
 public:
  FirstLines(const List& list, NameOf nameOf) : list_(list), nameOf_(nameOf) {}
  int Of(std::string_view name) {
    if (!gathered_) {
      for (const auto& entry : list_) {
        const auto earlier = nameOf_(entry);
        if (earlier.counts) lines_.try_emplace(LowerAscii(earlier.name), earlier.line);
      }
      gathered_ = true;
    }
    const auto found = lines_.find(LowerAscii(name));
    return found == lines_.end() ? 0 : found->second;
  }

 private:
  const List& list_;
  NameOf nameOf_;
  bool gathered_ = false;
  std::unordered_map<std::string, int> lines_;
};

std::string Repeated(int line, int firstLine, const char* taken) {
  return "repeated at line " + std::to_string(line) + "; the launcher " + taken + " only the first one, at line " +
         std::to_string(firstLine);
}

// The value check of each key of a kind of section, in the order of its keys.
std::vector<ValueCheck> ChecksOf(const SectionDescription& section) {
  std::vector<ValueCheck> checks;
  for (const KeyDescription& key : section.keys) checks.push_back(CheckFor(section, key));
  return checks;
}

void FindKeyProblems(const IniFile::WrittenSection& written, const SectionDescription& section,
                     const std::vector<ValueCheck>& checks, Findings& findings) {
  const std::string name(written.header.name);
  FirstLines firstKeys(written.keys, [](const IniFile::Key& n) {
    return IniFile::WrittenName{n.Name(), n.Line(), n.Counts()};
  });
  for (std::size_t k = 0; k < written.keys.size(); ++k) {
    const IniFile::Key& key = written.keys[k];
    if (!key.Counts()) {
      findings.push_back({name, std::string(key.Name()), Repeated(key.Line(), firstKeys.Of(key.Name()), "takes")});
      continue;
    }
    const auto known = std::find_if(section.keys.begin(), section.keys.end(),
                                    [&key](const KeyDescription& d) { return EqualsIgnoreCase(d.name, key.Name()); });
    if (known == section.keys.end()) {
      findings.push_back({name, std::string(key.Name()), UnknownKey(key.Name(), section)});
      continue;
    }
    // A key that counts is the one a lookup finds: its value is the one the reading took.
    const std::optional<std::string_view> value = key.Value();
    if (!value) {
      findings.push_back(
          {name, std::string(key.Name()), "no \"=\" after the key; the launcher takes the key as missing"});
    } else if (const ValueCheck check = checks[static_cast<std::size_t>(known - section.keys.begin())]) {
      if (std::optional<std::string> problem = check(*known, std::string(*value))) {
        findings.push_back({name, std::string(key.Name()), *problem});
      }
    }
  }
}

}  // namespace

void FindSectionProblems(const CheckedFile& file, Findings& findings) {
  const std::vector<IniFile::WrittenSection>& sections = file.ini.Written();
  FirstLines firstSections(sections, [](const IniFile::WrittenSection& w) -> const auto& { return w.header; });
  // Worked out once for each kind of section: a file of thousands of jobs repeats a few kinds.
  const std::vector<SectionDescription>& known = KnownSections();
  std::vector<std::vector<ValueCheck>> checks(known.size());
  for (std::size_t s = 0; s < sections.size(); ++s) {
    const IniFile::WrittenName& header = sections[s].header;
    if (header.line == 0) {
      for (const IniFile::Key& key : sections[s].keys) {
        findings.push_back({std::nullopt, std::string(key.Name()),
                            "outside any section (line " + std::to_string(key.Line()) + "); nothing reads it"});
      }
      continue;
    }
    if (!header.counts) {
      findings.push_back(
          {std::string(header.name), std::nullopt, Repeated(header.line, firstSections.Of(header.name), "reads")});
      continue;
    }
    const SectionRole role = RoleOf(header.name, file.state);
    if (role.description == nullptr) {
      findings.push_back({std::string(header.name), std::nullopt, role.unread});
      continue;
    }
    std::vector<ValueCheck>& kindChecks = checks[static_cast<std::size_t>(role.description - known.data())];
    if (kindChecks.empty()) kindChecks = ChecksOf(*role.description);
    FindKeyProblems(sections[s], *role.description, kindChecks, findings);
  }
}

}  // namespace tavro
