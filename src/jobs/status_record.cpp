#include "jobs/status_record.h"

#include <cmath>
#include <iterator>
#include <limits>

#include "support/date_time_text.h"
#include "support/json.h"

namespace tavro {
namespace {

constexpr const char* kStateNames[] = {"running", "stopped", "ended"};
constexpr const char* kResultNames[] = {nullptr, "launched", "failed", "held", "skipped", "waiting"};
constexpr const char* kRunModeNames[] = {"program", "service"};

// One field per call, in the order the record lists them: `"name": value`.
class Writer {
 public:
  explicit Writer(std::string& out) : out_(out) {}
  Writer& Field(const char* name) {
    out_ += separator_;
    separator_ = ", ";
    AppendJsonString(out_, name);
    out_ += ": ";
    return *this;
  }
  void Text(std::string_view text) { AppendJsonString(out_, text); }
  void MaybeText(const std::optional<std::string>& text) { text ? Text(*text) : Null(); }
  void Number(double value) { AppendJsonNumber(out_, value); }
  void Boolean(bool value) { out_ += value ? "true" : "false"; }
  void Null() { out_ += "null"; }
  void Time(const std::optional<ZonedTime>& time) { time ? Text(ZonedTimeText(*time)) : Null(); }
  void NextLine(const char* indent) {
    out_ += ",\n";
    out_ += indent;
    separator_ = "";
  }

 private:
  std::string& out_;
  const char* separator_ = "";
};

void WriteJob(std::string& out, const StatusRecord::Job& job) {
  out += '{';
  Writer w(out);
  w.Field("kind").Text(JobKindName(job.kind));
  w.Field("number").Number(job.number);
  w.Field("section").Text(job.section);
  w.Field("name").Text(job.name);
  w.Field("next").Time(job.next);
  w.Field("lastLaunch").Time(job.lastLaunch);
  w.Field("command").MaybeText(job.command);
  w.Field("result");
  const char* result = kResultNames[static_cast<std::size_t>(job.result)];
  result ? w.Text(result) : w.Null();
  if (job.result == LaunchResult::Failed) {
    w.Field("returnValue").Number(job.returnValue);
    w.Field("meaning").Text(job.meaning);
  }
  if (job.result == LaunchResult::Held) {
    w.Field("heldBy").Text(job.heldBy);
    w.Field("heldValue").Number(job.heldValue);
    // Added within format 1: a reader that knows them not takes the hold for a value's.
    if (job.sourceFailed) w.Field("sourceFailed").Text(*job.sourceFailed);
    if (job.readAgainUntil) w.Field("readAgainUntil").Time(job.readAgainUntil);
  }
  w.Field("lastEnd");
  if (job.lastEnd) {
    out += '{';
    Writer end(out);
    end.Field(job.lastEnd->bySignal ? "signal" : "exitCode").Number(static_cast<double>(job.lastEnd->code));
    end.Field("seconds");
    out += SecondsText(job.lastEnd->milliseconds);
    if (job.lastEnd->byLimit) end.Field("runTimeLimit").Boolean(true);
    out += '}';
  } else {
    w.Null();
  }
  // Added within format 1, as counts a reader may do without.
  w.Field("skippedOverlaps").Number(static_cast<double>(job.skippedOverlaps));
  w.Field("endedByLimit").Number(static_cast<double>(job.endedByLimit));
  out += '}';
}

// Reads the fields of one object; the first problem met is kept, and later reads give defaults.
class Reader {
 public:
  Reader(const JsonValue& object, std::string where, std::string& problem)
      : object_(object), where_(std::move(where)), problem_(problem) {
    if (object.As<JsonValue::Object>() == nullptr) Fail("", "is no object");
  }
  bool Ok() const { return problem_.empty(); }
  void Fail(const std::string& name, const char* what) {
    if (problem_.empty()) problem_ = where_ + (name.empty() ? "" : "\"" + name + "\" ") + what;
  }
  const JsonValue& Get(const std::string& name) { return object_[name]; }

