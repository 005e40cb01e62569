#include "app/alerting_log.h"

#include <vector>

#include "schedule/command_lines.h"
#include "support/process_path.h"

namespace tavro {

AlertCommand MakeAlertCommand(const std::string& alert, LogEvent event, const std::string& job,
                              const std::string& text, std::uint64_t heldBack) {
  const std::vector<std::string> words = SplitCommandLine(alert);
  AlertCommand command;
  if (words.empty()) return command;
  command.program = words.front();
  for (std::size_t i = 1; i < words.size(); ++i) command.arguments += QuotedArgument(words[i]) + " ";
  command.arguments += std::string(LogEventWord(event)) + " " + QuotedArgument(job) + " ";
  command.arguments += QuotedArgument(
      heldBack == 0 ? text : text + " (" + std::to_string(heldBack) + " more since the last alert)");
  return command;
}

int StartAlert(ProgramStarter& starter, const std::string& alert, LogEvent event, const std::string& job,
               const std::string& text, std::uint64_t heldBack) {
  const AlertCommand command = MakeAlertCommand(alert, event, job, text, heldBack);
  if (command.program.empty()) return 0;
  return starter.Launch(command.program, command.arguments, FolderOf(command.program), kShowHidden, nullptr);
}

void AlertingLog::Event(LogEvent event, const std::string& job, const std::string& message, EventEntry entry) {
  log_.Event(event, job, message, entry);
  if (event == LogEvent::SourceLost || event == LogEvent::SourceBack) {
    state_.Status.sourceLost = event == LogEvent::SourceLost;
    state_.Status.changed = true;
  }
  if (events_ != nullptr) events_->Report(event, message);
  const ProgramSettings& settings = state_.Settings;
  if (settings.Alert.empty()) return;
  const std::optional<std::uint64_t> heldBack = quiet_.Pass(event, job, clock_.SteadyMs(), settings.AlertQuiet);
  if (!heldBack) return;
  if (const int result = StartAlert(starter_, settings.Alert, event, job, message, *heldBack); result != 0) {
    // Said in the log alone: an alert about the alert program would call it again.
    log_.Entry("Alert " + settings.Alert + " launch failed, return value " + std::to_string(result));
  }
}

}  // namespace tavro
