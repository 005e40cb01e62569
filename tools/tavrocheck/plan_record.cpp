#include "tavrocheck/plan_record.h"

#include <map>
#include <utility>

#include "window/launch_preview.h"

namespace tavro {
namespace {

std::vector<PlannedJob> JobsOf(const LauncherState& state) {
  std::vector<PlannedJob> jobs;
  const auto add = [&jobs](const char* kind, std::size_t index, const std::string& name, const std::string& tag) {
    jobs.push_back({kind, static_cast<int>(index + 1), name, tag, 0, {}});
  };
  for (std::size_t i = 0; i < state.Pumps.Items.size(); ++i) add("pump", i, state.Pumps.Items[i].exename, "");
  for (std::size_t i = 0; i < state.Batches.Items.size(); ++i) add("batch", i, state.Batches.Items[i].taskname, "");
  for (std::size_t i = 0; i < state.Tasks.Items.size(); ++i) {
    add("task", i, state.Tasks.Items[i].taskname, state.Tasks.Items[i].runningtag);
  }
  for (std::size_t i = 0; i < state.Reports.Items.size(); ++i) add("report", i, state.Reports.Items[i].template_, "");
  return jobs;
}

// Counts each launch against its job, and passes it on.
class LaunchTally final : public LaunchObserver {
 public:
  LaunchTally(bool keepTimes, LaunchObserver* printer) : keepTimes_(keepTimes), printer_(printer) {}

  // The jobs to count; a launch of another job is only passed on.
  void Count(std::vector<PlannedJob> jobs) {
    jobs_ = std::move(jobs);
    for (std::size_t i = 0; i < jobs_.size(); ++i) index_[{jobs_[i].kind, jobs_[i].number}] = i;
  }
  std::vector<PlannedJob>& Jobs() { return jobs_; }
  void NextTick() { ++tick_; }

  void OnLaunch(const LaunchNotice& notice) override {
    if (printer_ != nullptr) printer_->OnLaunch(notice);
    const auto found = index_.find({notice.kind, notice.number});
    if (found == index_.end()) return;
    PlannedJob& job = jobs_[found->second];
    ++job.launches;
    if (keepTimes_) job.marks.push_back({notice.tickTime, tick_});
  }

 private:
  bool keepTimes_;
  LaunchObserver* printer_;
  std::vector<PlannedJob> jobs_;
  std::map<std::pair<std::string, int>, std::size_t> index_;
  std::int64_t tick_ = 0;
};

}  // namespace

RecordedPlan RecordPlan(const PlanRequest& request, LaunchObserver* printer) {
  LaunchTally tally(request.keepTimes, printer);
  // Started, not yet ticked: the jobs are known before the first launch.
  SimulatedLauncher launcher(request.iniFile, request.start, &tally);
  std::vector<PlannedJob> jobs = JobsOf(launcher.State());
  if (request.job) {
    std::erase_if(jobs, [&request](const PlannedJob& job) {
      return job.kind != request.job->kind || job.number != request.job->number;
    });
  }
  tally.Count(std::move(jobs));
  const DateTime end = AddHours(request.start, request.hours);
  while (launcher.Now() < end) {
    launcher.Tick();
    tally.NextTick();
  }
  return {launcher.Valid(), request.start, request.hours, std::move(tally.Jobs())};
}

}  // namespace tavro
