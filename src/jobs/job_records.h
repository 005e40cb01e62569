#pragma once
// The four kinds of scheduled jobs and their tables. Fields filled from the INI file bear the name
// of their key; run-time fields are capitalised. Element i of a table belongs to section i+1.

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/job_control.h"
#include "support/date_time.h"

namespace tavro {

// A pump starts its program every `launchperiod` minutes for the period that has just ended.
struct TPumpa {
  std::int32_t launchperiod = 0;
  std::int32_t phase = 0;
  std::int32_t intervallength = 0;
  bool averages = false;
  bool recalculate = false;
  DateTime LastTime;  // launch time of the last slot (period boundary + phase)
  std::string exename;
  std::string source;
  std::string target;
  std::string tagfile;
  std::string overlap;  // "run", "skip", "wait"; anything else: as [program] says
  std::int32_t maxruntime = kMaxRunTimeAsProgram;  // minutes, 0 none
};

// A batch runs daily (type 0), weekly (1) or monthly (2) for the data window since its last run.
struct TBec {
  std::int32_t type = 0;
  std::int32_t day = 0;
  std::int32_t phase = 0;
  std::int32_t margins = 0;
  std::int32_t intervallength = 0;
  std::string exename;
  std::string taskname;
  DateTime LastTime;  // previous run
  DateTime NextTime;  // next run
  bool exporttohistory = false;
  bool exporttoexternal = false;
  std::string overlap;  // "run", "skip", "wait"; anything else: as [program] says
  std::int32_t maxruntime = kMaxRunTimeAsProgram;  // minutes, 0 none
};

// A task runs every `launchperiod` minutes, gated by `runningtag` when it names one.
struct TUkol {
  std::int32_t launchperiod = 0;
  std::int32_t phase = 0;
  std::int32_t intervallength = 0;
  std::string exename;
  std::string taskname;
  std::string runningtag;
  DateTime LastTime;  // short period: slot base without phase; long period: launch time with phase
  bool kordden = false;
  bool exporttohistory = false;
  bool exporttoexternal = false;
  std::string overlap;  // "run", "skip", "wait"; anything else: as [program] says
  std::int32_t maxruntime = kMaxRunTimeAsProgram;  // minutes, 0 none
};

// A report runs the one program of all reports once on each day its calendar selects.
struct TRepUkol {
  std::string minute;
  std::string hour;
  std::string day;
  std::string month;
  std::string dayofweek;
  std::string template_;  // key "template"
  std::int32_t MinuteValue = 0;
  std::int32_t HourValue = 0;
  std::int32_t length = 0;
  bool DueToday = false;
  // The date of the last launch (midnight), kept across readings: a report runs at most once a
  // date, whatever the readings and the clock do in between.
  DateTime LaunchedOn;
  // A date whose run fell in a time the launcher was not running: run once at the first tick.
  DateTime CatchUpOn;
  std::string overlap;  // "run", "skip", "wait"; anything else: as [program] says
  std::int32_t maxruntime = kMaxRunTimeAsProgram;  // minutes, 0 none
};

struct TPumpy {
  std::int32_t count = 0;
  std::vector<TPumpa> Items;
};

struct TBece {
  std::int32_t count = 0;
  std::vector<TBec> Items;
};

struct TUkoly {
  std::int32_t count = 0;
  std::vector<TUkol> Items;
};

struct TRepUkoly {
  std::int32_t count = 0;
  std::string exename;  // the one program that every report starts
  std::vector<TRepUkol> Items;
};

}  // namespace tavro
