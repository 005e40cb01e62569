#pragma once
// Starting the external program of a due job: hidden, in a given folder, never waited for.

#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// The show mode the timer cycle passes: the program's window stays hidden.
inline constexpr std::uint16_t kShowHidden = 0;

// A started program whose end is watched; 0 names none.
using RunId = std::uint64_t;

// How a watched program ended.
struct RunEnd {
  RunId run = 0;
  bool bySignal = false;          // ended by a signal; `code` is then the signal's number
  std::int64_t code = 0;          // its exit code
  std::int64_t milliseconds = 0;  // from its start to its end
  bool byLimit = false;           // ended by EndRunAfter
};

// Starts `program` with the argument text `arguments` in the working folder `directory` (empty: the
// launcher's own working folder) and returns at once. Returns 0 when the program was started,
// otherwise the system's error code of the failed start (for example 2 for a missing program).
// The launcher never waits for a program, and none is left behind as a zombie of the launcher.
// With `watched`, the program's end is watched and *watched names it (0 when the most programs
// watched at once are running: it is then released at once and counted); without, it belongs to
// nobody from the start.
int LaunchProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                  std::uint16_t showMode, RunId* watched = nullptr);

// The ends of the watched programs that have ended since the last call; never waits.
std::vector<RunEnd> TakeRunEnds();
// The process id of a watched program that has not been told as ended; 0 when none.
std::int64_t WatchedProcessId(RunId run);
// Ends a watched program with its whole process tree once it has run `milliseconds`, unless it
// ends before: Linux ends its process group and session (SIGTERM, and SIGKILL 10 s later), Windows
// its job object. Its end then says byLimit.
void EndRunAfter(RunId run, std::int64_t milliseconds);
// How many programs were started unwatched because the most watched at once were running.
std::uint64_t UnwatchedRuns();

// Splits a command line into arguments the way the Windows C runtime builds argv: blanks and tabs
// separate; double quotes group and are removed; "" inside quotes is one literal quote; 2n
// backslashes before a quote give n backslashes and the quote groups, 2n+1 give n backslashes and
// a literal quote; other backslashes are literal. A program started on Linux gets the arguments it
// would get on Windows.
std::vector<std::string> SplitCommandLine(const std::string& text);

// The seam between the timer cycle and the system: tests put a recorder here.
class ProgramStarter {
 public:
  virtual ~ProgramStarter() = default;
  // As LaunchProgram with `watched`: *watched is 0 for a program whose end will not be told.
  virtual int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
                     std::uint16_t showMode, RunId* watched) = 0;
  // As TakeRunEnds and UnwatchedRuns, for the programs this starter started.
  virtual std::vector<RunEnd> TakeEnds() { return {}; }
  virtual std::uint64_t Unwatched() const { return 0; }
  // As WatchedProcessId and EndRunAfter.
  virtual std::int64_t ProcessId(RunId /*run*/) const { return 0; }
  virtual void EndAfter(RunId /*run*/, std::int64_t /*milliseconds*/) {}
};

class SystemProgramStarter final : public ProgramStarter {
 public:
  int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
             std::uint16_t showMode, RunId* watched) override {
    return LaunchProgram(program, arguments, directory, showMode, watched);
  }
  std::vector<RunEnd> TakeEnds() override { return TakeRunEnds(); }
  std::uint64_t Unwatched() const override { return UnwatchedRuns(); }
  std::int64_t ProcessId(RunId run) const override { return WatchedProcessId(run); }
  void EndAfter(RunId run, std::int64_t milliseconds) override { EndRunAfter(run, milliseconds); }
};

}  // namespace tavro
