// The CPU time of one tick of a running launcher whose jobs are all read and none is due: what the
// launcher costs a plant server between its launches. Usage: tick_bench FILE.ini [TICKS]
// Prints the median CPU time per tick in milliseconds over batches of ticks.

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "schedule/timer_cycle.h"
#include "sources/basic_gates.h"
#include "support/date_time_text.h"
#include "support/simulated_clock.h"

namespace {

using namespace tavro;

class QuietLog final : public DatedLogSink {
 public:
  void Write(const std::string&, bool) override {}
  void FollowDate(DateTime, int) override {}
  const std::string& LogFileName() const override { return name_; }

 private:
  std::string name_;
};

class NoStarts final : public ProgramStarter {
 public:
  int Launch(const std::string&, const std::string&, const std::string&, std::uint16_t) override { return 0; }
};

class RunningWindow final : public TickWindowPort {
 public:
  bool ProgramMode() const override { return false; }
  bool Running() const override { return true; }
  bool HideRequested() const override { return false; }
  void Hide() override {}
  void IniAkceExecute() override {}
  void StopAkceExecute() override {}
  void ProcessMessages() override {}
  void ShowProgress(const std::string&) override {}
  bool PauseAfterLaunch(int) override { return true; }
  const std::string& TaskTimeFormat() const override { return format_; }
  GateReader& Gate() override { return gate_; }

 private:
  std::string format_ = kTaskTimePattern;
  KordGate gate_;
};

double CpuMs() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: tick_bench FILE.ini [TICKS]\n");
    return 2;
  }
  const int ticks = argc > 2 ? std::atoi(argv[2]) : 300;
  // Between the hour's readings: a quarter past ten, and ten seconds a tick.
  SimulatedClock clock(MakeDateTime(2026, 12, 7, 10, 5));
  LauncherState state;
  state.Settings.IniFileName = argv[1];
  QuietLog log;
  if (!IniAkceExecute(state, ReadingContext{log, clock.Now(), nullptr}).valid) {
    std::fprintf(stderr, "tick_bench: %s is not a valid configuration\n", argv[1]);
    return 1;
  }
  NoStarts starter;
  RunningWindow window;
  std::vector<double> perTick;
  constexpr int kBatch = 10;
  for (int done = 0; done < ticks; done += kBatch) {
    const double start = CpuMs();
    for (int i = 0; i < kBatch; ++i) {
      RunTick(TickContext{state, log, clock, starter, window});
      clock.Advance(kTimerIntervalMs);
    }
    perTick.push_back((CpuMs() - start) / kBatch);
  }
  std::sort(perTick.begin(), perTick.end());
  std::printf("%.4f\n", perTick[perTick.size() / 2]);
  return 0;
}
