#include "tavrocheck/plan.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <streambuf>

#include "support/date_time_text.h"
#include "tavrocheck/plan_picture.h"
#include "tavrocheck/plan_record.h"
#include "window/launch_preview.h"

namespace tavro {
namespace {

// Passes on the preview's lines whose second field (TAB-separated) is the chosen "KIND N".
class JobLines final : public std::streambuf {
 public:
  JobLines(std::ostream& out, const JobChoice& job)
      : out_(out), field_("\t" + job.kind + " " + std::to_string(job.number) + "\t") {}

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    Take(traits_type::to_char_type(c));
    return c;
  }
  std::streamsize xsputn(const char* text, std::streamsize count) override {
    for (std::streamsize i = 0; i < count; ++i) Take(text[i]);
    return count;
  }

 private:
  void Take(char c) {
    line_ += c;
    if (c != '\n') return;
    // The tick time has no TAB, so the first TAB opens the second field.
    if (line_.find(field_) == line_.find('\t')) out_ << line_;
    line_.clear();
  }

  std::ostream& out_;
  std::string field_;
  std::string line_;
};

std::string Launches(int count) { return std::to_string(count) + (count == 1 ? " launch" : " launches"); }

// After the launches, lines beginning with "#": how often each job and each kind of job runs.
void PrintSummary(const RecordedPlan& plan, std::ostream& out) {
  int total = 0;
  std::map<std::string, std::pair<int, int>> kinds;  // jobs and launches of a kind
  for (const PlannedJob& job : plan.jobs) total += job.launches;
  out << "# " << Launches(total) << " in " << plan.hours << " hours from " << IsoDateTimeText(plan.start) << '\n';
  for (const PlannedJob& job : plan.jobs) {
    out << "# " << job.kind << ' ' << job.number << '\t' << Launches(job.launches) << '\t' << job.name;
    if (!job.gateTag.empty()) out << "\tgated by " << job.gateTag << " (counted as if always open)";
    out << '\n';
    ++kinds[job.kind].first;
    kinds[job.kind].second += job.launches;
  }
  for (const auto& [kind, plural] : {std::pair{"pump", "pumps"}, {"batch", "batches"}, {"task", "tasks"},
                                     {"report", "reports"}}) {
    const auto found = kinds.find(kind);
    if (found == kinds.end()) continue;
    const auto [jobs, launches] = found->second;
    out << "# " << plural << "\t" << Launches(launches) << " of " << jobs << (jobs == 1 ? " job" : " jobs") << '\n';
  }
  for (const ClockChange& change : plan.clockChanges) out << "# clock\t" << ClockChangeEntry(change) << '\n';
}

// The verdict on the preview of a chosen job, said on `notes` unless it has launches: none, so that
// an empty preview is not mistaken for a quiet one, or no such job at all.
PlanOutcome NoteChosenJob(const RecordedPlan& plan, const std::string& iniFile, const std::optional<JobChoice>& job,
                          std::ostream& notes) {
  if (!plan.valid) return PlanOutcome::Invalid;
  if (!job) return PlanOutcome::Done;
  const std::string name = job->kind + " " + std::to_string(job->number);
  if (plan.jobs.empty()) {
    notes << "tavrocheck: there is no " << name << " in " << iniFile << "\n";
    return PlanOutcome::NoSuchJob;
  }
  if (plan.jobs.front().launches == 0) notes << "tavrocheck: no launch of " << name << " in " << plan.hours << " hours\n";
  return PlanOutcome::Done;
}

}  // namespace

PlanOutcome PrintPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
                      std::ostream& out, std::ostream& notes) {
  std::optional<JobLines> lines;
  std::optional<std::ostream> filtered;
  if (job) filtered.emplace(&lines.emplace(out, *job));
  PrintedLaunches printed(job ? *filtered : out);
  const RecordedPlan plan = RecordPlan({iniFile, start, hours, job, false}, &printed);
  printed.Flush();
  const PlanOutcome outcome = NoteChosenJob(plan, iniFile, job, notes);
  if (outcome == PlanOutcome::Done) PrintSummary(plan, out);
  return outcome;
}

PlanOutcome DrawPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
                     const std::string& svgFile, std::ostream& notes) {
  const RecordedPlan plan = RecordPlan({iniFile, start, hours, job, true});
  const PlanOutcome outcome = NoteChosenJob(plan, iniFile, job, notes);
  if (outcome != PlanOutcome::Done) return outcome;
  std::ofstream file(svgFile, std::ios::binary | std::ios::trunc);
  file << PlanPicture(plan, iniFile);
  file.close();
  if (!file) {
    notes << "tavrocheck: cannot write " << svgFile << ": " << std::strerror(errno) << "\n";
    return PlanOutcome::NotWritten;
  }
  return PlanOutcome::Done;
}

}  // namespace tavro
