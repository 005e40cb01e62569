#include "jobs/status_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

namespace tavro {
namespace {

StatusRecord OneJob(const std::string& name, double heldValue) {
  StatusRecord record;
  record.processId = 4321;
  record.version = "0.9.0";
  record.serviceMode = true;
  record.stopReason = "errors in ini";
  record.written = {MakeDateTime(2026, 10, 25, 2, 20, 0), 60};
  record.reading = {ZonedTime{MakeDateTime(2026, 10, 25, 2, 0, 2), 120}, true, 2};
  record.source = {"mssql", "read of FI101 gave -20", ZonedTime{MakeDateTime(2026, 10, 25, 2, 15, 0), -330}};
  record.unwatchedRuns = 1ull << 53;
  StatusRecord::Job& job = record.jobs.emplace_back();
  job.kind = JobKind::Task;
  job.number = 12;
  job.section = "task_12";
  job.name = name;
  job.next = ZonedTime{MakeDateTime(2026, 10, 25, 2, 30, 0), 60};
  job.command = "C:\\Tavro\\jobs\\" + name + ".exe \"" + name + "\" 07.12.2026+10.15";
  job.result = LaunchResult::Held;
  job.heldBy = name;
  job.heldValue = heldValue;
  job.sourceFailed = "MSSQL error: " + name;
  job.readAgainUntil = ZonedTime{MakeDateTime(2026, 10, 25, 2, 45, 0), 60};
  job.lastEnd = RunEndRecord{true, 9, 1500, true};
  job.skippedOverlaps = 3;
  job.endedByLimit = 1ull << 40;
  return record;
}

// Every text comes back as the same characters, whatever it holds; a byte that is no UTF-8 comes
// back as the Latin-1 character it stands for, and a value JSON cannot write as a null.
TEST(StatusRecord, TextsAndNumbersComeBackThroughTheText) {
  std::string everyByte;
  for (int c = 0x80; c <= 0xFF; ++c) everyByte += static_cast<char>(c);
  std::string everyByteAsLatin1;
  for (int c = 0x80; c <= 0xFF; ++c) everyByteAsLatin1 += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    std::string name;
    std::string back;
    double held;
    double heldBack;
  } cases[] = {
      {"backslashes and quotes", "C:\\a\\\"b\\\\", "C:\\a\\\"b\\\\", 1e300, 1e300},
      {"control characters", "a\x01\t\n\r\x1f\x7f" "b", "a\x01\t\n\r\x1f\x7f" "b", -20, -20},
      {"a letter of the code page", "Ba\xE8" "ka", "Ba\xC3\xA8ka", 0.1, 0.1},
      {"bytes 0x80 to 0xFF", everyByte, everyByteAsLatin1, -0.0, -0.0},
      {"UTF-8", "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD \xF0\x9F\x94\xA5", "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD \xF0\x9F\x94\xA5",
       std::numeric_limits<double>::infinity(), nan},
      {"empty", "", "", nan, nan},
      {"long", std::string(100000, 'x'), std::string(100000, 'x'), 4.9e-324, 4.9e-324},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const StatusRecord written = OneJob(c.name, c.held);
    std::string error;
    const std::optional<StatusRecord> read = ParseStatusRecord(StatusRecordText(written), error);
    ASSERT_TRUE(read) << error << "\n" << StatusRecordText(written);
    const StatusRecord expected = OneJob(c.back, c.heldBack);
    // Field by field, so that a field the text leaves out is missed too.
    const auto fields = [](const StatusRecord& r) {
      const StatusRecord::Job& j = r.jobs.at(0);
      return std::tuple(r.unwatchedRuns, r.stopReason, r.source.lastReadErrorTime, r.reading.time, j.name, j.heldBy,
                        j.command, j.next, j.sourceFailed, j.readAgainUntil, j.lastEnd.value().milliseconds,
                        j.lastEnd.value().bySignal, j.lastEnd.value().byLimit, j.endedByLimit);
    };
    EXPECT_EQ(fields(*read), fields(expected));
    const double held = read->jobs.at(0).heldValue;
    EXPECT_TRUE(std::isnan(c.heldBack) ? std::isnan(held) : held == c.heldBack) << held;
    EXPECT_EQ(StatusRecordText(*read), StatusRecordText(expected));
  }
}

// What is no status record of this format is refused with a reason, never half read.
TEST(StatusRecord, DamagedTextsAreRefused) {
  const std::string good = StatusRecordText(OneJob("Balance", 1));
  const auto replaced = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const struct {
    std::string text;
    const char* reason;
  } cases[] = {
      {good.substr(0, good.size() / 2), " at byte "},
      {replaced("Balance", "Ba\xE8ka"), "bytes that are no UTF-8"},
      {replaced("Balance", "Bal\tance"), "a control character"},
      {replaced("Balance", "\\ud800x"), "a lone surrogate"},
      {replaced("\"number\": 12", "\"number\": 012"), "\"}\" expected"},
      {replaced("\"number\": 12", "\"number\": 1e999"), "a number out of range"},
      {replaced("\"processId\": 4321", "\"processId\": 43.5"), "\"processId\" is no whole number"},
      {replaced("\"kind\": \"task\"", "\"kind\": \"tasks\""), "job 1: \"kind\" has no value"},
      {replaced("\"format\": 1", "\"format\": 2"), "format 2, where this version reads format 1"},
      {replaced("\"format\": 1,", ""), "\"format\" is no number"},
      {replaced("02:30:00+01:00", "02:30:00"), "job 1: \"next\" is no date and time"},
      {replaced("02:30:00+01:00", "02:30:00+1:00"), "job 1: \"next\" is no date and time"},
      {"[1, 2]", "is no object"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseStatusRecord(c.text, error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace tavro