  std::string Text(const std::string& name) { return OptionalText(name, false).value_or(std::string()); }
  std::optional<std::string> OptionalText(const std::string& name, bool nullable = true) {
    const JsonValue& value = Get(name);
    if (nullable && value.IsNull()) return std::nullopt;
    if (const std::string* text = value.As<std::string>()) return *text;
    Fail(name, nullable ? "is no text or null" : "is no text");
    return std::nullopt;
  }
  double Number(const std::string& name) {
    if (const double* number = Get(name).As<double>()) return *number;
    Fail(name, "is no number");
    return 0.0;
  }
  // A whole number within the type's range.
  template <typename Integer>
  Integer Whole(const std::string& name) {
    const double number = Number(name);
    if (number != std::floor(number) || number < static_cast<double>(std::numeric_limits<Integer>::min()) ||
        number > static_cast<double>(std::numeric_limits<Integer>::max())) {
      Fail(name, "is no whole number in range");
      return 0;
    }
    return static_cast<Integer>(number);
  }
  bool Boolean(const std::string& name) {
    if (const bool* flag = Get(name).As<bool>()) return *flag;
    Fail(name, "is no true or false");
    return false;
  }
  std::optional<ZonedTime> Time(const std::string& name) {
    const std::optional<std::string> text = OptionalText(name);
    if (!text) return std::nullopt;
    const std::optional<ZonedTime> time = ParseZonedTime(*text);
    if (!time) Fail(name, "is no date and time");
    return time;
  }
  // The index of the text among `names`.
  template <typename Names>
  std::size_t Choice(const std::string& name, const Names& names) {
    const std::optional<std::string> text = OptionalText(name);
    for (std::size_t i = 0; i < std::size(names); ++i) {
      if (text ? (names[i] != nullptr && *text == names[i]) : names[i] == nullptr) return i;
    }
    Fail(name, "has no value the record knows");
    return 0;
  }

