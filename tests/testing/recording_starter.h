#pragma once
// Records what the launcher would start instead of starting it.

#include <string>
#include <utility>
#include <vector>

#include "schedule/launch_program.h"

namespace tavro::testutil {

struct StartedProgram {
  std::string program;
  std::string arguments;
  std::string directory;
  std::uint16_t showMode;
};

class RecordingStarter final : public ProgramStarter {
 public:
  // Every start is watched, its id its position from 1.
  int Launch(const std::string& program, const std::string& arguments, const std::string& directory,
             std::uint16_t showMode, RunId* watched) override {
    started.push_back({program, arguments, directory, showMode});
    if (watched != nullptr) *watched = result == 0 ? started.size() : 0;
    return result;
  }
  std::vector<RunEnd> TakeEnds() override { return std::exchange(ends, {}); }
  // A started program's process id is 1000 and its id.
  std::int64_t ProcessId(RunId run) const override { return 1000 + static_cast<std::int64_t>(run); }
  void EndAfter(RunId run, std::int64_t milliseconds) override { limits.push_back({run, milliseconds}); }

  std::vector<StartedProgram> started;
  int result = 0;            // what every start returns
  std::vector<RunEnd> ends;  // what the next look at the ends gives
  std::vector<std::pair<RunId, std::int64_t>> limits;  // each EndAfter, in order
};

}  // namespace tavro::testutil
