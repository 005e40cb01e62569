#include "tavrocheck/plan_record.h"

#include <array>
#include <utility>

#include "window/launch_preview.h"

namespace tavro {
namespace {

constexpr std::array<const char*, 4> kKinds{"pump", "batch", "task", "report"};

// The kinds differ in their first letter: a year of a thousand jobs makes millions of launches to count.
std::size_t KindIndex(char first) {
  std::size_t k = 0;
  while (k + 1 < kKinds.size() && first != *kKinds[k]) ++k;
  return k;
}

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
    for (std::size_t i = 0; i < jobs_.size(); ++i) {
      std::vector<std::size_t>& numbers = index_[KindIndex(jobs_[i].kind.front())];
      const auto number = static_cast<std::size_t>(jobs_[i].number);
      if (numbers.size() <= number) numbers.resize(number + 1, kNone);
      numbers[number] = i;
    }
  }
  std::vector<PlannedJob>& Jobs() { return jobs_; }
  std::vector<ClockChange>& ClockChanges() { return changes_; }
  void NextTick() { ++tick_; }

  void OnClockChange(const ClockChange& change) override {
    if (printer_ != nullptr) printer_->OnClockChange(change);
    changes_.push_back(change);
  }

  void OnLaunch(const LaunchNotice& notice) override {
    if (printer_ != nullptr) printer_->OnLaunch(notice);
    const std::vector<std::size_t>& numbers = index_[KindIndex(*notice.kind)];
    const auto number = static_cast<std::size_t>(notice.number);
    if (number >= numbers.size() || numbers[number] == kNone) return;
    PlannedJob& job = jobs_[numbers[number]];
    ++job.launches;
    if (keepTimes_) job.marks.push_back({notice.tickTime, tick_});
  }

 private:
  bool keepTimes_;
  LaunchObserver* printer_;
  std::vector<PlannedJob> jobs_;
  std::vector<ClockChange> changes_;
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::array<std::vector<std::size_t>, kKinds.size()> index_;  // per kind, the job of each number
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
  // A chosen job that the file does not have launches nothing: no need to run the years through.
  const bool nothingToCount = request.job && jobs.empty();
  tally.Count(std::move(jobs));
  const std::int64_t end = launcher.InstantNow() + request.hours * kMsPerHour;
  while (!nothingToCount && launcher.InstantNow() < end) {
    launcher.Tick();
    tally.NextTick();
  }
  return {launcher.Valid(), request.start, request.hours, std::move(tally.Jobs()), std::move(tally.ClockChanges())};
}

}  // namespace tavro
