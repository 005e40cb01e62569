#include "config/verdict.h"

namespace tavro {

ReadingVerdict DeliverVerdict(ReadingRun& run, ProgramSettings& settings) {
  settings.IniValid = run.errors.empty();
  if (settings.IniValid) {
    run.log.Entry("Tasks in ini O.K.");
  } else {
    run.log.Event(LogEvent::ReadingErrors, "-", "In ini found these errors:" + std::string(kLineBreak) + run.errors);
  }
  return {settings.IniValid, run.errors};
}

}  // namespace tavro
