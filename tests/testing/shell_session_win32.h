#pragma once
// What the tests of the Windows shell share: a launcher of their own in a fresh folder, the window
// driver (tests/programs/windowdriver), the log read back, and no service registration left over.

#include <initializer_list>
#include <string>
#include <vector>

#include "testing/capture_output.h"
#include "testing/poll.h"
#include "testing/temp_dir.h"

namespace tavro::testutil {

// How long a shell test waits for something that should happen (wine under load is slow): as long
// as every other wait of the tests.
inline constexpr int kShellDeadlineMs = static_cast<int>(kPatience.count());

// tavrorun.exe copied into a folder of its own, with its configuration beside it.
class LauncherCopy {
 public:
  // `subfolder`: the folder inside the temporary one (a name with a blank tests quoting).
  explicit LauncherCopy(const std::string& ini, const std::string& subfolder = "launcher");

  const std::string& Exe() const { return exe_; }
  const std::string& Folder() const { return folder_; }
  // The messages of its log files, oldest first (a change of day spreads them over two files).
  std::vector<std::string> LogMessages() const;

 private:
  TempDir dir_;
  std::string folder_;
  std::string exe_;
};

// Runs the window driver with these steps and keeps what it printed, CR removed.
CapturedRun DriveWindow(const std::vector<std::string>& steps);

// The messages that are one of `wanted`, in their order.
std::vector<std::string> OnlyThese(const std::vector<std::string>& messages, std::initializer_list<const char*> wanted);

// Stops and removes the service TavroRunner when it is registered, so that a run that failed
// half-way does not turn the next launcher into a service.
void RemoveServiceRegistration();

}  // namespace tavro::testutil