 private:
  const JsonValue& object_;
  std::string where_;
  std::string& problem_;
};

StatusRecord::Job ReadJob(const JsonValue& value, std::size_t index, std::string& problem) {
  Reader r(value, "job " + std::to_string(index + 1) + ": ", problem);
  StatusRecord::Job job;
  job.kind = static_cast<JobKind>(r.Choice("kind", kJobKindNames));
  job.number = r.Whole<int>("number");
  job.section = r.Text("section");
  job.name = r.Text("name");
  job.next = r.Time("next");
  job.lastLaunch = r.Time("lastLaunch");
  job.command = r.OptionalText("command");
  job.result = static_cast<LaunchResult>(r.Choice("result", kResultNames));
  if (job.result == LaunchResult::Failed) {
    job.returnValue = r.Whole<int>("returnValue");
    job.meaning = r.Text("meaning");
  }
  if (job.result == LaunchResult::Held) {
    job.heldBy = r.Text("heldBy");
    // Written as null when it was no finite number.
    const JsonValue& held = r.Get("heldValue");
    job.heldValue = held.IsNull() ? std::numeric_limits<double>::quiet_NaN() : r.Number("heldValue");
    job.sourceFailed = r.OptionalText("sourceFailed");
    job.readAgainUntil = r.Time("readAgainUntil");
  }
  if (const JsonValue& end = r.Get("lastEnd"); !end.IsNull()) {
    Reader e(end, "job " + std::to_string(index + 1) + ": lastEnd ", problem);
    RunEndRecord record;
    record.bySignal = !e.Get("signal").IsNull();
    record.code = e.Whole<std::int64_t>(record.bySignal ? "signal" : "exitCode");
    const double seconds = e.Number("seconds");
    if (!(seconds >= 0.0 && seconds < 1e15)) e.Fail("seconds", "is out of range");
    record.milliseconds = static_cast<std::int64_t>(seconds * 1000 + 0.5);
    record.byLimit = !e.Get("runTimeLimit").IsNull() && e.Boolean("runTimeLimit");
    job.lastEnd = record;
  }
  if (!r.Get("skippedOverlaps").IsNull()) job.skippedOverlaps = r.Whole<std::uint64_t>("skippedOverlaps");
  if (!r.Get("endedByLimit").IsNull()) job.endedByLimit = r.Whole<std::uint64_t>("endedByLimit");
  return job;
}

}  // namespace

std::string StatusRecordText(const StatusRecord& record) {
  std::string out;
  out.reserve(1024 + 400 * record.jobs.size());
  out += "{\n  ";
  Writer w(out);
  w.Field("format").Number(record.format);
  w.NextLine("  ");
  w.Field("processId").Number(record.processId);
  w.NextLine("  ");
  w.Field("version").Text(record.version);
  w.NextLine("  ");
  w.Field("runMode").Text(kRunModeNames[record.serviceMode ? 1 : 0]);
  w.NextLine("  ");
  w.Field("state").Text(kStateNames[static_cast<std::size_t>(record.state)]);
  w.NextLine("  ");
  w.Field("stopReason").MaybeText(record.stopReason);
  w.NextLine("  ");
  w.Field("written").Time(record.written);
  w.NextLine("  ");
  w.Field("reading");
  {
    out += '{';
    Writer r(out);
    r.Field("time").Time(record.reading.time);
    r.Field("valid").Boolean(record.reading.valid);
    r.Field("warnings").Number(record.reading.warnings);
    out += '}';
  }
  w.NextLine("  ");
  w.Field("source");
  {
    out += '{';
    Writer s(out);
    s.Field("mode").Text(record.source.mode);
    s.Field("lastReadError").MaybeText(record.source.lastReadError);
    s.Field("lastReadErrorTime").Time(record.source.lastReadErrorTime);
    s.Field("reachable").Boolean(record.source.reachable);
    out += '}';
  }
  w.NextLine("  ");
  w.Field("unwatchedRuns").Number(static_cast<double>(record.unwatchedRuns));
  w.NextLine("  ");
  w.Field("jobs");
  out += '[';
  const char* separator = "\n    ";
  for (const StatusRecord::Job& job : record.jobs) {
    out += separator;
    separator = ",\n    ";
    WriteJob(out, job);
  }
  out += record.jobs.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

std::optional<StatusRecord> ParseStatusRecord(std::string_view text, std::string& error) {
  const std::optional<JsonValue> json = ParseJson(text, error);
  if (!json) return std::nullopt;
  std::string problem;
  Reader r(*json, "", problem);
  StatusRecord record;
  record.format = r.Whole<int>("format");
  if (r.Ok() && record.format != kStatusFormat) {
    error = "format " + std::to_string(record.format) + ", where this version reads format " +
            std::to_string(kStatusFormat);
    return std::nullopt;
  }
  record.processId = r.Whole<int>("processId");
  record.version = r.Text("version");
  record.serviceMode = r.Choice("runMode", kRunModeNames) == 1;
  record.state = static_cast<LauncherRunState>(r.Choice("state", kStateNames));
  record.stopReason = r.OptionalText("stopReason");
  const std::optional<ZonedTime> written = r.Time("written");
  if (r.Ok() && !written) r.Fail("written", "is missing");
  record.written = written.value_or(ZonedTime{});
  {
    Reader reading(r.Get("reading"), "reading: ", problem);
    record.reading.time = reading.Time("time");
    record.reading.valid = reading.Boolean("valid");
    record.reading.warnings = reading.Whole<int>("warnings");
  }
  {
    Reader source(r.Get("source"), "source: ", problem);
    record.source.mode = source.Text("mode");
    record.source.lastReadError = source.OptionalText("lastReadError");
    record.source.lastReadErrorTime = source.Time("lastReadErrorTime");
    // Records of launchers before it lack the field.
    record.source.reachable = source.Get("reachable").IsNull() || source.Boolean("reachable");
  }
  record.unwatchedRuns = r.Whole<std::uint64_t>("unwatchedRuns");
  const JsonValue::Array* jobs = r.Get("jobs").As<JsonValue::Array>();
  if (jobs == nullptr) r.Fail("jobs", "is no list");
  for (std::size_t i = 0; jobs != nullptr && i < jobs->size() && r.Ok(); ++i) {
    record.jobs.push_back(ReadJob((*jobs)[i], i, problem));
  }
  if (!r.Ok()) {
    error = problem;
    return std::nullopt;
  }
  return record;
}

}  // namespace tavro
