#include "schedule/job_times_keeper.h"

#include "support/process_path.h"
#include "support/whole_file.h"

namespace tavro {
namespace {

constexpr JobKind kKinds[] = {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report};

}  // namespace

std::string JobTimesFileName(const std::string& iniFileName) { return ReplaceExtension(iniFileName, ".jobs"); }

bool JobTimesKeeper::Open(const std::string& path, std::int64_t started, std::string& problem) {
  const WholeFile read = ReadWholeFile(path);
  if (read.outcome == WholeFile::Outcome::Read) earlier_ = ParseJobTimes(read.bytes);
  started_ = started;
  return file_.Open(path, problem);
}

void JobTimesKeeper::WriteAll(const LauncherState& state, std::int64_t now) {
  std::string text = JobTimesHeader(now, started_);
  for (const JobKind kind : kKinds) {
    for (std::size_t i = 0; i < JobsOfKind(state, kind); ++i) text += JobTimesLine(TimesOf(state, kind, i, now));
  }
  jobs_ = JobCountOf(state);
  if (file_.WriteAt(0, text)) file_.Truncate(text.size());
}

void JobTimesKeeper::WriteJob(const LauncherState& state, JobKind kind, std::size_t index, std::int64_t now) {
  // A reading that changed the jobs rewrites the whole file; until then the places are those.
  if (JobCountOf(state) != jobs_) return WriteAll(state, now);
  file_.WriteAt((1 + JobPlace(state, kind, index)) * kJobTimesLineWidth, JobTimesLine(TimesOf(state, kind, index, now)));
}

void JobTimesKeeper::Alive(std::int64_t now) { file_.WriteAt(0, JobTimesHeader(now, started_)); }

}  // namespace tavro
