#include "app/launcher_program.h"

#include <iostream>
#include <memory>
#include <optional>

#include "app/alerting_log.h"
#include "app/launcher_usage.h"
#include "app/single_instance.h"
#include "app/standard_streams.h"
#include "config/ini_file.h"
#include "faces/program_mode.h"
#include "jobs/launcher_state.h"
#include "schedule/history_journal.h"
#include "schedule/job_times_keeper.h"
#include "schedule/launch_program.h"
#include "service/service_mode.h"
#include "service/service_query.h"
#include "sources/plant_sources.h"
#include "support/clock.h"
#include "support/library_search.h"
#include "support/log_file.h"
#include "support/process_path.h"
#include "support/version.h"
#include "window/control_window.h"
#include "window/outside_commands.h"
#include "window/start_face.h"

namespace tavro {
namespace {

// The refused launcher reads no configuration but the alert program's key: the running one never
// hears of it.
void TellSecondLauncher(const InstanceLock& lock) {
  const std::string text =
      "Program is already running" + (lock.problem.empty() ? std::string() : " (process " + lock.problem + ")");
  if (const std::unique_ptr<SystemEvents> events = OpenSystemEvents()) events->Report(LogEvent::SecondLauncher, text);
  const IniFile ini = IniFile::Load(ReplaceExtension(CurrentExecutablePath(), ".ini"));
  SystemProgramStarter starter;
  StartAlert(starter, ini.ReadString("program", "alert", ""), LogEvent::SecondLauncher, "-", text, 0);
}

}  // namespace

int RunLauncher(const Parameters& parameters) {
  LoadSystemLibrariesFromSystemFolder();
  SecureStandardStreams();
  switch (InfoRequested(parameters)) {
    case InfoRequest::Help:
      InfoOutput() << LauncherUsage(CurrentExecutablePath());
      return 0;
    case InfoRequest::Version:
      InfoOutput() << LauncherVersion();
      return 0;
    case InfoRequest::None:
      break;
  }

  const bool installCall = IsInstallCall(parameters);
  if (!installCall) {
    // From the first moment: a command sent during start-up waits for the loop instead of ending
    // the process (a signal's default action) before it has said anything.
    std::string error;
    if (!ListenForOutsideCommands(error)) {
      std::cerr << "tavrorun: " << error << std::endl;
      return 1;
    }
  }
  // Install and uninstall calls are never refused: they only write or remove the service.
  const InstanceLock lock = installCall ? InstanceLock{InstanceLockState::Held, {}} : AcquireSingleInstance();
  if (lock.state == InstanceLockState::HeldByAnother) {
    TellSecondLauncher(lock);
    return ShowAlreadyRunning(lock);
  }

  const std::string exeName = CurrentExecutablePath();
  SystemClock clock;
  DailyLogFile log(exeName, clock);
  if (std::ostream* echo = LogEchoStream()) {
    const bool journal = LogEchoIsJournal();
    *echo << (journal ? "<6>" : "") << "Tavro Launcher " << kVersion << ", " << exeName << std::endl;
    log.EchoTo(echo, journal ? DailyLogFile::EchoStyle::SyslogLevels : DailyLogFile::EchoStyle::Stamped);
  }
  if (!lock.note.empty()) log.Entry(lock.note);
  if (lock.state == InstanceLockState::Refused) {
    // Said where the operator looks for the launcher's word, the log (and its copy on stderr).
    log.Entry(lock.problem);
    return 1;
  }
  const bool serviceMode =
      installCall || RunsAsService([&log](const std::string& message) { log.Entry(message); });

  // Job times are kept for the next start; without the file the launcher runs as it always did.
  JobTimesKeeper jobTimes;
  bool keepsJobTimes = false;
  if (!installCall) {
    std::string problem;
    keepsJobTimes = jobTimes.Open(JobTimesFileName(ReplaceExtension(exeName, ".ini")), clock.InstantNow(), problem);
    if (!keepsJobTimes) log.Entry("Cannot keep the job times in " + problem);
  }

  // Every slot's outcome and run's end, for tavrocheck --history and --missed.
  std::optional<HistoryJournal> history;
  if (!installCall) history.emplace(ReplaceExtension(exeName, ".ini"), clock.Zone(), clock.ZonedNow().local);

  LauncherState state;
  SystemProgramStarter starter;
  // The events among the log's entries are told on from here alone.
  const std::unique_ptr<SystemEvents> systemEvents = OpenSystemEvents();
  AlertingLog alertingLog(log, starter, clock, state, systemEvents.get());
  ReadDeadline readDeadline(clock);
  PlantSources sources(state.Settings, alertingLog, clock, readDeadline, FolderOf(exeName));
  ControlWindow window({.state = state,
                        .log = alertingLog,
                        .clock = clock,
                        .starter = starter,
                        .sources = sources,
                        .readDeadline = &readDeadline,
                        .logFindings = true,
                        .keepStatusFile = !installCall,
                        .jobTimes = keepsJobTimes ? &jobTimes : nullptr,
                        .history = history ? &*history : nullptr},
                       parameters, !serviceMode);
  {
    // The first reading may wait on a source: a request to end the process ends it then.
    const std::unique_ptr<StartFace> start =
        serviceMode && !installCall ? ServiceStartFace(window, log) : std::make_unique<StartFace>(window);
    window.AttachFace(start.get());
    window.FormCreate(exeName);
    window.AttachFace(nullptr);
  }
  if (window.Closing()) return 0;
  return serviceMode ? RunServiceMode(window, log, parameters) : RunProgramMode(window, log);
}

}  // namespace tavro
