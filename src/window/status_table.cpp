#include "window/status_table.h"

#include <algorithm>
#include <array>
#include <optional>

#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr const char* kNone = "-";

// "3s", "4min 5s", "2h 10min", "3d 4h": the two largest units, as list-timers writes them.
std::string SpanText(std::int64_t ms) {
  const std::int64_t seconds = ms / kMsPerSecond;
  const std::int64_t minutes = seconds / 60, hours = minutes / 60, days = hours / 24;
  if (days > 0) return std::to_string(days) + "d " + std::to_string(hours % 24) + "h";
  if (hours > 0) return std::to_string(hours) + "h " + std::to_string(minutes % 60) + "min";
  if (minutes > 0) return std::to_string(minutes) + "min " + std::to_string(seconds % 60) + "s";
  return std::to_string(seconds) + "s";
}

std::string EndText(const JsonValue& end) {
  if (end.IsNull()) return {};
  // Durations are never negative: rounded by hand, the maths library stays out of the launcher.
  const std::string seconds = SecondsText(static_cast<std::int64_t>(end["seconds"].Number() * 1000 + 0.5));
  if (!end["signal"].IsNull()) {
    return "ended by signal " + NumberText(end["signal"].Number()) + " after " + seconds + " s";
  }
  return "exit code " + NumberText(end["exitCode"].Number()) + " after " + seconds + " s";
}

std::string ResultText(const JsonValue& job) {
  const std::string result = job["result"].Text();
  std::string text = kNone;
  if (result == "launched") text = "launched";
  if (result == "failed") {
    text = "failed, return value " + NumberText(job["returnValue"].Number()) + " (" + job["meaning"].Text() + ")";
  }
  if (result == "held") {
    text = "held by " + job["heldBy"].Text() + " (" + NumberText(job["heldValue"].Number()) + ")";
  }
  const std::string end = EndText(job["lastEnd"]);
  return end.empty() ? text : text + "; last run: " + end;
}

std::array<std::string, 6> Row(const JsonValue& job, DateTime now) {
  const std::optional<DateTime> next = ParseIsoDateTime(job["next"].Text());
  const std::optional<DateTime> last = ParseIsoDateTime(job["lastLaunch"].Text());
  return {next ? job["next"].Text() : kNone,
          next ? (*next < now ? "due" : SpanText(next->ms - now.ms)) : kNone,
          last ? job["lastLaunch"].Text() : kNone,
          last ? (now < *last ? kNone : SpanText(now.ms - last->ms) + " ago") : kNone,
          job["kind"].Text() + " " + NumberText(job["number"].Number()) + " " + job["name"].Text(),
          ResultText(job)};
}

}  // namespace

std::vector<std::string> StatusTableLines(const JsonValue& status, DateTime now) {
  std::vector<std::array<std::string, 6>> rows{{"NEXT", "LEFT", "LAST", "PASSED", "JOB", "RESULT"}};
  for (const JsonValue& job : status["jobs"].Items()) rows.push_back(Row(job, now));
  std::array<std::size_t, 6> widths{};
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - row[i].size() + 2, ' ');
    }
    lines.push_back(line);
  }
  return lines;
}

std::string StatusSummary(const JsonValue& status, bool runs) {
  const int processId = static_cast<int>(status["processId"].Number());
  const JsonValue& reading = status["reading"];
  std::string text = std::to_string(status["jobs"].Items().size()) + " jobs; launcher " +
                     (runs ? status["state"].Text()
                           : "stale: process " + std::to_string(processId) + " no longer runs");
  if (runs && !status["stopReason"].IsNull()) text += " (" + status["stopReason"].Text() + ")";
  text += ", " + status["runMode"].Text() + " mode, version " + status["version"].Text() +
          (runs ? ", process " + std::to_string(processId) : ", written " + status["written"].Text());
  text += "; last reading " + reading["time"].Text(kNone) + " " +
          (reading["valid"].Boolean() ? "valid" : "with errors") +
          ", " + NumberText(reading["warnings"].Number()) + " warnings";
  const JsonValue& source = status["source"];
  text += "; source " + source["mode"].Text();
  if (!source["lastReadError"].IsNull()) {
    text += ", last read error at " + source["lastReadErrorTime"].Text() + ": " + source["lastReadError"].Text();
  }
  if (const double unwatched = status["unwatchedRuns"].Number(); unwatched > 0) {
    text += "; " + NumberText(unwatched) + " runs started without watching their end";
  }
  return text;
}


}  // namespace tavro
