#pragma once
// Starting the external program of a due job: hidden, in a given folder, never waited for.

#include <cstdint>
#include <string>
#include <vector>

namespace tavro {

// The show mode the timer cycle passes: the program's window stays hidden.
inline constexpr std::uint16_t kShowHidden = 0;

// Starts `program` with the argument text `arguments` in the working folder `directory` (empty: the
// launcher's own working folder) and returns at once. Returns 0 when the program was started,
// otherwise the system's error code of the failed start (for example 2 for a missing program).
// The started program belongs to nobody: its handles are released at once and on Linux it is
// reaped by the system, never left behind as a zombie of the launcher.
int LaunchProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                  std::uint16_t showMode);

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
  virtual int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
                     std::uint16_t showMode) = 0;
};

class SystemProgramStarter final : public ProgramStarter {
 public:
  int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
             std::uint16_t showMode) override {
    return LaunchProgram(program, arguments, directory, showMode);
  }
};

}  // namespace tavro
