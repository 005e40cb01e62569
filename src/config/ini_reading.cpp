#include "config/ini_reading.h"

#include "config/file_warnings.h"
#include "config/ini_file.h"
#include "config/ini_file_cache.h"
#include "config/job_sections.h"
#include "config/program_sections.h"
#include "config/reading_run.h"
#include "config/verdict.h"
#include "support/text.h"

namespace tavro {

void SaySourceCannotBeReached(LogSink& log, const std::string& source, EventEntry how) {
  log.Event(LogEvent::SourceLost, "-", source + " cannot be reached: tasks gated on it are held until it answers", how);
}

ReadingVerdict ReadConfiguration(LauncherState& state, const IniFile& ini, const ReadingContext& context,
                                 const std::string& loadProblem) {
  context.log.Entry("Reading ini...");
  // The keys then all take their defaults, so the reading ends with its own error as well.
  if (!loadProblem.empty()) context.log.Entry("Cannot read " + state.Settings.IniFileName + ": " + loadProblem);
  ReadingRun run(ini, context.log, context.now);
  if (context.cache != nullptr && context.cache->Holds(ini)) run.kept = &context.cache->Kept();
  ReadProgramSections(run, state.Settings, context.prepareSource);
  const std::int32_t pumps = ReadPumps(run, state.Pumps);
  const std::int32_t batches = ReadBatches(run, state.Batches);
  ReadTasks(run, state.Tasks, pumps == 0 && batches == 0, state.Settings.IniFileName);
  ReadReports(run, state.Reports);
  ReadingVerdict verdict = DeliverVerdict(run, state.Settings);
  // Warnings never change the verdict: they say what the operator should mend.
  verdict.warnings = FileWarnings(ini, state);
  if (!verdict.warnings.empty()) {
    std::string entry = "Warning: in ini found these risks:";
    for (const std::string& warning : verdict.warnings) entry += kLineBreak + warning;
    context.log.Entry(entry);
  }
  if (context.afterReading) context.afterReading(ini);
  return verdict;
}

ReadingVerdict IniAkceExecute(LauncherState& state, const ReadingContext& context) {
  // Read once into memory; every key is then looked up there.
  std::string problem;
  if (context.cache != nullptr) {
    const IniFile& ini = context.cache->Get(state.Settings.IniFileName, problem);
    return ReadConfiguration(state, ini, context, problem);
  }
  const IniFile ini = IniFile::Load(state.Settings.IniFileName, &problem);
  return ReadConfiguration(state, ini, context, problem);
}

}  // namespace tavro
