#pragma once
// What the checker needs to act as the launcher of a configuration file would: the launcher's
// folder and daily log, and its sources, whose trial at the reading and gate reads keep to the
// launcher's deadlines in real time, whatever time the check is made for.

#include <string>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "sources/plant_sources.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// The configuration file as its launcher names it: a launcher reads the file of its own name with
// ".ini" beside itself. That is this file when the launcher lies beside it, else the installed
// launcher's configuration when it is this file (linked to it, as the package lays it out), else
// this file. Its folder is the launcher's, and its daily log has its name (LogFileNameFor).
std::string LauncherIniFile(const std::string& iniFile);

class LauncherSources {
 public:
  // `clock` stamps the sources' log entries; `trial` as PlantSources takes it.
  LauncherSources(const ProgramSettings& settings, const std::string& iniFile, LogSink& log, Clock& clock,
                  TrialConnection trial);
  LauncherSources(const LauncherSources&) = delete;
  LauncherSources& operator=(const LauncherSources&) = delete;

  // For the reading: the selected source's trial, bounded as the launcher bounds it.
  PrepareSourceFunction Trial();

  // A task's gate as the tick reads it with the source the settings select: the source kept ready,
  // then the value read, each within the deadline. A source that is not ready gives -20 with
  // `notReady`.
  struct Gate {
    ReadOutcome read;
    bool notReady = false;
  };
  Gate Read(const ProgramSettings& settings, const TUkol& task, int number, DateTime slotTime, LogSink& log);

 private:
  SystemClock realTime_;
  ReadDeadline deadline_;
  ReadPause pause_;
  PlantSources sources_;
};

}  // namespace tavro
