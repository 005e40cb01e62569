#include "jobs/history_line.h"

#include <array>
#include <charconv>

#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr std::array<const char*, 11> kEventNames{
    "launched", "launch failed", "held",    "source failed", "read again", "passed",
    "run ended", "started",      "stopped", "ended",         "not running"};

// A field's TABs and line breaks would split the line: they become blanks.
void AppendField(std::string& out, std::string_view text) {
  for (const char c : text) out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
}

void AppendTime(std::string& out, const std::optional<ZonedTime>& time) {
  if (time) out += ZonedTimeText(*time);
}

// A field that is empty or a time; false for anything else.
bool ParseTime(std::string_view text, std::optional<ZonedTime>& time) {
  if (text.empty()) return true;
  time = ParseZonedTime(text);
  return time.has_value();
}

bool ParseJob(std::string_view text, HistoryLine& line) {
  if (text.empty()) return true;
  const std::size_t blank = text.find(' ');
  if (blank == std::string_view::npos) return false;
  const std::string_view kind = text.substr(0, blank), number = text.substr(blank + 1);
  std::size_t k = 0;
  while (k < kJobKindNames.size() && kind != kJobKindNames[k]) ++k;
  if (k == kJobKindNames.size()) return false;
  line.kind = static_cast<JobKind>(k);
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), line.number);
  return error == std::errc{} && end == number.data() + number.size() && line.number > 0;
}

}  // namespace

const char* HistoryEventName(HistoryEvent event) { return kEventNames[static_cast<std::size_t>(event)]; }

std::string HistoryLineText(const HistoryLine& line) {
  std::string text = ZonedTimeText(line.time);
  text.append(1, '\t').append(HistoryEventName(line.event)).append(1, '\t');
  if (line.number > 0) text.append(JobKindName(line.kind)).append(1, ' ').append(std::to_string(line.number));
  text += '\t';
  AppendTime(text, line.slot);
  text += '\t';
  AppendTime(text, line.until);
  text += '\t';
  AppendField(text, line.detail);
  text += '\t';
  AppendField(text, line.command);
  text += '\n';
  return text;
}

bool SplitHistoryLine(std::string_view text, HistoryFields& fields) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  for (std::size_t i = 0; i + 1 < kHistoryFields; ++i) {
    const std::size_t tab = text.find('\t');
    if (tab == std::string_view::npos) return false;
    fields[i] = text.substr(0, tab);
    text.remove_prefix(tab + 1);
  }
  fields[kHistoryFields - 1] = text;  // the command, the last field, may hold anything but a line end
  return true;
}

std::optional<HistoryLine> ParseHistoryLine(std::string_view text) {
  HistoryFields fields;
  if (!SplitHistoryLine(text, fields)) return std::nullopt;
  HistoryLine line;
  const std::optional<ZonedTime> time = ParseZonedTime(fields[0]);
  if (!time) return std::nullopt;
  line.time = *time;
  std::size_t e = 0;
  while (e < kEventNames.size() && fields[1] != kEventNames[e]) ++e;
  if (e == kEventNames.size()) return std::nullopt;
  line.event = static_cast<HistoryEvent>(e);
  if (!ParseJob(fields[2], line) || !ParseTime(fields[3], line.slot) || !ParseTime(fields[4], line.until)) {
    return std::nullopt;
  }
  line.detail = fields[5];
  line.command = fields[6];
  return line;
}

}  // namespace tavro
