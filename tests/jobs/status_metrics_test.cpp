#include "jobs/status_metrics.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace tavro {
namespace {

// Each sample under its family's name, a job's under its kind and number, label values escaped.
TEST(StatusMetrics, TellsTheLauncherAndEachJob) {
  StatusRecord record;
  record.version = "1.4.0";
  record.state = LauncherRunState::Running;
  record.reading = {ZonedTime{MakeDateTime(2026, 12, 7, 10, 0, 0), 60}, false, 2, 5, 1};
  record.source = {"pi", "read of X gave -1", ZonedTime{MakeDateTime(1970, 1, 1, 0, 0, 1), 0}, 4, false};
  StatusRecord::Job& pump = record.jobs.emplace_back();
  pump.number = 1;
  pump.section = "pump_1";
  pump.name = "C:\\jobs\\\"p\"\n.exe";
  pump.lastLaunch = ZonedTime{MakeDateTime(1970, 1, 1, 0, 0, 1, 250), 0};
  pump.counts = {7, 1, 0, 0, 3, 0, 0};
  pump.runsNow = 2;
  pump.lastEnd = RunEndRecord{true, 9, 10};
  StatusRecord::Job& task = record.jobs.emplace_back();
  task.kind = JobKind::Task;
  task.number = 12;
  task.counts.heldBySourceFailure = 6;
  task.lastEnd = RunEndRecord{false, 3, 10};

  std::set<std::string> lines;
  std::istringstream text(MetricsText(record));
  for (std::string line; std::getline(text, line);) lines.insert(line);
  for (const char* expected : {
           "# TYPE tavro_readings_total counter",
           "tavro_launcher_running 1",
           "tavro_launcher_info{version=\"1.4.0\",mode=\"program\"} 1",
           "tavro_readings_total{verdict=\"errors\"} 1",
           "tavro_last_reading_timestamp_seconds 1796634000",
           "tavro_source_info{mode=\"pi\"} 1",
           "tavro_source_read_errors_total 4",
           "tavro_source_reachable 0",
           "tavro_job_info{kind=\"pump\",number=\"1\",section=\"pump_1\",name=\"C:\\\\jobs\\\\\\\"p\\\"\\n.exe\"} 1",
           "tavro_job_launches_total{kind=\"pump\",number=\"1\"} 7",
           "tavro_job_missed_slots_total{kind=\"pump\",number=\"1\"} 3",
           "tavro_job_limit_ends_total{kind=\"task\",number=\"12\"} 0",
           "tavro_job_held_slots_total{kind=\"task\",number=\"12\",reason=\"source_failure\"} 6",
           "tavro_job_running{kind=\"pump\",number=\"1\"} 2",
           "tavro_job_last_launch_timestamp_seconds{kind=\"pump\",number=\"1\"} 1.250",
           "tavro_job_last_exit_code{kind=\"pump\",number=\"1\"} 137",
           "tavro_job_last_exit_code{kind=\"task\",number=\"12\"} 3",
       }) {
    EXPECT_EQ(lines.count(expected), 1u) << expected;
  }
  EXPECT_EQ(lines.count("tavro_job_last_launch_timestamp_seconds{kind=\"task\",number=\"12\"} 0"), 0u);
}

}  // namespace
}  // namespace tavro
