#include "schedule/history_journal.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "support/log_file.h"
#include "support/process_path.h"
#include "support/utf8.h"
#include "support/whole_file.h"

namespace tavro {
namespace {

constexpr const char* kExtension = ".history";
// A day of a thousand busy jobs is about 10 MB.
constexpr std::size_t kMostFileBytes = std::size_t{1} << 28;

std::string DateDigits(DateTime date) {
  const CivilDateTime civil = ToCivil(date);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d%02d%02d", civil.year % 10000, civil.month, civil.day);
  return digits;
}

// "tavrorun-" for "/etc/tavro/tavrorun.ini".
std::string FilePrefix(const std::string& iniFileName) {
  const std::string name = FileNameOf(iniFileName);
  return name.substr(0, name.rfind('.')) + "-";
}

std::optional<ZonedTime> Zoned(const TimeZone& zone, DateTime local) {
  if (!IsSet(local)) return std::nullopt;
  return FirstZonedTimeOf(zone, local);
}

}  // namespace

std::string HistoryFileName(const std::string& iniFileName, DateTime date) {
  const std::string folder = FolderOf(iniFileName);
  const std::string file = FilePrefix(iniFileName) + DateDigits(date) + kExtension;
  return folder.empty() ? file : (std::filesystem::path(folder) / file).string();
}

void ForEachHistoryLine(const std::string& iniFileName, DateTime first, DateTime last,
                        const std::function<void(std::string_view line)>& take) {
  for (DateTime date = StartOfDay(first); !(StartOfDay(last) < date); date = AddDays(date, 1)) {
    const WholeFile file = ReadWholeFile(HistoryFileName(iniFileName, date), kMostFileBytes);
    if (file.outcome != WholeFile::Outcome::Read) continue;
    const std::string_view text = file.bytes;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t end = std::min(text.find('\n', at), text.size());
      if (end > at) take(text.substr(at, end - at));
      at = end + 1;
    }
  }
}

HistoryJournal::HistoryJournal(std::string iniFileName, const TimeZone& zone, DateTime now)
    : iniFileName_(std::move(iniFileName)), zone_(zone) {
  // The newest file of the kept dates holds the last launcher's last line.
  for (int back = 0; back <= kHistoryDays; ++back) {
    const DateTime date = AddDays(StartOfDay(now), -back);
    std::string lastText;
    ForEachHistoryLine(iniFileName_, date, date, [&lastText](std::string_view text) { lastText.assign(text); });
    const std::optional<HistoryLine> last = ParseHistoryLine(lastText);
    if (!last) continue;
    lastEnd_ = last->event == HistoryEvent::Ended ? last->detail : "killed";
    break;
  }
}

void HistoryJournal::Record(HistoryEvent event, const ZonedTime& time, JobKind kind, int number, DateTime slot,
                            DateTime until, const std::string& detail, const std::string& command) {
  if (StartOfDay(time.local) != date_ || fileName_.empty()) FollowDate(StartOfDay(time.local));
  HistoryLine line{time, event, kind, number, Zoned(zone_, slot), Zoned(zone_, until), Utf8FromSystemText(detail),
                   Utf8FromSystemText(command)};
  if (event == HistoryEvent::NotRunning && line.detail.empty()) line.detail = lastEnd_;
  AppendToLogFile(fileName_, HistoryLineText(line));
}

void HistoryJournal::FollowDate(DateTime date) {
  date_ = date;
  fileName_ = HistoryFileName(iniFileName_, date);
  // The dates are in the names: "tavrorun-YYYYMMDD.history" sorts as its date does.
  const std::string prefix = FilePrefix(iniFileName_);
  const std::string oldest = prefix + DateDigits(AddDays(date, -(kHistoryDays - 1))) + kExtension;
  const std::string folder = FolderOf(iniFileName_);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() != oldest.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !name.ends_with(kExtension) || !(name < oldest)) {
      continue;
    }
    std::error_code removeError;
    std::filesystem::remove(entry.path(), removeError);
  }
}

}  // namespace tavro
