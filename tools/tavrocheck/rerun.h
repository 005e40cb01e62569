#pragma once
// Runs chosen past slots of a job again, beside a running launcher: the configuration read as the
// launcher reads it, each slot's exact command line, its gate read as the tick reads it (unless
// told not to), each launch logged in the launcher's daily log as the tick logs its own, marked as
// a re-run. It takes neither the launcher's instance lock nor its job times: the launcher goes on
// as if nothing had happened.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "schedule/launch_program.h"
#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

// One slot of one job: the time as the job's slot is named (see JobSlot).
struct SlotToRun {
  JobChoice job;
  DateTime slot;
};

struct RerunSetup {
  std::string iniFile;
  DateTime now;            // slots due before it may run again
  bool readGates = true;   // false: gated tasks are launched without reading their gate
  ProgramStarter& starter;
};

enum class RerunOutcome {
  Launched,  // every slot was launched
  Held,      // at least one gated slot was held by its gate (none failed to start)
  Failed,    // at least one program could not be started
  Invalid,   // the file has errors: nothing is run
  NoSuchJob,
  NotASlot,  // a time that is no slot of its job, or a span without one
  NotDue,    // a slot not yet due: the launcher launches it itself
  TooMany,   // a span of more than kMostRerunSlots slots
};

// Checks every slot first: one that is refused runs nothing, and says why on `notes`. Then launches
// them in the order given, the tick's pause after each start but the last. `out` gets the
// reading's log entries and the re-run's own.
RerunOutcome RerunSlots(const RerunSetup& setup, const std::vector<SlotToRun>& slots, std::ostream& out,
                        std::ostream& notes);

// Every slot of the job from `since` to `until`, both included.
RerunOutcome RerunSpan(const RerunSetup& setup, const JobChoice& job, DateTime since, DateTime until,
                       std::ostream& out, std::ostream& notes);

}  // namespace tavro
