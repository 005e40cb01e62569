#include "app/alerting_log.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/simulated_clock.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"

namespace tavro {
namespace {

// One alert per event and job within the quiet minutes; the next one told counts those held back.
TEST(AlertQuiet, TellsOncePerEventAndJobWithinTheQuietMinutes) {
  const struct {
    LogEvent event;
    const char* job;
    int minute;
    std::optional<std::uint64_t> told;
  } steps[] = {
      {LogEvent::LaunchFailed, "pump 1", 0, 0},
      {LogEvent::LaunchFailed, "pump 1", 1, std::nullopt},
      {LogEvent::LaunchFailed, "pump 2", 1, 0},  // another job
      {LogEvent::RunFailed, "pump 1", 1, 0},     // another event
      {LogEvent::LaunchFailed, "pump 1", 14, std::nullopt},
      {LogEvent::LaunchFailed, "pump 1", 15, 2},  // the quiet minutes are over: two were held back
      {LogEvent::LaunchFailed, "pump 1", 29, std::nullopt},
      {LogEvent::LaunchFailed, "pump 1", 45, 1},
  };
  AlertQuiet quiet;
  for (const auto& step : steps) {
    EXPECT_EQ(quiet.Pass(step.event, step.job, step.minute * 60000LL, 15), step.told)
        << LogEventWord(step.event) << " " << step.job << " at minute " << step.minute;
  }
}

// The program gets its fixed arguments, then the event, the job and the text, each as one
// argument whatever it holds.
TEST(AlertCommand, PassesEachPartAsOneArgument) {
  const struct {
    const char* alert;
    const char* job;
    std::string text;
    std::uint64_t heldBack;
    const char* program;
    std::vector<std::string> arguments;
  } cases[] = {
      {"notify", "pump 3", "C:\\jobs\\p.exe 1 launch failed, return value 2", 0, "notify",
       {"launch-failed", "pump 3", "C:\\jobs\\p.exe 1 launch failed, return value 2"}},
      {"\"C:\\Program Files\\page.exe\" --to \"night shift\"", "-", "a \"quoted\" word\\", 3,
       "C:\\Program Files\\page.exe",
       {"--to", "night shift", "launch-failed", "-", "a \"quoted\" word\\ (3 more since the last alert)"}},
      {"x", "-", "tab\tand \\\\\" end\\\\", 0, "x", {"launch-failed", "-", "tab\tand \\\\\" end\\\\"}},
  };
  for (const auto& c : cases) {
    const AlertCommand command = MakeAlertCommand(c.alert, LogEvent::LaunchFailed, c.job, c.text, c.heldBack);
    EXPECT_EQ(command.program, c.program) << c.alert;
    EXPECT_EQ(SplitCommandLine(command.arguments), c.arguments) << command.arguments;
  }
}

// The log gets the event's entry as said; the alert program is started unwatched, in its folder,
// by the settings of the last reading; a failed alert start is logged and alerts nothing. The
// status says the source is lost until it is back.
TEST(AlertingLog, LogsTheEventAndStartsTheAlertProgram) {
  testutil::RecordingLog log;
  testutil::RecordingStarter starter;
  SimulatedClock clock;
  LauncherState state;
  ProgramSettings& settings = state.Settings;
  AlertingLog alerting(log, starter, clock, state, nullptr);
  alerting.Event(LogEvent::SourceLost, "-", "lost", EventEntry::Continued);
  EXPECT_TRUE(state.Status.sourceLost);
  alerting.Event(LogEvent::SourceBack, "-", "back", EventEntry::Unlogged);
  EXPECT_FALSE(state.Status.sourceLost);
  settings.Alert = "/opt/alert/page --night";
  alerting.Event(LogEvent::RunFailed, "task 2", "ended", EventEntry::Unlogged);
  alerting.Event(LogEvent::RunFailed, "task 2", "ended again", EventEntry::Stamped);
  clock.Wait(15 * 60000);
  starter.result = 2;
  alerting.Event(LogEvent::RunFailed, "task 2", "third", EventEntry::Stamped);

  const std::vector<testutil::LoggedEntry> expectedLog{
      {"lost", false},
      {"ended again", true},
      {"third", true},
      {"Alert /opt/alert/page --night launch failed, return value 2", true}};
  EXPECT_EQ(log.entries, expectedLog);
  ASSERT_EQ(starter.started.size(), 2u);
  const testutil::StartedProgram& first = starter.started[0];
  EXPECT_EQ(first.program + "|" + first.directory + "|" + first.arguments,
            "/opt/alert/page|/opt/alert|--night run-failed \"task 2\" ended");
  EXPECT_EQ(starter.started[1].arguments, "--night run-failed \"task 2\" \"third (1 more since the last alert)\"");
}

}  // namespace
}  // namespace tavro
